// The please-wait window: registered while it lives, taken down by subCloseWaitMsg, blinking.

#include "common/basAuth.h"
#include "shell/frmWaitMsg.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(WaitWindow, RegistersItselfAndCloseWaitMsgTakesItDown)
{
    QPointer<frmWaitMsg> w = new frmWaitMsg;
    w->show();
    EXPECT_EQ(g_frmWaitMsg, w.data());
    EXPECT_FALSE(w->isEnabled());
    EXPECT_EQ(w->windowTitle(), QStringLiteral(" "));
    EXPECT_EQ(w->tmrBlink->interval(), 1000);
    EXPECT_TRUE(w->tmrBlink->isActive());

    subCloseWaitMsg();
    EXPECT_EQ(g_frmWaitMsg, nullptr);
    EXPECT_FALSE(w->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    subCloseWaitMsg(); // nothing left to close
}

TEST(WaitWindow, TextsBlinkAndAWindowDestroyedOtherwiseUnregisters)
{
    auto* w = new frmWaitMsg;
    w->show();
    for (bool shown : {false, true, false}) {
        w->tmrBlink_Timer();
        EXPECT_EQ(!w->lblMsg[0]->isHidden(), shown);
        EXPECT_EQ(!w->lblMsg[1]->isHidden(), shown);
    }
    delete w;
    EXPECT_EQ(g_frmWaitMsg, nullptr);
}

} // namespace
