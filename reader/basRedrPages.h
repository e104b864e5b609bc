#pragma once
// The reader information window's summary and its fourteen pages as data.
//
// For a reader (cert_id) each loader reads the reader's rows and gives the
// page: its captions, the text of every cell and the marks of every row. The
// window only paints what a loader gives. Loaders only read: no transaction,
// no lock. A loader that meets a database error shows it and returns -1 with
// the rows read so far (none when the page's main query failed).
//
// Cell texts: numbers in their plain form (20, 12.5) unless a mask is named;
// dates as a date (the first 10 characters), a date-time (the date, one blank
// and the time, whether the time was stored after a blank or without one) or
// as stored. Codes without a row in their table show as the code.

#include <QString>
#include <QStringList>
#include <QVector>

namespace redrpage {
// Colour numbers of the row marks: red in the low byte, blue in the third.
inline constexpr long kRed = 255;            // open, overdue, cancelled, expired
inline constexpr long kDarkBlue = 8388608;   // settled, handled, lost or suspended card
inline constexpr long kLightBlue = 15780518; // background of a request or hold that is done
inline constexpr long kBlack = 0;
inline constexpr long kNone = -1; // no mark
} // namespace redrpage

struct RedrPageRow {
    QStringList cells;           // column 0 to the last column
    long fore = redrpage::kNone; // text colour of columns 1 to the last
    long back = redrpage::kNone; // back colour of columns 1 to the last
};

struct RedrPage {
    QString key;
    QStringList captions; // header row: "" over column 0, then the captions
    QVector<RedrPageRow> rows;
    int cols() const { return int(captions.size()); }
    // Cell text, "" outside the page.
    QString cell(int row, int col) const { return rows.value(row).cells.value(col); }
};

// The history page's range: first and last day ("yyyy-mm-dd") and whether it
// applies to the lend date (0) or the return date (1).
struct RedrHistRange {
    QString from;
    QString to;
    int byReturn = 0;
};

struct RedrPageTab {
    const char* key;
    const char* caption;
};
// The fourteen tabs in their order; the loans tab is index 5.
const QVector<RedrPageTab>& redrPageTabs();
inline constexpr int kLendInfoTab = 5;

// "" and the page's captions; {""} for a key without a page.
QStringList strRedrPageCaptions(const QString& key);

// Fills `page` (key, captions, rows) for the reader `certId`. `range` is read
// by the history page only.
int intLoadRedrPage(const QString& key, const QString& certId, const RedrHistRange& range, RedrPage* page);
// Appends the reader's archived history below the rows of a history page,
// their numbers continuing those above. 0 also when it finds nothing; -1 when
// a query failed (shown; the page unchanged).
int intLoadLendHistoryBak(const QString& certId, const RedrHistRange& range, RedrPage* page);

// The reader summary: the query columns of the reader's first card (highest
// cert_flag, then newest oper_date): redr_cert_id, cert_id, name, id_card,
// redr_type_name, dept, lending grade name, occupation, code01, department
// name, redr_type_code, code02. Empty when the reader, its card, type or
// grade is missing. 0, or -1 when the query failed (error pending, not shown).
int intLoadRedrSummary(const QString& certId, QStringList* summary);

// Display forms.
QString strDateTimeText(const QString& stored);
// ".00": two decimals, no digit before the point below 1 (0 -> ".00").
QString strDotMoney(double value);
