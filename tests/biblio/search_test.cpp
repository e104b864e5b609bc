// Quick and combined record search: the texts the searches send, and what they
// find in the demo library.

#include "biblio/BookSearch.h"
#include "common/basDBBatch.h"
#include "common/basMarcList.h"
#include "tests/biblio/BiblioFixture.h"

#include <QSet>

using namespace biblio;

namespace {

QSet<QString> numbers(const DBResultSet& rs)
{
    QSet<QString> s;
    for (int i = 0; i < rs.rowCount(); ++i)
        s << rs.text(i, 0);
    return s;
}

QSet<QString> set(std::initializer_list<const char*> nos)
{
    QSet<QString> s;
    for (const char* n : nos)
        s << QString::fromLatin1(n);
    return s;
}

class BookSearch : public BiblioTest {};

} // namespace

TEST_F(BookSearch, CombinedSearchTexts)
{
    struct Case {
        const char* name;
        QVector<SeekRow> rows;
        bool wide;
        const char* sql;
    };
    const QVector<Case> cases = {
        {"one MARC row", {{"02", MatchPrefix, "数据"}}, false,
         R"( SELECT DISTINCT idx0.marc_rec_no FROM  marc_idx idx0 WHERE (idx0.marc_idx_grp = '02' AND  idx0.marc_idx_cont Like '数据%' ESCAPE '\') )"},
        {"MARC rows 0 and 2 chained", {{"02", MatchPrefix, "数据"}, {}, {"03", MatchPrefix, "王明"}}, false,
         R"( SELECT DISTINCT idx2.marc_rec_no FROM  marc_idx idx0, marc_idx idx2 WHERE (idx0.marc_idx_grp = '02' AND  idx0.marc_idx_cont Like '数据%' ESCAPE '\') AND (idx2.marc_idx_grp = '03' AND  idx2.marc_idx_cont Like '王明%' ESCAPE '\') AND idx0.marc_rec_no = idx2.marc_rec_no )"},
        {"call number alone", {{"91", MatchPrefix, " tp3 "}}, false,
         R"( SELECT DISTINCT call_no_lst.marc_rec_no FROM call_no_lst WHERE call_no_lst.call_no Like 'TP3%' ESCAPE '\' )"},
        {"property and bar code", {{"92", MatchPrefix, "p6001"}, {"93", MatchPrefix, "b6001"}}, false,
         R"( SELECT DISTINCT indi_acct.marc_rec_no FROM indi_acct WHERE indi_acct.prop_no Like 'P6001%' ESCAPE '\' AND indi_acct.bar_code Like 'B6001%' ESCAPE '\' )"},
        // Row 0 is no MARC row: the call numbers join the first MARC row.
        {"call number before a MARC row", {{"91", MatchPrefix, "Q94"}, {"02", MatchPrefix, "植物"}}, false,
         R"( SELECT DISTINCT idx1.marc_rec_no FROM  marc_idx idx1, call_no_lst WHERE call_no_lst.call_no Like 'Q94%' ESCAPE '\' And (idx1.marc_idx_grp = '02' AND  idx1.marc_idx_cont Like '植物%' ESCAPE '\') AND  call_no_lst.marc_rec_no = idx1.marc_rec_no )"},
        // Call numbers and copies without a MARC row join on the record number.
        {"call number with copies", {{"91", MatchPrefix, "Q94"}, {"92", MatchPrefix, "P6001"}}, false,
         R"( SELECT DISTINCT call_no_lst.marc_rec_no FROM call_no_lst, indi_acct WHERE call_no_lst.call_no Like 'Q94%' ESCAPE '\' And indi_acct.prop_no Like 'P6001%' ESCAPE '\' AND  call_no_lst.marc_rec_no = indi_acct.marc_rec_no )"},
        {"wide storage", {{"03", MatchPrefix, "ab"}, {"91", MatchPrefix, "ab"}}, true,
         R"( SELECT DISTINCT idx0.marc_rec_no FROM  marc_idx idx0, call_no_lst WHERE (idx0.marc_idx_grp = '03' AND  idx0.marc_idx_cont Like unistr('\0041\0042\0025') ESCAPE '\') AND call_no_lst.call_no Like 'AB%' ESCAPE '\' And  call_no_lst.marc_rec_no = idx0.marc_rec_no )"},
        {"exact and contains", {{"03", MatchExact, "王明"}, {"09", MatchAny, "华文"}}, false,
         R"( SELECT DISTINCT idx1.marc_rec_no FROM  marc_idx idx0, marc_idx idx1 WHERE (idx0.marc_idx_grp = '03' AND  idx0.marc_idx_cont = '王明') AND (idx1.marc_idx_grp = '09' AND  idx1.marc_idx_cont Like '%华文%' ESCAPE '\') AND idx0.marc_rec_no = idx1.marc_rec_no )"},
        {"quote, wildcards and backslash", {{"09", MatchPrefix, "o'r_1%\\"}}, false,
         R"( SELECT DISTINCT idx0.marc_rec_no FROM  marc_idx idx0 WHERE (idx0.marc_idx_grp = '09' AND  idx0.marc_idx_cont Like 'O''R\_1\%\\%' ESCAPE '\') )"},
        {"no value", {{"02", MatchPrefix, "  "}, {"03", MatchPrefix, ""}, {}, {}, {}}, false, ""},
        {"stop words only", {{"02", MatchPrefix, "the of"}}, false, ""},
        {"a value in a row without group", {{"", MatchPrefix, "数据"}}, false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(varBuildBookSeek(c.rows, c.wide).sql, QString::fromUtf8(c.sql)) << c.name;

    // An ISBN row shows its ISBN form after the search.
    const SeekText isbn = varBuildBookSeek({{"05", MatchPrefix, "9787504123459"}}, false);
    EXPECT_EQ(isbn.shown.value(0), QString("7-5041-2345-5"));
    EXPECT_TRUE(isbn.sql.contains("'7-5041-2345-5%'"));
}

TEST_F(BookSearch, CombinedSearchFindsEachKindOfCombination)
{
    struct Case {
        const char* name;
        QVector<SeekRow> rows;
        QSet<QString> found;
    };
    const QVector<Case> cases = {
        {"title with call number", {{"02", MatchPrefix, "数据结构"}, {"91", MatchPrefix, "TP311"}}, set({"0000000001"})},
        {"title with author", {{"02", MatchPrefix, "计算机"}, {"03", MatchPrefix, "孙立"}}, set({"0000000004"})},
        {"title with the wrong author", {{"02", MatchPrefix, "计算机"}, {"03", MatchPrefix, "王明"}}, {}},
        {"call number before title", {{"91", MatchPrefix, "Q94"}, {"02", MatchPrefix, "植物"}}, set({"0000000006"})},
        {"call number with copy", {{"91", MatchPrefix, "Q94"}, {"92", MatchPrefix, "p6001"}}, set({"0000000006"})},
        {"call number with another record's copy", {{"91", MatchPrefix, "Q94"}, {"92", MatchPrefix, "P5000"}}, {}},
        {"bar code alone", {{"93", MatchPrefix, "B6001B"}}, set({"0000000006"})},
        {"publisher anywhere", {{"09", MatchAny, "文出版"}}, set({"0000000001", "0000000004"})},
        {"author exactly", {{"03", MatchExact, "王明"}}, set({"0000000001"})},
        {"part of an author exactly", {{"03", MatchExact, "王"}}, {}},
        {"a typed % is no wildcard", {{"02", MatchAny, "%"}}, {}},
        {"a typed _ is no wildcard", {{"91", MatchPrefix, "Q94_Z53"}}, {}},
    };
    for (const Case& c : cases) {
        const SeekText t = varBuildBookSeek(c.rows, false);
        ASSERT_FALSE(t.sql.isEmpty()) << c.name;
        DBResultSet rs;
        ASSERT_EQ(LIB_DB_Select(t.sql, rs), 0) << c.name << " " << t.sql.toStdString();
        EXPECT_EQ(numbers(rs), c.found) << c.name;
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(BookSearch, QuickSearchByEveryGroup)
{
    struct Case {
        const char* code;
        const char* typed;
        QSet<QString> found;
    };
    const QVector<Case> cases = {
        {"02", "数据结构与", set({"0000000001"})},
        {"02", "the art of small", set({"0000000007"})}, // stop words dropped
        {"02", "  reading   in ", set({"0000000008"})},
        {"03", "王明", set({"0000000001"})},
        {"05", "9787504123459", set({"0000000001"})},
        {"07", "数据 结构", set({"0000000001"})},           // blanks beside Chinese dropped
        {"09", "华文", set({"0000000001", "0000000004"})},
        {"91", "q94/z53", set({"0000000006"})},
        {"92", "p6001", set({"0000000006"})},
        {"93", "b6001b", set({"0000000006"})},
        {"91", "Q94%", {}},
        {"92", "P600_", {}},
        {"09", "华文\\", {}},
        {"03", "O'Reilly", {}},
    };
    for (const Case& c : cases) {
        BookHitPages pages;
        QString shown;
        const int n = intQuickSearch(QString::fromLatin1(c.code), QString::fromUtf8(c.typed), pages, &shown);
        EXPECT_EQ(n, c.found.size()) << c.code << " " << c.typed;
        EXPECT_EQ(numbers(pages.hits()), c.found) << c.code << " " << c.typed;
        if (n > 0) {
            // The summaries of exactly the hits, loaded with them.
            EXPECT_EQ(g_arrBookSum.size(), n + 1);
            BookSumIndex index;
            index.rebuild();
            for (const QString& no : c.found)
                EXPECT_NE(index.find(no), nullptr) << no.toStdString();
        }
        if (QString::fromLatin1(c.code) == "05") {
            EXPECT_EQ(shown, QString("7-5041-2345-5"));
        }
    }
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.lastText().toStdString();
}

TEST_F(BookSearch, QuickSearchKeys)
{
    // Nothing left to search: no query at all.
    g_strSQL = "untouched";
    BookHitPages pages;
    EXPECT_EQ(intQuickSearch("02", "   ", pages), 0);
    EXPECT_EQ(intQuickSearch("02", "the of", pages), 0);
    EXPECT_EQ(intQuickSearch("", "数据", pages), 0);
    EXPECT_EQ(g_strSQL, QString("untouched"));

    // Blanks: removed beside Chinese in MARC groups, kept in the 9x groups.
    EXPECT_EQ(strQuickSearchKey("07", "数据 结构"), QString("数据结构"));
    EXPECT_EQ(strQuickSearchKey("91", "数据 结构"), QString("数据 结构"));
    EXPECT_EQ(strQuickSearchKey("03", "carter,  john"), QString("CARTER, JOHN"));

    // The cut at the key width never splits a Chinese character.
    const int saved = g_intIdxContLen;
    g_intIdxContLen = 30;
    EXPECT_EQ(strQuickSearchKey("03", QString(20, QChar(0x738B))), QString(15, QChar(0x738B)));
    EXPECT_EQ(strQuickSearchKey("03", "A" + QString(20, QChar(0x738B))), "A" + QString(14, QChar(0x738B)));
    EXPECT_EQ(strQuickSearchKey("03", QString(30, 'x')), QString(30, 'X'));
    g_intIdxContLen = saved;

    // Texts the search sends.
    EXPECT_EQ(strQuickSearchSQL("91", "Q'9", false),
              QString(R"(SELECT distinct marc_rec_no FROM call_no_lst WHERE call_no LIKE 'Q''9%' ESCAPE '\')"));
    EXPECT_EQ(strQuickSearchSQL("93", "B1", true),
              QString(R"(SELECT distinct marc_rec_no FROM indi_acct WHERE bar_code LIKE 'B1%' ESCAPE '\')"));
    EXPECT_EQ(strQuickSearchSQL("02", "AB", false),
              QString(R"(SELECT distinct marc_rec_no FROM marc_idx WHERE marc_idx_grp = '02' AND  marc_idx_cont LIKE 'AB%' ESCAPE '\')"));
    EXPECT_EQ(strQuickSearchSQL("02", "AB", true),
              QString(R"(SELECT distinct marc_rec_no FROM marc_idx WHERE marc_idx_grp = '02' AND  marc_idx_cont LIKE unistr('\0041\0042\0025') ESCAPE '\')"));
}

TEST_F(BookSearch, ListRowsAndRowJump)
{
    BookHitPages pages;
    ASSERT_EQ(intQuickSearch("91", "Q94/Z53", pages), 1);
    BookSumIndex index;
    index.rebuild();
    const QStringList row = strBookRowTexts(index.find(kRecord));
    ASSERT_EQ(row.size(), 10);
    EXPECT_EQ(row[0], QString("植物学基础"));
    EXPECT_EQ(row[4], strDocTypeName("01"));
    EXPECT_EQ(row[7], QString("CN"));
    EXPECT_EQ(row[8], QString("Q94/Z53"));
    EXPECT_EQ(row[9], QString("订购"));
    // A hit without a summary: its own number beside empty fields, never another record's.
    EXPECT_EQ(index.find("0000000099"), nullptr);
    EXPECT_EQ(strBookRowTexts(nullptr), QStringList(10, QString()));

    struct Jump {
        const char* text;
        int last;
        int row;
    };
    for (const Jump& j : {Jump{"0", 5, 1}, Jump{"-3", 5, 1}, Jump{"", 5, 1}, Jump{"abc", 5, 1}, Jump{"3", 5, 3},
                          Jump{"3.9", 5, 3}, Jump{"6", 5, 5}, Jump{"999999", 40000, 40000}, Jump{"2", 0, 0}})
        EXPECT_EQ(intClampRowNumber(QString::fromLatin1(j.text), j.last), j.row) << j.text;
}

TEST_F(BookSearch, StatementsPerSearch)
{
    // The count, the first page and its summaries: one statement.
    StatementLog& log = statementLog();
    BookHitPages pages;
    log.count = 0;
    LIB_DB_ResetTraffic();
    ASSERT_EQ(intQuickSearch("09", "华文", pages), 2);
    EXPECT_EQ(log.count, 1);
    EXPECT_EQ(LIB_DB_RoundTrips(), 1);
    log.count = 0;
    LIB_DB_ResetTraffic();
    const SeekText t = varBuildBookSeek({{"02", MatchPrefix, "计算机"}, {"03", MatchPrefix, "孙"}}, false);
    ASSERT_EQ(intRunBookSeek(t, pages), 0);
    EXPECT_EQ(pages.total(), 1);
    EXPECT_EQ(pages.hits().rowCount(), 1);
    EXPECT_EQ(log.count, 1);
    EXPECT_EQ(LIB_DB_RoundTrips(), 1);
    LIB_DB_ResetTraffic();
    EXPECT_EQ(intQuickSearch("09", "无此出版社", pages), 0);
    EXPECT_EQ(LIB_DB_RoundTrips(), 1);
    EXPECT_TRUE(pages.complete());
}
