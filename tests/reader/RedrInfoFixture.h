#pragma once
// The reader information demo: 孙页面 (DZ0020) and the readers around it, with
// the server clock pinned to the day the demo was made for (card 88000020 was
// issued 100 days before it), so the marks that depend on today are stable.

#include "common/basCodeFunc.h"
#include "common/basMarcIdx.h"
#include "reader/basRedrPages.h"
#include "tests/support/TestDatabase.h"

#include <QDate>
#include <gtest/gtest.h>

inline QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class RedrInfoTest : public testsupport::DatabaseTest {
protected:
    void SetUp() override {
        DatabaseTest::SetUp();
        if (HasFatalFailure()) return;
        today_ = QDate::fromString(
                     db().scalar("select oper_date from reader_cert where redr_cert_id = '88000020'"),
                     QStringLiteral("yyyy-MM-dd"))
                     .addDays(100);
        ASSERT_TRUE(today_.isValid());
        db().pinClock(day(0) + QStringLiteral(" 12:00:00"));
        ASSERT_EQ(intLoadBaseCode(), 0);
        ASSERT_EQ(intInitMarcIdx(), 0);
    }

    // The demo's today moved by `offset` days, "yyyy-mm-dd".
    QString day(int offset) const { return today_.addDays(offset).toString(QStringLiteral("yyyy-MM-dd")); }

    RedrHistRange yearRange(int byReturn = 0) const { return RedrHistRange{day(-365), day(0), byReturn}; }

    RedrPage load(const char* key, const QString& certId = QStringLiteral("DZ0020")) {
        RedrPage page;
        EXPECT_EQ(intLoadRedrPage(QString::fromLatin1(key), certId, yearRange(), &page), 0);
        return page;
    }

    // Index of the first row whose column `col` holds `text`; -1 when none.
    static int rowOf(const RedrPage& page, int col, const QString& text) {
        for (int r = 0; r < page.rows.size(); ++r)
            if (page.cell(r, col) == text) return r;
        return -1;
    }

    QDate today_;
};
