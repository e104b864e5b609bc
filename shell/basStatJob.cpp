#include "shell/basStatJob.h"

#include "common/basAuth.h"
#include "common/basDB.h"

int intLoadJobTypes(const QString& head, DBResultSet& jobs)
{
    if (!blnSelectShown(QStringLiteral("SELECT job_type,job_name FROM job_type WHERE job_type LIKE ")
                            + strSQLQuote(head) + QStringLiteral(" ORDER BY job_type"),
                        jobs)) {
        jobs = DBResultSet();
        return -1;
    }
    return 0;
}

QString strStatJobSQL(StatType type, const QString& date, const QString& bgn, const QString& end,
                      const QString& worker)
{
    QString sql = QStringLiteral(" SELECT job_type, SUM(kind),SUM(volume),SUM(amount) FROM wkr_job_qty WHERE wkr_no_f=")
                  + strSQLQuote(worker);
    switch (type) {
    case StatType::Year:
        sql += QStringLiteral(" AND oper_date LIKE ") + strSQLQuote(date.left(4) + QLatin1Char('%'));
        break;
    case StatType::Month:
        sql += QStringLiteral(" AND oper_date LIKE ") + strSQLQuote(date.left(7) + QLatin1Char('%'));
        break;
    case StatType::Day:
        sql += QStringLiteral(" AND oper_date LIKE ") + strSQLQuote(date + QLatin1Char('%'));
        break;
    case StatType::Interval:
        sql += QStringLiteral(" AND oper_date >= ") + strSQLQuote(bgn) + QStringLiteral(" AND oper_date<=")
               + strSQLQuote(end);
        break;
    }
    return sql + QStringLiteral(" GROUP BY job_type ORDER BY job_type");
}

int intStatJob(const DBResultSet& jobs, const QString& sql, QVector<QStringList>& figures)
{
    figures = QVector<QStringList>(jobs.rowCount(), QStringList{QString(), QString(), QString()});
    DBResultSet rs;
    if (!blnSelectShown(sql, rs))
        return -1;
    for (int r = 0; r < rs.rowCount(); ++r)
        for (int j = 0; j < jobs.rowCount(); ++j)
            if (rs.text(r, 0) == jobs.text(j, 0))
                figures[j] = {strPlainNumber(rs.number(r, 1)), strPlainNumber(rs.number(r, 2)),
                              strPlainNumber(rs.number(r, 3))};
    return 0;
}
