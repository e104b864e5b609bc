#pragma once
// Circulation services of the desk windows: which rule applies to a loan,
// which desks may act for a location, the closing periods and opening times of
// a location, the card-reading rule, the desk INI files, reader portraits and
// the bill-number check.

#include "common/DBResultSet.h"

#include <QString>
#include <QVariant>
#include <QVector>

class QLabel;
class QPixmap;

// ---- circulation rules ------------------------------------------------------

// Whether a rule-assignment pattern accepts a code: a lone "*" (blanks around
// it allowed) accepts any code; a pattern holding "*" accepts a non-empty code
// that begins with the text before its first "*"; otherwise the pattern is a
// comma list and one element must equal the code exactly.
bool blnMatchRuleCode(const QString& code, const QString& pattern);

// Index in g_varCircRule of the rule of the first assignment row (in cache
// order) whose three patterns accept the codes; -1 when no row accepts them or
// the chosen row names a rule that g_varCircRule does not hold.
int intFindRuleIndex(const QString& location, const QString& circType, const QString& redrType);

// ---- desk rights and calendars ---------------------------------------------

enum DeskKind { DeskLend = 0, DeskReturn = 1, DeskFine = 2 };

// "" when the list of the given kind of location `location` admits the desk
// `desk`; otherwise the list to show (the location's own code when it is not
// a circulation location). An empty list admits every desk; a non-empty list
// admits only a desk equal to one of its elements; an empty desk code is
// admitted by no non-empty list.
QString strCheckDeskLocation(const QString& location, const QVariant& desk, int kind);

// The closing periods / opening times of one location, in cache order, in the
// shape of their cache (same field names and types).
DBResultSet varGetCloseDay(const QString& location);
DBResultSet varGetOpenTime(const QString& location);

// Set by the lending routines just before they compute a due date.
extern DBResultSet g_varLocaCloseDay;
extern DBResultSet g_varLocaOpenTime;

// ---- card-reading rule ------------------------------------------------------

struct BarRuleSegment {
    QString start;  // first character, 1-based
    QString length; // at most this many characters
};

extern bool g_blnBarRuleByPos;             // true: segment mode; false: separator mode
extern int g_intBarRuleUsed;               // 1: the reader window applies the rule too
extern QVector<BarRuleSegment> g_arrBarRule; // the segments, then one empty entry

// Turns what a card reader delivered into the card barcode.
QString strApplyBarReadRule(const QVariant& code);
// Reads mode and switch from the settings store and the segments from the
// segment file in the configuration folder. Silent.
void subLoadBarReadRule();
// The segment file: "Lt/BarReadRule.ini" under the configuration folder.
QString strBarReadRuleFile();
// The lock file held while the rule is saved or read (segment file and settings).
QString strBarReadRuleLock();

// ---- desk INI files ----------------------------------------------------------

struct LendColEntry {
    QString text;
    int number = 0;
    QString kind; // item kind of the title routine, one loan-grid column per entry
};

extern LendColEntry g_arrLendCol[11];
extern int g_intLendColCount;
extern QString g_strRedrCaption[38];
extern QString g_strCertCaption[32];

// Loan-grid columns from LT/LT_book.ini and the search index groups.
int intLoadBookIni();
// Reader and card captions from LT/LT_reader.ini.
int intLoadRedrIni();

// ---- reader portrait and bill numbers ----------------------------------------

// Shows the portrait of a card in `picture`: 1 BMP, 2 GIF, 0 other (JPEG),
// -1 no picture (the default is shown), 0 also on a failure.
int intShowPortrait(const QString& certId, QLabel* picture, const QPixmap& defaultPicture);

// How many receipts carry this bill number; -1 on a database error, which a
// caller must treat as "cannot check", never as "unused".
int intBillNoCount(const QString& billNo);
