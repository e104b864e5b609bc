#include "report/ReportArray.h"

ReportArray g_varPrtData;
qint32 g_lngPrtRows = 0;
qint32 g_lngPrtCols = 0;

void ReportArray::resize(int lastRow, int lastCol) {
    rows_.clear();
    if (lastRow < 0 || lastCol < 0) return;
    rows_.reserve(lastRow + 1);
    for (int r = 0; r <= lastRow; ++r) {
        QStringList row;
        row.reserve(lastCol + 1);
        for (int c = 0; c <= lastCol; ++c)
            row.append(QString());
        rows_.append(row);
    }
}

QString ReportArray::cell(int row, int col) const {
    if (row < 0 || row >= rows_.size() || col < 0) return QString();
    const QStringList& r = rows_.at(row);
    return col < r.size() ? r.at(col) : QString();
}

void ReportArray::setCell(int row, int col, const QString& text) {
    if (row < 0 || col < 0) return;
    while (rows_.size() <= row)
        rows_.append(QStringList());
    QStringList& r = rows_[row];
    while (r.size() <= col)
        r.append(QString());
    r[col] = text;
}

void ReportArray::setRow(int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c)
        setCell(row, c, cells.at(c));
}
