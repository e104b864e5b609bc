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

    // Three requesters who fail the requester check (DR03, DR04, DR05) queued
    // for TP311.12/W23 at A1 behind DR09, who fails it too, and before DR15.
    void queueUnfitBeforeDR15() {
        db().exec(
            "update relegate_lst set relegate_no = 5 where cert_id = 'DR15' and call_no = 'TP311.12/W23' "
            "and location = 'A1' and relegate_flag = '0'; "
            "insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
            "relegate_keep_days, relegate_end_date, relegate_location, wkr_no, relegate_flag) "
            "select c, 'TP311.12/W23', 'A1', n, '2026-01-01', 7, '2099-01-01', 'D2', '0001', '0' "
            "from (values ('DR03', 2), ('DR04', 3), ('DR05', 4)) v(c, n)");
    }

    desk::ConsignDesk desk;
    desk::DeskLending lending{desk};
    QString day;
    std::optional<QString> attachmentAnswer;
    QString attachmentAsked;
    int fineWindows = 0;
};
