#include "reader/basLTMore.h"

#include "common/basDB.h"
#include "common/basMsg.h"
#include "common/basText.h"
#include "reader/ReaderContext.h"

#include <exception>

DBResultSet g_varItemList11;
DBResultSet g_varItemList12;
DBResultSet g_varItemList13;
DBResultSet g_varItemList14;
DBResultSet g_varItemList15;

namespace {

struct ItemList {
    const char* type;
    DBResultSet* target;
};
const ItemList kItemLists[] = {
    {"11", &g_varItemList11}, {"12", &g_varItemList12}, {"13", &g_varItemList13},
    {"14", &g_varItemList14}, {"15", &g_varItemList15},
};

QString itemListSQL(const ItemList& list)
{
    return QStringLiteral("select itemcontent from tmp_itemlist where itemtype = ")
           + strSQLQuote(QString::fromLatin1(list.type)) + QStringLiteral(" order by itemcontent");
}

} // namespace

QStringList strItemListSQLs()
{
    QStringList out;
    for (const ItemList& list : kItemLists)
        out << itemListSQL(list);
    return out;
}

int intLoadItemList()
{
    try {
        for (const ItemList& list : kItemLists) {
            g_strSQL = itemListSQL(list);
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

// ---- reader quick look-up --------------------------------------------------------

namespace {

struct SeekField {
    const char* column;
    const char* message;
    bool upper;
};

const SeekField kSeekFields[] = {
    {"reader_cert.redr_cert_id", "ELT205", true},
    {"reader.cert_id", "ELT101", true},
    {"reader.id_card", "ELT201", true},
    {"reader.name", "ELT201", false},
};

} // namespace

int intSeekRedr(int field, const QString& text, QStringList* certIds)
{
    certIds->clear();
    if (field < SeekByBarcode || field > SeekByName)
        return 0;
    const SeekField& f = kSeekFields[field];
    const QString typed = f.upper ? text.toUpper() : text;
    g_strSQL = QStringLiteral("SELECT DISTINCT reader.cert_id FROM reader, reader_cert "
                              "WHERE reader.cert_id = reader_cert.cert_id AND ")
               + QLatin1String(f.column) + QStringLiteral(" LIKE ")
               + strSQLQuote(strLikeEscape(typed) + QLatin1Char('%')) + QStringLiteral(" ESCAPE '\\'");
    DBResultSet rs;
    g_intSQLRet = LIB_DB_Select(g_strSQL, rs);
    if (g_intSQLRet < 0)
        return -1;
    for (int r = 0; r < rs.rowCount(); ++r)
        certIds->append(rs.text(r, 0));
    return 0;
}

void subSeekRedr(int field, const QString& text, RedrInfoHost* window)
{
    try {
        QStringList ids;
        if (intSeekRedr(field, text, &ids) < 0) {
            intShowDBError();
            return;
        }
        if (ids.isEmpty()) {
            intShowMsg(QLatin1String(kSeekFields[field].message));
        } else if (ids.size() == 1) {
            // The look-up reads no card: both arguments are the reader's number.
            window->frmRedrInfoSet(ids.first(), ids.first());
        } else {
            g_intAutoQuery = 1;
            window->cmdRedrQuery_Click();
        }
    } catch (const std::exception& e) {
        LIB_SetRunError(5, QString::fromLocal8Bit(e.what()));
        intShowDBError();
    }
}

void subSeekRedrByBarcode(const QString& text, RedrInfoHost* window, const QString&)
{
    subSeekRedr(SeekByBarcode, text, window);
}

void subSeekRedrByCertId(const QString& text, RedrInfoHost* window, const QString&)
{
    subSeekRedr(SeekByCertId, text, window);
}

void subSeekRedrByIdCard(const QString& text, RedrInfoHost* window, const QString&)
{
    subSeekRedr(SeekByIdCard, text, window);
}

void subSeekRedrByName(const QString& text, RedrInfoHost* window, const QString&)
{
    subSeekRedr(SeekByName, text, window);
}
