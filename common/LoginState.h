#pragma once
// The log-in state: who works at this workstation, where, with which rights.
// Filled by the log-in; read by every subsystem.

#include <QString>
#include <QVariant>

extern QString g_strWkrNo;    // worker number, upper case
extern QString g_strWkrPwd;   // password as stored in the worker table
extern QString g_strWkrName;
extern QString g_strComputer; // this workstation's name
extern QString g_strLocation; // the workstation's current location
extern QVariant g_varLocaProperty; // location group of that location
