#pragma once
// Code-page conversion for the desk's "ANSI" texts.
//
// The desk's users work in code page 936 (GBK). Wherever the program counts
// positions or lengths in that code page (MARC directories, display widths,
// value buffers of INI files, URL encoding) use the gbk* helpers here: a
// character GBK encodes as two bytes counts 2, ASCII counts 1, and a character
// GBK cannot encode is written as "?" and counts 1 (one character at a time, so
// one unencodable character never spoils the rest of the text).
//
// Files are read and written as GB18030, which is byte-identical to GBK for
// every GBK character and loses nothing for the others.
//
// Positions are 0-based QString indexes (UTF-16 units); a character outside
// the BMP is one "?" byte spread over its two units.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace text {

// GBK bytes of a text; characters GBK cannot encode become "?".
QByteArray toGbk(QStringView s);
// The same for a text in UTF-8 bytes, without the text in between: always
// what toGbk(QString::fromUtf8(utf8)) gives.
QByteArray utf8ToGbk(QByteArrayView utf8);
// Text of GBK bytes; a byte (or byte pair) that is not valid GBK becomes "?".
QString fromGbk(QByteArrayView bytes);

// Bytes the character at s[index] takes in GBK: 1 or 2 (0 for the second unit
// of a surrogate pair, whose "?" was counted on the first unit).
int gbkCharBytes(QStringView s, qsizetype index);
// True when the character takes two bytes in GBK (Chinese, full-width forms).
bool isGbkDoubleByte(QChar c);
// Length of the text in GBK bytes.
qsizetype gbkLength(QStringView s);

// GBK bytes taken by the first `index` characters (index clamped to the text).
qsizetype gbkByteOffset(QStringView s, qsizetype index);
// Index of the character holding GBK byte `byteOffset` (the second byte of a
// double-byte character belongs to that character); s.size() when the offset
// lies at or past the end, 0 for a negative offset.
qsizetype gbkCharIndex(QStringView s, qsizetype byteOffset);

// The longest beginning of the text that fits in `maxBytes` GBK bytes without
// cutting a double-byte character in half.
QString gbkLeft(QStringView s, qsizetype maxBytes);
// The text of GBK bytes [byteStart, byteStart + byteLength) (a negative length
// means to the end). A double-byte character cut by either edge becomes "?",
// so the result always takes exactly the bytes asked for (within the text).
QString gbkMid(QStringView s, qsizetype byteStart, qsizetype byteLength = -1);

// GB18030 (full Unicode); invalid input bytes decode to U+FFFD.
QByteArray toGb18030(QStringView s);
QString fromGb18030(QByteArrayView bytes);

} // namespace text
