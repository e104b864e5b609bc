#pragma once
// A write action meeting a row another desk holds: it waits within the lock
// time-out, then says "该记录已经被锁定!", writes nothing, leaves no
// transaction open, and the same desk does it once the row is free.

#include "common/basDB.h"
#include "tests/support/LostConnection.h"

namespace testsupport {

// `lockSql` locks, in a transaction of another desk, a row the action needs.
inline void checkLockWait(TestDatabase& db, ui::ScriptedDialogService& dialogs, const WriteAction& a,
                          const std::function<void()>& fresh, const QString& lockSql) {
    fresh();
    a.prepare();
    const QString before = recordsDigest(db);
    RawConnection other;
    QString error;
    ASSERT_TRUE(other.exec("begin; " + lockSql, &error))
        << a.name.toStdString() << ": " << error.toStdString();
    ASSERT_EQ(LIB_DB_Execute(QStringLiteral("set lock_timeout = '300ms'")), 0);
    answerOk(dialogs);
    EXPECT_NE(a.act(), 0) << a.name.toStdString();
    EXPECT_TRUE(boxTexts(dialogs).contains(QStringLiteral("该记录已经被锁定!")))
        << a.name.toStdString() << ": " << boxTexts(dialogs).join('|').toStdString();
    EXPECT_FALSE(LIB_DB_InTrans()) << a.name.toStdString();
    EXPECT_EQ(recordsDigest(db), before) << a.name.toStdString() << ": written while locked out";

    ASSERT_TRUE(other.exec(QStringLiteral("rollback"), &error)) << error.toStdString();
    answerOk(dialogs);
    const auto retry = a.retry ? a.retry : a.act;
    EXPECT_EQ(retry(), 0) << a.name.toStdString()
                          << " once the row is free: " << boxTexts(dialogs).join('|').toStdString();
    LIB_DB_Execute(QStringLiteral("reset lock_timeout"));
}

} // namespace testsupport
