#pragma once
// Shared set-up of the shell tests: a connected common library on the demo
// library, a private settings store, this workstation's name, and an end of
// the program that is recorded instead of ending the test process.

#include "common/DBResultSet.h"
#include "common/LoginState.h"
#include "common/basAuth.h"
#include "common/basMsg.h"
#include "shell/ShellServices.h"
#include "shell/basMain.h"
#include "shell/frmMain.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/Windows.h"

#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>

class ShellTest : public testsupport::DatabaseTest {
protected:
    static void SetUpTestSuite()
    {
        static QTemporaryDir settings;
        qputenv("CONSIGN_SETTINGS_DIR", settings.path().toUtf8());
    }

    void SetUp() override
    {
        DatabaseTest::SetUp();
        setComputer("DESK01");
        ends = 0;
        setEndProgramHandler([this] { ++ends; });
        shell::Services::reset();
        g_strWkrNo.clear();
        g_strWkrPwd.clear();
        g_strLocation.clear();
        g_strComputer.clear();
        g_varAuthList = DBResultSet();
    }

    void TearDown() override
    {
        delete frmMain::instance();
        testsupport::deleteTopLevelWindows();
        setEndProgramHandler({});
        shell::Services::reset();
        DatabaseTest::TearDown();
    }

    static void setComputer(const char* name) { qputenv("CONSIGN_COMPUTER", name); }

    static QString msg(const char* code) { return strGetMsg(QString::fromLatin1(code)); }

    int ends = 0;
};
