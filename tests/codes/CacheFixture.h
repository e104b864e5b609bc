#pragma once
// Builds code-table caches in memory for the tests that need no database.

#include "common/DBResultSet.h"

#include <QStringList>
#include <initializer_list>

inline DBResultSet makeCache(const QStringList& fields, std::initializer_list<QStringList> rows) {
    DBResultSet r(int(rows.size()), int(fields.size()));
    for (int c = 0; c < fields.size(); ++c) {
        r.setCell(c, 0, fields[c].toUpper());
        r.setCell(c, 1, 10);
    }
    int i = 0;
    for (const QStringList& row : rows) {
        for (int c = 0; c < row.size(); ++c) r.setCell(c, 2 + i, row[c]);
        ++i;
    }
    return r;
}
