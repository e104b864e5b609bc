#pragma once
// The bibliographic look-up window: quick search on its toolbar, the record
// card, the record list, and the information tabs of the current record. It
// only reads the database; the searches and the tab rows come from BookSearch
// and BookTabs, the window shows them.

#include "biblio/BookSearch.h"
#include "biblio/BookTabs.h"
#include "common/DBResultSet.h"

#include <QPointer>
#include <QWidget>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QToolBar;
class frmMarcNoSeek;
namespace ui {
class DateBox;
class FlexGrid;
class NumberBox;
} // namespace ui

// The hit list the searches hand to the window (record number in column 0).
extern DBResultSet g_varBookHits;

class frmBookInfo : public QWidget {
    Q_OBJECT
public:
    // The one window of the run, created on first use; its state (the current
    // record) outlives a closing.
    static frmBookInfo* form(QWidget* owner = nullptr);
    static frmBookInfo* instance();
    // Destroys the window (program end).
    static void unload();

    QString m_strMarcNo;  // record number of the current record; "" for none
    bool yesSel = false;  // set by the combined search: its hits are to be taken

    void pInitialize();
    // Appends one list row per hit of g_varBookHits; makes the row of `chosen`
    // current (row 1 when it is not among them) and shows it.
    void frmBookInfoSet(const QString& chosen = QString());
    void cmdBookSeek_Click();
    // The next page of found records below the listed ones (the worker
    // scrolled to the end of the list or reached its last row), or the pages
    // up to list row `upTo`; false when nothing was added.
    bool subReadHitPage(int upTo = 0);
    // The records of the last search, as far as they are listed.
    const biblio::BookHitPages& hitPages() const { return hitPages_; }

    // Controls, by their names.
    QToolBar* tbStandard = nullptr;
    QComboBox* cboQuickSearch = nullptr;
    QLineEdit* txtQuickSearch = nullptr;
    QCheckBox* chkOnly = nullptr;
    ui::NumberBox* txtNum = nullptr;
    ui::FlexGrid* vsBook = nullptr;
    ui::FlexGrid* vsBookInfo = nullptr;
    QTabBar* tbsBookInfo = nullptr;
    ui::FlexGrid* vsInfo = nullptr;
    ui::FlexGrid* vsItemInfo = nullptr;
    QRadioButton* optInfo[2] = {nullptr, nullptr};
    QPlainTextEdit* txtMarc = nullptr;
    QFrame* fraDate = nullptr;
    QComboBox* cboLend = nullptr;
    ui::DateBox* dtpFrom = nullptr;
    ui::DateBox* dtpTo = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QMenu* mnuPopup = nullptr;
    QStackedWidget* stkPage = nullptr;

    // The events, callable from tests.
    void tbStandard_ButtonClick(const QString& key);
    void txtQuickSearch_Enter();
    void txtNum_Enter();
    void vsBookInfo_RowReaction();
    void cboQuickSearch_Click();
    void chkOnly_Click();
    void tbsBookInfo_Click();
    void tbsBookInfo_InsertKey();
    void cmdRefresh_Click();
    void optInfo_Click(int index);
    // The column chooser of a grid: its entries (captions and check marks).
    void subBuildColMenu(ui::FlexGrid* grid);
    void mnuItem_Click(int entry);

    // Card layout in twips: the width of each value column and the height of
    // the spacer rows 2 and 4, rounded to whole twips, halves to even.
    static int intCardValueWidth(int cardWidth, int labelWidth = 1000);
    static int intCardGapHeight(int cardHeight, int row1Height);

    QString strSelectedTabKey() const;
    // The index group chosen in cboQuickSearch ("" when none).
    QString strQuickGroupCode() const;
    // The page text of the MARC tab (subfield marks as chosen, mark 31 unchanged).
    QString strMarcText() const { return marcText_; }
    frmMarcNoSeek* seekForm() const;
    bool isFilling() const { return filling_; }
    // The record chosen with OK in the combined search, taken by the next hand-over.
    QString strChosenNo;
    QString strBakMarcNo;
    bool blnClosing = false;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frmBookInfo(QWidget* owner);
    void buildUi();
    void subInitList();
    void subInitTabs();
    void subAddBookRow(int row);
    void subShowBookCard();
    void subLayoutCard();
    void subSelectTab(int index);
    void subArrangePage(const QString& key);
    void subInitTabGrid(const QString& key);
    void subPaint(ui::FlexGrid* grid, const biblio::TabRows& rows, int firstRow = 1);
    void subClearList();
    // Appends one list row per record of g_varBookHits (step 3.1); false when
    // the fill was stopped.
    bool subAppendHits(const QString& chosen, int* chosenRow);
    biblio::TabQuery varTabQuery() const;

    QString strQuickText;
    QString strSeekText;
    QPointer<ui::FlexGrid> objMenuGrid;
    QString marcText_;
    bool filling_ = false;
    int fillGeneration_ = 0;
    QPointer<frmMarcNoSeek> seek_;
    biblio::BookSumIndex sumIndex_;
    biblio::BookHitPages hitPages_;
    static QPointer<frmBookInfo> instance_;
};
