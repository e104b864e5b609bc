// Reader information actions against a large library: the four quick look-ups
// with the reader summary, the loans page of a reader with ten loans, the
// history page of a reader with 100 closed loans, and the reader search by a
// name prefix and without criteria. Prints median and 95th percentile time per
// action, the statements each sends (counted on the wire), and every
// statement whose plan scans a large table without an index.
//
//   scripts/testdb setup <dir>
//   TESTDB_ENV=<dir>/testdb.env <build>/bench/reader_info_actions [runs]
//   scripts/testdb stop <dir>

#include "bench/BenchStats.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMarcIdx.h"
#include "common/basMsg.h"
#include "platform/oradb/Database.h"
#include "platform/ui/DialogService.h"
#include "reader/basLTMore.h"
#include "reader/basRedrPages.h"
#include "reader/basRedrSearch.h"
#include "tests/support/TestDatabase.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>

#include <libpq-fe.h>

#include <cstdio>
#include <functional>
#include <random>

namespace {

// The statements sent on the connection, read from the client library's
// protocol trace.
class WireLog {
public:
    explicit WireLog(pg_conn* conn) {
        file_ = open_memstream(&buf_, &len_);
        PQtrace(conn, file_);
        PQsetTraceFlags(conn, PQTRACE_SUPPRESS_TIMESTAMPS);
    }
    void mark() {
        std::fflush(file_);
        from_ = len_;
    }
    // The query texts sent since mark().
    QStringList sent() {
        std::fflush(file_);
        const QByteArray trace(buf_ + from_, static_cast<qsizetype>(len_ - from_));
        QStringList out;
        for (const QByteArray& line : trace.split('\n')) {
            const QList<QByteArray> f = line.split('\t');
            if (f.size() < 4 || f[0] != "F" || f[2] != "Query") continue;
            QByteArray text = line.mid(line.indexOf("Query\t") + 6).trimmed();
            if (text.startsWith('"') && text.endsWith('"')) text = text.mid(1, text.size() - 2);
            out << QString::fromUtf8(unescape(text));
        }
        return out;
    }

private:
    // The trace writes bytes that are not printable as \xNN.
    static QByteArray unescape(const QByteArray& t) {
        QByteArray out;
        for (qsizetype i = 0; i < t.size(); ++i) {
            if (t[i] == '\\' && i + 3 < t.size() && t[i + 1] == 'x') {
                out += static_cast<char>(t.mid(i + 2, 2).toInt(nullptr, 16));
                i += 3;
            } else {
                out += t[i];
            }
        }
        return out;
    }
    char* buf_ = nullptr;
    size_t len_ = 0;
    size_t from_ = 0;
    FILE* file_ = nullptr;
};

struct Figures : benchstats::Figures {
    explicit Figures(const QString& a, bool scans = false) : benchstats::Figures(a), listsEveryone(scans) {}
    bool listsEveryone; // reads every reader by design: exempt from the index check
};

void measure(Figures& f, WireLog& wire, const std::function<void()>& action) {
    wire.mark();
    QElapsedTimer t;
    t.start();
    action();
    const double ms = t.nsecsElapsed() / 1e6;
    const QStringList sent = wire.sent();
    f.add(ms, int(sent.size()), 0, sent);
}

// marc_data is not among them: the generated titles have no record text.
const QStringList kLargeTables = {"reader",   "reader_cert", "item",         "marc",
                                  "lend_lst", "lend_hist",   "lend_hist_bak"};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200;
    ui::ScriptedDialogService dialogs;

    auto& db = testsupport::TestDatabase::instance();
    QElapsedTimer genTime;
    genTime.start();
    if (!benchstats::runGenerators(db, QStringLiteral(BENCH_SOURCE_DIR "/bench/"),
                                   {"desk_large_library.sql", "reader_large_history.sql"}))
        return 1;
    std::printf("generated in %.1f s: %s readers, %s closed loans, %s open loans\n",
                genTime.elapsed() / 1000.0, qPrintable(db.scalar("select count(*) from reader")),
                qPrintable(db.scalar("select count(*) from lend_hist")),
                qPrintable(db.scalar("select count(*) from lend_lst")));

    if (db.connectCommon() != 0 || intInitBaseData() != 0 || intLoadBaseCode() != 0 ||
        intInitMarcIdx() != 0) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(g_strErrText));
        return 1;
    }
    WireLog wire(LIB_DB_Database()->handle());
    std::mt19937 rng(20261210);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto num = [](const char* prefix, int n) {
        return QString::fromUtf8(prefix) + QString::number(n).rightJustified(6, QLatin1Char('0'));
    };

    const char* const kFields[] = {
        "look-up by card barcode, with the summary", "look-up by certificate number, with the summary",
        "look-up by identity-card number, with the summary", "look-up by name, with the summary"};
    QVector<Figures> lookups;
    for (const char* f : kFields)
        lookups.push_back(Figures(QString::fromLatin1(f)));
    Figures loans(QStringLiteral("loans page, 10 loans"));
    Figures history(QStringLiteral("history page, 100 closed loans in the year"));
    Figures byName(QStringLiteral("search by name prefix (111 readers)"));
    Figures everyone(QStringLiteral("search without criteria (every reader listed)"), true);
    Figures firstPage(QStringLiteral("search without criteria, first page with the count (as listed now)"), true);
    Figures nextPage(QStringLiteral("search without criteria, the next page as the worker scrolls"));

    for (int field = SeekByBarcode; field <= SeekByName; ++field) {
        for (int i = 0; i < runs; ++i) {
            const int n = pick(100000, 199999);
            const QString text = field == SeekByBarcode  ? num("GC", n)
                                 : field == SeekByCertId ? num("GR", n)
                                 : field == SeekByIdCard ? num("ID", n)
                                                         : QStringLiteral("读者%1").arg(n);
            measure(lookups[field], wire, [&] {
                QStringList ids;
                QStringList summary;
                if (intSeekRedr(field, text, &ids) == 0 && ids.size() == 1)
                    intLoadRedrSummary(ids.first(), &summary);
            });
        }
    }
    const QDate today = QDate::fromString(varGetSysInfo(1).toString(), QStringLiteral("yyyy-MM-dd"));
    const RedrHistRange year{today.addDays(-365).toString(QStringLiteral("yyyy-MM-dd")),
                             today.toString(QStringLiteral("yyyy-MM-dd")), 0};
    RedrPage page;
    for (int i = 0; i < runs; ++i)
        measure(loans, wire, [&] { intLoadRedrPage(QStringLiteral("LendInfo"), "GR000500", year, &page); });
    std::printf("loans page: %d rows\n", int(page.rows.size()));
    for (int i = 0; i < runs; ++i)
        measure(history, wire,
                [&] { intLoadRedrPage(QStringLiteral("LendHistoryInfo"), "GR000500", year, &page); });
    std::printf("history page: %d rows\n", int(page.rows.size()));
    int listed = 0;
    auto search = [&](const RedrSearchInput& in) {
        QString sql, message;
        intBuildRedrSearch(in, &sql, &message);
        DBResultSet rs;
        g_strSQL = sql;
        if (LIB_DB_Select(g_strSQL, rs) == 0) listed = int(arrFirstCardRows(rs).size());
    };
    RedrSearchInput prefix;
    prefix.cells[3] = QStringLiteral("读者1234");
    for (int i = 0; i < runs; ++i)
        measure(byName, wire, [&] { search(prefix); });
    std::printf("search by name prefix: %d readers\n", listed);
    const int everyoneRuns = std::max(3, runs / 20);
    for (int i = 0; i < everyoneRuns; ++i)
        measure(everyone, wire, [&] { search(RedrSearchInput{}); });
    std::printf("search without criteria: %d readers\n", listed);
    // As the search window lists it: the first page with the exact count, and
    // one page more as the worker scrolls.
    int counted = 0;
    for (int i = 0; i < runs; ++i)
        measure(firstPage, wire, [&] {
            QString sql, message;
            intBuildRedrSearch(RedrSearchInput{}, &sql, &message);
            RedrSearchPages pages;
            if (pages.start(sql) == 0) counted = pages.total();
        });
    std::printf("search without criteria, first page: %d readers counted\n", counted);
    {
        QString sql, message;
        intBuildRedrSearch(RedrSearchInput{}, &sql, &message);
        RedrSearchPages pages;
        pages.start(sql);
        for (int i = 0; i < runs; ++i)
            measure(nextPage, wire, [&] { pages.next(); });
    }

    std::printf("\n| action | runs | median ms | p95 ms | statements |\n|---|---|---|---|---|\n");
    QVector<Figures*> all;
    for (Figures& f : lookups)
        all << &f;
    all << &loans << &history << &byName << &everyone << &firstPage << &nextPage;
    bool allIndexed = true;
    for (Figures* f : all) {
        std::printf("| %s | %d | %.2f | %.2f | %s |\n", qPrintable(f->action), static_cast<int>(f->ms.size()),
                    benchstats::percentile(f->ms, 0.5), benchstats::percentile(f->ms, 0.95),
                    qPrintable(benchstats::range(f->statementsMin, f->statementsMax)));
    }
    for (Figures* f : all) {
        if (f->listsEveryone) continue;
        const QStringList bad = benchstats::unindexed(db, f->samples, kLargeTables);
        std::printf("%s: %d distinct statements checked with EXPLAIN, %d without an index\n",
                    qPrintable(f->action), static_cast<int>(f->samples.size()), static_cast<int>(bad.size()));
        for (const QString& b : bad)
            std::printf("  %s\n", qPrintable(b));
        allIndexed = allIndexed && bad.isEmpty();
    }
    return allIndexed ? 0 : 2;
}
