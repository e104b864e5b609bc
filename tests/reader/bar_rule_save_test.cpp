// Saving the card-reading rule: all or nothing, and never read half-saved by
// another program.

#include "common/basLTFunc.h"
#include "platform/text/FileSet.h"
#include "platform/text/IniFile.h"
#include "reader/basBarRuleEdit.h"
#include "tests/reader/RedrInfoFixture.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

namespace {

class BarRuleSaveTest : public RedrInfoTest {
protected:
    void SetUp() override {
        RedrInfoTest::SetUp();
        ASSERT_TRUE(settings_.isValid());
        qputenv("CONSIGN_SETTINGS_DIR", settings_.path().toUtf8());
        QFile::remove(strBarReadRuleFile());
    }
    void TearDown() override {
        QFile::remove(strBarReadRuleFile());
        qunsetenv("CONSIGN_SETTINGS_DIR");
        RedrInfoTest::TearDown();
    }
    static QStringList segments(std::initializer_list<std::pair<const char*, const char*>> list) {
        QStringList lines;
        QString message;
        for (const auto& [start, length] : list)
            intAddBarRuleLine(&lines, start, length, &message);
        return lines;
    }
    QTemporaryDir settings_;
};

TEST_F(BarRuleSaveTest, ASettingsWriteThatFailsPutsTheSegmentFileBack) {
    const QStringList first = segments({{"3", "8"}, {"12", "4"}});
    QString message;
    ASSERT_EQ(intSaveBarReadRule(true, true, first, &message), 0);
    const QByteArray stored = testsupport::readBytes(strBarReadRuleFile());
    ASSERT_EQ(stored, QByteArray("3,8\r\n12,4\r\n"));

    // The settings file cannot be written: a folder stands in its place.
    const QString settingsFile = text::settingsFile("LT");
    ASSERT_TRUE(QFile::remove(settingsFile));
    ASSERT_TRUE(QDir().mkpath(settingsFile));
    for (const bool hadFile : {true, false}) {
        SCOPED_TRACE(hadFile ? "a segment file before" : "no segment file before");
        if (!hadFile) ASSERT_TRUE(QFile::remove(strBarReadRuleFile()));
        message.clear();
        EXPECT_EQ(intSaveBarReadRule(false, false, segments({{"1", "2"}}), &message), -1);
        EXPECT_EQ(message, QStringLiteral("E无法保存条码读取规则的设置!"));
        if (hadFile) {
            EXPECT_EQ(testsupport::readBytes(strBarReadRuleFile()), stored);
        } else {
            EXPECT_FALSE(QFile::exists(strBarReadRuleFile()));
        }
        // The rule in memory is the one stored before.
        EXPECT_TRUE(g_blnBarRuleByPos);
        EXPECT_EQ(g_intBarRuleUsed, 1);
        EXPECT_EQ(arrBarRuleLines(), first);
    }
    QDir(settingsFile).removeRecursively();
}

TEST_F(BarRuleSaveTest, AnotherProgramReadsTheSettingsAndSegmentsOfOneSave) {
    // This desk saves two rules in turn; another program (a thread with its
    // own reads) reads the rule under its lock as the program's loading does.
    const QString file = strBarReadRuleFile();
    const QString settingsFile = text::settingsFile("LT");
    const QStringList ruleA = segments({{"3", "8"}}), ruleB = segments({{"5", "5"}, {"1", "1"}});
    QString message;
    ASSERT_EQ(intSaveBarReadRule(true, true, ruleA, &message), 0);
    std::atomic<bool> done{false};
    int reads = 0, mixed = 0;
    std::thread reader([&] {
        while (!done && reads < 5000) {
            const text::FileLock lock(file + ".lock");
            if (!lock.locked()) continue;
            text::IniDocument doc;
            text::loadIniFile(settingsFile, &doc, text::IniEncoding::Utf8);
            const QString used = doc.value("BarReadRule", "Used").value_or("?");
            const QString type = doc.value("BarReadRule", "Type").value_or("?");
            const QByteArray segs = testsupport::readBytes(file);
            ++reads;
            const bool a = type == "True" && used == "1" && segs == "3,8\r\n";
            const bool b = type == "False" && used == "0" && segs == "5,5\r\n1,1\r\n";
            if (!a && !b) ++mixed;
        }
    });
    for (int i = 0; i < 40; ++i) {
        const bool a = i % 2 == 1;
        EXPECT_EQ(intSaveBarReadRule(a, a, a ? ruleA : ruleB, &message), 0) << message.toStdString();
    }
    done = true;
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(mixed, 0) << "of " << reads;
    EXPECT_EQ(arrBarRuleLines(), ruleA);
}

} // namespace
