// Management actions against the large library of desk_actions: queue Delete,
// Up and Down (each with the queue read again) and a found-copy cancel, then
// the notice selection of one location over a week of notice dates. Prints
// median and 95th percentile time per action, the statements and round trips
// each sends, and every statement whose plan scans a large table without an
// index.
//
//   scripts/testdb setup <dir>
//   TESTDB_ENV=<dir>/testdb.env <build>/bench/manage_actions [runs]
//   scripts/testdb stop <dir>

#include "bench/BenchStats.h"
#include "common/LoginState.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basMsg.h"
#include "consign/basApplyManage.h"
#include "consign/basEmail.h"
#include "consign/basFindManage.h"
#include "platform/ui/DialogService.h"
#include "tests/support/TestDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

namespace {

using benchstats::Figures;
using benchstats::range;

void measure(Figures& f, consign::ManageDb& db, const std::function<void()>& action) {
    QStringList log;
    db.statements = 0;
    db.log = &log;
    LIB_DB_ResetTraffic();
    QElapsedTimer t;
    t.start();
    action();
    const double ms = t.nsecsElapsed() / 1e6;
    db.log = nullptr;
    f.add(ms, db.statements, LIB_DB_RoundTrips(), log);
}

QString num(const char* prefix, int n, int width = 6) {
    return QString::fromLatin1(prefix) + QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = std::min(argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 200, 5000);
    ui::ScriptedDialogService dialogs;

    auto& db = testsupport::TestDatabase::instance();
    if (!benchstats::runGenerators(db, QStringLiteral(BENCH_SOURCE_DIR "/bench/"),
                                   {"desk_large_library.sql"}))
        return 1;
    // The found copies carry their consignment loans; their notice dates spread
    // over sixty days; the queues of titles 1.. at A1 get a third request (by
    // readers 50,001.., who wait for nothing else).
    db.exec(QStringLiteral(
        "insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, location_f, resp_wkr) "
        "select cert_id, prop_no, to_char(desk_now()::date - 1, 'YYYY-MM-DD') || ' 10:00:00', "
        "to_char(desk_now()::date + 29, 'YYYY-MM-DD'), 'R1', 'A2', '0001' from relegate_arri_lst where "
        "cert_id "
        "between 'GR120001' and 'GR140000'; update item set book_lend_flag = '3' where prop_no in (select "
        "prop_no from "
        "relegate_arri_lst where cert_id between 'GR120001' and 'GR140000'); update relegate_arri_lst set "
        "relegate_noti_date = "
        "to_char(desk_now()::date - (id % 60)::int, 'YYYY-MM-DD') where cert_id between 'GR120001' and "
        "'GR140000'; "
        "insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
        "relegate_keep_days, "
        "relegate_end_date, relegate_location, wkr_no, relegate_flag) select 'GR' || lpad((50000 + n)::text, "
        "6, "
        "'0'), 'G' || lpad(n::text, 6, '0'), 'A1', 3, to_char(desk_now()::date, 'YYYY-MM-DD'), 7, "
        "to_char(desk_now()::date + 7, 'YYYY-MM-DD'), 'D2', '0001', '0' from generate_series(1, 50000) n; "
        // Years of consignments behind them: 400,000 found copies collected,
        // returned and accepted home.
        "insert into relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, relegate_noti_date, "
        "relegate_keep_days, relegate_keep_end_date, relegate_lend_date, relegate_ret_date, "
        "relegate_location, "
        "relegate_find_location, relegate_ret_location, relegate_end_flag, resp_wkr) select 'GR' || lpad((n "
        "% "
        "200000 + 1)::text, 6, '0'), 'GP' || lpad((n % 1000000 + 1)::text, 7, '0'), 'G000001', d, d, 7, d, "
        "d, d, "
        "'D2', 'D1', 'D2', '5', '0001' from (select n, to_char(desk_now()::date - n % 1500, 'YYYY-MM-DD') as "
        "d from "
        "generate_series(1, 400000) n) h; analyze"));
    if (db.connectCommon() != 0 || intInitBaseData() != 0 || intLoadBaseCode() != 0) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(g_strErrText));
        return 1;
    }
    g_strWkrNo = QStringLiteral("0001");
    g_strLocation = QStringLiteral("D2");

    consign::ApplyManage queue;
    queue.locations.codes = {QStringLiteral("A1")};
    queue.locations.names = {QStringLiteral("总馆书库")};
    queue.locations.index = 0;
    auto title = [&](int n) {
        queue.titles = {consign::QueueTitle{num("G", n), num("GM", n), QStringLiteral("1"), {}, {}, {}}};
        queue.subShowQueue(0);
    };
    Figures up(QStringLiteral("queue Up")), down(QStringLiteral("queue Down")),
        del(QStringLiteral("queue Delete"));
    Figures cancel(QStringLiteral("found-copy cancel")),
        notices(QStringLiteral("notice selection, A2, one week"));
    int done = 0;
    for (int i = 1; i <= runs; ++i) {
        title(i);
        measure(up, queue.db, [&] { done += queue.subMoveApply(1, false) == 0; });
        measure(down, queue.db, [&] { done += queue.subMoveApply(0, true) == 0; });
        dialogs.answers << ui::BoxAnswer::Ok;
        measure(del, queue.db, [&] { done += queue.subDeleteApply(1) == 0; });
    }
    consign::FindManage found;
    for (int i = 1; i <= std::min(runs, 20000); ++i)
        measure(cancel, found.db,
                [&] { done += found.intCancelFound(num("GR", 120000 + i), num("GP", 600000 + i, 7)) == 0; });
    consign::ManageDb selectDb;
    for (int i = 0; i < std::min(runs, 200); ++i) {
        QVector<consign::NoticeRow> rows;
        const QString end =
            db.scalar(QStringLiteral("select to_char(desk_now()::date - %1, 'YYYY-MM-DD')").arg(i % 50));
        const QString begin =
            db.scalar(QStringLiteral("select to_char(desk_now()::date - %1, 'YYYY-MM-DD')").arg(i % 50 + 6));
        measure(notices, selectDb,
                [&] { consign::intSelectNotices(QStringLiteral("A2"), begin, end, rows); });
        if (i == 0) {
            std::printf("a week of notice dates selects %d found copies\n", static_cast<int>(rows.size()));
            notices.samples << g_strSQL;
        }
    }
    notices.statementsMin = notices.statementsMax = 1; // one query, sent outside ManageDb
    std::printf("actions done: %d\n\n| action | runs | median ms | p95 ms | statements | round trips "
                "|\n|---|---|---|---|---|---|\n",
                done);
    bool allIndexed = true;
    const QStringList large = {"relegate_lst", "relegate_arri_lst", "item", "lend_lst", "reader"};
    for (Figures* f : {&up, &down, &del, &cancel, &notices}) {
        std::printf("| %s | %d | %.2f | %.2f | %s | %s |\n", qPrintable(f->action),
                    static_cast<int>(f->ms.size()), benchstats::percentile(f->ms, 0.5),
                    benchstats::percentile(f->ms, 0.95),
                    qPrintable(range(f->statementsMin, f->statementsMax)),
                    qPrintable(range(f->tripsMin, f->tripsMax)));
    }
    for (Figures* f : {&up, &down, &del, &cancel, &notices}) {
        const QStringList bad = benchstats::unindexed(db, f->samples, large);
        std::printf("%s: %d distinct statements checked with EXPLAIN, %d without an index\n",
                    qPrintable(f->action), static_cast<int>(f->samples.size()), static_cast<int>(bad.size()));
        for (const QString& b : bad)
            std::printf("    %s\n", qPrintable(b));
        allIndexed = allIndexed && bad.isEmpty();
    }
    const QString plan = benchstats::planOf(db, notices.samples.value(0));
    std::printf("notice selection plan:\n%s\n", qPrintable(plan));
    return allIndexed ? 0 : 2;
}
