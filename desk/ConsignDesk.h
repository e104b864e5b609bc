#pragma once
// The consignment desk without its window: the reader load and its standing
// checks, the requester check, the title search with its holdings, placing and
// deleting requests and the reader's request list. The window gathers input,
// calls these routines and shows what they leave in the desk's state.
//
// Messages go through intShowMsg (and so through ui::DialogService); the few
// windows the routines open (fine window, arrived copies, keep days) are hooks
// the desk window fills in.

#include "common/DBResultSet.h"
#include "common/basDBBatch.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

#include "reader/ReaderContext.h" // g_strCertID, g_dblExceedFine

namespace desk {

enum DeskMode { ModeRequest = 0, ModeLend = 1, ModeReturn = 2 };

// Columns of the desk's reader record.
namespace redr {
enum Column {
    CertId = 0, RedrTypeCode, LendGrd, IdCard, Name, Dept, Sex, VoltFlag, DebtFlag, TotalLendQty, YearLendQty,
    RedrFlag, RedrDelDay, TypeName, ChkValidity, MaxLendQty, MaxDebtAmt, MaxPregQty, CertFlag, BgnDate, EndDate,
    MaxPregDays, ColumnCount // 22
};
}

// Search fields of the request tab, in list order.
enum SearchField { SearchCallNo = 0, SearchTitle = 1, SearchAuthor = 2, SearchPublisher = 3 };

struct ViolationRow {
    QString certId, punishDate, voltCode, propNo, locationF, realFineAmt, fineDate, billNo, frozEndDate,
        voltDealFlag, respWkr, remark;
    // "停借", "罚款", ... for the state.
    QString stateText() const;
};

struct LoanRow {
    QString certId, propNo, lendDate, normRetDate, marcRecNo, barCode, callNo, bookStatCode, location,
        bookLendFlag;
    bool overdue = false;  // due before today
    bool abnormal = false; // the copy's status is not lendable
};

struct ArrivedRow {
    QString callNo, propNo, relegateLocation, arriDate, keepEndDate, marcRecNo;
    QString title, author, publisher;
};

// One location of a title with lendable copies.
struct HoldingRow {
    QString location;
    int lendable = 0;  // copies with the lendable status
    int inLibrary = 0; // of those, on the shelf
    int queued = 0;    // waiting, still valid requests
    bool canApply = false; // a rule applies and the location is of another group
    bool applied = false;  // a request was placed from this row
};

struct TitleRow {
    QString marcRecNo;
    QStringList callNos; // several: a drop-down
    int chosen = 0;      // entry of callNos in force
    QString title, author, publisher;
    bool listed = false;          // locations listed
    QString listedCallNo;         // the call number they were listed for
    // In the order the grid shows them: the first location in the title row,
    // the others below it in the reverse of their code order.
    QVector<HoldingRow> holdings;

    QString callNo() const { return callNos.value(chosen); }
};

struct RequestRow {
    QString callNo, location, relegateDate, endDate, marcRecNo;
    int relegateNo = 0;
    QString title, author, publisher;
};

struct LendDetailRow {
    QString propNo, lendDate, normRetDate;
};

// Where the reads of the requester check stand in a batch (addApplicantReads).
struct ApplicantReads {
    int readers = -1, date = -1, violations = -1, loans = -1;
};

// What the reader panel shows.
struct ReaderPanel {
    QString name, sex, dept, certId, typeName, endDate, loans, yearTotal, debt;
};

class ConsignDesk {
public:
    ConsignDesk();
    ConsignDesk(const ConsignDesk&) = delete;
    ConsignDesk& operator=(const ConsignDesk&) = delete;

    // ---- hooks (the window's pop-ups) -------------------------------------
    // The fine window; it leaves the remaining unpaid total in g_dblExceedFine.
    std::function<void()> showFineWindow;
    // The arrived-copies window, modal.
    std::function<void(const QVector<ArrivedRow>&)> showFindList;
    // The keep-days dialog: begin date and the most days; the chosen days, or
    // nothing when the dialog was closed without a choice.
    std::function<std::optional<int>(const QString& beginDate, int maxDays)> askKeepDays;
    // The reader panel changed during a load (a new reader, the violations, the
    // unpaid total, the loans): the window shows it before the load's next
    // message, so that a refusal stands beside the reader it refuses.
    // newReader is true once per load, when another reader's record came in.
    std::function<void(bool newReader)> showPanel;
    // Title, responsibility and publisher of a bibliographic record. Unset,
    // the desk reads the records of a whole list in one query.
    std::function<QStringList(const QString& marcRecNo)> titleTexts;

    // ---- settings -----------------------------------------------------------
    DeskMode mode = ModeRequest;
    int fineLend = 0; // per-user setting: open the fine window at a load

    // ---- reader -----------------------------------------------------------
    // Loads the reader of a card (trimmed, upper case) and tests the standing.
    // 0 accepted, -1 not found, refused or failed.
    int intLoadRedr(const QString& card);
    // Silent standing test of a queued requester; loads it into the desk's
    // record. 0 fit, -1 not, -2 failed (reported).
    int intCheckApplicant(const QString& certId);
    // The same check judged on reads a batch made (addApplicantReads): 0 fit, -1 not.
    int intJudgeApplicant(const LIB_DB_Batch& batch, const ApplicantReads& at, const QString& certId);
    // Empties the panel (the record and the current reader stay).
    void subClearRedrInfo();

    const DBResultSet& readerRecord() const { return m_recRedr; }
    QString readerValue(int col) const;
    bool readerShown() const { return m_readerShown; }
    const ReaderPanel& panel() const { return m_panel; }
    const QVector<ViolationRow>& violations() const { return m_violations; }
    bool violationsInFront() const { return m_violationsFront; }
    const QVector<LoanRow>& loans() const { return m_loans; }
    const QVector<ArrivedRow>& arrived() const { return m_arrived; }

    // ---- titles and holdings ----------------------------------------------
    // Search by one of the four fields of the request tab.
    int subSearchBook(const QString& text, int field);
    // Search by any index group ("91" call numbers, other codes MARC index groups).
    int subSearchBookByGroup(const QString& text, const QString& group);
    // A search lists its titles a page at a time: it reads the numbers and
    // call numbers of all found titles, but the records of the first page
    // only; the others wait, in the order found, until the list moves past
    // the listed ones.
    static constexpr int kTitlePage = 50;
    // Found titles not listed yet.
    int waitingTitles() const { return int(m_waiting.size()); }
    // Reads the records of the next page of waiting titles and lists them
    // below the others (one round trip): the titles added, 0 when none wait,
    // -1 when the read failed (reported; the listed titles stay).
    int subReadTitlePage();
    // Lists the locations of a title for its call number in force (again when
    // the call number changed since the last listing).
    int subShowHoldings(int titleIndex);
    // Chooses another call number of a title's drop-down.
    void setChosenCallNo(int titleIndex, int entry);
    // -1 no rule applies or failure, 0 own location group, 1 another group.
    int intCheckApplyLoca(const QString& location, const QString& circType, const QString& redrType);
    // Current loans of the title at a location.
    int subShowLendDetail(const QString& callNo, const QString& location, QVector<LendDetailRow>& rows);

    QVector<TitleRow>& titles() { return m_titles; }
    const QVector<TitleRow>& titles() const { return m_titles; }
    QString selectedCallNo() const { return m_selectedCallNo; }

    // ---- requests -------------------------------------------------------------
    // Places a request for a title's call number at one of its listed locations.
    // 0 placed, -1 refused, cancelled or failed.
    int subApplyBook(int titleIndex, int holdingIndex);
    // The same for a call number and a holding row the caller holds.
    int subApplyBook(const QString& callNo, HoldingRow& holding);
    // The reader's waiting requests, newest first.
    int subLoadApplyList(int mark = 0);
    // Deletes a request of the list after the question; 0 deleted, 1 not
    // confirmed, -1 failed or no longer waiting.
    int subDeleteApply(int row);
    int subDeleteApply(const RequestRow& request);

    const QVector<RequestRow>& requests() const { return m_requests; }
    int markedRequestRow() const { return m_markedRequest; }

    // Holds a request queue (title at a location) for the open transaction:
    // one desk at a time renumbers or appends to it. Every writer of a queue
    // takes it after its other row locks and just before it reads the queue.
    // Never held while a dialog waits: ask first, then lock, check again, write.
    int lockQueue(const QString& callNo, const QString& location);

    // Statements sent to the server since the counter was reset.
    int statementCount() const { return m_statements; }
    void resetStatementCount() { m_statements = 0; }
    // When set, every SELECT and write text sent is appended here.
    QStringList* statementLog = nullptr;

private:
    friend class DeskLending; // the lend and return modes share the desk's state and calls
    // Counted database calls.
    int select(const QString& sql, DBResultSet& rs);
    int execute(const QString& sql);
    int callProc(const QString& call);
    int begin();
    int commit();
    int rollback();
    // Rolls the open transaction back and reports the pending error: -1.
    int abortTrans();
    // Ends a transaction that has written nothing (its row locks go), then
    // reports the pending error, or shows a message: -1.
    int endTransReport();
    int endTransRefuse(const QString& message);
    // What placing a request checks, once before the keep days are asked and
    // again under the reader's lock before the request is written.
    struct PlacingCheck {
        QString certId, callNo, location, circType, today;
        int rule = -1;
    };
    // The reads of the checks added to a batch (the reader's row first when
    // locked), and the checks over their rows: 0 passed, else -1 after the
    // refusal (ending the transaction first when locked).
    struct PlacingReads {
        int queue = -1, arrived = -1, sameTitle = -1, loans = -1, requests = -1;
    };
    // Locked, the reader's row comes first, then the queue `queueLock` holds,
    // then the reader's rows.
    PlacingReads addPlacingReads(LIB_DB_Batch& batch, const PlacingCheck& check, bool locked,
                                 const QString& queueLock = QString());
    int intCheckPlacing(const LIB_DB_Batch& batch, const PlacingReads& at, const PlacingCheck& check, bool locked);
    // Refreshes the listed holding rows of a queue after a request left it.
    void subQueueLeft(const QString& callNo, const QString& location, int queued);

    void fillPanel();
    // The panel's loan count: "count / most".
    void setLoanCount(int count, const QString& maxLend);
    // The panel's lend totals: "year/total".
    void setLendTotals();
    // A loan made: the reader's year and total lend counts grow by one, as the
    // lend procedure counts them.
    void countLend();
    int readLoans(const QString& certId, const QString& now, QVector<LoanRow>& rows);
    // The reader's loans read in a batch, and their rows.
    static int addLoans(LIB_DB_Batch& batch, const QString& certId);
    static void takeLoans(const LIB_DB_Batch& batch, int at, const QString& now, QVector<LoanRow>& rows);
    QString today();
    // Sends a batch, its statements counted and logged; 0, or -1 with the
    // pending error.
    int run(LIB_DB_Batch& batch);
    // Sends a batch that opens the transaction: 0 sent; else -1 after the
    // report (when the transaction opened, `failed` ends it and reports).
    int runOpening(LIB_DB_Batch& batch, const std::function<int()>& failed);
    // Sends the writes of an action with the worker's workload call behind
    // them and the commit: 0 committed, -1 failed (the transaction still open
    // when a write failed). A failed workload call undoes only itself, as
    // when it is sent alone; the writes are committed after it all the same.
    int writeWithWorkload(LIB_DB_Batch& writes, const QString& workloadCall);
    // The same with several workload calls, each failing alone. `after` adds
    // the reads that travel behind the COMMIT in the same round trip (run
    // only when it went through) to the batch that carries it, given back in
    // `committed` with their rows (`writes` keeps the rows of its own
    // statements). 1: committed, a read behind it failed (the pending error).
    int writeWithWorkload(LIB_DB_Batch& writes, const QStringList& workloadCalls,
                          const std::function<void(LIB_DB_Batch&)>& after = {},
                          LIB_DB_Batch* committed = nullptr);
    // Adds the query of the records a sub-query names to a batch, when the
    // records are read here (no titleTexts hook): its index, or -1.
    int addTexts(LIB_DB_Batch& batch, const QString& numbers);
    // The same for a sub-query with parameters $1, $2, ..., as a named
    // prepared statement (planned once per session).
    int addTexts(LIB_DB_Batch& batch, const QString& name, const QString& numbers, const QList<QVariant>& params);
    // Title, responsibility and publisher of each record: from the batch's
    // record query (at >= 0), through the hook, or in one query of their own.
    QVector<QStringList> textsOf(const QStringList& marcRecNos, LIB_DB_Batch* batch = nullptr, int at = -1);
    // The request list from its query's rows.
    void fillRequests(const DBResultSet& rs, const QVector<QStringList>& texts, int mark);
    // The request list's reads added to a batch, and the list from their rows.
    struct ListReads {
        int list = -1, texts = -1;
    };
    ListReads addRequestList(LIB_DB_Batch& batch);
    void takeRequestList(LIB_DB_Batch& batch, const ListReads& at, int mark);
    // Sends an action's writes with the commit and the request list read
    // again behind it: 0 committed and listed; 1 committed, the list not read
    // (reported, the list emptied); -1 the writes or the commit failed (the
    // pending error kept, the transaction maybe still open).
    int writeThenList(LIB_DB_Batch& writes, int mark);
    // The request list query for the current reader added to a batch, and the
    // sub-query of its records (its parameter $1 the reader).
    static int addRequestListQuery(LIB_DB_Batch& batch);
    static QString requestRecordsSQL();
    int searchTitles(const QString& sql, const QString& text, bool byCallNo);
    // The record query of the next page of waiting titles added to a batch
    // (see addTexts), and the page moved to the listed titles with the texts
    // of that query's rows: the titles added.
    int addPageTexts(LIB_DB_Batch& batch);
    int takeTitlePage(LIB_DB_Batch& batch, int textsAt);
    // The reads of a call number's holdings added to a batch, and the
    // holdings of a title listed from their rows.
    struct HoldingReads {
        int items = -1, circ = -1, queues = -1;
    };
    static HoldingReads addHoldingReads(LIB_DB_Batch& batch, const QString& callNo);
    void fillHoldings(TitleRow& title, const LIB_DB_Batch& batch, const HoldingReads& at);

    DBResultSet m_recRedr;
    bool m_readerShown = false;
    ReaderPanel m_panel;
    QVector<ViolationRow> m_violations;
    bool m_violationsFront = false;
    QVector<LoanRow> m_loans;
    QVector<ArrivedRow> m_arrived;
    QVector<TitleRow> m_titles;
    QVector<TitleRow> m_waiting; // found, with their call numbers, records not read
    QString m_selectedCallNo;
    QVector<RequestRow> m_requests;
    int m_markedRequest = -1;
    int m_statements = 0;
};

// The statement that holds a request queue for the open transaction (see
// ConsignDesk::lockQueue): every writer of a queue, in any window, runs it.
QString strQueueLockSql(const QString& callNo, const QString& location);
// Its lock as an expression of two SQL expressions (literals or parameters).
QString strQueueLockExpr(const QString& callNo, const QString& location);

// The reader panel's word for a reader's sex code ("M", "F", anything else).
QString strSexName(const QString& sex);

// Copies the reader type's name and limits from the reader-type cache into a
// reader record (empty when the type is not in the cache).
void subMergeRedrType(DBResultSet& record);
// The silent requester check into a reader record of the caller's own (the
// desk's, or the find desk's): 0 fit to borrow, -1 not, -2 the check failed
// (reported; the caller stops rather than pass the requester over). Shows no
// message for an unfit requester; leaves no transaction open.
int intCheckApplicant(const QString& certId, DBResultSet& record);
// The reads of the requester check for every requester `who` names (a query
// of reader numbers), added to a batch that runs in a transaction: the reader
// rows with their valid cards and the open violations in reader-number order
// (read, not locked), the server's date and the loans. Several requesters
// cost one round trip. With a name, `who` may use parameters $1, $2, ...
// (`params`) and the reads go as prepared statements of that name's family,
// planned once per session: one name, one text of `who`.
ApplicantReads addApplicantReads(LIB_DB_Batch& batch, const QString& who, const QString& name = QString(),
                                 const QList<QVariant>& params = {});
// The requester check of one of them on those reads, its tests in their
// order, into a reader record: 0 fit, -1 not.
int intJudgeApplicant(const LIB_DB_Batch& batch, const ApplicantReads& at, const QString& certId,
                      DBResultSet& record);
// The rows of a result whose column `col` holds `key`, in their order, with
// the result's field names and types.
DBResultSet rowsOf(const DBResultSet& rs, int col, const QString& key);
// The rows whose column `col` holds a value `keep` accepts.
DBResultSet rowsOf(const DBResultSet& rs, int col, const std::function<bool(const QString&)>& keep);

} // namespace desk
