#pragma once
// The find desk and the return management at the main library's desk D1
// (location group 01, home of A1), on a fresh copy of the demo library with
// the server clock pinned at 10:00 today. Prints are caught, not shown.

#include "consign/FindDesk.h"
#include "consign/ReturnManage.h"
#include "report/ReportArray.h"
#include "tests/desk/LendingFixture.h"

class ConsignTest : public LendingTest {
protected:
    void SetUp() override {
        LendingTest::SetUp();
        // The caches from this copy of the library (a test before may have emptied tables).
        ASSERT_EQ(intInitBaseData(), 0);
        ASSERT_EQ(intLoadBaseCode(), 0);
        atDesk("D1", "01");
        captureInvariants();
        const QDate d = QDate::fromString(day, "yyyy-MM-dd");
        find.dtpApplyBegin = find.dtpApplyEnd = find.dtpFindBegin = find.dtpFindEnd = d;
        home.dtpBegin = home.dtpEnd = home.dtpReturnBegin = home.dtpReturnEnd = d;
        home.dtpCheckBegin = home.dtpCheckEnd = d;
        consign::g_showReport = [this](const QString& title, const QStringList& info) {
            printed = title;
            printedInfo = info;
            printedRows.clear();
            for (int r = 0; r <= g_lngPrtRows; ++r) {
                QStringList cells;
                for (int c = 0; c <= g_lngPrtCols; ++c)
                    cells << g_varPrtData.cell(r, c);
                printedRows << cells.join('|');
            }
        };
    }
    void TearDown() override {
        consign::g_showReport = consign::subShowFlexPrint;
        LendingTest::TearDown();
    }
    // A copy of the circulation rows a scan may write: equal before and after
    // a scan that writes nothing.
    QString circulationRows() {
        return db().scalar(
            "select (select string_agg(cert_id || prop_no || norm_ret_date, ',' order by prop_no) from "
            "lend_lst) || '/' || "
            "(select string_agg(cert_id || prop_no || relegate_end_flag, ',' order by id) from "
            "relegate_arri_lst) || '/' || "
            "(select string_agg(cert_id || relegate_flag || relegate_no, ',' order by id) from relegate_lst) "
            "|| '/' || "
            "(select string_agg(prop_no || book_lend_flag || location, ',' order by prop_no) from item)");
    }
    // Requests of a title as "cert:flag:no", in the order they were placed.
    QStringList requestsOf(const QString& callNo) {
        return db().column("select cert_id || ':' || relegate_flag || ':' || relegate_no from relegate_lst "
                           "where call_no = '" +
                           callNo + "' order by id");
    }
    // A waiting request placed `ago` days back at D2 for the holding location.
    void request(const QString& cert, const QString& callNo, const QString& loc, int no, int ago = 1) {
        db().exec(QString("insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, "
                          "relegate_keep_days, relegate_end_date, relegate_location, wkr_no, relegate_flag) "
                          "select '%1', '%2', '%3', %4, to_char(desk_now()::date - %5, 'YYYY-MM-DD'), 7, "
                          "to_char(desk_now()::date - %5 + 7, 'YYYY-MM-DD'), 'D2', '0001', '0'")
                      .arg(cert, callNo, loc)
                      .arg(no)
                      .arg(ago));
    }
    // A copy returned at a desk today, on its way home ('4').
    void returnedHome(const QString& cert, const QString& propNo, const QString& at,
                      const QString& date = {}) {
        db().exec(
            QString(
                "insert into relegate_arri_lst (cert_id, prop_no, call_no, relegate_arri_date, "
                "relegate_lend_date, relegate_ret_date, relegate_ret_location, relegate_end_flag, resp_wkr) "
                "select '%1', prop_no, call_no, d, d, d, '%3', '4', '0001' from item, "
                "(select coalesce(nullif('%4', ''), to_char(desk_now()::date, 'YYYY-MM-DD')) d) t "
                "where prop_no = '%2'")
                .arg(cert, propNo, at, date));
    }
    // Invariants (tests/invariants.sql) this test broke.
    QStringList invariantsBroken() { return newInvariantViolations(); }

    consign::FindDesk find;
    consign::ReturnManage home;
    QString printed;
    QStringList printedInfo, printedRows;
};
