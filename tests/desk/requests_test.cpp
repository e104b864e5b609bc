// Title search, holdings and placing and deleting requests, as a worker at the
// branch desk D2 does them.

#include "DeskFixture.h"
#include "PagedTitles.h"

#include <optional>

using desk::ConsignDesk;

class RequestsTest : public DeskTest {
protected:
    void SetUp() override
    {
        DeskTest::SetUp();
        freshDatabase();
        desk.askKeepDays = [this](const QString& begin, int maxDays) -> std::optional<int> {
            keepBegin = begin;
            keepMax = maxDays;
            return keepDays ? keepDays : std::optional<int>(maxDays);
        };
    }
    // Loads a card and finds the title by call number; the index of the title row.
    int findTitle(const QString& card, const QString& callNo)
    {
        EXPECT_EQ(desk.intLoadRedr(card), 0) << card.toStdString();
        EXPECT_EQ(desk.subSearchBook(callNo, desk::SearchCallNo), 0);
        for (int i = 0; i < desk.titles().size(); ++i)
            if (desk.titles()[i].callNos.contains(callNo))
                return i;
        return -1;
    }
    int holdingAt(int title, const QString& loc)
    {
        const auto& h = desk.titles()[title].holdings;
        for (int i = 0; i < h.size(); ++i)
            if (h[i].location == loc)
                return i;
        return -1;
    }

    ConsignDesk desk;
    std::optional<int> keepDays;
    QString keepBegin;
    int keepMax = 0;
};

TEST_F(RequestsTest, SearchListsLendableLocationsWithCounts)
{
    const int t = findTitle("DC02", "TP311.12/W23");
    ASSERT_GE(t, 0);
    const desk::TitleRow& row = desk.titles()[t];
    EXPECT_TRUE(row.listed);
    EXPECT_EQ(desk.selectedCallNo(), "TP311.12/W23");
    // A1: 3 lendable (one of them lent to a consignment), B1: 2; A2's copy is not lendable.
    ASSERT_EQ(row.holdings.size(), 2);
    const desk::HoldingRow& a1 = row.holdings[holdingAt(t, "A1")];
    EXPECT_EQ(a1.lendable, 3);
    EXPECT_EQ(a1.inLibrary, 2);
    EXPECT_EQ(a1.queued, 2);
    EXPECT_TRUE(a1.canApply); // another location group than the desk's
    const desk::HoldingRow& b1 = row.holdings[holdingAt(t, "B1")];
    EXPECT_EQ(b1.lendable, 2);
    EXPECT_EQ(b1.inLibrary, 1);
    EXPECT_FALSE(b1.canApply); // the desk's own group
    EXPECT_EQ(row.holdings[0].location, "A1"); // first location in the title row

    // A title whose circulation type no rule serves lists nothing; one with
    // no lendable copy neither.
    ASSERT_EQ(desk.subSearchBook("H164/Y92", desk::SearchCallNo), 0);
    EXPECT_TRUE(desk.titles()[0].holdings.isEmpty());
    ASSERT_EQ(desk.subSearchBook("K220/C41", desk::SearchCallNo), 0);
    EXPECT_TRUE(desk.titles()[0].holdings.isEmpty());
}

TEST_F(RequestsTest, SearchByCallNumberChoosesTheMatchingEntry)
{
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    ASSERT_EQ(desk.subSearchBook("TP393/S91", desk::SearchCallNo), 0);
    ASSERT_EQ(desk.titles().size(), 1);
    const desk::TitleRow& t = desk.titles()[0];
    EXPECT_EQ(t.callNos.size(), 3); // TP393/S91, TP393/S91A and TP393/S91B share the record
    EXPECT_EQ(t.callNo(), "TP393/S91"); // the exact match wins
    ASSERT_EQ(desk.subSearchBook("TP393/S91A", desk::SearchCallNo), 0);
    EXPECT_EQ(desk.titles()[0].callNo(), "TP393/S91A");
    EXPECT_EQ(desk.titles()[0].holdings.size(), 1);

    // Changing the drop-down lists the holdings of the new call number.
    desk.setChosenCallNo(0, desk.titles()[0].callNos.indexOf("TP393/S91"));
    ASSERT_EQ(desk.subShowHoldings(0), 0);
    EXPECT_EQ(desk.titles()[0].listedCallNo, "TP393/S91");
    EXPECT_EQ(desk.titles()[0].holdings.size(), 2);
}

TEST_F(RequestsTest, SearchByIndexGroupsAndMisses)
{
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    auto found = [this](const QString& no) {
        for (const auto& t : desk.titles())
            if (t.marcRecNo == no)
                return true;
        return false;
    };
    EXPECT_EQ(desk.subSearchBook(QStringLiteral("数据结构"), desk::SearchTitle), 0);
    EXPECT_TRUE(found("0000000001"));
    EXPECT_EQ(desk.subSearchBook(QStringLiteral("孙立群"), desk::SearchAuthor), 0);
    EXPECT_TRUE(found("0000000004"));
    EXPECT_EQ(desk.subSearchBook(QStringLiteral("文华书局"), desk::SearchPublisher), 0);
    EXPECT_TRUE(found("0000000005"));
    EXPECT_EQ(desk.subSearchBookByGroup("7-5041-8765", "05"), 0);
    ASSERT_TRUE(found("0000000004"));
    // The title line carries the record's title, responsibility and publisher.
    EXPECT_TRUE(desk.titles()[0].title.contains(QStringLiteral("计算机网络"))) << desk.titles()[0].title;
    EXPECT_FALSE(desk.titles()[0].author.isEmpty());
    EXPECT_FALSE(desk.titles()[0].publisher.isEmpty());

    EXPECT_EQ(desk.subSearchBook("NOSUCH", desk::SearchCallNo), -1);
    EXPECT_EQ(shown(), QStringLiteral("所查询书刊不存在！"));
    EXPECT_TRUE(desk.titles().isEmpty());
    // Wildcards in the text are taken literally.
    EXPECT_EQ(desk.subSearchBook("%", desk::SearchCallNo), -1);
    EXPECT_EQ(desk.subSearchBook("TP311_12", desk::SearchCallNo), -1);
    // A record without call numbers.
    db().exec("insert into marc_idx (marc_rec_no, marc_idx_grp, marc_idx_cont) values ('DM000099', '02', 'ORPHAN')");
    EXPECT_EQ(desk.subSearchBook("ORPHAN", desk::SearchTitle), -1);
    EXPECT_EQ(shown(), QStringLiteral("没有符合该读者借阅条件的书刊！"));
}

TEST_F(RequestsTest, SearchFindingMoreThanAPageListsItAPageAtATime)
{
    const int page = ConsignDesk::kTitlePage;
    addPagedTitles(2 * page + 2);
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    QStringList log;
    desk.statementLog = &log;
    ASSERT_EQ(desk.subSearchBook("ZPG/", desk::SearchCallNo), 0);
    desk.statementLog = nullptr;
    ASSERT_EQ(desk.titles().size(), page);
    EXPECT_EQ(desk.selectedCallNo(), desk.titles()[0].callNo());
    EXPECT_TRUE(desk.titles()[0].listed);
    EXPECT_FALSE(desk.titles()[1].listed);
    while (desk.subReadTitlePage() > 0) {
    }
    // The titles in the order the search query gives them, each with the
    // texts of its own record.
    const QStringList found = db().column(log.value(0));
    ASSERT_EQ(found.size(), 2 * page + 2);
    QStringList listed;
    for (const desk::TitleRow& t : desk.titles()) {
        listed << t.marcRecNo;
        const QString k = t.marcRecNo.mid(3);
        EXPECT_EQ(t.callNo(), "ZPG/" + k);
        EXPECT_EQ(t.title, "PAGED " + k);
        EXPECT_EQ(t.author, "AUTHOR " + k);
        EXPECT_EQ(t.publisher, "PRESS " + k);
    }
    EXPECT_EQ(listed, found);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(RequestsTest, FailedPageReadsShowTheErrorAndKeepTheListedTitles)
{
    const int page = ConsignDesk::kTitlePage;
    addPagedTitles(2 * page + 2);
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    // A read of the search failing (the database error box): the records of the first page, or the
    // holdings of the first title read with them.
    struct Case {
        const char* table;
        int result;
        int listed;
        const char* what;
    };
    const Case cases[] = {
        {"marc_data", -1, 0, "records of the first page: nothing listed"},
        {"item", 0, page, "holdings of the first title: the page listed without them"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        db().exec(QStringLiteral("alter table %1 rename to %1_away").arg(c.table));
        dialogs.shown.clear();
        EXPECT_EQ(desk.subSearchBook("ZPG/", desk::SearchCallNo), c.result);
        db().exec(QStringLiteral("alter table %1_away rename to %1").arg(c.table));
        EXPECT_EQ(dialogs.shown.size(), 1);
        EXPECT_EQ(shown(), msg("ECM012"));
        EXPECT_EQ(desk.titles().size(), c.listed);
        for (const desk::TitleRow& t : desk.titles())
            EXPECT_FALSE(t.listed);
    }
    EXPECT_EQ(desk.waitingTitles(), page + 2);

    // The next page failing: the error, the listed titles stay and the page
    // waits to be read again.
    db().exec("alter table marc_data rename to marc_data_away");
    dialogs.shown.clear();
    EXPECT_EQ(desk.subReadTitlePage(), -1);
    db().exec("alter table marc_data_away rename to marc_data");
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(shown(), msg("ECM012"));
    EXPECT_EQ(desk.titles().size(), page);
    EXPECT_EQ(desk.waitingTitles(), page + 2);
    EXPECT_EQ(desk.subReadTitlePage(), page);
    EXPECT_EQ(desk.titles()[page].title, "PAGED " + desk.titles()[page].marcRecNo.mid(3));
}

TEST_F(RequestsTest, PlaceJoinsTheEndOfTheQueueAndDeleteClosesItUp)
{
    const int t = findTitle("DC02", "TP311.12/W23");
    const int a1 = holdingAt(t, "A1");
    ASSERT_GE(a1, 0);
    ASSERT_EQ(desk.subApplyBook(t, a1), 0) << shown().toStdString();
    EXPECT_EQ(keepBegin, today());
    EXPECT_EQ(keepMax, 7);
    EXPECT_TRUE(desk.titles()[t].holdings[a1].applied);
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2", "DR02:3"}));
    EXPECT_EQ(db().scalar("select relegate_keep_days || '|' || relegate_end_date || '|' || relegate_location || '|' "
                          "|| wkr_no || '|' || relegate_date from relegate_lst where cert_id = 'DR02' "
                          "and relegate_flag = '0'"),
              "7|" + dayOffset(7) + "|D2|0001|" + today());
    ASSERT_EQ(desk.requests().size(), 1);
    EXPECT_EQ(desk.markedRequestRow(), 0);

    // A second press is refused: the reader already waits for the title.
    EXPECT_EQ(desk.subApplyBook(t, a1), -1);
    EXPECT_EQ(shown(), QStringLiteral("该读者已经委托了该种书"));

    // A teacher follows with fewer keep days than the most (14).
    keepDays = 3;
    const int t1 = findTitle("DC14", "TP311.12/W23");
    ASSERT_EQ(desk.subApplyBook(t1, holdingAt(t1, "A1")), 0) << shown().toStdString();
    EXPECT_EQ(keepMax, 14);
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2", "DR02:3", "DR14:4"}));
    EXPECT_EQ(db().scalar("select relegate_end_date from relegate_lst where cert_id = 'DR14' and relegate_flag = '0'"),
              dayOffset(3));

    // DR09's waiting request (number 1) is deleted from DR09's list; the load
    // refuses DR09 (fines) but leaves it the current reader.
    EXPECT_EQ(desk.intLoadRedr("DC09"), -1);
    ASSERT_EQ(desk.subLoadApplyList(0), 0);
    ASSERT_EQ(desk.requests().size(), 1);
    dialogs.answers << ui::BoxAnswer::Cancel;
    EXPECT_EQ(desk.subDeleteApply(0), 1); // not confirmed
    EXPECT_EQ(shown(), msg("QCM003"));
    dialogs.answers << ui::BoxAnswer::Ok;
    ASSERT_EQ(desk.subDeleteApply(0), 0) << shown().toStdString();
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR15:1", "DR02:2", "DR14:3"}));
    EXPECT_EQ(db().scalar("select relegate_flag || '|' || relegate_no from relegate_lst where cert_id = 'DR09'"),
              "2|0");
    EXPECT_TRUE(desk.requests().isEmpty());
}

TEST_F(RequestsTest, KeepDaysDialogClosedOrNoDaysPlacesNothing)
{
    const int t = findTitle("DC02", "TP311.12/W23");
    const int a1 = holdingAt(t, "A1");
    desk.askKeepDays = [](const QString&, int) { return std::optional<int>(); };
    EXPECT_EQ(desk.subApplyBook(t, a1), -1);
    for (int days : {0, -2}) {
        desk.askKeepDays = [days](const QString&, int) { return std::optional<int>(days); };
        EXPECT_EQ(desk.subApplyBook(t, a1), -1);
    }
    EXPECT_EQ(db().scalar("select count(*) from relegate_lst where cert_id = 'DR02'"), "1"); // the old cancelled one
    EXPECT_FALSE(LIB_DB_InTrans());
    EXPECT_FALSE(desk.titles()[t].holdings[a1].applied);
}

TEST_F(RequestsTest, PlacingChecksInTheirOrder)
{
    // Requesters per title: parameter 8 is -5 in the demo; -2 makes A1's queue of 2 full.
    db().exec("update sys_comm_para set sys_para_value = '-2' where sys_para_code = 8");
    ASSERT_EQ(intInitBaseData(), 0);
    int t = findTitle("DC02", "TP311.12/W23");
    EXPECT_EQ(desk.subApplyBook(t, holdingAt(t, "A1")), -1);
    EXPECT_EQ(shown(), QStringLiteral("该书已达到最大委托人数：2人"));
    // A positive value counts per lendable copy: 1 x 3 copies at A1 > 2 waiting.
    db().exec("update sys_comm_para set sys_para_value = '1' where sys_para_code = 8");
    ASSERT_EQ(intInitBaseData(), 0);
    EXPECT_EQ(desk.subApplyBook(t, holdingAt(t, "A1")), 0) << shown().toStdString();

    // Lending grade: QA76.6/C37 needs grade 3, the student has 1.
    t = findTitle("DC01", "QA76.6/C37");
    ASSERT_EQ(desk.titles()[t].holdings.size(), 1);
    EXPECT_EQ(desk.subApplyBook(t, 0), -1);
    EXPECT_EQ(shown(), msg("ELT164", "QA76.6/C37"));

    // No rule for the reader type at the location.
    desk::HoldingRow h;
    h.location = "A1";
    h.lendable = 1;
    EXPECT_EQ(desk.subApplyBook("H164/Y92", h), -1);
    EXPECT_EQ(shown(), msg("ELT161"));

    // The reader has a copy of the title on loan.
    ASSERT_EQ(desk.intLoadRedr("DC01"), 0);
    EXPECT_EQ(desk.subApplyBook("TP311.12/W23", h), -1);
    EXPECT_EQ(shown(), msg("ELT165"));

    // An arrived copy of the title waits for the reader (keep end date today still counts).
    db().exec("update relegate_arri_lst set relegate_keep_end_date = '" + today() + "' where cert_id = 'DR13'");
    ASSERT_EQ(desk.intLoadRedr("DC13"), 0);
    h.location = "B1";
    EXPECT_EQ(desk.subApplyBook("TP311.12/W23", h), -1);
    EXPECT_EQ(shown(), QStringLiteral("该读者已委托该书并已到书"));

    // The request limit of the reader type (5 for students), expired requests
    // included: DR15 waits for two titles and three more.
    db().exec("insert into relegate_lst (cert_id, call_no, location, relegate_no, relegate_date, relegate_keep_days, "
              "relegate_end_date, relegate_location, wkr_no, relegate_flag) select 'DR15', call_no, 'A1', 9, "
              "'2026-01-01', 7, '2026-01-08', 'D2', '0001', '0' from call_no_lst where call_no in "
              "('G250/L78', 'QA76.6/C37', 'H164/Y92')");
    ASSERT_EQ(desk.intLoadRedr("DC15"), 0);
    h.location = "A1";
    h.lendable = 3;
    EXPECT_EQ(desk.subApplyBook("K220/C41", h), -1);
    EXPECT_EQ(shown(), QStringLiteral("该读者已达到最大委托册数：5册"));
}

TEST_F(RequestsTest, LoansOfTheTitleAtALocation)
{
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    QVector<desk::LendDetailRow> rows;
    ASSERT_EQ(desk.subShowLendDetail("TP311.12/W23", "A1", rows), 0);
    QStringList props;
    for (const auto& r : rows)
        props << r.propNo;
    props.sort();
    EXPECT_EQ(props, (QStringList{"P500003", "P500061"}));
    EXPECT_EQ(desk.subShowLendDetail("TP311.12/W23", "", rows), -1);
}

TEST_F(RequestsTest, NumbersFollowTheHighestWaitingRequestExpiredOrNot)
{
    // Queue 2, 4 with number 4 expired: the holdings count only the valid
    // request, the new request still goes behind the expired one.
    db().exec("update relegate_lst set relegate_no = 4, relegate_end_date = '" + dayOffset(-1)
              + "' where cert_id = 'DR09' and relegate_flag = '0'");
    const int t = findTitle("DC02", "TP311.12/W23");
    const int a1 = holdingAt(t, "A1");
    EXPECT_EQ(desk.titles()[t].holdings[a1].queued, 1);
    ASSERT_EQ(desk.subApplyBook(t, a1), 0) << shown();
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR15:2", "DR09:4", "DR02:5"}));
}

TEST_F(RequestsTest, LocationNoRuleServesLendsNoCopiesToTheNextOne)
{
    // A2's copy becomes lendable, but no rule serves students there any more;
    // B1, next in code order, counts its own copies only.
    db().exec("update item set book_stat_code = '41' where prop_no = 'P500006'");
    db().exec("update rule_comp set loca_code_c = 'A1,B1' where no = 20");
    ASSERT_EQ(intLoadBaseCode(), 0);
    const int t = findTitle("DC02", "TP311.12/W23");
    ASSERT_GE(t, 0);
    EXPECT_EQ(holdingAt(t, "A2"), -1);
    const int b1 = holdingAt(t, "B1");
    ASSERT_GE(b1, 0);
    EXPECT_EQ(desk.titles()[t].holdings[b1].lendable, 2);
    EXPECT_EQ(desk.titles()[t].holdings[b1].inLibrary, 1);
}

TEST_F(RequestsTest, LoanLimitsOfTheRuleAtTheHoldingLocation)
{
    // The student places TP311.12/W23 (type 01) at A1 under rule R1 while
    // holding one other copy.
    struct Case {
        int maxLend, limtLend;
        QString propNo; // the copy on loan
        QString refusal; // empty: placed
    };
    const QList<Case> cases = {
        {1, 5, "P500021", msg("ELT120")},  // G250/L78 at A1, another type
        {10, 1, "P500051", msg("ELT121")}, // K220/C41 at A1, the same type
        {10, 1, "P500021", ""},            // another type does not count against the type limit
        {1, 1, "P500014", ""},             // TP393/S91A at B1: another location counts for neither
    };
    ASSERT_EQ(desk.intLoadRedr("DC02"), 0);
    for (const Case& c : cases) {
        const std::string name = c.propNo.toStdString() + " " + std::to_string(c.maxLend);
        db().exec(QStringLiteral("update circ_rule set max_lend_qty = %1, limt_lend_qty = %2 where rule_no = 'R1'")
                      .arg(c.maxLend)
                      .arg(c.limtLend));
        ASSERT_EQ(intLoadBaseCode(), 0);
        db().exec("insert into lend_lst (cert_id, prop_no, lend_date, norm_ret_date, rule_no_f, location_f) values "
                  "('DR02', '" + c.propNo + "', '" + today() + " 09:00:00', '" + dayOffset(30) + "', 'R1', 'A1')");
        desk::HoldingRow h;
        h.location = "A1";
        h.lendable = 3;
        dialogs.clear();
        EXPECT_EQ(desk.subApplyBook("TP311.12/W23", h), c.refusal.isEmpty() ? 0 : -1) << name;
        EXPECT_EQ(shownTexts(), c.refusal.isEmpty() ? QStringList() : QStringList{c.refusal}) << name;
        EXPECT_EQ(db().scalar("select count(*) from relegate_lst where cert_id = 'DR02' and relegate_flag = '0'"),
                  c.refusal.isEmpty() ? "1" : "0")
            << name;
        EXPECT_FALSE(LIB_DB_InTrans()) << name;
        db().exec("delete from lend_lst where cert_id = 'DR02'");
        db().exec("delete from relegate_lst where cert_id = 'DR02' and relegate_flag = '0'");
    }
}

TEST_F(RequestsTest, LaterLocationsFollowTheFirstInReverseCodeOrder)
{
    // A2's journal copy made lendable: A1, A2 and B1 hold the title.
    db().exec("update item set book_stat_code = '41' where prop_no = 'P500006'");
    const int t = findTitle("DC02", "TP311.12/W23");
    QStringList order;
    for (const auto& h : desk.titles()[t].holdings)
        order << h.location;
    EXPECT_EQ(order, (QStringList{"A1", "B1", "A2"}));
}

TEST_F(RequestsTest, ReaderTypeWithoutKeepDaysIsToldSoBeforeAnyDialog)
{
    db().exec("update reader_type set max_preg_days = 0 where redr_type_code = 'T1'");
    ASSERT_EQ(intLoadBaseCode(), 0);
    const int t = findTitle("DC02", "TP311.12/W23");
    int asked = 0;
    desk.askKeepDays = [&](const QString&, int) -> std::optional<int> {
        ++asked;
        return 1;
    };
    EXPECT_EQ(desk.subApplyBook(t, holdingAt(t, "A1")), -1);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(shown(), QStringLiteral("该读者类型的最大委托保留天数为0天，不能委托！"));
    EXPECT_EQ(db().scalar("select count(*) from relegate_lst where cert_id = 'DR02' and relegate_flag = '0'"), "0");
}

TEST_F(RequestsTest, QueueCountAndButtonFollowPlacingAndDeleting)
{
    const int t = findTitle("DC02", "TP311.12/W23");
    const int a1 = holdingAt(t, "A1");
    ASSERT_EQ(desk.titles()[t].holdings[a1].queued, 2);
    ASSERT_EQ(desk.subApplyBook(t, a1), 0) << shown();
    EXPECT_EQ(desk.titles()[t].holdings[a1].queued, 3);
    EXPECT_TRUE(desk.titles()[t].holdings[a1].applied);
    dialogs.answers << ui::BoxAnswer::Ok;
    ASSERT_EQ(desk.subDeleteApply(0), 0) << shown();
    EXPECT_EQ(desk.titles()[t].holdings[a1].queued, 2);
    EXPECT_FALSE(desk.titles()[t].holdings[a1].applied); // may be placed again
    ASSERT_EQ(desk.subApplyBook(t, a1), 0) << shown();
    EXPECT_EQ(queue("TP311.12/W23", "A1"), (QStringList{"DR09:1", "DR15:2", "DR02:3"}));
}

// The desk's reads are prepared once per session: a column added to the
// record table while the desk is open must not break the request list's
// titles for the rest of the day.
TEST_F(RequestsTest, RequestTitlesStillReadAfterTheRecordTableGainsAColumn)
{
    desk.intLoadRedr("DC09");
    ASSERT_EQ(desk.subLoadApplyList(0), 0);
    ASSERT_EQ(desk.requests().size(), 1);
    const QString title = desk.requests()[0].title;
    ASSERT_FALSE(title.isEmpty());
    db().exec("alter table marc_data add column marc04 varchar(2000)");
    ASSERT_EQ(desk.subLoadApplyList(0), 0) << shown().toStdString();
    ASSERT_EQ(desk.requests().size(), 1);
    EXPECT_EQ(desk.requests()[0].title, title);
}
