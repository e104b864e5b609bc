#include "common/LoginState.h"

QString g_strWkrNo;
QString g_strWkrPwd;
QString g_strWkrName;
QString g_strComputer;
QString g_strLocation;
QVariant g_varLocaProperty;
