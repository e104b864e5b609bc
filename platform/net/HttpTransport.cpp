#include "platform/net/HttpTransport.h"

#include "platform/text/CodePage.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace net {

namespace {
HttpTransport* g_installed = nullptr;
}

HttpTransport& HttpTransport::current()
{
    if (g_installed)
        return *g_installed;
    static QtHttpTransport network;
    return network;
}

void HttpTransport::install(HttpTransport* transport)
{
    g_installed = transport;
}

QString decodeBody(const QByteArray& body, const QByteArray& contentType)
{
    if (contentType.toLower().replace(' ', "").contains("charset=utf-8"))
        return QString::fromUtf8(body);
    return text::fromGb18030(body);
}

HttpReply QtHttpTransport::get(const QString& url)
{
    HttpReply r;
    const QUrl u(url, QUrl::StrictMode);
    if (!u.isValid() || u.scheme().isEmpty() || u.host().isEmpty()) {
        r.error = QStringLiteral("Invalid address: %1").arg(url);
        return r;
    }
    if (!QCoreApplication::instance()) {
        r.error = QStringLiteral("No application object");
        return r;
    }
    busy_ = true;
    QNetworkAccessManager nam;
    QNetworkRequest request(u);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(timeoutMs_);
    QNetworkReply* reply = nam.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // A second guard in case the transfer time-out never fires (no bytes at all).
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, reply, &QNetworkReply::abort);
    guard.start(timeoutMs_ + 1000);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    guard.stop();

    r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen())
        r.body = reply->readAll();
    r.text = decodeBody(r.body, reply->header(QNetworkRequest::ContentTypeHeader).toByteArray());
    if (reply->error() == QNetworkReply::NoError && r.status >= 200 && r.status < 300) {
        r.ok = true;
    } else if (reply->error() == QNetworkReply::OperationCanceledError
               || reply->error() == QNetworkReply::TimeoutError) {
        r.error = QStringLiteral("Timed out after %1 ms: %2").arg(timeoutMs_).arg(url);
    } else {
        r.error = reply->errorString();
    }
    delete reply;
    busy_ = false;
    return r;
}

} // namespace net
