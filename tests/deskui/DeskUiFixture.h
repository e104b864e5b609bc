#pragma once
// The desk window at the branch's circulation desk D2 (location group 05),
// worker 0001 with the desk rights, over the demo library of the test database.

#include "common/DBResultSet.h"
#include "common/LoginState.h"
#include "common/basAuth.h"
#include "common/basDB.h"
#include "desk/frmConsign.h"
#include "desk/frmFindList.h"
#include "desk/frmReleKeepDay.h"
#include "platform/ui/CodeBox.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/Grid.h"
#include "platform/ui/NumberBox.h"
#include "reader/ReaderContext.h"
#include "tests/desk/DeskFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class DeskUiTest : public DeskTest {
protected:
    void SetUp() override
    {
        qputenv("CONSIGN_SETTINGS_DIR", settings.path().toUtf8());
        DeskTest::SetUp();
        if (HasFatalFailure())
            return;
        logIn(QStringLiteral("0001"));
        // Keep days: five, confirmed; every other dialog closed with its button.
        dialogs.dialogHandler = [this](QDialog* d) {
            opened << d->objectName();
            if (auto* k = qobject_cast<frmReleKeepDay*>(d)) {
                k->txtKeepDay->setText(keepDays);
                k->cmdOk->click();
                return k->result();
            }
            if (onDialog)
                return onDialog(d);
            return 1;
        };
    }
    void TearDown() override
    {
        delete form.data();
        DeskTest::TearDown();
    }

    void logIn(const QString& worker)
    {
        g_strWkrNo = worker;
        ASSERT_EQ(LIB_DB_Select("SELECT modu_code FROM user_auth_lst WHERE wkr_no = " + strSQLQuote(worker),
                                g_varAuthList),
                  0);
    }

    // A desk as the main window opens it: shown, then "Apply".
    frmConsign* openDesk()
    {
        form = new frmConsign;
        form->show();
        form->tbConsign_ButtonClick(QStringLiteral("Apply"));
        return form;
    }

    // Types into a box and presses Enter, as a worker or a scanner does.
    static void type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        bool latin = true;
        for (const QChar c : text)
            latin = latin && c.unicode() < 128;
        if (latin)
            QTest::keyClicks(box, text);
        else
            box->setText(text); // typed through an input method
        QTest::keyClick(box, Qt::Key_Return);
    }

    static QPushButton* button(ui::SpreadGrid* g, int col, int row)
    {
        return qobject_cast<QPushButton*>(g->cellWidgetAt(col, row));
    }

    QTemporaryDir settings;
    QPointer<frmConsign> form;
    QString keepDays = QStringLiteral("5");
    QStringList opened; // object names of the modal dialogs, in order
    std::function<int(QDialog*)> onDialog;
};
