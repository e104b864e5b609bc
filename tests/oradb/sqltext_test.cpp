// Text rewrites of the database interface: empty literals, blocks, binds.

#include "platform/oradb/SqlText.h"

#include <gtest/gtest.h>

using namespace oradb::sqltext;

TEST(SqlText, EmptyLiteralsBecomeNullOnlyWhenWhole) {
    struct Case { const char* in; const char* out; } cases[] = {
        {"UPDATE t SET a='' WHERE b=1", "UPDATE t SET a=NULL WHERE b=1"},
        {"INSERT INTO t VALUES ('','x','')", "INSERT INTO t VALUES (NULL,'x',NULL)"},
        {"SELECT 'it''s' FROM t", "SELECT 'it''s' FROM t"},          // doubled quote inside a literal
        {"SELECT '''' FROM t", "SELECT '''' FROM t"},                // a literal holding one quote
        {"SELECT 'a''''b', '' FROM t", "SELECT 'a''''b', NULL FROM t"},
        {"SELECT ''''''", "SELECT ''''''"},                          // two quotes inside
        {"SELECT E'\\'' , E''", "SELECT E'\\'' , NULL"},             // escape-string literals
        {"SELECT \"a''b\" FROM t WHERE x=''", "SELECT \"a''b\" FROM t WHERE x=NULL"},
        {"SELECT 1 -- it''s ''\nFROM t", "SELECT 1 -- it''s ''\nFROM t"},
        {"SELECT /* '' */ $$''$$, $f$ '' $f$", "SELECT /* '' */ $$''$$, $f$ '' $f$"},
        {"SELECT x FROM t WHERE y IS NOT NULL AND z=''", "SELECT x FROM t WHERE y IS NOT NULL AND z=NULL"},
        {"WHERE a LIKE''", "WHERE a LIKE NULL"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(emptyLiteralsToNull(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(SqlText, BlankRewriteTouchesOnlyWholeEmptyLiterals) {
    EXPECT_EQ(emptyLiteralsToBlank("UPDATE t SET a='', b='it''s'"), "UPDATE t SET a=' ', b='it''s'");
    EXPECT_EQ(emptyLiteralsToBlank("SELECT ''''"), "SELECT ''''");
}

TEST(SqlText, BlocksBecomeCalls) {
    bool block = false;
    EXPECT_EQ(blockToCall("Begin XT_wkr_job_qty('401','0001',0,1,0); end;", &block),
              "CALL XT_wkr_job_qty('401','0001',0,1,0)");
    EXPECT_TRUE(block);
    EXPECT_EQ(blockToCall("  BEGIN p(a,b) ;  END ; "), "CALL p(a,b)");
    EXPECT_EQ(blockToCall("begin p; end;"), "CALL p()");
    EXPECT_EQ(blockToCall("Begin p('x; end;'); end;"), "CALL p('x; end;')");
    // Not a single call: left alone.
    EXPECT_EQ(blockToCall("Begin p(1); q(2); end;", &block), "Begin p(1); q(2); end;");
    EXPECT_FALSE(block);
    EXPECT_EQ(blockToCall("SELECT 1", &block), "SELECT 1");
    EXPECT_FALSE(block);
}

TEST(SqlText, BindsOutsideLiteralsAndCasts) {
    QStringList order;
    const QString out = substituteBinds(
        "CALL p(:A, ':A', x::text, :b, :missing) -- :A",
        [](const QString& n) { return n.compare("a", Qt::CaseInsensitive) == 0 ? QString("NULL")
                                    : n == "b"                                 ? QString("'v'")
                                                                               : QString(); },
        &order);
    EXPECT_EQ(out, "CALL p(NULL, ':A', x::text, 'v', :missing) -- :A");
    EXPECT_EQ(order, QStringList({"A", "b"}));
}

TEST(SqlText, TerminatorStrippedOutsideLiterals) {
    EXPECT_EQ(stripTerminator(" SELECT 1; "), "SELECT 1");
    EXPECT_EQ(stripTerminator("SELECT ';'"), "SELECT ';'");
}

TEST(SqlText, LiteralsLoseNulAndLoneSurrogates) {
    const QString nul(QChar(0)), high(QChar(0xD83D)), low(QChar(0xDE00));
    struct Case { QString in; QString out; } cases[] = {
        {"B-100", "'B-100'"},
        {"B" + nul + "1" + nul, "'B1'"},
        {nul, "''"},
        {"a" + high, "'a'"},
        {low + "a", "'a'"},
        {"x" + high + low + "y", "'x" + high + low + "y'"}, // a whole pair stays
        {low + high, "''"},                                // reversed: two lone halves
        {"it's" + nul, "'it''s'"},
    };
    for (const Case& c : cases) EXPECT_EQ(quoteLiteral(c.in), c.out) << c.in.toUtf8().toHex().constData();
}
