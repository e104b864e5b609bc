#pragma once
// Message table, message boxes and system parameters.

#include "common/DBResultSet.h"

#include <QString>
#include <QStringList>
#include <QVariant>

extern DBResultSet g_varMsg;
extern DBResultSet g_varSysPara;

int intInitBaseData();
// Its two queries (to be read ahead with the start-up's).
QStringList strBaseDataSQLs();
QString strGetMsg(const QString& text);
// Shows the box for a code (or a literal text with its type letter) and
// returns 1 (OK) or 2 (Cancel).
int intShowMsg(const QString& text, int flag = 0);
QVariant varGetSysPara(int code);
