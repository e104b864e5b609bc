#include "common/basMarc.h"

#include "platform/text/CodePage.h"

#include <cmath>
#include <utility>

MarcRecord g_recMarc;

namespace {

// Value of an all-digit byte field; -1 when a byte is not a digit.
long digitsValue(const QByteArray& text, qsizetype from, qsizetype n)
{
    long v = 0;
    for (qsizetype i = from; i < from + n; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// (base - 25) / 12 to the nearest whole number, halves to the even number.
long directoryCount(long base)
{
    return static_cast<long>(std::nearbyint((base - 25) / 12.0));
}

void clearText(MarcRecord& rec)
{
    rec.leader.clear();
    rec.count = 0;
    rec.directory.clear();
    rec.data.clear();
}

int fail(MarcRecord& rec, const QString& why)
{
    clearText(rec);
    rec.error = why;
    return -1;
}

// Marks, for every byte of `text`, whether a character starts there; false
// when the bytes are not GBK (a lone lead byte, a bad trail byte, 0xFF, or a
// byte pair GBK does not assign). `bad` receives the offset of the first bad byte.
bool scanGbk(const QByteArray& text, QVector<bool>& starts, qsizetype& bad)
{
    const qsizetype n = text.size();
    starts.fill(false, n + 1);
    starts[n] = true;
    qsizetype questionMarks = 0;
    bool wide = false;
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        starts[i] = true;
        if (b == '?')
            ++questionMarks;
        if (b < 0x80)
            continue;
        wide = true;
        if (b == 0x80)
            continue; // the single-byte euro sign of the code page
        if (b == 0xFF || i + 1 >= n) {
            bad = i;
            return false;
        }
        const auto t = static_cast<unsigned char>(text[i + 1]);
        if (t < 0x40 || t == 0x7F || t == 0xFF) {
            bad = i;
            return false;
        }
        ++i;
    }
    if (!wide)
        return true;
    // Structurally sound; a pair that the code page leaves unassigned decodes
    // to "?", so more "?" than "?" bytes means such a pair.
    const QString decoded = text::fromGbk(text);
    if (decoded.count(u'?') != questionMarks) {
        bad = 0;
        for (qsizetype i = 0; i + 1 < n; ++i) {
            if (!starts[i] || static_cast<unsigned char>(text[i]) < 0x81)
                continue;
            const QString c = text::fromGbk(QByteArrayView(text).sliced(i, 2));
            if (c.size() != 1 || c == QStringLiteral("?")) {
                bad = i;
                break;
            }
        }
        return false;
    }
    return true;
}

} // namespace

// ---- parsing ------------------------------------------------------------------

int intParseMarcText(const QByteArray& text, MarcRecord& rec)
{
    rec.error.clear();
    const qsizetype total = text.size();
    if (total < 25)
        return fail(rec, QStringLiteral("MARC记录不完整：只有%1字节，不足头标加记录结束符的长度。").arg(total));
    if (text[total - 1] != MARC_RECORD_END)
        return fail(rec, QStringLiteral("MARC记录缺少记录结束符。"));
    for (qsizetype i = 0; i < 24; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return fail(rec, QStringLiteral("MARC记录头标含有非ASCII字符。"));
    }
    const long recLen = digitsValue(text, 0, 5);
    if (recLen < 0)
        return fail(rec, QStringLiteral("MARC记录头标中的记录长度不是数字。"));
    if (recLen != total)
        return fail(rec, QStringLiteral("MARC记录头标中的记录长度(%1)与实际长度(%2字节)不符。").arg(recLen).arg(total));
    const long base = digitsValue(text, 12, 5);
    if (base < 0)
        return fail(rec, QStringLiteral("MARC记录头标中的数据基地址不是数字。"));
    if (base < 25 || base >= total)
        return fail(rec, QStringLiteral("MARC记录头标中的数据基地址(%1)超出记录范围。").arg(base));
    const long count = directoryCount(base);
    if (24 + 12 * count > base)
        return fail(rec, QStringLiteral("MARC记录的目录(%1项)与数据基地址(%2)重叠。").arg(count).arg(base));
    for (qsizetype i = 24; i < 24 + 12 * count; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return fail(rec, QStringLiteral("MARC记录目录含有非ASCII字符。"));
    }
    QVector<bool> starts;
    qsizetype bad = 0;
    if (!scanGbk(text, starts, bad))
        return fail(rec, QStringLiteral("MARC记录含有不是GBK编码的字节(第%1字节)。").arg(bad + 1));

    const qsizetype dataLen = total - base;
    QVector<MarcDirEntry> dir(count + 1);
    for (long i = 0; i < count; ++i) {
        const qsizetype at = 24 + 12 * i;
        MarcDirEntry& e = dir[i];
        e.tag = QString::fromLatin1(text.constData() + at, 3);
        e.length = digitsValue(text, at + 3, 4);
        e.start = digitsValue(text, at + 7, 5);
        if (e.length < 0 || e.start < 0)
            return fail(rec, QStringLiteral("MARC记录目录第%1项(字段%2)的长度或起始位置不是数字。").arg(i + 1).arg(e.tag));
        if (e.length < 1 || e.start + e.length > dataLen)
            return fail(rec, QStringLiteral("MARC记录目录第%1项(字段%2)指向记录之外。").arg(i + 1).arg(e.tag));
        if (!starts[base + e.start] || !starts[base + e.start + e.length - 1])
            return fail(rec, QStringLiteral("MARC记录目录第%1项(字段%2)的位置落在双字节字符中间。").arg(i + 1).arg(e.tag));
    }
    rec.leader = QString::fromLatin1(text.constData(), 24);
    rec.count = static_cast<int>(count);
    rec.directory = std::move(dir);
    rec.data = text.mid(base);
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
