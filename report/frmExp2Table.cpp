#include "report/frmExp2Table.h"

#include "common/basEnv.h"
#include "common/basMsg.h"
#include "platform/ui/DialogService.h"
#include "report/ExportFieldChooser.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace report;

frmExp2Table::frmExp2Table(QString path, QList<ExportColumn> cols, const ReportGrid* grid, int rowStart,
                           QWidget* parent)
    : QDialog(parent), path_(std::move(path)), cols_(std::move(cols)), grid_(grid), rowStart_(rowStart) {
    setObjectName(QStringLiteral("frmExp2Table"));
    setWindowTitle(QStringLiteral("导出到"));
    optNew = new QRadioButton(QStringLiteral("新建表"), this);
    optNew->setObjectName(QStringLiteral("optTable_0"));
    optExisting = new QRadioButton(QStringLiteral("现有表"), this);
    optExisting->setObjectName(QStringLiteral("optTable_1"));
    txtTable = new QLineEdit(this);
    txtTable->setObjectName(QStringLiteral("txtTable"));
    lstTable = new QListWidget(this);
    lstTable->setObjectName(QStringLiteral("lstTable"));
    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    prgExp = new QProgressBar(this);
    prgExp->setObjectName(QStringLiteral("prgExp"));
    prgExp->hide();
    auto* note = new QLabel(QStringLiteral("文件为SQLite数据库"), this);
    auto* lay = new QVBoxLayout(this);
    auto* opts = new QHBoxLayout;
    opts->addWidget(optNew);
    opts->addWidget(optExisting);
    lay->addLayout(opts);
    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(QStringLiteral("表名"), this));
    name->addWidget(txtTable);
    lay->addLayout(name);
    lay->addWidget(lstTable);
    lay->addWidget(note);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    lay->addLayout(buttons);
    lay->addWidget(prgExp);
    connect(optNew, &QRadioButton::clicked, this, &frmExp2Table::optTable_Click);
    connect(optExisting, &QRadioButton::clicked, this, &frmExp2Table::optTable_Click);
    connect(lstTable, &QListWidget::currentRowChanged, this, &frmExp2Table::lstTable_Click);
    connect(txtTable, &QLineEdit::textChanged, this,
            [this](const QString& t) { cmdOK->setEnabled(!t.trimmed().isEmpty()); });
    connect(cmdOK, &QPushButton::clicked, this, &frmExp2Table::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmExp2Table::openFile(QString* error) {
    if (!file_.open(path_, error)) return false;
    const QStringList tables = file_.tables(error);
    lstTable->addItems(tables);
    mode = tables.isEmpty() ? 0 : 1;
    optExisting->setEnabled(mode == 1);
    (mode == 1 ? optExisting : optNew)->setChecked(true);
    optTable_Click();
    cmdOK->setEnabled(false);
    return true;
}

void frmExp2Table::optTable_Click() {
    const bool existing = optExisting->isChecked();
    txtTable->setReadOnly(existing);
    txtTable->clear();
    lstTable->setVisible(existing);
}

void frmExp2Table::lstTable_Click(int row) {
    if (row < 0 || !optExisting->isChecked()) return;
    txtTable->setText(lstTable->item(row)->text());
}

bool frmExp2Table::fail(const QString& message, const QString& error) {
    LIB_WriteLogFile(QStringLiteral("导出数据库文件"), path_ + QStringLiteral("：") + error);
    intShowMsg(message + error);
    reject();
    return false;
}

bool frmExp2Table::cmdOK_Click() {
    if (txtTable->text().isEmpty()) return false;
    const bool create = optNew->isChecked();
    // The table's name is trimmed and upper-cased, a listed one's too; the rows
    // of a listed table go in under the name the file lists, which SQLite
    // matches exactly even where its case folding (ASCII only) would not.
    const QString table = normalTableName(txtTable->text());
    const QString target = create ? table : txtTable->text();
    if (table.isEmpty()) {
        intShowMsg(QStringLiteral("E表名不能全是空格，请输入表名。"));
        return false;
    }
    if (const QString problem = create ? tableNameProblem(table) : QString(); !problem.isEmpty()) {
        intShowMsg(QStringLiteral("E") + problem);
        return false;
    }
    if (!grid_) { // the twin that only chooses or makes the table
        QString error;
        const bool made = !create || file_.createTable(table, cols_, &error);
        file_.close();
        if (!made) return fail(QStringLiteral("E"), error);
        table_ = g_strExpTable = table;
        accept();
        return true;
    }
    for (QWidget* w :
         {static_cast<QWidget*>(optNew), static_cast<QWidget*>(optExisting), static_cast<QWidget*>(cmdOK),
          static_cast<QWidget*>(cmdCancel), static_cast<QWidget*>(lstTable)})
        w->setEnabled(false);
    prgExp->show();
    QString error;
    const bool ok = file_.insertRows(
        target, cols_, *grid_, rowStart_, create,
        [this](int done, int total) {
            prgExp->setRange(0, total);
            prgExp->setValue(done);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        },
        &error);
    file_.close();
    if (!ok) return fail(QStringLiteral("ECM206"), error);
    table_ = g_strExpTable = table;
    intShowMsg(QStringLiteral("I数据导出完毕!"));
    accept();
    return true;
}

frmExpTable::frmExpTable(QString path, QList<ExportColumn> cols, QWidget* parent)
    : frmExp2Table(std::move(path), std::move(cols), nullptr, 0, parent) {
    setObjectName(QStringLiteral("frmExpTable"));
}
