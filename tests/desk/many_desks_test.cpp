// Many desks at once: several worker processes (the second desk program with
// a seed) run random desk actions on the demo library; afterwards the records
// must agree with what each worker's program reported as done, action by
// action, and the invariants must hold.
//
// MANY_DESKS (workers, default 4), MANY_DESKS_ACTIONS (per worker, default
// 750) and MANY_DESKS_SEED (default: from the clock; printed) size a run.

#include "DeskFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>

namespace {

int setting(const char* name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariable(name).toInt(&ok);
    return ok && v > 0 ? v : fallback;
}

} // namespace

class ManyDesksTest : public DeskTest {
protected:
    void SetUp() override {
        DeskTest::SetUp();
        freshDatabase();
        watchInvariants();
        // What the run writes, row by row, as the workers report it.
        db().exec(
            "create table run_audit (action text, who text, what text);"
            // One block per table: a field of OLD or NEW is looked up only in
            // the rows of the table that has it.
            "create function run_audit() returns trigger language plpgsql as $$ begin "
            " if tg_table_name = 'relegate_lst' then "
            "  if tg_op = 'INSERT' then "
            "   insert into run_audit values ('place', new.cert_id, new.call_no || ' ' || new.location); "
            "  elsif old.relegate_flag = '0' and new.relegate_flag = '2' then "
            "   insert into run_audit values ('delete', new.cert_id, new.call_no || ' ' || new.location); "
            "  elsif old.relegate_flag = '0' and new.relegate_flag = '1' then "
            "   insert into run_audit values ('find', new.cert_id, new.call_no || ' ' || new.location); "
            // Only a move puts a waiting request further back.
            "  elsif old.relegate_flag = '0' and new.relegate_flag = '0' "
            "    and new.relegate_no > old.relegate_no then "
            "   insert into run_audit values ('move', new.cert_id, new.call_no || ' ' || new.location); "
            "  end if; "
            " elsif tg_table_name = 'lend_lst' then "
            "  insert into run_audit select 'lend', new.cert_id, bar_code from item where prop_no = "
            "new.prop_no; "
            " elsif tg_table_name = 'relegate_arri_lst' then "
            "  if old.relegate_end_flag <> '3' and new.relegate_end_flag = '3' then "
            "   insert into run_audit select 'lend', new.cert_id, bar_code from item where prop_no = "
            "new.prop_no; "
            "  elsif old.relegate_end_flag = '1' and new.relegate_end_flag = '2' then "
            "   insert into run_audit values ('handover', '-', new.prop_no); "
            "  elsif old.relegate_end_flag in ('1', '2') and new.relegate_end_flag = '4' then "
            "   insert into run_audit values ('cancel', new.cert_id, new.prop_no); "
            "  end if; "
            " elsif tg_table_name = 'lend_hist' then "
            "  insert into run_audit select 'return', '-', bar_code from item where prop_no = new.prop_no_f; "
            " elsif tg_table_name = 'deposit_account_lst' then "
            "  if not (new.rec_type = '6' and new.bill_no like '%C') then "
            "   insert into run_audit values ('settle', new.cert_id, '-'); "
            "  end if; "
            " end if; return null; end $$;"
            "create trigger run_audit after insert or update on relegate_lst for each row execute function "
            "run_audit();"
            "create trigger run_audit after insert on lend_lst for each row execute function run_audit();"
            "create trigger run_audit after update on relegate_arri_lst for each row execute function "
            "run_audit();"
            "create trigger run_audit after insert on lend_hist for each row execute function run_audit();"
            "create trigger run_audit after insert on deposit_account_lst for each row execute function "
            "run_audit();"
            // An acceptance at home is one statement, whatever number of
            // return rows of the copy it closes.
            "create function run_audit_accept() returns trigger language plpgsql as $$ begin "
            " insert into run_audit select distinct 'accept', '-', i.bar_code from new_rows n "
            "   join old_rows o on o.id = n.id join item i on i.prop_no = n.prop_no "
            "  where o.relegate_end_flag = '4' and n.relegate_end_flag = '5'; "
            " return null; end $$;"
            "create trigger run_audit_accept after update on relegate_arri_lst referencing old table as "
            "old_rows new table as new_rows for each statement execute function run_audit_accept();");
    }
    void TearDown() override {
        DeskTest::TearDown();
        freshDatabase();
    }
    // "key n" lines of a map, for readable differences.
    static QStringList lines(const QMap<QString, int>& m) {
        QStringList out;
        for (auto it = m.cbegin(); it != m.cend(); ++it)
            out << it.key() + " x" + QString::number(it.value());
        return out;
    }
    // Counts of rows per key, from "key|count" lines.
    QMap<QString, int> counts(const QString& sql) {
        QMap<QString, int> m;
        for (const QString& line : db().column(sql))
            m[line.section('|', 0, -2)] = line.section('|', -1).toInt();
        return m;
    }
};

TEST_F(ManyDesksTest, RecordsAgreeWithWhatEveryDeskReported) {
    const int workers = setting("MANY_DESKS", 4);
    const int actions = setting("MANY_DESKS_ACTIONS", 750);
    const unsigned seed =
        unsigned(setting("MANY_DESKS_SEED", int(QDateTime::currentSecsSinceEpoch() % 100000)));
    std::cout << "many desks: " << workers << " workers, " << actions << " actions each, seed " << seed
              << std::endl;

    QElapsedTimer clock;
    clock.start();
    QTemporaryDir output;
    std::vector<std::unique_ptr<QProcess>> procs;
    for (int i = 0; i < workers; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProgram(QCoreApplication::applicationDirPath() + "/../support/seconddesk/second_desk");
        p->setArguments({testsupport::TestDatabase::instance().conninfo(), i % 2 ? "DESK02" : "DESK01",
                         "--seed", QString::number(seed + unsigned(i)), "--actions",
                         QString::number(actions)});
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Into a file: a worker never waits for the test to read its lines.
        p->setStandardOutputFile(output.filePath(QString::number(i)));
        p->start();
        procs.push_back(std::move(p));
    }
    QMap<QString, int> reported; // "action who what" -> times
    int done = 0;
    int locked = 0;
    QStringList leftOpen; // actions that ended inside their transaction
    int errors = 0;       // database errors shown (their log goes to the error channel)
    for (int i = 0; i < workers; ++i) {
        QProcess& p = *procs[i];
        ASSERT_TRUE(p.waitForFinished(600000)) << "worker " << i;
        ASSERT_EQ(p.exitCode(), 0) << "worker " << i;
        QFile file(output.filePath(QString::number(i)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        ASSERT_TRUE(lines.contains("END " + QString::number(actions)))
            << "worker " << i << " (seed " << seed + unsigned(i) << ") stopped early";
        for (const QString& line : lines)
            if (line.startsWith("OK ")) {
                ++reported[line.mid(3)];
                ++done;
            } else if (line.startsWith("LOCKED ")) {
                locked += line.mid(7).toInt();
            } else if (line.startsWith("ERRORS ")) {
                errors += line.mid(7).toInt();
            } else if (line.startsWith("OPEN ")) {
                leftOpen << line.mid(5);
            }
    }
    const double seconds = clock.elapsed() / 1000.0;
    std::cout << "many desks: " << workers * actions << " actions (" << done << " done, " << locked
              << " locked out) in " << seconds << " s, " << workers * actions / seconds << " actions/s"
              << std::endl;
    EXPECT_GT(done, 0);
    EXPECT_EQ(leftOpen, QStringList()) << "actions left their transaction open";
    EXPECT_EQ(errors, 0) << "database errors at the desks";
    QMap<QString, int> perAction;
    for (auto it = reported.cbegin(); it != reported.cend(); ++it)
        perAction[it.key().section(' ', 0, 0)] += it.value();
    std::cout << "many desks, done by action: " << lines(perAction).join(", ").toStdString() << std::endl;

    auto reportedOf = [&](const QString& action) {
        QMap<QString, int> m;
        for (auto it = reported.cbegin(); it != reported.cend(); ++it)
            if (it.key().startsWith(action + ' ')) m[it.key().mid(action.size() + 1)] += it.value();
        return lines(m);
    };
    auto written = [&](const QString& action) {
        return lines(counts("select who || ' ' || what || '|' || count(*) from run_audit where action = '" +
                            action + "' group by who, what"));
    };
    // Every request placed, deleted, moved back or served at the find desk,
    // every return and every settlement (one bill; a reduction's "C" bill goes
    // with its payment), every found copy handed over or cancelled and every
    // acceptance at home is one row written, and nothing else wrote one.
    for (const char* action :
         {"place", "delete", "move", "find", "return", "settle", "handover", "cancel", "accept"})
        EXPECT_EQ(reportedOf(action), written(action)) << action;
    // Every copy lent or collected is a loan of that reader made in the run
    // (there may be more: a return hands copies on to requesters).
    const QStringList loans = written("lend");
    for (const QString& lent : reportedOf("lend")) {
        const QString key = lent.section(" x", 0, 0);
        const QString found =
            loans.filter(QRegularExpression("^" + QRegularExpression::escape(key) + " x")).value(0);
        EXPECT_GE(found.section(" x", 1).toInt(), lent.section(" x", 1).toInt())
            << "lent " << lent.toStdString();
    }
}
