#include "common/basLTFuncGeneral.h"

#include "common/basMsg.h"
#include "common/basText.h"

#include "platform/net/HttpTransport.h"
#include "platform/text/CodePage.h"

#include <QCursor>
#include <QGuiApplication>

QString g_strGeneralUrl;
QString g_strGeneralCode;

namespace {

const QChar kField(31);
const QChar kEnd(29);

// Blanks trimmed off both ends, cut before the first end-of-record mark.
QString replyRecord(const QString& body)
{
    qsizetype b = 0;
    qsizetype e = body.size();
    while (b < e && body[b] == u' ')
        ++b;
    while (e > b && body[e - 1] == u' ')
        --e;
    QString rec = body.mid(b, e - b);
    const qsizetype end = rec.indexOf(kEnd);
    if (end >= 0)
        rec.truncate(end);
    return rec;
}

struct WaitCursor {
    WaitCursor()
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            active = false;
    }
    ~WaitCursor()
    {
        if (active)
            QGuiApplication::restoreOverrideCursor();
    }
    bool active = true;
};

// Sends the request; the reply record, or nothing after a message.
bool query(const QString& page, const QString& record, const QString& failText,
           net::HttpTransport* transport, QString* reply)
{
    net::HttpTransport& t = transport ? *transport : net::HttpTransport::current();
    if (t.busy())
        return false;
    net::HttpReply r;
    {
        WaitCursor wait;
        if (g_strGeneralUrl.isEmpty())
            r.error = QStringLiteral("no service address");
        else
            r = t.get(g_strGeneralUrl + page + strUrlEncode(record));
    }
    if (!r.ok) {
        intShowMsg(failText + QStringLiteral("\r\n") + r.error);
        return false;
    }
    *reply = replyRecord(r.text);
    return true;
}

} // namespace

QString strUrlEncode(const QString& text)
{
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray bytes = text::toGbk(text);
    QString out;
    out.reserve(bytes.size() * 3);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) {
            out.append(QChar(b));
        } else if (b == ' ') {
            out.append(u'+');
        } else {
            out.append(u'%');
            out.append(QChar(hex[b >> 4]));
            out.append(QChar(hex[b & 0x0F]));
        }
    }
    return out;
}

QString strGeneralCertSearch(const QString& certId, const QString& fieldName,
                             net::HttpTransport* transport)
{
    const QString failText = QStringLiteral("E获取通用证信息失败!");
    QString rec;
    if (!query(QStringLiteral("/general/certsearch.php?strChr="),
               fieldName + kField + certId + kEnd, failText, transport, &rec))
        return {};
    const QString status = varSplit(rec, kField);
    const QString message = varSplit(rec, kField);
    if (status == u"-1") {
        intShowMsg(failText + QStringLiteral("\r\n") + message);
        return {};
    }
    return rec;
}

QString strGeneralRedrSearch(QString& certId, int kind, net::HttpTransport* transport)
{
    const QString failText = QStringLiteral("E获取信息失败!");
    QString rec;
    if (!query(QStringLiteral("/general/redrsearch.php?strChr="),
               QString::number(kind) + kField + certId + kEnd, failText, transport, &rec))
        return {};
    QString rest = rec;
    const QString status = varSplit(rest, kField);
    const QString message = varSplit(rest, kField);
    if (status == u"-1") {
        intShowMsg(failText + QStringLiteral("\r\n") + message);
        return {};
    }
    return rec;
}
