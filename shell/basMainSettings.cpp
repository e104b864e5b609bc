#include "shell/basMainSettings.h"

#include "shell/basShellIni.h"

#include "platform/text/IniFile.h"

#include <cmath>
#include <stdexcept>

QString g_strStyleID;
int g_intFineLend = 0;
int g_intFineReturn = 0;
int g_intReturnClear = 1;
int g_intSubIdRep = 31;

namespace {

QString setting(const char* key, const QString& def)
{
    return text::getSetting(strProgramTitle(), QStringLiteral("Settings"), QString::fromLatin1(key), def);
}

} // namespace

int intSettingToInt(const QString& value)
{
    bool ok = false;
    const double d = value.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d) || d < -32768.5 || d >= 32767.5)
        throw std::runtime_error("setting is not a number: " + value.toStdString());
    // The old runtime rounds halves to even.
    return int(std::nearbyint(d));
}

bool blnSettingToBool(const QString& value)
{
    bool b = false;
    if (!text::parseSettingBool(value, &b))
        throw std::runtime_error("setting is not a truth value: " + value.toStdString());
    return b;
}

void subReadMainSettings()
{
    g_strStyleID = setting("StyleID", QStringLiteral("DefaultTheme"));
    g_intFineLend = intSettingToInt(setting("FineLend", QStringLiteral("0")));
    g_intFineReturn = intSettingToInt(setting("FineReturn", QStringLiteral("0")));
    g_intReturnClear = intSettingToInt(setting("ReturnClear", QStringLiteral("1")));
}

void subReadFontSettings()
{
    g_strFontName = setting("FontName", QStringLiteral("宋体"));
    g_strFontSize = setting("FontSize", QStringLiteral("9"));
    g_blnFontBold = blnSettingToBool(setting("FontBold", QStringLiteral("False")));
    g_intSubIdRep = intSettingToInt(setting("BM_SUBID_REP", QStringLiteral("31")));
}

void subSaveStyleID()
{
    text::saveSetting(strProgramTitle(), QStringLiteral("Settings"), QStringLiteral("StyleID"), g_strStyleID);
}
