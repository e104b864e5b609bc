#pragma once
// A desk at the branch's circulation desk D2 (location group 05), worker 0001,
// with the code caches and messages loaded from the test database.

#include "common/LoginState.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basMarcIdx.h"
#include "common/basMsg.h"
#include "desk/ConsignDesk.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestDatabase.h"

class DeskTest : public testsupport::DatabaseTest {
protected:
    void SetUp() override
    {
        testsupport::DatabaseTest::SetUp();
        ASSERT_EQ(intInitBaseData(), 0);
        ASSERT_EQ(intLoadBaseCode(), 0);
        ASSERT_EQ(intInitMarcIdx(), 0);
        g_strWkrNo = QStringLiteral("0001");
        g_strLocation = QStringLiteral("D2");
        g_varLocaProperty = QStringLiteral("05");
        g_strCertID.clear();
        g_dblExceedFine = 0.0;
    }

    // A fresh copy of the demo database, with the caches read from it again (a
    // test before may have changed the rows they were read from).
    void freshDatabase()
    {
        db().recreate();
        ASSERT_EQ(intInitBaseData(), 0);
        ASSERT_EQ(intLoadBaseCode(), 0);
    }

    // The text a message code shows, with its words.
    static QString msg(const QString& code, const QString& words = QString()) { return strGetMsg(code + words); }
    QString shown() const { return dialogs.lastText(); }
    QString today() { return db().scalar(QStringLiteral("select to_char(desk_now(), 'YYYY-MM-DD')")); }
    QString dayOffset(int days)
    {
        return db().scalar(QStringLiteral("select to_char(desk_now()::date + %1, 'YYYY-MM-DD')").arg(days));
    }
    // Waiting queue of a title at a location as "cert:no" in queue order.
    QStringList queue(const QString& callNo, const QString& loc)
    {
        return db().column(QStringLiteral("select cert_id || ':' || relegate_no from relegate_lst where call_no = '%1' "
                                          "and location = '%2' and relegate_flag = '0' order by relegate_no")
                               .arg(callNo, loc));
    }
};
