#pragma once
// Environment file, folder table, run-time values and the daily log.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

extern QString g_strDBName;
extern QString g_strDBUser;
extern QString g_strDBPwd;
extern QString g_strPath[11]; // folder table, each entry ends with "/"

// The program folder (root of the folder table): the folder set here, else the
// environment variable CONSIGN_HOME, else the folder of the executable.
void LIB_SetProgramFolder(const QString& folder);
QString strProgramFolder();

// The scrambled form of a database password as it stands in PWD, and back.
QString strScramblePwd(const QString& plain);
QString strUnscramblePwd(const QString& stored);

int intInitEnvironment();
QVariant varGetSysInfo(int code);
// The server's date (the library's clock, not the machine's); the machine's
// date only when the server cannot tell it.
QDate datServerToday();
int LIB_WriteLogFile(const QString& title, const QString& text, int mode = 0);
// Appends several lines to the day's log as LIB_WriteLogFile appends one, in
// one opening of the file (nothing when there are none).
int LIB_WriteLogLines(const QStringList& texts);
