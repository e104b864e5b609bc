// The report window as its callers use it: handed a report, shown through the
// dialog service, driven by its menus and mouse actions, printed and closed.
#include "platform/ui/DialogService.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Units.h"
#include "report/GridStyle.h"
#include "report/PageSetupDialog.h"
#include "report/ReportGridView.h"
#include "report/frmFlexPrint.h"
#include "report/frmFlexPrtCustom.h"
#include "report/frmFlexPrtStyle.h"
#include "tests/report/ReportShapes.h"
#include "tests/support/PdfText.h"
#include "tests/support/QtPrinters.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QDateTime>
#include <QFontDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace report;
using testsupport::pdfPages;

namespace {

// Opens the window the way the list windows do, without showing it.
frmFlexPrint* open(int shape, int records, const QString& app, int addOrder = 0, int simple = 0) {
    reportshapes::fill(reportshapes::shapes().at(shape), records);
    frmFlexPrint* f = frmFlexPrint::form();
    f->m_iSimplePrint = qint16(simple);
    f->m_strApp = app;
    f->m_iAddOrder = qint16(addOrder);
    f->lblInfo(0)->setText(app);
    f->lblInfo(1)->setText("起止日期：2024-01-01至2024-01-31");
    f->lblInfo(2)->setText("馆藏地点：总馆");
    f->lblInfo(3)->setText("");
    f->lblInfo(4)->setText("");
    f->lblInfo(5)->setText(QStringLiteral("总计：%1册").arg(records));
    f->lblInfo(6)->setText("制表日期：2024-02-01  经手人：0001");
    f->resize(1000, 700);
    return f;
}

void closeWindow(frmFlexPrint* f) {
    f->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class ReportWindow : public ::testing::Test {
protected:
    void SetUp() override { ui::installFontSubstitutions(); }
    void TearDown() override {
        if (frmFlexPrint::exists()) closeWindow(frmFlexPrint::form());
    }
    QTemporaryDir dir;
    ui::ScriptedDialogService dialogs;
};

} // namespace

TEST_F(ReportWindow, CallerShowsItModallyPrintsAndCloses) {
    for (int shape = 0; shape < reportshapes::shapes().size(); ++shape) {
        for (int records : {0, 1, 97, 98, 300}) {
            frmFlexPrint* f = open(shape, records, reportshapes::shapes().at(shape).title);
            const QString title = reportshapes::shapes().at(shape).title;
            const QString pdf = dir.filePath(QStringLiteral("w%1_%2.pdf").arg(shape).arg(records));
            int pages = 0;
            dialogs.dialogHandler = [&](QDialog* d) {
                auto* w = qobject_cast<frmFlexPrint*>(d);
                EXPECT_NE(w, nullptr);
                EXPECT_EQ(w->windowTitle(), "打印预览－" + title);
                EXPECT_EQ(w->grid().rows(), records + 2);
                EXPECT_EQ(w->grid().colWidth(0), records >= 98 ? 400 : 315);
                pages = w->printToPdf(pdf);
                w->reject();
                return 0;
            };
            ui::DialogService::current().execDialog(f);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            SCOPED_TRACE(title.toStdString() + " " + std::to_string(records));
            const QStringList text = pdfPages(pdf);
            ASSERT_EQ(text.size(), pages);
            ASSERT_GE(pages, 1);
            EXPECT_EQ(pages > 1, records >= 97);
            EXPECT_TRUE(text[0].contains(title));
            EXPECT_TRUE(text.last().contains(QStringLiteral("第 %1 页，共 %1 页").arg(pages)));
            EXPECT_TRUE(text[0].contains("馆藏地点：总馆"));
            EXPECT_FALSE(frmFlexPrint::exists());
        }
    }
    // The next opening starts afresh.
    frmFlexPrint* again = frmFlexPrint::form();
    EXPECT_EQ(again->m_strApp, "");
    EXPECT_EQ(again->m_iAddOrder, 0);
    again->lblInfo(0);
    EXPECT_EQ(again->page().leftMargin, 680);
    EXPECT_EQ(again->page().rightMargin, 680);
}

TEST_F(ReportWindow, LoadFollowsThePublicVariables) {
    frmFlexPrint* f = open(2, 3, "");
    EXPECT_EQ(f->windowTitle(), "打印预览");
    EXPECT_FALSE(f->action("menuCustom")->isVisible());
    EXPECT_TRUE(f->grid().colHidden(0));
    EXPECT_EQ(f->menuBar->actions().size(), 7);
    EXPECT_TRUE(f->action("menuExp01")->isEnabled());
    closeWindow(f);

    f = open(2, 3, "委托到书清单(全部)", 1, 1);
    EXPECT_TRUE(f->action("menuCustom")->isVisible());
    EXPECT_FALSE(f->grid().colHidden(0));
    EXPECT_EQ(f->grid().textMatrix(4, 0), "3");
    QList<QMenu*> popups;
    f->execPopup = [&](QMenu* m) {
        popups << m;
        return nullptr;
    };
    f->grdOrder_MouseDown(0, 2, Qt::RightButton);
    ASSERT_EQ(popups.size(), 1);
    EXPECT_EQ(popups[0], f->menuGrid);
    EXPECT_FALSE(f->menuInsert->actions().at(0)->isVisible()); // 新增Marc子字段 hidden
    EXPECT_TRUE(f->menuInsert->actions().at(1)->isVisible());
    f->grdOrder_MouseDown(0, 0, Qt::RightButton);
    f->grdOrder_MouseDown(3, 2, Qt::RightButton);
    EXPECT_EQ(popups[1], f->menuDisplay);
    EXPECT_EQ(popups[2], f->menuDisplay);
    EXPECT_EQ(f->iMouseCol, 2);
    EXPECT_EQ(f->varMouseRow, 3);

    f->grdOrder_MouseDown(3, 0, Qt::LeftButton);
    EXPECT_EQ(f->grid().highLight, 1);
    f->grdOrder_MouseDown(3, 2, Qt::LeftButton);
    EXPECT_EQ(f->grid().highLight, 0);
}

TEST_F(ReportWindow, ColumnMenusSortDeleteRestoreAndRename) {
    frmFlexPrint* f = open(2, 4, "委托到书清单(全部)", 1);
    f->show();
    QCoreApplication::processEvents();
    f->iMouseCol = 1;
    f->menuDesc_Click();
    EXPECT_EQ(f->grid().textMatrix(2, 1), "索书号4");
    EXPECT_EQ(f->grid().rowData(2).toString(), "M4");
    EXPECT_EQ(f->grid().textMatrix(2, 0), "1");
    EXPECT_EQ(f->grdOrder->model()->index(0, 1).data().toString(), "索书号4");

    f->iMouseCol = 2;
    f->menuCut_Click();
    f->iMouseCol = 2;
    f->menuCut_Click();
    EXPECT_EQ(f->deletedColumns(), (QStringList{"馆藏地", "财产号"}));
    QStringList entries;
    for (QAction* a : f->menuInsert->actions())
        entries << a->text();
    EXPECT_EQ(entries, (QStringList{"新增Marc子字段", "自定义列", "馆藏地", "财产号"}));
    EXPECT_TRUE(f->grdOrder->isColumnHidden(f->grid().cols() - 1));

    f->iMouseCol = 1;
    f->menuNewCol_Click(2);
    EXPECT_EQ(f->grid().textMatrix(0, 1), "馆藏地");
    EXPECT_FALSE(f->grdOrder->isColumnHidden(1));
    EXPECT_EQ(f->deletedColumns(), (QStringList{"财产号"}));

    // Rename through the title editor: row 0 only.
    f->iMouseCol = 3;
    f->menuRename_Click();
    ASSERT_TRUE(f->grdOrder->titleEditor()->isVisible());
    f->grdOrder->titleEditor()->setText("书名");
    QTest::keyClick(f->grdOrder->titleEditor(), Qt::Key_Return);
    EXPECT_EQ(f->grid().textMatrix(0, 3), "书名");
    EXPECT_EQ(f->grid().textMatrix(1, 3), "题名");
    EXPECT_EQ(f->grdOrder->model()->headerData(3, Qt::Horizontal).toString(), "书名");
    // Data cells of array columns refuse edits.
    EXPECT_FALSE(f->grdOrder->model()->flags(f->grdOrder->model()->index(0, 3)) & Qt::ItemIsEditable);

    f->iMouseCol = 3;
    f->menuSelect_Click();
    f->menuCenterAlign_Click();
    EXPECT_EQ(f->grid().cellAlignment(3, 3), 4);
    EXPECT_EQ(f->grid().cellAlignment(3, 4), 1);
    f->iMouseCol = 1;
    f->menuUnion_Click();
    EXPECT_TRUE(f->grid().mergeCol(1));
    f->menuDisUnion_Click();
    EXPECT_FALSE(f->grid().mergeCol(1));
}

TEST_F(ReportWindow, FontDialogsCancelOrApply) {
    frmFlexPrint* f = open(4, 3, "书刊验收清单(已验收)");
    const QFont before = f->grid().font();
    dialogs.dialogHandler = [](QDialog*) { return 0; };
    f->menuDataFont_Click();
    EXPECT_EQ(f->grid().font(), before);

    dialogs.dialogHandler = [](QDialog* d) {
        auto* fd = qobject_cast<QFontDialog*>(d);
        EXPECT_NE(fd, nullptr);
        QFont big("DejaVu Sans", 20, QFont::Bold);
        big.setUnderline(true);
        fd->setCurrentFont(big);
        return 1;
    };
    const int height = f->grid().rowHeight(2);
    f->menuDataFont_Click();
    EXPECT_TRUE(f->grid().font().bold());
    EXPECT_FALSE(f->grid().font().underline());
    EXPECT_GT(f->grid().rowHeight(2), height);
    EXPECT_TRUE(f->grid().rowHidden(1));
}

TEST_F(ReportWindow, LabelsAreEditedAddedStyledAndDeleted) {
    frmFlexPrint* f = open(2, 2, "委托到书清单(全部)");
    f->show();
    QCoreApplication::processEvents();
    QList<QMenu*> popups;
    QString pick;
    f->execPopup = [&](QMenu* m) -> QAction* {
        popups << m;
        return pick.isEmpty() ? nullptr : f->action(pick);
    };

    // Left press on label 3: no box; on the title: the box over it.
    f->lblInfo_MouseDown(3, Qt::LeftButton);
    EXPECT_FALSE(f->txtAdd->isVisible());
    f->lblInfo_MouseDown(0, Qt::LeftButton);
    EXPECT_TRUE(f->txtAdd->isVisible());
    f->txtAdd->setText("新标题 <&>");
    QTest::keyClick(f->txtAdd, Qt::Key_Return);
    EXPECT_FALSE(f->txtAdd->isVisible());
    EXPECT_EQ(f->lblInfo(0)->text(), "新标题 <&>");
    EXPECT_EQ(f->lblInfo(0)->textFormat(), Qt::PlainText); // shown as typed

    // Double-click on the page: a new label where the mouse was.
    f->frame1_MouseDown(QPoint(1500, 9000));
    f->frame1_DblClick();
    EXPECT_EQ(f->txtAdd->text(), "在这里插入文本");
    f->txtAdd->setText("   ");
    f->txtAdd_Enter();
    EXPECT_EQ(f->lblInfoCount(), 7);
    f->frame1_DblClick();
    f->txtAdd->setText("备注：加急");
    f->txtAdd_Enter();
    ASSERT_EQ(f->lblInfoCount(), 8);
    EXPECT_EQ(f->lblInfo(7)->text(), "备注：加急");
    EXPECT_EQ(f->labels().at(7).rect.topLeft(), QPoint(1500, 9000));

    // Pop-up on the title: 隐藏 and 删除 disabled.
    f->lblInfo_MouseDown(0, Qt::RightButton);
    EXPECT_EQ(popups.last(), f->menuLabel);
    EXPECT_FALSE(f->action("menuHide")->isEnabled());
    EXPECT_FALSE(f->action("menuDel")->isEnabled());
    EXPECT_EQ(f->labels().current(), -1);

    // Colour: cancel keeps, confirm sets.
    dialogs.dialogHandler = [](QDialog*) { return 0; };
    pick = "menuColor";
    f->lblInfo_MouseDown(2, Qt::RightButton);
    EXPECT_EQ(f->labels().at(2).color, QColor(Qt::black));
    dialogs.dialogHandler = [](QDialog* d) {
        qobject_cast<QColorDialog*>(d)->setCurrentColor(QColor(0, 0, 255));
        return 1;
    };
    f->lblInfo_MouseDown(2, Qt::RightButton);
    EXPECT_EQ(f->labels().at(2).color, QColor(0, 0, 255));

    // Hide label 2: it stays on the page, the print leaves it out.
    pick = "menuHide";
    f->lblInfo_MouseDown(2, Qt::RightButton);
    EXPECT_TRUE(f->labels().at(2).hidden());
    EXPECT_TRUE(f->lblInfo(2)->isVisible());
    pick.clear();
    f->lblInfo_MouseDown(2, Qt::RightButton);
    EXPECT_TRUE(f->action("menuHide")->isChecked());

    ASSERT_EQ(f->printToPdf(dir.filePath("l.pdf")), 1);
    const QString page = pdfPages(dir.filePath("l.pdf")).join(u'\n');
    EXPECT_FALSE(page.contains("馆藏地点"));
    EXPECT_TRUE(page.contains("新标题 <&>"));
    EXPECT_TRUE(page.contains("备注：加急"));

    // Delete the user label.
    pick = "menuDel";
    f->lblInfo_MouseDown(7, Qt::RightButton);
    EXPECT_EQ(f->lblInfoCount(), 7);
    EXPECT_EQ(f->labels().lastIndex(), 6);
}

TEST_F(ReportWindow, PageSetupMovesTheRedLineOrIsRefused) {
    frmFlexPrint* f = open(2, 2, "委托到书清单(全部)");
    f->show();
    QCoreApplication::processEvents();
    const int line = f->redLineX();
    const int pageW = f->page().pageWidth();
    EXPECT_EQ(line, pageW - 680);

    const auto margins = [&](int l, int r) {
        dialogs.dialogHandler = [=](QDialog* d) {
            auto* dlg = qobject_cast<PageSetupDialog*>(d);
            EXPECT_NE(dlg, nullptr);
            PageSettings s = dlg->settings();
            s.leftMargin = l;
            s.rightMargin = r;
            dlg->setSettings(s);
            dlg->cmdOK_Click();
            return dlg->result();
        };
    };
    margins(680, 1180);
    f->menuPage_Click();
    EXPECT_EQ(f->page().rightMargin, 1180);
    EXPECT_EQ(f->redLineX(), line - 500);
    margins(1180, 1180);
    f->menuPage_Click();
    EXPECT_EQ(f->redLineX(), line - 500);
    EXPECT_EQ(f->gridRect().left(), 1180);

    // Margins the paper cannot hold: refused with a message, nothing changes.
    margins(6000, 6000);
    f->menuPage_Click();
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(f->page().leftMargin, 1180);

    // Cancel changes nothing.
    dialogs.dialogHandler = [](QDialog*) { return 0; };
    f->menuPage_Click();
    EXPECT_EQ(f->page().leftMargin, 1180);

    // Landscape widens the page frame, the grid and the red line.
    dialogs.dialogHandler = [](QDialog* d) {
        auto* dlg = qobject_cast<PageSetupDialog*>(d);
        dlg->optLandscape->setChecked(true);
        dlg->cmdOK_Click();
        return dlg->result();
    };
    f->menuPage_Click();
    EXPECT_EQ(f->page().orientation, QPageLayout::Landscape);
    EXPECT_EQ(f->frameRect().width(), f->page().pageWidth());
    EXPECT_GT(f->page().pageWidth(), pageW);
    EXPECT_EQ(f->redLineX(), f->page().pageWidth() - 1180);

    // The printer dialog brings paper and orientation; the margins stay.
    dialogs.dialogHandler = [](QDialog* d) {
        auto* dlg = qobject_cast<QPrintDialog*>(d);
        EXPECT_NE(dlg, nullptr);
        dlg->printer()->setPageSize(QPageSize(QPageSize::A3));
        dlg->printer()->setPageOrientation(QPageLayout::Portrait);
        dlg->printer()->setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Millimeter);
        return 1;
    };
    f->menuSetup_Click();
    EXPECT_EQ(f->page().paper, QPageSize::A3);
    EXPECT_EQ(f->page().orientation, QPageLayout::Portrait);
    EXPECT_EQ(f->page().leftMargin, 1180);
    EXPECT_EQ(f->page().rightMargin, 1180);
    EXPECT_EQ(f->frameRect().width(), f->page().pageWidth());
}

TEST_F(ReportWindow, PrintPreviewAndFailingPrinter) {
    frmFlexPrint* f = open(0, 3, "委托申请清单");
    f->show();
    QCoreApplication::processEvents();

    const QString pdf = dir.filePath("print.pdf");
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* dlg = qobject_cast<QPrintDialog*>(d);
        EXPECT_NE(dlg, nullptr);
        dlg->printer()->setOutputFormat(QPrinter::PdfFormat);
        dlg->printer()->setOutputFileName(pdf);
        return 1;
    };
    f->menuPrint_Click();
    EXPECT_EQ(f->document().pageCount(), 0); // discarded after printing
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("委托申请清单"));

    dialogs.dialogHandler = [&](QDialog* d) {
        auto* dlg = qobject_cast<QPrintDialog*>(d);
        dlg->printer()->setOutputFormat(QPrinter::PdfFormat);
        dlg->printer()->setOutputFileName(dir.filePath("missing/folder/x.pdf"));
        return 1;
    };
    f->menuPrint_Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Error);
    EXPECT_TRUE(dialogs.shown[0].text.contains("x.pdf")) << dialogs.shown[0].text;
    EXPECT_TRUE(f->blnDesignView);

    // Preview and back; the preview is rebuilt with labels edited in between.
    f->menuPreview_Click();
    EXPECT_FALSE(f->blnDesignView);
    EXPECT_TRUE(f->vpOrder->isVisible());
    EXPECT_FALSE(f->frame1->isVisible());
    EXPECT_FALSE(f->hsb->isVisible());
    EXPECT_EQ(f->document().pageCount(), 1);
    f->menuPreview_Click();
    EXPECT_TRUE(f->frame1->isVisible());
    f->lblInfo(5)->setText("总计：3册（已核对）");
    f->menuPreview_Click();
    EXPECT_EQ(f->labels().at(5).caption, "总计：3册（已核对）");
}

TEST_F(ReportWindow, StyleDialogInBothModes) {
    frmFlexPrint* f = open(2, 3, "委托到书清单(全部)");
    int shownMode = -1;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* s = qobject_cast<frmFlexPrtStyle*>(d);
        EXPECT_NE(s, nullptr);
        s->Form_Activate();
        shownMode = s->iMode;
        EXPECT_EQ(s->grdColor->isRowHidden(0), s->iMode != 0);
        EXPECT_EQ(s->cboLineStyle->currentText(), lineStyleText(f->grid().gridLines));
        if (s->iMode == 1) {
            s->cboLineStyle->setCurrentText("只显示水平线");
            s->txtLineWidth->setText("x"); // not a digit: the width stays
        } else {
            dialogs.dialogHandler = [](QDialog* c) {
                qobject_cast<QColorDialog*>(c)->setCurrentColor(QColor(255, 255, 0));
                return 1;
            };
            s->chooseColor(0);
        }
        s->cmdOK_Click();
        return 1;
    };
    f->menuGridLine_Click();
    EXPECT_EQ(shownMode, 1);
    EXPECT_EQ(f->grid().gridLines, 4);
    EXPECT_EQ(f->grid().gridLinesFixed, 4);
    EXPECT_EQ(f->grid().gridLineWidth, 1);
    EXPECT_EQ(f->grid().backColor, QColor(Qt::white)); // colours written back unchanged

    // Colour mode with a column selected: only its cells change.
    f->iMouseCol = 2;
    f->menuSelect_Click();
    f->menuGridColor_Click();
    EXPECT_EQ(shownMode, 0);
    EXPECT_EQ(f->grid().cellBackColor(3, 2), QColor(255, 255, 0));
    EXPECT_EQ(f->grid().cellBackColor(3, 1), QColor(Qt::white));
    EXPECT_EQ(f->grid().backColor, QColor(Qt::white));
    EXPECT_EQ(f->grid().gridLines, 4);

    // Closing unloads the dialog with the window.
    QPointer<frmFlexPrtStyle> style = f->styleDialog();
    ASSERT_FALSE(style.isNull());
    closeWindow(f);
    EXPECT_TRUE(style.isNull());
}

TEST_F(ReportWindow, GridViewShowsTheModelAsTheGridShowsIt) {
    frmFlexPrint* f = open(2, 4, "委托到书清单(全部)");
    f->show();
    QCoreApplication::processEvents();
    ReportGridView* v = f->grdOrder;
    // Row 1 never shows: view rows are the records; the header holds the titles.
    EXPECT_EQ(v->model()->rowCount(), 4);
    EXPECT_EQ(v->model()->headerData(1, Qt::Horizontal).toString(), "索书号");
    EXPECT_EQ(v->model()->index(0, 1).data().toString(), "索书号1");
    EXPECT_TRUE(v->isColumnHidden(0));

    // Equal neighbours of a merged column show as one cell.
    for (int r = 2; r <= 4; ++r)
        f->grid().setTextMatrix(r, 2, "总馆");
    f->iMouseCol = 2;
    f->menuUnion_Click();
    EXPECT_EQ(v->rowSpan(0, 2), 3);
    EXPECT_EQ(v->rowSpan(3, 2), 1);
    f->menuDisUnion_Click();
    EXPECT_EQ(v->rowSpan(0, 2), 1);

    // A selection dragged over cells puts the grid in range mode; a plain
    // click afterwards in free mode.
    v->selectionModel()->select(QItemSelection(v->model()->index(1, 3), v->model()->index(2, 4)),
                                QItemSelectionModel::ClearAndSelect);
    v->selectionModel()->setCurrentIndex(v->model()->index(1, 3), QItemSelectionModel::NoUpdate);
    v->selectionModel()->select(v->model()->index(2, 4), QItemSelectionModel::Select);
    EXPECT_EQ(f->grid().highLight, 1);
    EXPECT_EQ(f->grid().row, 3);
    EXPECT_EQ(f->grid().col, 3);
    EXPECT_EQ(f->grid().rowSel, 4);
    EXPECT_EQ(f->grid().colSel, 4);
    f->menuRightAlign_Click();
    EXPECT_EQ(f->grid().cellAlignment(4, 4), 7);
    EXPECT_EQ(f->grid().cellAlignment(2, 4), 1);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(0, 5)).center());
    EXPECT_EQ(f->grid().highLight, 0);

    // A column or row resized by the worker: the grid re-fits; row 1 and the
    // deleted columns stay hidden.
    f->grid().setColHidden(1, false);
    f->grid().setColData(1, "Hide");
    v->horizontalHeader()->resizeSection(3, 200);
    EXPECT_EQ(f->grid().colWidth(3), ui::units::pixelsToTwips(200)); // fitting rows keeps widths
    EXPECT_TRUE(f->grid().colHidden(1));
    EXPECT_TRUE(v->isColumnHidden(1));
    v->verticalHeader()->resizeSection(0, 90);
    EXPECT_LT(f->grid().rowHeight(2), ui::units::pixelsToTwips(90)); // heights fitted again
    EXPECT_TRUE(f->grid().rowHidden(1));

    // A narrow window scrolls the page; the preview hides the bar.
    f->resize(400, 700);
    QCoreApplication::processEvents();
    EXPECT_TRUE(f->hsb->isVisible());
    EXPECT_EQ(f->frameRect().left(), 0);
    f->hsb->setValue(f->hsb->maximum());
    EXPECT_EQ(f->frame1->x(), -ui::units::twipsToPixels(f->hsb->maximum()));
    f->menuPreview_Click();
    EXPECT_FALSE(f->hsb->isVisible());
}

TEST_F(ReportWindow, RealMousePressesReachTheHandlers) {
    frmFlexPrint* f = open(2, 3, "委托到书清单(全部)", 1);
    f->show();
    QCoreApplication::processEvents();
    QList<QMenu*> popups;
    QString pick;
    f->execPopup = [&](QMenu* m) -> QAction* {
        popups << m;
        return pick.isEmpty() ? nullptr : f->action(pick);
    };
    // Right press on the title of column 2: 表格操作, and 删除列 runs.
    QHeaderView* h = f->grdOrder->horizontalHeader();
    const QPoint title(h->sectionViewportPosition(2) + 5, h->height() / 2);
    pick = "menuCut";
    QTest::mousePress(h->viewport(), Qt::RightButton, {}, title);
    ASSERT_EQ(popups.size(), 1);
    EXPECT_EQ(popups[0], f->menuGrid);
    EXPECT_EQ(f->deletedColumns(), QStringList{"馆藏地"});
    // Right press on a data cell: 展现样式.
    pick.clear();
    QTest::mousePress(f->grdOrder->viewport(), Qt::RightButton, {},
                      f->grdOrder->visualRect(f->grdOrder->model()->index(1, 1)).center());
    ASSERT_EQ(popups.size(), 2);
    EXPECT_EQ(popups[1], f->menuDisplay);
    EXPECT_EQ(f->varMouseRow, 3);

    // A label added by double-click and Enter, then deleted through its pop-up.
    QTest::mouseDClick(f->frame1, Qt::LeftButton, {}, QPoint(60, 600));
    ASSERT_TRUE(f->txtAdd->isVisible());
    f->txtAdd->setText("临时");
    QTest::keyClick(f->txtAdd, Qt::Key_Return);
    ASSERT_EQ(f->lblInfoCount(), 8);
    pick = "menuDel";
    QTest::mousePress(f->lblInfo(7), Qt::RightButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(f->lblInfoCount(), 7);
    EXPECT_EQ(f->labels().lastIndex(), 6);
}

// 输出项设置 accepted while the preview shows: the preview's pages follow the
// renamed and hidden columns at once, without leaving the preview.
TEST_F(ReportWindow, PreviewFollowsTheOutputColumnsAtOnce) {
    frmFlexPrint* f = open(6, 3, "清单");
    f->show();
    QCoreApplication::processEvents();
    f->menuPreview_Click();
    ASSERT_FALSE(f->blnDesignView);
    const auto previewText = [&] {
        const QString pdf = dir.filePath(QStringLiteral("preview%1.pdf").arg(QDateTime::currentMSecsSinceEpoch()));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        EXPECT_GE(printReport(f->document(), printer), 1);
        return pdfPages(pdf).join('\n');
    };
    const QString before = previewText();
    EXPECT_TRUE(before.contains("财产号")) << before.toStdString();
    EXPECT_EQ(before.count("索书号"), 4) << before.toStdString(); // the title and three cells

    dialogs.dialogHandler = [](QDialog* d) {
        auto* c = qobject_cast<frmFlexPrtCustom*>(d);
        c->grdSetup->item(1, 2)->setCheckState(Qt::Unchecked);
        c->grdSetup->item(0, 1)->setText("书号");
        return 1;
    };
    f->menuChan_Click();
    EXPECT_FALSE(f->blnDesignView);
    EXPECT_TRUE(f->vpOrder->isVisible());
    const QString after = previewText();
    EXPECT_TRUE(after.contains("书号")) << after.toStdString();
    EXPECT_FALSE(after.contains("财产号")) << after.toStdString();
    EXPECT_EQ(after.count("索书号"), 3) << after.toStdString(); // the cells only
}
