#pragma once
// Editing the card-reading rule: the segment list as the rule window shows
// it, and storing the rule (segment file, then settings, then reloading the
// rule in memory).

#include <QString>
#include <QStringList>

// Most segments a rule holds (two-digit numbers).
inline constexpr int kMaxBarRuleSegments = 99;

// A list line: the number "00" filled to 10 characters, the start filled to
// 14, then the length.
QString strBarRuleLine(int no, const QString& start, const QString& length);
// Start and length of a list line (trimmed).
QString strBarRuleLineStart(const QString& line);
QString strBarRuleLineLength(const QString& line);

// The lines of the rule in memory (g_arrBarRule), numbered from 1.
QStringList arrBarRuleLines();

// Adds a segment at the end. 1 added; 0 nothing to add (a blank box);
// -1 refused (a start or length that is not a number of at least 1, or a
// list already holding the most segments) with the message to show.
int intAddBarRuleLine(QStringList* lines, const QString& start, const QString& length, QString* message);
// Removes line `index` (0-based) and numbers the lines after it down by one.
void subDeleteBarRuleLine(QStringList* lines, int index);

// Stores the rule: the segment file first (one "start,length" line each,
// GB18030, CRLF), then "Type" and "Used" under "LT"/"BarReadRule" in one
// write, under the rule's lock; then reloads the rule in memory. 0; -1 with
// the message to show when the file or the settings cannot be written
// (nothing is then stored: the file is put back as it was).
int intSaveBarReadRule(bool byPos, bool used, const QStringList& lines, QString* message);
