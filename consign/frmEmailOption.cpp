#include "consign/frmEmailOption.h"

#include "platform/ui/ButtonRow.h"
#include "platform/ui/Grid.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
QPointer<frmEmailOption> s_instance;

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}
} // namespace

frmEmailOption* frmEmailOption::instance() {
    return s_instance.data();
}

frmEmailOption::frmEmailOption(QWidget* parent) : QDialog(parent) {
    s_instance = this;
    setObjectName(QStringLiteral("frmEmailOption"));
    setWindowTitle(QStringLiteral("邮件选项"));
    setAttribute(Qt::WA_DeleteOnClose);
    stEmailOption = new QTabWidget(this);
    stEmailOption->setObjectName(QStringLiteral("stEmailOption"));

    // 服务器设置
    auto* serverTab = new QWidget;
    auto* server = new QGroupBox(QStringLiteral("服务器"), serverTab);
    auto* form = new QFormLayout(server);
    auto edit = [&](const char* name) {
        auto* e = new QLineEdit(server);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    txtSmtpAddress = edit("txtSmtpAddress");
    txtEmailAddress = edit("txtEmailAddress");
    chkSmtp = new QCheckBox(QStringLiteral("SMTP服务器需要身份验证"), server);
    chkSmtp->setObjectName(QStringLiteral("chkSmtp"));
    txtUser = edit("txtUser");
    txtPassword = edit("txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    chkBak = new QCheckBox(QStringLiteral("发送邮件备份"), server);
    chkBak->setObjectName(QStringLiteral("chkBak"));
    form->addRow(QStringLiteral("SMTP服务器地址："), txtSmtpAddress);
    form->addRow(QStringLiteral("发件人Email地址："), txtEmailAddress);
    form->addRow(chkSmtp);
    form->addRow(QStringLiteral("用户名："), txtUser);
    form->addRow(QStringLiteral("密码："), txtPassword);
    form->addRow(chkBak);
    (new QVBoxLayout(serverTab))->addWidget(server);
    stEmailOption->addTab(serverTab, QStringLiteral("服务器设置"));

    // 签名设置
    auto* signTab = new QWidget;
    auto* signs = new QGroupBox(QStringLiteral("签名"), signTab);
    spdName = new ui::SpreadGrid(QStringLiteral("spdName"), signs);
    spdName->setMaxCols(3);
    spdName->setText(1, 0, QStringLiteral("名称"));
    spdName->setText(2, 0, QStringLiteral("状态"));
    spdName->setText(3, 0, QStringLiteral("内容"));
    spdName->setLocked(2, -1, true);
    spdName->setLocked(3, -1, true);
    (new QVBoxLayout(signs))->addWidget(spdName);
    auto* editor = new QGroupBox(QStringLiteral("编辑"), signTab);
    txtName = new QPlainTextEdit(editor);
    txtName->setObjectName(QStringLiteral("txtName"));
    (new QVBoxLayout(editor))->addWidget(txtName);
    cmdNew = button(QStringLiteral("cmdNew"), QStringLiteral("新增(&N)"), signTab);
    cmdDelete = button(QStringLiteral("cmdDelete"), QStringLiteral("删除(&D)"), signTab);
    cmdDefault = button(QStringLiteral("cmdDefault"), QStringLiteral("默认(&F)"), signTab);
    QHBoxLayout* signButtons = ui::buttonRow({cmdNew, cmdDelete, cmdDefault});
    auto* signBox = new QVBoxLayout(signTab);
    signBox->addWidget(signs, 1);
    signBox->addWidget(editor, 1);
    signBox->addLayout(signButtons);
    stEmailOption->addTab(signTab, QStringLiteral("签名设置"));

    // 正文设置
    auto* bodyTab = new QWidget;
    auto* bodyFrame = new QGroupBox(QStringLiteral("正文"), bodyTab);
    txtBody = new QPlainTextEdit(bodyFrame);
    txtBody->setObjectName(QStringLiteral("txtBody"));
    (new QVBoxLayout(bodyFrame))->addWidget(txtBody);
    (new QVBoxLayout(bodyTab))->addWidget(bodyFrame);
    stEmailOption->addTab(bodyTab, QStringLiteral("正文设置"));

    QHBoxLayout* buttons = ui::okCancelRow(this, cmdOk, cmdCancel, QStringLiteral("确定(&O)"));
    auto* box = new QVBoxLayout(this);
    box->addWidget(stEmailOption, 1);
    box->addLayout(buttons);
    resize(520, 460);

    connect(chkSmtp, &QCheckBox::clicked, this, &frmEmailOption::chkSmtp_Click);
    connect(spdName, &ui::SpreadGrid::cellClick, this,
            [this](int, int row) { gridAction([&] { logic.spdName_Click(row - 1); }); });
    connect(spdName, &ui::SpreadGrid::cellChange, this, [this](int col, int row) {
        if (col == 1 && row >= 1 && row <= logic.rows.size())
            logic.rows[row - 1].name = spdName->getText(1, row);
    });
    connect(cmdNew, &QPushButton::clicked, this, [this] { gridAction([&] { logic.cmdNew(); }); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { gridAction([&] { logic.cmdDelete(); }); });
    connect(cmdDefault, &QPushButton::clicked, this, [this] { gridAction([&] { logic.cmdDefault(); }); });
    connect(cmdOk, &QPushButton::clicked, this, &frmEmailOption::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    // Load.
    logic.subShowEmailOption();
    txtSmtpAddress->setText(logic.smtpAddress);
    txtEmailAddress->setText(logic.emailAddress);
    txtUser->setText(logic.user);
    txtPassword->setText(logic.password);
    chkSmtp->setChecked(logic.smtpAuth);
    chkBak->setChecked(logic.bak);
    fillGrid();
    txtName->setPlainText(logic.editText);
    txtBody->setPlainText(logic.body);
    chkSmtp_Click();
}

void frmEmailOption::fillGrid() {
    spdName->setMaxRows(0);
    spdName->setMaxRows(int(logic.rows.size()));
    for (int i = 0; i < logic.rows.size(); ++i) {
        spdName->setText(1, i + 1, logic.rows[i].name);
        spdName->setText(2, i + 1, logic.rows[i].isDefault ? QStringLiteral("默认签名") : QString());
        spdName->setText(3, i + 1, logic.rows[i].text);
    }
    if (logic.activeRow >= 0) spdName->setActiveCell(1, logic.activeRow + 1);
}

template <class F> void frmEmailOption::gridAction(F action) {
    logic.editText = txtName->toPlainText();
    action();
    fillGrid();
    txtName->setPlainText(logic.editText);
}

void frmEmailOption::chkSmtp_Click() {
    const bool on = chkSmtp->isChecked();
    txtUser->setEnabled(on);
    txtPassword->setEnabled(on);
}

void frmEmailOption::cmdOk_Click() {
    logic.smtpAddress = txtSmtpAddress->text();
    logic.emailAddress = txtEmailAddress->text();
    logic.smtpAuth = chkSmtp->isChecked();
    logic.user = txtUser->text();
    logic.password = txtPassword->text();
    logic.bak = chkBak->isChecked();
    logic.editText = txtName->toPlainText();
    logic.body = txtBody->toPlainText();
    if (logic.cmdOk() == 0) accept(); // a refusal keeps the window open with everything typed
}
