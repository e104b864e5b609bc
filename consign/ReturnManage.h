#pragma once
// The return management without its window: the home group accepts its
// returned copies by bar code, lists the copies to send home and the
// acceptance state of the copies coming home, and prints them. The window
// (frmReturnManage) gathers input, calls these routines and shows what they
// leave here.

#include "consign/FindDesk.h"

namespace consign {

// A row of the acceptance grid and of the two lists.
struct HomeRow {
    QString callNo, propNo, title, author, publisher, location, marcRecNo;
};

class ReturnManage {
public:
    ReturnManage();

    // ---- choosers -------------------------------------------------------------
    Chooser cmbReturnTeam, cmbReturnLocation, cmbCheckTeam, cmbCheckLocation;
    // Both group choosers, the return page's locations of its first group and
    // the check page's locations of the desk's group.
    int subInitTeam();
    int cmbReturnTeam_Click(int index);
    int subInitReturnLocation();
    int subInitCheckLocation();
    // Column "馆藏地" of a list shows while all locations are chosen.
    bool returnLocationShown() const { return cmbReturnLocation.onAll(); }
    bool checkLocationShown() const { return cmbCheckLocation.onAll(); }

    // ---- Check page ---------------------------------------------------------------
    QDate dtpBegin, dtpEnd;
    // Enter in the bar code box (text trimmed, upper-cased); a blank scan stops.
    int txtCheckBook_Enter(QString* text);
    // Accepts one copy home: 0 accepted, -1 otherwise (its message shown).
    int subCheckBook(const QString& barCode);
    void subClearBook() { m_display = CopyDisplay(); }
    const CopyDisplay& display() const { return m_display; }
    // The copies accepted since the window opened, newest first.
    const QVector<HomeRow>& spdCheck() const { return m_checked; }
    // The accepted ('5') or not yet accepted ('4') copies of the desk's group.
    int cmdCheck_Click() { return subPrintChecked(QStringLiteral("5")); }
    int cmdUnCheck_Click() { return subPrintChecked(QStringLiteral("4")); }

    // ---- ReturnList page ------------------------------------------------------------
    QDate dtpReturnBegin, dtpReturnEnd;
    int cmdReturnSearch();
    int cmdReturnPrint();
    const QVector<HomeRow>& spdReturnList() const { return m_returnList; }

    // ---- CheckList page ---------------------------------------------------------------
    QDate dtpCheckBegin, dtpCheckEnd;
    int optType = 0; // 0 all, 1 accepted, 2 not yet accepted
    int cmdCheckSearch();
    int cmdCheckPrint();
    const QVector<HomeRow>& spdCheckList() const { return m_checkList; }

    // Statements sent since the counter was reset, and when set, their texts (benchmark).
    int statementCount() const { return m_statements; }
    void resetStatementCount() { m_statements = 0; }
    QStringList* statementLog = nullptr;

private:
    int subPrintChecked(const QString& flag);
    int search(const QString& where, bool allLocations, QVector<HomeRow>& rows, const QString& none);
    int print(const QVector<HomeRow>& rows, const ListSearch& s, const QString& title,
              const QString& teamLabel, const QString& none);
    int select(const QString& sql, DBResultSet& rs);

    CopyDisplay m_display;
    QVector<HomeRow> m_checked;
    QVector<HomeRow> m_returnList, m_checkList;
    ListSearch m_returnSearch, m_checkSearch;
    int m_statements = 0;
};

} // namespace consign
