#include "shell/basShellIni.h"

#include "common/basDB.h"
#include "common/basEnv.h"

#include "platform/text/IniFile.h"

#include <QDir>
#include <QFileInfo>

QString strProgramTitle()
{
    return QStringLiteral("流通委托");
}

QString strResolvePath(const QString& base, const QString& relative)
{
    QString path = base;
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    const QStringList parts =
        QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        if (!QFileInfo::exists(path + part)) {
            const QStringList entries = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            for (const QString& e : entries) {
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    part = e;
                    break;
                }
            }
        }
        path += part;
        if (i + 1 < parts.size())
            path += QLatin1Char('/');
    }
    return path;
}

QString strReadConnectionIni(const QString& section, const QString& key)
{
    const QString folder = g_strPath[0];
    if (folder.isEmpty())
        return {};
    return text::getPrivateProfileString(section, key, QString(), 256, strResolvePath(folder, QStringLiteral("qorlan.ini")));
}

void subShowRunError(const QString& description)
{
    LIB_SetRunError(13, description);
    intShowDBError();
    LIB_ClearRunError();
}
