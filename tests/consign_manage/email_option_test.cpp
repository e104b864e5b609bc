// Mail options: the grid's rules, the two files and the settings, read back
// by the log-in's reader.

#include "tests/support/BadInput.h"
#include "tests/support/TestDatabase.h"

#include "common/basEnv.h"
#include "consign/basEmailOption.h"
#include "shell/basLT4Add.h"

#include "platform/text/AnsiFile.h"
#include "platform/text/CodePage.h"
#include "platform/text/FileSet.h"
#include "platform/text/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

using consign::EmailOption;

namespace {

class EmailOptionTest : public testsupport::DatabaseTest {
protected:
    static void SetUpTestSuite() {
        static QTemporaryDir settings;
        qputenv("CONSIGN_SETTINGS_DIR", settings.path().toUtf8());
    }
    void SetUp() override {
        DatabaseTest::SetUp();
        QDir(varGetSysInfo(14).toString() + "Lt").removeRecursively();
        QDir().mkpath(varGetSysInfo(14).toString() + "Lt");
        QFile::remove(text::settingsFile(QStringLiteral("流通委托")));
        g_strSmtpAddress = g_strEmailAddress = g_strSmtpUser = g_strSmtpPassword = g_strEmailSign =
            g_strEmailBody = QString();
        g_intSmtpAuth = g_intEmailBak = 0;
    }
    static QString file(const char* name) { return consign::strMailFile(QString::fromLatin1(name)); }
    static QByteArray bytes(const char* name) {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    static QString setting(const char* key) {
        return text::getSetting("流通委托", "EmailOption", QString::fromLatin1(key), "<none>");
    }
    // Reads back as the log-in does.
    static void login() {
        g_strEmailSign = g_strEmailBody = QString();
        subLoadEmailOption();
    }
};

TEST_F(EmailOptionTest, GridRules) {
    EmailOption o;
    o.subShowEmailOption();
    EXPECT_TRUE(o.rows.isEmpty());
    o.cmdDelete(); // nothing on an empty grid
    o.cmdDefault();
    o.cmdNew();
    o.editText = "  第一  ";
    o.cmdNew();
    o.editText = "第二";
    o.cmdNew();
    ASSERT_EQ(o.rows.size(), 3);
    EXPECT_TRUE(o.rows[0].isDefault); // the first one made
    EXPECT_FALSE(o.rows[1].isDefault);
    EXPECT_EQ(o.rows[0].text, "第一"); // kept, trimmed, when the next one began
    EXPECT_EQ(o.rows[2].name, "新增签名");
    EXPECT_TRUE(o.editText.isEmpty());

    o.spdName_Click(1);
    EXPECT_EQ(o.editText, "第二");
    o.cmdDefault();
    EXPECT_EQ(int(std::count_if(o.rows.begin(), o.rows.end(), [](auto& r) { return r.isDefault; })), 1);
    EXPECT_TRUE(o.rows[1].isDefault);
    // Deleting the default makes the row that becomes active the default.
    o.cmdDelete();
    ASSERT_EQ(o.rows.size(), 2);
    EXPECT_TRUE(o.rows[o.activeRow].isDefault);
    o.cmdDelete();
    o.cmdDelete();
    EXPECT_TRUE(o.rows.isEmpty());
    EXPECT_TRUE(o.editText.isEmpty());
}

TEST_F(EmailOptionTest, OkWritesSettingsAndFilesThatTheLoginReadsBack) {
    EmailOption o;
    o.subShowEmailOption();
    o.smtpAddress = "  127.0.0.1:2525 ";
    o.emailAddress = "desk@library.example";
    o.smtpAuth = false; // the boxes are stored all the same
    o.user = "desk";
    o.password = " p,w 1 ";
    o.bak = true;
    o.cmdNew();
    o.editText = "流通部\n图书馆 一楼\r\n电话 1234";
    o.cmdNew();
    o.editText = ""; // an empty text
    o.cmdNew();
    o.rows[2].name = "名 称";
    o.editText = "第三";
    o.body = "\n 您好：\r\n您委托的图书已到。\n ";
    ASSERT_EQ(o.cmdOk(), 0) << shownTexts().join("|").toStdString();

    EXPECT_EQ(setting("LT4_strSmtpAddress"), "127.0.0.1:2525");
    EXPECT_EQ(setting("LT4_strEmailAddress"), "desk@library.example");
    EXPECT_EQ(setting("LT4_strSmtp"), "0");
    EXPECT_EQ(setting("LT4_strUser"), "desk");
    EXPECT_EQ(setting("LT4_strPassWord"), "p,w 1");
    EXPECT_EQ(setting("LT4_strBak"), "1");
    EXPECT_EQ(QFile(text::settingsFile("流通委托")).permissions() & 0x0077, 0); // owner only

    EXPECT_EQ(bytes("LT4_Email_Name.ini"),
              text::toGb18030(QStringLiteral(
                  "[新增签名]*\r\n流通部\r\n图书馆 一楼\r\n电话 1234\r\n*\r\n[新增签名]\r\n\r\n*\r\n[名 "
                  "称]\r\n第三\r\n*\r\n")));
    EXPECT_EQ(bytes("LT4_Email_Body.ini"),
              text::toGb18030(QStringLiteral("您好：\r\n您委托的图书已到。\r\n")));

    login();
    EXPECT_EQ(g_strEmailSign, "流通部\r\n图书馆 一楼\r\n电话 1234");
    EXPECT_EQ(g_strEmailBody, "您好：\r\n您委托的图书已到。");
    EXPECT_EQ(g_strSmtpPassword, "p,w 1");
    EXPECT_EQ(g_intEmailBak, 1);

    // The window reads its own file back, row for row.
    EmailOption again;
    again.subShowEmailOption();
    ASSERT_EQ(again.rows.size(), 3);
    EXPECT_EQ(again.rows[1].text, "");
    EXPECT_EQ(again.rows[2].name, "名 称");
    EXPECT_EQ(again.editText, again.rows[0].text);
}

TEST_F(EmailOptionTest, WhatOkSavedIsWhatTheRunUsesAndShows) {
    EmailOption o;
    o.subShowEmailOption();
    o.cmdNew();
    o.editText = "签名甲";
    o.body = "新的正文";
    ASSERT_EQ(o.cmdOk(), 0);
    EXPECT_EQ(g_strEmailBody, "新的正文");
    EXPECT_EQ(g_strEmailSign, "签名甲");
    EmailOption reopened;
    reopened.subShowEmailOption();
    EXPECT_EQ(reopened.body, "新的正文");
    ASSERT_EQ(reopened.cmdOk(), 0);
    EXPECT_EQ(bytes("LT4_Email_Body.ini"), text::toGb18030(QStringLiteral("新的正文\r\n")));
}

TEST_F(EmailOptionTest, SeveralDefaultHeadsAndLfFiles) {
    text::writeAnsiFile(file("LT4_Email_Name.ini"), "[甲]*\r\n一\r\n*\r\n[乙]*\r\n二\r\n*\r\n");
    EmailOption o;
    o.subShowEmailOption();
    ASSERT_EQ(o.rows.size(), 2);
    EXPECT_TRUE(o.rows[0].isDefault && o.rows[1].isDefault);
    login();
    EXPECT_EQ(g_strEmailSign, "一");

    QFile f(file("LT4_Email_Name.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text::toGb18030(QStringLiteral("[丙]*\n三\n四\n*\n")));
    f.close();
    o.subShowEmailOption();
    ASSERT_EQ(o.rows.size(), 1);
    EXPECT_EQ(o.rows[0].text, "三\r\n四");
}

TEST_F(EmailOptionTest, BadInputIsRefusedAndLosesNothing) {
    text::writeAnsiFile(file("LT4_Email_Name.ini"), "[旧]*\r\n旧签名\r\n*\r\n");
    text::writeAnsiFile(file("LT4_Email_Body.ini"), "旧正文\r\n");
    const QByteArray before = bytes("LT4_Email_Name.ini");
    for (const char* text : {"第一行\n[不行", "第一行\r\n*\r\n第三行", "*"}) {
        SCOPED_TRACE(text);
        dialogs.clear();
        EmailOption o;
        o.subShowEmailOption();
        o.smtpAddress = "changed.example";
        o.editText = QString::fromUtf8(text);
        EXPECT_EQ(o.cmdOk(), -1);
        EXPECT_TRUE(shownTexts().join("").contains("签名")) << shownTexts().join("|").toStdString();
        EXPECT_EQ(bytes("LT4_Email_Name.ini"), before);
        EXPECT_EQ(setting("LT4_strSmtpAddress"), "<none>");
        EXPECT_TRUE(g_strSmtpAddress.isEmpty());
    }

    // A file that cannot be written: a message, nothing else changes.
    QFile::remove(file("LT4_Email_Body.ini"));
    QDir().mkpath(file("LT4_Email_Body.ini"));
    dialogs.clear();
    EmailOption o;
    o.subShowEmailOption();
    o.body = "新正文";
    EXPECT_EQ(o.cmdOk(), -1);
    EXPECT_TRUE(dialogs.lastText().contains("不能写入文件")) << dialogs.lastText().toStdString();
    EXPECT_TRUE(g_strEmailBody.isEmpty());
}

// Bad input (tests/support/BadInput.h) in every typed box: OK stores what was
// typed (trimmed) and the log-in and the window read the same back; a
// signature the file cannot hold is refused with its message and nothing is
// stored.
TEST_F(EmailOptionTest, BadTextsAreStoredAsTypedOrRefused) {
    const struct {
        const char* box;
        std::function<void(EmailOption&, const QString&)> type;
        std::function<QString()> read;
    } boxes[] = {
        {"smtp address", [](EmailOption& o, const QString& t) { o.smtpAddress = t; },
         [] { return g_strSmtpAddress; }},
        {"mail address", [](EmailOption& o, const QString& t) { o.emailAddress = t; },
         [] { return g_strEmailAddress; }},
        {"user", [](EmailOption& o, const QString& t) { o.user = t; }, [] { return g_strSmtpUser; }},
        {"password", [](EmailOption& o, const QString& t) { o.password = t; },
         [] { return g_strSmtpPassword; }},
        {"signature", [](EmailOption& o, const QString& t) { o.editText = t; },
         [] { return g_strEmailSign; }},
        {"body", [](EmailOption& o, const QString& t) { o.body = t; }, [] { return g_strEmailBody; }},
    };
    for (const auto& box : boxes) {
        for (const QString& t : testsupport::badTexts()) {
            SCOPED_TRACE(std::string(box.box) + " " + t.left(20).toUtf8().toHex().toStdString());
            dialogs.clear();
            EmailOption o;
            o.subShowEmailOption();
            if (o.rows.isEmpty()) o.cmdNew();
            o.spdName_Click(0);
            box.type(o, t);
            const QByteArray before = bytes("LT4_Email_Name.ini");
            if (o.cmdOk() != 0) {
                EXPECT_TRUE(shownTexts().join("").contains("签名")) << shownTexts().join("|").toStdString();
                EXPECT_EQ(bytes("LT4_Email_Name.ini"), before);
                continue;
            }
            EXPECT_TRUE(dialogs.shown.isEmpty()) << shownTexts().join("|").toStdString();
            login();
            EXPECT_EQ(box.read(), t.trimmed());
            EmailOption again;
            again.subShowEmailOption();
            const QString shown = QString(box.box) == QLatin1String("signature") ? again.editText
                                  : QString(box.box) == QLatin1String("body")    ? again.body
                                                                                 : box.read();
            EXPECT_EQ(shown, t.trimmed());
        }
    }
}

TEST_F(EmailOptionTest, ASaveIsWholeForAnotherProgramAndAllOrNothing) {
    // This desk saves two option sets in turn; another program (a thread with
    // reads of its own) reads the files and settings under the options' lock,
    // as the log-in does.
    const QString lockPath = strEmailOptionLock();
    const QString signPath = file("LT4_Email_Name.ini"), bodyPath = file("LT4_Email_Body.ini");
    const QString settingsPath = text::settingsFile("流通委托");
    auto save = [](const QString& tag) {
        EmailOption o;
        o.subShowEmailOption();
        if (o.rows.isEmpty()) o.cmdNew();
        o.editText = "签名" + tag;
        o.body = "正文" + tag;
        o.smtpAddress = "smtp" + tag + ".example";
        return o.cmdOk();
    };
    ASSERT_EQ(save("A"), 0);
    std::atomic<bool> done{false};
    int reads = 0, mixed = 0;
    std::thread reader([&] {
        while (!done && reads < 5000) {
            const text::FileLock lock(lockPath);
            if (!lock.locked()) continue;
            QString sign, body;
            text::readAnsiFile(signPath, &sign);
            text::readAnsiFile(bodyPath, &body);
            text::IniDocument doc;
            text::loadIniFile(settingsPath, &doc, text::IniEncoding::Utf8);
            const QString smtp = doc.value("EmailOption", "LT4_strSmtpAddress").value_or("?");
            ++reads;
            const QString tag = body.mid(2, 1);
            if (body != "正文" + tag + "\r\n" || !sign.contains("签名" + tag + "\r\n") ||
                smtp != "smtp" + tag + ".example")
                ++mixed;
        }
    });
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(save(i % 2 ? "A" : "B"), 0);
    done = true;
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(mixed, 0) << "of " << reads;

    // Files or settings that cannot be written: nothing of the save stays.
    const QByteArray sign = bytes("LT4_Email_Name.ini"), body = bytes("LT4_Email_Body.ini");
    for (const QString& blocked : {bodyPath, settingsPath}) {
        SCOPED_TRACE(blocked.toStdString());
        ASSERT_TRUE(QFile::rename(blocked, blocked + ".kept"));
        ASSERT_TRUE(QDir().mkpath(blocked));
        dialogs.clear();
        EXPECT_EQ(save("C"), -1);
        EXPECT_FALSE(dialogs.lastText().isEmpty());
        QDir(blocked).removeRecursively();
        ASSERT_TRUE(QFile::rename(blocked + ".kept", blocked));
        EXPECT_EQ(bytes("LT4_Email_Name.ini"), sign);
        EXPECT_EQ(bytes("LT4_Email_Body.ini"), body);
        EXPECT_EQ(setting("LT4_strSmtpAddress"), "smtpA.example");
        EXPECT_EQ(g_strSmtpAddress, "smtpA.example");
    }
}

} // namespace
