#include "common/cProfile.h"

#include "platform/text/IniFile.h"

#include <QFileInfo>

#include <cmath>

namespace {
constexpr int kBuffer = 255;
}

int cProfile::SetValue(const QString& KeyName, const QString& ValueName, const QString& Value,
                       bool)
{
    if (file_.isEmpty())
        return 0;
    return text::writePrivateProfileString(KeyName, ValueName, Value, file_) ? 1 : 0;
}

bool cProfile::ReadFile(const QString& path)
{
    file_ = path;
    return Read();
}

bool cProfile::Read() const
{
    const QFileInfo fi(file_);
    return !file_.isEmpty() && fi.exists() && fi.isFile();
}

QString cProfile::GetValueS(const QString& KeyName, const QString& ValueName,
                            const QString& DefaultValue) const
{
    if (file_.isEmpty())
        return DefaultValue;
    int copied = 0;
    const QString v = text::getPrivateProfileString(KeyName, ValueName, QString(), kBuffer, file_,
                                                    &copied);
    return copied == 0 ? DefaultValue : v;
}

int cProfile::GetValueI(const QString& KeyName, const QString& ValueName, int DefaultValue) const
{
    if (file_.isEmpty())
        return DefaultValue;
    int copied = 0;
    const QString v = text::getPrivateProfileString(KeyName, ValueName, QString(), kBuffer, file_,
                                                    &copied);
    if (copied == 0)
        return DefaultValue;
    bool ok = false;
    const double d = v.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return 0;
    const double r = std::nearbyint(d); // to nearest, halves to even
    if (r < -32768 || r > 32767)
        return 0;
    return static_cast<int>(r);
}
