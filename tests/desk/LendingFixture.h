#pragma once
// The desk's lend and return modes at the branch desk D2, on a fresh copy of
// the demo library with the server clock pinned at 10:00 today.

#include "DeskFixture.h"
#include "desk/DeskLending.h"

#include <QDate>

class LendingTest : public DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        db().recreate();
        ASSERT_EQ(intLoadDeskLocation(3), 0);
        day = today();
        db().pinClock(day + " 10:00:00");
        lending.showAttachment = [this](desk::LendingWindow& w) {
            attachmentAsked = w.strAttachment();
            if (attachmentAnswer) w.setStrAttachment(*attachmentAnswer);
        };
        desk.showFineWindow = [this] { ++fineWindows; };
    }
    void atDesk(const QString& location, const QString& group) {
        g_strLocation = location;
        g_varLocaProperty = group;
    }
    QString dayPlus(int days) const {
        return QDate::fromString(day, "yyyy-MM-dd").addDays(days).toString("yyyy-MM-dd");
    }
    QString flagOf(const QString& propNo) {
        return db().scalar("select book_lend_flag from item where prop_no = '" + propNo + "'");
    }
    // State of a copy's found-copy rows as "cert:flag", oldest first.
    QStringList foundRows(const QString& propNo) {
        return db().column(
            "select cert_id || ':' || relegate_end_flag from relegate_arri_lst where prop_no = '" + propNo +
            "' order by relegate_arri_date, relegate_end_flag");
    }
    QString workload(const QString& job) {
        return db().scalar("select coalesce(sum(volume), 0) from wkr_job_qty where job_type = '" + job + "'");
    }
    // The bar code's loan as "cert|due", or "" when none.
    QString loanOf(const QString& propNo) {
        return db().scalar("select cert_id || '|' || norm_ret_date from lend_lst where prop_no = '" + propNo +
                           "'");
    }

    desk::ConsignDesk desk;
    desk::DeskLending lending{desk};
    QString day;
    std::optional<QString> attachmentAnswer;
    QString attachmentAsked;
    int fineWindows = 0;
};
