#include "RandomDesk.h"

#include "common/basDB.h"
#include "common/basEnv.h"
#include "consign/FindDesk.h"
#include "consign/ReturnManage.h"
#include "consign/basApplyManage.h"
#include "consign/basFindManage.h"
#include "desk/DeskLending.h"
#include "reader/ReaderContext.h"
#include "reader/clsFineSettle.h"

#include <QRandomGenerator>
#include <QStringList>

#include <iterator>

namespace {

using consign::q;

// Readers the desk accepts, and two it refuses.
const char* const kCards[] = {"DC01", "DC02", "DC07", "DC13", "DC14", "DC15", "DC09", "DC10"};
const char* const kCallNos[] = {"TP311.12/W23", "TP393/S91", "H319.4/B87", "Q11/S91", "H164/Y92"};
const char* const kBarCodes[] = {"B500001", "B500002", "B500003", "B500004", "B500005", "B500011",
                                 "B500012", "B500013", "B500014", "B500021", "B500031", "B500032",
                                 "B580006", "B580008", "B580010", "B580012", "B580009", "B580011"};

// The holding locations, one of each group: the management windows choose
// either, so a queue or found copy is worked on from both groups' desks.
const char* const kHoldings[] = {"A1", "B1"};

template <size_t N> QString pick(QRandomGenerator& rng, const char* const (&list)[N]) {
    return QString::fromLatin1(list[rng.bounded(int(N))]);
}

// The rows of a query the worker makes to choose what it scans (not an
// action of the program); empty when it fails.
DBResultSet rowsOf(const QString& sql) {
    DBResultSet rs;
    if (LIB_DB_Select(sql, rs) != 0) {
        LIB_ClearDBError();
        return DBResultSet();
    }
    return rs;
}

QString quotedCards() {
    QStringList cards;
    for (const char* card : kCards)
        cards << q(QString::fromLatin1(card));
    return cards.join(QLatin1Char(','));
}

class RandomDesk {
public:
    RandomDesk(unsigned seed, const QStringList& shown, std::ostream& out)
        : rng_(seed), shown_(shown), out_(out) {
        desk_.askKeepDays = [](const QString&, int maxDays) { return std::optional<int>(maxDays); };
        settle_.fnTitle = [](const QString&) { return QString(); };
        home_.defaultDates(datServerToday());
    }

    void step() {
        // A failed action may have left the connection broken: the next one
        // offers the reconnect, which is answered OK.
        const QString card = pick(rng_, kCards);
        static const char* const kActions[] = {"place",    "place",  "delete", "lend", "pickup",
                                               "return",   "return", "settle", "find", "find",
                                               "handover", "accept", "cancel", "queue"};
        const QString action = QString::fromLatin1(kActions[rng_.bounded(int(std::size(kActions)))]);
        if (action == QLatin1String("place"))
            place(card);
        else if (action == QLatin1String("delete"))
            remove(card);
        else if (action == QLatin1String("lend"))
            lend(card, pick(rng_, kBarCodes));
        else if (action == QLatin1String("pickup"))
            pickUp();
        else if (action == QLatin1String("return"))
            giveBack();
        else if (action == QLatin1String("settle"))
            settle(card);
        else if (action == QLatin1String("find"))
            scan();
        else if (action == QLatin1String("handover"))
            handOver();
        else if (action == QLatin1String("accept"))
            accept();
        else if (action == QLatin1String("cancel"))
            cancelFound();
        else
            changeQueue();
        // No action ends with its transaction still open (its row locks would
        // stay held into the next one): asked of the server, whose
        // transaction start differs from the statement's inside one.
        const QString open = QStringLiteral("open");
        if (rowsOf("SELECT CASE WHEN now() <> statement_timestamp() THEN " + q(open) + " END").text(0, 0) ==
            open) {
            out_ << "OPEN " << action.toStdString() << '\n';
            LIB_DB_Rollback();
            ExecuteSQL(QStringLiteral("ROLLBACK"));
        }
    }

private:
    void report(const char* action, const QString& who, const QString& what) {
        out_ << "OK " << action << ' ' << who.toStdString() << ' ' << what.toStdString() << '\n';
    }

    bool load(const QString& card) {
        desk_.mode = desk::ModeRequest;
        return desk_.intLoadRedr(card) == 0;
    }

    void place(const QString& card) {
        if (!load(card) || desk_.subSearchBook(pick(rng_, kCallNos), desk::SearchCallNo) != 0 ||
            desk_.titles().isEmpty() || desk_.subShowHoldings(0) != 0)
            return;
        desk::TitleRow& title = desk_.titles()[0];
        if (title.holdings.isEmpty()) return;
        const int row = rng_.bounded(int(title.holdings.size()));
        const QString location = title.holdings[row].location;
        if (title.holdings[row].canApply && desk_.subApplyBook(0, row) == 0)
            report("place", g_strCertID, title.callNo() + ' ' + location);
    }

    void remove(const QString& card) {
        if (!load(card) || desk_.subLoadApplyList() < 0 || desk_.requests().isEmpty()) return;
        const desk::RequestRow r = desk_.requests()[rng_.bounded(int(desk_.requests().size()))];
        if (desk_.subDeleteApply(r) == 0) report("delete", g_strCertID, r.callNo + ' ' + r.location);
    }

    void lend(const QString& card, const QString& code) {
        desk_.mode = desk::ModeLend;
        if (desk_.intLoadRedr(card) != 0) return;
        lending_.clearMarkedLoan();
        lending_.subLendReleBook(code);
        if (lending_.markedLoan() == code) report("lend", g_strCertID, code);
    }

    void giveBack() {
        desk_.mode = desk::ModeReturn;
        const QString code = pick(rng_, kBarCodes);
        if (lending_.subReturnBook(code) == 0) report("return", QStringLiteral("-"), code);
    }

    void settle(const QString& card) {
        if (!load(card) || settle_.load(g_strCertID) != clsFineSettle::LoadResult::Ready ||
            settle_.intCount() == 0)
            return;
        clsFineSettle::PayInput in;
        in.remark = QStringLiteral("worker");
        clsFineSettle::Outcome done;
        if (rng_.bounded(2) == 0) {
            const std::optional<Cents> proposal = settle_.optProposal();
            if (!proposal) return;
            in.amountText = QString::number(*proposal / 100.0, 'f', 2);
            done = settle_.pay(in);
        } else {
            done = settle_.waive(in);
        }
        if (done.done) report("settle", settle_.certId(), QStringLiteral("-"));
    }

    // The reader of a found copy waiting to be collected comes with it.
    void pickUp() {
        const DBResultSet rs = rowsOf(
            "SELECT reader_cert.redr_cert_id, item.bar_code FROM relegate_arri_lst f "
            "JOIN item ON item.prop_no = f.prop_no JOIN reader_cert ON reader_cert.cert_id = f.cert_id "
            "WHERE f.relegate_end_flag < '3' AND reader_cert.redr_cert_id IN (" +
            quotedCards() + ") ORDER BY 1, 2");
        if (rs.rowCount() == 0) return;
        const int row = rng_.bounded(rs.rowCount());
        lend(rs.text(row, 0), rs.text(row, 1));
    }

    // The find desk scans a copy at a holding location of the desk's group
    // whose title has waiting requests there; now and then any copy.
    void scan() {
        const DBResultSet rs =
            rowsOf("SELECT DISTINCT item.bar_code FROM item "
                   "JOIN location_lst ON location_lst.location = item.location "
                   "JOIN relegate_lst ON relegate_lst.call_no = item.call_no AND relegate_lst.location = "
                   "item.location "
                   "AND relegate_lst.relegate_flag = '0' WHERE location_lst.location_property = " +
                   q(consign::strDeskGroup()) + " ORDER BY 1");
        QString code = pick(rng_, kBarCodes);
        if (rs.rowCount() > 0 && rng_.bounded(5) != 0) code = rs.text(rng_.bounded(rs.rowCount()), 0);
        if (find_.subFindBook(code) != 0) return;
        const consign::FoundRow& f = find_.spdFind().first();
        // The request served waited in the queue of the copy's own location.
        const DBResultSet at = rowsOf("SELECT location FROM item WHERE bar_code = " + q(code));
        report("find", f.certId, f.callNo + ' ' + at.text(0, 0));
    }

    // The hand-over of the copies this find desk found; the box tells which
    // of them were no longer found ('1') and stayed as they were.
    void handOver() {
        const qsizetype before = shown_.size();
        if (find_.subConnectFind() != 0) return;
        const QString done = QStringLiteral("批次交接正常结束。");
        const QString skipped = QStringLiteral("未交接：");
        QStringList gone;
        for (const QString& text : shown_.mid(before))
            if (text.startsWith(done) && text.contains(skipped))
                gone = text.section(skipped, 1).split(QLatin1Char(','));
        for (const consign::FoundRow& row : find_.spdFind())
            if (!gone.removeOne(row.propNo)) report("handover", QStringLiteral("-"), row.propNo);
    }

    // Acceptance at home of a copy returned away, of the desk's group; now and then any copy.
    void accept() {
        const DBResultSet rs = rowsOf(
            "SELECT DISTINCT item.bar_code FROM relegate_arri_lst f JOIN item ON item.prop_no = f.prop_no "
            "JOIN location_lst ON location_lst.location = item.location WHERE f.relegate_end_flag = '4' "
            "AND location_lst.location_property = " +
            q(consign::strDeskGroup()) + " ORDER BY 1");
        QString code = pick(rng_, kBarCodes);
        if (rs.rowCount() > 0 && rng_.bounded(5) != 0) code = rs.text(rng_.bounded(rs.rowCount()), 0);
        if (home_.subCheckBook(code) == 0) report("accept", QStringLiteral("-"), code);
    }

    // The location chooser of a management window on A1 or B1.
    template <class Window> bool chooseHolding(Window& w) {
        if (w.locations.codes.isEmpty() && w.subInitLocation() != 0) return false;
        const int index = int(w.locations.codes.indexOf(pick(rng_, kHoldings)));
        return index >= 0 && w.cmbLocation_Click(index) == 0;
    }

    // A found copy of one of the run's readers cancelled (the demo's other
    // found copies belong to other tests' cases).
    void cancelFound() {
        if (!chooseHolding(foundCopies_)) return;
        if (readers_.isEmpty()) {
            const DBResultSet rs =
                rowsOf("SELECT cert_id FROM reader_cert WHERE redr_cert_id IN (" + quotedCards() + ")");
            for (int i = 0; i < rs.rowCount(); ++i)
                readers_ << rs.text(i, 0);
        }
        QVector<int> ours;
        for (int i = 0; i < foundCopies_.rows.size(); ++i)
            if (readers_.contains(foundCopies_.rows[i].certId)) ours << i;
        if (ours.isEmpty()) return;
        const int row = ours[rng_.bounded(int(ours.size()))];
        const consign::FoundCopyRow r = foundCopies_.rows[row];
        foundCopies_.lastCancelled = 0;
        if (foundCopies_.subDeleteFind(row) == 0 && foundCopies_.lastCancelled == 1)
            report("cancel", r.certId, r.propNo);
    }

    // A request of a queue deleted, moved up or moved down.
    void changeQueue() {
        consign::ApplyManage& m = queues_;
        if (!chooseHolding(m) || m.titles.isEmpty() ||
            m.subShowQueue(rng_.bounded(int(m.titles.size()))) != 0 || m.queue.isEmpty())
            return;
        const int row = rng_.bounded(int(m.queue.size()));
        const QString what = m.titles[m.titleRow].callNo + ' ' + m.location();
        const QString certId = m.queue[row].certId;
        switch (rng_.bounded(3)) {
        case 0:
            if (m.subDeleteApply(row) == 0) report("delete", certId, what);
            break;
        case 1: // the one above goes one place back
            if (row > 0) {
                const QString above = m.queue[row - 1].certId;
                if (m.subMoveApply(row, false) == 0) report("move", above, what);
            }
            break;
        default:
            if (m.subMoveApply(row, true) == 0) report("move", certId, what);
            break;
        }
    }

    QRandomGenerator rng_;
    const QStringList& shown_;
    std::ostream& out_;
    desk::ConsignDesk desk_;
    desk::DeskLending lending_{desk_};
    clsFineSettle settle_;
    consign::FindDesk find_;
    consign::ReturnManage home_;
    consign::FindManage foundCopies_;
    consign::ApplyManage queues_;
    QStringList readers_; // of kCards
};

} // namespace

int runRandomDesk(unsigned seed, int actions, const QStringList& shown, std::ostream& out) {
    out << "SEED " << seed << std::endl;
    RandomDesk desk(seed, shown, out);
    for (int i = 0; i < actions; ++i)
        desk.step();
    out << "END " << actions << std::endl;
    LIB_DB_Disconnect();
    return 0;
}
