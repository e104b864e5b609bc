#pragma once
// Statements that do not wait on each other's answers, sent together: one
// round trip for the lot (the client library's pipeline mode), with named
// prepared statements whose plans the session keeps.
//
//   oradb::Batch b(*db);
//   const int reader = b.Add("SELECT ... FROM reader WHERE cert_id = 'R1'");
//   const int loans = b.AddPrepared("loans_of", "SELECT ... WHERE cert_id = $1", {certId});
//   b.Run();                       // throws the first failure
//   b.Result(reader).RecordCount();
//
// Each statement keeps the rules of Database::ExecuteSQL and CreateDynaset:
// the text rewrites (empty literals, procedure blocks, input binds) and, inside
// an open transaction, its own savepoint, so a failing statement undoes only
// itself; the statements after it do not run (Ran() tells which did), and
// the error is thrown as the database object reports it. Outside a
// transaction every statement commits on its own and all of them run.
// Output binds are not read in a batch.

#include "platform/oradb/Database.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace oradb {

class Batch {
public:
    explicit Batch(Database& db) : db_(db) {}
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // Adds a statement; returns its index in the batch.
    int Add(const QString& sql);
    // Adds a run of a named prepared statement with parameters $1, $2, ... (a
    // null QVariant is NULL, an empty text too). The session prepares the
    // name on its first use, in the same round trip; later runs send only the
    // name and the values.
    int AddPrepared(const QString& name, const QString& sql, const QList<QVariant>& params);
    // Adds a named savepoint of the open transaction at this place, as
    // Database::Savepoint sets it (Database::RollbackToSavepoint returns to
    // it). Outside a transaction nothing is sent for it.
    int AddSavepoint(const QString& name);
    int Count() const { return static_cast<int>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }

    // Opens a transaction before the statements (when none is open), and
    // commits it after them when every one succeeded: no round trips of their
    // own. A commit the server refuses or answers with ROLLBACK is thrown.
    void Begin();
    void Commit();
    // The statements added from here on go behind the COMMIT (Commit() is
    // implied), in the same round trip: they run outside the transaction, and
    // only when the commit went through. A failure among them leaves the
    // commit standing (FailedAt() tells where).
    void AfterCommit();

    // Sends the statements and reads every answer: one round trip (two when a
    // statement failed inside a transaction: its savepoint is rolled back to).
    void Run();

    // The rows of statement i (an empty result for a statement without rows).
    Dynaset& Result(int i);
    std::unique_ptr<Dynaset> TakeResult(int i);
    long RowsAffected(int i) const;
    bool Ran(int i) const;
    // Index of the failed statement, or -1.
    int FailedAt() const { return failedAt_; }

private:
    struct Item {
        QString text; // as sent, or the prepared statement's text
        QString name; // prepared statement name, empty for a plain one
        QList<QVariant> params;
        std::unique_ptr<Dynaset> rows;
        long affected = 0;
        bool ran = false;
        bool savepoint = false;
    };
    Database& db_;
    std::vector<Item> items_;
    int failedAt_ = -1;
    bool begin_ = false;
    bool commit_ = false;
    int afterCommit_ = -1; // index of the first statement behind the COMMIT
};

// One prepared statement alone: its rows.
std::unique_ptr<Dynaset> CreatePreparedDynaset(Database& db, const QString& name, const QString& sql,
                                               const QList<QVariant>& params);

} // namespace oradb
