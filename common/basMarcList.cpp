#include "common/basMarcList.h"

#include "common/basDB.h"
#include "common/basMarc.h"

QVector<BookSumEntry> g_arrBookSum;

namespace {

QString strMarcListHead()
{
    return QStringLiteral("SELECT MARC_REC_NO,DOC_TYPE_CODE,MARC_TYPE,LANG_CODE,COUNTRY_CODE,M_CALL_NO,"
                          "M_TITLE,M_AUTHOR,M_PUBLISHER,M_PUB_YEAR,M_ISBN,MARC_USE_FLAG FROM marc");
}

} // namespace

QString strMarcListSQL(const QString& selection)
{
    const QString sql = strMarcListHead() + QStringLiteral(" WHERE marc_rec_no in (") + selection + QStringLiteral(")");
    return g_intMarc03 ? strMarcSelectToDump(sql) : sql;
}

QString strMarcListTableSQL()
{
    return g_intMarc03 ? strMarcSelectToDump(strMarcListHead()) : strMarcListHead();
}

QVector<BookSumEntry> arrMarcListOf(const DBResultSet& rs)
{
    QVector<BookSumEntry> list(rs.rowCount() + 1);
    for (int i = 0; i < rs.rowCount(); ++i) {
        BookSumEntry& e = list[i];
        e.marc_rec_no = rs.text(i, 0);
        e.doc_type_code = rs.text(i, 1);
        e.marc_type = rs.text(i, 2);
        e.lang_code = rs.text(i, 3);
        e.country_code = rs.text(i, 4);
        e.call_no = rs.text(i, 5);
        e.title = rs.text(i, 6);
        e.author = rs.text(i, 7);
        e.publisher = rs.text(i, 8);
        e.pub_year = rs.text(i, 9);
        e.isbn = rs.text(i, 10);
        e.marc_use_flag = rs.text(i, 11);
    }
    return list;
}

void subLoadMarcList(const QString& selection, int /*source*/)
{
    g_strSQL = strMarcListSQL(selection); // the caller may pass g_strSQL itself
    DBResultSet rs;
    g_intSQLRet = intDBSelectDump(g_strSQL, rs);
    if (g_intSQLRet != 0) {
        intShowDBError();
        return;
    }
    g_arrBookSum = arrMarcListOf(rs);
}

int intFindMarcInList(const QString& no)
{
    // The last entry is the empty spare one.
    for (qsizetype i = 0; i + 1 < g_arrBookSum.size(); ++i) {
        if (g_arrBookSum[i].marc_rec_no == no)
            return static_cast<int>(i);
    }
    return -1;
}
