#pragma once
// The consignment desk window: a reader loaded by card, then the request mode
// (title search, holdings, requests), the lend mode or the return mode. The
// window gathers input, runs the desk logic (ConsignDesk) and shows its state.

#include "desk/ConsignDesk.h"
#include "desk/DeskLending.h"

#include <QPixmap>
#include <QPointer>
#include <QVector>
#include <QWidget>

#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QStackedWidget;
namespace ui {
class CodeBox;
class CommandBar;
class CommandItem;
class ImageList;
class SpreadGrid;
}

class frmConsign : public QWidget, public desk::LendingWindow {
    Q_OBJECT
public:
    explicit frmConsign(QWidget* parent = nullptr);
    ~frmConsign() override;

    // The window's one instance while it is open (nullptr otherwise).
    static frmConsign* instance();

    // The command-bar handler, by the key of a bar control ("Apply", "Lend",
    // "Return", "Detail", "Auth", "Rule", "ApplyList", "LendDetail").
    void tbConsign_ButtonClick(const QString& key);
    // The function keys F1, F2 and F3 by their key codes (112 to 114).
    void Form_KeyUp(int keyCode);

    // Enter in the four entry boxes.
    void txtReader_Enter();
    void txtApplyBook_Enter();
    void txtLendBook_Enter();
    void txtReturnBook_Enter();

    // Events of the grids, (column, row) from 1.
    void spdApplyBook_Click(int col, int row);
    void spdApplyBook_Change(int col, int row);
    void spdApplyBook_ButtonClicked(int col, int row);
    void spdApplyBook_LeaveCell(int row, int newRow);
    void spdApplyList_ButtonClicked(int col, int row);
    void cmbQuery_Click();

    // Asks the override dialog for an entry refused with the message `code`
    // (words `text`); false at once while overrides are off.
    bool blnCheckAdmAuth(const QString& code, const QString& text);

    int intMode() const { return m_desk.mode; }
    desk::ConsignDesk& logic() { return m_desk; }
    desk::DeskLending& lending() { return m_lend; }

    // The borrower of the copy being returned (or last returned).
    QString m_strRetRedr;
    // The attachment text of the copy being lent, kept by the lending logic.
    QString strAttachment() const override { return m_lend.m_strAttachment; }
    void setStrAttachment(const QString& text) override { m_lend.m_strAttachment = text; }

    // Controls, by their names.
    ui::CommandBar* tbConsign = nullptr;
    QFrame* fraBack[6] = {};
    ui::CodeBox* txtReader = nullptr;
    QLineEdit* txtDetail[9] = {};
    QLabel* lblTitle[13] = {};
    QLabel* imgPhoto = nullptr;
    QComboBox* cmbQuery = nullptr;
    QLineEdit* txtApplyBook = nullptr;
    ui::SpreadGrid* spdApplyBook = nullptr;
    ui::SpreadGrid* spdApplyList = nullptr;
    ui::SpreadGrid* spdLendDetail = nullptr;
    ui::CodeBox* txtLendBook = nullptr;
    ui::SpreadGrid* spdLendBook = nullptr;
    ui::CodeBox* txtReturnBook = nullptr;
    ui::SpreadGrid* spdReturnBook = nullptr;
    ui::SpreadGrid* spdVolt = nullptr;
    // The stack of frames 2 to 5, and the stack of the request tab's grids.
    QStackedWidget* stkWork = nullptr;
    QStackedWidget* stkApply = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void initToolBar();
    void subSwitchApply();
    void subSwitchLend();
    void subSwitchReturn();
    void subClearRedrInfo();
    // Shows the desk's reader panel; a new reader also gets its portrait and
    // the reader pop-ups.
    void subShowReader(bool newReader);
    void subFillVolt();
    void subFillLendBook();
    void subFillReturnBook();
    void subFillApplyList();
    void subFillApplyBook();
    // The rows of the titles from `firstTitle` on, below the rows there are.
    void subAddBookRows(int firstTitle);
    // The next page of found titles below the listed ones, when some wait.
    void subReadTitlePage();
    void subSelectRow(int row);
    void subMarkRow(int row);
    int subShowLendDetail();
    void setItemsEnabled(const QStringList& keys, bool enabled);
    void onBarItem(ui::CommandItem* item);
    // Runs an event's work; an unexpected failure is reported and closes the desk.
    void guarded(const std::function<void()>& action);

    // Where each row of spdApplyBook comes from: a title and one of its
    // listed locations (-1 for a title without a listed location).
    struct BookRow {
        int title = -1;
        int holding = -1;
    };

    desk::ConsignDesk m_desk;
    desk::DeskLending m_lend{m_desk};
    int m_intQueryGuard = 0;
    bool m_filling = false;
    QVector<BookRow> m_bookRows;
    int m_markRow = 0;
    ui::ImageList* ilsToolBar = nullptr;
    QPixmap m_photo; // the default portrait
    static QPointer<frmConsign> s_instance;
};
