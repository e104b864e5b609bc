#pragma once
// The database interface: a session with one transaction level, a database
// object that runs statements, procedure-call blocks and queries, named
// parameters for output binds, and fully fetched dynasets.
//
// On the server side this is PostgreSQL reached through libpq; the object
// makes it behave the way the program expects of its server:
//  - inside an open transaction every statement runs under a savepoint, so a
//    failed statement undoes only itself and the transaction goes on;
//  - a COMMIT the server answers with ROLLBACK, or refuses, is an error;
//  - an empty literal '' is sent as NULL;
//  - "Begin P(args); end;" runs as CALL P(args), output binds read the
//    procedure's INOUT values;
//  - failures leave "ORA-NNNNN: ..." in LastServerErrText(), reset before
//    every call;
//  - result field names come upper case, with the type codes below.

#include "platform/oradb/Error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QSet>
#include <QVariant>
#include <memory>

struct pg_conn;
struct pg_result;

namespace oradb {

// Field type codes of a dynaset.
enum FieldType : int {
    TypeOther = 1,
    TypeInteger = 3,  // 16-bit integers
    TypeLong = 4,     // 32-bit integers
    TypeDouble = 7,   // numeric, floating point, 64-bit integers (counts, sums)
    TypeDate = 8,     // date, time, timestamp: the cell stays empty
    TypeText = 10,    // char, varchar, text, name
    TypeBoolean = 11,
    TypeLongRaw = 24, // bytea
};

// io types of a parameter.
enum ParamIo : int { ParamInput = 1, ParamOutput = 2, ParamInputOutput = 3 };
// Server type of a parameter.
enum ServerType : int { ServerVarchar2 = 1, ServerNumber = 2 };

class Parameter {
public:
    QString Name;
    QVariant Value;
    int IOType = ParamInput;
    int ServerType = ServerVarchar2;
};

// Named bind variables, referred to in a block as ":" and the name.
class ParameterList {
public:
    void Add(const QString& name, const QVariant& initial, int ioType);
    void Remove(const QString& name);
    Parameter& Item(const QString& name); // throws ErrBadParameter
    Parameter* find(const QString& name);
    int Count() const { return static_cast<int>(items_.size()); }

private:
    QList<Parameter> items_;
};

class Dynaset;

class Field {
public:
    QString Name() const;
    int Type() const;
    // Declared size: varchar(n) and char(n) give n, numeric(p,s) gives p,
    // unlimited text gives 0, other types their storage size.
    int Size() const;
    // Value of the current row: null QVariant for a null cell; QString for text,
    // qlonglong for integers, double for other numbers, QString for the rest.
    QVariant Value() const;
    bool IsNull() const;
    QString Text() const;       // the value as the server sent it ("" for null)
    QByteArray Bytes() const;   // raw bytes (bytea decoded)
    // The value's text as the server sent it (UTF-8), without a copy: valid
    // while the rows are kept; empty for null.
    QByteArrayView View() const;

private:
    friend class Dynaset;
    Field(const Dynaset* d, int col) : d_(d), col_(col) {}
    const Dynaset* d_;
    int col_;
};

class Dynaset {
public:
    ~Dynaset();
    Dynaset(const Dynaset&) = delete;
    Dynaset& operator=(const Dynaset&) = delete;

    long RecordCount() const;
    int FieldCount() const; // Fields.Count
    Field Fields(int index) const;           // throws ErrNoSuchField
    Field Fields(const QString& name) const; // case-insensitive; throws ErrNoSuchField
    int FieldIndex(const QString& name) const; // or -1

    void MoveFirst() { row_ = 0; }
    void MoveNext() { if (row_ < RecordCount()) ++row_; }
    bool IsEOF() const { return row_ >= RecordCount(); }
    long Row() const { return row_; }
    void Close();

    // Copies up to `count` bytes from `offset` of a long binary field of the
    // current row into buffer; returns the number of bytes read.
    long GetChunkByte(QByteArray& buffer, int field, long offset, long count) const;

private:
    friend class Database;
    friend class Batch;
    friend class Field;
    explicit Dynaset(pg_result* r);
    pg_result* res_ = nullptr;
    long row_ = 0;
    QList<QString> names_;
    QList<int> types_;
    QList<unsigned> oids_;
    QList<int> sizes_;
    // The last long binary value decoded, so chunked reads decode it once.
    mutable long chunkRow_ = -1;
    mutable int chunkCol_ = -1;
    mutable QByteArray chunk_;
};

class Database {
public:
    // Opens a connection. `name` is a libpq service name or a connection string
    // (key=value pairs or a postgresql:// URI); an empty name leaves everything
    // to the PG* environment variables. `connect` is "user/password".
    static std::unique_ptr<Database> open(const QString& name, const QString& connect, int options = 0);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs one statement or one "Begin P(args); end;" block; returns the rows processed.
    long ExecuteSQL(const QString& sql);
    // The same; used for the block that fills an output bind variable.
    long DbExecuteSQL(const QString& sql) { return ExecuteSQL(sql); }
    std::unique_ptr<Dynaset> CreateDynaset(const QString& sql, int options = 0);
    ParameterList& Parameters() { return params_; }

    QString LastServerErrText() const { return lastErr_; }
    void LastServerErrReset() { lastErr_.clear(); }

    void BeginTrans();
    // Throws when the server refuses or answers ROLLBACK, and when the
    // connection broke while the transaction was open (the server dropped it).
    void CommitTrans();
    void Rollback();
    bool InTransaction() const { return inTrans_; }
    // A named savepoint of the open transaction that outlives the statements
    // after it (each of which still undoes only itself when it fails), and
    // the return to it: everything since it is undone, the transaction stays
    // open and the savepoint is gone. `name` is a plain lower-case name.
    // Outside a transaction both do nothing.
    void Savepoint(const QString& name);
    void RollbackToSavepoint(const QString& name);

    bool IsConnected() const;
    int BackendPid() const;
    pg_conn* handle() const { return conn_; }

    // The text as it is sent to the server (empty literals, blocks, binds).
    QString serverText(const QString& sql, QStringList* outBinds = nullptr) const;

    // Messages to the server that waited for an answer (round trips), and
    // the statements they carried, since the session opened or the reset.
    long RoundTrips() const { return roundTrips_; }
    long StatementsSent() const { return statementsSent_; }
    void ResetTraffic() { roundTrips_ = statementsSent_ = 0; }

private:
    friend class Batch;
    Database() = default;
    pg_result* run(const QString& text, bool savepoint);
    [[noreturn]] void fail(pg_result* r, bool wasDown);
    // The table a failed foreign key refers to, read from the catalog; empty
    // when the error is no foreign key error or the session cannot ask.
    QString referencedTable(const pg_result* r);
    void simple(const char* sql);
    // One request as the client library's blocking call sends it, reading its
    // answer through the wait hook, counted as a round trip; the last result.
    pg_result* exec(const char* sql);
    // Undoes the failed statement of an open transaction to the savepoint set
    // before it (the savepoint stays set for the next).
    void undoStatement();

    pg_conn* conn_ = nullptr;
    bool inTrans_ = false;
    bool transLost_ = false; // the open transaction went with the connection
    QString lastErr_;
    ParameterList params_;
    long roundTrips_ = 0;
    long statementsSent_ = 0;
    QSet<QString> prepared_; // names of the prepared statements the session holds
};

// One session per connection; it owns the database object it opened.
class Session {
public:
    Database* OpenDatabase(const QString& name, const QString& connect, int options = 0);
    Database* database() const { return db_.get(); }
    void BeginTrans();
    void CommitTrans();
    void Rollback();
    bool InTransaction() const { return db_ && db_->InTransaction(); }
    void Close() { db_.reset(); }

private:
    std::unique_ptr<Database> db_;
};

} // namespace oradb
