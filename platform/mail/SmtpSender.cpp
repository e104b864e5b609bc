#include "platform/mail/SmtpSender.h"

#include <QLocale>
#include <QRegularExpression>
#include <QUrl>
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

bool asciiOnly(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() > 0x7f) return false;
    }
    return true;
}

// local@domain with the domain in its IDNA form; empty when it has none.
QByteArray wireForm(const QString& address) {
    const qsizetype at = address.indexOf(QLatin1Char('@'));
    if (at <= 0) return QByteArray();
    const QString domain = address.mid(at + 1);
    QByteArray ace;
    if (asciiOnly(domain)) {
        ace = domain.toLatin1();
    } else {
        ace = QUrl::toAce(domain);
        if (ace.isEmpty()) return QByteArray();
    }
    return address.left(at).toUtf8() + '@' + ace;
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
    for (qsizetype i = 0; i < address.size(); ++i) {
        const QChar c = address.at(i);
        char32_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < address.size() && address.at(i + 1).isLowSurrogate()) {
            u = QChar::surrogateToUcs4(c, address.at(++i));
        } else if (c.isSurrogate()) {
            return false;
        }
        if (u < 0x21 || u == 0x7f) return false;
        // Beyond ASCII: no blanks, controls or invisible format characters.
        if (u > 0x7f && (QChar::isSpace(u) || !QChar::isPrint(u))) return false;
    }
    if (!re.match(address).hasMatch()) return false;
    const QByteArray wire = wireForm(address);
    return !wire.isEmpty() && wire.size() <= 254;
}

QByteArray wireAddress(const QString& address) {
    return isValidAddress(address) ? wireForm(address) : QByteArray();
}

bool needsSmtpUtf8(const QString& address) {
    return !asciiOnly(address.section(QLatin1Char('@'), 0, 0));
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
    // Addresses as they go on the wire; a local part beyond ASCII stands as
    // UTF-8, which the sender writes only to a server that takes SMTPUTF8.
    const QByteArray from = wireAddress(m.fromAddress);
    head += "From: ";
    if (!m.fromName.isEmpty())
        head += encodeHeaderText(m.fromName, 6, true) + "\r\n <" + from + ">\r\n";
    else
        head += "<" + from + ">\r\n";
    head += "To: <" + wireAddress(m.to) + ">\r\n";
    head += "Subject: " + encodeHeaderText(m.subject, 9) + "\r\n";
    const QByteArray domain = from.mid(from.indexOf('@') + 1);
    head += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@" +
            (from.isEmpty() ? QByteArray("localhost") : domain) + ">\r\n";
    head += "MIME-Version: 1.0\r\n";
    head += "Content-Type: text/plain; charset=UTF-8\r\n";
    head += "Content-Transfer-Encoding: base64\r\n\r\n";
    QString body = m.body;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    body.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return head + base64Lines(body.toUtf8());
}

struct Session::Impl {
    Server server;
    QString url;
    QByteArray urlBytes, user, pass, caBundle;
    CURL* curl = nullptr;
    char errbuf[CURL_ERROR_SIZE] = {0};
    Upload upload;
    // What the server offered in its last EHLO answer.
    bool smtpUtf8 = false;
    bool inEhlo = false, ehloUtf8 = false;

    // The outcome of one libcurl transfer.
    struct Outcome {
        CURLcode rc = CURLE_OK;
        long code = 0; // the server's last reply code
        QString error;
        bool ok() const { return rc == CURLE_OK; }
        // The server closed the connection (421, or no answer at all) rather
        // than refusing what was asked.
        bool dropped() const {
            if (rc == CURLE_OK) return false;
            if (code == 421) return true;
            if (rc == CURLE_RECV_ERROR || rc == CURLE_GOT_NOTHING) return true;
            return rc == CURLE_SEND_ERROR && code < 400;
        }
    };

    ~Impl() {
        if (curl) curl_easy_cleanup(curl); // QUIT
    }

    // The capabilities come from the EHLO answers libcurl reports.
    static int debug(CURL*, curl_infotype type, char* data, size_t size, void* user) {
        auto* d = static_cast<Impl*>(user);
        const QByteArray text(data, qsizetype(size));
        if (type == CURLINFO_HEADER_OUT) {
            const QByteArray verb = text.left(5).toUpper();
            if (verb == "EHLO " || verb == "HELO ") {
                d->inEhlo = verb == "EHLO ";
                d->ehloUtf8 = false;
                d->smtpUtf8 = false;
            }
        } else if (type == CURLINFO_HEADER_IN && d->inEhlo) {
            for (QByteArray line : text.split('\n')) {
                line = line.trimmed();
                if (line.isEmpty()) continue;
                if (!line.startsWith("250") || line.size() < 4 || (line[3] != '-' && line[3] != ' ')) {
                    d->inEhlo = false; // refused: libcurl falls back to HELO
                    break;
                }
                const QByteArray keyword = line.mid(4).trimmed().toUpper();
                if (keyword == "SMTPUTF8" || keyword.startsWith("SMTPUTF8 ")) d->ehloUtf8 = true;
                if (line[3] == ' ') {
                    d->smtpUtf8 = d->ehloUtf8;
                    d->inEhlo = false;
                }
            }
        }
        return 0;
    }
    static size_t discard(char*, size_t size, size_t count, void*) { return size * count; }

    bool start() {
        if (curl) return true;
        initCurl();
        curl = curl_easy_init();
        if (!curl) return false;
        urlBytes = url.toUtf8();
        user = server.user.toUtf8();
        pass = server.password.toUtf8();
        caBundle = qgetenv("CURL_CA_BUNDLE");
        curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, readChunk);
        curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
        curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, debug);
        curl_easy_setopt(curl, CURLOPT_DEBUGDATA, this);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errbuf);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, server.connectTimeoutSec);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, server.totalTimeoutSec);
        // The password travels only over TLS; without one, TLS when offered.
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(server.auth ? CURLUSESSL_ALL : CURLUSESSL_TRY));
        if (!caBundle.isEmpty()) curl_easy_setopt(curl, CURLOPT_CAINFO, caBundle.constData());
        if (server.auth) {
            curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
            curl_easy_setopt(curl, CURLOPT_PASSWORD, pass.constData());
        }
        return true;
    }

    Outcome perform() {
        errbuf[0] = 0;
        Outcome o;
        o.rc = curl_easy_perform(curl);
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &o.code);
        if (!o.ok()) o.error = QString::fromUtf8(errbuf[0] ? errbuf : curl_easy_strerror(o.rc));
        return o;
    }

    // RSET over the open connection, or a new connection (greeting, EHLO,
    // STARTTLS, log-in) when there is none or the server has dropped it.
    Outcome reset() {
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, static_cast<curl_slist*>(nullptr));
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "RSET");
        return perform();
    }

    Outcome transfer(const QByteArray& from, const QByteArray& to, const QByteArray& data) {
        const QByteArray mailFrom = "<" + from + ">", rcptTo = "<" + to + ">";
        curl_slist* rcpt = curl_slist_append(nullptr, rcptTo.constData());
        upload = Upload{data, 0};
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, static_cast<char*>(nullptr));
        curl_easy_setopt(curl, CURLOPT_MAIL_FROM, mailFrom.constData());
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        const Outcome o = perform();
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, static_cast<curl_slist*>(nullptr));
        curl_slist_free_all(rcpt);
        return o;
    }

    static SendResult failure(const Outcome& o) {
        SendResult r;
        r.error = o.error;
        switch (o.rc) {
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
            r.error = QStringLiteral("服务器不支持TLS加密，不能发送密码（%1）").arg(o.error);
            break;
        default:
            // A server that keeps dropping the connection cannot be used.
            r.status = o.dropped() ? SendStatus::Unreachable : SendStatus::Refused;
            break;
        }
        return r;
    }
};

Session::Session(const Server& server) : d(std::make_unique<Impl>()) {
    d->server = server;
    d->url = serverUrl(server.address);
}

Session::~Session() = default;

SendResult Session::send(const Message& m) {
    SendResult r;
    // A server or sender that cannot be used fails every message alike.
    if (d->url.isEmpty()) {
        r.status = SendStatus::Unreachable;
        r.error = QStringLiteral("SMTP服务器地址无效：%1").arg(d->server.address);
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
    if (!d->start()) {
        r.status = SendStatus::Refused;
        r.error = QStringLiteral("libcurl cannot start");
        return r;
    }
    const QByteArray data = composeMessage(m);
    // A connection the server drops is opened once more; a message dropped
    // before the server took it goes again over the new connection.
    int drops = 0;
    for (;;) {
        Impl::Outcome o = d->reset();
        if (!o.ok()) {
            if (o.dropped() && ++drops < 2) continue;
            return Impl::failure(o);
        }
        if (needsSmtpUtf8(m.fromAddress) && !d->smtpUtf8) {
            r.status = SendStatus::Unreachable;
            r.error = QStringLiteral("发件人Email地址含有ASCII以外的字符，SMTP服务器不支持SMTPUTF8：%1")
                          .arg(m.fromAddress);
            return r;
        }
        if (needsSmtpUtf8(m.to) && !d->smtpUtf8) {
            r.error = QStringLiteral("Email地址含有ASCII以外的字符，SMTP服务器不支持SMTPUTF8");
            return r;
        }
        o = d->transfer(wireAddress(m.fromAddress), wireAddress(m.to), data);
        if (o.ok()) {
            r.status = SendStatus::Sent;
            return r;
        }
        if (o.dropped() && ++drops < 2) continue;
        return Impl::failure(o);
    }
}

SendResult sendMail(const Server& server, const Message& m) {
    Session session(server);
    return session.send(m);
}

} // namespace mail
