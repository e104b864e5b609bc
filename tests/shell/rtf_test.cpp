// The RTF reader of the text viewer: Chinese written as code-page escapes and
// as Unicode escapes, paragraphs, character formats, colours and the groups
// that show nothing.
#include "shell/RtfReader.h"
#include "shell/frmCommonView.h"
#include "tests/support/FileBytes.h"

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

// The format of the first character of `text` in the document.
QTextCharFormat formatOf(const QTextDocument& doc, const QString& text) {
    const QTextCursor found = doc.find(text);
    if (found.isNull()) return {};
    QTextCursor c(found);
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

QString read(const QByteArray& rtf) {
    QTextDocument doc;
    EXPECT_TRUE(shell::blnReadRtf(rtf, &doc));
    return doc.toPlainText();
}

} // namespace

TEST(RtfDocument, ChineseWrittenBothWays) {
    const struct {
        const char* rtf;
        const char* text;
    } cases[] = {
        // The document's code page, GBK double bytes as two escapes (also split by a line break).
        {"{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3\\'ba\\'c3\r\n\\'ca\\'c0\\'bd\\'e7}", "你好世界"},
        // GBK bytes written raw.
        {"{\\rtf1\\ansi\\ansicpg936 \xC4\xE3\xBA\xC3}", "你好"},
        // The font's character set wins over a Western document code page.
        {"{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}"
         "\\f0 caf\\'e9 \\f1 \\'c4\\'e3\\'ba\\'c3}",
         "café 你好"},
        // Unicode escapes with the default skip count of one: the "?" stand-ins go.
        {"{\\rtf1\\ansi \\u20320?\\u22909?}", "你好"},
        // \uc2 skips the two GBK bytes written for readers without Unicode.
        {"{\\rtf1\\ansi\\ansicpg936\\uc2 \\u20320\\'c4\\'e3\\u22909\\'ba\\'c3!}", "你好!"},
        // \uc0 skips nothing; a negative value is the code unit + 65536; a group restores \uc.
        {"{\\rtf1\\ansi{\\uc0\\u-26938}\\u-26938?}", "集集"},
        // Escaped specials, a tab, a line break and a non-breaking space (plain text
        // shows the last two as a line break and a blank).
        {"{\\rtf1\\ansi a\\{b\\}c\\\\d\\tab x\\line y\\~z}", "a{b}c\\d\tx\ny z"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(c.rtf), QString::fromUtf8(c.text)) << c.rtf;
    QTextDocument doc;
    EXPECT_FALSE(shell::blnReadRtf("plain text", &doc));
    EXPECT_TRUE(doc.toPlainText().isEmpty());
}

TEST(RtfDocument, ParagraphsFormatsColoursAndSkippedGroups) {
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "{\\stylesheet{\\s0 Normal;}}{\\info{\\title \\'b1\\'ea\\'cc\\'e2}{\\author x}}\r\n"
        "{\\*\\generator Writer 1.0;}{\\*\\unknowndest hidden}\r\n"
        "\\pard\\fs20 \\'d0\\'ed\\'bf\\'c9\\'d0\\'ad\\'d2\\'e9\\par\r\n"
        "{\\b \\'b4\\'d6\\'cc\\'e5}\\b0  {\\i italic} {\\ul under\\ulnone  plain} {\\fs36 big}\\par\r\n"
        "\\cf1 red \\cf2 blue\\cf0  black "
        "{\\pict\\pngblip\\picw10\\pich10 89504e470d0a1a0a0000}"
        "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}\\par\r\n"
        "\\plain last}";
    QTextDocument doc;
    ASSERT_TRUE(shell::blnReadRtf(rtf, &doc));
    EXPECT_EQ(doc.toPlainText(), QString::fromUtf8("许可协议\n粗体 italic under plain big\nred blue black link\nlast"));
    EXPECT_EQ(doc.blockCount(), 4);
    EXPECT_EQ(formatOf(doc, QString::fromUtf8("粗体")).fontWeight(), QFont::Bold);
    EXPECT_NE(formatOf(doc, QStringLiteral("italic")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(doc, QStringLiteral("italic")).fontItalic());
    EXPECT_TRUE(formatOf(doc, QStringLiteral("under")).fontUnderline());
    EXPECT_FALSE(formatOf(doc, QStringLiteral("plain")).fontUnderline());
    EXPECT_EQ(formatOf(doc, QStringLiteral("big")).fontPointSize(), 18.0);
    EXPECT_EQ(formatOf(doc, QString::fromUtf8("许可")).fontPointSize(), 10.0);
    EXPECT_EQ(formatOf(doc, QStringLiteral("red")).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatOf(doc, QStringLiteral("blue")).foreground().color(), QColor(0, 0, 255));
    EXPECT_FALSE(formatOf(doc, QStringLiteral("black")).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatOf(doc, QStringLiteral("last")).fontPointSize(), formatOf(doc, QString()).fontPointSize());

    // The viewer shows it, and a second document replaces the first.
    QTemporaryDir dir;
    testsupport::writeBytes(dir.filePath("agreement.rtf"), rtf);
    testsupport::writeBytes(dir.filePath("second.rtf"), "{\\rtf1\\ansi \\u20108?\\u21464?}");
    frmCommonView view;
    view.subLoadFile(dir.filePath("agreement.rtf"));
    EXPECT_TRUE(view.rtxtLicense->toPlainText().startsWith(QString::fromUtf8("许可协议\n粗体")));
    view.subLoadFile(dir.filePath("second.rtf"));
    EXPECT_EQ(view.rtxtLicense->toPlainText(), QString::fromUtf8("二变"));
}
