// The find desk: a scanned copy lent to the first fit requester, the rows it
// writes, the scans that stop, the hand-over, the pick list and the found list
// with their prints.

#include "ConsignFixture.h"
#include "common/basCodeFunc.h"
#include "platform/oradb/FaultHook.h"

#include <QFile>

using consign::strTeamName;

TEST(TeamName, FollowsDepartmentThenCodeThenPosition) {
    struct Case {
        QString code;
        QStringList depts;
        int position;
        QString name;
    } cases[] = {
        {"07", {"总馆"}, 1, "总馆"},
        {"01", {""}, 1, "借书处"},
        {"02", {}, 2, "阅览室"},
        {"03", {"甲", "乙"}, 1, "其他藏书处"},
        {"04", {""}, 4, "赠送交换对象"},
        {"05", {"", "分馆"}, 5, "远程分馆"},
        {"13", {""}, 1, "分馆"},
        {"07", {""}, 3, "新增组03"},
        {"99", {"甲", ""}, 100, "新增组100"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(strTeamName(c.code, c.depts, c.position), c.name) << c.code.toStdString();
}

TEST_F(ConsignTest, ChoosersListGroupsAndDeskLocations) {
    ASSERT_EQ(find.subInitTeam(), 0);
    for (const consign::Chooser* c :
         {&find.cmbApplyTeam, &find.cmbApplyTeamII, &find.cmbFindTeam, &find.cmbFindTeamII}) {
        EXPECT_EQ(c->names, QStringList({"总馆", "分馆", "所有馆藏组"}));
        EXPECT_EQ(c->index, 0);
    }
    // The holding group's desk locations in their order; RR is no desk location.
    EXPECT_EQ(find.cmbApplyLocation.names,
              QStringList({"总馆借还台", "总馆书库", "总馆期刊库", "所有馆藏地"}));
    EXPECT_TRUE(find.applyLocationShown());
    ASSERT_EQ(find.cmbApplyTeamII_Click(2), 0);
    EXPECT_EQ(find.cmbApplyLocation.codes, QStringList({"D1", "D2", "A1", "A2", "B1"}));
    find.cmbApplyLocation.index = 2;
    EXPECT_FALSE(find.applyLocationShown());

    // A third group without a name of its own and without desk locations.
    db().exec("insert into location_lst (location, location_name, location_property) values ('X1', '新书库', '07')");
    ASSERT_EQ(find.subInitTeam(), 0);
    EXPECT_EQ(find.cmbApplyTeamII.names, QStringList({"总馆", "分馆", "新增组03", "所有馆藏组"}));
    ASSERT_EQ(find.cmbApplyTeamII_Click(2), 0);
    EXPECT_EQ(find.cmbApplyLocation.names, QStringList({"所有馆藏地"}));
    EXPECT_TRUE(find.cmbApplyLocation.onAll());
    ASSERT_EQ(home.subInitTeam(), 0);
    ASSERT_EQ(home.cmbReturnTeam_Click(2), 0);
    EXPECT_EQ(home.cmbReturnLocation.names, QStringList({"所有馆藏地"}));
    EXPECT_TRUE(home.returnLocationShown());

    // No locations at all: only the "all" entries.
    db().exec("truncate location_lst cascade");
    ASSERT_EQ(find.subInitTeam(), 0);
    EXPECT_EQ(find.cmbApplyTeam.names, QStringList({"所有馆藏组"}));
    EXPECT_TRUE(find.cmbApplyTeam.onAll());
    EXPECT_EQ(find.cmbApplyLocation.names, QStringList({"所有馆藏地"}));
}

TEST_F(ConsignTest, ScanServesTheFirstFitRequesterInOneTransaction) {
    const QString before401 = workload("401");
    QString text = "  b500001 ";
    ASSERT_EQ(find.txtFindBook_Enter(&text), 0) << shownTexts().join('|').toStdString();
    EXPECT_EQ(text, "B500001");
    EXPECT_EQ(find.display().barCode, "B500001");
    EXPECT_EQ(find.display().propNo, "P500001");
    EXPECT_EQ(find.display().location, "总馆书库");

    // DR09 owes too much and is passed over; DR15 is served.
    EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR15");
    EXPECT_EQ(db().scalar("select location_f from lend_lst where prop_no = 'P500001'"), "A1");
    EXPECT_EQ(flagOf("P500001"), "3");
    EXPECT_EQ(workload("401").toInt(), before401.toInt() + 1);
    EXPECT_EQ(
        db().scalar(
            "select string_agg(concat_ws(',', cert_id, relegate_end_flag, relegate_location, "
            "relegate_find_location, relegate_arri_date, relegate_noti_date, relegate_keep_days, "
            "relegate_keep_end_date, relegate_date, resp_wkr, relegate_lend_date, relegate_ret_date), ';') "
            "from relegate_arri_lst where prop_no = 'P500001'"),
        QString("DR15,1,D2,D1,%1,%1,7,%2,%3,0001").arg(day, dayPlus(7), dayPlus(-2)));
    EXPECT_EQ(requestsOf("TP311.12/W23"), QStringList({"DR09:0:1", "DR15:1:0", "DR13:1:0"}));

    ASSERT_EQ(find.spdFind().size(), 1);
    EXPECT_EQ(find.spdFind()[0].cells(),
              QStringList({"TP311.12/W23", "总馆书库", "P500001", find.display().bookName, "分馆借还台",
                           "DR15", "韩小欠", day, dayPlus(7)}));
    EXPECT_EQ(find.spdFind()[0].marcRecNo, "0000000001");
    EXPECT_EQ(invariantsBroken(), QStringList());
}

TEST_F(ConsignTest, LaterWaitingNumbersCloseUpBehindTheServedRequest) {
    request("DR02", "TP311.12/W23", "A1", 3);
    request("DR01", "TP311.12/W23", "A1", 4);
    ASSERT_EQ(find.subFindBook("B500001"), 0);
    EXPECT_EQ(requestsOf("TP311.12/W23"),
              QStringList({"DR09:0:1", "DR15:1:0", "DR13:1:0", "DR02:0:2", "DR01:0:3"}));
    // The next copy goes to the next fit requester, on top of the grid.
    ASSERT_EQ(find.subFindBook("B500002"), 0);
    EXPECT_EQ(loanOf("P500002").section('|', 0, 0), "DR02");
    ASSERT_EQ(find.spdFind().size(), 2);
    EXPECT_EQ(find.spdFind()[0].propNo, "P500002");
    EXPECT_EQ(find.spdFind()[1].propNo, "P500001");
    EXPECT_EQ(requestsOf("TP311.12/W23").last(), "DR01:0:2");
}

TEST_F(ConsignTest, ScansThatStopWriteNothing) {
    struct Case {
        const char* what;
        QString setup, code, message;
    } cases[] = {
        {"unknown bar code", "", "NOPE", "没有任何读者委托该书。"},
        {"only an expired request", "", "B500011", "没有任何读者委托该书。"},
        {"nobody fit", "update relegate_lst set relegate_flag = '2', relegate_no = 0 where cert_id = 'DR15'",
         "B500001", "没有任何读者符合借阅该书的条件。"},
        {"on loan elsewhere",
         "insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
         "relegate_end_date, relegate_location, relegate_flag) select 'DR02', 'TP393/S91', 'A1', 2, "
         "to_char(desk_now()::date, 'YYYY-MM-DD'), to_char(desk_now()::date + 7, 'YYYY-MM-DD'), "
         "'D2', '0'",
         "B500012", msg("ELT113")},
        {"not lendable",
         "insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
         "relegate_end_date, relegate_location, relegate_flag) select 'DR02', 'K220/C41', 'A1', 1, "
         "to_char(desk_now()::date, 'YYYY-MM-DD'), to_char(desk_now()::date + 7, 'YYYY-MM-DD'), 'D2', '0'",
         "B500051", msg("ELT114", strItemStatusName("42"))},
        {"reserved for another", "update item set book_lend_flag = '2' where prop_no = 'P500001'", "B500001",
         msg("ELT117")},
        {"another copy reserved for the requester",
         "update item set book_lend_flag = '2' where prop_no = 'P500001';"
         "insert into preg_arri_lst (cert_id, prop_no, call_no_f, pregarri_deal_flag) "
         "values ('DR15', 'P500002', 'TP311.12/W23', '0')",
         "B500001", msg("ELT116")},
        {"found already", "", "B500003", "该书处于委托借出状态，请在委托借阅模块中处理。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        freshDatabase();
        db().pinClock(day + " 10:00:00");
        atDesk("D1", "01");
        if (!c.setup.isEmpty()) db().exec(c.setup);
        const QString rows = circulationRows();
        dialogs.shown.clear();
        EXPECT_EQ(find.subFindBook(c.code), -1);
        EXPECT_EQ(shownTexts(), QStringList{c.message});
        EXPECT_FALSE(LIB_DB_InTrans());
        EXPECT_EQ(circulationRows(), rows);
        EXPECT_TRUE(find.spdFind().isEmpty());
    }
    // A blank scan asks nothing of the server.
    find.resetStatementCount();
    QString blank = "   ";
    EXPECT_EQ(find.txtFindBook_Enter(&blank), -1);
    EXPECT_EQ(blank, "");
    EXPECT_EQ(find.statementCount(), 0);
}

TEST_F(ConsignTest, AReservedCopyGoesOnlyToTheRequesterItIsHeldFor) {
    db().exec("update item set book_lend_flag = '2' where prop_no = 'P500001';"
              "insert into preg_arri_lst (cert_id, prop_no, call_no_f, pregarri_deal_flag) "
              "values ('DR15', 'P500001', 'TP311.12/W23', '0')");
    ASSERT_EQ(find.subFindBook("B500001"), 0);
    EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR15");
    EXPECT_EQ(flagOf("P500001"), "3");
}

TEST_F(ConsignTest, ACopyWithoutLocationIsLentAtTheDeskAndMovedThere) {
    db().exec("update item set location = '99999' where prop_no = 'P500001';"
              "update relegate_lst set location = '99999' where cert_id in ('DR09', 'DR15') "
              "and call_no = 'TP311.12/W23' and relegate_flag = '0'");
    ASSERT_EQ(find.subFindBook("B500001"), 0) << shownTexts().join('|').toStdString();
    EXPECT_EQ(db().scalar("select location from item where prop_no = 'P500001'"), "D1");
    EXPECT_EQ(find.spdFind()[0].location, "总馆借还台");
    EXPECT_EQ(queue("TP311.12/W23", "99999"), QStringList({"DR09:1"}));

    // A move that fails is told; the loan stands.
    db().exec(
        "update item set location = '99999' where prop_no = 'P500002';"
        "create function no_move() returns trigger language plpgsql as $$ begin "
        "raise exception 'no move'; end $$;"
        "create trigger no_move before update of location on item for each row execute function no_move()");
    request("DR02", "TP311.12/W23", "99999", 2);
    dialogs.shown.clear();
    ASSERT_EQ(find.subFindBook("B500002"), 0);
    EXPECT_EQ(loanOf("P500002").section('|', 0, 0), "DR02");
    EXPECT_EQ(db().scalar("select location from item where prop_no = 'P500002'"), "99999");
    EXPECT_EQ(shownTexts(), QStringList({"该书已借出，但其馆藏地未能改为本馆藏地，仍为99999。"}));
    EXPECT_EQ(dialogs.shown.last().icon, ui::BoxIcon::Warning);
}

TEST_F(ConsignTest, HandOverChangesOnlyTheRowsStillFoundAndCountsThem) {
    // Nothing to hand over yet.
    EXPECT_EQ(find.subConnectFind(), -1);
    EXPECT_EQ(shownTexts(), QStringList({"没有任何书刊划到数据。"}));
    request("DR02", "TP311.12/W23", "A1", 3);
    ASSERT_EQ(find.subFindBook("B500001"), 0);
    ASSERT_EQ(find.subFindBook("B500002"), 0);
    // The requester of the second copy collects it before the hand-over.
    db().exec("update relegate_arri_lst set relegate_end_flag = '3' where prop_no = 'P500002'");
    dialogs.shown.clear();
    ASSERT_EQ(find.subConnectFind(), 0);
    EXPECT_EQ(foundRows("P500001"), QStringList({"DR15:2"}));
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR02:3"}));
    EXPECT_EQ(
        db().scalar("select relegate_lend_date is null and relegate_ret_date is null from relegate_arri_lst "
                    "where prop_no = 'P500001'"),
        "t");
    EXPECT_EQ(shownTexts(),
              QStringList({"批次交接正常结束。\n本批交接1册。\n1册已不是待交接的划到书刊，未交接：P500002"}));
    // Again: nothing left to hand over, not even the second copy found since
    // for the reader of the first: a key is a reader and a copy together.
    db().exec("update relegate_arri_lst set cert_id = 'DR15', relegate_end_flag = '1' where prop_no = 'P500002'");
    dialogs.shown.clear();
    ASSERT_EQ(find.subConnectFind(), 0);
    EXPECT_TRUE(shownTexts().value(0).startsWith("批次交接正常结束。\n本批交接0册。"));
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR15:1"}));
}

TEST_F(ConsignTest, PickListCountsCopiesAndPrintsWhatItWasSearchedWith) {
    ASSERT_EQ(find.subInitTeam(), 0);
    find.cmbApplyTeam.index = 2;
    find.dtpApplyBegin = find.dtpApplyBegin.addDays(-3);
    ASSERT_EQ(find.cmdApplySearch(), 0);
    ASSERT_EQ(find.spdApplyList().size(), 2);
    const consign::ApplyRow& r = find.spdApplyList()[0];
    EXPECT_EQ(r.certId, "DR09");
    EXPECT_EQ(r.pickUp, "分馆借还台");
    EXPECT_EQ(r.location, "总馆书库");
    // A1 holds three lendable copies (P500001..3), two of them on the shelf.
    EXPECT_EQ(r.lendable, 3);
    EXPECT_EQ(r.inLibrary, 2);
    EXPECT_EQ(find.spdApplyList()[1].certId, "DR15");

    // The chooser changed after the search: the print keeps the search's choice.
    find.cmbApplyLocation.index = 1;
    ASSERT_EQ(find.cmdApplyPrint(), 0);
    EXPECT_EQ(printed, "委托申请清单");
    EXPECT_EQ(printedInfo,
              QStringList({"委托申请清单", "申请起始日期：" + dayPlus(-3), "申请截止日期：" + day,
                           "委托馆藏组：所有馆藏组", "馆藏地：所有馆藏地", "总计：2册",
                           "制表日期：" + day + "  经手人：0001"}));
    EXPECT_EQ(printedRows.value(0),
              "|索书号|题名|责任者|出版社|委托馆藏地|证件号|姓名|馆藏地|可借数量|在馆数量");
    EXPECT_TRUE(printedRows.value(1).startsWith("0000000001|TP311.12/W23|"))
        << printedRows.value(1).toStdString();
    EXPECT_TRUE(printedRows.value(1).endsWith("|分馆借还台|DR09|冯欠款|总馆书库|3|2"));

    // One holding location: nine columns. No pick-up at the main library's group.
    ASSERT_EQ(find.cmdApplySearch(), 0);
    ASSERT_EQ(find.cmdApplyPrint(), 0);
    EXPECT_EQ(printedRows.value(0), "|索书号|题名|责任者|出版社|委托馆藏地|证件号|姓名|可借数量|在馆数量");
    EXPECT_EQ(printedInfo.value(4), "馆藏地：总馆书库");
    find.cmbApplyTeam.index = 0;
    dialogs.shown.clear();
    EXPECT_EQ(find.cmdApplySearch(), -1);
    EXPECT_EQ(shownTexts(), QStringList({"没有任何委托申请数据。"}));
    EXPECT_TRUE(find.spdApplyList().isEmpty());

    // Begin after end.
    find.cmbApplyTeam.index = 2;
    find.dtpApplyBegin = find.dtpApplyEnd.addDays(1);
    dialogs.shown.clear();
    EXPECT_EQ(find.cmdApplySearch(), -1);
    EXPECT_EQ(shownTexts(), QStringList({"没有任何委托申请数据。"}));
}

namespace {
// Property numbers of the listed copies of the road's title.
QStringList roadCopies(const QVector<consign::FoundRow>& rows) {
    QStringList props;
    for (const consign::FoundRow& r : rows)
        if (r.callNo == "TP311.12/W23") props << r.propNo;
    props.sort();
    return props;
}
} // namespace

TEST_F(ConsignTest, FoundListByOptionHandsOverAndPrints) {
    ASSERT_EQ(find.subInitTeam(), 0);
    find.cmbFindTeam.index = find.cmbFindTeamII.index = 2;
    ASSERT_EQ(find.subFindBook("B500001"), 0);
    find.dtpFindBegin = find.dtpFindBegin.addDays(-7);
    // DR13's copy (handed over two days ago) and the copy found now.
    ASSERT_EQ(find.cmdFindSearch(), 0);
    EXPECT_EQ(roadCopies(find.spdFindList()), QStringList({"P500001", "P500003"}));
    find.optType = 2;
    ASSERT_EQ(find.cmdFindSearch(), 0);
    EXPECT_EQ(roadCopies(find.spdFindList()), QStringList({"P500001"}));
    for (const consign::FoundRow& r : find.spdFindList())
        if (r.propNo == "P500001") {
            EXPECT_EQ(r.cells(), find.spdFind()[0].cells());
        }

    dialogs.shown.clear();
    ASSERT_EQ(find.subConnectFindList(), 0);
    EXPECT_EQ(foundRows("P500001"), QStringList({"DR15:2"}));
    find.optType = 1;
    ASSERT_EQ(find.cmdFindSearch(), 0);
    EXPECT_EQ(roadCopies(find.spdFindList()), QStringList({"P500001", "P500003"}));
    find.optType = 0; // the print keeps the option of its search
    ASSERT_EQ(find.cmdFindPrint(), 0);
    EXPECT_EQ(printed, "委托到书清单(已交接)");
    EXPECT_EQ(printedInfo.mid(1, 4), QStringList({"到书起始日期：" + dayPlus(-7), "到书截止日期：" + day,
                                                  "委托馆藏组：所有馆藏组", ""}));
    EXPECT_EQ(printedRows.value(0).section('|', 9), "到书保留截至日期");

    ASSERT_EQ(find.subPrintFind(), 0);
    EXPECT_EQ(printed, "书刊划到清单");
    EXPECT_EQ(printedInfo,
              QStringList({"书刊划到清单", "总计：1册", "制表日期：" + day, "经手人：0001", "", "", ""}));
    EXPECT_EQ(printedRows.value(1).section('|', 0, 3), "0000000001|TP311.12/W23|总馆书库|P500001");

    // A keep period that ended yesterday drops the copy; begin after end finds nothing.
    db().exec(
        "update relegate_arri_lst set relegate_keep_end_date = to_char(desk_now()::date - 1, 'YYYY-MM-DD')");
    dialogs.shown.clear();
    EXPECT_EQ(find.cmdFindSearch(), -1);
    EXPECT_EQ(shownTexts(), QStringList({"没有任何委托到书数据。"}));
}

TEST_F(ConsignTest, ListsGiveTheirOwnRowsForEveryFilterInOneSession) {
    // Each shape of a list's filter is a statement of its own, prepared once a
    // session with the values as parameters: searched one after another, and
    // again in the reverse order, every choice gives its own rows.
    ASSERT_EQ(find.subInitTeam(), 0);
    request("DR02", "TP393/S91", "B1", 1);
    find.dtpApplyBegin = find.dtpFindBegin = find.dtpApplyEnd.addDays(-10);
    const int all = 2; // the choosers' last entry: every group
    struct Pick {
        int team, teamII, location; // location -1: every location of the holding group
        QStringList requesters;
    } picks[] = {
        {all, all, -1, {"DZ0021", "DZ0020", "BZ02", "DR09", "DR15", "DR02"}},
        {0, all, -1, {"BZ02"}}, // picked up at D1
        {1, all, -1, {"DZ0021", "DZ0020", "DR09", "DR15", "DR02"}},
        {all, 1, -1, {"DR02"}},                                    // held at B1
        {all, 0, 1, {"DZ0021", "DZ0020", "BZ02", "DR09", "DR15"}}, // A1
        {1, 0, 1, {"DZ0021", "DZ0020", "DR09", "DR15"}},
        {all, all, 4, {"DR02"}}, // B1
    };
    auto pickRows = [&](const Pick& c) {
        find.cmbApplyTeam.index = c.team;
        EXPECT_EQ(find.cmbApplyTeamII_Click(c.teamII), 0);
        find.cmbApplyLocation.index = c.location < 0 ? find.cmbApplyLocation.count() - 1 : c.location;
        find.cmdApplySearch();
        QStringList rows;
        for (const consign::ApplyRow& r : find.spdApplyList())
            rows << r.certId;
        return rows;
    };
    struct Found {
        int team, teamII, option;
        QStringList copies;
    } founds[] = {
        {all, all, 0, {"P580008", "P580007", "P6004", "P500003"}},
        {all, all, 1, {"P580008", "P6004", "P500003"}},
        {all, all, 2, {"P580007"}},
        {0, all, 0, {}}, // every copy waits at D2
        {1, all, 2, {"P580007"}},
        {all, 0, 0, {"P580008", "P580007", "P6004", "P500003"}},
        {all, 1, 0, {}}, // every copy was found in the main library
        {1, 0, 1, {"P580008", "P6004", "P500003"}},
    };
    auto foundRows = [&](const Found& c) {
        find.cmbFindTeam.index = c.team;
        find.cmbFindTeamII.index = c.teamII;
        find.optType = c.option;
        find.cmdFindSearch();
        QStringList rows;
        for (const consign::FoundRow& r : find.spdFindList())
            rows << r.propNo;
        return rows;
    };
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < int(std::size(picks)); ++i) {
            const Pick& c = picks[round == 0 ? i : std::size(picks) - 1 - i];
            EXPECT_EQ(pickRows(c), c.requesters) << c.team << c.teamII << c.location;
        }
        for (int i = 0; i < int(std::size(founds)); ++i) {
            const Found& c = founds[round == 0 ? i : std::size(founds) - 1 - i];
            EXPECT_EQ(foundRows(c), c.copies) << c.team << c.teamII << c.option;
        }
    }
}

TEST_F(ConsignTest, ListWhoseRecordsCannotBeReadShowsItsRowsWithBlankTitles) {
    // The records travel in the list's statement: when they cannot be read
    // the list is read alone, as before without the titles and no message.
    ASSERT_EQ(find.subInitTeam(), 0);
    find.cmbApplyTeam.index = 2;
    find.dtpApplyBegin = find.dtpApplyBegin.addDays(-3);
    db().exec("alter table marc_data rename to marc_data_away");
    dialogs.shown.clear();
    const int searched = find.cmdApplySearch();
    db().exec("alter table marc_data_away rename to marc_data");
    ASSERT_EQ(searched, 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    ASSERT_EQ(find.spdApplyList().size(), 2);
    for (const consign::ApplyRow& r : find.spdApplyList())
        EXPECT_EQ(QStringList({r.title, r.author, r.publisher}), QStringList({"", "", ""}));
    EXPECT_EQ(find.spdApplyList()[0].lendable, 3);
    // Readable again: the titles show.
    ASSERT_EQ(find.cmdApplySearch(), 0);
    EXPECT_FALSE(find.spdApplyList()[0].title.isEmpty());

    // The connection lost under the list: the failure is reported at once
    // (with the offer to reconnect, declined here), nothing asked again.
    dialogs.shown.clear();
    dialogs.answers << ui::BoxAnswer::Cancel;
    oradb::faults::endSessionBeforeStatement(1);
    EXPECT_EQ(find.cmdApplySearch(), -1);
    EXPECT_EQ(oradb::faults::statementCount(), 1);
    EXPECT_EQ(shownTexts(), QStringList({"网络非正常中断，重新连接数据库？"}));
    // The session's end is what is reported, not a later "not connected" (3114).
    EXPECT_EQ(g_lngErrNo, 28) << g_strErrText.toStdString();
    oradb::faults::clear();
    ASSERT_EQ(LIB_DB_Connect(), 0);
    EXPECT_EQ(find.cmdApplySearch(), 0);
}
