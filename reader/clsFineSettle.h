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
// Rows settled or changed elsewhere meanwhile end the click with nothing
// written and the list read again. cancel() and release() roll back whatever
// is pending. After a correction of the stored total or a commit nothing can
// be paid or waived until load() runs again.
//
// Messages and questions go through intShowMsg / intShowDBError.

#include "common/DBResultSet.h"
#include "reader/basFineMoney.h"

#include <QString>
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

    // Title of a MARC record; by default read from the catalogue.
    std::function<QString(const QString& marcRecNo)> fnTitle;

    clsFineSettle();

    LoadResult load(const QString& certId);
    LoadResult lastLoad() const { return lastLoad_; }

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
    // Reads the list again (twice when the stored total had to be put right).
    void subReload();
    // Inside the click's transaction, after the reader row: locks the ticked
    // rows and checks each is still open with the amount shown. 1 unchanged;
    // 0 changed (rolled back, list read again, said so); -1 failed (rolled
    // back, error shown).
    int intLockTicked(const QVector<int>& ticked);
    QString strNewBillNo(QString* serverDateTime);
    // The typed bill number, or, when none was typed, a free one made from the
    // server clock (its clock digits in *madeFrom); "" when none could be made
    // (the error is shown).
    QString strBillNo(const QString& typed, bool withReduction, QString* madeFrom);
    // The first of base, base-1, base-2, ... that the journal does not hold
    // (nor, for a reduction, followed by "C").
    QString strFreeBillNo(const QString& base, bool withReduction);
    int intCheckBill(const QString& billNo, const QString& usedMessage);
    // Writes a journal row; a number made from the clock (madeFrom not empty)
    // that another desk took meanwhile is replaced by the next free one. False
    // with *refusal = usedMessage for a number taken, or with the database
    // error pending; shows nothing.
    bool blnJournal(const QString& type, int payMode, const QString& dateTime, QString& billNo,
                    const QString& madeFrom, bool withReduction, Cents amount, const QString& usedMessage,
                    QString* refusal);
    // Rolls back, then shows the refusal (or the pending database error).
    void subRefuse(const QString& message);
    bool blnUpdateReader(Cents debt, std::optional<Cents> obligate);
    // Marks a fine row settled under the bill with the amount charged for it.
    bool blnSettleRow(const FineRow& row, Cents charged, const QString& billNo, const QString& dateTime,
                      const QString& remark);
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
