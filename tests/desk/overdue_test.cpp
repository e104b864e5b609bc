// Overdue count, fine and fine text of a return; due dates of a new loan.

#include "desk/basOverdue.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

FineTerms dayRule(int grace = 3, int first = 20) {
    return FineTerms{QStringLiteral("D"), grace, first, 10, 20}; // 0.10 and 0.20 a day
}

FineTerms hourRule(int grace = 0) {
    return FineTerms{QStringLiteral("H"), grace, 24, 50, 100}; // 0.50 and 1.00 an hour
}

} // namespace

TEST(OverdueTest, JudgesLoansByTheirUnit) {
    const DBResultSet none;
    struct Case {
        const char* due;
        const char* now;
        FineTerms terms;
        bool overdue;
        int count;
        Cents fine;
        const char* unit;
        const char* text;
        const char* judged;
    };
    const Case cases[] = {
        // Within the grace days: not overdue, judged against the limit.
        {"2008-04-01", "2008-04-04 16:00:00", dayRule(), false, 0, 0, "", "", "2008-04-04"},
        // One day past the grace: counted from the due date.
        {"2008-04-01", "2008-04-05 09:00:00", dayRule(), true, 4, 40, "D", "4首期天 * 0.10", "2008-04-01"},
        {"2008-04-01", "2008-04-26 09:00:00", dayRule(), true, 25, 300, "D", "20首期天 * 0.10+5附加天 * 0.20",
         "2008-04-01"},
        // No first period: every day at the further price.
        {"2008-04-01", "2008-04-05 09:00:00", dayRule(3, 0), true, 4, 80, "D",
         "0首期天 * 0.10+4附加天 * 0.20", "2008-04-01"},
        // Hours: whole-hour boundaries between the limit and now.
        {"2008-04-0310:40:00", "2008-04-03 12:05:00", hourRule(), true, 2, 100, "H", "2首期小时 * 0.50",
         "2008-04-0310:40:00"},
        {"2008-04-0310:40:00", "2008-04-03 10:59:00", hourRule(), true, 0, 0, "H", "0首期小时 * 0.50",
         "2008-04-0310:40:00"},
        {"2008-04-0310:40:00", "2008-04-03 10:40:00", hourRule(), false, 0, 0, "", "", "2008-04-0310:40:00"},
        {"2008-04-0310:40:00", "2008-04-03 11:30:00", hourRule(1), false, 0, 0, "", "", "2008-04-0311:40:00"},
        {"2008-04-0223:10:00", "2008-04-04 01:00:00", hourRule(), true, 26, 1200 + 200, "H",
         "24首期小时 * 0.50+2附加小时 * 1.00", "2008-04-0223:10:00"},
    };
    for (const Case& c : cases) {
        const OverdueJudgement j = judgeOverdue(c.due, c.now, c.terms, none, none, 0);
        SCOPED_TRACE(std::string(c.due) + " at " + c.now);
        EXPECT_EQ(j.overdue, c.overdue);
        EXPECT_EQ(j.count, c.count);
        EXPECT_EQ(j.fine, c.fine);
        EXPECT_EQ(j.unit, QString::fromUtf8(c.unit));
        EXPECT_EQ(j.fineText, QString::fromUtf8(c.text));
        EXPECT_EQ(j.judgedDue, QString::fromUtf8(c.judged));
    }
}

TEST(OverdueTest, ADayLoanDueOnAClosedDayIsJudgedAgainstTheNextOpenDay) {
    DBResultSet closed(1, 4);
    closed.setCell(0, 2, QStringLiteral("2008-04-01"));
    closed.setCell(1, 2, QStringLiteral("2008-04-03"));
    closed.setCell(2, 2, QStringLiteral("0"));
    closed.setCell(3, 2, QStringLiteral("A1"));
    const OverdueJudgement j = judgeOverdue("2008-04-02", "2008-04-04 10:00:00", dayRule(0), closed, {}, 0);
    EXPECT_FALSE(j.overdue);
    EXPECT_EQ(j.judgedDue, "2008-04-04");
    const OverdueJudgement late =
        judgeOverdue("2008-04-02", "2008-04-06 10:00:00", dayRule(0), closed, {}, 0);
    EXPECT_EQ(late.count, 2); // from 04-04, the day the loan really fell due
}

TEST(OverdueTest, DecimalsModesOfTheFine) {
    EXPECT_EQ(lngFineDecimals(25, 1), 20);
    EXPECT_EQ(lngFineDecimals(25, 2), 30);
    EXPECT_EQ(lngFineDecimals(25, 0), 25);
    EXPECT_EQ(lngFineDecimals(24, 1), 20);
    EXPECT_EQ(lngFineDecimals(24, 2), 20);
    EXPECT_EQ(lngFineDecimals(300, 2), 300);
    // The mode applies to the judged fine.
    const FineTerms t{QStringLiteral("D"), 0, 10, 5, 5};                                 // 0.05 a day
    EXPECT_EQ(judgeOverdue("2008-04-01", "2008-04-06 10:00:00", t, {}, {}, 2).fine, 30); // 0.25 -> 0.3
}

TEST(OverdueTest, DueDatesOfNewLoansAndYesNoParameters) {
    EXPECT_EQ(strDueDate("H", 5, "2008-04-03 09:30:00", {}, {}), "2008-04-0314:30:00");
    EXPECT_EQ(strDueDate("d", 5, "2008-04-03 21:30:00", {}, {}), "2008-04-0402:30:00"); // lower case: hours
    EXPECT_EQ(strDueDate("D", 30, "2008-04-03 09:30:00", {}, {}), "2008-05-03");
    for (const char* yes : {"1", "-1", "True"})
        EXPECT_TRUE(blnParamYes(QString::fromLatin1(yes))) << yes;
    for (const char* no : {"0", "", "N"})
        EXPECT_FALSE(blnParamYes(QString::fromLatin1(no))) << no;
}
