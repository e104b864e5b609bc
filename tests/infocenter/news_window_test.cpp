// The news window offscreen: showing stored items, the read mark, ticking and
// deleting, the settings, closing during a check, and the channel check
// against a loopback server.
#include "NewsFixture.h"

#include "LoopbackHttp.h"
#include "infocenter/InfoCenterService.h"
#include "infocenter/LocalBrowser.h"
#include "infocenter/cHttpDownload.h"
#include "infocenter/frmNewsManager.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/UrlOpener.h"

#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <sys/stat.h>

using newstest::newsXml;
using newstest::reply;
using newstest::replyRow;
using testhttp::LoopbackHttp;
using testhttp::Route;

namespace {

// A desktop without a browser: every address is refused.
class RefusingUrlOpener : public ui::UrlOpener {
public:
    RefusingUrlOpener() : previous_(&ui::UrlOpener::current()) { install(this); }
    ~RefusingUrlOpener() override { install(previous_); }
    bool open(const QUrl& url) override {
        refused.append(url);
        return false;
    }
    QList<QUrl> refused;

private:
    ui::UrlOpener* previous_;
};

class NewsWindowTest : public newstest::ProgramFolder {
protected:
    void TearDown() override {
        delete form;
        g_varNewsChannels = DBResultSet();
        ProgramFolder::TearDown();
    }
    frmNewsManager* open() {
        form = new frmNewsManager;
        form->show();
        return form;
    }
    QStringList entryKeys() const {
        QStringList keys;
        for (int i = 0; i < form->lvTree->topLevelItemCount(); ++i)
            keys.append(form->lvTree->topLevelItem(i)->data(0, frmNewsManager::KeyRole).toString());
        return keys;
    }
    QString icon(const QString& key) const {
        return form->entry(key)->data(0, frmNewsManager::IconKeyRole).toString();
    }
    void setChannels(const QList<QPair<QString, QString>>& channels) {
        DBResultSet t(int(channels.size()), 3);
        for (int i = 0; i < channels.size(); ++i) {
            t.setCell(0, 2 + i, channels[i].first);
            t.setCell(2, 2 + i, channels[i].second);
        }
        g_varNewsChannels = t;
    }
    void fastQueues() {
        for (cHttpDownload* q : {form->m_CheckNews, form->m_HttpDownload})
            q->setMoveOnDelay(0);
    }
    bool waitIdle() {
        return QTest::qWaitFor(
            [this] {
                return !form->m_CheckNews->StillExecuting() && !form->m_HttpDownload->StillExecuting() &&
                       !form->picProcess->isVisible();
            },
            10000);
    }

    frmNewsManager* form = nullptr;
    ui::ScriptedDialogService dialogs;
    ui::RecordingUrlOpener opener;
};

} // namespace

TEST_F(NewsWindowTest, ShowsEachKindOfItem) {
    store("t1", newsXml("t1", u"文字消息"_qs, "T", u"正文内容"_qs));
    store("w1", newsXml("w1", "page", "W"));
    testsupport::writeBytes(
        news() + "w1/index.htm",
        "<html><body><p>Local page</p><img src=\"http://127.0.0.1:1/x.png\"></body></html>");
    store("l1", newsXml("l1", "link", "L", "https://example.org/a?b=1&c=2"));
    store("l2", newsXml("l2", "bad link", "L", "javascript:alert(1)"));
    store("x1", newsXml("x1", "lower", "t", "not shown"));
    open();
    EXPECT_EQ(form->windowTitle(), u"消息管理器"_qs);
    EXPECT_EQ(form->lvTree->headerItem()->text(0), u"消息列表"_qs);
    EXPECT_EQ(entryKeys(), (QStringList{"Kl1", "Kl2", "Kt1", "Kw1", "Kx1"}));
    EXPECT_EQ(form->headerState(), "UnChecked");
    // The first entry is shown at once.
    EXPECT_EQ(form->lvTree->currentItem(), form->entry("Kl1"));
    EXPECT_EQ(form->picStack->currentWidget(), form->wbNews);
    EXPECT_EQ(form->lblIssue->text(), u"图书馆"_qs);

    form->subShowEntry(form->entry("Kt1"));
    EXPECT_EQ(form->picStack->currentWidget(), form->txtNews);
    EXPECT_EQ(form->txtNews->toPlainText(), u"正文内容"_qs);
    EXPECT_EQ(form->lblSubject->text(), u"文字消息"_qs);
    EXPECT_EQ(form->lblTime->text(), "2024-01-01 08:00");

    form->subShowEntry(form->entry("Kw1"));
    EXPECT_EQ(form->picStack->currentWidget(), form->wbNews);
    EXPECT_TRUE(form->wbNews->toPlainText().contains("Local page"));

    // A link opens in the desktop's browser, and only http(s) ones.
    form->subShowEntry(form->entry("Kl1"));
    const QString html = form->wbNews->toHtml();
    EXPECT_TRUE(html.contains("https://example.org/a?b=1&amp;c=2"));
    emit form->wbNews->anchorClicked(QUrl("https://example.org/a?b=1&c=2"));
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opener.opened[0], QUrl("https://example.org/a?b=1&c=2"));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    form->subShowEntry(form->entry("Kl2"));
    EXPECT_FALSE(form->wbNews->toHtml().contains("href"));
    // An address no browser opens is shown with a word that it cannot be opened.
    EXPECT_TRUE(form->wbNews->toPlainText().startsWith("javascript:alert(1)"));
    EXPECT_TRUE(form->wbNews->toPlainText().contains(u"无法在浏览器中打开"_qs));
    emit form->wbNews->anchorClicked(QUrl("javascript:alert(1)"));
    emit form->wbNews->anchorClicked(QUrl("file:///etc/passwd"));
    EXPECT_EQ(opener.opened.size(), 1);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    {
        // A desktop without a browser: the click says so.
        RefusingUrlOpener none;
        form->subShowEntry(form->entry("Kl1"));
        emit form->wbNews->anchorClicked(QUrl("https://example.org/a?b=1&c=2"));
        ASSERT_EQ(none.refused.size(), 1);
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_TRUE(dialogs.lastText().contains(u"无法打开链接"_qs));
        EXPECT_TRUE(dialogs.lastText().contains("https://example.org/a?b=1&c=2"));
    }

    // "t" is no text item: only the header labels change.
    form->subShowEntry(form->entry("Kt1"));
    form->subShowEntry(form->entry("Kx1"));
    EXPECT_EQ(form->lblSubject->text(), "lower");
    EXPECT_EQ(form->txtNews->toPlainText(), u"正文内容"_qs);
}

TEST_F(NewsWindowTest, TickAllAndDeleteAfterTheQuestion) {
    store("a", newsXml("a", "A", "T"));
    store("b", newsXml("b", "B", "T"));
    store("c", newsXml("other-id", "C", "T")); // deleted by its folder, not by its id
    store("d", "<News><NewsID>d");             // does not parse
    QDir().mkpath(news() + "other-id");
    testsupport::writeBytes(news() + "other-id/keep.txt", "keep");
    open();
    ASSERT_EQ(entryKeys(), (QStringList{"Ka", "Kb", "Kother-id", "K/d"}));

    form->lvTree->header()->sectionClicked(0);
    EXPECT_EQ(form->headerState(), "Checked");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form->lvTree->topLevelItem(i)->checkState(0), Qt::Checked);
    form->lvTree_ColumnClick();
    EXPECT_EQ(form->headerState(), "UnChecked");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form->lvTree->topLevelItem(i)->checkState(0), Qt::Unchecked);

    // Nothing ticked and OK: nothing goes, the first entry is shown again.
    dialogs.answers = {ui::BoxAnswer::Ok};
    form->tbStandard->clickItem("Delete");
    EXPECT_EQ(entryKeys().size(), 4);
    EXPECT_EQ(form->lvTree->currentItem(), form->entry("Ka"));

    form->entry("Kb")->setCheckState(0, Qt::Checked);
    form->entry("Kother-id")->setCheckState(0, Qt::Checked);
    form->entry("K/d")->setCheckState(0, Qt::Checked);
    dialogs.answers = {ui::BoxAnswer::Cancel};
    form->tbStandard->clickItem("Delete");
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown.last().text, u"是否确定删除您所选择的消息？"_qs);
    EXPECT_EQ(dialogs.shown.last().title, u"删除消息"_qs);
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Question);
    EXPECT_EQ(entryKeys().size(), 4);

    dialogs.answers = {ui::BoxAnswer::Ok};
    form->tbStandard->clickItem("Delete");
    EXPECT_EQ(entryKeys(), (QStringList{"Ka"}));
    EXPECT_EQ(allFiles(), (QStringList{"InfoCenter/News/a/news.xml", "InfoCenter/News/other-id/keep.txt"}));

    form->entry("Ka")->setCheckState(0, Qt::Checked);
    dialogs.answers = {ui::BoxAnswer::Ok};
    form->subDeleteNews();
    EXPECT_EQ(form->lvTree->topLevelItemCount(), 0);
    EXPECT_EQ(form->lblSubject->text(), "");
    EXPECT_EQ(form->picStack->currentWidget(), form->txtNews);
}

TEST_F(NewsWindowTest, SettingsAreReadBeforeShowingAndABadTimeoutIsReported) {
    open();
    EXPECT_TRUE(form->blnReadNewsSetting()); // no file
    EXPECT_TRUE(dialogs.shown.isEmpty());
    testsupport::writeBytes(setting(), "[NewsChannel]\r\nCheckCycle=2\r\nTimeout=x\r\n");
    EXPECT_FALSE(form->blnReadNewsSetting());
    EXPECT_EQ(form->m_lngCheckCycle, 2);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.lastText().contains("Timeout"));
    delete form;
    form = nullptr;

    // Through the service: the window still opens.
    dialogs.clear();
    QWidget owner;
    infocenter::infoCenterService().showNewsManager(&owner);
    form = frmNewsManager::instance();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->parentWidget(), &owner);
    EXPECT_EQ(dialogs.shown.size(), 1);
    infocenter::infoCenterService().showNewsManager(&owner); // again: the same window, settings read again
    EXPECT_EQ(frmNewsManager::instance(), form);
    EXPECT_EQ(dialogs.shown.size(), 2);
    form->setAttribute(Qt::WA_DeleteOnClose, false);
    form->setParent(nullptr);
}

TEST_F(NewsWindowTest, WithoutChannelsTheCheckOnlyWarns) {
    open();
    form->tbStandard->clickItem("Check");
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.lastText(), u"没有设定消息频道！"_qs);
    EXPECT_EQ(dialogs.shown[0].title, u"提示"_qs);
    EXPECT_EQ(dialogs.shown[0].icon, ui::BoxIcon::Warning);
    EXPECT_FALSE(form->m_CheckNews->StillExecuting());
    EXPECT_EQ(form->m_CheckNews->DownloadListCount(), 0);
    EXPECT_FALSE(form->picProcess->isVisible());
    form->tbStandard->clickItem("Option"); // does nothing
    EXPECT_EQ(dialogs.shown.size(), 1);
}

TEST_F(NewsWindowTest, ChannelCheckStoresListsAndFetchesPages) {
    LoopbackHttp server;
    const QString page = server.base() + "/pages/p1.htm";
    server.route(
        "/a/CheckLastNews.aspx",
        reply({replyRow("n1", u"第一条"_qs, "T", "2024-05-03 09:00"),
               replyRow("old", u"更新后"_qs, "T", "2024-04-01"), replyRow("", "empty id", "T", "2030-01-01"),
               replyRow("../escape", "dots", "T", "2030-01-01"), replyRow("a/b", "slash", "T", "2030-01-01"),
               replyRow("..", "up", "T", "2030-01-01"), replyRow("w1", "page", "W", "2024-05-02", page),
               replyRow("n2", u"重复之后的新条目"_qs, "T", "2024-05-01")}));
    server.route(
        "/b/CheckLastNews.aspx",
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><ds><table><news_id>n3</news_id>"
                       "<subject>小写</subject><issue_time>2024-05-09 08:00</issue_time></table></ds>")
            .toUtf8());
    server.route("/c/CheckLastNews.aspx", "server error", 500);
    server.route("/d/CheckLastNews.aspx", "no xml here");
    server.route("/pages/p1.htm", "<html><body><p>fetched page</p></body></html>");
    store("old", newsXml("old", u"旧的"_qs, "T"));

    open();
    fastQueues();
    form->m_strLastNewsTime = "2024-04-30 17:45";
    setChannels({{"a", server.base() + "/a/"},
                 {"b", server.base() + "/b/"},
                 {"c", server.base() + "/c/"},
                 {"d", server.base() + "/d/"},
                 {"../bad", server.base() + "/a/"}});
    form->tbStandard->clickItem("Check");
    EXPECT_TRUE(form->picProcess->isVisible());
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(dialogs.shown.isEmpty());

    QStringList asked;
    for (const QByteArray& r : server.requests)
        asked.append(QString::fromLatin1(r));
    EXPECT_TRUE(asked.contains("GET /a/CheckLastNews.aspx?lasttime=2024-04-30 HTTP/1.1"));
    EXPECT_TRUE(asked.contains("GET /d/CheckLastNews.aspx?lasttime=2024-04-30 HTTP/1.1"));
    EXPECT_EQ(asked.size(), 5); // four channels and one page

    // Stored and listed, unread; the known item keeps one entry with its new text.
    EXPECT_EQ(entryKeys(), (QStringList{"Kold", "Kn1", "Kw1", "Kn2", "Kn3"}));
    EXPECT_EQ(form->entry("Kold")->text(0), u"更新后"_qs);
    EXPECT_EQ(icon("Kn2"), "UnReaded");
    EXPECT_EQ(icon("Kold"), "UnReaded");
    EXPECT_EQ(form->entry("Kn3")->text(0), u"小写"_qs);
    EXPECT_EQ(form->m_strLastNewsTime, "2024-05-09 08:00");
    // Replies deleted; nothing written outside the news folder; no item of an unsafe id.
    QStringList files = allFiles();
    files.sort();
    EXPECT_EQ(files, (QStringList{"InfoCenter/News/n1/news.xml", "InfoCenter/News/n2/news.xml",
                                  "InfoCenter/News/n3/news.xml", "InfoCenter/News/old/news.xml",
                                  "InfoCenter/News/w1/index.htm", "InfoCenter/News/w1/news.xml"}));
    NewsItem n1;
    blnReadNewsFile(news() + "n1/news.xml", n1);
    EXPECT_EQ(n1.Content, u"正文第一条"_qs);
    EXPECT_EQ(n1.IssueOrgName, u"总馆"_qs);

    form->subShowEntry(form->entry("Kw1"));
    EXPECT_TRUE(form->wbNews->toPlainText().contains("fetched page"));

    // The list of a new opening shows them as read.
    delete form;
    open();
    EXPECT_EQ(icon("Kn1"), "Readed");
}

TEST_F(NewsWindowTest, AnUnreadEntryIsMarkedReadTwoSecondsAfterShowing) {
    LoopbackHttp server;
    server.route("/a/CheckLastNews.aspx",
                 reply({replyRow("u1", "one", "T", "2024-05-01"), replyRow("u2", "two", "T", "2024-05-02")}));
    open();
    fastQueues();
    setChannels({{"a", server.base() + "/a/"}});
    form->subCheckNews();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(form->tmReaded->interval(), 2000);
    form->tmReaded->setInterval(50);
    form->subShowEntry(form->entry("Ku1"));
    EXPECT_TRUE(form->tmReaded->isActive());
    form->lvTree->setCurrentItem(form->entry("Ku2"));
    QTest::qWait(150);
    // The mark goes to the entry selected when the time is up.
    EXPECT_EQ(icon("Ku2"), "Readed");
    EXPECT_EQ(icon("Ku1"), "UnReaded");
}

TEST_F(NewsWindowTest, ClosingDuringACheckAsksAndStopsBothQueues) {
    LoopbackHttp server;
    Route silent;
    silent.mode = Route::Silent;
    server.route("/s/CheckLastNews.aspx", silent);
    open();
    setChannels({{"s", server.base() + "/s/"}});
    form->m_lngTimeout = 0;
    form->subCheckNews();
    ASSERT_TRUE(form->m_CheckNews->StillExecuting());

    dialogs.answers = {ui::BoxAnswer::Cancel};
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->m_CheckNews->StillExecuting());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.lastText(), u"关闭此窗体将中止正在进行的操作，您是否确定关闭此窗口？"_qs);
    EXPECT_EQ(dialogs.shown[0].title, u"提示"_qs);

    dialogs.answers = {ui::BoxAnswer::Ok};
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->m_CheckNews->StillExecuting());
    EXPECT_FALSE(form->m_HttpDownload->StillExecuting());
    EXPECT_TRUE(form->m_NewsItems.isEmpty());
}

TEST_F(NewsWindowTest, APageShowsOnlyFilesOfItsOwnFolderAndNotTooMuch) {
    store("w1", newsXml("w1", "page", "W"));
    store("w2", newsXml("w2", "other", "W"));
    store("w3", newsXml("w3", "heavy", "W"));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QDir().mkpath(news() + "w1/sub");
    ASSERT_TRUE(image.save(news() + "w1/in.png"));
    ASSERT_TRUE(image.save(news() + "w1/sub/deep.png"));
    ASSERT_TRUE(image.save(news() + "w2/other.png"));
    ASSERT_TRUE(QFile::link(news() + "w2/other.png", news() + "w1/away.png"));
    ASSERT_TRUE(QFile::link("/dev/zero", news() + "w1/zero.png"));
    ASSERT_EQ(mkfifo(QFile::encodeName(news() + "w1/fifo.png").constData(), 0600), 0);
    QFile big(news() + "w1/big.png");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(LocalBrowser::kMaxFileBytes + 1));
    big.close();
    testsupport::writeBytes(news() + "w1/index.htm",
                            "<html><body><p>Own page</p><img src=\"in.png\"><img src=\"/dev/zero\">"
                            "<img src=\"zero.png\"><img src=\"fifo.png\"><img src=\"big.png\"></body></html>");
    testsupport::writeBytes(news() + "w3/index.htm", "<html><body><p>Heavy page</p></body></html>");
    const qint64 piece = LocalBrowser::kMaxPageBytes / 4; // within the cap of one file
    for (int i = 1; i <= 5; ++i) {
        QFile f(news() + QStringLiteral("w3/a%1.png").arg(i));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(piece));
    }
    open();
    auto* browser = static_cast<LocalBrowser*>(form->wbNews);
    // What the page gets for a name; never a null value, on which the
    // document would read the file itself.
    const auto shown = [&](const QUrl& url) {
        const QVariant v = browser->loadResource(QTextDocument::ImageResource, url);
        EXPECT_FALSE(v.isNull()) << url.toString().toStdString();
        return !v.toByteArray().isEmpty();
    };
    form->subShowEntry(form->entry("Kw1"));
    ASSERT_TRUE(browser->toPlainText().contains("Own page"));
    const struct {
        const char* src;
        bool shown;
    } cases[] = {
        {"in.png", true},
        {"sub/deep.png", true},
        {"/dev/zero", false},
        {"file:///dev/zero", false},
        {"zero.png", false},  // a link to a device
        {"fifo.png", false},  // a pipe is never opened
        {"away.png", false},  // a link out of the folder
        {"../w2/other.png", false},
        {"big.png", false},   // over the cap of one file
        {"index.htm/../../w2/other.png", false},
        {"http://127.0.0.1:1/x.png", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown(QUrl(QString::fromUtf8(c.src))), c.shown)
            << c.src;
    EXPECT_LT(browser->pageBytes(), 4096);

    // One page loads at most kMaxPageBytes; the next showing starts afresh.
    form->subShowEntry(form->entry("Kw3"));
    ASSERT_TRUE(browser->toPlainText().contains("Heavy page"));
    const auto load = [&](int i) {
        return shown(QUrl(QStringLiteral("a%1.png").arg(i)));
    };
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(load(i)) << i;
    EXPECT_FALSE(load(4)); // the page's own bytes and three pieces leave less than a piece
    EXPECT_LE(browser->pageBytes(), LocalBrowser::kMaxPageBytes);
    form->subShowEntry(form->entry("Kw1"));
    form->subShowEntry(form->entry("Kw3"));
    EXPECT_TRUE(load(4));

    // Another item's folder is not this page's.
    form->subShowEntry(form->entry("Kw2"));
    EXPECT_TRUE(browser->toPlainText().isEmpty());
    EXPECT_FALSE(shown(QUrl::fromLocalFile(news() + "w1/in.png")));
}

TEST_F(NewsWindowTest, AReplyOfManyRowsFillsTheListWhileTheWindowAnswers) {
    const int n = 3 * frmNewsManager::kRowsPerTurn + 50; // four turns of the event loop
    QStringList rows;
    for (int i = 0; i < n; ++i)
        rows.append(replyRow(QStringLiteral("m%1").arg(i), QStringLiteral("消息%1").arg(i), "T",
                             QStringLiteral("2024-06-01 %1").arg(i, 5, 10, QLatin1Char('0'))));
    rows.append(replyRow("m7", u"再来一次"_qs, "T", "2024-05-01")); // known by then: one entry
    LoopbackHttp server;
    server.route("/a/CheckLastNews.aspx", reply(rows));
    open();
    fastQueues();
    setChannels({{"a", server.base() + "/a/"}});
    // A timer of the window's event loop notes how far the list has come on each turn.
    QList<int> seen;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (form->readingReplies()) seen.append(form->lvTree->topLevelItemCount());
    });
    tick.start(0);
    form->tbStandard->clickItem("Check");
    // Each stored item is synced to disk: allow for a slow one.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->readingReplies() && !form->picProcess->isVisible(); },
                                120000));
    tick.stop();
    EXPECT_EQ(form->lvTree->topLevelItemCount(), n);
    ASSERT_GE(seen.size(), 2);
    EXPECT_GT(seen.first(), 0);
    EXPECT_LT(seen.last(), n);
    EXPECT_EQ(form->entry("Km7")->text(0), u"再来一次"_qs);
    EXPECT_EQ(form->entry(QStringLiteral("Km%1").arg(n - 1))->text(0), QStringLiteral("消息%1").arg(n - 1));
    EXPECT_EQ(form->m_strLastNewsTime, QStringLiteral("2024-06-01 %1").arg(n - 1, 5, 10, QLatin1Char('0')));
}
