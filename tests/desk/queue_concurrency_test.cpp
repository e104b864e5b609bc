// Two desks on one queue: this program's desk and a second connection doing
// what another desk does.

#include "DeskFixture.h"

#include <chrono>
#include <future>
#include <thread>

using testsupport::RawConnection;

class QueueConcurrencyTest : public DeskTest {
protected:
    void SetUp() override
    {
        DeskTest::SetUp();
        freshDatabase();
        watchInvariants();
        desk.askKeepDays = [](const QString&, int maxDays) { return std::optional<int>(maxDays); };
    }
    // The holdings row of 总馆书库 (A1) as the desk lists it for the title.
    static desk::HoldingRow a1Holding(int queued = 0)
    {
        desk::HoldingRow row;
        row.location = "A1";
        row.lendable = 3;
        row.queued = queued;
        return row;
    }
    desk::ConsignDesk desk;
};

TEST_F(QueueConcurrencyTest, TwoDesksPlacingAtOnceGetConsecutiveNumbers)
{
    ASSERT_EQ(desk.intLoadRedr("DC14"), 0);
    desk::HoldingRow a1 = a1Holding();

    // Desk B is in the middle of placing DR02's request on the same queue: it
    // holds the queue and has inserted number 3, not yet committed.
    RawConnection deskB;
    QString err;
    ASSERT_TRUE(deskB.exec("begin", &err)) << err;
    ASSERT_TRUE(deskB.exec("select pg_advisory_xact_lock(hashtext('TP311.12/W23|A1'))", &err)) << err;
    ASSERT_EQ(deskB.scalar("select max(relegate_no) from relegate_lst where call_no = 'TP311.12/W23' "
                           "and location = 'A1' and relegate_flag = '0'"),
              "2");
    ASSERT_TRUE(deskB.exec("insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
                           "relegate_keep_days, relegate_end_date, relegate_location, wkr_no, relegate_flag) values "
                           "('DR02', 'TP311.12/W23', 'A1', 3, '2026-01-01', 7, '2099-01-08', 'D1', '0002', '0')",
                           &err))
        << err;

    // This desk places DR14's request meanwhile: it waits for desk B.
    auto placing = std::async(std::launch::async, [&] { return desk.subApplyBook("TP311.12/W23", a1); });
    EXPECT_EQ(placing.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
    ASSERT_TRUE(deskB.exec("commit", &err)) << err;
    ASSERT_EQ(placing.get(), 0) << shown();

    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2", "DR02:3", "DR14:4"}));
}

TEST_F(QueueConcurrencyTest, DeleteFromAStaleListShiftsOnlyTheRightRows)
{
    // DR15's list shows its request for TP311.12/W23 as number 2.
    ASSERT_EQ(desk.intLoadRedr("DC15"), 0);
    auto rowOf = [this](const QString& callNo) {
        for (int i = 0; i < desk.requests().size(); ++i)
            if (desk.requests()[i].callNo == callNo)
                return i;
        return -1;
    };
    const int row = rowOf("TP311.12/W23");
    ASSERT_GE(row, 0);
    ASSERT_EQ(desk.requests()[row].relegateNo, 2);

    // Meanwhile another desk serves DR09 (number 1), closes the queue up, and
    // DR02 joins behind DR15.
    RawConnection deskB;
    QString err;
    ASSERT_TRUE(deskB.exec("begin; update relegate_lst set relegate_flag = '1', relegate_no = 0 where cert_id = 'DR09' "
                           "and call_no = 'TP311.12/W23' and relegate_flag = '0'; update relegate_lst set relegate_no = "
                           "relegate_no - 1 where call_no = 'TP311.12/W23' and location = 'A1' and relegate_no > 1 "
                           "and relegate_flag = '0'; insert into relegate_lst (cert_id, call_no, location, relegate_no, "
                           "relegate_date, relegate_keep_days, relegate_end_date, relegate_location, wkr_no, "
                           "relegate_flag) values ('DR02', 'TP311.12/W23', 'A1', 2, '2026-01-01', 7, '2099-01-08', "
                           "'D1', '0002', '0'); commit",
                           &err))
        << err;
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR15:1", "DR02:2"}));

    // Deleting from the stale list closes the queue behind DR15's real place.
    dialogs.answers << ui::BoxAnswer::Ok;
    ASSERT_EQ(desk.subDeleteApply(row), 0) << shown();
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR02:1"}));

    // A request no longer waiting is not deleted again, and nothing moves.
    const int other = rowOf("TP393/S91");
    ASSERT_GE(other, 0);
    const desk::RequestRow stale = desk.requests()[other];
    ASSERT_TRUE(deskB.exec("begin; update relegate_lst set relegate_flag = '2', relegate_no = 0 where cert_id = 'DR15' "
                           "and call_no = 'TP393/S91'; insert into relegate_lst (cert_id, call_no, location, "
                           "relegate_no, relegate_date, relegate_keep_days, relegate_end_date, relegate_location, "
                           "wkr_no, relegate_flag) values ('DR02', 'TP393/S91', 'A1', 1, '2026-01-01', 7, "
                           "'2099-01-08', 'D1', '0002', '0'); commit",
                           &err))
        << err;
    dialogs.answers << ui::BoxAnswer::Ok;
    EXPECT_EQ(desk.subDeleteApply(stale), -1);
    EXPECT_EQ(queue("TP393/S91", "A1"), (QStringList{"DR02:1"}));
    EXPECT_FALSE(LIB_DB_InTrans());
}

TEST_F(QueueConcurrencyTest, NoRowIsLockedWhileTheKeepDaysDialogWaits)
{
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    desk::HoldingRow a1 = a1Holding();
    // While this desk's worker types the keep days, another desk loads the same
    // reader (locking the reader, its card and its rows) and places a request
    // for the same title for it: this desk then checks again and refuses.
    RawConnection deskB;
    QStringList lockErrors;
    desk.askKeepDays = [&](const QString&, int maxDays) -> std::optional<int> {
        QString err;
        for (const char* sql : {"select 1 from reader where cert_id = 'DR02' for update nowait",
                                "select 1 from reader_cert where cert_id = 'DR02' for update nowait",
                                "select 1 from lend_lst where cert_id = 'DR02' for update nowait",
                                "select 1 from relegate_lst where cert_id = 'DR02' for update nowait"}) {
            if (!deskB.exec(sql, &err))
                lockErrors << err;
        }
        // Nor the queue.
        EXPECT_EQ(deskB.scalar("select pg_try_advisory_lock(hashtext('TP311.12/W23|A1'))::text"), "true");
        deskB.exec("select pg_advisory_unlock_all()");
        deskB.exec("insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
                   "relegate_keep_days, relegate_end_date, relegate_location, wkr_no, relegate_flag) values "
                   "('DR02', 'TP311.12/W23', 'A1', 3, '2026-01-01', 7, '2099-01-08', 'D1', '0002', '0')");
        return maxDays;
    };
    EXPECT_EQ(desk.subApplyBook("TP311.12/W23", a1), -1);
    EXPECT_TRUE(lockErrors.isEmpty()) << lockErrors.join("; ").toStdString();
    EXPECT_EQ(shown(), QStringLiteral("该读者已经委托了该种书"));
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2", "DR02:3"}));
    EXPECT_FALSE(LIB_DB_InTrans());
}

TEST_F(QueueConcurrencyTest, RequestersPerTitleAreCountedAgainUnderTheQueueLock)
{
    // At most 3 requesters; the desk listed A1 with 2 waiting.
    db().exec("update sys_comm_para set sys_para_value = '-3' where sys_para_code = 8");
    ASSERT_EQ(intInitBaseData(), 0);
    ASSERT_EQ(desk.intLoadRedr("DC14"), 0);
    desk::HoldingRow a1 = a1Holding(2);

    // Desk B is placing DR02's request on the same queue, not yet committed.
    RawConnection deskB;
    QString err;
    ASSERT_TRUE(deskB.exec("begin; select pg_advisory_xact_lock(hashtext('TP311.12/W23|A1')); "
                           "insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
                           "relegate_keep_days, relegate_end_date, relegate_location, wkr_no, relegate_flag) values "
                           "('DR02', 'TP311.12/W23', 'A1', 3, '2026-01-01', 7, '2099-01-08', 'D1', '0002', '0')",
                           &err))
        << err;
    auto placing = std::async(std::launch::async, [&] { return desk.subApplyBook("TP311.12/W23", a1); });
    EXPECT_EQ(placing.wait_for(std::chrono::milliseconds(400)), std::future_status::timeout);
    ASSERT_TRUE(deskB.exec("commit", &err)) << err;
    EXPECT_EQ(placing.get(), -1);
    EXPECT_EQ(shown(), QStringLiteral("该书已达到最大委托人数：3人"));
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2", "DR02:3"}));
    EXPECT_EQ(a1.queued, 3); // the row shows the count it was refused by
    EXPECT_FALSE(LIB_DB_InTrans());
}

// While the worker chooses the keep days, another desk places the same
// reader's request, and a change of the queue holds it and closes a gap
// behind that request: the placing waits for the queue before it locks the
// reader's requests, so neither ends in a deadlock.
TEST_F(QueueConcurrencyTest, APlacingMeetingAQueueChangeOverTheReadersNewRequestMeetsNoDeadlock)
{
    ASSERT_EQ(desk.intLoadRedr("DC14"), 0);
    desk::HoldingRow a1 = a1Holding();
    RawConnection deskB;
    QString err;
    desk.askKeepDays = [&](const QString&, int maxDays) {
        EXPECT_TRUE(deskB.exec("insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
                               "relegate_keep_days, relegate_end_date, relegate_location, wkr_no, relegate_flag) "
                               "values ('DR14', 'TP311.12/W23', 'A1', 3, '2026-01-01', 7, '2099-01-08', 'D1', "
                               "'0002', '0')",
                               &err))
            << err.toStdString();
        EXPECT_TRUE(deskB.exec("begin; select pg_advisory_xact_lock(hashtext('TP311.12/W23|A1'))", &err))
            << err.toStdString();
        return std::optional<int>(maxDays);
    };
    auto placing = std::async(std::launch::async, [&] { return desk.subApplyBook("TP311.12/W23", a1); });
    EXPECT_EQ(placing.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
    EXPECT_TRUE(deskB.exec("update relegate_lst set relegate_no = relegate_no - 1 where call_no = 'TP311.12/W23' "
                           "and location = 'A1' and relegate_no > 2 and relegate_flag = '0'",
                           &err))
        << err.toStdString();
    ASSERT_TRUE(deskB.exec("rollback", &err)) << err.toStdString();
    EXPECT_EQ(placing.get(), -1);
    EXPECT_EQ(shown(), "该读者已经委托了该种书");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2", "DR14:3"}));
}
