// Bad input (tests/support/BadInput.h) through every entry the desk's worker
// types or scans into: the card, the four search fields, the lend mode's and
// the return mode's bar code.

#include "LendingFixture.h"
#include "tests/support/BadInput.h"

class BadInputTest : public LendingTest {
protected:
    void expectOrdinary(const char* entry, const std::function<int(const QString&)>& enter,
                        const QStringList& ordinary) {
        testsupport::expectOrdinaryAnswers(db(), dialogs, entry, enter, ordinary);
    }
};

TEST_F(BadInputTest, EveryEntryOfTheDesk) {
    expectOrdinary("card", [this](const QString& t) { return desk.intLoadRedr(t); }, {msg("ELT101")});
    for (int field : {desk::SearchCallNo, desk::SearchTitle, desk::SearchAuthor, desk::SearchPublisher})
        expectOrdinary("search", [this, field](const QString& t) { return desk.subSearchBook(t, field); },
                       {QStringLiteral("所查询书刊不存在！")});
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0) << shown().toStdString();
    const QStringList noCopy{QStringLiteral("该书条码不存在。")};
    expectOrdinary(
        "lend", [this](const QString& t) { return lending.subLendReleBook(t); }, noCopy);
    expectOrdinary(
        "return", [this](const QString& t) { return lending.subReturnBook(t); }, noCopy);
}
