// The help window and the feedback window offscreen.
#include "NewsFixture.h"

#include "infocenter/frmFeedbackManager.h"
#include "infocenter/frmHelp.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Units.h"
#include "platform/ui/UrlOpener.h"
#include "tests/support/PdfText.h"

#include <QPrinter>
#include <QTextBrowser>
#include <QTreeWidget>

using testsupport::writeBytes;

namespace {

class HelpTest : public newstest::ProgramFolder {
protected:
    QString module() const { return dir.path() + "/help/qnhelp.qorlan.lt4/"; }
    void book(const QString& name, const QString& toc) {
        QDir().mkpath(module() + name);
        writeBytes(module() + name + "/help_toc.xml", toc.toUtf8());
    }
    void configure(const QString& key, const QString& url) {
        writeBytes(setting(), QStringLiteral("[Server]\r\n%1=%2\r\n").arg(key, url).toUtf8());
    }
    // The tree as text: "title[child,child[...]]".
    static QString outline(QTreeWidgetItem* n) {
        QString s = n->text(0);
        if (n->childCount() == 0) return s;
        QStringList kids;
        for (int i = 0; i < n->childCount(); ++i)
            kids << outline(n->child(i));
        return s + "[" + kids.join(",") + "]";
    }
    QString tree(frmHelp& f) const {
        QStringList books;
        for (int i = 0; i < f.tvHelp->topLevelItemCount(); ++i)
            books << outline(f.tvHelp->topLevelItem(i));
        return books.join(" ");
    }
    ui::ScriptedDialogService dialogs;
    ui::RecordingUrlOpener opener;
};

} // namespace

TEST_F(HelpTest, CaptionsAndModuleFolders) {
    EXPECT_EQ(frmHelp::strHelpTitle("LT4"), u"翰澜帮助【流通委托】"_qs);
    EXPECT_EQ(frmHelp::strHelpTitle("Bm"), u"翰澜帮助【编目】"_qs);
    EXPECT_EQ(frmHelp::strHelpTitle("sys"), u"翰澜帮助【系统管理】"_qs);
    EXPECT_EQ(frmHelp::strHelpTitle("lt5"), u"翰澜帮助"_qs);
    EXPECT_TRUE(frmHelp::blnIsModuleHelpFolder("QNHELP.Qorlan.LT4", "lt4"));
    EXPECT_FALSE(frmHelp::blnIsModuleHelpFolder("qnhelp.qorlan.lt4.old", "lt4"));
    EXPECT_FALSE(frmHelp::blnIsModuleHelpFolder("qnhelp.qorlan.lt3", "lt4"));
    EXPECT_FALSE(frmHelp::blnIsModuleHelpFolder("qnhelp.lt4", "lt4"));
}

TEST_F(HelpTest, DepthSequences) {
    const struct {
        const char* entries;
        const char* tree;
        bool ok;
    } cases[] = {
        // chapter, page, page, then a page directly under the book
        {"<TOPIC1 name='A'/><TOPIC2 name='p1' href='1.htm'/><TOPIC2 name='p2' href='2.htm'/>"
         "<TOPIC1 name='p3' href='3.htm'/>",
         "B[A[p1,p2],p3]", true},
        // a page followed by a deeper entry: it has no parent
        {"<TOPIC1 name='p1' href='1.htm'/><TOPIC2 name='x' href='x.htm'/><TOPIC1 name='after'/>", "B[p1]",
         false},
        // a jump from 1 to 3
        {"<TOPIC1 name='A'/><TOPIC3 name='p' href='p.htm'/>", "B[A]", false},
        // parent keys are not cleared when the depth falls back
        {"<TOPIC1 name='A'/><TOPIC2 name='B'/><TOPIC1 name='C'/><TOPIC3 name='p' href='p.htm'/>",
         "B[A[B[p]],C]", true},
        // comments are no entries; "HREF" makes no page
        {"<!-- note --><TOPIC1 name='p' href='p.htm'/><!-- x --><TOPIC1 name='H' HREF='h.htm'/>", "B[p,H]",
         true},
        // a name without depth digits
        {"<TOPIC1 name='p' href='p.htm'/><TOPICx name='bad'/>", "B[p]", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries);
        frmHelp f;
        dialogs.clear();
        writeBytes(news() + "toc.xml", QStringLiteral("<toc title='B'>%1</toc>").arg(c.entries).toUtf8());
        EXPECT_EQ(f.blnLoadHelpToc(news() + "toc.xml", "/books/b"), c.ok);
        EXPECT_EQ(tree(f), c.tree);
        EXPECT_EQ(dialogs.shown.size(), c.ok ? 0 : 1);
    }
    frmHelp f;
    writeBytes(news() + "toc.xml", "<toc title='B'><TOPIC1 name='p' href='sub/p.htm'/></toc>");
    ASSERT_TRUE(f.blnLoadHelpToc(news() + "toc.xml", "/books/b"));
    EXPECT_EQ(f.tvHelp->topLevelItem(0)->child(0)->data(0, frmHelp::TagRole).toString(),
              "/books/b/sub/p.htm");
    EXPECT_EQ(f.tvHelp->topLevelItem(0)->data(0, frmHelp::ImageRole).toString(), "List");
}

TEST_F(HelpTest, TheWindowOnAModulesBooks) {
    book("a",
         "<toc title='使用说明'><TOPIC1 name='入门' href='p1.htm'/><TOPIC1 name='二' href='p2.htm'/></toc>");
    writeBytes(module() + "a/p1.htm",
               u"<html><body><p>第一页</p><a href='p2.htm'>下一页</a></body></html>"_qs.toUtf8());
    writeBytes(module() + "a/p2.htm", u"<html><body><p>第二页</p></body></html>"_qs.toUtf8());
    book("b", "<toc title='使用说明'><TOPIC1 name='dup' href='d.htm'/></toc>"); // same title
    book("c", "<toc title='坏的'><TOPIC1");                                     // not XML: skipped
    book("d", "<toc title='其他'><TOPIC1 name='ch'/><TOPIC2 name='p' href='x.htm'/></toc>");
    QDir().mkpath(dir.path() + "/help/qnhelp.qorlan.lt4.old/z");

    frmHelp f;
    f.m_strModuleID = "LT4";
    f.Form_Load();
    f.show();
    EXPECT_EQ(f.windowTitle(), u"翰澜帮助【流通委托】"_qs);
    EXPECT_EQ(tree(f), u"使用说明[入门,二] 其他[ch[p]]"_qs);
    ASSERT_EQ(dialogs.shown.size(), 1); // the repeated title
    EXPECT_TRUE(dialogs.lastText().contains(u"使用说明"_qs));
    EXPECT_TRUE(f.wbHelp->toPlainText().isEmpty()); // no help server configured

    // Pages, and Prev / Next by the browser's history.
    EXPECT_FALSE(f.tbStandard->isItemEnabled("Prev"));
    f.tvHelp_NodeClick(f.tvHelp->topLevelItem(0)->child(0));
    EXPECT_TRUE(f.wbHelp->toPlainText().contains(u"第一页"_qs));
    f.tvHelp_NodeClick(f.tvHelp->topLevelItem(0)); // a book: nothing
    EXPECT_TRUE(f.wbHelp->toPlainText().contains(u"第一页"_qs));
    emit f.wbHelp->anchorClicked(QUrl("p2.htm"));
    EXPECT_TRUE(f.wbHelp->toPlainText().contains(u"第二页"_qs));
    EXPECT_TRUE(f.tbStandard->isItemEnabled("Prev"));
    f.tbStandard->clickItem("Prev");
    EXPECT_TRUE(f.wbHelp->toPlainText().contains(u"第一页"_qs));
    EXPECT_TRUE(f.tbStandard->isItemEnabled("Next"));
    f.tbStandard->clickItem("Next");
    EXPECT_TRUE(f.wbHelp->toPlainText().contains(u"第二页"_qs));
    emit f.wbHelp->anchorClicked(QUrl::fromLocalFile(dir.path() + "/InfoCenter/setting.ini")); // outside help
    EXPECT_TRUE(f.wbHelp->toPlainText().contains(u"第二页"_qs));

    // Printing the page.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.path() + "/page.pdf");
    f.subPrintPage(&printer);
    const QStringList pages = testsupport::pdfPages(dir.path() + "/page.pdf");
    ASSERT_FALSE(pages.isEmpty());
    EXPECT_TRUE(pages[0].contains(u"第二页"_qs));

    // Expanding changes the image.
    f.tvHelp->expandItem(f.node(u"T"
                                u"TOPIC1"
                                u"ch"_qs));
    EXPECT_EQ(f.node(u"TTOPIC1ch"_qs)->data(0, frmHelp::ImageRole).toString(), "ListOpen");
}

TEST_F(HelpTest, ContentsPaneSplitterAndWidth) {
    book("a", "<toc title='t'><TOPIC1 name='p' href='p.htm'/></toc>");
    frmHelp f;
    f.m_strModuleID = "lt4";
    f.Form_Load();
    f.show();
    EXPECT_EQ(f.contentsWidth(), 2460);
    EXPECT_TRUE(f.tbStandard->isItemChecked("Cata"));

    f.tbStandard->clickItem("Cata"); // released: hidden
    EXPECT_FALSE(f.tvHelp->isVisible());
    EXPECT_EQ(f.contentsWidth(), 0);
    EXPECT_EQ(f.browseLeft() / 15, 30 / 15);
    EXPECT_EQ(f.tbStandard->item("Cata")->description(), u"显示目录"_qs);
    f.tbStandard->clickItem("Cata");
    EXPECT_TRUE(f.tvHelp->isVisible());
    EXPECT_EQ(f.contentsWidth(), 2500);
    EXPECT_EQ(f.tbStandard->item("Cata")->description(), u"隐藏目录"_qs);
    f.imgClose_Click();
    EXPECT_FALSE(f.tbStandard->isItemChecked("Cata"));
    EXPECT_FALSE(f.picHead->isVisible());
    f.tbStandard->clickItem("Cata");

    const int windowWidth = ui::units::pixelsToTwips(f.width());
    f.imgSplitter_MouseDown();
    EXPECT_TRUE(f.m_blnSplitterDrag);
    f.imgSplitter_MouseMove(-5000);
    EXPECT_EQ(f.barLeft(), 500);
    f.imgSplitter_MouseMove(100000);
    EXPECT_EQ(f.barLeft(), windowWidth - 500);
    f.imgSplitter_MouseUp();
    EXPECT_FALSE(f.m_blnSplitterDrag);
    EXPECT_EQ(f.contentsWidth(), f.backWidth() - 1500);

    f.resize(10, f.height());
    EXPECT_GE(ui::units::pixelsToTwips(f.width()), 3000 - 15);
}

TEST_F(HelpTest, NoHelpAndARemoteStartPage) {
    configure("HelpUrl", "http://help.example.org/lt4/");
    frmHelp f;
    f.m_strModuleID = "lt4";
    f.Form_Load();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.lastText(), u"没有找到相关帮助文档！"_qs);
    EXPECT_EQ(dialogs.shown[0].title, u"提示"_qs);
    EXPECT_TRUE(f.wbHelp->toHtml().contains("http://help.example.org/lt4/index.php"));
    emit f.wbHelp->anchorClicked(QUrl("http://help.example.org/lt4/index.php"));
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opener.opened[0].toString(), "http://help.example.org/lt4/index.php");
}

TEST_F(HelpTest, FeedbackPagesOpenInTheDesktopsBrowser) {
    frmFeedbackManager f;
    EXPECT_EQ(f.windowTitle(), u"反馈信息管理"_qs);
    f.tbToolbar->clickItem("Send"); // no server configured
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(opener.opened.isEmpty());

    configure("FeedbackUrl", "https://fb.example.org/");
    f.tbToolbar->clickItem("Send");
    f.tbToolbar->clickItem("View");
    f.tbToolbar_ButtonClick("Other");
    ASSERT_EQ(opener.opened.size(), 2);
    EXPECT_EQ(opener.opened[0].toString(),
              "https://fb.example.org/Pelmarin/ReportFeedback.aspx?mode=1&uid=SYS&uname=SYS");
    EXPECT_EQ(opener.opened[1].toString(),
              "https://fb.example.org/Pelmarin/FeedbackList.aspx?mode=1&uid=SYS&uname=SYS");
    EXPECT_TRUE(f.wbBrowse->toPlainText().contains("FeedbackList.aspx"));

    configure("FeedbackUrl", "javascript:alert(1)");
    f.tbToolbar->clickItem("View");
    EXPECT_EQ(opener.opened.size(), 2);
    EXPECT_EQ(dialogs.shown.size(), 2);
}
