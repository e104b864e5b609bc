#include "desk/basDueDate.h"

#include <QDate>

namespace {

const char* const kWeek[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
constexpr int kMaxMoves = 400;

bool readDate(const QString& text, QDate& out)
{
    out = QDate::fromString(text.trimmed().left(10), QStringLiteral("yyyy-MM-dd"));
    return out.isValid();
}

bool readDays(const QString& text, int& out)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        out = 0;
        return true;
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        return false;
    out = static_cast<int>(v);
    return true;
}

bool weekdayClosed(const QDate& d, const DBResultSet& openTimes)
{
    if (openTimes.rowCount() <= 0)
        return false;
    const QString name = QString::fromLatin1(kWeek[d.dayOfWeek() % 7]);
    for (int r = 0; r < openTimes.rowCount(); ++r) {
        if (openTimes.text(r, 3) != name)
            continue;
        const QString zero = QStringLiteral("00:00");
        return openTimes.text(r, 0).trimmed() == zero && openTimes.text(r, 1).trimmed() == zero
            && openTimes.text(r, 2).trimmed() == zero;
    }
    return false;
}

// One run of the test on a date. A move shifts the new date by a run of its
// own, whose result the calling run goes on testing against the periods after
// the one that moved it and the weekday; a run that stops on a value it cannot
// read hands back the date it has reached. Every run spends one move of the
// budget; with none left a run returns its date untested.
QString shiftRun(const QString& date, const DBResultSet& closeDays, const DBResultSet& openTimes, int& budget)
{
    if (budget <= 0)
        return date;
    --budget;
    QString current = date;
    for (int r = 0; r < closeDays.rowCount(); ++r) {
        const QString bgn = closeDays.text(r, 0);
        const QString end = closeDays.text(r, 1);
        if (end.isEmpty() || !(bgn <= current && current <= end))
            continue;
        QDate endDate;
        int ext = 0;
        if (!readDate(end, endDate) || !readDays(closeDays.text(r, 2), ext))
            return current;
        current = shiftRun(endDate.addDays(ext + 1).toString(QStringLiteral("yyyy-MM-dd")), closeDays, openTimes,
                           budget);
    }
    QDate d;
    if (!readDate(current, d))
        return current;
    if (!weekdayClosed(d, openTimes))
        return current;
    return shiftRun(d.addDays(1).toString(QStringLiteral("yyyy-MM-dd")), closeDays, openTimes, budget);
}

} // namespace

QString subShiftRetDate(const QString& date, const DBResultSet& closeDays, const DBResultSet& openTimes)
{
    int budget = kMaxMoves;
    return shiftRun(date, closeDays, openTimes, budget);
}
