#include "shell/frmAdmAuth.h"

#include "common/LoginState.h"
#include "platform/ui/ButtonRow.h"
#include "shell/frmMain.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPointer<frmAdmAuth> s_form;
}

frmAdmAuth* frmAdmAuth::form(QWidget* owner) {
    if (!s_form) s_form = new frmAdmAuth(owner);
    return s_form.data();
}

frmAdmAuth::frmAdmAuth(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmAdmAuth"));
    setWindowTitle(QStringLiteral("越权处理"));
    lblTitle = new QLabel(QStringLiteral("请输入越权口令："), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setWordWrap(true);
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    QHBoxLayout* buttons = ui::okCancelRow(this, cmdOk, cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMessage);
    layout->addWidget(lblTitle);
    layout->addWidget(txtPassword);
    layout->addLayout(buttons);
    connect(txtPassword, &QLineEdit::textChanged, this,
            [this](const QString& text) { cmdOk->setEnabled(!text.isEmpty()); });
    connect(cmdOk, &QPushButton::clicked, this, &frmAdmAuth::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAdmAuth::cmdCancel_Click);
    cmdOk->setEnabled(false);
}

frmAdmAuth::~frmAdmAuth() = default;

void frmAdmAuth::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    txtPassword->clear();
    cmdOk->setEnabled(false);
    txtPassword->setFocus();
}

void frmAdmAuth::cmdOk_Click() {
    // Passwords compare without regard to letter case, as at the log-in.
    if (txtPassword->text().trimmed().toUpper() == g_strWkrPwd.toUpper()) {
        m_blnAdmAuth = true;
        accept();
        return;
    }
    txtPassword->clear();
    txtPassword->setFocus();
}

void frmAdmAuth::cmdCancel_Click() {
    m_blnCheckAdmAuth = false;
    if (frmMain* main = frmMain::instance()) {
        if (ui::CommandBar* bar = main->menuCommandBar()) {
            if (bar->item(QStringLiteral("mnuAssistAdmin")))
                bar->setItemChecked(QStringLiteral("mnuAssistAdmin"), false);
        }
    }
    m_blnAdmAuth = false;
    reject();
}
