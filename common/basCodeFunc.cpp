// Code-table caches: loaded once at the first log-in, read by position and
// through the look-ups below.

#include "common/basCodeFunc.h"

#include "common/basDB.h"
#include "common/basEnv.h"

#include <exception>

DBResultSet g_varCircRule;
DBResultSet g_varRuleComp;
DBResultSet g_varStatType;
DBResultSet g_varLocation;
DBResultSet g_varCircType;
DBResultSet g_varCircTypeSort;
DBResultSet g_varClassCode;
DBResultSet g_varClsGroup;
DBResultSet g_varStatTemplate;
DBResultSet g_varDocType;
DBResultSet g_varCarrier;
DBResultSet g_varGetMode;
DBResultSet g_varLanguage;
DBResultSet g_varCountry;
DBResultSet g_varRedrType;
DBResultSet g_varLendGrd;
DBResultSet g_varViolate;
DBResultSet g_varWorker;
DBResultSet g_varCloseDay;
DBResultSet g_varOpenTime;
DBResultSet g_varDepartment;
DBResultSet g_varLocaGroup;
DBResultSet g_varGroupRuleComp;
DBResultSet g_varLimitType;
DBResultSet g_varDeskLocation;

namespace {

const char* const kInitTitle = "系统初始化";

struct CacheDef {
    DBResultSet* cache;
    const char* name;    // the global's name, for the log
    const char* columns; // SELECT list, in the order readers rely on
    const char* table;
    const char* useFlag; // flag column that must be '1', or nullptr
    const char* order;   // ORDER BY, or nullptr
};

const CacheDef kCaches[24] = {
    {&g_varCircRule, "g_varCircRule",
     "rule_no, rule_name, time_unit, norm_term, limt_lend_qty, max_lend_qty, perg_ysno, renew_ysno, "
     "max_renew_times, renew_bef_exp_days, fst_renew_days, add_renew_days, preg_keep_days, min_use_days, "
     "use_bef_exp_days, use_aft_asback_days, max_excd_times, fst_notice, snd_notice, thd_notice, "
     "unfine_ext_days, fst_fine_days, fst_fine_price, other_fine_price, tech_fee, serv_fee, fst_notice_no, "
     "snd_notice_no, thd_notice_no, preg_notice_no, keep_book_qty, renew_calc_flag, rule_flag, reg_day, "
     "upt_day, resp_wkr",
     "circ_rule", nullptr, "rule_no"},
    {&g_varRuleComp, "g_varRuleComp", "no, rule_no, loca_code_c, circ_type_code_c, redr_type_code_c, r_dep_id",
     "rule_comp", nullptr, "no DESC"},
    {&g_varStatType, "g_varStatType", "stat_type_name, stat_type_code", "stat_type_code", nullptr, nullptr},
    {&g_varLocation, "g_varLocation",
     "location_lst.location, location_lst.location_name, location_lst.location_property, "
     "location_lst.short_loca_name",
     "location_lst", nullptr, nullptr},
    {&g_varCircType, "g_varCircType", "circ_type_code, circ_type_name, remark", "circ_type_code",
     "code_use_flag", "circ_type_code"},
    {&g_varCircTypeSort, "g_varCircTypeSort", "cls_id, circ_type_code, class", "circ_type_sort", nullptr,
     "cls_id, circ_type_code"},
    {&g_varClassCode, "g_varClassCode", "cls_id, cls_name, marc_field", "classifica_code", "code_use_flag",
     "cls_id"},
    {&g_varClsGroup, "g_varClsGroup", "grp_code, grp_name", "cls_group", nullptr, "grp_code"},
    {&g_varStatTemplate, "g_varStatTemplate", "DISTINCT template_no, template_name, cls_id", "stat_template",
     nullptr, nullptr},
    {&g_varDocType, "g_varDocType", "doc_type_code, doc_type_name, doc_type_prop", "doc_type_code",
     "code_use_flag", "doc_type_code"},
    {&g_varCarrier, "g_varCarrier", "carrier_code, carrier_name", "carrier_code", "code_use_flag",
     "carrier_code"},
    {&g_varGetMode, "g_varGetMode", "get_mode_code, get_mode_name", "get_mode_code", "code_use_flag",
     "get_mode_code"},
    {&g_varLanguage, "g_varLanguage", "lang_code, lang_name", "language_code", "code_use_flag", nullptr},
    {&g_varCountry, "g_varCountry", "country_code, country_name", "country_code", "code_use_flag", nullptr},
    {&g_varRedrType, "g_varRedrType",
     "redr_type_code, redr_type_name, chk_validity_period, max_lend_qty, max_debt_amt, max_preg_qty, "
     "max_preg_days",
     "reader_type", "code_use_flag", nullptr},
    {&g_varLendGrd, "g_varLendGrd", "lend_grd, remark", "lend_grd", "code_use_flag", nullptr},
    {&g_varViolate, "g_varViolate", "volt_code, volt_name", "violate_code", "code_use_flag", nullptr},
    {&g_varWorker, "g_varWorker", "wkr_no, wkr_name", "lib_worker", nullptr, nullptr},
    {&g_varCloseDay, "g_varCloseDay", "close_bgn_day, close_end_day, ext_days, location", "CLOSE_DAY", nullptr,
     "location"},
    {&g_varOpenTime, "g_varOpenTime", "morn_open_time, aftn_open_time, even_open_time, week, location",
     "open_time", nullptr, "week"},
    {&g_varDepartment, "g_varDepartment", "dep_id, dep_name", "department", "use_flag", "dep_id"},
    {&g_varLocaGroup, "g_varLocaGroup", "group_id, group_name", "loca_group", "use_flag", "group_id"},
    {&g_varGroupRuleComp, "g_varGroupRuleComp", "r_group_id, redr_type_code_r, max_lend_qty, circ_type_code_r",
     "group_rule_comp", nullptr, "r_group_id"},
    {&g_varLimitType, "g_varLimitType", "limit_type_code, limit_type_name", "limit_type", "limit_use_flag",
     "limit_type_code"},
};

constexpr int kClsGroup = 8;
constexpr int kStatTemplate = 9;

// First row whose key equals the code; the code itself when none does.
QString lookUp(const DBResultSet& cache, int keyColumn, int nameColumn, const QString& code,
               const QString& key) {
    for (int i = 0; i < cache.rowCount(); ++i)
        if (cache.text(i, keyColumn) == key) return cache.text(i, nameColumn);
    return code;
}

QString lookUp(const DBResultSet& cache, const QString& code) { return lookUp(cache, 0, 1, code, code); }

// Writes which cache failed to the daily log, keeping the pending database
// error (a failing log write must not replace it).
void logCacheFailure(const CacheDef& d) {
    const int kind = g_intErrKind;
    const long number = g_lngErrNo;
    const QString code = g_strErrMsgCode, text = g_strErrText, proc = g_strErrProc;
    LIB_WriteLogFile(QString::fromUtf8(kInitTitle),
                     QStringLiteral("%1：代码缓存 %2（表 %3）读取失败：%4")
                         .arg(QString::fromUtf8(kInitTitle), QLatin1String(d.name), QLatin1String(d.table), text));
    g_intErrKind = kind;
    g_lngErrNo = number;
    g_strErrMsgCode = code;
    g_strErrText = text;
    g_strErrProc = proc;
}

} // namespace

QString strBaseCodeSQL(int n) {
    if (n < 1 || n > 24) return QString();
    const CacheDef& d = kCaches[n - 1];
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(QLatin1String(d.columns), QLatin1String(d.table));
    if (d.useFlag)
        sql += QStringLiteral(" WHERE %1 = %2").arg(QLatin1String(d.useFlag), strSQLQuote(QStringLiteral("1")));
    if (d.order) sql += QStringLiteral(" ORDER BY %1").arg(QLatin1String(d.order));
    return sql;
}

DBResultSet* varBaseCodeCache(int n) { return (n < 1 || n > 24) ? nullptr : kCaches[n - 1].cache; }

namespace {
bool baseCodeSkipped(int n) { return n == kClsGroup && !g_intClassSerialCols; }
} // namespace

QStringList strBaseCodeSQLs() {
    QStringList out;
    for (int n = 1; n <= 24; ++n)
        if (!baseCodeSkipped(n)) out << strBaseCodeSQL(n);
    return out;
}

int intLoadBaseCode() {
    try {
        for (int n = 1; n <= 24; ++n) {
            if (baseCodeSkipped(n)) continue;
            const CacheDef& d = kCaches[n - 1];
            g_strSQL = strBaseCodeSQL(n);
            DBResultSet rows;
            g_intSQLRet = LIB_DB_Select(g_strSQL, rows);
            if (g_intSQLRet < 0) {
                if (n == kStatTemplate) continue; // optional: keeps what it held
                // The pending error stays for the log-in's own report; the log
                // says which cache could not be read.
                logCacheFailure(d);
                return -1;
            }
            *d.cache = rows;
        }
        return 0;
    } catch (const std::exception&) {
    } catch (...) {
    }
    LIB_WriteLogFile(QString::fromUtf8(kInitTitle),
                     QStringLiteral("初始化系统基本代码出错，请与代码管理员联系。"));
    return -1;
}

QString strDeskLocationSQL(int operType) {
    return QStringLiteral("SELECT location_sort.location, location_lst.location_name, "
                              "location_lst.location_property, location_lst.short_loca_name, "
                              "location_lst.lend_location, location_lst.ret_location, "
                              "location_lst.fine_location, location_lst.group_id "
                              "FROM location_sort, location_lst "
                              "WHERE location_sort.location = location_lst.location "
                              "AND location_sort.oper_type = %1 ORDER BY location_sort.sequence, location_sort.location")
        .arg(strSQLQuote(QString::number(operType)));
}

int intLoadDeskLocation(int operType) {
    g_strSQL = strDeskLocationSQL(operType);
    DBResultSet rows;
    g_intSQLRet = LIB_DB_Select(g_strSQL, rows);
    if (g_intSQLRet < 0) return -1;
    g_varDeskLocation = rows;
    return 0;
}

QString strLocationName(const QString& code) { return lookUp(g_varLocation, code); }
QString strDeptName(const QString& code) { return lookUp(g_varDepartment, code); }
QString strDocTypeName(const QString& code) { return lookUp(g_varDocType, code); }
QString strLangName(const QString& code) { return lookUp(g_varLanguage, 0, 1, code, code.toUpper()); }
QString strCountryName(const QString& code) { return lookUp(g_varCountry, 0, 1, code, code.toUpper()); }
QString strRedrTypeName(const QString& code) { return lookUp(g_varRedrType, code); }
QString strWorkerName(const QString& code) { return lookUp(g_varWorker, code); }
QString strLendGrdName(const QString& code) { return lookUp(g_varLendGrd, code); }
QString strVoltName(const QString& code) { return lookUp(g_varViolate, code); }
QString strCarrierName(const QString& code) { return lookUp(g_varCarrier, code); }
QString strGetModeName(const QString& code) { return lookUp(g_varGetMode, code); }
QString strCircTypeName(const QString& code) { return lookUp(g_varCircType, code); }
QString strClsName(const QString& code) { return lookUp(g_varClassCode, code); }

namespace {

struct Fixed {
    const char* code;
    const char* text;
};

QString fixedText(const Fixed* list, int n, const QString& code, bool* found = nullptr) {
    for (int i = 0; i < n; ++i) {
        if (code == QLatin1String(list[i].code)) {
            if (found) *found = true;
            return QString::fromUtf8(list[i].text);
        }
    }
    if (found) *found = false;
    return QString();
}

const Fixed kLendState[] = {{"0", "在馆"}, {"1", "借出"}, {"2", "预约回馆"}, {"3", "委托借出"}};

struct ItemStatus {
    const char* code;
    const char* text;
    bool inCollection;
};

const ItemStatus kItemStatus[] = {
    {"11", "正常验收", false}, {"12", "赠送验收", false}, {"13", "交换验收", false}, {"14", "自采验收", false},
    {"15", "送编验收", false}, {"16", "在编", false},     {"17", "典藏处理", false}, {"33", "书刊修补", true},
    {"34", "破损报废", false}, {"35", "剔旧报废", false}, {"36", "赠送出", false},   {"37", "交换出", false},
    {"38", "丢失", false},     {"39", "遗失赔偿", false}, {"3A", "下架装订", false}, {"3B", "声明丢失", false},
    {"3C", "停借", true},      {"41", "可借", true},      {"42", "非可借", true},    {"43", "阅览", true},
    {"44", "业务用书", true},  {"45", "保留本", true},    {"46", "分馆藏书", true},
};

const Fixed kTransType[] = {
    {"01", "书刊修补"}, {"02", "书刊回验"}, {"03", "书刊剔旧"}, {"04", "书刊赠送"}, {"05", "书刊交换"}};
const Fixed kAcqState[] = {{"0", "待订"}, {"1", "订购"}, {"2", "待编"}, {"3", "已编"}, {"4", "审校"}};
const Fixed kMarcType[] = {{"C", "CN"}, {"N", "CN"}, {"U", "US"}, {"c", "CN规范"}, {"u", "US规范"}};

template <typename T, int N> constexpr int arraySize(const T (&)[N]) { return N; }

} // namespace

QString strLendStateName(const QString& code) {
    bool found = false;
    const QString text = fixedText(kLendState, arraySize(kLendState), code, &found);
    return found ? text : code;
}

QString strLendStateText(const QString& code) { return strLendStateName(code); }

QString strItemStatusName(const QString& code) {
    for (const ItemStatus& s : kItemStatus)
        if (code == QLatin1String(s.code)) return QString::fromUtf8(s.text);
    return QString();
}

bool blnInCollection(const QString& code) {
    for (const ItemStatus& s : kItemStatus)
        if (code == QLatin1String(s.code)) return s.inCollection;
    return false;
}

QString strTransTypeName(const QString& code) { return fixedText(kTransType, arraySize(kTransType), code); }
QString strAcqStateName(const QString& code) { return fixedText(kAcqState, arraySize(kAcqState), code); }
QString strMarcTypeName(const QString& code) { return fixedText(kMarcType, arraySize(kMarcType), code); }
