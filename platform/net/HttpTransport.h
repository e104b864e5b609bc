#pragma once
// Synchronous HTTP GET behind an injectable transport.
//
// HttpTransport::current() is the transport in force: QtHttpTransport (over
// QNetworkAccessManager) until a test installs another. get() waits for the
// reply with a time-out; while it waits, a running event loop keeps painting
// windows but takes no keyboard or mouse input. busy() is true while a
// request is under way, so a second caller can refuse instead of queueing.
//
// The body comes back as text: UTF-8 when the reply says charset=utf-8,
// otherwise in the "ANSI" code page (GB18030).

#include <QByteArray>
#include <QString>

namespace net {

struct HttpReply {
    bool ok = false;    // a 2xx answer arrived in time
    int status = 0;     // HTTP status, 0 when none arrived
    QByteArray body;
    QString text;       // body decoded as said above
    QString error;      // why it failed
};

class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    virtual bool busy() const = 0;
    virtual HttpReply get(const QString& url) = 0;

    static HttpTransport& current();
    // Installs a transport (not owned); nullptr restores the network one.
    static void install(HttpTransport* transport);
};

class QtHttpTransport : public HttpTransport {
public:
    explicit QtHttpTransport(int timeoutMs = 30000) : timeoutMs_(timeoutMs) {}
    bool busy() const override { return busy_; }
    HttpReply get(const QString& url) override;
    void setTimeout(int ms) { timeoutMs_ = ms; }
    int timeout() const { return timeoutMs_; }

private:
    int timeoutMs_;
    bool busy_ = false;
};

QString decodeBody(const QByteArray& body, const QByteArray& contentType);

} // namespace net
