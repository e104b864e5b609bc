// Loading the cataloguing parameters: the database side of basMarcIdx.h.

#include "common/basMarcIdx.h"

#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMarcField.h"
#include "common/basText.h"

namespace {

void logInitFailure()
{
    LIB_WriteLogFile(QStringLiteral("系统初始化"),
                     QStringLiteral("初始化MARC索引参数出错，请代码管理员检查marc_idx_para数据是否正确。"), 0);
}

} // namespace

// ---- index parameters ---------------------------------------------------------

namespace {

QString idxParaSQL(int use, int format)
{
    return QStringLiteral(" SELECT marc_idx_grp,marc_idx_grp_name,stopword_flag,marc_field")
        + QStringLiteral("   FROM marc_idx_para ") + QStringLiteral("  WHERE marc_type_id=")
        + strSQLQuote(QString::number(format)) + QStringLiteral("    AND use_type=")
        + strSQLQuote(QString::number(use)) + QStringLiteral("  ORDER BY marc_idx_grp");
}

QString titleFieldSQL(int format)
{
    return QStringLiteral(" SELECT marc_field") + QStringLiteral("   FROM title_field ")
        + QStringLiteral("  WHERE marc_type_id=") + strSQLQuote(QString::number(format))
        + QStringLiteral("  ORDER BY serial");
}

const QString kStopwordSQL =
    QStringLiteral(" SELECT stopword_cont,stopword_type ") + QStringLiteral("   FROM stopword")
    + QStringLiteral("  ORDER BY stopword_type");

} // namespace

QStringList strMarcIdxSQLs()
{
    QStringList out;
    for (int u = 0; u <= 1; ++u)
        for (int f = 0; f <= 3; ++f)
            out << idxParaSQL(u, f);
    for (int f = 0; f <= 1; ++f)
        out << titleFieldSQL(f);
    return out << kStopwordSQL;
}

int intInitMarcIdx()
{
    for (int u = 0; u <= 1; ++u) {
        QVector<std::array<IdxParaEntry, 4>>& table = u == 0 ? g_arrIdxParaUse0 : g_arrIdxParaUse1;
        for (int f = 0; f <= 3; ++f) {
            DBResultSet rs;
            g_strSQL = idxParaSQL(u, f);
            if (LIB_DB_Select(g_strSQL, rs) != 0)
                return -1;
            g_intIdxParaMax = qMax(g_intIdxParaMax, rs.rowCount());
            table.resize(g_intIdxParaMax + 1);
            for (int k = 0; k < rs.rowCount(); ++k) {
                IdxParaEntry& e = table[k][f];
                QString grp = rs.text(k, 0);
                e.grp = grp.size() >= 2 ? grp.left(2) : grp + QString(2 - grp.size(), u' ');
                e.grp_name = rs.text(k, 1);
                const QVariant flag = rs.value(k, 2);
                bool ok = false;
                e.stopword_flag = flag.toString().trimmed().toInt(&ok);
                if (!ok)
                    e.stopword_flag = static_cast<int>(flag.toDouble());
                e.marc_field = rs.text(k, 3);
            }
        }
    }
    for (int f = 0; f <= 1; ++f) {
        g_strSQL = titleFieldSQL(f);
        DBResultSet rs;
        if (LIB_DB_Select(g_strSQL, rs) != 0)
            return -1;
        QVector<QString> items(rs.rowCount() + 1);
        for (int k = 0; k < rs.rowCount(); ++k)
            items[k] = rs.text(k, 0);
        (f == 0 ? g_arrTitleFieldCn : g_arrTitleFieldUs) = items;
    }
    g_strSQL = kStopwordSQL;
    DBResultSet rs;
    if (LIB_DB_Select(g_strSQL, rs) != 0)
        return -1;
    // Entries 0-2 must exist; entry 3 may be missing.
    if (rs.rowCount() < 3) {
        logInitFailure();
        return -1;
    }
    for (int k = 0; k < 4; ++k)
        g_arrStopword[k] = k < rs.rowCount() ? rs.text(k, 0) : QString();
    return 0;
}

QString strMarcIdxIniFile()
{
    return g_strPath[7] + QStringLiteral("BM_MarcIDX.ini");
}

void varLoadMarcIdxIni()
{
    const QVector<IdxGroupEntry> groups = varReadIdxGroups(strMarcIdxIniFile());
    if (!groups.isEmpty())
        g_arrIdxGroup = groups;
}

// Folding applies only to national-character keys.
QString strFoldLetters(const QString& text)
{
    if (!g_intMarc03)
        return text;
    QString t = text;
    for (int k = 1; k <= 14; ++k) {
        const FoldLetterEntry& e = g_arrFoldLetters[k];
        for (const QChar ch : e.letters) {
            if (t.contains(ch))
                t.replace(ch, e.replacement);
            const QChar lower = ch.toLower();
            if (t.contains(lower))
                t.replace(lower, e.replacement.toLower());
        }
    }
    return t;
}

QString strPrepareIdxKey(const QString& group, const QString& typed, bool prefix)
{
    QString k = typed.trimmed().toUpper();
    if (group == QStringLiteral("05"))
        k = strGetIsbn(k);
    if (blnMarcTagFlag(group))
        k = strNormalizeKey(k);
    if (!group.startsWith(u'9'))
        k = strTrimCJKSpace(k);
    k = strFoldLetters(k);
    k = k.left(intCharPosByWidth(k, g_intIdxContLen));
    return prefix ? k + u'%' : k;
}
