// The program's entry: the application object, the subsystems' services,
// then the start-up sequence and the window message loop.

#include "common/basEnv.h"
#include "shell/ShellServices.h"
#include "shell/basMain.h"
#if HAVE_MODULE_DESK
#include "desk/DeskService.h"
#endif
#if HAVE_MODULE_EXTEND
#include "extend/ExtendService.h"
#endif

#include "platform/ui/Fonts.h"

#include <QApplication>
#include <QFont>

int main(int argc, char* argv[])
{
    // A server that does not answer must not hang the start.
    if (qEnvironmentVariableIsEmpty("PGCONNECT_TIMEOUT"))
        qputenv("PGCONNECT_TIMEOUT", "10");

    QApplication app(argc, argv);
    // --home <folder>: the program folder (else CONSIGN_HOME, else the program's own folder).
    const QStringList args = QApplication::arguments();
    const qsizetype home = args.indexOf(QStringLiteral("--home"));
    if (home > 0 && home + 1 < args.size())
        LIB_SetProgramFolder(args.at(home + 1));

    QApplication::setApplicationName(QStringLiteral("consign"));
    ui::installFontSubstitutions();
    QFont font = QApplication::font();
    font.setFamily(ui::cjkFamily());
    QApplication::setFont(font);

    // The windows of the subsystems built so far; the others stay disabled in the menus.
#if HAVE_MODULE_DESK
    shell::Services::install(&desk::deskService());
#endif
#if HAVE_MODULE_EXTEND
    shell::Services::install(&extend::extendService());
#endif

    if (!Main())
        return 1;
    return QApplication::exec();
}
