// Environment file, folder table, run-time values and the daily log.

#include "common/basEnv.h"
#include "common/LoginState.h"
#include "common/basDB.h"
#include "common/basFile.h"
#include "platform/text/CodePage.h"
#include "platform/text/IniFile.h"
#include "platform/ui/DialogService.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

QString g_strDBName;
QString g_strDBUser;
QString g_strDBPwd;
QString g_strPath[11];

namespace {

QString s_programFolder;

QString withSlash(QString folder) {
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

// Password scrambling: "QX" and the hexadecimal digits of the UTF-8 bytes,
// each mixed with a running key byte.
constexpr const char* kScrambleMark = "QX";
unsigned char keyByte(int i) { return static_cast<unsigned char>((0xA5 + 37 * i) & 0xFF); }

} // namespace

void LIB_SetProgramFolder(const QString& folder) { s_programFolder = folder; }

QString strProgramFolder() {
    if (!s_programFolder.isEmpty()) return withSlash(s_programFolder);
    const QString env = qEnvironmentVariable("CONSIGN_HOME");
    if (!env.isEmpty()) return withSlash(env);
    if (QCoreApplication::instance()) return withSlash(QCoreApplication::applicationDirPath());
    return withSlash(QDir::currentPath());
}

QString strScramblePwd(const QString& plain) {
    const QByteArray bytes = plain.toUtf8();
    QByteArray mixed(bytes.size(), '\0');
    for (int i = 0; i < bytes.size(); ++i)
        mixed[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ keyByte(i));
    return QLatin1String(kScrambleMark) + QString::fromLatin1(mixed.toHex().toUpper());
}

QString strUnscramblePwd(const QString& stored) {
    if (!stored.startsWith(QLatin1String(kScrambleMark))) return stored;
    const QString hex = stored.mid(2);
    if (hex.size() % 2 != 0) return stored;
    for (QChar c : hex)
        if (!isxdigit(c.toLatin1())) return stored;
    QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ keyByte(i));
    return QString::fromUtf8(bytes);
}

int intInitEnvironment() {
    try {
        const QString p = strProgramFolder();
        g_strPath[0] = p;
        g_strPath[1] = p + QStringLiteral("BIN/");
        g_strPath[2] = p + QStringLiteral("DOC/");
        g_strPath[3] = p + QStringLiteral("CFG/");
        g_strPath[4] = p + QStringLiteral("LOG/");
        g_strPath[5] = p + QStringLiteral("TMP/");
        g_strPath[6] = p + QStringLiteral("DAT/");
        g_strPath[7] = g_strPath[3] + QStringLiteral("BM/BaseParam/");
        g_strPath[8] = g_strPath[3] + QStringLiteral("BM/CardParam/");
        g_strPath[9] = g_strPath[3] + QStringLiteral("BM/Template/");
        g_strPath[10] = g_strPath[3] + QStringLiteral("BM/Z3950/");

        const QString ini = strResolvePath(p, QStringLiteral("qorlan.ini"));
        auto read = [&ini](const QString& section, const QString& key) {
            return text::getPrivateProfileString(section, key, QString(), 256, ini);
        };
        const QString server = read(QStringLiteral("LIB-DATA"), QStringLiteral("LIB_SERVER"));
        g_strDBName = read(server, QStringLiteral("DSN"));
        g_strDBUser = read(server, QStringLiteral("UID"));
        g_strDBPwd = strUnscramblePwd(read(server, QStringLiteral("PWD")));
        return 0;
    } catch (...) {
        ui::DialogService::current().beep();
        LIB_WriteLogFile(QStringLiteral("系统初始化"),
                         QStringLiteral("初始化文件[qorlan.ini]出错，请与系统管理员联系，恢复正常的文件。"), 0);
        return -1;
    }
}

QVariant varGetSysInfo(int code) {
    try {
        switch (code) {
        case 0:
            return strGetServerDate();
        case 1:
            return strGetServerDate().left(10);
        case 2:
            return strGetServerDate().right(8);
        case 7:
            return strGetServerDate().left(4);
        case 3:
            return g_strLocation;
        case 4:
            return g_strWkrNo;
        case 5:
            return g_strWkrPwd;
        case 8:
            return true;
        case 10: return g_strPath[0];
        case 11: return g_strPath[1];
        case 12: return g_strPath[2];
        case 13: return g_strPath[5];
        case 14: return g_strPath[3];
        case 15: return g_strPath[4];
        case 16: return g_strPath[6];
        case 17: return g_strPath[7];
        case 18: return g_strPath[8];
        case 19: return g_strPath[9];
        case 20: return g_strPath[10];
        default:
            return QString();
        }
    } catch (...) {
        return QString();
    }
}

QDate datServerToday() {
    const QDate d = QDate::fromString(varGetSysInfo(1).toString(), QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? d : QDate::currentDate();
}

namespace {
// Appends (mode 0) or writes anew (mode 1) one line per text, each stamped
// with the same time, in one opening of the day's log.
int writeDayLogLines(const QStringList& texts, int mode) {
    const QDateTime now = QDateTime::currentDateTime();
    const QString day = now.toString(QStringLiteral("yyyy-MM-dd"));
    const QString stamp =
        day + QLatin1Char(' ') + now.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(';');
    QString lines;
    for (const QString& text : texts)
        lines += stamp + text + QStringLiteral("\r\n");
    auto fail = [](long number, const QString& description) {
        ui::DialogService::current().beep();
        g_intErrKind = 1007;
        g_lngErrNo = number;
        g_strErrText = description;
        g_strErrProc = QStringLiteral("LIB_WriteLogFile");
        return -1;
    };
    if (mode != 0 && mode != 1) return fail(5, QStringLiteral("Invalid procedure call or argument"));
    const QString folder = g_strPath[4];
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return fail(76, QStringLiteral("Path not found"));
    QFile file(folder + day + QStringLiteral("_Log.log"));
    const QIODevice::OpenMode how =
        mode == 0 ? (QIODevice::WriteOnly | QIODevice::Append) : (QIODevice::WriteOnly | QIODevice::Truncate);
    if (!file.open(how)) return fail(75, QStringLiteral("Path/File access error"));
    const QByteArray bytes = text::toGb18030(lines);
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(75, QStringLiteral("Path/File access error"));
    file.close();
    return 0;
}
} // namespace

int LIB_WriteLogFile(const QString&, const QString& text, int mode) {
    return writeDayLogLines({text}, mode);
}

int LIB_WriteLogLines(const QStringList& texts) {
    return texts.isEmpty() ? 0 : writeDayLogLines(texts, 0);
}
