// Rule matching, desk rights and location calendars: pure reads of the
// code-table caches, no database access.

#include "common/basLTFunc.h"

#include "common/basCodeFunc.h"

#include <QStringList>

DBResultSet g_varLocaCloseDay;
DBResultSet g_varLocaOpenTime;

namespace {

// A delimited list walked field by field until the rest is empty: empty
// fields between two delimiters count, a trailing delimiter adds none, an empty
// text gives no field.
QStringList walkList(const QString& text, QChar delimiter) {
    QStringList fields;
    if (text.isEmpty()) return fields;
    fields = text.split(delimiter);
    if (fields.size() > 1 && fields.last().isEmpty()) fields.removeLast();
    return fields;
}

QString trimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' ')) ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' ')) --e;
    return s.mid(b, e - b);
}

} // namespace

bool blnMatchRuleCode(const QString& code, const QString& pattern) {
    if (trimBlanks(pattern) == QLatin1String("*")) return true;

    const qsizetype star = pattern.indexOf(QLatin1Char('*'));
    if (star >= 0 && !code.isEmpty() && code.startsWith(pattern.left(star))) return true;

    const QStringList elements = walkList(pattern, QLatin1Char(','));
    return elements.contains(code); // exact, case-sensitive, untrimmed
}

int intFindRuleIndex(const QString& location, const QString& circType, const QString& redrType) {
    const DBResultSet& comp = g_varRuleComp;
    const DBResultSet& rules = g_varCircRule;
    for (int i = 0; i < comp.rowCount(); ++i) {
        const bool loca = blnMatchRuleCode(location, comp.text(i, rulecomp::LocaCode));
        const bool circ = blnMatchRuleCode(circType, comp.text(i, rulecomp::CircTypeCode));
        const bool redr = blnMatchRuleCode(redrType, comp.text(i, rulecomp::RedrTypeCode));
        if (!(loca && circ && redr)) continue;

        const QString ruleNo = comp.text(i, rulecomp::RuleNo);
        for (int j = 0; j < rules.rowCount(); ++j)
            if (rules.text(j, circrule::RuleNo) == ruleNo) return j;
        // The assignment names a rule that does not exist: no rule applies
        // (an empty rule would lend with a zero loan period and no limits).
        return -1;
    }
    return -1;
}

QString strCheckDeskLocation(const QString& location, const QVariant& desk, int kind) {
    const DBResultSet& cache = g_varDeskLocation;
    for (int i = 0; i < cache.rowCount(); ++i) {
        if (cache.text(i, desklocation::Location) != location) continue;

        int column;
        switch (kind) {
        case DeskLend: column = desklocation::LendLocation; break;
        case DeskReturn: column = desklocation::RetLocation; break;
        case DeskFine: column = desklocation::FineLocation; break;
        default: return QString();
        }
        const QString list = cache.text(i, column);
        if (list.isEmpty()) return QString(); // no list: every desk may act

        // Whole elements only: desk "01" is not in "010,020".
        const QString deskCode = trimBlanks(desk.toString());
        if (!deskCode.isEmpty()) {
            for (const QString& element : walkList(list, QLatin1Char(',')))
                if (trimBlanks(element) == deskCode) return QString();
        }
        return list;
    }
    return location;
}

namespace {

// The rows of one location, in cache order, in the cache's shape.
DBResultSet rowsOfLocation(const DBResultSet& cache, int locationColumn, const QString& location) {
    QVector<int> rows;
    for (int j = 0; j < cache.rowCount(); ++j)
        if (cache.text(j, locationColumn) == location) rows.append(j);

    DBResultSet result(int(rows.size()), cache.fieldCount());
    for (int c = 0; c < cache.fieldCount(); ++c) {
        result.setCell(c, 0, cache.cell(c, 0));
        result.setCell(c, 1, cache.cell(c, 1));
        for (int k = 0; k < rows.size(); ++k) result.setCell(c, 2 + k, cache.value(rows[k], c));
    }
    return result;
}

} // namespace

DBResultSet varGetCloseDay(const QString& location) {
    return rowsOfLocation(g_varCloseDay, closeday::Location, location);
}

DBResultSet varGetOpenTime(const QString& location) {
    return rowsOfLocation(g_varOpenTime, opentime::Location, location);
}
