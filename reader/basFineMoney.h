#pragma once
// Money arithmetic of overdue-fine settlement. Amounts are integer cents; texts
// are read and written as plain decimals with two places ("12.30"). Nothing
// here touches the database or a window.

#include <QString>
#include <QVector>
#include <QtGlobal>

#include <optional>

using Cents = qint64;

// Largest amount a money column holds (numeric(12,2)).
inline constexpr Cents kMaxCents = Q_INT64_C(999999999999);

// Reads a plain decimal text ("12", "12.3", "-0.05", ".5", blanks around it
// allowed) and brings it to cents, half away from zero beyond two places.
// False for anything else (exponents, thousands separators, empty text) and
// for amounts beyond kMaxCents.
bool blnParseMoney(const QString& text, Cents* cents);

// "0.00" formatting: 1236 -> "12.36", -5 -> "-0.05", 0 -> "0.00".
QString strFormatMoney(Cents cents);

// Cents of a money value that arrived as a double from a query or a global
// (exact for every value with at most two decimals).
Cents lngMoneyFromDouble(double value);
double dblMoneyToDouble(Cents cents);

// The amount the window proposes to collect for a chargeable total, by the
// library's rounding mode (system parameter 9): 0 or 1 cut to tenths, 2 round
// half up to tenths; any other mode proposes nothing (the box keeps its text).
std::optional<Cents> optProposeFine(Cents allowed, int mode);

// Spreads the amount collected over the settled rows in proportion to their
// fines: every row but the last is charged fine * total / sum (to the cent,
// half away from zero); the last row takes the rest, so the charges add up to
// `total` exactly. Should the rest ever fall below zero, the shares are cut to
// the cent instead and the cents left over go to the rows with the largest
// remainders. Empty for no rows; every charge is >= 0 when total >= 0.
QVector<Cents> arrSplitFine(const QVector<Cents>& fines, Cents total);

// Overdue time between due and return date-times ("yyyy-mm-dd hh:mm:ss", or
// without the blank): calendar days between the date parts, or hour
// boundaries crossed. Negative when returned early; 0 when a date is unreadable.
int intOverdueDays(const QString& due, const QString& returned);
int intOverdueHours(const QString& due, const QString& returned);

// The grid's date and overdue texts by the loan's time unit ("D" days, "H"
// hours, anything else empty).
QString strFineDateText(const QString& timeUnit, const QString& dateTime);
QString strOverdueText(const QString& timeUnit, const QString& due, const QString& returned);

// The bill number made from one reading of the server clock
// ("yyyy-mm-dd hh:mm:ss" -> "yyyymmddhhmmss"); "" when the text is not a date-time.
QString strMakeBillNo(const QString& serverDateTime);
