// Desk INI files and the stored card-reading rule, from a configuration folder
// of their own.

#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "common/basMarcIdx.h"
#include "platform/text/AnsiFile.h"
#include "platform/text/IniFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DeskFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString root = dir.path() + "/";
        saved[0] = g_strPath[3];
        saved[1] = g_strPath[7];
        g_strPath[3] = root + "CFG/";
        g_strPath[7] = root + "CFG/BM/BaseParam/";
        QDir().mkpath(g_strPath[3]);
        qputenv("CONSIGN_SETTINGS_DIR", (root + "settings").toUtf8());
        reset();
    }
    void TearDown() override {
        g_strPath[3] = saved[0];
        g_strPath[7] = saved[1];
        qunsetenv("CONSIGN_SETTINGS_DIR");
        reset();
    }
    static void reset() {
        for (auto& e : g_arrLendCol) e = LendColEntry{};
        g_intLendColCount = 0;
        for (auto& c : g_strRedrCaption) c.clear();
        for (auto& c : g_strCertCaption) c.clear();
        g_arrIdxGroup.clear();
        g_intIdxGroupCount = 0;
        g_blnBarRuleByPos = false;
        g_intBarRuleUsed = 0;
        g_arrBarRule.clear();
    }
    void write(const QString& relative, const QString& text) {
        const QString path = g_strPath[3] + relative;
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(text::writeAnsiFile(path, text));
    }

    QTemporaryDir dir;
    QString saved[2];
};

TEST_F(DeskFiles, LoanGridColumnsUpToTheFirstMissingKey) {
    write("LT/LT_book.ini", "[LEND]\n001=书名;10;1\n002=责任者;12;2\n003=备注;8;3;x;y\n005=出版者;12;4\n");
    write("BM/BaseParam/BM_MarcIDX.ini", "[使用检索途径]\n001=题名:02\n002=ISBN:05:1\n003=索书号:91\n");
    EXPECT_EQ(intLoadBookIni(), 0);
    EXPECT_EQ(g_intLendColCount, 3);
    EXPECT_EQ(g_arrLendCol[0].text, QString("书名"));
    EXPECT_EQ(g_arrLendCol[0].number, 10);
    EXPECT_EQ(g_arrLendCol[0].kind, QString("1"));
    EXPECT_EQ(g_arrLendCol[2].kind, QString("3;x;y")); // further ";" stay in the kind
    EXPECT_TRUE(g_arrLendCol[3].text.isEmpty());        // "005" is not read

    // The index groups go through the one parser of the parameter file.
    EXPECT_EQ(g_intIdxGroupCount, 3);
    ASSERT_GE(g_arrIdxGroup.size(), 3);
    EXPECT_EQ(g_arrIdxGroup[1].caption, QString("ISBN"));
    EXPECT_EQ(g_arrIdxGroup[1].code, QString("05"));
    EXPECT_EQ(g_arrIdxGroup[1].number, 1);
}

TEST_F(DeskFiles, BrokenLoanGridValueFails) {
    write("LT/LT_book.ini", "[LEND]\n001=书名;10;1\n002=责任者;宽;2\n");
    EXPECT_EQ(intLoadBookIni(), -1);
    EXPECT_EQ(g_intLendColCount, 0);
    write("LT/LT_book.ini", "[LEND]\n001=书名;10\n");
    EXPECT_EQ(intLoadBookIni(), -1);
}

TEST_F(DeskFiles, MissingFilesReadAsEmpty) {
    EXPECT_EQ(intLoadBookIni(), 0);
    EXPECT_EQ(g_intLendColCount, 0);
    EXPECT_EQ(g_intIdxGroupCount, 0);
    EXPECT_EQ(intLoadRedrIni(), 0);
    EXPECT_TRUE(g_strRedrCaption[0].isEmpty());
}

TEST_F(DeskFiles, ReaderCaptionsAndFolderSpelling) {
    // The folder is spelt "Lt" on disk; the loader asks for "LT".
    write("Lt/LT_reader.ini",
          "[读者]\nR000=证号\nR004=姓名\nR006=性别\nR031=备注\nR032=不读\n"
          "[读者证件]\nR000=证件号\nR007=押金\nR008=不读\n");
    EXPECT_EQ(intLoadRedrIni(), 0);
    EXPECT_EQ(g_strRedrCaption[0], QString("证号"));
    EXPECT_EQ(g_strRedrCaption[4], QString("姓名"));
    EXPECT_TRUE(g_strRedrCaption[5].isEmpty()); // a gap does not stop the reading
    EXPECT_EQ(g_strRedrCaption[6], QString("性别"));
    EXPECT_EQ(g_strRedrCaption[31], QString("备注"));
    EXPECT_TRUE(g_strRedrCaption[32].isEmpty());
    EXPECT_EQ(g_strCertCaption[0], QString("证件号"));
    EXPECT_EQ(g_strCertCaption[7], QString("押金"));
    EXPECT_TRUE(g_strCertCaption[8].isEmpty());
}

TEST_F(DeskFiles, CardRuleSettingsAndSegments) {
    ASSERT_TRUE(text::saveSetting("LT", "BarReadRule", "Type", "True"));
    ASSERT_TRUE(text::saveSetting("LT", "BarReadRule", "Used", "1"));
    write("Lt/BarReadRule.ini", "1,3\n6,2\n");
    subLoadBarReadRule();
    EXPECT_TRUE(g_blnBarRuleByPos);
    EXPECT_EQ(g_intBarRuleUsed, 1);
    ASSERT_EQ(g_arrBarRule.size(), 3); // two segments and the end entry
    EXPECT_EQ(strApplyBarReadRule(QString("ABCDEFGH")), QString("ABCFG"));

    // A missing segment file keeps the segments; the settings still apply.
    QFile::remove(strBarReadRuleFile());
    ASSERT_TRUE(text::saveSetting("LT", "BarReadRule", "Type", "False"));
    subLoadBarReadRule();
    EXPECT_FALSE(g_blnBarRuleByPos);
    EXPECT_EQ(g_arrBarRule.size(), 3);

    // An empty file: no segments, every text passes.
    ASSERT_TRUE(text::saveSetting("LT", "BarReadRule", "Type", "True"));
    write("Lt/BarReadRule.ini", "");
    subLoadBarReadRule();
    EXPECT_EQ(g_arrBarRule.size(), 1);
    EXPECT_EQ(strApplyBarReadRule(QString("ABCDEFGH")), QString("ABCDEFGH"));

    // An unreadable setting stops the loading where it is.
    ASSERT_TRUE(text::saveSetting("LT", "BarReadRule", "Type", "vielleicht"));
    ASSERT_TRUE(text::saveSetting("LT", "BarReadRule", "Used", "0"));
    subLoadBarReadRule();
    EXPECT_TRUE(g_blnBarRuleByPos);
    EXPECT_EQ(g_intBarRuleUsed, 1);
}

TEST_F(DeskFiles, CardRuleDefaultsWithoutSettings) {
    g_blnBarRuleByPos = true;
    g_intBarRuleUsed = 1;
    subLoadBarReadRule();
    EXPECT_FALSE(g_blnBarRuleByPos);
    EXPECT_EQ(g_intBarRuleUsed, 0);
    EXPECT_TRUE(g_arrBarRule.isEmpty()); // no file, nothing loaded
    EXPECT_EQ(strApplyBarReadRule(QString("2008001025123")), QString("2008001025123"));
}

} // namespace
