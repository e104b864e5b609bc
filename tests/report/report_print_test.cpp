// The print document: pages laid out from the grid, the labels and the page
// settings, printed to a PDF and read back as text.
#include "platform/ui/Fonts.h"
#include "report/ReportDocument.h"
#include "tests/report/ReportShapes.h"
#include "tests/support/PdfText.h"
#include "tests/support/QtPrinters.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace report;
using testsupport::pdfPages;

namespace {

struct Report {
    ReportGrid grid;
    LabelSet labels;
    PageSettings page;
    ReportDocument doc;

    Report(const reportshapes::Shape& shape, int records, int addOrder = 0) {
        reportshapes::fill(shape, records);
        initRawGrid(grid, g_varPrtData, g_lngPrtRows, g_lngPrtCols, addOrder);
        labels.setCaption(0, shape.title);
        const QStringList captions = {"起止日期：2024-01-01至2024-01-31",
                                      "馆藏地点：总馆",
                                      "",
                                      "",
                                      "总计：" + QString::number(records) + "册",
                                      "制表日期：2024-02-01  经手人：0001"};
        for (int i = 1; i <= 6; ++i)
            labels.setCaption(i, captions[i - 1]);
    }
    QStringList print(const QString& pdf) {
        doc.build(grid, labels, page, ui::makeFont("宋体", 9));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QString error;
        EXPECT_EQ(printReport(doc, printer, &error), doc.pageCount()) << error;
        return pdfPages(pdf);
    }
    int addUserLabel(const QString& text, int top, const QFont& font = QFont()) {
        labels.beginAdd(QPoint(700, top), font);
        labels.box.text = text;
        return labels.commit();
    }
};

const reportshapes::Shape& shape(int i) {
    return reportshapes::shapes().at(i);
}

// Position of a text in the whole document ("" pages joined), -1 when absent.
qsizetype at(const QStringList& pages, const QString& text) {
    return pages.join(u'\f').indexOf(text);
}

class ReportPrint : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            FAIL() << "pdftotext is not installed (package poppler-utils)";
        ui::installFontSubstitutions();
    }
    QString pdf(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ReportPrint, EmptyReportPrintsItsFixedRowsAndLabels) {
    for (int i = 0; i < reportshapes::shapes().size(); ++i) {
        Report r(shape(i), 0);
        const QStringList pages = r.print(pdf("empty.pdf"));
        SCOPED_TRACE(shape(i).title.toStdString());
        ASSERT_EQ(pages.size(), 1);
        EXPECT_TRUE(pages[0].contains(shape(i).title));
        EXPECT_TRUE(pages[0].contains("第 1 页，共 1 页"));
        EXPECT_TRUE(pages[0].contains(shape(i).columns.first()));
        EXPECT_TRUE(pages[0].contains(shape(i).columns.last()));
        EXPECT_TRUE(pages[0].contains("总计：0册"));
    }
}

TEST_F(ReportPrint, LongReportNumbersEveryPageAndRepeatsTitles) {
    // The record count that fills exactly twelve pages.
    Report probe(shape(0), 100);
    int lo = 1, hi = 2000;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        Report r(shape(0), mid);
        r.doc.build(r.grid, r.labels, r.page, ui::makeFont("宋体", 9));
        if (r.doc.pageCount() < 12)
            lo = mid + 1;
        else
            hi = mid;
    }
    Report r(shape(0), lo);
    const QStringList pages = r.print(pdf("long.pdf"));
    ASSERT_EQ(pages.size(), 12);
    for (int n = 1; n <= 12; ++n) {
        EXPECT_TRUE(pages[n - 1].contains(QStringLiteral("第 %1 页，共 12 页").arg(n))) << n;
        EXPECT_TRUE(pages[n - 1].contains("委托申请清单")) << n;
        // The title row on every page that holds records.
        if (pages[n - 1].contains(QRegularExpression("索书号\\d"))) {
            EXPECT_TRUE(pages[n - 1].contains("委托馆藏地")) << n;
        }
    }
    // Every record once, in order.
    const QRegularExpression re("索书号(\\d+)");
    int seen = 0;
    for (auto it = re.globalMatch(pages.join(u'\n')); it.hasNext();) {
        const int n = it.next().captured(1).toInt();
        EXPECT_EQ(n, seen + 1);
        seen = n;
    }
    EXPECT_EQ(seen, lo);
    EXPECT_LT(at(pages, "起止日期"), at(pages, "索书号1"));
    EXPECT_GT(at(pages, "制表日期"), at(pages, QStringLiteral("索书号%1").arg(lo)));
}

TEST_F(ReportPrint, LabelsInOrderAroundTheGrid) {
    Report r(shape(2), 3);
    r.labels.setCaption(3, "第三行");
    r.labels.setCaption(4, "第四行");
    r.labels.at(3).tag = "Hide";
    r.labels.at(5).tag = "Hide";
    const int l1Bottom = r.labels.at(1).rect.top() + r.labels.at(1).rect.height();
    EXPECT_EQ(r.addUserLabel("上方二", l1Bottom - 10), 7);
    EXPECT_EQ(r.addUserLabel("上方一", 100), 8);
    EXPECT_EQ(r.addUserLabel("表格旁", l1Bottom + 500), 9); // beside the grid
    EXPECT_EQ(r.addUserLabel("页底", 20000), 10);
    EXPECT_EQ(r.addUserLabel("   ", 20000), -1); // blanks add nothing
    r.addUserLabel("藏起", 20000);
    r.labels.pressRight(11);
    r.labels.toggleHide();
    r.labels.popupClosed();

    const QStringList pages = r.print(pdf("labels.pdf"));
    ASSERT_EQ(pages.size(), 1);
    const QString p = pages[0];
    const QStringList order = {"起止日期", "馆藏地点", "第四行",   "上方二", "上方一",
                               "索书号1",  "索书号3",  "制表日期", "表格旁", "页底"};
    for (int i = 1; i < order.size(); ++i)
        EXPECT_LT(p.indexOf(order[i - 1]), p.indexOf(order[i])) << order[i - 1] << " / " << order[i];
    EXPECT_FALSE(p.contains("第三行"));
    EXPECT_FALSE(p.contains("总计"));
    EXPECT_FALSE(p.contains("藏起"));
    EXPECT_EQ(r.doc.labelsAbove(), (QList<int>{1, 2, 4, 7, 8}));
    EXPECT_EQ(r.doc.labelsBelow(), (QList<int>{6, 9, 10}));
}

TEST_F(ReportPrint, HiddenColumnsAndRowNumbers) {
    Report plain(shape(4), 3);
    const QString p0 = plain.print(pdf("plain.pdf")).join(u'\n');
    EXPECT_FALSE(p0.contains(QRegularExpression("(^|\\n)\\s*1\\s+索书号1")));

    Report r(shape(4), 3, 1);
    cmd::deleteColumn(r.grid, 3); // 题名
    r.grid.setColHidden(5, true); // 馆藏地 hidden by hand
    const QString p = r.print(pdf("cols.pdf")).join(u'\n');
    EXPECT_TRUE(p.contains(QRegularExpression("(^|\\n)\\s*1\\s+索书号1"))) << p;
    EXPECT_TRUE(p.contains(QRegularExpression("\\n\\s*3\\s+索书号3")));
    EXPECT_FALSE(p.contains("题名"));
    EXPECT_FALSE(p.contains(QRegularExpression("馆藏地(?!点)")));
    EXPECT_TRUE(p.contains("出版社2"));
}

TEST_F(ReportPrint, TextsPrintAsTypedInEveryFont) {
    Report r(shape(6), 2);
    const QStringList fonts = {"宋体", "黑体", "Tahoma", "楷体_GB2312"};
    for (int i = 0; i < fonts.size(); ++i) {
        r.labels.at(i + 1).font = ui::makeFont(fonts[i], 10);
        r.labels.setCaption(i + 1, QStringLiteral("字体%1：借阅委托").arg(i));
    }
    r.labels.at(0).font = ui::makeFont("黑体", 14.25, true);
    r.grid.setTextMatrix(2, 3, "C++ <入门> & \"引号\" 'a|b'");
    r.grid.setTextMatrix(3, 3, "Dvořák Ærø");
    r.grid.setTextMatrix(2, 1, "第一行\r\n第二行");
    ProperSize(r.grid);
    const QString p = r.print(pdf("fonts.pdf")).join(u'\n');
    for (int i = 0; i < fonts.size(); ++i)
        EXPECT_TRUE(p.contains(QStringLiteral("字体%1：借阅委托").arg(i))) << fonts[i];
    EXPECT_TRUE(p.contains("委托验收清单(未验收)"));
    EXPECT_TRUE(p.contains("C++ <入门> & \"引号\" 'a|b'")) << p;
    EXPECT_TRUE(p.contains("Dvořák Ærø"));
    EXPECT_TRUE(p.contains("第一行"));
    EXPECT_TRUE(p.contains("第二行"));
}

TEST_F(ReportPrint, TallCellIsWrappedWholeOntoThePages) {
    Report r(shape(6), 3);
    QStringList lines;
    for (int i = 1; i <= 40; ++i)
        lines << QStringLiteral("附注%1").arg(i, 2, 10, QChar(u'0'));
    r.grid.setTextMatrix(3, 3, lines.join(u'\n'));
    r.grid.setTextMatrix(4, 3, QString(60, QChar(u'长')) + "尾");
    ProperSize(r.grid);
    const QStringList pages = r.print(pdf("tall.pdf"));
    const QString p = pages.join(u'\n');
    for (const QString& l : lines)
        EXPECT_TRUE(p.contains(l)) << l;
    EXPECT_TRUE(p.contains("尾")); // the long cell wraps, its end still prints
    EXPECT_GT(at(pages, "尾"), at(pages, "附注40"));

    // A row taller than a page goes on over the next page.
    lines.clear();
    for (int i = 1; i <= 120; ++i)
        lines << QStringLiteral("续行%1").arg(i, 3, 10, QChar(u'0'));
    r.grid.setTextMatrix(3, 3, lines.join(u'\n'));
    ProperSize(r.grid);
    const QStringList pages2 = r.print(pdf("taller.pdf"));
    ASSERT_GE(pages2.size(), 2);
    const QString p2 = pages2.join(u'\n');
    for (const QString& l : lines)
        EXPECT_TRUE(p2.contains(l)) << l;
}

TEST_F(ReportPrint, PageNumbersAtTheFootAndTitleHeader) {
    Report r(shape(2), 2);
    r.doc.build(r.grid, r.labels, r.page, ui::makeFont("宋体", 9));
    EXPECT_EQ(r.doc.pageNumberAt(), QPoint(680, r.page.pageHeight() - 1440 + 300));
    EXPECT_EQ(r.doc.bodyBottom(), r.page.pageHeight() - 1440);
    EXPECT_EQ(r.doc.headerText(), "|委托到书清单(全部)");
    EXPECT_EQ(ReportDocument::pageNumberText(2, 5), "第 2 页，共 5 页");

    // A bottom margin too narrow for the numbers: they stay on the sheet and
    // the body ends above them.
    r.page.bottomMargin = 100;
    const QStringList pages = r.print(pdf("narrow.pdf"));
    EXPECT_LT(r.doc.pageNumberAt().y(), r.page.pageHeight() - 100);
    EXPECT_LT(r.doc.bodyBottom(), r.doc.pageNumberAt().y());
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("第 1 页，共 1 页"));

    r.labels.setCaption(0, "");
    r.doc.build(r.grid, r.labels, r.page, ui::makeFont("宋体", 9));
    EXPECT_EQ(r.doc.headerText(), "|");
}

TEST_F(ReportPrint, WideGridIsScaledToThePrintableWidth) {
    reportshapes::Shape wide{"宽表", {}};
    for (int c = 1; c <= 20; ++c)
        wide.columns << QStringLiteral("很长的列标题%1").arg(c);
    Report r(wide, 2);
    const QString p = r.print(pdf("wide.pdf")).join(u'\n');
    EXPECT_LT(r.doc.gridScale(), 1.0);
    EXPECT_TRUE(p.contains("很长的列标题1"));
    EXPECT_TRUE(p.contains("很长的列标题20"));

    // Landscape paper gives the same grid more room.
    const double portrait = r.doc.gridScale();
    r.page.orientation = QPageLayout::Landscape;
    r.doc.build(r.grid, r.labels, r.page, ui::makeFont("宋体", 9));
    EXPECT_GT(r.doc.gridScale(), portrait);
}

TEST_F(ReportPrint, FailingPrinterGivesItsReason) {
    Report r(shape(2), 2);
    r.doc.build(r.grid, r.labels, r.page, ui::makeFont("宋体", 9));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("no/such/folder/x.pdf"));
    QString error;
    EXPECT_EQ(printReport(r.doc, printer, &error), -1);
    EXPECT_FALSE(error.isEmpty());
}
