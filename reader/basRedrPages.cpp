#include "reader/basRedrPages.h"

#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMarcList.h"
#include "reader/basFineMoney.h"
#include "reader/basLTMore.h"
#include "reader/basRedrSearch.h"

#include <QDate>
#include <QHash>
#include <QPair>
#include <QTime>

using namespace redrpage;

namespace {

const char* const kBaseAuth[] = {"读者类型",           "属 性 一",     "属 性 二",     "属 性 三",
                                 "最大可借阅数",       "最大可欠款额", "最大可预约数", "预约(委托)保留天数",
                                 "是否检测证件有效期", "说    明"};
const char* const kPartInfo[] = {"条码号",   "证件号",   "姓名",     "身份证号", "生日",       "性别",
                                 "读者类型", "借阅等级", "文化程度", "职业",     "职称",       "职位",
                                 "单位",     "年级组",   "系别",     "地址",     "邮编",       "电话",
                                 "移动电话", "手续费",   "押金",     "预付款",   "通用借书证", "EMail",
                                 "办证日期", "注册日期", "生效日期", "失效日期", "注销日期",   "违章状态",
                                 "欠款状态", "累计借书", "当年借书", "经手人",   "说明",       "密码"};
const char* const kRule[] = {"适用馆藏地",       "适用流通类型",
                             "规则代码",         "名称",
                             "计时单位",         "正常借期",
                             "限借册数",         "本地最大册数",
                             "允许预约",         "允许续借",
                             "最大续借次数",     "到期提前续借次数",
                             "首次续借时间",     "附加续借时间",
                             "预约到数保留天数", "最小使用天数",
                             "到期前免催还天数", "催还后允许再次使用天数",
                             "允许过期次数",     "首次催还通知时间",
                             "二次催还通知时间", "三次催还通知时间",
                             "免罚宽限期",       "首期罚款天数",
                             "首期罚款单价",     "其他罚款单价",
                             "技术处理费",       "人工服务费",
                             "首次催还通知文号", "二次催还通知文号",
                             "三次催还通知文号", "预约通知文号",
                             "保留本数",         "续借起始日",
                             "规则状态"};
const char* const kCertLost[] = {"条码号", "挂失日期", "解挂日期", "是否已解挂", "经手人", "说明"};
const char* const kCertInfo[] = {"条码号", "证件状态", "办证日期", "有效起始日", "有效截止日",
                                 "手续费", "押金",     "预付款",   "经手人"};
const char* const kLendInfo[] = {"索书号",   "财产号",   "条码号",   "题名",     "责任者",
                                 "借出日期", "应还日期", "续借日期", "续借次数", "催还日期",
                                 "催还次数", "馆藏地",   "经手人",   "附件",     "借阅规则"};
const char* const kLendHistory[] = {
    "索书号",     "财产号",   "条码号",     "题名",     "责任者",   "借书日期", "还书日期",
    "超期天数",   "续借日期", "续借次数",   "催还日期", "催还次数", "馆藏地",   "借书经手人",
    "还书经手人", "MARC号",   "分类法代码", "附件",     "预约标识", "委托标识", "借阅规则"};
const char* const kVoltInfo[] = {"索书号",   "财产号",       "条码号",       "题名",       "责任者",
                                 "违章类型", "馆藏地",       "处罚日期",     "实际罚款额", "票据号",
                                 "交款日期", "停借截止日期", "当前处理状态", "经手人",     "说明"};
const char* const kExceedInfo[] = {"索书号",   "财产号",   "条码号",   "题名",     "责任者",   "馆藏地",
                                   "借出日期", "还书日期", "应还日期", "超期天数", "应罚款额", "实际罚款额",
                                   "续借时间", "续借次数", "催还时间", "催还次数", "票据号",   "交款日期",
                                   "执行标志", "借阅规则", "经手人",   "说明"};
const char* const kPregInfo[] = {"索书号",       "题名",         "责任者",     "馆藏地", "预约日期",
                                 "保留截止日期", "到书保留天数", "当前排列号", "取书地", "预约状态"};
const char* const kPregArriInfo[] = {"索书号",   "财产号",   "条码号",           "题名",         "责任者",
                                     "到书日期", "通知日期", "到书保留截止日期", "到书保留天数", "馆藏地",
                                     "经手人",   "取书地",   "到书状态"};
const char* const kLostInfo[] = {"索书号",       "财产号",           "条码号",     "题名",
                                 "责任者",       "馆藏地",           "操作日期",   "原始价格",
                                 "技术处理费",   "人工服务费",       "实际赔款额", "票据号",
                                 "赔偿遗失类型", "赔偿遗失操作状态", "经手人",     "说明"};
const char* const kReleInfo[] = {"索书号",       "题名",         "责任者",     "馆藏地",     "委托日期",
                                 "保留截止日期", "到书保留天数", "当前排列号", "委托馆藏地", "委托状态"};
const char* const kReleArriInfo[] = {
    "索书号",     "财产号",     "条码号",           "题名",         "责任者",       "馆藏地",
    "到书日期",   "通知日期",   "划到保留截止日期", "划到保留天数", "委托借阅日期", "委托还书日期",
    "委托馆藏地", "划到馆藏地", "委托还书地",       "委托处理标志", "经手人"};

struct CaptionList {
    const char* key;
    const char* const* captions;
    int count;
};

template <std::size_t N> constexpr CaptionList list(const char* key, const char* const (&captions)[N]) {
    return {key, captions, int(N)};
}

const CaptionList kCaptionLists[] = {
    list("BaseAuth", kBaseAuth),
    list("PartInfo", kPartInfo),
    list("Rule", kRule),
    list("CertLost", kCertLost),
    list("CertInfo", kCertInfo),
    list("LendInfo", kLendInfo),
    list("LendHistoryInfo", kLendHistory),
    list("VoltInfo", kVoltInfo),
    list("ExceedInfo", kExceedInfo),
    list("PregInfo", kPregInfo),
    list("PregArriInfo", kPregArriInfo),
    list("LostInfo", kLostInfo),
    list("ReleInfo", kReleInfo),
    list("ReleArriInfo", kReleArriInfo),
};

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A row of `cols` empty cells.
RedrPageRow emptyRow(int cols) {
    RedrPageRow row;
    for (int c = 0; c < cols; ++c)
        row.cells << QString();
    return row;
}

// The row with cells 1.. copied from result columns 0..; column 0 empty.
RedrPageRow copiedRow(const DBResultSet& rs, int r, int cols) {
    RedrPageRow row = emptyRow(cols);
    for (int c = 1; c < cols && c - 1 < rs.fieldCount(); ++c)
        row.cells[c] = rs.text(r, c - 1);
    return row;
}

// Title and responsible person of each record shown, read once per load.
class TitleCache {
public:
    QPair<QString, QString> get(const QString& marcNo) {
        auto it = titles_.constFind(marcNo);
        if (it != titles_.constEnd()) return *it;
        g_recMarc = strReadMarc(marcNo);
        const QPair<QString, QString> t{strGetMarcTitle(g_recMarc, 0), strGetMarcTitle(g_recMarc, 1)};
        titles_.insert(marcNo, t);
        return t;
    }
    void fill(RedrPageRow& row, const QString& marcNo, int titleCol) {
        const QPair<QString, QString> t = get(marcNo);
        row.cells[titleCol] = t.first;
        row.cells[titleCol + 1] = t.second;
    }
    // The same for the record number in `column` of result row r; the first
    // call reads the records of the whole column in one query.
    void fill(RedrPageRow& row, const DBResultSet& rs, int r, int column, int titleCol) {
        if (!read_) {
            read_ = true;
            QStringList nos;
            for (int i = 0; i < rs.rowCount(); ++i)
                nos << rs.text(i, column);
            const QHash<QString, MarcRecord> records = mapReadMarcs(nos);
            for (auto it = records.constBegin(); it != records.constEnd(); ++it) {
                g_recMarc = it.value();
                titles_.insert(it.key(), {strGetMarcTitle(g_recMarc, 0), strGetMarcTitle(g_recMarc, 1)});
            }
        }
        fill(row, rs.text(r, column), titleCol);
    }

private:
    QHash<QString, QPair<QString, QString>> titles_;
    bool read_ = false;
};

QString strToday() {
    return varGetSysInfo(1).toString();
}

QString zeroMoney(double v) {
    return strFormatMoney(lngMoneyFromDouble(v));
}

// The columns of the copy that open most page queries: call number, property
// number, bar code, and the record number twice (for title and author).
const char* const kItemCols =
    "SELECT item.call_no, item.prop_no, item.bar_code, item.marc_rec_no, item.marc_rec_no, ";

enum class Cells { Copied, Empty };

// Runs a page query and adds a row for each result row: with `Cells::Copied`
// cells 1.. hold result columns 0.., otherwise all are empty; `finish(rs, r,
// row, titles)` completes it. A failure is shown and gives -1.
template <typename Finish>
int addRows(const QString& sql, RedrPage* page, Finish finish, Cells cells = Cells::Copied) {
    DBResultSet rs;
    if (!blnSelectShown(sql, rs)) return -1;
    TitleCache titles;
    for (int r = 0; r < rs.rowCount(); ++r) {
        RedrPageRow row = cells == Cells::Copied ? copiedRow(rs, r, page->cols()) : emptyRow(page->cols());
        finish(rs, r, row, titles);
        page->rows << row;
    }
    return 0;
}

// ---- the pages -------------------------------------------------------------------

int loadCertLost(const QString& id, RedrPage* page) {
    const QString sql =
        QStringLiteral("SELECT cert_loss.redr_cert_id, cert_loss.lose_date, cert_loss.solv_date, "
                       "cert_loss.cert_lose_flag, cert_loss.resp_wkr, cert_loss.remark "
                       "FROM cert_loss, reader_cert WHERE cert_loss.redr_cert_id = reader_cert.redr_cert_id "
                       "AND reader_cert.cert_id = ") +
        id + QStringLiteral(" ORDER BY cert_loss.lose_date DESC, cert_loss.id DESC");
    return addRows(sql, page, [](const DBResultSet&, int, RedrPageRow& row, TitleCache&) {
        row.cells[2] = row.cells[2].left(10);
        row.cells[3] = row.cells[3].left(10);
        row.cells[4] = row.cells[4] == QLatin1String("1") ? S("否") : S("是");
    });
}

int loadCertInfo(const QString& id, RedrPage* page) {
    const QString sql =
        QStringLiteral("SELECT reader_cert.redr_cert_id, reader_cert.cert_flag, reader_cert.oper_date, "
                       "reader_cert.bgn_date, reader_cert.end_date, reader_cert.charge, reader.deposit, "
                       "reader.obligate, reader_cert.resp_wkr FROM reader_cert, reader "
                       "WHERE reader_cert.cert_id = ") +
        id + QStringLiteral(" AND reader_cert.cert_id = reader.cert_id ORDER BY reader_cert.oper_date DESC, "
                       "reader_cert.redr_cert_id");
    return addRows(sql, page, [](const DBResultSet& rs, int r, RedrPageRow& row, TitleCache&) {
        const QString flag = row.cells[2];
        row.cells[2] = strCertStateText(flag);
        if (flag == QLatin1String("0"))
            row.fore = kRed;
        else if (flag == QLatin1String("2") || flag == QLatin1String("3"))
            row.fore = kDarkBlue;
        for (int c : {6, 7, 8})
            row.cells[c] = strDotMoney(rs.number(r, c - 1));
    });
}

int loadLendInfo(const QString& id, RedrPage* page) {
    const QString sql =
        QLatin1String(kItemCols) +
        QStringLiteral("lend_lst.lend_date, lend_lst.norm_ret_date, lend_lst.renew_date, "
                       "lend_lst.renew_times, lend_lst.asback_date, lend_lst.asback_times, "
                       "item.location, lend_lst.resp_wkr, lend_lst.attachment, lend_lst.rule_no_f "
                       "FROM item, lend_lst, reader WHERE lend_lst.cert_id = ") +
        id
        // The reader by its key: the loan's code column compares in another collation.
        + QStringLiteral(" AND item.prop_no = lend_lst.prop_no AND reader.cert_id = ") + id +
        QStringLiteral(" ORDER BY lend_lst.lend_date DESC, lend_lst.prop_no");
    QString today;
    return addRows(sql, page, [&](const DBResultSet& rs, int r, RedrPageRow& row, TitleCache& titles) {
        if (r == 0) today = strToday();
        row.cells[0] = QString::number(r + 1);
        titles.fill(row, rs, r, 3, 4);
        for (int c : {6, 7, 8, 10})
            row.cells[c] = strDateTimeText(row.cells[c]);
        row.cells[12] = strLocationName(row.cells[12]);
        // A loan due today, at any time of it, is not overdue yet.
        if (rs.text(r, 6) < today) row.fore = kRed;
    });
}

// The history or archive query of `table` for the range; `selection` gets the
// record-number selection of the same rows.
QString histSQL(const QString& table, const QString& id, const RedrHistRange& range, bool withReturnTest,
                QString* selection) {
    const QString t = table;
    const QString column =
        t + (range.byReturn == 0 ? QStringLiteral(".lend_date") : QStringLiteral(".ret_date"));
    // From the bare first day: both stored forms of that day's times sort after it.
    const QString cond = QStringLiteral(" AND ") + column + QStringLiteral(" >= ") + strSQLQuote(range.from) +
                         QStringLiteral(" AND ") + column + QStringLiteral(" <= ") +
                         strSQLQuote(range.to + QStringLiteral("24:00:00"));
    *selection = QStringLiteral("SELECT item.marc_rec_no FROM item, ") + t + QStringLiteral(" WHERE ") + t +
                 QStringLiteral(".cert_id_f = ") + id + QStringLiteral(" AND item.prop_no = ") + t +
                 QStringLiteral(".prop_no_f AND ") + t + QStringLiteral(".ret_date IS NOT NULL") + cond;
    QString sql =
        QStringLiteral("SELECT item.call_no, item.prop_no, item.bar_code, item.marc_rec_no, "
                       "item.marc_rec_no, %1.lend_date, %1.ret_date, %1.excd_days, %1.renew_date, "
                       "%1.renew_times, %1.asback_date, %1.asback_times, item.location, %1.resp_wkr, "
                       "%1.ret_wkr, item.marc_rec_no, %1.cls_id, %1.attachment, %1.preg_flag, "
                       "%1.rele_flag, %1.rule_no_f FROM item, %1, reader WHERE %1.cert_id_f = ")
            .arg(t) +
        id + QStringLiteral(" AND item.prop_no = %1.prop_no_f AND reader.cert_id = %1.cert_id_f").arg(t);
    if (withReturnTest) sql += QStringLiteral(" AND %1.ret_date IS NOT NULL").arg(t);
    return sql + cond + QStringLiteral(" ORDER BY %1.ret_date DESC, %1.id DESC").arg(t);
}

// Writes history rows below row `start` (their numbers follow it).
void showHistRows(const DBResultSet& rs, int start, RedrPage* page) {
    for (int r = 0; r < rs.rowCount(); ++r) {
        RedrPageRow row = copiedRow(rs, r, page->cols());
        row.cells[0] = QString::number(start + r + 1);
        const int idx = intFindMarcInList(rs.text(r, 3));
        const BookSumEntry entry = idx >= 0 ? g_arrBookSum.value(idx) : BookSumEntry();
        row.cells[4] = entry.title;
        row.cells[5] = entry.author;
        for (int c : {6, 7, 9, 11})
            row.cells[c] = strDateTimeText(row.cells[c]);
        row.cells[13] = strLocationName(row.cells[13]);
        row.fore = rs.number(r, 7) > 0 ? kRed : kBlack;
        page->rows << row;
    }
}

int loadHist(const QString& table, bool withReturnTest, const QString& id, const RedrHistRange& range,
             RedrPage* page) {
    QString selection;
    DBResultSet rs;
    if (!blnSelectShown(histSQL(table, id, range, withReturnTest, &selection), rs)) return -1;
    if (rs.rowCount() == 0) return 0;
    subLoadMarcList(selection, 0);
    showHistRows(rs, int(page->rows.size()), page);
    return 0;
}

int loadVoltInfo(const QString& id, RedrPage* page) {
    // The copy of each violation comes with it: one statement for the page.
    const QString sql =
        QStringLiteral("SELECT item.call_no, item.prop_no, item.bar_code, item.marc_rec_no, "
                       "reader_volt_lst.volt_code, reader_volt_lst.location_f, reader_volt_lst.punish_date, "
                       "reader_volt_lst.real_fine_amt, reader_volt_lst.bill_no, reader_volt_lst.fine_date, "
                       "reader_volt_lst.froz_end_date, reader_volt_lst.volt_deal_flag, "
                       "reader_volt_lst.resp_wkr, reader_volt_lst.remark "
                       "FROM reader_volt_lst LEFT JOIN item ON item.prop_no = reader_volt_lst.prop_no "
                       "WHERE reader_volt_lst.cert_id = ") +
        id + QStringLiteral(" ORDER BY reader_volt_lst.punish_date DESC");
    static const char* const kStates[] = {"已处理",     "停借",         "罚款",
                                          "罚款并停借", "预约到书过期", "委托到书过期"};
    const auto finish = [](const DBResultSet& rs, int r, RedrPageRow& row, TitleCache& titles) {
        row.cells[0] = QString::number(r + 1);
        if (!rs.text(r, 1).isEmpty()) {
            for (int c = 1; c <= 3; ++c)
                row.cells[c] = rs.text(r, c - 1);
            titles.fill(row, rs, r, 3, 4);
        }
        row.cells[6] = strVoltName(rs.text(r, 4));
        row.cells[7] = strLocationName(rs.text(r, 5));
        for (int c = 8; c <= 12; ++c)
            row.cells[c] = rs.text(r, c - 2);
        const QString flag = rs.text(r, 11);
        const int f = flag.size() == 1 ? flag.at(0).unicode() - '0' : -1;
        row.cells[13] = f >= 0 && f <= 5 ? S(kStates[f]) : QString();
        row.cells[14] = rs.text(r, 12);
        row.cells[15] = rs.text(r, 13);
        row.fore = f == 0 ? kDarkBlue : kRed;
    };
    return addRows(sql, page, finish, Cells::Empty);
}

// Whether both date-times can be read for a duration in the loan's unit:
// a date in the first 10 characters and, for hours, a time in the last 8.
bool blnDurationReadable(const QString& unit, const QString& start, const QString& end) {
    for (const QString& text : {start.trimmed(), end.trimmed()}) {
        const bool date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")).isValid();
        const bool time =
            text.size() >= 18 && QTime::fromString(text.right(8), QStringLiteral("hh:mm:ss")).isValid();
        if (!date || (unit == QLatin1String("H") && !time)) return false;
    }
    return true;
}

int loadExceedInfo(const QString& id, RedrPage* page) {
    const QString sql =
        QLatin1String(kItemCols) +
        QStringLiteral("item.location, exceed_fine_lst.lend_date, exceed_fine_lst.ret_date, "
                       "exceed_fine_lst.norm_ret_date, exceed_fine_lst.norm_ret_date, "
                       "exceed_fine_lst.fine_amt, exceed_fine_lst.real_fine_amt, exceed_fine_lst.renew_date, "
                       "exceed_fine_lst.renew_times, exceed_fine_lst.asback_date, "
                       "exceed_fine_lst.asback_times, exceed_fine_lst.bill_no, exceed_fine_lst.fine_date, "
                       "exceed_fine_lst.debt_deal_flag, exceed_fine_lst.rule_no_f, exceed_fine_lst.resp_wkr, "
                       "exceed_fine_lst.remark, exceed_fine_lst.time_unit FROM exceed_fine_lst, item "
                       "WHERE exceed_fine_lst.cert_id = ") +
        id +
        QStringLiteral(" AND exceed_fine_lst.prop_no = item.prop_no ORDER BY exceed_fine_lst.ret_date DESC, "
                       "exceed_fine_lst.lend_date DESC, exceed_fine_lst.prop_no");
    return addRows(sql, page, [](const DBResultSet& rs, int r, RedrPageRow& row, TitleCache& titles) {
        const QString unit = rs.text(r, 22);
        titles.fill(row, rs, r, 3, 4);
        row.cells[6] = strLocationName(row.cells[6]);
        for (int c : {7, 8, 9})
            row.cells[c] = strFineDateText(unit, row.cells[c]);
        // A date that cannot be read gives no duration rather than a wrong one.
        row.cells[10] = blnDurationReadable(unit, rs.text(r, 8), rs.text(r, 7))
                            ? strOverdueText(unit, rs.text(r, 8), rs.text(r, 7))
                            : QString();
        row.cells[11] = zeroMoney(rs.number(r, 10));
        row.cells[12] = zeroMoney(rs.number(r, 11));
        for (int c : {13, 15, 18})
            row.cells[c] = row.cells[c].left(10);
        const bool open = rs.text(r, 18) == QLatin1String("0");
        row.cells[19] = open ? S("未处理") : S("处理完毕");
        row.fore = open ? kRed : kDarkBlue;
    });
}

// Holds and consignment requests: one statement, the queue position of each
// row counted by the server. Only waiting entries ahead of a row count, and
// only a waiting row has a position.
struct QueuePage {
    const char* table;
    const char* prefix; // column prefix of the queue's own columns: "preg" or "relegate"
    const char* flag;
    const char* pickup;
    const char* doneTexts[2];
    const char* waitText;
};

int loadQueue(const QueuePage& q, const QString& id, RedrPage* page) {
    const QString today = strToday();
    const QString t = QLatin1String(q.table);
    const QString p = QLatin1String(q.prefix);
    const QString flag = QLatin1String(q.flag);
    const QString sql =
        QStringLiteral("SELECT %1.call_no, %1.location, call_no_lst.marc_rec_no, %1.%2_date, %1.%2_end_date, "
                       "%1.%2_keep_days, %1.%2_no, %1.%3, %1.%4, "
                       "(SELECT count(*) FROM %1 q WHERE q.call_no = %1.call_no AND q.location = %1.location "
                       "AND q.%4 = '0' AND q.%2_end_date >= %5 AND q.%2_no < %1.%2_no) "
                       "FROM %1, call_no_lst WHERE %1.cert_id = %6 AND %1.call_no = call_no_lst.call_no "
                       "ORDER BY %1.%2_date, %1.call_no, %1.location")
            .arg(t, p, QLatin1String(q.pickup), flag, strSQLQuote(today), id);
    return addRows(
        sql, page,
        [&](const DBResultSet& rs, int r, RedrPageRow& row, TitleCache& titles) {
            row.cells[0] = QString::number(r + 1);
            row.cells[1] = rs.text(r, 0);
            titles.fill(row, rs, r, 2, 2);
            row.cells[4] = strLocationName(rs.text(r, 1));
            row.cells[5] = rs.text(r, 3).left(10);
            row.cells[6] = rs.text(r, 4);
            row.cells[7] = rs.text(r, 5);
            row.cells[9] = strLocationName(rs.text(r, 7));
            const QString state = rs.text(r, 8);
            const bool expired = rs.text(r, 4) < today;
            if (expired) row.fore = kRed;
            if (state == QLatin1String("0")) {
                row.cells[10] = S(q.waitText);
                if (!expired) row.cells[8] = QString::number(qint64(rs.number(r, 9)) + 1);
            } else if (state == QLatin1String("1") || state == QLatin1String("2")) {
                row.cells[10] = S(q.doneTexts[state.at(0).unicode() - '1']);
                row.back = kLightBlue;
            }
        },
        Cells::Empty);
}

const QueuePage kPregQueue{"preg_lst", "preg", "preg_flag", "take_location", {"已到书", "已删除"}, "申请中"};
const QueuePage kReleQueue{"relegate_lst",      "relegate",           "relegate_flag",
                           "relegate_location", {"已划到", "已删除"}, "申请中"};

int loadPregArriInfo(const QString& id, RedrPage* page) {
    const QString sql =
        QLatin1String(kItemCols) +
        QStringLiteral(
            "preg_arri_lst.preg_arri_date, preg_arri_lst.noti_send_date, "
            "preg_arri_lst.keep_end_date, preg_arri_lst.preg_keep_days, item.location, "
            "preg_arri_lst.resp_wkr, preg_arri_lst.take_location, preg_arri_lst.pregarri_deal_flag "
            "FROM preg_arri_lst, item WHERE preg_arri_lst.cert_id = ") +
        id +
        QStringLiteral(" AND preg_arri_lst.prop_no = item.prop_no ORDER BY preg_arri_lst.preg_arri_date, "
                       "preg_arri_lst.prop_no");
    QString today;
    return addRows(sql, page, [&](const DBResultSet& rs, int r, RedrPageRow& row, TitleCache& titles) {
        if (r == 0) today = strToday();
        titles.fill(row, rs, r, 3, 4);
        if (row.cells[8].left(10) < today) row.fore = kRed;
        row.cells[10] = strLocationName(row.cells[10]);
        row.cells[12] = strLocationName(row.cells[12]);
        const QString flag = row.cells[13];
        if (flag == QLatin1String("0")) {
            row.cells[13] = S("待借");
        } else if (flag == QLatin1String("1") || flag == QLatin1String("2")) {
            row.cells[13] = flag == QLatin1String("1") ? S("已借出") : S("已删除");
            row.back = kLightBlue;
        }
    });
}

int loadLostInfo(const QString& id, RedrPage* page) {
    const QString sql =
        QLatin1String(kItemCols) +
        QStringLiteral("item.location, lost_recoup_lst.recoup_date, lost_recoup_lst.src_price, "
                       "lost_recoup_lst.tech_fee, lost_recoup_lst.serv_fee, lost_recoup_lst.real_recoup_amt, "
                       "lost_recoup_lst.bill_no, lost_recoup_lst.recoup_type, lost_recoup_lst.recoup_flag, "
                       "lost_recoup_lst.resp_wkr, lost_recoup_lst.remark FROM lost_recoup_lst, item "
                       "WHERE lost_recoup_lst.cert_id = ") +
        id +
        QStringLiteral(
            " AND lost_recoup_lst.prop_no = item.prop_no ORDER BY lost_recoup_lst.recoup_date DESC, "
            "lost_recoup_lst.id DESC");
    return addRows(sql, page, [](const DBResultSet& rs, int r, RedrPageRow& row, TitleCache& titles) {
        titles.fill(row, rs, r, 3, 4);
        row.cells[6] = strLocationName(row.cells[6]);
        row.cells[7] = row.cells[7].left(10);
        const QString type = row.cells[13];
        row.cells[13] = type == QLatin1String("1")   ? S("赔书")
                        : type == QLatin1String("2") ? S("赔钱")
                                                     : S("赔退");
    });
}

int loadReleArriInfo(const QString& id, RedrPage* page) {
    const QString sql =
        QLatin1String(kItemCols) +
        QStringLiteral("item.location, relegate_arri_lst.relegate_arri_date, "
                       "relegate_arri_lst.relegate_noti_date, relegate_arri_lst.relegate_keep_end_date, "
                       "relegate_arri_lst.relegate_keep_days, relegate_arri_lst.relegate_lend_date, "
                       "relegate_arri_lst.relegate_ret_date, relegate_arri_lst.relegate_location, "
                       "relegate_arri_lst.relegate_find_location, relegate_arri_lst.relegate_ret_location, "
                       "relegate_arri_lst.relegate_end_flag, relegate_arri_lst.resp_wkr "
                       "FROM relegate_arri_lst, item WHERE relegate_arri_lst.cert_id = ") +
        id +
        QStringLiteral(" AND relegate_arri_lst.prop_no = item.prop_no "
                       "ORDER BY relegate_arri_lst.relegate_arri_date, relegate_arri_lst.id");
    static const char* const kStates[] = {"划到", "交接", "借出", "还回", "回库", "还书划到"};
    return addRows(sql, page, [](const DBResultSet& rs, int r, RedrPageRow& row, TitleCache& titles) {
        row.cells[0] = QString::number(r + 1);
        titles.fill(row, rs, r, 3, 4);
        for (int c : {6, 13, 14, 15})
            row.cells[c] = strLocationName(row.cells[c]);
        const QString flag = row.cells[16];
        const int f = flag.size() == 1 ? flag.at(0).unicode() - '1' : -1;
        if (f >= 0 && f <= 5) row.cells[16] = S(kStates[f]);
    });
}

int loadBaseAuth(const QString& id, RedrPage* page) {
    DBResultSet rs;
    if (!blnSelectShown(
            QStringLiteral(
                "SELECT reader_type.redr_type_name, reader_type.redr_attr_1, reader_type.redr_attr_2, "
                "reader_type.redr_attr_3, reader_type.max_lend_qty, reader_type.max_debt_amt, "
                "reader_type.max_preg_qty, reader_type.max_preg_days, reader_type.chk_validity_period, "
                "reader_type.remark FROM reader, reader_type WHERE reader.cert_id = ") +
                id + QStringLiteral(" AND reader_type.redr_type_code = reader.redr_type_code"),
            rs))
        return -1;
    if (rs.rowCount() == 0) return 0;
    RedrPageRow row = copiedRow(rs, 0, page->cols());
    row.cells[9] = row.cells[9] == QLatin1String("1") ? S("是") : S("否");
    page->rows << row;
    return 0;
}

int loadPartInfo(const QString& id, RedrPage* page) {
    DBResultSet rs;
    if (!blnSelectShown(
            QStringLiteral(
                "SELECT reader_cert.redr_cert_id, reader.cert_id, reader.name, reader.id_card, "
                "reader.birthday, reader.sex, reader_type.redr_type_name, lend_grd.remark, "
                "reader.education, reader.occupation, reader.duty, reader.position, reader.dept, "
                "reader.code01, reader.r_dep_id, reader.address, reader.postcode, reader.tele, "
                "reader.mobile, reader_cert.charge, reader.deposit, reader.obligate, reader.code02, "
                "reader.email, reader_cert.oper_date, reader.redr_reg_day, reader_cert.bgn_date, "
                "reader_cert.end_date, reader.redr_del_day, reader.volt_flag, reader.debt_flag, "
                "reader.total_lend_qty, reader.year_lend_qty, reader_cert.resp_wkr, reader.remark, "
                "reader.password FROM reader, reader_cert, reader_type, lend_grd "
                "WHERE reader_cert.cert_id = ") +
                id +
                QStringLiteral(" AND reader.cert_id = reader_cert.cert_id "
                               "AND reader.redr_type_code = reader_type.redr_type_code "
                               "AND reader.lend_grd = lend_grd.lend_grd ORDER BY reader_cert.cert_flag DESC"),
            rs))
        return -1;
    if (rs.rowCount() == 0) {
        page->rows << emptyRow(page->cols());
        return 0;
    }
    RedrPageRow row = copiedRow(rs, 0, page->cols());
    // The male code shows 男; any other value, none included, 女.
    row.cells[6] = row.cells[6] == QLatin1String("M") ? S("男") : S("女");
    row.cells[15] = strDeptName(row.cells[15]);
    row.cells[36] = QString(row.cells[36].size(), QLatin1Char('*'));
    page->rows << row;
    return 0;
}

int loadRule(const QString& certId, RedrPage* page) {
    QString type;
    if (intReadRedrType(certId, &type) != 0) return -1;
    // The rules the reader's type can meet at any location for any
    // circulation type: the type pattern is matched as the desk matches it.
    for (int m = 0; m < g_varRuleComp.rowCount(); ++m) {
        if (!blnMatchRuleCode(type, g_varRuleComp.text(m, rulecomp::RedrTypeCode))) continue;
        RedrPageRow row = emptyRow(page->cols());
        const QString ruleNo = g_varRuleComp.text(m, rulecomp::RuleNo);
        for (int r = 0; r < g_varCircRule.rowCount(); ++r) {
            if (g_varCircRule.text(r, circrule::RuleNo) != ruleNo) continue;
            row.cells[1] = g_varRuleComp.text(m, rulecomp::LocaCode);
            row.cells[2] = g_varRuleComp.text(m, rulecomp::CircTypeCode);
            for (int c = 3; c < page->cols(); ++c)
                row.cells[c] = g_varCircRule.text(r, c - 3);
            row.cells[5] = row.cells[5] == QLatin1String("H") ? S("小时") : S("天");
            row.cells[34] = row.cells[34] == QLatin1String("0") ? S("当前日算起") : S("期满日算起");
        }
        page->rows << row;
    }
    return 0;
}

} // namespace

const QVector<RedrPageTab>& redrPageTabs() {
    static const QVector<RedrPageTab> tabs = {
        {"BaseAuth", "基本权限"},        {"PartInfo", "详细信息"},     {"Rule", "适应规则"},
        {"CertLost", "证件挂失"},        {"CertInfo", "办证情况"},     {"LendInfo", "书刊借阅"},
        {"LendHistoryInfo", "借阅历史"}, {"VoltInfo", "违章情况"},     {"ExceedInfo", "超期罚款"},
        {"PregInfo", "书刊预约"},        {"PregArriInfo", "预约到馆"}, {"LostInfo", "遗失赔偿"},
        {"ReleInfo", "书刊委托"},        {"ReleArriInfo", "委托到馆"},
    };
    return tabs;
}

QStringList strRedrPageCaptions(const QString& key) {
    QStringList captions{QString()};
    for (const CaptionList& l : kCaptionLists) {
        if (key == QLatin1String(l.key)) {
            for (int i = 0; i < l.count; ++i)
                captions << S(l.captions[i]);
        }
    }
    return captions;
}

int intLoadRedrPage(const QString& key, const QString& certId, const RedrHistRange& range, RedrPage* page) {
    page->key = key;
    page->captions = strRedrPageCaptions(key);
    page->rows.clear();
    const QString id = strSQLQuote(certId);
    if (key == QLatin1String("CertLost")) return loadCertLost(id, page);
    if (key == QLatin1String("CertInfo")) return loadCertInfo(id, page);
    if (key == QLatin1String("LendInfo")) return loadLendInfo(id, page);
    if (key == QLatin1String("LendHistoryInfo"))
        return loadHist(QStringLiteral("lend_hist"), true, id, range, page);
    if (key == QLatin1String("VoltInfo")) return loadVoltInfo(id, page);
    if (key == QLatin1String("ExceedInfo")) return loadExceedInfo(id, page);
    if (key == QLatin1String("PregInfo")) return loadQueue(kPregQueue, id, page);
    if (key == QLatin1String("PregArriInfo")) return loadPregArriInfo(id, page);
    if (key == QLatin1String("LostInfo")) return loadLostInfo(id, page);
    if (key == QLatin1String("ReleInfo")) return loadQueue(kReleQueue, id, page);
    if (key == QLatin1String("ReleArriInfo")) return loadReleArriInfo(id, page);
    if (key == QLatin1String("BaseAuth")) return loadBaseAuth(id, page);
    if (key == QLatin1String("PartInfo")) return loadPartInfo(id, page);
    if (key == QLatin1String("Rule")) return loadRule(certId, page);
    return 0;
}

int intLoadLendHistoryBak(const QString& certId, const RedrHistRange& range, RedrPage* page) {
    if (page->captions.isEmpty()) page->captions = strRedrPageCaptions(QStringLiteral("LendHistoryInfo"));
    return loadHist(QStringLiteral("lend_hist_bak"), false, strSQLQuote(certId), range, page);
}

int intLoadRedrSummary(const QString& certId, QStringList* summary) {
    summary->clear();
    DBResultSet rs;
    g_strSQL = QStringLiteral("SELECT reader_cert.redr_cert_id, reader.cert_id, reader.name, reader.id_card, "
                              "reader_type.redr_type_name, reader.dept, lend_grd.remark, reader.occupation, "
                              "reader.code01, reader.r_dep_id, reader.redr_type_code, reader.code02 "
                              "FROM reader, reader_cert, reader_type, lend_grd "
                              "WHERE reader.cert_id = reader_cert.cert_id "
                              "AND reader.redr_type_code = reader_type.redr_type_code "
                              "AND reader.lend_grd = lend_grd.lend_grd AND reader.cert_id = ") +
               strSQLQuote(certId) +
               QStringLiteral(" ORDER BY reader_cert.cert_flag DESC, reader_cert.oper_date DESC LIMIT 1");
    g_intSQLRet = LIB_DB_Select(g_strSQL, rs);
    if (g_intSQLRet < 0) return -1;
    if (rs.rowCount() == 0) return 0;
    for (int c = 0; c < 12; ++c)
        summary->append(rs.text(0, c));
    (*summary)[9] = strDeptName((*summary)[9]);
    return 0;
}

QString strDateTimeText(const QString& stored) {
    if (stored.size() <= 10) return stored;
    return stored.left(10) + QLatin1Char(' ') + stored.mid(10).trimmed();
}

QString strDotMoney(double value) {
    QString text = zeroMoney(value);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    return text;
}
