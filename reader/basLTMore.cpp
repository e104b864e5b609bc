#include "reader/basLTMore.h"

#include "common/basDB.h"

#include <exception>

DBResultSet g_varItemList11;
DBResultSet g_varItemList12;
DBResultSet g_varItemList13;
DBResultSet g_varItemList14;
DBResultSet g_varItemList15;

int intLoadItemList()
{
    try {
        struct List {
            const char* type;
            DBResultSet* target;
        };
        const List lists[] = {
            {"11", &g_varItemList11}, {"12", &g_varItemList12}, {"13", &g_varItemList13},
            {"14", &g_varItemList14}, {"15", &g_varItemList15},
        };
        for (const List& list : lists) {
            g_strSQL = QStringLiteral("select itemcontent from tmp_itemlist where itemtype = ")
                       + strSQLQuote(QString::fromLatin1(list.type)) + QStringLiteral(" order by itemcontent");
            g_intSQLRet = LIB_DB_Select(g_strSQL, *list.target);
            if (g_intSQLRet < 0) {
                intShowDBError();
                return -1;
            }
        }
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}

int intReadRedrType(const QString& certId, QString* type)
{
    DBResultSet rs;
    g_strSQL = QStringLiteral("SELECT redr_type_code FROM reader WHERE cert_id = ") + strSQLQuote(certId);
    g_intSQLRet = LIB_DB_Select(g_strSQL, rs);
    if (g_intSQLRet != 0) {
        intShowDBError();
        return -1;
    }
    *type = rs.rowCount() > 0 ? rs.text(0, 0) : QString();
    return 0;
}
