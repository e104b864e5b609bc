// The reader search listed a page at a time: the first page with the exact
// number of readers in one round trip, every further page in one more, and
// every reader listed once, whole, in the search's order.

#include "common/basDB.h"
#include "reader/basRedrSearch.h"
#include "tests/reader/RedrInfoFixture.h"
#include "tests/support/RoundTrips.h"

namespace {

using testsupport::roundTripsOf;

// The first card row of every reader of the whole result, read at once.
QStringList allAtOnce(const QString& sql) {
    DBResultSet rs;
    EXPECT_EQ(LIB_DB_Select(sql, rs), 0);
    QStringList out;
    for (const int r : arrFirstCardRows(rs))
        out << rs.text(r, 2) + u'|' + rs.text(r, 11);
    return out;
}

TEST_F(RedrInfoTest, SearchPagesListEveryReaderOnceWithAnExactCount) {
    // A reader with more cards than a page.
    db().exec("insert into reader_cert (redr_cert_id, cert_id, cert_flag, oper_date) select 'PG' || n, "
              "(select min(cert_id) from reader_cert), '0', '2020-01-' || lpad(n::text, 2, '0') "
              "from generate_series(1, 7) n");
    struct Case {
        const char* name;
        RedrSearchInput in;
    };
    RedrSearchInput none;
    RedrSearchInput byName;
    byName.cells[3] = QStringLiteral("王");
    for (const Case& c : {Case{"without criteria", none}, Case{"by a name prefix", byName}}) {
        SCOPED_TRACE(c.name);
        QString sql, message;
        ASSERT_EQ(intBuildRedrSearch(c.in, &sql, &message), 0);
        const QStringList expected = allAtOnce(sql);
        ASSERT_FALSE(expected.isEmpty());
        for (const int pageRows : {500, 5, 3}) {
            SCOPED_TRACE(pageRows);
            RedrSearchPages pages;
            pages.pageRows = pageRows;
            // 2 only when the first reader has more cards than a page.
            EXPECT_LE(roundTripsOf([&] { ASSERT_EQ(pages.start(sql), 0); }), pageRows > 10 ? 1 : 2);
            EXPECT_EQ(pages.total(), expected.size());
            QStringList listed;
            auto take = [&] {
                const DBResultSet& rs = pages.page();
                for (const int r : arrFirstCardRows(rs))
                    listed << rs.text(r, 2) + u'|' + rs.text(r, 11);
            };
            take();
            while (!pages.complete()) {
                long trips = 0;
                int added = 0;
                trips = roundTripsOf([&] { added = pages.next(); });
                ASSERT_GE(added, 0);
                EXPECT_LE(trips, 2); // 2 only for a reader with more cards than a page
                take();
                ASSERT_LE(listed.size(), expected.size());
            }
            EXPECT_EQ(pages.next(), 0);
            EXPECT_EQ(listed, expected);
            EXPECT_EQ(pages.listed(), expected.size());
        }
    }
    db().exec("delete from reader_cert where redr_cert_id like 'PG%'");
}

} // namespace
