#pragma once
// Plain-text mail: the message is composed here (UTF-8, encoded and folded
// headers, Date and Message-ID) and handed to an SMTP server by libcurl, one
// transaction per recipient. A run of messages goes through one Session: one
// connection, reset (RSET) before each message, opened anew only when the
// server has dropped it.
//
// A domain beyond ASCII goes out in its IDNA form (xn--...). A local part
// beyond ASCII goes out as UTF-8 only to a server that offers SMTPUTF8 (and
// then MAIL FROM says SMTPUTF8); to any other server such an address cannot
// be written, and the message is not sent.
//
// The server is "host", "host:port", "smtp://host[:port]" or
// "smtps://host[:port]" (TLS from the start); blanks around it are ignored.
// A plain server is asked for STARTTLS when it offers it; with a user name
// the password goes only over TLS, so a server without TLS gets none and the
// send fails with that reason.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

namespace mail {

struct Message {
    QString fromName;    // display name of the sender
    QString fromAddress; // the sender's mailbox, also the envelope sender
    QString to;          // the one recipient
    QString subject;
    QString body;   // lines may end with CRLF or LF
    QDateTime date; // the Date header (now when invalid)
};

struct Server {
    QString address;   // as typed in the options
    bool auth = false; // send user and password
    QString user, password;
    long connectTimeoutSec = 10;
    long totalTimeoutSec = 60;
};

enum class SendStatus {
    Sent,
    Refused,     // the server answered, but did not take this message (recipient refused, ...)
    Unreachable, // the server cannot be used (name, route, time-out, TLS, log-in): every
                 // further message would fail alike
    BadInput,    // an address or server text that cannot go into an SMTP command
};

struct SendResult {
    SendStatus status = SendStatus::BadInput;
    QString error; // why, for the log and the message
    bool ok() const { return status == SendStatus::Sent; }
};

// One mailbox "local@domain": no blanks, control characters, commas, angle
// brackets, quotes or parentheses; exactly one "@" with text on both sides;
// a domain beyond ASCII must have an IDNA form.
bool isValidAddress(const QString& address);

// The address as it goes on the wire: the domain in its IDNA form, the local
// part as UTF-8 (see needsSmtpUtf8). Empty when the address is not valid.
QByteArray wireAddress(const QString& address);

// Whether the local part holds a character beyond ASCII, so that the address
// can only go to a server that offers SMTPUTF8.
bool needsSmtpUtf8(const QString& address);

// The libcurl URL of a server text, empty when it is not a server name.
QString serverUrl(const QString& address);

// The whole message text (headers and base64 body, CRLF line ends); the
// addresses in their wire form.
QByteArray composeMessage(const Message& message);

// RFC 2047 encoded text of a header value, folded into lines of at most 76
// characters joined by CRLF and a blank; plain ASCII text without control
// characters is kept as it stands. A display name (`phrase`) is encoded also
// when it holds a character that would end or split the name (",;:<>@" ...).
QByteArray encodeHeaderText(const QString& text, int firstLineUsed, bool phrase = false);

// The connection of a run of messages to one server. Each send resets the
// connection the last one left (RSET), or opens one when there is none or the
// server has dropped it; a message that the server drops before taking it is
// sent once more over a new connection.
class Session {
public:
    explicit Session(const Server& server);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    SendResult send(const Message& message);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Sends the message to its recipient through the server, over a connection
// of its own.
SendResult sendMail(const Server& server, const Message& message);

} // namespace mail
