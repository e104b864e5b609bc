// Long hit lists a page at a time: the first page with the exact count in one
// round trip, every further page (or every jump ahead) in one more, each record
// once, in record-number order, with the summaries of the records each read adds.

#include "biblio/BookSearch.h"
#include "common/basMarcList.h"
#include "tests/biblio/BiblioFixture.h"
#include "tests/support/RoundTrips.h"

#include <QSet>

using namespace biblio;
using testsupport::roundTripsOf;

namespace {

// 26 records found by title "分页测试" and publisher "分页出版社": PG0001 to
// PG0025 with a summary, the odd ones with a second title key, and PG0026,
// found but without a summary.
class HitPages : public BiblioTest {
protected:
    void SetUp() override
    {
        BiblioTest::SetUp();
        if (HasFatalFailure())
            return;
        db().exec("insert into marc (marc_rec_no, marc_type, m_title, m_isbn) select 'PG' || lpad(n::text, 4, '0'), "
                  "'C', '分页' || n, '978' || n from generate_series(25, 1, -1) n");
        db().exec("insert into marc_idx (marc_rec_no, marc_idx_grp, marc_idx_cont) select 'PG' || lpad(n::text, 4, "
                  "'0'), g, k || n from generate_series(26, 1, -1) n, (values ('02', '分页测试'), ('09', '分页出版社')) "
                  "v(g, k) union all select 'PG' || lpad(n::text, 4, '0'), '02', '分页测试又名' || n "
                  "from generate_series(1, 25, 2) n");
        for (int n = 1; n <= 26; ++n)
            expected << QStringLiteral("PG%1").arg(n, 4, 10, QLatin1Char('0'));
    }

    void TearDown() override
    {
        db().exec("delete from marc_idx where marc_rec_no like 'PG%'");
        db().exec("delete from marc where marc_rec_no like 'PG%'");
        BiblioTest::TearDown();
    }

    // Reads a whole search page by page, checking every read on the way; the
    // record numbers in the order listed.
    QStringList readAll(const SeekText& search, int pageRows)
    {
        BookHitPages pages;
        pages.pageRows = pageRows;
        EXPECT_EQ(roundTripsOf([&] { EXPECT_EQ(pages.start(search.sql, search.anywhere), 0); }), 1);
        EXPECT_EQ(pages.total(), 26);
        EXPECT_EQ(pages.listed(), qMin(pageRows, 26));
        QStringList listed;
        for (;;) {
            const DBResultSet page = pages.hits(int(listed.size()));
            // The summaries of exactly this read's records.
            QSet<QString> numbers, summaries;
            for (int r = 0; r < page.rowCount(); ++r)
                numbers << page.text(r, 0);
            for (int i = 0; i + 1 < g_arrBookSum.size(); ++i)
                summaries << g_arrBookSum[i].marc_rec_no;
            numbers.remove(QStringLiteral("PG0026"));
            EXPECT_EQ(summaries, numbers);
            for (int r = 0; r < page.rowCount(); ++r)
                listed << page.text(r, 0);
            if (pages.complete())
                break;
            int added = 0;
            EXPECT_EQ(roundTripsOf([&] { added = pages.next(); }), 1);
            EXPECT_GT(added, 0);
            if (added <= 0)
                break;
        }
        EXPECT_EQ(roundTripsOf([&] { EXPECT_EQ(pages.next(), 0); }), 0);
        EXPECT_EQ(pages.listed(), listed.size());
        const BookSumEntry* seventh = pages.summary(QStringLiteral("PG0007"));
        EXPECT_TRUE(seventh && seventh->title == QString("分页7"));
        EXPECT_EQ(pages.summary(QStringLiteral("PG0026")), nullptr);
        EXPECT_EQ(pages.summaryList().size(), 26); // 25 summaries and the spare entry
        return listed;
    }

    QStringList expected;
};

// Wide storage for one test: the summaries come as dumps (two bytes a
// character, as the server of that storage gives them) and are decoded.
class WideStorage {
public:
    explicit WideStorage(testsupport::TestDatabase& db) : db_(db)
    {
        db_.exec("create function dump(v text, base integer) returns text language sql immutable as $$ "
                 "select case when v is null then 'NULL' else 'Typ=1 Len=' || 2 * length(v) || ': ' || "
                 "(select string_agg(to_hex(ascii(substr(v, i, 1)) / 256) || ',' || "
                 "to_hex(ascii(substr(v, i, 1)) % 256), ',' order by i) from generate_series(1, length(v)) i) end $$");
        g_intMarc03 = -1;
    }
    ~WideStorage()
    {
        g_intMarc03 = 0;
        db_.exec("drop function dump(text, integer)");
    }

private:
    testsupport::TestDatabase& db_;
};

} // namespace

TEST_F(HitPages, EveryRecordOnceInRecordNumberOrderAPageARead)
{
    SeekText quick;
    quick.sql = strQuickSearchSQL("02", "分页测试", false);
    // Matches anywhere in the key: the count and the first page from one
    // reading of the records found, in the same order.
    const SeekText anywhere = varBuildBookSeek({{"02", MatchAny, "页测"}}, false);
    EXPECT_TRUE(anywhere.anywhere);
    for (const SeekText& search :
         {quick, varBuildBookSeek({{"02", MatchPrefix, "分页测试"}, {"09", MatchPrefix, "分页出版"}}, false), anywhere,
          varBuildBookSeek({{"09", MatchPrefix, "分页出版"}, {"02", MatchAny, "页测"}}, false)}) {
        SCOPED_TRACE(search.sql.toStdString());
        // 500: fewer hits than a page, all in the first read.
        for (const int pageRows : {500, 26, 10, 7, 1}) {
            SCOPED_TRACE(pageRows);
            EXPECT_EQ(readAll(search, pageRows), expected);
        }
    }
}

TEST_F(HitPages, AJumpAheadReadsToTheEndOfItsPageInOneRead)
{
    BookHitPages pages;
    pages.pageRows = 7;
    ASSERT_EQ(pages.start(strQuickSearchSQL("02", "分页测试", false)), 0);
    EXPECT_EQ(pages.unlisted(), 19);
    int added = 0;
    EXPECT_EQ(roundTripsOf([&] { added = pages.next(16); }), 1);
    EXPECT_EQ(added, 14); // rows 8 to 21, the end of the third page
    EXPECT_EQ(pages.hits().text(20, 0), QString("PG0021"));
    EXPECT_EQ(roundTripsOf([&] { added = pages.next(9); }), 1); // behind the listed rows: the next page
    EXPECT_EQ(added, 5);
    EXPECT_TRUE(pages.complete());
    EXPECT_EQ(pages.unlisted(), 0);
    QStringList listed;
    for (int r = 0; r < pages.hits().rowCount(); ++r)
        listed << pages.hits().text(r, 0);
    EXPECT_EQ(listed, expected);
}

TEST_F(HitPages, TheQuickSearchCountsEveryRecordAndListsTheFirstPage)
{
    BookHitPages::defaultPageRows = 10;
    BookHitPages pages;
    BookHitPages::defaultPageRows = 500;
    long trips = 0;
    int count = 0;
    trips = roundTripsOf([&] { count = intQuickSearch("02", "分页测试", pages); });
    EXPECT_EQ(trips, 1);
    EXPECT_EQ(count, 26);
    EXPECT_EQ(pages.listed(), 10);
    EXPECT_EQ(g_arrBookSum.size(), 11);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(HitPages, WideStorageDecodesThePagesSummaries)
{
    WideStorage wide(db());
    for (const SeekText& search : {varBuildBookSeek({{"02", MatchPrefix, "分页测试"}}, true),
                                   varBuildBookSeek({{"02", MatchAny, "页测"}}, true)}) {
        SCOPED_TRACE(search.sql.toStdString());
        BookHitPages pages;
        pages.pageRows = 10;
        ASSERT_EQ(intRunBookSeek(search, pages), 0);
        EXPECT_EQ(pages.total(), 26);
        while (!pages.complete())
            ASSERT_GT(pages.next(), 0);
        EXPECT_EQ(pages.hits().rowCount(), 26);
        EXPECT_EQ(g_arrBookSum.size(), 5 + 1); // the last page's summaries: PG0021 to PG0025
        const BookSumEntry* seventh = pages.summary(QStringLiteral("PG0007"));
        ASSERT_NE(seventh, nullptr);
        EXPECT_EQ(seventh->title, QString("分页7"));
        EXPECT_EQ(seventh->isbn, QString("9787"));
        EXPECT_EQ(seventh->author, QString());
        EXPECT_EQ(seventh->marc_type, QString("C"));
        EXPECT_EQ(pages.summary(QStringLiteral("PG0026")), nullptr);
    }
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.lastText().toStdString();
}
