#include "shell/frmLogin.h"

#include "common/basAuth.h"
#include "common/basMsg.h"
#include "shell/basLogin.h"
#include "shell/frmChgPwd.h"

#include "platform/ui/DialogService.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmLogin::frmLogin(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmLogin"));
    lblName = new QLabel(this);
    lblName->setObjectName(QStringLiteral("lblName"));
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setMaxLength(4);
    lblPwd = new QLabel(this);
    lblPwd->setObjectName(QStringLiteral("lblPwd"));
    txtPwd = new QLineEdit(this);
    txtPwd->setObjectName(QStringLiteral("txtPwd"));
    txtPwd->setEchoMode(QLineEdit::Password);
    txtPwd->setMaxLength(10);
    cmdOk = new QPushButton(this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblName, 0, 0);
    grid->addWidget(txtName, 0, 1, 1, 2);
    grid->addWidget(lblPwd, 1, 0);
    grid->addWidget(txtPwd, 1, 1, 1, 2);
    grid->addWidget(cmdOk, 2, 1, Qt::AlignRight);
    grid->addWidget(cmdCancel, 2, 2);

    for (QLineEdit* box : {txtName, txtPwd}) {
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (!txtName->text().isEmpty() && !txtPwd->text().isEmpty())
                cmdOk->setEnabled(true);
        });
    }
    connect(cmdOk, &QPushButton::clicked, this, &frmLogin::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);

    subInitLoginCaption();
    setWindowTitle(QStringLiteral("流通委托") + QStringLiteral("-") + windowTitle());
    adjustSize();
    subCenterForm(this, false);
    cmdOk->setEnabled(false);
}

bool frmLogin::showLogin(QWidget* parent)
{
    g_blnDlgOk = false;
    frmLogin dialog(parent);
    ui::DialogService::current().execDialog(&dialog);
    return g_blnDlgOk;
}

void frmLogin::subInitLoginCaption()
{
    setWindowTitle(QStringLiteral("系统登录"));
    lblName->setText(QStringLiteral("用户"));
    lblPwd->setText(QStringLiteral("口令"));
    cmdOk->setText(QStringLiteral("确定(&O)"));
    cmdCancel->setText(QStringLiteral("取消(&C)"));
}

int frmLogin::blnCheckLogin()
{
    LoginFocus focus = LoginFocus::None;
    const int result = blnCheckWorker(txtName->text(), txtPwd->text(), &focus, false);
    if (result != 0 && focus != LoginFocus::None) {
        cmdOk->setEnabled(false);
        QLineEdit* box = focus == LoginFocus::Password ? txtPwd : txtName;
        box->setFocus();
        box->selectAll();
    }
    return result;
}

void frmLogin::cmdOk_Click()
{
    if (blnCheckLogin() != 0)
        return;
    g_blnDlgOk = true;
    done(QDialog::Accepted);
}

void frmLogin::cmdCancel_Click()
{
    if (intShowMsg(QStringLiteral("QCM501")) == 2)
        return;
    g_blnDlgOk = false;
    done(QDialog::Rejected);
}

void frmLogin::onF1()
{
    if (txtName->text().isEmpty() || txtPwd->text().isEmpty())
        return;
    if (blnCheckLogin() != 0)
        return;
    hide();
    frmChgPwd change(txtName->text(), this);
    ui::DialogService::current().execDialog(&change);
    // The worker passed the check: the log-in counts whether or not the
    // password changed.
    g_blnDlgOk = true;
    done(QDialog::Accepted);
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1) {
            onF1();
            return true;
        }
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == txtName && enter) {
            if (!txtName->text().isEmpty())
                txtPwd->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmLogin::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        event->accept();
        onF1();
        return;
    }
    // Escape asks as Cancel does.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        cmdCancel_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmLogin::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    txtName->setFocus();
}
