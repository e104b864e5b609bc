// The reader information pages as data, on the demo reader 孙页面 (DZ0020):
// captions, cell texts, date forms, masks, translations and row marks of each
// page, the history range with its archive, and the queue positions.

#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "reader/basRedrPages.h"
#include "tests/reader/RedrInfoFixture.h"

using namespace redrpage;

namespace {

QString titleOf(const char* marcNo, int part) {
    return strGetMarcTitle(strReadMarc(QString::fromLatin1(marcNo)), part);
}

} // namespace

TEST_F(RedrInfoTest, CaptionsOfEveryTab) {
    ASSERT_EQ(redrPageTabs().size(), 14);
    EXPECT_STREQ(redrPageTabs()[kLendInfoTab].key, "LendInfo");
    const int counts[] = {10, 36, 35, 6, 9, 15, 21, 15, 22, 10, 13, 16, 10, 17};
    for (int i = 0; i < 14; ++i) {
        const QStringList captions = strRedrPageCaptions(QString::fromLatin1(redrPageTabs()[i].key));
        EXPECT_EQ(captions.size(), counts[i] + 1) << redrPageTabs()[i].key;
        EXPECT_EQ(captions.first(), QString());
    }
    EXPECT_EQ(strRedrPageCaptions("ExceedInfo").at(10), S("超期天数"));
    EXPECT_EQ(strRedrPageCaptions("Nothing"), QStringList{QString()});
    // No reader: the header alone.
    RedrPage none;
    EXPECT_EQ(intLoadRedrPage("LendInfo", "NOBODY", yearRange(), &none), 0);
    EXPECT_TRUE(none.rows.isEmpty());
    EXPECT_EQ(none.cols(), 16);
}

TEST_F(RedrInfoTest, CardLossesAndCards) {
    const RedrPage lost = load("CertLost");
    ASSERT_EQ(lost.rows.size(), 2);
    EXPECT_EQ(lost.rows[0].cells, (QStringList{"", "88000021", day(-101), "", S("否"), "0001", S("卡丢失")}));
    EXPECT_EQ(lost.rows[1].cells.mid(1, 4), (QStringList{"88000022", day(-500), "2020-01-03", S("是")}));
    EXPECT_EQ(lost.rows[0].fore, kNone);

    const RedrPage cards = load("CertInfo");
    ASSERT_EQ(cards.rows.size(), 3);
    EXPECT_EQ(cards.rows[0].cells, (QStringList{"", "88000020", S("有效"), day(-100), day(-100), day(900),
                                                ".00", "100.00", "12.50", "0001"}));
    EXPECT_EQ(cards.rows[0].fore, kNone);
    EXPECT_EQ(cards.cell(1, 2), S("挂失"));
    EXPECT_EQ(cards.cell(1, 6), ".50");
    EXPECT_EQ(cards.rows[1].fore, kDarkBlue);
    EXPECT_EQ(cards.cell(2, 2), S("注销"));
    EXPECT_EQ(cards.cell(2, 6), "12.00");
    EXPECT_EQ(cards.rows[2].fore, kRed);
    EXPECT_EQ(strDotMoney(0), ".00");
    EXPECT_EQ(strDotMoney(-0.5), "-.50");
}

TEST_F(RedrInfoTest, LoansMarkOverdueButNotDueToday) {
    const RedrPage page = load("LendInfo");
    ASSERT_EQ(page.rows.size(), 6);
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(page.cell(r, 0), QString::number(r + 1));
    // Newest loan first.
    EXPECT_EQ(page.cell(0, 2), "P580002");
    const int overdue = rowOf(page, 2, "P580001");
    ASSERT_GE(overdue, 0);
    EXPECT_EQ(page.rows[overdue].fore, kRed);
    EXPECT_EQ(page.cell(overdue, 1), "Q11/S91");
    EXPECT_EQ(page.cell(overdue, 3), "B580001");
    EXPECT_EQ(page.cell(overdue, 4), titleOf("0000000009", 0));
    EXPECT_EQ(page.cell(overdue, 5), titleOf("0000000009", 1));
    EXPECT_FALSE(page.cell(overdue, 4).isEmpty());
    EXPECT_EQ(page.cell(overdue, 6), day(-40) + " 10:00:00");
    EXPECT_EQ(page.cell(overdue, 7), day(-10));
    EXPECT_EQ(page.cell(overdue, 8), "2026-01-02 08:00:00");
    EXPECT_EQ(page.cell(overdue, 9), "1");
    EXPECT_EQ(page.cell(overdue, 12), S("总馆书库"));
    EXPECT_EQ(page.cell(overdue, 14), S("光盘1张"));
    EXPECT_EQ(page.cell(overdue, 15), "R1");
    // Due today, with or without a time (stored without the blank): not overdue.
    const int hours = rowOf(page, 2, "P580002");
    EXPECT_EQ(page.cell(hours, 7), day(0) + " 18:00:00");
    EXPECT_EQ(page.rows[hours].fore, kNone);
    EXPECT_EQ(page.rows[rowOf(page, 2, "P580003")].fore, kNone);
    EXPECT_EQ(page.rows[rowOf(page, 2, "P580004")].fore, kNone);
    EXPECT_EQ(strDateTimeText("2008-04-0310:20:30"), "2008-04-03 10:20:30");
    EXPECT_EQ(strDateTimeText("2008-04-03 10:20:30"), "2008-04-03 10:20:30");
    EXPECT_EQ(strDateTimeText("2008-04-03"), "2008-04-03");
}

TEST_F(RedrInfoTest, HistoryRangeKeepsBothFormsOfTheFirstDayAndAppendsTheArchive) {
    RedrPage page;
    ASSERT_EQ(intLoadRedrPage("LendHistoryInfo", "DZ0020", yearRange(), &page), 0);
    QStringList props;
    for (const RedrPageRow& row : page.rows)
        props << row.cells[2];
    // Latest return first; the first day lent with and without the blank;
    // not the day before the range, not the loan without a return.
    EXPECT_EQ(props, (QStringList{"P580005", "P580012", "P580010", "P580009"}));
    EXPECT_EQ(page.cell(2, 6), day(-365) + " 09:00:00");
    EXPECT_EQ(page.cell(2, 7), day(-340) + " 17:00:00");
    EXPECT_EQ(page.cell(1, 8), "5");
    EXPECT_EQ(page.rows[1].fore, kRed);
    EXPECT_EQ(page.rows[0].fore, kBlack);
    EXPECT_EQ(page.cell(1, 4), S("Reading in a second language"));
    EXPECT_EQ(page.cell(3, 4), S("植物学基础"));
    EXPECT_EQ(page.cell(1, 16), "0000000008");
    EXPECT_EQ(page.cell(1, 20), "1");
    EXPECT_EQ(page.cell(2, 19), "1");
    EXPECT_EQ(page.cell(0, 14), "0001");
    EXPECT_EQ(page.cell(0, 15), "0002");

    // The archive goes below, numbered on, latest return first among itself.
    ASSERT_EQ(intLoadLendHistoryBak("DZ0020", yearRange(), &page), 0);
    ASSERT_EQ(page.rows.size(), 6);
    EXPECT_EQ(page.cell(4, 0), "5");
    EXPECT_EQ(page.cell(4, 2), "P580002");
    EXPECT_EQ(page.cell(5, 2), "P580001");
    EXPECT_EQ(page.rows[5].fore, kRed);
    EXPECT_EQ(page.cell(5, 4), S("植物学基础"));

    // By return date: returned on d - 350 falls outside d - 345 .. d.
    RedrPage byReturn;
    ASSERT_EQ(intLoadRedrPage("LendHistoryInfo", "DZ0020", RedrHistRange{day(-345), day(0), 1}, &byReturn),
              0);
    EXPECT_EQ(rowOf(byReturn, 2, "P580009"), -1);
    EXPECT_GE(rowOf(byReturn, 2, "P580010"), 0);
    // A reversed range lists nobody; an archive that finds nothing adds nothing.
    RedrPage reversed;
    ASSERT_EQ(intLoadRedrPage("LendHistoryInfo", "DZ0020", RedrHistRange{day(0), day(-365), 0}, &reversed),
              0);
    EXPECT_TRUE(reversed.rows.isEmpty());
    ASSERT_EQ(intLoadLendHistoryBak("DZ0020", RedrHistRange{day(0), day(-365), 0}, &reversed), 0);
    EXPECT_TRUE(reversed.rows.isEmpty());
}

TEST_F(RedrInfoTest, ViolationsOfEveryState) {
    const RedrPage page = load("VoltInfo");
    ASSERT_EQ(page.rows.size(), 6);
    struct Case {
        int row;
        const char* prop;
        const char* state;
        long fore;
    };
    const Case cases[] = {{0, "P580001", "已处理", kDarkBlue},
                          {1, "", "停借", kRed},
                          {2, "", "罚款", kRed},
                          {3, "P580003", "罚款并停借", kRed},
                          {4, "P580005", "预约到书过期", kRed},
                          {5, "", "委托到书过期", kRed}};
    for (const Case& c : cases) {
        EXPECT_EQ(page.cell(c.row, 0), QString::number(c.row + 1));
        EXPECT_EQ(page.cell(c.row, 2), QString::fromLatin1(c.prop)) << c.row;
        EXPECT_EQ(page.cell(c.row, 13), S(c.state)) << c.row;
        EXPECT_EQ(page.rows[c.row].fore, c.fore) << c.row;
        EXPECT_EQ(page.cell(c.row, 4).isEmpty(), c.prop[0] == 0) << c.row;
    }
    EXPECT_EQ(page.cell(0, 4), titleOf("0000000009", 0));
    EXPECT_EQ(page.cell(0, 6), strVoltName("01"));
    EXPECT_EQ(page.cell(0, 7), S("总馆书库"));
    EXPECT_EQ(page.cell(0, 8), day(-10));
    EXPECT_EQ(page.cell(0, 9), "2.5");
    EXPECT_EQ(page.cell(0, 10), "B0001");
    EXPECT_EQ(page.cell(0, 11), "2026-01-05 10:00:00");
    EXPECT_EQ(page.cell(1, 12), "2026-12-31");
    EXPECT_EQ(page.cell(3, 7), "ZZ");
    EXPECT_EQ(page.cell(1, 15), S("污损"));
}

TEST_F(RedrInfoTest, FinesInDaysHoursAndWithoutUnit) {
    const RedrPage page = load("ExceedInfo");
    ASSERT_EQ(page.rows.size(), 3);
    // Days: dates cut to the day, the duration in days.
    EXPECT_EQ(page.rows[0].cells.mid(0, 4), (QStringList{"", "H319.4/B87", "P580012", "B580012"}));
    EXPECT_EQ(page.cell(0, 4), titleOf("0000000008", 0));
    EXPECT_EQ(page.rows[0].cells.mid(6, 7), (QStringList{S("分馆书库"), "2026-02-01", "2026-03-11",
                                                         "2026-03-01", S("10天"), "1.50", "0.00"}));
    EXPECT_EQ(page.cell(0, 13), "2026-02-15");
    EXPECT_EQ(page.cell(0, 14), "1");
    EXPECT_EQ(page.cell(0, 19), S("未处理"));
    EXPECT_EQ(page.rows[0].fore, kRed);
    EXPECT_EQ(page.cell(0, 22), S("超期10天"));
    // Hours: dates as stored, whole-hour boundaries.
    EXPECT_EQ(page.cell(1, 7), "2026-03-01 08:30:00");
    EXPECT_EQ(page.cell(1, 9), "2026-03-0110:30:00");
    EXPECT_EQ(page.cell(1, 10), S("4小时"));
    EXPECT_EQ(page.cell(1, 12), "2.00");
    EXPECT_EQ(page.cell(1, 15), "2026-03-01");
    EXPECT_EQ(page.cell(1, 17), "B0002");
    EXPECT_EQ(page.cell(1, 18), "2026-03-01");
    EXPECT_EQ(page.cell(1, 19), S("处理完毕"));
    EXPECT_EQ(page.rows[1].fore, kDarkBlue);
    // No unit: no dates and no duration.
    for (int c = 7; c <= 10; ++c)
        EXPECT_EQ(page.cell(2, c), QString()) << c;
    EXPECT_EQ(page.cell(2, 11), "0.00");

    // A due date that cannot be read: no duration, the row all the same.
    db().exec(
        "insert into exceed_fine_lst (prop_no, cert_id, lend_date, norm_ret_date, ret_date, time_unit, "
        "fine_amt, "
        "debt_deal_flag) values ('P580011', 'DZ0020', '2026-04-01 10:00:00', '2026-04-3x', '2026-05-01 "
        "10:00:00', "
        "'D', 0.3, '1'), ('P580009', 'DZ0020', '2026-04-01 10:00:00', '2026-04-02', '2026-05-01 10:00:00', "
        "'H', 0.3, '1')");
    const RedrPage bad = load("ExceedInfo");
    db().exec("delete from exceed_fine_lst where prop_no in ('P580011', 'P580009')");
    ASSERT_EQ(bad.rows.size(), 5);
    // Returned at the same time and lent at the same time: by copy number, every time.
    EXPECT_EQ(bad.cell(1, 9), "2026-04-3x");
    EXPECT_EQ(bad.cell(0, 10), QString());
    EXPECT_EQ(bad.cell(1, 10), QString());
    EXPECT_EQ(bad.cell(2, 10), S("10天"));
}

TEST_F(RedrInfoTest, QueuesCountOnlyWaitingEntriesAhead) {
    const RedrPage holds = load("PregInfo");
    ASSERT_EQ(holds.rows.size(), 4);
    // Oldest first: deleted, arrived, waiting fourth in line, expired.
    EXPECT_EQ(holds.cell(0, 10), S("已删除"));
    EXPECT_EQ(holds.rows[0].back, kLightBlue);
    EXPECT_EQ(holds.rows[0].fore, kRed);
    EXPECT_EQ(holds.cell(1, 10), S("已到书"));
    EXPECT_EQ(holds.rows[1].back, kLightBlue);
    EXPECT_EQ(holds.cell(1, 8), QString());
    // 孙页甲 waits ahead; 孙页乙's served hold and 孙页丙's expired one do not count.
    EXPECT_EQ(holds.cell(2, 1), "Q11/S91");
    EXPECT_EQ(holds.cell(2, 8), "2");
    EXPECT_EQ(holds.cell(2, 6), day(0));
    EXPECT_EQ(holds.rows[2].fore, kNone);
    EXPECT_EQ(holds.rows[2].back, kNone);
    EXPECT_EQ(holds.cell(2, 2), titleOf("0000000009", 0));
    EXPECT_EQ(holds.cell(2, 4), S("总馆书库"));
    EXPECT_EQ(holds.cell(2, 5), day(-6));
    EXPECT_EQ(holds.cell(2, 7), "7");
    EXPECT_EQ(holds.cell(2, 9), S("总馆借还台"));
    EXPECT_EQ(holds.cell(2, 10), S("申请中"));
    EXPECT_EQ(holds.rows[3].fore, kRed);
    EXPECT_EQ(holds.cell(3, 8), QString());

    const RedrPage requests = load("ReleInfo");
    ASSERT_EQ(requests.rows.size(), 3);
    EXPECT_EQ(requests.cell(0, 10), S("已删除"));
    EXPECT_EQ(requests.rows[0].back, kLightBlue);
    EXPECT_EQ(requests.cell(1, 4), S("分馆书库"));
    EXPECT_EQ(requests.rows[1].fore, kRed);
    EXPECT_EQ(requests.cell(1, 8), QString());
    EXPECT_EQ(requests.cell(2, 1), "H319.4/B87");
    EXPECT_EQ(requests.cell(2, 8), "2");
    EXPECT_EQ(requests.cell(2, 9), S("分馆借还台"));
    EXPECT_EQ(requests.cell(2, 0), "3");
}

TEST_F(RedrInfoTest, ArrivedHoldsCompensationsAndFoundCopies) {
    const RedrPage arrived = load("PregArriInfo");
    ASSERT_EQ(arrived.rows.size(), 3);
    // Oldest first; only the date part of the keep end counts.
    EXPECT_EQ(arrived.cell(0, 13), S("已删除"));
    EXPECT_EQ(arrived.cell(1, 2), "P580006");
    EXPECT_EQ(arrived.cell(1, 8), day(-1) + " 18:00:00");
    EXPECT_EQ(arrived.rows[1].fore, kRed);
    EXPECT_EQ(arrived.rows[1].back, kLightBlue);
    EXPECT_EQ(arrived.cell(1, 13), S("已借出"));
    EXPECT_EQ(arrived.cell(2, 13), S("待借"));
    EXPECT_EQ(arrived.rows[2].fore, kNone);
    EXPECT_EQ(arrived.rows[2].back, kNone);
    EXPECT_EQ(arrived.cell(2, 0), QString());
    EXPECT_EQ(arrived.cell(2, 10), S("总馆书库"));
    EXPECT_EQ(arrived.cell(2, 12), S("总馆借还台"));

    const RedrPage lost = load("LostInfo");
    ASSERT_EQ(lost.rows.size(), 4);
    QStringList types;
    for (const RedrPageRow& row : lost.rows)
        types << row.cells[13];
    EXPECT_EQ(types, (QStringList{S("赔书"), S("赔钱"), S("赔退"), S("赔退")}));
    EXPECT_EQ(lost.cell(1, 7), day(-20));
    EXPECT_EQ(lost.cell(1, 8), "30");
    EXPECT_EQ(lost.cell(1, 11), "37.5");
    EXPECT_EQ(lost.cell(1, 14), "1");
    EXPECT_EQ(lost.rows[1].fore, kNone);

    const RedrPage found = load("ReleArriInfo");
    ASSERT_EQ(found.rows.size(), 6);
    QStringList states;
    for (const RedrPageRow& row : found.rows)
        states << row.cells[16];
    // Oldest found first.
    EXPECT_EQ(states, (QStringList{S("还书划到"), S("回库"), S("还回"), S("借出"), S("交接"), S("划到")}));
    EXPECT_EQ(found.cell(0, 0), "1");
    EXPECT_EQ(found.cell(0, 12), day(-75) + "11:00:00");
    EXPECT_EQ(found.cell(0, 13), S("分馆借还台"));
    EXPECT_EQ(found.cell(0, 14), S("总馆书库"));
    EXPECT_EQ(found.cell(0, 15), "ZZ");
    EXPECT_EQ(found.cell(1, 15), S("分馆借还台"));
}

TEST_F(RedrInfoTest, RightsDetailsAndRules) {
    const RedrPage auth = load("BaseAuth");
    ASSERT_EQ(auth.rows.size(), 1);
    EXPECT_EQ(auth.rows[0].cells.mid(0, 2), (QStringList{"", S("学生")}));
    EXPECT_EQ(auth.cell(0, 5), "10");
    EXPECT_EQ(auth.cell(0, 6), "10");
    EXPECT_EQ(auth.cell(0, 9), S("是"));

    const RedrPage details = load("PartInfo");
    ASSERT_EQ(details.rows.size(), 1);
    EXPECT_EQ(details.cell(0, 1), "88000021"); // the lost card sorts before the valid one
    EXPECT_EQ(details.cell(0, 6), S("女"));
    EXPECT_EQ(details.cell(0, 15), S("计算机学院"));
    EXPECT_EQ(details.cell(0, 20), "0.5");
    EXPECT_EQ(details.cell(0, 22), "12.5");
    EXPECT_EQ(details.cell(0, 23), "G0020");
    EXPECT_EQ(details.cell(0, 30), "3");
    EXPECT_EQ(details.cell(0, 31), "1.5");
    EXPECT_EQ(details.cell(0, 36), "****");
    EXPECT_EQ(load("PartInfo", "DZ0021").cell(0, 6), S("男"));
    // Any code but the male one, none included, shows 女.
    EXPECT_EQ(load("PartInfo", "DZ0022").cell(0, 6), S("女"));
    EXPECT_EQ(load("PartInfo", "DZ0023").cell(0, 6), S("女"));
    EXPECT_EQ(load("PartInfo", "DZ0023").cell(0, 36), QString());

    // The mappings type T1 meets, in descending number; "T2" alone is not one.
    const RedrPage rules = load("Rule");
    QStringList numbers;
    for (const RedrPageRow& row : rules.rows)
        numbers << row.cells[3];
    EXPECT_EQ(numbers, (QStringList{"R2", "R3", "R1", "R1"}));
    EXPECT_EQ(rules.cell(0, 1), "A*");
    EXPECT_EQ(rules.cell(0, 5), S("小时"));
    EXPECT_EQ(rules.cell(0, 34), S("当前日算起"));
    EXPECT_EQ(rules.cell(2, 5), S("天"));
    EXPECT_EQ(rules.cell(2, 25), "0.1");
    EXPECT_EQ(rules.cell(2, 34), S("期满日算起"));
    EXPECT_EQ(rules.cell(2, 35), "1");
    // A type that is only part of a listed code ("T" in "T1,T2") meets the
    // "*" mappings alone; so does a reader without a type.
    db().exec("insert into reader (cert_id, redr_type_code, name) values ('TZ0001', 'T', 'x'), ('TZ0002', "
              "null, 'y')");
    for (const char* id : {"TZ0001", "TZ0002"}) {
        const RedrPage partial = load("Rule", QString::fromLatin1(id));
        ASSERT_EQ(partial.rows.size(), 2) << id;
        EXPECT_EQ(partial.cell(0, 3), "R2");
        EXPECT_EQ(partial.cell(1, 3), "R3");
    }
    EXPECT_TRUE(load("BaseAuth", "TZ0001").rows.isEmpty()); // a type without its row
    db().exec("delete from reader where cert_id like 'TZ%'");
}

TEST_F(RedrInfoTest, SummaryShowsTheFirstCardByState) {
    QStringList summary;
    ASSERT_EQ(intLoadRedrSummary("DZ0020", &summary), 0);
    EXPECT_EQ(summary, (QStringList{"88000021", "DZ0020", S("孙页面"), "110101199905040020", S("学生"),
                                    S("计算机学院"), summary.value(6), S("学生"), S("2023级"),
                                    S("计算机学院"), "T1", "G0020"}));
    EXPECT_FALSE(summary.value(6).isEmpty());
    // No card, or no lending grade: nothing to show.
    ASSERT_EQ(intLoadRedrSummary("DZ0010", &summary), 0);
    EXPECT_TRUE(summary.isEmpty());
}

TEST_F(RedrInfoTest, AFailedPageQueryIsShownAndLeavesTheHeader) {
    db().exec("alter table reader_volt_lst rename to reader_volt_gone");
    RedrPage page;
    EXPECT_EQ(intLoadRedrPage("VoltInfo", "DZ0020", yearRange(), &page), -1);
    db().exec("alter table reader_volt_gone rename to reader_volt_lst");
    EXPECT_TRUE(page.rows.isEmpty());
    EXPECT_EQ(page.cols(), 16);
    EXPECT_EQ(dialogs.shown.size(), 1);
    // The archive of a history page that failed to load adds nothing.
    db().exec("alter table lend_hist_bak rename to lend_hist_gone");
    RedrPage history = load("LendHistoryInfo");
    const int shown = int(history.rows.size());
    EXPECT_EQ(intLoadLendHistoryBak("DZ0020", yearRange(), &history), -1);
    db().exec("alter table lend_hist_gone rename to lend_hist_bak");
    EXPECT_EQ(history.rows.size(), shown);
}
