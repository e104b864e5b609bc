// Stored news items, the news settings and channel replies, without a window.
#include "NewsFixture.h"

#include "platform/text/CodePage.h"

#include <QDateTime>
#include <QFile>

using newstest::newsXml;
using newstest::ProgramFolder;
using testsupport::writeBytes;

namespace {
class NewsStoreTest : public ProgramFolder {};
} // namespace

TEST_F(NewsStoreTest, SettingsFile) {
    NewsSetting s{7, 8, "kept"};
    QString error;
    EXPECT_TRUE(blnReadNewsSettingFile(setting(), s, &error)); // no file: nothing read
    EXPECT_EQ(s.CheckCycle, 7);
    EXPECT_EQ(s.LastNewsTime, "kept");

    const struct {
        QString ini;
        bool ok;
        int cycle, timeout;
        QString last; // "now": the current time
    } cases[] = {
        {u"[NewsChannel]\r\nCheckCycle=3\r\nTimeout= 20 \r\nLastNewsTime=2024-05-01 上午\r\n"_qs, true, 3, 20,
         u"2024-05-01 上午"_qs},
        {"[newschannel]\r\ncheckcycle=1\r\nTIMEOUT=0\r\n", true, 1, 0, "now"},
        {"[NewsChannel]\r\nTimeout=5\r\n", false, 0, 0, ""},                   // CheckCycle missing
        {"[NewsChannel]\r\nCheckCycle=4\r\nTimeout=abc\r\n", false, 4, 0, ""}, // read up to the bad key
        {"[NewsChannel]\r\nCheckCycle=4\r\nTimeout=\r\n", false, 4, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini.toStdString());
        writeBytes(setting(), text::toGb18030(c.ini));
        NewsSetting r;
        error.clear();
        EXPECT_EQ(blnReadNewsSettingFile(setting(), r, &error), c.ok);
        EXPECT_EQ(r.CheckCycle, c.cycle);
        EXPECT_EQ(r.Timeout, c.timeout);
        if (c.last == "now")
            EXPECT_EQ(r.LastNewsTime, QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm"));
        else
            EXPECT_EQ(r.LastNewsTime, c.last);
        EXPECT_EQ(error.isEmpty(), c.ok);
    }
    writeBytes(setting(), "[NewsChannel]\r\nCheckCycle=1\r\nTimeout=0\r\n");
    ASSERT_TRUE(blnSaveNewsSettingFile(setting(), u"2025-02-03 时间"_qs));
    NewsSetting r;
    ASSERT_TRUE(blnReadNewsSettingFile(setting(), r, &error));
    EXPECT_EQ(r.LastNewsTime, u"2025-02-03 时间"_qs);
    EXPECT_TRUE(testsupport::readBytes(setting()).contains(text::toGb18030(u"时间"_qs)));
}

TEST_F(NewsStoreTest, StoredItemsAreListedByFolderName) {
    store("b2", "<NEWS><newsid> b2 </newsid><SUBJECT>second</SUBJECT><newstype>T</newstype>"
                "<issuetime> 2024-01-02 </issuetime><Other>x</Other></NEWS>");
    store("A1", newsXml("A1", u"第一"_qs, "W"));
    store("c3", "<News><NewsID>c3</NewsID><Subject>no org</Subject></News>");
    store("broken", "<News><NewsID>broken");
    store("dup", newsXml("A1", "same id", "T"));
    QDir().mkpath(news() + "empty"); // no news.xml: skipped

    const QList<NewsItem> items = listStoredNews(news());
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0].NewsID, "A1");
    EXPECT_EQ(items[0].Subject, u"第一"_qs);
    EXPECT_EQ(items[0].IssueOrgName, u"图书馆"_qs);
    EXPECT_EQ(items[1].NewsID, "b2");
    EXPECT_EQ(items[1].Subject, "second");
    EXPECT_EQ(items[1].IssueTime, "2024-01-02");
    EXPECT_EQ(items[2].Folder, "broken"); // unreadable: an empty item keyed by its folder
    EXPECT_EQ(items[2].Subject, "");
    EXPECT_EQ(strNewsKey(items[2]), "K/broken");
    EXPECT_EQ(items[3].NewsID, "c3");
    EXPECT_EQ(items[3].IssueOrgName, ""); // nothing carried over from the item before
    for (const NewsItem& i : items)
        EXPECT_TRUE(i.Readed);
}

TEST_F(NewsStoreTest, SavingWritesTheWholeFileInsideTheNewsFolderOnly) {
    NewsItem item;
    item.NewsID = "N1";
    item.Subject = u"标题 <&>"_qs;
    item.Content = "  spaced\r\nlines ";
    item.NewsType = "T";
    item.IssueTime = "2024-02-02 10:00";
    QDir().mkpath(news() + "N1");
    writeBytes(news() + "N1/news.xml", QByteArray(5000, 'z')); // older and longer
    ASSERT_TRUE(blnSaveNewsFile(news(), item));
    EXPECT_EQ(item.Folder, "N1");
    const QByteArray saved = testsupport::readBytes(news() + "N1/news.xml");
    EXPECT_FALSE(saved.contains('z'));
    EXPECT_LT(saved.indexOf("<NewsID>"), saved.indexOf("<Subject>"));
    EXPECT_LT(saved.indexOf("<IssueTime>"), saved.indexOf("<IssueOrgName"));
    NewsItem back;
    bool parsed = false;
    ASSERT_TRUE(blnReadNewsFile(news() + "N1/news.xml", back, &parsed));
    EXPECT_TRUE(parsed);
    EXPECT_EQ(back.Subject, item.Subject);
    EXPECT_EQ(back.Content, item.Content);

    const QStringList before = allFiles();
    for (const char* bad : {"", ".", "..", "../x", "a/b", "..\\..\\x", "x\\y"}) {
        NewsItem b;
        b.NewsID = bad;
        EXPECT_FALSE(blnSaveNewsFile(news(), b)) << bad;
        EXPECT_FALSE(blnDeleteNewsFolder(news(), bad)) << bad;
    }
    EXPECT_EQ(allFiles(), before);
    EXPECT_TRUE(blnDeleteNewsFolder(news(), "N1"));
    EXPECT_FALSE(QFile::exists(news() + "N1"));
    EXPECT_TRUE(QDir(news()).exists());
}

TEST_F(NewsStoreTest, ChannelReplies) {
    const QString path = news() + "tmpC.tmp";
    writeBytes(path, "<?xml version=\"1.0\"?><root><table><news_id> 1 </news_id><Subject>a</Subject>"
                     "<Content>c1</Content><Issue_Time>2024-05-01 09:00 </Issue_Time></table>"
                     "<Table><NEWS_ID>2</NEWS_ID><SUBJECT>b</SUBJECT><NEWS_TYPE>W</NEWS_TYPE>"
                     "<LINKURL>http://h/p</LINKURL></Table><Other/>"
                     "<y><TABLE><NEWS_ID>3</NEWS_ID></TABLE></y></root>");
    const QList<NewsItem> rows = parseNewsReply(path);
    ASSERT_EQ(rows.size(), 2); // rows nested deeper do not count
    EXPECT_EQ(rows[0].NewsID, "1");
    EXPECT_EQ(rows[0].IssueTime, "2024-05-01 09:00");
    EXPECT_EQ(rows[1].Content, ""); // never the row before's
    EXPECT_EQ(rows[1].LinkUrl, "http://h/p");
    EXPECT_FALSE(rows[0].Readed);

    writeBytes(path, "not xml at all");
    EXPECT_TRUE(parseNewsReply(path).isEmpty());
    EXPECT_TRUE(parseNewsReply(news() + "missing.tmp").isEmpty());

    EXPECT_EQ(strCheckNewsUrl("http://h/n/", "2024-03-05 10:20"),
              "http://h/n/CheckLastNews.aspx?lasttime=2024-03-05");
    EXPECT_EQ(strCheckNewsUrl("http://h/n/", "2024-3-5"),
              "http://h/n/CheckLastNews.aspx?lasttime=2024-03-05");
    EXPECT_EQ(strCheckNewsUrl("b/", "garbage"),
              "b/CheckLastNews.aspx?lasttime=" + QDate::currentDate().toString("yyyy-MM-dd"));

    QString last = "2024-03-05 10:20";
    for (const char* t : {"2024-03-06", "2024-01-01 00:00", "", "2024-03-06 07:00"})
        subRaiseLastNewsTime(last, t);
    EXPECT_EQ(last, "2024-03-06 07:00");
}
