#pragma once
// Code-table caches and code look-ups.
//
// At the first log-in of a run the code tables, circulation rules, rule
// assignments, locations, reader types, workers, closing days and opening
// times are copied into the caches below and stay unchanged for the run (the
// rule caches may be reloaded by the rule windows). Windows read cells by
// column position, in the column order of the SELECTs in basCodeFunc.cpp, and
// turn codes into names through the look-ups.

#include "common/DBResultSet.h"

#include <QString>
#include <QStringList>

// Column positions of the caches other modules read by position.
namespace circrule {
enum Column {
    RuleNo = 0, RuleName, TimeUnit, NormTerm, LimtLendQty, MaxLendQty, PergYsno, RenewYsno, MaxRenewTimes,
    RenewBefExpDays, FstRenewDays, AddRenewDays, PregKeepDays, MinUseDays, UseBefExpDays, UseAftAsbackDays,
    MaxExcdTimes, FstNotice, SndNotice, ThdNotice, UnfineExtDays, FstFineDays, FstFinePrice, OtherFinePrice,
    TechFee, ServFee, FstNoticeNo, SndNoticeNo, ThdNoticeNo, PregNoticeNo, KeepBookQty, RenewCalcFlag, RuleFlag,
    RegDay, UptDay, RespWkr,
    ColumnCount // 36
};
}
namespace rulecomp {
enum Column { No = 0, RuleNo, LocaCode, CircTypeCode, RedrTypeCode, DepId };
}
namespace redrtype {
enum Column { Code = 0, Name, ChkValidityPeriod, MaxLendQty, MaxDebtAmt, MaxPregQty, MaxPregDays };
}
namespace desklocation {
enum Column { Location = 0, LocationName, LocationProperty, ShortLocaName, LendLocation, RetLocation,
              FineLocation, GroupId };
}
namespace closeday {
enum Column { BgnDay = 0, EndDay, ExtDays, Location };
}
namespace opentime {
enum Column { Morning = 0, Afternoon, Evening, Week, Location };
}

// The caches, in loading order.
extern DBResultSet g_varCircRule;       // 1  circ_rule, the 36 columns, by rule_no
extern DBResultSet g_varRuleComp;       // 2  rule_comp, by no descending
extern DBResultSet g_varStatType;       // 3
extern DBResultSet g_varLocation;       // 4  location, name, property, short name
extern DBResultSet g_varCircType;       // 5
extern DBResultSet g_varCircTypeSort;   // 6
extern DBResultSet g_varClassCode;      // 7
extern DBResultSet g_varClsGroup;       // 8  only when the class-serial table is wide
extern DBResultSet g_varStatTemplate;   // 9  a failure here does not count
extern DBResultSet g_varDocType;        // 10
extern DBResultSet g_varCarrier;        // 11
extern DBResultSet g_varGetMode;        // 12
extern DBResultSet g_varLanguage;       // 13
extern DBResultSet g_varCountry;        // 14
extern DBResultSet g_varRedrType;       // 15
extern DBResultSet g_varLendGrd;        // 16
extern DBResultSet g_varViolate;        // 17
extern DBResultSet g_varWorker;         // 18
extern DBResultSet g_varCloseDay;       // 19
extern DBResultSet g_varOpenTime;       // 20
extern DBResultSet g_varDepartment;     // 21
extern DBResultSet g_varLocaGroup;      // 22
extern DBResultSet g_varGroupRuleComp;  // 23
extern DBResultSet g_varLimitType;      // 24
extern DBResultSet g_varDeskLocation;   // circulation locations with their desk lists

// Loads caches 1 to 24; 0, or -1 at the first failing query (the later caches
// stay as they were). The failing cache is named in the daily log.
int intLoadBaseCode();
// Loads g_varDeskLocation for one operation type (3: circulation locations).
int intLoadDeskLocation(int operType);

// The SELECT text of cache n (1..24); "" for any other n.
QString strBaseCodeSQL(int n);
// The texts intLoadBaseCode reads, in its order (to be read ahead together).
QStringList strBaseCodeSQLs();
// The text intLoadDeskLocation reads.
QString strDeskLocationSQL(int operType);
// The global behind cache n (1..24), nullptr for any other n.
DBResultSet* varBaseCodeCache(int n);

// Code to name; a code no row holds comes back unchanged.
QString strLocationName(const QString& code);
QString strDeptName(const QString& code);
QString strDocTypeName(const QString& code);
QString strLangName(const QString& code);    // compares the code in upper case
QString strCountryName(const QString& code); // compares the code in upper case
QString strRedrTypeName(const QString& code);
QString strWorkerName(const QString& code);
QString strLendGrdName(const QString& code);
QString strVoltName(const QString& code);
QString strCarrierName(const QString& code);
QString strGetModeName(const QString& code);
QString strCircTypeName(const QString& code);
QString strClsName(const QString& code);

// Fixed lists without a table.
QString strLendStateName(const QString& code);
QString strLendStateText(const QString& code);
QString strItemStatusName(const QString& code);
bool blnInCollection(const QString& code);
QString strTransTypeName(const QString& code);
QString strAcqStateName(const QString& code);
QString strMarcTypeName(const QString& code);
