#pragma once
// Environment file, folder table, run-time values and the daily log.

#include <QString>
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
int LIB_WriteLogFile(const QString& title, const QString& text, int mode = 0);
