// The report window's data-heavy steps: a MARC column filled over 1,000 rows
// (the records of all rows in one query, and for comparison one record read
// per row, against a clone of the test database holding 1,000 generated
// records), and the SQLite and workbook exports of a report
// of 10,000 rows and 10 columns. Each step runs five times; the median and
// the extremes are printed, with the round trips the fill sent.
//
//   cmake --build <build dir> --target report_export
//   scripts/testdb setup /tmp/benchdb
//   TESTDB_ENV=/tmp/benchdb/testdb.env <build dir>/bench/report_export
//   scripts/testdb stop /tmp/benchdb

#include "bench/MarcDemoGen.h"
#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "platform/text/CodePage.h"
#include "report/ColumnSetup.h"
#include "report/ReportExport.h"
#include "tests/support/TestDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kMarcRows = 1000;
constexpr int kExportRows = 10000;
constexpr int kColumns = 10;

void printMedian(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    std::printf("%-48s median %8.1f ms   min %8.1f   max %8.1f\n", what, median, ms.front(), ms.back());
}

std::vector<double> timeRuns(int runs, const std::function<void()>& run) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return ms;
}

void storeRecords(testsupport::TestDatabase& db) {
    std::mt19937 rng(20261210);
    QStringList sql;
    for (int i = 1; i <= kMarcRows; ++i) {
        const QString no = QStringLiteral("B%1").arg(i, 9, 10, QChar(u'0'));
        const QString text = text::fromGbk(marcdemo::randomRecord(rng));
        sql << QStringLiteral(
                   "insert into marc (marc_rec_no, marc_type, doc_type_code, lang_code, country_code, "
                   "marc_use_flag, cata_oper, cata_date, m_title) values ('%1', '%2', '01', 'CHI', 'CN', "
                   "'1', '0001', '2024-02-01', 'T')")
                   .arg(no, i % 4 == 0 ? QStringLiteral("U") : QStringLiteral("C"));
        sql << QStringLiteral(
                   "insert into marc_data (marc_rec_no, data_serial, marc01, marc02, marc03) values "
                   "('%1', 1, %2, %3, %4)")
                   .arg(no, strSQLQuote(text.left(1500)), strSQLQuote(text.mid(1500, 1500)),
                        strSQLQuote(text.mid(3000, 1500)));
    }
    db.exec(sql.join(QStringLiteral(";\n")));
}

report::ReportGrid exportGrid() {
    report::ReportGrid g;
    g.setCols(kColumns + 1);
    g.setRows(kExportRows + 2);
    for (int c = 1; c <= kColumns; ++c)
        g.setTextMatrix(0, c, QStringLiteral("列%1").arg(c));
    for (int r = 2; r < g.rows(); ++r)
        for (int c = 1; c <= kColumns; ++c)
            g.setTextMatrix(r, c,
                            c % 2 ? QStringLiteral("计算机网络与数据库系统原理%1").arg(r)
                                  : QStringLiteral("TP%1.%2/W%3").arg(r % 400).arg(c).arg(r % 90));
    return g;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    auto& db = testsupport::TestDatabase::instance();
    storeRecords(db);
    if (db.connectCommon() != 0) {
        std::fprintf(stderr, "cannot connect to the test database\n");
        return 1;
    }
    report::ReportGrid marc;
    marc.setCols(2);
    marc.setRows(kMarcRows + 2);
    for (int r = 2; r < marc.rows(); ++r)
        marc.setRowData(r, QStringLiteral("B%1").arg(r - 1, 9, 10, QChar(u'0')));
    marc.setTextMatrix(1, 1, QStringLiteral("$200a;245a."));
    // The column reads the records of all its rows in one query; wrapped in a
    // function of its own, the fill reads each row's record alone (two
    // statements: the header and the text), as it did before.
    const report::MarcFill alone = [](const QVariant& key, const report::MarcSubfields& s) {
        return report::marcFillFromDatabase(key, s);
    };
    LIB_DB_ResetTraffic();
    report::subShowMarc(marc, 1);
    std::printf("MARC column over %d rows: %ld round trips\n", kMarcRows, LIB_DB_RoundTrips());
    LIB_DB_ResetTraffic();
    report::subShowMarc(marc, 1, alone);
    std::printf("the same, each row's record read alone: %ld round trips\n", LIB_DB_RoundTrips());
    printMedian("MARC column fill (1000 rows)", timeRuns(5, [&] { report::subShowMarc(marc, 1); }));
    printMedian("MARC column fill, each row alone", timeRuns(5, [&] { report::subShowMarc(marc, 1, alone); }));

    const report::ReportGrid grid = exportGrid();
    QList<report::ExportColumn> cols;
    report::gatherExportColumns(grid, &cols);
    QTemporaryDir dir;
    int n = 0;
    printMedian("SQLite export, new table (10000 x 10)", timeRuns(5, [&] {
                    report::SqliteFile f;
                    QString error;
                    const QString path = dir.filePath(QStringLiteral("e%1.sqlite").arg(++n));
                    if (!f.open(path, &error) ||
                        !f.insertRows(QStringLiteral("T"), cols, grid, 2, true, {}, &error))
                        std::fprintf(stderr, "%s\n", qPrintable(error));
                }));
    report::ReportTexts texts{QStringLiteral("委托申请清单"), {QStringLiteral("起止日期")}};
    printMedian("Excel workbook (10000 x 10)", timeRuns(5, [&] {
                    QString error;
                    if (!report::writeXlsx(dir.filePath(QStringLiteral("e.xlsx")), grid, texts, &error))
                        std::fprintf(stderr, "%s\n", qPrintable(error));
                }));
    return 0;
}
