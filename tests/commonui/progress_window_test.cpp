// The progress window and its class offscreen, with the clock of the estimate
// set by the test.

#include "common/clsProgressBar.h"
#include "common/frmShowRate.h"
#include "tests/support/QtPrinters.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        at = QDateTime(QDate(2026, 5, 4), QTime(10, 0, 0));
        clsProgressBar::setClock([this] { return at; });
    }
    void TearDown() override { clsProgressBar::setClock({}); }
    QDateTime at;
};

TEST_F(ProgressWindowTest, RangeValueAndTheWindow)
{
    clsProgressBar bar;
    frmShowRate* w = bar.window();
    EXPECT_EQ(bar.Max(), 100.0f);
    EXPECT_EQ(bar.Min(), 0.0f);
    EXPECT_EQ(bar.Title(), "任务进度");
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w->lblTitle->text(), "剩余时间：");
    bar.setMax(200);
    bar.setMin(10);
    bar.setValue(0.1); // held as a 32-bit float
    EXPECT_EQ(bar.Max(), 200.0f);
    EXPECT_EQ(bar.Min(), 10.0f);
    EXPECT_EQ(bar.Value(), 0.1f);
    EXPECT_EQ(w->prgTime->maximum(), 200);
    bar.setTitle("导出读者");
    EXPECT_EQ(w->windowTitle(), "导出读者");
    bar.Show();
    EXPECT_TRUE(w->isVisible());
}

TEST_F(ProgressWindowTest, ValueAddCountsAndEstimates)
{
    clsProgressBar bar;
    frmShowRate* w = bar.window();
    bar.Show();
    at = at.addSecs(10);
    bar.ValueAdd(25);
    EXPECT_EQ(bar.Value(), 25.0f);
    EXPECT_EQ(w->lblCount->text(), "总计 100条, 现 25条");
    EXPECT_EQ(w->lblRemain->text(), "00:00:30");
    EXPECT_EQ(w->prgTime->value(), 25);

    at = at.addSecs(50);
    bar.ValueAdd(100); // stops at Max
    EXPECT_EQ(bar.Value(), 100.0f);
    EXPECT_EQ(w->lblRemain->text(), "00:00:00");
    EXPECT_EQ(w->lblCount->text(), "总计 100条, 现 100条");

    const struct {
        qint64 elapsed;
        float max;
        float value;
        const char* text;
    } estimates[] = {
        {10, 100, 0, "00:00:00"},     // nothing done yet
        {1, 4, 1, "00:00:03"},
        {5, 3, 2, "00:00:02"},        // 2.5 to the even neighbour
        {7, 3, 2, "00:00:04"},        // 3.5 to the even neighbour
        {3600, 100, 1, "99:00:00"},   // hours go on past a day
        {0, 100, 50, "00:00:00"},
    };
    for (const auto& e : estimates)
        EXPECT_EQ(clsProgressBar::strRemainText(e.elapsed, e.max, e.value), e.text) << e.elapsed << " " << e.value;
    EXPECT_EQ(clsProgressBar::strCountText(0.5f, 1e10f), "总计 0.5条, 现 10000000000条");
}

TEST_F(ProgressWindowTest, RunPastMidnightKeepsCounting)
{
    at = QDateTime(QDate(2026, 5, 4), QTime(23, 59, 50));
    clsProgressBar bar;
    bar.Show();
    at = QDateTime(QDate(2026, 5, 5), QTime(0, 0, 10));
    bar.ValueAdd(50);
    EXPECT_EQ(bar.window()->lblRemain->text(), "00:00:20");
}

TEST_F(ProgressWindowTest, CancelLockSourceAndTopMost)
{
    QDialog owner;
    QAction action(nullptr);
    action.setEnabled(false);
    {
        clsProgressBar bar;
        bar.SetLockSource(&owner);
        EXPECT_FALSE(owner.isEnabled());
        bar.Show();
        EXPECT_FALSE(bar.Interrupt());
        bar.window()->cmdCancel->click();
        bar.window()->cmdCancel->click();
        EXPECT_TRUE(bar.Interrupt());
        EXPECT_TRUE(bar.window()->isVisible()); // the operation decides
        bar.TopMost(false);
        EXPECT_FALSE(bar.window()->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_TRUE(bar.window()->isVisible());
        bar.TopMost(true);
        EXPECT_TRUE(bar.window()->windowFlags() & Qt::WindowStaysOnTopHint);
    }
    EXPECT_TRUE(owner.isEnabled());
    {
        clsProgressBar bar;
        bar.SetLockSource(&action); // no window: only remembered
        EXPECT_FALSE(action.isEnabled());
    }
    EXPECT_TRUE(action.isEnabled());
}

} // namespace
