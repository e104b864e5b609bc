// Loading of the mail options from the settings store and the template files.

#include "tests/shell/ShellFixture.h"

#include "common/basEnv.h"
#include "shell/basLT4Add.h"

#include "platform/text/AnsiFile.h"
#include "platform/text/CodePage.h"
#include "platform/text/IniFile.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

namespace {

class MailOptionTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        lt_ = g_strPath[3] + QStringLiteral("Lt/");
        QDir().mkpath(lt_);
        QFile::remove(lt_ + QStringLiteral("LT4_Email_Name.ini"));
        QFile::remove(lt_ + QStringLiteral("LT4_Email_Body.ini"));
        QFile::remove(text::settingsFile(QStringLiteral("流通委托")));
        g_strSmtpAddress = g_strEmailAddress = g_strSmtpUser = g_strSmtpPassword = QString();
        g_strEmailSign = g_strEmailBody = QString();
        g_intSmtpAuth = g_intEmailBak = 7;
    }
    void writeRaw(const char* name, const QByteArray& bytes)
    {
        QFile f(lt_ + QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void write(const char* name, const QString& text) { writeRaw(name, text::toGb18030(text)); }
    void option(const char* key, const QString& value)
    {
        text::saveSetting(QStringLiteral("流通委托"), QStringLiteral("EmailOption"), QString::fromLatin1(key), value);
    }
    QString lt_;
};

TEST_F(MailOptionTest, NothingStoredGivesEmptyOptions)
{
    subLoadEmailOption();
    EXPECT_TRUE(g_strSmtpAddress.isEmpty());
    EXPECT_TRUE(g_strSmtpPassword.isEmpty());
    EXPECT_EQ(g_intSmtpAuth, 0);
    EXPECT_EQ(g_intEmailBak, 0);
    EXPECT_TRUE(g_strEmailSign.isEmpty());
    EXPECT_TRUE(g_strEmailBody.isEmpty());
}

TEST_F(MailOptionTest, SettingsAreReadIntoTheirGlobals)
{
    option("LT4_strSmtpAddress", QStringLiteral("smtp.library.example"));
    option("LT4_strEmailAddress", QStringLiteral("desk@library.example"));
    option("LT4_strSmtp", QStringLiteral("1"));
    option("LT4_strUser", QStringLiteral("desk"));
    option("LT4_strPassWord", QStringLiteral("p,w 1"));
    option("LT4_strBak", QStringLiteral("1"));
    subLoadEmailOption();
    EXPECT_EQ(g_strSmtpAddress, QStringLiteral("smtp.library.example"));
    EXPECT_EQ(g_strEmailAddress, QStringLiteral("desk@library.example"));
    EXPECT_EQ(g_intSmtpAuth, 1);
    EXPECT_EQ(g_strSmtpUser, QStringLiteral("desk"));
    EXPECT_EQ(g_strSmtpPassword, QStringLiteral("p,w 1"));
    EXPECT_EQ(g_intEmailBak, 1);

    option("LT4_strBak", QStringLiteral("yes"));
    EXPECT_THROW(subLoadEmailOption(), std::runtime_error);
}

TEST_F(MailOptionTest, TheDefaultSignatureIsTaken)
{
    struct Case {
        const char* name;
        QString file;
        QString sign;
    } cases[] = {
        {"second of two is the default",
         QStringLiteral("[馆员]\r\n第一签名\r\n*\r\n[流通部]*\r\n流通部\r\n图书馆\r\n一楼\r\n*\r\n"),
         QStringLiteral("流通部\r\n图书馆\r\n一楼")},
        {"no default mark", QStringLiteral("[馆员]\r\n第一签名\r\n*\r\n"), QString()},
        {"default without text", QStringLiteral("[空]*\r\n*\r\n[其他]\r\nx\r\n*\r\n"), QString()},
        {"LF line ends", QStringLiteral("[a]*\nline one\nline two\n*\n"), QStringLiteral("line one\r\nline two")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_strEmailSign = QString();
        write("LT4_Email_Name.ini", c.file);
        subLoadEmailOption();
        EXPECT_EQ(g_strEmailSign, c.sign);
    }
}

TEST_F(MailOptionTest, BodyLosesOnlyItsFinalLineEnd)
{
    struct Case {
        const char* name;
        QString file;
        QString body;
    } cases[] = {
        {"several lines", QStringLiteral("您好：\r\n您委托的图书已到。\r\n请及时取书。\r\n"),
         QStringLiteral("您好：\r\n您委托的图书已到。\r\n请及时取书。")},
        {"LF ended", QStringLiteral("line\n"), QStringLiteral("line")},
        {"no final line end keeps all its text", QStringLiteral("请取书"), QStringLiteral("请取书")},
        {"a single character", QStringLiteral("x"), QStringLiteral("x")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write("LT4_Email_Body.ini", c.file);
        subLoadEmailOption();
        EXPECT_EQ(g_strEmailBody, c.body);
    }
}

TEST_F(MailOptionTest, FilesFoundWhateverTheCaseOfTheFolder)
{
    QDir(lt_).removeRecursively();
    const QString upper = g_strPath[3] + QStringLiteral("LT/");
    QDir().mkpath(upper);
    QFile f(upper + QStringLiteral("lt4_email_body.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text::toGb18030(QStringLiteral("正文\r\n")));
    f.close();
    subLoadEmailOption();
    EXPECT_EQ(g_strEmailBody, QStringLiteral("正文"));
    QDir(upper).removeRecursively();
}

} // namespace
