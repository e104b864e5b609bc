// Money arithmetic of fine settlement: parsing, formatting, the proposed
// amount, the split over rows, overdue times and bill numbers.

#include "reader/basFineMoney.h"

#include <gtest/gtest.h>

#include <numeric>

TEST(FineMoney, ParsesPlainDecimalsExactly)
{
    struct Case {
        const char* text;
        bool ok;
        Cents cents;
    };
    const Case cases[] = {
        {"12.36", true, 1236}, {" 3 ", true, 300},   {"0.1", true, 10},    {".5", true, 50},
        {"5.", true, 500},     {"-0.05", true, -5},  {"2.675", true, 268}, {"2.674", true, 267},
        {"0.005", true, 1},    {"+1.20", true, 120}, {"", false, 0},       {"abc", false, 0},
        {"1e3", false, 0},     {"1,000", false, 0},  {".", false, 0},      {"9999999999.99", true, 999999999999},
        {"10000000000", false, 0}, {"\xef\xbc\x91\xef\xbc\x92", false, 0}, // full-width digits
    };
    for (const Case& c : cases) {
        Cents v = -777;
        EXPECT_EQ(blnParseMoney(QString::fromUtf8(c.text), &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.cents) << c.text;
        }
    }
}

TEST(FineMoney, FormatsAndRoundTripsThroughDouble)
{
    EXPECT_EQ(strFormatMoney(1236), "12.36");
    EXPECT_EQ(strFormatMoney(0), "0.00");
    EXPECT_EQ(strFormatMoney(-5), "-0.05");
    EXPECT_EQ(strFormatMoney(100000), "1000.00");
    // Every cent value survives the trip through the double the desk keeps.
    for (Cents c = 0; c < 100000; c += 7)
        ASSERT_EQ(lngMoneyFromDouble(dblMoneyToDouble(c)), c);
    EXPECT_EQ(lngMoneyFromDouble(0.1 + 0.2), 30);
}

TEST(FineMoney, ProposalFollowsTheRoundingMode)
{
    struct Case {
        Cents allowed;
        int mode;
        std::optional<Cents> proposal;
    };
    const Case cases[] = {
        {1239, 0, 1230}, {1239, 1, 1230}, {1236, 0, 1230}, {1235, 2, 1240}, {1234, 2, 1230},
        {1236, 2, 1240}, {1295, 2, 1300}, {9, 0, 0},       {5, 2, 10},      {0, 2, 0},
        {1236, 3, std::nullopt}, {1236, -1, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(optProposeFine(c.allowed, c.mode), c.proposal) << c.allowed << " mode " << c.mode;
}

TEST(FineMoney, SplitChargesRowsInProportionAndAddsUpExactly)
{
    struct Case {
        QVector<Cents> fines;
        Cents total;
        QVector<Cents> charged;
    };
    const Case cases[] = {
        {{100, 200, 300}, 300, {50, 100, 150}},
        {{50, 75}, 130, {52, 78}},        // more than the fines: each raised alike
        {{50, 75}, 120, {48, 72}},
        {{1234}, 999, {999}},             // one row takes the whole amount
        {{100, 100, 100}, 100, {33, 33, 34}},
        {{0, 0}, 50, {0, 50}},            // nothing to weigh by: the last row takes it
        {{}, 100, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(arrSplitFine(c.fines, c.total), c.charged) << c.total;
}

TEST(FineMoney, SplitNeverChargesBelowZeroAndKeepsTheSum)
{
    // Many small rows before a tiny last one push the rounded shares above the
    // amount; the split falls back to whole cents by largest remainder.
    QVector<Cents> fines(9, 5);
    fines.append(1);
    for (Cents total = 0; total <= 46; ++total) {
        const QVector<Cents> charged = arrSplitFine(fines, total);
        ASSERT_EQ(std::accumulate(charged.begin(), charged.end(), Cents(0)), total) << total;
        for (Cents c : charged)
            ASSERT_GE(c, 0) << total;
    }
}

TEST(FineMoney, OverdueTimesByUnit)
{
    EXPECT_EQ(strOverdueText("D", "2008-03-01 23:59:00", "2008-03-05 00:01:00"), QStringLiteral("4天"));
    EXPECT_EQ(strOverdueText("H", "2008-03-01 10:59:00", "2008-03-01 12:01:00"), QStringLiteral("2小时"));
    EXPECT_EQ(strOverdueText("H", "2008-03-01 10:59:00", "2008-03-01 11:01:00"), QStringLiteral("1小时"));
    EXPECT_EQ(strOverdueText("H", "2008-03-0110:00:00", "2008-03-01 13:30:00"), QStringLiteral("3小时"));
    EXPECT_EQ(strOverdueText("H", "2008-02-28 23:00:00", "2008-03-01 01:00:00"), QStringLiteral("26小时"));
    EXPECT_EQ(strOverdueText("D", "2008-03-05", "2008-03-01"), QStringLiteral("-4天"));
    EXPECT_EQ(strOverdueText("", "2008-03-01", "2008-03-05"), QString());

    EXPECT_EQ(strFineDateText("D", "2008-03-01 10:59:00"), "2008-03-01");
    EXPECT_EQ(strFineDateText("H", "2008-03-01 10:59:00"), "2008-03-01 10:59:00");
    EXPECT_EQ(strFineDateText("X", "2008-03-01 10:59:00"), QString());
}

TEST(FineMoney, BillNumberFromOneClockReading)
{
    EXPECT_EQ(strMakeBillNo("2024-05-01 09:08:07"), "20240501090807");
    EXPECT_EQ(strMakeBillNo(""), QString());
    EXPECT_EQ(strMakeBillNo("2024-05-01"), QString());
}
