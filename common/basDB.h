#pragma once
// Database session, statements, transactions, queries and the error report.
// Every routine returns 0 on success and -1 on failure and records the cause in
// the pending error (DBError); callers roll back and call intShowDBError().

#include "common/DBResultSet.h"

#include <QString>
#include <QVariant>

namespace oradb { class Session; class Database; class Dynaset; }

// Shared scratch: the SQL text a caller is about to run, and its last status.
extern QString g_strSQL;
extern int g_intSQLRet;

// Schema facts set by the probes right after connecting.
extern int g_intMarc03;
extern int g_intIdxContLen;
extern int g_intClassSerialCols;

// The pending error.
extern int g_intErrKind;      // 0 none, 1001 connect, 1003 query, 1005 statement, 1007 log write
extern long g_lngErrNo;
extern QString g_strErrMsgCode;
extern QString g_strErrText;
extern QString g_strErrProc;

int LIB_DB_Connect();
int LIB_DB_Close();
int LIB_DB_BeginTrans();
int LIB_DB_CommitTrans();
int LIB_DB_Rollback();
bool LIB_DB_InTrans();
// Undoes the open transaction back to a savepoint a batch set
// (LIB_DB_Batch::savepoint) and drops it; the transaction stays open.
int LIB_DB_RollbackTo(const QString& savepoint);
int LIB_DB_Execute(const QString& sql, int mode = 0);
// LIB_DB_Execute that tells how many rows the statement changed: the count, or
// -1 on failure (the error pending).
long ExecuteSQL(const QString& sql);
int LIB_DB_CallProc(const QString& call, int mode = 0);
int LIB_DB_Select(const QString& sql, DBResultSet& result, int flag = 0);
// Records a failure as the pending error (with the beep), as the routines
// above do.
void LIB_DB_RecordError(int kind, long number, const QString& text, const QString& proc);
// A fetched result in the grid LIB_DB_Select fills (the dynaset is closed).
DBResultSet LIB_DB_ResultSet(oradb::Dynaset& dynaset);
QString strSQLQuote(const QVariant& value);
QString strGetServerDate();

int intGetOraErrNo();
int intShowDBError();

// Runs a SELECT through the shared scratch (g_strSQL, g_intSQLRet); a failure
// is shown with intShowDBError and gives false.
bool blnSelectShown(const QString& sql, DBResultSet& result);

// The caller's current run-time error (number and description), which
// intShowDBError reports when no database failure is pending: 5 invalid
// argument, 6 overflow, 364 a window unloaded while loading, others.
// Error handlers set it before calling intShowDBError; the report clears it.
void LIB_SetRunError(long number, const QString& description);
void LIB_ClearRunError();
long LIB_RunErrorNumber();
QString LIB_RunErrorText();

// Drops the pending database error (kind, number, message code, text and
// routine) without reporting it: for a caller that reported the failure its
// own way, or expected it.
void LIB_ClearDBError();

// Ends the database session for good (LIB_DB_Close keeps it, as the program
// ends with it); used at program exit and by the test fixture.
void LIB_DB_Disconnect();

// Rewrites whole empty literals '' of SQL text to a one-blank literal ' '
// (mode 1 of LIB_DB_Execute and LIB_DB_CallProc); a doubled quote inside a
// literal is left alone.
QString strBlankEmptyLiterals(const QString& sql);

// The open database object (nullptr before LIB_DB_Connect); for the MARC and
// portrait readers and for add-ins.
oradb::Database* LIB_DB_Database();
