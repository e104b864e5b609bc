// Request queue management: the rows each action writes.

#include "ManageFixture.h"

#include "consign/basApplyManage.h"
#include "tests/support/RoundTrips.h"

using consign::ApplyManage;
using testsupport::roundTripsOf;

class QueueManageTest : public ManageTest {
protected:
    // The titles of A1, the queue of one call number chosen.
    void open(ApplyManage& m, const QString& callNo, const QString& loc = "A1") {
        ASSERT_EQ(m.subInitLocation(), 0);
        ASSERT_EQ(m.cmbLocation_Click(indexOf(m, loc)), 0);
        int row = -1;
        for (int i = 0; i < m.titles.size(); ++i)
            if (m.titles[i].callNo == callNo) row = i;
        ASSERT_GE(row, 0) << callNo.toStdString();
        ASSERT_EQ(m.subShowQueue(row), 0);
    }
    static QStringList shownQueue(const ApplyManage& m) {
        QStringList out;
        for (const auto& r : m.queue)
            out << r.certId + (r.expired ? "!" : "");
        return out;
    }
    QString flagOf(const QString& certId, const QString& callNo) {
        return db().scalar(
            QStringLiteral("select relegate_flag || ':' || relegate_no from relegate_lst where cert_id = "
                           "'%1' and call_no = '%2' order by id desc limit 1")
                .arg(certId, callNo));
    }
};

TEST_F(QueueManageTest, LocationsTitlesAndQueueInQueueOrderWithExpiredRowsRed) {
    ApplyManage m;
    ASSERT_EQ(m.subInitLocation(), 0);
    EXPECT_EQ(m.locations.codes, (QStringList{"D1", "D2", "A1", "A2", "B1"}));
    EXPECT_EQ(m.locations.index, -1); // nothing chosen, nothing listed
    EXPECT_TRUE(m.titles.isEmpty());

    ASSERT_EQ(m.cmbLocation_Click(indexOf(m, "A1")), 0);
    QStringList calls;
    for (const auto& t : m.titles)
        calls << t.callNo;
    // In call-number order, every title with a waiting request, expired or not.
    EXPECT_GE(calls.indexOf("TP393/S91"), calls.indexOf("TP311.12/W23") + 1) << calls.join(" ").toStdString();
    EXPECT_GE(calls.indexOf("TP311.12/W23"), 0);
    QStringList sorted = calls;
    sorted.sort();
    EXPECT_EQ(calls, sorted);
    EXPECT_FALSE(m.titles[calls.indexOf("TP311.12/W23")].title.isEmpty());

    // An expired request is listed, red; one ending today is not red.
    addRequest("DR02", "TP311.12/W23", "A1", 3, 7, 7);
    open(m, "TP393/S91");
    EXPECT_EQ(shownQueue(m), (QStringList{"DR15!"}));
    open(m, "TP311.12/W23");
    EXPECT_EQ(shownQueue(m), (QStringList{"DR09", "DR15", "DR02"}));

    // A location without waiting requests lists nothing; clearing it changes nothing.
    ASSERT_EQ(m.cmbLocation_Click(indexOf(m, "D1")), 0);
    EXPECT_TRUE(m.titles.isEmpty());
    EXPECT_TRUE(m.queue.isEmpty());
}

TEST_F(QueueManageTest, ModifyWritesKeepDaysAndTheEndDateTheDialogShows) {
    EXPECT_EQ(consign::strKeepEndDate("2008-03-01", "10"), "2008-03-11");
    EXPECT_EQ(consign::strKeepEndDate("2008-03-30", "3"), "2008-04-02");
    EXPECT_EQ(consign::strKeepEndDate("2008-03-30", ""), "2008-03-30");

    ApplyManage m;
    open(m, "TP311.12/W23");
    const QString begin = m.queue[1].relegateDate;
    ASSERT_EQ(m.subModifyApply(1, "12", consign::strKeepEndDate(begin, "12")), 0);
    EXPECT_EQ(
        db().scalar("select relegate_keep_days || ' ' || relegate_end_date from relegate_lst where cert_id = "
                    "'DR15' and call_no = 'TP311.12/W23' and relegate_flag = '0'"),
        "12 " + consign::strKeepEndDate(begin, "12"));
    EXPECT_EQ(m.queue[1].keepDays, "12"); // reloaded
}

TEST_F(QueueManageTest, DeleteCancelsAndClosesTheGapOfItsQueueOnly) {
    addRequest("DR01", "TP311.12/W23", "A1", 3);
    addRequest("DR02", "TP311.12/W23", "A1", 4);
    addRequest("DR14", "TP311.12/W23", "B1", 1);
    addRequest("DR13", "TP311.12/W23", "B1", 2);
    ApplyManage m;
    open(m, "TP311.12/W23");

    dialogs.answers << ui::BoxAnswer::Cancel; // QCM003 not confirmed
    EXPECT_EQ(m.subDeleteApply(1), 0);
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2", "DR01:3", "DR02:4"}));

    dialogs.answers << ui::BoxAnswer::Ok;
    ASSERT_EQ(m.subDeleteApply(1), 0) << shown().toStdString();
    EXPECT_EQ(dialogs.shown.first().text, msg("QCM003"));
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR01:2", "DR02:3"}));
    EXPECT_EQ(flagOf("DR15", "TP311.12/W23"), "2:0");
    EXPECT_EQ(queue("TP311.12/W23", "B1"), (QStringList{"DR14:1", "DR13:2"}));
    EXPECT_EQ(shownQueue(m), (QStringList{"DR09", "DR01", "DR02"}));
}

TEST_F(QueueManageTest, UpAndDownExchangeNumbersGapsIncluded) {
    // 1..4 where 2 and 3 expired; clearing them leaves 1 and 4.
    db().exec("update relegate_lst set relegate_end_date = '2000-01-01' where cert_id = 'DR15' and call_no = "
              "'TP311.12/W23'");
    addRequest("DR01", "TP311.12/W23", "A1", 3, 30, 7);
    addRequest("DR02", "TP311.12/W23", "A1", 4);
    ApplyManage m;
    open(m, "TP311.12/W23");
    dialogs.answers << ui::BoxAnswer::Ok;
    ASSERT_EQ(m.subDeleteOld(), 0);
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR02:4"}));
    EXPECT_EQ(flagOf("DR01", "TP311.12/W23"), "2:0");

    // Up on the first row and Down on the last do nothing, without a word.
    dialogs.clear();
    EXPECT_EQ(m.subMoveApply(0, false), -1);
    EXPECT_EQ(m.subMoveApply(1, true), -1);
    EXPECT_TRUE(dialogs.shown.isEmpty());

    ASSERT_EQ(m.subMoveApply(0, true), 0) << shown().toStdString();
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR02:1", "DR09:4"}));
    ASSERT_EQ(m.subMoveApply(1, false), 0);
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR02:4"}));
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // A single row: nothing.
    open(m, "TP393/S91");
    EXPECT_EQ(m.subMoveApply(0, true), -1);
    EXPECT_EQ(m.subMoveApply(0, false), -1);
    EXPECT_TRUE(invariants().isEmpty()) << invariants().join("; ").toStdString();
}

TEST_F(QueueManageTest, DeleteAllOldCancelsTheExpiredRequestsOfTheLocationOnly) {
    addRequest("DR01", "TP311.12/W23", "A1", 3, 7, 7);  // ends today: stays
    addRequest("DR02", "TP311.12/W23", "A1", 4, 10, 7); // expired
    addRequest("DR14", "TP393/S91", "B1", 1, 10, 7);    // expired, other location
    ApplyManage m;
    ASSERT_EQ(m.subInitLocation(), 0);
    ASSERT_EQ(m.cmbLocation_Click(indexOf(m, "A1")), 0);
    dialogs.answers << ui::BoxAnswer::Ok;
    ASSERT_EQ(m.subDeleteAllOld(), 0);
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2", "DR01:3"}));
    EXPECT_TRUE(queue("TP393/S91", "A1").isEmpty());
    EXPECT_EQ(queue("TP393/S91", "B1"), (QStringList{"DR14:1"}));
    EXPECT_EQ(flagOf("DR02", "TP311.12/W23"), "2:0");
    // The titles were read again: TP393/S91 has no waiting request at A1 left.
    QStringList calls;
    for (const auto& t : m.titles)
        calls << t.callNo;
    EXPECT_TRUE(calls.contains("TP311.12/W23"));
    EXPECT_FALSE(calls.contains("TP393/S91"));
    EXPECT_TRUE(m.queue.isEmpty());
}

TEST_F(QueueManageTest, MovesAndDeletesStayWithinTheirBudget) {
    addRequest("DR01", "TP311.12/W23", "A1", 3);
    addRequest("DR02", "TP311.12/W23", "A1", 4);
    ApplyManage m;
    open(m, "TP311.12/W23");
    // The transaction, the queue lock and its re-read together; the writes
    // with the commit; then the window reads its lists again.
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(m.subMoveApply(0, true), 0) << shown().toStdString(); }), 4);
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR15:1", "DR09:2", "DR01:3", "DR02:4"}));
    dialogs.answers << ui::BoxAnswer::Ok;
    EXPECT_LE(roundTripsOf([&] { EXPECT_EQ(m.subDeleteApply(1), 0) << shown().toStdString(); }), 4);
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR15:1", "DR01:2", "DR02:3"}));
}
