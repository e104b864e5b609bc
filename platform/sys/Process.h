#pragma once
// Starting other programs.
//
// Programs are started directly with an argument vector, never through a
// shell. runAndWait starts a program and waits for it to end without a time
// limit; while it waits, a running event loop keeps painting windows but takes
// no keyboard or mouse input, so the program behaves as blocked without
// looking frozen.

#include <QString>
#include <QStringList>

namespace sys {

struct RunResult {
    bool started = false; // false: the program could not be started
    int exitCode = -1;    // the program's exit code once it has ended
    QString error;        // why starting failed
};

// `environment`: "NAME=value" entries the program gets besides the inherited
// environment (for values that must not stand on a command line).
RunResult runAndWait(const QString& program, const QStringList& arguments,
                     const QStringList& environment = {});

// Splits a command line into program and arguments by the usual quoting rules
// (double quotes group, a doubled quote inside quotes is a quote); no shell
// expansion of any kind takes place.
QStringList splitCommandLine(const QString& commandLine);

} // namespace sys
