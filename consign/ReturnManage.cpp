#include "consign/ReturnManage.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basEnv.h"
#include "common/basMarc.h"
#include "common/basMsg.h"

namespace consign {

namespace {

const QString kNoReturn = QStringLiteral("没有任何委托回库数据。");
const QString kNoCheck = QStringLiteral("没有任何委托验收数据。");
const QString kAlreadyAccepted = QStringLiteral("E该书已经验收，不能重复验收。");

// Returned copies within a range of return dates, joined to their items.
QString base(const QString& begin, const QString& end) {
    return " SELECT item.call_no,item.prop_no,item.marc_rec_no,item.location  FROM relegate_arri_lst,item "
           " WHERE relegate_arri_lst.relegate_ret_date>=" +
           q(begin) + " AND relegate_arri_lst.relegate_ret_date<=" + q(end);
}
QString flagIs(const QString& f) {
    return " AND relegate_arri_lst.relegate_end_flag=" + q(f);
}
QString homeInGroup(const QString& g) {
    return " AND item.location IN (SELECT location FROM location_lst  WHERE location_property=" + q(g) + ")";
}
QString returnedInGroup(const QString& g) {
    return " AND relegate_arri_lst.relegate_ret_location IN (SELECT location FROM location_lst  WHERE "
           "location_property=" +
           q(g) + ")";
}
const char* kJoined = " AND relegate_arri_lst.prop_no=item.prop_no ";

// The rows of a search over base(), their titles read in one query; the
// location named only when `withLocation`.
QVector<HomeRow> homeRows(const DBResultSet& rs, bool withLocation) {
    const QHash<QString, QStringList> texts = mapMarcTexts(rs, 2);
    QVector<HomeRow> rows;
    for (int i = 0; i < rs.rowCount(); ++i) {
        const QStringList t = texts.value(rs.text(i, 2));
        rows.push_back(HomeRow{rs.text(i, 0), rs.text(i, 1), t.value(0), t.value(1), t.value(2),
                               withLocation ? strLocationName(rs.text(i, 3)) : QString(), rs.text(i, 2)});
    }
    return rows;
}

void fillHome(const QVector<HomeRow>& rows, bool withLocation) {
    QVector<QStringList> records;
    for (const HomeRow& r : rows) {
        QStringList cells{r.marcRecNo, r.callNo, r.propNo, r.title, r.author, r.publisher};
        if (withLocation) cells << r.location;
        records.push_back(cells);
    }
    subFillReport(withLocation ? homeTitles() : homeTitles().mid(0, 5), records);
}

} // namespace

void ReturnManage::defaultDates(const QDate& today) {
    dtpBegin = dtpEnd = dtpReturnBegin = dtpReturnEnd = dtpCheckBegin = dtpCheckEnd = today;
}

int ReturnManage::select(const QString& sql, DBResultSet& rs) {
    ++m_statements;
    if (statementLog) statementLog->append(sql);
    return LIB_DB_Select(sql, rs);
}

// ---- choosers ---------------------------------------------------------------------

int ReturnManage::subInitTeam() {
    QStringList codes, names;
    if (intLoadTeams(codes, names) != 0) {
        subFillTeams(cmbReturnTeam, codes, names, false);
        subFillTeams(cmbCheckTeam, codes, names, false);
        cmbReturnTeam.index = cmbCheckTeam.index = -1;
        return -1;
    }
    subFillTeams(cmbReturnTeam, codes, names, false);
    subFillTeams(cmbCheckTeam, codes, names, true);
    if (cmbReturnTeam.count() > 0) subInitReturnLocation();
    return subInitCheckLocation();
}

int ReturnManage::cmbReturnTeam_Click(int index) {
    cmbReturnTeam.index = index;
    return subInitReturnLocation();
}

int ReturnManage::subInitReturnLocation() {
    // A group chooser without groups has no location to offer.
    if (cmbReturnTeam.index < 0) return -1;
    if (intLoadLocations(cmbReturnLocation, cmbReturnTeam.code()) != 0) return -1;
    cmbReturnLocation.index = 0;
    return 0;
}

int ReturnManage::subInitCheckLocation() {
    if (intLoadLocations(cmbCheckLocation, strDeskGroup()) != 0) return -1;
    cmbCheckLocation.index = 0;
    return 0;
}

// ---- acceptance ----------------------------------------------------------------------

int ReturnManage::txtCheckBook_Enter(QString* text) {
    subClearBook();
    *text = text->trimmed().toUpper();
    if (text->isEmpty()) return -1;
    return subCheckBook(*text);
}

int ReturnManage::subCheckBook(const QString& barCode) {
    const QString begin = ymd(dtpBegin), end = ymd(dtpEnd);
    // One round trip: the copy's record, the copy, then in one statement the
    // checks' reads (the copy's group, its found rows in the range) and the
    // acceptance of its rows still on their way, written only where every
    // check passes as that statement sees the rows; the transaction and its
    // commit travel with them. The copy is named by its bar code (unique).
    const QString ofCopy = "(SELECT prop_no FROM item WHERE bar_code=" + q(barCode) + ")";
    const QString inRange = " WHERE prop_no=" + ofCopy + " AND relegate_ret_date>=" + q(begin) +
                            " AND relegate_ret_date<=" + q(end);
    const QString itemSQL =
        " SELECT item.prop_no, item.marc_rec_no, item.location, item.call_no, item.bar_code, "
        "item.book_stat_code, item.attachment, item.price, item.in_date "
        "  FROM item,location_lst  WHERE item.bar_code = " +
        q(barCode) + " AND item.location=location_lst.location";
    const QString recordSQL = strMarcPageSQL("SELECT marc_rec_no FROM item WHERE bar_code=" + q(barCode));
    const QString acceptSQL =
        "WITH accepted AS (UPDATE relegate_arri_lst SET relegate_end_flag=" + q(QStringLiteral("5")) + inRange +
        " AND relegate_end_flag=" + q(QStringLiteral("4")) +
        " AND EXISTS (SELECT 1 FROM item,location_lst WHERE item.bar_code=" + q(barCode) +
        " AND item.location=location_lst.location AND location_lst.location_property=" + q(strDeskGroup()) +
        ") RETURNING 1)"
        " SELECT location_lst.location_property,"
        " (SELECT relegate_end_flag FROM relegate_arri_lst" +
        inRange +
        " AND relegate_end_flag IN ('4','5') ORDER BY relegate_end_flag LIMIT 1),"
        " (SELECT count(*) FROM accepted) FROM item,location_lst WHERE item.bar_code=" +
        q(barCode) + " AND item.location=location_lst.location";
    LIB_DB_Batch batch;
    batch.begin();
    const int recordAt = batch.selectRaw(recordSQL);
    const int itemAt = batch.select(itemSQL);
    const int acceptAt = batch.select(acceptSQL);
    batch.commit();
    m_statements += batch.count() + 2;
    if (statementLog)
        for (int i = 0; i < batch.count(); ++i)
            statementLog->append(batch.sql(i));
    g_strSQL = acceptSQL;
    const int rc = batch.run();
    if (rc != 0 && LIB_DB_InTrans()) LIB_DB_Rollback();
    const DBResultSet& item = batch.rows(itemAt);
    // A copy not read (its read failed) is not shown.
    if (rc != 0 && item.rowCount() < 1) {
        intShowDBError();
        return -1;
    }
    if (item.rowCount() < 1) {
        intShowMsg(QStringLiteral("ELT130"));
        return -1;
    }
    auto v = [&item](int c) { return item.text(0, c); };
    const QString propNo = v(0);
    desk::LendCopy copy;
    copy.propNo = propNo;
    copy.marcRecNo = v(1);
    copy.location = v(2);
    copy.callNo = v(3);
    copy.barCode = v(4);
    copy.bookStatCode = v(5);
    copy.attachment = v(6);
    copy.price = v(7);
    copy.inDate = v(8);
    m_display = copyDisplay(copy, barCode,
                            marcTexts(copy.marcRecNo.isEmpty()
                                          ? strReadMarc(copy.marcRecNo)
                                          : mapMarcsOf(batch.raw(recordAt), {copy.marcRecNo}).value(copy.marcRecNo)));
    // The acceptance could not be written (a row another desk holds), the
    // copy is shown with the error.
    if (rc != 0) {
        intShowDBError();
        return -1;
    }
    const DBResultSet& checks = batch.rows(acceptAt);
    auto c = [&checks](int col) { return checks.rowCount() > 0 ? checks.text(0, col) : QString(); };
    if (c(1).isEmpty()) {
        intShowMsg(QStringLiteral("E该书不是选定范围内的委托回库书刊"));
        return -1;
    }
    if (c(1) != QLatin1String("4")) {
        intShowMsg(kAlreadyAccepted);
        return -1;
    }
    if (c(0) != strDeskGroup()) {
        intShowMsg(QStringLiteral("E该书不是本馆藏组的书刊"));
        return -1;
    }
    // Another desk accepted it meanwhile.
    if (c(2).toInt() == 0) {
        intShowMsg(kAlreadyAccepted);
        return -1;
    }
    m_checked.prepend(HomeRow{copy.callNo, propNo, m_display.bookName, m_display.author, m_display.publ,
                              m_display.location, copy.marcRecNo});
    return 0;
}

int ReturnManage::subPrintChecked(const QString& flag) {
    const QString begin = ymd(dtpBegin), end = ymd(dtpEnd);
    DBResultSet rs;
    if (select(base(begin, end) + flagIs(flag) + homeInGroup(strDeskGroup()) + kJoined, rs) != 0) {
        intShowDBError();
        return -1;
    }
    if (rs.rowCount() < 1) {
        subInfoBox(QStringLiteral("没有任何书刊验收数据。"));
        return -1;
    }
    fillHome(homeRows(rs, true), true);
    const QString title = flag == QLatin1String("5") ? QStringLiteral("书刊验收清单(已验收)")
                                                     : QStringLiteral("书刊验收清单(未验收)");
    subShowReport(title,
                  {title, QStringLiteral("还书起始日期：") + begin, QStringLiteral("还书截止日期：") + end,
                   QString(), QString(), QStringLiteral("总计：%1册").arg(rs.rowCount()), strMadeBy()});
    return 0;
}

// ---- lists ------------------------------------------------------------------------------

int ReturnManage::search(const QString& sql, bool allLocations, QVector<HomeRow>& rows, const QString& none) {
    DBResultSet rs;
    if (select(sql, rs) != 0) {
        intShowDBError();
        return -1;
    }
    rows.clear();
    if (rs.rowCount() < 1) {
        subInfoBox(none);
        return -1;
    }
    rows = homeRows(rs, allLocations);
    return 0;
}

int ReturnManage::cmdReturnSearch() {
    const ListSearch s{ymd(dtpReturnBegin),      ymd(dtpReturnEnd),         cmbReturnTeam.text(),
                       cmbReturnLocation.text(), cmbReturnLocation.onAll(), 0};
    QString sql = base(s.begin, s.end) + flagIs(QStringLiteral("4")) +
                  " AND item.book_lend_flag=" + q(QStringLiteral("0")) + returnedInGroup(strDeskGroup()) +
                  kJoined;
    sql += s.allLocations ? homeInGroup(cmbReturnTeam.code())
                          : " AND item.location=" + q(cmbReturnLocation.code());
    m_returnSearch = s;
    return search(sql, s.allLocations, m_returnList, kNoReturn);
}

int ReturnManage::cmdCheckSearch() {
    const ListSearch s{ymd(dtpCheckBegin),      ymd(dtpCheckEnd),         cmbCheckTeam.text(),
                       cmbCheckLocation.text(), cmbCheckLocation.onAll(), optType};
    QString sql = base(s.begin, s.end) + kJoined;
    if (optType == 1)
        sql += flagIs(QStringLiteral("5"));
    else if (optType == 2)
        sql += flagIs(QStringLiteral("4"));
    else
        sql += " AND relegate_arri_lst.relegate_end_flag>=" + q(QStringLiteral("4")) +
               " AND relegate_arri_lst.relegate_end_flag<=" + q(QStringLiteral("5"));
    if (!cmbCheckTeam.onAll()) sql += returnedInGroup(cmbCheckTeam.code());
    sql += s.allLocations ? homeInGroup(strDeskGroup()) : " AND item.location=" + q(cmbCheckLocation.code());
    m_checkSearch = s;
    return search(sql, s.allLocations, m_checkList, kNoCheck);
}

int ReturnManage::print(const QVector<HomeRow>& rows, const ListSearch& s, const QString& title,
                        const QString& teamLabel, const QString& none) {
    if (rows.isEmpty()) {
        subInfoBox(none);
        return -1;
    }
    fillHome(rows, s.allLocations);
    subShowReport(title, {title, QStringLiteral("还书起始日期：") + s.begin,
                          QStringLiteral("还书截止日期：") + s.end, teamLabel + s.team,
                          QStringLiteral("馆藏地：") + s.location,
                          QStringLiteral("总计：%1册").arg(rows.size()), strMadeBy()});
    return 0;
}

int ReturnManage::cmdReturnPrint() {
    return print(m_returnList, m_returnSearch, QStringLiteral("委托回库清单"), QStringLiteral("馆藏组："),
                 kNoReturn);
}

int ReturnManage::cmdCheckPrint() {
    static const QStringList kinds{QStringLiteral("全部"), QStringLiteral("已验收"),
                                   QStringLiteral("未验收")};
    return print(m_checkList, m_checkSearch,
                 QStringLiteral("委托验收清单(%1)").arg(kinds.value(m_checkSearch.option)),
                 QStringLiteral("委托馆藏组："), kNoCheck);
}

} // namespace consign
