#include "common/basMarc.h"

#include "platform/text/CodePage.h"

#include <QByteArrayView>

#include <cmath>
#include <vector>
#include <utility>

MarcRecord g_recMarc;

namespace {

// Numeric value of the leading digits of a byte field (0 when none), the way
// the header and directory numbers have always been read.
long leadingDigits(const QByteArray& text, qsizetype from, qsizetype n)
{
    long v = 0;
    for (qsizetype i = from; i < from + n && i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            break;
        v = v * 10 + (c - '0');
    }
    return v;
}

// (base - 25) / 12 to the nearest whole number, halves to the even number.
long directoryCount(long base)
{
    return static_cast<long>(std::nearbyint((base - 25) / 12.0));
}

int fail(MarcRecord& rec, const QString& why)
{
    rec.leader.clear();
    rec.count = 0;
    rec.directory.clear();
    rec.data.clear();
    rec.error = why;
    return -1;
}

// The tag of a directory entry. A tag of three digits (every tag in use) is
// one string shared by all entries that carry it: no string made per entry.
QString marcTagAt(const char* p)
{
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (!digit(p[0]) || !digit(p[1]) || !digit(p[2]))
        return QString::fromLatin1(p, 3);
    static const std::vector<QString> kTags = [] {
        std::vector<QString> tags;
        tags.reserve(1000);
        for (int t = 0; t < 1000; ++t)
            tags.push_back(QStringLiteral("%1").arg(t, 3, 10, QLatin1Char('0')));
        return tags;
    }();
    return kTags[(p[0] - '0') * 100 + (p[1] - '0') * 10 + (p[2] - '0')];
}

} // namespace

// ---- parsing ------------------------------------------------------------------

int intParseMarcText(const QByteArray& raw, MarcRecord& rec)
{
    rec.error.clear();
    QByteArray text = raw;
    if (!text.endsWith(MARC_RECORD_END))
        text.append(MARC_RECORD_END);
    const qsizetype total = text.size();
    if (total < 25)
        return fail(rec, QStringLiteral("MARC记录不完整：只有%1字节，不足头标的长度。").arg(raw.size()));
    // The record length in the leader is not used: the text read is the record.
    const long base = leadingDigits(text, 12, 5);
    const long count = directoryCount(base);
    if (count < 0)
        return fail(rec, QStringLiteral("MARC记录头标中的数据基地址(%1)小于头标的长度。").arg(base));
    if (24 + 12 * count > total - 1)
        return fail(rec, QStringLiteral("MARC记录的目录(%1项)超出记录的长度(%2字节)。").arg(count).arg(total));
    const qsizetype dataLen = base < total ? total - base : 0;
    if (count > 0 && QByteArrayView(text).sliced(total - dataLen).indexOf(MARC_FIELD_END) < 0)
        return fail(rec, QStringLiteral("MARC记录的数据部分没有字段结束符。"));

    // Positions are bytes: an entry whose start or end falls inside a
    // double-byte character cuts the character there.
    QVector<MarcDirEntry> dir(count + 1);
    for (long i = 0; i < count; ++i) {
        const qsizetype at = 24 + 12 * i;
        MarcDirEntry& e = dir[i];
        e.tag = marcTagAt(text.constData() + at);
        e.length = leadingDigits(text, at + 3, 4);
        e.start = leadingDigits(text, at + 7, 5);
        if (e.start + e.length > dataLen)
            return fail(rec, QStringLiteral("MARC记录目录第%1项(字段%2)指向记录之外。").arg(i + 1).arg(e.tag));
    }
    rec.leader = QString::fromLatin1(text.constData(), 24);
    rec.count = static_cast<int>(count);
    rec.directory = std::move(dir);
    rec.data = text.right(dataLen);
    return 0;
}

QString strMarcSelectToDump(const QString& sql)
{
    static const char* const kSummary[] = {"M_CALL_NO", "M_TITLE", "M_AUTHOR", "M_PUBLISHER", "M_PUB_YEAR",
                                           "M_ISBN", "M_CLASSNO", "M_HEADING", "M_SEE", "M_SEEALSO"};
    QString s = sql;
    s.replace(QStringLiteral("select"), QStringLiteral("SELECT"));
    s.replace(QStringLiteral("distinct"), QStringLiteral("DISTINCT"));
    s.replace(QStringLiteral("from"), QStringLiteral("FROM"));
    const qsizetype sel = s.indexOf(QStringLiteral("SELECT"));
    const QString r = sel < 0 ? s : s.mid(sel + 6);
    QString head = QStringLiteral("SELECT ");
    if (r.contains(QStringLiteral("DISTINCT")))
        head = QStringLiteral("SELECT  DISTINCT ");
    const qsizetype from = r.indexOf(QStringLiteral("FROM"));
    QString list = from < 0 ? r : r.left(from);
    const QString tail = from < 0 ? QString() : r.mid(from + 4);
    list.replace(QStringLiteral("DISTINCT"), QStringLiteral(" "));
    for (const QString& raw : list.split(u',')) {
        QString item = raw.trimmed().toUpper();
        if (item.isEmpty())
            break;
        for (const char* name : kSummary) {
            if (item.contains(QLatin1String(name))) {
                item = QStringLiteral(" dump(") + item + QStringLiteral(",16) ");
                break;
            }
        }
        head += item + u',';
    }
    if (head.endsWith(u','))
        head.chop(1);
    return head + QStringLiteral(" FROM ") + tail;
}

QString strDumpToText(const QString& dump)
{
    if (dump.isEmpty() || dump == QStringLiteral("NULL"))
        return {};
    const qsizetype colon = dump.indexOf(u':');
    const QString rest = (colon < 0 ? dump : dump.mid(colon + 1)).trimmed();
    QVector<int> bytes;
    for (const QString& item : rest.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int b = item.trimmed().toInt(&ok, 16);
        if (ok)
            bytes.append(b & 0xFF);
    }
    QString out;
    out.reserve(bytes.size() / 2 + 1);
    for (qsizetype i = 0; i < bytes.size(); i += 2) {
        const int hi = bytes[i];
        const int lo = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        out.append(QChar(static_cast<char16_t>(hi * 256 + lo)));
    }
    return out;
}

QString strMidBytes(const QString& text, long start, int length)
{
    if (text.isEmpty())
        return {};
    if (start < 1)
        start = 1;
    // c: characters touched by the first start - 1 bytes; n: decoded units of
    // bytes start .. start + length - 1 (a cut character counts once).
    const qsizetype skip = start - 1;
    const qsizetype end = length < 0 ? -1 : skip + length;
    qsizetype c = 0;
    qsizetype n = 0;
    qsizetype byte = 0;
    bool cutAtStart = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int w = text::gbkCharBytes(text, i);
        if (w == 0)
            continue;
        if (byte < skip) {
            c = i + 1;
            if (c < text.size() && text::gbkCharBytes(text, c) == 0)
                ++c; // the second unit of a pair
            if (byte + w > skip)
                cutAtStart = true;
        } else if (end >= 0 && byte < end) {
            ++n;
        }
        byte += w;
    }
    if (length < 0)
        return text.mid(c);
    if (cutAtStart && length > 0)
        ++n;
    return text.mid(c, n);
}
