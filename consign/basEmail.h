#pragma once
// The arrival notices without their window: the found copies of a location
// (the copy's own location) whose notice date lies in a range and that wait
// for their readers, and one mail per copy through the SMTP server of the
// mail options.
//
// The sender is the library's own mailbox with the library's name; a copy
// to the own mailbox, when asked for, is a mail of its own to that mailbox
// alone. A reader without a usable address gets nothing, is not counted and
// is written to the daily log. A server that cannot be used ends the run at
// once with a message naming it. The mails of one run share one connection
// to the server (mail::Session).

#include "common/basMarc.h"
#include "platform/mail/SmtpSender.h"

#include <QString>
#include <QVector>

#include <functional>

namespace consign {

struct NoticeRow {
    QString email, marcRecNo, certId;
};

struct NoticeRun {
    int found = 0;        // rows selected
    int sent = 0;         // notices the server took
    bool stopped = false; // the server could not be used
    QString stopReason;
    QHash<QString, MarcRecord> records; // the titles' records, read before the first notice
};

// The rows of a run; 0, or -1 after the error report.
int intSelectNotices(const QString& location, const QString& beginDate, const QString& endDate,
                     QVector<NoticeRow>& rows);

// The mail of one notice to `address` (subject, body and sender as the
// options and the record give them); the record comes from run.records when
// the run read it there.
mail::Message composeNotice(const QString& address, const QString& marcRecNo, const QString& today,
                            const NoticeRun& run);

// Sends one notice through the run's session; 0 when the reader's mail went
// out, -1 when not.
int intSendMail(mail::Session& session, const QString& address, const QString& marcRecNo, const QString& certId,
                const QString& today, NoticeRun& run);

// Selects, sends and shows the count message ("共有符合条件的读者" n
// "个，发送成功" m "个。"). 0 when the run reached that message, -1 when the
// selection failed (reported; nothing sent).
int intSendNotices(const QString& location, const QString& beginDate, const QString& endDate, NoticeRun& run);

// The sender in force (mail::Session::send; tests may replace it).
extern std::function<mail::SendResult(mail::Session&, const mail::Message&)> g_sendMail;

} // namespace consign
