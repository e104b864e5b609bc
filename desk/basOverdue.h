#pragma once
// Overdue count and fine of a returned loan, and the due date of a new one.
// Pure: no database, no window; money in integer cents.

#include "common/DBResultSet.h"
#include "reader/basFineMoney.h"

#include <QString>

// The fine terms of a circulation rule, as the return reads them.
struct FineTerms {
    QString timeUnit;     // "D" days; every other value counts in hours
    int graceUnits = 0;   // unfine_ext_days
    int firstUnits = 0;   // fst_fine_days
    Cents firstPrice = 0; // fst_fine_price per unit
    Cents otherPrice = 0; // other_fine_price per unit
};

struct OverdueJudgement {
    bool overdue = false;
    int count = 0;     // whole days or hours, 0 when not overdue
    Cents fine = 0;    // after the decimals mode
    QString unit;      // "D" or "H" when overdue, else empty
    QString fineText;  // "20首期天 * 0.10+5附加天 * 0.20", empty when not overdue
    QString judgedDue; // the due date handed to the loan's closing
};

// Judges a loan due `storedDue` (as lend_lst keeps it) at the server's `now`
// ("yyyy-mm-dd hh:mm:ss"). A day loan's due date is first moved past the
// closed days of the copy's location; hours are counted by whole-hour
// boundaries from the due time plus grace. `decimalsMode` is system parameter 9.
OverdueJudgement judgeOverdue(const QString& storedDue, const QString& now, const FineTerms& terms,
                              const DBResultSet& closeDays, const DBResultSet& openTimes, int decimalsMode);

// The fine after the library's decimals mode: 1 drops the second decimal,
// 2 rounds to one decimal with halves up, any other value keeps two.
Cents lngFineDecimals(Cents fine, int mode);

// The due date of a loan made at `now` under a rule counting `term` days
// ("yyyy-mm-dd", moved past the closed days) or hours ("yyyy-mm-ddhh:mm:ss",
// not moved).
QString strDueDate(const QString& timeUnit, int term, const QString& now, const DBResultSet& closeDays,
                   const DBResultSet& openTimes);

// Whether a stored yes/no parameter says yes ("1", "-1", "True", ...).
bool blnParamYes(const QVariant& value);
