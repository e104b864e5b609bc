// The SMTP sender: addresses, server texts, the composed message, and sending
// to a loopback server (STARTTLS, authentication, refusals).

#include "SmtpServer.h"

#include "platform/mail/SmtpSender.h"

#include <QTemporaryDir>

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
