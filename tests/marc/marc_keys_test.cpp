// Search keys, ISBNs, the index-group file, dumps and byte substrings.

#include "common/basDB.h"
#include "common/basMarc.h"
#include "common/basMarcIdx.h"
#include "platform/text/AnsiFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

void setStopwords(const QString& words, const QString& texts, const QString& chars2, const QString& chars3)
{
    g_arrStopword[0] = words;
    g_arrStopword[1] = texts;
    g_arrStopword[2] = chars2;
    g_arrStopword[3] = chars3;
}

} // namespace

TEST(MarcKeys, NormalizeKeyWithStopwords)
{
    const struct {
        const char* words;
        const char* texts;
        const char* chars;
        const char* key;
        const char* expected;
    } cases[] = {
        {"THE,A", "", "", "THE CAT", "CAT"},
        {"THE,A", "", "", "A", ""},
        {"THE,A", "", "", "the  cat   sat", "cat sat"}, // word test is upper-case, runs of blanks collapse
        {"", "", "-", "A-B", "AB"},
        {"", "ON", "", "MONKEY", "MKEY"},
        {"", "ON", "", "CAT ON MAT", "CAT  MAT"}, // not trimmed again
        {"", "OF,IN,ON", "", "OFINONX", "X"},
        {"", " ON , OF ", "", "ONE OF", "E "},
        {"THE", "", "《》", "  《THE 书名》 ", "书名"},
        {"", "", "", "   ", ""},
    };
    for (const auto& c : cases) {
        setStopwords(S(c.words), S(c.texts), S(c.chars), "");
        EXPECT_EQ(strNormalizeKey(S(c.key)), S(c.expected)) << c.key;
    }
    setStopwords("", "", "-", "·");
    EXPECT_EQ(strNormalizeKey(S("A-B·C")), "ABC"); // entry 3 after entry 2
}

TEST(MarcKeys, Isbn)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"9787504123458", "7-5041-2345-5"},  // D's second character 5: d-dddd-dddd-c
        {"9787081234501", "7-08-123450-X"},  // 0: d-dd-dddddd-c (check 10 -> X)
        {"9787812345611", "7-81234-561-0"},  // 8: d-ddddd-ddd-c (check 11 -> 0)
        {"9787302123456", "7-302-12345-4"},  // 3
        {"9787912345678", "7-912345-67-1"},  // 9: six digits
        {"97875X4123458", "7-5X41-2345-"},   // a letter: no check character
        {"978750412345", "978750412345"},    // twelve characters: unchanged
        {"9791234567896", "9791234567896"},  // 979 numbers have no ten-digit form
        {"9771234567003", "1234-567"},       // ISSN without its check digit
        {"1234567890123", "1234567890123"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(strGetIsbn(c.in), c.out) << c.in;
}

TEST(MarcKeys, HexEscapeAndDumps)
{
    EXPECT_EQ(strToHexEscape(S("中A%")), "\\4E2D\\0041\\0025");
    EXPECT_EQ(strToHexEscape(""), "");
    EXPECT_EQ(strToHexEscape(QString(QChar(0)) + QChar(u'A') + QChar(0xD800)), "\\0041");
    EXPECT_EQ(strDumpToText("Typ=1 Len=6: 0,41,0,42,4e,2d"), S("AB中"));
    EXPECT_EQ(strDumpToText("Typ=1 Len=1: 5"), QString(QChar(0x0500)));
    EXPECT_EQ(strDumpToText("NULL"), "");
    EXPECT_EQ(strDumpToText(""), "");
}

TEST(MarcKeys, MidBytes)
{
    const QString t = S("中文AB字");
    const struct {
        long start;
        int length;
        QString expected;
    } cases[] = {
        {1, 2, S("中")},
        {1, 4, S("中文")},
        {3, 3, S("文A")},
        {5, -1, S("AB字")},
        {2, 2, S("文A")}, // starts inside 中: whole characters from the next one
        {7, 2, S("字")},
        {9, 2, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(strMidBytes(t, c.start, c.length), c.expected) << c.start << "," << c.length;
    EXPECT_EQ(strMidBytes("", 1, 3), "");
}

TEST(MarcKeys, SummarySelectRewrittenForDumps)
{
    EXPECT_EQ(strMarcSelectToDump("select marc_rec_no, m_title from marc where marc_rec_no='1'"),
              "SELECT MARC_REC_NO, dump(M_TITLE,16)  FROM  marc where marc_rec_no='1'");
    const QString list = strMarcSelectToDump(
        "SELECT MARC_REC_NO,M_CALL_NO,M_TITLE FROM marc WHERE marc_rec_no in "
        "(select distinct marc_rec_no from marc_idx)");
    EXPECT_TRUE(list.startsWith("SELECT  DISTINCT MARC_REC_NO, dump(M_CALL_NO,16) , dump(M_TITLE,16)  FROM  marc"))
        << list.toStdString();
}

TEST(MarcKeys, IndexGroupValues)
{
    const struct {
        const char* value;
        const char* caption;
        const char* code;
        int number;
    } cases[] = {
        {"题名:02", "题名", "02", 0},
        {"ISBN:05:1", "ISBN", "05", 1},
        {"索书号:91:", "索书号", "91", 0},
        {"无冒号", "无冒号", "", 0},
    };
    for (const auto& c : cases) {
        const IdxGroupEntry e = varParseIdxGroup(S(c.value));
        EXPECT_EQ(e.caption, S(c.caption)) << c.value;
        EXPECT_EQ(e.code, S(c.code)) << c.value;
        EXPECT_EQ(e.number, c.number) << c.value;
    }
}

TEST(MarcKeys, IndexGroupFileStopsAtFirstMissingOrEmptyKey)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("BM_MarcIDX.ini");
    ASSERT_TRUE(text::writeAnsiFile(file, S("[使用检索途径]\n001=题名:02\n002=ISBN:05:1\n004=索书号:91\n")));
    QVector<IdxGroupEntry> g = varReadIdxGroups(file);
    ASSERT_EQ(g.size(), 2);
    EXPECT_EQ(g[1].code, "05");
    EXPECT_EQ(varReadIdxGroups(file, 1).size(), 1);

    ASSERT_TRUE(text::writeAnsiFile(file, S("[使用检索途径]\n001=题名:02\n002=\n003=索书号:91\n")));
    EXPECT_EQ(varReadIdxGroups(file).size(), 1);
    EXPECT_TRUE(varReadIdxGroups(dir.filePath("missing.ini")).isEmpty());
}

TEST(MarcKeys, ShippedIndexGroupFile)
{
    const QString root = qEnvironmentVariable("CONSIGN_SOURCE_DIR");
    if (root.isEmpty())
        GTEST_SKIP() << "CONSIGN_SOURCE_DIR not set";
    const QVector<IdxGroupEntry> g = varReadIdxGroups(root + "/resources/CFG/BM/BaseParam/BM_MarcIDX.ini");
    ASSERT_GE(g.size(), 6);
    QStringList codes;
    for (const IdxGroupEntry& e : g)
        codes << e.code;
    for (const char* want : {"02", "03", "05", "91", "92", "93"})
        EXPECT_TRUE(codes.contains(want)) << want;
    for (const IdxGroupEntry& e : g)
        EXPECT_FALSE(e.caption.isEmpty() || e.code.contains(':')) << e.code.toStdString();
}

TEST(MarcKeys, StopwordFlagOnlyFromCnmarcSearchGroups)
{
    g_arrIdxParaUse0 = QVector<std::array<IdxParaEntry, 4>>(3);
    g_arrIdxParaUse0[0][0] = {"02", "200a", "", 1};
    g_arrIdxParaUse0[1][0] = {"03", "701a", "", 0};
    g_arrIdxParaUse0[0][1] = {"07", "245a", "", 1};
    g_intIdxParaMax = 2;
    EXPECT_TRUE(blnMarcTagFlag("02"));
    EXPECT_FALSE(blnMarcTagFlag("03"));
    EXPECT_FALSE(blnMarcTagFlag("07")); // only the CNMARC column counts
    EXPECT_FALSE(blnMarcTagFlag("99"));
    g_intIdxParaMax = 10; // larger than the table: no read past it
    EXPECT_FALSE(blnMarcTagFlag("99"));
}

TEST(MarcKeys, SearchKeyPreparation)
{
    g_arrStopword[0] = "THE,A,AN,OF,AND";
    g_arrStopword[1] = "";
    g_arrStopword[2] = "-:";
    g_arrStopword[3] = "";
    g_arrIdxParaUse0 = QVector<std::array<IdxParaEntry, 4>>(2);
    g_arrIdxParaUse0[0][0] = {"02", "200a", "", 1};
    g_intIdxParaMax = 1;
    g_intIdxContLen = 60;
    const struct {
        const char* group;
        const char* typed;
        bool prefix;
        const char* key;
    } cases[] = {
        {"02", "  the art of small-programs ", false, "ART SMALLPROGRAMS"},
        {"02", "数据 结构 与算法", true, "数据结构与算法%"},
        {"03", "the  carter", false, "THE CARTER"},           // no stop words outside group 02
        {"05", "9787504123458", false, "7-5041-2345-5"},
        {"05", "9791234567896", false, "9791234567896"},
        {"91", "tp311 .12", true, "TP311 .12%"},
        {"91", "数据 结构", false, "数据 结构"},            // codes beginning with 9 keep their blanks
    };
    for (const auto& c : cases)
        EXPECT_EQ(strPrepareIdxKey(c.group, S(c.typed), c.prefix), S(c.key)) << c.typed;
    // Cut to the key width in display columns: 31 Chinese characters take 62.
    const QString longKey = strPrepareIdxKey("03", QString(31, QChar(0x4E2D)));
    EXPECT_EQ(longKey.size(), 30);
    g_intIdxContLen = 30;
    EXPECT_EQ(strPrepareIdxKey("03", QString(31, QChar(0x4E2D))).size(), 15);
    g_intIdxContLen = 60;
}
