// The INI profile class.
#include "common/cProfile.h"

#include "platform/text/CodePage.h"
#include "tests/support/FileBytes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::writeBytes;

TEST(Profile, ReadsStringsAndNumbersWithDefaults)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("setting.ini");
    writeBytes(path, text::toGb18030(u"[NewsChannel]\r\nCycle=12\r\nName=新闻\r\nEmpty=\r\n"
                                     "Bad=abc\r\nHalf=2.5\r\nHalf3=3.5\r\nBig=40000\r\nNeg=-32768\r\n"
                                     "Long="_qs + QString(300, u'x') + u"\r\n"_qs));
    cProfile p;
    ASSERT_TRUE(p.ReadFile(path));
    EXPECT_EQ(p.File(), path);
    EXPECT_TRUE(p.Read());

    EXPECT_EQ(p.GetValueS("newschannel", "NAME", "d"), u"新闻"_qs);
    EXPECT_EQ(p.GetValueS("NewsChannel", "Empty", "d"), u"d"_qs); // empty value: the default
    EXPECT_EQ(p.GetValueS("Other", "Name", "d"), u"d"_qs);
    EXPECT_EQ(p.GetValueS("NewsChannel", "Long", ""), QString(254, u'x'));

    const struct {
        const char* key;
        int def, expected;
    } ints[] = {
        {"Cycle", 5, 12}, {"Bad", 5, 0},   {"Missing", 5, 5}, {"Empty", 7, 7},
        {"Half", 0, 2},   {"Half3", 0, 4}, {"Big", 5, 0},     {"Neg", 0, -32768},
    };
    for (const auto& c : ints)
        EXPECT_EQ(p.GetValueI("NewsChannel", c.key, c.def), c.expected) << c.key;
}

TEST(Profile, MissingFileIsCreatedBySetValue)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("new.ini");
    cProfile p;
    EXPECT_FALSE(p.ReadFile(path));
    EXPECT_EQ(p.File(), path);
    EXPECT_EQ(p.GetValueS("S", "K", "def"), u"def"_qs);
    EXPECT_NE(p.SetValue(u"新闻"_qs, "LastTime", "2008-04-03 10:00:00"), 0);
    EXPECT_TRUE(p.Read());
    EXPECT_EQ(p.GetValueS(u"新闻"_qs, "lasttime", ""), u"2008-04-03 10:00:00"_qs);
    EXPECT_NE(p.SetValue(u"新闻"_qs, "LastTime", "", true), 0);
    EXPECT_EQ(p.GetValueS(u"新闻"_qs, "LastTime", "gone"), u"gone"_qs);

    EXPECT_FALSE(p.ReadFile(dir.path())); // a folder is not a file

    cProfile unbound;
    EXPECT_FALSE(unbound.Read());
    EXPECT_EQ(unbound.SetValue("S", "K", "V"), 0);
    EXPECT_EQ(unbound.GetValueI("S", "K", 3), 3);
}
