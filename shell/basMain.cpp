#include "shell/basMain.h"

#include "common/basAuth.h"
#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basEnv.h"
#include "common/basMarc.h"
#include "common/basMsg.h"
#include "reader/basLTMore.h"
#include "shell/basForms.h"
#include "shell/basShellIni.h"
#include "shell/frmCircLogo.h"

#include <QApplication>
#include <exception>

namespace {
std::function<void()> g_endProgram;
}

void setEndProgramHandler(std::function<void()> handler)
{
    g_endProgram = std::move(handler);
}

void subEndProgram()
{
    if (g_endProgram) {
        g_endProgram();
        return;
    }
    subExitSystem();
}

int intStartUp(const StatusFn& status)
{
    auto say = [&](const QString& text) {
        if (status)
            status(text);
    };
    say(QStringLiteral("取系统环境变量..."));
    if (intInitEnvironment() < 0) {
        intShowMsg(QStringLiteral("系统环境出错，启动失败！"));
        return -1;
    }
    // The start-up's reads travel together, sent with the connect's first.
    LIB_DB_ReadAhead ahead(strMarcSchemaProbeSQLs() + strBaseDataSQLs() + strItemListSQLs());
    say(QStringLiteral("连接数据库..."));
    if (LIB_DB_Connect() < 0) {
        intShowDBError();
        return -1;
    }
    say(QStringLiteral("初始化系统使用的基本数据..."));
    if (intInitBaseData() < 0) {
        intShowMsg(QStringLiteral("系统初始化出错，启动失败！"));
        return -1;
    }
    if (intLoadItemList() < 0)
        return -1;
    return 0;
}

frmCircLogo* Main()
{
    frmCircLogo* logo = nullptr;
    shell::subRegisterForm(nullptr); // windows are listed from the first one on
    try {
        logo = frmCircLogo::create();
        logo->show();
        logo->setCursor(Qt::WaitCursor);
        QApplication::processEvents();

        const int rc = intStartUp([logo](const QString& text) { logo->subShowStatus(text); });
        if (rc < 0) {
            subEndProgram();
            return nullptr;
        }
        logo->subShowStatus(QStringLiteral("用户登录"));
        logo->subSetLogoMode(QStringLiteral("登录"));
        logo->unsetCursor();
        return logo;
    } catch (const std::exception& e) {
        subShowRunError(QString::fromLocal8Bit(e.what()));
        subCloseWaitMsg();
        subEndProgram();
        return nullptr;
    }
}
