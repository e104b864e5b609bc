// A second desk for the two-desk tests, and a worker of the many-desk runs.
//
//   second_desk CONNINFO COMPUTER
//   second_desk CONNINFO COMPUTER --seed SEED --actions N
//
// connects to the test database, logs worker 0001 in at the workstation
// COMPUTER (its location and location group come with the log-in) and then
// reads one action per line:
//
//   load CARD      the reader load of the lend mode
//   lend CODE      a bar code scanned in the lend mode (pick-up or lending)
//   return CODE    a bar code scanned in the return mode
//   find CODE      a bar code scanned at the find desk
//   check CODE     a bar code accepted home in the return management
//   quit
//
// After each action it writes one line: "DONE <result>", a tab and the texts
// of the boxes shown, separated by "|" (line breaks as blanks). Questions are
// answered with OK.
//
// With a seed it runs N random actions of its own instead (see RandomDesk.h)
// on the demo library -- at the desk, the find desk and in the management
// windows of its workstation's location -- and writes "SEED <seed>" first,
// then one line per action that the program reported as done: "OK <action>
// <reader> <what>", and last "LOCKED <n>": the actions that met a row held
// past the lock time-out.

#include "RandomDesk.h"
#include "common/LoginState.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMsg.h"
#include "consign/FindDesk.h"
#include "consign/ReturnManage.h"
#include "desk/DeskLending.h"
#include "platform/ui/DialogService.h"
#include "shell/basLogin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

class AnswerOk : public ui::DialogService {
public:
    ui::BoxAnswer showBox(const ui::BoxRequest& request) override {
        texts << request.text;
        // A database error's own text goes to the error channel beside the box.
        if (request.text == strGetMsg(QStringLiteral("ECM012")))
            std::cerr << "database error " << g_lngErrNo << ": " << g_strErrText.toStdString() << std::endl;
        return ui::BoxAnswer::Ok;
    }
    int execDialog(QDialog*) override { return 0; }
    void beep() override {}
    QStringList texts;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::cerr << "usage: second_desk CONNINFO COMPUTER\n";
        return 2;
    }
    qputenv("CONSIGN_COMPUTER", argv[2]);
    QTemporaryDir folder;
    LIB_SetProgramFolder(folder.path() + QLatin1Char('/'));
    intInitEnvironment();
    AnswerOk dialogs;
    ui::DialogService::install(&dialogs);
    g_strDBName = QString::fromLocal8Bit(argv[1]);
    g_strDBUser.clear();
    g_strDBPwd.clear();
    if (LIB_DB_Connect() != 0 || intInitBaseData() != 0 ||
        intLoginAction(QStringLiteral("0001"), QStringLiteral("ABC"), false) != LoginOutcome::Passed ||
        intLoadLocaProperty() != 0) {
        std::cout << "FAILED " << g_strErrText.toStdString()
                  << dialogs.texts.join(QLatin1Char('|')).toStdString() << std::endl;
        return 1;
    }

    if (argc >= 7 && QByteArray(argv[3]) == "--seed" && QByteArray(argv[5]) == "--actions") {
        const int r = runRandomDesk(QByteArray(argv[4]).toUInt(), QByteArray(argv[6]).toInt(), dialogs.texts,
                                    std::cout);
        // How often a desk waited out the lock time-out, and the database
        // errors it met otherwise (a deadlock among them), with their texts.
        std::cout << "LOCKED " << dialogs.texts.count(QStringLiteral("该记录已经被锁定!")) << std::endl;
        const QString failed = strGetMsg(QStringLiteral("ECM012"));
        std::cout << "ERRORS " << dialogs.texts.count(failed) << std::endl;
        if (dialogs.texts.contains(failed)) {
            QDir logs(folder.filePath(QStringLiteral("LOG")));
            for (const QString& name : logs.entryList(QDir::Files)) {
                QFile log(logs.filePath(name));
                if (log.open(QIODevice::ReadOnly)) std::cerr << log.readAll().toStdString();
            }
        }
        return r;
    }

    desk::ConsignDesk desk;
    desk::DeskLending lending(desk);
    consign::FindDesk findDesk;
    consign::ReturnManage returnManage;
    returnManage.defaultDates(datServerToday());
    std::cout << "READY" << std::endl;
    std::string line;
    while (std::getline(std::cin, line)) {
        const QString command = QString::fromStdString(line).trimmed();
        const QString verb = command.section(QLatin1Char(' '), 0, 0);
        const QString arg = command.section(QLatin1Char(' '), 1).trimmed();
        dialogs.texts.clear();
        int result = -9;
        if (verb == QLatin1String("load"))
            result = desk.intLoadRedr(arg);
        else if (verb == QLatin1String("lend"))
            result = lending.subLendReleBook(arg);
        else if (verb == QLatin1String("return"))
            result = lending.subReturnBook(arg);
        else if (verb == QLatin1String("find"))
            result = findDesk.subFindBook(arg);
        else if (verb == QLatin1String("check"))
            result = returnManage.subCheckBook(arg);
        else if (verb == QLatin1String("quit"))
            break;
        // One line per reply: line breaks of a text become blanks.
        const QString texts =
            dialogs.texts.join(QLatin1Char('|')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        std::cout << "DONE " << result << '\t' << texts.toStdString() << std::endl;
    }
    LIB_DB_Disconnect();
    return 0;
}
