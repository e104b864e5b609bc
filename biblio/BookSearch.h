#pragma once
// Finding bibliographic records: the quick search in one index group, the
// combined search over up to five conditions, and the texts of a record's list
// row from its summary.
//
// Every value reaches the SQL text through strSQLQuote; patterns are built from
// the escaped value (strLikeEscape) and compared with ESCAPE '\', so a typed
// "%", "_" or backslash matches itself and the match mode alone decides
// between a prefix, a contains and an exact search.

#include "common/DBResultSet.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

struct BookSumEntry;

namespace biblio {

// The statements the look-up sends, counted (and kept when `texts` is set) for
// the benchmark.
struct StatementLog {
    int count = 0;
    QStringList* texts = nullptr;
    void add(const QString& sql);
};
StatementLog& statementLog();
// LIB_DB_Select through the statement log (g_strSQL and g_intSQLRet set).
int intBiblioSelect(const QString& sql, DBResultSet& rs);
// subLoadMarcList through the statement log.
void subLoadSummaries(const QString& selection);

// Match modes of the combined search, in list order.
enum MatchMode { MatchPrefix = 0, MatchAny = 1, MatchExact = 2 };
struct MatchOp {
    QString caption;
    QString op;
};
// "前方匹配" " Like ", "任意匹配" " Like ", "完全匹配" " = ".
const QVector<MatchOp>& g_arrMatchOp();

// The comparison of `column` with the search pattern of `key` in mode `mode`:
// " Like '<pattern>' ESCAPE '\'" or " = '<key>'", the pattern written as
// unistr escapes when `wide`.
QString strMatchSQL(const QString& key, int mode, bool wide, const QString& likeWord = QStringLiteral(" Like "));

// ---- quick search -----------------------------------------------------------

// The key the quick search compares for what a worker typed in group `code`;
// empty when nothing is left to search. For group "05" *shown receives the
// ISBN form the cell shows back (otherwise it is left alone).
QString strQuickSearchKey(const QString& code, const QString& typed, QString* shown = nullptr);
// The hit query of a prepared key (without its "%").
QString strQuickSearchSQL(const QString& code, const QString& key, bool wide);
// Runs the quick search: the hit query into `hits`, then the summaries of all
// hits into g_arrBookSum in one further query. Returns the hit count; 0 when
// nothing was searched, nothing found or the query failed (reported).
int intQuickSearch(const QString& code, const QString& typed, DBResultSet& hits, QString* shown = nullptr);

// ---- combined search ----------------------------------------------------------

struct SeekRow {
    QString code;  // index group code; empty for a row without condition ("<不定>")
    int mode = MatchPrefix;
    QString value; // as typed
};

struct SeekText {
    QString sql;     // empty when no row holds a value
    QStringList shown; // per row the value as its cell shows it after the search (ISBN form)
};

// The SELECT of distinct record numbers of the rows joined with AND. MARC rows
// are aliases idx<row> chained on the record number; copy (indi_acct) and
// call-number (call_no_lst) rows join the first MARC row, or each other on the
// record number when there is none.
SeekText varBuildBookSeek(const QVector<SeekRow>& rows, bool wide);
// Runs a built search into `hits` and loads the summaries of all hits in one
// further query. 0, or -1 when the query failed (reported).
int intRunBookSeek(const SeekText& text, DBResultSet& hits);

// ---- list rows ----------------------------------------------------------------

// Index of g_arrBookSum by record number (the first entry of each).
class BookSumIndex {
public:
    void rebuild();
    // The summary of `no`, or nullptr when the list holds none.
    const BookSumEntry* find(const QString& no) const;

private:
    QHash<QString, int> index_;
};

// Columns 1 to 10 of the record list for a summary (codes as names); ten empty
// texts when there is no summary.
QStringList strBookRowTexts(const BookSumEntry* e);
// Headers of the record list, columns 0 to 11.
const QStringList& strBookListHeaders();

// The row a jump box text leads to, in 1..lastRow (0 when the list is empty).
int intClampRowNumber(const QString& text, int lastRow);

} // namespace biblio
