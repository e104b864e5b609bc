#pragma once
// Plain-text mail: the message is composed here (UTF-8, encoded and folded
// headers, Date and Message-ID) and handed to an SMTP server by libcurl, one
// transaction per recipient.
//
// The server is "host", "host:port", "smtp://host[:port]" or
// "smtps://host[:port]" (TLS from the start); blanks around it are ignored.
// A plain server is asked for STARTTLS when it offers it; with a user name
// the password goes only over TLS, so a server without TLS gets none and the
// send fails with that reason.

#include <QByteArray>
#include <QDateTime>
#include <QString>

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
// brackets, quotes or parentheses; exactly one "@" with text on both sides.
bool isValidAddress(const QString& address);

// The libcurl URL of a server text, empty when it is not a server name.
QString serverUrl(const QString& address);

// The whole message text (headers and base64 body, CRLF line ends).
QByteArray composeMessage(const Message& message);

// RFC 2047 encoded text of a header value, folded into lines of at most 76
// characters joined by CRLF and a blank; plain ASCII text without control
// characters is kept as it stands. A display name (`phrase`) is encoded also
// when it holds a character that would end or split the name (",;:<>@" ...).
QByteArray encodeHeaderText(const QString& text, int firstLineUsed, bool phrase = false);

// Sends the message to its recipient through the server.
SendResult sendMail(const Server& server, const Message& message);

} // namespace mail
