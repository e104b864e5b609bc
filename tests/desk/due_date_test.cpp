// Due dates moved past closing periods and closed weekdays.

#include "desk/basDueDate.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

DBResultSet closeDays(const QList<QStringList>& rows)
{
    DBResultSet rs(rows.size(), 4);
    const char* names[] = {"CLOSE_BGN_DAY", "CLOSE_END_DAY", "EXT_DAYS", "LOCATION"};
    for (int c = 0; c < 4; ++c)
        rs.setCell(c, 0, QString::fromLatin1(names[c]));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < 4; ++c)
            rs.setCell(c, 2 + r, rows[r].value(c));
    return rs;
}

// Opening times with the given weekdays closed (all three times 00:00).
DBResultSet openTimes(const QStringList& closed, const QStringList& open = {})
{
    DBResultSet rs(closed.size() + open.size(), 5);
    int r = 0;
    for (const QString& w : closed) {
        rs.setCell(0, 2 + r, QStringLiteral(" 00:00"));
        rs.setCell(1, 2 + r, QStringLiteral("00:00 "));
        rs.setCell(2, 2 + r, QStringLiteral("00:00"));
        rs.setCell(3, 2 + r, w);
        rs.setCell(4, 2 + r, QStringLiteral("A1"));
        ++r;
    }
    for (const QString& w : open) {
        rs.setCell(0, 2 + r, QStringLiteral("00:00"));
        rs.setCell(1, 2 + r, QStringLiteral("00:00"));
        rs.setCell(2, 2 + r, QStringLiteral("08:30"));
        rs.setCell(3, 2 + r, w);
        rs.setCell(4, 2 + r, QStringLiteral("A1"));
        ++r;
    }
    return rs;
}

struct Case {
    const char* name;
    QList<QStringList> periods;
    QStringList closedDays;
    QString date;
    QString expected;
};

} // namespace

TEST(DueDate, MovesPastPeriodsAndClosedWeekdays)
{
    // 2008-02-13 is a Wednesday, 2008-02-17 a Sunday.
    const QList<Case> cases = {
        {"outside every period", {{"2008-02-01", "2008-02-10", "2", "A1"}}, {"SUN"}, "2008-02-12", "2008-02-12"},
        {"not a date, nothing to move", {}, {}, "2008-2-5", "2008-2-5"},
        {"inside: after the end plus the extra days", {{"2008-02-01", "2008-02-10", "2", "A1"}}, {"SUN"},
         "2008-02-05", "2008-02-13"},
        {"first day is inside", {{"2008-02-01", "2008-02-10", "0", "A1"}}, {}, "2008-02-01", "2008-02-11"},
        {"last day is inside", {{"2008-02-01", "2008-02-10", "", "A1"}}, {}, "2008-02-10", "2008-02-11"},
        {"extra days 3", {{"2008-02-01", "2008-02-10", "3", "A1"}}, {}, "2008-02-03", "2008-02-14"},
        {"move lands on a closed Sunday", {{"2008-02-01", "2008-02-13", "3", "A1"}}, {"SUN"}, "2008-02-05",
         "2008-02-18"},
        {"move lands in a second period",
         {{"2008-02-01", "2008-02-10", "0", "A1"}, {"2008-02-11", "2008-02-15", "1", "A1"}}, {}, "2008-02-02",
         "2008-02-17"},
        {"closed weekday leads into a period", {{"2008-02-18", "2008-02-20", "0", "A1"}}, {"SUN"}, "2008-02-17",
         "2008-02-21"},
        {"empty end day contains nothing", {{"2008-02-01", "", "0", "A1"}}, {}, "2008-02-05", "2008-02-05"},
        {"empty begin day contains all up to the end", {{"", "2008-02-10", "0", "A1"}}, {}, "1999-01-01",
         "2008-02-11"},
        {"unreadable extra days stop the search", {{"2008-02-01", "2008-02-10", "x", "A1"}}, {}, "2008-02-05",
         "2008-02-05"},
        // The move to 02-20 stops on the unreadable first period; the run that
        // moved it still tests the weekday (Wednesday, closed) and goes on.
        {"a stopped move is still tested by the run that made it",
         {{"2008-02-20", "2008-02-2x", "0", "A1"}, {"2008-02-01", "2008-02-10", "9", "A1"}}, {"WED"}, "2008-02-05",
         "2008-02-21"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(subShiftRetDate(c.date, closeDays(c.periods), openTimes(c.closedDays)), c.expected) << c.name;
}

TEST(DueDate, OverlappingPeriodsFollowListOrder)
{
    const QStringList a{"2008-02-01", "2008-02-10", "0", "A1"};
    const QStringList b{"2008-02-05", "2008-02-09", "5", "A1"};
    EXPECT_EQ(subShiftRetDate("2008-02-06", closeDays({a, b}), openTimes({})), "2008-02-11");
    EXPECT_EQ(subShiftRetDate("2008-02-06", closeDays({b, a}), openTimes({})), "2008-02-15");
}

TEST(DueDate, OpenWeekdaysAndMissingRows)
{
    // A row with 08:30 in the evening opens its day; a day without a row is open.
    EXPECT_EQ(subShiftRetDate("2008-02-17", closeDays({}), openTimes({}, {"SUN"})), "2008-02-17");
    EXPECT_EQ(subShiftRetDate("2008-02-17", closeDays({}), openTimes({"MON"})), "2008-02-17");
    EXPECT_EQ(subShiftRetDate("2008-02-16", closeDays({}), openTimes({"SAT", "SUN"})), "2008-02-18");
}

TEST(DueDate, GivesUpWhenNoDayIsOpen)
{
    const QStringList all{"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    const QString r = subShiftRetDate("2008-02-17", closeDays({}), openTimes(all));
    EXPECT_GT(r, QStringLiteral("2008-02-17")); // ends, with some later date
    // A period whose extra days bring the date back into it.
    const QString p = subShiftRetDate("2008-02-05", closeDays({{"2008-02-01", "2008-02-10", "-9", "A1"}}), openTimes({}));
    EXPECT_FALSE(p.isEmpty());
}
