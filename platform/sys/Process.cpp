#include "platform/sys/Process.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>

namespace sys {

RunResult runAndWait(const QString& program, const QStringList& arguments, const QStringList& environment)
{
    RunResult result;
    if (program.isEmpty()) {
        result.error = QStringLiteral("No program named");
        return result;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    if (!environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& entry : environment)
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        process.setProcessEnvironment(env);
    }
    process.start(program, arguments);
    if (!process.waitForStarted(-1)) {
        result.error = process.errorString();
        return result;
    }
    result.started = true;
    if (QCoreApplication::instance()) {
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        if (process.state() != QProcess::NotRunning)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    } else {
        process.waitForFinished(-1);
    }
    result.exitCode = process.exitCode();
    return result;
}

QStringList splitCommandLine(const QString& commandLine)
{
    return QProcess::splitCommand(commandLine);
}

} // namespace sys
