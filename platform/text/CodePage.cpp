#include "platform/text/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace text {
namespace {

// Both directions of GBK as tables, built once from the C library's converter.
struct GbkTables {
    // Double-byte codes: lead 0x81..0xFE, trail 0x40..0xFE.
    static constexpr int kTrails = 0xFF - 0x40;
    std::vector<char16_t> decode = std::vector<char16_t>(126 * kTrails, 0);
    // Code point -> GBK code (one byte below 0x100, else lead << 8 | trail); 0 = none.
    std::vector<uint16_t> encode = std::vector<uint16_t>(0x10000, 0);
    char16_t byte80 = 0;

    GbkTables()
    {
        iconv_t cd = iconv_open("UTF-16LE", "GBK");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return;
        auto one = [&](const unsigned char* b, size_t len) -> char16_t {
            char16_t out[2] = {0, 0};
            char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(b));
            size_t inLeft = len;
            char* o = reinterpret_cast<char*>(out);
            size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1) || inLeft != 0
                || outLeft != 2)
                return 0;
            return out[0];
        };
        const unsigned char b80 = 0x80;
        byte80 = one(&b80, 1);
        if (byte80)
            encode[byte80] = 0x80;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                const unsigned char b[2] = {static_cast<unsigned char>(lead),
                                            static_cast<unsigned char>(trail)};
                const char16_t c = one(b, 2);
                if (!c)
                    continue;
                decode[(lead - 0x81) * kTrails + (trail - 0x40)] = c;
                if (!encode[c])
                    encode[c] = static_cast<uint16_t>(lead << 8 | trail);
            }
        }
        iconv_close(cd);
    }
};

const GbkTables& tables()
{
    static const GbkTables t;
    return t;
}

// GBK code of one UTF-16 unit: < 0x80 ASCII, 0x80 the single-byte euro,
// >= 0x8140 a byte pair, 0 none ("?").
inline uint16_t codeOf(char16_t c)
{
    if (c < 0x80)
        return c;
    return tables().encode[c];
}

// `bad` gives the output for one input byte the converter refuses.
QByteArray iconvAll(const char* to, const char* from, QByteArrayView in,
                    QByteArray (*bad)(unsigned char))
{
    QByteArray out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    out.reserve(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t left = static_cast<size_t>(in.size());
    char buf[4096];
    while (left > 0) {
        char* dst = buf;
        size_t room = sizeof buf;
        const size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, static_cast<qsizetype>(dst - buf));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // Invalid or truncated sequence: replace one byte and go on.
            out.append(bad(static_cast<unsigned char>(*src)));
            ++src;
            --left;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* dst = buf;
    size_t room = sizeof buf;
    iconv(cd, nullptr, nullptr, &dst, &room);
    out.append(buf, static_cast<qsizetype>(dst - buf));
    iconv_close(cd);
    return out;
}

} // namespace

QByteArray toGbk(QStringView s)
{
    // Written straight into a buffer of the largest size, cut to the bytes
    // written: a text of records is converted a character at a time.
    if (s.isEmpty())
        return {};
    QByteArray out(s.size() * 2, Qt::Uninitialized);
    char* to = out.data();
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (QChar::isLowSurrogate(c) && i > 0 && QChar::isHighSurrogate(s[i - 1].unicode()))
            continue; // the pair's "?" was written for its first unit
        if (c < 0x80) {
            *to++ = static_cast<char>(c);
            continue;
        }
        const uint16_t code = codeOf(c);
        if (code == 0)
            *to++ = '?';
        else if (code < 0x100)
            *to++ = static_cast<char>(code);
        else {
            *to++ = static_cast<char>(code >> 8);
            *to++ = static_cast<char>(code & 0xFF);
        }
    }
    out.truncate(to - out.constData());
    return out;
}

QByteArray utf8ToGbk(QByteArrayView utf8)
{
    // Well-formed UTF-8 is converted a code point at a time; anything else
    // (a sequence the decoder would replace, a byte-order mark) goes the long
    // way, so the result never depends on how the decoder mends a text.
    if (utf8.isEmpty())
        return {};
    const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = in + utf8.size();
    QByteArray out(utf8.size(), Qt::Uninitialized); // GBK never takes more bytes
    char* to = out.data();
    const uint16_t* const encode = tables().encode.data();
    auto put = [&to](uint16_t code) {
        if (code == 0) {
            *to++ = '?';
        } else if (code < 0x100) {
            *to++ = static_cast<char>(code);
        } else {
            to[0] = static_cast<char>(code >> 8);
            to[1] = static_cast<char>(code & 0xFF);
            to += 2;
        }
    };
    auto isTrail = [](unsigned char b) { return (b & 0xC0) == 0x80; };
    while (in < end) {
        // A run of ASCII (most of a record: directory, indicators, digits)
        // eight bytes at a time.
        while (end - in >= 8) {
            uint64_t word;
            std::memcpy(&word, in, 8);
            if (word & 0x8080808080808080ULL)
                break;
            std::memcpy(to, in, 8);
            in += 8;
            to += 8;
        }
        if (in == end)
            break;
        const unsigned char b = *in;
        if (b < 0x80) {
            *to++ = static_cast<char>(b);
            ++in;
        } else if (b >= 0xE0 && b <= 0xEF && end - in >= 3 && isTrail(in[1]) && isTrail(in[2])) {
            const char32_t cp = (b & 0x0F) << 12 | (in[1] & 0x3F) << 6 | (in[2] & 0x3F);
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFEFF)
                return toGbk(QString::fromUtf8(utf8));
            put(encode[cp]);
            in += 3;
        } else if (b >= 0xC2 && b <= 0xDF && end - in >= 2 && isTrail(in[1])) {
            put(encode[(b & 0x1F) << 6 | (in[1] & 0x3F)]);
            in += 2;
        } else if (b >= 0xF0 && b <= 0xF4 && end - in >= 4 && isTrail(in[1]) && isTrail(in[2]) && isTrail(in[3])
                   && (b != 0xF0 || in[1] >= 0x90) && (b != 0xF4 || in[1] <= 0x8F)) {
            *to++ = '?'; // outside the basic plane: one "?" for the pair of units
            in += 4;
        } else {
            return toGbk(QString::fromUtf8(utf8));
        }
    }
    out.truncate(to - out.constData());
    return out;
}

QString fromGbk(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    const GbkTables& t = tables();
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* to = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            *to++ = QChar(b);
        } else if (b == 0x80) {
            *to++ = t.byte80 ? QChar(t.byte80) : QChar(u'?');
        } else if (b == 0xFF || i + 1 >= bytes.size()) {
            *to++ = QChar(u'?');
        } else {
            const auto trail = static_cast<unsigned char>(bytes[i + 1]);
            char16_t c = 0;
            if (trail >= 0x40 && trail <= 0xFE)
                c = t.decode[(b - 0x81) * GbkTables::kTrails + (trail - 0x40)];
            if (c) {
                *to++ = QChar(c);
                ++i;
            } else {
                *to++ = QChar(u'?');
            }
        }
    }
    out.truncate(to - out.constData());
    return out;
}

int gbkCharBytes(QStringView s, qsizetype index)
{
    if (index < 0 || index >= s.size())
        return 0;
    const char16_t c = s[index].unicode();
    if (QChar::isLowSurrogate(c) && index > 0 && QChar::isHighSurrogate(s[index - 1].unicode()))
        return 0;
    return codeOf(c) >= 0x100 ? 2 : 1;
}

bool isGbkDoubleByte(QChar c)
{
    return codeOf(c.unicode()) >= 0x100;
}

qsizetype gbkLength(QStringView s)
{
    return gbkByteOffset(s, s.size());
}

qsizetype gbkByteOffset(QStringView s, qsizetype index)
{
    index = qBound<qsizetype>(0, index, s.size());
    qsizetype n = 0;
    for (qsizetype i = 0; i < index; ++i)
        n += gbkCharBytes(s, i);
    return n;
}

qsizetype gbkCharIndex(QStringView s, qsizetype byteOffset)
{
    if (byteOffset <= 0)
        return 0;
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const int w = gbkCharBytes(s, i);
        if (w > 0 && byteOffset < n + w)
            return i;
        n += w;
    }
    return s.size();
}

QString gbkLeft(QStringView s, qsizetype maxBytes)
{
    qsizetype n = 0;
    qsizetype i = 0;
    for (; i < s.size(); ++i) {
        const int w = gbkCharBytes(s, i);
        if (n + w > maxBytes)
            break;
        n += w;
    }
    // Never leave the first unit of a surrogate pair alone.
    if (i > 0 && i < s.size() && QChar::isHighSurrogate(s[i - 1].unicode())
        && QChar::isLowSurrogate(s[i].unicode()))
        --i;
    return s.left(i).toString();
}

QString gbkMid(QStringView s, qsizetype byteStart, qsizetype byteLength)
{
    const QByteArray bytes = toGbk(s);
    if (byteStart < 0)
        byteStart = 0;
    if (byteStart >= bytes.size() || byteLength == 0)
        return {};
    const QByteArray part = byteLength < 0 ? bytes.mid(byteStart) : bytes.mid(byteStart, byteLength);
    // A trail byte left at the front by the cut is not a character of its own.
    if (byteStart > 0) {
        const qsizetype ci = gbkCharIndex(s, byteStart);
        if (ci < s.size() && gbkByteOffset(s, ci) < byteStart)
            return QString(u'?') + fromGbk(QByteArrayView(part).sliced(1));
    }
    return fromGbk(part);
}

QByteArray toGb18030(QStringView s)
{
    return iconvAll("GB18030", "UTF-8", s.toUtf8(), [](unsigned char) { return QByteArray("?"); });
}

QString fromGb18030(QByteArrayView bytes)
{
    // 0x80 is the euro sign in files written in code page 936.
    return QString::fromUtf8(iconvAll("UTF-8", "GB18030", bytes, [](unsigned char b) {
        return b == 0x80 ? QByteArray("\xE2\x82\xAC") : QByteArray("\xEF\xBF\xBD");
    }));
}

} // namespace text
