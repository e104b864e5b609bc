// The look-up window and the combined search dialog driven offscreen as a
// worker drives them, opened through the main window's service.

#include "biblio/BookInfoService.h"
#include "biblio/frmBookInfo.h"
#include "biblio/frmMarcNoSeek.h"
#include "platform/text/IniFile.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Grid.h"
#include "platform/ui/NumberBox.h"
#include "reader/ReaderContext.h"
#include "shell/ShellServices.h"
#include "shell/basShellIni.h"
#include "tests/biblio/BiblioFixture.h"
#include "tests/support/BadInput.h"
#include "tests/support/RoundTrips.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

class BookInfoWindow : public BiblioTest {
protected:
    void SetUp() override
    {
        // The program's own font, whose line is higher than the card's margin rows.
        QFont font = appFont;
        font.setFamily(ui::cjkFamily());
        QApplication::setFont(font);
        qputenv("CONSIGN_SETTINGS_DIR", settings.path().toUtf8());
        BiblioTest::SetUp();
        if (HasFatalFailure())
            return;
        g_intAutoQuery = 0;
        db().pinClock(demoToday() + " 12:00:00"); // the day the demo's relative rows were made
        dialogs.dialogHandler = [this](QDialog* d) {
            auto* seek = qobject_cast<frmMarcNoSeek*>(d);
            ++opened;
            return onSeek && seek ? onSeek(seek) : 0;
        };
        shell::Services::install(&biblio::bookInfoService());
    }
    void TearDown() override
    {
        frmBookInfo::unload();
        shell::Services::reset();
        BiblioTest::TearDown();
        QApplication::setFont(appFont);
    }

    frmBookInfo* open()
    {
        shell::Services::bookInfo().showBookInfo(nullptr);
        frmBookInfo* f = frmBookInfo::instance();
        EXPECT_NE(f, nullptr);
        return f;
    }
    void search(frmBookInfo* f, const QString& code, const QString& text)
    {
        f->cboQuickSearch->setCurrentIndex(groupIndex(code));
        f->cboQuickSearch_Click();
        f->txtQuickSearch->setFocus();
        f->txtQuickSearch->setText(text);
        QTest::keyClick(f->txtQuickSearch, Qt::Key_Return);
    }
    static QStringList listColumn(ui::FlexGrid* g, int col)
    {
        QStringList out;
        for (int r = 1; r < g->rows(); ++r)
            out << g->textMatrix(r, col);
        return out;
    }
    // The whole card shows: every label on one line, every value column wider
    // than its label, the last row inside the card.
    static void expectWholeCard(frmBookInfo* f)
    {
        const QRect card = f->vsBook->viewport()->rect();
        for (int r : {1, 3, 5}) {
            for (int c : {1, 4, 7}) {
                const QRect label = f->vsBook->visualRect(f->vsBook->model()->index(r, c));
                EXPECT_TRUE(card.contains(label)) << r << "," << c;
                EXPECT_GE(label.width(), f->vsBook->fontMetrics().horizontalAdvance(f->vsBook->textMatrix(r, c)))
                    << r << "," << c;
                EXPECT_GT(f->vsBook->columnWidth(c + 1), label.width()) << c + 1;
            }
        }
    }
    void selectTab(frmBookInfo* f, const QString& key)
    {
        for (int i = 0; i < f->tbsBookInfo->count(); ++i) {
            if (f->tbsBookInfo->tabData(i).toString() == key)
                f->tbsBookInfo->setCurrentIndex(i);
        }
        ASSERT_EQ(f->strSelectedTabKey(), key);
    }

    // 25 records PG0001 to PG0025 titled "分页1" ... with title keys "分页测试1" ...
    void addPagedRecords()
    {
        db().exec("insert into marc (marc_rec_no, marc_type, m_title, m_isbn) select 'PG' || lpad(n::text, 4, '0'), "
                  "'C', '分页' || n, '978' || n from generate_series(1, 25) n");
        db().exec("insert into marc_idx (marc_rec_no, marc_idx_grp, marc_idx_cont) select 'PG' || lpad(n::text, 4, "
                  "'0'), '02', '分页测试' || n from generate_series(1, 25) n");
    }
    void removePagedRecords()
    {
        db().exec("delete from marc_idx where marc_rec_no like 'PG%'");
        db().exec("delete from marc where marc_rec_no like 'PG%'");
    }
    static QStringList pagedNumbers(int last)
    {
        QStringList out;
        for (int n = 1; n <= last; ++n)
            out << QStringLiteral("PG%1").arg(n, 4, 10, QLatin1Char('0'));
        return out;
    }

    const QFont appFont = QApplication::font();
    QTemporaryDir settings;
    int opened = 0;
    std::function<int(frmMarcNoSeek*)> onSeek;
};

// Hit lists read `rows` records a page while it lives.
struct SmallPages {
    explicit SmallPages(int rows) { biblio::BookHitPages::defaultPageRows = rows; }
    ~SmallPages() { biblio::BookHitPages::defaultPageRows = 500; }
};

} // namespace

TEST_F(BookInfoWindow, OpensOnceAndKeepsTheCurrentRecordAcrossClosing)
{
    EXPECT_TRUE(shell::Services::bookInfo().provides());
    frmBookInfo* f = open();
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->windowTitle(), QString("书刊信息"));
    EXPECT_EQ(f->vsBookInfo->rows(), 1); // first opening: no record
    EXPECT_EQ(f->strSelectedTabKey(), QString("BaseInfo"));
    EXPECT_EQ(f->vsInfo->cols(), 15);
    EXPECT_EQ(f->vsInfo->rows(), 1);
    EXPECT_EQ(f->tbsBookInfo->count(), 15);
    EXPECT_EQ(f->cboQuickSearch->count(), 8);

    search(f, "09", "华文");
    expectWholeCard(f);
    EXPECT_EQ(f->vsBookInfo->rows(), 3);
    EXPECT_EQ(f->strSelectedTabKey(), QString("CallNoInfo"));
    f->vsBookInfo->select(2, 0, 2, 11);
    f->vsBookInfo_RowReaction();
    const QString current = f->m_strMarcNo;
    EXPECT_EQ(current, f->vsBookInfo->textMatrix(2, 11));
    f->close();
    EXPECT_FALSE(f->isVisible());

    EXPECT_EQ(open(), f); // the one instance of the run
    EXPECT_EQ(f->vsBookInfo->rows(), 2);
    EXPECT_EQ(f->vsBookInfo->textMatrix(1, 11), current);
    EXPECT_EQ(f->vsBook->textMatrix(1, 2), f->vsBookInfo->textMatrix(1, 1)); // its card
    EXPECT_EQ(f->strSelectedTabKey(), QString("BaseInfo"));
    EXPECT_GT(f->vsInfo->rows(), 1); // tab 1 loaded for it
    EXPECT_TRUE(f->txtQuickSearch->text().isEmpty());
    EXPECT_EQ(f->dtpFrom->date(), f->dtpTo->date().addDays(-365));
}

TEST_F(BookInfoWindow, QuickSearchByEachGroupListsAndShowsHoldings)
{
    frmBookInfo* f = open();
    struct Case {
        const char* code;
        const char* text;
        const char* first;
    };
    for (const Case& c : {Case{"02", "植物学", "0000000006"}, Case{"03", "王明", "0000000001"},
                          Case{"05", "9787504123459", "0000000001"}, Case{"07", "数据 结构", "0000000001"},
                          Case{"09", "harbor", "0000000007"}, Case{"91", "q94", "0000000006"},
                          Case{"92", "p6001", "0000000006"}, Case{"93", "B6001B", "0000000006"}}) {
        search(f, c.code, QString::fromUtf8(c.text));
        ASSERT_EQ(f->vsBookInfo->rows(), 2) << c.code;
        EXPECT_EQ(f->m_strMarcNo, QString(c.first)) << c.code;
        EXPECT_EQ(f->vsBookInfo->textMatrix(1, 0), QString("1"));
        EXPECT_EQ(f->vsBook->textMatrix(1, 2), f->vsBookInfo->textMatrix(1, 1));
        EXPECT_EQ(f->vsBook->textMatrix(3, 8), f->vsBookInfo->textMatrix(1, 9));
        EXPECT_EQ(f->strSelectedTabKey(), QString("CallNoInfo"));
        EXPECT_GT(f->vsItemInfo->rows(), 1) << c.code;
        EXPECT_EQ(f->txtNum->text(), QString("1"));
    }
    // The ISBN form is shown back in the cell.
    search(f, "05", "9787504123459");
    EXPECT_EQ(f->txtQuickSearch->text(), QString("7-5041-2345-5"));
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // No hit, a blank text, a text of stop words: IBM001, the list as it was.
    for (const char* text : {"无此书名", "the", "%"}) {
        search(f, "02", QString::fromUtf8(text));
        EXPECT_EQ(dialogs.lastText(), msg("IBM001")) << text;
        EXPECT_EQ(f->vsBookInfo->rows(), 2);
    }
    // "查询" with an empty text opens the combined search.
    f->txtQuickSearch->setText("  ");
    f->tbStandard_ButtonClick("Search");
    EXPECT_EQ(opened, 1);
}

TEST_F(BookInfoWindow, RowsKeysJumpColumnsAndEveryTab)
{
    frmBookInfo* f = open();
    f->resize(1000, 760);
    search(f, "09", "华文");
    ASSERT_EQ(f->vsBookInfo->rows(), 3);
    const QString first = f->m_strMarcNo;

    // Click row 2, then Up and Down.
    QTest::mouseClick(f->vsBookInfo->viewport(), Qt::LeftButton, {},
                      f->vsBookInfo->visualRect(f->vsBookInfo->model()->index(2, 1)).center());
    const QString second = f->m_strMarcNo;
    EXPECT_NE(second, first);
    EXPECT_EQ(f->vsBook->textMatrix(1, 2), f->vsBookInfo->textMatrix(2, 1));
    QTest::keyClick(f->vsBookInfo, Qt::Key_Up);
    EXPECT_EQ(f->m_strMarcNo, first);
    QTest::keyClick(f->vsBookInfo, Qt::Key_Up); // already on the first row: stays and shows it again
    EXPECT_EQ(f->m_strMarcNo, first);
    QTest::keyClick(f->vsBookInfo, Qt::Key_Down);
    EXPECT_EQ(f->m_strMarcNo, second);
    // The header row changes nothing.
    QTest::mouseClick(f->vsBookInfo->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(f->vsBookInfo->horizontalHeader()->sectionViewportPosition(3) + 5, 5));
    EXPECT_EQ(f->m_strMarcNo, second);

    // A card value can be selected and copied; nothing typed there is kept.
    const QString title = f->vsBook->textMatrix(1, 2);
    QTest::mousePress(f->vsBook->viewport(), Qt::LeftButton, {},
                      f->vsBook->visualRect(f->vsBook->model()->index(1, 2)).center());
    auto* editor = f->vsBook->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isReadOnly());
    EXPECT_EQ(editor->text(), title);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(f->vsBook->textMatrix(1, 2), title);
    EXPECT_EQ(frmBookInfo::intCardValueWidth(9750), 1867);
    EXPECT_EQ(frmBookInfo::intCardValueWidth(9750, 1200), 1667);
    EXPECT_EQ(frmBookInfo::intCardGapHeight(1410, 255), 122); // 122.5: halves to even
    EXPECT_EQ(frmBookInfo::intCardGapHeight(1411, 255), 123);
    EXPECT_EQ(frmBookInfo::intCardGapHeight(1413, 255), 124); // 123.5
    expectWholeCard(f);

    // Jump: clamped into the list; only the current row moves.
    for (auto [text, row] : {std::pair{"0", 1}, std::pair{"", 1}, std::pair{"99", 2}, std::pair{"2", 2}}) {
        f->txtNum->setText(text);
        QTest::keyClick(f->txtNum, Qt::Key_Return);
        EXPECT_EQ(f->vsBookInfo->row(), row) << text;
    }
    EXPECT_EQ(f->m_strMarcNo, second);

    // The column chooser lists neither the number column nor the hidden record number.
    f->subBuildColMenu(f->vsBookInfo);
    ASSERT_EQ(f->mnuPopup->actions().size(), 10);
    EXPECT_EQ(f->mnuPopup->actions()[0]->text(), QString("题名"));
    f->mnuItem_Click(0);
    EXPECT_TRUE(f->vsBookInfo->colHidden(1));
    EXPECT_FALSE(f->mnuPopup->actions()[0]->isChecked());
    f->mnuItem_Click(0);
    EXPECT_FALSE(f->vsBookInfo->colHidden(1));
    // The corner cell opens it.
    QTest::mouseClick(f->vsInfo->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(f->mnuPopup->actions().size(), f->vsInfo->cols() - 1);
    f->mnuPopup->hide();
    // A column hidden on a tab grid shows again at the next tab change.
    f->subBuildColMenu(f->vsInfo);
    f->mnuItem_Click(0);
    EXPECT_TRUE(f->vsInfo->colHidden(1));

    // Every tab of record 0000000006.
    search(f, "91", "Q94/Z53");
    for (int i = 0; i < f->tbsBookInfo->count(); ++i) {
        f->tbsBookInfo->setCurrentIndex(i);
        const QString key = f->strSelectedTabKey();
        if (key == "MarcInfo") {
            EXPECT_TRUE(f->strMarcText().startsWith("001    0000000006"));
            EXPECT_TRUE(f->txtMarc->toPlainText().contains(QChar(0x241F))); // the mark drawn visibly
            // One editable cell: a click starts after the last character with
            // nothing selected; typing shows there and is stored nowhere.
            EXPECT_FALSE(f->txtMarc->isReadOnly());
            f->txtMarc->moveCursor(QTextCursor::Start);
            QTest::mouseClick(f->txtMarc->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
            EXPECT_TRUE(f->txtMarc->textCursor().atEnd());
            EXPECT_FALSE(f->txtMarc->textCursor().hasSelection());
            QTest::keyClicks(f->txtMarc, "zq");
            EXPECT_TRUE(f->txtMarc->toPlainText().endsWith("zq"));
            EXPECT_FALSE(f->strMarcText().contains("zq"));
            EXPECT_EQ(f->vsInfo->cols(), 1);
            continue;
        }
        EXPECT_EQ(f->vsInfo->cols(), biblio::tabHeaders(key).size() + 1) << key.toStdString();
        EXPECT_FALSE(f->vsInfo->colHidden(1));
        if (key != "LendHistory") { // the default range holds no 2024 loans
            EXPECT_GT(f->vsInfo->rows(), 1) << key.toStdString();
        }
    }
    selectTab(f, "PregInfo");
    EXPECT_EQ(f->vsInfo->cellForeColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(f->vsInfo->cellBackColor(2, 3), QColor(166, 202, 240));
    selectTab(f, "CallNoInfo");
    // Columns hidden on the copy grid stay hidden across tab changes.
    f->subBuildColMenu(f->vsItemInfo);
    f->mnuItem_Click(2);
    EXPECT_TRUE(f->vsItemInfo->colHidden(3));
    selectTab(f, "BaseInfo");
    selectTab(f, "CallNoInfo");
    EXPECT_TRUE(f->vsItemInfo->colHidden(3));
    f->optInfo_Click(0);
    EXPECT_EQ(f->stkPage->currentWidget(), f->vsInfo);
    f->optInfo_Click(1);
    EXPECT_EQ(f->stkPage->currentWidget(), f->vsItemInfo);
}

TEST_F(BookInfoWindow, CopyFilterUnderPropertyAndBarCodeGroups)
{
    frmBookInfo* f = open();
    search(f, "92", "p6001b");
    EXPECT_TRUE(f->chkOnly->isVisibleTo(f));
    EXPECT_EQ(f->chkOnly->text(), QString("仅显示本财产相关流通信息"));
    selectTab(f, "ExceedInfo");
    EXPECT_EQ(f->vsInfo->rows(), 5);
    f->chkOnly->click(); // reloads at once
    EXPECT_EQ(f->vsInfo->rows(), 2);
    EXPECT_EQ(f->vsInfo->textMatrix(1, 2), QString("P6001B"));
    selectTab(f, "VoltInfo"); // ignores the filter
    EXPECT_EQ(f->vsInfo->rows(), 7);

    search(f, "93", "B6001");
    EXPECT_EQ(f->chkOnly->text(), QString("仅显示本条码相关流通信息"));
    EXPECT_TRUE(f->chkOnly->isChecked()); // the tick survives the change
    selectTab(f, "ReleArri");
    EXPECT_EQ(listColumn(f->vsInfo, 2), QStringList({"P6001B", "P60010", "P6001"}));

    // Another group hides the box; the filter no longer applies though the tick stays.
    f->cboQuickSearch->setCurrentIndex(groupIndex("02"));
    f->cboQuickSearch_Click();
    EXPECT_FALSE(f->chkOnly->isVisibleTo(f));
    f->chkOnly_Click();
    EXPECT_EQ(f->vsInfo->rows(), 7);
}

TEST_F(BookInfoWindow, LoanHistoryRangeRefreshAndInsert)
{
    frmBookInfo* f = open();
    search(f, "91", "Q94/Z53");
    selectTab(f, "LendHistory");
    EXPECT_TRUE(f->fraDate->isVisibleTo(f));
    EXPECT_EQ(f->tbsBookInfo->toolTip(), QString("按 Insert 键可显示借阅历史备份表中的借阅历史记录"));
    f->dtpFrom->setDate(QDate(2023, 1, 1));
    f->dtpTo->setDate(QDate(2024, 1, 31));
    f->cmdRefresh->click();
    EXPECT_EQ(listColumn(f->vsInfo, 2), QStringList({"P60010", "P6001"}));

    QTest::keyClick(f->vsInfo, Qt::Key_Insert);
    EXPECT_EQ(listColumn(f->vsInfo, 0), QStringList({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(listColumn(f->vsInfo, 2), QStringList({"P60010", "P6001", "P6001B", "P6002", "P6001"}));
    QTest::keyClick(f->tbsBookInfo, Qt::Key_Insert); // once per tab load
    EXPECT_EQ(f->vsInfo->rows(), 6);
    f->cmdRefresh->click();
    EXPECT_EQ(f->vsInfo->rows(), 3);
    QTest::keyClick(f->vsInfo, Qt::Key_Insert); // refresh keeps the mark
    EXPECT_EQ(f->vsInfo->rows(), 3);
    selectTab(f, "LendInfo");
    QTest::keyClick(f->vsInfo, Qt::Key_Insert); // another tab: nothing
    EXPECT_EQ(f->vsInfo->rows(), 4);
    selectTab(f, "LendHistory");
    QTest::keyClick(f->vsInfo, Qt::Key_Insert);
    EXPECT_EQ(f->vsInfo->rows(), 6);

    // The return-date range; a reversed range lists nothing.
    f->cboLend->setCurrentIndex(1);
    f->dtpFrom->setDate(QDate(2024, 1, 1));
    f->cmdRefresh->click();
    EXPECT_EQ(listColumn(f->vsInfo, 2), QStringList({"P6001"}));
    f->dtpFrom->setDate(QDate(2024, 2, 1));
    f->cmdRefresh->click();
    EXPECT_EQ(f->vsInfo->rows(), 1);
}

TEST_F(BookInfoWindow, CombinedSearchPresetSearchCancelReopenAndOk)
{
    frmBookInfo* f = open();
    search(f, "02", "计算机");
    ASSERT_EQ(f->vsBookInfo->rows(), 2);
    QPointer<frmMarcNoSeek> first;
    // Preset from the quick search; the search finds two records by publisher.
    onSeek = [&](frmMarcNoSeek* d) {
        first = d;
        EXPECT_EQ(d->windowTitle(), QString("图书检索"));
        EXPECT_EQ(d->cboIndex[0]->currentIndex(), groupIndex("02"));
        EXPECT_EQ(d->txtValue[0]->text(), QString("计算机"));
        EXPECT_EQ(d->cboOperator[0]->currentText(), QString("前方匹配"));
        EXPECT_FALSE(d->cboOperator[0]->currentText().isEmpty());
        d->cboIndex[0]->setCurrentIndex(groupIndex("09"));
        d->cboIndex_Click(0);
        EXPECT_TRUE(d->txtValue[0]->text().isEmpty()); // a new group empties the value
        d->txtValue[0]->setText("华文");
        d->cmdSearch->click();
        EXPECT_EQ(d->lblRecNum->text(), QString("2"));
        EXPECT_TRUE(d->cmdOK->isEnabled());
        EXPECT_EQ(d->marcReads(), 2); // the first page filled at once
        d->subShowPage(1);
        EXPECT_EQ(d->marcReads(), 2); // each record read once
        EXPECT_FALSE(d->spdBookLst->getText(2, 1).isEmpty());
        EXPECT_FALSE(d->spdBookLst->getText(5, 1).isEmpty()); // ISBN from the summary
        return 1;
    };
    f->tbStandard_ButtonClick("BookSeek");
    EXPECT_EQ(f->vsBookInfo->rows(), 3);
    EXPECT_EQ(f->strSelectedTabKey(), QString("BaseInfo"));
    EXPECT_EQ(f->txtNum->text(), QString("1"));
    EXPECT_EQ(g_intMarcSeekOn, 1);

    // Reopened with the same text: the same dialog with its rows and hits; OK on row 2.
    EXPECT_EQ(f->txtQuickSearch->text(), QString("计算机"));
    QString chosen;
    onSeek = [&](frmMarcNoSeek* d) {
        EXPECT_EQ(d, first.data());
        EXPECT_EQ(d->txtValue[0]->text(), QString("华文"));
        d->spdBookLst->setActiveCell(1, 2);
        d->cmdOK->click();
        chosen = d->varBookLst.text(1, 0);
        return 1;
    };
    f->cmdBookSeek_Click();
    EXPECT_EQ(f->m_strMarcNo, chosen);
    EXPECT_EQ(f->vsBookInfo->textMatrix(f->vsBookInfo->row(), 11), chosen);
    EXPECT_EQ(f->strSelectedTabKey(), QString("BaseInfo"));

    // Cancel leaves list, card and tabs as they were.
    const QString card = f->vsBook->textMatrix(1, 2);
    onSeek = [&](frmMarcNoSeek* d) {
        d->cmdCancel->click();
        return 0;
    };
    f->cmdBookSeek_Click();
    EXPECT_EQ(f->m_strMarcNo, chosen);
    EXPECT_EQ(f->vsBook->textMatrix(1, 2), card);
    EXPECT_EQ(g_intMarcSeekOn, 0);

    // Another text: a freshly loaded dialog; no value at all gives EBM003 without a query.
    f->txtQuickSearch->setText("");
    onSeek = [&](frmMarcNoSeek* d) {
        EXPECT_NE(d, first.data());
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(d->txtValue[i]->text().isEmpty());
        d->cmdSearch_Click();
        EXPECT_EQ(dialogs.lastText(), msg("EBM003"));
        return 1;
    };
    f->cmdBookSeek_Click();
    EXPECT_EQ(f->m_strMarcNo, chosen);
}

TEST_F(BookInfoWindow, AutomaticSearchAndFewGroups)
{
    frmBookInfo* f = open();
    f->cboQuickSearch->setCurrentIndex(groupIndex("91"));
    f->cboQuickSearch_Click();
    f->txtQuickSearch->setText("TP3");
    g_intAutoQuery = 1;
    onSeek = [&](frmMarcNoSeek* d) {
        EXPECT_EQ(d->lblRecNum->text(), QString("2")); // searched at load
        EXPECT_FALSE(f->yesSel);
        d->spdBookLst->setActiveCell(1, 1);
        d->cmdOK->click(); // OK makes the choice current
        return 1;
    };
    f->cmdBookSeek_Click();
    EXPECT_EQ(g_intAutoQuery, 0);
    EXPECT_EQ(f->vsBookInfo->rows(), 3);
    EXPECT_EQ(f->vsBookInfo->textMatrix(f->vsBookInfo->row(), 11), f->m_strMarcNo);

    // Two groups only: the rows beyond them start cleared.
    f->close();
    g_intIdxGroupCount = 2;
    f->txtQuickSearch->clear();
    onSeek = [&](frmMarcNoSeek* d) {
        EXPECT_EQ(d->cboIndex[1]->currentIndex(), 1);
        for (int i = 2; i < 5; ++i) {
            EXPECT_EQ(d->cboIndex[i]->currentIndex(), -1) << i;
            EXPECT_FALSE(d->cboOperator[i]->isEnabled());
        }
        // "<不定>" clears a row; choosing a group again unlocks its mode.
        d->cboIndex[1]->setCurrentIndex(2);
        d->cboIndex_Click(1);
        EXPECT_EQ(d->cboIndex[1]->currentIndex(), -1);
        d->cboIndex[1]->setCurrentIndex(0);
        d->cboIndex_Click(1);
        EXPECT_EQ(d->cboOperator[1]->currentIndex(), 0);
        EXPECT_TRUE(d->cboOperator[1]->isEnabled());
        d->cmdCancel->click();
        return 0;
    };
    f->cmdBookSeek_Click();
    EXPECT_EQ(opened, 2);
}

TEST_F(BookInfoWindow, WithoutParameterFileNoGroup)
{
    QFile::remove(strMarcIdxIniFile());
    g_arrIdxGroup.clear();
    g_intIdxGroupCount = 0;
    frmBookInfo* f = open();
    EXPECT_EQ(f->cboQuickSearch->count(), 0);
    f->txtQuickSearch->setText("植物");
    f->txtQuickSearch_Enter();
    EXPECT_EQ(dialogs.lastText(), msg("IBM001"));
    onSeek = [&](frmMarcNoSeek* d) {
        d->txtValue[0]->setText("植物");
        d->cmdSearch_Click();
        return 1;
    };
    f->cmdBookSeek_Click();
    EXPECT_EQ(dialogs.lastText(), msg("EBM003"));
}

TEST_F(BookInfoWindow, StoredGroupChoice)
{
    const QString app = strProgramTitle();
    for (auto [stored, index] : {std::pair{"5", 5}, std::pair{"-1", 0}, std::pair{"abc", 0}, std::pair{"99", 0}}) {
        text::saveSetting(app, "Settings", "QuickList", stored);
        frmBookInfo* f = open();
        EXPECT_EQ(f->cboQuickSearch->currentIndex(), index) << stored;
        f->cboQuickSearch->setCurrentIndex(6);
        f->close();
        EXPECT_EQ(text::getSetting(app, "Settings", "QuickList", ""), QString("6"));
        frmBookInfo::unload();
    }
}

TEST_F(BookInfoWindow, ClosingWhileALongListFills)
{
    frmBookInfo* f = open();
    DBResultSet many(5000, 1);
    for (int i = 0; i < 5000; ++i)
        many.setCell(0, 2 + i, QString("X%1").arg(i, 9, 10, QChar('0')));
    g_varBookHits = many;
    int seen = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, f, [&] {
        if (++seen == 3)
            f->close();
    });
    closer.start(0);
    f->frmBookInfoSet();
    EXPECT_TRUE(f->blnClosing);
    EXPECT_FALSE(f->isVisible());
    EXPECT_FALSE(f->isFilling());
    // A hit without a summary shows its own number and empty fields.
    EXPECT_EQ(f->vsBookInfo->textMatrix(1, 11), QString("X000000000"));
    EXPECT_TRUE(f->vsBookInfo->textMatrix(1, 1).isEmpty());
    EXPECT_TRUE(f->vsBookInfo->textMatrix(4999, 11).isEmpty()); // the fill stopped

    // Opened again from the main window while a fill runs: the old fill stops and
    // the window is set up afresh.
    open();
    seen = 0;
    QObject::connect(&closer, &QTimer::timeout, f, [&] {
        if (seen == 3)
            shell::Services::bookInfo().showBookInfo(nullptr);
    });
    f->frmBookInfoSet();
    EXPECT_FALSE(f->isFilling());
    EXPECT_TRUE(f->isVisible());
    EXPECT_LE(f->vsBookInfo->rows(), 2);
}

TEST_F(BookInfoWindow, AnotherDeskLendsWhileTheLookUpShowsTheRecord)
{
    frmBookInfo* f = open();
    search(f, "91", "Q94/Z53");
    selectTab(f, "LendInfo");
    EXPECT_EQ(f->vsInfo->rows(), 4);

    testsupport::RawConnection desk2;
    ASSERT_TRUE(desk2.exec("begin"));
    ASSERT_TRUE(desk2.exec("select * from item where prop_no = 'P6001' for update"));
    ASSERT_TRUE(desk2.exec("insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, resp_wkr) values "
                           "('BZ02', 'P6001', '2024-06-01 10:00:00', '2024-07-01', '0002')"));
    ASSERT_TRUE(desk2.exec("update item set book_lend_flag = '1' where prop_no = 'P6001'"));
    // The look-up reads past desk 2's open lend without waiting.
    selectTab(f, "CallNoInfo");
    selectTab(f, "LendInfo");
    EXPECT_EQ(f->vsInfo->rows(), 4);
    ASSERT_TRUE(desk2.exec("commit"));
    selectTab(f, "CallNoInfo");
    selectTab(f, "LendInfo");
    EXPECT_EQ(f->vsInfo->rows(), 5);
    EXPECT_EQ(listColumn(f->vsInfo, 2).count("P6001"), 1);
    db().exec("delete from lend_lst where prop_no = 'P6001'");
    db().exec("update item set book_lend_flag = '0' where prop_no = 'P6001'");
}

TEST_F(BookInfoWindow, HitListFillsTenRowsAtATime)
{
    addPagedRecords();
    frmBookInfo* f = open();
    f->resize(900, 700);
    f->cboQuickSearch->setCurrentIndex(groupIndex("02"));
    f->cboQuickSearch_Click();
    f->txtQuickSearch->setText("分页测试");
    onSeek = [&](frmMarcNoSeek* d) {
        d->show();
        EXPECT_TRUE(d->cmdSearch->isEnabled()); // shown with the quick search's row: ready
        QTest::keyClick(d->txtValue[0], Qt::Key_Return); // Enter searches all the same
        EXPECT_EQ(d->lblRecNum->text(), QString("25"));
        // The rows in view (at least ten) are read, the others wait.
        const int shown = d->marcReads();
        EXPECT_GE(shown, 10);
        EXPECT_LT(shown, 25);
        EXPECT_EQ(d->spdBookLst->getText(6, shown), QString("1"));
        EXPECT_EQ(d->spdBookLst->getText(6, shown + 1), QString("0"));
        d->subShowPage(1);
        EXPECT_EQ(d->marcReads(), shown);
        d->spdBookLst->verticalScrollBar()->setValue(d->spdBookLst->verticalScrollBar()->maximum());
        EXPECT_EQ(d->spdBookLst->getText(6, 25), QString("1"));
        d->hide();
        return 1;
    };
    f->tbStandard_ButtonClick("BookSeek");
    EXPECT_EQ(f->vsBookInfo->rows(), 26);
    removePagedRecords();
}

// A search finding more records than a page lists the first page at once and
// the next ones as the worker moves down the list: keys, the row jump, and the
// combined search's list, whose rows the look-up list takes over and goes on from.
TEST_F(BookInfoWindow, LongHitListsComeAPageAtATime)
{
    addPagedRecords();
    SmallPages small(10);
    frmBookInfo* f = open();
    f->resize(900, 700);
    search(f, "02", "分页测试");
    ASSERT_EQ(f->vsBookInfo->rows(), 11);
    EXPECT_EQ(f->hitPages().total(), 25);
    EXPECT_EQ(f->m_strMarcNo, QString("PG0001"));

    // Ctrl+End reaches the last listed row, which brings the next page; Page
    // Down walks on to the last record.
    f->vsBookInfo->setFocus();
    QTest::keyClick(f->vsBookInfo, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(f->vsBookInfo->row(), 10);
    EXPECT_EQ(f->vsBookInfo->rows(), 21);
    for (int i = 0; i < 25 && f->vsBookInfo->row() < 25; ++i)
        QTest::keyClick(f->vsBookInfo, Qt::Key_PageDown);
    EXPECT_EQ(f->vsBookInfo->row(), 25);
    EXPECT_EQ(f->vsBookInfo->rows(), 26);
    QStringList numbers;
    for (int n = 1; n <= 25; ++n)
        numbers << QString::number(n);
    EXPECT_EQ(listColumn(f->vsBookInfo, 0), numbers);
    EXPECT_EQ(listColumn(f->vsBookInfo, 11), pagedNumbers(25));
    EXPECT_EQ(f->vsBookInfo->textMatrix(17, 1), QString("分页17"));
    EXPECT_EQ(f->m_strMarcNo, QString("PG0001")); // moving by page changes no record

    // The row jump reads the rows up to the one asked for in one round trip;
    // past the last record it goes to the last one.
    search(f, "02", "分页测试");
    ASSERT_EQ(f->vsBookInfo->rows(), 11);
    f->txtNum->setText("13");
    EXPECT_EQ(testsupport::roundTripsOf([&] { QTest::keyClick(f->txtNum, Qt::Key_Return); }), 1);
    EXPECT_EQ(f->vsBookInfo->row(), 13);
    EXPECT_EQ(f->vsBookInfo->rows(), 21);
    EXPECT_EQ(f->m_strMarcNo, QString("PG0001"));
    f->txtNum->setText("999");
    QTest::keyClick(f->txtNum, Qt::Key_Return);
    EXPECT_EQ(f->vsBookInfo->row(), 25);
    EXPECT_EQ(listColumn(f->vsBookInfo, 11), pagedNumbers(25));

    // The combined search shows the count of all hits and lists a page; its
    // last row brings the next. OK on a row of the second page.
    onSeek = [&](frmMarcNoSeek* d) {
        d->show();
        QTest::keyClick(d->txtValue[0], Qt::Key_Return);
        EXPECT_EQ(d->lblRecNum->text(), QString("25"));
        EXPECT_EQ(d->spdBookLst->maxRows(), 10);
        d->spdBookLst->setFocus();
        d->spdBookLst->setActiveCell(1, 1);
        QTest::keyClick(d->spdBookLst, Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(d->spdBookLst->maxRows(), 20);
        EXPECT_EQ(d->varBookLst.rowCount(), 20);
        d->spdBookLst->setActiveCell(1, 15);
        d->cmdOK->click();
        d->hide();
        return 1;
    };
    f->tbStandard_ButtonClick("BookSeek");
    EXPECT_EQ(f->m_strMarcNo, QString("PG0015"));
    EXPECT_EQ(f->vsBookInfo->rows(), 21);
    EXPECT_EQ(f->vsBookInfo->textMatrix(15, 1), QString("分页15")); // summaries of both pages
    f->vsBookInfo->setFocus();
    QTest::keyClick(f->vsBookInfo, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(f->vsBookInfo->rows(), 26);
    EXPECT_EQ(listColumn(f->vsBookInfo, 11), pagedNumbers(25));
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.lastText().toStdString();
    removePagedRecords();
}

// Bad input (tests/support/BadInput.h) typed into the quick search box under
// every group, the row jump box, and the combined search's value under every
// group and match mode: IBM001 or EBM003 or an empty list, no database error,
// nothing written, and both windows go on searching.
TEST_F(BookInfoWindow, BadInputInTheSearchBoxesOfBothWindows)
{
    frmBookInfo* f = open();
    search(f, "02", "植物学");
    ASSERT_EQ(f->vsBookInfo->rows(), 2);
    for (int g = 0; g < g_intIdxGroupCount; ++g) {
        const QString code = g_arrIdxGroup[g].code;
        SCOPED_TRACE(code.toStdString());
        testsupport::expectOrdinaryAnswers(
            db(), dialogs, "quick search box",
            [&](const QString& t) {
                search(f, code, t);
                return dialogs.shown.isEmpty() ? 0 : 1;
            },
            {msg("IBM001")}, testsupport::onlyTheEmptyText);
    }
    search(f, "02", "植物学");
    ASSERT_EQ(f->vsBookInfo->rows(), 2);
    dialogs.clear();
    for (const QString& t : testsupport::badTexts()) {
        f->txtNum->setText(t);
        QTest::keyClick(f->txtNum, Qt::Key_Return);
        EXPECT_EQ(f->vsBookInfo->row(), 1);
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());

    bool searched = false;
    onSeek = [&](frmMarcNoSeek* d) {
        for (int g = 0; g < g_intIdxGroupCount; ++g) {
            for (int mode = 0; mode < 3; ++mode) {
                SCOPED_TRACE(g_arrIdxGroup[g].code.toStdString() + " mode " + std::to_string(mode));
                d->cboIndex[0]->setCurrentIndex(g);
                d->cboIndex_Click(0);
                d->cboOperator[0]->setCurrentIndex(mode);
                testsupport::expectOrdinaryAnswers(
                    db(), dialogs, "combined search value",
                    [&](const QString& t) {
                        d->txtValue[0]->setText(t);
                        d->cmdSearch_Click();
                        return !dialogs.shown.isEmpty() || d->lblRecNum->text() == "0" ? 1 : 0;
                    },
                    {msg("EBM003")}, testsupport::onlyTheEmptyText);
            }
        }
        d->cboIndex[0]->setCurrentIndex(groupIndex("09"));
        d->cboIndex_Click(0);
        d->cboOperator[0]->setCurrentIndex(0);
        d->txtValue[0]->setText("华文");
        d->cmdSearch_Click();
        EXPECT_EQ(d->lblRecNum->text(), QString("2"));
        searched = true;
        return 0;
    };
    f->cmdBookSeek_Click();
    EXPECT_TRUE(searched);
}

// 组合检索 shown with its first row preset from the quick search: 检索 is ready
// at once; without a preset, or shown again after its search, it is not.
TEST_F(BookInfoWindow, CombinedSearchOpensReadyWithAPresetRow)
{
    frmBookInfo* f = open();
    search(f, "02", "计算机");
    QList<bool> ready;
    onSeek = [&](frmMarcNoSeek* d) {
        d->show();
        ready << d->cmdSearch->isEnabled();
        if (ready.size() == 1) {
            QTest::keyClick(d->txtValue[0], Qt::Key_Return);
            EXPECT_EQ(d->lblRecNum->text(), QString("1"));
        }
        d->hide();
        return 0;
    };
    f->cmdBookSeek_Click(); // preset: ready; searched by Enter
    f->cmdBookSeek_Click(); // the same dialog again after its search
    f->txtQuickSearch->setText("");
    f->cmdBookSeek_Click(); // nothing preset
    EXPECT_EQ(ready, QList<bool>({true, false, false}));
}
