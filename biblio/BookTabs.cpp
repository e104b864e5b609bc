#include "biblio/BookTabs.h"

#include "biblio/BookSearch.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basText.h"
#include "shell/basMainSettings.h"

#include <QDateTime>
#include <QHash>
#include <QTimeZone>

#include <cmath>
#include <functional>

namespace biblio {

namespace {

QString q(const QString& v) { return strSQLQuote(v); }

// Loader columns shared by the copy tabs: the copy and its borrower.
const char* const kCopyCols = "item.call_no, item.prop_no, item.bar_code, item.location, ";
const char* const kReaderCols = "reader.cert_id, reader.name, reader.dept, reader.occupation, ";

QString recordIs(const QString& table, const TabQuery& tq)
{
    return QStringLiteral(" WHERE ") + table + QStringLiteral(".marc_rec_no = ") + q(tq.marcNo);
}

// Converts the cells of one result row after they were copied; may set colours.
using RowConv = std::function<void(const DBResultSet& rs, int i, QStringList& row, long& fore, long& back)>;

// The tab fill: one grid row per hit, query column j into grid column j + 1
// (as far as the grid has columns), then the tab's conversions. Column 0 gets
// the running number from `firstNumber` when `numbered`.
int intFillTab(const QString& sql, TabRows& out, const RowConv& conv, bool numbered = false, int firstNumber = 1)
{
    DBResultSet rs;
    if (intBiblioSelect(sql, rs) != 0) {
        intShowDBError();
        return -1;
    }
    for (int i = 0; i < rs.rowCount(); ++i) {
        QStringList& row = out.add();
        if (numbered)
            row[0] = QString::number(firstNumber + i);
        for (int j = 0; j < rs.fieldCount() && j + 1 < out.cols; ++j)
            row[j + 1] = rs.text(i, j);
        if (conv)
            conv(rs, i, row, out.fore.last(), out.back.last());
    }
    return 0;
}

void locationNames(QStringList& row, std::initializer_list<int> cols)
{
    for (int c : cols)
        row[c] = strLocationName(row[c]);
}

// The text of a one-digit state flag: texts[flag - first]; other values unchanged.
QString stateText(const QString& flag, std::initializer_list<const char*> texts, int first = 0)
{
    if (flag.size() != 1 || !flag[0].isDigit())
        return flag;
    const int n = flag[0].digitValue() - first;
    if (n < 0 || n >= int(texts.size()))
        return flag;
    return QString::fromUtf8(*(texts.begin() + n));
}

// ---- holdings -------------------------------------------------------------------

struct CopyCounts {
    long long total = 0, inCollection = 0, lendable = 0, onLoan = 0;
    void count(const QString& status, const QString& lendFlag)
    {
        ++total;
        if (blnInCollection(status))
            ++inCollection;
        if (status == QLatin1String("41"))
            ++lendable;
        if (lendFlag == QLatin1String("1"))
            ++onLoan;
    }
};

int intShowBaseInfo(const TabQuery& tq, TabRows& out)
{
    const QString sql = QStringLiteral(
        "SELECT call_no_lst.call_no, call_no_lst.circ_type_code, call_no_lst.lend_grd, call_no_lst.cls_id, "
        "call_no_lst.year_circ_times, call_no_lst.total_circ_times, call_no_lst.year_read_times, "
        "call_no_lst.total_read_times, call_no_lst.year_preg_times, call_no_lst.total_preg_times, "
        "item.book_stat_code, item.book_lend_flag FROM call_no_lst, item")
        + recordIs(QStringLiteral("call_no_lst"), tq)
        + QStringLiteral(" AND item.call_no = call_no_lst.call_no ORDER BY call_no_lst.call_no");
    DBResultSet rs;
    if (intBiblioSelect(sql, rs) != 0) {
        intShowDBError();
        return -1;
    }
    for (int i = 0; i < rs.rowCount();) {
        const QString callNo = rs.text(i, 0);
        CopyCounts c;
        int j = i;
        for (; j < rs.rowCount() && rs.text(j, 0) == callNo; ++j)
            c.count(rs.text(j, 10), rs.text(j, 11));
        QStringList& row = out.add();
        row[1] = callNo;
        row[2] = strCircTypeName(rs.text(i, 1));
        row[3] = strLendGrdName(rs.text(i, 2));
        row[4] = strClsName(rs.text(i, 3));
        row[5] = QString::number(c.total);
        row[6] = QString::number(c.inCollection);
        row[7] = QString::number(c.lendable);
        row[8] = QString::number(c.onLoan);
        for (int k = 0; k < 6; ++k)
            row[9 + k] = rs.text(i, 4 + k);
        i = j;
    }
    return 0;
}

int intShowCallNoInfo(const TabQuery& tq, TabRows& info, TabRows& items)
{
    DBResultSet copies, circ;
    if (intBiblioSelect(QStringLiteral("SELECT call_no, prop_no, bar_code, dis_location, year, vol_peri, "
                                       "book_stat_code, price, carrier_code, attachment, in_date, rec_flag_upt_date, "
                                       "resp_wkr, remark FROM indi_acct")
                            + recordIs(QStringLiteral("indi_acct"), tq)
                            + QStringLiteral(" ORDER BY indi_acct.call_no, indi_acct.dis_location, indi_acct.prop_no"),
                        copies)
        != 0) {
        intShowDBError();
        return -1;
    }
    if (intBiblioSelect(QStringLiteral("SELECT prop_no, book_lend_flag, year_circ_times, total_circ_times, "
                                       "fst_use_date, last_use_date FROM item")
                            + recordIs(QStringLiteral("item"), tq),
                        circ)
        != 0) {
        intShowDBError();
        return -1;
    }
    // The circulating row of each copy, by property number.
    QHash<QString, int> byProp;
    byProp.reserve(circ.rowCount());
    for (int r = 0; r < circ.rowCount(); ++r)
        byProp.insert(circ.text(r, 0), r);
    struct Group {
        QString callNo, location;
        CopyCounts c;
        double yearLoans = 0, totalLoans = 0;
    };
    QVector<Group> groups;
    for (int i = 0; i < copies.rowCount(); ++i) {
        const auto it = byProp.constFind(copies.text(i, 1));
        const int r = it == byProp.constEnd() ? -1 : *it;
        const QString lendFlag = r < 0 ? QString() : circ.text(r, 1);
        const double yearLoans = r < 0 ? 0 : circ.number(r, 2);
        const double totalLoans = r < 0 ? 0 : circ.number(r, 3);
        QStringList& row = items.add();
        row[1] = copies.text(i, 0);
        row[2] = copies.text(i, 1);
        row[3] = copies.text(i, 2);
        row[4] = strLocationName(copies.text(i, 3));
        row[5] = strYearVol(copies.text(i, 4), copies.text(i, 5));
        row[6] = strItemStatusName(copies.text(i, 6));
        row[7] = strLendStateName(lendFlag);
        row[8] = copies.text(i, 7);
        row[9] = strCarrierName(copies.text(i, 8));
        row[10] = copies.text(i, 9);
        row[11] = copies.text(i, 10);
        row[12] = r < 0 ? QStringLiteral("0") : circ.text(r, 2);
        row[13] = r < 0 ? QStringLiteral("0") : circ.text(r, 3);
        row[14] = r < 0 ? QString() : circ.text(r, 4);
        row[15] = r < 0 ? QString() : circ.text(r, 5);
        row[16] = copies.text(i, 11);
        row[17] = copies.text(i, 12);
        row[18] = copies.text(i, 13);
        if (groups.isEmpty() || groups.last().callNo != copies.text(i, 0)
            || groups.last().location != copies.text(i, 3))
            groups.append({copies.text(i, 0), copies.text(i, 3), {}, 0, 0});
        Group& g = groups.last();
        g.c.count(copies.text(i, 6), lendFlag);
        g.yearLoans += yearLoans;
        g.totalLoans += totalLoans;
    }
    for (const Group& g : groups) {
        QStringList& row = info.add();
        row[1] = g.callNo;
        row[2] = strLocationName(g.location);
        row[3] = QString::number(g.c.total);
        row[4] = QString::number(g.c.inCollection);
        row[5] = QString::number(g.c.lendable);
        row[6] = QString::number(g.c.onLoan);
        row[7] = QString::number(g.yearLoans);
        row[8] = QString::number(g.totalLoans);
        row[9] = strRate(std::llround(g.yearLoans), g.c.inCollection);
        row[10] = strRate(std::llround(g.totalLoans), g.c.inCollection);
    }
    return 0;
}

// ---- loans ------------------------------------------------------------------------

// The head of a tab that lists a copy's borrower rows: the copy's columns, then the reader's.
QString copyReaderSelect()
{
    return QStringLiteral("SELECT ") + QLatin1String(kCopyCols) + QLatin1String(kReaderCols);
}

QString strLendHistorySQL(const QString& table, const TabQuery& tq)
{
    const QString t = table + u'.';
    return copyReaderSelect() + t
        + QStringLiteral("lend_date, ") + t + QStringLiteral("ret_date, ") + t + QStringLiteral("excd_days, ") + t
        + QStringLiteral("renew_date, ") + t + QStringLiteral("renew_times, ") + t + QStringLiteral("asback_date, ") + t
        + QStringLiteral("asback_times, ") + t + QStringLiteral("resp_wkr, ") + t + QStringLiteral("ret_wkr, ") + t
        + QStringLiteral("marc_rec_no_f, ") + t + QStringLiteral("cls_id, ") + t + QStringLiteral("attachment, ") + t
        + QStringLiteral("preg_flag, ") + t + QStringLiteral("rele_flag, ") + t + QStringLiteral("rule_no_f FROM item, ")
        + table + QStringLiteral(", reader") + recordIs(QStringLiteral("item"), tq)
        + QStringLiteral(" AND item.prop_no = ") + t + QStringLiteral("prop_no_f AND reader.cert_id = ") + t
        + QStringLiteral("cert_id_f")
        + (table == QLatin1String("lend_hist") ? QStringLiteral(" AND lend_hist.ret_date IS NOT NULL") : QString())
        + strDateRangeSQL(table, tq.lendRange, tq.from, tq.to) + tq.copyFilter + QStringLiteral(" ORDER BY ") + t
        + QStringLiteral("ret_date DESC, ") + t + QStringLiteral("id DESC");
}

void locationOf4(const DBResultSet&, int, QStringList& row, long&, long&) { locationNames(row, {4}); }

// Reader join and copy filter of the tabs that list a copy's borrower rows.
QString copyReaderFrom(const QString& table, const TabQuery& tq)
{
    return QStringLiteral(" FROM ") + table + QStringLiteral(", item, reader") + recordIs(QStringLiteral("item"), tq)
        + QStringLiteral(" AND ") + table + QStringLiteral(".prop_no = item.prop_no AND reader.cert_id = ") + table
        + QStringLiteral(".cert_id");
}

// The queue column of a hold or consignment request: a request that waits and
// has not run out shows its place in the queue, the waiting, valid entries of
// its title and holding location ahead of it counted (as the reader window
// counts them), so that requests run out ahead leave no gap; any other shows
// its stored number.
QString queuePlaceSQL(const QString& table, const QString& prefix, const QString& flag, const QString& today)
{
    const QString t = table, p = prefix;
    return QStringLiteral("CASE WHEN %1.%3 = '0' AND %1.%2_end_date >= %4 THEN (SELECT count(*) + 1 FROM %1 ahead "
                          "WHERE ahead.call_no = %1.call_no AND ahead.location = %1.location AND ahead.%3 = '0' "
                          "AND ahead.%2_end_date >= %4 AND ahead.%2_no < %1.%2_no) ELSE %1.%2_no END")
        .arg(t, p, flag, q(today));
}

void markExpired(const QStringList& row, int col, const QString& today, long& fore)
{
    if (row[col] < today)
        fore = kColorRed;
}

// A queue entry's state flag in column `col` as its text; an entry met or
// deleted ("1" or "2") on light blue.
void queueState(QStringList& row, int col, std::initializer_list<const char*> texts, long& back)
{
    const QString flag = row[col];
    row[col] = stateText(flag, texts);
    if (flag == QLatin1String("1") || flag == QLatin1String("2"))
        back = kColorLightBlue;
}

} // namespace

// ---- tab list -----------------------------------------------------------------------

const QVector<TabDef>& tabDefs()
{
    static const QStringList copyHead = {"索书号", "财产号", "条码号", "馆藏地"};
    static const QStringList readerHead = {"证件号", "读者姓名", "单位", "职业"};
    static const QVector<TabDef> tabs = {
        {"BaseInfo", "基本信息",
         {"索书号", "流通类型", "借阅等级", "分类法", "总复本数", "在馆复本", "可借复本", "借出复本", "当年流通次数",
          "总计流通次数", "当年阅览次数", "总计阅览次数", "当年预约次数", "总计预约次数"}},
        {"CallNoInfo", "馆藏情况",
         {"索书号", "馆藏地", "总复本数", "在馆复本", "可借复本", "已借册数", "当年借阅次数", "总计借阅次数",
          "年借阅率", "总借阅率"}},
        {"LendInfo", "借阅信息",
         copyHead + readerHead
             + QStringList{"借期", "应还期", "续借日期", "续借次数", "催还日期", "催还次数", "附件", "经手人",
                           "借阅规则"}},
        {"LendHistory", "借阅历史",
         copyHead + readerHead
             + QStringList{"借期", "还期", "超期时间", "续借日期", "续借次数", "催还日期", "催还次数",
                           "借书经手人", "还书经手人", "MARC记录号", "分类法代码", "附件", "预约标识",
                           "委托标识", "借阅规则"}},
        {"PregInfo", "预约情况",
         {"索书号", "馆藏地", "预约日期", "保留截止日期", "到书保留天数", "证件号", "读者姓名", "单位", "职业",
          "当前排列号", "取书地", "预约状态"}},
        {"PregArri", "预约到馆",
         copyHead + readerHead
             + QStringList{"到书时间", "通知时间", "到书保留截止日期", "到书保留天数", "经手人", "取书地",
                           "到书状态"}},
        {"LostInfo", "遗失赔偿",
         copyHead + readerHead
             + QStringList{"操作日期", "原始价格", "技术处理费", "人工服务费", "实际赔款额", "票据号",
                           "赔偿遗失类型", "赔偿遗失操作状态", "经手人", "说明"}},
        {"VoltInfo", "使用违章",
         copyHead + readerHead
             + QStringList{"违章类型", "处理日期", "实际罚款额", "票据号", "交款时间", "停借截止日期",
                           "当前处理状态", "经手人", "说明"}},
        {"OperateInfo", "处理情况",
         copyHead + QStringList{"处理类型", "处理日志标识", "发生日期", "原状态", "费用", "书刊去向", "经手人", "说明"}},
        {"AdjustInfo", "调配情况",
         {"索书号", "财产号", "条码号", "调配日期", "调配单号", "调配源", "调配去向", "经手人", "说明"}},
        {"ExceedInfo", "超期欠款",
         copyHead + readerHead
             + QStringList{"借出时间", "还书时间", "超期时间", "应罚款额", "实际罚款额", "票据号", "交款日期",
                           "欠款执行情况", "经手人", "说明"}},
        {"ArriInfo", "即将到馆",
         copyHead
             + QStringList{"年代-卷-期", "书刊状态", "批次", "价格", "载体", "获得方式", "附件", "入藏日期",
                           "状态变更日期", "经手人"}},
        {"MarcInfo", "MARC信息", {}},
        {"ReleInfo", "委托情况",
         {"索书号", "馆藏地", "委托日期", "保留截止日期", "划到保留天数", "委托馆藏地", "证件号", "姓名", "单位",
          "职业", "当前排列号", "委托状态"}},
        {"ReleArri", "委托到馆",
         copyHead
             + QStringList{"证件号", "姓名", "单位", "职业", "划到时间", "通知时间", "划到保留截止日期",
                           "划到保留天数", "委托借阅日期", "委托还书日期", "委托馆藏地", "划到馆藏地",
                           "委托还书馆藏地", "委托处理标识", "经手人"}},
    };
    return tabs;
}

QStringList tabHeaders(const QString& key)
{
    for (const TabDef& t : tabDefs()) {
        if (t.key == key)
            return t.headers;
    }
    return {};
}

const QStringList& itemInfoHeaders()
{
    static const QStringList headers = {"索书号", "财产号", "条码号", "馆藏地", "年代/卷/期", "书刊状态",
                                        "借阅状态", "价格", "载体", "附件", "入藏日期", "当年流通次数",
                                        "总计流通次数", "首次使用日期", "最后使用日期", "状态变更日期", "经手人",
                                        "说明"};
    return headers;
}

void TabRows::clear(int columns)
{
    cols = columns;
    cells.clear();
    fore.clear();
    back.clear();
}

QStringList& TabRows::add(long foreColor, long backColor)
{
    cells.append(QStringList(cols, QString()));
    fore.append(foreColor);
    back.append(backColor);
    return cells.last();
}

QString strCopyFilterSQL(const QString& groupCode, bool ticked, const QString& text)
{
    if (!ticked)
        return {};
    QString column;
    if (groupCode == QLatin1String("92"))
        column = QStringLiteral("item.prop_no");
    else if (groupCode == QLatin1String("93"))
        column = QStringLiteral("item.bar_code");
    else
        return {};
    return QStringLiteral(" AND ") + column + QStringLiteral(" LIKE ")
        + q(strLikeEscape(text.trimmed().toUpper()) + u'%') + QStringLiteral(" ESCAPE '\\'");
}

QString strDateRangeSQL(const QString& table, int lendRange, const QDate& from, const QDate& to)
{
    const QString col = table + (lendRange == 0 ? QStringLiteral(".lend_date") : QStringLiteral(".ret_date"));
    // From the bare first day to the last day followed at once by "24:00:00":
    // every stored form of a time on either day (with its blank, without it,
    // or no time at all) sorts between the two.
    return QStringLiteral(" AND ") + col + QStringLiteral(" >= ") + q(from.toString(QStringLiteral("yyyy-MM-dd")))
        + QStringLiteral(" AND ") + col + QStringLiteral(" <= ")
        + q(to.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("24:00:00"));
}

// ---- loaders ----------------------------------------------------------------------------

int intLoadTab(const QString& key, const TabQuery& tq, TabResult& out)
{
    out.info.clear(int(tabHeaders(key).size()) + 1);
    out.items.clear(key == QLatin1String("CallNoInfo") ? int(itemInfoHeaders().size()) + 1 : 0);
    out.marcText.clear();
    if (tq.marcNo.isEmpty())
        return 0;
    const QString today = tq.today;
    if (key == QLatin1String("BaseInfo"))
        return intShowBaseInfo(tq, out.info);
    if (key == QLatin1String("CallNoInfo"))
        return intShowCallNoInfo(tq, out.info, out.items);
    if (key == QLatin1String("LendInfo")) {
        return intFillTab(copyReaderSelect()
                              + QStringLiteral("lend_lst.lend_date, lend_lst.norm_ret_date, lend_lst.renew_date, "
                                               "lend_lst.renew_times, lend_lst.asback_date, lend_lst.asback_times, "
                                               "lend_lst.attachment, lend_lst.resp_wkr, lend_lst.rule_no_f "
                                               "FROM item, lend_lst, reader")
                              + recordIs(QStringLiteral("item"), tq)
                              + QStringLiteral(" AND item.prop_no = lend_lst.prop_no AND reader.cert_id = "
                                               "lend_lst.cert_id")
                              + tq.copyFilter + QStringLiteral(" ORDER BY lend_lst.lend_date DESC, lend_lst.prop_no"),
                          out.info, locationOf4);
    }
    if (key == QLatin1String("LendHistory"))
        return intFillTab(strLendHistorySQL(QStringLiteral("lend_hist"), tq), out.info, locationOf4, true);
    if (key == QLatin1String("PregInfo")) {
        return intFillTab(
            QStringLiteral("SELECT preg_lst.call_no, preg_lst.location, preg_lst.preg_date, preg_lst.preg_end_date, "
                           "preg_lst.preg_keep_days, ")
                + QLatin1String(kReaderCols)
                + queuePlaceSQL(QStringLiteral("preg_lst"), QStringLiteral("preg"), QStringLiteral("preg_flag"), today)
                + QStringLiteral(", preg_lst.take_location, preg_lst.preg_flag FROM preg_lst, call_no_lst, reader")
                + recordIs(QStringLiteral("call_no_lst"), tq)
                + QStringLiteral(" AND preg_lst.call_no = call_no_lst.call_no AND reader.cert_id = preg_lst.cert_id "
                                 "ORDER BY preg_lst.preg_date, preg_lst.location, preg_lst.cert_id"),
            out.info, [&](const DBResultSet&, int, QStringList& row, long& fore, long& back) {
                locationNames(row, {2, 11});
                markExpired(row, 4, today, fore);
                queueState(row, 12, {"申请中", "已到书", "已删除"}, back);
            });
    }
    if (key == QLatin1String("PregArri")) {
        return intFillTab(copyReaderSelect()
                              + QStringLiteral("preg_arri_lst.preg_arri_date, preg_arri_lst.noti_send_date, "
                                               "preg_arri_lst.keep_end_date, preg_arri_lst.preg_keep_days, "
                                               "preg_arri_lst.resp_wkr, preg_arri_lst.take_location, "
                                               "preg_arri_lst.pregarri_deal_flag")
                              + copyReaderFrom(QStringLiteral("preg_arri_lst"), tq) + tq.copyFilter
                              + QStringLiteral(" ORDER BY preg_arri_lst.preg_arri_date, preg_arri_lst.prop_no, "
                                               "preg_arri_lst.cert_id"),
                          out.info, [&](const DBResultSet&, int, QStringList& row, long& fore, long& back) {
                              locationNames(row, {4, 14});
                              markExpired(row, 11, today, fore);
                              queueState(row, 15, {"待借", "已借出", "已删除"}, back);
                          });
    }
    if (key == QLatin1String("LostInfo")) {
        return intFillTab(copyReaderSelect()
                              + QStringLiteral("lost_recoup_lst.recoup_date, lost_recoup_lst.src_price, "
                                               "lost_recoup_lst.tech_fee, lost_recoup_lst.serv_fee, "
                                               "lost_recoup_lst.real_recoup_amt, lost_recoup_lst.bill_no, "
                                               "lost_recoup_lst.recoup_type, lost_recoup_lst.recoup_flag, "
                                               "lost_recoup_lst.resp_wkr, lost_recoup_lst.remark")
                              + copyReaderFrom(QStringLiteral("lost_recoup_lst"), tq) + tq.copyFilter
                              + QStringLiteral(" ORDER BY lost_recoup_lst.recoup_date, lost_recoup_lst.id"),
                          out.info, [](const DBResultSet&, int, QStringList& row, long&, long&) {
                              locationNames(row, {4});
                              row[15] = stateText(row[15], {"赔书", "赔钱", "赔退"}, 1);
                          });
    }
    if (key == QLatin1String("VoltInfo")) {
        return intFillTab(copyReaderSelect()
                              + QStringLiteral("reader_volt_lst.volt_code, reader_volt_lst.punish_date, "
                                               "reader_volt_lst.real_fine_amt, reader_volt_lst.bill_no, "
                                               "reader_volt_lst.fine_date, reader_volt_lst.froz_end_date, "
                                               "reader_volt_lst.volt_deal_flag, reader_volt_lst.resp_wkr, "
                                               "reader_volt_lst.remark")
                              + copyReaderFrom(QStringLiteral("reader_volt_lst"), tq)
                              + QStringLiteral(" ORDER BY item.call_no, item.location, item.prop_no, "
                                               "reader_volt_lst.cert_id, reader_volt_lst.punish_date"),
                          out.info, [](const DBResultSet&, int, QStringList& row, long& fore, long&) {
                              locationNames(row, {4});
                              row[9] = strVoltName(row[9]);
                              const QString flag = row[15];
                              if (flag == QLatin1String("0"))
                                  fore = kColorDarkBlue;
                              else if (flag == QLatin1String("1") || flag == QLatin1String("2")
                                       || flag == QLatin1String("3"))
                                  fore = kColorRed;
                              row[15] = stateText(flag, {"已处理", "停借", "罚款", "罚款并停借"});
                          });
    }
    if (key == QLatin1String("OperateInfo")) {
        return intFillTab(QStringLiteral("SELECT ") + QLatin1String(kCopyCols)
                              + QStringLiteral("deal_log.deal_type_code, deal_batch_lst.deal_stat_flag, "
                                               "deal_log.log_date, deal_log.source_state, deal_log.fee, "
                                               "deal_log.book_target, deal_log.resp_wkr, deal_log.remark FROM item, "
                                               "deal_log, deal_batch_lst")
                              + recordIs(QStringLiteral("item"), tq)
                              + QStringLiteral(" AND deal_log.prop_no = item.prop_no AND deal_log.deal_batch_no = "
                                               "deal_batch_lst.deal_batch_no ORDER BY item.location, "
                                               "deal_log.deal_type_code, deal_batch_lst.deal_stat_flag, deal_log.id"),
                          out.info, [](const DBResultSet&, int, QStringList& row, long&, long&) {
                              locationNames(row, {4});
                              row[5] = strTransTypeName(row[5]);
                              row[8] = strItemStatusName(row[8]);
                          });
    }
    if (key == QLatin1String("AdjustInfo")) {
        return intFillTab(QStringLiteral("SELECT item.call_no, item.prop_no, item.bar_code, alloc_record.alloc_date, "
                                         "alloc_record.alloc_no, alloc_record.alloc_src, alloc_record.alloc_target, "
                                         "alloc_record.alloc_wkr, alloc_record.remark FROM item, alloc_record")
                              + recordIs(QStringLiteral("item"), tq)
                              + QStringLiteral(" AND alloc_record.prop_no = item.prop_no ORDER BY "
                                               "alloc_record.alloc_no, alloc_record.alloc_date, alloc_record.id"),
                          out.info, [](const DBResultSet&, int, QStringList& row, long&, long&) {
                              locationNames(row, {6, 7});
                          });
    }
    if (key == QLatin1String("ExceedInfo")) {
        return intFillTab(copyReaderSelect()
                              + QStringLiteral("exceed_fine_lst.lend_date, exceed_fine_lst.ret_date, "
                                               "exceed_fine_lst.norm_ret_date, exceed_fine_lst.fine_amt, "
                                               "exceed_fine_lst.real_fine_amt, exceed_fine_lst.bill_no, "
                                               "exceed_fine_lst.fine_date, exceed_fine_lst.debt_deal_flag, "
                                               "exceed_fine_lst.resp_wkr, exceed_fine_lst.remark, "
                                               "exceed_fine_lst.time_unit")
                              + copyReaderFrom(QStringLiteral("exceed_fine_lst"), tq) + tq.copyFilter
                              + QStringLiteral(" ORDER BY item.call_no, item.location, item.prop_no, "
                                               "exceed_fine_lst.cert_id, exceed_fine_lst.lend_date"),
                          out.info, [](const DBResultSet& rs, int i, QStringList& row, long& fore, long&) {
                              locationNames(row, {4});
                              row[11] = strOverdueTime(rs.text(i, 10), rs.text(i, 9), rs.text(i, 18));
                              row[12] = QString::number(rs.number(i, 11), 'f', 2);
                              row[13] = QString::number(rs.number(i, 12), 'f', 2);
                              const bool open = row[16] == QLatin1String("0");
                              row[16] = open ? QStringLiteral("未处理") : QStringLiteral("处理完毕");
                              fore = open ? kColorRed : kColorDarkBlue;
                          });
    }
    if (key == QLatin1String("ArriInfo")) {
        QString codes;
        for (const char* c : {"11", "12", "13", "14", "17"})
            codes += (codes.isEmpty() ? QString() : QStringLiteral(" OR ")) + QStringLiteral("item.book_stat_code = ")
                + q(QString::fromLatin1(c));
        return intFillTab(QStringLiteral("SELECT ") + QLatin1String(kCopyCols)
                              + QStringLiteral("item.year, item.vol_peri, item.book_stat_code, item.book_lend_flag, "
                                               "item.price, item.carrier_code, item.attachment, item.in_date, "
                                               "item.rec_flag_upt_date, item.resp_wkr FROM item")
                              + recordIs(QStringLiteral("item"), tq) + QStringLiteral(" AND (") + codes
                              + QStringLiteral(") ORDER BY item.call_no, item.location, item.prop_no"),
                          out.info, [](const DBResultSet& rs, int i, QStringList& row, long&, long&) {
                              locationNames(row, {4});
                              // No column of the copy holds a batch or an acquisition mode:
                              // 批次 and 获得方式 stay empty; the lend flag is not shown.
                              row[5] = strYearVol(rs.text(i, 4), rs.text(i, 5));
                              row[6] = strItemStatusName(rs.text(i, 6));
                              row[7].clear();
                              row[8] = rs.text(i, 8);
                              row[9] = strCarrierName(rs.text(i, 9));
                              row[10].clear();
                              row[11] = rs.text(i, 10);
                              row[12] = rs.text(i, 11);
                              row[13] = rs.text(i, 12);
                              row[14] = rs.text(i, 13);
                          });
    }
    if (key == QLatin1String("MarcInfo")) {
        statementLog().add(QStringLiteral("SELECT marc_type FROM marc WHERE marc_rec_no = ") + q(tq.marcNo));
        statementLog().add(QStringLiteral("SELECT marc01 FROM marc_data WHERE marc_rec_no = ") + q(tq.marcNo));
        g_recMarc = strReadMarc(tq.marcNo);
        out.marcText = strMarcPageText(g_recMarc, g_intSubIdRep);
        return 0;
    }
    if (key == QLatin1String("ReleInfo")) {
        return intFillTab(
            QStringLiteral("SELECT relegate_lst.call_no, relegate_lst.location, relegate_lst.relegate_date, "
                           "relegate_lst.relegate_end_date, relegate_lst.relegate_keep_days, "
                           "relegate_lst.relegate_location, ")
                + QLatin1String(kReaderCols)
                + queuePlaceSQL(QStringLiteral("relegate_lst"), QStringLiteral("relegate"),
                                QStringLiteral("relegate_flag"), today)
                + QStringLiteral(", relegate_lst.relegate_flag FROM relegate_lst, call_no_lst, reader")
                + recordIs(QStringLiteral("call_no_lst"), tq)
                + QStringLiteral(" AND relegate_lst.call_no = call_no_lst.call_no AND reader.cert_id = "
                                 "relegate_lst.cert_id ORDER BY relegate_lst.relegate_date, relegate_lst.id"),
            out.info,
            [&](const DBResultSet&, int, QStringList& row, long& fore, long& back) {
                locationNames(row, {2, 6});
                markExpired(row, 4, today, fore);
                queueState(row, 12, {"申请中", "已划到", "已删除"}, back);
            },
            true);
    }
    if (key == QLatin1String("ReleArri")) {
        return intFillTab(copyReaderSelect()
                              + QStringLiteral("relegate_arri_lst.relegate_arri_date, "
                                               "relegate_arri_lst.relegate_noti_date, "
                                               "relegate_arri_lst.relegate_keep_end_date, "
                                               "relegate_arri_lst.relegate_keep_days, "
                                               "relegate_arri_lst.relegate_lend_date, "
                                               "relegate_arri_lst.relegate_ret_date, "
                                               "relegate_arri_lst.relegate_location, "
                                               "relegate_arri_lst.relegate_find_location, "
                                               "relegate_arri_lst.relegate_ret_location, "
                                               "relegate_arri_lst.relegate_end_flag, relegate_arri_lst.resp_wkr")
                              + copyReaderFrom(QStringLiteral("relegate_arri_lst"), tq) + tq.copyFilter
                              + QStringLiteral(" ORDER BY relegate_arri_lst.relegate_arri_date, relegate_arri_lst.id"),
                          out.info,
                          [](const DBResultSet&, int, QStringList& row, long&, long&) {
                              locationNames(row, {4, 15, 16, 17});
                              row[18] = stateText(row[18], {"划到", "交接", "借出", "还回", "回库", "还书划到"}, 1);
                          },
                          true);
    }
    return 0;
}

int intLoadLendHistoryBak(const TabQuery& tq, int firstRow, TabRows& out)
{
    out.clear(int(tabHeaders(QStringLiteral("LendHistory")).size()) + 1);
    if (tq.marcNo.isEmpty())
        return 0;
    return intFillTab(strLendHistorySQL(QStringLiteral("lend_hist_bak"), tq), out, locationOf4, true, firstRow);
}

// ---- pieces -------------------------------------------------------------------------------

QString strYearVol(const QString& year, const QString& volPeri)
{
    return year + u'-' + volPeri;
}

QString strRate(long long f, long long k)
{
    if (k == 0)
        return {};
    return QString::number(double(f) * 100.0 / double(k), 'f', 2) + u'%';
}

QString strOverdueTime(const QString& due, const QString& returned, const QString& unit)
{
    if (unit == QLatin1String("H")) {
        auto read = [](const QString& t) {
            QDateTime dt = QDateTime::fromString(t.left(10) + u' ' + t.right(8), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            dt.setTimeZone(QTimeZone::utc());
            return dt;
        };
        const QDateTime a = read(due), b = read(returned);
        if (!a.isValid() || !b.isValid())
            return {};
        auto hourOf = [](const QDateTime& t) {
            const qint64 s = t.toSecsSinceEpoch();
            return s >= 0 ? s / 3600 : -((-s + 3599) / 3600);
        };
        return QString::number(hourOf(b) - hourOf(a)) + QStringLiteral("小时");
    }
    const QDate a = QDate::fromString(due.left(10), QStringLiteral("yyyy-MM-dd"));
    const QDate b = QDate::fromString(returned.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!a.isValid() || !b.isValid())
        return {};
    return QString::number(a.daysTo(b)) + (unit == QLatin1String("D") ? QStringLiteral("天") : QString());
}

bool blnWideChar(QChar c)
{
    return (c.unicode() >> 8) != 0;
}

int intMarcCutPos(const QString& text)
{
    int w = 0;
    int p = 1;
    for (;;) {
        if (w >= 255)
            return p;
        if (p >= text.size())
            return -1;
        w += blnWideChar(text.at(p - 1)) ? 2 : 1;
        ++p;
    }
}

QString strMarcPageText(const MarcRecord& rec, int subIdRep)
{
    QString page;
    subResetMarcPos();
    const QString crlf = QStringLiteral("\r\n");
    const QString indent(7, u' ');
    for (int i = 0; i < rec.count && i < rec.directory.size(); ++i) {
        const QString tag = rec.directory[i].tag;
        if (tag.isEmpty())
            continue;
        const QString content = strGetMarcFieldByTag(rec, tag);
        QString prefix, text;
        if (tag < QLatin1String("009")) {
            prefix = tag + QStringLiteral("    ");
            text = content;
        } else {
            prefix = tag + u' ' + content.left(2) + u' ';
            text = content.mid(2);
        }
        int c = intMarcCutPos(text);
        if (c < 0) {
            page += prefix + text + crlf;
            continue;
        }
        page += prefix + text.left(c) + crlf;
        text = text.mid(c);
        while ((c = intMarcCutPos(text)) >= 0) {
            page += indent + text.left(c) + crlf;
            text = text.mid(c);
        }
        page += indent + text + crlf;
    }
    if (subIdRep != MARC_SUBFIELD_MARK && subIdRep > 0 && subIdRep < 0x10000)
        page.replace(QChar(MARC_SUBFIELD_MARK), QChar(subIdRep));
    return page;
}

} // namespace biblio
