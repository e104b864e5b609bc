// Work statistics: the worker's sums per listed job type for a year, month,
// day or interval, the window's date marking, and its opening from the menu.

#include "tests/shell/ShellFixture.h"

#include "common/basDB.h"
#include "shell/basLogin.h"
#include "shell/ShellTools.h"
#include "shell/basStatJob.h"
#include "shell/frmStatJob.h"
#include "tests/support/BadInput.h"

#include "platform/ui/DateBox.h"
#include "platform/ui/Grid.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

class StatJobTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        db().exec("insert into job_type (job_type, job_name) values ('501', '编目') on conflict do nothing");
        // The demo library's own figures are set aside and come back after the test.
        db().exec("create table if not exists statjob_demo_rows as select * from wkr_job_qty");
        db().exec("delete from wkr_job_qty");
        // 0001 over several days; 0002 on one of them; a job outside "4%".
        db().exec("insert into wkr_job_qty (wkr_no_f, job_type, oper_date, kind, volume, amount) values "
                  "('0001', '401', '2026-05-03', 1, 2, 0), ('0001', '401', '2026-05-04', 2, 3, 0), "
                  "('0001', '401', '2026-05-10', 1, 1, 0), ('0001', '401', '2026-06-01', 5, 5, 0), "
                  "('0001', '401', '2025-05-04', 40, 40, 0), ('0001', '402', '2026-05-04', 1, 1, 0), "
                  "('0001', '415', '2026-05-04', 1, 1, 12.50), ('0001', '415', '2026-05-10', 2, 2, 0.10), "
                  "('0001', '501', '2026-05-04', 9, 9, 9), ('0002', '401', '2026-05-04', 7, 7, 0), "
                  "('0002', '415', '2026-05-03', 1, 1, 3.00)");
        db().pinClock("2026-05-04 10:00:00");
        ASSERT_EQ(blnCheckWorker("0001", "ABC"), 0);
    }
    void TearDown() override
    {
        db().exec("delete from wkr_job_qty");
        db().exec("insert into wkr_job_qty select * from statjob_demo_rows");
        db().exec("drop table statjob_demo_rows");
        db().exec("delete from job_type where job_type = '501'");
        ShellTest::TearDown();
    }
    // Grid rows as "name:kind/volume/amount".
    static QStringList rows(const ui::SpreadGrid* grid)
    {
        QStringList out;
        for (int r = 1; r <= grid->maxRows(); ++r)
            out << QStringLiteral("%1:%2/%3/%4")
                       .arg(grid->getText(0, r), grid->getText(1, r), grid->getText(2, r), grid->getText(3, r));
        return out;
    }
};

// Grid rows as "name:kind/volume/amount".
QStringList statRows(const ui::SpreadGrid* grid) {
    QStringList out;
    for (int r = 1; r <= grid->maxRows(); ++r)
        out << QStringLiteral("%1:%2/%3/%4")
                   .arg(grid->getText(0, r), grid->getText(1, r), grid->getText(2, r), grid->getText(3, r));
    return out;
}

// The demo library as scripts/run builds it, its clock not pinned.
class DemoWorkloadTest : public ShellTest {};

TEST_F(DemoWorkloadTest, AFreshDemoShowsTheWorkersFigures) {
    const struct {
        const char* worker;
        const char* password;
        QStringList rows; // today, the window's default
    } cases[] = {
        {"0001", "ABC", {"借书:0/12/0", "还书:0/9/0", "交纳罚款:2/2/3.5", "减免罚款:1/1/0.5"}},
        {"0002", "1234", {"借书:0/5/0", "还书:0/4/0", "交纳罚款://", "减免罚款://"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.worker);
        ASSERT_EQ(blnCheckWorker(c.worker, c.password), 0);
        frmStatJob w("4%");
        w.cmdStat_Click();
        EXPECT_EQ(statRows(w.spdJob), c.rows);
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(StatJobTest, SumsPerListedJobType)
{
    DBResultSet jobs;
    ASSERT_EQ(intLoadJobTypes("4%", jobs), 0);
    ASSERT_EQ(jobs.rowCount(), 4);
    EXPECT_EQ(jobs.text(0, 0), "401");
    EXPECT_EQ(jobs.text(3, 0), "419");

    const struct {
        const char* name;
        StatType type;
        const char* date;
        const char* bgn;
        const char* end;
        QStringList figures; // 401, 402, 415, 419
    } cases[] = {
        {"day", StatType::Day, "2026-05-04", "", "", {"2/3/0", "1/1/0", "1/1/12.5", "//"}},
        {"month", StatType::Month, "2026-05-20", "", "", {"4/6/0", "1/1/0", "3/3/12.6", "//"}},
        {"year", StatType::Year, "2026-12-31", "", "", {"9/11/0", "1/1/0", "3/3/12.6", "//"}},
        {"interval, both ends included", StatType::Interval, "2020-01-01", "2026-05-03", "2026-05-10",
         {"4/6/0", "1/1/0", "3/3/12.6", "//"}},
        {"interval of one day", StatType::Interval, "2020-01-01", "2026-05-10", "2026-05-10",
         {"1/1/0", "//", "2/2/0.1", "//"}},
        {"begin after the end", StatType::Interval, "2026-05-04", "2026-05-10", "2026-05-03",
         {"//", "//", "//", "//"}},
        {"empty begin", StatType::Interval, "2026-05-04", "", "2026-05-10", {"//", "//", "//", "//"}},
        {"a day without work", StatType::Day, "2026-05-05", "", "", {"//", "//", "//", "//"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QVector<QStringList> figures;
        ASSERT_EQ(intStatJob(jobs, strStatJobSQL(c.type, c.date, c.bgn, c.end, "0001"), figures), 0);
        QStringList got;
        for (const QStringList& f : figures)
            got << f.join('/');
        EXPECT_EQ(got, c.figures);
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(StatJobTest, FailedQueryIsShownAndLeavesNoFigures)
{
    frmStatJob w("4%");
    w.cmdStat_Click();
    ASSERT_EQ(rows(w.spdJob).first(), "借书:2/3/0");
    db().exec("alter table wkr_job_qty rename to wkr_job_qty_gone");
    w.cmdStat_Click();
    db().exec("alter table wkr_job_qty_gone rename to wkr_job_qty");
    EXPECT_EQ(shownTexts(), QStringList{msg("ECM012")});
    EXPECT_EQ(rows(w.spdJob), (QStringList{"借书://", "还书://", "交纳罚款://", "减免罚款://"}));
}

TEST_F(StatJobTest, WindowLoadsMarksDatesAndCounts)
{
    frmStatJob w("4%");
    EXPECT_EQ(w.windowTitle(), "工作量统计");
    EXPECT_EQ(w.lblTitle[0]->text(), "工号:0001");
    EXPECT_EQ(w.lblTitle[1]->text(), "-");
    EXPECT_TRUE(w.optStatType[2]->isChecked());
    EXPECT_EQ(w.optStatType[3]->text(), "区间");
    EXPECT_EQ(w.calJob->selectedDate(), QDate(2026, 5, 4));
    EXPECT_EQ(w.calJob->locale().dayName(1, QLocale::ShortFormat), "周一");
    EXPECT_EQ(w.txtBgnDay->value(), "2026-05-04");
    EXPECT_EQ(w.txtEndDay->value(), "2026-05-04");
    EXPECT_EQ(w.spdJob->maxRows(), 4);
    EXPECT_EQ(w.spdJob->getText(1, 0), "种数");
    EXPECT_EQ(w.spdJob->getText(3, 0), "价格");
    EXPECT_EQ(rows(w.spdJob), (QStringList{"借书://", "还书://", "交纳罚款://", "减免罚款://"}));

    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    // Outside interval mode a click changes the chosen date only.
    w.calJob->setSelectedDate(QDate(2026, 5, 10));
    w.calJob_DateClick(QDate(2026, 5, 10));
    EXPECT_EQ(w.txtBgnDay->value(), "2026-05-04");
    EXPECT_EQ(QApplication::focusWidget(), w.cmdStat);
    w.cmdStat->click();
    EXPECT_EQ(rows(w.spdJob), (QStringList{"借书:1/1/0", "还书://", "交纳罚款:2/2/0.1", "减免罚款://"}));

    // 区间: both boxes grey, a click fills neither until one is chosen.
    w.optStatType[3]->click();
    EXPECT_TRUE(w.intervalMode());
    EXPECT_EQ(w.txtBgnDay->backColor(), frmStatJob::restColor());
    EXPECT_EQ(w.txtEndDay->backColor(), frmStatJob::restColor());
    w.calJob_DateClick(QDate(2026, 5, 3));
    EXPECT_EQ(w.txtBgnDay->value(), "2026-05-04");
    EXPECT_EQ(w.txtEndDay->value(), "2026-05-04");
    QTest::mouseClick(w.txtBgnDay, Qt::LeftButton);
    EXPECT_EQ(w.txtBgnDay->backColor(), frmStatJob::markColor());
    EXPECT_EQ(w.txtEndDay->backColor(), frmStatJob::restColor());
    w.calJob_DateClick(QDate(2026, 5, 3));
    EXPECT_EQ(w.txtBgnDay->value(), "2026-05-03");
    QTest::mouseClick(w.txtEndDay, Qt::LeftButton);
    EXPECT_EQ(w.txtBgnDay->backColor(), frmStatJob::restColor());
    w.calJob_DateClick(QDate(2026, 5, 10));
    EXPECT_EQ(w.txtEndDay->value(), "2026-05-10");
    EXPECT_EQ(w.txtBgnDay->value(), "2026-05-03");
    w.cmdStat->click();
    EXPECT_EQ(rows(w.spdJob), (QStringList{"借书:4/6/0", "还书:1/1/0", "交纳罚款:3/3/12.6", "减免罚款://"}));

    w.optStatType[0]->click();
    EXPECT_FALSE(w.intervalMode());
    w.cmdStat->click();
    EXPECT_EQ(rows(w.spdJob).first(), "借书:9/11/0");
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

// Bad input (tests/support/BadInput.h) as both ends of the interval, through
// the query and typed into the window's date boxes: no figure, no error.
TEST_F(StatJobTest, BadIntervalTextsCountNothing)
{
    DBResultSet jobs;
    ASSERT_EQ(intLoadJobTypes("4%", jobs), 0);
    const auto none = [](const QVector<QStringList>& figures) {
        for (const QStringList& f : figures)
            if (f != QStringList{QString(), QString(), QString()}) return false;
        return true;
    };
    testsupport::expectOrdinaryAnswers(
        db(), dialogs, "interval",
        [&](const QString& t) {
            QVector<QStringList> figures;
            const int r = intStatJob(jobs, strStatJobSQL(StatType::Interval, {}, t, t, "0001"), figures);
            return r == 0 && none(figures) ? 1 : 0;
        },
        {}, [](const QString&) { return false; });

    frmStatJob w("4%");
    w.show();
    w.optStatType[3]->click();
    testsupport::expectOrdinaryAnswers(
        db(), dialogs, "date boxes",
        [&](const QString& t) {
            w.txtBgnDay->setText(t);
            w.txtEndDay->setText(t);
            w.cmdStat->click();
            return rows(w.spdJob) == QStringList{"借书://", "还书://", "交纳罚款://", "减免罚款://"} ? 1 : 0;
        },
        {}, [](const QString&) { return false; });
    w.txtBgnDay->setValue("2026-05-03");
    w.txtEndDay->setValue("2026-05-04");
    w.cmdStat->click();
    EXPECT_EQ(rows(w.spdJob), (QStringList{"借书:3/5/0", "还书:1/1/0", "交纳罚款:1/1/12.5", "减免罚款://"}));
}

TEST_F(StatJobTest, MenuOpensOneWindow)
{
    shell::Services::install(&shell::shellToolsService());
    frmMain* main = frmMain::load();
    ASSERT_TRUE(main);
    EXPECT_TRUE(main->menuCommandBar()->isItemEnabled("mnuStatWork"));
    main->menuItemClick("mnuStatWork");
    QPointer<frmStatJob> w = frmStatJob::instance();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->m_strJobHead, "4%");
    EXPECT_EQ(w->window()->parentWidget(), main);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->jobTypes().rowCount(), 4);
    // A second opening shows the window as it is: the job types are not read again.
    db().exec("insert into job_type (job_type, job_name) values ('430', '新工作')");
    w->hide();
    main->menuItemClick("mnuStatWork");
    EXPECT_EQ(frmStatJob::instance(), w.data());
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->jobTypes().rowCount(), 4);
    // Exit unloads it; the next opening loads it anew.
    w->cmdExit->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(w);
    EXPECT_EQ(frmStatJob::instance(), nullptr);
    main->menuItemClick("mnuStatWork");
    ASSERT_TRUE(frmStatJob::instance());
    EXPECT_EQ(frmStatJob::instance()->jobTypes().rowCount(), 5);
    db().exec("delete from job_type where job_type = '430'");
}

} // namespace
