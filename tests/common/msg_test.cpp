// Coded messages, message boxes by type letter, and system parameters.

#include "common/basDB.h"
#include "common/basMsg.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

DBResultSet table(const QList<QPair<QVariant, QVariant>>& rows) {
    DBResultSet rs(static_cast<int>(rows.size()), 2);
    for (int i = 0; i < rows.size(); ++i) {
        rs.setCell(0, 2 + i, rows[i].first);
        rs.setCell(1, 2 + i, rows[i].second);
    }
    return rs;
}

class Messages : public testsupport::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        savedMsg = g_varMsg;
        savedPara = g_varSysPara;
    }
    void TearDown() override {
        g_varMsg = savedMsg;
        g_varSysPara = savedPara;
        DatabaseTest::TearDown();
    }
    DBResultSet savedMsg, savedPara;
};

TEST_F(Messages, CachesComeFromTheDatabase) {
    db().exec("INSERT INTO msg_mst VALUES ('ITS001', 'Text A'), ('ITS002', 'Text B')"
              " ON CONFLICT DO NOTHING");
    ASSERT_EQ(intInitBaseData(), 0);
    EXPECT_EQ(strGetMsg("ITS002"), "Text B");
    // Descending code order.
    EXPECT_GT(g_varMsg.text(0, 0), g_varMsg.text(1, 0));
    EXPECT_EQ(varGetSysPara(1).toString(), db().scalar("SELECT sys_para_value FROM sys_comm_para WHERE sys_para_code = 1"));
    db().exec("DELETE FROM msg_mst WHERE msg_id LIKE 'ITS%'");
}

TEST_F(Messages, PlaceholdersFirstOccurrenceOnly) {
    g_varMsg = table({{"ETS002", "读者%s不存在\\N请检查%S"}, {"ETS001", "plain\\nline\\Nend"}, {"ETS001", "second row"}});
    EXPECT_EQ(strGetMsg("ETS002A123"), QString("读者A123不存在\r请检查%S"));
    EXPECT_EQ(strGetMsg("ETS001"), QString("plain\rline\\Nend"));
    EXPECT_EQ(strGetMsg("ETS003xyz"), "ETS003xyz"); // no such code
    EXPECT_EQ(strGetMsg("ETS00"), "ETS00");
}

TEST_F(Messages, BoxKindsByTypeLetter) {
    g_varMsg = table({{"QTS001", "删除？"}});
    g_varSysPara = table({{1, "某某图书馆"}});
    struct Case {
        const char* text;
        ui::BoxIcon icon;
        ui::BoxButtons buttons;
        ui::BoxAnswer def;
        bool beep;
        const char* shown;
        ui::BoxAnswer answer;
        int result;
    } cases[] = {
        {"E条码号重复!", ui::BoxIcon::Error, ui::BoxButtons::Ok, ui::BoxAnswer::Ok, true, "条码号重复!", ui::BoxAnswer::Ok, 1},
        {"I完成", ui::BoxIcon::Information, ui::BoxButtons::Ok, ui::BoxAnswer::Ok, false, "完成", ui::BoxAnswer::Ok, 1},
        {"W小心", ui::BoxIcon::Warning, ui::BoxButtons::OkCancel, ui::BoxAnswer::Cancel, true, "小心", ui::BoxAnswer::Ok, 1},
        {"QTS001", ui::BoxIcon::Question, ui::BoxButtons::OkCancel, ui::BoxAnswer::Cancel, true, "删除？", ui::BoxAnswer::Cancel, 2},
        {"QTS999", ui::BoxIcon::Question, ui::BoxButtons::OkCancel, ui::BoxAnswer::Cancel, true, "TS999", ui::BoxAnswer::Ok, 1},
        {"S重连？", ui::BoxIcon::Question, ui::BoxButtons::OkCancel, ui::BoxAnswer::Ok, true, "重连？", ui::BoxAnswer::Cancel, 2},
        {"与数据库连接失败，启动失败！", ui::BoxIcon::Error, ui::BoxButtons::Ok, ui::BoxAnswer::Ok, false,
         "与数据库连接失败，启动失败！", ui::BoxAnswer::Ok, 1},
        {"e lower case", ui::BoxIcon::Error, ui::BoxButtons::Ok, ui::BoxAnswer::Ok, false, "e lower case", ui::BoxAnswer::Ok, 1},
    };
    for (const Case& c : cases) {
        dialogs.clear();
        dialogs.answers = {c.answer};
        EXPECT_EQ(intShowMsg(QString::fromUtf8(c.text)), c.result) << c.text;
        ASSERT_EQ(dialogs.shown.size(), 1);
        const ui::BoxRequest& b = dialogs.shown.first();
        EXPECT_EQ(b.icon, c.icon) << c.text;
        EXPECT_EQ(b.buttons, c.buttons) << c.text;
        EXPECT_EQ(b.defaultAnswer, c.def) << c.text;
        EXPECT_EQ(b.beep, c.beep) << c.text;
        EXPECT_EQ(b.text, QString::fromUtf8(c.shown)) << c.text;
        EXPECT_EQ(b.title, "某某图书馆");
    }
}

TEST_F(Messages, LineBreakOnScreenAndNoCachesYet) {
    g_varMsg = table({{"ITS010", "一行\\N二行"}});
    intShowMsg("ITS010");
    EXPECT_EQ(dialogs.lastText(), "一行\n二行");
    g_varMsg = DBResultSet();
    g_varSysPara = DBResultSet();
    intShowMsg("ITS010");
    EXPECT_EQ(dialogs.lastText(), "TS010");
    EXPECT_EQ(dialogs.shown.last().title, "");
    EXPECT_EQ(varGetSysPara(1).toString(), "");
}

TEST_F(Messages, SystemParameterConversions) {
    g_varSysPara = table({{3, "0"}, {4, "2"}, {5, "12.5"}, {6, ""}, {7, "1"}, {11, "2"}, {12, "x"}, {14, "A,B,C"},
                          {20, "a_b_c"}, {22, "  t  "}, {28, "   "}, {29, " 1 "}, {99, "raw"}});
    EXPECT_EQ(varGetSysPara(3), QVariant(false));
    EXPECT_EQ(varGetSysPara(4), QVariant(QString("2")));
    EXPECT_EQ(varGetSysPara(7), QVariant(true));
    EXPECT_EQ(varGetSysPara(5).toDouble(), 12.5);
    EXPECT_EQ(varGetSysPara(6).metaType().id(), QMetaType::Double);
    EXPECT_EQ(varGetSysPara(6).toDouble(), 0.0);
    EXPECT_EQ(varGetSysPara(12).toDouble(), 0.0);
    EXPECT_EQ(varGetSysPara(11), QVariant(false));
    EXPECT_EQ(varGetSysPara(29), QVariant(true));
    EXPECT_EQ(varGetSysPara(14).toString(), "A");
    EXPECT_EQ(varGetSysPara(142).toString(), "B");
    EXPECT_EQ(varGetSysPara(20).toString(), "a b c");
    EXPECT_EQ(varGetSysPara(22).toString(), "t");
    EXPECT_EQ(varGetSysPara(28).toInt(), -1);
    EXPECT_EQ(varGetSysPara(99).toString(), "raw");
    EXPECT_EQ(varGetSysPara(42).toString(), ""); // not there
    g_varSysPara = table({{14, "A"}, {20, ""}});
    EXPECT_EQ(varGetSysPara(142).toString(), "");
    EXPECT_EQ(varGetSysPara(20).toString(), " ");
    g_varSysPara = table({{14, "A,B"}});
    EXPECT_EQ(varGetSysPara(142).toString(), "B");
}

} // namespace
