#include "RandomDesk.h"

#include "common/basDB.h"
#include "desk/DeskLending.h"
#include "reader/ReaderContext.h"
#include "reader/clsFineSettle.h"

#include <QRandomGenerator>
#include <QStringList>

namespace {

// Readers the desk accepts, and two it refuses.
const char* const kCards[] = {"DC01", "DC02", "DC07", "DC13", "DC14", "DC15", "DC09", "DC10"};
const char* const kCallNos[] = {"TP311.12/W23", "TP393/S91", "H319.4/B87", "Q11/S91", "H164/Y92"};
const char* const kBarCodes[] = {"B500001", "B500002", "B500003", "B500004", "B500005", "B500011",
                                 "B500012", "B500013", "B500014", "B500021", "B500031", "B500032",
                                 "B580006", "B580008", "B580010", "B580012", "B580009", "B580011"};

template <size_t N> QString pick(QRandomGenerator& rng, const char* const (&list)[N]) {
    return QString::fromLatin1(list[rng.bounded(int(N))]);
}

class RandomDesk {
public:
    RandomDesk(unsigned seed, std::ostream& out) : rng_(seed), out_(out) {
        desk_.askKeepDays = [](const QString&, int maxDays) { return std::optional<int>(maxDays); };
        settle_.fnTitle = [](const QString&) { return QString(); };
    }

    void step() {
        // A failed action may have left the connection broken: the next one
        // offers the reconnect, which is answered OK.
        const QString card = pick(rng_, kCards);
        switch (rng_.bounded(6)) {
        case 0:
            place(card);
            break;
        case 1:
            remove(card);
            break;
        case 2:
        case 3:
            lend(card);
            break;
        case 4:
            giveBack();
            break;
        default:
            settle(card);
            break;
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

    void lend(const QString& card) {
        desk_.mode = desk::ModeLend;
        if (desk_.intLoadRedr(card) != 0) return;
        const QString code = pick(rng_, kBarCodes);
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

    QRandomGenerator rng_;
    std::ostream& out_;
    desk::ConsignDesk desk_;
    desk::DeskLending lending_{desk_};
    clsFineSettle settle_;
};

} // namespace

int runRandomDesk(unsigned seed, int actions, std::ostream& out) {
    out << "SEED " << seed << std::endl;
    RandomDesk desk(seed, out);
    for (int i = 0; i < actions; ++i)
        desk.step();
    out << "END " << actions << std::endl;
    LIB_DB_Disconnect();
    return 0;
}
