#include "platform/oradb/Database.h"
#include "platform/oradb/FaultHook.h"
#include "platform/oradb/SqlText.h"
#include "platform/oradb/WaitHook.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace oradb {

namespace {

constexpr const char* kSavepoint = "oradb_stmt";

// Bounded lock waits: a row lock held by another desk fails like NOWAIT
// (00054) after this time instead of blocking the window for ever.
constexpr const char* kSessionSetup =
    "SET lock_timeout = '15s'; SET DateStyle = 'ISO, YMD'; SET client_min_messages = warning";

void quietNotices(void*, const PGresult*) {}

// Type OIDs of the server's built-in types.
enum : unsigned {
    OidBool = 16, OidBytea = 17, OidChar = 18, OidName = 19, OidInt8 = 20, OidInt2 = 21, OidInt4 = 23,
    OidText = 25, OidOid = 26, OidFloat4 = 700, OidFloat8 = 701, OidUnknown = 705, OidMoney = 790,
    OidBpchar = 1042, OidVarchar = 1043, OidDate = 1082, OidTime = 1083, OidTimestamp = 1114,
    OidTimestampTz = 1184, OidInterval = 1186, OidTimeTz = 1266, OidNumeric = 1700,
};

int typeCode(unsigned oid) {
    switch (oid) {
    case OidText: case OidVarchar: case OidBpchar: case OidName: case OidChar: case OidUnknown:
        return TypeText;
    case OidInt2:
        return TypeInteger;
    case OidInt4: case OidOid:
        return TypeLong;
    case OidInt8: case OidNumeric: case OidFloat4: case OidFloat8: case OidMoney:
        return TypeDouble;
    case OidDate: case OidTime: case OidTimestamp: case OidTimestampTz: case OidInterval: case OidTimeTz:
        return TypeDate;
    case OidBool:
        return TypeBoolean;
    case OidBytea:
        return TypeLongRaw;
    default:
        return TypeOther;
    }
}

int declaredSize(const PGresult* r, int c) {
    const unsigned oid = PQftype(r, c);
    const int mod = PQfmod(r, c);
    if (oid == OidVarchar || oid == OidBpchar) return mod >= 4 ? mod - 4 : 0;
    if (oid == OidNumeric) return mod >= 4 ? ((mod - 4) >> 16) & 0xffff : 0;
    if (oid == OidText || oid == OidBytea || oid == OidUnknown) return 0;
    const int size = PQfsize(r, c);
    return size > 0 ? size : 0;
}

QString literalOf(const QVariant& v) {
    if (v.isNull() || !v.isValid()) return QStringLiteral("NULL");
    switch (v.metaType().id()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::LongLong: case QMetaType::ULongLong: case QMetaType::Short: case QMetaType::UShort:
        return QString::number(v.toLongLong());
    case QMetaType::Double: case QMetaType::Float:
        return QString::number(v.toDouble(), 'g', 17);
    default:
        return sqltext::quoteLiteral(v.toString());
    }
}

} // namespace

// ---------------------------------------------------------------- parameters

void ParameterList::Add(const QString& name, const QVariant& initial, int ioType) {
    if (Parameter* p = find(name)) {
        p->Value = initial;
        p->IOType = ioType;
        return;
    }
    Parameter p;
    p.Name = name;
    p.Value = initial;
    p.IOType = ioType;
    items_.append(p);
}

void ParameterList::Remove(const QString& name) {
    for (int i = 0; i < items_.size(); ++i)
        if (items_[i].Name.compare(name, Qt::CaseInsensitive) == 0) {
            items_.removeAt(i);
            return;
        }
    throw Error(ErrBadParameter, QStringLiteral("parameter %1 not found").arg(name));
}

Parameter* ParameterList::find(const QString& name) {
    for (Parameter& p : items_)
        if (p.Name.compare(name, Qt::CaseInsensitive) == 0) return &p;
    return nullptr;
}

Parameter& ParameterList::Item(const QString& name) {
    if (Parameter* p = find(name)) return *p;
    throw Error(ErrBadParameter, QStringLiteral("parameter %1 not found").arg(name));
}

// ---------------------------------------------------------------- dynaset

Dynaset::Dynaset(PGresult* r) : res_(r) {
    const int n = PQnfields(r);
    for (int c = 0; c < n; ++c) {
        names_.append(QString::fromUtf8(PQfname(r, c)).toUpper());
        oids_.append(PQftype(r, c));
        types_.append(typeCode(PQftype(r, c)));
        sizes_.append(declaredSize(r, c));
    }
}

Dynaset::~Dynaset() { Close(); }

void Dynaset::Close() {
    if (res_) PQclear(res_);
    res_ = nullptr;
}

long Dynaset::RecordCount() const { return res_ ? PQntuples(res_) : 0; }
int Dynaset::FieldCount() const { return static_cast<int>(names_.size()); }

int Dynaset::FieldIndex(const QString& name) const {
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

Field Dynaset::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        throw Error(ErrNoSuchField, QStringLiteral("field %1 not in the result").arg(index));
    return Field(this, index);
}

Field Dynaset::Fields(const QString& name) const {
    const int i = FieldIndex(name);
    if (i < 0) throw Error(ErrNoSuchField, QStringLiteral("field %1 not in the result").arg(name));
    return Field(this, i);
}

long Dynaset::GetChunkByte(QByteArray& buffer, int field, long offset, long count) const {
    const Field f = Fields(field);
    if (chunkRow_ != row_ || chunkCol_ != field) {
        chunk_ = f.Bytes();
        chunkRow_ = row_;
        chunkCol_ = field;
    }
    const QByteArray& all = chunk_;
    if (offset < 0 || offset >= all.size() || count <= 0) {
        buffer.clear();
        return 0;
    }
    buffer = all.mid(offset, count);
    return buffer.size();
}

QString Field::Name() const { return d_->names_[col_]; }
int Field::Type() const { return d_->types_[col_]; }
int Field::Size() const { return d_->sizes_[col_]; }

bool Field::IsNull() const {
    if (!d_->res_ || d_->IsEOF()) throw Error(ErrNoCurrentRow, QStringLiteral("no current row"));
    return PQgetisnull(d_->res_, static_cast<int>(d_->row_), col_);
}

QString Field::Text() const {
    if (IsNull()) return QString();
    return QString::fromUtf8(PQgetvalue(d_->res_, static_cast<int>(d_->row_), col_));
}

QByteArrayView Field::View() const {
    if (IsNull()) return {};
    const int row = static_cast<int>(d_->row_);
    return QByteArrayView(PQgetvalue(d_->res_, row, col_), PQgetlength(d_->res_, row, col_));
}

QByteArray Field::Bytes() const {
    if (IsNull()) return {};
    const char* raw = PQgetvalue(d_->res_, static_cast<int>(d_->row_), col_);
    if (d_->oids_[col_] != OidBytea) return QByteArray(raw);
    size_t len = 0;
    unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(raw), &len);
    if (!bytes) return {};
    QByteArray out(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(len));
    PQfreemem(bytes);
    return out;
}

QVariant Field::Value() const {
    if (IsNull()) return QVariant();
    const char* raw = PQgetvalue(d_->res_, static_cast<int>(d_->row_), col_);
    switch (d_->oids_[col_]) {
    case OidInt2: case OidInt4: case OidInt8: case OidOid:
        return QVariant(static_cast<qlonglong>(std::strtoll(raw, nullptr, 10)));
    case OidNumeric: case OidFloat4: case OidFloat8:
        return QVariant(QByteArray(raw).toDouble()); // C-locale parsing whatever the process locale
    case OidBytea:
        return QVariant(Bytes());
    default:
        return QVariant(QString::fromUtf8(raw));
    }
}

// ---------------------------------------------------------------- database

std::unique_ptr<Database> Database::open(const QString& name, const QString& connect, int) {
    const int slash = connect.indexOf(QLatin1Char('/'));
    const QString user = slash < 0 ? connect : connect.left(slash);
    const QString pwd = slash < 0 ? QString() : connect.mid(slash + 1);
    const QString dsn = name.trimmed();

    std::vector<QByteArray> keys, values;
    if (!dsn.isEmpty()) {
        keys.emplace_back("dbname");
        const bool conninfo = dsn.contains(QLatin1Char('=')) || dsn.startsWith(QLatin1String("postgres://")) ||
                              dsn.startsWith(QLatin1String("postgresql://"));
        values.push_back(conninfo ? dsn.toUtf8() : ("service=" + dsn).toUtf8());
    }
    if (!user.isEmpty()) { keys.emplace_back("user"); values.push_back(user.toUtf8()); }
    if (!pwd.isEmpty()) { keys.emplace_back("password"); values.push_back(pwd.toUtf8()); }
    keys.emplace_back("client_encoding"); values.emplace_back("UTF8");
    keys.emplace_back("fallback_application_name"); values.emplace_back("consign");
    std::vector<const char*> k, v;
    for (size_t i = 0; i < keys.size(); ++i) {
        k.push_back(keys[i].constData());
        v.push_back(values[i].constData());
    }
    k.push_back(nullptr);
    v.push_back(nullptr);

    std::unique_ptr<Database> db(new Database);
    db->conn_ = PQconnectdbParams(k.data(), v.data(), 1);
    if (!db->conn_ || PQstatus(db->conn_) != CONNECTION_OK) {
        const QString msg = db->conn_ ? QString::fromUtf8(PQerrorMessage(db->conn_)).trimmed()
                                      : QStringLiteral("out of memory");
        throw Error(ErrConnectFailed, QStringLiteral("ORA-12154: could not connect to the database (%1)").arg(msg));
    }
    PQsetNoticeReceiver(db->conn_, quietNotices, nullptr);
    db->simple(kSessionSetup);
    return db;
}

Database::~Database() {
    if (conn_) PQfinish(conn_);
}

bool Database::IsConnected() const { return conn_ && PQstatus(conn_) == CONNECTION_OK; }
int Database::BackendPid() const { return conn_ ? PQbackendPID(conn_) : 0; }

QString Database::referencedTable(const PGresult* r) {
    if (!r || !IsConnected()) return {};
    const char* state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
    if (!state || qstrcmp(state, "23503") != 0) return {};
    // A failed statement in a transaction has been undone to its savepoint, so
    // the session can still ask; an aborted transaction cannot.
    const PGTransactionStatusType ts = PQtransactionStatus(conn_);
    if (ts != PQTRANS_IDLE && ts != PQTRANS_INTRANS) return {};
    const char* values[] = {PQresultErrorField(r, PG_DIAG_CONSTRAINT_NAME), PQresultErrorField(r, PG_DIAG_TABLE_NAME),
                            PQresultErrorField(r, PG_DIAG_SCHEMA_NAME)};
    if (!values[0] || !values[1] || !values[2]) return {};
    PGresult* q = PQexecParams(conn_,
                               "SELECT p.relname FROM pg_constraint k JOIN pg_class c ON c.oid = k.conrelid"
                               " JOIN pg_namespace n ON n.oid = c.relnamespace JOIN pg_class p ON p.oid = k.confrelid"
                               " WHERE k.contype = 'f' AND k.conname = $1 AND c.relname = $2 AND n.nspname = $3",
                               3, nullptr, values, nullptr, nullptr, 0);
    ++roundTrips_;
    QString name;
    if (PQresultStatus(q) == PGRES_TUPLES_OK && PQntuples(q) == 1) name = QString::fromUtf8(PQgetvalue(q, 0, 0));
    PQclear(q);
    return name;
}

void Database::fail(PGresult* r, bool wasDown) {
    const bool lost = !IsConnected();
    lastErr_ = serverErrorText(r, conn_ ? QString::fromUtf8(PQerrorMessage(conn_)) : QString(), lost, wasDown,
                               referencedTable(r));
    if (r) PQclear(r);
    if (lost && inTrans_) {
        inTrans_ = false; // the server rolled the transaction back with the session
        transLost_ = true;
    }
    throw Error(oraNumber(lastErr_), lastErr_);
}

void Database::simple(const char* sql) {
    lastErr_.clear();
    if (!IsConnected()) fail(nullptr, true);
    faults::beforeStatement(conn_);
    PGresult* r = exec(sql);
    const ExecStatusType st = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) fail(r, false);
    PQclear(r);
}

PGresult* Database::exec(const char* sql) {
    ++roundTrips_;
    AnswerWait wait(conn_);
    if (!wait.active()) return PQexec(conn_, sql);
    if (!PQsendQuery(conn_, sql)) return nullptr;
    // As the client library's blocking call: the last answer.
    PGresult* last = nullptr;
    for (;;) {
        wait.untilReady();
        PGresult* r = PQgetResult(conn_);
        if (!r) break;
        PQclear(last);
        last = r;
        if (PQstatus(conn_) == CONNECTION_BAD) break;
    }
    return last;
}

void Database::undoStatement() {
    PQclear(exec((QByteArray("ROLLBACK TO SAVEPOINT ") + kSavepoint).constData()));
}

PGresult* Database::run(const QString& text, bool savepoint) {
    lastErr_.clear();
    if (!IsConnected()) fail(nullptr, true);
    // One round trip: the statement, then the savepoint moved up behind it. The
    // savepoint the statement may fall back to is set before the request (at the
    // start of the transaction or behind the previous statement), so even a
    // statement the server cannot parse, which fails the whole request before
    // any part of it runs, undoes only itself. The line breaks keep a trailing
    // "--" comment of the statement from eating the rest.
    QByteArray q = text.toUtf8();
    if (savepoint)
        q += QByteArray("\n;RELEASE SAVEPOINT ") + kSavepoint + "; SAVEPOINT " + kSavepoint;
    faults::beforeStatement(conn_);
    if (!PQsendQuery(conn_, q.constData())) fail(nullptr, false);
    ++roundTrips_;
    ++statementsSent_;

    const int wanted = 0;
    PGresult* stmt = nullptr;
    PGresult* error = nullptr;
    int index = 0;
    AnswerWait wait(conn_);
    for (;;) {
        wait.untilReady();
        PGresult* r = PQgetResult(conn_);
        if (!r) break;
        const ExecStatusType st = PQresultStatus(r);
        const bool bad = st == PGRES_FATAL_ERROR || st == PGRES_BAD_RESPONSE || st == PGRES_NONFATAL_ERROR;
        if (bad && !error)
            error = r;
        else if (index == wanted && !stmt && !error)
            stmt = r;
        else
            PQclear(r);
        ++index;
    }
    if (error) {
        if (stmt) PQclear(stmt);
        if (savepoint && IsConnected()) undoStatement();
        fail(error, false);
    }
    if (!IsConnected()) fail(stmt, false);
    return stmt;
}

QString Database::serverText(const QString& sql, QStringList* outBinds) const {
    bool block = false;
    QString t = sqltext::blockToCall(sql.trimmed(), &block);
    t = sqltext::emptyLiteralsToNull(t);
    auto* self = const_cast<Database*>(this);
    t = sqltext::substituteBinds(
        t,
        [self](const QString& name) -> QString {
            const Parameter* p = self->params_.find(name);
            if (!p) return QString();
            if (p->IOType == ParamOutput) return QStringLiteral("NULL");
            return literalOf(p->Value);
        },
        outBinds);
    if (!block) t = sqltext::stripTerminator(t);
    return t;
}

long Database::ExecuteSQL(const QString& sql) {
    QStringList binds;
    const QString text = serverText(sql, &binds);
    PGresult* r = run(text, inTrans_);
    if (!r) return 0;
    long rows = std::atol(PQcmdTuples(r));
    // Output binds take the procedure's INOUT values in order.
    if (!binds.isEmpty() && PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0) {
        int col = 0;
        for (const QString& name : binds) {
            Parameter* p = params_.find(name);
            if (!p || p->IOType == ParamInput) continue;
            if (col >= PQnfields(r)) break;
            p->Value = PQgetisnull(r, 0, col) ? QVariant() : QVariant(QString::fromUtf8(PQgetvalue(r, 0, col)));
            ++col;
        }
        rows = 1;
    }
    PQclear(r);
    return rows;
}

std::unique_ptr<Dynaset> Database::CreateDynaset(const QString& sql, int) {
    const QString text = serverText(sql);
    PGresult* r = run(text, inTrans_);
    if (!r) r = PQmakeEmptyPGresult(conn_, PGRES_TUPLES_OK);
    return std::unique_ptr<Dynaset>(new Dynaset(r));
}

void Database::BeginTrans() {
    if (inTrans_) return;
    transLost_ = false;
    simple("BEGIN; SAVEPOINT oradb_stmt");
    inTrans_ = true;
}

void Database::CommitTrans() {
    if (transLost_) {
        transLost_ = false;
        lastErr_.clear();
        fail(nullptr, true);
    }
    if (!inTrans_) return;
    lastErr_.clear();
    inTrans_ = false;
    if (!IsConnected()) fail(nullptr, true);
    faults::beforeCommit(conn_);
    PGresult* r = exec("COMMIT"); // a deferred unique check may wait on another desk
    const ExecStatusType st = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK) fail(r, false);
    const bool rolledBack = std::strcmp(PQcmdStatus(r), "ROLLBACK") == 0;
    PQclear(r);
    if (faults::commitAnswerLost(conn_)) fail(nullptr, false);
    if (rolledBack) {
        lastErr_ = QStringLiteral("ORA-02091: transaction rolled back");
        throw Error(2091, lastErr_);
    }
}

namespace {

QByteArray savepointName(const QString& name) {
    bool plain = !name.isEmpty() && !name.at(0).isDigit();
    for (const QChar c : name)
        plain = plain && ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_');
    if (!plain || name == QLatin1String(kSavepoint))
        throw Error(ErrBadParameter, QStringLiteral("invalid savepoint name: %1").arg(name));
    return name.toLatin1();
}

} // namespace

// The statement savepoint is set behind the named one, so that the release
// before the next statement leaves the named one in place.
void Database::Savepoint(const QString& name) {
    const QByteArray n = savepointName(name);
    if (!inTrans_) return;
    simple((QByteArray("RELEASE SAVEPOINT ") + kSavepoint + "; SAVEPOINT " + n + "; SAVEPOINT " + kSavepoint)
               .constData());
}

void Database::RollbackToSavepoint(const QString& name) {
    const QByteArray n = savepointName(name);
    if (!inTrans_) return;
    simple((QByteArray("ROLLBACK TO SAVEPOINT ") + n + "; RELEASE SAVEPOINT " + n + "; SAVEPOINT " + kSavepoint)
               .constData());
}

void Database::Rollback() {
    transLost_ = false;
    if (!inTrans_) return;
    inTrans_ = false;
    simple("ROLLBACK");
}

// ---------------------------------------------------------------- session

Database* Session::OpenDatabase(const QString& name, const QString& connect, int options) {
    db_ = Database::open(name, connect, options);
    return db_.get();
}

void Session::BeginTrans() {
    if (!db_) throw Error(ErrNotConnected, QStringLiteral("ORA-03114: not connected to the database"));
    db_->BeginTrans();
}

void Session::CommitTrans() {
    if (!db_) throw Error(ErrNotConnected, QStringLiteral("ORA-03114: not connected to the database"));
    db_->CommitTrans();
}

void Session::Rollback() {
    if (!db_) return;
    db_->Rollback();
}

} // namespace oradb
