// The program's entry: the application object, the subsystems' services,
// then the start-up sequence and the window message loop.

#include "shell/basMain.h"

#include "platform/ui/Fonts.h"

#include <QApplication>
#include <QFont>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("consign"));
    ui::installFontSubstitutions();
    QFont font = QApplication::font();
    font.setFamily(ui::cjkFamily());
    QApplication::setFont(font);

    if (!Main())
        return 1;
    return QApplication::exec();
}
