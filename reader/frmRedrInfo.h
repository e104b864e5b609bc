#pragma once
// The reader information window: a query box with the quick look-ups and the
// reader search, the reader's detail panel and summary row, and fourteen pages
// in one page grid. It only reads; the pages come from basRedrPages.

#include "reader/basLTMore.h"
#include "reader/basRedrPages.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QAction;
class QPushButton;
class QMdiSubWindow;
class QTabBar;
namespace ui {
class CommandBar;
class DatePicker;
class FlexGrid;
class NumberBox;
} // namespace ui

class frmRedrInfo : public QWidget, public RedrInfoHost {
    Q_OBJECT
public:
    // The window's one instance, created on first use, owned by `owner`.
    static frmRedrInfo* form(QWidget* owner = nullptr);
    static bool loaded();
    // Closes (unloads) the instance and the search dialog with it.
    static void unload();

    // Sets the window up afresh and shows the reader in g_strRedrID.
    void pInitialize();
    // Makes the reader current: summary, detail, the loans page.
    void frmRedrInfoSet(const QString& certId, const QString& barcode) override;
    // Opens the reader search on the query field and text; a chosen reader
    // becomes current.
    void cmdRedrQuery_Click() override;

    // Events, callable from tests.
    void txtQuery_Enter(); // Enter in the query box: the quick look-up
    void tbStandard_ButtonClick(const QString& key);
    void cboQuery_Click();
    void tbsRedrInfo_Click(); // the page dispatcher
    void cmdRefresh_Click();
    void subInsertKey(); // Insert on the history page: the archive
    void subLoadRedrList();
    // The column pop-up of a grid: its items list the captioned columns.
    void subBuildColumnMenu(ui::FlexGrid* grid);
    void mnuItem_Click(int index);
    void subClearColumnMenu();
    void subSortColumn(int col);

    // The page the grid shows, as loaded.
    const RedrPage& page() const { return m_page; }
    QString currentKey() const;

    // Controls, by their names.
    ui::CommandBar* tbStandard = nullptr;
    QComboBox* cboQuery = nullptr;
    ui::NumberBox* txtQuery = nullptr;
    QLabel* imgRedr = nullptr;
    ui::FlexGrid* vsRedr = nullptr;
    ui::FlexGrid* vsRedrInfo = nullptr;
    QTabBar* tbsRedrInfo = nullptr;
    ui::FlexGrid* vsInfo = nullptr;
    QFrame* fraDate = nullptr;
    QComboBox* cboLend = nullptr;
    ui::DatePicker* dtpFrom = nullptr;
    ui::DatePicker* dtpTo = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QMenu* mnuPopup = nullptr;
    QList<QAction*> mnuItem; // item 0 stays hidden

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Activated (as a window, or as the active child of the main window): the
    // focus goes back to the query box, ready for the next card.
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    explicit frmRedrInfo(QWidget* owner);
    QPointer<QMdiSubWindow> frame_; // the main window's frame around this window
    void subInitTabs();
    void subInitInfoGrid(const QString& key);
    void subPaintPage(int fromRow);
    RedrHistRange varHistRange() const;
    void subCornerClick(ui::FlexGrid* grid, const QPoint& globalPos);

    RedrPage m_page;
    QString m_strQueryText;
    QString m_strHistBakRedr;
    QPointer<ui::FlexGrid> m_objMenuGrid;
    bool m_blnSortOn = true;
    int m_intSortCol = -1;
    bool m_blnSortAsc = true;
    bool m_blnTabsBuilt = false;
    static QPointer<frmRedrInfo> instance_;
};
