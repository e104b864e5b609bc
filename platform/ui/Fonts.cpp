#include "platform/ui/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace ui {

namespace {
// Chinese families the windows name, by their Chinese and Latin names.
const QStringList& chineseFamilies() {
    static const QStringList names = {
        QStringLiteral("宋体"),     QStringLiteral("新宋体"),   QStringLiteral("黑体"),
        QStringLiteral("楷体"),     QStringLiteral("楷体_GB2312"), QStringLiteral("仿宋"),
        QStringLiteral("仿宋_GB2312"), QStringLiteral("微软雅黑"), QStringLiteral("隶书"),
        QStringLiteral("幼圆"),     QStringLiteral("SimSun"),   QStringLiteral("NSimSun"),
        QStringLiteral("SimHei"),   QStringLiteral("KaiTi"),    QStringLiteral("KaiTi_GB2312"),
        QStringLiteral("FangSong"), QStringLiteral("FangSong_GB2312"),
        QStringLiteral("Microsoft YaHei"), QStringLiteral("LiSu"), QStringLiteral("YouYuan"),
    };
    return names;
}

bool isChineseFamily(const QString& name) {
    const QString n = name.trimmed();
    for (const QString& f : chineseFamilies())
        if (n.compare(f, Qt::CaseInsensitive) == 0) return true;
    return false;
}
} // namespace

QString cjkFamily() {
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const char* want : {"WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Noto Sans CJK SC",
                                 "Noto Serif CJK SC", "AR PL UMing CN"}) {
            const QString w = QString::fromLatin1(want);
            for (const QString& f : installed)
                if (f.compare(w, Qt::CaseInsensitive) == 0) return f;
        }
        return QStringLiteral("WenQuanYi Micro Hei");
    }();
    return family;
}

QString mapFontFamily(const QString& requested) {
    return isChineseFamily(requested) ? cjkFamily() : requested;
}

QFont makeFont(const QString& name, double pointSize, bool bold) {
    QFont f;
    if (!name.trimmed().isEmpty()) f.setFamily(mapFontFamily(name));
    if (pointSize > 0) f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

void installFontSubstitutions() {
    const QString target = cjkFamily();
    for (const QString& f : chineseFamilies())
        if (!QFont::substitutes(f).contains(target, Qt::CaseInsensitive))
            QFont::insertSubstitution(f, target);
}

} // namespace ui
