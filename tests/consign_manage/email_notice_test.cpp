// Arrival notices: which found copies are notified, what each mail holds, and
// how a run ends, against a loopback SMTP server.

#include "ManageFixture.h"
#include "SmtpServer.h"

#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "consign/basEmail.h"
#include "shell/basLT4Add.h"

class EmailNoticeTest : public ManageTest {
protected:
    void SetUp() override {
        ManageTest::SetUp();
        // Notice dates from 40 to 30 days ago: copies of the test's own.
        addFound("DR01", "P500001", 35, 7);      // in the range
        addFound("DR02", "P500002", 30, 7, "2"); // on the end date, handed over
        addFound("DR14", "P500011", 40, 7);      // on the begin date; address with a comma
        addFound("DR10", "P500021", 36, 7);      // no address
        addFound("DR15", "P500031", 34, 7);      // the server refuses the address
        addFound("DR11", "P500041", 33, 7, "3"); // collected
        addFound("DR12", "P500004", 35, 7);      // a copy of B1
        addFound("DR09", "P500032", 41, 7);      // before the range
        db().exec(
            "update reader set email = case cert_id when 'DR01' then 'dr01@example.com' when 'DR02' then "
            "' dr02@example.com ' when 'DR14' then 'a,b@example.com' when 'DR15' then 'gone@example.com' "
            "when 'DR11' then 'dr11@example.com' when 'DR12' then 'dr12@example.com' when 'DR09' then "
            "'dr09@example.com' end where cert_id in ('DR01','DR02','DR14','DR15','DR11','DR12','DR09')");
        g_strEmailAddress = "desk@library.example";
        g_intSmtpAuth = 0;
        g_strSmtpUser = "desk";
        g_strSmtpPassword = "secret";
        g_intEmailBak = 0;
        g_strEmailBody = "您好：\r\n您委托的图书已到，请及时取书。";
        g_strEmailSign = "流通部\r\n电话 1234";
        begin = dayOffset(-40);
        end = dayOffset(-30);
    }
    QString titleOf(const QString& propNo) {
        return strGetMarcTitle(
            strReadMarc(db().scalar("select marc_rec_no from item where prop_no = '" + propNo + "'")), 0);
    }
    QString begin, end;
};

TEST_F(EmailNoticeTest, OneNoticePerFoundCopyOfTheLocationAndRange) {
    SmtpServer server({"--reject", "gone@example.com"});
    ASSERT_TRUE(server.ready());
    g_strSmtpAddress = server.address();
    consign::NoticeRun run;
    ASSERT_EQ(consign::intSendNotices("A1", begin, end, run), 0);
    EXPECT_EQ(run.found, 5);
    EXPECT_EQ(run.sent, 2);
    EXPECT_EQ(shown(), "共有符合条件的读者5个，发送成功2个。");
    EXPECT_EQ(dialogs.shown.size(), 1);

    const auto msgs = server.messages();
    ASSERT_EQ(msgs.size(), 2);
    QStringList to;
    for (const auto& m : msgs) {
        to << SmtpServer::recipients(m);
        EXPECT_EQ(m["from"].toString(), "desk@library.example");
        EXPECT_TRUE(m["header_from"].toString().endsWith("<desk@library.example>"));
        EXPECT_TRUE(m["header_from"].toString().startsWith(varGetSysPara(1).toString().trimmed()));
        EXPECT_EQ(m["body"].toString(), g_strEmailBody + "\r\n" + g_strEmailSign + "\r\n" + today());
    }
    to.sort();
    EXPECT_EQ(to, (QStringList{"dr01@example.com", "dr02@example.com"}));
    for (const auto& m : msgs)
        if (SmtpServer::recipients(m) == QStringList{"dr01@example.com"}) {
            EXPECT_EQ(m["subject"].toString(), titleOf("P500001"));
        }

    // The readers left out are in the daily log with their numbers.
    const QString log = todaysLog();
    EXPECT_TRUE(log.contains("DR10")) << log.toStdString();
    EXPECT_TRUE(log.contains("DR14"));
    EXPECT_TRUE(log.contains("DR15"));
    // Nothing is written to the database.
    EXPECT_EQ(db().scalar("select count(*) from relegate_arri_lst where relegate_noti_date between '" +
                          begin + "' and '" + end + "' and relegate_end_flag < '3'"),
              "6");
}

TEST_F(EmailNoticeTest, TheCopyToTheOwnMailboxIsAMailOfItsOwn) {
    SmtpServer server;
    ASSERT_TRUE(server.ready());
    g_strSmtpAddress = server.address();
    g_intEmailBak = 1;
    consign::NoticeRun run;
    ASSERT_EQ(consign::intSendNotices("A1", end, end, run), 0);
    EXPECT_EQ(run.found, 1);
    EXPECT_EQ(run.sent, 1);
    const auto msgs = server.messages();
    ASSERT_EQ(msgs.size(), 2);
    EXPECT_EQ(SmtpServer::recipients(msgs[0]), QStringList{"dr02@example.com"});
    EXPECT_EQ(SmtpServer::recipients(msgs[1]), QStringList{"desk@library.example"});

    // A range that selects nothing, and a reversed one.
    ASSERT_EQ(consign::intSendNotices("A1", end, begin, run), 0);
    EXPECT_EQ(shown(), "共有符合条件的读者0个，发送成功0个。");
    ASSERT_EQ(consign::intSendNotices("B1", dayOffset(-34), dayOffset(-31), run), 0);
    EXPECT_EQ(run.found, 0);
}

TEST_F(EmailNoticeTest, AServerThatCannotBeUsedEndsTheRunAtOnce) {
    // Nobody listens.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    g_strSmtpAddress = QStringLiteral("127.0.0.1:%1").arg(probe.serverPort());
    probe.close();
    consign::NoticeRun run;
    ASSERT_EQ(consign::intSendNotices("A1", begin, end, run), 0);
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.sent, 0);
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(dialogs.shown[0].text.contains(g_strSmtpAddress)) << dialogs.shown[0].text.toStdString();

    // Authentication ticked, and the server offers no TLS: no password goes out.
    SmtpServer plain({"--auth", "desk:secret"});
    ASSERT_TRUE(plain.ready());
    g_strSmtpAddress = plain.address();
    g_intSmtpAuth = 1;
    dialogs.clear();
    ASSERT_EQ(consign::intSendNotices("A1", begin, end, run), 0);
    EXPECT_TRUE(run.stopped);
    EXPECT_TRUE(dialogs.shown[0].text.contains("TLS")) << dialogs.shown[0].text.toStdString();
    EXPECT_TRUE(plain.authAttempts().isEmpty());
    EXPECT_TRUE(plain.messages().isEmpty());
}

TEST_F(EmailNoticeTest, AnAddressBeyondAsciiIsNeverMangledNorCountedUnsent) {
    db().exec("update reader set email = case cert_id when 'DR01' then '读者@example.com' "
              "else 'dr15@例子.中国' end where cert_id in ('DR01','DR15')");
    for (const bool offered : {true, false}) {
        SCOPED_TRACE(offered ? "SMTPUTF8 offered" : "SMTPUTF8 not offered");
        SmtpServer server(offered ? QStringList{} : QStringList{"--no-smtputf8"});
        ASSERT_TRUE(server.ready());
        g_strSmtpAddress = server.address();
        dialogs.clear();
        consign::NoticeRun run;
        ASSERT_EQ(consign::intSendNotices("A1", begin, end, run), 0);
        QStringList to;
        for (const auto& m : server.messages())
            to << SmtpServer::recipients(m);
        to.sort();
        QStringList want{"dr02@example.com", "dr15@xn--fsqu00a.xn--fiqs8s"};
        if (offered) want << "读者@example.com";
        want.sort();
        EXPECT_EQ(to, want);
        EXPECT_EQ(run.sent, int(want.size()));
        EXPECT_EQ(shown(), QStringLiteral("共有符合条件的读者5个，发送成功%1个。").arg(want.size()));
        // The reader left out is in the daily log with the number and the address.
        const QString log = todaysLog();
        const bool logged = log.contains(QRegularExpression("DR01[^\n]*读者@example.com"));
        EXPECT_EQ(logged, !offered) << log.toStdString();
    }
}

TEST_F(EmailNoticeTest, TheNoticesOfARunShareOneConnection) {
    g_intEmailBak = 1; // a copy of each notice to the own mailbox too
    const QStringList want{"desk@library.example", "desk@library.example", "desk@library.example",
                           "dr01@example.com",     "dr02@example.com",     "gone@example.com"};
    for (const QStringList& args : {QStringList{}, QStringList{"--hangup-at", "3"}, QStringList{"--cut-at", "4"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        SmtpServer server(args);
        ASSERT_TRUE(server.ready());
        g_strSmtpAddress = server.address();
        consign::NoticeRun run;
        ASSERT_EQ(consign::intSendNotices("A1", begin, end, run), 0);
        EXPECT_EQ(run.sent, 3);
        EXPECT_FALSE(run.stopped);
        QStringList to;
        for (const auto& m : server.messages())
            to << SmtpServer::recipients(m);
        to.sort();
        EXPECT_EQ(to, want); // each once, none lost
        // One connection; a new one only after the server dropped the first.
        EXPECT_EQ(server.connections(), args.isEmpty() ? 1 : 2);
    }
}
