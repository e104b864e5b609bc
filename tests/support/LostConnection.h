#pragma once
// A write action with the connection lost at every statement: for each k the
// server session ends just before the action's k-th statement (COMMIT
// included), and once the answer of its COMMIT is lost after the server
// committed. Each time the action must report a failure and offer to
// reconnect (the scripted worker agrees), nothing of it may be committed when
// the session ended before its COMMIT, a retry after the reconnect must bring
// the records to what one clean run leaves, never further, and the invariants
// must hold. An action of several transactions (the find desk's scan: the
// requesters' check, then the lending) keeps what it committed before the
// session ended; there the check asks for the invariants and a reconnect
// only. An action marked as one transaction must send a single COMMIT, so
// that every k is checked in full.
//
//   testsupport::WriteAction a{"lend", [&] { prepare... }, [&] { return lending.subLendBook("B1"); }};
//   testsupport::checkEveryStatementLost(*this, dialogs, a, [&] { fresh database... });

#include "common/basDB.h"
#include "platform/oradb/Database.h"
#include "platform/oradb/FaultHook.h"
#include "tests/support/TestDatabase.h"

#include <functional>

namespace testsupport {

struct WriteAction {
    QString name;
    std::function<void()> prepare; // on a fresh database: the state the action starts from
    std::function<int()> act;      // 0 done, anything else a failure or a refusal
    // A second attempt after a failure, when it differs from act (e.g. the
    // reader loaded again first).
    std::function<int()> retry = {};
    // Everything the action writes is committed at once.
    bool oneTransaction = false;
};

// Circulation and money records, each table's rows in a fixed order without
// their generated ids (a rolled-back insert uses up a number).
inline QString recordsDigest(TestDatabase& db) {
    static const char* const tables[] = {
        "item",       "lend_lst",    "lend_hist",       "relegate_lst",    "relegate_arri_lst",
        "reader",     "reader_cert", "reader_volt_lst", "exceed_fine_lst", "deposit_account_lst",
        "wkr_job_qty"};
    QStringList parts;
    for (const char* t : tables)
        parts << QStringLiteral("(select coalesce(md5(string_agg((to_jsonb(t) - 'id')::text, '|' order by "
                                "(to_jsonb(t) - 'id')::text)), '') from %1 t)")
                     .arg(QLatin1String(t));
    return db.scalar(QStringLiteral("select ") + parts.join(QStringLiteral(" || ',' || ")));
}

// Clears the boxes shown and answers OK to the next questions.
inline void answerOk(ui::ScriptedDialogService& dialogs)
{
    dialogs.clear();
    for (int i = 0; i < 20; ++i)
        dialogs.answers << ui::BoxAnswer::Ok;
}

inline QStringList boxTexts(const ui::ScriptedDialogService& dialogs) {
    QStringList texts;
    for (const ui::BoxRequest& b : dialogs.shown)
        texts << b.text;
    return texts;
}

inline void checkEveryStatementLost(TestDatabase& db, ui::ScriptedDialogService& dialogs,
                                    const WriteAction& a, const std::function<void()>& fresh) {
    const QString offer = QStringLiteral("网络非正常中断，重新连接数据库？");
    const QString reconnected = QStringLiteral("数据库连接成功！");
    auto start = [&] {
        fresh();
        a.prepare();
        answerOk(dialogs);
    };
    const auto retry = a.retry ? a.retry : a.act;

    // One clean run: what it leaves, and how many statements it sends.
    start();
    const QString before = recordsDigest(db);
    const QStringList soundBefore = db.invariantViolations();
    oradb::faults::endSessionBeforeStatement(0);
    ASSERT_EQ(a.act(), 0) << a.name.toStdString() << ": " << boxTexts(dialogs).join('|').toStdString();
    const int statements = oradb::faults::statementCount();
    const int firstCommit = oradb::faults::firstCommitStatement();
    const int commitAt = oradb::faults::lastCommitStatement();
    ASSERT_GT(commitAt, 0) << a.name.toStdString() << " commits nothing";
    if (a.oneTransaction) {
        ASSERT_EQ(firstCommit, commitAt) << a.name.toStdString() << " commits in steps";
    }
    const QString after = recordsDigest(db);
    ASSERT_NE(after, before) << a.name.toStdString() << " writes nothing";

    // k = statements + 1 is the lost answer of the COMMIT.
    for (int k = 1; k <= statements + 1; ++k) {
        const bool lostAnswer = k > statements;
        const std::string where =
            a.name.toStdString() +
            (lostAnswer ? ", answer of COMMIT lost"
                        : ", statement " + std::to_string(k) + " of " + std::to_string(statements));
        start();
        ASSERT_EQ(recordsDigest(db), before) << where;
        if (lostAnswer)
            oradb::faults::loseNextCommitAnswer();
        else
            oradb::faults::endSessionBeforeStatement(k);
        const int result = a.act();
        oradb::faults::clear();
        const QStringList shown = boxTexts(dialogs);
        const QString now = recordsDigest(db);
        if (k <= firstCommit || lostAnswer) {
            EXPECT_NE(result, 0) << where << " reported success";
            EXPECT_TRUE(shown.contains(offer) && shown.contains(reconnected))
                << where << ": " << shown.join('|').toStdString();
            ASSERT_TRUE(LIB_DB_Database() && LIB_DB_Database()->IsConnected())
                << where << ": not reconnected";
        }
        // The session ended before the first COMMIT, or after the last one
        // went through (a lost answer: the first COMMIT carried out).
        const bool none = k <= firstCommit && !lostAnswer;
        const bool all = (k > commitAt && !lostAnswer) || (lostAnswer && firstCommit == commitAt);
        if (none) {
            EXPECT_EQ(now, before) << where << ": something was committed";
        } else if (all) {
            EXPECT_EQ(now, after) << where << ": the commit is not all there";
        }
        EXPECT_EQ(db.invariantViolations(), soundBefore) << where;

        // Again after the reconnect: done exactly once.
        answerOk(dialogs);
        const int again = retry();
        if (now == before) {
            EXPECT_EQ(again, 0) << where
                                << ": the retry failed: " << boxTexts(dialogs).join('|').toStdString();
        }
        if (none || all) {
            EXPECT_EQ(recordsDigest(db), after) << where << ": the retry did not end where one run ends";
        }
        EXPECT_EQ(db.invariantViolations(), soundBefore) << where << " after the retry";
    }
}

} // namespace testsupport
