// Fields, subfields, embedded fields, item lists, titles and display widths.

#include "bench/MarcDemoGen.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMarcIdx.h"

#include <gtest/gtest.h>

using marcdemo::MarcBuilder;
using marcdemo::sf;

namespace {

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

MarcRecord record(const MarcBuilder& b, const QString& type = "C")
{
    MarcRecord rec;
    rec.marc_type = type;
    EXPECT_EQ(intParseMarcText(b.gbk(), rec), 0) << rec.error.toStdString();
    return rec;
}

class MarcField : public ::testing::Test {
protected:
    void SetUp() override
    {
        marcdemo::loadSeedParameters();
        subResetMarcPos();
    }
};

} // namespace

TEST_F(MarcField, RepeatedSubfieldsAcrossRepeatedFields)
{
    MarcBuilder b;
    b.control("001", "42");
    b.data("200", "1 ", sf('a', "A") + sf('a', "B") + sf('e', "x"));
    b.data("200", "1 ", sf('a', "C"));
    const MarcRecord rec = record(b);
    QStringList got;
    for (int i = 0; i < 5; ++i)
        got << strGetMarcSubfield(rec, "200a");
    EXPECT_EQ(got, QStringList({"A", "B", "C", "", "A"}));
}

TEST_F(MarcField, ControlFieldsAndPeek)
{
    MarcBuilder b;
    b.control("001", "0000000042");
    b.data("200", "1 ", sf('a', "T"));
    const MarcRecord rec = record(b);
    EXPECT_EQ(strGetMarcSubfield(rec, "001"), "0000000042");
    EXPECT_EQ(strGetMarcSubfield(rec, "001"), "");

    subResetMarcPos();
    EXPECT_EQ(strPeekMarcFieldByTag(rec, "200"), S("1 \x1F" "aT"));
    EXPECT_EQ(strPeekMarcFieldByTag(rec, "200"), S("1 \x1F" "aT")); // a peek stays on the field
    EXPECT_EQ(g_intMarcFieldPos, 1);
    EXPECT_EQ(strGetMarcFieldByTag(rec, "200"), S("1 \x1F" "aT"));
    EXPECT_EQ(strGetMarcFieldByTag(rec, "200"), "");
    EXPECT_EQ(g_intMarcFieldPos, 2);
}

TEST_F(MarcField, FieldWithoutWantedSubfieldIsSkipped)
{
    MarcBuilder b;
    b.data("701", " 0", sf('b', "no a here"));
    b.data("701", " 0", sf('a', S("李华")));
    const MarcRecord rec = record(b);
    EXPECT_EQ(strGetMarcSubfield(rec, "701a"), S("李华"));
    EXPECT_EQ(strGetMarcSubfield(rec, "701a"), "");
}

TEST_F(MarcField, IndicatorsOnlyFieldEndsTheEnumeration)
{
    MarcBuilder b;
    b.data("300", "  ", "");
    b.data("300", "  ", sf('a', "later"));
    const MarcRecord rec = record(b);
    EXPECT_EQ(strGetMarcSubfield(rec, "300a"), "");
    EXPECT_EQ(g_intMarcFieldPos, 0);
}

TEST_F(MarcField, EmbeddedFieldByIndicatorsBlankOrZero)
{
    MarcBuilder b;
    b.data("200", "1 ", sf('a', S("正题名")));
    b.data("461", " 0", marcdemo::embedded("200", "1 ", sf('a', S("丛书一")) + sf('v', "3")));
    b.data("461", " 0", marcdemo::embedded("200", "10", sf('a', S("丛书二"))));
    const MarcRecord rec = record(b);
    EXPECT_EQ(strGetMarcEmbeddedSubfield(rec, "4611200a"), S("丛书一"));
    EXPECT_EQ(strGetMarcEmbeddedSubfield(rec, "4611200a"), S("丛书二"));
    EXPECT_EQ(strGetMarcEmbeddedSubfield(rec, "4611200a"), "");
    EXPECT_EQ(strGetMarcItemList(rec, "225a,4611200a"), S("丛书一"));

    // In a USMARC record the item is an ordinary tag and code: 461 $1.
    MarcBuilder u;
    u.data("461", " 0", sf('1', "X") + sf('a', "Y"));
    EXPECT_EQ(strGetMarcItemList(record(u, "U"), "4611200a"), "X");
}

TEST_F(MarcField, ItemListTakesFirstNonEmptyValue)
{
    MarcBuilder b;
    b.data("210", "  ", sf('a', S("北京")) + sf('c', S("华文出版社")));
    b.data("701", " 0", sf('a', S("王明")));
    b.data("701", " 0", sf('a', S("李华")));
    const MarcRecord rec = record(b);
    EXPECT_EQ(strGetMarcItemList(rec, "200a,701a"), S("王明"));
    EXPECT_EQ(strGetMarcItemList(rec, "210"), S("北京 华文出版社"));
    EXPECT_EQ(strGetMarcItemList(rec, "  "), "");
    EXPECT_EQ(strGetMarcItemList(rec, "999a"), "");
}

TEST_F(MarcField, FieldDisplayText)
{
    EXPECT_EQ(strMarcFieldText(""), "");
    EXPECT_EQ(strMarcFieldText(S("1 \x1F" "aTitle\x1F" "eOther")), "Title Other");
    EXPECT_EQ(strMarcFieldText(S("  \x1F" "a中文 ")), S("中文"));
}

TEST_F(MarcField, CnmarcAndUsmarcTitles)
{
    MarcBuilder b;
    b.data("200", "1 ", sf('a', "Main") + sf('e', "Sub") + sf('h', "2") + sf('i', "Part"));
    EXPECT_EQ(strGetMarcTitle(record(b), 0), "Main:Sub.2,Part");

    MarcBuilder noH;
    noH.data("200", "1 ", sf('a', "Main") + sf('i', "Part"));
    EXPECT_EQ(strGetMarcTitle(record(noH), 0), "Main.Part");

    MarcBuilder us;
    us.data("245", "14", sf('a', "The art") + sf('b', "a guide") + sf('c', "by X."));
    us.data("100", "1 ", sf('a', "Carter, John"));
    us.data("260", "  ", sf('b', "Harbor Press"));
    const MarcRecord u = record(us, "U");
    EXPECT_EQ(strGetMarcTitle(u, 0), "The art a guide");
    EXPECT_EQ(strGetMarcTitle(u, 1), "Carter, John");
    EXPECT_EQ(strGetMarcTitle(u, 3), "Harbor Press");
    EXPECT_EQ(strGetMarcTitle(u, 9), "");
    EXPECT_EQ(strGetMarcTitle(u, 14), "");
    EXPECT_EQ(strGetMarcTitle(u, -1), "");
}

TEST_F(MarcField, FormatsAndInitialRecord)
{
    MarcRecord rec;
    for (const auto& [type, format] : {std::pair{"C", 0}, {"U", 1}, {"c", 2}, {"u", 3}, {"N", 0}, {"", 0}}) {
        rec.marc_type = type;
        EXPECT_EQ(intGetMarcFormat(rec), format) << type;
    }
    const MarcRecord empty;
    EXPECT_EQ(strGetMarcFieldByTag(empty, "200"), "");
    EXPECT_EQ(strGetMarcSubfield(empty, "200a"), "");
    EXPECT_EQ(strGetMarcEmbeddedSubfield(empty, "4611200a"), "");
    EXPECT_EQ(strGetMarcTitle(empty, 0), "");
    // A hand-made directory that points outside the data reads as empty.
    MarcRecord forged;
    forged.count = 1;
    forged.directory = {MarcDirEntry{"200", 5, 100}, MarcDirEntry{}};
    forged.data = "12345";
    subResetMarcPos();
    EXPECT_EQ(strGetMarcFieldByTag(forged, "200"), "");
}

TEST_F(MarcField, CharPosByWidth)
{
    const struct {
        QString text;
        int width;
        int expected;
    } cases[] = {
        {"ab", 5, 3},
        {"ab cd", 3, 2},
        {S("中文字"), 5, 2},
        {S("中文字"), 6, 3},
        {"", 5, 1},
        {S("a中"), 2, 1},
        {"abcdef", 3, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(intCharPosByWidth(c.text, c.width), c.expected) << c.text.toStdString() << " " << c.width;
}
