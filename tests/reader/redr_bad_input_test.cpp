// Bad input (tests/support/BadInput.h) through every entry of the reader
// information and the reader search a worker types into, without windows: the
// quick look-up of each field, the search's typed criteria in both match modes,
// its bar code and certificate ranges and its date ranges.

#include "reader/ReaderContext.h"
#include "reader/basLTMore.h"
#include "reader/basRedrSearch.h"
#include "tests/reader/RedrInfoFixture.h"
#include "tests/support/BadInput.h"

namespace {

struct CountingHost : RedrInfoHost {
    void frmRedrInfoSet(const QString&, const QString&) override { ++found; }
    void cmdRedrQuery_Click() override { ++found; }
    int found = 0;
};

// A criterion or range left blank is no criterion: the search lists every reader.
bool blank(const QString& text) {
    return QString(text).remove(QChar(0)).trimmed().isEmpty();
}

class RedrBadInputTest : public RedrInfoTest {
protected:
    void expectOrdinary(const char* entry, const std::function<int(const QString&)>& enter,
                        const QStringList& ordinary,
                        const std::function<bool(const QString&)>& noInput = {}) {
        testsupport::expectOrdinaryAnswers(db(), dialogs, entry, enter, ordinary, noInput);
    }
    // The search as the dialog runs it: 0 when it listed a reader.
    static int search(const RedrSearchInput& in) {
        QString sql, message;
        if (intBuildRedrSearch(in, &sql, &message) < 0) return -1;
        DBResultSet rs;
        if (LIB_DB_Select(sql, rs) != 0) return -2;
        return rs.rowCount() > 0 ? 0 : 1;
    }
};

} // namespace

TEST_F(RedrBadInputTest, QuickLookUps) {
    const QStringList notFound{S("没有找到该条码号的读者证！"), S("该读者证不存在！"),
                               S("没有找到符合条件的读者！")};
    for (int field : {SeekByBarcode, SeekByCertId, SeekByIdCard, SeekByName}) {
        expectOrdinary(
            "quick look-up",
            [field](const QString& t) {
                CountingHost host;
                subSeekRedr(field, t, &host);
                g_intAutoQuery = 0;
                return host.found ? 0 : 1;
            },
            notFound);
    }
}

TEST_F(RedrBadInputTest, SearchCriteriaInBothMatchModes) {
    for (int mode : {0, 1}) {
        for (int row : {1, 2, 3, 4, 6, 7, 8}) {
            expectOrdinary(
                "criterion",
                [mode, row](const QString& t) {
                    RedrSearchInput in;
                    in.matchMode = mode;
                    in.cells[row] = t;
                    return search(in);
                },
                {}, blank);
        }
    }
}

TEST_F(RedrBadInputTest, SearchRanges) {
    for (int option : {1, 2}) {
        expectOrdinary("range",
                       [option](const QString& t) {
                           RedrSearchInput in;
                           in.option = option;
                           in.from = t;
                           in.to = t;
                           return search(in);
                       },
                       {});
    }
    for (int option : {3, 4}) {
        expectOrdinary("date range",
                       [option](const QString& t) {
                           RedrSearchInput in;
                           in.option = option;
                           in.fromDate = t;
                           in.toDate = QStringLiteral("2099-12-31");
                           return search(in);
                       },
                       {});
    }
}
