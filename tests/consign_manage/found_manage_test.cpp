// Found-copy management: the list, keep days, cancelling and the mail check.

#include "ManageFixture.h"

#include "consign/ReturnManage.h"
#include "consign/basFindManage.h"
#include "shell/basLT4Add.h"
#include "tests/support/RoundTrips.h"

using consign::FindManage;
using testsupport::roundTripsOf;

class FoundManageTest : public ManageTest {
protected:
    void open(FindManage& m, const QString& loc = "A1") {
        ASSERT_EQ(m.subInitLocation(), 0);
        ASSERT_EQ(m.cmbLocation_Click(indexOf(m, loc)), 0);
    }
    // flag lend-date ret-date ret-location of the copy's newest found row.
    QString foundRow(const QString& propNo) {
        return db().scalar(
            QStringLiteral("select concat_ws(' ', relegate_end_flag, relegate_lend_date, "
                           "relegate_ret_date, relegate_ret_location) from relegate_arri_lst where "
                           "prop_no = '%1' order by id desc limit 1")
                .arg(propNo));
    }
    QString copyState(const QString& propNo) {
        return db().scalar(
            QStringLiteral("select i.book_lend_flag || ' ' || count(l.prop_no) from item i left join "
                           "lend_lst l on l.prop_no = i.prop_no where i.prop_no = '%1' group by "
                           "i.book_lend_flag")
                .arg(propNo));
    }
};

TEST_F(FoundManageTest, ListsTheOpenFoundCopiesOfTheCopysOwnLocationWithPassedOnesRed) {
    addFound("DR01", "P500001", 8, 7);      // passed yesterday
    addFound("DR02", "P500002", 7, 7, "2"); // ends today
    addFound("DR14", "P500004", 1, 7);      // a copy of B1
    addFound("DR10", "P500011", 1, 7, "3"); // collected
    FindManage m;
    ASSERT_EQ(m.subInitLocation(), 0);
    EXPECT_EQ(m.locations.index, -1);
    EXPECT_TRUE(m.rows.isEmpty());
    open(m);
    ASSERT_GE(rowOf(m, "P500001"), 0);
    ASSERT_GE(rowOf(m, "P500002"), 0);
    EXPECT_EQ(rowOf(m, "P500004"), -1);
    EXPECT_EQ(rowOf(m, "P500011"), -1);
    // DR13's copy of A1 waits at D2's desk: listed under A1.
    const int dr13 = rowOf(m, "P500003");
    ASSERT_GE(dr13, 0);
    EXPECT_EQ(m.rows[dr13].certId, "DR13");
    EXPECT_EQ(m.rows[dr13].relegateLocation, "D2");
    EXPECT_FALSE(m.rows[dr13].title.isEmpty());
    EXPECT_TRUE(m.rows[rowOf(m, "P500001")].passed);
    EXPECT_FALSE(m.rows[rowOf(m, "P500002")].passed);
    open(m, "D2");
    EXPECT_EQ(rowOf(m, "P500003"), -1);
}

TEST_F(FoundManageTest, ModifyWritesKeepDaysAndKeepEndDate) {
    FindManage m;
    open(m);
    const int row = rowOf(m, "P500003");
    const QString end = consign::strKeepEndDate(m.rows[row].arriDate, "10");
    ASSERT_EQ(m.subModifyFind(row, "10", end), 0);
    EXPECT_EQ(
        db().scalar("select relegate_keep_days || ' ' || relegate_keep_end_date from relegate_arri_lst where "
                    "prop_no = 'P500003'"),
        "10 " + end);
}

TEST_F(FoundManageTest, DeleteFreesTheCopyAndSendsItHome) {
    FindManage m;
    open(m);
    const int row = rowOf(m, "P500003");
    dialogs.answers << ui::BoxAnswer::Cancel;
    EXPECT_EQ(m.subDeleteFind(row), 0);
    EXPECT_EQ(copyState("P500003"), "3 1");

    dialogs.answers << ui::BoxAnswer::Ok;
    ASSERT_EQ(m.subDeleteFind(row), 0) << shown().toStdString();
    EXPECT_EQ(copyState("P500003"), "0 0");
    EXPECT_EQ(foundRow("P500003"), "4 " + today() + " " + today() + " D2");
    EXPECT_EQ(rowOf(m, "P500003"), -1);
    // The request stays served.
    EXPECT_EQ(db().scalar("select relegate_flag from relegate_lst where cert_id = 'DR13' and call_no = "
                          "'TP311.12/W23'"),
              "1");
    // The home group's return list: a row on its way home, the copy on the shelf.
    EXPECT_EQ(
        db().scalar("select count(*) from relegate_arri_lst f join item i on i.prop_no = f.prop_no where "
                    "f.relegate_end_flag = '4' and i.book_lend_flag = '0' and f.prop_no = 'P500003'"),
        "1");
    EXPECT_TRUE(invariants().isEmpty()) << invariants().join("; ").toStdString();
}

TEST_F(FoundManageTest, DeleteOldCancelsOnlyPassedOpenCopiesOfTheLocation) {
    addFound("DR01", "P500001", 8, 7);      // passed: cancelled
    addFound("DR02", "P500002", 7, 7, "2"); // ends today: stays
    addFound("DR14", "P500004", 9, 7);      // passed, but of B1
    FindManage m;
    open(m);
    dialogs.answers << ui::BoxAnswer::Ok;
    ASSERT_EQ(m.subDeleteOldFind(), 0) << shown().toStdString();
    EXPECT_GE(m.lastCancelled, 1);
    for (const auto& r : m.rows)
        EXPECT_FALSE(r.passed) << r.propNo.toStdString();
    EXPECT_EQ(foundRow("P500001"), "4 " + today() + " " + today() + " D2");
    EXPECT_EQ(copyState("P500001"), "0 0");
    EXPECT_EQ(foundRow("P500002").left(1), "2");
    EXPECT_EQ(foundRow("P500004").left(1), "1");
    EXPECT_EQ(foundRow("P500003").left(1), "2");
    EXPECT_TRUE(invariants().isEmpty()) << invariants().join("; ").toStdString();
}

TEST_F(FoundManageTest, MailCheckWantsTheServerAndTheSenderMailbox) {
    struct Case {
        const char* smtp;
        const char* own;
        short bak;
        const char* message; // "" opens the notices
    } cases[] = {
        {"", "desk@library.example", 1, "请设置好SMTP服务器地址。"},
        {"", "", 0, "请设置好SMTP服务器地址。"},
        {"127.0.0.1", "", 1, "请设置好发件人Email地址。"},
        // The own mailbox is the sender of every notice, so it is asked for
        // even when no copy goes to it.
        {"127.0.0.1", "", 0, "请设置好发件人Email地址。"},
        {"127.0.0.1", "desk@library.example", 0, ""},
    };
    FindManage m;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        dialogs.clear();
        g_strSmtpAddress = c.smtp;
        g_strEmailAddress = c.own;
        g_intEmailBak = c.bak;
        EXPECT_EQ(m.blnMailCheck(), QString(c.message).isEmpty());
        EXPECT_EQ(shown(), QString::fromUtf8(c.message));
    }
}

TEST_F(FoundManageTest, CancelCostsTheSameRoundTripsForOneRowOrFive) {
    // The transaction, the server's date and the open rows locked; the three
    // writes with the commit; the list with its date and every title's record.
    struct Found {
        const char *certId, *propNo;
    };
    const Found passed[] = {{"DR01", "P500001"},
                            {"DR02", "P500002"},
                            {"DR04", "P500011"},
                            {"DR05", "P500021"},
                            {"DR06", "P500031"}};
    struct Case {
        const char* name;
        int passed;  // of the found copies above, kept until yesterday
        bool oneRow; // Delete of the first of them, else DeleteOld
    } cases[] = {{"Delete", 1, true},
                 {"Delete, five listed", 5, true},
                 {"DeleteOld, one", 1, false},
                 {"DeleteOld, five", 5, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freshDatabase();
        for (int i = 0; i < c.passed; ++i)
            addFound(passed[i].certId, passed[i].propNo, 8, 7);
        FindManage m;
        open(m);
        dialogs.answers << ui::BoxAnswer::Ok;
        const long trips = roundTripsOf([&] {
            const int rc = c.oneRow ? m.subDeleteFind(rowOf(m, "P500001")) : m.subDeleteOldFind();
            EXPECT_EQ(rc, 0) << shown().toStdString();
        });
        EXPECT_EQ(trips, 3);
        EXPECT_EQ(m.lastCancelled, c.oneRow ? 1 : c.passed + 1); // the demo's P6001 has passed too
        for (int i = 0; i < (c.oneRow ? 1 : c.passed); ++i) {
            EXPECT_EQ(foundRow(passed[i].propNo), "4 " + today() + " " + today() + " D2");
            EXPECT_EQ(rowOf(m, passed[i].propNo), -1);
        }
        // The list read again with every title.
        ASSERT_GE(rowOf(m, "P500003"), 0);
        for (const auto& r : m.rows)
            EXPECT_FALSE(r.title.isEmpty()) << r.propNo.toStdString();
        EXPECT_TRUE(invariants().isEmpty()) << invariants().join("; ").toStdString();
    }
}
