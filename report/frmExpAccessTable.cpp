#include "report/frmExpAccessTable.h"

#include "common/basEnv.h"
#include "common/basMsg.h"
#include "report/ExportFieldChooser.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace report;

frmExpAccessTable::frmExpAccessTable(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmExpAccessTable"));
    setWindowTitle(QStringLiteral("导出到"));
    optTable0 = new QRadioButton(QStringLiteral("新建表"), this);
    optTable0->setObjectName(QStringLiteral("optTable_0"));
    optTable0->setChecked(true);
    optTable1 = new QRadioButton(QStringLiteral("现存表"), this);
    optTable1->setObjectName(QStringLiteral("optTable_1"));
    txtTable = new QLineEdit(this);
    txtTable->setObjectName(QStringLiteral("txtTable"));
    cboTable = new QComboBox(this);
    cboTable->setObjectName(QStringLiteral("cboTable"));
    cboTable->hide();
    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* label = new QLabel(QStringLiteral("表名"), this);
    label->setObjectName(QStringLiteral("Label1"));
    auto* lay = new QGridLayout(this);
    lay->addWidget(optTable0, 0, 0);
    lay->addWidget(optTable1, 0, 1);
    lay->addWidget(label, 1, 0);
    lay->addWidget(txtTable, 1, 1);
    lay->addWidget(cboTable, 1, 1);
    lay->addWidget(cmdOK, 2, 0);
    lay->addWidget(cmdCancel, 2, 1);
    connect(optTable0, &QRadioButton::clicked, this, &frmExpAccessTable::optTable_Click);
    connect(optTable1, &QRadioButton::clicked, this, &frmExpAccessTable::optTable_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmExpAccessTable::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmExpAccessTable::optTable_Click() {
    const bool existing = optTable1->isChecked();
    cboTable->setVisible(existing);
    txtTable->setVisible(!existing);
    if (!existing) return;
    cboTable->clear();
    SqliteFile file;
    QString error;
    if (!file.open(g_strExpFile, &error)) {
        LIB_WriteLogFile(QStringLiteral("导出到"), g_strExpFile + QStringLiteral("：") + error);
        return;
    }
    cboTable->addItems(file.tables());
    if (cboTable->count() > 0) cboTable->setCurrentIndex(0);
}

void frmExpAccessTable::fail(const QString& error) {
    LIB_WriteLogFile(QStringLiteral("导出到"), error);
    intShowMsg(QStringLiteral("E") + error);
    reject();
}

bool frmExpAccessTable::cmdOK_Click() {
    if (optTable1->isChecked()) {
        if (cboTable->currentIndex() < 0) return false;
        g_strExpTable = cboTable->currentText();
        accept();
        return true;
    }
    if (txtTable->text().isEmpty()) return false;
    const QString name = normalTableName(txtTable->text());
    if (name.isEmpty()) {
        intShowMsg(QStringLiteral("E表名不能全是空格，请输入表名。"));
        return false;
    }
    if (const QString problem = tableNameProblem(name); !problem.isEmpty()) {
        intShowMsg(QStringLiteral("E") + problem);
        return false;
    }
    SqliteFile file;
    QString error;
    if (!file.open(g_strExpFile, &error) ||
        !file.createTable(name, g_arrExpCols.mid(0, std::max(0, g_lngExpColCount)), &error)) {
        fail(error);
        return false;
    }
    g_strExpTable = name;
    accept();
    return true;
}
