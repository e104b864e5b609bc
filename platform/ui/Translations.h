#pragma once
// Qt's own windows and dialogs (print, print preview, page set-up, file,
// colour and font dialogs, the standard buttons) carry English texts unless a
// translation is installed; the program speaks Chinese throughout, so it loads
// Qt's simplified-Chinese catalogue at start.

#include <QString>

namespace ui {

// Installs Qt's zh_CN translation of its base module ("qtbase_zh_CN.qm") on
// the application, read from `folder`, or from Qt's translations folder when
// none is given. True when it is installed (also when it already was); false
// when no such catalogue is found, and the texts then stay Qt's own.
// Needs the application object.
bool installQtTranslations(const QString& folder = QString());

} // namespace ui
