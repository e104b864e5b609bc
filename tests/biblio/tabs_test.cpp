// The information tabs of a record, computed without a window over the demo
// library, and the MARC text page.

#include "biblio/BookSearch.h"
#include "biblio/BookTabs.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "reader/basRedrPages.h"
#include "bench/MarcDemoGen.h"
#include "tests/biblio/BiblioFixture.h"

using namespace biblio;

namespace {

class BookTabsTest : public BiblioTest {
protected:
    void SetUp() override
    {
        BiblioTest::SetUp();
        if (HasFatalFailure())
            return;
        q.marcNo = kRecord;
        q.today = demoToday();
        q.from = QDate(2024, 1, 1);
        q.to = QDate(2024, 1, 31);
    }
    TabResult load(const QString& key)
    {
        TabResult r;
        EXPECT_EQ(intLoadTab(key, q, r), 0) << key.toStdString();
        EXPECT_EQ(r.info.cols, tabHeaders(key).size() + 1);
        return r;
    }
    // The row whose column `col` holds `text` (first match), or -1.
    static int rowOf(const TabRows& rows, int col, const QString& text)
    {
        for (int r = 0; r < rows.count(); ++r) {
            if (rows.cells[r][col] == text)
                return r;
        }
        return -1;
    }
    static QStringList column(const TabRows& rows, int col)
    {
        QStringList out;
        for (const QStringList& r : rows.cells)
            out << r[col];
        return out;
    }
    TabQuery q;
};

} // namespace

TEST_F(BookTabsTest, HeadersOfEveryTab)
{
    ASSERT_EQ(tabDefs().size(), 15);
    const QStringList keys = {"BaseInfo", "CallNoInfo", "LendInfo", "LendHistory", "PregInfo", "PregArri", "LostInfo",
                              "VoltInfo", "OperateInfo", "AdjustInfo", "ExceedInfo", "ArriInfo", "MarcInfo",
                              "ReleInfo", "ReleArri"};
    const QVector<int> counts = {14, 10, 17, 23, 12, 15, 18, 17, 12, 9, 18, 14, 0, 12, 19};
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(tabDefs()[i].key, keys[i]);
        EXPECT_EQ(tabDefs()[i].headers.size(), counts[i]) << keys[i].toStdString();
    }
    EXPECT_EQ(tabDefs()[12].caption, QString("MARC信息"));
    EXPECT_EQ(itemInfoHeaders().size(), 18);
    EXPECT_EQ(tabHeaders("ReleArri").last(), QString("经手人"));

    // Without a record every tab has its headers and no row, and reads nothing.
    q.marcNo.clear();
    g_strSQL = "untouched";
    for (const QString& key : keys) {
        TabResult r;
        EXPECT_EQ(intLoadTab(key, q, r), 0);
        EXPECT_EQ(r.info.count(), 0);
        EXPECT_EQ(r.info.cols, tabHeaders(key).size() + 1);
    }
    EXPECT_EQ(g_strSQL, QString("untouched"));
}

TEST_F(BookTabsTest, HoldingsCountCopiesAndRates)
{
    const TabResult base = load("BaseInfo");
    // One row per call number with copies; Q94/Z53B has none.
    EXPECT_EQ(column(base.info, 1), QStringList({"Q94/Z53", "Q94/Z53A"}));
    EXPECT_EQ(base.info.cells[0].mid(2, 13),
              QStringList({strCircTypeName("01"), strLendGrdName("1"), strClsName("Q94"), "6", "5", "4", "1", "3",
                           "25", "1", "4", "2", "5"}));
    EXPECT_EQ(base.info.cells[1].mid(5, 4), QStringList({"7", "0", "0", "0"}));
    EXPECT_TRUE(base.info.cells[0][0].isEmpty());

    const TabResult hold = load("CallNoInfo");
    // Per call number and location; a location missing from the code table shows its code.
    ASSERT_EQ(hold.info.count(), 4);
    EXPECT_EQ(hold.info.cells[0].mid(1),
              QStringList({"Q94/Z53", strLocationName("A1"), "4", "3", "3", "0", "7", "20", "233.33%", "666.67%"}));
    EXPECT_EQ(hold.info.cells[1].mid(1),
              QStringList({"Q94/Z53", strLocationName("B1"), "2", "2", "1", "1", "0", "3", "0.00%", "150.00%"}));
    EXPECT_EQ(hold.info.cells[2].mid(1), QStringList({"Q94/Z53", "C9", "1", "1", "1", "0", "1", "1", "100.00%", "100.00%"}));
    // Nothing of the receiving copies is in the collection: no rates.
    EXPECT_EQ(hold.info.cells[3].mid(3), QStringList({"7", "0", "0", "0", "0", "0", "", ""}));

    ASSERT_EQ(hold.items.count(), 14);
    EXPECT_EQ(hold.items.cols, 19);
    const QStringList p6001 = hold.items.cells[rowOf(hold.items, 2, "P6001")];
    EXPECT_EQ(p6001.mid(1, 8), QStringList({"Q94/Z53", "P6001", "B6001", strLocationName("A1"), "2008-12",
                                            "可借", "在馆", "32.00"}));
    EXPECT_EQ(p6001[9], strCarrierName("01"));
    EXPECT_EQ(p6001.mid(11, 5), QStringList({"2018-10-01", "4", "10", "2019-03-01", "2024-02-20"}));
    // A register copy without a circulating row: no lend state, no loans, no use dates.
    const QStringList p6009 = hold.items.cells[rowOf(hold.items, 2, "P6009")];
    EXPECT_EQ(p6009.mid(5, 3), QStringList({"2008-", "可借", ""}));
    EXPECT_EQ(p6009.mid(12, 4), QStringList({"0", "0", "", ""}));
    EXPECT_EQ(p6009[18], QString("待补流通记录"));
    EXPECT_EQ(hold.items.cells[rowOf(hold.items, 2, "P6001B")][5], QString("-12"));
    EXPECT_EQ(hold.items.cells[rowOf(hold.items, 2, "P6002")][5], QString("-"));
    EXPECT_EQ(hold.items.cells[rowOf(hold.items, 2, "P6004")][7], QString("委托借出"));
}

TEST_F(BookTabsTest, LoansHistoryAndBackup)
{
    const TabResult lend = load("LendInfo");
    EXPECT_EQ(column(lend.info, 2), QStringList({"P6004", "P60010", "P6001B"})); // newest loan first
    EXPECT_EQ(lend.info.cells[0][4], QString("C9"));
    EXPECT_EQ(lend.info.cells[1].mid(4, 5), QStringList({strLocationName("A1"), "BZ01", "林书", "生命科学学院", "学生"}));
    EXPECT_EQ(lend.info.cells[0][12], QString("1"));

    // Lend dates in January: both ends of the range whole, the return date not needed
    // for the range but required to be there, the reader required to exist.
    TabResult hist = load("LendHistory");
    EXPECT_EQ(column(hist.info, 2), QStringList({"P60010", "P6001"}));
    EXPECT_EQ(column(hist.info, 0), QStringList({"1", "2"}));
    EXPECT_EQ(hist.info.cells[1].mid(9, 3), QStringList({"2024-01-01 08:00:00", "2024-01-31 23:59:59", "1"}));
    EXPECT_EQ(hist.info.cells[1][18], kRecord);
    q.lendRange = 1; // return dates in January
    hist = load("LendHistory");
    EXPECT_EQ(column(hist.info, 2), QStringList({"P6001"}));
    q.from = QDate(2024, 1, 31);
    q.to = QDate(2024, 1, 1); // reversed
    EXPECT_EQ(load("LendHistory").info.count(), 0);

    // The archive, numbered on from the rows shown, without the return-date condition.
    q.lendRange = 0;
    q.from = QDate(2023, 1, 1);
    q.to = QDate(2023, 12, 31);
    TabRows bak;
    ASSERT_EQ(intLoadLendHistoryBak(q, 6, bak), 0);
    EXPECT_EQ(column(bak, 0), QStringList({"6", "7", "8"}));
    EXPECT_EQ(column(bak, 2), QStringList({"P6001B", "P6002", "P6001"}));
    EXPECT_EQ(bak.cells[1][4], strLocationName("B1"));

    // Copy filter "p6001" in group 92: P6001, P60010, P6001B alike; the % typed matches itself.
    q.from = QDate(2024, 1, 1);
    q.to = QDate(2024, 1, 31);
    q.copyFilter = strCopyFilterSQL("92", true, " p6001 ");
    EXPECT_EQ(load("LendHistory").info.count(), 2);
    q.copyFilter = strCopyFilterSQL("92", true, "P6001B");
    EXPECT_EQ(load("LendHistory").info.count(), 0);
    q.copyFilter = strCopyFilterSQL("92", true, "P6001%");
    EXPECT_EQ(load("LendInfo").info.count(), 0);
    EXPECT_TRUE(strCopyFilterSQL("02", true, "P6001").isEmpty());
    EXPECT_TRUE(strCopyFilterSQL("92", false, "P6001").isEmpty());
    EXPECT_EQ(strCopyFilterSQL("93", true, "b'1"), QString(R"( AND item.bar_code LIKE 'B''1%' ESCAPE '\')"));
}

TEST_F(BookTabsTest, HoldsAndConsignmentsMarkStateAndExpiry)
{
    const long none = -1;
    TabResult preg = load("PregInfo");
    ASSERT_EQ(preg.info.count(), 5);
    EXPECT_EQ(column(preg.info, 12), QStringList({"申请中", "已到书", "申请中", "已删除", "9"}));
    EXPECT_EQ(preg.info.fore, QVector<long>({kColorRed, kColorRed, none, kColorRed, none}));
    EXPECT_EQ(preg.info.back, QVector<long>({none, kColorLightBlue, none, kColorLightBlue, none}));
    EXPECT_EQ(preg.info.cells[0][2], strLocationName("A1"));
    EXPECT_EQ(preg.info.cells[0][11], strLocationName("D1"));
    EXPECT_TRUE(preg.info.cells[0][0].isEmpty());

    TabResult arri = load("PregArri");
    ASSERT_EQ(arri.info.count(), 3);
    int r = rowOf(arri.info, 2, "P6001");
    EXPECT_EQ(arri.info.cells[r][15], QString("待借"));
    EXPECT_EQ(arri.info.fore[r], kColorRed);
    r = rowOf(arri.info, 2, "P6001B");
    EXPECT_EQ(arri.info.cells[r][15], QString("已借出"));
    EXPECT_EQ(arri.info.fore[r], none);
    EXPECT_EQ(arri.info.back[r], kColorLightBlue);
    q.copyFilter = strCopyFilterSQL("93", true, "b6001b");
    EXPECT_EQ(column(load("PregArri").info, 2), QStringList({"P6001B"}));
    EXPECT_EQ(load("PregInfo").info.count(), 5); // holds ignore the filter
    q.copyFilter.clear();

    TabResult rele = load("ReleInfo");
    EXPECT_EQ(column(rele.info, 0), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(column(rele.info, 12), QStringList({"已删除", "申请中", "申请中", "已划到"}));
    EXPECT_EQ(rele.info.fore, QVector<long>({kColorRed, kColorRed, none, none}));
    EXPECT_EQ(rele.info.back, QVector<long>({kColorLightBlue, none, none, kColorLightBlue}));
    EXPECT_EQ(rele.info.cells[1][6], strLocationName("D2"));

    TabResult found = load("ReleArri");
    EXPECT_EQ(column(found.info, 2), QStringList({"P6003", "P6002", "P6001B", "P60010", "P6004", "P6001"}));
    EXPECT_EQ(column(found.info, 18), QStringList({"回库", "还回", "借出", "划到", "交接", "还书划到"}));
    EXPECT_EQ(found.info.cells[4][4], QString("C9"));
    EXPECT_EQ(found.info.fore, QVector<long>(6, none));
    q.copyFilter = strCopyFilterSQL("93", true, "B6001B");
    EXPECT_EQ(column(load("ReleArri").info, 2), QStringList({"P6001B"}));
    EXPECT_EQ(load("ReleInfo").info.count(), 4);
}

TEST_F(BookTabsTest, LoanHistoryRangeTakesEveryStoredFormOfItsLastAndFirstDay)
{
    // Lent on the range's last day with a time stored without its blank, on
    // its first day as a bare date, and the day after the range.
    db().exec("insert into lend_hist (cert_id_f, prop_no_f, lend_date, ret_date) values "
              "('BZ01', 'P6002', '2024-01-3110:00:00', '2024-02-02 10:00:00'), "
              "('BZ01', 'P6003', '2024-01-01', '2024-02-03 10:00:00'), "
              "('BZ01', 'P6003', '2024-02-01', '2024-02-04 10:00:00')");
    const TabResult hist = load("LendHistory");
    db().exec("delete from lend_hist where cert_id_f = 'BZ01' and ret_date in ('2024-02-02 10:00:00', "
              "'2024-02-03 10:00:00', '2024-02-04 10:00:00')");
    const QStringList lent = column(hist.info, 9);
    EXPECT_EQ(lent.size(), 4) << lent.join('|').toStdString();
    EXPECT_TRUE(lent.contains("2024-01-3110:00:00"));
    EXPECT_TRUE(lent.contains("2024-01-01"));
    EXPECT_FALSE(lent.contains("2024-02-01"));
}

// The holds of Q11/S91 at A1 (record 0000000009): 孙页甲 1 waiting, 孙页乙 2
// served, 孙页丙 3 run out, 孙页面 (DZ0020) 4 waiting: second in the queue.
// The consignment requests of H319.4/B87 at A1 (record 0000000008): 孙页甲 1,
// run out here, and DZ0020 2: first in the queue.
TEST_F(BookTabsTest, QueuePlaceAsTheReaderWindowShowsIt)
{
    db().exec("update relegate_lst set relegate_end_date = to_char(desk_now()::date - 1, 'YYYY-MM-DD') "
              "where cert_id = 'DZ0021' and call_no = 'H319.4/B87'");
    RedrPage holds, requests;
    ASSERT_EQ(intLoadRedrPage("PregInfo", "DZ0020", RedrHistRange{}, &holds), 0);
    ASSERT_EQ(intLoadRedrPage("ReleInfo", "DZ0020", RedrHistRange{}, &requests), 0);
    const auto readerPlace = [](const RedrPage& page, const char* callNo) {
        for (int r = 0; r < page.rows.size(); ++r)
            if (page.cell(r, 1) == QLatin1String(callNo) && page.cell(r, 10) == QStringLiteral("申请中")
                && !page.cell(r, 8).isEmpty())
                return page.cell(r, 8);
        return QString();
    };
    q.marcNo = "0000000009";
    const TabResult preg = load("PregInfo");
    q.marcNo = "0000000008";
    const TabResult rele = load("ReleInfo");
    db().exec("update relegate_lst set relegate_end_date = to_char(desk_now()::date + 5, 'YYYY-MM-DD') "
              "where cert_id = 'DZ0021' and call_no = 'H319.4/B87'");

    EXPECT_EQ(readerPlace(holds, "Q11/S91"), "2");
    const QStringList pregReaders = column(preg.info, 6);
    ASSERT_EQ(pregReaders, (QStringList{"DZ0021", "DZ0022", "DZ0023", "DZ0020"}));
    // Waiting and valid: the place; served or run out: the stored number.
    EXPECT_EQ(column(preg.info, 10), (QStringList{"1", "2", "3", "2"}));

    EXPECT_EQ(readerPlace(requests, "H319.4/B87"), "1");
    const int mine = rowOf(rele.info, 7, "DZ0020");
    ASSERT_GE(mine, 0);
    EXPECT_EQ(rele.info.cells[mine][11], "1");
    EXPECT_EQ(rele.info.cells[rowOf(rele.info, 7, "DZ0021")][11], "1"); // run out: its number
}

TEST_F(BookTabsTest, CopyHistoryTabs)
{
    const long none = -1;
    TabResult lost = load("LostInfo");
    EXPECT_EQ(column(lost.info, 15), QStringList({"赔书", "赔钱", "赔退", "9"}));
    EXPECT_EQ(lost.info.cells[0].mid(10, 4), QStringList({"32", "5", "2.5", "39.5"}));

    TabResult volt = load("VoltInfo");
    ASSERT_EQ(volt.info.count(), 6);
    for (int r = 0; r < 6; ++r) {
        const QString state = volt.info.cells[r][15];
        const long expect = state == "已处理" ? kColorDarkBlue
            : (state == "停借" || state == "罚款" || state == "罚款并停借") ? kColorRed
                                                                              : none;
        EXPECT_EQ(volt.info.fore[r], expect) << state.toStdString();
    }
    QStringList states = column(volt.info, 15);
    states.sort();
    EXPECT_EQ(states, QStringList({"4", "5", "停借", "已处理", "罚款", "罚款并停借"}));
    EXPECT_EQ(volt.info.cells[rowOf(volt.info, 15, "5")][9], QString("07")); // not in the code table
    EXPECT_EQ(volt.info.cells[rowOf(volt.info, 15, "已处理")][9], strVoltName("01"));

    TabResult deal = load("OperateInfo");
    ASSERT_EQ(deal.info.count(), 3);
    const int unknown = rowOf(deal.info, 2, "P6001");
    EXPECT_EQ(deal.info.cells[unknown].mid(5, 4), QStringList({"", "0", "2023-08-01", "可借"}));
    EXPECT_EQ(deal.info.cells[rowOf(deal.info, 2, "P6003")][5], QString("书刊剔旧"));

    TabResult alloc = load("AdjustInfo");
    ASSERT_EQ(alloc.info.count(), 3);
    EXPECT_EQ(alloc.info.cells[2][2], QString("P6004")); // by transfer number
    EXPECT_EQ(alloc.info.cells[2].mid(6, 2), QStringList({strLocationName("B1"), "C9"}));

    TabResult fine = load("ExceedInfo");
    ASSERT_EQ(fine.info.count(), 4);
    const QString bz01 = "BZ01", bz02 = "BZ02";
    for (int r = 0; r < 4; ++r) {
        const QStringList& c = fine.info.cells[r];
        if (c[2] == "P6001" && c[5] == bz01) {
            EXPECT_EQ(c.mid(11, 3), QStringList({"3天", "1.50", "1.00"}));
            EXPECT_EQ(c[16], QString("未处理"));
            EXPECT_EQ(fine.info.fore[r], kColorRed);
        } else if (c[2] == "P6001") {
            EXPECT_EQ(c[11], QString("3小时"));
            EXPECT_EQ(c[16], QString("处理完毕"));
            EXPECT_EQ(fine.info.fore[r], kColorDarkBlue);
        } else if (c[2] == "P6001B") {
            EXPECT_EQ(c.mid(11, 3), QStringList({"24小时", "2.40", "0.00"}));
        } else {
            // An unreadable due date leaves the time empty; the rows go on.
            EXPECT_EQ(c[2], QString("P60010"));
            EXPECT_EQ(c[11], QString());
        }
        EXPECT_EQ(c.size(), 19); // the unit is not shown
    }
    q.copyFilter = strCopyFilterSQL("93", true, "B6001B");
    EXPECT_EQ(load("ExceedInfo").info.count(), 1);
    EXPECT_EQ(load("LostInfo").info.count(), 1);
    EXPECT_EQ(load("VoltInfo").info.count(), 6); // violations ignore the filter
    q.copyFilter.clear();

    TabResult arri = load("ArriInfo");
    EXPECT_EQ(column(arri.info, 2), QStringList({"P6011", "P6012", "P6013", "P6014", "P6017"}));
    EXPECT_EQ(arri.info.cells[0].mid(4),
              QStringList({strLocationName("A1"), "2024-1", "正常验收", "", "45.00", strCarrierName("01"), "", "附图",
                           "2024-05-01", "2024-05-11", "0002"}));
}

TEST(OverdueTime, DaysAndHourBoundaries)
{
    struct Case {
        const char* due;
        const char* ret;
        const char* unit;
        const char* text;
    };
    for (const Case& c : {Case{"2024-03-01 18:00:00", "2024-03-04 09:00:00", "D", "3天"},
                          Case{"2024-03-01 18:00:00", "2024-03-01 21:30:00", "H", "3小时"},
                          Case{"2024-03-01 18:00:00", "2024-03-02 18:00:00", "H", "24小时"},
                          Case{"2024-03-0110:59:00", "2024-03-01 11:01:00", "H", "1小时"},
                          Case{"2024-03-05", "2024-03-01 10:00:00", "D", "-4天"},
                          Case{"2024-03-01", "2024-03-04", "X", "3"},
                          Case{"2024-03-01", "2024-03-04 10:00:00", "H", ""},
                          Case{"三月一日", "2024-03-04", "D", ""}})
        EXPECT_EQ(strOverdueTime(QString::fromUtf8(c.due), c.ret, c.unit), QString::fromUtf8(c.text)) << c.due;
    EXPECT_EQ(strRate(7, 2), QString("350.00%"));
    EXPECT_EQ(strRate(3, 2), QString("150.00%"));
    EXPECT_EQ(strRate(5, 0), QString());
    EXPECT_EQ(strYearVol("2003", "12"), QString("2003-12"));
    EXPECT_EQ(strYearVol("2003", ""), QString("2003-"));
}

TEST(MarcPage, LinesPrefixesAndWrapping)
{
    marcdemo::loadSeedParameters();
    using marcdemo::sf;
    const QString narrow300(300, 'n');
    const QString wide200(200, QChar(0x4E2D));
    marcdemo::MarcBuilder b;
    b.control("001", "0000000042");
    b.data("200", "1 ", sf('a', "标题"));
    b.data("300", "  ", narrow300);
    b.data("330", "  ", wide200);
    b.data("331", "  ", QString(255, 'x'));
    b.data("333", "12", QString());
    b.data("701", " 0", sf('a', "甲"));
    b.data("701", " 0", sf('a', "乙"));
    MarcRecord rec;
    rec.marc_type = "C";
    ASSERT_EQ(intParseMarcText(b.gbk(), rec), 0) << rec.error.toStdString();

    const QString mark(QChar(31));
    const QString page = strMarcPageText(rec, 31);
    QStringList lines = page.split("\r\n");
    ASSERT_EQ(lines.takeLast(), QString()); // ends with a line end
    const QString indent(7, ' ');
    EXPECT_EQ(lines, QStringList({"001    0000000042", "200 1  " + mark + "a标题",
                                  // 300 narrow characters: 256 on the first line, 44 on the next
                                  "300    " + QString(256, 'n'), indent + QString(44, 'n'),
                                  // 200 wide characters: 129 (width 258), then 71
                                  "330    " + wide200.left(129), indent + wide200.left(71),
                                  // exactly 255 fit: the last character is not measured
                                  "331    " + QString(255, 'x'),
                                  // indicators only
                                  "333 12 ",
                                  // a repeated tag in directory order
                                  "701  0 " + mark + "a甲", "701  0 " + mark + "a乙"}));
    EXPECT_EQ(intMarcCutPos(narrow300), 256);
    EXPECT_EQ(intMarcCutPos(wide200), 129);
    EXPECT_EQ(intMarcCutPos(QString(255, 'x')), -1);
    EXPECT_EQ(intMarcCutPos(QString()), -1);
    EXPECT_TRUE(blnWideChar(QChar(0x100)));
    EXPECT_FALSE(blnWideChar(QChar(0xFF)));

    // The mark shown as the chosen character.
    EXPECT_EQ(strMarcPageText(rec, 36).split("\r\n")[1], QString("200 1  $a标题"));
    // A record without text: an empty page.
    EXPECT_EQ(strMarcPageText(MarcRecord{}, 31), QString());
}

TEST_F(BookTabsTest, MarcTabAndDemoRecord)
{
    TabResult r = load("MarcInfo");
    EXPECT_TRUE(r.marcText.startsWith("001    0000000006\r\n"));
    EXPECT_TRUE(r.marcText.endsWith("\r\n"));
    q.marcNo = "0000000099";
    EXPECT_EQ(load("MarcInfo").marcText, QString());
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(BookTabsTest, OneQueryPerTabTwoForHoldings)
{
    StatementLog& log = statementLog();
    for (const TabDef& t : tabDefs()) {
        log.count = 0;
        load(t.key);
        const int expected = t.key == "CallNoInfo" || t.key == "MarcInfo" ? 2 : 1;
        EXPECT_EQ(log.count, expected) << t.key.toStdString();
    }
}
