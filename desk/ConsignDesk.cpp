#include "desk/ConsignDesk.h"

#include "common/LoginState.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMsg.h"
#include "common/basText.h"
#include "platform/oradb/SqlText.h"
#include "reader/basFineMoney.h"

#include <QDate>
#include <functional>
#include <QSet>

namespace desk {

namespace {

QString q(const QVariant& v) { return strSQLQuote(v); }

int toInt(const QString& s)
{
    const QString t = s.trimmed();
    if (t.isEmpty())
        return 0;
    bool ok = false;
    const double d = t.toDouble(&ok);
    return ok ? static_cast<int>(d) : 0;
}

double toNumber(const QString& s)
{
    bool ok = false;
    const double d = s.trimmed().toDouble(&ok);
    return ok ? d : 0.0;
}

QString money(double v) { return strFormatMoney(lngMoneyFromDouble(v)); }

QString deskGroup()
{
    const QVariant& p = g_varLocaProperty;
    if (p.canConvert<QVariantList>() && p.typeId() != QMetaType::QString) {
        const QVariantList l = p.toList();
        if (!l.isEmpty())
            return l.first().toString();
    }
    return p.toString();
}

// The reader's row is locked before its card's (FOR UPDATE locks the tables
// in the order they are named), as the return and the lending lock them: a
// load beside a return of the reader's copy must not meet it the other way round.
const char* kReaderSelect =
    "SELECT reader.cert_id, reader.redr_type_code, reader.lend_grd, reader.id_card, reader.name, reader.dept, "
    "reader.sex, reader.volt_flag, reader.debt_flag, reader.total_lend_qty, reader.year_lend_qty, "
    "reader.redr_flag, reader.redr_del_day, reader.sex, reader.sex, reader.sex, reader.sex, reader.sex, "
    "reader_cert.cert_flag, reader_cert.bgn_date, reader_cert.end_date, reader.sex FROM reader, reader_cert ";

const char* kVoltSelect =
    "SELECT reader_volt_lst.cert_id, punish_date, volt_code, prop_no, location_f, real_fine_amt, fine_date, "
    "bill_no, froz_end_date, volt_deal_flag, resp_wkr, remark FROM reader_volt_lst WHERE ";

} // namespace

QString ViolationRow::stateText() const
{
    if (voltDealFlag == QLatin1String("1"))
        return QStringLiteral("停借");
    if (voltDealFlag == QLatin1String("2"))
        return QStringLiteral("罚款");
    if (voltDealFlag == QLatin1String("3"))
        return QStringLiteral("罚款并停借");
    if (voltDealFlag == QLatin1String("4"))
        return QStringLiteral("预约到书过期");
    if (voltDealFlag == QLatin1String("5"))
        return QStringLiteral("委托到书过期");
    return QString();
}

ConsignDesk::ConsignDesk() = default;

// ---- counted database calls ---------------------------------------------------

int ConsignDesk::select(const QString& sql, DBResultSet& rs)
{
    ++m_statements;
    if (statementLog)
        statementLog->append(sql);
    g_strSQL = sql;
    return LIB_DB_Select(sql, rs);
}

int ConsignDesk::execute(const QString& sql)
{
    ++m_statements;
    if (statementLog)
        statementLog->append(sql);
    g_strSQL = sql;
    return LIB_DB_Execute(sql);
}

int ConsignDesk::callProc(const QString& call)
{
    ++m_statements;
    return LIB_DB_CallProc(call);
}

int ConsignDesk::begin()
{
    ++m_statements;
    return LIB_DB_BeginTrans();
}

int ConsignDesk::commit()
{
    ++m_statements;
    return LIB_DB_CommitTrans();
}

int ConsignDesk::rollback()
{
    ++m_statements;
    return LIB_DB_Rollback();
}

int ConsignDesk::abortTrans()
{
    rollback();
    intShowDBError();
    return -1;
}

int ConsignDesk::endTransReport()
{
    commit();
    intShowDBError();
    return -1;
}

int ConsignDesk::endTransRefuse(const QString& message)
{
    commit();
    intShowMsg(message);
    return -1;
}

QString strQueueLockExpr(const QString& callNo, const QString& location)
{
    return "pg_advisory_xact_lock(hashtext(" + callNo + " || '|' || " + location + "))";
}

QString strQueueLockSql(const QString& callNo, const QString& location)
{
    return "SELECT " + strQueueLockExpr(q(callNo), q(location));
}

QString strSexName(const QString& sex)
{
    return sex == QLatin1String("M")   ? QStringLiteral("男")
           : sex == QLatin1String("F") ? QStringLiteral("女")
                                       : QStringLiteral("<不定>");
}

int ConsignDesk::lockQueue(const QString& callNo, const QString& location)
{
    DBResultSet rs;
    return select(strQueueLockSql(callNo, location), rs);
}

QString ConsignDesk::today()
{
    ++m_statements; // the server's date is a query
    return varGetSysInfo(1).toString().left(10);
}

void ConsignDesk::setLoanCount(int count, const QString& maxLend)
{
    m_panel.loans = QString::number(count) + QStringLiteral(" / ") + maxLend;
}

void ConsignDesk::setLendTotals()
{
    m_panel.yearTotal = readerValue(redr::YearLendQty) + QStringLiteral("/") + readerValue(redr::TotalLendQty);
}

void ConsignDesk::countLend()
{
    if (m_recRedr.rowCount() < 1)
        return;
    for (int col : {int(redr::YearLendQty), int(redr::TotalLendQty)})
        m_recRedr.setValue(0, col, toInt(readerValue(col)) + 1);
    setLendTotals();
}

QString ConsignDesk::readerValue(int col) const
{
    if (m_recRedr.rowCount() < 1)
        return QString();
    return m_recRedr.text(0, col);
}

int ConsignDesk::run(LIB_DB_Batch& batch)
{
    m_statements += batch.count();
    for (int i = 0; i < batch.count(); ++i) {
        if (statementLog)
            statementLog->append(batch.text(i));
    }
    const int result = batch.run();
    if (result != 0 && batch.failedAt() < 0)
        g_strSQL = batch.count() > 0 ? batch.sql(batch.count() - 1) : QString();
    return result;
}

int ConsignDesk::runOpening(LIB_DB_Batch& batch, const std::function<int()>& failed)
{
    batch.begin();
    ++m_statements; // BEGIN
    if (run(batch) == 0)
        return 0;
    if (LIB_DB_InTrans())
        return failed();
    intShowDBError();
    return -1;
}

int ConsignDesk::writeWithWorkload(LIB_DB_Batch& writes, const QString& workloadCall)
{
    return writeWithWorkload(writes, QStringList{workloadCall});
}

int ConsignDesk::writeWithWorkload(LIB_DB_Batch& writes, const QStringList& workloadCalls,
                                   const std::function<void(LIB_DB_Batch&)>& after, LIB_DB_Batch* committed)
{
    int firstCall = writes.count();
    for (const QString& call : workloadCalls)
        writes.callProc(call);
    LIB_DB_Batch rest;
    for (LIB_DB_Batch* batch = &writes;;) {
        batch->commit();
        if (after) {
            batch->afterCommit();
            after(*batch);
        }
        ++m_statements; // COMMIT
        const int result = run(*batch);
        if (result == 0 || batch->failedAt() >= batch->afterCommitAt()) {
            if (committed)
                *committed = *batch;
            return result == 0 ? 0 : 1;
        }
        if (batch->failedAt() < firstCall || !LIB_DB_InTrans())
            return -1;
        // The calls after the one that failed, the commit and the reads behind it.
        LIB_DB_Batch next;
        for (int i = batch->failedAt() + 1; i < batch->afterCommitAt(); ++i)
            next.execute(batch->sql(i));
        rest = next;
        batch = &rest;
        firstCall = 0;
    }
}

int ConsignDesk::addTexts(LIB_DB_Batch& batch, const QString& numbers)
{
    return titleTexts ? -1 : batch.selectRaw(strMarcPageSQL(numbers));
}

int ConsignDesk::addTexts(LIB_DB_Batch& batch, const QString& name, const QString& numbers,
                          const QList<QVariant>& params)
{
    return titleTexts ? -1 : batch.preparedRaw(name, strMarcPageSQL(numbers), params);
}

QVector<QStringList> ConsignDesk::textsOf(const QStringList& nos, LIB_DB_Batch* batch, int at)
{
    QVector<QStringList> out;
    if (titleTexts) {
        for (const QString& no : nos) {
            QStringList t = titleTexts(no);
            while (t.size() < 3)
                t << QString();
            out.push_back(t);
        }
        return out;
    }
    if (nos.isEmpty())
        return out;
    QHash<QString, MarcRecord> records;
    if (batch && at >= 0) {
        records = mapMarcsOf(batch->raw(at), nos);
    } else {
        ++m_statements;
        records = mapReadMarcs(nos);
        if (statementLog)
            statementLog->append(g_strSQL);
    }
    for (const QString& no : nos) {
        g_recMarc = records.value(no);
        out.push_back({strGetMarcTitle(g_recMarc, 0), strGetMarcTitle(g_recMarc, 1), strGetMarcTitle(g_recMarc, 3)});
    }
    return out;
}

// ---- reader load ------------------------------------------------------------------

void subMergeRedrType(DBResultSet& rec)
{
    if (rec.rowCount() < 1)
        return;
    const QString code = rec.text(0, redr::RedrTypeCode);
    int hit = -1;
    for (int r = 0; r < g_varRedrType.rowCount(); ++r) {
        if (g_varRedrType.text(r, redrtype::Code) == code) {
            hit = r;
            break;
        }
    }
    auto put = [&](int col, int typeCol) {
        rec.setCell(col, 2, hit < 0 ? QVariant(QString()) : g_varRedrType.value(hit, typeCol));
    };
    put(redr::TypeName, redrtype::Name);
    put(redr::ChkValidity, redrtype::ChkValidityPeriod);
    put(redr::MaxLendQty, redrtype::MaxLendQty);
    put(redr::MaxDebtAmt, redrtype::MaxDebtAmt);
    put(redr::MaxPregQty, redrtype::MaxPregQty);
    put(redr::MaxPregDays, redrtype::MaxPregDays);
}

void ConsignDesk::subClearRedrInfo()
{
    m_panel = ReaderPanel();
    m_readerShown = false;
}

void ConsignDesk::fillPanel()
{
    m_panel = ReaderPanel();
    m_panel.name = readerValue(redr::Name);
    m_panel.sex = strSexName(readerValue(redr::Sex));
    m_panel.dept = readerValue(redr::Dept);
    m_panel.certId = readerValue(redr::CertId);
    m_panel.typeName = readerValue(redr::TypeName);
    m_panel.endDate = readerValue(redr::EndDate);
    setLendTotals();
    m_panel.debt = money(toNumber(readerValue(redr::DebtFlag)));
}

namespace {

// The loans of the readers a condition on lend_lst.cert_id names.
QString loansSQL(const QString& whose)
{
    return "SELECT lend_lst.cert_id, lend_lst.prop_no, lend_lst.lend_date, lend_lst.norm_ret_date, item.marc_rec_no, "
           "item.bar_code, item.call_no, item.book_stat_code, item.location, item.book_lend_flag FROM lend_lst, item "
           "WHERE lend_lst.cert_id " + whose + " AND lend_lst.prop_no = item.prop_no "
           "ORDER BY lend_lst.lend_date, lend_lst.prop_no";
}

// The reader's loans; `cert` is the quoted number or a parameter.
QString loanSQLOf(const QString& cert)
{
    return loansSQL("= " + cert);
}

} // namespace

DBResultSet rowsOf(const DBResultSet& rs, int col, const std::function<bool(const QString&)>& keep)
{
    QVector<int> hits;
    for (int r = 0; r < rs.rowCount(); ++r) {
        if (keep(rs.text(r, col)))
            hits.push_back(r);
    }
    DBResultSet out(int(hits.size()), rs.fieldCount());
    for (int c = 0; c < rs.fieldCount(); ++c) {
        out.setCell(c, 0, rs.cell(c, 0));
        out.setCell(c, 1, rs.cell(c, 1));
        for (int i = 0; i < hits.size(); ++i)
            out.setValue(i, c, rs.value(hits[i], c));
    }
    return out;
}

DBResultSet rowsOf(const DBResultSet& rs, int col, const QString& key)
{
    return rowsOf(rs, col, [&key](const QString& v) { return v == key; });
}

namespace {

QString loanSQL(const QString& certId) { return loanSQLOf(q(certId)); }

void loanRowsOf(const DBResultSet& rs, const QString& now, QVector<LoanRow>& rows)
{
    rows.clear();
    for (int r = 0; r < rs.rowCount(); ++r) {
        LoanRow l;
        l.certId = rs.text(r, 0);
        l.propNo = rs.text(r, 1);
        l.lendDate = rs.text(r, 2);
        l.normRetDate = rs.text(r, 3);
        l.marcRecNo = rs.text(r, 4);
        l.barCode = rs.text(r, 5);
        l.callNo = rs.text(r, 6);
        l.bookStatCode = rs.text(r, 7);
        l.location = rs.text(r, 8);
        l.bookLendFlag = rs.text(r, 9);
        l.overdue = l.normRetDate < now; // a loan due today, at any hour, is not overdue
        l.abnormal = l.bookStatCode != QLatin1String("41");
        rows.push_back(l);
    }
}

} // namespace

int ConsignDesk::readLoans(const QString& certId, const QString& now, QVector<LoanRow>& rows)
{
    rows.clear();
    DBResultSet rs;
    if (select(loanSQL(certId), rs) != 0)
        return -1;
    loanRowsOf(rs, now, rows);
    return 0;
}

int ConsignDesk::addLoans(LIB_DB_Batch& batch, const QString& certId)
{
    return batch.prepared(QStringLiteral("desk_loans"), loanSQLOf(QStringLiteral("$1")), {certId});
}

void ConsignDesk::takeLoans(const LIB_DB_Batch& batch, int at, const QString& now, QVector<LoanRow>& rows)
{
    loanRowsOf(batch.rows(at), now, rows);
}

int ConsignDesk::intLoadRedr(const QString& card)
{
    // The reader locked and the server's date, with the transaction's start.
    LIB_DB_Batch first;
    // A typed card's text goes as a statement's literal would: without the
    // characters a statement cannot carry.
    const int readerAt = first.prepared(QStringLiteral("desk_load_reader"),
                                        QString::fromLatin1(kReaderSelect)
                                            + "WHERE reader_cert.redr_cert_id = $1 AND reader_cert.cert_id = "
                                              "reader.cert_id FOR UPDATE",
                                        {oradb::sqltext::sendableText(card)});
    const int dateAt = first.serverDate();
    if (runOpening(first, [this] { return endTransReport(); }) != 0)
        return -1;
    const DBResultSet& rs = first.rows(readerAt);
    if (rs.rowCount() < 1)
        return endTransRefuse(QStringLiteral("ELT101"));
    m_recRedr = rs;
    subMergeRedrType(m_recRedr);

    // The reader is shown from here on, also when a check refuses it. Another
    // reader's violations never stay on the panel.
    g_strCertID = readerValue(redr::CertId);
    fillPanel();
    m_readerShown = true;
    m_violations.clear();
    m_violationsFront = false;
    m_loans.clear();
    m_arrived.clear();
    auto panelChanged = [this](bool newReader) {
        if (showPanel)
            showPanel(newReader);
    };
    panelChanged(true);

    if (readerValue(redr::RedrFlag) == QLatin1String("0"))
        return endTransRefuse(QStringLiteral("ELT102") + readerValue(redr::RedrDelDay));
    const QString certFlag = readerValue(redr::CertFlag);
    if (certFlag == QLatin1String("0"))
        return endTransRefuse(QStringLiteral("ELT103"));
    if (certFlag == QLatin1String("2")) {
        LIB_DB_Batch lost;
        const int lossAt =
            lost.select("SELECT lose_date FROM cert_loss WHERE redr_cert_id = " + q(card) + " AND cert_lose_flag = '1'");
        lost.commit();
        ++m_statements; // COMMIT
        if (run(lost) != 0 && LIB_DB_InTrans())
            LIB_DB_Rollback();
        const DBResultSet& loss = lost.rows(lossAt);
        intShowMsg(QStringLiteral("ELT104") + (loss.rowCount() > 0 ? loss.text(0, 0) : QString()));
        return -1;
    }

    const QString now = first.rows(dateAt).text(0, 0).left(10);
    bool outOfDate = false;
    QString outOfDateText;
    if (readerValue(redr::ChkValidity) == QLatin1String("1")) {
        const QString bgn = readerValue(redr::BgnDate).left(10);
        const QString end = readerValue(redr::EndDate).left(10);
        if (end < now || bgn > now) {
            outOfDate = true;
            outOfDateText = QStringLiteral("ELT105") + bgn + QStringLiteral("-") + end;
        }
    }
    // The message waits until the reader's rows are no longer locked; it still
    // comes before the violations' message.
    auto showOutOfDate = [&] {
        if (!outOfDateText.isEmpty())
            intShowMsg(outOfDateText);
        outOfDateText.clear();
    };

    bool inTrans = true;
    if (toInt(readerValue(redr::VoltFlag)) > 0) {
        DBResultSet volt;
        if (select(QString::fromLatin1(kVoltSelect) + "cert_id = " + q(g_strCertID)
                       + " AND reader_volt_lst.volt_deal_flag <> '0' FOR UPDATE",
                   volt)
            != 0)
            return endTransReport();
        // The run-out suspensions, the reader's count and the commit travel together.
        LIB_DB_Batch writes;
        for (int r = 0; r < volt.rowCount(); ++r) {
            ViolationRow v{volt.text(r, 0), volt.text(r, 1), volt.text(r, 2), volt.text(r, 3),
                           volt.text(r, 4), volt.text(r, 5), volt.text(r, 6), volt.text(r, 7),
                           volt.text(r, 8), volt.text(r, 9), volt.text(r, 10), volt.text(r, 11)};
            // A suspension whose end date has passed ends; one without an end
            // date runs on.
            const bool runOut = !v.frozEndDate.isEmpty() && v.frozEndDate.left(10) < now;
            QString newState;
            if (runOut && v.voltDealFlag == QLatin1String("1"))
                newState = QStringLiteral("0");
            else if (runOut && v.voltDealFlag == QLatin1String("3"))
                newState = QStringLiteral("2");
            if (!newState.isEmpty()) {
                const QString call = "LT_UPD_reader_volt_lst " + q(v.certId) + "," + q(v.punishDate)
                                   + ",NULL,NULL,NULL,NULL,NULL,NULL,NULL," + q(newState) + ",NULL,NULL";
                // A failed update refuses the reader after the roll back, for a
                // suspension as for a fine and suspension; the desk stays open.
                writes.callProc(call);
                v.voltDealFlag = newState;
            }
            if (v.voltDealFlag != QLatin1String("0"))
                m_violations.push_back(v);
        }
        m_recRedr.setCell(redr::VoltFlag, 2, static_cast<int>(m_violations.size()));
        QString call = "LT_UPD_reader " + q(g_strCertID);
        for (int pos = 2; pos <= 28; ++pos)
            call += pos == 18 ? QStringLiteral(",") + QString::number(m_violations.size()) : QStringLiteral(",NULL");
        writes.callProc(call);
        writes.commit();
        ++m_statements; // COMMIT
        inTrans = false;
        if (run(writes) != 0) {
            if (LIB_DB_InTrans())
                return abortTrans();
            intShowDBError();
            return -1;
        }
        showOutOfDate();
        if (!m_violations.isEmpty()) {
            m_violationsFront = true;
            panelChanged(false);
            intShowMsg(QStringLiteral("ELT106"));
            if (!outOfDate)
                return -1;
        }
    }

    // What the rest of the load shows, read in one go (with the commit when
    // the reader's rows are still locked): loans, arrived copies, requests and
    // the records of their titles.
    LIB_DB_Batch reads;
    const int loansAt = addLoans(reads, g_strCertID);
    auto arriFromOf = [](const QString& cert, const QString& day) {
        return " FROM relegate_arri_lst, item WHERE relegate_arri_lst.cert_id = " + cert
             + " AND relegate_arri_lst.relegate_end_flag < '3' AND relegate_arri_lst.relegate_keep_end_date >= " + day
             + " AND relegate_arri_lst.prop_no = item.prop_no";
    };
    const int arriAt = reads.prepared(
        QStringLiteral("desk_load_arrived"),
        "SELECT relegate_arri_lst.call_no, relegate_arri_lst.prop_no, relegate_arri_lst.relegate_location, "
        "relegate_arri_lst.relegate_arri_date, relegate_arri_lst.relegate_keep_end_date, item.marc_rec_no"
            + arriFromOf(QStringLiteral("$1"), QStringLiteral("$2")),
        {g_strCertID, now});
    const int requestsAt = mode == ModeRequest ? addRequestListQuery(reads) : -1;
    const int textsAt = addTexts(reads,
                                 mode == ModeRequest ? QStringLiteral("desk_load_texts_requests")
                                                     : QStringLiteral("desk_load_texts"),
                                 "SELECT item.marc_rec_no" + arriFromOf(QStringLiteral("$1"), QStringLiteral("$2"))
                                     + (mode == ModeRequest ? " UNION " + requestRecordsSQL() : QString()),
                                 {g_strCertID, now});
    if (inTrans) {
        reads.commit();
        ++m_statements; // COMMIT
    }
    if (run(reads) != 0) {
        if (LIB_DB_InTrans())
            LIB_DB_Rollback();
        intShowDBError();
        return -1;
    }
    showOutOfDate();
    const double debt = toNumber(readerValue(redr::DebtFlag));
    if (lngMoneyFromDouble(debt) >= 10) {
        g_dblExceedFine = debt;
        if (fineLend == 1 && showFineWindow)
            showFineWindow();
        m_panel.debt = money(g_dblExceedFine);
        panelChanged(false);
        const double maxDebt = toNumber(readerValue(redr::MaxDebtAmt));
        if (lngMoneyFromDouble(g_dblExceedFine) >= lngMoneyFromDouble(maxDebt)) {
            intShowMsg(QStringLiteral("ELT107") + money(maxDebt));
            return -1;
        }
    }

    loanRowsOf(reads.rows(loansAt), now, m_loans);
    if (outOfDate) {
        if (!m_loans.isEmpty())
            intShowMsg(QStringLiteral("ELT133"));
        return -1;
    }
    setLoanCount(int(m_loans.size()), readerValue(redr::MaxLendQty));
    panelChanged(false);

    const DBResultSet& arri = reads.rows(arriAt);
    QStringList arriNos;
    for (int r = 0; r < arri.rowCount(); ++r)
        arriNos << arri.text(r, 5);
    const QVector<QStringList> arriTexts = textsOf(arriNos, &reads, textsAt);
    for (int r = 0; r < arri.rowCount(); ++r) {
        const QStringList& t = arriTexts[r];
        m_arrived.push_back({arri.text(r, 0), arri.text(r, 1), arri.text(r, 2), arri.text(r, 3), arri.text(r, 4),
                             arri.text(r, 5), t[0], t[1], t[2]});
    }
    if (!m_arrived.isEmpty() && showFindList)
        showFindList(m_arrived);

    bool overdue = false, abnormal = false;
    for (const LoanRow& l : m_loans) {
        overdue = overdue || l.overdue;
        abnormal = abnormal || l.abnormal;
    }
    if (overdue) {
        intShowMsg(QStringLiteral("ELT108"));
        return -1;
    }
    if (abnormal) {
        intShowMsg(QStringLiteral("ELT109"));
        return -1;
    }
    if (mode == ModeRequest) {
        if (m_loans.size() >= toInt(readerValue(redr::MaxLendQty))) {
            intShowMsg(QStringLiteral("ELT110"));
            return -1;
        }
        takeRequestList(reads, {requestsAt, textsAt}, 0);
    }
    m_violationsFront = false;
    return 0;
}

// ---- requester check ------------------------------------------------------------

ApplicantReads addApplicantReads(LIB_DB_Batch& b, const QString& who, const QString& name,
                                 const QList<QVariant>& params)
{
    auto add = [&](const char* part, const QString& sql) {
        return name.isEmpty() ? b.select(sql) : b.prepared(name + QLatin1String(part), sql, params);
    };
    ApplicantReads at;
    // Read, not locked: the check only chooses whom to try, and the lending
    // to the chosen requester reads the reader again under its own locks.
    // Locking a whole queue's readers here would take them in another order
    // than the desks serving those readers do.
    // The reader table keys its rows in the database's collation.
    at.readers = add("_readers", QString::fromLatin1(kReaderSelect) + "WHERE reader.cert_id IN (SELECT w.cert_id COLLATE "
                          "\"default\" FROM (" + who + ") w(cert_id)) AND reader_cert.cert_flag = '1' "
                          "AND reader.cert_id = reader_cert.cert_id ORDER BY reader.cert_id");
    at.date = b.serverDate();
    at.violations = add("_violations", QString::fromLatin1(kVoltSelect) + "cert_id IN (" + who
                             + ") AND volt_deal_flag <> '0' ORDER BY cert_id");
    at.loans = add("_loans", loansSQL("IN (" + who + ")"));
    return at;
}

int intJudgeApplicant(const LIB_DB_Batch& b, const ApplicantReads& at, const QString& certId, DBResultSet& record)
{
    record = rowsOf(b.rows(at.readers), redr::CertId, certId);
    auto value = [&record](int col) { return record.rowCount() > 0 ? record.text(0, col) : QString(); };
    if (record.rowCount() < 1)
        return -1;
    subMergeRedrType(record);
    if (value(redr::RedrFlag) == QLatin1String("0"))
        return -1;
    const QString now = b.rows(at.date).text(0, 0).left(10);
    if (value(redr::ChkValidity) == QLatin1String("1")) {
        if (value(redr::EndDate).left(10) < now || value(redr::BgnDate).left(10) > now)
            return -1;
    }
    if (toInt(value(redr::VoltFlag)) > 0 && rowsOf(b.rows(at.violations), 0, certId).rowCount() > 0)
        return -1;
    const double debt = toNumber(value(redr::DebtFlag));
    if (lngMoneyFromDouble(debt) >= 10) {
        g_dblExceedFine = debt;
        if (lngMoneyFromDouble(debt) >= lngMoneyFromDouble(toNumber(value(redr::MaxDebtAmt))))
            return -1;
    }
    QVector<LoanRow> loans;
    loanRowsOf(rowsOf(b.rows(at.loans), 0, certId), now, loans);
    bool overdue = false, abnormal = false;
    for (const LoanRow& l : loans) {
        overdue = overdue || l.overdue;
        abnormal = abnormal || l.abnormal;
    }
    if (overdue || abnormal)
        return -1;
    if (loans.size() >= toInt(value(redr::MaxLendQty)))
        return -1;
    return 0;
}

int intCheckApplicant(const QString& certId, DBResultSet& record)
{
    // The reader with its violations, the server's date and the loans, and
    // the commit, in one round trip.
    LIB_DB_Batch b;
    b.begin();
    const ApplicantReads at =
        addApplicantReads(b, QStringLiteral("SELECT $1::text"), QStringLiteral("desk_check_one"), {certId});
    b.commit();
    if (b.run() != 0) {
        if (LIB_DB_InTrans())
            LIB_DB_CommitTrans();
        intShowDBError();
        return -2;
    }
    return intJudgeApplicant(b, at, certId, record);
}

int ConsignDesk::intCheckApplicant(const QString& certId)
{
    return desk::intCheckApplicant(certId, m_recRedr);
}

int ConsignDesk::intJudgeApplicant(const LIB_DB_Batch& batch, const ApplicantReads& at, const QString& certId)
{
    return desk::intJudgeApplicant(batch, at, certId, m_recRedr);
}

// ---- title search and holdings ----------------------------------------------------

int ConsignDesk::subSearchBook(const QString& text, int field)
{
    switch (field) {
    case SearchCallNo: return subSearchBookByGroup(text, QStringLiteral("91"));
    case SearchTitle: return subSearchBookByGroup(text, QStringLiteral("02"));
    case SearchAuthor: return subSearchBookByGroup(text, QStringLiteral("03"));
    case SearchPublisher: return subSearchBookByGroup(text, QStringLiteral("09"));
    default: return -1;
    }
}

int ConsignDesk::subSearchBookByGroup(const QString& text, const QString& group)
{
    const QString like = q(strLikeEscape(text) + QStringLiteral("%")) + QStringLiteral(" ESCAPE '\\'");
    const bool byCallNo = group == QLatin1String("91");
    const QString sql = byCallNo
        ? "SELECT DISTINCT marc_rec_no FROM call_no_lst WHERE call_no LIKE " + like
        : "SELECT DISTINCT marc_rec_no FROM marc_idx WHERE marc_idx_grp = " + q(group)
              + " AND marc_idx_cont LIKE " + like;
    return searchTitles(sql, text, byCallNo);
}

int ConsignDesk::searchTitles(const QString& sql, const QString& text, bool byCallNo)
{
    // The found titles and the call numbers of all of them in one round trip.
    // The found numbers go to the index as one array: joined as a sub-query,
    // a search finding a thousand titles read the whole call-number table.
    LIB_DB_Batch b;
    const int foundAt = b.select(sql);
    const int callsAt =
        b.select("SELECT marc_rec_no, call_no FROM call_no_lst WHERE marc_rec_no = ANY (ARRAY(" + sql + "))");
    if (run(b) != 0) {
        intShowDBError();
        return -1;
    }
    m_titles.clear();
    m_waiting.clear();
    const DBResultSet& found = b.rows(foundAt);
    if (found.rowCount() < 1) {
        intShowMsg(QStringLiteral("E所查询书刊不存在！"));
        return -1;
    }
    const DBResultSet& calls = b.rows(callsAt);
    QHash<QString, QStringList> byTitle;
    for (int r = 0; r < calls.rowCount(); ++r)
        byTitle[calls.text(r, 0)].append(calls.text(r, 1));
    for (int r = 0; r < found.rowCount(); ++r) {
        const QString no = found.text(r, 0);
        const QStringList callNos = byTitle.value(no);
        if (callNos.isEmpty())
            continue;
        TitleRow t;
        t.marcRecNo = no;
        t.callNos = callNos;
        if (byCallNo && callNos.size() > 1) {
            for (int i = 0; i < callNos.size(); ++i) {
                if (callNos[i].contains(text)) {
                    t.chosen = i;
                    if (callNos[i] == text)
                        break;
                }
            }
        }
        m_waiting.push_back(t);
    }
    if (m_waiting.isEmpty()) {
        intShowMsg(QStringLiteral("E没有符合该读者借阅条件的书刊！"));
        return -1;
    }
    // The records of the first page and the holdings of the first title in
    // the second.
    LIB_DB_Batch page;
    const int textsAt = addPageTexts(page);
    const HoldingReads holdingsAt = addHoldingReads(page, m_waiting[0].callNo());
    const bool failed = run(page) != 0;
    if (failed)
        intShowDBError();
    if (failed && textsAt >= 0 && page.failedAt() <= textsAt) {
        m_waiting.clear();
        return -1;
    }
    takeTitlePage(page, textsAt);
    m_selectedCallNo = m_titles[0].callNo();
    if (!failed)
        fillHoldings(m_titles[0], page, holdingsAt);
    return 0;
}

int ConsignDesk::subReadTitlePage()
{
    if (m_waiting.isEmpty())
        return 0;
    LIB_DB_Batch b;
    const int textsAt = addPageTexts(b);
    if (textsAt >= 0 && run(b) != 0) {
        intShowDBError();
        return -1;
    }
    return takeTitlePage(b, textsAt);
}

int ConsignDesk::addPageTexts(LIB_DB_Batch& batch)
{
    QStringList nos;
    for (int i = 0; i < m_waiting.size() && i < kTitlePage; ++i)
        nos << q(m_waiting[i].marcRecNo);
    return addTexts(batch, nos.join(QLatin1Char(',')));
}

int ConsignDesk::takeTitlePage(LIB_DB_Batch& batch, int textsAt)
{
    const int count = qMin(int(m_waiting.size()), kTitlePage);
    QStringList nos;
    for (int i = 0; i < count; ++i)
        nos << m_waiting[i].marcRecNo;
    const QVector<QStringList> texts = textsOf(nos, &batch, textsAt);
    for (int i = 0; i < count; ++i) {
        TitleRow& t = m_waiting[i];
        t.title = texts[i][0];
        t.author = texts[i][1];
        t.publisher = texts[i][2];
        m_titles.push_back(t);
    }
    m_waiting.remove(0, count);
    return count;
}

void ConsignDesk::setChosenCallNo(int titleIndex, int entry)
{
    if (titleIndex < 0 || titleIndex >= m_titles.size())
        return;
    TitleRow& t = m_titles[titleIndex];
    if (entry < 0 || entry >= t.callNos.size())
        return;
    t.chosen = entry;
    m_selectedCallNo = t.callNo();
}

int ConsignDesk::intCheckApplyLoca(const QString& location, const QString& circType, const QString& redrType)
{
    int hit = -1;
    for (int r = 0; r < g_varRuleComp.rowCount(); ++r) {
        if (blnMatchRuleCode(location, g_varRuleComp.text(r, rulecomp::LocaCode))
            && blnMatchRuleCode(circType, g_varRuleComp.text(r, rulecomp::CircTypeCode))
            && blnMatchRuleCode(redrType, g_varRuleComp.text(r, rulecomp::RedrTypeCode))) {
            hit = r;
            break;
        }
    }
    if (hit < 0)
        return -1;
    // The location's group from the log-in's location cache.
    QString group;
    for (int r = 0; r < g_varLocation.rowCount(); ++r) {
        if (g_varLocation.text(r, desklocation::Location) == location) {
            group = g_varLocation.text(r, desklocation::LocationProperty);
            break;
        }
    }
    return group == deskGroup() ? 0 : 1;
}

int ConsignDesk::subShowHoldings(int titleIndex)
{
    if (titleIndex < 0 || titleIndex >= m_titles.size())
        return -1;
    TitleRow& title = m_titles[titleIndex];
    const QString callNo = title.callNo();
    m_selectedCallNo = callNo;
    // Holdings belong to one call number: a changed drop-down lists afresh.
    if (title.listed && title.listedCallNo == callNo)
        return 0;
    title.holdings.clear();
    title.listed = false;

    // Copies, circulation type and the queue of every location in one round trip.
    LIB_DB_Batch b;
    const HoldingReads at = addHoldingReads(b, callNo);
    if (run(b) != 0) {
        intShowDBError();
        return -1;
    }
    fillHoldings(title, b, at);
    return 0;
}

ConsignDesk::HoldingReads ConsignDesk::addHoldingReads(LIB_DB_Batch& b, const QString& callNo)
{
    HoldingReads at;
    at.items = b.prepared(QStringLiteral("desk_holding_items"),
                          "SELECT location, book_stat_code, book_lend_flag FROM item WHERE call_no = $1 "
                          "ORDER BY location",
                          {callNo});
    at.circ = b.prepared(QStringLiteral("desk_holding_circ"),
                         "SELECT circ_type_code FROM call_no_lst WHERE call_no = $1", {callNo});
    at.queues = b.prepared(QStringLiteral("desk_holding_queues"),
                           "SELECT location, count(*) FROM relegate_lst WHERE call_no = $1 AND relegate_end_date "
                           ">= " + strServerDayExpr() + " AND relegate_flag = '0' GROUP BY location",
                           {callNo});
    return at;
}

void ConsignDesk::fillHoldings(TitleRow& title, const LIB_DB_Batch& b, const HoldingReads& at)
{
    const QString callNo = title.callNo();
    title.holdings.clear();
    const DBResultSet& items = b.rows(at.items);
    const DBResultSet& circ = b.rows(at.circ);
    const QString circType = circ.rowCount() > 0 ? circ.text(0, 0) : QString();
    const QString redrType = readerValue(redr::RedrTypeCode);
    QHash<QString, int> queues;
    for (int r = 0; r < b.rows(at.queues).rowCount(); ++r)
        queues.insert(b.rows(at.queues).text(r, 0), toInt(b.rows(at.queues).text(r, 1)));

    QVector<HoldingRow> inOrder;
    int lendable = 0, inLibrary = 0;
    for (int r = 0; r < items.rowCount(); ++r) {
        const QString loc = items.text(r, 0);
        if (items.text(r, 1) == QLatin1String("41")) {
            ++lendable;
            if (items.text(r, 2) == QLatin1String("0"))
                ++inLibrary;
        }
        const bool last = r + 1 == items.rowCount() || items.text(r + 1, 0) != loc;
        if (!last)
            continue;
        if (lendable > 0) {
            const int check = intCheckApplyLoca(loc, circType, redrType);
            if (check >= 0) {
                HoldingRow h;
                h.location = loc;
                h.lendable = lendable;
                h.inLibrary = inLibrary;
                h.queued = queues.value(loc);
                h.canApply = check == 1;
                inOrder.push_back(h);
            }
        }
        // Every completed location starts the counts afresh, listed or not: a
        // location no rule serves passes none of its copies to the next one.
        lendable = inLibrary = 0;
    }
    // The grid keeps the first location in the title row and inserts each
    // later one directly below it.
    if (!inOrder.isEmpty()) {
        title.holdings.push_back(inOrder.first());
        for (int i = inOrder.size() - 1; i >= 1; --i)
            title.holdings.push_back(inOrder[i]);
    }
    title.listed = true;
    title.listedCallNo = callNo;
}

int ConsignDesk::subShowLendDetail(const QString& callNo, const QString& location, QVector<LendDetailRow>& rows)
{
    rows.clear();
    if (location.isEmpty())
        return -1;
    DBResultSet rs;
    if (select("SELECT lend_lst.prop_no, lend_lst.lend_date, lend_lst.norm_ret_date FROM lend_lst, item "
               "WHERE lend_lst.prop_no = item.prop_no AND lend_lst.location_f = " + q(location)
                   + " AND item.call_no = " + q(callNo),
               rs)
        != 0) {
        intShowDBError();
        return -1;
    }
    for (int r = 0; r < rs.rowCount(); ++r)
        rows.push_back({rs.text(r, 0), rs.text(r, 1), rs.text(r, 2)});
    return 0;
}

// ---- requests -------------------------------------------------------------------------

int ConsignDesk::subApplyBook(int titleIndex, int holdingIndex)
{
    if (titleIndex < 0 || titleIndex >= m_titles.size())
        return -1;
    TitleRow& t = m_titles[titleIndex];
    if (holdingIndex < 0 || holdingIndex >= t.holdings.size())
        return -1;
    return subApplyBook(t.listedCallNo.isEmpty() ? t.callNo() : t.listedCallNo, t.holdings[holdingIndex]);
}

ConsignDesk::PlacingReads ConsignDesk::addPlacingReads(LIB_DB_Batch& b, const PlacingCheck& c, bool locked,
                                                       const QString& queueLock)
{
    // Read-only before the keep-days dialog; under the reader's lock (the
    // caller's transaction) when writing. The queue is held before the
    // reader's requests are locked, as every change of a queue holds it before
    // its rows: a request of this reader waiting in that queue is not held
    // here while the queue's own change waits for it.
    // Named prepared statements: they run at every placing. $1 is the
    // reader, $2 the call number, $3 the date (the server's own before it is
    // known).
    const QString lock = locked ? QStringLiteral(" FOR UPDATE") : QString();
    const QString lendLock = locked ? QStringLiteral(" FOR UPDATE OF lend_lst") : QString();
    const QString prefix = locked ? QStringLiteral("desk_placing_locked_") : QStringLiteral("desk_placing_");
    auto add = [&](const char* name, const QString& sql, const QList<QVariant>& params) {
        return b.prepared(prefix + QLatin1String(name), sql, params);
    };
    PlacingReads at;
    if (locked) {
        add("reader", "SELECT cert_id FROM reader WHERE cert_id = $1" + lock, {c.certId});
        if (!queueLock.isEmpty())
            at.queue = b.select(queueLock);
    }
    const bool serverDay = c.today.isEmpty();
    at.arrived = add(serverDay ? "arrived_now" : "arrived",
                     "SELECT call_no FROM relegate_arri_lst WHERE cert_id = $1 AND call_no = $2 AND "
                     "relegate_keep_end_date >= "
                         + (serverDay ? strServerDayExpr() : QStringLiteral("$3"))
                         + " AND relegate_end_flag < '3'" + lock,
                     serverDay ? QList<QVariant>{c.certId, c.callNo} : QList<QVariant>{c.certId, c.callNo, c.today});
    at.sameTitle = add("same_title",
                       "SELECT item.call_no FROM item, lend_lst WHERE lend_lst.prop_no = item.prop_no AND "
                       "lend_lst.cert_id = $1 AND item.call_no = $2" + lendLock,
                       {c.certId, c.callNo});
    at.loans = add("loans",
                   "SELECT lend_lst.cert_id, item.location, call_no_lst.circ_type_code, call_no_lst.call_no "
                   "FROM lend_lst, item, call_no_lst WHERE lend_lst.prop_no = item.prop_no "
                   "AND item.call_no = call_no_lst.call_no AND lend_lst.cert_id = $1" + lendLock,
                   {c.certId});
    at.requests =
        add("requests", "SELECT call_no FROM relegate_lst WHERE cert_id = $1 AND relegate_flag = '0'" + lock, {c.certId});
    return at;
}

int ConsignDesk::intCheckPlacing(const LIB_DB_Batch& b, const PlacingReads& at, const PlacingCheck& c, bool locked)
{
    // A refusal ends the transaction first.
    auto refuse = [&](const QString& message) {
        if (locked)
            return endTransRefuse(message);
        intShowMsg(message);
        return -1;
    };
    if (b.rows(at.arrived).rowCount() > 0)
        return refuse(QStringLiteral("E该读者已委托该书并已到书"));
    if (b.rows(at.sameTitle).rowCount() > 0)
        return refuse(QStringLiteral("ELT165"));
    const DBResultSet& loans = b.rows(at.loans);
    int atLoc = 0, atLocType = 0;
    for (int r = 0; r < loans.rowCount(); ++r) {
        if (loans.text(r, 1) != c.location)
            continue;
        ++atLoc;
        if (loans.text(r, 2) == c.circType)
            ++atLocType;
    }
    if (atLoc >= toInt(g_varCircRule.text(c.rule, circrule::MaxLendQty)))
        return refuse(QStringLiteral("ELT120"));
    if (atLocType >= toInt(g_varCircRule.text(c.rule, circrule::LimtLendQty)))
        return refuse(QStringLiteral("ELT121"));
    const DBResultSet& rs = b.rows(at.requests);
    for (int r = 0; r < rs.rowCount(); ++r) {
        if (rs.text(r, 0) == c.callNo)
            return refuse(QStringLiteral("E该读者已经委托了该种书"));
    }
    const int maxPreg = toInt(readerValue(redr::MaxPregQty));
    if (rs.rowCount() >= maxPreg)
        return refuse(QStringLiteral("E该读者已达到最大委托册数：") + QString::number(maxPreg) + QStringLiteral("册"));
    return 0;
}

int ConsignDesk::subApplyBook(const QString& callNo, HoldingRow& holding)
{
    const QString loc = holding.location;
    if (loc.isEmpty())
        return -1;
    PlacingCheck c;
    c.certId = g_strCertID;
    c.callNo = callNo;
    c.location = loc;

    // The server's date, the title's type and grade, and what the checks read
    // (the arrived copies on the server's date), in one round trip; the checks
    // themselves keep their order.
    LIB_DB_Batch first;
    const int dateAt = first.serverDate();
    const int titleAt = first.prepared(QStringLiteral("desk_placing_title"),
                                       "SELECT circ_type_code, lend_grd FROM call_no_lst WHERE call_no = $1", {callNo});
    const PlacingReads unlocked = addPlacingReads(first, c, false);
    if (run(first) != 0) {
        intShowDBError();
        return -1;
    }
    c.today = first.rows(dateAt).text(0, 0).left(10);
    const DBResultSet& title = first.rows(titleAt);
    c.circType = title.rowCount() > 0 ? title.text(0, 0) : QString();
    c.rule = intFindRuleIndex(loc, c.circType, readerValue(redr::RedrTypeCode));
    if (c.rule < 0) {
        intShowMsg(QStringLiteral("ELT161"));
        return -1;
    }
    const QString titleGrade = title.rowCount() > 0 ? title.text(0, 1) : QString();
    if (titleGrade > readerValue(redr::LendGrd)) {
        intShowMsg(QStringLiteral("ELT164") + callNo);
        return -1;
    }
    const int p = static_cast<int>(varGetSysPara(8).toDouble());
    const int limit = p < 0 ? -p : p * holding.lendable;
    const QString queueFull = QStringLiteral("E该书已达到最大委托人数：") + QString::number(limit) + QStringLiteral("人");
    if (holding.queued >= limit) {
        intShowMsg(queueFull);
        return -1;
    }

    // The checks once before the keep days are asked, so that a refusal comes
    // before the worker types anything; no lock is held while the dialog waits.
    if (intCheckPlacing(first, unlocked, c, false) != 0)
        return -1;
    const int maxDays = toInt(readerValue(redr::MaxPregDays));
    if (maxDays < 1) {
        intShowMsg(QStringLiteral("E该读者类型的最大委托保留天数为") + QString::number(maxDays)
                   + QStringLiteral("天，不能委托！"));
        return -1;
    }
    // A closed dialog, or no positive number of days, places nothing.
    const std::optional<int> days = askKeepDays ? askKeepDays(c.today, maxDays) : std::optional<int>(maxDays);
    if (!days || *days <= 0 || *days > maxDays)
        return -1;
    const QString endDate = QDate::fromString(c.today, QStringLiteral("yyyy-MM-dd"))
                                .addDays(*days)
                                .toString(QStringLiteral("yyyy-MM-dd"));

    // Then lock, check again what may have changed meanwhile, and write. The
    // reader's row first: two desks placing for the same reader wait for each
    // other here, so the limits see each other's requests. The queue is held
    // next, before the reader's requests, to the commit: its length and its
    // last number are those the new request joins. One round trip from BEGIN
    // to the count.
    LIB_DB_Batch locked;
    const PlacingReads under = addPlacingReads(locked, c, true, strQueueLockSql(callNo, loc));
    const int queueAt = under.queue;
    const int countAt = locked.prepared(QStringLiteral("desk_placing_queue"),
                                        "SELECT max(relegate_no), count(*) FILTER (WHERE relegate_end_date >= $1) "
                                        "FROM relegate_lst WHERE call_no = $2 AND location = $3 AND relegate_flag = '0'",
                                        {c.today, callNo, loc});
    if (runOpening(locked, [&] { return locked.failedAt() >= queueAt ? abortTrans() : endTransReport(); }) != 0)
        return -1;
    if (intCheckPlacing(locked, under, c, true) != 0)
        return -1;
    const DBResultSet& rs = locked.rows(countAt);
    if (rs.rowCount() > 0 && toInt(rs.text(0, 1)) >= limit) {
        holding.queued = toInt(rs.text(0, 1));
        return endTransRefuse(queueFull);
    }
    const int next = (rs.rowCount() > 0 ? toInt(rs.text(0, 0)) : 0) + 1;
    LIB_DB_Batch write;
    write.execute(
        "INSERT INTO relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, relegate_keep_days, "
        "relegate_end_date, relegate_location, wkr_no, relegate_flag) VALUES (" + q(c.certId) + ", " + q(callNo)
        + ", " + q(loc) + ", " + QString::number(next) + ", " + q(c.today) + ", " + q(QString::number(*days)) + ", "
        + q(endDate) + ", " + q(varGetSysInfo(3)) + ", " + q(varGetSysInfo(4)) + ", '0')");
    // The request list read again behind the commit, in the same round trip.
    const int written = writeThenList(write, 1);
    if (written < 0)
        return abortTrans();
    // The row shows the queue as this request left it.
    holding.queued = (rs.rowCount() > 0 ? toInt(rs.text(0, 1)) : 0) + 1;
    if (written == 0)
        holding.applied = true;
    return 0;
}

int ConsignDesk::addRequestListQuery(LIB_DB_Batch& batch)
{
    return batch.prepared(QStringLiteral("desk_request_list"),
                          "SELECT relegate_lst.call_no, relegate_lst.location, relegate_lst.relegate_date, "
                          "relegate_lst.relegate_end_date, relegate_lst.relegate_no, call_no_lst.marc_rec_no "
                          "FROM relegate_lst, call_no_lst WHERE relegate_lst.call_no = call_no_lst.call_no "
                          "AND relegate_lst.cert_id = $1 AND relegate_lst.relegate_flag = '0' "
                          "ORDER BY relegate_lst.relegate_date DESC, relegate_lst.id DESC",
                          {g_strCertID});
}

QString ConsignDesk::requestRecordsSQL()
{
    // $1: the reader.
    return QStringLiteral("SELECT call_no_lst.marc_rec_no FROM relegate_lst, call_no_lst WHERE relegate_lst.call_no = "
                          "call_no_lst.call_no AND relegate_lst.cert_id = $1 AND relegate_lst.relegate_flag = '0'");
}

ConsignDesk::ListReads ConsignDesk::addRequestList(LIB_DB_Batch& batch)
{
    ListReads at;
    at.list = addRequestListQuery(batch);
    at.texts = addTexts(batch, QStringLiteral("desk_request_texts"), requestRecordsSQL(), {g_strCertID});
    return at;
}

void ConsignDesk::takeRequestList(LIB_DB_Batch& batch, const ListReads& at, int mark)
{
    const DBResultSet& rs = batch.rows(at.list);
    QStringList nos;
    for (int r = 0; r < rs.rowCount(); ++r)
        nos << rs.text(r, 5);
    fillRequests(rs, textsOf(nos, &batch, at.texts), mark);
}

int ConsignDesk::writeThenList(LIB_DB_Batch& writes, int mark)
{
    writes.afterCommit();
    ++m_statements; // COMMIT
    const ListReads at = addRequestList(writes);
    if (run(writes) != 0) {
        if (writes.failedAt() < writes.afterCommitAt())
            return -1;
        intShowDBError();
        m_requests.clear();
        return 1;
    }
    takeRequestList(writes, at, mark);
    return 0;
}

int ConsignDesk::subLoadApplyList(int mark)
{
    // The list and the records of its titles in one round trip.
    LIB_DB_Batch b;
    const ListReads at = addRequestList(b);
    if (run(b) != 0) {
        intShowDBError();
        return -1;
    }
    takeRequestList(b, at, mark);
    return 0;
}

void ConsignDesk::fillRequests(const DBResultSet& rs, const QVector<QStringList>& texts, int mark)
{
    m_requests.clear();
    for (int r = 0; r < rs.rowCount(); ++r) {
        RequestRow row;
        row.callNo = rs.text(r, 0);
        row.location = rs.text(r, 1);
        row.relegateDate = rs.text(r, 2);
        row.endDate = rs.text(r, 3);
        row.relegateNo = toInt(rs.text(r, 4));
        row.marcRecNo = rs.text(r, 5);
        row.title = texts[r][0];
        row.author = texts[r][1];
        row.publisher = texts[r][2];
        m_requests.push_back(row);
    }
    m_markedRequest = mark == 1 && !m_requests.isEmpty() ? 0 : -1;
}

int ConsignDesk::subDeleteApply(int row)
{
    if (row < 0 || row >= m_requests.size())
        return -1;
    const RequestRow r = m_requests[row];
    return subDeleteApply(r);
}

int ConsignDesk::subDeleteApply(const RequestRow& request)
{
    if (intShowMsg(QStringLiteral("QCM003")) != 1)
        return 1;
    // The queue is renumbered from the request's number as it stands now, not
    // as the list showed it: a request served or moved meanwhile is found here.
    LIB_DB_Batch locked;
    locked.select(strQueueLockSql(request.callNo, request.location));
    const int numberAt = locked.prepared(QStringLiteral("desk_deleting_request"),
                                         "SELECT relegate_no FROM relegate_lst WHERE cert_id = $1 AND call_no = $2 "
                                         "AND location = $3 AND relegate_flag = '0' FOR UPDATE",
                                         {g_strCertID, request.callNo, request.location});
    if (runOpening(locked, [this] { return abortTrans(); }) != 0)
        return -1;
    const DBResultSet& rs = locked.rows(numberAt);
    if (rs.rowCount() < 1) {
        rollback();
        intShowMsg(QStringLiteral("E该委托申请已不再等待（已被处理或删除），请查看刷新后的申请列表！"));
        subLoadApplyList(0);
        return -1;
    }
    const int number = toInt(rs.text(0, 0));
    // The two writes, the queue's new length, the commit and the request list
    // in one round trip.
    LIB_DB_Batch write;
    write.execute("UPDATE relegate_lst SET relegate_flag = '2', relegate_no = 0 WHERE cert_id = " + q(g_strCertID)
                  + " AND call_no = " + q(request.callNo) + " AND location = " + q(request.location)
                  + " AND relegate_flag = '0'");
    write.execute("UPDATE relegate_lst SET relegate_no = relegate_no - 1 WHERE call_no = " + q(request.callNo)
                  + " AND location = " + q(request.location) + " AND relegate_no > " + q(QString::number(number))
                  + " AND relegate_flag = '0'");
    const int countAt = write.prepared(QStringLiteral("desk_deleting_queue"),
                                       "SELECT count(*) FROM relegate_lst WHERE call_no = $1 AND location = $2 AND "
                                       "relegate_flag = '0' AND relegate_end_date >= " + strServerDayExpr(),
                                       {request.callNo, request.location});
    // The request list read again behind the commit.
    if (writeThenList(write, 0) < 0)
        return abortTrans();
    const DBResultSet& left = write.rows(countAt);
    subQueueLeft(request.callNo, request.location, left.rowCount() > 0 ? toInt(left.text(0, 0)) : 0);
    return 0;
}

void ConsignDesk::subQueueLeft(const QString& callNo, const QString& location, int queued)
{
    // The row of that queue counts anew and may take a request again.
    for (TitleRow& t : m_titles) {
        if (!t.listed || t.listedCallNo != callNo)
            continue;
        for (HoldingRow& h : t.holdings) {
            if (h.location != location)
                continue;
            h.queued = queued;
            h.applied = false;
        }
    }
}

} // namespace desk
