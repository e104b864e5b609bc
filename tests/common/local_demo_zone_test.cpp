// The local demo database of scripts/run is built on the library's clock in
// the zone it is given (the machine's by default), so the demo's dates agree
// with the program's clock on a machine outside the library's usual zone.
#include "tests/support/TestDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

class LocalDemoZone : public testsupport::DatabaseTest {
protected:
    // The test server's connection values (PGHOST, PGPORT, PGUSER).
    static QProcessEnvironment serverEnv() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("PGDATABASE"));
        QFile f(qEnvironmentVariable("TESTDB_ENV"));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& line : f.readAll().split('\n')) {
                const qsizetype eq = line.indexOf('=');
                if (eq > 0 && line.startsWith("PG"))
                    env.insert(QString::fromUtf8(line.left(eq)),
                               QString::fromUtf8(line.mid(eq + 1)).trimmed());
            }
        return env;
    }
    static QString psql(const QString& database, const QString& sql) {
        QProcess p;
        p.setProcessEnvironment(serverEnv());
        p.start(QStringLiteral("psql"), {"-X", "-At", "-d", database, "-c", sql});
        EXPECT_TRUE(p.waitForFinished(60000));
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
};

} // namespace

TEST_F(LocalDemoZone, TheDemoCountsItsDaysFromTheChosenZonesToday) {
    // A zone whose date differs from the schema's default zone right now.
    const QString sql = QStringLiteral("select to_char(clock_timestamp() at time zone '%1', 'YYYY-MM-DD')");
    const QString shanghai = db().scalar(sql.arg("Asia/Shanghai"));
    QString zone = QStringLiteral("Pacific/Kiritimati");
    if (db().scalar(sql.arg(zone)) == shanghai) zone = QStringLiteral("Pacific/Pago_Pago");
    const QString today = db().scalar(sql.arg(zone));
    ASSERT_NE(today, shanghai);

    const QString name = db().name() + QStringLiteral("_zone");
    db().exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
    db().exec(
        QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'")
            .arg(name));
    QProcess apply;
    apply.setProcessEnvironment(serverEnv());
    apply.start(QStringLiteral("bash"),
                {qEnvironmentVariable("CONSIGN_SOURCE_DIR") + QStringLiteral("/scripts/testdb"), "apply",
                 name, zone});
    ASSERT_TRUE(apply.waitForFinished(300000));
    EXPECT_EQ(apply.exitCode(), 0) << apply.readAllStandardError().toStdString();

    EXPECT_EQ(psql(name, "select time_zone from sys_clock"), zone);
    EXPECT_EQ(psql(name, "select to_char(desk_now(), 'YYYY-MM-DD')"), today);
    // Rows the demo dates "today" carry that zone's date.
    EXPECT_EQ(psql(name, "select oper_date from wkr_job_qty where wkr_no_f = '0001' and job_type = '401' "
                         "and volume = 12"),
              today);
    db().exec(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(name));
}
