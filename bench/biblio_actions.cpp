// Look-up actions against a large library: quick searches (call number, ISBN, a
// four-character title prefix, and a one-character one that finds every title:
// its count with the first page, then the next page), combined searches, and
// every tab of a record with 20 copies and 100 closed loans. Prints median and
// 95th percentile per action, the statements each sends, and every statement
// whose plan reads a large table without an index (the contains mode excepted).
//
//   scripts/testdb setup <dir>
//   TESTDB_ENV=<dir>/testdb.env <build>/bench/biblio_actions [runs]
//   scripts/testdb stop <dir>

#include "bench/BenchStats.h"
#include "biblio/BookSearch.h"
#include "biblio/BookTabs.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basMarcIdx.h"
#include "common/basMarcList.h"
#include "common/basMsg.h"
#include "platform/ui/DialogService.h"
#include "tests/support/TestDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

using namespace biblio;

namespace {

struct Action {
    Action(const QString& n, bool check = true) : name(n), checkPlans(check) {}
    QString name;
    bool checkPlans;
    QVector<double> ms;
    QVector<int> statements;
    QStringList texts;
    int hits = 0;
};

void run(Action& a, int times, const std::function<int(int)>& body)
{
    StatementLog& log = statementLog();
    for (int i = 0; i < times; ++i) {
        QStringList texts;
        log.count = 0;
        log.texts = &texts;
        QElapsedTimer t;
        t.start();
        a.hits = body(i);
        a.ms << t.nsecsElapsed() / 1e6;
        a.statements << log.count;
        log.texts = nullptr;
        if (a.texts.size() < 40)
            a.texts << texts;
    }
}

// The tables a plan must not read whole.
const char* const kBig[] = {"marc_idx", "marc", "call_no_lst", "indi_acct", "item", "reader", "lend_hist",
                            "lend_lst"};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100;
    ui::ScriptedDialogService dialogs;
    auto& db = testsupport::TestDatabase::instance();
    QElapsedTimer gen;
    gen.start();
    if (!benchstats::runGenerators(db, QStringLiteral(BENCH_SOURCE_DIR "/bench/"),
                                   {"desk_large_library.sql", "biblio_large_library.sql"}))
        return 1;
    std::printf("generated in %.1f s: %s register copies, %s title keys, %s closed loans\n", gen.elapsed() / 1000.0,
                qPrintable(db.scalar("select count(*) from indi_acct")),
                qPrintable(db.scalar("select count(*) from marc_idx")),
                qPrintable(db.scalar("select count(*) from lend_hist")));
    if (db.connectCommon() != 0 || intInitBaseData() != 0 || intLoadBaseCode() != 0 || intInitMarcIdx() != 0) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(g_strErrText));
        return 1;
    }
    std::mt19937 rng(20261210);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto six = [](int n) { return QString::number(n).rightJustified(6, QLatin1Char('0')); };
    auto quick = [&](const QString& code, const QString& typed) {
        BookHitPages pages;
        return intQuickSearch(code, typed, pages);
    };
    auto combined = [&](const QVector<SeekRow>& rows) {
        BookHitPages pages;
        intRunBookSeek(varBuildBookSeek(rows, false), pages);
        return pages.total();
    };
    // The list rows of the records a read added, built from memory as the
    // window builds them; the characters built.
    auto buildRows = [](const BookHitPages& pages, int from) {
        BookSumIndex index;
        index.rebuild();
        const DBResultSet hits = pages.hits(from);
        qsizetype chars = 0;
        for (int i = 0; i < hits.rowCount(); ++i)
            chars += strBookRowTexts(index.find(hits.text(i, 0))).join(QString()).size();
        return chars;
    };

    QVector<Action> actions = {{"quick search by call number"},
                               {"quick search by ISBN"},
                               {"quick search, four-character title prefix (100 hits)"},
                               {"quick search, one-character title prefix: the count and the first page, rows built"},
                               {"combined: title with call number"},
                               {"combined: title with author"},
                               {"combined: title contains (任意匹配)", false}};
    run(actions[0], runs, [&](int) { return quick("91", "G" + six(pick(1, 300000))); });
    run(actions[1], runs, [&](int) { return quick("05", "978-7-" + six(pick(1, 300000))); });
    run(actions[2], runs, [&](int) { return quick("02", QString::number(pick(0, 2999)).rightJustified(4, '0')); });
    run(actions[3], runs, [&](int) {
        BookHitPages pages;
        const int n = intQuickSearch("02", "T", pages);
        return buildRows(pages, 0) > 0 ? n : 0;
    });
    // Page after page of the same search, as the worker scrolls down.
    Action nextPage{"quick search, one-character title prefix: the next page, rows built"};
    BookHitPages scrolled;
    intQuickSearch("02", "T", scrolled);
    run(nextPage, runs, [&](int) {
        const int from = scrolled.listed();
        const int added = scrolled.next();
        return buildRows(scrolled, from) > 0 ? added : 0;
    });
    actions.insert(4, nextPage);
    run(actions[5], runs, [&](int) {
        const int n = pick(1, 300000);
        return combined({{"02", MatchPrefix, "TITLE" + six(n)}, {"91", MatchPrefix, "G" + six(n)}});
    });
    run(actions[6], runs, [&](int) {
        return combined({{"02", MatchPrefix, "TITLE0" + QString::number(pick(1, 2))},
                         {"03", MatchPrefix, "AUTHOR" + QString::number(pick(0, 4999)).rightJustified(4, '0')}});
    });
    run(actions[7], std::max(3, runs / 20),
        [&](int) { return combined({{"02", MatchAny, QString::number(pick(100, 999)) + "号"}}); });

    TabQuery tq;
    tq.marcNo = QStringLiteral("GM900001");
    tq.today = QStringLiteral("2024-05-10");
    tq.from = QDate(2023, 1, 1);
    tq.to = QDate(2026, 12, 31);
    for (const TabDef& t : tabDefs()) {
        Action a{QStringLiteral("tab ") + t.key};
        run(a, runs, [&](int) {
            TabResult r;
            intLoadTab(t.key, tq, r);
            return int(r.info.count() + r.items.count());
        });
        actions << a;
    }
    Action bak{QStringLiteral("loan-history backup (Insert)")};
    run(bak, runs, [&](int) {
        TabRows rows;
        intLoadLendHistoryBak(tq, 101, rows);
        return rows.count();
    });
    actions << bak;

    std::printf("\n| action | runs | rows | median ms | p95 ms | statements |\n|---|---|---|---|---|---|\n");
    for (const Action& a : actions) {
        const auto [lo, hi] = std::minmax_element(a.statements.begin(), a.statements.end());
        std::printf("| %s | %d | %d | %.2f | %.2f | %s |\n", qPrintable(a.name), int(a.ms.size()), a.hits,
                    benchstats::percentile(a.ms, 0.5), benchstats::percentile(a.ms, 0.95),
                    *lo == *hi ? qPrintable(QString::number(*lo)) : qPrintable(QStringLiteral("%1-%2").arg(*lo).arg(*hi)));
    }
    int unindexed = 0;
    QSet<QString> shapes; // each statement shape once, its literals blanked
    for (const Action& a : actions) {
        if (!a.checkPlans)
            continue;
        for (const QString& sql : a.texts) {
            if (!sql.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) || sql.contains(QLatin1String("marc01")))
                continue;
            QString shape = sql;
            shape.replace(QRegularExpression(QStringLiteral("'[^']*'")), QStringLiteral("?"));
            if (shapes.contains(a.name + shape))
                continue;
            shapes.insert(a.name + shape);
            const QString plan = benchstats::planOf(db, sql);
            for (const char* t : kBig) {
                if (benchstats::scansWhole(plan, QLatin1String(t))) {
                    ++unindexed;
                    std::printf("unindexed (%s): %s\n    %s\n", qPrintable(a.name), qPrintable(sql),
                                qPrintable(plan.simplified()));
                }
            }
        }
    }
    std::printf("\nstatements checked with EXPLAIN: %d without an index\n", unindexed);
    return unindexed == 0 ? 0 : 2;
}
