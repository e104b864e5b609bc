#pragma once
// The fifteen information tabs of the look-up window as logic: their keys,
// captions and column headers, the copy filter, and one loader per tab that
// computes the rows of the current record (texts and colours) without a window.
// Every loader only reads; nothing is locked and no transaction is opened.

#include "common/DBResultSet.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

struct MarcRecord;

namespace biblio {

struct TabDef {
    QString key;
    QString caption;
    QStringList headers; // columns 1..n (column 0 has none)
};

// The tabs in their order (tab 1 "BaseInfo" ... tab 15 "ReleArri").
const QVector<TabDef>& tabDefs();
// Headers of the tab with that key; empty for "MarcInfo" and unknown keys.
QStringList tabHeaders(const QString& key);
// Headers of the copy grid of "CallNoInfo".
const QStringList& itemInfoHeaders();

// Colour numbers of the tabs (red in the low byte).
inline constexpr long kColorRed = 255;
inline constexpr long kColorDarkBlue = 8388608;
inline constexpr long kColorLightBlue = 15780518;

// One grid's worth of rows: cells[r][c] for data row r (grid row r + 1) and
// columns 0..cols-1, with a text and a background colour per row (-1 none).
struct TabRows {
    int cols = 0;
    QVector<QStringList> cells;
    QVector<long> fore;
    QVector<long> back;
    int count() const { return int(cells.size()); }
    void clear(int columns);
    QStringList& add(long foreColor = -1, long backColor = -1);
};

// What a loader reads.
struct TabQuery {
    QString marcNo;
    QString copyFilter; // " AND item.prop_no LIKE ..." or empty (strCopyFilterSQL)
    int lendRange = 0;  // 0 lend dates, 1 return dates
    QDate from, to;
    QString today;      // the server date, "yyyy-mm-dd"
};

// The copy filter: applies when the box is visible and ticked (group "92" or
// "93"); a prefix of item.prop_no or item.bar_code with the trimmed,
// upper-cased quick-search text.
QString strCopyFilterSQL(const QString& groupCode, bool ticked, const QString& text);
// The date-range clause of the loan history on `table`.
QString strDateRangeSQL(const QString& table, int lendRange, const QDate& from, const QDate& to);

struct TabResult {
    TabRows info;  // vsInfo
    TabRows items; // vsItemInfo ("CallNoInfo")
    QString marcText; // "MarcInfo"
};

// Runs the loader of `key`. Returns 0, or -1 when a query failed (reported
// through intShowDBError; the rows then are those computed before).
int intLoadTab(const QString& key, const TabQuery& q, TabResult& out);
// The archived loans of the record, numbered from `firstRow` (the grid row the
// first of them takes).
int intLoadLendHistoryBak(const TabQuery& q, int firstRow, TabRows& out);

// ---- pieces with rules of their own ------------------------------------------------

// year "-" vol_peri: "2008-12", "-12", "2008-", "-".
QString strYearVol(const QString& year, const QString& volPeri);
// A rate f/k as "0.00%"; empty when k is 0.
QString strRate(long long f, long long k);
// The overdue time of a fine row: days ("3天"), hours ("3小时") or the plain day
// count for another unit; empty when a date cannot be read.
QString strOverdueTime(const QString& due, const QString& returned, const QString& unit);

// The MARC text page of a record: one line per field in directory order,
// wrapped at 255 display columns, subfield marks as character `subIdRep`.
QString strMarcPageText(const MarcRecord& rec, int subIdRep);
// -1 when the text fits on one line, else the number of characters the line takes.
int intMarcCutPos(const QString& text);
bool blnWideChar(QChar c);

} // namespace biblio
