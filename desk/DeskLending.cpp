#include "desk/DeskLending.h"

#include "common/LoginState.h"
#include "common/basAuth.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "common/basMsg.h"
#include "desk/basOverdue.h"
#include "platform/oradb/Database.h"
#include "platform/ui/DialogService.h"

#include <QDate>
#include <QSet>

namespace desk {

namespace {

QString q(const QVariant& v) {
    return strSQLQuote(v);
}

int toInt(const QString& s) {
    bool ok = false;
    const double d = s.trimmed().toDouble(&ok);
    return ok ? static_cast<int>(d) : 0;
}

Cents cents(const QVariant& v) {
    Cents c = 0;
    return blnParseMoney(v.toString(), &c) ? c : 0;
}

QString deskGroupCode() {
    const QVariant& p = g_varLocaProperty;
    if (p.canConvert<QVariantList>() && p.typeId() != QMetaType::QString) {
        const QVariantList l = p.toList();
        return l.isEmpty() ? QString() : l.first().toString();
    }
    return p.toString();
}

// The names of a comma list of desk locations, joined by ",".
QString deskNames(QString list) {
    QStringList names;
    while (!list.isEmpty()) {
        const int comma = list.indexOf(QLatin1Char(','));
        const QString code = comma < 0 ? list : list.left(comma);
        list = comma < 0 ? QString() : list.mid(comma + 1);
        names << strLocationName(code);
    }
    return names.join(QLatin1Char(','));
}

int ruleByNo(const QString& ruleNo) {
    for (int r = 0; r < g_varCircRule.rowCount(); ++r)
        if (g_varCircRule.text(r, circrule::RuleNo) == ruleNo) return r;
    return -1;
}

QString ruleText(int rule, int col) {
    return g_varCircRule.text(rule, col);
}

// The due date of a loan under a cached rule, lent now at a copy's location.
QString dueUnderRule(int rule, const QString& location, const QString& now) {
    const QString unit = ruleText(rule, circrule::TimeUnit);
    if (unit == QLatin1String("D")) {
        g_varLocaCloseDay = varGetCloseDay(location);
        g_varLocaOpenTime = varGetOpenTime(location);
    }
    return strDueDate(unit, toInt(ruleText(rule, circrule::NormTerm)), now, g_varLocaCloseDay,
                      g_varLocaOpenTime);
}

bool priceCallsForNotice(const QString& price) {
    bool ok = false;
    const double p = price.trimmed().toDouble(&ok);
    return ok && p >= varGetSysPara(6).toDouble();
}

// The copy row of a lending, with the location group of the copy's location,
// the borrower of its loan, the free copies of its title on the shelf and the
// server's time. Read under a lock, the borrower and the shelf are read again
// afterwards: a sub-select keeps the snapshot the statement started with.
QString copySelect() {
    return QStringLiteral(
               "SELECT item.prop_no, item.marc_rec_no, item.location, item.call_no, item.bar_code, "
               "item.book_stat_code, item.book_lend_flag, item.attachment, call_no_lst.lend_grd, "
               "call_no_lst.circ_type_code, item.price, item.in_date, location_lst.location_property, "
               "(SELECT min(lend_lst.cert_id) FROM lend_lst WHERE lend_lst.prop_no = item.prop_no), "
               "(SELECT count(*) FROM item shelf WHERE shelf.call_no = item.call_no AND shelf.book_stat_code "
               "= '41' "
               "AND shelf.book_lend_flag = '0'), ") +
           strServerDateExpr() +
           QStringLiteral(" FROM item JOIN call_no_lst ON call_no_lst.call_no = item.call_no "
                          "LEFT JOIN location_lst ON location_lst.location = item.location WHERE ");
}

// The loan of a copy with its borrower. The loan's reader number is compared
// in the reader table's collation, so the reader is found by its key.
const char* kReturnSelect =
    "SELECT lend_lst.norm_ret_date, lend_lst.rule_no_f, item.prop_no, item.marc_rec_no, item.location, "
    "item.call_no, item.bar_code, item.book_stat_code, item.book_lend_flag, lend_lst.attachment, "
    "reader.cert_id, "
    "reader.redr_type_code, reader.name, reader.dept, reader.sex, reader.debt_flag, reader.total_lend_qty, "
    "reader.year_lend_qty, reader_cert.end_date, reader_cert.redr_cert_id, item.price, lend_lst.lend_date "
    "FROM lend_lst, item, reader, reader_cert WHERE item.prop_no = lend_lst.prop_no "
    "AND reader.cert_id = lend_lst.cert_id COLLATE \"default\" AND reader_cert.cert_id = reader.cert_id "
    "AND item.bar_code = ";
namespace ret {
enum Column {
    NormRetDate = 0,
    RuleNo,
    PropNo,
    MarcRecNo,
    Location,
    CallNo,
    BarCode,
    StatCode,
    LendFlag,
    Attachment,
    CertId,
    RedrType,
    Name,
    Dept,
    Sex,
    Debt,
    TotalQty,
    YearQty,
    EndDate,
    CardNo,
    Price,
    LendDate
};
}

// Each hand-on attempt runs from this savepoint of the return's transaction.
const QString kHandOnSavepoint = QStringLiteral("hand_on");

const QString kHeldForConsignment = QStringLiteral("E该书处于委托借出状态，请在委托借阅模块中处理。");
const QString kRecordChanged = QStringLiteral("E该书的借阅记录已被其他工作站改变，请重新扫描。");

} // namespace

DeskLending::DeskLending(ConsignDesk& desk) : m_desk(desk) {}

void DeskLending::plainBox(bool error, const QString& text) {
    ui::BoxRequest box;
    box.icon = error ? ui::BoxIcon::Error : ui::BoxIcon::Information;
    box.title = QStringLiteral("流通委托");
    box.text = text;
    box.beep = error;
    ui::DialogService::current().showBox(box);
}

QString DeskLending::countedChange(const QString& sql) {
    return "WITH changed AS (" + sql + " RETURNING 1) SELECT count(*) FROM changed";
}

// ---- the lending core ---------------------------------------------------------------

LendFactReads DeskLending::addFactReads(const QString& key, const QString& code, bool locked, LIB_DB_Batch& b,
                                        const QString& prefix, const QString& whose,
                                        const QList<QVariant>& readerParams) {
    auto ofCopy = [&](const char* name, const QString& sql) {
        return b.prepared(prefix + QLatin1String(name), sql, {code});
    };
    auto ofReaders = [&](const char* name, const QString& sql) {
        return b.prepared(prefix + QLatin1String(name), sql, readerParams);
    };
    const QString where = key + QStringLiteral(" = $1");
    LendFactReads at;
    // The locks in their order: the copy, then the readers' loans (their
    // readers locked before). Read under the locks, the borrower and the
    // shelf are read again by statements of their own: a sub-select keeps the
    // snapshot its statement started with.
    at.copy = ofCopy("copy", copySelect() + where + (locked ? " FOR UPDATE OF item" : ""));
    at.borrower =
        locked ? ofCopy("borrower", "SELECT cert_id FROM lend_lst WHERE prop_no = (SELECT item.prop_no FROM item "
                                    "WHERE " + where + ")")
               : -1;
    // Only arrivals still waiting for the reader count.
    at.arrivals = ofReaders("arrivals", "SELECT prop_no, call_no_f, cert_id FROM preg_arri_lst WHERE cert_id " +
                                            whose + " AND pregarri_deal_flag = '0'");
    at.loans = ofReaders("loans", "SELECT lend_lst.cert_id, item.location, call_no_lst.circ_type_code, "
                                  "call_no_lst.call_no FROM lend_lst, item, call_no_lst WHERE "
                                  "lend_lst.prop_no = item.prop_no AND item.call_no = call_no_lst.call_no "
                                  "AND lend_lst.cert_id " + whose + QString(locked ? " FOR UPDATE OF lend_lst" : ""));
    at.shelf = locked ? ofCopy("shelf", "SELECT count(*) FROM item WHERE call_no = (SELECT item.call_no "
                                        "FROM item WHERE " + where + ") AND book_stat_code = '41' AND "
                                        "book_lend_flag = '0'")
                      : -1;
    return at;
}

void DeskLending::takeFacts(const LIB_DB_Batch& b, const LendFactReads& at, const QString& certId, LendFacts& f) {
    f = LendFacts();
    const DBResultSet& rs = b.rows(at.copy);
    if (rs.rowCount() < 1) return;
    f.haveCopy = true;
    LendCopy& c = f.copy;
    c = LendCopy{rs.text(0, 0), rs.text(0, 1), rs.text(0, 2), rs.text(0, 3), rs.text(0, 4),  rs.text(0, 5),
                 rs.text(0, 6), rs.text(0, 7), rs.text(0, 8), rs.text(0, 9), rs.text(0, 10), rs.text(0, 11)};
    f.group = rs.text(0, 12);
    f.borrower = rs.text(0, 13);
    f.shelf = toInt(rs.text(0, 14));
    f.now = rs.text(0, 15);
    if (at.borrower >= 0 && c.bookLendFlag == QLatin1String("1")) {
        const DBResultSet& loan = b.rows(at.borrower);
        f.borrower = loan.rowCount() > 0 ? loan.text(0, 0) : QString();
    }
    f.haveLoan = !f.borrower.isEmpty();
    if (c.bookLendFlag == QLatin1String("2")) {
        const DBResultSet& arrivals = b.rows(at.arrivals);
        for (int r = 0; r < arrivals.rowCount(); ++r)
            if (arrivals.text(r, 2) == certId) f.arrivals.push_back({arrivals.text(r, 0), arrivals.text(r, 1)});
    }
    // The reads may cover several readers: the reader's own loans.
    f.loans = rowsOf(b.rows(at.loans), 0, certId);
    if (at.shelf >= 0) f.shelf = b.rows(at.shelf).rowCount() > 0 ? toInt(b.rows(at.shelf).text(0, 0)) : 0;
}

int DeskLending::readFacts(const QString& key, const QString& code, bool locked, LendFacts& f, LIB_DB_Batch& b,
                           const std::function<void(LIB_DB_Batch&)>& more) {
    f = LendFacts();
    const QString certId = m_desk.readerValue(redr::CertId);
    // Named prepared statements, one set per key and lock: they run at every
    // lending. $1 is the copy's bar code or property number, or the reader.
    const QString prefix = QStringLiteral("desk_lend_") + (locked ? QStringLiteral("locked_") : QString()) +
                           QString(key).remove(QStringLiteral("item.")) + QLatin1Char('_');
    // Everything in one round trip, the reader locked first.
    if (locked)
        b.prepared(prefix + QStringLiteral("reader"),
                   QStringLiteral("SELECT cert_id FROM reader WHERE cert_id = $1 FOR UPDATE"), {certId});
    const LendFactReads at = addFactReads(key, code, locked, b, prefix, QStringLiteral("= $1"), {certId});
    if (more) more(b);
    if (m_desk.run(b) != 0) return -1;
    takeFacts(b, at, certId, f);
    return 0;
}

DeskLending::Outcome DeskLending::judge(const LendFacts& f, const QString& certId, const QString& grade,
                                        const QString& redrType, int& rule, bool& reservedOk) {
    const LendCopy& c = f.copy;
    reservedOk = false;
    rule = -1;
    if (c.bookLendFlag == QLatin1String("1") && f.haveLoan)
        return f.borrower == certId ? Outcome{QStringLiteral("ELT112"), -1}
                                    : Outcome{QStringLiteral("ELT113"), 1};
    if (c.bookLendFlag == QLatin1String("3")) return {kHeldForConsignment, 1};
    if (c.bookStatCode != QLatin1String("41"))
        return {QStringLiteral("ELT114") + strItemStatusName(c.bookStatCode), 1};
    if (grade < c.titleGrade) return {QStringLiteral("ELT115") + c.titleGrade, -1};
    if (c.bookLendFlag == QLatin1String("2")) {
        bool sameTitle = false;
        for (const QStringList& a : f.arrivals) {
            reservedOk = reservedOk || a.value(0) == c.propNo;
            sameTitle = sameTitle || a.value(1) == c.callNo;
        }
        if (!reservedOk) return {sameTitle ? QStringLiteral("ELT116") : QStringLiteral("ELT117"), 1};
    }
    if (!blnParamYes(varGetSysPara(4))) {
        for (int r = 0; r < f.loans.rowCount(); ++r)
            if (f.loans.text(r, 3) == c.callNo) return {QStringLiteral("ELT118"), -1};
    }
    rule = intFindRuleIndex(c.location, c.circType, redrType);
    if (rule < 0) return {QStringLiteral("ELT119"), -1};
    int atLoc = 0, atLocType = 0;
    for (int r = 0; r < f.loans.rowCount(); ++r) {
        if (f.loans.text(r, 1) != c.location) continue;
        ++atLoc;
        if (f.loans.text(r, 2) == c.circType) ++atLocType;
    }
    if (atLoc >= toInt(ruleText(rule, circrule::MaxLendQty))) return {QStringLiteral("ELT120"), -1};
    if (atLocType >= toInt(ruleText(rule, circrule::LimtLendQty))) return {QStringLiteral("ELT121"), -1};
    if (!reservedOk && f.shelf <= toInt(ruleText(rule, circrule::KeepBookQty)))
        return {QStringLiteral("ELT122"), -1};
    return {};
}

int DeskLending::lendFailed() {
    intShowDBError();
    return -1;
}

DeskLending::KeptError DeskLending::KeptError::pending() {
    return KeptError{g_intErrKind, g_lngErrNo, g_strErrMsgCode, g_strErrText, g_strErrProc, g_strSQL};
}

void DeskLending::KeptError::show() const {
    g_intErrKind = kind;
    g_lngErrNo = number;
    g_strErrMsgCode = msgCode;
    g_strErrText = text;
    g_strErrProc = proc;
    g_strSQL = sql;
    intShowDBError();
}

int DeskLending::handOnAttemptFailed(const QString& certId, const QString& propNo) {
    const oradb::Database* db = LIB_DB_Database();
    const bool deadlock = g_lngErrNo == 60;
    if (deadlock || !LIB_DB_InTrans() || !db || !db->IsConnected()) {
        m_desk.abortTrans();
        return -2;
    }
    const KeptError failed = KeptError::pending();
    LIB_ClearDBError();
    ++m_desk.m_statements;
    if (LIB_DB_RollbackTo(kHandOnSavepoint) != 0) {
        m_desk.abortTrans();
        return -2;
    }
    LIB_WriteLogFile(QStringLiteral("流通委托"),
                     QStringLiteral("还书转借：借给委托读者%1失败，已跳过该读者（财产号%2）：%3")
                         .arg(certId, propNo, failed.text));
    if (m_handOnError.kind == 0) m_handOnError = failed;
    return -1;
}

int DeskLending::lendCopy(Lender who, const QString& code) {
    const bool loud = who == Lender::Desk;
    const bool find = who == Lender::Find; // stops are shown, passes silent
    // The hand-on runs inside the return's transaction: a refusal leaves it
    // open for the return, a failure ends the whole action (-2).
    const bool handOn = who == Lender::HandOn;
    const QString certId = m_desk.readerValue(redr::CertId);
    const QString grade = m_desk.readerValue(redr::LendGrd);
    const QString redrType = m_desk.readerValue(redr::RedrTypeCode);

    // A refusal: the ordinary lending shows it and ends with -1; the hand-on
    // stops (1) or passes the requester over (-1) without a word. Inside the
    // transaction nothing has been written yet: it ends first.
    auto refuse = [&](const Outcome& o, bool inTrans) {
        if (inTrans && !handOn) m_desk.commit();
        if (loud || (find && o.silent == 1)) intShowMsg(o.message);
        return loud ? -1 : o.silent;
    };
    const Outcome noTitle{
        find ? QStringLiteral("ELT130") : QStringLiteral("E该书的索书号没有书目记录，不能借出。"), 1};
    // The find desk lends a copy without a location of its own ('99999') as
    // one of the desk's location: rule, limits and closed days; its request
    // queue stays the one at the stored location.
    QString storedLoc;
    const auto atWorkLocation = [&](LendFacts& facts) {
        storedLoc = facts.copy.location;
        if (find && storedLoc == QLatin1String("99999")) facts.copy.location = varGetSysInfo(3).toString();
    };

    LendFacts f;
    int rule = -1;
    bool reservedOk = false;
    Outcome o;
    LendCopy copy;
    if (handOn) {
        // It asks nothing: its facts are read once, under the locks.
        copy.propNo = code;
        copy.callNo = m_return.callNo;
        storedLoc = m_return.location;
    } else {
        // The find desk's scan read them already, for every requester queued.
        LIB_DB_Batch unlocked;
        if (find && m_found.facts)
            takeFacts(*m_found.facts, m_found.factsAt, certId, f);
        else if (readFacts(QStringLiteral("item.bar_code"), code, false, f, unlocked) != 0)
            return lendFailed();
        if (!f.haveCopy) return refuse(noTitle, false);
        if (find && showCopy) showCopy(f.copy);
        atWorkLocation(f);
        copy = f.copy;
        m_now = f.now;
        if (loud && f.group == deskGroupCode()) {
            const QString allowed = strCheckDeskLocation(copy.location, varGetSysInfo(3), DeskLend);
            if (!allowed.isEmpty()) {
                intShowMsg(QStringLiteral("ELT111") + deskNames(allowed));
                return -1;
            }
        }
        o = judge(f, certId, grade, redrType, rule, reservedOk);
        if (o.silent != 0) return refuse(o, false);

        // Questions first, with nothing locked.
        m_strAttachment = copy.attachment.trimmed();
        if (!m_strAttachment.isEmpty() && showAttachment) showAttachment(*this);
        if (priceCallsForNotice(copy.price)) intShowMsg(QStringLiteral("ILT104") + copy.price);
    }
    const QString today = m_now.left(10);

    // Lock the reader, the copy and the reader's loans; judge again on what the
    // locks hold now. The hand-on and the find desk also hold the request's
    // queue, last, while they close it up: the request must still wait in it.
    // The hand-on's reads follow the return's writes: they came with its
    // closing, for every requester queued, and an attempt writes from its
    // savepoint; only when they failed there does each attempt read its own.
    const bool readAhead = handOn && m_return.facts;
    LIB_DB_Batch lockedReads;
    int queueAt = -1;
    if (readAhead) {
        takeFacts(*m_return.facts, m_return.factsAt, certId, f);
    } else {
        if (handOn) {
            // A requester's attempt that fails is undone back to here: the
            // return stands and the next requester is tried.
            lockedReads.savepoint(kHandOnSavepoint);
        } else {
            lockedReads.begin();
            ++m_desk.m_statements; // BEGIN
        }
        auto holdQueue = [&](LIB_DB_Batch& b) {
            b.prepared(QStringLiteral("desk_lend_queue_lock"),
                       "SELECT " + strQueueLockExpr(QStringLiteral("$1"), QStringLiteral("$2")),
                       {copy.callNo, storedLoc});
            queueAt = b.prepared(QStringLiteral("desk_lend_queue"),
                                 QStringLiteral("SELECT cert_id, relegate_no FROM relegate_lst WHERE cert_id = $1 "
                                                "AND call_no = $2 AND location = $3 AND relegate_flag = '0' AND "
                                                "relegate_end_date >= $4 FOR UPDATE"),
                                 {certId, copy.callNo, storedLoc, today});
        };
        if (readFacts(QStringLiteral("item.prop_no"), copy.propNo, true, f, lockedReads,
                      loud ? std::function<void(LIB_DB_Batch&)>() : holdQueue) != 0) {
            if (handOn) return handOnAttemptFailed(certId, copy.propNo);
            if (LIB_DB_InTrans()) m_desk.commit();
            return lendFailed();
        }
    }
    if (!f.haveCopy) return refuse(noTitle, true);
    atWorkLocation(f);
    if (handOn) copy = f.copy;
    o = judge(f, certId, grade, redrType, rule, reservedOk);
    if (o.silent != 0) return refuse(o, true);
    QString queueNo;
    if (!loud) {
        // The request must still wait in the queue, now locked.
        const DBResultSet waiting =
            rowsOf(readAhead ? m_return.facts->rows(m_return.queueAt) : lockedReads.rows(queueAt), 0, certId);
        if (waiting.rowCount() < 1) {
            if (!handOn) m_desk.commit();
            return -1;
        }
        queueNo = waiting.text(0, 1);
    }
    const QString due = dueUnderRule(rule, copy.location, m_now);
    const QString ruleNo = ruleText(rule, circrule::RuleNo);
    const QString wkr = varGetSysInfo(4).toString();
    // The lending, its writes, the workload and the commit in one round trip,
    // as named prepared statements.
    LIB_DB_Batch writes;
    if (readAhead) writes.savepoint(kHandOnSavepoint);
    const QList<QVariant> lendArgs = {certId, copy.propNo, due, ruleNo, m_strAttachment, wkr};
    if (handOn)
        writes.preparedWrite(QStringLiteral("desk_lend_handon_call"),
                             QStringLiteral("CALL LT_lendbook($1, $2, $3, $4, $5, $6)"), lendArgs);
    else
        writes.preparedWrite(QStringLiteral("desk_lend_call"),
                             QStringLiteral("CALL LT_lendbook_new($1, $2, $3, $4, $5, $6, '0', '1')"), lendArgs);
    if (!loud) {
        const QString keepDays = QString::number(toInt(ruleText(rule, circrule::PregKeepDays)));
        const QString keepEnd = QDate::fromString(today, QStringLiteral("yyyy-MM-dd"))
                                    .addDays(keepDays.toInt())
                                    .toString(QStringLiteral("yyyy-MM-dd"));
        const QString pickUp = find ? m_found.relegateLocation : m_candidates.text(m_chosen, 2);
        m_lent.keepEndDate = keepEnd;
        writes.preparedWrite(
            QStringLiteral("desk_lend_found_row"),
            QStringLiteral("INSERT INTO relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, "
                           "relegate_noti_date, relegate_keep_end_date, relegate_keep_days, relegate_lend_date, "
                           "relegate_ret_date, relegate_location, relegate_find_location, relegate_ret_location, "
                           "relegate_end_flag, resp_wkr, relegate_date) VALUES ($1, $2, $3, $4, $4, $5, $6, NULL, "
                           "NULL, $7, $8, NULL, '1', $9, $10)"),
            {certId, copy.propNo, copy.callNo, today, keepEnd, keepDays, pickUp, varGetSysInfo(3), wkr,
             find ? QVariant(m_found.relegateDate) : QVariant()});
        writes.preparedWrite(QStringLiteral("desk_lend_held"),
                             QStringLiteral("UPDATE item SET book_lend_flag = '3' WHERE prop_no = $1"), {copy.propNo});
        // The find desk serves the request; the hand-on takes it out. Then
        // the queue closes up behind it.
        if (find) {
            writes.preparedWrite(QStringLiteral("desk_lend_served"),
                                 QStringLiteral("UPDATE relegate_lst SET relegate_flag = '1', relegate_no = 0 WHERE "
                                                "cert_id = $1 AND call_no = $2 AND relegate_flag = '0'"),
                                 {certId, copy.callNo});
            writes.preparedWrite(QStringLiteral("desk_lend_served_close_up"),
                                 QStringLiteral("UPDATE relegate_lst SET relegate_no = relegate_no - 1 WHERE "
                                                "call_no = $1 AND location = $2 AND relegate_no > $3 AND "
                                                "relegate_flag = '0'"),
                                 {copy.callNo, storedLoc, queueNo});
        } else {
            writes.preparedWrite(QStringLiteral("desk_lend_taken_out"),
                                 QStringLiteral("DELETE FROM relegate_lst WHERE cert_id = $1 AND call_no = $2"),
                                 {certId, copy.callNo});
            writes.preparedWrite(QStringLiteral("desk_lend_taken_out_close_up"),
                                 QStringLiteral("UPDATE relegate_lst SET relegate_no = relegate_no - 1 WHERE "
                                                "call_no = $1 AND location = $2 AND relegate_no > $3"),
                                 {copy.callNo, storedLoc, queueNo});
        }
        // The return's row of this copy is lent on together with the lending.
        if (handOn) {
            writes.preparedWrite(QStringLiteral("desk_lend_lent_on"),
                                 QStringLiteral("UPDATE relegate_arri_lst SET relegate_end_flag = '6' WHERE "
                                                "cert_id = $1 AND prop_no = $2 AND relegate_ret_date = $3 AND "
                                                "relegate_end_flag = '4'"),
                                 {m_return.borrower, copy.propNo, today});
            // The queue's closing up is checked here, inside the attempt,
            // not at the commit where it would undo the return with it.
            writes.execute("SET CONSTRAINTS relegate_queue_uk IMMEDIATE");
        }
    }
    // The hand-on commits the return with it: its workload goes first.
    QStringList workloads;
    if (handOn) workloads << m_return.workload;
    workloads << strJobQtyCall(QStringLiteral("401"), 0, 1, 0);
    const int written = m_desk.writeWithWorkload(writes, workloads, handOn ? m_return.after : nullptr,
                                                 handOn ? &m_return.committed : nullptr);
    if (written < 0) {
        if (handOn) return handOnAttemptFailed(certId, copy.propNo);
        m_desk.abortTrans();
        return -1;
    }
    if (handOn) m_return.written = written;

    if (find) {
        m_lent = FoundCopy{
            copy, certId, m_desk.readerValue(redr::Name), m_found.relegateLocation, today, m_lent.keepEndDate,
            false};
        // A copy without a location of its own now stands at the desk's.
        if (storedLoc != copy.location &&
            (m_desk.begin() != 0 ||
             m_desk.callProc("LT_ModiLoca " + q(copy.propNo) + "," + q(copy.location)) != 0 ||
             m_desk.commit() != 0)) {
            m_desk.rollback();
            LIB_ClearDBError();
            m_lent.moveFailed = true;
        }
    }
    if (loud) {
        LoanRow l;
        l.certId = certId;
        l.propNo = copy.propNo;
        l.lendDate = m_now;
        l.normRetDate = due;
        l.marcRecNo = copy.marcRecNo;
        l.barCode = copy.barCode;
        l.callNo = copy.callNo;
        l.bookStatCode = copy.bookStatCode;
        l.location = copy.location;
        l.bookLendFlag = QStringLiteral("1");
        m_desk.m_loans.prepend(l);
        m_markedLoan = copy.barCode;
        m_desk.setLoanCount(int(m_desk.m_loans.size()), m_desk.readerValue(redr::MaxLendQty));
        m_desk.countLend();
        if (m_desk.showPanel) m_desk.showPanel(false);
    }
    return 0;
}

int DeskLending::subLendBook(const QString& code) {
    return lendCopy(Lender::Desk, code);
}

int DeskLending::intLendFound(const QString& barCode, const FoundRequest& request) {
    m_found = request;
    return lendCopy(Lender::Find, barCode);
}

int DeskLending::intLendToApplicant(const QString& propNo) {
    if (m_chosen < 0 || m_chosen >= m_candidates.rowCount()) return -1;
    return lendCopy(Lender::HandOn, propNo);
}

int DeskLending::subPassToApplicant(const QString& propNo, const LIB_DB_Batch& checks,
                                    const ApplicantReads& at) {
    for (int i = 0; i < m_candidates.rowCount(); ++i) {
        if (m_desk.intJudgeApplicant(checks, at, m_candidates.text(i, 0)) != 0) continue;
        m_chosen = i;
        const int r = intLendToApplicant(propNo);
        m_chosen = -1;
        if (r == 0 || r == -2) return r;
        if (r == 1) return -1;
    }
    return -1;
}

// ---- pick-up ---------------------------------------------------------------------------

int DeskLending::pickUpFailed(const QString& message) {
    m_desk.rollback();
    plainBox(true, message);
    return -1;
}

int DeskLending::subLendReleBook(const QString& code) {
    const QString certId = g_strCertID;
    // The copy and its open found rows in one round trip. Named prepared
    // statements, as the rest of the pick-up's: they run at every pick-up.
    LIB_DB_Batch first;
    const int copyAt = first.prepared(
        QStringLiteral("desk_pickup_copy"),
        "SELECT prop_no, location, " + strServerDateExpr() +
            ", (SELECT min(rule_no_f) FROM lend_lst WHERE lend_lst.prop_no = item.prop_no) FROM item "
            "WHERE bar_code = $1",
        {code});
    const int arriAt = first.prepared(
        QStringLiteral("desk_pickup_found"),
        QStringLiteral("SELECT cert_id, relegate_keep_end_date FROM relegate_arri_lst WHERE prop_no = (SELECT prop_no "
                       "FROM item WHERE bar_code = $1) AND relegate_end_flag < '3' "
                       "ORDER BY relegate_keep_end_date DESC, id DESC"),
        {code});
    if (m_desk.run(first) != 0) {
        intShowDBError();
        return -1;
    }
    const DBResultSet& copy = first.rows(copyAt);
    if (copy.rowCount() < 1) {
        plainBox(true, QStringLiteral("该书条码不存在。"));
        return -1;
    }
    const QString propNo = copy.text(0, 0), location = copy.text(0, 1);
    m_now = copy.text(0, 2);
    const QString today = m_now.left(10);
    const DBResultSet& arri = first.rows(arriAt);
    bool waiting = false;
    QString mine; // keep end date of the reader's first arrival of the copy
    bool haveMine = false;
    for (int r = 0; r < arri.rowCount(); ++r) {
        waiting = waiting || arri.text(r, 1) >= today;
        if (!haveMine && arri.text(r, 0) == certId) {
            haveMine = true;
            mine = arri.text(r, 1);
        }
    }
    if (!waiting && !haveMine) {
        subLendBook(code);
        return -1;
    }
    if (!haveMine) {
        plainBox(true, QStringLiteral("该书不是该读者的委托到书。"));
        return -1;
    }
    if (!waiting && mine < today) {
        plainBox(true, QStringLiteral("已经超过到书保留截至日期。"));
        return -1;
    }

    // The reader's open found row and the loan, locked and read again; the
    // reader first, as every lending locks it before the copy and its loans.
    // The three updates travel behind them, each counting the rows it
    // changed: each changes nothing unless the found row and the reader's
    // loan are there under the rule the due date was worked out for (the
    // one read above, without locks): readyIf names the reader, the copy and
    // that rule by the $n each statement gives them.
    const QString readRule = copy.text(0, 3);
    auto addUpdates = [&](LIB_DB_Batch& b, const QString& due, bool ready) {
        const QString name = ready ? QStringLiteral("desk_pickup_ready_") : QStringLiteral("desk_pickup_again_");
        auto readyIf = [&](const char* reader, const char* copyNo, const char* rule) {
            return ready ? QStringLiteral(" AND EXISTS (SELECT 1 FROM relegate_arri_lst WHERE cert_id = %1 AND "
                                          "prop_no = %2 AND relegate_end_flag < '3') AND EXISTS (SELECT 1 FROM "
                                          "lend_lst WHERE prop_no = %2 AND cert_id = %1 AND rule_no_f = %3)")
                               .arg(QLatin1String(reader), QLatin1String(copyNo), QLatin1String(rule))
                         : QString();
        };
        auto withRule = [&](QList<QVariant> values, const QVariant& reader) {
            if (ready) values << reader << readRule;
            return values;
        };
        const int at = b.prepared(name + QStringLiteral("loan"),
                                  countedChange("UPDATE lend_lst SET lend_date = $1, norm_ret_date = $2, resp_wkr = $3 "
                                                "WHERE prop_no = $4" + readyIf("$5", "$4", "$6")),
                                  withRule({m_now, due, varGetSysInfo(4), propNo}, certId));
        b.prepared(name + QStringLiteral("copy"),
                   countedChange("UPDATE item SET book_lend_flag = '1' WHERE prop_no = $1" + readyIf("$2", "$1", "$3")),
                   withRule({propNo}, certId));
        QList<QVariant> found = {today, certId, propNo};
        if (ready) found << readRule;
        b.prepared(name + QStringLiteral("found"),
                   countedChange("UPDATE relegate_arri_lst SET relegate_end_flag = '3', relegate_lend_date = $1 "
                                 "WHERE cert_id = $2 AND prop_no = $3 AND relegate_end_flag < '3'" +
                                 readyIf("$2", "$3", "$4")),
                   found);
        return at;
    };
    LIB_DB_Batch locked;
    locked.prepared(QStringLiteral("desk_pickup_lock_reader"),
                    QStringLiteral("SELECT cert_id FROM reader WHERE cert_id = $1 FOR UPDATE"), {certId});
    const int foundAt = locked.prepared(QStringLiteral("desk_pickup_lock_found"),
                                        QStringLiteral("SELECT relegate_end_flag FROM relegate_arri_lst WHERE "
                                                       "cert_id = $1 AND prop_no = $2 AND relegate_end_flag < '3' "
                                                       "FOR UPDATE"),
                                        {certId, propNo});
    const int loanAt = locked.prepared(QStringLiteral("desk_pickup_lock_loan"),
                                       QStringLiteral("SELECT rule_no_f, cert_id FROM lend_lst WHERE prop_no = $1 "
                                                      "FOR UPDATE"),
                                       {propNo});
    const int readRuleAt = ruleByNo(readRule);
    const int updatesAt =
        readRuleAt < 0 ? -1 : addUpdates(locked, dueUnderRule(readRuleAt, location, m_now), true);
    // The checks in their order on the locked rows: a refusal's message, or "".
    auto refusal = [&]() -> QString {
        if (locked.rows(foundAt).rowCount() < 1)
            return QStringLiteral("该书已不是该读者待取的委托到书（已被取消或已领取）。");
        const DBResultSet& rs = locked.rows(loanAt);
        if (rs.rowCount() < 1 || rs.text(0, 1) != certId)
            return QStringLiteral("该书没有该读者的借阅记录，不能领取。");
        if (ruleByNo(rs.text(0, 0)) < 0)
            return QStringLiteral("该书借阅记录的流通规则（%1）不存在，不能领取。").arg(rs.text(0, 0));
        return QString();
    };
    // An update that failed where a check refuses: the refusal, as when the
    // updates were sent after the checks.
    const int opened = m_desk.runOpening(locked, [&] {
        const QString refused = updatesAt >= 0 && locked.failedAt() >= updatesAt ? refusal() : QString();
        if (refused.isEmpty()) return m_desk.abortTrans();
        LIB_ClearDBError();
        return pickUpFailed(refused);
    });
    if (opened != 0) return -1;
    if (const QString refused = refusal(); !refused.isEmpty()) return pickUpFailed(refused);
    const QString lockedRule = locked.rows(loanAt).text(0, 0);
    const QString due = dueUnderRule(ruleByNo(lockedRule), location, m_now);
    // A rule changed since it was read: the updates changed nothing and go
    // again for the rule in force.
    LIB_DB_Batch again;
    const LIB_DB_Batch* updates = &locked;
    int countsAt = updatesAt;
    if (updatesAt < 0 || lockedRule != readRule) {
        countsAt = addUpdates(again, due, false);
        if (m_desk.run(again) != 0) return m_desk.abortTrans();
        updates = &again;
    }
    // One that changed none undoes them all.
    for (int i = countsAt; i < countsAt + 3; ++i) {
        if (toInt(updates->rows(i).text(0, 0)) < 1)
            return pickUpFailed(QStringLiteral("该书的记录已被其他工作站改变，未能领取，请重新扫描。"));
    }
    // The commit; a loan not on the list (it was cleared) is read behind it.
    LoanRow* listed = nullptr;
    for (LoanRow& l : m_desk.m_loans) {
        if (l.barCode == code) {
            listed = &l;
            break;
        }
    }
    LIB_DB_Batch done;
    done.commit();
    ++m_desk.m_statements; // COMMIT
    int loansAt = -1;
    if (!listed) {
        done.afterCommit();
        loansAt = ConsignDesk::addLoans(done, certId);
    }
    if (m_desk.run(done) != 0 && done.failedAt() < done.afterCommitAt()) return m_desk.abortTrans();

    if (listed) {
        listed->lendDate = m_now;
        listed->normRetDate = due;
        listed->bookLendFlag = QStringLiteral("1");
    } else if (done.failedAt() < 0) {
        QVector<LoanRow> rows;
        ConsignDesk::takeLoans(done, loansAt, today, rows);
        for (const LoanRow& l : rows)
            if (l.barCode == code) m_desk.m_loans.prepend(l);
    }
    m_markedLoan = code;
    return 0;
}

// ---- return ------------------------------------------------------------------------------

int DeskLending::subReturnBook(const QString& code) {
    const QString deskLoc = varGetSysInfo(3).toString();
    const QString loanSql = QString::fromLatin1(kReturnSelect) +
                            "$1 ORDER BY reader_cert.cert_flag = '1' DESC, reader_cert.redr_cert_id";
    // The copy, then the loan's borrower locked, with the requesters the
    // hand-on may test when the copy stands away from home (the title's
    // waiting, still valid requests at its stored location), all in
    // reader-number order, then the loan and the copy: one round trip that
    // opens the return's transaction. Named prepared statements: they run at
    // every return. $1 is the bar code, $2 the desk's location group; after a
    // question $3 is the borrower then shown, locked whoever holds the loan
    // now.
    struct {
        int copy = -1, readers = -1, loan = -1;
    } at;
    auto lockLoan = [&](LIB_DB_Batch& b, const QString& shownBorrower) {
        if (shownBorrower.isEmpty()) // the copy as the first round trip read it serves the rest
            at.copy = b.prepared(
                QStringLiteral("desk_return_copy"),
                "SELECT item.location, marc.marc_use_flag, location_lst.location_property, " + strServerDateExpr() +
                    " FROM item LEFT JOIN marc ON marc.marc_rec_no = item.marc_rec_no "
                    "LEFT JOIN location_lst ON location_lst.location = item.location WHERE item.bar_code = $1",
                {code});
        const QString queued =
            "SELECT relegate_lst.cert_id COLLATE \"default\" FROM item JOIN relegate_lst ON "
            "relegate_lst.call_no = item.call_no AND relegate_lst.location = item.location "
            "LEFT JOIN location_lst ON location_lst.location = item.location WHERE item.bar_code = $1 "
            "AND coalesce(location_lst.location_property, '') <> $2 AND relegate_lst.relegate_flag = '0' "
            "AND relegate_lst.relegate_end_date >= " + strServerDayExpr();
        const QString lock = QStringLiteral("SELECT cert_id FROM reader WHERE cert_id IN (%1 UNION %2) "
                                            "ORDER BY cert_id FOR UPDATE");
        at.readers =
            shownBorrower.isEmpty()
                ? b.prepared(QStringLiteral("desk_return_lock"),
                             lock.arg(QStringLiteral("SELECT lend_lst.cert_id COLLATE \"default\" FROM lend_lst "
                                                     "JOIN item ON item.prop_no = lend_lst.prop_no WHERE "
                                                     "item.bar_code = $1"),
                                      queued),
                             {code, deskGroupCode()})
                : b.prepared(QStringLiteral("desk_return_relock"), lock.arg(QStringLiteral("SELECT $3::text"), queued),
                             {code, deskGroupCode(), shownBorrower});
        at.loan = b.prepared(QStringLiteral("desk_return_loan_locked"), loanSql + " FOR UPDATE OF lend_lst, item",
                             {code});
    };
    // Whether the loan's borrower is one of the readers locked: a loan that
    // changed hands meanwhile is refused without waiting on its new reader.
    auto borrowerLocked = [&](const LIB_DB_Batch& b) {
        return rowsOf(b.rows(at.readers), 0, b.rows(at.loan).text(0, ret::CertId)).rowCount() > 0;
    };
    LIB_DB_Batch first;
    lockLoan(first, QString());
    if (m_desk.runOpening(first, [this] { return m_desk.abortTrans(); }) != 0) return -1;
    // A refusal or a question gives the locks up first.
    auto refuse = [this](const QString& message) {
        m_desk.rollback();
        intShowMsg(message);
        return -1;
    };
    const DBResultSet& copy = first.rows(at.copy);
    if (copy.rowCount() < 1) return refuse(QStringLiteral("ELT130"));
    m_now = copy.text(0, 3);
    const QString today = m_now.left(10);
    const QString marcUse = copy.text(0, 1);
    const bool away = copy.text(0, 2) != deskGroupCode();
    if (!away) {
        const QString allowed = strCheckDeskLocation(copy.text(0, 0), deskLoc, DeskReturn);
        if (!allowed.isEmpty()) return refuse(QStringLiteral("ELT131") + deskNames(allowed));
    }

    const DBResultSet& loan = first.rows(at.loan);
    if (loan.rowCount() < 1) return refuse(QStringLiteral("ELT132"));
    if (loan.text(0, ret::LendFlag) == QLatin1String("3")) return refuse(kHeldForConsignment);
    if (!borrowerLocked(first)) return refuse(kRecordChanged);
    auto v = [&loan](int c) { return loan.text(0, c); };
    const QString borrower = v(ret::CertId);
    m_strRetRedr = borrower;
    QString typeName, maxLend;
    for (int r = 0; r < g_varRedrType.rowCount(); ++r) {
        if (g_varRedrType.text(r, redrtype::Code) == v(ret::RedrType)) {
            typeName = g_varRedrType.text(r, redrtype::Name);
            maxLend = g_varRedrType.text(r, redrtype::MaxLendQty);
            break;
        }
    }
    m_desk.subClearRedrInfo();
    m_desk.m_violations.clear();
    m_desk.m_violationsFront = false;
    ReaderPanel& p = m_desk.m_panel;
    p.name = v(ret::Name);
    p.sex = strSexName(v(ret::Sex));
    p.dept = v(ret::Dept);
    p.certId = v(ret::CardNo);
    p.typeName = typeName;
    p.endDate = v(ret::EndDate);
    p.loans = QStringLiteral("?/") + maxLend;
    p.yearTotal = v(ret::YearQty) + QStringLiteral("/") + v(ret::TotalQty);
    const Cents debt = cents(v(ret::Debt));
    p.debt = strFormatMoney(debt);
    m_desk.m_readerShown = true;
    g_strCertID = borrower;
    // The borrower stands on the panel before any question or refusal.
    if (m_desk.showPanel) m_desk.showPanel(true);

    const QString attachment = v(ret::Attachment);
    // The question with nothing locked; then everything is locked again and
    // the loan must still be as it was.
    LIB_DB_Batch again;
    const LIB_DB_Batch* lockedBy = &first;
    if (!attachment.trimmed().isEmpty()) {
        m_desk.rollback();
        if (intShowMsg(QStringLiteral("QLT102") + attachment) != 1) return -1;
        lockLoan(again, borrower);
        if (m_desk.runOpening(again, [this] { return m_desk.abortTrans(); }) != 0) return -1;
        lockedBy = &again;
        const DBResultSet& relocked = again.rows(at.loan);
        if (relocked.rowCount() < 1) return refuse(QStringLiteral("ELT132"));
        if (relocked.text(0, ret::CertId) != borrower || relocked.text(0, ret::LendDate) != v(ret::LendDate) ||
            relocked.text(0, ret::Attachment) != attachment ||
            relocked.text(0, ret::LendFlag) == QLatin1String("3"))
            return refuse(kRecordChanged);
    }
    const DBResultSet& locked = lockedBy->rows(at.loan);
    m_strAttachment = attachment.trimmed().isEmpty() ? QString() : attachment;
    const bool sameDayOk = blnParamYes(varGetSysPara(23));
    if (!sameDayOk && v(ret::LendDate).left(10) == today) return refuse(QStringLiteral("ELT171"));

    const QString propNo = v(ret::PropNo), callNo = v(ret::CallNo), location = v(ret::Location);
    // The waiting, still valid requests of the title at the copy's stored
    // location, in queue order: a copy away from home is handed on to one.
    // Parameters $1 to $3 of the prepared statements that name it.
    const QString queueOf = QStringLiteral(
        "FROM relegate_lst WHERE relegate_lst.call_no = $1 AND relegate_lst.location = $2 "
        "AND relegate_lst.relegate_flag = '0' AND relegate_lst.relegate_end_date >= $3");
    const QList<QVariant> queueParams = {callNo, location, today};
    // The fine follows the loan as locked: its due date or rule may have
    // changed while the question was open.
    const QString dueDate = locked.text(0, ret::NormRetDate);
    int rule = ruleByNo(locked.text(0, ret::RuleNo));
    if (rule < 0) rule = 0;
    FineTerms terms;
    terms.timeUnit = ruleText(rule, circrule::TimeUnit);
    terms.graceUnits = toInt(ruleText(rule, circrule::UnfineExtDays));
    terms.firstUnits = toInt(ruleText(rule, circrule::FstFineDays));
    terms.firstPrice = lngMoneyFromDouble(g_varCircRule.number(rule, circrule::FstFinePrice));
    terms.otherPrice = lngMoneyFromDouble(g_varCircRule.number(rule, circrule::OtherFinePrice));
    if (terms.timeUnit == QLatin1String("D")) {
        g_varLocaCloseDay = varGetCloseDay(v(ret::Location));
        g_varLocaOpenTime = varGetOpenTime(v(ret::Location));
    }
    const OverdueJudgement j = judgeOverdue(dueDate, m_now, terms, g_varLocaCloseDay,
                                            g_varLocaOpenTime, static_cast<int>(varGetSysPara(9).toDouble()));
    const QString wkr = varGetSysInfo(4).toString();
    // The loan closed, then what the rest of the action reads, in one round
    // trip: the copy's collected row, a waiting hold of the title, and for a
    // copy away from home the requests and the requester check's reads of
    // every requester queued. Behind them the writes that follow from what
    // those reads find, each as a statement that finds it again: a copy away
    // from home without a collected row given a row of its own to travel
    // with, or the collected row closed (when it is the only one), and a
    // waiting hold given the copy.
    // Named prepared statements: they run at every return.
    LIB_DB_Batch closing;
    closing.preparedWrite(QStringLiteral("desk_return_close"),
                          QStringLiteral("CALL LT_retbook_new($1, $2, $3, $4, $5, $6, $7, $8)"),
                          {propNo, borrower, j.judgedDue, j.count, strFormatMoney(j.fine), j.unit, j.fineText, wkr});
    // $1 the borrower, $2 the copy.
    const QString collectedRow =
        QStringLiteral("FROM relegate_arri_lst WHERE cert_id = $1 AND prop_no = $2 AND relegate_end_flag = '3'");
    closing.prepared(QStringLiteral("desk_return_collected"), "SELECT cert_id " + collectedRow + " FOR UPDATE",
                     {borrower, propNo});
    const int holdsAt = closing.prepared(QStringLiteral("desk_return_holds"),
                                         QStringLiteral("SELECT cert_id FROM preg_lst WHERE call_no = $1 AND "
                                                        "preg_end_date >= $2 AND location = $3 AND preg_flag = '0'"),
                                         {callNo, today, location});
    int candidatesAt = -1;
    ApplicantReads checks;
    if (away) {
        candidatesAt = closing.prepared(QStringLiteral("desk_return_candidates"),
                                        "SELECT relegate_lst.cert_id, relegate_lst.relegate_no, "
                                        "relegate_lst.relegate_location " + queueOf +
                                            " ORDER BY relegate_lst.relegate_no",
                                        queueParams);
        checks = addApplicantReads(closing, "SELECT relegate_lst.cert_id " + queueOf,
                                   QStringLiteral("desk_return_queue"), queueParams);
    }
    if (away)
        closing.preparedWrite(
            QStringLiteral("desk_return_travel"),
            "INSERT INTO relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, "
            "relegate_lend_date, relegate_ret_date, relegate_ret_location, relegate_end_flag, resp_wkr) "
            "SELECT $1::text, $2::text, $3::text, $4::text, $4::text, $4::text, $5::text, '4', $6::text "
            "WHERE NOT EXISTS (SELECT 1 " + collectedRow + ")",
            {borrower, propNo, callNo, today, deskLoc, wkr});
    closing.preparedWrite(QStringLiteral("desk_return_collected_home"),
                          "UPDATE relegate_arri_lst SET relegate_end_flag = '4', relegate_ret_date = $3, "
                          "relegate_ret_location = $4 WHERE cert_id = $1 AND prop_no = $2 AND "
                          "relegate_end_flag = '3' AND (SELECT count(*) " + collectedRow + ") = 1",
                          {borrower, propNo, today, deskLoc});
    closing.preparedWrite(QStringLiteral("desk_return_hold"),
                          QStringLiteral("CALL LT_retpregbook_held($1, $2, $3, $4)"), {propNo, callNo, location, today});
    // Last, for a copy away from home, the hand-on's locked reads for every
    // requester queued whose reader the first round trip locked, then the
    // queue itself: its lock and its waiting requests, when anybody waits.
    // A request placed since then is not handed the copy: its reader would be
    // locked after the copy and the queue, the other way round from every
    // lending.
    QSet<QString> lockedReaders;
    const DBResultSet& lockedRows = lockedBy->rows(at.readers);
    for (int r = 0; r < lockedRows.rowCount(); ++r)
        lockedReaders.insert(lockedRows.text(r, 0));
    int handOnFrom = -1, queuedAt = -1;
    LendFactReads handOnAt;
    if (away) {
        handOnFrom = closing.count();
        // The readers come through a sub-select: a plan that cannot see how
        // many there are costs what the session's kept plan costs, so the
        // server keeps that plan instead of planning the join at every
        // return.
        handOnAt = addFactReads(QStringLiteral("item.prop_no"), propNo, true, closing, QStringLiteral("desk_handon_"),
                                QStringLiteral("= ANY ((SELECT $1::text[])::text[])"),
                                {QStringList(lockedReaders.values())});
        closing.prepared(QStringLiteral("desk_handon_queue_lock"),
                         "SELECT " + strQueueLockExpr(QStringLiteral("$1"), QStringLiteral("$2")) +
                             " WHERE EXISTS (SELECT 1 " + queueOf + ")",
                         queueParams);
        queuedAt = closing.prepared(QStringLiteral("desk_handon_queue"),
                                    "SELECT relegate_lst.cert_id, relegate_lst.relegate_no " + queueOf + " FOR UPDATE",
                                    queueParams);
    }
    const QString workload = strJobQtyCall(QStringLiteral("402"), 0, 1, 0);
    // The borrower's remaining loans, and the debt when the fine window may
    // open, read behind the commit.
    struct {
        int remaining = -1, owed = -1;
    } tail;
    const std::function<void(LIB_DB_Batch&)> addTail = [&](LIB_DB_Batch& b) {
        tail.remaining = b.prepared(QStringLiteral("desk_return_remaining"),
                                    QStringLiteral("SELECT prop_no FROM lend_lst WHERE cert_id = $1"), {borrower});
        tail.owed = fineReturn != 0 ? b.prepared(QStringLiteral("desk_return_owed"),
                                                 QStringLiteral("SELECT debt_flag FROM reader WHERE cert_id = $1"),
                                                 {borrower})
                                    : -1;
    };
    // At home nothing is handed on: the workload and the commit go with them.
    // Away from home the hand-on commits the return with its lending; when
    // nobody takes the copy the workload and the commit follow alone.
    LIB_DB_Batch last; // the batch with the commit and the reads behind it
    int written = -1;
    bool handedOn = false;
    m_handOnError = KeptError();
    if (!away) {
        written = m_desk.writeWithWorkload(closing, {workload}, addTail, &last);
        if (written < 0) return m_desk.abortTrans();
    } else {
        bool readAhead = true;
        if (m_desk.run(closing) != 0) {
            const oradb::Database* db = LIB_DB_Database();
            if (closing.failedAt() < handOnFrom || g_lngErrNo == 60 || !LIB_DB_InTrans() || !db ||
                !db->IsConnected())
                return m_desk.abortTrans();
            // Only the hand-on's reads failed (a lock not had in time, say):
            // the return stands, and each attempt reads for itself.
            LIB_ClearDBError();
            readAhead = false;
        }
        if (closing.rows(candidatesAt).rowCount() > 0) {
            m_candidates = rowsOf(closing.rows(candidatesAt), 0,
                                  [&](const QString& c) { return lockedReaders.contains(c); });
            m_return = HandOnReturn();
            m_return.borrower = borrower;
            m_return.callNo = callNo;
            m_return.location = location;
            m_return.workload = workload;
            m_return.after = addTail;
            if (readAhead) {
                m_return.facts = &closing;
                m_return.factsAt = handOnAt;
                m_return.queueAt = queuedAt;
            }
            const int r = subPassToApplicant(propNo, closing, checks);
            written = m_return.written;
            last = m_return.committed;
            m_return = HandOnReturn();
            if (r == -2) return -1;
            handedOn = r == 0;
        }
        if (!handedOn) {
            LIB_DB_Batch commit;
            written = m_desk.writeWithWorkload(commit, {workload}, addTail, &last);
            if (written < 0) return m_desk.abortTrans();
        }
    }
    // A read behind the commit that failed: reported where it was read.
    const KeptError tailError = written == 1 ? KeptError::pending() : KeptError();
    const bool held = closing.rows(holdsAt).rowCount() > 0;
    p.debt = strFormatMoney(debt + j.fine);
    // A requester passed over for a database failure: its report, now that
    // nothing is locked any more.
    if (m_handOnError.kind != 0) {
        m_handOnError.show();
        m_handOnError = KeptError();
    }

    // What the commit did, in the order it did it.
    if (held) intShowMsg(QStringLiteral("ILT103"));
    if (away)
        plainBox(false, handedOn ? QStringLiteral("该书为委托借阅书刊，有本地读者委托该书。")
                                 : QStringLiteral("该书为委托借阅书刊。"));

    if (returnClear == 1 && borrower != m_prevRetRedr) m_returns.clear();
    m_prevRetRedr = borrower;
    ReturnRow row;
    row.barCode = v(ret::BarCode);
    row.marcRecNo = v(ret::MarcRecNo);
    row.callNo = callNo;
    row.location = strLocationName(location);
    row.lendDate = v(ret::LendDate);
    row.normRetDate = dueDate;
    row.overdue = j.count > 0;
    if (row.overdue)
        row.overdueText = QString::number(j.count) +
                          (j.unit == QLatin1String("D") ? QStringLiteral("天") : QStringLiteral("小时"));
    m_returns.prepend(row);

    if (tailError.kind != 0 && last.failedAt() == tail.remaining) {
        tailError.show();
        return 0;
    }
    const DBResultSet& remaining = last.rows(tail.remaining);
    m_desk.setLoanCount(remaining.rowCount(), maxLend);
    if (m_desk.showPanel) m_desk.showPanel(false);

    if (priceCallsForNotice(v(ret::Price))) intShowMsg(QStringLiteral("ILT105") + v(ret::Price));
    if (v(ret::StatCode) != QLatin1String("41"))
        intShowMsg(QStringLiteral("ILT101") + strItemStatusName(v(ret::StatCode)));
    if (marcUse == QLatin1String("2")) intShowMsg(QStringLiteral("ILT102"));

    if (fineReturn != 0) {
        if (tailError.kind != 0) {
            tailError.show();
            return 0;
        }
        const DBResultSet& owed = last.rows(tail.owed);
        g_dblExceedFine = owed.rowCount() > 0 ? owed.number(0, 0) : 0.0;
        if (lngMoneyFromDouble(g_dblExceedFine) >= 10 && m_desk.showFineWindow) m_desk.showFineWindow();
    }
    return 0;
}

} // namespace desk
