// The road of one consignment across the branch desk (DESK02: D2, group 05)
// and the main library's desk (DESK01: D1, group 01, home of A1), each step
// run as its workstation, with the records checked after every step.

#include "ConsignFixture.h"

#include <QFile>

class RoadTest : public ConsignTest {
protected:
    void SetUp() override {
        ConsignTest::SetUp();
        desk.askKeepDays = [](const QString&, int maxDays) -> std::optional<int> { return maxDays; };
    }
    void TearDown() override {
        EXPECT_EQ(invariantsBroken(), QStringList());
        ConsignTest::TearDown();
    }
    void atBranch() { atDesk("D2", "05"); }
    void atMain() { atDesk("D1", "01"); }
    // A reader of the branch desk requests the title at A1.
    void requestAtA1(const QString& card) {
        atBranch();
        desk.mode = desk::ModeRequest;
        ASSERT_EQ(desk.intLoadRedr(card), 0) << shown();
        ASSERT_EQ(desk.subSearchBook("TP311.12/W23", desk::SearchCallNo), 0);
        int title = -1, holding = -1;
        for (int t = 0; t < desk.titles().size(); ++t)
            if (desk.titles()[t].callNos.contains("TP311.12/W23")) title = t;
        ASSERT_GE(title, 0);
        ASSERT_EQ(desk.subShowHoldings(title), 0);
        const auto& h = desk.titles()[title].holdings;
        for (int i = 0; i < h.size(); ++i)
            if (h[i].location == "A1") holding = i;
        ASSERT_GE(holding, 0);
        ASSERT_EQ(desk.subApplyBook(title, holding), 0) << shown();
    }
    // Steps (a) to (e): requested at D2, picked, found and handed over at D1,
    // collected at D2 by DC02.
    void toCollection() {
        // (a)
        requestAtA1("DC02");
        EXPECT_EQ(queue("TP311.12/W23", "A1"), QStringList({"DR09:1", "DR15:2", "DR02:3"}));

        // (b) the pick list from a week back
        atMain();
        ASSERT_EQ(find.subInitTeam(), 0);
        find.cmbApplyTeam.index = find.cmbApplyTeam.count() - 1;
        find.dtpApplyBegin = find.dtpApplyEnd.addDays(-7);
        ASSERT_EQ(find.cmdApplySearch(), 0);
        QStringList waiting;
        for (const consign::ApplyRow& r : find.spdApplyList())
            if (r.callNo == "TP311.12/W23") {
                waiting << r.certId;
                EXPECT_EQ(r.lendable, 3);
                EXPECT_EQ(r.inLibrary, 2);
            }
        EXPECT_EQ(waiting, QStringList({"DR09", "DR15", "DR02"}));
        ASSERT_EQ(find.cmdApplyPrint(), 0);
        EXPECT_EQ(printed, "委托申请清单");

        // (c) DR09 is passed over for fines; DR15 and DR02 are served
        ASSERT_EQ(find.subFindBook("B500001"), 0) << shown();
        EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR15");
        ASSERT_EQ(find.subFindBook("B500002"), 0) << shown();
        EXPECT_EQ(loanOf("P500002").section('|', 0, 0), "DR02");
        EXPECT_EQ(queue("TP311.12/W23", "A1"), QStringList({"DR09:1"}));
        EXPECT_EQ(foundRows("P500002"), QStringList({"DR02:1"}));
        EXPECT_EQ(flagOf("P500002"), "3");

        // (d) the hand-over of the Find page's grid
        ASSERT_EQ(find.subConnectFind(), 0);
        EXPECT_EQ(foundRows("P500001"), QStringList({"DR15:2"}));
        EXPECT_EQ(foundRows("P500002"), QStringList({"DR02:2"}));

        // (e) DC02 collects the copy at D2
        atBranch();
        desk.mode = desk::ModeLend;
        ASSERT_EQ(desk.intLoadRedr("DC02"), 0) << shown();
        ASSERT_EQ(desk.arrived().size(), 1);
        EXPECT_EQ(desk.arrived()[0].propNo, "P500002");
        ASSERT_EQ(lending.subLendReleBook("B500002"), 0) << shown();
        EXPECT_EQ(foundRows("P500002"), QStringList({"DR02:3"}));
        EXPECT_EQ(flagOf("P500002"), "1");
        // A1 is closed from today+28 to today+32: the 30-day loan falls due after.
        EXPECT_GT(loanOf("P500002").section('|', 1), dayPlus(32));
    }
    // (f) DC02 returns it at D2.
    void returnAtBranch() {
        atBranch();
        desk.mode = desk::ModeReturn;
        ASSERT_EQ(lending.subReturnBook("B500002"), 0) << shown();
        EXPECT_EQ(loanOf("P500002"), "");
    }
};

TEST_F(RoadTest, NobodyWaitsSoTheCopyTravelsHomeAndIsAccepted) {
    toCollection();
    returnAtBranch();
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR02:4"}));
    EXPECT_EQ(flagOf("P500002"), "0");

    // (g1) on D2's return-home list
    ASSERT_EQ(home.subInitTeam(), 0);
    home.cmbReturnLocation.index = home.cmbReturnLocation.count() - 1;
    ASSERT_EQ(home.cmdReturnSearch(), 0);
    ASSERT_EQ(home.spdReturnList().size(), 1);
    EXPECT_EQ(home.spdReturnList()[0].propNo, "P500002");

    // accepted at D1, then on D1's check list as accepted
    atMain();
    consign::ReturnManage mainHome;
    mainHome.dtpBegin = mainHome.dtpEnd = mainHome.dtpCheckBegin = mainHome.dtpCheckEnd = home.dtpBegin;
    ASSERT_EQ(mainHome.subInitTeam(), 0);
    ASSERT_EQ(mainHome.subCheckBook("B500002"), 0) << shown();
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR02:5"}));
    mainHome.optType = 1;
    mainHome.cmbCheckTeam.index = mainHome.cmbCheckTeam.count() - 1;
    mainHome.cmbCheckLocation.index = mainHome.cmbCheckLocation.count() - 1;
    ASSERT_EQ(mainHome.cmdCheckSearch(), 0);
    EXPECT_EQ(mainHome.spdCheckList().size(), 1);

    // and off D2's list
    atBranch();
    EXPECT_EQ(home.cmdReturnSearch(), -1);
    EXPECT_TRUE(home.spdReturnList().isEmpty());
}

TEST_F(RoadTest, AReaderQueuedBeforeTheReturnGetsTheCopyHandedOn) {
    toCollection();
    // (g2) DC14 queues at the branch before the return
    requestAtA1("DC14");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), QStringList({"DR09:1", "DR14:2"}));
    atBranch();
    desk.mode = desk::ModeReturn;
    ASSERT_EQ(lending.subReturnBook("B500002"), 0) << shown();
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR14:1", "DR02:6"}));
    EXPECT_EQ(db().scalar("select relegate_location from relegate_arri_lst where prop_no = 'P500002' "
                          "and relegate_end_flag = '1'"),
              "D2");
    EXPECT_EQ(loanOf("P500002").section('|', 0, 0), "DR14");
    EXPECT_EQ(queue("TP311.12/W23", "A1"), QStringList({"DR09:1"}));

    // on no return list
    ASSERT_EQ(home.subInitTeam(), 0);
    home.cmbReturnLocation.index = home.cmbReturnLocation.count() - 1;
    EXPECT_EQ(home.cmdReturnSearch(), -1);
    atMain();
    consign::ReturnManage mainHome;
    mainHome.dtpCheckBegin = mainHome.dtpCheckEnd = home.dtpBegin;
    ASSERT_EQ(mainHome.subInitTeam(), 0);
    mainHome.cmbCheckTeam.index = mainHome.cmbCheckTeam.count() - 1;
    mainHome.cmbCheckLocation.index = mainHome.cmbCheckLocation.count() - 1;
    EXPECT_EQ(mainHome.cmdCheckSearch(), -1);

    // collected by DC14 at D2
    atBranch();
    desk.mode = desk::ModeLend;
    ASSERT_EQ(desk.intLoadRedr("DC14"), 0) << shown();
    ASSERT_EQ(lending.subLendReleBook("B500002"), 0) << shown();
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR14:3", "DR02:6"}));
    EXPECT_EQ(flagOf("P500002"), "1");
}

// A copy returned away from home is taken from the shelf before it is
// accepted home, found for the same reader and collected: the earlier loan's
// row still waits for the acceptance beside the new consignment.
TEST_F(RoadTest, ACopyNotYetAcceptedHomeIsFoundAndCollectedByItsLastBorrower) {
    returnedHome("DR15", "P500001", "D2");
    atMain();
    ASSERT_EQ(find.subFindBook("B500001"), 0) << shown(); // DR09 passed over for fines
    EXPECT_EQ(loanOf("P500001").section('|', 0, 0), "DR15");
    atBranch();
    desk.mode = desk::ModeLend;
    ASSERT_EQ(desk.intLoadRedr("DC15"), 0) << shown();
    ASSERT_EQ(lending.subLendReleBook("B500001"), 0) << shown();
    EXPECT_EQ(foundRows("P500001"), QStringList({"DR15:3", "DR15:4"}));
}
