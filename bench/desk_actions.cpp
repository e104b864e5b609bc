// Desk actions against a large library: reader load, title search by call
// number and by ISBN, a search by a call-number prefix finding 1,000 titles
// and the next page of its titles, placing a request and deleting it again; ordinary lending, the
// pick-up of an arrived copy, and returns (on time, overdue with a fine, away from home
// handed on past an unfit requester); the find desk's scan (passing an unfit
// requester over and lending), its hand-over of 50 copies, the acceptance of
// a returned copy, and the pick and found lists of one day. Prints median and 95th percentile
// time per action, the statements each sends, and every statement whose plan
// scans a large table without an index.
//
//   scripts/testdb setup <dir>
//   TESTDB_ENV=<dir>/testdb.env <build>/bench/desk_actions [runs] [added round-trip µs] [filter]
//   scripts/testdb stop <dir>
//
// With an added round-trip time (0: none) the desk reaches the server through
// a delaying relay (bench/DelayProxy.h), as a desk in another room would.
// With a filter (a regular expression) only the actions whose names match it
// run, and a part's set-up only when one of its actions runs; the lists of the
// day list what the actions before them left ('placing|handed|scan|hand-over|
// list' gives them their rows of a full run in a fraction of its time).
//
// The program clones the test template, grows it with desk_large_library.sql
// (about half a minute) and drops the clone at the end.

#include "bench/BenchStats.h"
#include "bench/DelayProxy.h"
#include "common/basDBBatch.h"
#include "common/LoginState.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMarcIdx.h"
#include "common/basMsg.h"
#include "desk/ConsignDesk.h"
#include "desk/DeskLending.h"
#include "consign/FindDesk.h"
#include "consign/ReturnManage.h"
#include "platform/ui/DialogService.h"
#include "tests/support/TestDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>

namespace {

using benchstats::Figures;
using benchstats::percentile;
using benchstats::range;

// `desk` is any logic that counts and logs its statements (the desk, the find
// desk, the return management).
template <class Logic>
void measure(Figures& f, Logic& desk, const std::function<void()>& prepare,
             const std::function<void()>& action)
{
    QStringList log;
    if (prepare)
        prepare();
    desk.resetStatementCount();
    desk.statementLog = &log;
    LIB_DB_ResetTraffic();
    QElapsedTimer t;
    t.start();
    action();
    const double ms = t.nsecsElapsed() / 1e6;
    desk.statementLog = nullptr;
    f.add(ms, desk.statementCount(), LIB_DB_RoundTrips(), log);
}

const QStringList kLargeTables = {"reader", "reader_cert", "item", "call_no_lst", "marc_idx", "marc", "lend_lst",
                                  "relegate_lst", "relegate_arri_lst", "reader_volt_lst", "exceed_fine_lst"};

// Statements whose plan reads a large table without an index.
QStringList unindexed(testsupport::TestDatabase& db, const QStringList& samples)
{
    return benchstats::unindexed(db, samples, kLargeTables);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200;
    ui::ScriptedDialogService dialogs; // refusals show their boxes here
    const QRegularExpression only(argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    auto wanted = [&only](std::initializer_list<const Figures*> actions) {
        return std::any_of(actions.begin(), actions.end(),
                           [&only](const Figures* f) { return only.match(f->action).hasMatch(); });
    };

    auto& db = testsupport::TestDatabase::instance();
    QFile gen(QStringLiteral(BENCH_SOURCE_DIR "/bench/desk_large_library.sql"));
    if (!gen.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(gen.fileName()));
        return 1;
    }
    QElapsedTimer genTime;
    genTime.start();
    db.exec(QString::fromUtf8(gen.readAll()));
    std::printf("generated in %.1f s: %s copies, %s titles, %s readers, %s waiting requests, %s loans\n",
                genTime.elapsed() / 1000.0, qPrintable(db.scalar("select count(*) from item")),
                qPrintable(db.scalar("select count(*) from call_no_lst")),
                qPrintable(db.scalar("select count(*) from reader")),
                qPrintable(db.scalar("select count(*) from relegate_lst where relegate_flag = '0'")),
                qPrintable(db.scalar("select count(*) from lend_lst")));

    const int addedMicros = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    std::unique_ptr<benchstats::DelayProxy> proxy;
    int connected = 0;
    if (addedMicros > 0) {
        // host='<socket dir>' port='<n>' user='<u>' dbname=<d>: the desk goes through the relay.
        const QString info = db.conninfo();
        const QRegularExpression field(QStringLiteral("(\\w+)='?([^'\\s]*)'?"));
        QMap<QString, QString> kv;
        for (auto it = field.globalMatch(info); it.hasNext();) {
            const auto m = it.next();
            kv[m.captured(1)] = m.captured(2);
        }
        proxy = std::make_unique<benchstats::DelayProxy>(kv.value("host"), kv.value("port", "5432").toInt(),
                                                         addedMicros);
        g_strDBName = QStringLiteral("host=127.0.0.1 port=%1 user=%2 dbname=%3")
                          .arg(proxy->port())
                          .arg(kv.value("user"), kv.value("dbname"));
        g_strDBUser.clear();
        g_strDBPwd.clear();
        connected = LIB_DB_Connect();
        std::printf("through a relay adding %d µs per round trip\n", addedMicros);
    } else {
        connected = db.connectCommon();
    }
    if (connected != 0 || intInitBaseData() != 0 || intLoadBaseCode() != 0 || intInitMarcIdx() != 0
        || intLoadDeskLocation(3) != 0) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(g_strErrText));
        return 1;
    }
    benchstats::printWakeUps("before the runs");
    g_strWkrNo = QStringLiteral("0001");
    g_strLocation = QStringLiteral("D2");
    g_varLocaProperty = QStringLiteral("05");

    desk::ConsignDesk desk;
    desk.askKeepDays = [](const QString&, int maxDays) { return std::optional<int>(maxDays); };
    std::mt19937 rng(20261210);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto num = [](const char* prefix, int n) {
        return QString::fromLatin1(prefix) + QString::number(n).rightJustified(6, QLatin1Char('0'));
    };

    Figures load(QStringLiteral("reader load (request mode)"));
    Figures byCall(QStringLiteral("title search by call number, with holdings"));
    Figures byIsbn(QStringLiteral("title search by ISBN, with holdings"));
    Figures byPrefix(QStringLiteral("title search by a call-number prefix finding 1,000 titles, with holdings"));
    Figures nextPage(QStringLiteral("next page of the found titles"));
    Figures place(QStringLiteral("placing a request"));
    Figures remove(QStringLiteral("deleting a request (after the question)"));

    // A quarter of the loads meet open violations, a quarter arrived copies.
    for (int i = 0; i < runs && wanted({&load}); ++i) {
        const int reader = i % 4 == 0 ? 100 * pick(1, 2000) : i % 4 == 1 ? pick(120001, 140000) : pick(1, 200000);
        measure(load, desk, nullptr, [&] { desk.intLoadRedr(num("GC", reader)); });
    }
    // A loaded reader for the searches.
    desk.intLoadRedr(num("GC", 1));
    for (int i = 0; i < runs && wanted({&byCall}); ++i)
        measure(byCall, desk, nullptr, [&] { desk.subSearchBook(num("G", pick(1, 300000)), desk::SearchCallNo); });
    for (int i = 0; i < runs && wanted({&byIsbn}); ++i) {
        measure(byIsbn, desk, nullptr, [&] {
            desk.subSearchBookByGroup(QStringLiteral("978-7-") + QString::number(pick(1, 300000)).rightJustified(6, '0')
                                          + QStringLiteral("-"),
                                      QStringLiteral("05"));
        });
    }
    // G001.. to G019..: 1,000 titles each, with records.
    for (int i = 0; i < runs && wanted({&byPrefix, &nextPage}); ++i) {
        const QString prefix = QStringLiteral("G0") + QString::number(pick(1, 19)).rightJustified(2, QLatin1Char('0'));
        measure(byPrefix, desk, nullptr, [&] { desk.subSearchBook(prefix, desk::SearchCallNo); });
        measure(nextPage, desk, nullptr, [&] { desk.subReadTitlePage(); });
    }
    // Readers 1..100,000 wait for nothing; titles 1..50,000 have a queue of two at A1.
    int placed = 0;
    QVector<QPair<int, QString>> placedFor; // reader and call number, deleted at the end
    for (int i = 0; i < runs && wanted({&place, &remove}); ++i) {
        const int reader = 1 + i * (100000 / std::max(1, runs));
        int title = -1;
        measure(
            place, desk,
            [&] {
                desk.intLoadRedr(num("GC", reader));
                desk.subSearchBook(num("G", pick(1, 50000)), desk::SearchCallNo);
                title = desk.titles().isEmpty() ? -1 : 0;
            },
            [&] {
                if (title < 0)
                    return;
                const auto& h = desk.titles()[0].holdings;
                for (int k = 0; k < h.size(); ++k)
                    if (h[k].location == QLatin1String("A1") && desk.subApplyBook(0, k) == 0)
                        ++placed;
            });
        if (title >= 0 && desk.titles()[0].holdings.size() > 0)
            placedFor.push_back({reader, desk.titles()[0].listedCallNo});
    }

    // ---- lend and return modes ----
    desk::DeskLending lending(desk);
    Figures lend(QStringLiteral("ordinary lending"));
    Figures pickUp(QStringLiteral("pick-up of an arrived copy"));
    Figures retOnTime(QStringLiteral("return on time"));
    Figures retFine(QStringLiteral("return overdue, with a fine"));
    Figures retHandOn(QStringLiteral("return away from home, handed on past an unfit requester"));
    // Without any of these actions their set-up changes no row (n = 0).
    const int n = wanted({&lend, &pickUp, &retOnTime, &retFine, &retHandOn}) ? std::min(runs, 900) : 0;
    // Found copies of readers 120,001.. carry their consignment loans; loans of
    // readers 2,001.. are overdue; copies of titles 2.. at A1 are lent to
    // readers 3,001.., and the first requester of their queue owes too much.
    db.exec(QStringLiteral(
                "insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_times, asback_times, "
                "rule_no_f, location_f, resp_wkr) select cert_id, prop_no, to_char(desk_now()::date - 1, "
                "'YYYY-MM-DD') || ' 10:00:00', to_char(desk_now()::date + 29, 'YYYY-MM-DD'), 0, 0, 'R1', 'A2', "
                "'0001' from relegate_arri_lst where cert_id between 'GR120001' and 'GR%1'; update item set "
                "book_lend_flag = '3' where prop_no in (select prop_no from relegate_arri_lst where cert_id between "
                "'GR120001' and 'GR%1')")
                .arg(120000 + n));
    db.exec(QStringLiteral("update lend_lst set norm_ret_date = to_char(desk_now()::date - 30, 'YYYY-MM-DD') "
                           "where cert_id between 'GR002001' and 'GR%1'")
                .arg(2000 + n, 6, 10, QLatin1Char('0')));
    db.exec(QStringLiteral("insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, renew_times, "
                           "asback_times, rule_no_f, location_f, resp_wkr) select 'GR' || lpad((3000 + t)::text, 6, "
                           "'0'), 'GP' || lpad((t - 1)::text, 7, '0'), '2026-01-01 10:00:00', '2099-01-01', 0, 0, "
                           "'R1', 'A1', '0001' from generate_series(2, %1) t; update item set book_lend_flag = '1' "
                           "where prop_no in (select 'GP' || lpad((t - 1)::text, 7, '0') from generate_series(2, %1) "
                           "t); update reader set debt_flag = 20 where cert_id in (select 'GR' || lpad((100000 + "
                           "t)::text, 6, '0') from generate_series(2, %1) t); analyze")
                .arg(n + 1));
    // Readers of good standing (not every 10th, 50th or 100th) lend a copy of
    // another title at A1.
    int lent = 0, collected = 0, returned = 0;
    for (int i = 0, reader = 10001; i < n && wanted({&lend}); ++reader) {
        if (reader % 10 == 0)
            continue;
        const QString code = num("GB0", 200000 + i);
        measure(lend, desk, [&] { desk.intLoadRedr(num("GC", reader)); },
                [&] { lent += lending.subLendBook(code) == 0; });
        ++i;
    }
    for (int i = 1; i <= n && wanted({&pickUp}); ++i) {
        measure(pickUp, desk, [&] { desk.intLoadRedr(num("GC", 120000 + i)); },
                [&] { collected += lending.subLendReleBook(num("GB0", 600000 + i)) == 0; });
    }
    for (int i = 1; i <= n && wanted({&retOnTime}); ++i)
        measure(retOnTime, desk, nullptr, [&] { returned += lending.subReturnBook(num("GB0", 301000 + i)) == 0; });
    for (int i = 1; i <= n && wanted({&retFine}); ++i)
        measure(retFine, desk, nullptr, [&] { returned += lending.subReturnBook(num("GB0", 302000 + i)) == 0; });
    const QString handedOn = db.scalar("select count(*) from relegate_arri_lst where relegate_end_flag = '6'");
    for (int t = 2; t <= n + 1 && wanted({&retHandOn}); ++t)
        measure(retHandOn, desk, nullptr, [&] { returned += lending.subReturnBook(num("GB0", t - 1)) == 0; });
    std::printf("lent %d, collected %d, returned %d of %d; handed on %d\n", lent, collected, returned, 3 * n,
                db.scalar("select count(*) from relegate_arri_lst where relegate_end_flag = '6'").toInt()
                    - handedOn.toInt());

    // ---- find desk and return management, at the main library's desk D1 ----
    g_strLocation = QStringLiteral("D1");
    g_varLocaProperty = QStringLiteral("01");
    consign::g_showReport = nullptr;
    Figures scan(QStringLiteral("find desk: scan, one requester passed over, lend"));
    Figures handOver(QStringLiteral("hand-over of 50 found copies"));
    Figures accept(QStringLiteral("acceptance of a returned copy"));
    Figures pickList(QStringLiteral("pick list of one day at one location"));
    Figures foundList(QStringLiteral("found list of one day"));
    const QString today = db.scalar("select to_char(desk_now()::date, 'YYYY-MM-DD')");
    const int m = wanted({&scan, &handOver, &accept}) ? std::min(runs, 900) : 0;
    // Titles 20,001.. queue readers 120,001.. (first, owing too much) and
    // 170,001.. at A1; copy t - 1 of title t stands at A1. Copies 40,001.. of
    // A1 were returned at the branch today.
    db.exec(QStringLiteral("update reader set debt_flag = 20 where cert_id in (select 'GR' || lpad((120000 + t)::text, "
                           "6, '0') from generate_series(1, %1) t); insert into relegate_arri_lst (cert_id, prop_no, "
                           "call_no, relegate_arri_date, relegate_lend_date, relegate_ret_date, relegate_ret_location, "
                           "relegate_end_flag, resp_wkr) select 'GR000001', 'GP' || lpad((40000 + t)::text, 7, '0'), "
                           "'G' || lpad((40001 + t)::text, 6, '0'), %2, %2, %2, 'D2', '4', '0001' "
                           "from generate_series(1, %1) t; analyze")
                .arg(m)
                .arg(strSQLQuote(today)));
    int found = 0, accepted = 0;
    std::unique_ptr<consign::FindDesk> batch;
    for (int j = 1; j <= m; ++j) {
        const int t = 20000 + j;
        if ((t - 1) % 97 == 0)
            continue; // a copy not lendable
        if (!batch)
            batch = std::make_unique<consign::FindDesk>();
        measure(scan, *batch, nullptr, [&] { found += batch->subFindBook(num("GB0", t - 1)) == 0; });
        if (batch->spdFind().size() == 50) {
            measure(handOver, *batch, nullptr, [&] { batch->subConnectFind(); });
            batch.reset();
        }
    }
    consign::ReturnManage home;
    home.dtpBegin = home.dtpEnd = QDate::fromString(today, QStringLiteral("yyyy-MM-dd"));
    for (int i = 1; i <= m; ++i)
        measure(accept, home, nullptr, [&] { accepted += home.subCheckBook(num("GB0", 40000 + i)) == 0; });
    consign::FindDesk lists;
    lists.subInitTeam();
    lists.dtpApplyBegin = lists.dtpApplyEnd = lists.dtpFindBegin = lists.dtpFindEnd = home.dtpBegin;
    lists.cmbApplyTeam.index = lists.cmbApplyTeam.count() - 1;
    lists.cmbApplyLocation.index = int(lists.cmbApplyLocation.codes.indexOf(QStringLiteral("A1")));
    lists.cmbFindTeam.index = lists.cmbFindTeam.count() - 1;
    lists.cmbFindTeamII.index = lists.cmbFindTeamII.count() - 1;
    for (int i = 0; i < runs; ++i) {
        if (wanted({&pickList}))
            measure(pickList, lists, nullptr, [&] { lists.cmdApplySearch(); });
        if (wanted({&foundList}))
            measure(foundList, lists, nullptr, [&] { lists.cmdFindSearch(); });
    }
    std::printf("found %d, accepted %d of %d; pick list %d rows, found list %d rows\n", found, accepted, m,
                static_cast<int>(lists.spdApplyList().size()), static_cast<int>(lists.spdFindList().size()));

    // The requests placed above deleted again (the lists of the day have read
    // them): the reader's list read first, then the question answered.
    int deleted = 0;
    if (!wanted({&remove}))
        placedFor.clear();
    for (const auto& [reader, callNo] : placedFor) {
        int row = -1;
        measure(
            remove, desk,
            [&, reader = reader, callNo = callNo] {
                desk.intLoadRedr(num("GC", reader));
                desk.subLoadApplyList();
                for (int r = 0; r < desk.requests().size() && row < 0; ++r)
                    if (desk.requests()[r].callNo == callNo)
                        row = r;
                dialogs.answers << ui::BoxAnswer::Ok;
            },
            [&] { deleted += row >= 0 && desk.subDeleteApply(row) == 0; });
    }

    std::printf("\n| action | runs | median ms | p95 ms | round trips | statements |\n|---|---|---|---|---|---|\n");
    bool allIndexed = true;
    const std::initializer_list<Figures*> all = {&load,     &byCall,    &byIsbn,  &byPrefix, &nextPage,
                                                 &place,    &remove,    &lend,    &pickUp,   &retOnTime, &retFine,
                                                 &retHandOn, &scan,     &handOver, &accept,  &pickList,
                                                 &foundList};
    for (Figures* f : all) {
        if (f->ms.isEmpty())
            continue;
        std::printf("| %s | %d | %.2f | %.2f | %s | %s |\n", qPrintable(f->action), static_cast<int>(f->ms.size()),
                    percentile(f->ms, 0.5), percentile(f->ms, 0.95), qPrintable(range(f->tripsMin, f->tripsMax)),
                    qPrintable(range(f->statementsMin, f->statementsMax)));
    }
    benchstats::printWakeUps("after the runs");
    std::printf("\nrequests placed: %d of %d, deleted again: %d\n", placed, runs, deleted);
    for (Figures* f : all) {
        const QStringList bad = unindexed(db, f->samples);
        std::printf("%s: %d distinct statements checked with EXPLAIN, %d without an index\n", qPrintable(f->action),
                    static_cast<int>(f->samples.size()), static_cast<int>(bad.size()));
        for (const QString& b : bad)
            std::printf("  %s\n", qPrintable(b));
        allIndexed = allIndexed && bad.isEmpty();
    }
    LIB_DB_Disconnect();
    return allIndexed ? 0 : 2;
}
