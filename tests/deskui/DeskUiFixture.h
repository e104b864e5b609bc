#pragma once
// The desk window at the branch's circulation desk D2 (location group 05),
// worker 0001 with the desk rights, over the demo library of the test database.

#include "common/DBResultSet.h"
#include "common/LoginState.h"
#include "common/basAuth.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basMarcIdx.h"
#include "common/basMsg.h"
#include "desk/frmConsign.h"
#include "desk/frmFindList.h"
#include "desk/frmReleKeepDay.h"
#include "platform/ui/CodeBox.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/Grid.h"
#include "platform/ui/NumberBox.h"
#include "reader/ReaderContext.h"
#include "tests/support/TestDatabase.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <ostream>

inline std::ostream& operator<<(std::ostream& os, const QString& s) { return os << s.toStdString(); }
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class DeskUiTest : public testsupport::DatabaseTest {
protected:
    void SetUp() override
    {
        testsupport::DatabaseTest::SetUp();
        qputenv("CONSIGN_SETTINGS_DIR", settings.path().toUtf8());
        ASSERT_EQ(intInitBaseData(), 0);
        ASSERT_EQ(intLoadBaseCode(), 0);
        ASSERT_EQ(intInitMarcIdx(), 0);
        logIn(QStringLiteral("0001"));
        g_strLocation = QStringLiteral("D2");
        g_varLocaProperty = QStringLiteral("05");
        g_strCertID.clear();
        g_dblExceedFine = 0.0;
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
        testsupport::DatabaseTest::TearDown();
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

    QStringList shownTexts() const
    {
        QStringList l;
        for (const auto& b : dialogs.shown)
            l << b.text;
        return l;
    }
    static QString msg(const QString& code, const QString& words = QString()) { return strGetMsg(code + words); }
    QString dayOffset(int days)
    {
        return db().scalar(QStringLiteral("select to_char(desk_now()::date + %1, 'YYYY-MM-DD')").arg(days));
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
