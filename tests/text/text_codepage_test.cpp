// GBK / GB18030 conversion, GBK byte positions and "ANSI" text files.
#include "platform/text/AnsiFile.h"
#include "platform/text/CodePage.h"
#include "tests/support/FileBytes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace text;
using testsupport::readBytes;
using testsupport::writeBytes;

TEST(CodePage, EncodesGbkPerCharacterWithQuestionMarkFallback)
{
    struct Case {
        QString text;
        QByteArray gbk;
    } cases[] = {
        {u"中a"_qs, "\xD6\xD0" "a"},
        {u"€"_qs, "\x80"},                   // single-byte euro of the code page
        {u"·—"_qs, "\xA1\xA4\xA1\xAA"},      // code-page 936 mapping of these two
        {u"ａ１"_qs, "\xA3\xE1\xA3\xB1"},     // full-width forms are double-byte
        {u"a\u0E01中"_qs, "a?\xD6\xD0"},      // Thai letter: not in GBK
        {QString::fromUcs4(U"x\U0001F600y"), "x?y"}, // outside the BMP: one "?"
        {QString(), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toGbk(c.text), c.gbk) << c.text.toStdString();
        EXPECT_EQ(gbkLength(c.text), c.gbk.size()) << c.text.toStdString();
    }
}

TEST(CodePage, Utf8BytesGiveWhatTheirTextGives)
{
    // Every character of the basic plane (surrogates aside), in one text and
    // one at a time, then texts the decoder must mend: the straight path and
    // the decoded text agree on all of them.
    QString all;
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c < 0xD800 || c > 0xDFFF)
            all.append(QChar(char16_t(c)));
    }
    const QByteArray allUtf8 = all.toUtf8();
    EXPECT_EQ(utf8ToGbk(allUtf8), toGbk(all));
    for (const QChar c : all) {
        const QByteArray one = QString(c).toUtf8();
        ASSERT_EQ(utf8ToGbk(one), toGbk(QString::fromUtf8(one))) << std::hex << int(c.unicode());
    }
    const QByteArray mended[] = {
        QByteArray("\xEF\xBB\xBF" "abc"),            // byte-order mark
        QByteArray("a\xC0\xAF" "b"),                 // overlong
        QByteArray("a\xED\xA0\x80" "b"),             // an encoded surrogate
        QByteArray("\xF4\x90\x80\x80"),              // past U+10FFFF
        QByteArray("\xE4\xB8"),                      // cut short at the end
        QByteArray("x\x80y\xFF"),                    // stray bytes
        QByteArray("\xF0\x9F\x98\x80\xE4\xB8\xAD"),  // outside the plane, then 中
        QByteArray(),
    };
    for (const QByteArray& b : mended)
        EXPECT_EQ(utf8ToGbk(b), toGbk(QString::fromUtf8(b))) << b.toHex().constData();
}

TEST(CodePage, DecodesGbkAndMarksBrokenBytes)
{
    EXPECT_EQ(fromGbk("\xD6\xD0\xCE\xC4" "abc"), u"中文abc"_qs);
    EXPECT_EQ(fromGbk("a\xD6"), u"a?"_qs);      // lead byte cut off at the end
    EXPECT_EQ(fromGbk("\xFF" "b"), u"?b"_qs);   // never a GBK byte
    EXPECT_EQ(fromGbk("\x81 x"), u"? x"_qs);     // lead byte with a bad trail
    // Every GBK character survives the round trip.
    const QString all = u"图书馆流通委托读者证件€·—ｚ"_qs;
    EXPECT_EQ(fromGbk(toGbk(all)), all);
}

TEST(CodePage, ConvertsBetweenBytePositionsAndCharacters)
{
    const QString s = u"a中文b"_qs; // bytes: a=0, 中=1-2, 文=3-4, b=5
    EXPECT_EQ(gbkByteOffset(s, 0), 0);
    EXPECT_EQ(gbkByteOffset(s, 2), 3);
    EXPECT_EQ(gbkByteOffset(s, 99), 6);
    const struct {
        qsizetype byte, index;
    } idx[] = {{-1, 0}, {0, 0}, {1, 1}, {2, 1}, {3, 2}, {5, 3}, {6, 4}, {40, 4}};
    for (const auto& c : idx)
        EXPECT_EQ(gbkCharIndex(s, c.byte), c.index) << "byte " << c.byte;

    EXPECT_EQ(gbkLeft(s, 0), QString());
    EXPECT_EQ(gbkLeft(s, 2), u"a"_qs); // never half of 中
    EXPECT_EQ(gbkLeft(s, 3), u"a中"_qs);
    EXPECT_EQ(gbkLeft(s, 100), s);

    EXPECT_EQ(gbkMid(s, 1, 2), u"中"_qs);
    EXPECT_EQ(gbkMid(s, 3), u"文b"_qs);
    EXPECT_EQ(gbkMid(s, 2, 2), u"??"_qs); // both edges cut a character
    EXPECT_EQ(gbkLength(gbkMid(s, 2, 2)), 2);
    EXPECT_EQ(gbkMid(s, 6, 3), QString());

    EXPECT_TRUE(isGbkDoubleByte(u'中'));
    EXPECT_FALSE(isGbkDoubleByte(u'a'));
    EXPECT_FALSE(isGbkDoubleByte(QChar(0x0E01)));
}

TEST(CodePage, Gb18030KeepsEveryCharacter)
{
    const QString s = QString::fromUcs4(U"中文 abc \u0E01 \U0001F600 €");
    EXPECT_EQ(fromGb18030(toGb18030(s)), s);
    EXPECT_EQ(toGb18030(u"中文"_qs), toGbk(u"中文"_qs));
    EXPECT_EQ(toGb18030(u"€"_qs), QByteArray("\xA2\xE3"));
    EXPECT_EQ(fromGb18030("a\x81"), u"a\uFFFD"_qs);
    EXPECT_EQ(fromGb18030("\x80" "5"), u"€5"_qs); // the code page's single-byte euro
}

TEST(AnsiFile, WritesGb18030WithCrlfAndReadsBothLineEnds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    ASSERT_TRUE(writeAnsiFile(path, u"读者\nb\r\nc"_qs));
    EXPECT_EQ(readBytes(path), QByteArray("\xB6\xC1\xD5\xDF\r\nb\r\nc"));
    ASSERT_TRUE(writeAnsiFile(path, u"\nd\n"_qs, WriteMode::Append));
    EXPECT_EQ(readBytes(path), QByteArray("\xB6\xC1\xD5\xDF\r\nb\r\nc\r\nd\r\n"));

    QStringList lines;
    ASSERT_TRUE(readAnsiLines(path, &lines));
    EXPECT_EQ(lines, (QStringList{u"读者"_qs, "b", "c", "d"}));

    writeBytes(path, "x\ny\n\nz");
    ASSERT_TRUE(readAnsiLines(path, &lines));
    EXPECT_EQ(lines, (QStringList{"x", "y", "", "z"}));

    EXPECT_FALSE(readAnsiLines(dir.filePath("missing.txt"), &lines));
    EXPECT_TRUE(lines.isEmpty());
}

TEST(AnsiFile, Utf8MarkSelectsUtf8)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("u.txt");
    writeBytes(path, "\xEF\xBB\xBF" + u"中文\r\n"_qs.toUtf8());
    QString text;
    FileEncoding enc = FileEncoding::Gb18030;
    ASSERT_TRUE(readAnsiFile(path, &text, &enc));
    EXPECT_EQ(text, u"中文\r\n"_qs);
    EXPECT_EQ(enc, FileEncoding::Utf8Bom);

    writeBytes(path, "\xD6\xD0\xCE\xC4");
    ASSERT_TRUE(readAnsiFile(path, &text, &enc));
    EXPECT_EQ(text, u"中文"_qs);
    EXPECT_EQ(enc, FileEncoding::Gb18030);
}
