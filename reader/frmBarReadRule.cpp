#include "reader/frmBarReadRule.h"

#include "common/basLTFunc.h"
#include "common/basMsg.h"
#include "platform/ui/ButtonRow.h"
#include "platform/ui/NumberBox.h"
#include "reader/basBarRuleEdit.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

QPointer<frmBarReadRule> frmBarReadRule::instance_;

frmBarReadRule* frmBarReadRule::form(QWidget* owner) {
    if (!instance_) {
        instance_ = new frmBarReadRule(owner);
        instance_->Form_Load();
    }
    return instance_;
}

bool frmBarReadRule::loaded() {
    return !instance_.isNull();
}

frmBarReadRule::frmBarReadRule(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmBarReadRule"));
    setWindowTitle(QStringLiteral("读者条码读取规则"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* fraType = new QGroupBox(QStringLiteral("读者条码读取规则"), this);
    fraType->setObjectName(QStringLiteral("fraType"));
    optType[0] = new QRadioButton(QStringLiteral("按起始位置及长度读取"), fraType);
    optType[1] = new QRadioButton(QStringLiteral("按分隔符读取"), fraType);
    auto* typeLayout = new QVBoxLayout(fraType);
    for (int i = 0; i < 2; ++i) {
        optType[i]->setObjectName(QStringLiteral("optType_%1").arg(i));
        typeLayout->addWidget(optType[i]);
    }
    chkBarReadRule = new QCheckBox(QStringLiteral("使用读取规则"), this);
    chkBarReadRule->setObjectName(QStringLiteral("chkBarReadRule"));
    auto number = [this](const char* name) {
        auto* b = new ui::NumberBox(QString::fromLatin1(name), this);
        b->setMask(QStringLiteral("###"));
        return b;
    };
    txtStart = number("txtStart");
    txtLength = number("txtLength");
    lstContent = new QListWidget(this);
    lstContent->setObjectName(QStringLiteral("lstContent"));
    lstContent->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    cmdNew = button("cmdNew", "新增(&N)");
    cmdDelete = button("cmdDelete", "删除(&D)");
    cmdOk = button("cmdOk", "确定(&O)");
    cmdCancel = button("cmdCancel", "退出(&Q)");

    auto* entry = new QGridLayout;
    entry->addWidget(new QLabel(QStringLiteral("起始位置："), this), 0, 0);
    entry->addWidget(txtStart, 0, 1);
    entry->addWidget(new QLabel(QStringLiteral("截取长度："), this), 1, 0);
    entry->addWidget(txtLength, 1, 1);
    auto* edit = new QHBoxLayout;
    edit->addLayout(entry);
    edit->addWidget(cmdNew);
    edit->addWidget(cmdDelete);
    auto* heading = new QLabel(QStringLiteral("序号      起始位置      截取长度"), this);
    heading->setFont(lstContent->font());
    QHBoxLayout* buttons = ui::buttonRow({cmdOk, cmdCancel});
    auto* top = new QVBoxLayout(this);
    top->addWidget(fraType);
    top->addWidget(chkBarReadRule);
    top->addLayout(edit);
    top->addWidget(heading);
    top->addWidget(lstContent, 1);
    top->addLayout(buttons);

    connect(cmdNew, &QPushButton::clicked, this, &frmBarReadRule::cmdNew_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmBarReadRule::cmdDelete_Click);
    connect(cmdOk, &QPushButton::clicked, this, &frmBarReadRule::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmBarReadRule::cmdCancel_Click);
}

void frmBarReadRule::Form_Load() {
    optType[g_blnBarRuleByPos ? 0 : 1]->setChecked(true);
    chkBarReadRule->setChecked(g_intBarRuleUsed == 1);
    subShowLines(arrBarRuleLines(), -1);
}

QStringList frmBarReadRule::arrLines() const {
    QStringList lines;
    for (int i = 0; i < lstContent->count(); ++i)
        lines << lstContent->item(i)->text();
    return lines;
}

void frmBarReadRule::subShowLines(const QStringList& lines, int current) {
    lstContent->clear();
    lstContent->addItems(lines);
    lstContent->setCurrentRow(current);
}

void frmBarReadRule::cmdNew_Click() {
    QStringList lines = arrLines();
    QString message;
    const int added = intAddBarRuleLine(&lines, txtStart->text(), txtLength->text(), &message);
    if (added < 0)
        intShowMsg(message);
    else if (added > 0)
        subShowLines(lines, -1);
}

void frmBarReadRule::cmdDelete_Click() {
    const int row = lstContent->currentRow();
    if (row < 0 || !lstContent->currentItem()->isSelected()) return;
    QStringList lines = arrLines();
    subDeleteBarRuleLine(&lines, row);
    subShowLines(lines, -1);
}

void frmBarReadRule::cmdOk_Click() {
    QString message;
    if (intSaveBarReadRule(optType[0]->isChecked(), chkBarReadRule->isChecked(), arrLines(), &message) < 0) {
        intShowMsg(message);
        return;
    }
    close();
}

void frmBarReadRule::cmdCancel_Click() {
    close();
}
