#pragma once
// The circulation rule editor without its window: what its controls hold, the
// rule row loaded into them, the checks of OK, the call of LT_circ_rule with
// its argument text, the save in one transaction with the reload of the rule
// cache, the key filters of the number boxes and the help entries.
//
// Field i is column i of circ_rule in the order of the rule cache (circrule::
// in basCodeFunc.h). Boxes 0 to 30 hold text; columns 2, 6, 7, 31 and 32 are
// options and check boxes; 33 to 35 are not edited.

#include <QString>
#include <QStringList>

inline constexpr int kRuleColumns = 36;
inline constexpr int kRuleBoxes = 31;
inline constexpr int kRuleHelpEntries = 51;
inline constexpr int kRuleCodeLength = 10;

// What the editor's controls hold.
struct RuleForm {
    QString txtField[kRuleBoxes];
    bool hours = false;        // optTimeUnit(0) "以小时计"; else days
    bool renewFromDue = false; // optRenewDay(1) "期满日起"; else from the renewal day
    int enabled = 0;           // chkEnabled "使用标志": 0 clear, 1 ticked, 2 grey
    int preg = 0;              // chkPreg "允许预约"
    int renew = 0;             // chkRenew "允许续借"
    int read = 0;              // chkRead "复印外借规则"
    // The rule row as the form was loaded from it (every column's text), or
    // empty when no row was found: a change is written only over this row.
    QStringList readRow;
};

// ---- the fields ---------------------------------------------------------------

// The caption of box i ("" for the hidden boxes 2, 6, 7 and 26 to 29).
QString strRuleFieldCaption(int i);
// Boxes 3 to 5, 8 to 21 and 30 take whole numbers.
bool blnRuleWholeNumberBox(int i);
// Digits allowed before the point in a money box (22: 5; 23 to 25: 3); 0 for
// other boxes. Two digits follow the point in all four.
int intRuleMoneyDigits(int i);
// The most characters a box takes: code 10, name 50, money 10 or 8, whole
// numbers 9 (so a number always fits its column).
int intRuleBoxLength(int i);
// Whether a text may stand in box i (a paste or a replaced selection is
// checked with it): digits only in a whole-number box, a money amount within
// its digits in a money box, any text within the length elsewhere.
bool blnRuleBoxTextValid(int i, const QString& text);

// A code of digits only becomes 10 digits with leading zeros; other text stays.
QString strFormatRuleCode(const QString& code);
// The code a photocopy-lending rule is saved under: "COPY" followed by a
// numeric code as at least six digits (12 and 0000000012 give COPY000012);
// a code that is no number is appended unchanged, one that already begins
// with "COPY" stays.
QString strCopyRuleCode(const QString& code);
// A money box on leaving it: two decimals ("1.5" gives "1.50"); an empty box
// stays empty, and text without leading digits stays as it is.
QString strFormatMoneyBox(const QString& text);
// A box's text read as a decimal number (blanks, then its leading digits and
// one point; an empty or non-numeric box gives 0), written back as its
// shortest decimal text: "12.50" gives "12.5", "007" gives "7". Exact: the
// digits are never passed through binary floating point.
QString strValText(const QString& text);

// ---- load, checks and save ------------------------------------------------------

// Reads the rule row of `ruleNo` into the form: codes and names only in mode 1
// (change), every other column as the field table says; a code that matches
// no row leaves the form as it is. The row as read is kept in `readRow`.
// 0, or -1 after the database error was shown (`*unload` then tells whether
// the window should close).
int subLoadRuleData(const QString& ruleNo, int dealType, RuleForm& form, bool* unload = nullptr);

// The rule-exists, used-by-an-assignment and used-by-a-loan queries. A failed
// query is shown and gives false (`*unload` as above).
bool blnRuleExists(const QString& code, bool* unload = nullptr);
bool blnRuleInComp(const QString& code, bool* unload = nullptr);
bool blnRuleInLend(const QString& code, bool* unload = nullptr);

// "LT_circ_rule " and the 34 arguments of the form, comma-separated.
QString strRuleCallText(const RuleForm& form, const QString& worker);

enum class RuleSave {
    Saved,      // the row written, the rule cache reloaded
    CacheFailed,// the row written, the cache reload failed (shown)
    Failed,     // rolled back, the database error shown
    Exists,     // a new code another desk created meanwhile: ELT700, nothing written
    Changed,    // a change over a row another desk changed (or created) meanwhile: nothing written
    Gone,       // a change of a rule another desk deleted meanwhile: nothing written
};
// The save: one transaction with LT_circ_rule (nothing is sent for an empty
// code), then the reload of g_varCircRule. A new rule (`newRule`) first takes
// the code's lock and looks again whether it exists, so two desks creating the
// same code at once create it once. A change first locks the rule row and
// writes only when the row is still as the form read it (`readRow`): the
// save of another desk is never undone, and a deleted rule never comes back.
// Changed and Gone show nothing.
RuleSave subSaveRuleData(const RuleForm& form, bool newRule);

enum class RuleOk {
    Stay,   // a check refused (its message shown): the window stays open
    Saved,  // the rule row was written: the window closes
    Closed, // the save failed (shown) or there was nothing to save: the window closes
    Unload, // a query failed and the error report asks the window to close
    Reloaded, // another desk changed the rule meanwhile (said so): nothing was
              // written, the form holds the rule as it is now, the window stays open
};
// OK of the editor in mode `dealType` (0 new, 1 change, 2 copy). New and copy:
// an empty code is refused with ELT703; the final code (padded, with "COPY" in
// front when `form.read` is ticked) with a clear message when longer than 10
// characters, and with ELT700 when it exists; then the code box takes the
// final code, the rule is saved, `dealType` becomes 1 and `ruleNo` the code.
// Change: clearing 使用标志 of a rule an assignment or a loan uses is refused
// with ELT702 (the box is ticked again); otherwise the rule is saved. A rule
// another desk changed since the form read it is not written: the worker is
// told, and the form reloaded (Reloaded); one deleted meanwhile is not
// written either, the worker is told and the window closes (Closed).
RuleOk intRuleEditOk(int& dealType, QString& ruleNo, RuleForm& form);

// ---- keys -----------------------------------------------------------------------

inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyPoint = 190;       // the main keyboard's point
inline constexpr int kKeyPadPoint = 110;    // the keypad's point
inline constexpr int kKeyDelete = 46;

// Whole-number boxes: only "0" to "9" and Backspace pass. Returns the key, or
// 0 when it is swallowed.
int intWholeKeyPress(int key);
// Money boxes, character filter: `text` and the caret (0-based) before the
// key; `before` and `after` the digits allowed around the point. Returns the
// key, or 0 when it is swallowed (the point character always is).
int intDecimalKeyPress(const QString& text, int caret, int key, int before, int after);
// Money boxes, the point keys and Delete. Returns the key, or 0 when it is
// swallowed; a point key that may stand is swallowed too, and `*insertPoint`
// tells that "." goes in at the caret (the caret after it).
int intDecimalKeyDown(const QString& text, int caret, int key, int before, int after, bool* insertPoint);

// ---- help -----------------------------------------------------------------------

// The help file: "cfg/sys/ruleedit.txt" under the program folder.
QString strRuleHelpFile();
// Reads help lines "NN...：text" into `entries` (51 entries; a later line for
// a number replaces the earlier one). Reading stops at the end, at a line whose
// first two characters are no number from 0 to 50, or when the file cannot be
// read; the entries read until then stay. Returns the count of lines taken.
int subLoadRuleHelp(const QString& path, QStringList& entries);

struct RuleHelpText {
    QString title;
    QString text;
};
// The help shown when box i takes the focus, with `currentTitle` the title
// shown now (empty: the general text comes first).
RuleHelpText varRuleHelpFor(int i, const QString& currentTitle, const QStringList& entries);
RuleHelpText varRuleGeneralHelp();
