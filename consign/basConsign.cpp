#include "consign/basConsign.h"

#include "common/LoginState.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "platform/ui/DialogService.h"
#include "report/ReportArray.h"
#include "report/frmFlexPrint.h"

#include <QLabel>

namespace consign {

QString strTeamName(const QString& code, const QStringList& depts, int position) {
    if (depts.size() == 1 && !depts.first().isEmpty()) return depts.first();
    static const QHash<QString, QString> byCode{{QStringLiteral("01"), QStringLiteral("借书处")},
                                                {QStringLiteral("02"), QStringLiteral("阅览室")},
                                                {QStringLiteral("03"), QStringLiteral("其他藏书处")},
                                                {QStringLiteral("04"), QStringLiteral("赠送交换对象")},
                                                {QStringLiteral("05"), QStringLiteral("远程分馆")},
                                                {QStringLiteral("13"), QStringLiteral("分馆")}};
    const auto it = byCode.find(code);
    if (it != byCode.end()) return *it;
    return QStringLiteral("新增组") + QStringLiteral("%1").arg(position, 2, 10, QLatin1Char('0'));
}

int intLoadTeams(QStringList& codes, QStringList& names) {
    codes.clear();
    names.clear();
    DBResultSet teams;
    if (LIB_DB_Select(
            QStringLiteral(" SELECT DISTINCT location_property FROM location_lst ORDER BY location_property"),
            teams) != 0) {
        intShowDBError();
        return -1;
    }
    for (int i = 0; i < teams.rowCount(); ++i) {
        const QString code = teams.text(i, 0);
        DBResultSet depts;
        if (LIB_DB_Select("SELECT DISTINCT location_dept FROM location_lst WHERE location_property=" +
                              strSQLQuote(code),
                          depts) != 0) {
            intShowDBError();
            return -1;
        }
        QStringList texts;
        for (int r = 0; r < depts.rowCount(); ++r)
            texts << depts.text(r, 0);
        codes << code;
        names << strTeamName(code, texts, i + 1);
    }
    return 0;
}

void subFillTeams(Chooser& chooser, const QStringList& codes, const QStringList& names, bool withAll) {
    chooser.clear();
    chooser.codes = codes;
    chooser.names = names;
    if (withAll) {
        chooser.names << QStringLiteral("所有馆藏组");
        chooser.hasAll = true;
    }
    chooser.index = chooser.count() > 0 ? 0 : -1;
}

int intLoadLocations(Chooser& chooser, const QString& group) {
    QString sql = QStringLiteral(" SELECT location_lst.location,location_lst.location_name "
                                 " FROM location_lst,location_sort  WHERE location_sort.oper_type=") +
                  strSQLQuote(QStringLiteral("3")) + " AND location_lst.location=location_sort.location ";
    if (!group.isEmpty()) sql += " AND location_lst.location_property=" + strSQLQuote(group);
    sql += QStringLiteral(" ORDER BY location_sort.sequence, location_sort.location");
    DBResultSet rows;
    if (LIB_DB_Select(sql, rows) != 0) {
        intShowDBError();
        return -1;
    }
    chooser.clear();
    for (int r = 0; r < rows.rowCount(); ++r) {
        chooser.codes << rows.text(r, 0);
        chooser.names << rows.text(r, 1);
    }
    chooser.names << QStringLiteral("所有馆藏地");
    chooser.hasAll = true;
    return 0;
}

QString strDeskGroup() {
    const QVariant& p = g_varLocaProperty;
    if (p.typeId() == QMetaType::QVariantList) {
        const QVariantList l = p.toList();
        return l.isEmpty() ? QString() : l.first().toString();
    }
    return p.toString();
}

namespace {
// The first `count` of title, responsibility and publisher.
QStringList textsOf(const MarcRecord& rec, int count = 3) {
    static const int kKinds[] = {0, 1, 3};
    // A record without fields (unreadable, or not read) has none of them.
    if (rec.count == 0) return QStringList(count);
    QStringList texts;
    texts.reserve(count);
    for (int k = 0; k < count; ++k)
        texts << strGetMarcTitle(rec, kKinds[k]);
    return texts;
}
} // namespace

QStringList marcTexts(const QString& marcRecNo) {
    return textsOf(strReadMarc(marcRecNo));
}

QStringList marcTexts(const MarcRecord& record) {
    return textsOf(record);
}

namespace {
QStringList numbersOf(const DBResultSet& rows, int column) {
    QStringList nos;
    nos.reserve(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r)
        nos << rows.text(r, column);
    return nos;
}
// The texts of each record once, however many rows name it.
QHash<QString, QStringList> textsOfAll(const QStringList& nos, const QHash<QString, MarcRecord>& records,
                                       int count) {
    static const MarcRecord kNone;
    QHash<QString, QStringList> texts;
    texts.reserve(records.size());
    for (const QString& no : nos) {
        if (texts.contains(no)) continue;
        const auto it = records.constFind(no);
        texts.insert(no, textsOf(it == records.cend() ? kNone : *it, count));
    }
    return texts;
}
} // namespace

QHash<QString, QStringList> mapMarcTexts(const DBResultSet& rows, int column) {
    const QStringList nos = numbersOf(rows, column);
    return textsOfAll(nos, mapReadMarcs(nos), 3);
}

QHash<QString, QStringList> mapMarcTexts(const DBResultSet& rows, int column, oradb::Dynaset* records,
                                         int count) {
    return mapMarcTexts(numbersOf(rows, column), records, count);
}

QHash<QString, QStringList> mapMarcTexts(const QStringList& nos, oradb::Dynaset* records, int count) {
    if (!records) return textsOfAll(nos, {}, count);
    // Each record gives its texts as it is read and is not kept.
    QHash<QString, QStringList> texts;
    texts.reserve(nos.size());
    subEachMarcOf(*records, nos,
                  [&](const QString& no, const MarcRecord& rec) { texts.insert(no, textsOf(rec, count)); });
    return texts;
}

QHash<QString, QStringList> mapMarcTexts(const QStringList& nos, oradb::Dynaset& rows, long fromRow,
                                         int firstColumn, int count) {
    QHash<QString, QStringList> texts;
    texts.reserve(nos.size());
    subEachMarcOf(rows, fromRow, firstColumn, nos,
                  [&](const QString& no, const MarcRecord& rec) { texts.insert(no, textsOf(rec, count)); });
    return texts;
}

void subInfoBox(const QString& text) {
    ui::BoxRequest box;
    box.title = QStringLiteral("流通委托");
    box.text = text;
    ui::DialogService::current().showBox(box);
}

QString strMadeBy() {
    return QStringLiteral("制表日期：") + varGetSysInfo(1).toString().left(10) +
           QStringLiteral("  经手人：") + varGetSysInfo(4).toString();
}

void subShowFlexPrint(const QString& title, const QStringList& info) {
    frmFlexPrint* form = frmFlexPrint::form();
    form->m_iSimplePrint = 0;
    form->m_strApp = title;
    for (int i = 0; i < 7; ++i)
        form->lblInfo(i)->setText(info.value(i));
    ui::DialogService::current().execDialog(form);
}

std::function<void(const QString&, const QStringList&)> g_showReport = subShowFlexPrint;

void subShowReport(const QString& title, const QStringList& info) {
    if (g_showReport) g_showReport(title, info);
}

} // namespace consign

namespace consign {
void subFillReport(const QStringList& titles, const QVector<QStringList>& records) {
    g_lngPrtRows = records.size();
    g_lngPrtCols = titles.size();
    g_varPrtData.clear();
    g_varPrtData.resize(g_lngPrtRows, g_lngPrtCols);
    g_varPrtData.setRow(0, QStringList{QString()} + titles);
    for (int r = 0; r < records.size(); ++r)
        g_varPrtData.setRow(r + 1, records[r]);
}
} // namespace consign

QStringList consign::homeTitles() {
    return {QStringLiteral("索书号"), QStringLiteral("财产号"), QStringLiteral("题名"),
            QStringLiteral("责任者"), QStringLiteral("出版社"), QStringLiteral("馆藏地")};
}
