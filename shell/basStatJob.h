#pragma once
// The worker's own workload figures without a window: the job types listed,
// the statistics query for a year, month, day or interval, and the sums per
// listed job type.

#include "common/DBResultSet.h"

#include <QString>
#include <QStringList>
#include <QVector>

enum class StatType { Year = 0, Month = 1, Day = 2, Interval = 3 };

// The job types whose code matches the LIKE pattern `head`, in code order
// (job_type, job_name). 0, or -1 after the database error was shown.
int intLoadJobTypes(const QString& head, DBResultSet& jobs);

// The statistics query of `worker` for the chosen date ("yyyy-mm-dd") or, in
// interval mode, between `bgn` and `end` (both included, compared as text).
QString strStatJobSQL(StatType type, const QString& date, const QString& bgn, const QString& end,
                      const QString& worker);

// The sums of kind, volume and amount per listed job type: one entry per row
// of `jobs`, three texts each, all empty for a job type without rows. Rows of
// job types not listed are left out. 0, or -1 after the database error was
// shown (every figure then empty).
int intStatJob(const DBResultSet& jobs, const QString& sql, QVector<QStringList>& figures);
