// Text and date utilities.
#include "common/basText.h"

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

TEST(TextUtil, TrimCJKSpace)
{
    const struct {
        QString in, out;
    } cases[] = {
        {u"  中  文  "_qs, u"中文"_qs},
        {u"a   b"_qs, u"a b"_qs},
        {u"   "_qs, QString()},
        {u"a 中 b"_qs, u"a中b"_qs},           // blank beside a Chinese character goes
        {u" Qt  编程 入门 "_qs, u"Qt编程入门"_qs},
        {u"ab\tcd"_qs, u"ab\tcd"_qs},          // a tab is not a blank
        {u"中\u3000文"_qs, u"中\u3000文"_qs},   // nor is the full-width space
    };
    for (const auto& c : cases)
        EXPECT_EQ(strTrimCJKSpace(c.in), c.out) << c.in.toStdString();
}

TEST(TextUtil, ReplaceAllFromStart)
{
    qsizetype start = 1;
    EXPECT_EQ(strReplace("a'b'c", "'", "''", start), u"a''b''c"_qs);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(strReplace("abc", "", "x"), u"abc"_qs);
    EXPECT_EQ(strReplace("", "a", "x"), QString());
    start = 4;
    EXPECT_EQ(strReplace("aXaXa", "a", "b", start), u"aXaXb"_qs);
    start = 0;
    EXPECT_EQ(strReplace("aa", "a", "aa", start), u"aaaa"_qs);

    // No length limit: every quote of a long value is doubled.
    const QString longText = QString(40000, u'x') + u'\'' + QString(40000, u'y') + u'\'';
    const QString quoted = strReplace(longText, "'", "''");
    EXPECT_EQ(quoted.count(u"''"), 2);
    EXPECT_EQ(quoted.size(), longText.size() + 2);
}

TEST(TextUtil, SplitWalksAList)
{
    QString s = "01,02";
    EXPECT_EQ(varSplit(s, ","), u"01"_qs);
    EXPECT_EQ(s, u"02"_qs);
    EXPECT_EQ(varSplit(s, ","), u"02"_qs);
    EXPECT_EQ(s, QString());
    EXPECT_EQ(varSplit(s, ","), QString());
    EXPECT_EQ(s, QString());

    s = "a::b";
    EXPECT_EQ(varSplit(s, "::"), u"a"_qs);
    EXPECT_EQ(s, u"b"_qs);
    s = "abc";
    EXPECT_EQ(varSplit(s, ""), u"abc"_qs); // an empty delimiter never loops a caller
    EXPECT_EQ(s, QString());

    s = QString(40000, u'x') + u",tail"_qs; // a delimiter far into the text
    EXPECT_EQ(varSplit(s, ",").size(), 40000);
    EXPECT_EQ(s, u"tail"_qs);
}

TEST(TextUtil, CutBetweenMarks)
{
    QString s = "x$abc;y";
    bool ok = false;
    EXPECT_EQ(strCutBetween(s, "$", ";", &ok), u"abc"_qs);
    EXPECT_TRUE(ok);
    EXPECT_EQ(s, u"y"_qs);

    s = "no mark";
    EXPECT_EQ(strCutBetween(s, "$", ";", &ok), QString());
    EXPECT_TRUE(ok);
    EXPECT_EQ(s, QString());

    s = "a$bc";
    EXPECT_EQ(strCutBetween(s, "$", ";", &ok), QString());
    EXPECT_FALSE(ok);
    EXPECT_EQ(s, u"a$bc"_qs); // unchanged on failure

    s = "a;b.c;d"; // closing mark searched from the opening mark's own position
    EXPECT_EQ(strCutBetween(s, ";", ".", &ok), u"b"_qs);
    EXPECT_EQ(s, u"c;d"_qs);
    s = "x;;y"; // same mark twice: overlap
    EXPECT_EQ(strCutBetween(s, ";", ";", &ok), QString());
    EXPECT_FALSE(ok);
}

TEST(TextUtil, DoubleByte)
{
    EXPECT_TRUE(blnIsDoubleByte(u"中"_qs));
    EXPECT_TRUE(blnIsDoubleByte(u"ａ"_qs));
    EXPECT_FALSE(blnIsDoubleByte(u"a"_qs));
    EXPECT_FALSE(blnIsDoubleByte(QString()));
    EXPECT_TRUE(blnIsDoubleByte(u"ab"_qs));
}

TEST(TextUtil, FormatDate)
{
    const QString f = "yyyy-mm-dd";
    EXPECT_EQ(strFormatDate(QDate(2008, 4, 3), f), u"2008-04-03"_qs);
    EXPECT_EQ(strFormatDate(QDateTime(QDate(2008, 4, 3), QTime(23, 59)), f), u"2008-04-03"_qs);
    EXPECT_EQ(strFormatDate(QVariant(), f), QString());
    const struct {
        QString in, out;
    } cases[] = {
        {"2008/4/3 10:20:30", "2008-04-03"},
        {"2008.12.31", "2008-12-31"},
        {"2008-04-03", "2008-04-03"},
        {u"民国90年"_qs, "2001-01-01"},
        {u"民國89年5月"_qs, "2000-01-01"},
        {"90", "1990-01-01"},
        {"51", "1951-01-01"},
        {"50", "2050-01-01"},
        {"00", "2000-01-01"},
        {"2001", "2001-01-01"},
        {"2001-7", "2001-07-01"},
        {u"2008年4月"_qs, "2008-01-01"},
        {"abc", ""},
        {"2008-13-40", "2008-13-40"}, // not a date: the value as given
    };
    for (const auto& c : cases)
        EXPECT_EQ(strFormatDate(c.in, f), c.out) << c.in.toStdString();
    EXPECT_EQ(strFormatDate("2008/4/3", "yy/m/d"), u"08/4/3"_qs);
}
