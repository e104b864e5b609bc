// Bad input (tests/support/BadInput.h) through the record searches, without
// windows: the quick search of every index group and the combined search of
// every group in each match mode find nothing, with no database error, with
// the index texts compared as they are and as wide-character escapes.

#include "biblio/BookSearch.h"
#include "tests/biblio/BiblioFixture.h"
#include "tests/support/BadInput.h"

using namespace biblio;

namespace {

class BookSearchBadInput : public BiblioTest {
protected:
    void expectOrdinary(const char* entry, const std::function<int(const QString&)>& enter) {
        testsupport::expectOrdinaryAnswers(db(), dialogs, entry, enter, {}, testsupport::onlyTheEmptyText);
    }
};

} // namespace

TEST_F(BookSearchBadInput, QuickSearchOfEveryGroup)
{
    ASSERT_GT(g_intIdxGroupCount, 0);
    for (int g = 0; g < g_intIdxGroupCount; ++g) {
        const QString code = g_arrIdxGroup[g].code;
        SCOPED_TRACE(code.toStdString());
        expectOrdinary("quick search", [&code](const QString& t) {
            BookHitPages pages;
            return intQuickSearch(code, t, pages) > 0 ? 0 : 1;
        });
        // The hit query with wide-character keys (the demo's records are not
        // stored so, hence the query alone).
        expectOrdinary("quick search, wide keys", [&code](const QString& t) {
            const QString key = strQuickSearchKey(code, t);
            if (key.isEmpty())
                return 1;
            DBResultSet hits;
            if (intBiblioSelect(strQuickSearchSQL(code, key, true), hits) != 0) {
                intShowDBError();
                return -1;
            }
            return hits.rowCount() > 0 ? 0 : 1;
        });
    }
}

TEST_F(BookSearchBadInput, CombinedSearchOfEveryGroupInEachMode) {
    for (bool wide : {false, true}) {
        for (int g = 0; g < g_intIdxGroupCount; ++g) {
            for (int mode : {MatchPrefix, MatchAny, MatchExact}) {
                const SeekRow base{g_arrIdxGroup[g].code, mode, {}};
                SCOPED_TRACE(base.code.toStdString() + " mode " + std::to_string(mode) +
                             (wide ? " wide" : ""));
                expectOrdinary("combined search", [&base, wide](const QString& t) {
                    SeekRow row = base;
                    row.value = t;
                    const SeekText text = varBuildBookSeek({row}, wide);
                    if (text.sql.isEmpty()) return 1;
                    BookHitPages pages;
                    return intRunBookSeek(text, pages) == 0 && pages.total() > 0 ? 0 : 1;
                });
            }
        }
    }
}
