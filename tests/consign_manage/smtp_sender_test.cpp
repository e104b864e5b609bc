// The SMTP sender: addresses, server texts, the composed message, and sending
// to a loopback server (STARTTLS, authentication, refusals, addresses beyond
// ASCII, one connection for a run of messages).

#include "SmtpServer.h"

#include "platform/mail/SmtpSender.h"

#include <QTemporaryDir>
#include <QUrl>

using namespace mail;

namespace {

Message sample(const QString& to) {
    Message m;
    m.fromName = "示例图书馆";
    m.fromAddress = "desk@library.example";
    m.to = to;
    m.subject = "计算机网络（第5版）";
    m.body = "您好：\r\n您委托的图书已到。\n2026-12-10";
    return m;
}

TEST(SmtpSenderTest, AddressesAndServerTexts) {
    for (const char* good : {"reader@example.com", "a.b+c@mail.example.org", "x@localhost"})
        EXPECT_TRUE(isValidAddress(good)) << good;
    for (const char* bad : {"", "no-at", "a b@example.com", "a@b@c", "a,b@example.com", "<a@example.com>",
                            "a@example.com\r\nRCPT TO:<x@y>", "a@example.com\n", "@example.com", "a@"})
        EXPECT_FALSE(isValidAddress(bad)) << bad;

    struct Case {
        const char* typed;
        const char* url;
    } cases[] = {
        {"mail.example", "smtp://mail.example"},
        {"  mail.example  ", "smtp://mail.example"},
        {"127.0.0.1:2525", "smtp://127.0.0.1:2525"},
        {"smtp://mail.example:587", "smtp://mail.example:587"},
        {"smtps://mail.example:465", "smtps://mail.example:465"},
        {"SMTPS://mail.example", "smtps://mail.example"},
        {"mail example", ""},
        {"", ""},
        {"mail.example/x", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(serverUrl(c.typed), QString(c.url)) << c.typed;
}

TEST(SmtpSenderTest, AddressesBeyondAsciiHaveAWireForm) {
    struct Case {
        const char* address;
        const char* wire; // empty: not a usable address
        bool utf8;        // the local part needs SMTPUTF8
    } cases[] = {
        {"reader@example.com", "reader@example.com", false},
        {"Reader@Example.COM", "Reader@Example.COM", false},
        {"读者@example.com", "读者@example.com", true},
        {"dr12@例子.中国", "dr12@xn--fsqu00a.xn--fiqs8s", false},
        {"dr12@例子。中国", "dr12@xn--fsqu00a.xn--fiqs8s", false}, // the ideographic full stop
        {"读者@bücher.de", "读者@xn--bcher-kva.de", true},
        {"dr12@例子..中国", "", false},
        {"读\u3000者@example.com", "", true},       // an ideographic blank
        {"dr12\u200b@example.com", "", true},       // an invisible character
        {"dr12@example.com\u0085", "", false},      // a control character beyond ASCII
        {"读者\xef\xbc\x9c@example.com", "读者＜@example.com", true}, // a full-width bracket is a letter here
    };
    for (const Case& c : cases) {
        const QString a = QString::fromUtf8(c.address);
        EXPECT_EQ(isValidAddress(a), c.wire[0] != 0) << c.address;
        EXPECT_EQ(wireAddress(a), QByteArray(c.wire)) << c.address;
        if (c.wire[0]) {
            EXPECT_EQ(needsSmtpUtf8(a), c.utf8) << c.address;
        }
    }
    QString lone = "dr12@example.com";
    lone[2] = QChar(0xd800);
    EXPECT_FALSE(isValidAddress(lone));

    // The headers carry the wire form too, never a "?" for a character.
    Message m = sample("dr12@例子.中国");
    m.fromAddress = "desk@图书馆.中国";
    const QByteArray text = composeMessage(m);
    EXPECT_TRUE(text.contains("\r\nTo: <dr12@xn--fsqu00a.xn--fiqs8s>\r\n")) << text.constData();
    EXPECT_TRUE(text.contains(" <desk@" + QUrl::toAce("图书馆.中国") + ">\r\n")) << text.constData();
    EXPECT_FALSE(text.left(text.indexOf("\r\n\r\n")).contains('?' + QByteArray("@")));
}

TEST(SmtpSenderTest, HeadersAreEncodedFoldedAndStayOneEach) {
    Message m = sample("reader@example.com");
    m.subject = "标题\r\nBcc: victim@example.com" + QString(40, QChar(0x4e2d));
    const QByteArray text = composeMessage(m);
    const QByteArray head = text.left(text.indexOf("\r\n\r\n"));
    for (const QByteArray& line : head.split('\n')) {
        EXPECT_LE(line.size(), 78) << line.constData();
        EXPECT_FALSE(line.startsWith("Bcc")) << line.constData();
    }
    EXPECT_TRUE(head.contains("Subject: =?UTF-8?B?"));
    EXPECT_TRUE(head.contains("\r\n =?UTF-8?B?")); // folded
    EXPECT_TRUE(head.contains("Date: "));
    EXPECT_TRUE(head.contains("Message-ID: <"));
    EXPECT_TRUE(head.contains("Content-Type: text/plain; charset=UTF-8"));
    // Plain ASCII stays readable.
    EXPECT_EQ(encodeHeaderText("Notice", 9), QByteArray("Notice"));
    // A display name that would split the sender is encoded.
    EXPECT_EQ(encodeHeaderText("Main Library", 6, true), QByteArray("Main Library"));
    m.fromName = "Library, Main <x@y>";
    EXPECT_TRUE(composeMessage(m).contains("\r\nFrom: =?UTF-8?B?"));
}

TEST(SmtpSenderTest, SendsOneMessageToItsOneRecipient) {
    SmtpServer server({"--reject", "gone@example.com"});
    ASSERT_TRUE(server.ready());
    Server s;
    s.address = server.address();
    ASSERT_EQ(sendMail(s, sample("reader@example.com")).status, SendStatus::Sent);
    const SendResult refused = sendMail(s, sample("gone@example.com"));
    EXPECT_EQ(refused.status, SendStatus::Refused);
    const SendResult bad = sendMail(s, sample("a b@example.com"));
    EXPECT_EQ(bad.status, SendStatus::BadInput);

    const auto msgs = server.messages();
    ASSERT_EQ(msgs.size(), 1);
    EXPECT_EQ(msgs[0]["from"].toString(), "desk@library.example");
    EXPECT_EQ(SmtpServer::recipients(msgs[0]), QStringList{"reader@example.com"});
    EXPECT_EQ(msgs[0]["subject"].toString(), "计算机网络（第5版）");
    EXPECT_EQ(msgs[0]["header_from"].toString(), "示例图书馆 <desk@library.example>");
    EXPECT_EQ(msgs[0]["body"].toString(), QString("您好：\r\n您委托的图书已到。\r\n2026-12-10"));
    EXPECT_TRUE(msgs[0]["auth"].isNull());
}

TEST(SmtpSenderTest, ThePasswordGoesOnlyOverTls) {
    QTemporaryDir certDir;
    QString cert, key;
    ASSERT_TRUE(SmtpServer::makeCertificate(certDir.path(), &cert, &key));
    qputenv("CURL_CA_BUNDLE", cert.toUtf8());

    Server s;
    s.auth = true;
    s.user = "desk";
    s.password = "secret";
    {
        SmtpServer tls({"--auth", "desk:secret", "--tls", cert, key});
        ASSERT_TRUE(tls.ready());
        s.address = tls.address();
        const SendResult r = sendMail(s, sample("reader@example.com"));
        ASSERT_EQ(r.status, SendStatus::Sent) << r.error.toStdString();
        ASSERT_EQ(tls.messages().size(), 1);
        EXPECT_EQ(tls.messages()[0]["auth"].toString(), "desk");
        EXPECT_EQ(tls.authAttempts(), QStringList{"desk"});
    }
    {
        // No TLS on offer: no password, and the send fails saying why.
        SmtpServer plain({"--auth", "desk:secret"});
        ASSERT_TRUE(plain.ready());
        s.address = plain.address();
        const SendResult r = sendMail(s, sample("reader@example.com"));
        EXPECT_EQ(r.status, SendStatus::Unreachable);
        EXPECT_TRUE(r.error.contains("TLS")) << r.error.toStdString();
        EXPECT_TRUE(plain.authAttempts().isEmpty());
        EXPECT_TRUE(plain.messages().isEmpty());
    }
    qunsetenv("CURL_CA_BUNDLE");
}

TEST(SmtpSenderTest, ALocalPartBeyondAsciiGoesOnlyToAServerTakingSmtpUtf8) {
    for (const bool offered : {true, false}) {
        SCOPED_TRACE(offered ? "SMTPUTF8 offered" : "SMTPUTF8 not offered");
        SmtpServer server(offered ? QStringList{} : QStringList{"--no-smtputf8"});
        ASSERT_TRUE(server.ready());
        Server s;
        s.address = server.address();
        Session session(s);
        const SendResult local = session.send(sample("读者@example.com"));
        const SendResult domain = session.send(sample("dr12@例子.中国"));
        EXPECT_EQ(domain.status, SendStatus::Sent) << domain.error.toStdString();
        QList<QJsonObject> msgs = server.messages();
        if (offered) {
            ASSERT_EQ(local.status, SendStatus::Sent) << local.error.toStdString();
            ASSERT_EQ(msgs.size(), 2);
            EXPECT_EQ(SmtpServer::recipients(msgs[0]), QStringList{"读者@example.com"});
            EXPECT_TRUE(msgs[0]["mail_options"].toArray().contains("SMTPUTF8"));
            EXPECT_EQ(msgs[0]["header_to"].toString(), "<读者@example.com>");
        } else {
            EXPECT_EQ(local.status, SendStatus::BadInput);
            EXPECT_TRUE(local.error.contains("SMTPUTF8")) << local.error.toStdString();
            ASSERT_EQ(msgs.size(), 1);
            msgs.prepend(QJsonObject());
        }
        // The domain in its IDNA form, in the envelope and the header.
        EXPECT_EQ(SmtpServer::recipients(msgs[1]), QStringList{"dr12@xn--fsqu00a.xn--fiqs8s"});
        EXPECT_EQ(msgs[1]["header_to"].toString(), "<dr12@xn--fsqu00a.xn--fiqs8s>");
        EXPECT_FALSE(msgs[1]["mail_options"].toArray().contains("SMTPUTF8"));

        // An own mailbox beyond ASCII fails every message alike without SMTPUTF8.
        Message own = sample("reader@example.com");
        own.fromAddress = "流通部@library.example";
        const SendResult r = session.send(own);
        EXPECT_EQ(r.status, offered ? SendStatus::Sent : SendStatus::Unreachable) << r.error.toStdString();
        EXPECT_EQ(server.messages().size(), offered ? 3 : 1);
        if (offered) {
            EXPECT_EQ(server.messages()[2]["from"].toString(), "流通部@library.example");
        }
    }
}

TEST(SmtpSenderTest, ARunOfMessagesSharesOneConnection) {
    SmtpServer server({"--reject", "gone@example.com"});
    ASSERT_TRUE(server.ready());
    Server s;
    s.address = server.address();
    {
        Session session(s);
        for (const char* to : {"a@example.com", "b@example.com", "c@example.com", "d@example.com"})
            ASSERT_EQ(session.send(sample(to)).status, SendStatus::Sent) << to;
        EXPECT_EQ(server.connections(), 1);
        // An address the server refuses is passed over; the next goes out.
        EXPECT_EQ(session.send(sample("gone@example.com")).status, SendStatus::Refused);
        EXPECT_EQ(session.send(sample("e@example.com")).status, SendStatus::Sent);
    }
    const auto msgs = server.messages();
    ASSERT_EQ(msgs.size(), 5);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(msgs[i]["conn"].toInt(), 1);
}

TEST(SmtpSenderTest, AConnectionTheServerDropsIsOpenedAnewAndNothingIsLostOrSentTwice) {
    const struct {
        QStringList args;
        const char* what;
    } cases[] = {
        {{"--drop-after", "2"}, "closed after taking two messages"},
        {{"--hangup-at", "3"}, "421 to the third MAIL FROM"},
        {{"--cut-at", "3"}, "closed at the end of the third DATA without an answer"},
    };
    const QStringList to{"a@example.com", "b@example.com", "c@example.com", "d@example.com"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SmtpServer server(c.args);
        ASSERT_TRUE(server.ready());
        Server s;
        s.address = server.address();
        Session session(s);
        for (const QString& t : to) {
            const SendResult r = session.send(sample(t));
            EXPECT_EQ(r.status, SendStatus::Sent) << t.toStdString() << ": " << r.error.toStdString();
        }
        QStringList got;
        for (const auto& m : server.messages())
            got << SmtpServer::recipients(m);
        EXPECT_EQ(got, to);
        EXPECT_EQ(server.connections(), 2);
    }
}

TEST(SmtpSenderTest, AServerNobodyAnswersIsUnreachable) {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    Server s;
    s.address = QStringLiteral("127.0.0.1:%1").arg(port);
    const SendResult r = sendMail(s, sample("reader@example.com"));
    EXPECT_EQ(r.status, SendStatus::Unreachable);
    EXPECT_FALSE(r.error.isEmpty());
    s.address = "no server";
    EXPECT_EQ(sendMail(s, sample("reader@example.com")).status, SendStatus::Unreachable);
}

} // namespace
