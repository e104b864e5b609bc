#pragma once
// The add-in tests that run the main window: a worker logged in at DESK01 and
// the add-in service installed.

#include "tests/extend/AddinFixture.h"

#include "common/LoginState.h"
#include "extend/ExtendService.h"
#include "extend/cAddinsCollection.h"
#include "shell/ShellServices.h"
#include "shell/basLogin.h"
#include "shell/basMain.h"
#include "shell/frmMain.h"
#include "tests/support/Windows.h"

#include <QApplication>
#include <QPointer>

using namespace extend;

class HostTest : public AddinTest {
protected:
    void SetUp() override
    {
        AddinTest::SetUp();
        qputenv("CONSIGN_COMPUTER", "DESK01");
        setEndProgramHandler([] {});
        shell::Services::reset();
        shell::Services::install(&extendService());
        ASSERT_EQ(blnCheckWorker(QStringLiteral("0001"), QStringLiteral("ABC")), 0);
    }
    void TearDown() override
    {
        delete frmMain::instance();
        testsupport::deleteTopLevelWindows();
        setEndProgramHandler({});
        shell::Services::reset();
        AddinTest::TearDown();
    }

    static QStringList keys(const ui::CommandMenu* menu)
    {
        QStringList out;
        for (const ui::CommandItem* it : menu->items())
            out << it->key();
        return out;
    }
    static cAddinsCollection* collection() { return static_cast<cAddinsCollection*>(g_objAddins); }
    void closeMain(frmMain* w)
    {
        dialogs.answers = {ui::BoxAnswer::Ok};
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

