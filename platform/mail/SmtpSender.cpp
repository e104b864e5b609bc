#include "platform/mail/SmtpSender.h"

#include <QLocale>
#include <QRegularExpression>
#include <QUuid>

#include <curl/curl.h>

#include <cstring>
#include <mutex>

namespace mail {

namespace {

// Bytes of UTF-8 text per encoded word: 39 bytes give 52 base64 characters,
// and with "=?UTF-8?B?" and "?=" a word of 64, which fits a line after the
// longest header name used here.
constexpr int kWordBytes = 39;

bool plainAscii(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) return false;
    }
    return !text.contains(QLatin1String("=?"));
}

QByteArray base64Lines(const QByteArray& data) {
    const QByteArray b64 = data.toBase64();
    QByteArray out;
    for (int i = 0; i < b64.size(); i += 76)
        out += b64.mid(i, 76) + "\r\n";
    return out;
}

QByteArray dateHeader(const QDateTime& when) {
    const QDateTime dt = when.isValid() ? when : QDateTime::currentDateTime();
    const int offset = dt.offsetFromUtc() / 60;
    const int a = offset < 0 ? -offset : offset;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                             .arg(a / 60, 2, 10, QLatin1Char('0'))
                             .arg(a % 60, 2, 10, QLatin1Char('0'));
    return (QLocale::c().toString(dt, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss")) + QLatin1Char(' ') + zone)
        .toLatin1();
}

struct Upload {
    QByteArray data;
    qsizetype pos = 0;
};

size_t readChunk(char* buffer, size_t size, size_t count, void* user) {
    auto* up = static_cast<Upload*>(user);
    const size_t room = size * count;
    const size_t left = size_t(up->data.size() - up->pos);
    const size_t n = left < room ? left : room;
    std::memcpy(buffer, up->data.constData() + up->pos, n);
    up->pos += qsizetype(n);
    return n;
}

void initCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

bool isValidAddress(const QString& address) {
    static const QRegularExpression re(
        QStringLiteral("^[^\\s@<>,;:\"()\\[\\]\\\\]+@[^\\s@<>,;:\"()\\[\\]\\\\]+$"));
    if (address.isEmpty() || address.size() > 254) return false;
    for (QChar c : address) {
        if (c.unicode() < 0x21 || c.unicode() == 0x7f) return false;
    }
    return re.match(address).hasMatch();
}

QString serverUrl(const QString& address) {
    QString s = address.trimmed();
    QString scheme = QStringLiteral("smtp");
    for (const char* prefix : {"smtp://", "smtps://"}) {
        if (s.startsWith(QLatin1String(prefix), Qt::CaseInsensitive)) {
            scheme = QString::fromLatin1(prefix).chopped(3);
            s = s.mid(int(std::strlen(prefix)));
        }
    }
    if (s.endsWith(QLatin1Char('/'))) s.chop(1);
    static const QRegularExpression host(
        QStringLiteral("^([A-Za-z0-9.-]+|\\[[0-9A-Fa-f:.]+\\])(:[0-9]{1,5})?$"));
    if (!host.match(s).hasMatch()) return QString();
    return scheme + QStringLiteral("://") + s;
}

QByteArray encodeHeaderText(const QString& text, int firstLineUsed, bool phrase) {
    static const QRegularExpression special(QStringLiteral("[()<>\\[\\]:;@\\\\,.\"]"));
    if (plainAscii(text) && firstLineUsed + text.size() <= 76 && !(phrase && text.contains(special)))
        return text.toLatin1();
    // Control characters (a line break in a title) become blanks: the value
    // stays one header.
    QString clean = text;
    for (QChar& c : clean) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = QLatin1Char(' ');
    }
    QList<QByteArray> words;
    QByteArray chunk;
    for (int i = 0; i < clean.size(); ++i) {
        int n = 1;
        if (clean.at(i).isHighSurrogate() && i + 1 < clean.size()) n = 2;
        const QByteArray piece = clean.mid(i, n).toUtf8();
        i += n - 1;
        if (chunk.size() + piece.size() > kWordBytes) {
            words << chunk;
            chunk.clear();
        }
        chunk += piece;
    }
    if (!chunk.isEmpty() || words.isEmpty()) words << chunk;
    QByteArray out;
    for (const QByteArray& w : words) {
        if (!out.isEmpty()) out += "\r\n ";
        out += "=?UTF-8?B?" + w.toBase64() + "?=";
    }
    return out;
}

QByteArray composeMessage(const Message& m) {
    QByteArray head;
    head += "Date: " + dateHeader(m.date) + "\r\n";
    head += "From: ";
    if (!m.fromName.isEmpty())
        head += encodeHeaderText(m.fromName, 6, true) + "\r\n <" + m.fromAddress.toLatin1() + ">\r\n";
    else
        head += "<" + m.fromAddress.toLatin1() + ">\r\n";
    head += "To: <" + m.to.toLatin1() + ">\r\n";
    head += "Subject: " + encodeHeaderText(m.subject, 9) + "\r\n";
    const QString domain = m.fromAddress.section(QLatin1Char('@'), 1);
    head += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@" +
            (domain.isEmpty() ? QByteArray("localhost") : domain.toLatin1()) + ">\r\n";
    head += "MIME-Version: 1.0\r\n";
    head += "Content-Type: text/plain; charset=UTF-8\r\n";
    head += "Content-Transfer-Encoding: base64\r\n\r\n";
    QString body = m.body;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    body.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return head + base64Lines(body.toUtf8());
}

SendResult sendMail(const Server& server, const Message& m) {
    SendResult r;
    const QString url = serverUrl(server.address);
    // A server or sender that cannot be used fails every message alike.
    if (url.isEmpty()) {
        r.status = SendStatus::Unreachable;
        r.error = QStringLiteral("SMTP服务器地址无效：%1").arg(server.address);
        return r;
    }
    if (!isValidAddress(m.fromAddress)) {
        r.status = SendStatus::Unreachable;
        r.error = QStringLiteral("发件人Email地址无效：%1").arg(m.fromAddress);
        return r;
    }
    if (!isValidAddress(m.to)) {
        r.error = QStringLiteral("收件人Email地址无效：%1").arg(m.to);
        return r;
    }
    initCurl();
    CURL* c = curl_easy_init();
    if (!c) {
        r.status = SendStatus::Refused;
        r.error = QStringLiteral("libcurl cannot start");
        return r;
    }
    Upload up{composeMessage(m), 0};
    char errbuf[CURL_ERROR_SIZE] = {0};
    const QByteArray urlBytes = url.toUtf8();
    const QByteArray from = "<" + m.fromAddress.toLatin1() + ">";
    const QByteArray to = "<" + m.to.toLatin1() + ">";
    const QByteArray user = server.user.toUtf8(), pass = server.password.toUtf8();
    const QByteArray caBundle = qgetenv("CURL_CA_BUNDLE");
    curl_slist* rcpt = curl_slist_append(nullptr, to.constData());
    curl_easy_setopt(c, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, readChunk);
    curl_easy_setopt(c, CURLOPT_READDATA, &up);
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errbuf);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, server.connectTimeoutSec);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, server.totalTimeoutSec);
    // The password travels only over TLS; without one, TLS when offered.
    curl_easy_setopt(c, CURLOPT_USE_SSL, long(server.auth ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (!caBundle.isEmpty()) curl_easy_setopt(c, CURLOPT_CAINFO, caBundle.constData());
    if (server.auth) {
        curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, pass.constData());
    }
    const CURLcode rc = curl_easy_perform(c);
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(c);
    if (rc == CURLE_OK) {
        r.status = SendStatus::Sent;
        return r;
    }
    r.error = QString::fromUtf8(errbuf[0] ? errbuf : curl_easy_strerror(rc));
    switch (rc) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_LOGIN_DENIED:
    case CURLE_WEIRD_SERVER_REPLY:
        r.status = SendStatus::Unreachable;
        break;
    case CURLE_USE_SSL_FAILED:
        r.status = SendStatus::Unreachable;
        r.error = QStringLiteral("服务器不支持TLS加密，不能发送密码（%1）").arg(r.error);
        break;
    default:
        r.status = SendStatus::Refused;
        break;
    }
    return r;
}

} // namespace mail
