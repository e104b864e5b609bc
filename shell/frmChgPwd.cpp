#include "shell/frmChgPwd.h"

#include "common/basAuth.h"
#include "platform/ui/ButtonRow.h"
#include "shell/basLogin.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmChgPwd::frmChgPwd(const QString& worker, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), m_strWkrNo(worker)
{
    setObjectName(QStringLiteral("frmChgPwd"));
    auto* grid = new QGridLayout(this);
    for (int k = 0; k < 2; ++k) {
        lblPwd[k] = new QLabel(this);
        lblPwd[k]->setObjectName(QStringLiteral("lblPwd_%1").arg(k));
        grid->addWidget(lblPwd[k], k, 0);
    }
    txtPwd = new QLineEdit(this);
    txtPwd->setObjectName(QStringLiteral("txtPwd"));
    txtPwdConfirm = new QLineEdit(this);
    txtPwdConfirm->setObjectName(QStringLiteral("txtPwdConfirm"));
    for (QLineEdit* box : {txtPwd, txtPwdConfirm}) {
        box->setEchoMode(QLineEdit::Password);
        box->setMaxLength(8);
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (!txtPwd->text().isEmpty() && !txtPwdConfirm->text().isEmpty())
                cmdOk->setEnabled(true);
        });
    }
    grid->addWidget(txtPwd, 0, 1);
    grid->addWidget(txtPwdConfirm, 1, 1);
    // The captions come with the others below.
    grid->addLayout(ui::okCancelRow(this, cmdOk, cmdCancel, QString(), QString()), 2, 0, 1, 2);
    connect(cmdOk, &QPushButton::clicked, this, &frmChgPwd::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmChgPwd::cmdCancel_Click);

    subInitChgPwdCaption();
    cmdOk->setEnabled(false);
    adjustSize();
    subCenterForm(this, false);
}

void frmChgPwd::subInitChgPwdCaption()
{
    setWindowTitle(QStringLiteral("修改口令"));
    lblPwd[0]->setText(QStringLiteral("新口令"));
    lblPwd[1]->setText(QStringLiteral("确认口令"));
    cmdOk->setText(QStringLiteral("确定(&O)"));
    cmdCancel->setText(QStringLiteral("取消(&C)"));
}

void frmChgPwd::cmdOk_Click()
{
    if (blnSaveNewPassword(m_strWkrNo, txtPwd->text(), txtPwdConfirm->text()))
        done(QDialog::Accepted);
}

void frmChgPwd::cmdCancel_Click()
{
    done(QDialog::Rejected);
}
