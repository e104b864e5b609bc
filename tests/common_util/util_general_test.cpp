// Union-card look-ups against a loopback HTTP server, and URL encoding.
#include "common/basLTFuncGeneral.h"

#include "platform/net/HttpTransport.h"
#include "platform/text/CodePage.h"
#include "platform/ui/DialogService.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString F(QChar(31));
const QString R(QChar(30));
const QString E(QChar(29));

// Answers each GET with the body of `reply` (GBK), or never answers when silent.
class LoopbackServer : public QObject {
public:
    LoopbackServer()
    {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { serve(s); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }

    QByteArray requestLine; // "GET /path?query HTTP/1.1"
    int requests = 0;
    QByteArray reply;
    int status = 200;
    bool silent = false;

private:
    void serve(QTcpSocket* s)
    {
        buffer_ += s->readAll();
        if (!buffer_.contains("\r\n\r\n"))
            return;
        requestLine = buffer_.left(buffer_.indexOf("\r\n"));
        buffer_.clear();
        ++requests;
        if (silent)
            return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: text/html\r\n"
                          "Content-Length: " + QByteArray::number(reply.size())
                          + "\r\nConnection: close\r\n\r\n";
        s->write(head + reply);
        s->flush();
        s->disconnectFromHost();
    }
    QTcpServer server_;
    QByteArray buffer_;
};

class BusyTransport : public net::HttpTransport {
public:
    bool busy() const override { return true; }
    net::HttpReply get(const QString&) override
    {
        ++calls;
        return {};
    }
    int calls = 0;
};

class GeneralTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_strGeneralUrl = server.base();
        transport.setTimeout(5000);
    }
    void TearDown() override { g_strGeneralUrl.clear(); }

    LoopbackServer server;
    net::QtHttpTransport transport;
    ui::ScriptedDialogService dialogs;
};

} // namespace

TEST(UrlEncode, EncodesGbkBytes)
{
    const struct {
        QString in, out;
    } cases[] = {
        {"a b-c", "a+b%2Dc"},
        {QString(QChar(31)) + QChar(29), "%1F%1D"},
        {u"中"_qs, "%D6%D0"},
        {"", ""},
        {"Az09_.~\n", "Az09%5F%2E%7E%0A"},
        {u"\u0E01"_qs, "%3F"}, // not in the code page: "?"
    };
    for (const auto& c : cases)
        EXPECT_EQ(strUrlEncode(c.in), c.out) << c.in.toStdString();
}

TEST_F(GeneralTest, CardLookUpSendsTheEncodedRecordAndReturnsTheDataFields)
{
    server.reply = text::toGbk(u"  0"_qs + F + "ok" + F + u"张三"_qs + F + "B" + E + "trailing");
    EXPECT_EQ(strGeneralCertSearch(u"C0001 中"_qs, "CERT_ID", &transport), u"张三"_qs + F + "B");
    // "%5F" travels as "_": an unreserved character means the same either way.
    EXPECT_EQ(server.requestLine.toStdString(),
              "GET /general/certsearch.php?strChr=CERT_ID%1FC0001+%D6%D0%1D HTTP/1.1");
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // No end mark: the whole trimmed body is the record.
    server.reply = "0" + F.toLatin1() + "ok" + F.toLatin1() + "A  ";
    EXPECT_EQ(strGeneralCertSearch("C1", "CERT_ID", &transport), u"A"_qs);
}

TEST_F(GeneralTest, ReaderLookUpReturnsTheWholeRecord)
{
    const QString rec = "2" + F + u"题名"_qs + F + "r1a" + F + "r1b" + R + "r2a" + F + "r2b";
    server.reply = text::toGbk(rec + E + "x");
    QString card = "C0001";
    EXPECT_EQ(strGeneralRedrSearch(card, 3, &transport), rec);
    EXPECT_EQ(server.requestLine.toStdString(),
              "GET /general/redrsearch.php?strChr=3%1FC0001%1D HTTP/1.1");
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(GeneralTest, FailureStatusShowsTheServiceMessage)
{
    server.reply = text::toGbk("-1" + F + u"无此证"_qs + E);
    EXPECT_EQ(strGeneralCertSearch("C1", "CERT_ID", &transport), QString());
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.lastText().contains(u"获取通用证信息失败!"_qs));
    EXPECT_TRUE(dialogs.lastText().contains(u"无此证"_qs));

    QString card = "C1";
    EXPECT_EQ(strGeneralRedrSearch(card, 1, &transport), QString());
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(dialogs.lastText().contains(u"获取信息失败!"_qs));
    EXPECT_TRUE(dialogs.lastText().contains(u"无此证"_qs));
}

TEST_F(GeneralTest, NoProperAnswerIsAFailureNotData)
{
    server.status = 500;
    server.reply = "0" + F.toLatin1() + "ok" + F.toLatin1() + "A";
    EXPECT_EQ(strGeneralCertSearch("C1", "CERT_ID", &transport), QString());
    EXPECT_EQ(dialogs.shown.size(), 1);

    server.silent = true; // never answers: the time-out ends the wait
    transport.setTimeout(300);
    EXPECT_EQ(strGeneralCertSearch("C1", "CERT_ID", &transport), QString());
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_FALSE(transport.busy());

    g_strGeneralUrl.clear(); // no service address: nothing is sent
    const int sent = server.requests;
    QString card = "C1";
    EXPECT_EQ(strGeneralRedrSearch(card, 2, &transport), QString());
    EXPECT_EQ(server.requests, sent);
    EXPECT_EQ(dialogs.shown.size(), 3);
}

TEST_F(GeneralTest, BusyTransportSendsNothing)
{
    BusyTransport busy;
    EXPECT_EQ(strGeneralCertSearch("C1", "CERT_ID", &busy), QString());
    EXPECT_EQ(busy.calls, 0);
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // The installed transport is used when none is passed.
    net::HttpTransport::install(&busy);
    QString card = "C1";
    EXPECT_EQ(strGeneralRedrSearch(card, 1), QString());
    net::HttpTransport::install(nullptr);
    EXPECT_EQ(busy.calls, 0);
}
