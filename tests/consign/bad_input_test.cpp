// Bad input (tests/support/BadInput.h) through the scan boxes of the find desk
// and of the return management, without windows: no copy, the box's ordinary
// message, nothing written.

#include "ConsignFixture.h"
#include "tests/support/BadInput.h"

TEST_F(ConsignTest, BadScansFindNoCopy) {
    request("DR02", "TP311.12/W23", "A1", 3);
    returnedHome("DR01", "P500002", "D2");
    const struct {
        const char* entry;
        std::function<int(QString*)> enter;
        QString message;
    } boxes[] = {
        {"find desk", [this](QString* t) { return find.txtFindBook_Enter(t); }, "没有任何读者委托该书。"},
        {"acceptance", [this](QString* t) { return home.txtCheckBook_Enter(t); }, msg("ELT130")},
    };
    for (const auto& box : boxes) {
        const QString rows = circulationRows();
        testsupport::expectOrdinaryAnswers(db(), dialogs, box.entry,
                                           [&box](const QString& t) {
                                               QString text = t;
                                               return box.enter(&text);
                                           },
                                           {box.message});
        EXPECT_EQ(circulationRows(), rows);
    }
    EXPECT_TRUE(find.spdFind().isEmpty());
    EXPECT_TRUE(home.spdCheck().isEmpty());
    EXPECT_TRUE(invariantsBroken().isEmpty());
    // Both boxes go on working.
    QString code = "B500001";
    EXPECT_EQ(find.txtFindBook_Enter(&code), 0) << shownTexts().join('|').toStdString();
    code = "B500002";
    EXPECT_EQ(home.txtCheckBook_Enter(&code), 0) << shownTexts().join('|').toStdString();
}
