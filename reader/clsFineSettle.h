#pragma once
// Overdue-fine settlement of one reader, without a window.
//
// load() reads the reader's open fine rows and figures without a lock and
// leaves no transaction open, so other desks work on the reader while the
// window shows. The worker ticks rows and pays or waives; pay() and waive()
// begin a transaction, lock the reader row and the ticked fine rows (waiting
// within the lock time-out), check that each ticked row is still open with the
// amount shown, then write the fine rows, the reader's unpaid total and
// prepaid balance, the money journal and the workload counters and commit.
// The locks travel with the transaction's begin and the re-check's reads, the
// writes with the commit: a click costs the same round trips however many
// fines it settles.
// Rows settled or changed elsewhere meanwhile end the click with nothing
// written and the list read again. cancel() and release() roll back whatever
// is pending. After a correction of the stored total or a commit nothing can
// be paid or waived until load() runs again.
//
// Messages and questions go through intShowMsg / intShowDBError.

#include "common/DBResultSet.h"
#include "common/basDBBatch.h"
#include "reader/basFineMoney.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// What a receipt shows of a committed settlement.
struct FineReceipt {
    enum class Kind { Paid, Waived };
    struct Row {
        QString propNo;
        QString barCode;
        QString title;
        Cents fine = 0;
        Cents charged = 0;
        // As the fine list shows them.
        QString lendDate;
        QString retDate;
        QString overdue;
        QString location; // its name
        QString normRetDate;
        QString remark;
    };
    Kind kind = Kind::Paid;
    QString certId;
    QString redrName;
    QString billNo;
    QString dateTime;
    QString workerNo;
    int payMode = 0;        // 0 cash, 1 card, 2 prepaid balance
    Cents allowed = 0;      // chargeable total of the settled rows
    Cents collected = 0;    // amount taken (0 for a waiver)
    Cents reduction = 0;    // amount let go
    Cents obligateAfter = 0; // prepaid balance after a prepaid payment
    QVector<Row> rows;
};

// The print step of a settlement: runs after the commit only. The slip window
// installs it; without one nothing prints.
using FineReceiptPrinter = std::function<void(const FineReceipt&)>;
extern FineReceiptPrinter g_fnPrintFineReceipt;

// Whether reader `certId` owes enough (0.10 or more) for a settlement to be
// opened: sets g_strCertID and reads the stored unpaid total into
// g_dblExceedFine. False for an empty id, and for a failed read (shown to no
// one; g_dblExceedFine then stays as it was).
bool blnFineDue(const QString& certId);

class clsFineSettle {
public:
    struct FineRow {
        QString propNo;
        QString barCode;
        QString marcRecNo;
        QString lendDate;
        QString retDate;
        Cents fine = 0;
        QString location;
        QString normRetDate;
        QString remark;
        QString timeUnit;
        QString title;
        bool refused = false; // this desk may not settle fines of that location
        bool ticked = false;
    };

    enum class LoadResult {
        Ready,     // rows read; nothing locked, no transaction open
        Failed,    // read failed (error shown)
        Corrected  // stored unpaid total corrected and committed; read again before settling
    };

    enum class Focus { None, Amount, BillNo };

    struct PayInput {
        QString amountText;
        QString billNo;
        QString remark;
        int payMode = 0;
    };

    struct Outcome {
        bool done = false;       // committed
        bool reloaded = false;   // the ticked rows changed elsewhere: nothing written, rows read again
        QString amountText;      // what the amount box shows afterwards
        QString billNo;          // what the bill box shows afterwards
        Focus focus = Focus::None;
    };

    // Title of a MARC record; when unset, the titles of all listed fines come
    // from the catalogue with the fines, in the same round trip.
    std::function<QString(const QString& marcRecNo)> fnTitle;

    clsFineSettle();

    LoadResult load(const QString& certId);
    LoadResult lastLoad() const { return lastLoad_; }
    // load(), once more when the stored total had to be put right, so the
    // rows stand ready to settle; the result of the last load.
    LoadResult loadReady(const QString& certId);

    // State after load().
    const QString& certId() const { return certId_; }
    const DBResultSet& varFine() const { return varFine_; }
    const QVector<FineRow>& rows() const { return rows_; }
    // The rows as last read are the basis of a settlement (the last load was
    // Ready and nothing was settled since).
    bool blnReady() const;
    QString strRedrName() const { return redrName_; }
    Cents lngObligate() const { return obligate_; }
    bool blnReaderRead() const { return readerRead_; }
    Cents lngTotal() const { return total_; }
    Cents lngAllowed() const;
    int intCount() const;
    Cents lngMaxFine() const { return lngAllowed() + 5; }
    // The amount to propose for the ticked rows (none for an unknown rounding mode).
    std::optional<Cents> optProposal() const;

    // Ticks or unticks a row. A refused row stays unticked and its message is
    // shown; returns false then.
    bool blnSetTicked(int index, bool ticked);

    // Button states.
    bool blnPayEnabled() const;
    bool blnWaiveEnabled() const;
    bool blnAmountEditable() const;

    Outcome pay(const PayInput& in);
    Outcome waive(const PayInput& in);

    // Cancel: rolls back; g_dblExceedFine takes the total of all open rows.
    void cancel();
    // Closing the window in any other way: rolls back whatever is pending.
    void release();

private:
    LoadResult loadRows(const QString& certId);
    bool blnGuardReady();
    void subFail(bool rollback);
    // Begins the click's transaction and, in one round trip, locks what it
    // settles (the reader's cards when `cardsSQL` is given, the reader row
    // with `readerSQL`, then the ticked rows), reads the server's date-time
    // and, for a number made from the clock, the journal's numbers of that
    // second. 1 the ticked rows unchanged (locks held, *reader, *now and
    // *bill read); 0 changed (rolled back, list read again, said so); -1
    // failed (rolled back, error shown).
    int intLockAndRead(const QString& cardsSQL, const QString& readerSQL, const QVector<int>& ticked,
                       const QString& madeFrom, bool withReduction, DBResultSet* reader, QString* now,
                       QString* bill);
    // Locks the reader row, reading `columns` of it.
    QString strLockReaderSQL(const QString& columns) const;
    QString strLockTickedSQL(const QVector<int>& ticked) const;
    // Whether the locked rows are the ticked ones, still open with the amounts
    // shown; if not, rolls back, reads the list again and says so.
    bool blnTickedUnchanged(const QVector<int>& ticked, const DBResultSet& locked);
    // The typed bill number, or, when none was typed, a free one made from the
    // server clock (its clock digits in *madeFrom); "" when none could be made
    // (the error is shown).
    QString strBillNo(const QString& typed, bool withReduction, QString* madeFrom);
    // The first of base, base-1, base-2, ... that the journal does not hold
    // (nor, for a reduction, followed by "C"); read now, or from the rows of
    // strBillNosSQL(base).
    QString strFreeBillNo(const QString& base, bool withReduction);
    static QString strBillNosSQL(const QString& base);
    static QString strFirstFreeBill(const QString& base, bool withReduction, const DBResultSet& taken);
    int intCheckBill(const QString& billNo, const QString& usedMessage);
    // The writes of a click, journal rows first (`journals` of them), for a
    // bill number.
    using Writes = std::function<void(LIB_DB_Batch&, const QString& billNo)>;
    // Sends the writes with the workload calls behind them and the commit, in
    // one round trip. A number made from the clock (madeFrom not empty) that
    // another desk took meanwhile moves on to the next free one and the writes
    // go again; a typed number taken is refused with `usedMessage`. A failed
    // workload call undoes only itself: the rest goes on. 0 committed; 1 a
    // journal row refused or failed; -1 another write failed (both rolled back
    // and shown).
    int intWriteAndCommit(const Writes& writes, int journals, const QStringList& workloads, QString& bill,
                          const QString& madeFrom, bool withReduction, const QString& usedMessage);
    // Rolls back, then shows the refusal (or the pending database error).
    void subRefuse(const QString& message);
    QString strJournalCall(const QString& type, int payMode, const QString& dateTime, const QString& billNo,
                           Cents amount) const;
    QString strUpdateReaderCall(Cents debt, std::optional<Cents> obligate) const;
    // Marks a fine row settled under the bill with the amount charged for it;
    // `dateTime` is an SQL value.
    QString strSettleRowCall(const FineRow& row, Cents charged, const QString& billNo, const QString& dateTime,
                             const QString& remark) const;
    void subPrint(FineReceipt receipt);
    static FineReceipt::Row receiptRow(const FineRow& row, Cents charged);

    QString certId_;
    DBResultSet varFine_;
    QVector<FineRow> rows_;
    Cents total_ = 0;
    QString redrName_;
    Cents obligate_ = 0;
    bool readerRead_ = false;
    bool ready_ = false;
    LoadResult lastLoad_ = LoadResult::Failed;
};
