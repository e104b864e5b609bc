#include "shell/frmOption.h"

#include "platform/text/IniFile.h"
#include "platform/ui/ButtonRow.h"
#include "shell/basMainSettings.h"
#include "shell/basShellIni.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

frmOption::frmOption(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("系统选项"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* tabs = new QTabWidget(this);
    auto* general = new QWidget;
    tabs->addTab(general, QStringLiteral("通用设置"));
    auto* basic = new QGroupBox(QStringLiteral("基本设置"), general);
    chkFineLend = new QCheckBox(QStringLiteral("借书时可以处理超期罚款"), basic);
    chkFineLend->setObjectName(QStringLiteral("chkFineLend"));
    chkFineReturn = new QCheckBox(QStringLiteral("还书时可以处理超期罚款"), basic);
    chkFineReturn->setObjectName(QStringLiteral("chkFineReturn"));
    auto* basicLayout = new QVBoxLayout(basic);
    basicLayout->addWidget(chkFineLend);
    basicLayout->addWidget(chkFineReturn);
    auto* clear = new QGroupBox(QStringLiteral("还书清屏"), general);
    optReturnClear[0] = new QRadioButton(QStringLiteral("切换不同读者时清屏"), clear);
    optReturnClear[1] = new QRadioButton(QStringLiteral("不清屏"), clear);
    auto* clearLayout = new QVBoxLayout(clear);
    for (int i = 0; i < 2; ++i) {
        optReturnClear[i]->setObjectName(QStringLiteral("optReturnClear_%1").arg(i));
        clearLayout->addWidget(optReturnClear[i]);
    }
    auto* page = new QVBoxLayout(general);
    page->addWidget(basic);
    page->addWidget(clear);
    page->addStretch();

    QHBoxLayout* buttons = ui::okCancelRow(this, cmdOk, cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    connect(cmdOk, &QPushButton::clicked, this, &frmOption::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOption::cmdCancel_Click);

    chkFineLend->setChecked(g_intFineLend == 1);
    chkFineReturn->setChecked(g_intFineReturn == 1);
    optReturnClear[g_intReturnClear == 1 ? 0 : 1]->setChecked(true);
}

void frmOption::cmdOk_Click() {
    g_intFineLend = chkFineLend->isChecked() ? 1 : 0;
    g_intFineReturn = chkFineReturn->isChecked() ? 1 : 0;
    g_intReturnClear = optReturnClear[0]->isChecked() ? 1 : 0;
    const QString app = strProgramTitle(), section = QStringLiteral("Settings");
    text::saveSetting(app, section, QStringLiteral("FineLend"), QString::number(g_intFineLend));
    text::saveSetting(app, section, QStringLiteral("FineReturn"), QString::number(g_intFineReturn));
    text::saveSetting(app, section, QStringLiteral("ReturnClear"), QString::number(g_intReturnClear));
    close();
}

void frmOption::cmdCancel_Click() {
    close();
}
