#include "desk/basOverdue.h"

#include "desk/basDueDate.h"

#include <QDateTime>

namespace {

const QString kDateTime = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QString kHourDue = QStringLiteral("yyyy-MM-ddHH:mm:ss");

QDateTime readHourDue(const QString& stored) {
    // "yyyy-mm-ddhh:mm:ss": a blank goes after the date.
    const QString t = stored.trimmed();
    QString withBlank = t.left(10) + QLatin1Char(' ') + t.mid(10).trimmed();
    QDateTime dt = QDateTime::fromString(withBlank, kDateTime);
    if (!dt.isValid())
        dt = QDateTime::fromString(withBlank.trimmed() + QStringLiteral(" 00:00:00"), kDateTime);
    return dt;
}

QString writeFineText(int count, const FineTerms& t, const QString& unitWord) {
    const int extra = count - t.firstUnits;
    if (extra > 0)
        return QString::number(t.firstUnits) + QStringLiteral("首期") + unitWord + QStringLiteral(" * ") +
               strFormatMoney(t.firstPrice) + QStringLiteral("+") + QString::number(extra) +
               QStringLiteral("附加") + unitWord + QStringLiteral(" * ") + strFormatMoney(t.otherPrice);
    return QString::number(count) + QStringLiteral("首期") + unitWord + QStringLiteral(" * ") +
           strFormatMoney(t.firstPrice);
}

Cents fineOf(int count, const FineTerms& t) {
    const int extra = count - t.firstUnits;
    if (extra > 0) return Cents(t.firstUnits) * t.firstPrice + Cents(extra) * t.otherPrice;
    return Cents(count) * t.firstPrice;
}

} // namespace

Cents lngFineDecimals(Cents fine, int mode) {
    if (mode == 1) return fine - fine % 10;
    if (mode == 2) {
        const Cents up = fine + 5;
        return up - up % 10;
    }
    return fine;
}

OverdueJudgement judgeOverdue(const QString& storedDue, const QString& now, const FineTerms& terms,
                              const DBResultSet& closeDays, const DBResultSet& openTimes, int decimalsMode) {
    OverdueJudgement j;
    const QDateTime nowDt = QDateTime::fromString(now.left(19), kDateTime);
    if (terms.timeUnit == QLatin1String("D")) {
        const QString due = subShiftRetDate(storedDue.trimmed().left(10), closeDays, openTimes).left(10);
        const QDate dueDate = QDate::fromString(due, QStringLiteral("yyyy-MM-dd"));
        const QString limit = dueDate.isValid()
                                  ? dueDate.addDays(terms.graceUnits).toString(QStringLiteral("yyyy-MM-dd"))
                                  : due;
        const QString today = now.left(10);
        j.overdue = limit < today;
        j.judgedDue = j.overdue ? due : limit;
        if (j.overdue) {
            j.count = qMax(0, intOverdueDays(due, today));
            j.unit = QStringLiteral("D");
            j.fineText = writeFineText(j.count, terms, QStringLiteral("天"));
        }
    } else {
        const QDateTime due = readHourDue(storedDue);
        const QDateTime limit = due.isValid() ? due.addSecs(qint64(terms.graceUnits) * 3600) : due;
        j.judgedDue = limit.isValid() ? limit.toString(kHourDue) : storedDue;
        j.overdue = limit.isValid() && nowDt.isValid() && limit < nowDt;
        if (j.overdue) {
            j.count = qMax(0, intOverdueHours(limit.toString(kDateTime), now));
            j.unit = QStringLiteral("H");
            j.fineText = writeFineText(j.count, terms, QStringLiteral("小时"));
        }
    }
    j.fine = lngFineDecimals(j.overdue ? fineOf(j.count, terms) : 0, decimalsMode);
    return j;
}

QString strDueDate(const QString& timeUnit, int term, const QString& now, const DBResultSet& closeDays,
                   const DBResultSet& openTimes) {
    const QDateTime nowDt = QDateTime::fromString(now.left(19), kDateTime);
    if (timeUnit == QLatin1String("D")) {
        const QString date = nowDt.date().addDays(term).toString(QStringLiteral("yyyy-MM-dd"));
        return subShiftRetDate(date, closeDays, openTimes);
    }
    return nowDt.addSecs(qint64(term) * 3600).toString(kHourDue);
}

bool blnParamYes(const QVariant& value) {
    const QString t = value.toString().trimmed();
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (ok) return d != 0.0;
    return t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
           t.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
}
