#pragma once
// The texts of printed slips, without a window.
//
// A batch of slips is a record array: records in rows 1..n, the batch's kind
// word in the last column of row 1 ("ExceedFine", "Lend", "Ret", "money",
// the recall words ...; any other word gives loss-compensation slips). Every
// record becomes one slip: the kind's template file CFG/LT/LT_*.ini when it
// holds anything, else the kind's built-in layout.
//
// Template files are read as GB18030 (a UTF-8 byte-order mark selects UTF-8),
// anew for every slip. Each "[label]" placeholder of the kind's table is
// replaced everywhere, one placeholder after the other in table order, over
// the text as replaced so far; any other text stays as it is. Built-in slips
// have CR LF lines: an empty line, the heading indented by 20 blanks, body
// lines indented by 8, three closing lines indented by 26 (the library's
// name, one record value, the server's date).
//
// Amounts are exact decimals: a payment's column 5 minus column 6 as "0.00",
// a loss's column 18 as its absolute value without trailing zeros; both fail
// on text that is no number. A return's column 11 is read by its leading
// number ("3天" reads 3; no number reads 0).
//
// A record with fewer columns than its kind reads, an amount that is no
// number, or a template that cannot be read throws SlipError with a message
// naming the record.

#include <QString>

#include <functional>

class ReportArray;

namespace report {

enum class SlipKind { ForceAsb, OverAsb, RetAsb, ExceedFine, Lend, Ret, Money, Recp };

// The kind a batch's kind word selects.
SlipKind slipKind(const QString& word);
// The kind's template file name ("LT_ExceedFine.ini").
QString slipTemplateFile(SlipKind kind);
// The kind's name in messages ("超期罚款单").
QString slipKindName(SlipKind kind);

struct SlipError {
    QString message;
};

// Where the slip texts take the library's name, the server's date and the
// configuration folder (with its final "/"); by default from the cached
// system parameter 1, the server and the folder table. A batch reads the
// server's date once for all its slips. Tests replace them.
struct SlipSources {
    std::function<QString()> library;
    std::function<QString()> serverDate;
    std::function<QString()> configFolder;
};
SlipSources& slipSources();
// Puts the program's own sources back.
void resetSlipSources();

// The template builders: the slip of record k (array row k + 1) from the
// kind's template file, or "" when the file is missing or empty.
QString strForceAsbSlip(const ReportArray& records, int k);
QString strRetAsbSlip(const ReportArray& records, int k);
QString strExceedFineSlip(const ReportArray& records, int k);
QString strLendSlip(const ReportArray& records, int k);
QString strRetSlip(const ReportArray& records, int k);
QString strMoneySlip(const ReportArray& records, int k);
QString strRecpSlip(const ReportArray& records, int k);

// The built-in slip of record k for a kind.
QString strBuiltInSlip(SlipKind kind, const ReportArray& records, int k);

// The slip of record k of a batch whose kind word is `kindWord`: the
// template's text, or the built-in layout.
QString strSlipText(const ReportArray& records, const QString& kindWord, int k);

// The slip grid of a batch: rows 0..n (n records), columns 0..cols (1 or 2
// slips a row; any count but 1 gives 2); slip k at row k + 1, column 1 (one a row) or at row
// k div 2 + 1, column 1 + k mod 2 (two a row); `rows` the slip rows
// (n, or (n + 1) div 2). Only row 1's kind word counts. A batch without
// records gives an empty grid. A failure gives false with its message and
// an empty grid (rows 0).
bool subBuildSlips(const ReportArray& records, int cols, ReportArray* grid, int* rows, QString* error);

// Numbers as the slips write them; nullopt-like failures give false.
// "12.5" - "2" -> "10.50" (rounded half away from zero).
bool strDecimalDifference(const QString& a, const QString& b, QString* out);
// "-12.50" -> "12.5".
bool strDecimalAbs(const QString& a, QString* out);
// The leading number of a text without trailing zeros: "3天" -> "3", "x" -> "0".
QString strLeadingNumber(const QString& text);

} // namespace report
