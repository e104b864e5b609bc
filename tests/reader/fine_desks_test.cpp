// Two desks on one reader's fines, each a program of its own: the fine window
// open at one desk holds nothing, so the other desk loads the reader at the
// consignment desk, opens the fine window and pays without waiting; the first
// desk's payment then finds the fines settled and writes nothing.

#include "platform/ui/Grid.h"
#include "reader/frmLendFine.h"
#include "tests/desk/DeskFixture.h"
#include "tests/reader/FineDeskFixture.h"

#include <QCoreApplication>
#include <QProcess>

namespace {

class FineDesksTest : public DeskTest {
protected:
    void SetUp() override
    {
        DeskTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(intLoadDeskLocation(3), 0);
        g_strWkrNo = QStringLiteral("SUPR");
        g_strLocation = QStringLiteral("D1");
        g_varLocaProperty = QStringLiteral("01");
        watchInvariants();
    }

    void TearDown() override
    {
        frmLendFine::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (peer.state() != QProcess::NotRunning) {
            peer.kill();
            peer.waitForFinished();
        }
        LIB_DB_Execute("reset lock_timeout");
        DeskTest::TearDown();
    }

    // Starts the other desk at D1 with the fine window on reader `certId`;
    // returns its first report.
    QString startPeer(const QString& certId)
    {
        peer.start(QStringLiteral(FINE_DESK_PEER), {db().conninfo(), QStringLiteral("D1"), certId});
        return peerSays();
    }

    // Gives the other desk a command (none: only listens) and returns its
    // report: rows shown, 1 while the window is open, the last message.
    QString peerSays(const QString& command = QString())
    {
        if (!command.isEmpty())
            peer.write((command + QLatin1Char('\n')).toUtf8());
        while (!peer.canReadLine()) {
            if (!peer.waitForReadyRead(30000)) {
                ADD_FAILURE() << "the other desk said nothing: " << peer.readAllStandardError().toStdString();
                return QString();
            }
        }
        return QString::fromUtf8(peer.readLine()).trimmed();
    }

    desk::ConsignDesk desk;
    QProcess peer;
};

TEST_F(FineDesksTest, OpenFineWindowHoldsNothingAndOnlyOneDeskPays)
{
    // Desk A opens the fine window on DR09 (12.00 at stacks A1) and leaves it
    // open.
    ASSERT_EQ(startPeer(QStringLiteral("DR09")), "1 1");
    expectReaderFree(QStringLiteral("DR09"));

    // Desk B loads the same reader at the consignment desk, and its fine
    // window opens on the same row and pays it. A lock held by desk A would end
    // the load at this short lock time-out with the locked message instead.
    ASSERT_EQ(LIB_DB_Execute("set lock_timeout = '300ms'"), 0);
    int opened = 0;
    desk.fineLend = 1;
    desk.showFineWindow = [] { subOpenLendFine(nullptr, g_strCertID, g_dblExceedFine); };
    dialogs.dialogHandler = [&](QDialog* d) {
        ++opened;
        if (auto* f = qobject_cast<frmLendFine*>(d)) {
            EXPECT_EQ(f->spdFine->maxRows(), 1);
        }
        return intPayInFineWindow(d, dialogs, QStringLiteral("B-DESKB"));
    };
    EXPECT_EQ(desk.intLoadRedr(QStringLiteral("DC09")), 0) << shown().toStdString();
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(shownTexts().contains(QStringLiteral("该记录已经被锁定!")));
    EXPECT_EQ(desk.panel().debt, "0.00");

    // Desk A pays what its window still shows: refused, told so, and its list
    // read again shows nothing left.
    const QString changed = strGetMsg(QStringLiteral("ELT286"));
    EXPECT_EQ(peerSays(QStringLiteral("pay B-DESKA")), "0 1 " + changed);
    EXPECT_EQ(peerSays(QStringLiteral("close")), "0 0 " + changed);
    EXPECT_TRUE(peer.waitForFinished(30000));
    EXPECT_EQ(peer.exitCode(), 0) << peer.readAllStandardError().toStdString();

    // Paid once, and the money tables agree.
    EXPECT_EQ(db().column("select rec_type || ' ' || bill_no || ' ' || amount from deposit_account_lst "
                          "where cert_id = 'DR09'"),
              QStringList{"5 B-DESKB 12.00"});
    EXPECT_EQ(db().column("select debt_deal_flag || ' ' || bill_no || ' ' || real_fine_amt from exceed_fine_lst "
                          "where cert_id = 'DR09'"),
              QStringList{"1 B-DESKB 12.00"});
    EXPECT_EQ(db().scalar("select debt_flag from reader where cert_id = 'DR09'"), "0.00");
    expectReaderFree(QStringLiteral("DR09"));
}

} // namespace
