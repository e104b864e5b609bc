#pragma once
// Due dates past the closed days of a location.

#include "common/DBResultSet.h"

#include <QString>

// Moves a "yyyy-mm-dd" due date forward until it lies outside every closing
// period (close_bgn_day, close_end_day, ext_days, location) and on a weekday
// the location opens (morn_open_time, aftn_open_time, even_open_time, week,
// location). A date no test moves comes back as given. A value that cannot be
// read stops the run of the test that met it at the date reached; the run that
// had moved the date there goes on testing that date. The search gives up after a year
// of moves (every weekday closed, or a period that keeps catching the date)
// and returns the date reached then.
QString subShiftRetDate(const QString& date, const DBResultSet& closeDays, const DBResultSet& openTimes);
