#pragma once
// The management windows' logic on the demo library: worker 0001 at the
// branch desk D2, a fresh database for every test, and helpers that place
// requests and found copies of the test's own.

#include "tests/desk/DeskFixture.h"

#include <QFile>

class ManageTest : public DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        freshDatabase();
        captureInvariants();
    }

    // A waiting request placed `ago` days before today with `days` keep days.
    void addRequest(const QString& certId, const QString& callNo, const QString& loc, int no, int ago = 1,
                    int days = 7) {
        db().exec(QStringLiteral(
                      "insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
                      "relegate_keep_days, relegate_end_date, relegate_location, wkr_no, relegate_flag) "
                      "select '%1', '%2', '%3', %4, to_char(d - %5, 'YYYY-MM-DD'), %6, "
                      "to_char(d - %5 + %6, 'YYYY-MM-DD'), 'D2', '0001', '0' "
                      "from (select desk_now()::date as d) t")
                      .arg(certId, callNo, loc)
                      .arg(no)
                      .arg(ago)
                      .arg(days));
    }

    // A copy found for a reader `ago` days ago, kept `days` days, end flag
    // `flag`, picked up at `pickUp`: the loan to the consignment with it.
    void addFound(const QString& certId, const QString& propNo, int ago, int days, const QString& flag = "1",
                  const QString& pickUp = "D2") {
        db().exec(
            QStringLiteral(
                "insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, "
                "location_f, resp_wkr) select '%1', '%2', to_char(desk_now(), 'YYYY-MM-DD HH24:MI:SS'), "
                "to_char(desk_now()::date + 30, 'YYYY-MM-DD'), 'R1', 'A1', '0001'")
                .arg(certId, propNo));
        db().exec(QStringLiteral("update item set book_lend_flag = '%1' where prop_no = '%2'")
                      .arg(flag == "3" ? "1" : "3", propNo));
        db().exec(QStringLiteral(
                      "insert into relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, "
                      "relegate_noti_date, relegate_keep_days, relegate_keep_end_date, relegate_location, "
                      "relegate_find_location, relegate_end_flag, resp_wkr, relegate_date) "
                      "select '%1', '%2', i.call_no, to_char(d - %3, 'YYYY-MM-DD'), "
                      "to_char(d - %3, 'YYYY-MM-DD'), %4, to_char(d - %3 + %4, 'YYYY-MM-DD'), '%6', "
                      "i.location, '%5', '0001', to_char(d - %3 - 1, 'YYYY-MM-DD') "
                      "from item i, (select desk_now()::date as d) t where i.prop_no = '%2'")
                      .arg(certId, propNo)
                      .arg(ago)
                      .arg(days)
                      .arg(flag, pickUp));
    }

    // Invariants (tests/invariants.sql) this test broke (empty when all hold).
    QStringList invariants() { return newInvariantViolations(); }

    template <class Manage> int indexOf(const Manage& m, const QString& code) {
        return int(m.locations.codes.indexOf(code));
    }
    // The listed row of a found copy, -1 when it is not listed.
    template <class Manage> int rowOf(const Manage& m, const QString& propNo) {
        for (int i = 0; i < m.rows.size(); ++i)
            if (m.rows[i].propNo == propNo) return i;
        return -1;
    }
};
