#pragma once
// Text, date and control utilities used all over the program.
//
// Positions are 1-based character positions; searches are exact (case- and
// character-sensitive). A "blank" is the ASCII space only. A double-byte
// character is one that takes two bytes in the GBK code page (Chinese,
// full-width forms). No routine here has a length or position limit.
//
// strTrimCJKSpace  trims, collapses runs of blanks and drops blanks beside
//                  double-byte characters (search texts).
// strReplace       replaces every occurrence from a start position on; the
//                  inserted text is never searched again.
// varSplit         cuts the first field off a delimited list (walk a list by
//                  calling it until the source is empty).
// strCutBetween    cuts out the text between two marks (template fields).
// blnIsDoubleByte  the text is exactly two GBK bytes long.
// strFormatDate    normalises a date written in many ways ("2008/4/3 10:20",
//                  "民国90年", "90", "2001") and writes it with a format of
//                  yyyy / yy / mm / m / dd / d tokens ("yyyy-mm-dd").
// subSetFont       applies the user's grid font (g_strFontName, ...).
// subInitTextGrid  turns a grid into one editable text cell (search texts).

#include <QString>
#include <QVariant>

class QWidget;
namespace ui { class FlexGrid; }

QString strTrimCJKSpace(const QString& text);

// Escapes LIKE's wildcards "%" and "_" and its escape character (backslash) in
// a search text, so that a pattern built from it, followed by ESCAPE with the
// backslash, matches the text itself.
QString strLikeEscape(const QString& text);

// `start` (1-based; 0 counts as 1) is left at 0 after the run.
QString strReplace(const QString& source, const QString& find, const QString& replacement,
                   qsizetype& start);
QString strReplace(const QString& source, const QString& find, const QString& replacement);

// Returns the text before the first delimiter and leaves the rest after it in
// `source`; without a delimiter (or with an empty one) returns the whole
// source and leaves it empty.
QString varSplit(QString& source, const QString& delimiter);

// Returns the text between the opening mark and the next closing mark (looked
// for from the opening mark's own position) and leaves what follows the
// closing mark in `source`. No opening mark: returns "" and empties `source`.
// No closing mark (or one overlapping the opening mark): returns "", leaves
// `source` unchanged and sets *ok to false.
QString strCutBetween(QString& source, const QString& open, const QString& close,
                      bool* ok = nullptr);

bool blnIsDoubleByte(const QString& text);

// A date value (QDate/QDateTime) or a text; a null value gives "". A text
// that cannot be read as a date comes back as it was given.
QString strFormatDate(const QVariant& value, const QString& format);

// The user's grid font, read by the main window from the per-user settings.
extern QString g_strFontName;
extern QString g_strFontSize;
extern bool g_blnFontBold;

void subSetFont(QWidget* control);
void subInitTextGrid(ui::FlexGrid* grid);
