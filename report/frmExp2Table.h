#pragma once
// The table dialog of the database-file export ("导出到"): a new table named
// by the worker (trimmed, upper-cased) or one of the file's tables; OK writes
// the grid's rows from the first row given, in one transaction, with a
// progress bar, and ends with "数据导出完毕!". The file is an SQLite 3
// database (there is no Access engine on this platform).

#include "report/ReportExport.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

class frmExp2Table : public QDialog {
    Q_OBJECT
public:
    // `grid` null: only the table is chosen or made.
    frmExp2Table(QString path, QList<report::ExportColumn> cols, const report::ReportGrid* grid, int rowStart,
                 QWidget* parent = nullptr);

    // Opens the file and lists its tables; false with the reason when it is
    // no database.
    bool openFile(QString* error);
    int mode = 0; // 0 the file has no tables: a new table only
    QString exportedTable() const { return table_; }

    void optTable_Click();
    void lstTable_Click(int row);
    // True when the rows were written.
    bool cmdOK_Click();

    QRadioButton* optNew = nullptr;
    QRadioButton* optExisting = nullptr;
    QLineEdit* txtTable = nullptr;
    QListWidget* lstTable = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QProgressBar* prgExp = nullptr;

private:
    // Logs the failure, shows it after `message` and closes; false.
    bool fail(const QString& message, const QString& error);

    QString path_;
    QList<report::ExportColumn> cols_;
    const report::ReportGrid* grid_;
    int rowStart_;
    report::SqliteFile file_;
    QString table_;
};

// The twin that only chooses an existing table or makes a new one (sets
// g_strExpTable) and writes no rows.
class frmExpTable : public frmExp2Table {
    Q_OBJECT
public:
    frmExpTable(QString path, QList<report::ExportColumn> cols, QWidget* parent = nullptr);
};
