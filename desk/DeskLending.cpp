#include "desk/DeskLending.h"

#include "common/LoginState.h"
#include "common/basAuth.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "common/basMsg.h"
#include "desk/basOverdue.h"
#include "platform/ui/DialogService.h"

#include <QDate>

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

// The server's date and time, read with an action's first query.
const char* kServerNow = "to_char(desk_now(), 'YYYY-MM-DD HH24:MI:SS')";

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
           QString::fromLatin1(kServerNow) +
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

const QString kHeldForConsignment = QStringLiteral("E该书处于委托借出状态，请在委托借阅模块中处理。");
const QString kRecordChanged = QStringLiteral("E该书的借阅记录已被其他工作站改变，请重新扫描。");

} // namespace

DeskLending::DeskLending(ConsignDesk& desk) : m_desk(desk) {}

QString DeskLending::now() {
    ++m_desk.m_statements;
    return varGetSysInfo(0).toString();
}

void DeskLending::plainBox(bool error, const QString& text) {
    ui::BoxRequest box;
    box.icon = error ? ui::BoxIcon::Error : ui::BoxIcon::Information;
    box.title = QStringLiteral("流通委托");
    box.text = text;
    box.beep = error;
    ui::DialogService::current().showBox(box);
}

int DeskLending::selectCount(const QString& sql) {
    DBResultSet rs;
    if (m_desk.select("WITH changed AS (" + sql + " RETURNING 1) SELECT count(*) FROM changed", rs) != 0)
        return -1;
    return rs.rowCount() > 0 ? toInt(rs.text(0, 0)) : 0;
}

// ---- the lending core ---------------------------------------------------------------

int DeskLending::readFacts(const QString& where, bool locked, LendFacts& f) {
    f = LendFacts();
    const QString certId = m_desk.readerValue(redr::CertId);
    DBResultSet rs;
    if (locked &&
        m_desk.select("SELECT cert_id FROM reader WHERE cert_id = " + q(certId) + " FOR UPDATE", rs) != 0)
        return -1;
    if (m_desk.select(copySelect() + where + (locked ? " FOR UPDATE OF item" : ""), rs) != 0) return -1;
    if (rs.rowCount() < 1) return 0;
    f.haveCopy = true;
    LendCopy& c = f.copy;
    c = LendCopy{rs.text(0, 0), rs.text(0, 1), rs.text(0, 2), rs.text(0, 3), rs.text(0, 4),  rs.text(0, 5),
                 rs.text(0, 6), rs.text(0, 7), rs.text(0, 8), rs.text(0, 9), rs.text(0, 10), rs.text(0, 11)};
    f.group = rs.text(0, 12);
    f.borrower = rs.text(0, 13);
    f.shelf = toInt(rs.text(0, 14));
    f.now = rs.text(0, 15);
    if (locked && c.bookLendFlag == QLatin1String("1")) {
        if (m_desk.select("SELECT cert_id FROM lend_lst WHERE prop_no = " + q(c.propNo), rs) != 0) return -1;
        f.borrower = rs.rowCount() > 0 ? rs.text(0, 0) : QString();
    }
    f.haveLoan = !f.borrower.isEmpty();
    if (c.bookLendFlag == QLatin1String("2")) {
        // Only arrivals still waiting for the reader count.
        if (m_desk.select("SELECT prop_no, call_no_f FROM preg_arri_lst WHERE cert_id = " + q(certId) +
                              " AND pregarri_deal_flag = '0'",
                          rs) != 0)
            return -1;
        for (int r = 0; r < rs.rowCount(); ++r)
            f.arrivals.push_back({rs.text(r, 0), rs.text(r, 1)});
    }
    if (m_desk.select(
            "SELECT lend_lst.cert_id, item.location, call_no_lst.circ_type_code, call_no_lst.call_no "
            "FROM lend_lst, item, call_no_lst WHERE lend_lst.prop_no = item.prop_no "
            "AND item.call_no = call_no_lst.call_no AND lend_lst.cert_id = " +
                q(certId) + (locked ? " FOR UPDATE OF lend_lst" : ""),
            f.loans) != 0)
        return -1;
    if (locked) {
        if (m_desk.select("SELECT count(*) FROM item WHERE call_no = " + q(c.callNo) +
                              " AND book_stat_code = '41' AND book_lend_flag = '0'",
                          rs) != 0)
            return -1;
        f.shelf = rs.rowCount() > 0 ? toInt(rs.text(0, 0)) : 0;
    }
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

int DeskLending::lendCopy(Lender who, const QString& code) {
    const bool loud = who == Lender::Desk;
    const bool find = who == Lender::Find; // stops are shown, passes silent
    const QString certId = m_desk.readerValue(redr::CertId);
    const QString grade = m_desk.readerValue(redr::LendGrd);
    const QString redrType = m_desk.readerValue(redr::RedrTypeCode);

    // A refusal: the ordinary lending shows it and ends with -1; the hand-on
    // stops (1) or passes the requester over (-1) without a word. Inside the
    // transaction nothing has been written yet: it ends first.
    auto refuse = [&](const Outcome& o, bool inTrans) {
        if (inTrans) m_desk.commit();
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
    const QString byCode = who != Lender::HandOn ? "item.bar_code = " + q(code) : "item.prop_no = " + q(code);
    if (readFacts(byCode, false, f) != 0) return lendFailed();
    if (!f.haveCopy) return refuse(noTitle, false);
    if (find && showCopy) showCopy(f.copy);
    atWorkLocation(f);
    const LendCopy copy = f.copy;
    m_now = f.now;
    const QString today = m_now.left(10);
    if (loud && f.group == deskGroupCode()) {
        const QString allowed = strCheckDeskLocation(copy.location, varGetSysInfo(3), DeskLend);
        if (!allowed.isEmpty()) {
            intShowMsg(QStringLiteral("ELT111") + deskNames(allowed));
            return -1;
        }
    }
    int rule = -1;
    bool reservedOk = false;
    Outcome o = judge(f, certId, grade, redrType, rule, reservedOk);
    if (o.silent != 0) return refuse(o, false);

    // Questions first, with nothing locked.
    if (loud || find) {
        m_strAttachment = copy.attachment.trimmed();
        if (!m_strAttachment.isEmpty() && showAttachment) showAttachment(*this);
        if (priceCallsForNotice(copy.price)) intShowMsg(QStringLiteral("ILT104") + copy.price);
    }

    // Lock the reader, the copy and the reader's loans; judge again on what the
    // locks hold now.
    if (m_desk.begin() != 0) return lendFailed();
    if (readFacts("item.prop_no = " + q(copy.propNo), true, f) != 0) {
        m_desk.commit();
        return lendFailed();
    }
    if (!f.haveCopy) return refuse(noTitle, true);
    atWorkLocation(f);
    o = judge(f, certId, grade, redrType, rule, reservedOk);
    if (o.silent != 0) return refuse(o, true);
    QString queueNo;
    if (!loud) {
        // The request must still wait in its queue, and the queue is held while
        // it closes up.
        DBResultSet rs;
        if (m_desk.lockQueue(copy.callNo, storedLoc) != 0 ||
            m_desk.select("SELECT relegate_no FROM relegate_lst WHERE cert_id = " + q(certId) +
                              " AND call_no = " + q(copy.callNo) + " AND location = " + q(storedLoc) +
                              " AND relegate_flag = '0' AND relegate_end_date >= " + q(today) + " FOR UPDATE",
                          rs) != 0) {
            m_desk.commit();
            return lendFailed();
        }
        if (rs.rowCount() < 1) {
            m_desk.commit();
            return -1;
        }
        queueNo = rs.text(0, 0);
    }
    const QString due = dueUnderRule(rule, copy.location, m_now);
    const QString ruleNo = ruleText(rule, circrule::RuleNo);
    const QString wkr = varGetSysInfo(4).toString();
    const QString args = q(certId) + "," + q(copy.propNo) + "," + q(due) + "," + q(ruleNo) + "," +
                         q(m_strAttachment) + "," + q(wkr);
    if (m_desk.callProc(who != Lender::HandOn ? "LT_lendbook_new " + args + ",'0','1'"
                                              : "LT_lendbook " + args) != 0)
        return m_desk.abortTrans();
    ++m_desk.m_statements;
    intAddJobQty(QStringLiteral("401"), 0, 1, 0);
    if (!loud) {
        const QString keepDays = QString::number(toInt(ruleText(rule, circrule::PregKeepDays)));
        const QString keepEnd = QDate::fromString(today, QStringLiteral("yyyy-MM-dd"))
                                    .addDays(keepDays.toInt())
                                    .toString(QStringLiteral("yyyy-MM-dd"));
        const QString pickUp = find ? m_found.relegateLocation : m_candidates.text(m_chosen, 2);
        m_lent.keepEndDate = keepEnd;
        // The find desk serves the request; the hand-on takes it out.
        const QString served =
            find ? "UPDATE relegate_lst SET relegate_flag = '1', relegate_no = 0 WHERE cert_id = " +
                       q(certId) + " AND call_no = " + q(copy.callNo) + " AND relegate_flag = '0'"
                 : "DELETE FROM relegate_lst WHERE cert_id = " + q(certId) +
                       " AND call_no = " + q(copy.callNo);
        if (m_desk.execute(
                "INSERT INTO relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, "
                "relegate_noti_date, relegate_keep_end_date, relegate_keep_days, relegate_lend_date, "
                "relegate_ret_date, relegate_location, relegate_find_location, relegate_ret_location, "
                "relegate_end_flag, resp_wkr, relegate_date) VALUES (" +
                q(certId) + ", " + q(copy.propNo) + ", " + q(copy.callNo) + ", " + q(today) + ", " +
                q(today) + ", " + q(keepEnd) + ", " + keepDays + ", NULL, NULL, " + q(pickUp) + ", " +
                q(varGetSysInfo(3)) + ", NULL, '1', " + q(wkr) + ", " +
                (find ? q(m_found.relegateDate) : QStringLiteral("NULL")) + ")") != 0 ||
            m_desk.execute("UPDATE item SET book_lend_flag = '3' WHERE prop_no = " + q(copy.propNo)) != 0 ||
            m_desk.execute(served) != 0 ||
            m_desk.execute("UPDATE relegate_lst SET relegate_no = relegate_no - 1 WHERE call_no = " +
                           q(copy.callNo) + " AND location = " + q(storedLoc) + " AND relegate_no > " +
                           q(queueNo) + (find ? " AND relegate_flag = '0'" : "")) != 0)
            return m_desk.abortTrans();
        // The return's row of this copy is lent on together with the lending.
        if (!m_handOnBorrower.isEmpty() &&
            m_desk.execute("UPDATE relegate_arri_lst SET relegate_end_flag = '6' WHERE cert_id = " +
                           q(m_handOnBorrower) + " AND prop_no = " + q(copy.propNo) +
                           " AND relegate_ret_date = " + q(today) + " AND relegate_end_flag = '4'") != 0)
            return m_desk.abortTrans();
    }
    if (m_desk.commit() != 0) return m_desk.abortTrans();

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

int DeskLending::subPassToApplicant(const QString& propNo) {
    const QString today = now().left(10);
    if (m_desk.select(
            "SELECT relegate_lst.cert_id, relegate_lst.relegate_no, relegate_lst.relegate_location "
            "FROM relegate_lst, item WHERE item.prop_no = " +
                q(propNo) +
                " AND relegate_lst.relegate_flag = '0' AND relegate_lst.relegate_end_date >= " + q(today) +
                " AND relegate_lst.call_no = item.call_no AND relegate_lst.location = item.location "
                "ORDER BY relegate_lst.relegate_no",
            m_candidates) != 0) {
        intShowDBError();
        return -1;
    }
    for (int i = 0; i < m_candidates.rowCount(); ++i) {
        if (m_desk.intCheckApplicant(m_candidates.text(i, 0)) != 0) continue;
        m_chosen = i;
        const int r = intLendToApplicant(propNo);
        m_chosen = -1;
        if (r == 0) return 0;
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
    DBResultSet copy;
    if (m_desk.select("SELECT prop_no, location, " + QString::fromLatin1(kServerNow) +
                          " FROM item WHERE bar_code = " + q(code),
                      copy) != 0) {
        intShowDBError();
        return -1;
    }
    if (copy.rowCount() < 1) {
        plainBox(true, QStringLiteral("该书条码不存在。"));
        return -1;
    }
    const QString propNo = copy.text(0, 0), location = copy.text(0, 1);
    m_now = copy.text(0, 2);
    const QString today = m_now.left(10);
    DBResultSet arri;
    if (m_desk.select("SELECT cert_id, relegate_keep_end_date FROM relegate_arri_lst WHERE prop_no = " +
                          q(propNo) + " AND relegate_end_flag < '3' ORDER BY relegate_keep_end_date DESC",
                      arri) != 0) {
        intShowDBError();
        return -1;
    }
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

    // The reader's open found row and the loan, locked and read again.
    if (m_desk.begin() != 0) {
        intShowDBError();
        return -1;
    }
    DBResultSet rs;
    if (m_desk.select("SELECT relegate_end_flag FROM relegate_arri_lst WHERE cert_id = " + q(certId) +
                          " AND prop_no = " + q(propNo) + " AND relegate_end_flag < '3' FOR UPDATE",
                      rs) != 0)
        return m_desk.abortTrans();
    if (rs.rowCount() < 1)
        return pickUpFailed(QStringLiteral("该书已不是该读者待取的委托到书（已被取消或已领取）。"));
    if (m_desk.select("SELECT rule_no_f, cert_id FROM lend_lst WHERE prop_no = " + q(propNo) + " FOR UPDATE",
                      rs) != 0)
        return m_desk.abortTrans();
    if (rs.rowCount() < 1 || rs.text(0, 1) != certId)
        return pickUpFailed(QStringLiteral("该书没有该读者的借阅记录，不能领取。"));
    const int rule = ruleByNo(rs.text(0, 0));
    if (rule < 0)
        return pickUpFailed(
            QStringLiteral("该书借阅记录的流通规则（%1）不存在，不能领取。").arg(rs.text(0, 0)));
    const QString due = dueUnderRule(rule, location, m_now);
    const int n1 = selectCount("UPDATE lend_lst SET lend_date = " + q(m_now) + ", norm_ret_date = " + q(due) +
                               ", resp_wkr = " + q(varGetSysInfo(4)) + " WHERE prop_no = " + q(propNo));
    const int n2 =
        n1 < 1 ? n1 : selectCount("UPDATE item SET book_lend_flag = '1' WHERE prop_no = " + q(propNo));
    const int n3 =
        n2 < 1 ? n2
               : selectCount("UPDATE relegate_arri_lst SET relegate_end_flag = '3', relegate_lend_date = " +
                             q(today) + " WHERE cert_id = " + q(certId) + " AND prop_no = " + q(propNo) +
                             " AND relegate_end_flag < '3'");
    if (n3 < 0) return m_desk.abortTrans();
    if (n3 == 0) return pickUpFailed(QStringLiteral("该书的记录已被其他工作站改变，未能领取，请重新扫描。"));
    if (m_desk.commit() != 0) return m_desk.abortTrans();

    bool listed = false;
    for (LoanRow& l : m_desk.m_loans) {
        if (l.barCode != code) continue;
        l.lendDate = m_now;
        l.normRetDate = due;
        l.bookLendFlag = QStringLiteral("1");
        listed = true;
        break;
    }
    if (!listed) {
        // The loan was not on the list (it was cleared): it shows now.
        QVector<LoanRow> rows;
        if (m_desk.readLoans(certId, today, rows) == 0) {
            for (const LoanRow& l : rows)
                if (l.barCode == code) m_desk.m_loans.prepend(l);
        }
    }
    m_markedLoan = code;
    return 0;
}

// ---- return ------------------------------------------------------------------------------

int DeskLending::subReturnBook(const QString& code) {
    const QString deskLoc = varGetSysInfo(3).toString();
    DBResultSet copy;
    if (m_desk.select(
            "SELECT item.location, marc.marc_use_flag, location_lst.location_property, " +
                QString::fromLatin1(kServerNow) +
                " FROM item LEFT JOIN marc ON marc.marc_rec_no = item.marc_rec_no "
                "LEFT JOIN location_lst ON location_lst.location = item.location WHERE item.bar_code = " +
                q(code),
            copy) != 0) {
        intShowDBError();
        return -1;
    }
    if (copy.rowCount() < 1) {
        intShowMsg(QStringLiteral("ELT130"));
        return -1;
    }
    m_now = copy.text(0, 3);
    const QString today = m_now.left(10);
    const QString marcUse = copy.text(0, 1);
    const bool away = copy.text(0, 2) != deskGroupCode();
    if (!away) {
        const QString allowed = strCheckDeskLocation(copy.text(0, 0), deskLoc, DeskReturn);
        if (!allowed.isEmpty()) {
            intShowMsg(QStringLiteral("ELT131") + deskNames(allowed));
            return -1;
        }
    }

    // The loan, read without locks for the questions.
    const QString loanSql =
        QString::fromLatin1(kReturnSelect) + q(code) + " ORDER BY reader_cert.cert_flag = '1' DESC";
    DBResultSet loan;
    if (m_desk.select(loanSql, loan) != 0) {
        intShowDBError();
        return -1;
    }
    if (loan.rowCount() < 1) {
        intShowMsg(QStringLiteral("ELT132"));
        return -1;
    }
    if (loan.text(0, ret::LendFlag) == QLatin1String("3")) {
        intShowMsg(kHeldForConsignment);
        return -1;
    }
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
    const QString sex = v(ret::Sex);
    p.sex = sex == QLatin1String("M")   ? QStringLiteral("男")
            : sex == QLatin1String("F") ? QStringLiteral("女")
                                        : QStringLiteral("<不定>");
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
    if (!attachment.trimmed().isEmpty()) {
        if (intShowMsg(QStringLiteral("QLT102") + attachment) != 1) return -1;
    }
    m_strAttachment = attachment.trimmed().isEmpty() ? QString() : attachment;
    const bool sameDayOk = blnParamYes(varGetSysPara(23));
    if (!sameDayOk && v(ret::LendDate).left(10) == today) {
        intShowMsg(QStringLiteral("ELT171"));
        return -1;
    }

    // Lock the borrower first (as every lending does), then the loan; the loan
    // is judged and closed in this one transaction.
    if (m_desk.begin() != 0) {
        intShowDBError();
        return -1;
    }
    DBResultSet locked;
    if (m_desk.select("SELECT cert_id FROM reader WHERE cert_id = " + q(borrower) + " FOR UPDATE", locked) !=
            0 ||
        m_desk.select(loanSql + " FOR UPDATE", locked) != 0)
        return m_desk.abortTrans();
    if (locked.rowCount() < 1) {
        m_desk.rollback();
        intShowMsg(QStringLiteral("ELT132"));
        return -1;
    }
    if (locked.text(0, ret::CertId) != borrower || locked.text(0, ret::LendDate) != v(ret::LendDate) ||
        locked.text(0, ret::Attachment) != attachment ||
        locked.text(0, ret::LendFlag) == QLatin1String("3")) {
        m_desk.rollback();
        intShowMsg(kRecordChanged);
        return -1;
    }
    int rule = ruleByNo(v(ret::RuleNo));
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
    const OverdueJudgement j = judgeOverdue(v(ret::NormRetDate), m_now, terms, g_varLocaCloseDay,
                                            g_varLocaOpenTime, static_cast<int>(varGetSysPara(9).toDouble()));
    const QString propNo = v(ret::PropNo), callNo = v(ret::CallNo), location = v(ret::Location);
    const QString wkr = varGetSysInfo(4).toString();
    if (m_desk.callProc("LT_retbook_new " + q(propNo) + "," + q(borrower) + "," + q(j.judgedDue) + "," +
                        QString::number(j.count) + "," + strFormatMoney(j.fine) + "," + q(j.unit) + "," +
                        q(j.fineText) + "," + q(wkr)) != 0)
        return m_desk.abortTrans();
    ++m_desk.m_statements;
    intAddJobQty(QStringLiteral("402"), 0, 1, 0);
    DBResultSet collected;
    if (m_desk.select("SELECT cert_id FROM relegate_arri_lst WHERE cert_id = " + q(borrower) +
                          " AND prop_no = " + q(propNo) + " AND relegate_end_flag = '3' FOR UPDATE",
                      collected) != 0)
        return m_desk.abortTrans();
    if (collected.rowCount() == 1 &&
        m_desk.execute("UPDATE relegate_arri_lst SET relegate_end_flag = '4', relegate_ret_date = " +
                       q(today) + ", relegate_ret_location = " + q(deskLoc) + " WHERE cert_id = " +
                       q(borrower) + " AND prop_no = " + q(propNo) + " AND relegate_end_flag = '3'") != 0)
        return m_desk.abortTrans();
    // A copy away from home travels with a row of its own, written with the
    // loan's closing.
    if (away && collected.rowCount() == 0 &&
        m_desk.execute(
            "INSERT INTO relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, "
            "relegate_lend_date, relegate_ret_date, relegate_ret_location, relegate_end_flag, resp_wkr) "
            "VALUES (" +
            q(borrower) + ", " + q(propNo) + ", " + q(callNo) + ", " + q(today) + ", " + q(today) + ", " +
            q(today) + ", " + q(deskLoc) + ", '4', " + q(wkr) + ")") != 0)
        return m_desk.abortTrans();
    if (m_desk.commit() != 0) return m_desk.abortTrans();
    p.debt = strFormatMoney(debt + j.fine);

    // A waiting hold of the title takes the copy.
    DBResultSet holds;
    if (m_desk.select("SELECT cert_id FROM preg_lst WHERE call_no = " + q(callNo) + " AND preg_end_date >= " +
                          q(today) + " AND location = " + q(location) + " AND preg_flag = '0'",
                      holds) != 0) {
        intShowDBError();
        return -1;
    }
    if (holds.rowCount() > 0) {
        if (m_desk.begin() != 0 || m_desk.callProc("LT_retpregbook " + q(propNo)) != 0 ||
            m_desk.commit() != 0)
            return m_desk.abortTrans();
        intShowMsg(QStringLiteral("ILT103"));
    }

    if (away) {
        DBResultSet waiting;
        if (m_desk.select("SELECT cert_id FROM relegate_lst WHERE call_no = " + q(callNo) +
                              " AND location = " + q(location) +
                              " AND relegate_flag = '0' AND relegate_end_date >= " + q(today),
                          waiting) != 0) {
            intShowDBError();
            return -1;
        }
        m_handOnBorrower = borrower;
        const bool handedOn = waiting.rowCount() > 0 && subPassToApplicant(propNo) == 0;
        m_handOnBorrower.clear();
        plainBox(false, handedOn ? QStringLiteral("该书为委托借阅书刊，有本地读者委托该书。")
                                 : QStringLiteral("该书为委托借阅书刊。"));
    }

    if (returnClear == 1 && borrower != m_prevRetRedr) m_returns.clear();
    m_prevRetRedr = borrower;
    ReturnRow row;
    row.barCode = v(ret::BarCode);
    row.marcRecNo = v(ret::MarcRecNo);
    row.callNo = callNo;
    row.location = strLocationName(location);
    row.lendDate = v(ret::LendDate);
    row.normRetDate = v(ret::NormRetDate);
    row.overdue = j.count > 0;
    if (row.overdue)
        row.overdueText = QString::number(j.count) +
                          (j.unit == QLatin1String("D") ? QStringLiteral("天") : QStringLiteral("小时"));
    m_returns.prepend(row);

    DBResultSet remaining;
    if (m_desk.select("SELECT prop_no FROM lend_lst WHERE cert_id = " + q(borrower), remaining) != 0) {
        intShowDBError();
        return 0;
    }
    m_desk.setLoanCount(remaining.rowCount(), maxLend);
    if (m_desk.showPanel) m_desk.showPanel(false);

    if (priceCallsForNotice(v(ret::Price))) intShowMsg(QStringLiteral("ILT105") + v(ret::Price));
    if (v(ret::StatCode) != QLatin1String("41"))
        intShowMsg(QStringLiteral("ILT101") + strItemStatusName(v(ret::StatCode)));
    if (marcUse == QLatin1String("2")) intShowMsg(QStringLiteral("ILT102"));

    if (fineReturn != 0) {
        DBResultSet owed;
        if (m_desk.select("SELECT debt_flag FROM reader WHERE cert_id = " + q(borrower), owed) != 0) {
            intShowDBError();
            return 0;
        }
        g_dblExceedFine = owed.rowCount() > 0 ? owed.number(0, 0) : 0.0;
        if (lngMoneyFromDouble(g_dblExceedFine) >= 10 && m_desk.showFineWindow) m_desk.showFineWindow();
    }
    return 0;
}

} // namespace desk
