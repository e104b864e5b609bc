// The reader information window and its search dialog driven as a worker
// drives them: the query box, tabs, the history range and the archive, the
// column pop-up, the search dialog's choice and reuse, and what a second desk
// sees meanwhile.

#include "app/ReaderWindows.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Grid.h"
#include "platform/ui/NumberBox.h"
#include "platform/ui/Units.h"
#include "reader/ReaderContext.h"
#include "reader/basLTMore.h"
#include "reader/frmRedrDetail.h"
#include "reader/frmRedrInfo.h"
#include "reader/frmRedrSearch.h"
#include "tests/reader/RedrInfoFixture.h"
#include "tests/support/BadInput.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include "tests/support/Keyboard.h"

namespace {

class RedrInfoWindowTest : public RedrInfoTest {
protected:
    void SetUp() override {
        RedrInfoTest::SetUp();
        if (HasFatalFailure()) return;
        // A fresh program folder: the captions come from the shipped LT_reader.ini.
        const QString lt = varGetSysInfo(14).toString() + QStringLiteral("LT/");
        QDir().mkpath(lt);
        QFile::remove(lt + QStringLiteral("LT_reader.ini"));
        ASSERT_TRUE(
            QFile::copy(qEnvironmentVariable("CONSIGN_SOURCE_DIR") + "/resources/CFG/LT/LT_reader.ini",
                        lt + QStringLiteral("LT_reader.ini")));
        ASSERT_EQ(intLoadRedrIni(), 0);
        ASSERT_EQ(intLoadItemList(), 0);
        g_blnBarRuleByPos = false;
        g_intBarRuleUsed = 0;
        g_arrBarRule.clear();
        g_intRedrSearchOn = 0;
        g_intAutoQuery = 0;
    }

    void TearDown() override {
        frmRedrInfo::unload();
        frmRedrSearch::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        g_strRedrID.clear();
        RedrInfoTest::TearDown();
    }

    frmRedrInfo* open(const QString& id = {}, const QString& card = {}) {
        app::readerWindows().showRedrInfo(nullptr, id, card);
        EXPECT_TRUE(frmRedrInfo::loaded());
        return frmRedrInfo::form();
    }

    static void query(frmRedrInfo* w, int field, const QString& text) {
        w->cboQuery->setCurrentIndex(field);
        w->txtQuery->setText(text);
        QTest::keyClick(w->txtQuery, Qt::Key_Return);
    }

    static void selectTab(frmRedrInfo* w, const char* key) {
        for (int i = 0; i < w->tbsRedrInfo->count(); ++i)
            if (w->tbsRedrInfo->tabData(i).toString() == QLatin1String(key))
                w->tbsRedrInfo->setCurrentIndex(i);
    }

    // The grid's column of a property number on the loan and history pages.
    static int rowOfProp(ui::FlexGrid* g, const char* prop) {
        for (int r = 1; r < g->rows(); ++r)
            if (g->textMatrix(r, 2) == QLatin1String(prop)) return r;
        return -1;
    }

    // Clicks result row `row` (1-based) of the search dialog as the user does.
    static void clickResult(frmRedrSearch* d, int row) {
        ui::SpreadGrid* g = d->spdQueryResult;
        const QRect r = g->visualItemRect(g->item(row - 1, 2));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    }
};

} // namespace

TEST_F(RedrInfoWindowTest, QueryBoxLooksUpAndPagesFollowTheReader) {
    frmRedrInfo* w = open();
    w->resize(1000, 700);
    // No reader: headers only; the field list named by LT_reader.ini.
    EXPECT_EQ(w->currentKey(), "LendInfo");
    EXPECT_EQ(w->vsInfo->rows(), 1);
    EXPECT_EQ(w->vsInfo->cols(), 16);
    ASSERT_EQ(w->cboQuery->count(), 4);
    EXPECT_EQ(w->cboQuery->itemText(0), S("条码号"));
    EXPECT_EQ(w->cboQuery->itemText(3), S("姓名"));
    EXPECT_FALSE(w->tbStandard->isItemEnabled("General"));
    selectTab(w, "CertInfo");
    EXPECT_EQ(w->vsInfo->cols(), 10);
    EXPECT_EQ(w->vsInfo->rows(), 1);

    // A blank query does nothing.
    query(w, SeekByBarcode, "   ");
    EXPECT_EQ(w->txtQuery->text(), "");
    EXPECT_TRUE(g_strRedrID.isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // A card: the reader, its first card by state in the summary, the loans page.
    query(w, SeekByBarcode, " 88000020 ");
    EXPECT_EQ(g_strRedrID, "DZ0020");
    EXPECT_EQ(g_strRedrBarcode, "DZ0020");
    EXPECT_EQ(w->currentKey(), "LendInfo");
    EXPECT_EQ(w->vsRedrInfo->textMatrix(1, 1), "88000021");
    EXPECT_EQ(w->vsRedrInfo->textMatrix(1, 3), S("孙页面"));
    EXPECT_EQ(w->vsRedrInfo->textMatrix(1, 10), S("计算机学院"));
    EXPECT_TRUE(w->vsRedrInfo->colHidden(8));
    EXPECT_TRUE(w->vsRedrInfo->colHidden(11));
    EXPECT_EQ(w->vsRedr->textMatrix(1, 5), S("孙页面"));
    EXPECT_EQ(w->vsRedr->textMatrix(3, 2), "DZ0020");
    EXPECT_EQ(w->vsInfo->rows(), 7);
    const int overdue = rowOfProp(w->vsInfo, "P580001");
    EXPECT_EQ(ui::units::colorToNumber(w->vsInfo->cellForeColor(overdue, 3)), 255);
    EXPECT_EQ(w->vsInfo->textMatrix(overdue, 7), day(-10));

    // Lower case is looked up upper-cased; an unknown number says so.
    query(w, SeekByCertId, "dz0024");
    EXPECT_EQ(w->txtQuery->text(), "DZ0024");
    EXPECT_EQ(g_strRedrID, "DZ0024");
    query(w, SeekByCertId, "nobody");
    EXPECT_EQ(dialogs.lastText(), S("该读者证不存在！"));
    EXPECT_EQ(g_strRedrID, "DZ0024");

    // The card-reading rule applies while it is switched on.
    g_intBarRuleUsed = 1;
    g_blnBarRuleByPos = true;
    g_arrBarRule = {BarRuleSegment{"3", "8"}, BarRuleSegment{}};
    query(w, SeekByBarcode, "xx88000031yy");
    EXPECT_EQ(w->txtQuery->text(), "88000031");
    EXPECT_EQ(g_strRedrID, "DZ0021");
    // A scan the rule turns into nothing looks nothing up.
    g_blnBarRuleByPos = false;
    dialogs.clear();
    query(w, SeekByBarcode, "1234567025=");
    EXPECT_EQ(w->txtQuery->text(), "1234567025=");
    EXPECT_EQ(g_strRedrID, "DZ0021");
    EXPECT_TRUE(dialogs.shown.isEmpty());
    g_intBarRuleUsed = 0;

    // History: the range, refresh, Insert twice, a new visit of the tab.
    query(w, SeekByBarcode, "88000020");
    selectTab(w, "LendHistoryInfo");
    EXPECT_TRUE(w->fraDate->isVisibleTo(w));
    EXPECT_FALSE(w->tbsRedrInfo->toolTip().isEmpty());
    EXPECT_EQ(w->dtpTo->value(), day(0));
    EXPECT_EQ(w->dtpFrom->value(), day(-365));
    EXPECT_EQ(w->vsInfo->rows(), 5);
    QTest::keyClick(w->vsInfo, Qt::Key_Insert);
    EXPECT_EQ(w->vsInfo->rows(), 7);
    EXPECT_EQ(w->vsInfo->textMatrix(5, 0), "5");
    QTest::keyClick(w->vsInfo, Qt::Key_Insert);
    EXPECT_EQ(w->vsInfo->rows(), 7);
    w->dtpFrom->setValue(day(-345));
    w->cboLend->setCurrentIndex(1);
    w->cmdRefresh->click();
    // By return date: lent before the range but returned in it is listed.
    EXPECT_EQ(w->vsInfo->rows(), 5);
    EXPECT_EQ(rowOfProp(w->vsInfo, "P580009"), -1);
    EXPECT_GT(rowOfProp(w->vsInfo, "P580011"), 0);
    QTest::keyClick(w->vsInfo, Qt::Key_Insert);
    EXPECT_EQ(w->vsInfo->rows(), 5);
    selectTab(w, "VoltInfo");
    EXPECT_FALSE(w->fraDate->isVisibleTo(w));
    selectTab(w, "LendHistoryInfo");
    QTest::keyClick(w->tbsRedrInfo, Qt::Key_Insert);
    EXPECT_EQ(w->vsInfo->rows(), 7);

    // The column pop-up hides a column and shows it again; sorting by a header.
    w->subBuildColumnMenu(w->vsInfo);
    QAction* barcode = nullptr;
    for (QAction* a : w->mnuItem)
        if (a->text() == S("条码号")) barcode = a;
    ASSERT_NE(barcode, nullptr);
    EXPECT_FALSE(w->mnuItem[0]->isVisible());
    EXPECT_TRUE(barcode->isChecked());
    barcode->trigger();
    EXPECT_TRUE(w->vsInfo->colHidden(3));
    w->subClearColumnMenu();
    w->subBuildColumnMenu(w->vsInfo);
    EXPECT_EQ(w->mnuItem.size(), 22);
    w->mnuItem.last()->trigger(); // the last column can be hidden too
    EXPECT_TRUE(w->vsInfo->colHidden(21));
    w->subClearColumnMenu();
    w->subBuildColumnMenu(w->vsRedrInfo);
    EXPECT_EQ(w->mnuItem.size(), 11); // the unnamed type-code column is not listed
    w->subClearColumnMenu();
    w->subSortColumn(2);
    EXPECT_LT(w->vsInfo->textMatrix(1, 2), w->vsInfo->textMatrix(2, 2));

    // A second opening sets the window up afresh on the reader handed over.
    frmRedrInfo* again = open("DZ0022", "88000032");
    EXPECT_EQ(again, w);
    EXPECT_EQ(w->txtQuery->text(), "");
    EXPECT_EQ(w->currentKey(), "LendInfo");
    EXPECT_EQ(w->vsRedrInfo->textMatrix(1, 2), "DZ0022");
    EXPECT_EQ(g_strRedrBarcode, "88000032");
}

TEST_F(RedrInfoWindowTest, SearchDialogChoosesAndIsReusedForTheSameQuery) {
    frmRedrInfo* w = open("DZ0020", "88000020");
    QPointer<frmRedrSearch> first;
    int loads = 0;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* s = qobject_cast<frmRedrSearch*>(d);
        EXPECT_NE(s, nullptr);
        if (!s) return 0;
        ++loads;
        if (loads == 1) {
            first = s;
            // Preset and already searched: the four readers named 孙页….
            EXPECT_EQ(s->spdRedrQuery->getText(1, 3), S("孙页"));
            EXPECT_EQ(s->lblQueryResult->text(), "4");
            EXPECT_EQ(g_intAutoQuery, 0);
            EXPECT_EQ(g_intRedrSearchOn, 1);
            EXPECT_FALSE(s->cmdOK->isEnabled());
            EXPECT_EQ(s->spdQueryResult->getText(12, 4), S("停借"));
            // OK without a selected row chooses nothing.
            s->cmdOK_Click();
            EXPECT_FALSE(s->m_blnIfSelect);
            clickResult(s, 2);
            clickResult(s, 3);
            EXPECT_EQ(s->spdQueryResult->selectedRowCount(), 1);
            clickResult(s, 3);
            EXPECT_FALSE(s->cmdOK->isEnabled());
            clickResult(s, 3);
            EXPECT_TRUE(s->cmdOK->isEnabled());
            s->cmdOK->click();
            return s->result();
        }
        if (loads == 2) {
            // The same query: the dialog as it was left.
            EXPECT_EQ(s, first.data());
            EXPECT_EQ(s->lblQueryResult->text(), "4");
            EXPECT_TRUE(s->spdQueryResult->isRowSelected(3));
            s->cmdExit->click();
            return s->result();
        }
        // Another query: a fresh dialog with its own preset.
        EXPECT_EQ(s->spdRedrQuery->getText(1, 1), "DZ002");
        EXPECT_EQ(s->spdRedrQuery->getText(1, 3), "");
        EXPECT_EQ(s->lblQueryResult->text(), "5");
        // Ranges: an empty bound and an impossible date say so and search nothing.
        s->optSel[1]->click();
        s->txtFrom->setText("88000020");
        s->cmdQuery->click();
        EXPECT_EQ(dialogs.lastText(), S("条码号或者证件号空间不许为空!"));
        s->optSel[4]->click();
        s->txtFromDate->setText("2008-02-30");
        s->txtToDate->setText("2008-03-01");
        s->cmdQuery->click();
        EXPECT_EQ(dialogs.lastText(), S("时间输入错误!"));
        EXPECT_EQ(s->lblQueryResult->text(), "5");
        s->txtFromDate->setText(day(-400));
        s->txtToDate->setText(day(-400));
        s->cmdQuery->click();
        EXPECT_GE(s->lblQueryResult->text().toInt(), 5);
        // Combined again, nothing typed: Enter lists everyone.
        s->optSel[0]->click();
        s->spdRedrQuery->setText(1, 1, QString());
        QTest::keyClick(s->spdRedrQuery, Qt::Key_Return);
        EXPECT_GT(s->lblQueryResult->text().toInt(), 20);
        // Typed criteria are upper-cased when the grid loses the focus, the
        // occupation excepted; a search without a match empties the list.
        s->spdRedrQuery->setText(1, 3, "o'brien_");
        s->spdRedrQuery->setText(1, 8, "abc");
        s->spdRedrQuery_LostFocus();
        EXPECT_EQ(s->spdRedrQuery->getText(1, 3), "O'BRIEN_");
        EXPECT_EQ(s->spdRedrQuery->getText(1, 8), "abc");
        s->cmdQuery_Click();
        EXPECT_EQ(s->lblQueryResult->text(), "0");
        EXPECT_FALSE(s->spdQueryResult->isEnabled());
        EXPECT_FALSE(s->cmdSelectAll->isEnabled());
        EXPECT_FALSE(s->cmdOK->isEnabled());
        s->spdRedrQuery->setText(1, 8, QString());
        // Enter at the end of typing a criterion searches.
        s->spdRedrQuery->setText(1, 3, QString());
        s->spdRedrQuery->editItem(s->spdRedrQuery->item(2, 0));
        auto* editor = s->spdRedrQuery->viewport()->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
        EXPECT_NE(editor, nullptr);
        if (editor) {
            QTest::keyClicks(editor, "O'BRIEN");
            QTest::keyClick(editor, Qt::Key_Return);
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
        }
        EXPECT_EQ(s->lblQueryResult->text(), "1");
        s->cmdSelectAll->click();
        s->cmdOK->click();
        return s->result();
    };
    query(w, SeekByName, S("孙页"));
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(g_strRedrID, "DZ0022");
    EXPECT_EQ(g_strRedrBarcode, "88000032");
    EXPECT_EQ(w->vsRedrInfo->textMatrix(1, 2), "DZ0022");
    EXPECT_EQ(w->currentKey(), "LendInfo");

    query(w, SeekByName, S("孙页"));
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(g_strRedrID, "DZ0022");

    query(w, SeekByCertId, "DZ002");
    EXPECT_EQ(loads, 3);
    EXPECT_EQ(g_strRedrID, "DZ0024");
    EXPECT_EQ(g_strRedrBarcode, "88_00024");
    EXPECT_EQ(g_intRedrSearchOn, 1);

    // The toolbar's search with a blank query: a fresh dialog, nothing searched.
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* s = static_cast<frmRedrSearch*>(d);
        EXPECT_EQ(s->lblQueryResult->text(), "0");
        EXPECT_FALSE(s->cmdQuery->isEnabled());
        s->cmdExit->click();
        return 0;
    };
    w->txtQuery->clear();
    w->tbStandard->clickItem("Search");
    EXPECT_EQ(g_strRedrID, "DZ0024");

    // Closing the window closes the dialog.
    w->close();
    EXPECT_FALSE(frmRedrInfo::loaded());
    EXPECT_EQ(g_intRedrSearchOn, 0);
    EXPECT_FALSE(frmRedrSearch::exists());
}

TEST_F(RedrInfoWindowTest, ASecondDeskSettlesWhileThisDeskReads) {
    frmRedrInfo* w = open("DZ0020", "88000020");
    selectTab(w, "ExceedInfo");
    ASSERT_EQ(w->vsInfo->textMatrix(1, 19), S("未处理"));
    DBResultSet pid;
    ASSERT_EQ(LIB_DB_Select("select pg_backend_pid()", pid), 0);
    const QString desk1 = pid.text(0, 0);

    dialogs.dialogHandler = [&](QDialog* d) {
        // Desk 1 shows the pages and its search dialog; desk 2 settles at once.
        EXPECT_FALSE(LIB_DB_InTrans());
        testsupport::RawConnection desk2;
        EXPECT_EQ(desk2.scalar("select state from pg_stat_activity where pid = " + desk1), "idle");
        QString error;
        EXPECT_TRUE(desk2.exec("begin", &error));
        EXPECT_TRUE(
            desk2.exec("select * from exceed_fine_lst where cert_id = 'DZ0020' and debt_deal_flag = '0' "
                       "for update nowait",
                       &error))
            << error.toStdString();
        EXPECT_TRUE(desk2.exec("update exceed_fine_lst set debt_deal_flag = '1', real_fine_amt = fine_amt "
                               "where cert_id = 'DZ0020' and debt_deal_flag = '0'",
                               &error));
        EXPECT_TRUE(desk2.exec("update reader set debt_flag = 0 where cert_id = 'DZ0020'", &error));
        EXPECT_TRUE(desk2.exec("commit", &error)) << error.toStdString();
        static_cast<frmRedrSearch*>(d)->cmdExit->click();
        return 0;
    };
    query(w, SeekByName, S("孙页"));
    // Shown as read until the next tab selection.
    EXPECT_EQ(w->vsInfo->textMatrix(1, 19), S("未处理"));
    selectTab(w, "LendInfo");
    selectTab(w, "ExceedInfo");
    EXPECT_EQ(w->vsInfo->textMatrix(1, 19), S("处理完毕"));
    EXPECT_EQ(w->vsInfo->textMatrix(1, 12), "1.50");
    db().recreate();
}

// Bad input (tests/support/BadInput.h) typed into the query box of each field
// and into the search dialog's criteria, ranges and dates: the ordinary
// message or an empty list, no database error, nothing written, and both
// windows go on working.
TEST_F(RedrInfoWindowTest, BadInputInTheQueryBoxAndTheSearchDialog) {
    frmRedrInfo* w = open();
    int searches = 0;
    dialogs.dialogHandler = [&](QDialog*) {
        ++searches;
        return 0;
    };
    const QStringList notFound{S("没有找到该条码号的读者证！"), S("该读者证不存在！"),
                               S("没有找到符合条件的读者！")};
    for (int field : {SeekByBarcode, SeekByCertId, SeekByIdCard, SeekByName}) {
        testsupport::expectOrdinaryAnswers(
            db(), dialogs, "query box",
            [&](const QString& t) {
                searches = 0;
                query(w, field, t);
                g_intAutoQuery = 0;
                return g_strRedrID.isEmpty() && searches == 0 ? 1 : 0;
            },
            notFound, testsupport::onlyTheEmptyText);
    }
    query(w, SeekByBarcode, "88000020");
    EXPECT_EQ(g_strRedrID, "DZ0020");

    const auto blank = [](const QString& t) { return QString(t).remove(QChar(0)).trimmed().isEmpty(); };
    const QStringList refused{S("条码号或者证件号空间不许为空!"), S("时间输入错误!")};
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* s = static_cast<frmRedrSearch*>(d);
        auto run = [&] {
            s->cmdQuery->click();
            return !dialogs.shown.isEmpty() || s->lblQueryResult->text() == "0" ? 1 : 0;
        };
        s->optSel[0]->click();
        for (int row : {1, 2, 3, 4, 6, 7, 8}) {
            for (QRadioButton* mode : {s->optFrontMatch, s->optAllMatch}) {
                mode->click();
                testsupport::expectOrdinaryAnswers(
                    db(), dialogs, "criterion",
                    [&](const QString& t) {
                        s->spdRedrQuery->setText(1, row, t);
                        const int r = run();
                        s->spdRedrQuery->setText(1, row, QString());
                        return r;
                    },
                    {}, blank);
            }
        }
        for (int option : {1, 2}) {
            s->optSel[option]->click();
            testsupport::expectOrdinaryAnswers(
                db(), dialogs, "range",
                [&](const QString& t) {
                    s->txtFrom->setText(t);
                    s->txtTo->setText(t);
                    return run();
                },
                refused);
        }
        for (int option : {3, 4}) {
            s->optSel[option]->click();
            testsupport::expectOrdinaryAnswers(
                db(), dialogs, "dates",
                [&](const QString& t) {
                    s->txtFromDate->setText(t);
                    s->txtToDate->setText(day(0));
                    return run();
                },
                refused);
        }
        // Still searching.
        s->optSel[0]->click();
        s->optFrontMatch->click();
        s->spdRedrQuery->setText(1, 1, "DZ002");
        s->cmdQuery->click();
        EXPECT_EQ(s->lblQueryResult->text(), "5");
        s->cmdExit->click();
        ++searches;
        return 0;
    };
    searches = 0;
    w->cmdRedrQuery_Click();
    EXPECT_EQ(searches, 1);
}

TEST_F(RedrInfoWindowTest, OpensCentredAndTheReaderTypeListAlwaysOffersAny) {
    frmRedrInfo* w = open();
    // Centred on the screen, a little above the middle, as the other windows.
    const QRect screen = w->screen()->geometry();
    const QRect frame = w->frameGeometry();
    const int down = (screen.height() - frame.height()) / 2;
    EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 4);
    EXPECT_LE(std::abs(frame.top() - screen.top() - (down > 18 ? down - 18 : down)), 4);

    // Row 5 lists the reader types and "[不定]"; with no reader type at all,
    // "[不定]" alone. Row 9 gets "[不定]" only when there are departments.
    const DBResultSet types = g_varRedrType;
    const DBResultSet departments = g_varDepartment;
    QList<QPair<int, int>> counts;
    dialogs.dialogHandler = [&](QDialog* d) {
        auto* s = static_cast<frmRedrSearch*>(d);
        counts << qMakePair(s->spdRedrQuery->comboCount(1, 5), s->spdRedrQuery->comboCount(1, 9));
        s->cmdExit->click();
        return 0;
    };
    w->cmdRedrQuery_Click();
    g_varRedrType = DBResultSet();
    g_varDepartment = DBResultSet();
    frmRedrSearch::unload();
    w->cmdRedrQuery_Click();
    g_varRedrType = types;
    g_varDepartment = departments;
    ASSERT_GT(types.rowCount(), 0);
    ASSERT_GT(departments.rowCount(), 0);
    EXPECT_EQ(counts, (QList<QPair<int, int>>{{types.rowCount() + 1, departments.rowCount() + 1}, {1, 0}}));
}

// Activated again, as a window of its own or as the main window's child, the
// reader window has its focus in the query box, wherever the worker left it.
TEST_F(RedrInfoWindowTest, ActivationPutsTheFocusBackInTheQueryBox) {
    frmRedrInfo* w = open();
    ASSERT_TRUE(testsupport::activate(w));
    QWidget other;
    other.show();
    w->tbsRedrInfo->setFocus();
    ASSERT_TRUE(testsupport::activate(&other));
    ASSERT_TRUE(testsupport::activate(w));
    EXPECT_TRUE(w->txtQuery->hasFocus()) << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");

    QMainWindow main;
    auto* area = new QMdiArea(&main);
    main.setCentralWidget(area);
    area->addSubWindow(w)->show();
    auto* note = new QLineEdit;
    area->addSubWindow(note)->show();
    main.show();
    ASSERT_TRUE(testsupport::activate(&main));
    area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    w->tbsRedrInfo->setFocus();
    area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(note->parentWidget()));
    EXPECT_TRUE(note->hasFocus());
    area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    EXPECT_TRUE(w->txtQuery->hasFocus()) << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");
    area->removeSubWindow(w);
}
