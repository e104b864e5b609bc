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
#include "common/basMarcList.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

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

// The records a search finds, listed a page at a time as the worker scrolls:
// the first page with the exact number of records found in one round trip,
// each further page in one more. Records come in ascending record number, each
// once; every read also loads the summaries of the records it adds into
// g_arrBookSum (that read's records only, as subLoadMarcList would).
class BookHitPages {
public:
    // Rows a page holds unless set otherwise.
    static int defaultPageRows;
    int pageRows = defaultPageRows;

    // Reads the count and the first page of `hitSql`, a search as the quick and
    // the combined search build it ("SELECT DISTINCT <record number> FROM ...
    // WHERE ..."). `unindexed`: a condition of the search no index serves (a
    // match anywhere in a key), so that finding its records reads every key;
    // the count and the page then come from one such reading. 0, or -1 with
    // the database error pending.
    int start(const QString& hitSql, bool unindexed = false);
    // Reads the records after the listed ones: a page, or up to the end of
    // the page that holds row `upTo` (from 1) when that lies further, in one
    // round trip. The records added; 0 when every record is listed; -1 on a
    // database error (pending).
    int next(int upTo = 0);

    int total() const { return total_; } // records found
    int listed() const { return int(nos_.size()); }
    bool complete() const { return done_ || listed() >= total_; }
    // Records found and not yet listed.
    int unlisted() const { return complete() ? 0 : total_ - listed(); }
    // The listed record numbers from listed row `from` (0-based) on, in
    // column 0, as a search result.
    DBResultSet hits(int from = 0) const;
    // The summary of a listed record, nullptr when it has none.
    const BookSumEntry* summary(const QString& no) const;
    // The summaries of every listed record, in the shape of g_arrBookSum.
    QVector<BookSumEntry> summaryList() const;

    // The records after the last listed one, at most `limit`.
    QString strPageSQL(int limit) const;
    // The statement of a read: those records in order, each with its summary
    // (strMarcListTableSQL's columns, empty for a record without one) and,
    // when `counted`, the number of all records found in column 1.
    QString strReadSQL(int limit, bool counted) const;
    QString strCountSQL() const;

private:
    int read(int limit, bool counted);
    QString sql_, key_, from_, last_; // the search, its record number, its " FROM ..."
    bool unindexed_ = false;
    QStringList nos_;
    QVector<BookSumEntry> sums_;
    QHash<QString, int> sumAt_;
    int total_ = 0;
    bool done_ = true;
};

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
// Runs the quick search: its count and first page into `pages` (the page's
// summaries into g_arrBookSum) in one round trip. Returns the hit count; 0 when
// nothing was searched, nothing found or the query failed (reported).
int intQuickSearch(const QString& code, const QString& typed, BookHitPages& pages, QString* shown = nullptr);

// ---- combined search ----------------------------------------------------------

struct SeekRow {
    QString code;  // index group code; empty for a row without condition ("<不定>")
    int mode = MatchPrefix;
    QString value; // as typed
};

struct SeekText {
    QString sql;     // empty when no row holds a value
    bool anywhere = false; // a row matches anywhere in its key (no index serves it)
    QStringList shown; // per row the value as its cell shows it after the search (ISBN form)
};

// The SELECT of distinct record numbers of the rows joined with AND. MARC rows
// are aliases idx<row> chained on the record number; copy (indi_acct) and
// call-number (call_no_lst) rows join the first MARC row, or each other on the
// record number when there is none.
SeekText varBuildBookSeek(const QVector<SeekRow>& rows, bool wide);
// Runs a built search: its count and first page into `pages`, as the quick
// search does. 0, or -1 when the query failed (reported).
int intRunBookSeek(const SeekText& text, BookHitPages& pages);

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
