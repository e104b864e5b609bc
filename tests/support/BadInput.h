#pragma once
// Bad input through an entry a worker types or scans into: quotes,
// backslashes, LIKE wildcards, very long texts, characters outside GBK, NUL,
// empty and blank texts. Each gets the entry's ordinary answer: no database
// error, nothing written, no transaction left open.

#include "common/basDB.h"
#include "tests/support/LostConnection.h"

namespace testsupport {

inline QStringList badTexts() {
    return {QStringLiteral("'"),
            QStringLiteral("O'Neil'; delete from item; --"),
            QStringLiteral("\\"),
            QStringLiteral("B50\\'0001"),
            QStringLiteral("%"),
            QStringLiteral("_"),
            QStringLiteral("B5%_%"),
            QString(10000, QLatin1Char('A')),
            QString(10000, QChar(0x4E2D)),
            QString::fromUtf8("\xF0\x9F\x98\x80"), // outside GBK
            QString::fromUtf8("\xE0\xB8\x81\xE0\xB8\x82"),
            QString(QChar(0)),
            QStringLiteral("DC01") + QChar(0) + QStringLiteral("'"),
            QString(),
            QStringLiteral("   "),
            QStringLiteral("\t")};
}

// For `noInput` below: only the empty text is no input; a text of NULs alone
// gets the entry's ordinary answer too.
inline bool onlyTheEmptyText(const QString& text) {
    return text.isEmpty();
}

// Every bad text through `enter`: no success, every box shown is one of
// `ordinary`, and the records are as they were. A text `noInput` tells is no
// input at all (by default the empty text) may also pass silently: do nothing,
// or, where an empty entry means "any", find everything.
inline void expectOrdinaryAnswers(TestDatabase& db, ui::ScriptedDialogService& dialogs, const char* entry,
                                  const std::function<int(const QString&)>& enter,
                                  const QStringList& ordinary,
                                  const std::function<bool(const QString&)>& noInput = {}) {
    const QString before = recordsDigest(db);
    for (const QString& text : badTexts()) {
        SCOPED_TRACE(std::string(entry) + " " + text.left(20).toUtf8().toHex().toStdString());
        dialogs.clear();
        const int result = enter(text);
        const bool empty = noInput ? noInput(text) : QString(text).remove(QChar(0)).isEmpty();
        if (!(empty && result == 0 && dialogs.shown.isEmpty())) {
            EXPECT_NE(result, 0);
        }
        for (const QString& box : boxTexts(dialogs))
            EXPECT_TRUE(ordinary.contains(box)) << box.toStdString();
        EXPECT_EQ(g_intErrKind, 0);
        EXPECT_FALSE(LIB_DB_InTrans());
    }
    EXPECT_EQ(recordsDigest(db), before) << entry;
}

// The circulation rules a bad text added, beside those there were when it
// was made; forget() deletes them again.
class NewRules {
public:
    explicit NewRules(TestDatabase& db) : db_(db) {
        db_.exec("create table rules_before as select rule_no from circ_rule");
    }
    ~NewRules() { db_.exec("drop table rules_before"); }
    QStringList added() {
        return db_.column("select rule_no from circ_rule except select rule_no from rules_before");
    }
    void forget() { db_.exec("delete from circ_rule where rule_no not in (select rule_no from rules_before)"); }

private:
    TestDatabase& db_;
};

} // namespace testsupport
