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
#include <QFileDialog>
#include <QPointer>

using namespace extend;

class HostTest : public AddinTest {
protected:
    void SetUp() override {
        AddinTest::SetUp();
        qputenv("CONSIGN_COMPUTER", "DESK01");
        setEndProgramHandler([] {});
        shell::Services::reset();
        shell::Services::install(&extendService());
        ASSERT_EQ(blnCheckWorker(QStringLiteral("0001"), QStringLiteral("ABC")), 0);
    }
    void TearDown() override {
        delete frmMain::instance();
        testsupport::deleteTopLevelWindows();
        setEndProgramHandler({});
        shell::Services::reset();
        AddinTest::TearDown();
    }

    static QStringList keys(const ui::CommandMenu* menu) {
        QStringList out;
        for (const ui::CommandItem* it : menu->items())
            out << it->key();
        return out;
    }
    static cAddinsCollection* collection() { return static_cast<cAddinsCollection*>(g_objAddins); }
    // Installs `package` through a manager's Install button: the file dialog
    // chooses it and the question is answered OK.
    void installThrough(ui::CommandBar* bar, const QString& package) {
        dialogs.dialogHandler = [package](QDialog* d) {
            auto* fd = qobject_cast<QFileDialog*>(d);
            if (!fd) return 0;
            fd->selectFile(package);
            return 1;
        };
        dialogs.answers = {ui::BoxAnswer::Ok};
        ASSERT_TRUE(bar->clickItem(QStringLiteral("Install")));
    }
    void closeMain(frmMain* w) {
        dialogs.answers = {ui::BoxAnswer::Ok};
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};
