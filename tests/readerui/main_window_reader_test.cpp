// The main window's reader items open the real reader windows: 读者信息查询
// on the desk's reader (or none), 条码读取规则 on the rule in memory.

#include "app/ReaderWindows.h"
#include "common/basAuth.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/Grid.h"
#include "reader/ReaderContext.h"
#include "reader/frmBarReadRule.h"
#include "reader/frmRedrDetail.h"
#include "reader/frmRedrInfo.h"
#include "tests/shell/ShellFixture.h"

#include <QComboBox>
#include <QCoreApplication>

namespace {

class MainWindowReaderTest : public ShellTest {};

} // namespace

TEST_F(MainWindowReaderTest, ReaderItemsOpenTheReaderWindows) {
    ASSERT_EQ(blnCheckWorker(QStringLiteral("0001"), QStringLiteral("ABC")), 0);
    shell::Services::install(&app::readerWindows());
    frmMain* w = frmMain::load();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->menuCommandBar()->isItemEnabled("mnuStatReader"));
    EXPECT_TRUE(w->menuCommandBar()->isItemEnabled("mnuOptionBarReadRule"));

    g_strCertID = QStringLiteral("DZ0020");
    w->menuItemClick(QStringLiteral("mnuStatReader"));
    ASSERT_TRUE(frmRedrInfo::loaded());
    frmRedrInfo* info = frmRedrInfo::form();
    EXPECT_EQ(info->parentWidget(), w);
    EXPECT_TRUE(info->isVisible());
    EXPECT_FALSE(info->isModal());
    EXPECT_EQ(g_strRedrID, "DZ0020");
    EXPECT_TRUE(g_strRedrBarcode == "88000020" || g_strRedrBarcode == "88000021")
        << g_strRedrBarcode.toStdString();
    EXPECT_EQ(info->vsRedrInfo->textMatrix(1, 2), "DZ0020");
    EXPECT_EQ(info->vsInfo->rows(), 7);

    // Opened again without a desk reader: set up afresh on none.
    info->cboQuery->setCurrentIndex(2);
    g_strCertID.clear();
    w->menuItemClick(QStringLiteral("mnuStatReader"));
    EXPECT_EQ(frmRedrInfo::form(), info);
    EXPECT_EQ(g_strRedrID, "");
    EXPECT_EQ(info->cboQuery->currentIndex(), 0);
    EXPECT_EQ(info->vsInfo->rows(), 1);

    w->menuItemClick(QStringLiteral("mnuOptionBarReadRule"));
    ASSERT_TRUE(frmBarReadRule::loaded());
    EXPECT_EQ(frmBarReadRule::form()->parentWidget(), w);
    EXPECT_TRUE(frmBarReadRule::form()->isVisible());

    shell::Services::reader().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmRedrInfo::loaded());
    EXPECT_FALSE(frmBarReadRule::loaded());
    g_strRedrID.clear();
}
