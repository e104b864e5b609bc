#include "shell/basShellIni.h"

#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basFile.h"

#include "platform/text/IniFile.h"


QString strProgramTitle()
{
    return QStringLiteral("流通委托");
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
