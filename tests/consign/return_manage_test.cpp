// The return management: accepting a returned copy at its home group, the
// return-home list of the returning group, the check list of the home group,
// and their prints.

#include "ConsignFixture.h"

#include <QFile>

TEST_F(ConsignTest, AcceptanceMarksTheReturnedRowAcceptedAndNothingElse) {
    returnedHome("DR01", "P500002", "D2");
    const QString itemRow =
        db().scalar("select concat_ws(',', book_lend_flag, location, book_stat_code) from item "
                    "where prop_no = 'P500002'");
    const QString before402 = workload("402");
    QString text = " b500002";
    ASSERT_EQ(home.txtCheckBook_Enter(&text), 0) << shownTexts().join('|').toStdString();
    EXPECT_EQ(text, "B500002");
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR01:5"}));
    EXPECT_EQ(db().scalar("select concat_ws(',', book_lend_flag, location, book_stat_code) from item "
                          "where prop_no = 'P500002'"),
              itemRow);
    EXPECT_EQ(workload("402"), before402);
    EXPECT_EQ(home.display().barCode, "B500002");
    EXPECT_EQ(home.display().location, "总馆书库");
    EXPECT_EQ(QStringList({home.display().bookName, home.display().author, home.display().publ}),
              consign::marcTexts("0000000001"));
    ASSERT_EQ(home.spdCheck().size(), 1);
    EXPECT_EQ(home.spdCheck()[0].propNo, "P500002");
    EXPECT_EQ(home.spdCheck()[0].location, "总馆书库");
    EXPECT_EQ(home.spdCheck()[0].marcRecNo, "0000000001");

    // A second copy lands on top.
    returnedHome("DR02", "P500001", "D2");
    ASSERT_EQ(home.subCheckBook("B500001"), 0);
    EXPECT_EQ(home.spdCheck()[0].propNo, "P500001");
    EXPECT_EQ(home.spdCheck().size(), 2);
}

TEST_F(ConsignTest, AcceptanceRefusals) {
    returnedHome("DR01", "P500002", "D2");
    returnedHome("DR02", "P500001", "D2", dayPlus(-1));
    returnedHome("DR01", "P500004", "D1"); // home B1, group 05
    ASSERT_EQ(home.subCheckBook("B500002"), 0);
    const struct {
        QString code, message;
    } cases[] = {
        {"NOPE", msg("ELT130")},
        {"B500001", "该书不是选定范围内的委托回库书刊"},
        {"B500004", "该书不是本馆藏组的书刊"},
        {"B500002", "该书已经验收，不能重复验收。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code.toStdString());
        const QString rows = circulationRows();
        dialogs.shown.clear();
        EXPECT_EQ(home.subCheckBook(c.code), -1);
        EXPECT_EQ(shownTexts(), QStringList{c.message});
        EXPECT_EQ(circulationRows(), rows);
    }
    EXPECT_EQ(home.spdCheck().size(), 1);
    // A blank scan asks nothing.
    home.resetStatementCount();
    QString blank = "  ";
    EXPECT_EQ(home.txtCheckBook_Enter(&blank), -1);
    EXPECT_EQ(home.statementCount(), 0);
}

TEST_F(ConsignTest, AnAcceptanceMeetingAHeldRowShowsTheCopyWithTheError) {
    returnedHome("DR01", "P500002", "D2");
    testsupport::RawConnection other;
    ASSERT_TRUE(other.exec("begin; select 1 from relegate_arri_lst where prop_no = 'P500002' for update"));
    ASSERT_EQ(LIB_DB_Execute("set lock_timeout = '300ms'"), 0);
    dialogs.answers << ui::BoxAnswer::Ok;
    EXPECT_EQ(home.subCheckBook("B500002"), -1);
    EXPECT_TRUE(shownTexts().contains("该记录已经被锁定!")) << shownTexts().join('|').toStdString();
    EXPECT_EQ(home.display().barCode, "B500002");
    EXPECT_EQ(home.display().bookName, consign::marcTexts("0000000001").value(0));
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_TRUE(home.spdCheck().isEmpty());
    ASSERT_TRUE(other.exec("rollback"));
    LIB_DB_Execute("reset lock_timeout");
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR01:4"}));
}

TEST_F(ConsignTest, ReturnHomeListOfTheReturningGroup) {
    atDesk("D2", "05");
    returnedHome("DR01", "P500002", "D2");
    returnedHome("DR02", "P500001", "D2");
    db().exec("update item set book_lend_flag = '1' where prop_no = 'P500001'"); // lent out again
    returnedHome("DR02", "P500011", "D1");                                       // returned elsewhere
    ASSERT_EQ(home.subInitTeam(), 0);
    EXPECT_EQ(home.cmbReturnTeam.names, QStringList({"总馆", "分馆"}));
    EXPECT_EQ(home.cmbCheckTeam.names, QStringList({"总馆", "分馆", "所有馆藏组"}));
    EXPECT_EQ(home.cmbReturnLocation.names,
              QStringList({"总馆借还台", "总馆书库", "总馆期刊库", "所有馆藏地"}));
    EXPECT_EQ(home.cmbReturnLocation.index, 0);
    EXPECT_EQ(home.cmbCheckLocation.codes, QStringList({"D2", "B1"}));

    home.cmbReturnLocation.index = 3;
    ASSERT_EQ(home.cmdReturnSearch(), 0);
    ASSERT_EQ(home.spdReturnList().size(), 1);
    EXPECT_EQ(home.spdReturnList()[0].propNo, "P500002");
    EXPECT_EQ(home.spdReturnList()[0].location, "总馆书库");
    home.cmbReturnLocation.index = 1; // chosen after the search: the print keeps the search's columns
    ASSERT_EQ(home.cmdReturnPrint(), 0);
    EXPECT_EQ(printed, "委托回库清单");
    EXPECT_EQ(printedInfo,
              QStringList({"委托回库清单", "还书起始日期：" + day, "还书截止日期：" + day, "馆藏组：总馆",
                           "馆藏地：所有馆藏地", "总计：1册", "制表日期：" + day + "  经手人：0001"}));
    EXPECT_EQ(printedRows.value(0), "|索书号|财产号|题名|责任者|出版社|馆藏地");

    // One location: the location column is neither written nor printed.
    ASSERT_EQ(home.cmdReturnSearch(), 0);
    EXPECT_EQ(home.spdReturnList()[0].location, "");
    ASSERT_EQ(home.cmdReturnPrint(), 0);
    EXPECT_EQ(printedRows.value(0), "|索书号|财产号|题名|责任者|出版社");
    EXPECT_EQ(printedInfo.value(4), "馆藏地：总馆书库");

    // Accepted at home, it leaves the list.
    db().exec("update relegate_arri_lst set relegate_end_flag = '5' where prop_no = 'P500002'");
    dialogs.shown.clear();
    EXPECT_EQ(home.cmdReturnSearch(), -1);
    EXPECT_EQ(shownTexts(), QStringList({"没有任何委托回库数据。"}));
    dialogs.shown.clear();
    EXPECT_EQ(home.cmdReturnPrint(), -1);
    EXPECT_EQ(shownTexts(), QStringList({"没有任何委托回库数据。"}));
}

TEST_F(ConsignTest, CheckListOfTheHomeGroupByAcceptanceState) {
    returnedHome("DR01", "P500002", "D2");
    returnedHome("DR02", "P500001", "D1");
    returnedHome("DR02", "P500004", "D1"); // home B1: another group's copy
    db().exec(
        "insert into relegate_arri_lst (cert_id, prop_no, call_no, relegate_ret_date, relegate_end_flag) "
        "select 'DR14', 'P500011', 'TP393/S91', to_char(desk_now()::date, 'YYYY-MM-DD'), '6'");
    ASSERT_EQ(home.subInitTeam(), 0);
    ASSERT_EQ(home.subCheckBook("B500002"), 0);
    home.cmbCheckTeam.index = 2;
    home.cmbCheckLocation.index = home.cmbCheckLocation.count() - 1;
    const struct {
        int option;
        QStringList props;
        QString title;
    } cases[] = {
        {0, {"P500001", "P500002"}, "委托验收清单(全部)"},
        {1, {"P500002"}, "委托验收清单(已验收)"},
        {2, {"P500001"}, "委托验收清单(未验收)"},
    };
    for (const auto& c : cases) {
        home.optType = c.option;
        ASSERT_EQ(home.cmdCheckSearch(), 0);
        QStringList props;
        for (const consign::HomeRow& r : home.spdCheckList())
            props << r.propNo;
        props.sort();
        EXPECT_EQ(props, c.props);
        ASSERT_EQ(home.cmdCheckPrint(), 0);
        EXPECT_EQ(printed, c.title);
        EXPECT_EQ(printedInfo.value(3), "委托馆藏组：所有馆藏组");
    }
    // Returned in the branch's group only.
    home.optType = 0;
    home.cmbCheckTeam.index = 1;
    ASSERT_EQ(home.cmdCheckSearch(), 0);
    ASSERT_EQ(home.spdCheckList().size(), 1);
    EXPECT_EQ(home.spdCheckList()[0].propNo, "P500002");

    // The Check page's prints read the database with the page's own dates.
    ASSERT_EQ(home.cmdUnCheck_Click(), 0);
    EXPECT_EQ(printed, "书刊验收清单(未验收)");
    EXPECT_EQ(printedInfo,
              QStringList({"书刊验收清单(未验收)", "还书起始日期：" + day, "还书截止日期：" + day, "", "",
                           "总计：1册", "制表日期：" + day + "  经手人：0001"}));
    EXPECT_EQ(printedRows.value(1).section('|', 0, 2), "0000000001|TP311.12/W23|P500001");
    ASSERT_EQ(home.cmdCheck_Click(), 0);
    EXPECT_EQ(printed, "书刊验收清单(已验收)");
    home.dtpBegin = home.dtpEnd.addDays(1);
    dialogs.shown.clear();
    EXPECT_EQ(home.cmdCheck_Click(), -1);
    EXPECT_EQ(shownTexts(), QStringList({"没有任何书刊验收数据。"}));
}
