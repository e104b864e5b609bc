#include "platform/ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace ui {

bool installQtTranslations(const QString& folder) {
    // One catalogue for the program's lifetime, owned by the application.
    static QPointer<QTranslator> installed;
    if (installed) return true;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    const QString dir = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto* translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), dir) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed = translator;
    return true;
}

} // namespace ui
