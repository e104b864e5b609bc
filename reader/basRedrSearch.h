#pragma once
// The reader search as logic: the query of the reader search dialog built
// from its criteria or its range, and the listing of one row per reader.

#include "common/DBResultSet.h"

#include <QString>
#include <QVector>

// What the dialog's controls hold when the search runs.
struct RedrSearchInput {
    int option = 0;           // 0 combined criteria; ranges: 1 card barcode, 2 certificate number,
                              // 3 card expiry date, 4 registration date
    int matchMode = 0;        // typed criteria: 0 front match, 1 exact match
    QString cells[10];        // criteria rows 1 to 9 (rows 5 and 9 are lists: see below)
    int typeIndex = -1;       // row 5: the chosen entry of the reader-type list, -1 none
    int depIndex = -1;        // row 9: the chosen entry of the department list, -1 none
    QString from, to;         // bounds of a barcode or certificate-number range
    QString fromDate, toDate; // bounds of a date range
};

// Column prefix of criteria row 1 to 9 ("(READER.name " ...).
QString strRedrSearchPrefix(int row);

// The literal a typed criterion is compared with: front match "'text%'" with
// "%", "_" and "\" matching themselves (an ESCAPE clause follows), exact match
// "'text'"; quotes doubled.
QString varMatchLiteral(int mode, const QString& text);

// Builds the search. 0 with the SQL text (and, for a date range, both dates in
// the "yyyy-mm-dd" form); -1 with the literal message to show when a range
// bound is missing or a date is not a date. No criterion lists every reader.
int intBuildRedrSearch(const RedrSearchInput& in, QString* sql, QString* message, QString* fromDate = nullptr,
                       QString* toDate = nullptr);

// Result rows (0-based) that start a reader in the ordered search result: the
// first card row of each reader (highest state, then newest issue).
QVector<int> arrFirstCardRows(const DBResultSet& rs);

// A search result listed a page at a time, as the worker scrolls: the first
// page with the exact number of readers found in one round trip, each further
// page in one more (the readers after the last one listed, in the search's
// order). A page holds whole readers with all their cards.
class RedrSearchPages {
public:
    // Rows of cards a page reads (a reader cut at the page's end waits for
    // the next page).
    int pageRows = 500;

    // Reads the first page of `sql` (as intBuildRedrSearch builds it) and the
    // count; 0, or -1 with the database error pending.
    int start(const QString& sql);
    // Reads the next page into page(): the readers added, 0 when every reader
    // is listed, -1 on a database error (pending).
    int next();
    // The card rows of the page read last, ordered as the search orders them.
    const DBResultSet& page() const { return page_; }
    int total() const { return total_; }   // readers found
    int listed() const { return listed_; } // readers on the pages read
    bool complete() const { return listed_ >= total_ || done_; }

    // The query of the readers after `after` ("" from the first), at most
    // `limit` card rows (0 no limit); the count of the search.
    QString strPageSQL(const QString& after, int limit) const;
    QString strCountSQL() const;

private:
    // Keeps the whole readers of `rs` (all of them when `whole`); their number.
    int keep(const DBResultSet& rs, bool whole);
    // Reads every card of one reader (more than a page holds) as the page.
    int wholeReader(const QString& certId);
    QString head_, order_;
    DBResultSet page_;
    QString last_;
    int total_ = 0, listed_ = 0;
    bool done_ = true;
};

// The state column's text: "注销" for "0", "挂失" for "2", "停借" for "3",
// "有效" otherwise; and the state the dialog reports back for a row's text:
// "0" cancelled, "2" lost, "1" any other.
QString strCertStateText(const QString& flag);
QString strCertFlagOfText(const QString& text);
