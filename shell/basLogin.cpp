#include "shell/basLogin.h"

#include "common/LoginState.h"
#include "common/basAuth.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "common/basMarcIdx.h"
#include "common/basMsg.h"
#include "shell/basLT4Add.h"
#include "shell/basShellIni.h"

#include "platform/oradb/SqlText.h"
#include "platform/ui/DialogService.h"

#include <QHostInfo>
#include <exception>

bool g_blnDlgOk = false;

namespace {

void say(const StatusFn& status, const QString& text)
{
    if (status)
        status(text);
}

void setFocus(LoginFocus* focus, LoginFocus value)
{
    if (focus)
        *focus = value;
}

} // namespace

QString strGetComputerName()
{
    QString name = qEnvironmentVariable("CONSIGN_COMPUTER").trimmed();
    if (name.isEmpty())
        name = strReadConnectionIni(QStringLiteral("LIB-DATA"), QStringLiteral("COMPUTER_NAME")).trimmed();
    if (name.isEmpty()) {
        name = QHostInfo::localHostName();
        const qsizetype dot = name.indexOf(QLatin1Char('.'));
        if (dot > 0)
            name.truncate(dot);
    }
    return name.toUpper();
}

int blnCheckWorker(const QString& user, const QString& pwd, LoginFocus* focus, bool superUserExempt)
{
    setFocus(focus, LoginFocus::None);
    try {
        // Blanks around the typed number are removed everywhere, so the
        // workstation look-up finds the same worker the password check found;
        // so are NULs, which no statement carries: the number kept is the
        // worker's own.
        const QString wkrNo = oradb::sqltext::sendableText(user).trimmed().toUpper();

        // The four reads of the check travel together.
        const QString workerSQL =
            QStringLiteral("SELECT password, wkr_flag, code2,wkr_email, wkr_tele FROM LIB_WORKER WHERE wkr_no=")
            + strSQLQuote(wkrNo);
        const QString compsSQL =
            QStringLiteral(" SELECT loca_comp_lst.comp_name, loca_comp_lst.location FROM USER_COMP_LST,LOCA_COMP_LST ")
            + QStringLiteral(" WHERE user_comp_lst.wkr_no=") + strSQLQuote(wkrNo)
            + QStringLiteral(" AND user_comp_lst.comp_name=loca_comp_lst.comp_name");
        const QString rightsSQL = QStringLiteral("SELECT user_auth_lst.modu_code") + QStringLiteral(" FROM user_auth_lst")
                                  + QStringLiteral(" WHERE user_auth_lst.wkr_no = ") + strSQLQuote(wkrNo);
        const QString locationsSQL =
            QStringLiteral("SELECT location FROM user_location WHERE wkr_no = ") + strSQLQuote(wkrNo);
        LIB_DB_ReadAhead ahead({workerSQL, compsSQL, rightsSQL, locationsSQL});

        DBResultSet worker;
        if (!blnSelectShown(workerSQL, worker))
            return -1;
        if (worker.rowCount() < 1) {
            intShowMsg(QStringLiteral("ECM500"));
            setFocus(focus, LoginFocus::User);
            return -1;
        }
        if (worker.text(0, 1) == QLatin1String("0")) {
            intShowMsg(QStringLiteral("ECM501"));
            setFocus(focus, LoginFocus::User);
            return -1;
        }
        const QString stored = worker.text(0, 0);
        // A NUL typed or scanned into the password is no part of it: no
        // statement can carry one, so the stored password never holds it.
        if (stored.toUpper() != oradb::sqltext::sendableText(pwd).toUpper()) {
            intShowMsg(QStringLiteral("ECM502"));
            setFocus(focus, LoginFocus::Password);
            return -1;
        }
        DBResultSet comps;
        if (!blnSelectShown(compsSQL, comps))
            return -1;

        const QString computer = strGetComputerName();
        int matched = -1;
        for (int i = 0; i < comps.rowCount(); ++i) {
            if (comps.text(i, 0).toUpper() == computer.toUpper()) {
                matched = i;
                break;
            }
        }
        if (matched < 0 && (wkrNo != kSuperUser || !superUserExempt)) {
            intShowMsg(QStringLiteral("ECM503"));
            setFocus(focus, LoginFocus::User);
            return -1;
        }
        const QString location = matched >= 0 ? comps.text(matched, 1) : QString();

        DBResultSet rights;
        if (!blnSelectShown(rightsSQL, rights))
            return -1;

        DBResultSet locations;
        if (!blnSelectShown(locationsSQL, locations))
            return -1;

        // The log-in state changes only as a whole: a refused attempt (say a
        // repeated log-in at a computer the other worker may not use) never
        // leaves one worker's number with another worker's rights.
        g_strWkrNo = wkrNo;
        g_strWkrPwd = stored;
        g_strComputer = computer;
        g_strLocation = location;
        g_varAuthList = rights;
        return 0;
    } catch (const std::exception& e) {
        subShowRunError(QString::fromLocal8Bit(e.what()));
        return -1;
    }
}

LoginOutcome intFirstLoginSteps(const StatusFn& status)
{
    try {
        if (!blnCheckAuth(QStringLiteral("4025"), true))
            return LoginOutcome::Refused;

        // The desk check, the code tables, the desk's locations and the
        // cataloguing parameters travel together.
        const QString deskSQL = QStringLiteral(" SELECT loca_comp_lst.comp_name FROM loca_comp_lst,location_sort ")
                                + QStringLiteral("  WHERE loca_comp_lst.comp_name= ") + strSQLQuote(g_strComputer.toUpper())
                                + QStringLiteral("    AND location_sort.oper_type= ") + strSQLQuote(QStringLiteral("3"))
                                + QStringLiteral("    AND loca_comp_lst.location=location_sort.location ");
        LIB_DB_ReadAhead ahead(QStringList{deskSQL} + strBaseCodeSQLs() + QStringList{strDeskLocationSQL(3)}
                               + strMarcIdxSQLs());

        DBResultSet desk;
        g_strSQL = deskSQL;
        g_intSQLRet = LIB_DB_Select(g_strSQL, desk);
        if (g_intSQLRet < 0) {
            intShowDBError();
            intShowMsg(QStringLiteral("ILT003"));
            return LoginOutcome::Refused;
        }
        if (g_strWkrNo != kSuperUser && desk.rowCount() < 1) {
            intShowMsg(QStringLiteral("ILT003"));
            return LoginOutcome::ExitProgram;
        }

        say(status, QStringLiteral("用户成功登录，初始化代码数据..."));
        const QString initFailed = QStringLiteral("系统初始化出错，启动失败！");
        if (intLoadBaseCode() < 0) {
            intShowMsg(initFailed);
            return LoginOutcome::ExitProgram;
        }
        intLoadDeskLocation(3);
        if (intInitMarcIdx() < 0) {
            intShowMsg(initFailed);
            return LoginOutcome::ExitProgram;
        }
        intLoadBookIni();
        intLoadRedrIni();
        // The saved card-reading rule, so the desk reads cards as configured
        // from the first reader on.
        subLoadBarReadRule();
        subLoadEmailOption();
        return LoginOutcome::Passed;
    } catch (const std::exception& e) {
        subShowRunError(QString::fromLocal8Bit(e.what()));
        return LoginOutcome::ExitProgram;
    }
}

int intLoadLocaProperty()
{
    DBResultSet group;
    if (!blnSelectShown(QStringLiteral("SELECT location_property FROM location_lst WHERE location=")
                            + strSQLQuote(varGetSysInfo(3)),
                        group))
        return -1;
    g_varLocaProperty = group.rowCount() > 0 ? QVariant(group.text(0, 0)) : QVariant(QString());
    return 0;
}

LoginOutcome intLoginAction(const QString& user, const QString& pwd, bool reLogin, const StatusFn& status,
                            LoginFocus* focus)
{
    say(status, QStringLiteral("正在登录..."));
    g_blnDlgOk = false;
    if (blnCheckWorker(user, pwd, focus) != 0)
        return LoginOutcome::Refused;
    g_blnDlgOk = true;
    if (reLogin)
        return LoginOutcome::Passed;
    return intFirstLoginSteps(status);
}

int intCheckPasswordChange(const QString& user, const QString& pwd, LoginFocus* focus)
{
    if (user.isEmpty() && pwd.isEmpty()) {
        ui::BoxRequest box;
        box.icon = ui::BoxIcon::Warning;
        box.buttons = ui::BoxButtons::Ok;
        box.title = QStringLiteral("提示");
        box.text = QStringLiteral("请输入正确的名称以及口令！");
        ui::DialogService::current().showBox(box);
        setFocus(focus, LoginFocus::None);
        return -1;
    }
    return blnCheckWorker(user, pwd, focus);
}

bool blnSaveNewPassword(const QString& user, const QString& newPwd, const QString& confirm)
{
    if (newPwd != confirm) {
        intShowMsg(QStringLiteral("ECM510"));
        return false;
    }
    // Stored as the statement carries it (without NULs): a text of NULs alone
    // is no password either.
    const QString stored = oradb::sqltext::sendableText(newPwd).trimmed().toUpper();
    if (stored.isEmpty()) {
        // An empty password would let anyone who knows the number log in.
        intShowMsg(QStringLiteral("E新口令不能为空，请重新输入！"));
        return false;
    }
    g_strSQL = QStringLiteral(" UPDATE lib_worker SET password=") + strSQLQuote(stored) + QStringLiteral(" WHERE wkr_no=")
               + strSQLQuote(user.trimmed().toUpper());
    if (LIB_DB_BeginTrans() < 0) {
        intShowDBError();
        return false;
    }
    const long changed = ExecuteSQL(g_strSQL);
    g_intSQLRet = changed < 0 ? -1 : 0;
    if (changed < 0) {
        LIB_DB_Rollback();
        intShowDBError();
        return false;
    }
    if (changed == 0) {
        // The worker's row went away after the check (removed at another
        // computer): nothing was stored, and the worker is told so.
        LIB_DB_Rollback();
        intShowMsg(QStringLiteral("E该工作人员已不存在，新口令没有保存！"));
        return false;
    }
    if (LIB_DB_CommitTrans() < 0) {
        LIB_DB_Rollback();
        intShowDBError();
        return false;
    }
    intShowMsg(QStringLiteral("I成功修改登录口令！"));
    return true;
}
