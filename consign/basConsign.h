#pragma once
// What the find desk and the return management share: the location-group and
// location choosers, the desk's group, the title texts of a record, the plain
// information boxes of the lists and the hand-off of a print to the report
// window.

#include "common/DBResultSet.h"
#include "common/basDB.h"

#include <QDate>
#include <QHash>

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

struct MarcRecord;
namespace oradb {
class Dynaset;
}

namespace consign {

// The name of a location group: its one department text, else the name of its
// code ("01" .. "05", "13"), else "新增组" and its 1-based position ("03").
QString strTeamName(const QString& code, const QStringList& depts, int position);

// A chooser of the management windows: entries with the code behind each, and
// optionally a last "all" entry without a code.
struct Chooser {
    QStringList names;
    QStringList codes; // one per entry but the "all" one
    bool hasAll = false;
    int index = -1; // the chosen entry, -1 none

    void clear() { names.clear(), codes.clear(), hasAll = false, index = -1; }
    int count() const { return int(names.size()); }
    QString text() const { return names.value(index); }
    // The chosen entry is the "all" one (or nothing is chosen).
    bool onAll() const { return index < 0 || (hasAll && index == count() - 1); }
    QString code() const { return onAll() ? QString() : codes.value(index); }
};

// Reads the location groups into `groups` (one per code, ascending, each
// with its name); 0, or -1 after reporting the database error (the groups
// named so far stay).
int intLoadTeams(QStringList& codes, QStringList& names);
// Fills a group chooser from the groups read (and "所有馆藏组" when `withAll`),
// choosing entry 0.
void subFillTeams(Chooser& chooser, const QStringList& codes, const QStringList& names, bool withAll);
// Fills a location chooser with the desk locations (operation type 3), of
// one group or of all when `group` is empty, in their sort order, and
// "所有馆藏地"; 0, or -1 after reporting the error (the chooser unchanged).
int intLoadLocations(Chooser& chooser, const QString& group);

// A value quoted for SQL text, and a date as "yyyy-mm-dd".
inline QString q(const QVariant& v) {
    return strSQLQuote(v);
}
inline QString ymd(const QDate& d) {
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

// The desk's location group.
QString strDeskGroup();
// Title, responsibility and publisher of a bibliographic record.
QStringList marcTexts(const QString& marcRecNo);
// The same of a record read already.
QStringList marcTexts(const MarcRecord& record);
// The same for the records a result column names, read in one query.
QHash<QString, QStringList> mapMarcTexts(const DBResultSet& rows, int column);
// The same from the rows of a strMarcPageSQL query that travelled with the
// result; without them (the query failed) every text is blank, as when the
// records cannot be read. Only the first `count` texts are made (1: the title).
QHash<QString, QStringList> mapMarcTexts(const DBResultSet& rows, int column, oradb::Dynaset* records,
                                         int count = 3);
// The same for the numbers a list names, in its order.
QHash<QString, QStringList> mapMarcTexts(const QStringList& nos, oradb::Dynaset* records, int count);
// The same from the rows of strMarcColumnsSQL within a result (from row
// `fromRow` on, their first column at `firstColumn`).
QHash<QString, QStringList> mapMarcTexts(const QStringList& nos, oradb::Dynaset& rows, long fromRow,
                                         int firstColumn, int count);
// A plain information box of the lists, titled with the program's title.
void subInfoBox(const QString& text);

// The report window over the report array (g_varPrtData and its counts, filled
// by the caller): the title and the seven information lines. Tests and the
// benchmark replace it; the default shows frmFlexPrint modally.
extern std::function<void(const QString& title, const QStringList& info)> g_showReport;
void subShowReport(const QString& title, const QStringList& info);
// The default: frmFlexPrint with the title and lines, shown modally.
void subShowFlexPrint(const QString& title, const QStringList& info);
// "制表日期：<server date>  经手人：<worker>".
QString strMadeBy();

} // namespace consign

namespace consign {
// Fills the report array: row 0 the titles from column 1, then one row per
// record, each starting with its key (column 0).
void subFillReport(const QStringList& titles, const QVector<QStringList>& records);
// The columns of a copy coming home: call number, property number, title,
// responsibility, publisher and location.
QStringList homeTitles();
} // namespace consign
