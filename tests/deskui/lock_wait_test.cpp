// A lend meeting a copy another desk holds, with the program's wait hook
// installed: while the statement waits the windows are repainted under the
// wait cursor, typing is held until the answer, and the lend ends as without
// the hook ("该记录已经被锁定!", nothing written); a window asked to close
// meanwhile closes after the answer. A lend that does not wait never calls
// the hook.

#include "platform/ui/DatabaseWait.h"
#include "tests/desk/LendingFixture.h"
#include "tests/support/LostConnection.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

class PaintCounter : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// The program's hook, watched at each call.
class WatchedWait : public ui::DatabaseWait {
public:
    void waiting() override {
        ++calls;
        ui::DatabaseWait::waiting();
        const QCursor* c = QGuiApplication::overrideCursor();
        waitCursor = waitCursor && c && c->shape() == Qt::WaitCursor;
        if (watched) paints = watched->paints;
        if (typedInto) typed += typedInto->text();
        if (closing && calls == 1) {
            closing->close();
            closedWhileWaiting = !closing->isVisible();
        }
    }
    int calls = 0;
    bool waitCursor = true;
    int paints = 0;
    QString typed;
    PaintCounter* watched = nullptr;
    QLineEdit* typedInto = nullptr;
    QWidget* closing = nullptr;
    bool closedWhileWaiting = false;
};

class LockWaitTest : public LendingTest {
protected:
    void SetUp() override {
        LendingTest::SetUp();
        before_ = oradb::installWaitHook(&hook);
    }
    void TearDown() override {
        oradb::installWaitHook(before_);
        LendingTest::TearDown();
    }
    WatchedWait hook;

private:
    oradb::WaitHook* before_ = nullptr;
};

TEST_F(LockWaitTest, WindowsRepaintUnderTheWaitCursorAndInputWaits) {
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0) << shown().toStdString();
    PaintCounter window;
    QLineEdit box;
    QWidget closed;
    window.show();
    box.show();
    closed.show();
    QCoreApplication::processEvents();
    hook.watched = &window;
    hook.typedInto = &box;
    hook.closing = &closed;

    testsupport::RawConnection other;
    ASSERT_TRUE(other.exec("begin; select 1 from item where prop_no = 'P500001' for update"));
    ASSERT_EQ(LIB_DB_Execute(QStringLiteral("set lock_timeout = '1s'")), 0);
    const QString before = testsupport::recordsDigest(db());
    const int paintsBefore = window.paints;
    window.update();
    QCoreApplication::postEvent(&box, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    testsupport::answerOk(dialogs);

    EXPECT_NE(lending.subLendBook("B500001"), 0);
    EXPECT_GT(hook.calls, 0);
    EXPECT_GT(hook.paints, paintsBefore) << "no repaint while waiting";
    EXPECT_TRUE(hook.waitCursor);
    EXPECT_EQ(hook.typed, QString()) << "input delivered while waiting";
    EXPECT_FALSE(hook.closedWhileWaiting) << "a window closed while waiting";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(testsupport::boxTexts(dialogs).contains(QStringLiteral("该记录已经被锁定!")))
        << shown().toStdString();
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_EQ(testsupport::recordsDigest(db()), before);

    // What was typed, and the close, follow once the answer is there.
    QCoreApplication::processEvents();
    EXPECT_EQ(box.text(), QStringLiteral("a"));
    EXPECT_FALSE(closed.isVisible());
    other.exec("rollback");
    LIB_DB_Execute(QStringLiteral("reset lock_timeout"));
}

TEST_F(LockWaitTest, ALendWithoutAWaitNeverCallsTheHook) {
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0) << shown().toStdString();
    testsupport::answerOk(dialogs);
    EXPECT_EQ(lending.subLendBook("B500001"), 0) << shown().toStdString();
    EXPECT_EQ(hook.calls, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
