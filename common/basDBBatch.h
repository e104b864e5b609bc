#pragma once
// Statements of one action that do not wait on each other's answers, sent to
// the server together: one round trip. A failure becomes the pending error as
// in LIB_DB_Select (a query) or LIB_DB_Execute (a statement or call); inside a
// transaction the failed statement undoes only itself and the ones after it
// do not run.
//
//   LIB_DB_Batch b;
//   const int reader = b.select("SELECT ...");
//   const int loans = b.select("SELECT ...");
//   if (b.run() != 0) return intShowDBError();
//   b.rows(reader).rowCount();

#include "common/DBResultSet.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <deque>
#include <map>
#include <memory>

namespace oradb {
class Dynaset;
}

class LIB_DB_Batch {
public:
    int select(const QString& sql);
    // A query whose rows are kept as the server sent them (raw(i)).
    int selectRaw(const QString& sql);
    int execute(const QString& sql);
    // "P a,b" as LIB_DB_CallProc takes it.
    int callProc(const QString& call);
    // A named prepared statement with parameters $1, $2, ...
    int prepared(const QString& name, const QString& sql, const QList<QVariant>& params);
    // A named prepared statement or call that writes (a failure is reported
    // as LIB_DB_Execute reports it).
    int preparedWrite(const QString& name, const QString& sql, const QList<QVariant>& params);
    // The same, its rows kept as the server sent them (raw(i)).
    int preparedRaw(const QString& name, const QString& sql, const QList<QVariant>& params);
    // The server's date and time as strServerDateSQL reads it, a prepared
    // statement of the session.
    int serverDate();
    // A named savepoint of the open transaction (LIB_DB_RollbackTo returns to
    // it); nothing outside a transaction.
    int savepoint(const QString& name);
    // Opens a transaction before the statements and commits it after them
    // when all succeeded, in the same round trip.
    void begin() { begin_ = true; }
    void commit() { commit_ = true; }
    // The statements added from here on travel behind the COMMIT (commit()
    // implied) in the same round trip, outside the transaction; they run only
    // when the commit went through. failedAt() at or past afterCommitAt()
    // means the commit stands.
    void afterCommit() {
        commit_ = true;
        afterAt_ = count();
    }
    int afterCommitAt() const { return afterAt_ < 0 ? count() : afterAt_; }

    int count() const { return static_cast<int>(items_.size()); }
    // 0, or -1 with the pending error recorded.
    int run();
    const DBResultSet& rows(int i) const { return items_.at(i).rows; }
    oradb::Dynaset& raw(int i) const;
    QString sql(int i) const { return items_.at(i).sql; }
    // The statement as it runs, a prepared one with its values quoted in
    // place of $1, $2, ... (for logs and plans).
    QString text(int i) const;
    long affected(int i) const { return items_.at(i).affected; }
    // Index of the statement that failed, or -1.
    int failedAt() const { return failedAt_; }

    // One statement of the batch (public for the helpers that build it).
    struct Item {
        QString sql, name;
        QList<QVariant> params;
        bool query = true;
        bool keepRaw = false;
        bool savepoint = false;
        DBResultSet rows;
        std::shared_ptr<oradb::Dynaset> raw;
        long affected = 0;
    };

private:
    int add(Item item);
    QVector<Item> items_;
    bool begin_ = false, commit_ = false;
    int afterAt_ = -1;
    int failedAt_ = -1;
};

// The reads of one step (the start-up, the log-in) sent ahead together: while
// the object lives, LIB_DB_Select (and the connect's schema probes) of one of
// these texts takes the rows read ahead instead of asking the server, each
// once. A text the batch could not read is asked alone when its turn comes,
// and fails or succeeds as it would have. The batch goes out with the first
// read the object serves, so nothing is read for a step that ends before its
// first read, and the object may be made before the connect. Only for reads
// outside a transaction; objects may nest (the inner one is asked first).
class LIB_DB_ReadAhead {
public:
    explicit LIB_DB_ReadAhead(const QStringList& sqls);
    ~LIB_DB_ReadAhead();
    LIB_DB_ReadAhead(const LIB_DB_ReadAhead&) = delete;
    LIB_DB_ReadAhead& operator=(const LIB_DB_ReadAhead&) = delete;

    // The rows read ahead for `sql` (taken out), or nullptr: then the caller
    // asks the server itself.
    static std::unique_ptr<oradb::Dynaset> take(const QString& sql);

private:
    std::unique_ptr<oradb::Dynaset> takeHere(const QString& sql);
    QStringList pending_;
    std::map<QString, std::deque<std::unique_ptr<oradb::Dynaset>>> read_;
    LIB_DB_ReadAhead* outer_ = nullptr;
};

// Round trips to the server and statements sent since the last reset: what a
// desk action costs, counted by the database interface itself.
long LIB_DB_RoundTrips();
long LIB_DB_StatementsSent();
void LIB_DB_ResetTraffic();

// The query that gives the server's date and time as strGetServerDate does
// ("yyyy-mm-dd hh:mm:ss"), to send with other statements.
QString strServerDateSQL();
// The same reading as an expression, to pass to a call that is sent in a
// batch: read by the server as it runs the call.
QString strServerDateExpr();
// The server's day ("yyyy-mm-dd") as an expression a statement reads once,
// however many rows it compares with it (a sub-select, not a call per row).
QString strServerDayExpr();
