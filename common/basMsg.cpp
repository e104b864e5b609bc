// Message table, message boxes and system parameters.

#include "common/basMsg.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "platform/ui/DialogService.h"

DBResultSet g_varMsg;
DBResultSet g_varSysPara;

namespace {
const QString kMsgSQL = QStringLiteral("SELECT msg_id, msg_content FROM msg_mst ORDER BY msg_id DESC");
const QString kSysParaSQL =
    QStringLiteral("SELECT sys_para_code,sys_para_value FROM sys_comm_para ORDER BY sys_para_code");
} // namespace

QStringList strBaseDataSQLs() { return {kMsgSQL, kSysParaSQL}; }

int intInitBaseData() {
    g_strSQL = kMsgSQL;
    g_intSQLRet = LIB_DB_Select(g_strSQL, g_varMsg);
    if (g_intSQLRet != 0) {
        intShowDBError();
        return -1;
    }
    g_strSQL = kSysParaSQL;
    g_intSQLRet = LIB_DB_Select(g_strSQL, g_varSysPara);
    if (g_intSQLRet != 0) {
        intShowDBError();
        return -1;
    }
    return 0;
}

QString strGetMsg(const QString& text) {
    const QString code = text.left(6);
    for (int i = 0; i < g_varMsg.rowCount(); ++i) {
        if (g_varMsg.text(i, 0) != code) continue;
        QString msg = g_varMsg.text(i, 1);
        const int s = msg.indexOf(QLatin1String("%S"), 0, Qt::CaseInsensitive);
        if (s >= 0) msg.replace(s, 2, text.mid(6));
        const int n = msg.indexOf(QLatin1String("\\N"), 0, Qt::CaseInsensitive);
        if (n >= 0) msg.replace(n, 2, QChar(13));
        return msg;
    }
    return text;
}

int intShowMsg(const QString& text, int) {
    ui::BoxRequest box;
    box.title = varGetSysPara(1).toString();
    const QChar letter = text.isEmpty() ? QChar() : text[0];
    QString body = strGetMsg(text);
    if (body == text) body = text.mid(1);
    // A lone carriage return (the "\N" of a message) breaks the line on screen.
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    body.replace(QChar(13), QChar(10));

    box.buttons = ui::BoxButtons::Ok;
    box.defaultAnswer = ui::BoxAnswer::Ok;
    box.text = body;
    if (letter == QLatin1Char('E')) {
        box.icon = ui::BoxIcon::Error;
        box.beep = true;
    } else if (letter == QLatin1Char('I')) {
        box.icon = ui::BoxIcon::Information;
    } else if (letter == QLatin1Char('W') || letter == QLatin1Char('Q') || letter == QLatin1Char('S')) {
        box.icon = letter == QLatin1Char('W') ? ui::BoxIcon::Warning : ui::BoxIcon::Question;
        box.beep = true;
        box.buttons = ui::BoxButtons::OkCancel;
        box.defaultAnswer = letter == QLatin1Char('S') ? ui::BoxAnswer::Ok : ui::BoxAnswer::Cancel;
    } else {
        box.icon = ui::BoxIcon::Error;
        box.text = text;
    }
    const ui::BoxAnswer answer = ui::DialogService::current().showBox(box);
    if (box.buttons == ui::BoxButtons::Ok) return 1;
    return answer == ui::BoxAnswer::Ok ? 1 : 2;
}

namespace {

QString rawSysPara(int number) {
    for (int i = 0; i < g_varSysPara.rowCount(); ++i) {
        bool ok = false;
        const double code = g_varSysPara.value(i, 0).toString().trimmed().toDouble(&ok);
        if (ok && code == number) return g_varSysPara.text(i, 1);
    }
    return QString();
}

} // namespace

QVariant varGetSysPara(int code) {
    const QString v = rawSysPara(code == 142 ? 14 : code);
    switch (code) {
    case 3:
    case 4:
    case 7:
        if (v == QLatin1String("0")) return false;
        if (v == QLatin1String("1")) return true;
        return v;
    case 5: case 6: case 8: case 9: case 10: case 12:
        return v.trimmed().isEmpty() ? 0.0 : v.trimmed().toDouble();
    case 11:
        return v == QLatin1String("1");
    case 29:
        return v.trimmed() == QLatin1String("1");
    case 14:
        return v.section(QLatin1Char(','), 0, 0);
    case 142: {
        if (!v.contains(QLatin1Char(','))) return QString();
        return v.section(QLatin1Char(','), 1, 1);
    }
    case 20: {
        QString t = v.isEmpty() ? QStringLiteral(" ") : v;
        t.replace(QLatin1Char('_'), QLatin1Char(' '));
        return t;
    }
    case 22:
        return v.trimmed();
    case 28: {
        const QString t = v.trimmed();
        if (t.isEmpty()) return QVariant::fromValue<short>(-1);
        return t;
    }
    default:
        return v;
    }
}
