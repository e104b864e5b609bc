// Database session, statements, transactions, queries and the error report.

#include "common/basDB.h"
#include "common/basDBBatch.h"
#include "common/basEnv.h"
#include "common/basMarc.h"
#include "common/basMsg.h"
#include "platform/oradb/Database.h"
#include "platform/oradb/SqlText.h"
#include "platform/ui/DialogService.h"

#include <QCursor>
#include <QGuiApplication>
#include <memory>

QString g_strSQL;
int g_intSQLRet = 0;

int g_intMarc03 = 0;
int g_intIdxContLen = 30;
int g_intClassSerialCols = 0;

int g_intErrKind = 0;
long g_lngErrNo = 0;
QString g_strErrMsgCode;
QString g_strErrText;
QString g_strErrProc;

namespace {

std::unique_ptr<oradb::Session> g_objOraSession;

// Server error text when no database object exists to keep it.
QString s_noDbErrText;

long s_runErrNo = 0;
QString s_runErrText;

const char* const kNotConnected = "ORA-03114: not connected to the database";

// The run-time error number of failures that come from the interface itself.
constexpr long kAutomationError = 440;

oradb::Database* database() {
    s_noDbErrText.clear();
    oradb::Database* db = g_objOraSession ? g_objOraSession->database() : nullptr;
    if (!db) {
        s_noDbErrText = QString::fromLatin1(kNotConnected);
        throw oradb::Error(oradb::ErrNotConnected, s_noDbErrText);
    }
    return db;
}

void beep() { ui::DialogService::current().beep(); }

void record(int kind, long number, const QString& text, const QString& proc) {
    beep();
    g_intErrKind = kind;
    g_lngErrNo = number;
    g_strErrText = text;
    g_strErrProc = proc;
}

void waitCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void defaultCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

void logLine(const QString& text) {
    if (varGetSysInfo(8).toBool()) LIB_WriteLogFile(QStringLiteral("数据库错误"), text, 0);
}

} // namespace

// ---------------------------------------------------------------- session

int LIB_DB_Connect() {
    waitCursor();
    s_noDbErrText.clear();
    try {
        g_objOraSession = std::make_unique<oradb::Session>();
        g_objOraSession->OpenDatabase(g_strDBName, g_strDBUser + QLatin1Char('/') + g_strDBPwd, 0);
    } catch (const oradb::Error& e) {
        record(1001, e.number(), e.description(), QStringLiteral("LIB_DB_Connect"));
        return -1;
    }
    defaultCursor();
    if (intRunMarcSchemaProbes() != 0) {
        const QString text = g_strErrText;
        const long number = g_lngErrNo;
        record(1001, number, text, QStringLiteral("LIB_DB_Connect"));
        return -1;
    }
    return 0;
}

int LIB_DB_Close() { return 0; }

void LIB_DB_Disconnect() { g_objOraSession.reset(); }

oradb::Database* LIB_DB_Database() { return g_objOraSession ? g_objOraSession->database() : nullptr; }

int LIB_DB_BeginTrans() {
    try {
        if (g_objOraSession) g_objOraSession->BeginTrans();
    } catch (const oradb::Error&) {
    }
    return 0;
}

// A commit the server refuses, or answers with a rollback, fails the action.
int LIB_DB_CommitTrans() {
    if (!g_objOraSession || !g_objOraSession->database()) return 0;
    try {
        g_objOraSession->CommitTrans();
    } catch (const oradb::Error& e) {
        record(1005, intGetOraErrNo(), e.description(), QStringLiteral("LIB_DB_CommitTrans"));
        return -1;
    }
    return 0;
}

int LIB_DB_Rollback() {
    try {
        if (g_objOraSession) g_objOraSession->Rollback();
    } catch (const oradb::Error&) {
    }
    return 0;
}

bool LIB_DB_InTrans() { return g_objOraSession && g_objOraSession->InTransaction(); }

int LIB_DB_RollbackTo(const QString& savepoint) {
    try {
        database()->RollbackToSavepoint(savepoint);
    } catch (const oradb::Error& e) {
        record(1005, intGetOraErrNo(), e.description(), QStringLiteral("LIB_DB_RollbackTo"));
        return -1;
    }
    return 0;
}

// ---------------------------------------------------------------- statements

QString strBlankEmptyLiterals(const QString& sql) { return oradb::sqltext::emptyLiteralsToBlank(sql); }

int LIB_DB_Execute(const QString& sql, int mode) {
    QString text = sql.trimmed();
    if (mode == 1) text = strBlankEmptyLiterals(text);
    try {
        database()->ExecuteSQL(text);
    } catch (const oradb::Error& e) {
        record(1005, intGetOraErrNo(), e.description(), QStringLiteral("LIB_DB_Execute"));
        return -1;
    }
    return 0;
}

long ExecuteSQL(const QString& sql) {
    try {
        return database()->ExecuteSQL(sql.trimmed());
    } catch (const oradb::Error& e) {
        record(1005, intGetOraErrNo(), e.description(), QStringLiteral("ExecuteSQL"));
        return -1;
    }
}

int LIB_DB_CallProc(const QString& call, int mode) {
    const QString text = call.trimmed();
    const int blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0) {
        s_noDbErrText.clear();
        if (oradb::Database* db = LIB_DB_Database()) db->LastServerErrReset();
        record(1005, -1, QStringLiteral("procedure call without arguments: %1").arg(text),
               QStringLiteral("LIB_DB_CallProc"));
        return -1;
    }
    QString rewritten = text.left(blank) + QLatin1Char('(') + text.mid(blank + 1) + QLatin1Char(')');
    if (mode == 1) rewritten = strBlankEmptyLiterals(rewritten);
    try {
        database()->ExecuteSQL(QStringLiteral("Begin ") + rewritten + QStringLiteral("; end;"));
    } catch (const oradb::Error& e) {
        record(1005, intGetOraErrNo(), e.description(), QStringLiteral("LIB_DB_CallProc"));
        return -1;
    }
    return 0;
}

DBResultSet LIB_DB_ResultSet(oradb::Dynaset& dynaset) {
    oradb::Dynaset* ds = &dynaset;
    const long rows = ds->RecordCount();
    const int fields = ds->FieldCount();
    DBResultSet rs(static_cast<int>(rows), fields);
    QVector<int> types(fields);
    for (int c = 0; c < fields; ++c) {
        const oradb::Field f = ds->Fields(c);
        types[c] = f.Type();
        rs.setCell(c, 0, f.Name());
        rs.setCell(c, 1, QVariant::fromValue<short>(static_cast<short>(f.Type())));
    }
    if (rows != 0) {
        ds->MoveFirst();
        for (long j = 2; j <= rows + 1; ++j) {
            for (int c = 0; c < fields; ++c) {
                const oradb::Field f = ds->Fields(c);
                switch (types[c]) {
                case oradb::TypeText: {
                    if (f.IsNull()) {
                        rs.setCell(c, int(j), QString());
                    } else {
                        QString t = f.Text();
                        qsizetype end = t.size();
                        while (end > 0 && t[end - 1] == QLatin1Char(' ')) --end;
                        t.truncate(end);
                        rs.setCell(c, int(j), t);
                    }
                    break;
                }
                case oradb::TypeInteger:
                case oradb::TypeLong:
                case oradb::TypeDouble:
                    if (f.IsNull())
                        rs.setCell(c, int(j), QVariant::fromValue<short>(0));
                    else
                        rs.setCell(c, int(j), f.Text().toLatin1().toDouble());
                    break;
                default:
                    break; // dates, binary and the rest stay empty
                }
            }
            ds->MoveNext();
        }
    }
    ds->Close();
    return rs;
}

void LIB_DB_RecordError(int kind, long number, const QString& text, const QString& proc) {
    record(kind, number, text, proc);
}

int LIB_DB_Select(const QString& sql, DBResultSet& result, int) {
    try {
        std::unique_ptr<oradb::Dynaset> ds = LIB_DB_ReadAhead::take(sql);
        if (!ds) ds = database()->CreateDynaset(sql, 0);
        result = LIB_DB_ResultSet(*ds);
    } catch (const oradb::Error& e) {
        record(1003, intGetOraErrNo(), e.description(), QStringLiteral("LIB_DB_Select"));
        return -1;
    }
    return 0;
}

QString strSQLQuote(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return QStringLiteral("''");
    return oradb::sqltext::quoteLiteral(value.toString());
}

QString strGetServerDate() {
    oradb::Database* db = nullptr;
    try {
        db = database();
        db->Parameters().Add(QStringLiteral("SVRDATE"), QString(), oradb::ParamOutput);
        db->Parameters().Item(QStringLiteral("SVRDATE")).ServerType = oradb::ServerVarchar2;
        db->DbExecuteSQL(QStringLiteral("Begin SYS_GetServerDate(:SVRDATE); end;"));
        const QString value = db->Parameters().Item(QStringLiteral("SVRDATE")).Value.toString();
        db->Parameters().Remove(QStringLiteral("SVRDATE"));
        return value;
    } catch (const oradb::Error& e) {
        if (db && db->Parameters().find(QStringLiteral("SVRDATE"))) db->Parameters().Remove(QStringLiteral("SVRDATE"));
        LIB_SetRunError(kAutomationError, e.description());
        intShowDBError();
        return QString();
    }
}

// ---------------------------------------------------------------- error report

void LIB_SetRunError(long number, const QString& description) {
    s_runErrNo = number;
    s_runErrText = description;
}

void LIB_ClearRunError() {
    s_runErrNo = 0;
    s_runErrText.clear();
}

void LIB_ClearDBError() {
    g_intErrKind = 0;
    g_lngErrNo = 0;
    g_strErrMsgCode.clear();
    g_strErrText.clear();
    g_strErrProc.clear();
}

long LIB_RunErrorNumber() { return s_runErrNo; }
QString LIB_RunErrorText() { return s_runErrText; }

int intGetOraErrNo() {
    const oradb::Database* db = LIB_DB_Database();
    const QString text = db ? db->LastServerErrText() : s_noDbErrText;
    return static_cast<int>(oradb::oraNumber(text.isEmpty() ? s_noDbErrText : text));
}

namespace {

QString duplicateKeyMessage(const QString& upper) {
    static const char* const table[][2] = {
        {"INDI_BARCODE_IDX", "E条码号重复!"},     {"PK_INDI_ACCT", "E财产号重复!"},
        {"PK_CALL_NO_LST", "E索书号重复!"},       {"PK_ORDER", "E订购号重复!"},
        {"PK_ASORD_CATA_DETL", "E征订号重复!"},   {"PK_ASORD_CATA", "E征订目录重复!"},
        {"PK_INPUT_BATCH", "E批次号重复!"},       {"PK_CHECK_ACCT", "E验收批次号重复!"},
        {"PK_READER_CERT", "E读者条码号重复!"},   {"PK_READER", "E读者证件号重复!"},
    };
    for (const auto& row : table)
        if (upper.contains(QLatin1String(row[0]))) return QString::fromUtf8(row[1]);
    return QStringLiteral("ECM010");
}

QString referenceMessage(const QString& upper) {
    static const char* const table[][2] = {
        {"ITEM", "E该财产已经被相关记录引用!"},
        {"CALL", "E该索书号已经被相关记录引用!"},
        {"MARC", "E该MARC已经被相关记录引用!"},
        {"READER", "E该读者已经被相关记录引用!"},
    };
    const int re = upper.indexOf(QLatin1String("_RE"));
    for (const auto& row : table) {
        const int at = upper.indexOf(QLatin1String(row[0]));
        if (at >= 0 && (re < 0 || at > re)) return QString::fromUtf8(row[1]);
    }
    return QStringLiteral("ECM011");
}

void reconnectLoop() {
    if (intShowMsg(QStringLiteral("S网络非正常中断，重新连接数据库？")) != 1) return;
    for (;;) {
        g_intSQLRet = LIB_DB_Connect();
        if (g_intSQLRet == 0) {
            intShowMsg(QStringLiteral("I数据库连接成功！"));
            return;
        }
        if (intShowMsg(QStringLiteral("S数据库连接失败，重新连接数据库？")) != 1) return;
    }
}

} // namespace

int intShowDBError() {
    defaultCursor();
    int result = 0;
    // The texts as they stand now: a reconnect attempt or a failed log write
    // below records errors of its own.
    const QString errText = g_strErrText;
    const QString sql = g_strSQL;
    switch (g_intErrKind) {
    case 0:
        if (s_runErrNo == 5) {
            intShowMsg(QStringLiteral("ECM204"));
            logLine(errText);
        } else if (s_runErrNo == 6) {
            intShowMsg(QStringLiteral("ECM205"));
            logLine(errText);
        } else if (s_runErrNo == 364) {
            result = -1;
        } else {
            const QString description = s_runErrText;
            intShowMsg(QStringLiteral("ECM206") + description);
            logLine(description);
        }
        break;
    case 1001:
        intShowMsg(QStringLiteral("与数据库连接失败，启动失败！"));
        logLine(errText);
        break;
    case 1003:
    case 1005: {
        const QString upper = errText.toUpper();
        switch (g_lngErrNo) {
        case 1:
            intShowMsg(duplicateKeyMessage(upper));
            break;
        case 28:
        case 1041:
        case 3113:
        case 3114:
            reconnectLoop();
            break;
        case 54:
            intShowMsg(QStringLiteral("E该记录已经被锁定!"));
            break;
        case 2292:
            intShowMsg(referenceMessage(upper));
            break;
        default:
            intShowMsg(QStringLiteral("ECM012"));
            break;
        }
        logLine(errText);
        logLine(sql);
        break;
    }
    default:
        intShowMsg(QStringLiteral("ECM002"));
        logLine(errText);
        break;
    }
    LIB_ClearRunError();
    g_intErrKind = 0;
    g_strErrMsgCode.clear();
    g_strErrText.clear();
    g_strErrProc.clear();
    return result;
}

bool blnSelectShown(const QString& sql, DBResultSet& result) {
    g_strSQL = sql;
    g_intSQLRet = LIB_DB_Select(g_strSQL, result);
    if (g_intSQLRet < 0) {
        intShowDBError();
        return false;
    }
    return true;
}
