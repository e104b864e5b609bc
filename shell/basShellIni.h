#pragma once
// Small helpers of the shell around the program folder and its files.

#include <QString>

// The program's title: the application name of its per-user settings.
QString strProgramTitle();

// A value of the connection INI file "qorlan.ini" of the program folder; ""
// when the file, section or key is missing.
QString strReadConnectionIni(const QString& section, const QString& key);

// Shows an unexpected error (an exception caught in a window event) through
// the error report.
void subShowRunError(const QString& description);
