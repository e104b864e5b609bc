// The program's entry: the application object, the subsystems' services,
// then the start-up sequence and the window message loop.

#include "app/ReaderWindows.h"
#include "common/basEnv.h"
#include "shell/ShellServices.h"
#include "shell/ShellTools.h"
#include "shell/basMain.h"
#if HAVE_MODULE_DESK
#include "desk/DeskService.h"
#endif
#if HAVE_MODULE_CONSIGN
#include "consign/ManageService.h"
#endif
#if HAVE_MODULE_EXTEND
#include "extend/ExtendService.h"
#endif
#if HAVE_MODULE_INFOCENTER
#include "infocenter/InfoCenterService.h"
#endif
#if HAVE_MODULE_BIBLIO
#include "biblio/BookInfoService.h"
#endif
#if HAVE_MODULE_REPORT
#include "report/FineSlips.h"
#endif

#include "platform/ui/DatabaseWait.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Translations.h"

#include <QApplication>
#include <QFont>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    // A server that does not answer must not hang the start.
    if (qEnvironmentVariableIsEmpty("PGCONNECT_TIMEOUT"))
        qputenv("PGCONNECT_TIMEOUT", "10");

#if defined(Q_OS_LINUX)
    // Without a display the window system would abort the program.
    bool platformGiven = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    for (int i = 1; i < argc; ++i)
        platformGiven = platformGiven || std::strcmp(argv[i], "-platform") == 0;
    if (!platformGiven && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("consign: no display found: the window needs a desktop session (DISPLAY or WAYLAND_DISPLAY)\n",
                   stderr);
        return 1;
    }
#endif

    QApplication app(argc, argv);
    // --home <folder>: the program folder (else CONSIGN_HOME, else the program's own folder).
    const QStringList args = QApplication::arguments();
    const qsizetype home = args.indexOf(QStringLiteral("--home"));
    if (home > 0 && home + 1 < args.size())
        LIB_SetProgramFolder(args.at(home + 1));

    QApplication::setApplicationName(QStringLiteral("consign"));
    // Qt's own dialogs (print, page set-up, file, colour, font) in Chinese too.
    ui::installQtTranslations();
    ui::installFontSubstitutions();
    QFont font = QApplication::font();
    font.setFamily(ui::cjkFamily());
    QApplication::setFont(font);

    // The windows of the subsystems built so far; the others stay disabled in the menus.
#if HAVE_MODULE_DESK
    shell::Services::install(&desk::deskService());
#endif
#if HAVE_MODULE_CONSIGN
    shell::Services::install(&consign::manageService());
#endif
#if HAVE_MODULE_EXTEND
    shell::Services::install(&extend::extendService());
#endif
    shell::Services::install(&shell::shellToolsService());
#if HAVE_MODULE_INFOCENTER
    shell::Services::install(&infocenter::infoCenterService());
#endif
#if HAVE_MODULE_BIBLIO
    shell::Services::install(&biblio::bookInfoService());
#endif
    shell::Services::install(&app::readerWindows());
#if HAVE_MODULE_REPORT
    subInstallFineSlips(); // the fine settlement's slips (their switch stays 0)
#endif

    // A statement waiting on a row another desk holds keeps the windows painted
    // and shows the wait cursor.
    ui::DatabaseWait databaseWait;
    oradb::installWaitHook(&databaseWait);

    const int code = Main() ? QApplication::exec() : 1;
    oradb::installWaitHook(nullptr);
    return code;
}
