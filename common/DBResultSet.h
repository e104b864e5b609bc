#pragma once
// The query result every SELECT of the program fills: row and field counts and
// a grid addressed (column, row): row 0 the field names, row 1 the type codes,
// rows 2..R+1 the values; one spare column F and one spare row R+2 stay empty.

#include <QString>
#include <QVariant>
#include <QVector>

class DBResultSet {
public:
    DBResultSet() = default;
    DBResultSet(int rows, int fields);

    bool isEmpty() const { return grid_.isEmpty(); } // never filled
    int rowCount() const { return rows_; }
    int fieldCount() const { return fields_; }

    // Raw grid access, (column, row), row 0 names, row 1 type codes.
    QVariant cell(int col, int row) const;
    void setCell(int col, int row, const QVariant& v);

    // Result row i (0-based), field c: cell(c, 2 + i).
    QVariant value(int i, int c) const { return cell(c, 2 + i); }
    QString text(int i, int c) const { return value(i, c).toString(); }
    void setValue(int i, int c, const QVariant& v) { setCell(c, 2 + i, v); }
    double number(int i, int c) const { return value(i, c).toDouble(); }
    QString fieldName(int c) const { return cell(c, 0).toString(); }
    int fieldType(int c) const { return cell(c, 1).toInt(); }
    // Index of the field with that name (case-insensitive), or -1.
    int fieldIndex(const QString& name) const;

private:
    int rows_ = 0;
    int fields_ = 0;
    QVector<QVariant> grid_; // (fields_+1) x (rows_+3), column-major
};
