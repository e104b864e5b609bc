// Another desk in a process of its own, for the two-desk tests of the fine
// settlement. It connects to the database given on its command line, works at
// the given location as worker SUPR, opens the fine window on the given reader
// (when the reader owes enough) and then takes commands from its input, one a
// line:
//
//   pay <bill number>   clicks the pay button; every question is answered OK
//   close               closes the window and ends
//
// Once the window is filled, and after each command, it writes one line: the
// number of rows the window shows, 1 when it is still open (else 0), and the
// text of the last message shown.
//
//   fine_desk_peer <conninfo> <location> <cert_id>

#include "common/LoginState.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMsg.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Grid.h"
#include "reader/ReaderContext.h"
#include "reader/clsFineSettle.h"
#include "reader/frmLendFine.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 4) {
        std::fputs("usage: fine_desk_peer <conninfo> <location> <cert_id>\n", stderr);
        return 2;
    }

    QTemporaryDir folder;
    for (const char* sub : {"LOG", "CFG", "TMP"})
        QDir(folder.path()).mkpath(QLatin1String(sub));
    LIB_SetProgramFolder(folder.path() + QLatin1Char('/'));
    intInitEnvironment();
    g_strDBName = args[1];
    g_strDBUser.clear();
    g_strDBPwd.clear();
    if (LIB_DB_Connect() != 0 || intInitBaseData() != 0 || intLoadBaseCode() != 0 || intLoadDeskLocation(3) != 0) {
        std::fprintf(stderr, "cannot start: %s\n", g_strErrText.toLocal8Bit().constData());
        return 1;
    }
    g_strWkrNo = QStringLiteral("SUPR");
    g_strLocation = args[2];

    ui::ScriptedDialogService dialogs;
    QTextStream out(stdout);
    const auto report = [&] {
        const bool open = frmLendFine::loaded();
        out << (open ? frmLendFine::form()->spdFine->maxRows() : 0) << ' ' << (open ? 1 : 0) << ' '
            << dialogs.lastText() << Qt::endl;
    };

    if (blnFineDue(args[3])) {
        frmLendFine* form = frmLendFine::form();
        if (form->intShowReady() == 0)
            form->show();
        else
            frmLendFine::unload();
    }
    QCoreApplication::processEvents();
    report();

    QTextStream in(stdin);
    QString line;
    while (in.readLineInto(&line)) {
        const QString command = line.section(QLatin1Char(' '), 0, 0);
        if (command == QLatin1String("pay") && frmLendFine::loaded()) {
            frmLendFine* form = frmLendFine::form();
            form->txtBillNo->setText(line.section(QLatin1Char(' '), 1));
            dialogs.answers.append(ui::BoxAnswer::Ok);
            form->cmdOk_Click();
        } else if (command == QLatin1String("close")) {
            if (frmLendFine::loaded())
                frmLendFine::form()->close();
            QCoreApplication::processEvents();
            report();
            break;
        }
        QCoreApplication::processEvents();
        report();
    }
    frmLendFine::unload();
    LIB_DB_Disconnect();
    return 0;
}
