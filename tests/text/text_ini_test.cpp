// Windows-rule INI files and the per-user settings store.
#include "platform/text/AnsiFile.h"
#include "platform/text/CodePage.h"
#include "platform/text/IniFile.h"
#include "tests/support/FileBytes.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace text;
using testsupport::readBytes;
using testsupport::writeBytes;

namespace {

const QString k150Chinese = QString(150, u'书');

} // namespace

TEST(IniRead, FollowsTheWindowsRules)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("LT_book.ini");
    const QString text = u"; desk columns\r\n"
                         "top=before any section\r\n"
                         "[LEND]\r\n"
                         "001 = 题名;1;0  \r\n"
                         "\tKey2=  \"quoted value\"  \r\n"
                         "single='x'\r\n"
                         "half=\"x'\r\n"
                         "dup=first\r\n"
                         "DUP=second\r\n"
                         "noeq\r\n"
                         "noeq=late\r\n"
                         "empty=\r\n"
                         ";hidden=1\r\n"
                         "  [ 读者 ]  trailing\r\n"
                         "R000=姓名\r\n"
                         "[lend]\r\n"
                         "late=only in the second LEND\r\n"
                         "[Long]\r\n"
                         "v="_qs + k150Chinese + u"\r\n"
                         "odd=a"_qs + k150Chinese + u"\r\n"_qs;
    writeBytes(path, toGb18030(text));

    struct Case {
        const char16_t* section;
        const char16_t* key;
        const char16_t* def;
        int buffer;
        QString expected;
    } cases[] = {
        {u"lend", u"001", u"d", 256, u"题名;1;0"_qs},
        {u" LEND ", u" KEY2\t", u"d", 256, u"quoted value"_qs},
        {u"LEND", u"single", u"d", 256, u"x"_qs},
        {u"LEND", u"half", u"d", 256, u"\"x'"_qs},
        {u"LEND", u"dup", u"d", 256, u"first"_qs},
        {u"LEND", u"noeq", u"d", 256, u"d"_qs},     // the key line without "=" is found first
        {u"LEND", u"empty", u"d", 256, QString()},   // an empty value is a value
        {u"LEND", u";hidden", u"d", 256, u"d"_qs},   // comments are not keys
        {u"LEND", u"late", u"d", 256, u"d"_qs},      // only the first LEND section counts
        {u"LEND", u"top", u"d", 256, u"d"_qs},
        {u"读者", u"r000", u"d", 256, u"姓名"_qs},
        {u"nosuch", u"001", u"def  ", 256, u"def"_qs}, // default loses trailing blanks
        {u"Long", u"v", u"", 255, QString(127, u'书')},          // 254 bytes
        {u"Long", u"v", u"", 256, QString(127, u'书')},          // 255 bytes: not half a character
        {u"Long", u"odd", u"", 256, u'a' + QString(127, u'书')}, // 255 bytes
        {u"Long", u"v", u"", 1, QString()},
        {u"LEND", u"001", u"d", 5, u"题名"_qs},
    };
    for (const Case& c : cases) {
        int copied = -1;
        const QString got = getPrivateProfileString(QString::fromUtf16(c.section),
                                                    QString::fromUtf16(c.key),
                                                    QString::fromUtf16(c.def), c.buffer, path, &copied);
        EXPECT_EQ(got, c.expected) << QString::fromUtf16(c.section).toStdString() << "/"
                                   << QString::fromUtf16(c.key).toStdString();
        EXPECT_EQ(copied, gbkLength(c.expected));
        EXPECT_LT(copied, c.buffer);
    }

    EXPECT_EQ(getPrivateProfileString("LEND", "001", "dflt", 256, dir.filePath("none.ini")),
              u"dflt"_qs);
}

TEST(IniRead, Utf8MarkedFileIsRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("u.ini");
    writeBytes(path, "\xEF\xBB\xBF" + u"[使用检索途径]\n001=题名:01\n"_qs.toUtf8());
    EXPECT_EQ(getPrivateProfileString(u"使用检索途径"_qs, "001", "", 256, path), u"题名:01"_qs);
}

TEST(IniWrite, ChangesOnlyWhatItMust)
{
    const QByteArray start = "; top\r\n[LEND]\r\n 001 = old \r\nx=1\r\n\r\n[Other]\r\ny=2\r\n";
    struct Case {
        const char* name;
        QString section, key, value;
        QByteArray expected;
    } cases[] = {
        {"replace keeps the spelling", "lend", "001", "new",
         "; top\r\n[LEND]\r\n001=new\r\nx=1\r\n\r\n[Other]\r\ny=2\r\n"},
        {"new key after the last entry", "LEND", "z", "3",
         "; top\r\n[LEND]\r\n 001 = old \r\nx=1\r\nz=3\r\n\r\n[Other]\r\ny=2\r\n"},
        {"new key at the end", "other", "w", "",
         "; top\r\n[LEND]\r\n 001 = old \r\nx=1\r\n\r\n[Other]\r\ny=2\r\nw=\r\n"},
        {"new section", u"读者"_qs, "R000", u"姓名"_qs,
         "; top\r\n[LEND]\r\n 001 = old \r\nx=1\r\n\r\n[Other]\r\ny=2\r\n\r\n[\xB6\xC1\xD5\xDF]\r\n"
         "R000=\xD0\xD5\xC3\xFB\r\n"},
        {"a value stays on its line", "LEND", "x", "a\r\n[Other]",
         "; top\r\n[LEND]\r\n 001 = old \r\nx=a  [Other]\r\n\r\n[Other]\r\ny=2\r\n"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("f.ini");
        writeBytes(path, start);
        ASSERT_TRUE(writePrivateProfileString(c.section, c.key, c.value, path)) << c.name;
        EXPECT_EQ(readBytes(path), c.expected) << c.name;
    }
}

// A name that could not be read back, or would add or hide lines, is refused
// and the file stays as it was; reading with such a name gives the default.
TEST(IniWrite, RefusesNamesThatWouldChangeTheFileShape)
{
    const QByteArray start = "[LEND]\r\nx=1\r\n";
    const struct {
        const char* name;
        QString section, key;
    } cases[] = {
        {"line break in a section", "LEND\r\n[Other", "x"},
        {"] in a section", "LE]ND", "x"},
        {"= in a section", "a=b", "x"},
        {"line break in a key", "LEND", "x\ny"},
        {"= in a key", "LEND", "x=2"},
        {"] in a key", "LEND", "x]"},
        {"key read as a header", "LEND", " [Other"},
        {"key read as a comment", "LEND", ";x"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("f.ini");
        writeBytes(path, start);
        EXPECT_FALSE(writePrivateProfileString(c.section, c.key, "v", path)) << c.name;
        EXPECT_EQ(readBytes(path), start) << c.name;
        EXPECT_EQ(getPrivateProfileString(c.section, c.key, "dflt", 256, path), "dflt") << c.name;
        EXPECT_EQ(IniDocument(QString::fromLatin1(start)).value(c.section, c.key), std::nullopt) << c.name;
    }
    QTemporaryDir settings;
    qputenv("CONSIGN_SETTINGS_DIR", settings.path().toLocal8Bit());
    EXPECT_FALSE(saveSetting("App", "S\n[T]", "K", "v"));
    qunsetenv("CONSIGN_SETTINGS_DIR");
}

TEST(IniWrite, CreatesFilesAndKeepsAUtf8Mark)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("new.ini");
    ASSERT_TRUE(writePrivateProfileString(u"新闻"_qs, "Cycle", "30", path));
    EXPECT_EQ(readBytes(path), QByteArray("[\xD0\xC2\xCE\xC5]\r\nCycle=30\r\n"));
    EXPECT_EQ(getPrivateProfileString(u"新闻"_qs, "cycle", "", 256, path), u"30"_qs);

    const QString marked = dir.filePath("marked.ini");
    writeBytes(marked, "\xEF\xBB\xBF[a]\r\nk=1\r\n");
    ASSERT_TRUE(writePrivateProfileString("A", "k", u"中"_qs, marked));
    EXPECT_EQ(readBytes(marked), QByteArray("\xEF\xBB\xBF[a]\r\nk=\xE4\xB8\xAD\r\n"));

    EXPECT_FALSE(writePrivateProfileString("a", "k", "v", dir.filePath("no/such/dir/x.ini")));
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.filePath("cfg");
        qputenv("CONSIGN_SETTINGS_DIR", folder_.toLocal8Bit());
    }
    void TearDown() override { qunsetenv("CONSIGN_SETTINGS_DIR"); }

    QTemporaryDir dir_;
    QString folder_;
};

TEST_F(SettingsStore, SavesAndReadsBackPerApplication)
{
    EXPECT_EQ(settingsFolder(), folder_);
    EXPECT_EQ(getSetting(u"流通委托"_qs, "Settings", "FontName", u"宋体"_qs), u"宋体"_qs);

    ASSERT_TRUE(saveSetting(u"流通委托"_qs, "Settings", "FineLend", "1"));
    ASSERT_TRUE(saveSetting("LT", "BarReadRule", "Type", "True"));
    ASSERT_TRUE(saveSetting(u"流通委托"_qs, "EmailOption", "LT4_strUser", u"张三"_qs));
    ASSERT_TRUE(saveSetting(u"流通委托"_qs, "settings", "fINELEND", "0"));

    EXPECT_EQ(getSetting(u"流通委托"_qs, "SETTINGS", "FineLend", "9"), u"0"_qs);
    EXPECT_EQ(getSetting("lt", "barreadrule", "type"), u"True"_qs);
    EXPECT_EQ(getSetting(u"流通委托"_qs, "BarReadRule", "Type", "x"), u"x"_qs);

    const QString file = settingsFile(u"流通委托"_qs);
    EXPECT_EQ(QFileInfo(file).path(), folder_);
    EXPECT_EQ(readBytes(file), ("[Settings]\r\nFineLend=0\r\n\r\n[EmailOption]\r\nLT4_strUser="
                                + u"张三"_qs.toUtf8() + "\r\n"));
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(file.toStdString()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(folder_.toStdString()).permissions(), fs::perms::owner_all);
}

TEST_F(SettingsStore, GivesBackExactlyWhatWasSaved)
{
    for (const QString& v : {u" pass word "_qs, u"\"quoted\""_qs, u"'x'"_qs, QString(), u"a=b;c"_qs}) {
        ASSERT_TRUE(saveSetting("App", "S", "K", v));
        EXPECT_EQ(getSetting("App", "S", "K", "default"), v);
    }
}

namespace {

// Two writers (threads, as two programs would) change keys of their own in
// one file at once: every key written is there at the end.
template <class Write, class Read>
void expectNoWriteLost(Write write, Read read)
{
    constexpr int kKeys = 40;
    std::atomic<int> failed{0};
    auto writer = [&](const QString& prefix) {
        for (int i = 0; i < kKeys; ++i) {
            if (!write(prefix + QString::number(i), QString::number(i)))
                ++failed;
        }
    };
    std::thread a(writer, QStringLiteral("a")), b(writer, QStringLiteral("b"));
    a.join();
    b.join();
    EXPECT_EQ(failed.load(), 0);
    QStringList lost;
    for (const char* prefix : {"a", "b"}) {
        for (int i = 0; i < kKeys; ++i) {
            const QString key = prefix + QString::number(i);
            if (read(key) != QString::number(i))
                lost << key;
        }
    }
    EXPECT_TRUE(lost.isEmpty()) << lost.join(u' ').toStdString();
}

} // namespace

TEST(IniTwoWriters, NeitherLosesTheOthersKeys)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("LT_desk.ini");
    expectNoWriteLost(
        [&](const QString& key, const QString& v) {
            return writePrivateProfileString("Desk", key, v, path);
        },
        [&](const QString& key) {
            return getPrivateProfileString("Desk", key, "", 256, path);
        });
    EXPECT_FALSE(QFileInfo::exists(path + ".lock"));

    qputenv("CONSIGN_SETTINGS_DIR", dir.filePath("cfg").toLocal8Bit());
    expectNoWriteLost([](const QString& key, const QString& v) { return saveSetting("LT", "Rule", key, v); },
                      [](const QString& key) { return getSetting("LT", "Rule", key); });
    // Several keys in one write: all of them, or none when a name is refused.
    ASSERT_TRUE(saveSettings("LT", "Two", {{"Type", "True"}, {"Used", "1"}}));
    EXPECT_EQ(getSetting("LT", "Two", "Type") + getSetting("LT", "Two", "Used"), "True1");
    EXPECT_FALSE(saveSettings("LT", "Two", {{"Type", "False"}, {"Us=ed", "0"}}));
    EXPECT_EQ(getSetting("LT", "Two", "Type"), "True");
    qunsetenv("CONSIGN_SETTINGS_DIR");
}
