// The find desk and return management windows, offscreen, driven as a worker
// would: pages by the bar, scans typed and ended with Enter, choosers, options.

#include "consign/frmFind.h"
#include "consign/frmReturnManage.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Grid.h"
#include "desk/frmAttachment.h"
#include "tests/consign/ConsignFixture.h"
#include "tests/support/Keyboard.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
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

// The date ranges start at the server's date, read when the window opens, not
// the machine's: a request placed today on the server's clock is in the list.
TEST_F(ConsignTest, WindowsDefaultTheirDateRangesToTheServersDate) {
    const QDate server = QDate::currentDate().addDays(-40);
    db().pinClock(server.toString("yyyy-MM-dd") + " 10:00:00");
    request("DR02", "TP311.12/W23", "A1", 3, 0);
    frmFind find;
    frmReturnManage home;
    for (const ui::DatePicker* p : {find.dtpApplyBegin, find.dtpApplyEnd, find.dtpFindBegin, find.dtpFindEnd,
                                    home.dtpBegin, home.dtpEnd, home.dtpReturnBegin, home.dtpReturnEnd,
                                    home.dtpCheckBegin, home.dtpCheckEnd})
        EXPECT_EQ(p->date(), server) << p->objectName().toStdString();

    find.tbFind->item("ApplyList")->click();
    find.cmbApplyTeam->setCurrentIndex(2);
    emit find.cmbApplyTeam->activated(2);
    find.cmdApplySearch->click();
    QStringList readers;
    for (int r = 1; r <= find.spdApplyList->maxRows(); ++r)
        readers << find.spdApplyList->getText(6, r);
    EXPECT_TRUE(readers.contains("DR02")) << readers.join(' ').toStdString();
}

// The find desk without the mouse: while the attachment question waits, the
// copy display shows the scanned copy and the dialog names it and its
// requester; Tab runs from the scan box over the bar's buttons into the found
// grid and out of it again; the bar's items answer their mnemonics.
TEST_F(ConsignTest, FindDeskByKeyboardShowsTheCopyItAsksAbout) {
    db().exec("update item set attachment = '光盘1张' where bar_code = 'B500001'");
    frmFind w;
    w.show();
    ASSERT_TRUE(testsupport::activate(&w));
    testsupport::expectBarKeyed(&w, w.tbConnect);

    QString shownCode, shownTitle, subject;
    dialogs.dialogHandler = [&](QDialog* d) {
        if (auto* a = qobject_cast<frmAttachment*>(d)) {
            shownCode = w.copy.txtBarCode->text();
            shownTitle = w.copy.txtBookName->text();
            subject = a->lblSubject->isVisibleTo(a) ? a->lblSubject->text() : QString();
            a->cmdYes->click();
        }
        return 1;
    };
    scan(w.txtFindBook, "B500001");
    ASSERT_EQ(w.spdFind->maxRows(), 1);
    const QString cert = w.spdFind->getText(6, 1);
    EXPECT_EQ(shownCode, "B500001");
    EXPECT_FALSE(shownTitle.isEmpty());
    EXPECT_EQ(shownTitle, w.copy.txtBookName->text());
    EXPECT_TRUE(subject.contains("B500001") && subject.contains(shownTitle) && subject.contains(cert) &&
                subject.contains(w.spdFind->getText(7, 1)))
        << subject.toStdString();

    // Tab: scan box, 交接, 打印, the found grid, and on out of it.
    ASSERT_TRUE(w.txtFindBook->hasFocus());
    const auto tab = [] {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget();
    };
    QWidget* at = nullptr;
    for (int i = 0; i < 20 && at != w.spdFind; ++i)
        at = tab();
    ASSERT_EQ(at, w.spdFind);
    at = tab();
    EXPECT_NE(at, w.spdFind);
    EXPECT_FALSE(w.spdFind->isAncestorOf(at));

    EXPECT_EQ(testsupport::pressMnemonic(w.tbConnect, Qt::Key_P), "Print");
    EXPECT_EQ(printed, "书刊划到清单");
    EXPECT_EQ(testsupport::pressMnemonic(w.tbConnect, Qt::Key_C), "Connect");
    EXPECT_EQ(foundRows("P500001"), QStringList({cert + ":2"}));
}
