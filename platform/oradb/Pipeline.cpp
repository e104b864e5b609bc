#include "platform/oradb/Pipeline.h"

#include "platform/oradb/FaultHook.h"
#include "platform/oradb/SqlText.h"
#include "platform/oradb/WaitHook.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <cstring>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace oradb {

namespace {

// What one message of the pipeline was, so its answer finds its place.
enum class Sent { Begin, Internal, Prepare, Statement, Commit };

struct Entry {
    Sent kind;
    int item = -1;
    const char* internal = nullptr; // the name of a statement of the interface's own, being prepared
};

// The statements the interface sends around the caller's, prepared once per
// session like the caller's own: parsed anew at every use they cost the
// server several times what they do.
struct InternalStatement {
    const char* name;
    const char* text;
};
constexpr InternalStatement kBegin{"oradb_begin", "BEGIN"};
constexpr InternalStatement kMark{"oradb_mark", "SAVEPOINT oradb_stmt"};
constexpr InternalStatement kUnmark{"oradb_unmark", "RELEASE SAVEPOINT oradb_stmt"};
constexpr InternalStatement kCommit{"oradb_commit", "COMMIT"};

bool isError(ExecStatusType st) {
    return st == PGRES_FATAL_ERROR || st == PGRES_BAD_RESPONSE || st == PGRES_NONFATAL_ERROR;
}

QByteArray valueText(const QVariant& v, bool* isNull) {
    *isNull = !v.isValid() || v.isNull();
    if (*isNull) return {};
    switch (v.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QByteArray::number(v.toDouble(), 'g', 17);
    case QMetaType::QStringList: {
        // A text array ("$1::text[]"), every element quoted.
        QByteArray a = "{";
        for (const QString& e : v.toStringList()) {
            if (a.size() > 1) a += ',';
            a += '"';
            for (const char c : e.toUtf8()) {
                if (c == '"' || c == '\\') a += '\\';
                a += c;
            }
            a += '"';
        }
        return a + '}';
    }
    default: {
        // An empty text is NULL, as in a statement's literals.
        const QByteArray t = v.toString().toUtf8();
        *isNull = t.isEmpty();
        return t;
    }
    }
}

// Holds the messages of one round trip back on a TCP connection until all of
// them are written, so the server gets them as one request. The client
// library flushes at every sync (one per statement outside a transaction);
// sent as they come, the first statements reach the server alone and it
// answers them before the rest arrive: one round trip here, several there.
// A local socket has no network between the two: nothing to hold.
class Cork {
public:
    explicit Cork(pg_conn* c) : socket_(PQsocket(c)) {
        sockaddr_storage a{};
        socklen_t len = sizeof a;
        if (socket_ < 0 || ::getsockname(socket_, reinterpret_cast<sockaddr*>(&a), &len) != 0
            || (a.ss_family != AF_INET && a.ss_family != AF_INET6))
            return;
        const int one = 1;
        on_ = ::setsockopt(socket_, IPPROTO_TCP, TCP_CORK, &one, sizeof one) == 0;
    }
    ~Cork() { release(); }
    Cork(const Cork&) = delete;
    Cork& operator=(const Cork&) = delete;
    // Sends what is held (before the answers are awaited).
    void release() {
        if (!on_) return;
        const int zero = 0;
        ::setsockopt(socket_, IPPROTO_TCP, TCP_CORK, &zero, sizeof zero);
        on_ = false;
    }

private:
    int socket_;
    bool on_ = false;
};

} // namespace

int Batch::Add(const QString& sql) {
    Item it;
    it.text = sqltext::stripTerminator(db_.serverText(sql));
    items_.push_back(std::move(it));
    return Count() - 1;
}

int Batch::AddPrepared(const QString& name, const QString& sql, const QList<QVariant>& params) {
    Item it;
    it.name = name;
    it.text = sqltext::emptyLiteralsToNull(sql.trimmed());
    it.params = params;
    items_.push_back(std::move(it));
    return Count() - 1;
}

int Batch::AddSavepoint(const QString& name) {
    bool plain = !name.isEmpty() && !name.at(0).isDigit() && name != QLatin1String("oradb_stmt");
    for (const QChar c : name)
        plain = plain && ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_');
    if (!plain) throw Error(ErrBadParameter, QStringLiteral("invalid savepoint name: %1").arg(name));
    Item it;
    it.text = QStringLiteral("SAVEPOINT ") + name;
    it.savepoint = true;
    items_.push_back(std::move(it));
    return Count() - 1;
}

void Batch::Begin() {
    begin_ = true;
}
void Batch::Commit() {
    commit_ = true;
}
void Batch::AfterCommit() {
    commit_ = true;
    afterCommit_ = Count();
}

void Batch::Run() {
    failedAt_ = -1;
    db_.lastErr_.clear();
    if (!db_.IsConnected()) db_.fail(nullptr, true);
    if (commit_ && db_.transLost_) {
        db_.transLost_ = false;
        db_.fail(nullptr, true);
    }
    pg_conn* c = db_.conn_;
    if (!PQenterPipelineMode(c)) db_.fail(nullptr, false);
    Cork cork(c);

    const bool begin = begin_ && !db_.inTrans_;
    const bool inTrans = db_.inTrans_ || begin;
    std::vector<Entry> sent;
    int syncs = 0;
    bool sendOk = true;
    // The test-only faults count what a plain call would send: BEGIN, each
    // statement and COMMIT, not the savepoints around the statements.
    auto counted = [&](Sent kind) {
        if (kind == Sent::Commit)
            faults::beforeCommit(c);
        else if (kind != Sent::Internal)
            faults::beforeStatement(c);
    };
    auto plain = [&](const char* sql, Sent kind, int item = -1) {
        if (sendOk) counted(kind);
        if (sendOk && PQsendQueryParams(c, sql, 0, nullptr, nullptr, nullptr, nullptr, 0))
            sent.push_back({kind, item});
        else
            sendOk = false;
    };
    QSet<QString> preparing; // names prepared in this round trip
    // Prepares `name` unless the session or this round trip has already;
    // `prepare` is what the answer records.
    auto prepareOnce = [&](const QString& key, const char* name, const char* text, int params,
                           const Entry& prepare) {
        if (!sendOk || db_.prepared_.contains(key) || preparing.contains(key)) return;
        preparing.insert(key);
        if (PQsendPrepare(c, name, text, params, nullptr))
            sent.push_back(prepare);
        else
            sendOk = false;
    };
    auto internal = [&](const InternalStatement& st, Sent kind) {
        if (sendOk) counted(kind);
        prepareOnce(QString::fromLatin1(st.name), st.name, st.text, 0, {Sent::Prepare, -1, st.name});
        if (sendOk && PQsendQueryPrepared(c, st.name, 0, nullptr, nullptr, nullptr, 0))
            sent.push_back({kind, -1});
        else
            sendOk = false;
    };
    auto sync = [&] {
        if (sendOk && PQpipelineSync(c))
            ++syncs;
        else
            sendOk = false;
    };
    if (begin) {
        internal(kBegin, Sent::Begin);
        internal(kMark, Sent::Internal);
    }
    // The COMMIT goes out at once: the statements behind it wait for nothing.
    const int afterAt = afterCommit_ >= 0 ? afterCommit_ : Count();
    auto sendCommit = [&] {
        if (!commit_ || !inTrans) return;
        internal(kCommit, Sent::Commit);
        if (afterAt < Count() && sendOk && PQflush(c) != 0) sendOk = false;
    };
    for (int i = 0; i < Count() && sendOk; ++i) {
        if (i == afterAt) sendCommit();
        if (!sendOk) break;
        const bool inside = inTrans && i < afterAt;
        const Item& it = items_[i];
        const QByteArray text = it.text.toUtf8();
        if (it.savepoint) {
            // Set between the statement savepoints, so the release before the
            // next statement leaves it in place.
            if (inside) {
                internal(kUnmark, Sent::Internal);
                plain(text.constData(), Sent::Statement, i);
                internal(kMark, Sent::Internal);
            }
            continue;
        }
        if (it.name.isEmpty()) {
            plain(text.constData(), Sent::Statement, i);
        } else {
            const QByteArray name = it.name.toUtf8();
            prepareOnce(it.name, name.constData(), text.constData(), static_cast<int>(it.params.size()),
                        {Sent::Prepare, i});
            std::vector<QByteArray> values(it.params.size());
            std::vector<const char*> ptrs(it.params.size());
            for (size_t p = 0; p < values.size(); ++p) {
                bool null = false;
                values[p] = valueText(it.params[static_cast<qsizetype>(p)], &null);
                ptrs[p] = null ? nullptr : values[p].constData();
            }
            if (sendOk) counted(Sent::Statement);
            if (sendOk && PQsendQueryPrepared(c, name.constData(), static_cast<int>(ptrs.size()), ptrs.data(),
                                              nullptr, nullptr, 0))
                sent.push_back({Sent::Statement, i});
            else
                sendOk = false;
        }
        if (inside) {
            internal(kUnmark, Sent::Internal);
            internal(kMark, Sent::Internal);
        } else if (!inTrans) {
            sync(); // outside a transaction every statement stands alone
        } // behind the COMMIT: in its sync, so a refused commit runs none of them
    }
    if (afterAt >= Count()) sendCommit();
    if (syncs == 0 || inTrans) sync();
    if (sendOk && PQflush(c) != 0) sendOk = false;
    cork.release();
    ++db_.roundTrips_;
    db_.statementsSent_ += Count();

    // The answers come in the order sent: each message's result and a null
    // after it, a marker for every sync; a message behind a failure in the same
    // sync comes back aborted.
    PGresult* error = nullptr;
    Sent errorKind = Sent::Internal;
    bool begun = false, committed = false, rolledBack = false;
    size_t at = 0;
    bool got = false;
    int seen = 0, nulls = 0;
    AnswerWait wait(c);
    while (seen < syncs) {
        wait.untilReady();
        PGresult* r = PQgetResult(c);
        if (!r) {
            if (got) {
                ++at;
                got = false;
                nulls = 0;
            } else if (++nulls > 1 || PQstatus(c) != CONNECTION_OK) {
                break;
            }
            continue;
        }
        nulls = 0;
        const ExecStatusType st = PQresultStatus(r);
        if (st == PGRES_PIPELINE_SYNC) {
            ++seen;
            PQclear(r);
            continue;
        }
        if (got || at >= sent.size() || st == PGRES_PIPELINE_ABORTED) {
            got = true;
            PQclear(r);
            continue;
        }
        got = true;
        const Entry& e = sent[at];
        if (isError(st)) {
            if (!error) {
                error = r;
                errorKind = e.kind;
                failedAt_ = e.item;
            } else {
                PQclear(r);
            }
            continue;
        }
        switch (e.kind) {
        case Sent::Begin:
            begun = true;
            break;
        case Sent::Prepare:
            db_.prepared_.insert(e.internal ? QString::fromLatin1(e.internal) : items_[e.item].name);
            break;
        case Sent::Statement: {
            Item& it = items_[e.item];
            it.affected = std::atol(PQcmdTuples(r));
            it.ran = true;
            it.rows.reset(new Dynaset(r));
            r = nullptr;
            break;
        }
        case Sent::Commit:
            committed = true;
            rolledBack = std::strcmp(PQcmdStatus(r), "ROLLBACK") == 0;
            break;
        case Sent::Internal:
            break;
        }
        if (r) PQclear(r);
    }
    while (PGresult* rest = PQgetResult(c)) // nothing should be left; never leave the pipeline busy
        PQclear(rest);
    PQexitPipelineMode(c);

    if (begun) {
        db_.inTrans_ = true;
        db_.transLost_ = false;
    }
    if (committed || errorKind == Sent::Commit)
        db_.inTrans_ = false; // a refused commit ends the transaction as well
    if (committed && failedAt_ < 0 && (!db_.IsConnected() || !sendOk)) {
        for (int i = afterAt; i < Count() && failedAt_ < 0; ++i) // lost behind the commit
            if (!items_[i].ran) failedAt_ = i;
    }
    if (error) {
        if (db_.inTrans_ && db_.IsConnected()) db_.undoStatement();
        db_.fail(error, false);
    }
    if (!db_.IsConnected() || !sendOk) db_.fail(nullptr, false);
    if (committed && faults::commitAnswerLost(c)) db_.fail(nullptr, false);
    if (rolledBack) {
        db_.lastErr_ = QStringLiteral("ORA-02091: transaction rolled back");
        throw Error(2091, db_.lastErr_);
    }
}

Dynaset& Batch::Result(int i) {
    Item& it = items_.at(static_cast<size_t>(i));
    if (!it.rows) it.rows.reset(new Dynaset(PQmakeEmptyPGresult(db_.conn_, PGRES_TUPLES_OK)));
    return *it.rows;
}

std::unique_ptr<Dynaset> Batch::TakeResult(int i) {
    Result(i);
    return std::move(items_.at(static_cast<size_t>(i)).rows);
}

long Batch::RowsAffected(int i) const {
    return items_.at(static_cast<size_t>(i)).affected;
}
bool Batch::Ran(int i) const {
    return items_.at(static_cast<size_t>(i)).ran;
}

std::unique_ptr<Dynaset> CreatePreparedDynaset(Database& db, const QString& name, const QString& sql,
                                               const QList<QVariant>& params) {
    Batch b(db);
    b.AddPrepared(name, sql, params);
    b.Run();
    return b.TakeResult(0);
}

} // namespace oradb
