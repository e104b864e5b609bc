// What the reader look-ups and the reader's pages cost in round trips to the
// server, counted by the database interface: a budget however many rows a
// page shows.

#include "reader/basLTMore.h"
#include "tests/reader/RedrInfoFixture.h"
#include "tests/support/RoundTrips.h"

using testsupport::roundTripsOf;

TEST_F(RedrInfoTest, LookUpsAndPagesStayWithinTheirBudget) {
    QStringList ids;
    EXPECT_EQ(roundTripsOf([&] { EXPECT_EQ(intSeekRedr(SeekByBarcode, "8800002", &ids), 0); }), 1);
    EXPECT_EQ(roundTripsOf([&] { EXPECT_EQ(intSeekRedr(SeekByCertId, "dz002", &ids), 0); }), 1);
    // The loans with their copies, the server's date and the records of all
    // shown titles: three, whatever the number of loans.
    RedrPage page;
    EXPECT_LE(roundTripsOf([&] { page = load("LendInfo"); }), 3);
    EXPECT_EQ(page.rows.size(), 6);
    EXPECT_FALSE(page.cell(0, 4).isEmpty());
}
