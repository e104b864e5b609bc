#include "common/DBResultSet.h"

DBResultSet::DBResultSet(int rows, int fields)
    : rows_(rows < 0 ? 0 : rows), fields_(fields < 0 ? 0 : fields) {
    grid_.resize(qsizetype(fields_ + 1) * qsizetype(rows_ + 3));
}

QVariant DBResultSet::cell(int col, int row) const {
    if (col < 0 || col > fields_ || row < 0 || row > rows_ + 2 || grid_.isEmpty()) return QVariant();
    return grid_[qsizetype(col) * (rows_ + 3) + row];
}

void DBResultSet::setCell(int col, int row, const QVariant& v) {
    if (col < 0 || col > fields_ || row < 0 || row > rows_ + 2 || grid_.isEmpty()) return;
    grid_[qsizetype(col) * (rows_ + 3) + row] = v;
}

int DBResultSet::fieldIndex(const QString& name) const {
    for (int c = 0; c < fields_; ++c)
        if (fieldName(c).compare(name, Qt::CaseInsensitive) == 0) return c;
    return -1;
}
