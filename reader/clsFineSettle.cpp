#include "reader/clsFineSettle.h"

#include "common/LoginState.h"
#include "common/basAuth.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMsg.h"
#include "platform/oradb/SqlText.h"
#include "reader/ReaderContext.h"

#include <QHash>
#include <QSet>
#include <QStringList>

FineReceiptPrinter g_fnPrintFineReceipt;

namespace {

const QString kRightPay = QStringLiteral("4005");
const QString kRightReduce = QStringLiteral("4024");
const QString kMsgNotLoaded = QStringLiteral("E超期罚款记录尚未重新读取,请关闭窗口后重新结算!");
// The ticked fines were settled or changed at another desk meanwhile.
const QString kMsgChanged = QStringLiteral("ELT286");
const QString kMsgBadAmount = QStringLiteral("E实罚款额输入错误!");
const QString kMsgBillUsed = QStringLiteral("E票据号已存在!");
const QString kMsgBillUsedWaive = QStringLiteral("ELT179");

QString q(const QString& text) { return strSQLQuote(text); }

QString nulls(int n)
{
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << QStringLiteral("NULL");
    return l.join(QLatin1Char(','));
}

} // namespace

bool blnFineDue(const QString& certId)
{
    if (certId.isEmpty())
        return false;
    g_strCertID = certId;
    DBResultSet rs;
    g_strSQL = QStringLiteral("SELECT debt_flag FROM reader WHERE cert_id=") + q(certId);
    g_intSQLRet = LIB_DB_Select(g_strSQL, rs);
    if (g_intSQLRet < 0)
        return false;
    g_dblExceedFine = rs.rowCount() > 0 ? rs.number(0, 0) : 0.0;
    return lngMoneyFromDouble(g_dblExceedFine) >= 10;
}

clsFineSettle::clsFineSettle() = default;

bool clsFineSettle::blnReady() const
{
    return ready_;
}

Cents clsFineSettle::lngAllowed() const
{
    Cents a = 0;
    for (const FineRow& r : rows_)
        if (r.ticked)
            a += r.fine;
    return a;
}

int clsFineSettle::intCount() const
{
    int n = 0;
    for (const FineRow& r : rows_)
        n += r.ticked ? 1 : 0;
    return n;
}

std::optional<Cents> clsFineSettle::optProposal() const
{
    return optProposeFine(lngAllowed(), varGetSysPara(9).toInt());
}

bool clsFineSettle::blnPayEnabled() const
{
    return ready_ && lngAllowed() >= 10 && blnCheckAuth(kRightPay, false);
}

bool clsFineSettle::blnWaiveEnabled() const
{
    return ready_ && intCount() > 0;
}

bool clsFineSettle::blnAmountEditable() const
{
    return blnCheckAuth(kRightReduce, false);
}

clsFineSettle::LoadResult clsFineSettle::load(const QString& certId)
{
    lastLoad_ = loadRows(certId);
    return lastLoad_;
}

clsFineSettle::LoadResult clsFineSettle::loadRows(const QString& certId)
{
    certId_ = certId;
    rows_.clear();
    total_ = 0;
    ready_ = false;

    // Read without a lock and without a transaction: the window may stay open
    // as long as the worker likes, and a click locks what it settles. A fine
    // whose copy row is gone is listed all the same.
    const QString open = QStringLiteral("exceed_fine_lst.cert_id = ") + q(certId)
                         + QStringLiteral(" AND exceed_fine_lst.debt_deal_flag = ") + q(QStringLiteral("0"));
    const QString finesSQL =
        QStringLiteral("SELECT exceed_fine_lst.prop_no, item.bar_code, item.marc_rec_no, exceed_fine_lst.lend_date, "
                       "exceed_fine_lst.ret_date, exceed_fine_lst.fine_amt, exceed_fine_lst.location_f, "
                       "exceed_fine_lst.norm_ret_date, exceed_fine_lst.remark, exceed_fine_lst.time_unit "
                       "FROM exceed_fine_lst LEFT JOIN item ON item.prop_no = exceed_fine_lst.prop_no "
                       "WHERE ")
        + open + QStringLiteral(" ORDER BY exceed_fine_lst.lend_date, exceed_fine_lst.prop_no");
    const QString readerSQL = QStringLiteral("select obligate, name from reader where cert_id = ") + q(certId);
    // The fines, the reader and the records of the fines' titles travel
    // together: one round trip however many fines.
    const QString titlesSQL =
        fnTitle ? QString()
                : strMarcPageSQL(QStringLiteral("SELECT item.marc_rec_no FROM exceed_fine_lst JOIN item ON "
                                                "item.prop_no = exceed_fine_lst.prop_no WHERE ")
                                 + open);
    LIB_DB_ReadAhead ahead(fnTitle ? QStringList{finesSQL, readerSQL} : QStringList{finesSQL, readerSQL, titlesSQL});
    g_strSQL = finesSQL;
    g_intSQLRet = LIB_DB_Select(g_strSQL, varFine_);
    if (g_intSQLRet < 0) {
        subFail(false);
        return LoadResult::Failed;
    }

    QHash<QString, MarcRecord> records;
    if (!fnTitle) {
        QStringList nos;
        for (int i = 0; i < varFine_.rowCount(); ++i)
            if (!varFine_.text(i, 2).trimmed().isEmpty())
                nos << varFine_.text(i, 2);
        if (!nos.isEmpty())
            records = mapReadMarcsOf(titlesSQL, nos);
    }

    const QString desk = varGetSysInfo(3).toString();
    for (int i = 0; i < varFine_.rowCount(); ++i) {
        FineRow r;
        r.propNo = varFine_.text(i, 0);
        r.barCode = varFine_.text(i, 1);
        r.marcRecNo = varFine_.text(i, 2);
        r.lendDate = varFine_.text(i, 3);
        r.retDate = varFine_.text(i, 4);
        r.fine = lngMoneyFromDouble(varFine_.number(i, 5));
        r.location = varFine_.text(i, 6);
        r.normRetDate = varFine_.text(i, 7);
        r.remark = varFine_.text(i, 8);
        r.timeUnit = varFine_.text(i, 9);
        if (fnTitle) {
            r.title = fnTitle(r.marcRecNo);
        } else if (!r.marcRecNo.trimmed().isEmpty()) {
            g_recMarc = records.value(r.marcRecNo);
            r.title = strGetMarcTitle(g_recMarc, 0);
        }
        r.refused = !strCheckDeskLocation(desk, r.location, DeskFine).isEmpty();
        r.ticked = !r.refused;
        total_ += r.fine;
        rows_.append(r);
    }

    DBResultSet reader;
    g_strSQL = readerSQL;
    g_intSQLRet = LIB_DB_Select(g_strSQL, reader);
    readerRead_ = g_intSQLRet == 0;
    if (g_intSQLRet < 0) {
        intShowDBError();
    } else {
        obligate_ = lngMoneyFromDouble(reader.number(0, 0));
        redrName_ = reader.text(0, 1);
    }

    // The stored unpaid total must equal the open rows. The reader row is
    // locked first and the open rows summed after it in a statement of their
    // own: a fine another desk added and committed while this desk waited for
    // the row is in the sum, never lost from the stored total.
    if (lngMoneyFromDouble(g_dblExceedFine) != total_) {
        LIB_DB_BeginTrans();
        DBResultSet rs;
        g_strSQL = strLockReaderSQL(QStringLiteral("debt_flag"));
        if (LIB_DB_Select(g_strSQL, rs) < 0) {
            subFail(true);
            return LoadResult::Failed;
        }
        g_strSQL = QStringLiteral("SELECT coalesce(sum(fine_amt), 0) FROM exceed_fine_lst WHERE cert_id = ") + q(certId)
                   + QStringLiteral(" AND debt_deal_flag = ") + q(QStringLiteral("0"));
        if (LIB_DB_Select(g_strSQL, rs) < 0) {
            subFail(true);
            return LoadResult::Failed;
        }
        const Cents open = rs.rowCount() > 0 ? lngMoneyFromDouble(rs.number(0, 0)) : 0;
        g_strSQL = QStringLiteral("update reader set debt_flag = ") + strFormatMoney(open)
                   + QStringLiteral(" where cert_id = ") + q(certId);
        if (LIB_DB_Execute(g_strSQL) < 0) {
            subFail(true);
            return LoadResult::Failed;
        }
        if (LIB_DB_CommitTrans() < 0) {
            subFail(true);
            return LoadResult::Failed;
        }
        g_dblExceedFine = dblMoneyToDouble(open);
        return LoadResult::Corrected;
    }

    ready_ = true;
    return LoadResult::Ready;
}

bool clsFineSettle::blnSetTicked(int index, bool ticked)
{
    if (index < 0 || index >= rows_.size())
        return false;
    FineRow& r = rows_[index];
    if (r.refused) {
        r.ticked = false;
        if (ticked)
            intShowMsg(QStringLiteral("本地无权处理 ") + strLocationName(r.location) + QStringLiteral(" 的超期罚款"));
        return false;
    }
    r.ticked = ticked;
    return true;
}

bool clsFineSettle::blnGuardReady()
{
    if (ready_)
        return true;
    intShowMsg(kMsgNotLoaded);
    return false;
}

void clsFineSettle::subFail(bool rollback)
{
    // Rolled back before the report: no row stays locked while it shows.
    if (rollback)
        LIB_DB_Rollback();
    intShowDBError();
}

void clsFineSettle::subRefuse(const QString& message)
{
    if (message.isEmpty()) {
        subFail(true);
        return;
    }
    LIB_DB_Rollback();
    intShowMsg(message);
}

clsFineSettle::LoadResult clsFineSettle::loadReady(const QString& certId)
{
    // A stored total put right on the way is read once more, so the list
    // stands ready again.
    if (load(certId) == LoadResult::Corrected)
        load(certId);
    return lastLoad_;
}

int clsFineSettle::intLockAndRead(const QString& cardsSQL, const QString& readerSQL, const QVector<int>& ticked,
                                  const QString& madeFrom, bool withReduction, DBResultSet* reader, QString* now,
                                  QString* bill)
{
    LIB_DB_Batch b;
    b.begin();
    if (!cardsSQL.isEmpty())
        b.select(cardsSQL);
    const int readerAt = b.select(readerSQL);
    const int tickedAt = b.select(strLockTickedSQL(ticked));
    const int nowAt = b.serverDate();
    // Numbers other desks took in this second since the click made its own.
    const int takenAt = madeFrom.isEmpty() ? -1 : b.select(strBillNosSQL(madeFrom));
    if (b.run() != 0) {
        subFail(true);
        return -1;
    }
    if (!blnTickedUnchanged(ticked, b.rows(tickedAt)))
        return 0;
    *reader = b.rows(readerAt);
    *now = b.rows(nowAt).text(0, 0);
    if (takenAt >= 0)
        *bill = strFirstFreeBill(madeFrom, withReduction, b.rows(takenAt));
    return 1;
}

QString clsFineSettle::strLockReaderSQL(const QString& columns) const
{
    return QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM reader WHERE cert_id = ") + q(certId_)
           + QStringLiteral(" FOR UPDATE");
}

QString clsFineSettle::strLockTickedSQL(const QVector<int>& ticked) const
{
    QStringList keys;
    for (int i : ticked) {
        const FineRow& r = rows_[i];
        keys << QLatin1Char('(') + q(r.propNo) + QLatin1Char(',') + q(r.lendDate) + QLatin1Char(')');
    }
    return QStringLiteral("SELECT prop_no, lend_date, fine_amt, debt_deal_flag FROM exceed_fine_lst "
                          "WHERE cert_id = ")
           + q(certId_) + QStringLiteral(" AND (prop_no, lend_date) IN (") + keys.join(QLatin1Char(','))
           + QStringLiteral(") FOR UPDATE");
}

bool clsFineSettle::blnTickedUnchanged(const QVector<int>& ticked, const DBResultSet& rs)
{
    QHash<QString, const FineRow*> shown;
    for (int i : ticked)
        shown.insert(rows_[i].propNo + QChar(0x1f) + rows_[i].lendDate, &rows_[i]);
    bool same = rs.rowCount() == ticked.size();
    for (int i = 0; same && i < rs.rowCount(); ++i) {
        const FineRow* r = shown.value(rs.text(i, 0) + QChar(0x1f) + rs.text(i, 1));
        same = r && rs.text(i, 3) == QLatin1String("0") && lngMoneyFromDouble(rs.number(i, 2)) == r->fine;
    }
    if (same)
        return true;
    // Nothing is written: the click ends, and the worker sees the fines as
    // they stand now before deciding again.
    LIB_DB_Rollback();
    loadReady(certId_);
    intShowMsg(kMsgChanged);
    return false;
}

QString clsFineSettle::strBillNo(const QString& typed, bool withReduction, QString* madeFrom)
{
    // A NUL is no part of a bill number (no statement can carry one): a
    // number of NULs alone is no number, and one is made.
    const QString bill = oradb::sqltext::sendableText(typed).trimmed();
    if (madeFrom)
        madeFrom->clear();
    if (!bill.isEmpty())
        return bill;
    const QString made = strMakeBillNo(varGetSysInfo(0).toString());
    if (made.isEmpty()) {
        intShowDBError();
        return made;
    }
    if (madeFrom)
        *madeFrom = made;
    return strFreeBillNo(made, withReduction);
}

QString clsFineSettle::strFreeBillNo(const QString& base, bool withReduction)
{
    DBResultSet rs;
    g_strSQL = strBillNosSQL(base);
    if (LIB_DB_Select(g_strSQL, rs) != 0) {
        LIB_ClearDBError(); // the journal's unique key still refuses a number taken
        rs = DBResultSet();
    }
    return strFirstFreeBill(base, withReduction, rs);
}

QString clsFineSettle::strBillNosSQL(const QString& base)
{
    // The clock's digits hold no LIKE wildcard.
    return QStringLiteral("SELECT bill_no FROM deposit_account_lst WHERE bill_no LIKE ") + q(base + QLatin1Char('%'));
}

QString clsFineSettle::strFirstFreeBill(const QString& base, bool withReduction, const DBResultSet& taken)
{
    // Several desks take payments in the same second: a number made from the
    // clock gets "-1", "-2", ... behind it until it (and its reduction's "C"
    // number) is free.
    QSet<QString> used;
    for (int i = 0; i < taken.rowCount(); ++i)
        used.insert(taken.text(i, 0));
    for (int n = 0;; ++n) {
        const QString bill = n == 0 ? base : base + QLatin1Char('-') + QString::number(n);
        if (!used.contains(bill) && !(withReduction && used.contains(bill + QLatin1Char('C'))))
            return bill;
    }
}

// 0 the number is free; 1 already used (message shown); -1 the count failed.
int clsFineSettle::intCheckBill(const QString& billNo, const QString& usedMessage)
{
    const int n = intBillNoCount(billNo);
    if (n < 0)
        return -1;
    if (n > 0) {
        intShowMsg(usedMessage);
        return 1;
    }
    return 0;
}

int clsFineSettle::intWriteAndCommit(const Writes& writes, int journals, const QStringList& workloads, QString& bill,
                                     const QString& madeFrom, bool withReduction, const QString& usedMessage)
{
    bool written = false; // the writes went through; workload calls remain
    int from = 0;         // the first workload call not yet sent
    for (int attempt = 0;;) {
        LIB_DB_Batch b;
        if (!written)
            writes(b, bill);
        const int first = b.count();
        for (int k = from; k < workloads.size(); ++k)
            b.callProc(workloads[k]);
        b.commit();
        if (b.run() == 0)
            return 0;
        const int at = b.failedAt();
        if (at >= first && LIB_DB_InTrans()) {
            // A failed counter does not stop the settlement.
            LIB_ClearDBError();
            written = true;
            from += at - first + 1;
            continue;
        }
        if (written || at < 0 || at >= journals) {
            subFail(true);
            return -1;
        }
        // A journal row, written first: a number taken by another desk
        // meanwhile stops the click before anything else is written.
        if (intGetOraErrNo() != 1) {
            subFail(true); // the pending error is the reason
            return 1;
        }
        LIB_ClearDBError();
        if (at == 0 && !madeFrom.isEmpty() && attempt++ < 20) {
            bill = strFreeBillNo(madeFrom, withReduction);
            continue;
        }
        // A refusal rolls back at once: no other desk waits for this
        // reader's rows while the message shows.
        subRefuse(usedMessage);
        return 1;
    }
}

QString clsFineSettle::strJournalCall(const QString& type, int payMode, const QString& dateTime, const QString& billNo,
                                      Cents amount) const
{
    return QStringLiteral("INSERT_DEPOSIT_ACCOUNT_LST ") + q(certId_) + QLatin1Char(',') + q(type) + QLatin1Char(',')
           + q(QString::number(payMode)) + QLatin1Char(',') + q(QStringLiteral("1")) + QLatin1Char(',')
           + q(dateTime) + QLatin1Char(',') + q(billNo) + QLatin1Char(',') + q(g_strWkrNo) + QLatin1Char(',')
           + q(strFormatMoney(amount));
}

QString clsFineSettle::strUpdateReaderCall(Cents debt, std::optional<Cents> obligate) const
{
    return QStringLiteral("LT_UPD_reader_new ") + q(certId_) + QLatin1Char(',') + nulls(17) + QLatin1Char(',')
           + strFormatMoney(debt) + QLatin1Char(',') + nulls(10) + QLatin1Char(',')
           + (obligate ? strFormatMoney(*obligate) : QStringLiteral("NULL")) + QStringLiteral(",NULL");
}

QString clsFineSettle::strSettleRowCall(const FineRow& row, Cents charged, const QString& billNo,
                                        const QString& dateTime, const QString& remark) const
{
    return QStringLiteral("LT_UPD_exceed_fine_lst ") + q(row.propNo) + QLatin1Char(',') + q(certId_)
           + QLatin1Char(',') + q(row.lendDate) + QLatin1Char(',') + nulls(8) + QLatin1Char(',')
           + strFormatMoney(charged) + QLatin1Char(',') + q(billNo) + QLatin1Char(',') + dateTime + QLatin1Char(',')
           + q(QStringLiteral("1")) + QLatin1Char(',') + q(g_strWkrNo) + QLatin1Char(',') + q(remark)
           + QStringLiteral(",NULL,NULL");
}

void clsFineSettle::subPrint(FineReceipt receipt)
{
    if (!g_fnPrintFineReceipt)
        return;
    receipt.certId = certId_;
    receipt.redrName = redrName_;
    receipt.workerNo = g_strWkrNo;
    g_fnPrintFineReceipt(receipt);
}

FineReceipt::Row clsFineSettle::receiptRow(const FineRow& row, Cents charged)
{
    FineReceipt::Row r;
    r.propNo = row.propNo;
    r.barCode = row.barCode;
    r.title = row.title;
    r.fine = row.fine;
    r.charged = charged;
    r.lendDate = strFineDateText(row.timeUnit, row.lendDate);
    r.retDate = strFineDateText(row.timeUnit, row.retDate);
    r.overdue = strOverdueText(row.timeUnit, row.normRetDate, row.retDate);
    r.location = strLocationName(row.location);
    r.normRetDate = row.normRetDate;
    r.remark = row.remark;
    return r;
}

clsFineSettle::Outcome clsFineSettle::pay(const PayInput& in)
{
    Outcome out;
    out.amountText = in.amountText.trimmed();
    out.billNo = in.billNo;
    if (!blnGuardReady())
        return out;
    if (!blnCheckAuth(kRightPay, true))
        return out;

    // 1. The amount: plain decimal, not negative.
    Cents t = 0;
    if (!blnParseMoney(out.amountText, &t) || t < 0) {
        intShowMsg(kMsgBadAmount);
        out.focus = Focus::Amount;
        return out;
    }
    out.amountText = strFormatMoney(t);

    // 2-3. The bill number, made from the server clock when none was typed.
    // A reduction is booked under the bill number followed by "C": both must be free.
    QString madeFrom;
    QString bill = strBillNo(out.billNo, lngAllowed() - t > 0, &madeFrom);
    if (bill.isEmpty())
        return out;
    out.billNo = bill;
    int billState = madeFrom.isEmpty() ? intCheckBill(bill, kMsgBillUsed) : 0;
    if (billState == 0 && madeFrom.isEmpty() && lngAllowed() - t > 0)
        billState = intCheckBill(bill + QLatin1Char('C'), kMsgBillUsed);
    if (billState != 0) {
        if (billState > 0)
            out.focus = Focus::BillNo;
        return out;
    }

    // 4. The question.
    QVector<int> ticked;
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].ticked)
            ticked.append(i);
    if (intShowMsg(QStringLiteral("W已选择") + QString::number(ticked.size())
                   + QStringLiteral("条记录,即将进行交款操作,是否继续?"))
        != 1)
        return out;

    // 5-6. Amount against the chargeable total.
    const Cents a = lngAllowed();
    const Cents r = a - t;
    if (a - 10 >= t) {
        if (!blnCheckAuth(kRightReduce, true))
            return out;
        if (t == 0) {
            intShowMsg(QStringLiteral("E实际罚款额为0,请使用免罚!"));
            out.focus = Focus::Amount;
            return out;
        }
    } else {
        if (t > lngMaxFine()) {
            intShowMsg(QStringLiteral("E实际罚款额过大!"));
            out.focus = Focus::Amount;
            return out;
        }
        if (t > a && intShowMsg(QStringLiteral("Q实际罚款额超过最大可罚款额,是否继续?")) != 1) {
            out.focus = Focus::Amount;
            return out;
        }
    }
    if (ticked.isEmpty())
        return out;

    // 7. A prepaid payment needs the balance the database holds now. Refused
    // here, the reader row is not locked: a window left open after this
    // refusal must not hold up the other desks' writes to the reader.
    const int mode = qBound(0, in.payMode, 2);
    const auto balanceTooSmall = [t](Cents obligate) {
        if (obligate - t >= 0)
            return false;
        intShowMsg(QStringLiteral("E读者预付款不足(") + strFormatMoney(obligate) + QStringLiteral("),不能罚款!"));
        return true;
    };
    if (mode == 2) {
        DBResultSet balance;
        g_strSQL = QStringLiteral("SELECT obligate FROM reader WHERE cert_id = ") + q(certId_);
        if (LIB_DB_Select(g_strSQL, balance) < 0) {
            subFail(false);
            return out;
        }
        obligate_ = balance.rowCount() > 0 ? lngMoneyFromDouble(balance.number(0, 0)) : 0;
        if (balanceTooSmall(obligate_))
            return out;
    }

    // 8. Nothing is held while the window shows: the click begins, locks the
    // reader row and then the ticked fine rows (each waiting within the lock
    // time-out), and settles only rows still open with the amounts shown. The
    // reader's totals are read under the lock: what is written is derived from
    // what the database holds, never from what the window showed earlier.
    DBResultSet reader;
    QString now;
    const int unchanged = intLockAndRead(QString(), strLockReaderSQL(QStringLiteral("debt_flag, obligate")), ticked,
                                         madeFrom, r > 0, &reader, &now, &bill);
    if (unchanged <= 0) {
        out.reloaded = unchanged == 0;
        return out;
    }
    const Cents debt = reader.rowCount() > 0 ? lngMoneyFromDouble(reader.number(0, 0)) : 0;
    const Cents obligate = reader.rowCount() > 0 ? lngMoneyFromDouble(reader.number(0, 1)) : 0;
    obligate_ = obligate;
    if (mode == 2 && obligate - t < 0) {
        // Spent elsewhere since the check above: the reader row is locked now,
        // so the click ends with everything rolled back.
        LIB_DB_Rollback();
        balanceTooSmall(obligate);
        return out;
    }
    // 10-11. Only an unpaid total above zero is taken over by the window.
    if (debt <= 0) {
        LIB_DB_Rollback();
        intShowMsg(QStringLiteral("E读者无未处理超期罚款记录,请检查!"));
        return out;
    }
    g_dblExceedFine = dblMoneyToDouble(debt);

    // 9. The rows, each charged its share of the amount.
    QVector<Cents> fines;
    for (int i : ticked)
        fines.append(rows_[i].fine);
    const QVector<Cents> charged = arrSplitFine(fines, t);
    // 10-12. Unpaid total (the reduction leaves the debt with the amount paid)
    // and, for a prepaid payment, the balance.
    const Cents newDebt = qMax<Cents>(0, debt - a);
    const std::optional<Cents> newObligate = mode == 2 ? std::optional<Cents>(obligate - t) : std::nullopt;

    // Journal first: a bill number taken by another desk meanwhile stops the
    // payment before anything else is written. Then the rows, the reader, the
    // workload (13; a failed counter does not stop the payment) and the
    // commit (15), together.
    const auto writes = [&](LIB_DB_Batch& b, const QString& billNo) {
        b.callProc(strJournalCall(QStringLiteral("5"), mode, now, billNo, t));
        if (r > 0)
            b.callProc(strJournalCall(QStringLiteral("6"), 0, now, billNo + QLatin1Char('C'), r));
        for (int k = 0; k < ticked.size(); ++k) {
            const FineRow& row = rows_[ticked[k]];
            const QString remark = in.remark + QStringLiteral(" LT2(") + row.remark + QLatin1Char(')');
            b.callProc(strSettleRowCall(row, charged[k], billNo, q(now), remark));
        }
        b.callProc(strUpdateReaderCall(newDebt, newObligate));
    };
    const int n = int(ticked.size());
    QStringList workloads{strJobQtyCall(QStringLiteral("415"), n, n, dblMoneyToDouble(t))};
    if (r > 0)
        workloads << strJobQtyCall(QStringLiteral("419"), n, n, dblMoneyToDouble(r));
    const int written = intWriteAndCommit(writes, r > 0 ? 2 : 1, workloads, bill, madeFrom, r > 0, kMsgBillUsed);
    out.billNo = bill;
    if (written != 0) {
        if (written > 0)
            out.focus = Focus::BillNo;
        return out;
    }
    FineReceipt receipt;
    for (int k = 0; k < ticked.size(); ++k)
        receipt.rows.append(receiptRow(rows_[ticked[k]], charged[k]));
    ready_ = false; // settled: the list is read again before anything more
    g_dblExceedFine = dblMoneyToDouble(newDebt);
    if (newObligate)
        obligate_ = *newObligate;
    out.done = true;

    receipt.kind = FineReceipt::Kind::Paid;
    receipt.billNo = bill;
    receipt.dateTime = now;
    receipt.payMode = mode;
    receipt.allowed = a;
    receipt.collected = t;
    receipt.reduction = qMax<Cents>(0, r);
    receipt.obligateAfter = newObligate.value_or(obligate);
    subPrint(receipt);
    return out;
}

clsFineSettle::Outcome clsFineSettle::waive(const PayInput& in)
{
    Outcome out;
    out.amountText = in.amountText;
    out.billNo = in.billNo;
    if (!blnGuardReady())
        return out;

    // 1. The right to let fines go.
    if (!blnCheckAuth(kRightReduce, true))
        return out;

    // 2-3. Bill number.
    QString madeFrom;
    QString bill = strBillNo(out.billNo, false, &madeFrom);
    if (bill.isEmpty())
        return out;
    out.billNo = bill;
    const int billState = madeFrom.isEmpty() ? intCheckBill(bill, kMsgBillUsedWaive) : 0;
    if (billState != 0) {
        if (billState > 0)
            out.focus = Focus::BillNo;
        return out;
    }

    // 4. The question; Cancel empties the bill number.
    if (intShowMsg(QStringLiteral("WLT285")) != 1) {
        out.billNo.clear();
        return out;
    }

    QVector<int> ticked;
    Cents w = 0;
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].ticked) {
            ticked.append(i);
            w += rows_[i].fine;
        }
    if (ticked.isEmpty())
        return out;

    // 5. The reader and its cards (other than cancelled ones), then the ticked
    // fine rows, waiting for other desks within the lock time-out. A failure
    // here writes nothing and ends the transaction; rows settled or changed
    // elsewhere meanwhile end the click with the list read again. The reader
    // is named first so that its row is locked before its cards, as the
    // desk's reader load and return lock them.
    DBResultSet reader;
    QString journalTime;
    const int unchanged = intLockAndRead(
        QStringLiteral("SELECT reader_cert.redr_cert_id, reader.cert_id FROM reader, reader_cert "
                       "WHERE reader_cert.cert_id = reader.cert_id AND reader.cert_id = ")
            + q(certId_) + QStringLiteral(" AND reader_cert.cert_flag <> ") + q(QStringLiteral("0"))
            + QStringLiteral(" FOR UPDATE"),
        strLockReaderSQL(QStringLiteral("debt_flag")), ticked, madeFrom, false, &reader, &journalTime, &bill);
    if (unchanged <= 0) {
        out.reloaded = unchanged == 0;
        return out;
    }
    const Cents debt = reader.rowCount() > 0 ? lngMoneyFromDouble(reader.number(0, 0)) : 0;

    // 10 (first). Journal: a bill number taken meanwhile stops here. 6. The
    // rows: nothing charged, the note alone, each with the server's date-time
    // as it writes the row. 7-8. Unpaid total, never below zero. 9. Workload.
    // 11. Commit.
    const Cents newDebt = qMax<Cents>(0, debt - w);
    const auto writes = [&](LIB_DB_Batch& b, const QString& billNo) {
        b.callProc(strJournalCall(QStringLiteral("6"), 0, journalTime, billNo, w));
        for (int i : ticked)
            b.callProc(strSettleRowCall(rows_[i], 0, billNo, strServerDateExpr(), in.remark));
        b.callProc(strUpdateReaderCall(newDebt, std::nullopt));
    };
    const int n = int(ticked.size());
    const int written = intWriteAndCommit(writes, 1, {strJobQtyCall(QStringLiteral("419"), n, n, dblMoneyToDouble(w))},
                                          bill, madeFrom, false, kMsgBillUsedWaive);
    out.billNo = bill;
    if (written != 0) {
        if (written > 0)
            out.focus = Focus::BillNo;
        return out;
    }
    FineReceipt receipt;
    for (int i : ticked)
        receipt.rows.append(receiptRow(rows_[i], 0));
    ready_ = false; // settled: the list is read again before anything more
    g_dblExceedFine = dblMoneyToDouble(qMax<Cents>(0, lngMoneyFromDouble(g_dblExceedFine) - w));
    out.done = true;

    receipt.kind = FineReceipt::Kind::Waived;
    receipt.billNo = bill;
    receipt.dateTime = journalTime;
    receipt.allowed = w;
    receipt.reduction = w;
    receipt.obligateAfter = obligate_;
    subPrint(receipt);
    return out;
}

void clsFineSettle::cancel()
{
    g_dblExceedFine = dblMoneyToDouble(total_);
    release();
}

void clsFineSettle::release()
{
    // Closing never commits: whatever a click left unfinished is undone, and
    // any row lock goes with it.
    if (LIB_DB_InTrans())
        LIB_DB_Rollback();
    ready_ = false;
}
