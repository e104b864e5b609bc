#pragma once
// Writing a report grid to files: text, HTML, XML, an SQLite database and an
// Excel workbook. Every writer takes the grid as it shows: its titles, column
// order and cell texts, leaving out column 0, the definition row and hidden
// columns (the workbook keeps a hidden column's place, empty).
//
// A writer either writes the whole file or leaves the target as it was: the
// files are written aside and put in place at the end; the database rows go
// in one transaction. A failure returns false with its reason.

#include "report/ReportGrid.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct sqlite3;

namespace report {

// The report's texts around the grid: the title and information lines 1..5.
struct ReportTexts {
    QString title;
    QStringList info; // up to five lines
    // The five lines joined by single blanks (missing ones count as empty).
    QString infoText() const;
};

// Replaces a file by `bytes` in one step; false with the reason on failure.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error);
// Why an export may not replace `path`: a folder of that name, or a read-only
// file; "" when the path is free or a file that may be replaced.
QString replaceProblem(const QString& path);

// Title, 81 "=", lines 1..5, 81 "=", titles and rows joined by "|"; GB18030
// with CRLF.
QByteArray textExport(const ReportGrid& grd, const ReportTexts& texts);
// One line of HTML in GB18030, every text escaped.
QByteArray htmlExport(const ReportGrid& grd, const ReportTexts& texts);
// UTF-8 XML: root "aa", one "bb" per data row, one "col" per exported column
// with the column's title in its "title" attribute. A carriage return is
// written as "&#13;" so that it reads back as itself.
QByteArray xmlExport(const ReportGrid& grd);
// Escapes & < > " ' for HTML text.
QString htmlEscape(const QString& text);

// ---- database and workbook exports --------------------------------------

// One exported column: the target field's name and the grid column.
struct ExportColumn {
    QString strName;
    int intCol = 0;
    int intMarcItem = 0;
    QString strCnSubfield;
    QString strUsSubfield;
};
constexpr int kMaxExportColumns = 51;

// The grid's visible columns 1.., titled by row 0; false when there are more
// than kMaxExportColumns.
bool gatherExportColumns(const ReportGrid& grd, QList<ExportColumn>* out);
// Field names for a new table: repeated names (letter case aside) get "_2",
// "_3"..., an empty one "COL<n>" (n its place from 1).
QStringList distinctFieldNames(const QList<ExportColumn>& cols);

// An SQLite 3 database file.
class SqliteFile {
public:
    ~SqliteFile();
    // Opens (creating when missing) the file and checks that it is a database.
    bool open(const QString& path, QString* error);
    void close();
    // The user tables, in creation order.
    QStringList tables(QString* error = nullptr) const;
    bool hasTable(const QString& name) const;
    // Creates a table of one TEXT field per column.
    bool createTable(const QString& name, const QList<ExportColumn>& cols, QString* error);
    // Inserts one row per grid row from `firstRow` with its non-empty cells,
    // all in one transaction, which first creates the table when `create`
    // is set. `progress` is told each row done.
    bool insertRows(const QString& table, const QList<ExportColumn>& cols, const ReportGrid& grd,
                    int firstRow, bool create, const std::function<void(int done, int total)>& progress,
                    QString* error);

private:
    bool exec(const QString& sql, QString* error);
    ::sqlite3* db_ = nullptr;
};

// Trimmed and upper-cased; empty for a name of blanks.
QString normalTableName(const QString& typed);
// Why the database file cannot take `name` as a table's name (a control
// character such as NUL, an invalid character, the prefix it reserves for
// itself); "" when it can.
QString tableNameProblem(const QString& name);

// The workbook: sheet "ExportData", every cell a string: the title, the
// information text, the column titles, then the data rows; a sheet column per
// grid column 1.. (hidden ones left empty). A text of the form "_xHHHH_"
// reads back as written: its underscore is stored escaped ("_x005F_"), which
// the writer counts against the cell's room. A text longer than a cell holds
// (kMaxCellText, counted as the writer stores it) is cut to fit; `cutRows`
// gets the grid rows so cut, in order, with kTitleRow and kInfoRow for the two
// texts. The file is saved in one step (an existing one stays as it
// was when the export fails).
constexpr int kMaxCellText = 32767;
constexpr int kTitleRow = -2;
constexpr int kInfoRow = -1;
bool writeXlsx(const QString& path, const ReportGrid& grd, const ReportTexts& texts, QString* error,
               QList<int>* cutRows = nullptr);

} // namespace report
