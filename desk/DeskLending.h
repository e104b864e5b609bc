#pragma once
// The desk's lend and return modes without their window: the pick-up of an
// arrived copy, ordinary lending, the return with its overdue fine, and the
// hand-on of a copy returned away from home to the first fit requester.
//
// One lending core serves the ordinary lending (refusals shown as messages)
// and the hand-on (silent: stop or pass the requester over). Every action
// asks its questions first and only then locks, re-checks and writes, so no
// row stays locked while a dialog waits for the worker.

#include "desk/ConsignDesk.h"

#include <QString>
#include <QVector>

#include <functional>

namespace desk {

// A window that lends: the attachment dialog shows and sets its attachment text.
class LendingWindow {
public:
    virtual ~LendingWindow() = default;
    virtual QString strAttachment() const = 0;
    virtual void setStrAttachment(const QString& text) = 0;
};

// The copy row of a lending: item joined to its title.
struct LendCopy {
    QString propNo, marcRecNo, location, callNo, barCode, bookStatCode, bookLendFlag, attachment, titleGrade,
        circType, price, inDate;
};

// Where the reads a lending judges on stand in a batch (DeskLending::addFactReads).
struct LendFactReads {
    int copy = -1, borrower = -1, arrivals = -1, loans = -1, shelf = -1;
};

// The request the find desk serves: its queue number, pick-up location and
// date; and, when the scan read them, the lending's first reads (unlocked).
struct FoundRequest {
    QString relegateNo, relegateLocation, relegateDate;
    const LIB_DB_Batch* facts = nullptr;
    LendFactReads factsAt;
};

// What the find desk lent: the copy (at its working location), the requester,
// the pick-up location, the found date and the keep end date.
struct FoundCopy {
    LendCopy copy;
    QString certId, name, pickUp, arriDate, keepEndDate;
    bool moveFailed = false; // a copy without location could not be moved to the desk's
};

// One row of the return grid, newest first.
struct ReturnRow {
    QString barCode, marcRecNo, callNo, location, lendDate, normRetDate, overdueText;
    bool overdue = false;
};

class DeskLending : public LendingWindow {
public:
    // A plain message box of the circulation desks (error boxes beep).
    static void plainBox(bool error, const QString& text);
    explicit DeskLending(ConsignDesk& desk);

    // ---- hooks -----------------------------------------------------------------
    // The attachment dialog over a lending window (frmAttachment).
    std::function<void(LendingWindow&)> showAttachment;

    // ---- settings (per-user, read by the window before each action) -------------
    int fineReturn = 0;  // not 0: fine window after a return
    int returnClear = 1; // 1: the return grid empties for a new borrower

    // ---- lend mode -------------------------------------------------------------
    // A scanned bar code in the lend mode: the reader's arrived copy is
    // collected, any other copy goes to ordinary lending. 0 collected, -1 otherwise.
    int subLendReleBook(const QString& code);
    // Ordinary lending to the loaded reader: 0 lent, -1 refused or failed.
    int subLendBook(const QString& code);
    // Bar code of the loan row last lent or collected (the highlighted row).
    QString markedLoan() const { return m_markedLoan; }
    void clearMarkedLoan() { m_markedLoan.clear(); }

    // ---- find desk -------------------------------------------------------------
    // Lends a scanned copy to the requester the desk's reader record holds (just
    // checked), serving the request: 0 lent (lentFound() tells what), 1 stop with
    // the copy's message shown, -1 pass the requester over.
    int intLendFound(const QString& barCode, const FoundRequest& request);
    // The reads a lending judges on, added as prepared statements of the
    // family `prefix`: the copy (whose column `key` of item holds `code`, $1)
    // with its loan and the free copies on the shelf, and the reserved
    // arrivals and loans of the readers that `whose` names (a condition on a
    // reader number, "= $1" or an IN of a sub-query) with `readerParams`.
    // `locked` locks the copy and the loans (their readers locked before).
    static LendFactReads addFactReads(const QString& key, const QString& code, bool locked, LIB_DB_Batch& batch,
                                      const QString& prefix, const QString& whose,
                                      const QList<QVariant>& readerParams);
    const FoundCopy& lentFound() const { return m_lent; }
    // The find desk's copy display, once the copy row is read.
    std::function<void(const LendCopy&)> showCopy;

    // ---- return mode -------------------------------------------------------------
    // 0 when the return was recorded and listed, -1 when it stopped earlier.
    int subReturnBook(const QString& code);
    // The hand-on of a returned copy, inside the return's transaction, to the
    // candidates the return read (m_candidates) in queue order, each judged by
    // the requester check on the batch's reads: 0 lent and the return
    // committed with it, -1 nobody took it (the transaction still open), -2
    // failed (rolled back and reported).
    int subPassToApplicant(const QString& propNo, const LIB_DB_Batch& checks, const ApplicantReads& at);
    // Lends the copy to the requester just checked: 0 lent, 1 stop, -1 pass
    // over, -2 failed.
    int intLendToApplicant(const QString& propNo);

    const QVector<ReturnRow>& returns() const { return m_returns; }
    void clearReturns() { m_returns.clear(); }

    // State the return sets.
    QString m_strRetRedr;
    QString m_strAttachment;

    QString strAttachment() const override { return m_strAttachment; }
    void setStrAttachment(const QString& text) override { m_strAttachment = text; }

private:
    struct Outcome {
        QString message; // what the ordinary lending shows ("" none)
        int silent = 0;  // what the hand-on makes of it: 1 stop, -1 pass over, 0 go on
    };
    struct LendFacts {
        LendCopy copy;
        bool haveCopy = false;
        QString group;    // location group of the copy's location
        QString now;      // the server's date and time
        QString borrower; // of the copy's loan, when flagged on loan
        bool haveLoan = false;
        QVector<QStringList> arrivals; // the reader's waiting reserved arrivals (prop_no, call_no_f)
        DBResultSet loans;             // the reader's loans: cert_id, location, circ_type, call_no
        int shelf = 0;
        int rule = -1;
    };
    enum class Lender { Desk, HandOn, Find };

    // The lending core. `code` is a bar code (Desk) or a property number (HandOn).
    int lendCopy(Lender who, const QString& code);
    // Reads the copy (whose column `key` of item holds `code`), its loan,
    // the reader's reserved arrivals and loans and the free copies on the
    // shelf; `locked` locks the reader, the copy and the reader's loans first.
    // All in one batch (the caller's: a locked one opens the transaction),
    // `more` adds what the caller reads after them.
    int readFacts(const QString& key, const QString& code, bool locked, LendFacts& f, LIB_DB_Batch& batch,
                  const std::function<void(LIB_DB_Batch&)>& more = {});
    // The facts of reader `certId` from those reads.
    static void takeFacts(const LIB_DB_Batch& batch, const LendFactReads& at, const QString& certId,
                          LendFacts& f);
    // The checks of a lending in their order, on what readFacts read.
    Outcome judge(const LendFacts& f, const QString& certId, const QString& grade, const QString& redrType,
                  int& rule, bool& reservedOk);
    int lendFailed(); // report, -1
    // A hand-on attempt that failed (the return's own statements went
    // before it). A deadlock or a lost session undo the whole return (-2,
    // reported); any other failure undoes the attempt back to its savepoint,
    // writes the requester to the daily log, keeps the error for the report
    // after the commit and passes the requester over (-1).
    int handOnAttemptFailed(const QString& certId, const QString& propNo);

    int pickUpFailed(const QString& message);
    // A change as a query of the number of rows it changed.
    static QString countedChange(const QString& sql);

    ConsignDesk& m_desk;
    QString m_markedLoan;
    QVector<ReturnRow> m_returns;
    QString m_prevRetRedr;
    // The hand-on's candidates: cert_id, relegate_no, relegate_location.
    DBResultSet m_candidates;
    int m_chosen = -1;
    // The return whose copy is being handed on, its transaction open.
    struct HandOnReturn {
        QString borrower;         // of the returned loan, for the lent-on row
        QString callNo, location; // the copy's title and stored location: the queue
        QString workload;         // the return's workload call, sent with the commit
        std::function<void(LIB_DB_Batch&)> after; // the return's reads behind the commit
        LIB_DB_Batch committed;   // the batch that committed, with those reads
        int written = -1;         // what writeWithWorkload made of it
        // The lending's locked reads of every requester queued, read with the
        // return's closing (null when they failed there: each attempt reads
        // its own), and the queue's waiting requests (cert_id, relegate_no).
        const LIB_DB_Batch* facts = nullptr;
        LendFactReads factsAt;
        int queueAt = -1;
    };
    HandOnReturn m_return;
    // A database error reported later than it happened: the one of the first
    // requester passed over for a failure, or of a read behind the commit,
    // reported once the return has committed (no box while the locks hold).
    struct KeptError {
        int kind = 0;
        long number = 0;
        QString msgCode, text, proc, sql;
        static KeptError pending(); // the pending error
        void show() const;          // made pending again and reported
    };
    KeptError m_handOnError;
    QString m_now;            // server time of the action
    FoundRequest m_found;     // the find desk's request being served
    FoundCopy m_lent;
};

} // namespace desk
