#include "common/basText.h"

#include "platform/text/CodePage.h"

#include <QDate>
#include <QDateTime>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Year, month and day of a normalised "y-m[-d]" text, or an invalid date.
QDate readYearMonthDay(const QString& text)
{
    const QStringList parts = text.split(u'-');
    if (parts.size() < 2 || parts.size() > 3)
        return {};
    int n[3] = {0, 0, 1};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        n[i] = parts[i].toInt(&ok);
        if (!ok || parts[i].size() > 4)
            return {};
    }
    if (parts[0].size() <= 2)
        n[0] += n[0] < 30 ? 2000 : 1900;
    return QDate(n[0], n[1], n[2]);
}

QString writeDate(const QDate& d, const QString& format)
{
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        auto run = [&](QChar c) {
            qsizetype k = i;
            while (k < format.size() && format[k].toLower() == c)
                ++k;
            return k - i;
        };
        const QChar c = format[i].toLower();
        if (c == u'y') {
            const qsizetype n = run(u'y');
            out += n >= 3 ? QString::number(d.year()).rightJustified(4, u'0')
                          : QString::number(d.year() % 100).rightJustified(2, u'0');
            i += n;
        } else if (c == u'm' || c == u'd') {
            const qsizetype n = run(c);
            const int v = c == u'm' ? d.month() : d.day();
            out += n >= 2 ? QString::number(v).rightJustified(2, u'0') : QString::number(v);
            i += n;
        } else {
            out += format[i];
            ++i;
        }
    }
    return out.left(format.size());
}

} // namespace

QString strLikeEscape(const QString& text)
{
    QString out;
    out.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

QString strTrimCJKSpace(const QString& text)
{
    // Trim and collapse runs of blanks.
    QString collapsed;
    collapsed.reserve(text.size());
    for (const QChar c : text) {
        if (c == u' ' && (collapsed.isEmpty() || collapsed.back() == u' '))
            continue;
        collapsed.append(c);
    }
    if (collapsed.endsWith(u' '))
        collapsed.chop(1);
    // Drop a blank beside a double-byte character.
    QString out;
    out.reserve(collapsed.size());
    for (qsizetype i = 0; i < collapsed.size(); ++i) {
        if (collapsed[i] == u' ') {
            const bool before = !out.isEmpty() && text::isGbkDoubleByte(out.back());
            const bool after = i + 1 < collapsed.size() && text::isGbkDoubleByte(collapsed[i + 1]);
            if (before || after)
                continue;
        }
        out.append(collapsed[i]);
    }
    return out;
}

QString strReplace(const QString& source, const QString& find, const QString& replacement,
                   qsizetype& start)
{
    if (source.isEmpty() || find.isEmpty())
        return source;
    QString out = source;
    qsizetype pos = start <= 0 ? 0 : start - 1;
    while (pos <= out.size()) {
        const qsizetype at = out.indexOf(find, pos);
        if (at < 0)
            break;
        out.replace(at, find.size(), replacement);
        pos = at + replacement.size();
    }
    start = 0;
    return out;
}

QString strReplace(const QString& source, const QString& find, const QString& replacement)
{
    qsizetype start = 1;
    return strReplace(source, find, replacement, start);
}

QString varSplit(QString& source, const QString& delimiter)
{
    const qsizetype at = delimiter.isEmpty() ? -1 : source.indexOf(delimiter);
    if (at < 0) {
        QString all = source;
        source.clear();
        return all;
    }
    QString head = source.left(at);
    source.remove(0, at + delimiter.size());
    return head;
}

QString strCutBetween(QString& source, const QString& open, const QString& close, bool* ok)
{
    if (ok)
        *ok = true;
    const qsizetype o = source.indexOf(open);
    if (o < 0 || open.isEmpty()) {
        source.clear();
        return {};
    }
    const qsizetype c = close.isEmpty() ? -1 : source.indexOf(close, o);
    const qsizetype length = c - o - open.size();
    if (c < 0 || length < 0) {
        if (ok)
            *ok = false;
        return {};
    }
    const QString result = source.mid(o + open.size(), length);
    source.remove(0, c + close.size());
    return result;
}

bool blnIsDoubleByte(const QString& text)
{
    return !text.isEmpty() && text::gbkLength(text) == 2;
}

QString strFormatDate(const QVariant& value, const QString& format)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) {
        const QDate d = value.typeId() == QMetaType::QDate ? value.toDate() : value.toDateTime().date();
        return d.isValid() ? writeDate(d, format) : QString();
    }
    const QString original = value.toString();
    const bool era = original.startsWith(u"民国") || original.startsWith(u"民國");

    QString s = original;
    qsizetype first = 0;
    while (first < s.size() && !isDigit(s[first]))
        ++first;
    if (first < s.size())
        s.remove(0, first);
    qsizetype end = 0;
    while (end < s.size() && (isDigit(s[end]) || s[end] == u'.' || s[end] == u'-' || s[end] == u'/'))
        ++end;
    s.truncate(end);

    if (s.size() == 2) {
        bool ok = false;
        const int n = s.toInt(&ok);
        if (ok)
            s = era ? QString::number(n + 1911) : (n > 50 ? u"19"_qs : u"20"_qs) + s;
    }
    if (s.size() == 4)
        s += u"-01";
    for (QChar& c : s) {
        if (!isDigit(c))
            c = u'-';
    }
    if (s.isEmpty())
        return {};
    const QDate d = readYearMonthDay(s);
    if (!d.isValid())
        return original;
    return writeDate(d, format);
}

