// The report window's two heavy steps on a report of 5,000 records and 10
// columns: loading the grid (initRawGrid, which fits the columns with
// ProperSize) and laying out the print document with its page count. Each is
// run 20 times; the median and the extremes are printed.
//
//   cmake --build <build dir> --target report_print && <build dir>/bench/report_print

#include "platform/ui/Fonts.h"
#include "report/ReportArray.h"
#include "report/ReportDocument.h"
#include "report/ReportGrid.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRecords = 5000;
constexpr int kColumns = 10;
constexpr int kRuns = 20;

void fillReport() {
    const char16_t* titles[kColumns] = {u"索书号", u"题名", u"责任者", u"出版社",   u"委托馆藏地",
                                        u"证件号", u"姓名", u"馆藏地", u"可借数量", u"在馆数量"};
    g_varPrtData.resize(kRecords, kColumns);
    for (int c = 0; c < kColumns; ++c)
        g_varPrtData.setCell(0, c + 1, QString::fromUtf16(titles[c]));
    for (int r = 1; r <= kRecords; ++r) {
        g_varPrtData.setCell(r, 0, QString::number(100000 + r));
        g_varPrtData.setCell(r, 1, QStringLiteral("TP%1.%2/W%3").arg(r % 400).arg(r % 17).arg(r % 90));
        g_varPrtData.setCell(r, 2, QStringLiteral("计算机网络与数据库系统原理第%1版").arg(r % 9 + 1));
        g_varPrtData.setCell(r, 3, QStringLiteral("作者%1").arg(r % 300));
        g_varPrtData.setCell(r, 4, QStringLiteral("高等教育出版社"));
        g_varPrtData.setCell(r, 5, QStringLiteral("总馆流通部"));
        g_varPrtData.setCell(r, 6, QStringLiteral("88%1").arg(r, 6, 10, QChar(u'0')));
        g_varPrtData.setCell(r, 7, QStringLiteral("读者%1").arg(r));
        g_varPrtData.setCell(r, 8, QStringLiteral("分馆二楼"));
        g_varPrtData.setCell(r, 9, QString::number(r % 5));
        g_varPrtData.setCell(r, 10, QString::number(r % 3));
    }
    g_lngPrtRows = kRecords;
    g_lngPrtCols = kColumns;
}

void printMedian(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const double median = (ms[kRuns / 2 - 1] + ms[kRuns / 2]) / 2;
    std::printf("%-44s median %8.1f ms   min %8.1f   max %8.1f\n", what, median, ms.front(), ms.back());
}

std::vector<double> timeRuns(const std::function<void()>& run) {
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::installFontSubstitutions();
    fillReport();

    report::ReportGrid grid;
    printMedian("initRawGrid with ProperSize (5000 x 10)",
                timeRuns([&] { report::initRawGrid(grid, g_varPrtData, g_lngPrtRows, g_lngPrtCols, 1); }));

    report::LabelSet labels;
    labels.setCaption(0, QStringLiteral("委托申请清单"));
    const report::PageSettings page;
    report::ReportDocument doc;
    printMedian("print document with its page count",
                timeRuns([&] { doc.build(grid, labels, page, ui::makeFont(QStringLiteral("宋体"), 9)); }));
    std::printf("pages: %d\n", doc.pageCount());
    return 0;
}
