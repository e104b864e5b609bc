#include "shell/basLT4Add.h"

#include "common/basEnv.h"
#include "common/basFile.h"
#include "shell/basShellIni.h"

#include "platform/text/AnsiFile.h"
#include "platform/text/FileSet.h"
#include "platform/text/IniFile.h"

#include <QFileInfo>
#include <stdexcept>

QString g_strSmtpAddress;
QString g_strEmailAddress;
short g_intSmtpAuth = 0;
QString g_strSmtpUser;
QString g_strSmtpPassword;
short g_intEmailBak = 0;
QString g_strEmailSign;
QString g_strEmailBody;

namespace {

QString option(const char* key)
{
    return text::getSetting(strProgramTitle(), QStringLiteral("EmailOption"), QString::fromLatin1(key), QString());
}

short flag(const char* key)
{
    const QString value = text::getSetting(strProgramTitle(), QStringLiteral("EmailOption"), QString::fromLatin1(key),
                                           QStringLiteral("0"));
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    if (!ok || n < -32768 || n > 32767)
        throw std::runtime_error("mail option " + std::string(key) + " is not a number");
    return short(n);
}

} // namespace

QString strEmailOptionLock()
{
    return text::lockFileFor(strResolvePath(varGetSysInfo(14).toString(), QStringLiteral("Lt/LT4_Email_Name.ini")));
}

void subLoadEmailOption()
{
    const text::FileLock lock(strEmailOptionLock());
    if (lock.busy())
        throw std::runtime_error("the mail options stay locked by another program");
    g_strSmtpAddress = option("LT4_strSmtpAddress");
    g_strEmailAddress = option("LT4_strEmailAddress");
    g_intSmtpAuth = flag("LT4_strSmtp");
    g_strSmtpUser = option("LT4_strUser");
    g_strSmtpPassword = option("LT4_strPassWord");
    g_intEmailBak = flag("LT4_strBak");

    const QString cfg = varGetSysInfo(14).toString();
    const QString signFile = strResolvePath(cfg, QStringLiteral("Lt/LT4_Email_Name.ini"));
    if (QFileInfo::exists(signFile)) {
        QStringList lines;
        if (!text::readAnsiLines(signFile, &lines))
            throw std::runtime_error("cannot read the signature file");
        QString current;
        bool isDefault = false;
        for (const QString& line : lines) {
            if (line.startsWith(QLatin1Char('['))) {
                current.clear();
                if (line.endsWith(QLatin1Char('*')))
                    isDefault = true;
            } else if (line == QLatin1String("*") && isDefault) {
                if (current.endsWith(QLatin1String("\r\n")))
                    current.chop(2);
                g_strEmailSign = current;
                break;
            } else {
                current += line + QStringLiteral("\r\n");
            }
        }
    }

    const QString bodyFile = strResolvePath(cfg, QStringLiteral("Lt/LT4_Email_Body.ini"));
    if (QFileInfo::exists(bodyFile)) {
        QString body;
        if (!text::readAnsiFile(bodyFile, &body))
            throw std::runtime_error("cannot read the body file");
        // Only a final line end is dropped; a file saved without one keeps all its text.
        if (body.endsWith(QLatin1String("\r\n")))
            body.chop(2);
        else if (body.endsWith(QLatin1Char('\n')))
            body.chop(1);
        g_strEmailBody = body;
    }
}
