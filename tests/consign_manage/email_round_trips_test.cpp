// What a run of arrival notices costs in round trips: the titles' records
// are read together, not one per notice.

#include "ManageFixture.h"

#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "consign/basEmail.h"
#include "shell/basLT4Add.h"
#include "tests/support/RoundTrips.h"

#include <QMap>

namespace {

class EmailRoundTripsTest : public ManageTest {
protected:
    void TearDown() override {
        consign::g_sendMail = &mail::Session::send;
        ManageTest::TearDown();
    }
};

TEST_F(EmailRoundTripsTest, ARunReadsItsTitlesInOneRoundTrip) {
    // Copies of several titles at A1, every reader with an address.
    const QStringList copies = {"P500001", "P500002", "P500011", "P500021", "P500031", "P500041"};
    const QStringList readers = {"DR01", "DR02", "DR14", "DR10", "DR15", "DR11"};
    for (int i = 0; i < copies.size(); ++i)
        addFound(readers[i], copies[i], 35, 7);
    db().exec("update reader set email = lower(cert_id) || '@example.com' where cert_id in "
              "('DR01','DR02','DR14','DR10','DR15','DR11')");
    g_strEmailAddress = "desk@library.example";
    g_intSmtpAuth = 0;
    g_intEmailBak = 0;
    QMap<QString, QString> subjects; // by recipient
    consign::g_sendMail = [&](mail::Session&, const mail::Message& m) {
        subjects.insert(m.to, m.subject);
        return mail::SendResult{mail::SendStatus::Sent, {}};
    };
    consign::NoticeRun run;
    // The selection, the records of all its titles, the day's date.
    EXPECT_LE(testsupport::roundTripsOf(
                  [&] { ASSERT_EQ(consign::intSendNotices("A1", dayOffset(-40), dayOffset(-30), run), 0); }),
              3);
    EXPECT_EQ(run.found, int(copies.size()));
    EXPECT_EQ(run.sent, int(copies.size()));
    for (int i = 0; i < copies.size(); ++i) {
        const QString title = strGetMarcTitle(
            strReadMarc(db().scalar("select marc_rec_no from item where prop_no = '" + copies[i] + "'")), 0);
        EXPECT_FALSE(title.isEmpty());
        EXPECT_EQ(subjects.value(readers[i].toLower() + "@example.com"), title) << copies[i].toStdString();
    }
}

} // namespace
