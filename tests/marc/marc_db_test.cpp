// Records, parameters and summary lists read from the database, with the demo
// records of db/demo and a few rows of the tests' own.

#include "bench/MarcDemoGen.h"
#include "common/basDB.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMarcIdx.h"
#include "common/basMarcList.h"
#include "platform/oradb/Database.h"
#include "platform/text/AnsiFile.h"
#include "tests/support/TestDatabase.h"

#include <QDate>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

class MarcDb : public testsupport::DatabaseTest {
protected:
    // Stores a record text in pieces of `pieceChars` characters.
    void store(const QString& no, const QString& text, int pieceChars, bool withHeader = true)
    {
        if (withHeader)
            db().exec(QStringLiteral("insert into marc (marc_rec_no, marc_type, doc_type_code, lang_code, country_code, "
                                     "marc_use_flag, cata_oper, cata_date, m_title) values ('%1', 'C', '01', 'CHI', "
                                     "'CN', '1', '0001', '2024-02-01', 'T')")
                          .arg(no));
        QStringList pieces;
        for (qsizetype at = 0; at < text.size(); at += pieceChars)
            pieces << text.mid(at, pieceChars);
        for (qsizetype r = 0; r * 3 < pieces.size(); ++r) {
            QStringList cols;
            for (int c = 0; c < 3; ++c) {
                const qsizetype k = r * 3 + c;
                cols << (k < pieces.size() ? strSQLQuote(pieces[k]) : QStringLiteral("null"));
            }
            db().exec(QStringLiteral("insert into marc_data values ('%1', %2, %3)")
                          .arg(no)
                          .arg(r + 1)
                          .arg(cols.join(u',')));
        }
    }
    void TearDown() override
    {
        db().exec("delete from marc_data where marc_rec_no like 'T%'");
        db().exec("delete from marc where marc_rec_no like 'T%'");
        DatabaseTest::TearDown();
    }
};

} // namespace

TEST_F(MarcDb, ProbesSeeNarrowStorage)
{
    EXPECT_EQ(g_intMarc03, 0);
    EXPECT_EQ(g_intIdxContLen, 60);
    EXPECT_EQ(g_intClassSerialCols, 0);
    EXPECT_FALSE(blnProbeMarcDataWide());
    EXPECT_EQ(intProbeIdxContLen(), 60);
    EXPECT_EQ(intRunMarcSchemaProbes(), 0);
}

TEST_F(MarcDb, ProbeOfAMissingTableFailsTheConnect)
{
    db().exec("alter table max_class_serial rename to max_class_serial_x");
    EXPECT_EQ(intRunMarcSchemaProbes(), -1);
    EXPECT_FALSE(g_strErrText.isEmpty());
    EXPECT_EQ(LIB_DB_Connect(), -1);
    EXPECT_EQ(g_intErrKind, 1001);
    db().exec("alter table max_class_serial_x rename to max_class_serial");
    EXPECT_EQ(db().connectCommon(), 0);
    g_intErrKind = 0;
}

TEST_F(MarcDb, DemoRecordsReadBackWithTheirSummaries)
{
    ASSERT_EQ(intInitMarcIdx(), 0);
    const QStringList nos = db().column("select marc_rec_no from marc where marc_rec_no like '0%' order by 1");
    ASSERT_GE(nos.size(), 8);
    for (const QString& no : nos) {
        const MarcRecord rec = strReadMarc(no);
        ASSERT_TRUE(rec.error.isEmpty()) << no.toStdString() << rec.error.toStdString();
        ASSERT_GT(rec.count, 5) << no.toStdString();
        subResetMarcPos();
        EXPECT_EQ(strGetMarcSubfield(rec, "001"), no);
        const QStringList sum = db().column(
            QStringLiteral("select m_title || '|' || m_author || '|' || m_publisher from marc where marc_rec_no = '%1'").arg(no));
        EXPECT_EQ(strGetMarcTitle(rec, 0) + "|" + strGetMarcTitle(rec, 1) + "|" + strGetMarcTitle(rec, 3), sum.value(0))
            << no.toStdString();
    }
    // The record stored over two rows of pieces, the series of an embedded field,
    // and an English record.
    EXPECT_EQ(db().scalar("select count(*) from marc_data where marc_rec_no = '0000000003'"), "2");
    const MarcRecord split = strReadMarc("0000000003");
    EXPECT_EQ(strGetMarcTitle(split, 0), S("图书馆学概论"));
    subResetMarcPos();
    EXPECT_GT(strGetMarcSubfield(split, "330a").size(), 2000);
    EXPECT_EQ(strGetMarcItemList(strReadMarc("0000000002"), "225a,4611200a"), S("中华文史丛书"));
    const MarcRecord us = strReadMarc("0000000007");
    EXPECT_EQ(us.marc_type, "U");
    EXPECT_EQ(strGetMarcTitle(us, 0), "The art of small programs a practical guide");
    EXPECT_EQ(us.lang_code, "ENG");
    EXPECT_EQ(us.cata_date, "2024-01-05");
}

// The demo file is what the generator writes: a hand edit of either shows here.
TEST(MarcDemoFile, IsTheGeneratorsOutput)
{
    const QString root = qEnvironmentVariable("CONSIGN_SOURCE_DIR");
    ASSERT_FALSE(root.isEmpty()) << "CONSIGN_SOURCE_DIR not set";
    QFile f(root + "/db/demo/20_marc.sql");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == marcdemo::demoSql().toUtf8())
        << "regenerate db/demo/20_marc.sql with the marc_demo_sql tool";
}

TEST_F(MarcDb, PiecesEndingInBlanksAndHeaders)
{
    marcdemo::MarcBuilder b;
    b.control("001", "T1");
    b.data("200", "1 ", marcdemo::sf('a', S("题名")));
    b.data("701", " 0", marcdemo::sf('a', S("作者")));
    const QString text = b.text();
    // Cut right after the 200 field's indicators "1 ", so a piece ends in a blank.
    const qsizetype cut = text.indexOf(QChar(MARC_FIELD_END) + QStringLiteral("1 ")) + 3;
    store("T1", text, static_cast<int>(cut));
    MarcRecord rec = strReadMarc("T1");
    ASSERT_TRUE(rec.error.isEmpty()) << rec.error.toStdString();
    EXPECT_EQ(rec.marc_rec_no, "T1");
    EXPECT_EQ(rec.cata_oper, "0001");
    EXPECT_EQ(rec.lang_code, "CHI");
    subResetMarcPos();
    EXPECT_EQ(strGetMarcSubfield(rec, "200a"), S("题名"));

    // Without a marc row the header codes are blanks; the text still reads.
    store("T2", text.chopped(1), 2000, false); // no record end: one is added
    rec = strReadMarc("T2");
    ASSERT_TRUE(rec.error.isEmpty()) << rec.error.toStdString();
    EXPECT_EQ(rec.marc_type, " ");
    EXPECT_EQ(rec.cata_date, QString(10, u' '));
    EXPECT_EQ(strGetMarcItemList(rec, "701a"), S("作者"));

    // A record number without pieces: nothing to read, and the log says so.
    rec = strReadMarc("T3");
    EXPECT_EQ(rec.count, 0);
    EXPECT_EQ(rec.marc_rec_no, "T3");
    EXPECT_FALSE(rec.error.isEmpty());
    // A leader whose record length is off still reads.
    QString bad = text;
    bad.replace(0, 5, "00999");
    store("T4", bad, 2000);
    rec = strReadMarc("T4");
    EXPECT_TRUE(rec.error.isEmpty()) << rec.error.toStdString();
    EXPECT_EQ(strGetMarcTitle(rec, 0), S("题名"));
    // A directory that points past the data fails, with its reason in the log.
    bad.replace(24 + 7, 5, "09990");
    store("T5", bad, 2000);
    rec = strReadMarc("T5");
    EXPECT_EQ(rec.count, 0);
    EXPECT_EQ(strGetMarcTitle(rec, 0), "");
    QString log;
    text::readAnsiFile(db().programFolder() + "LOG/" + QDate::currentDate().toString("yyyy-MM-dd") + "_Log.log", &log);
    EXPECT_TRUE(log.contains(S("MARC记录[T3]无法读取：没有记录数据。"))) << log.toStdString();
    EXPECT_TRUE(log.contains(S("MARC记录[T5]无法读取：MARC记录目录第1项(字段001)指向记录之外。"))) << log.toStdString();
    EXPECT_TRUE(dialogs.shown.isEmpty()); // reading never shows a message
}

TEST_F(MarcDb, ListOfRecordsReadsEachOnceAndLogsEachUnreadableOnce)
{
    marcdemo::MarcBuilder b;
    b.control("001", "T1");
    b.data("200", "1 ", marcdemo::sf('a', S("题名")));
    const QString text = b.text();
    store("T1", text, 7); // pieces over several rows
    QString bad = text;
    bad.replace(24 + 7, 5, "09990");
    store("T5", bad, 2000);
    const QString logName =
        db().programFolder() + "LOG/" + QDate::currentDate().toString("yyyy-MM-dd") + "_Log.log";
    QFile::remove(logName);

    // Numbers named by many rows, one without pieces (T3), one unreadable (T5), one empty.
    const QHash<QString, MarcRecord> records = mapReadMarcs({"T3", "T1", "T5", "T1", "", "T3", "T5"});
    EXPECT_EQ(records.size(), 3);
    for (const QString& no : QStringList{"T1", "T3", "T5"}) {
        const MarcRecord one = strReadMarc(no);
        EXPECT_EQ(records.value(no).marc_rec_no, one.marc_rec_no) << no.toStdString();
        EXPECT_EQ(records.value(no).data, one.data) << no.toStdString();
        EXPECT_EQ(records.value(no).error, one.error) << no.toStdString();
    }
    subResetMarcPos();
    EXPECT_EQ(strGetMarcSubfield(records.value("T1"), "200a"), S("题名"));
    // The list's reasons come once each, in the order of the list, then the
    // three single reads above add theirs.
    QString log;
    text::readAnsiFile(logName, &log);
    QStringList reasons;
    for (const QString& line : log.split("\r\n", Qt::SkipEmptyParts))
        reasons << line.section(';', 1);
    EXPECT_EQ(reasons, QStringList({S("MARC记录[T3]无法读取：没有记录数据。"),
                                    S("MARC记录[T5]无法读取：MARC记录目录第1项(字段001)指向记录之外。"),
                                    S("MARC记录[T3]无法读取：没有记录数据。"),
                                    S("MARC记录[T5]无法读取：MARC记录目录第1项(字段001)指向记录之外。")}))
        << log.toStdString();

    // The rows with other columns before them and in any order (here the
    // serials backwards and a number's rows apart): each number's pieces are
    // put in the order of their serials.
    const std::unique_ptr<oradb::Dynaset> rows = LIB_DB_Database()->CreateDynaset(
        "SELECT * FROM (" + strMarcColumnsSQL("'T5', 'T1'", "'x' AS other, ") +
        ") r ORDER BY r.data_serial DESC, r.marc_rec_no DESC");
    ASSERT_GT(rows->RecordCount(), 2);
    QHash<QString, MarcRecord> again;
    subEachMarcOf(*rows, 0, 1, {"T1"}, [&](const QString& no, const MarcRecord& rec) { again.insert(no, rec); });
    EXPECT_EQ(again.keys(), QStringList({"T1"}));
    EXPECT_EQ(again.value("T1").data, records.value("T1").data);
    EXPECT_TRUE(again.value("T1").error.isEmpty());
}

TEST_F(MarcDb, IndexParametersLoad)
{
    ASSERT_EQ(intInitMarcIdx(), 0);
    EXPECT_TRUE(blnMarcTagFlag("02"));
    EXPECT_FALSE(blnMarcTagFlag("03"));
    EXPECT_GE(g_intIdxParaMax, 11);
    EXPECT_EQ(g_arrIdxParaUse1[8][0].marc_field, "210c");
    EXPECT_EQ(g_arrIdxParaUse1[8][1].marc_field, "260b");
    EXPECT_EQ(g_arrTitleFieldCn, QVector<QString>({"200a", "200e", "200h", "200i", ""}));
    EXPECT_EQ(g_arrTitleFieldUs, QVector<QString>({"245a", "245b", ""}));
    EXPECT_EQ(g_arrStopword[0], "THE,A,AN,OF,AND");
    EXPECT_EQ(strNormalizeKey("THE ART OF SMALL-PROGRAMS"), "ART SMALLPROGRAMS");

    // Fewer than three stop-word rows is a fault of the data.
    db().exec("delete from stopword where stopword_type >= 1");
    EXPECT_EQ(intInitMarcIdx(), -1);
    db().recreate();
}

TEST_F(MarcDb, DemoIndexKeysFindTheirRecords)
{
    // Keys as a search prepares them reach the record through marc_idx.
    marcdemo::loadSeedParameters();
    const struct {
        const char* group;
        const char* typed;
        const char* no;
    } cases[] = {
        {"02", "the art of small programs", "0000000007"},
        {"02", "数据结构 与 算法", "0000000001"},
        {"05", "9787504123459", "0000000001"},
        {"05", "9791234567896", "0000000006"},
        {"03", "carter, john", "0000000007"},
        {"09", "华文出版社", "0000000004"},
    };
    for (const auto& c : cases) {
        const QString key = marcdemo::prepareKey(c.group, S(c.typed));
        const QStringList hits = db().column(
            QStringLiteral("select distinct marc_rec_no from marc_idx where marc_idx_grp = '%1' and marc_idx_cont like %2 order by 1")
                .arg(c.group, strSQLQuote(key + "%")));
        EXPECT_TRUE(hits.contains(c.no)) << c.typed << " -> " << key.toStdString();
    }
}

TEST_F(MarcDb, SummaryList)
{
    subLoadMarcList("select distinct marc_rec_no from marc_idx where marc_idx_grp = '09' and marc_idx_cont like '华文%'");
    ASSERT_EQ(g_arrBookSum.size(), 3); // two records and the empty spare entry
    EXPECT_TRUE(g_arrBookSum[2].marc_rec_no.isEmpty());
    const int i = intFindMarcInList("0000000004");
    ASSERT_GE(i, 0);
    EXPECT_EQ(g_arrBookSum[i].title, S("计算机网络:原理与实践"));
    EXPECT_EQ(g_arrBookSum[i].call_no, "TP393/S91");
    EXPECT_EQ(g_arrBookSum[i].marc_type, "C");
    EXPECT_EQ(g_arrBookSum[i].marc_use_flag, "1");
    EXPECT_EQ(g_arrBookSum[i].isbn, "9787504187659");
    EXPECT_EQ(intFindMarcInList("0000000007"), -1); // not in the list: not the first line
    EXPECT_TRUE(g_strSQL.startsWith("SELECT MARC_REC_NO,DOC_TYPE_CODE,MARC_TYPE,"));

    // A record number twice in the result is found at its first position.
    auto entry = [](const QString& no) {
        BookSumEntry e;
        e.marc_rec_no = no;
        return e;
    };
    g_arrBookSum = {entry("X"), entry("Y"), entry("X"), BookSumEntry()};
    EXPECT_EQ(intFindMarcInList("X"), 0);
    EXPECT_EQ(intFindMarcInList(""), -1);

    // No hits: only the empty entry.
    subLoadMarcList("select marc_rec_no from marc where 1 = 0");
    EXPECT_EQ(g_arrBookSum.size(), 1);
    EXPECT_EQ(intFindMarcInList("0000000001"), -1);

    // A failing selection is reported and keeps the list.
    subLoadMarcList("select marc_rec_no from marc");
    const int n = static_cast<int>(g_arrBookSum.size());
    subLoadMarcList("select no_such_column from marc");
    EXPECT_EQ(g_arrBookSum.size(), n);
    EXPECT_FALSE(dialogs.shown.isEmpty());
}

TEST_F(MarcDb, FailedReadsGiveTheInitialRecordSilently)
{
    db().exec("alter table marc_data rename to marc_data_x");
    const MarcRecord rec = strReadMarc("0000000001");
    db().exec("alter table marc_data_x rename to marc_data");
    EXPECT_EQ(rec.count, 0);
    EXPECT_TRUE(rec.marc_rec_no.isEmpty());
    EXPECT_TRUE(rec.leader.isEmpty());
    EXPECT_TRUE(dialogs.shown.isEmpty());
    g_intErrKind = 0;
}

TEST_F(MarcDb, DumpCellsDecodedOnlyUnderWideStorage)
{
    const QString sql = "select 'Typ=1 Len=4: 0,41,4e,2d' as a, 'NULL' as b, 'plain' as c, 7 as d";
    DBResultSet rs;
    ASSERT_EQ(intDBSelectDump(sql, rs), 0);
    EXPECT_EQ(rs.text(0, 0), "Typ=1 Len=4: 0,41,4e,2d");
    g_intMarc03 = -1;
    const int r = intDBSelectDump(sql, rs);
    g_intMarc03 = 0;
    ASSERT_EQ(r, 0);
    EXPECT_EQ(rs.text(0, 0), S("A中"));
    EXPECT_EQ(rs.text(0, 1), "");
    EXPECT_EQ(rs.text(0, 2), "plain");
    EXPECT_EQ(rs.number(0, 3), 7.0);
    // A failing query leaves the caller's result as it was.
    EXPECT_EQ(intDBSelectDump("select nothing from nowhere", rs), -1);
    EXPECT_EQ(rs.text(0, 2), "plain");
    g_intErrKind = 0;
}
