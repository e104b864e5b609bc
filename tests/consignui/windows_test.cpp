// The find desk and return management windows, offscreen, driven as a worker
// would: pages by the bar, scans typed and ended with Enter, choosers, options.

#include "consign/frmFind.h"
#include "consign/frmReturnManage.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Grid.h"
#include "tests/consign/ConsignFixture.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>

namespace {
void scan(QLineEdit* box, const QString& text) {
    box->setFocus();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}
const QColor kHighlight(192, 255, 255);
} // namespace

TEST_F(ConsignTest, FindWindowScansHandsOverAndListsByItsPages) {
    request("DR02", "TP311.12/W23", "A1", 3);
    frmFind w;
    w.show();
    EXPECT_EQ(w.fraBack->currentIndex(), 0);
    EXPECT_TRUE(w.tbFind->isItemChecked("Find"));
    w.tbFind->item("FindList")->click();
    EXPECT_EQ(w.fraBack->currentIndex(), 2);
    EXPECT_FALSE(w.tbFind->isItemChecked("Find"));
    w.tbFind->item("Find")->click();
    EXPECT_EQ(w.fraBack->currentIndex(), 0);

    scan(w.txtFindBook, " b500001 ");
    EXPECT_EQ(w.txtFindBook->text(), "");
    EXPECT_EQ(w.copy.txtBarCode->text(), "B500001");
    EXPECT_EQ(w.copy.txtPropno->text(), "P500001");
    scan(w.txtFindBook, "B500002");
    ASSERT_EQ(w.spdFind->maxRows(), 2);
    EXPECT_EQ(w.spdFind->getText(3, 1), "P500002");
    EXPECT_EQ(w.spdFind->getText(6, 1), "DR02");
    EXPECT_EQ(w.spdFind->getText(10, 1), "0000000001");
    EXPECT_TRUE(w.spdFind->colHidden(10));
    EXPECT_EQ(w.spdFind->rowBackColor(1), kHighlight);
    EXPECT_NE(w.spdFind->rowBackColor(2), kHighlight);

    w.tbConnect->item("Connect")->click();
    EXPECT_EQ(foundRows("P500001"), QStringList({"DR15:2"}));
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR02:2"}));
    w.tbConnect->item("Print")->click();
    EXPECT_EQ(printed, "书刊划到清单");

    // Pick list: the location column follows the location chooser.
    w.tbFind->item("ApplyList")->click();
    EXPECT_EQ(w.cmbApplyLocation->currentText(), "所有馆藏地");
    EXPECT_FALSE(w.spdApplyList->colHidden(8));
    w.cmbApplyLocation->setCurrentIndex(1);
    emit w.cmbApplyLocation->activated(1);
    EXPECT_TRUE(w.spdApplyList->colHidden(8));
    w.cmbApplyTeam->setCurrentIndex(2);
    emit w.cmbApplyTeam->activated(2);
    w.dtpApplyBegin->setDate(QDate::fromString(dayPlus(-3), "yyyy-MM-dd"));
    w.dtpApplyEnd->setDate(QDate::fromString(day, "yyyy-MM-dd"));
    w.cmdApplySearch->click();
    ASSERT_EQ(w.spdApplyList->maxRows(), 1); // DR09 still waits; the others were served
    EXPECT_EQ(w.spdApplyList->getText(6, 1), "DR09");
    EXPECT_EQ(w.spdApplyList->getText(9, 1), "3");
    EXPECT_EQ(w.spdApplyList->getText(10, 1), "0");

    // Found list: handed-over copies.
    w.tbFind->item("FindList")->click();
    w.optType[1]->setChecked(true);
    w.cmbFindTeam->setCurrentIndex(2);
    emit w.cmbFindTeam->activated(2);
    w.cmbFindTeamII->setCurrentIndex(0);
    emit w.cmbFindTeamII->activated(0);
    w.dtpFindBegin->setDate(QDate::fromString(day, "yyyy-MM-dd"));
    w.dtpFindEnd->setDate(QDate::fromString(day, "yyyy-MM-dd"));
    w.cmdFindSearch->click();
    QStringList props;
    for (int r = 1; r <= w.spdFindList->maxRows(); ++r)
        props << w.spdFindList->getText(3, r);
    props.sort();
    EXPECT_EQ(props, QStringList({"P500001", "P500002"}));
    w.cmdFindPrint->click();
    EXPECT_EQ(printed, "委托到书清单(已交接)");
}

TEST_F(ConsignTest, ReturnManageWindowAcceptsByScanAndListsTheCheckList) {
    returnedHome("DR01", "P500002", "D2");
    frmReturnManage w;
    w.show();
    EXPECT_EQ(w.fraBack->currentIndex(), 0);
    w.dtpBegin->setDate(QDate::fromString(day, "yyyy-MM-dd"));
    w.dtpEnd->setDate(QDate::fromString(day, "yyyy-MM-dd"));
    scan(w.txtCheckBook, "b500002 ");
    EXPECT_EQ(w.txtCheckBook->text(), "");
    EXPECT_EQ(w.copy.txtBarCode->text(), "B500002");
    ASSERT_EQ(w.spdCheck->maxRows(), 1);
    EXPECT_EQ(w.spdCheck->getText(2, 1), "P500002");
    EXPECT_EQ(w.spdCheck->rowBackColor(1), kHighlight);
    EXPECT_TRUE(w.spdCheck->colHidden(7));
    EXPECT_EQ(foundRows("P500002"), QStringList({"DR01:5"}));

    w.tbReturnManage->item("CheckList")->click();
    EXPECT_EQ(w.fraBack->currentIndex(), 2);
    EXPECT_TRUE(w.tbReturnManage->isItemChecked("CheckList"));
    EXPECT_FALSE(w.tbReturnManage->isItemChecked("Check"));
    EXPECT_TRUE(w.spdCheckList->colHidden(6)); // first location chosen
    const int all = w.cmbCheckLocation->count() - 1;
    w.cmbCheckLocation->setCurrentIndex(all);
    emit w.cmbCheckLocation->activated(all);
    EXPECT_FALSE(w.spdCheckList->colHidden(6));
    w.cmbCheckTeam->setCurrentIndex(2);
    emit w.cmbCheckTeam->activated(2);
    w.optType[1]->setChecked(true);
    w.dtpCheckBegin->setDate(QDate::fromString(day, "yyyy-MM-dd"));
    w.dtpCheckEnd->setDate(QDate::fromString(day, "yyyy-MM-dd"));
    w.cmdCheckSearch->click();
    ASSERT_EQ(w.spdCheckList->maxRows(), 1);
    EXPECT_EQ(w.spdCheckList->getText(6, 1), "总馆书库");
    w.cmdCheckPrint->click();
    EXPECT_EQ(printed, "委托验收清单(已验收)");
}
