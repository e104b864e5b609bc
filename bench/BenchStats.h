#pragma once
// Figures shared by the benchmark programs: percentiles of timings and the
// shape of a statement (literals and numbers blanked) to tell statements apart.

#include "tests/support/TestDatabase.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <thread>

namespace benchstats {

inline double percentile(QVector<double> v, double p) {
    if (v.isEmpty()) return 0;
    std::sort(v.begin(), v.end());
    const int i = std::min<int>(v.size() - 1, static_cast<int>(p * (v.size() - 1) + 0.5));
    return v[i];
}

inline QString shapeOf(const QString& sql) {
    QString s = sql;
    s.replace(QRegularExpression(QStringLiteral("'[^']*'")), QStringLiteral("?"));
    s.replace(QRegularExpression(QStringLiteral("\\b\\d+\\b")), QStringLiteral("#"));
    return s;
}

// The figures of one measured action: the time of each run, the fewest and
// most statements and round trips a run took, and one full text of each
// statement shape sent (for EXPLAIN).
struct Figures {
    explicit Figures(const QString& a) : action(a) {}
    QString action;
    QVector<double> ms;
    int statementsMin = 1 << 30, statementsMax = 0;
    long tripsMin = 1L << 30, tripsMax = 0;
    QSet<QString> shapes;
    QStringList samples;

    void add(double runMs, int statements, long trips, const QStringList& texts) {
        ms.push_back(runMs);
        statementsMin = std::min(statementsMin, statements);
        statementsMax = std::max(statementsMax, statements);
        tripsMin = std::min(tripsMin, trips);
        tripsMax = std::max(tripsMax, trips);
        for (const QString& s : texts) {
            const QString shape = shapeOf(s);
            if (!shapes.contains(shape)) {
                shapes.insert(shape);
                samples << s;
            }
        }
    }
};

// "n" when both ends are the same, else "min-max".
template <class T> QString range(T min, T max) {
    return min == max ? QString::number(min) : QStringLiteral("%1-%2").arg(min).arg(max);
}

// Runs the generator scripts `files` of the folder `dir` in the test database,
// in order; false, with the reason on stderr, when one cannot be read.
inline bool runGenerators(testsupport::TestDatabase& db, const QString& dir,
                          std::initializer_list<const char*> files) {
    for (const char* file : files) {
        QFile f(dir + QLatin1String(file));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(f.fileName()));
            return false;
        }
        db.exec(QString::fromUtf8(f.readAll()));
    }
    return true;
}

// The plan the server chooses for a statement, one line a step.
inline QString planOf(testsupport::TestDatabase& db, const QString& sql) {
    return db.column(QStringLiteral("EXPLAIN ") + sql).join(QLatin1Char('\n'));
}

// Whether the plan reads the whole of `table`.
inline bool scansWhole(const QString& plan, const QString& table) {
    return plan.contains(QRegularExpression(QStringLiteral("Seq Scan on %1\\b").arg(table)));
}

// The statements (SELECT or UPDATE) whose plan reads one of `tables` with a
// sequential scan, each with its plan.
inline QStringList unindexed(testsupport::TestDatabase& db, const QStringList& samples,
                             const QStringList& tables) {
    QStringList bad;
    for (const QString& sql : samples) {
        if (!sql.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) &&
            !sql.startsWith(QLatin1String("UPDATE"), Qt::CaseInsensitive))
            continue;
        const QString plan = planOf(db, sql);
        for (const QString& t : tables) {
            if (scansWhole(plan, t)) bad << sql + QStringLiteral("\n    ") + plan.simplified();
        }
    }
    return bad;
}

// How long this machine takes to wake a waiting thread: one byte sent to a
// second thread over a local socket and sent back, 2,000 times, with a pause
// of 0.3 ms every tenth time so that idle processors may sleep as they do
// between a desk's actions. A virtual machine whose host is busy takes many
// times longer than one that is quiet, whatever its load average says; every
// round trip of a desk action pays two such wake-ups (four more through the
// relay).
inline void printWakeUps(const char* when) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0) return;
    constexpr int kTimes = 2000;
    std::thread echo([&] {
        char c;
        for (int i = 0; i < kTimes; ++i)
            if (::read(pair[1], &c, 1) != 1 || ::write(pair[1], &c, 1) != 1) return;
    });
    QVector<double> us;
    char c = 'x';
    for (int i = 0; i < kTimes; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (::write(pair[0], &c, 1) != 1 || ::read(pair[0], &c, 1) != 1) break;
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        if (i % 10 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
    ::shutdown(pair[0], SHUT_RDWR);
    echo.join();
    ::close(pair[0]);
    ::close(pair[1]);
    std::printf("wake-ups %s: a message and its answer between two threads, median %.0f µs, p95 %.0f µs\n", when,
                percentile(us, 0.5), percentile(us, 0.95));
}

} // namespace benchstats
