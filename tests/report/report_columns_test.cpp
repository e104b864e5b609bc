// The column set-up as data: read from a report grid, edited, rebuilt in the
// OK and the template form; MARC column definitions and their fill.
#include "bench/MarcDemoGen.h"
#include "common/basDB.h"
#include "report/ColumnSetup.h"
#include "report/ReportArray.h"
#include "tests/report/ReportShapes.h"
#include "tests/support/RoundTrips.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

// The grid a report window builds from shape `shape` with `records` records.
ReportGrid loaded(int shape, int records, int addOrder = 0) {
    reportshapes::fill(reportshapes::shapes().at(shape), records);
    ReportGrid g;
    initRawGrid(g, g_varPrtData, g_lngPrtRows, g_lngPrtCols, addOrder);
    return g;
}

RebuildInput input(MarcFill fill = {}) {
    RebuildInput in;
    in.data = &g_varPrtData;
    in.rows = g_lngPrtRows;
    in.cols = g_lngPrtCols;
    in.fill = fill ? fill : MarcFill([](const QVariant& key, const MarcSubfields& s) {
        return key.toString() + u':' + s.cn + u'/' + s.us;
    });
    return in;
}

QStringList rowTexts(const ReportGrid& g, int row) {
    QStringList out;
    for (int c = 1; c < g.cols(); ++c)
        out << g.textMatrix(row, c);
    return out;
}

} // namespace

TEST(ColumnSetup, SubfieldsAndDefinitions) {
    const struct {
        const char* subfield;
        int result;
    } cases[] = {{"200a", 1},  {"", 0},     {"200", -1}, {"200A", -1}, {"20aa", -1},
                 {" 200", -1}, {"245z", 1}, {"001a", 1}, {"a200", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(intCheckSubfield(QString::fromUtf8(c.subfield)), c.result) << c.subfield;

    EXPECT_EQ(marcDefinition("200a", "245a"), "200a;245a.");
    const MarcSubfields s = subfieldsFromSetup("200a;245a.");
    EXPECT_EQ(s.cn, "200a");
    EXPECT_EQ(s.us, "245a");
    EXPECT_EQ(subfieldsFromSetup("200a").cn, "200a");
    EXPECT_EQ(subfieldsFromSetup("200a").us, "");
    EXPECT_EQ(subfieldsFromSetup(";245a.").cn, "");
    const MarcSubfields g = subfieldsFromGrid("$200a;245a.");
    EXPECT_EQ(g.cn, "200a");
    EXPECT_EQ(g.us, "245a");
    EXPECT_EQ(subfieldsFromGrid("$;245a.").cn, "");
}

TEST(ColumnSetup, ReadGridNamesArrayColumnsAndMarksTheOthers) {
    ReportGrid g = loaded(4, 3);
    g.setColSort(2, 2);
    cmd::deleteColumn(g, 1); // 索书号 hidden at the end
    g.setCols(g.cols() + 1);
    const int marc = g.cols() - 1;
    g.setTextMatrix(0, marc, "丛书");
    g.setTextMatrix(1, marc, "$225a;490a.");
    g.setColWidth(marc, 1234);
    const QList<SetupRow> rows = readGrid(g, g_varPrtData, g_lngPrtCols);
    ASSERT_EQ(rows.size(), g.cols() - 1);
    EXPECT_EQ(rows[0].definition, "财产号");
    EXPECT_EQ(rows[0].arrayCol, 2);
    EXPECT_FALSE(rows[0].newField);
    EXPECT_EQ(rows[0].sort, "2");
    const SetupRow& deleted = rows[rows.size() - 2];
    EXPECT_EQ(deleted.definition, "索书号");
    EXPECT_FALSE(deleted.output);
    EXPECT_EQ(rows.last().definition, "225a;490a.");
    EXPECT_EQ(rows.last().arrayCol, 0);
    EXPECT_TRUE(rows.last().newField);
    EXPECT_EQ(rows.last().width, 1234);
}

TEST(ColumnSetup, OkRebuildKeepsEveryRowAndNumbersTheSortedRows) {
    ReportGrid g = loaded(4, 3);
    QList<SetupRow> rows = readGrid(g, g_varPrtData, g_lngPrtCols);
    rows[1].output = false; // 财产号 hidden
    rows[2].title = "书名"; // renamed
    rows[2].sort = "2";     // 题名 descending
    rows.append({"200a;245a.", "题名MARC", true, "0", 0, true, 900});
    rows.append({"", "自定义列", true, "0", 0, true, 900});
    g.setTextMatrix(2, 1, "edited"); // lost: every array column comes anew
    applyGrid(g, rows, input(), 1);

    ASSERT_EQ(g.cols(), 1 + 8);
    ASSERT_EQ(g.rows(), 2 + 3);
    EXPECT_TRUE(g.colHidden(2));
    EXPECT_EQ(g.textMatrix(0, 3), "书名");
    EXPECT_EQ(g.textMatrix(1, 7), "$200a;245a.");
    EXPECT_EQ(g.textMatrix(1, 8), ""); // a blank definition gets no "$" in the OK form
    EXPECT_EQ(rowTexts(g, 2).mid(2, 1), QStringList{"题名3"});
    EXPECT_EQ(g.textMatrix(2, 7), "M3:200a/245a");
    EXPECT_EQ(g.textMatrix(2, 8), "M3:/"); // filled as a MARC column of no subfields
    EXPECT_EQ(g.rowData(2).toString(), "M3");
    EXPECT_EQ(g.textMatrix(2, 1), "索书号3");
    for (int r = 2; r < g.rows(); ++r)
        EXPECT_EQ(g.textMatrix(r, 0), QString::number(r - 1));
    EXPECT_FALSE(g.colHidden(0));
    EXPECT_TRUE(g.rowHidden(1));

    applyGrid(g, rows, input(), 0);
    EXPECT_TRUE(g.colHidden(0));
    EXPECT_EQ(g.colData(0), "Hide");
    EXPECT_EQ(g.textMatrix(2, 0), "");
}

TEST(ColumnSetup, TemplateRebuildFindsColumnsByTitleAndSkipsTheRest) {
    // Set-up rows of the 10-column list applied to the 9-column one.
    ReportGrid wide = loaded(0, 2);
    QList<SetupRow> rows = readGrid(wide, g_varPrtData, g_lngPrtCols);
    ASSERT_EQ(rows[7].definition, "馆藏地");
    rows[1].output = false;                                       // 题名 left out
    rows.append({"", "自定义列", true, "0", 0, true, 900});       // blank: left out
    rows.append({"200a;245a.", "MARC", true, "0", 0, true, 900}); // kept

    ReportGrid narrow = loaded(1, 2);
    drawGrid(narrow, rows, input(), 1);
    QStringList titles;
    for (int c = 1; c < narrow.cols(); ++c)
        titles << narrow.textMatrix(0, c);
    EXPECT_EQ(titles, (QStringList{"索书号", "责任者", "出版社", "委托馆藏地", "证件号", "姓名", "可借数量",
                                   "在馆数量", "MARC"}));
    // Every cell under its own title.
    for (int c = 1; c < narrow.cols() - 1; ++c)
        EXPECT_EQ(narrow.textMatrix(3, c), narrow.textMatrix(0, c) + "2");
    EXPECT_EQ(narrow.textMatrix(1, narrow.cols() - 1), "$200a;245a.");
    EXPECT_EQ(narrow.cellAlignment(0, 0), 4);
    EXPECT_FALSE(narrow.colHidden(0));
}

TEST(ColumnSetup, EmptyReportBuildsTitleAndDefinitionRowsOnly) {
    ReportGrid g = loaded(6, 0);
    const QList<SetupRow> rows = readGrid(g, g_varPrtData, g_lngPrtCols);
    applyGrid(g, rows, input(), 1);
    EXPECT_EQ(g.rows(), 2);
    EXPECT_EQ(g.cols(), 1 + 5);
    drawGrid(g, rows, input(), 0);
    EXPECT_EQ(g.rows(), 2);
    EXPECT_EQ(g.cols(), 1 + 5);
}

TEST(ColumnSetup, EditorMovesDeletesAndAddsMarcRows) {
    ReportGrid g = loaded(6, 1);
    ColumnSetupEditor e;
    e.rows = readGrid(g, g_varPrtData, g_lngPrtCols);
    EXPECT_FALSE(e.moveUp());
    e.choose(1);
    EXPECT_FALSE(e.moveUp());
    EXPECT_FALSE(e.canDelete()); // an array column
    EXPECT_TRUE(e.moveDown());
    EXPECT_EQ(e.chosen(), 2);
    EXPECT_EQ(e.rows[1].definition, "索书号");
    e.choose(5);
    EXPECT_FALSE(e.moveDown());
    e.choose(3, false);
    EXPECT_EQ(e.chosen(), 0);

    const int row = e.addMarcRow();
    EXPECT_EQ(row, 6);
    EXPECT_TRUE(e.rows.last().output);
    EXPECT_EQ(e.rows.last().width, 900);
    EXPECT_TRUE(e.setMarcDefinition(row, "200a", ""));
    EXPECT_EQ(e.rows.last().definition, "200a;.");
    EXPECT_FALSE(e.setMarcDefinition(1, "200a", "")); // no editor on an array row
    e.choose(row);
    EXPECT_TRUE(e.canDelete());
    EXPECT_TRUE(e.deleteChosen());
    EXPECT_EQ(e.rows.size(), 5);
    EXPECT_EQ(e.chosen(), 0);
}

// ---- the fill from the records ---------------------------------------------

namespace {
class MarcFillDb : public testsupport::DatabaseTest {
protected:
    void store(const QString& no, const QString& type, const QString& text) {
        db().exec(QStringLiteral(
                      "insert into marc (marc_rec_no, marc_type, doc_type_code, lang_code, country_code, "
                      "marc_use_flag, cata_oper, cata_date, m_title) values ('%1', '%2', '01', 'CHI', "
                      "'CN', '1', '0001', '2024-02-01', 'T')")
                      .arg(no, type));
        db().exec(
            QStringLiteral("insert into marc_data (marc_rec_no, data_serial, marc01) values ('%1', 1, %2)")
                .arg(no, strSQLQuote(text)));
    }
    void TearDown() override {
        db().exec("delete from marc_data where marc_rec_no like 'T%'");
        db().exec("delete from marc where marc_rec_no like 'T%'");
        DatabaseTest::TearDown();
    }
};
} // namespace

TEST_F(MarcFillDb, ColumnsFillByTheRecordsFormat) {
    marcdemo::MarcBuilder b;
    b.control("001", "T0000001");
    b.data("701", " 0", marcdemo::sf('b', "x"));
    b.data("701", " 0", marcdemo::sf('a', "  第二作者 ") + marcdemo::sf('a', "第三"));
    b.data("200", "1 ", marcdemo::sf('a', "题名甲"));
    store("T0000001", "u", b.text());

    ReportGrid g;
    g.setCols(2);
    g.setRows(2 + 5);
    const QStringList keys = {"0000000001", "0000000007", "T0000001", "NO-SUCH", ""};
    for (int i = 0; i < keys.size(); ++i)
        g.setRowData(2 + i, keys[i]);
    g.setTextMatrix(1, 1, "$200a;245a.");
    subShowMarc(g, 1);
    EXPECT_EQ(g.textMatrix(2, 1),
              db().scalar("select split_part(m_title, ':', 1) from marc where marc_rec_no = "
                          "'0000000001'"));
    EXPECT_EQ(g.textMatrix(3, 1), "The art of small programs");
    EXPECT_EQ(g.textMatrix(4, 1), ""); // format "u" takes the US subfield: no 245
    EXPECT_EQ(g.textMatrix(5, 1), "");
    EXPECT_EQ(g.textMatrix(6, 1), "");

    // The second 701 holds the subfield; its first occurrence counts. A
    // control field shows whole.
    g.setTextMatrix(1, 1, "200a;701a."); // set-up form: "$" goes in front
    subShowMarc(g, 1);
    EXPECT_EQ(g.textMatrix(1, 1), "$200a;701a.");
    EXPECT_EQ(g.textMatrix(4, 1), "第二作者");
    g.setTextMatrix(1, 1, "$001a;001a.");
    subShowMarc(g, 1);
    EXPECT_EQ(g.textMatrix(2, 1), "0000000001");
    EXPECT_EQ(g.textMatrix(4, 1), "T0000001");
}

// A MARC column reads the records of all its rows in one query, whether it is
// filled alone or with the whole grid, and shows what each row's own read
// shows (an unknown number and an empty key show nothing).
TEST_F(MarcFillDb, AColumnReadsTheRecordsOfAllItsRowsAtOnce) {
    const QStringList known = db().column("select marc_rec_no from marc_data group by marc_rec_no order by 1 limit 6");
    ASSERT_GE(known.size(), 2);
    QStringList keys;
    for (int i = 0; i < 40; ++i)
        keys << (i % 7 == 6 ? QStringLiteral("NO-SUCH") : i % 9 == 8 ? QString() : known[i % known.size()]);
    const MarcSubfields title{QStringLiteral("200a"), QStringLiteral("245a")};
    QStringList alone;
    for (const QString& k : keys)
        alone << marcFillFromDatabase(k, title);
    EXPECT_FALSE(alone.join(QString()).isEmpty());

    ReportGrid g;
    g.setCols(2);
    g.setRows(2 + int(keys.size()));
    for (int i = 0; i < keys.size(); ++i)
        g.setRowData(2 + i, keys[i]);
    g.setTextMatrix(1, 1, "$200a;245a.");
    EXPECT_EQ(testsupport::roundTripsOf([&] { subShowMarc(g, 1); }), 1);
    for (int i = 0; i < keys.size(); ++i)
        EXPECT_EQ(g.textMatrix(2 + i, 1), alone[i]) << i;

    // The rebuild of the set-up window: an array column and the MARC column.
    ReportArray data;
    data.resize(int(keys.size()), 1);
    data.setCell(0, 1, QStringLiteral("号"));
    for (int i = 0; i < keys.size(); ++i) {
        data.setCell(i + 1, 0, keys[i]);
        data.setCell(i + 1, 1, QString::number(i));
    }
    RebuildInput in;
    in.data = &data;
    in.rows = int(keys.size());
    in.cols = 1;
    SetupRow number;
    number.definition = QStringLiteral("号");
    number.arrayCol = 1;
    SetupRow marc;
    marc.definition = QStringLiteral("200a;245a.");
    marc.title = QStringLiteral("题名");
    ReportGrid r;
    EXPECT_EQ(testsupport::roundTripsOf([&] { applyGrid(r, {number, marc}, in, 0); }), 1);
    for (int row = 2; row < r.rows(); ++row)
        EXPECT_EQ(r.textMatrix(row, 2), alone[r.textMatrix(row, 1).toInt()]) << row;
}
