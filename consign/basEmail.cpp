#include "consign/basEmail.h"

#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMsg.h"
#include "consign/basManage.h"
#include "shell/basLT4Add.h"
#include "shell/basShellIni.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>

namespace consign {

std::function<mail::SendResult(mail::Session&, const mail::Message&)> g_sendMail = &mail::Session::send;

namespace {

mail::Server server() {
    mail::Server s;
    s.address = g_strSmtpAddress;
    s.auth = g_intSmtpAuth == 1;
    if (s.auth) {
        s.user = g_strSmtpUser;
        s.password = g_strSmtpPassword;
    }
    return s;
}

void logFailure(const QString& certId, const QString& address, const QString& why) {
    LIB_WriteLogFile(
        QString(),
        QStringLiteral("委托到书通知邮件未发送：读者 %1，Email地址“%2”：%3").arg(certId, address, why));
}

} // namespace

int intSelectNotices(const QString& location, const QString& beginDate, const QString& endDate,
                     QVector<NoticeRow>& rows) {
    rows.clear();
    DBResultSet rs;
    g_strSQL = "SELECT reader.email,item.marc_rec_no,reader.cert_id FROM reader,relegate_arri_lst,item"
               " WHERE relegate_arri_lst.relegate_noti_date>=" +
               q(beginDate) + " AND relegate_arri_lst.relegate_noti_date<=" + q(endDate) +
               " AND item.location=" + q(location) +
               " AND relegate_arri_lst.prop_no=item.prop_no AND relegate_arri_lst.cert_id=reader.cert_id"
               " AND relegate_arri_lst.relegate_end_flag<" +
               q("3");
    if (LIB_DB_Select(g_strSQL, rs) != 0) {
        intShowDBError();
        return -1;
    }
    for (int i = 0; i < rs.rowCount(); ++i)
        rows << NoticeRow{rs.text(i, 0), rs.text(i, 1), rs.text(i, 2)};
    return 0;
}

mail::Message composeNotice(const QString& address, const QString& marcRecNo, const QString& today,
                            const NoticeRun& run) {
    g_recMarc = run.records.contains(marcRecNo) ? run.records.value(marcRecNo) : strReadMarc(marcRecNo);
    mail::Message m;
    m.fromName = varGetSysPara(1).toString().trimmed();
    m.fromAddress = g_strEmailAddress.trimmed();
    m.to = address;
    m.subject = strGetMarcTitle(g_recMarc, 0);
    m.body = g_strEmailBody + QStringLiteral("\r\n") + g_strEmailSign + QStringLiteral("\r\n") + today;
    m.date = QDateTime::currentDateTime();
    return m;
}

int intSendMail(mail::Session& session, const QString& address, const QString& marcRecNo, const QString& certId,
                const QString& today, NoticeRun& run) {
    const QString to = address.trimmed();
    if (!mail::isValidAddress(to)) {
        logFailure(certId, address,
                   to.isEmpty() ? QStringLiteral("没有Email地址") : QStringLiteral("Email地址无效"));
        return -1;
    }
    mail::Message m = composeNotice(to, marcRecNo, today, run);
    const mail::SendResult r = g_sendMail(session, m);
    if (r.status == mail::SendStatus::Unreachable) {
        run.stopped = true;
        run.stopReason = r.error;
    }
    if (!r.ok()) {
        logFailure(certId, to, r.error);
        return -1;
    }
    if (g_intEmailBak == 1) {
        // The copy: the same notice to the own mailbox alone; it counts for nothing.
        m.to = g_strEmailAddress.trimmed();
        const mail::SendResult copy = g_sendMail(session, m);
        if (!copy.ok()) logFailure(certId, m.to, QStringLiteral("备份邮件：") + copy.error);
    }
    return 0;
}

int intSendNotices(const QString& location, const QString& beginDate, const QString& endDate,
                   NoticeRun& run) {
    run = NoticeRun();
    QVector<NoticeRow> rows;
    if (intSelectNotices(location, beginDate, endDate, rows) != 0) return -1;
    run.found = int(rows.size());
    QStringList nos;
    for (const NoticeRow& r : rows)
        nos << r.marcRecNo;
    run.records = mapReadMarcs(nos);
    const QString today = rows.isEmpty() ? QString() : varGetSysInfo(1).toString().left(10);
    mail::Session session(server());
    for (const NoticeRow& r : rows) {
        if (intSendMail(session, r.email, r.marcRecNo, r.certId, today, run) == 0) ++run.sent;
        if (run.stopped) break;
    }
    if (run.stopped)
        subManageBox(QStringLiteral("无法通过SMTP服务器“%1”发送邮件：%2\n发送已停止。")
                         .arg(g_strSmtpAddress.trimmed(), run.stopReason),
                     true);
    subManageBox(QStringLiteral("共有符合条件的读者") + QString::number(run.found) +
                     QStringLiteral("个，发送成功") + QString::number(run.sent) + QStringLiteral("个。"),
                 false);
    return 0;
}

} // namespace consign
