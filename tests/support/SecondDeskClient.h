#pragma once
// The client side of the second desk program (tests/support/seconddesk): a
// test starts it as another workstation and sends it one action at a time.

#include "tests/support/TestDatabase.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include <chrono>

namespace testsupport {

// The second desk program, one action at a time.
class SecondDesk {
public:
    struct Reply {
        int result = -99;
        QStringList texts;
    };

    explicit SecondDesk(const QString& computer) {
        proc_.setProgram(QCoreApplication::applicationDirPath() + "/../support/seconddesk/second_desk");
        proc_.setArguments({testsupport::TestDatabase::instance().conninfo(), computer});
        proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc_.start();
        ready_ = readLine(20000) == "READY";
    }
    ~SecondDesk() {
        proc_.write("quit\n");
        if (!proc_.waitForFinished(5000)) proc_.kill();
    }
    bool ready() const { return ready_; }
    // Written through at once: without an event loop the line would wait in
    // the buffer until the reply is read, and the desks would not race.
    void send(const QString& action) {
        proc_.write((action + "\n").toUtf8());
        proc_.waitForBytesWritten(5000);
    }
    // The reply of the action sent last; result -99 when none came in time.
    Reply reply(int ms = 20000) {
        Reply r;
        const QString line = readLine(ms);
        if (!line.startsWith("DONE ")) return r;
        r.result = line.mid(5).section('\t', 0, 0).toInt();
        const QString texts = line.section('\t', 1);
        if (!texts.isEmpty()) r.texts = texts.split('|');
        return r;
    }
    Reply run(const QString& action) {
        send(action);
        return reply();
    }

private:
    QString readLine(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!proc_.canReadLine()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !proc_.waitForReadyRead(int(left.count()))) return QString();
        }
        return QString::fromUtf8(proc_.readLine()).trimmed();
    }
    QProcess proc_;
    bool ready_ = false;
};

} // namespace testsupport
