// The reads of the start-up, the log-in and the lists that used to read per
// row: each as the program sends it now (batches, the records of a whole list
// in one query) and the same reads one at a time as they were sent before,
// on a clone of the test template (the demo library), on loopback or through
// the delaying relay.
//
//   cmake --build <build dir> --target list_reads
//   scripts/testdb setup /tmp/benchdb
//   TESTDB_ENV=/tmp/benchdb/testdb.env <build dir>/bench/list_reads [runs] [µs]
//   scripts/testdb stop /tmp/benchdb

#include "bench/BenchStats.h"
#include "bench/DelayProxy.h"
#include "common/LoginState.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basEnv.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMarcIdx.h"
#include "common/basMsg.h"
#include "reader/ReaderContext.h"
#include "reader/basLTMore.h"
#include "reader/clsFineSettle.h"
#include "report/ColumnSetup.h"
#include "shell/basLogin.h"
#include "platform/ui/DialogService.h"
#include "tests/support/TestDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QRegularExpression>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

struct Row {
    QString action;
    QVector<double> ms;
    long tripsMin = 1L << 30, tripsMax = 0;
};

Row measure(const QString& action, int runs, const std::function<void()>& run) {
    Row r{action, {}};
    for (int i = 0; i < runs; ++i) {
        LIB_DB_ResetTraffic();
        QElapsedTimer t;
        t.start();
        run();
        r.ms << t.nsecsElapsed() / 1e6;
        r.tripsMin = std::min(r.tripsMin, LIB_DB_RoundTrips());
        r.tripsMax = std::max(r.tripsMax, LIB_DB_RoundTrips());
    }
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(5, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    const int addedMicros = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;

    auto& db = testsupport::TestDatabase::instance();
    // Twenty open fines of reader DZ0002 on copies with records; 200 rows
    // naming records for the report's MARC column.
    db.exec("insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, time_unit, fine_amt, "
            "debt_deal_flag, location_f) select prop_no, 'DZ0002', '2020-01-01 10:00:00', '2020-02-01 10:00:00', "
            "'2020-02-05 10:00:00', 'D', 1, '0', location from item where marc_rec_no is not null "
            "order by prop_no limit 20 on conflict do nothing");
    db.exec("update reader set debt_flag = (select sum(fine_amt) from exceed_fine_lst where cert_id = 'DZ0002' "
            "and debt_deal_flag = '0') where cert_id = 'DZ0002'");
    const QStringList records = db.column("select marc_rec_no from marc_data group by marc_rec_no order by 1");
    const double debt = db.scalar("select debt_flag from reader where cert_id = 'DZ0002'").toDouble();
    std::printf("%d records; reader DZ0002 owes %.2f\n", int(records.size()), debt);

    std::unique_ptr<benchstats::DelayProxy> proxy;
    QString dsn = db.conninfo();
    if (addedMicros > 0) {
        const QRegularExpression field(QStringLiteral("(\\w+)='?([^'\\s]*)'?"));
        QMap<QString, QString> kv;
        for (auto it = field.globalMatch(dsn); it.hasNext();) {
            const auto m = it.next();
            kv[m.captured(1)] = m.captured(2);
        }
        proxy = std::make_unique<benchstats::DelayProxy>(kv.value("host"), kv.value("port", "5432").toInt(),
                                                         addedMicros);
        dsn = QStringLiteral("host=127.0.0.1 port=%1 user=%2 dbname=%3")
                  .arg(proxy->port())
                  .arg(kv.value("user"), kv.value("dbname"));
        std::printf("through a relay adding %d µs per round trip\n", addedMicros);
    }
    ui::ScriptedDialogService dialogs;
    LIB_SetProgramFolder(db.programFolder());
    if (db.connectCommon() != 0) return 1;
    g_strDBName = dsn;
    g_strDBUser.clear();
    g_strDBPwd.clear();
    if (LIB_DB_Connect() != 0 || intInitBaseData() != 0) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(g_strErrText));
        return 1;
    }
    qputenv("CONSIGN_COMPUTER", "DESK01");

    QVector<Row> rows;
    // The start-up's reads, each run on a new connection (the connect itself
    // is in the time, its set-up counted as a round trip).
    rows << measure(QStringLiteral("start-up: connect, probes, messages, parameters, value lists"), runs / 4, [] {
        LIB_DB_ReadAhead ahead(strMarcSchemaProbeSQLs() + strBaseDataSQLs() + strItemListSQLs());
        if (LIB_DB_Connect() != 0 || intInitBaseData() != 0 || intLoadItemList() != 0) std::abort();
    });
    rows << measure(QStringLiteral("start-up, the same reads one at a time"), runs / 4, [] {
        if (LIB_DB_Connect() != 0 || intInitBaseData() != 0 || intLoadItemList() != 0) std::abort();
    });
    rows << measure(QStringLiteral("first log-in of worker 0001 at DESK01"), runs, [] {
        if (intLoginAction(QStringLiteral("0001"), QStringLiteral("ABC"), false) != LoginOutcome::Passed)
            std::abort();
    });
    rows << measure(QStringLiteral("first log-in, the same reads one at a time"), runs, [] {
        const QString no = QStringLiteral("'0001'");
        DBResultSet rs;
        for (const QString& sql :
             {QStringLiteral("SELECT password, wkr_flag, code2,wkr_email, wkr_tele FROM LIB_WORKER WHERE wkr_no=") + no,
              QStringLiteral(" SELECT loca_comp_lst.comp_name, loca_comp_lst.location FROM USER_COMP_LST,LOCA_COMP_LST "
                             " WHERE user_comp_lst.wkr_no=") + no +
                  QStringLiteral(" AND user_comp_lst.comp_name=loca_comp_lst.comp_name"),
              QStringLiteral("SELECT user_auth_lst.modu_code FROM user_auth_lst WHERE user_auth_lst.wkr_no = ") + no,
              QStringLiteral("SELECT location FROM user_location WHERE wkr_no = ") + no,
              QStringLiteral(" SELECT loca_comp_lst.comp_name FROM loca_comp_lst,location_sort "
                             "  WHERE loca_comp_lst.comp_name= 'DESK01'    AND location_sort.oper_type= '3'"
                             "    AND loca_comp_lst.location=location_sort.location ")})
            LIB_DB_Select(sql, rs);
        if (intLoadBaseCode() != 0 || intLoadDeskLocation(3) != 0 || intInitMarcIdx() != 0) std::abort();
    });

    // The fine window's opening for 20 fines.
    g_strLocation = QStringLiteral("D1");
    rows << measure(QStringLiteral("fine window opening, 24 fines with their titles"), runs, [&] {
        clsFineSettle settle;
        g_dblExceedFine = debt;
        if (settle.load(QStringLiteral("DZ0002")) == clsFineSettle::LoadResult::Failed) std::abort();
    });
    rows << measure(QStringLiteral("fine window opening, each title's record read alone"), runs, [&] {
        clsFineSettle settle;
        settle.fnTitle = [](const QString& no) {
            g_recMarc = strReadMarc(no);
            return strGetMarcTitle(g_recMarc, 0);
        };
        g_dblExceedFine = debt;
        if (settle.load(QStringLiteral("DZ0002")) == clsFineSettle::LoadResult::Failed) std::abort();
    });

    // The report's MARC column over 200 rows.
    report::ReportGrid marc;
    marc.setCols(2);
    marc.setRows(200 + 2);
    for (int r = 2; r < marc.rows(); ++r)
        marc.setRowData(r, records[(r - 2) % records.size()]);
    marc.setTextMatrix(1, 1, QStringLiteral("$200a;245a."));
    rows << measure(QStringLiteral("report MARC column fill, 200 rows"), runs / 4,
                    [&] { report::subShowMarc(marc, 1); });
    rows << measure(QStringLiteral("report MARC column fill, each row's record read alone"), runs / 4, [&] {
        report::subShowMarc(marc, 1, [](const QVariant& k, const report::MarcSubfields& s) {
            return report::marcFillFromDatabase(k, s);
        });
    });

    // A lend or return grid of ten rows, and the titles of a notice run of
    // twenty: the records of the list in one query against one per row.
    const QStringList ten = records.mid(0, 10), twenty = (records + records).mid(0, 20);
    rows << measure(QStringLiteral("desk lend/return grid, records of 10 rows (9 titles)"), runs,
                    [&] { mapReadMarcs(ten); });
    rows << measure(QStringLiteral("desk lend/return grid, each row's record read alone"), runs, [&] {
        for (const QString& no : ten)
            strReadMarc(no);
    });
    rows << measure(QStringLiteral("notice run, records of 20 titles"), runs, [&] { mapReadMarcs(twenty); });
    rows << measure(QStringLiteral("notice run, each title's record read alone"), runs, [&] {
        for (const QString& no : twenty)
            strReadMarc(no);
    });

    std::printf("\n| action | round trips | median ms | p95 ms |\n|---|---|---|---|\n");
    for (const Row& r : rows)
        std::printf("| %s | %s | %.2f | %.2f |\n", qPrintable(r.action),
                    qPrintable(benchstats::range(r.tripsMin, r.tripsMax)), benchstats::percentile(r.ms, 0.5),
                    benchstats::percentile(r.ms, 0.95));
    return 0;
}
