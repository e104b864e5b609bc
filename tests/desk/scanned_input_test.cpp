// What a scanner or a paste can carry besides the code: NUL characters and
// UTF-16 surrogates standing alone never reach the server; the desk answers as
// for the code without them.

#include "DeskFixture.h"

namespace {

const QString kNul(QChar(0));
const QString kLoneHigh(QChar(0xD800));
const QString kLoneLow(QChar(0xDC00));

} // namespace

class ScannedInputTest : public DeskTest {
protected:
    desk::ConsignDesk desk;
};

TEST_F(ScannedInputTest, CardsAndSearchTextsWithUnsendableCharacters)
{
    const struct {
        QString card;
        int result;
        QString message; // empty: none
    } cards[] = {
        {"DC01" + kNul, 0, {}},
        {"DC" + kNul + "01", 0, {}},
        {kLoneHigh + "DC01" + kLoneLow, 0, {}},
        {kNul, -1, msg("ELT101")},
        {kLoneLow + kLoneHigh, -1, msg("ELT101")},
        {"NOCARD" + kNul + "'", -1, msg("ELT101")},
    };
    for (const auto& c : cards) {
        SCOPED_TRACE(c.card.toUtf8().toHex().toStdString());
        dialogs.clear();
        EXPECT_EQ(desk.intLoadRedr(c.card), c.result);
        EXPECT_EQ(shown(), c.message);
        EXPECT_EQ(g_intErrKind, 0);
        EXPECT_FALSE(LIB_DB_InTrans());
    }
    EXPECT_EQ(g_strCertID, "DR01");

    const struct {
        QString text;
        int field;
    } searches[] = {
        {"TP393/S91" + kNul, desk::SearchCallNo},
        {"TP393" + kLoneLow + "/S91", desk::SearchCallNo},
        {QStringLiteral("计算") + kLoneHigh + QStringLiteral("机") + kNul, desk::SearchTitle},
    };
    for (const auto& s : searches) {
        SCOPED_TRACE(s.text.toUtf8().toHex().toStdString());
        dialogs.clear();
        EXPECT_EQ(desk.subSearchBook(s.text, s.field), 0);
        EXPECT_FALSE(desk.titles().isEmpty());
        EXPECT_TRUE(dialogs.shown.isEmpty()) << shown().toStdString();
    }
    dialogs.clear();
    EXPECT_EQ(desk.subSearchBook("NOSUCH" + kNul + "X", desk::SearchCallNo), -1);
    EXPECT_EQ(shown(), QStringLiteral("所查询书刊不存在！"));
    EXPECT_EQ(g_intErrKind, 0);
}
