// The look-up window opened from the main window's book-information command.

#include "tests/shell/ShellFixture.h"

#include "biblio/BookInfoService.h"
#include "biblio/frmBookInfo.h"
#include "shell/basLogin.h"

namespace {

class BookInfoWiring : public ShellTest {};

TEST_F(BookInfoWiring, MenuCommandOpensTheOneLookUpWindow)
{
    shell::Services::install(&biblio::bookInfoService());
    ASSERT_EQ(blnCheckWorker(QStringLiteral("0001"), QStringLiteral("ABC")), 0);
    frmMain* w = frmMain::load();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->menuCommandBar()->isItemEnabled(QStringLiteral("mnuStatBook")));
    w->menuItemClick(QStringLiteral("mnuStatBook"));
    QPointer<frmBookInfo> f = frmBookInfo::instance();
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->parentWidget(), w); // owned by the main window, not modal
    EXPECT_FALSE(f->isModal());
    f->close();
    w->menuItemClick(QStringLiteral("mnuStatBook"));
    EXPECT_EQ(frmBookInfo::instance(), f.data());
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(shownTexts().isEmpty()) << shownTexts().join('|').toStdString();
}

} // namespace
