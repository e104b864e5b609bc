#pragma once
// Environment file, folder table, run-time values and the daily log.

#include <QString>
#include <QVariant>

extern QString g_strDBName;
extern QString g_strDBUser;
extern QString g_strDBPwd;
extern QString g_strPath[11]; // folder table, each entry ends with "/"

int intInitEnvironment();
QVariant varGetSysInfo(int code);
int LIB_WriteLogFile(const QString& title, const QString& text, int mode = 0);
