#pragma once
// The find desk without its window: the scan of a copy taken from the shelf
// and its lending to the first fit requester, the found copies of the
// session, the batch hand-over, the pick list and the found list with their
// prints. The window (frmFind) gathers input, calls these routines and shows
// what they leave here.

#include "consign/basConsign.h"
#include "desk/DeskLending.h"

#include <QDate>
#include <QVector>

namespace consign {

// The eleven boxes of a copy display.
struct CopyDisplay {
    QString bookName, propNo, barCode, location, state, callNo, author, publ, price, inDate, attach;
};
// Fills a copy display from a copy, the scanned code and the title,
// responsibility and publisher of the copy's record.
CopyDisplay copyDisplay(const desk::LendCopy& copy, const QString& scanned, const QStringList& texts);

// A found copy as the Find page's grid and the found list show it.
struct FoundRow {
    QString callNo, location, propNo, title, pickUp, certId, name, arriDate, keepEndDate, marcRecNo;
    QStringList cells() const {
        return {callNo, location, propNo, title, pickUp, certId, name, arriDate, keepEndDate};
    }
};

// A waiting request of the pick list.
struct ApplyRow {
    QString callNo, title, author, publisher, pickUp, certId, name, location, marcRecNo;
    int lendable = 0, inLibrary = 0;
};

// What a list search was made with: its print carries the same.
struct ListSearch {
    QString begin, end, team, location;
    bool allLocations = true;
    int option = 0;
};

// One row of a list of the day as read, and the values of a list's filter (FindDesk.cpp).
class DayListRow;
class DayListFilter;

class FindDesk {
public:
    FindDesk();
    FindDesk(const FindDesk&) = delete;
    FindDesk& operator=(const FindDesk&) = delete;
    // Every date of the lists' ranges to `today` (the window reads the server's date).
    void defaultDates(const QDate& today);

    // The attachment dialog of a lending (frmAttachment over the lending).
    std::function<void(desk::LendingWindow&)>& showAttachment() { return m_lending.showAttachment; }
    // The copy display as soon as a scan's copy is read, before any question
    // or message of its lending (the window shows it at once).
    std::function<void(const CopyDisplay&)> displayChanged;
    // The requester the lending in progress is for: "证件号 姓名".
    QString requester() const;

    // ---- choosers -------------------------------------------------------------
    Chooser cmbApplyTeam, cmbApplyTeamII, cmbApplyLocation, cmbFindTeam, cmbFindTeamII;
    // The four group choosers; then the location chooser of the chosen holding group.
    int subInitTeam();
    int subInitLocation(const QString& group);
    // A choice in the holding-group chooser lists its locations again.
    int cmbApplyTeamII_Click(int index);
    // Column "馆藏地" of the pick list shows while all locations are chosen.
    bool applyLocationShown() const { return cmbApplyLocation.onAll(); }

    // ---- Find page --------------------------------------------------------------
    // Enter in the scan box: the text trimmed and upper-cased (left in *text);
    // a blank scan stops there. 0 lent, -1 otherwise.
    int txtFindBook_Enter(QString* text);
    int subFindBook(const QString& code);
    void subClearBook() { m_display = CopyDisplay(); }
    const CopyDisplay& display() const { return m_display; }
    // The copies found since the desk opened, newest (highlighted) first.
    const QVector<FoundRow>& spdFind() const { return m_found; }
    // The desk's own reader record: the requester checked last.
    desk::ConsignDesk& readerDesk() { return m_desk; }

    // ---- hand-over ----------------------------------------------------------------
    // The rows still found ('1') of a grid become handed over ('2') in one
    // transaction; 0 done, -1 empty grid or failure.
    int subConnectFind() { return subConnect(m_found, true); }
    int subConnectFindList() { return subConnect(m_findList, false); }
    int subPrintFind();

    // ---- pick list ----------------------------------------------------------------
    QDate dtpApplyBegin, dtpApplyEnd;
    int cmdApplySearch();
    int cmdApplyPrint();
    const QVector<ApplyRow>& spdApplyList() const { return m_applyList; }

    // ---- found list ---------------------------------------------------------------
    QDate dtpFindBegin, dtpFindEnd;
    int optType = 0; // 0 all, 1 handed over, 2 not yet handed over
    int cmdFindSearch();
    int cmdFindPrint();
    const QVector<FoundRow>& spdFindList() const { return m_findList; }

    // Statements sent since the counter was reset, and when set, their texts (benchmark).
    int statementCount() const { return m_desk.statementCount() + m_statements; }
    void resetStatementCount() { m_desk.resetStatementCount(), m_statements = 0; }
    QStringList* statementLog = nullptr;

private:
    int subConnect(const QVector<FoundRow>& rows, bool findPage);
    // A list's rows and the title texts of the records its column `column`
    // names, in one round trip, as a prepared statement named after the
    // filter's shape with its values: `rows` selects the list's `columns`
    // columns, `order` gives the positions of those it is sorted by; the
    // first `texts` of title, responsibility and publisher are made, and
    // `row` is called for each row in order with its cells and its record's
    // texts. The database error is shown when the list cannot be read.
    int selectList(const DayListFilter& filter, const QString& rows, int columns, const QString& order,
                   int column, int texts, const std::function<void(const DayListRow&)>& row);

    desk::ConsignDesk m_desk; // the find desk's own reader record
    desk::DeskLending m_lending{m_desk};
    CopyDisplay m_display;
    QString m_scanned;
    QStringList m_scannedTexts; // of the scanned copy's record, read with its queue
    QVector<FoundRow> m_found;
    QVector<ApplyRow> m_applyList;
    ListSearch m_applySearch;
    QVector<FoundRow> m_findList;
    ListSearch m_findSearch;
    int m_statements = 0;
};

} // namespace consign
