// The slip window offscreen: loading a batch, one or two slips a row, batches
// that make no slips, printing to PDF through the report paginator, the
// set-up dialogs, label editing, scrolling and closing.
#include "platform/ui/DialogService.h"
#include "platform/ui/Fonts.h"
#include "report/PageSetupDialog.h"
#include "report/ReportArray.h"
#include "report/SlipText.h"
#include "report/frmPrtABF.h"
#include "tests/support/PdfText.h"
#include "tests/support/QtPrinters.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace report;
using testsupport::pdfPages;

namespace {

// n overdue-fine records as the fine window hands them over; `word` in row 1.
void fillFines(int n, const QString& word = QStringLiteral("ExceedFine")) {
    g_varPrtData.clear();
    g_varPrtData.resize(n, 16);
    for (int k = 1; k <= n; ++k) {
        g_varPrtData.setRow(k, {QString(), QStringLiteral("P%1").arg(k, 2, 10, QLatin1Char('0')), "B",
                                "书" + QString::number(k), "2024-01-01", "2024-03-01", "5天", "0.50", "总馆",
                                "2024-02-25", "明细", "0.50", "张三", "88000002", "BILL1",
                                QStringLiteral("WK%1").arg(k, 2, 10, QLatin1Char('0')),
                                k == 1 ? word : QStringLiteral("Lend")});
    }
}

class SlipWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ui::installFontSubstitutions();
        slipSources().library = [] { return QStringLiteral("测试图书馆"); };
        slipSources().serverDate = [] { return QStringLiteral("2024-05-06"); };
        slipSources().configFolder = [this] { return dir.path() + u'/'; };
    }
    void TearDown() override {
        if (frmPrtABF::exists()) frmPrtABF::form()->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        resetSlipSources();
    }
    frmPrtABF* open(int addOrder, int cols) {
        frmPrtABF* f = frmPrtABF::form();
        f->m_iAddOrder = qint16(addOrder);
        f->m_Cols = cols;
        f->m_strApp = QStringLiteral("超期罚款单");
        f->resize(1000, 700);
        f->Form_Load();
        f->show();
        return f;
    }
    ui::ScriptedDialogService dialogs;
    QTemporaryDir dir;
};

TEST_F(SlipWindow, LoadsOneOrTwoSlipsARowFromItsOwnRecords) {
    fillFines(5);
    frmPrtABF* f = open(1, 2);
    EXPECT_EQ(f->windowTitle(), "打印预览－超期罚款单");
    EXPECT_EQ(g_lngPrtRows, 3);
    EXPECT_EQ(g_lngPrtCols, 2);
    ReportGrid& g = f->grid();
    ASSERT_EQ(g.rows(), 5);
    ASSERT_EQ(g.cols(), 3);
    EXPECT_TRUE(g.textMatrix(2, 2).contains("书2"));
    EXPECT_TRUE(g.textMatrix(4, 1).contains("书5"));
    EXPECT_TRUE(g.textMatrix(4, 1).contains("超期罚款")); // row 1's word rules, not "Lend"
    EXPECT_TRUE(g.textMatrix(4, 2).isEmpty());
    // Numbered, but neither the numbers nor a title row show.
    EXPECT_EQ(g.textMatrix(2, 0), "1");
    EXPECT_EQ(g.textMatrix(4, 0), "3");
    EXPECT_TRUE(g.colHidden(0));
    EXPECT_TRUE(g.rowHidden(0));
    EXPECT_TRUE(g.rowHidden(1));
    EXPECT_TRUE(f->action("menuCol2")->isChecked());
    EXPECT_TRUE(f->action("menuPrint")->isEnabled());

    // The menus rebuild from the records the window opened with.
    f->action("menuCol1")->trigger();
    EXPECT_EQ(g_lngPrtRows, 5);
    EXPECT_EQ(g.rows(), 7);
    EXPECT_TRUE(g.textMatrix(6, 1).contains("书5"));
    EXPECT_TRUE(f->action("menuCol1")->isChecked());
    EXPECT_FALSE(f->action("menuCol2")->isChecked());
    f->action("menuCol2")->trigger();
    EXPECT_EQ(g_lngPrtRows, 3);
    EXPECT_EQ(f->records().cell(5, 3), "书5");

    // Sorting renumbers the slip rows in their new order; a press on the
    // number column selects, the right button changes nothing.
    f->grdOrder_AfterSort(1, 2);
    EXPECT_TRUE(g.textMatrix(2, 1).contains("书5"));
    EXPECT_EQ(g.textMatrix(2, 0), "1");
    EXPECT_EQ(g.textMatrix(4, 0), "3");
    EXPECT_TRUE(f->grdOrder_BeforeEdit(2, 1) == false && f->grdOrder_BeforeEdit(0, 1) == false);
    f->grdOrder_MouseDown(0, Qt::LeftButton);
    EXPECT_EQ(g.highLight, 1);
    f->grdOrder_MouseDown(1, Qt::RightButton);
    EXPECT_EQ(g.highLight, 1);
    f->grdOrder_MouseDown(1, Qt::LeftButton);
    EXPECT_EQ(g.highLight, 0);
    f->subSetTextRaised(); // no selection shown: every cell
    EXPECT_EQ(g.cellTextStyle(3, 2), 1);

    // Unnumbered: column 0 hidden with its mark.
    f->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    fillFines(2, QString());
    for (int k = 1; k <= 2; ++k) { // unknown kind: loss-compensation slips
        g_varPrtData.setCell(k, 18, "1");
        g_varPrtData.setCell(k, 20, "0");
    }
    f = open(0, 1);
    EXPECT_EQ(f->grid().colData(0), "Hide");
    EXPECT_TRUE(f->grid().textMatrix(2, 0).isEmpty());
    EXPECT_TRUE(f->grid().textMatrix(2, 1).contains("遗失赔偿单"));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(SlipWindow, ACountOtherThanOneLaysOutTwoSlipsARowAsTheMenuShows) {
    // 3 (or 0) from a caller: "每行两列" is checked, and two slips share a row
    // and the grid's width.
    for (int cols : {3, 0}) {
        fillFines(5);
        frmPrtABF* f = open(1, cols);
        EXPECT_TRUE(f->action("menuCol2")->isChecked());
        EXPECT_FALSE(f->action("menuCol1")->isChecked());
        EXPECT_EQ(f->m_Cols, 2);
        EXPECT_EQ(g_lngPrtRows, 3);
        EXPECT_EQ(g_lngPrtCols, 2);
        ReportGrid& g = f->grid();
        ASSERT_EQ(g.cols(), 3);
        EXPECT_TRUE(g.textMatrix(2, 2).contains("书2"));
        EXPECT_NEAR(g.colWidth(1), g.width / 2.0, 1.0);
        EXPECT_EQ(g.colWidth(2), g.colWidth(1));
        f->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(SlipWindow, BatchesWithoutSlipsPrintNothing) {
    // A short record: the message names it; nothing raw is left to print.
    fillFines(3);
    ReportArray shortened;
    for (int k = 1; k <= 3; ++k)
        for (int c = 0; c <= (k == 2 ? 9 : 16); ++c)
            shortened.setCell(k, c, g_varPrtData.cell(k, c));
    g_varPrtData = shortened;
    frmPrtABF* f = open(1, 1);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
    EXPECT_TRUE(dialogs.lastText().contains("第 2 条记录只有 9 列")) << dialogs.lastText();
    EXPECT_EQ(f->grid().rows(), 2);
    EXPECT_EQ(g_lngPrtRows, 0);
    EXPECT_FALSE(f->action("menuPrint")->isEnabled());
    EXPECT_FALSE(f->canPrint());
    f->menuPrint_Click(); // asks for no printer
    EXPECT_EQ(dialogs.shown.size(), 1);

    // A payment amount that is no number.
    f->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    g_varPrtData.clear();
    g_varPrtData.setRow(1, {"", "1", "n", "u", "cash", "五元", "0", "t", "b", "w", "fine", "money"});
    f = open(0, 1);
    EXPECT_TRUE(dialogs.lastText().contains("第 5 列“五元”不是数字")) << dialogs.lastText();
    EXPECT_FALSE(f->action("menuPrint")->isEnabled());

    // No records at all: an empty window, in silence.
    f->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    dialogs.clear();
    g_varPrtData.clear();
    g_varPrtData.setRow(0, {"", "题名"});
    f = open(1, 2);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(g_lngPrtRows, 0);
    EXPECT_EQ(f->grid().visibleDataRows().size(), 0);
    EXPECT_FALSE(f->action("menuPrint")->isEnabled());
}

TEST_F(SlipWindow, PrintsEverySlipWholeWithPageNumbers) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_FAIL() << "pdftotext is not installed";
    const int n = 12;
    fillFines(n);
    frmPrtABF* f = open(1, 1);
    const QString pdf = dir.filePath("slips.pdf");
    int asked = 0;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* p = qobject_cast<QPrintDialog*>(d);
        if (!p) return 0;
        ++asked;
        p->printer()->setOutputFormat(QPrinter::PdfFormat);
        p->printer()->setOutputFileName(pdf);
        return 1;
    };
    f->menuPrint_Click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(f->document().pageCount(), 0); // discarded after printing
    const QStringList pages = pdfPages(pdf);
    ASSERT_GE(pages.size(), 2);
    const qsizetype total = pages.size();
    for (int p = 0; p < total; ++p)
        EXPECT_TRUE(pages[p].contains(QStringLiteral("第 %1 页，共 %2 页").arg(p + 1).arg(total))) << p;
    const auto pageOf = [&](const QString& text) {
        for (int p = 0; p < total; ++p)
            if (pages[p].contains(text)) return p;
        return -1;
    };
    for (int k = 1; k <= n; ++k) {
        // The slip's first and last value lines stand on one page.
        const QString worker = QStringLiteral("WK%1").arg(k, 2, 10, QLatin1Char('0'));
        const int at = pageOf(worker);
        ASSERT_GE(at, 0) << k;
        EXPECT_EQ(pageOf(QStringLiteral("P%1").arg(k, 2, 10, QLatin1Char('0'))), at) << k;
        EXPECT_TRUE(pages[at].contains(QStringLiteral("书%1").arg(k))) << k;
        for (const char* line :
             {"超期罚款", "测试图书馆", "2024-05-06", "张三", "88000002", "BILL1", "0.50", "总馆"})
            EXPECT_TRUE(pages[at].contains(QString::fromUtf8(line))) << k << line;
    }
    // The slips print alone: no label, no title.
    EXPECT_FALSE(pages.join("").contains("label1"));
}

TEST_F(SlipWindow, AnUntaggedLabelIsWrittenAfterThePageNumbersInItsFontAndColour) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_FAIL() << "pdftotext is not installed";
    fillFines(12);
    frmPrtABF* f = open(1, 1);
    QFont big = f->font();
    big.setPointSize(16);
    const ReportLabel red{QStringLiteral("标签甲"), big, QColor(255, 0, 0), {}, {}};
    const ReportLabel hidden{QStringLiteral("标签乙"), big, Qt::black, {}, QStringLiteral("Hide")};
    const ReportLabel tagged{QStringLiteral("标签丙"), big, Qt::black, {}, QStringLiteral("x")};
    const ReportLabel blue{QStringLiteral("标签丁"), f->font(), QColor(0, 0, 255), {}, {}};
    EXPECT_FALSE(f->subPrintSlipLabel(red)); // no document yet
    f->page().bottomMargin = 1440;           // the number line on the sheet, with room below
    f->subBuildSlipDoc();
    const int n = f->document().pageCount();
    ASSERT_GE(n, 2);
    EXPECT_TRUE(f->subPrintSlipLabel(red));
    EXPECT_FALSE(f->subPrintSlipLabel(hidden));
    EXPECT_FALSE(f->subPrintSlipLabel(tagged));
    EXPECT_TRUE(f->subPrintSlipLabel(blue));

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir.filePath("labels.pdf");
    printer.setOutputFileName(pdf);
    ASSERT_EQ(printReport(f->document(), printer), n);
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), n);
    // On the last page's number line, after the number, in the order written.
    const QString number = QStringLiteral("第 %1 页，共 %1 页").arg(n);
    QString line;
    for (const QString& l : pages.last().split(u'\n'))
        if (l.contains(number)) line = l;
    const qsizetype at = line.indexOf(number), first = line.indexOf(QStringLiteral("标签甲")),
                    second = line.indexOf(QStringLiteral("标签丁"));
    EXPECT_TRUE(at >= 0 && first > at && second > first) << line.toStdString();
    const QString all = pages.join(u'\f');
    EXPECT_EQ(all.count(QStringLiteral("标签甲")), 1);
    EXPECT_FALSE(all.contains(QStringLiteral("标签乙")) || all.contains(QStringLiteral("标签丙")));

    // In their colours, and the big font stands taller than the number.
    QImage image(f->document().page().pageWidth() / 10, f->document().page().pageHeight() / 10,
                 QImage::Format_RGB32);
    const auto rows = [&](int page, QRgb colour) {
        image.fill(Qt::white);
        QPainter p(&image);
        p.scale(0.1, 0.1);
        f->document().paintPage(p, page);
        p.end();
        QList<int> found;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == colour) {
                    found << y;
                    break;
                }
        return found;
    };
    EXPECT_TRUE(rows(0, qRgb(255, 0, 0)).isEmpty());
    const QList<int> redRows = rows(n - 1, qRgb(255, 0, 0)), blueRows = rows(n - 1, qRgb(0, 0, 255));
    ASSERT_FALSE(redRows.isEmpty());
    ASSERT_FALSE(blueRows.isEmpty());
    EXPECT_GT(redRows.size(), blueRows.size());

    // A new document starts without them.
    f->subBuildSlipDoc();
    EXPECT_TRUE(rows(f->document().pageCount() - 1, qRgb(255, 0, 0)).isEmpty());
}

TEST_F(SlipWindow, SetUpDialogsAndPreviewRebuildTheDocument) {
    fillFines(4);
    frmPrtABF* f = open(1, 2);
    const int before = f->gridRect().width();
    dialogs.dialogHandler = [](QDialog*) { return 0; };
    f->menuPage_Click(); // cancelled: nothing built
    EXPECT_EQ(f->document().pageCount(), 0);
    dialogs.dialogHandler = [](QDialog* d) {
        auto* s = qobject_cast<PageSetupDialog*>(d);
        if (!s) return 0;
        PageSettings p = s->settings();
        p.leftMargin = p.rightMargin = 120;
        p.topMargin = p.bottomMargin = 300;
        s->setSettings(p);
        return 1;
    };
    f->menuPage_Click();
    EXPECT_EQ(f->page().leftMargin, 120);
    EXPECT_GE(f->document().pageCount(), 1);
    EXPECT_EQ(f->gridRect().left(), 120);
    EXPECT_EQ(f->gridRect().width(), before - 140);
    EXPECT_EQ(f->redLineX(), f->page().pageWidth() - 120);
    EXPECT_EQ(f->grid().colWidth(1), f->gridRect().width() / 2);

    dialogs.dialogHandler = [](QDialog* d) { return qobject_cast<QPrintDialog*>(d) ? 1 : 0; };
    f->menuSetup_Click();
    EXPECT_EQ(f->page().leftMargin, 120); // the printer brings paper, not margins

    f->menuPreview_Click();
    EXPECT_FALSE(f->m_blnLayoutView);
    EXPECT_TRUE(f->vpOrder->isVisible());
    EXPECT_FALSE(f->frame1->isVisible());
    EXPECT_FALSE(f->hsb->isVisible());
    const int pages = f->document().pageCount();
    EXPECT_GE(pages, 1);
    f->action("menuCol1")->trigger(); // rebuilds the grid, not the document
    EXPECT_EQ(f->document().pageCount(), pages);
    f->menuPreview_Click();
    EXPECT_TRUE(f->m_blnLayoutView);
    EXPECT_TRUE(f->frame1->isVisible());
}

TEST_F(SlipWindow, LabelsScrollingAndClosing) {
    fillFines(1);
    frmPrtABF* f = open(1, 1);
    EXPECT_EQ(f->m_intEditLabel(), -1);
    // Labels 1..5 only become current; an open box then edits that label.
    f->frame1_MouseDown(QPoint(900, 3000));
    f->frame1_DblClick();
    EXPECT_TRUE(f->txtAdd->isVisibleTo(f));
    EXPECT_EQ(f->txtAdd->text(), "在这里插入文本");
    f->lblInfo_MouseDown(3, Qt::LeftButton);
    EXPECT_EQ(f->m_intEditLabel(), 3);
    f->txtAdd->setText("第三行");
    int key = Qt::Key_Return;
    f->txtAdd_KeyPress(key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(f->lblInfo(3)->text(), "第三行");
    EXPECT_EQ(f->m_intLastLabel(), 6);
    EXPECT_FALSE(f->txtAdd->isVisibleTo(f));

    // Blanks add nothing; the first label added is 7, the next 8.
    f->frame1_DblClick();
    f->txtAdd->setText("   ");
    key = Qt::Key_Enter;
    f->txtAdd_KeyPress(key);
    EXPECT_EQ(f->m_intLastLabel(), 6);
    EXPECT_EQ(f->lblInfoCount(), 7);
    for (const char* text : {"经手人：0001", "备注"}) {
        f->frame1_DblClick();
        f->txtAdd->setText(QString::fromUtf8(text));
        key = Qt::Key_Return;
        f->txtAdd_KeyPress(key);
    }
    EXPECT_EQ(f->m_intLastLabel(), 8);
    EXPECT_EQ(f->lblInfo(7)->text(), "经手人：0001");
    EXPECT_EQ(f->labels().at(7).rect.topLeft(), QPoint(900, 3000));
    f->lblInfo_MouseDown(7, Qt::RightButton);
    EXPECT_EQ(f->m_intEditLabel(), -1);
    key = Qt::Key_A; // other keys pass
    f->txtAdd_KeyPress(key);
    EXPECT_EQ(key, int(Qt::Key_A));

    f->vsb_Change(600);
    EXPECT_EQ(f->frameRect().top(), -600);
    f->hsb_Change(300);
    EXPECT_EQ(f->frameRect().left(), -300);

    // Closing after a preview discards the document and the instance.
    f->menuPreview_Click();
    EXPECT_GE(f->document().pageCount(), 1);
    f->reject();
    EXPECT_EQ(f->document().pageCount(), 0);
    EXPECT_TRUE(f->m_strApp.isEmpty());
    EXPECT_FALSE(frmPrtABF::exists());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
