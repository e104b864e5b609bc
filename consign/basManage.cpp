#include "consign/basManage.h"

#include "common/basDB.h"
#include "common/basEnv.h"
#include "desk/DeskLending.h"


#include <QDate>

namespace consign {

int intLoadManageLocations(Chooser& chooser) {
    chooser.clear();
    if (intLoadLocations(chooser, QString()) != 0) return -1;
    chooser.names.removeLast(); // "所有馆藏地"
    chooser.hasAll = false;
    chooser.index = -1;
    return 0;
}

QString strKeepEndDate(const QString& beginDate, const QString& days) {
    const QDate begin = QDate::fromString(beginDate.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!begin.isValid()) return beginDate;
    bool ok = false;
    const int n = days.trimmed().toInt(&ok);
    return begin.addDays(ok ? n : 0).toString(QStringLiteral("yyyy-MM-dd"));
}

void subManageBox(const QString& text, bool error) {
    desk::DeskLending::plainBox(error, text);
}

int ManageDb::select(const QString& sql, DBResultSet& rs) {
    ++statements;
    if (log) log->append(sql);
    g_strSQL = sql;
    return LIB_DB_Select(sql, rs);
}

int ManageDb::execute(const QString& sql) {
    ++statements;
    if (log) log->append(sql);
    g_strSQL = sql;
    return LIB_DB_Execute(sql);
}

int ManageDb::begin() {
    ++statements;
    return LIB_DB_BeginTrans();
}

int ManageDb::commit() {
    ++statements;
    return LIB_DB_CommitTrans();
}

int ManageDb::rollback() {
    ++statements;
    return LIB_DB_Rollback();
}

int ManageDb::abort() {
    rollback();
    intShowDBError();
    return -1;
}

int ManageDb::run(LIB_DB_Batch& batch) {
    statements += batch.count();
    for (int i = 0; i < batch.count(); ++i)
        if (log) log->append(batch.sql(i));
    return batch.run();
}

int ManageDb::runOpening(LIB_DB_Batch& batch) {
    batch.begin();
    ++statements; // BEGIN
    if (run(batch) == 0) return 0;
    if (LIB_DB_InTrans()) return abort();
    intShowDBError();
    return -1;
}

int ManageDb::writeRows(const QString& sql) {
    // The transaction and the counted write in one round trip.
    LIB_DB_Batch b;
    b.select("WITH changed AS (" + sql + " RETURNING 1) SELECT count(*) FROM changed");
    if (runOpening(b) != 0) return -1;
    const int n = b.rows(0).rowCount() > 0 ? b.rows(0).text(0, 0).toInt() : 0;
    if (n == 0) {
        rollback();
        return 1;
    }
    return commit() != 0 ? abort() : 0;
}

QString ManageDb::today() {
    ++statements;
    return varGetSysInfo(1).toString().left(10);
}

} // namespace consign
