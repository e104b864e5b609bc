#include "reader/basFineMoney.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Exact rounding with 128-bit intermediates: amounts times amounts overflow 64 bits
// only far beyond any real fine, but the arithmetic stays honest anyway.
qint64 roundMulDiv(qint64 a, qint64 b, qint64 den)
{
    __int128 num = static_cast<__int128>(a) * b;
    bool neg = num < 0;
    if (neg)
        num = -num;
    __int128 q = num / den;
    __int128 r = num % den;
    if (r * 2 >= den)
        ++q;
    return static_cast<qint64>(neg ? -q : q);
}

qint64 floorMulDiv(qint64 a, qint64 b, qint64 den, qint64* remainder)
{
    __int128 num = static_cast<__int128>(a) * b;
    *remainder = static_cast<qint64>(num % den);
    return static_cast<qint64>(num / den);
}

bool splitDateTime(const QString& text, QDate* date, int* hour)
{
    const QString t = text.trimmed();
    if (t.size() < 10)
        return false;
    *date = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date->isValid())
        return false;
    if (hour) {
        // Date, a blank, and the last eight characters as the time; a due date in
        // hours may lack the blank, which the last eight characters absorb.
        if (t.size() < 18)
            return false;
        const QTime time = QTime::fromString(t.right(8), QStringLiteral("hh:mm:ss"));
        if (!time.isValid())
            return false;
        *hour = time.hour();
    }
    return true;
}

} // namespace

bool blnParseMoney(const QString& text, Cents* cents)
{
    static const QRegularExpression re(QStringLiteral("^([+-]?)([0-9]*)(?:\\.([0-9]*))?$"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const QString whole = m.captured(2);
    const QString frac = m.captured(3);
    if (whole.isEmpty() && frac.isEmpty())
        return false;
    if (whole.size() > 12)
        return false;
    qint64 value = whole.isEmpty() ? 0 : whole.toLongLong() * 100;
    // Two places, then half away from zero on the first digit dropped.
    const QString two = (frac + QStringLiteral("00")).left(2);
    value += two.toLongLong();
    if (frac.size() > 2 && frac.at(2) >= QLatin1Char('5'))
        value += 1;
    if (value > kMaxCents)
        return false;
    *cents = m.captured(1) == QLatin1String("-") ? -value : value;
    return true;
}

QString strFormatMoney(Cents cents)
{
    const bool neg = cents < 0;
    const qint64 a = neg ? -cents : cents;
    return QStringLiteral("%1%2.%3")
        .arg(neg ? QStringLiteral("-") : QString())
        .arg(a / 100)
        .arg(a % 100, 2, 10, QLatin1Char('0'));
}

Cents lngMoneyFromDouble(double value)
{
    if (!std::isfinite(value))
        return 0;
    return static_cast<Cents>(std::llround(value * 100.0));
}

double dblMoneyToDouble(Cents cents)
{
    // A correctly rounded division: the nearest double to the decimal amount,
    // the same one its "0.00" text reads back as.
    return static_cast<double>(cents) / 100.0;
}

std::optional<Cents> optProposeFine(Cents allowed, int mode)
{
    auto cut = [](Cents c) { return c >= 0 ? c - c % 10 : c + (-c) % 10; };
    switch (mode) {
    case 0:
    case 1:
        return cut(allowed);
    case 2:
        return cut(allowed + 5);
    default:
        return std::nullopt;
    }
}

QVector<Cents> arrSplitFine(const QVector<Cents>& fines, Cents total)
{
    QVector<Cents> out(fines.size(), 0);
    if (fines.isEmpty())
        return out;
    const Cents sum = std::accumulate(fines.begin(), fines.end(), Cents(0));
    const int last = int(fines.size()) - 1;
    if (sum <= 0) {
        out[last] = total;
        return out;
    }
    Cents rest = total;
    for (int k = 0; k < last; ++k) {
        Cents share = roundMulDiv(fines[k], total, sum);
        if (share < 0)
            share = 0;
        out[k] = share;
        rest -= share;
    }
    out[last] = rest;
    if (rest >= 0 || total < 0)
        return out;

    // Largest remainders: floor every share, hand the cents left over out one by one.
    QVector<qint64> rem(fines.size(), 0);
    Cents given = 0;
    for (int k = 0; k < fines.size(); ++k) {
        out[k] = floorMulDiv(fines[k], total, sum, &rem[k]);
        given += out[k];
    }
    QVector<int> order(fines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return rem[a] > rem[b]; });
    for (int i = 0; given < total; i = (i + 1) % int(order.size())) {
        ++out[order[i]];
        ++given;
    }
    return out;
}

int intOverdueDays(const QString& due, const QString& returned)
{
    QDate a, b;
    if (!splitDateTime(due, &a, nullptr) || !splitDateTime(returned, &b, nullptr))
        return 0;
    return int(a.daysTo(b));
}

int intOverdueHours(const QString& due, const QString& returned)
{
    QDate a, b;
    int ha = 0, hb = 0;
    if (!splitDateTime(due, &a, &ha) || !splitDateTime(returned, &b, &hb))
        return 0;
    return int(a.daysTo(b) * 24 + hb - ha);
}

QString strFineDateText(const QString& timeUnit, const QString& dateTime)
{
    if (timeUnit == QLatin1String("D"))
        return dateTime.left(10);
    if (timeUnit == QLatin1String("H"))
        return dateTime;
    return QString();
}

QString strOverdueText(const QString& timeUnit, const QString& due, const QString& returned)
{
    if (timeUnit == QLatin1String("D"))
        return QString::number(intOverdueDays(due, returned)) + QStringLiteral("天");
    if (timeUnit == QLatin1String("H"))
        return QString::number(intOverdueHours(due, returned)) + QStringLiteral("小时");
    return QString();
}

QString strMakeBillNo(const QString& serverDateTime)
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2}) (\\d{2}):(\\d{2}):(\\d{2})$"));
    const QRegularExpressionMatch m = re.match(serverDateTime.trimmed());
    if (!m.hasMatch())
        return QString();
    QString out;
    for (int i = 1; i <= 6; ++i)
        out += m.captured(i);
    return out;
}
