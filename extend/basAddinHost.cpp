// The host calls offered to add-ins, over the desk's database connection.

#include "common/DBResultSet.h"
#include "common/basDB.h"
#include "extend/cAddinsCollection.h"

#include <QByteArray>

namespace extend {

namespace {

DBResultSet s_rows;
QByteArray s_cell;
QByteArray s_error;

// A failure of the add-in's own statement is the add-in's to report: it is
// kept for last_error and not left pending for the desk's next report.
int finish(int rc) {
    s_error = rc == 0 ? QByteArray() : g_strErrText.toUtf8();
    if (rc != 0) LIB_ClearDBError();
    return rc == 0 ? 0 : -1;
}

int hostQuery(const char* sql) {
    s_rows = DBResultSet();
    return finish(LIB_DB_Select(QString::fromUtf8(sql ? sql : ""), s_rows));
}

int hostRowCount() {
    return s_rows.rowCount();
}

int hostFieldCount() {
    return s_rows.fieldCount();
}

const char* hostFieldName(int field) {
    s_cell = field >= 0 && field < s_rows.fieldCount() ? s_rows.fieldName(field).toUtf8() : QByteArray();
    return s_cell.constData();
}

const char* hostCell(int row, int field) {
    const bool inside = row >= 0 && row < s_rows.rowCount() && field >= 0 && field < s_rows.fieldCount();
    s_cell = inside ? s_rows.text(row, field).toUtf8() : QByteArray();
    return s_cell.constData();
}

int hostExecute(const char* sql) {
    return finish(LIB_DB_Execute(QString::fromUtf8(sql ? sql : "")));
}

const char* hostLastError() {
    return s_error.constData();
}

const AddinHostCalls s_calls = {ADDIN_HOST_CALLS_VERSION,
                                hostQuery,
                                hostRowCount,
                                hostFieldCount,
                                hostFieldName,
                                hostCell,
                                hostExecute,
                                hostLastError};

} // namespace

const AddinHostCalls* addinHostCalls() {
    return &s_calls;
}

} // namespace extend
