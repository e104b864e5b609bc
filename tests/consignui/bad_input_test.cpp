// Bad input (tests/support/BadInput.h) scanned into the find desk and the
// return management windows: the scan box's ordinary message, nothing written,
// the box emptied and ready for the next scan.

#include "consign/frmFind.h"
#include "consign/frmReturnManage.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Grid.h"
#include "tests/consign/ConsignFixture.h"
#include "tests/support/BadInput.h"

#include <QLineEdit>
#include <QTest>

namespace {
// 0 when the scan added a row to the window's grid.
int scan(QLineEdit* box, ui::SpreadGrid* grid, const QString& text) {
    const int before = grid->maxRows();
    box->setFocus();
    box->setText(text);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->text(), "");
    return grid->maxRows() > before ? 0 : 1;
}
} // namespace

TEST_F(ConsignTest, BadScansIntoTheFindAndReturnWindows) {
    request("DR02", "TP311.12/W23", "A1", 3);
    returnedHome("DR01", "P500002", "D2");
    frmFind find;
    find.show();
    frmReturnManage home;
    home.show();
    home.dtpBegin->setDate(QDate::fromString(day, "yyyy-MM-dd"));
    home.dtpEnd->setDate(QDate::fromString(day, "yyyy-MM-dd"));
    testsupport::expectOrdinaryAnswers(
        db(), dialogs, "find window",
        [&](const QString& t) { return scan(find.txtFindBook, find.spdFind, t); },
        {"没有任何读者委托该书。"});
    testsupport::expectOrdinaryAnswers(
        db(), dialogs, "return window",
        [&](const QString& t) { return scan(home.txtCheckBook, home.spdCheck, t); }, {msg("ELT130")});
    EXPECT_EQ(find.spdFind->maxRows(), 0);
    EXPECT_EQ(home.spdCheck->maxRows(), 0);
    EXPECT_EQ(scan(find.txtFindBook, find.spdFind, "B500001"), 0) << shownTexts().join('|').toStdString();
    EXPECT_EQ(scan(home.txtCheckBook, home.spdCheck, "B500002"), 0) << shownTexts().join('|').toStdString();
    EXPECT_TRUE(invariantsBroken().isEmpty());
}
