#pragma once
// The report a list window hands to the report window: a table of text cells
// indexed (row, column). Row 0 holds the column titles from column 1 on; rows
// 1..g_lngPrtRows hold one record each, column 0 the record's key (the MARC
// record number of its title) and columns 1..g_lngPrtCols its texts.
//
// A cell the caller never wrote reads as the empty text, whatever its index.

#include <QList>
#include <QString>
#include <QStringList>

class ReportArray {
public:
    // Sizes the table to rows 0..lastRow and columns 0..lastCol, all empty.
    void resize(int lastRow, int lastCol);
    void clear() { rows_.clear(); }

    QString cell(int row, int col) const;
    void setCell(int row, int col, const QString& text);

    // Writes a whole row: cells[0] goes to column 0, and so on.
    void setRow(int row, const QStringList& cells);

    int lastRow() const { return int(rows_.size()) - 1; }
    // The last column row `row` holds (-1 for a row that does not exist).
    int lastCol(int row) const { return row >= 0 && row < rows_.size() ? int(rows_.at(row).size()) - 1 : -1; }

private:
    QList<QStringList> rows_;
};

// The report array and its counts, written by the callers before they show
// frmFlexPrint; the window reads them only while it loads.
extern ReportArray g_varPrtData;
extern qint32 g_lngPrtRows;
extern qint32 g_lngPrtCols;
