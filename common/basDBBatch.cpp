#include "common/basDBBatch.h"

#include "common/basDB.h"
#include "platform/oradb/Database.h"
#include "platform/oradb/Pipeline.h"

#include <utility>

int LIB_DB_Batch::add(Item item) {
    items_.push_back(std::move(item));
    return count() - 1;
}

namespace {

LIB_DB_Batch::Item statement(const QString& sql, bool query) {
    LIB_DB_Batch::Item it;
    it.sql = sql.trimmed();
    it.query = query;
    return it;
}

} // namespace

int LIB_DB_Batch::select(const QString& sql) {
    return add(statement(sql, true));
}

int LIB_DB_Batch::selectRaw(const QString& sql) {
    Item it = statement(sql, true);
    it.keepRaw = true;
    return add(std::move(it));
}

int LIB_DB_Batch::execute(const QString& sql) {
    return add(statement(sql, false));
}

oradb::Dynaset& LIB_DB_Batch::raw(int i) const {
    const Item& it = items_.at(i);
    if (!it.raw)
        throw oradb::Error(oradb::ErrNoCurrentRow, QStringLiteral("statement %1 gave no rows").arg(i));
    return *it.raw;
}

int LIB_DB_Batch::callProc(const QString& call) {
    const QString text = call.trimmed();
    const int blank = text.indexOf(QLatin1Char(' '));
    const QString rewritten =
        blank < 0 ? text + QStringLiteral("()")
                  : text.left(blank) + QLatin1Char('(') + text.mid(blank + 1) + QLatin1Char(')');
    return add(statement(QStringLiteral("Begin ") + rewritten + QStringLiteral("; end;"), false));
}

int LIB_DB_Batch::prepared(const QString& name, const QString& sql, const QList<QVariant>& params) {
    Item it = statement(sql, true);
    it.name = name;
    it.params = params;
    return add(std::move(it));
}

int LIB_DB_Batch::preparedWrite(const QString& name, const QString& sql, const QList<QVariant>& params) {
    const int at = prepared(name, sql, params);
    items_[at].query = false;
    return at;
}

int LIB_DB_Batch::preparedRaw(const QString& name, const QString& sql, const QList<QVariant>& params) {
    const int at = prepared(name, sql, params);
    items_[at].keepRaw = true;
    return at;
}

int LIB_DB_Batch::serverDate() {
    return prepared(QStringLiteral("lib_server_date"), strServerDateSQL(), {});
}

int LIB_DB_Batch::savepoint(const QString& name) {
    Item it = statement(QStringLiteral("SAVEPOINT ") + name, false);
    it.name = name;
    it.savepoint = true;
    return add(std::move(it));
}

QString LIB_DB_Batch::text(int i) const {
    const Item& it = items_.at(i);
    QString out = it.sql;
    for (qsizetype p = it.params.size(); p >= 1; --p) {
        const QVariant& v = it.params.at(p - 1);
        out.replace(QLatin1Char('$') + QString::number(p),
                    v.isNull() || v.toString().isEmpty() ? QStringLiteral("NULL") : strSQLQuote(v));
    }
    return out;
}

int LIB_DB_Batch::run() {
    failedAt_ = -1;
    oradb::Database* db = LIB_DB_Database();
    if (!db) {
        LIB_DB_RecordError(1003, 3114, QStringLiteral("ORA-03114: not connected to the database"),
                           QStringLiteral("LIB_DB_Batch"));
        return -1;
    }
    db->LastServerErrReset();
    oradb::Batch b(*db);
    if (begin_) b.Begin();
    if (commit_) b.Commit();
    int result = 0;
    try {
        for (int i = 0; i < count(); ++i) {
            const Item& it = items_[i];
            if (i == afterAt_) b.AfterCommit();
            if (it.savepoint)
                b.AddSavepoint(it.name);
            else if (it.name.isEmpty())
                b.Add(it.sql);
            else
                b.AddPrepared(it.name, it.sql, it.params);
        }
        b.Run();
    } catch (const oradb::Error& e) {
        failedAt_ = b.FailedAt();
        const bool query = failedAt_ < 0 || items_[failedAt_].query;
        // The statement as the log shows it: a prepared one with its values.
        if (failedAt_ >= 0) g_strSQL = text(failedAt_);
        LIB_DB_RecordError(query && failedAt_ >= 0 ? 1003 : 1005, intGetOraErrNo(), e.description(),
                           QStringLiteral("LIB_DB_Batch"));
        result = -1;
    }
    for (int i = 0; i < count(); ++i) {
        if (i >= b.Count() || !b.Ran(i)) continue;
        items_[i].affected = b.RowsAffected(i);
        if (items_[i].keepRaw)
            items_[i].raw = std::shared_ptr<oradb::Dynaset>(b.TakeResult(i));
        else if (items_[i].query)
            items_[i].rows = LIB_DB_ResultSet(b.Result(i));
    }
    return result;
}

namespace {
LIB_DB_ReadAhead* s_readAhead = nullptr;
}

LIB_DB_ReadAhead::LIB_DB_ReadAhead(const QStringList& sqls) : pending_(sqls), outer_(s_readAhead) {
    s_readAhead = this;
}

LIB_DB_ReadAhead::~LIB_DB_ReadAhead() {
    s_readAhead = outer_;
}

std::unique_ptr<oradb::Dynaset> LIB_DB_ReadAhead::take(const QString& sql) {
    for (LIB_DB_ReadAhead* a = s_readAhead; a; a = a->outer_)
        if (std::unique_ptr<oradb::Dynaset> rows = a->takeHere(sql)) return rows;
    return nullptr;
}

std::unique_ptr<oradb::Dynaset> LIB_DB_ReadAhead::takeHere(const QString& sql) {
    oradb::Database* db = LIB_DB_Database();
    if (!pending_.isEmpty() && db && db->IsConnected() && !db->InTransaction()) {
        const QStringList texts = std::exchange(pending_, {});
        oradb::Batch b(*db);
        for (const QString& t : texts)
            b.Add(t);
        try {
            b.Run();
        } catch (const oradb::Error&) {
            // Outside a transaction every statement ran on its own: the ones
            // that failed are asked again when their turn comes.
        }
        for (int i = 0; i < texts.size(); ++i)
            if (b.Ran(i)) read_[texts[i]].push_back(b.TakeResult(i));
    }
    auto it = read_.find(sql);
    if (it == read_.end() || it->second.empty() || !db) return nullptr;
    std::unique_ptr<oradb::Dynaset> rows = std::move(it->second.front());
    it->second.pop_front();
    db->LastServerErrReset();
    return rows;
}

long LIB_DB_RoundTrips() {
    const oradb::Database* db = LIB_DB_Database();
    return db ? db->RoundTrips() : 0;
}

long LIB_DB_StatementsSent() {
    const oradb::Database* db = LIB_DB_Database();
    return db ? db->StatementsSent() : 0;
}

void LIB_DB_ResetTraffic() {
    if (oradb::Database* db = LIB_DB_Database()) db->ResetTraffic();
}

QString strServerDateSQL() {
    return QStringLiteral("SELECT ") + strServerDateExpr();
}

QString strServerDateExpr() {
    return QStringLiteral("to_char(desk_now(), 'YYYY-MM-DD HH24:MI:SS')");
}

QString strServerDayExpr() {
    return QStringLiteral("(SELECT to_char(desk_now(), 'YYYY-MM-DD'))");
}
