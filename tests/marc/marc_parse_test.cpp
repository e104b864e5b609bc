// Taking MARC record texts apart: directories in GBK bytes, malformed texts,
// and a bounded fuzz run over the parser and the getters.

#include "bench/MarcDemoGen.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "platform/text/CodePage.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <random>

using marcdemo::MarcBuilder;
using marcdemo::sf;

namespace {

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

QByteArray chineseRecord()
{
    MarcBuilder b;
    b.control("001", "0000000042");
    b.data("200", "1 ", sf('a', S("数据结构")) + sf('e', S("C语言版")));
    b.data("200", "1 ", sf('a', S("第二题名")));
    b.data("461", " 0", marcdemo::embedded("200", "1 ", sf('a', S("丛书名")) + sf('v', "3")));
    b.data("701", " 0", sf('a', S("王明")));
    b.data("701", " 0", sf('a', S("李华")));
    return b.gbk();
}

MarcRecord parsed(const QByteArray& text, const QString& type = "C")
{
    MarcRecord rec;
    rec.marc_type = type;
    EXPECT_EQ(intParseMarcText(text, rec), 0) << rec.error.toStdString();
    return rec;
}

// Replaces bytes at `at` (0-based) with `with`.
QByteArray patched(QByteArray b, qsizetype at, const QByteArray& with)
{
    b.replace(at, with.size(), with);
    return b;
}

} // namespace

TEST(MarcParse, DirectoryCountsGbkBytes)
{
    const QByteArray text = chineseRecord();
    const MarcRecord rec = parsed(text);
    ASSERT_EQ(rec.count, 6);
    ASSERT_EQ(rec.directory.size(), 7); // entry `count` stays empty
    EXPECT_TRUE(rec.directory[6].tag.isEmpty());
    EXPECT_EQ(rec.leader.left(5).toLong(), text.size());
    // 001 is "0000000042" + terminator: 11 bytes; the first 200 field holds
    // 6 Chinese characters (12 bytes) and starts right after.
    EXPECT_EQ(rec.directory[0].tag, "001");
    EXPECT_EQ(rec.directory[0].length, 11);
    EXPECT_EQ(rec.directory[1].start, 11);
    EXPECT_EQ(rec.directory[1].length, 2 + 2 + 8 + 2 + 7 + 1); // "C语言版" is 7 bytes
    EXPECT_EQ(rec.data.back(), MARC_RECORD_END);

    subResetMarcPos();
    EXPECT_EQ(strGetMarcFieldByTag(rec, "001"), "0000000042");
    EXPECT_EQ(strGetMarcFieldByTag(rec, "200"), S("1 \x1F" "a数据结构\x1F" "eC语言版"));
    EXPECT_EQ(strGetMarcFieldByTag(rec, "701"), S(" 0\x1F" "a王明"));
    EXPECT_EQ(strGetMarcFieldByTag(rec, "701"), S(" 0\x1F" "a李华"));
    EXPECT_EQ(strGetMarcFieldByTag(rec, "701"), "");
}

TEST(MarcParse, EntryCountRoundsHalvesToEven)
{
    // A base address of 31 gives (31 - 25) / 12 = 0.5, taken to 0 entries;
    // 97 gives 6 entries.
    QByteArray t(40, ' ');
    t.replace(0, 5, "00040");
    t.replace(12, 5, "00031");
    t[39] = MARC_RECORD_END;
    MarcRecord rec = parsed(t);
    EXPECT_EQ(rec.count, 0);
    EXPECT_EQ(rec.data.size(), 40 - 31);

    MarcBuilder b;
    for (int i = 0; i < 6; ++i)
        b.control(QStringLiteral("00%1").arg(i + 1), "x");
    const QByteArray six = b.gbk();
    EXPECT_EQ(six.mid(12, 5), "00097");
    EXPECT_EQ(parsed(six).count, 6);
}

// A leader or directory that does not add up is read as far as it goes: the
// record length is not used, numbers are their leading digits, and bytes
// that are no character decode as "?".
TEST(MarcParse, ImperfectRecordsStillRead)
{
    const QByteArray good = chineseRecord();
    const qsizetype base = good.mid(12, 5).toLong();
    const qsizetype field200 = base + parsed(good).directory[1].start;
    const struct {
        const char* name;
        QByteArray text;
        const char* title; // 200a as read
    } cases[] = {
        {"record length one too many", patched(good, 0, QByteArray::number(good.size() + 1).rightJustified(5, '0')),
         "数据结构"},
        {"record length one too few", patched(good, 0, QByteArray::number(good.size() - 1).rightJustified(5, '0')),
         "数据结构"},
        {"record length 00000", patched(good, 0, "00000"), "数据结构"},
        {"record length not digits", patched(good, 0, "12a45"), "数据结构"},
        {"no record end", good.chopped(1), "数据结构"},
        {"byte 0xFF in a field", patched(good, field200 + 4, "\xFF" "A"), "?A据结构"},
        {"non-ASCII byte in the leader", patched(good, 20, "\xB0"), "数据结构"},
    };
    for (const auto& c : cases) {
        MarcRecord rec;
        rec.marc_type = "C";
        ASSERT_EQ(intParseMarcText(c.text, rec), 0) << c.name << ": " << rec.error.toStdString();
        EXPECT_EQ(rec.count, 6) << c.name;
        EXPECT_EQ(rec.data.back(), MARC_RECORD_END) << c.name;
        subResetMarcPos();
        EXPECT_EQ(strGetMarcSubfield(rec, "200a"), S(c.title)) << c.name;
        EXPECT_EQ(strGetMarcItemList(rec, "701a"), S("王明")) << c.name;
    }
}

// Directory positions are bytes: a start or end inside a double-byte character
// cuts the bytes there, and the cut character reads as "?".
TEST(MarcParse, PositionInsideACharacterCutsThere)
{
    const QByteArray good = chineseRecord();
    const MarcRecord ok = parsed(good);
    // 200 field: "1 " mark "a" then 数据结构 (bytes 4..11 of the field).
    const QByteArray startInside = patched(good, 24 + 12 + 3,
        QByteArray::number(ok.directory[1].length - 5).rightJustified(4, '0')
            + QByteArray::number(ok.directory[1].start + 5).rightJustified(5, '0'));
    MarcRecord rec = parsed(startInside);
    const qsizetype base = good.mid(12, 5).toLong();
    const QByteArray cut = good.mid(base + ok.directory[1].start + 5, ok.directory[1].length - 6);
    EXPECT_TRUE(cut.endsWith("\x1F" "eC" + text::toGbk(S("语言版"))));
    subResetMarcPos();
    EXPECT_EQ(strGetMarcFieldByTag(rec, "200"), text::fromGbk(cut));

    // Length ending one byte into 结: the field is 数据 and half a character.
    const QByteArray endInside = patched(good, 24 + 12 + 3, "0010");
    rec = parsed(endInside);
    subResetMarcPos();
    EXPECT_EQ(strGetMarcFieldByTag(rec, "200"), S("1 \x1F" "a数据?"));
    subResetMarcPos();
    EXPECT_EQ(strGetMarcSubfield(rec, "701a"), S("王明"));
}

// Only a text that cannot be read fails, with its reason, and nothing of it
// stays in the record.
TEST(MarcParse, UnreadableTextsFailWithTheirReason)
{
    const QByteArray good = chineseRecord();
    QByteArray noTerminators = good;
    noTerminators.replace(char(MARC_FIELD_END), ' ');
    const struct {
        const char* name;
        QByteArray text;
        const char* says;
    } cases[] = {
        {"empty", QByteArray(), "不完整"},
        {"shorter than a leader", good.left(20), "不完整"},
        {"base address gives no directory", patched(good, 12, "00012"), "基地址"},
        {"base address not digits", patched(good, 12, "x0097"), "基地址"},
        {"directory past the record", patched(good, 12, "99999"), "目录"},
        {"entry points past the end", patched(good, 24 + 12 + 7, "99990"), "记录之外"},
        {"entry length past the end", patched(good, 24 + 3, "9999"), "记录之外"},
        {"no field terminator at all", noTerminators, "字段结束符"},
    };
    for (const auto& c : cases) {
        MarcRecord rec;
        rec.leader = "stale";
        rec.count = 3;
        EXPECT_EQ(intParseMarcText(c.text, rec), -1) << c.name;
        EXPECT_TRUE(rec.error.contains(QString::fromUtf8(c.says))) << c.name << ": " << rec.error.toStdString();
        EXPECT_EQ(rec.count, 0) << c.name;
        EXPECT_TRUE(rec.directory.isEmpty() && rec.data.isEmpty() && rec.leader.isEmpty()) << c.name;
        subResetMarcPos();
        EXPECT_EQ(strGetMarcSubfield(rec, "200a"), "") << c.name;
    }
}

TEST(MarcParse, CharacterOutsideGbkCountsOneByte)
{
    // 😀 has no GBK form: it is written as "?" and counts one byte.
    MarcBuilder b;
    b.data("200", "1 ", sf('a', S("A😀中")));
    b.data("701", " 0", sf('a', "B"));
    const MarcRecord rec = parsed(text::toGbk(b.text()));
    EXPECT_EQ(rec.directory[0].length, 2 + 2 + 1 + 1 + 2 + 1);
    subResetMarcPos();
    EXPECT_EQ(strGetMarcSubfield(rec, "200a"), S("A?中"));
    subResetMarcPos();
    EXPECT_EQ(strGetMarcSubfield(rec, "701a"), "B");
}

// Mutated records must parse or fail with a reason; when they parse, every
// getter stays inside the record.
TEST(MarcParse, FuzzParserAndGetters)
{
    std::mt19937 rng(20240105);
    QVector<QByteArray> seeds;
    for (int i = 0; i < 8; ++i)
        seeds.append(marcdemo::randomRecord(rng));
    seeds.append(chineseRecord());
    auto pick = [&](qsizetype lo, qsizetype hi) {
        return std::uniform_int_distribution<qsizetype>(lo, hi)(rng);
    };
    static const char digitsEtc[] = "0123456789 \x1D\x1E\x1F\x81\xA1\xB0\xFF";
    QElapsedTimer clock;
    clock.start();
    int runs = 0, parsedOk = 0;
    while (runs < 1000000 && clock.elapsed() < 5000) {
        QByteArray t = seeds[pick(0, seeds.size() - 1)];
        const int edits = static_cast<int>(pick(1, 4));
        for (int e = 0; e < edits && !t.isEmpty(); ++e) {
            const qsizetype at = pick(0, t.size() - 1);
            switch (pick(0, 4)) {
            case 0: t[at] = digitsEtc[pick(0, sizeof digitsEtc - 2)]; break;
            case 1: t[at] = static_cast<char>(pick(0, 255)); break;
            case 2: t.truncate(at); break;
            case 3: t.insert(at, static_cast<char>(pick(0, 255))); break;
            default: t.remove(at, pick(1, 12)); break;
            }
        }
        MarcRecord rec;
        rec.marc_type = pick(0, 1) ? "C" : "U";
        const int r = intParseMarcText(t, rec);
        ++runs;
        if (r != 0) {
            ASSERT_FALSE(rec.error.isEmpty());
            ASSERT_EQ(rec.count, 0);
            continue;
        }
        ++parsedOk;
        ASSERT_EQ(rec.directory.size(), rec.count + 1);
        for (int i = 0; i < rec.count; ++i) {
            ASSERT_GE(rec.directory[i].start, 0);
            ASSERT_LE(rec.directory[i].start + rec.directory[i].length, rec.data.size());
        }
        subResetMarcPos();
        for (int i = 0; i < rec.count; ++i)
            strGetMarcFieldByTag(rec, rec.directory[i].tag);
        for (const char* item : {"200a", "701a", "001", "4611200a", "200", "210c"}) {
            subResetMarcPos();
            for (int guard = 0; guard < 1000 && !strGetMarcSubfield(rec, item).isEmpty(); ++guard) {}
        }
        strGetMarcItemList(rec, "200a,701a,4611200a");
    }
    EXPECT_GT(runs, 1000);
    EXPECT_GT(parsedOk, 0); // some mutations keep the record readable
    RecordProperty("runs", runs);
    RecordProperty("parsed", parsedOk);
}
