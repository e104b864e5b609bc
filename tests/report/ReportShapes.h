#pragma once
// The reports the list windows hand to the report window, filled with
// generated records.

#include "report/ReportArray.h"

#include <QString>
#include <QStringList>

namespace reportshapes {

struct Shape {
    QString title;
    QStringList columns;
};

inline const QList<Shape>& shapes() {
    const QStringList apply = {"索书号", "题名", "责任者", "出版社", "委托馆藏地", "证件号", "姓名"};
    const QStringList arrived = {"索书号", "馆藏地",   "财产号",          "题名", "委托馆藏地", "证件号",
                                 "姓名",   "到书日期", "到书保留截至日期"};
    const QStringList accept = {"索书号", "财产号", "题名", "责任者", "出版社"};
    static const QList<Shape> all = {
        {"委托申请清单", apply + QStringList{"馆藏地", "可借数量", "在馆数量"}},
        {"委托申请清单", apply + QStringList{"可借数量", "在馆数量"}},
        {"委托到书清单(全部)", arrived},
        {"书刊划到清单", arrived},
        {"书刊验收清单(已验收)", accept + QStringList{"馆藏地"}},
        {"委托验收清单(全部)", accept + QStringList{"馆藏地"}},
        {"委托验收清单(未验收)", accept},
    };
    return all;
}

// Fills g_varPrtData with the shape's titles and `records` records; record i
// has key "M<i>" and cell texts "<title><i>".
inline void fill(const Shape& s, int records) {
    g_varPrtData.resize(records, int(s.columns.size()));
    for (int c = 0; c < s.columns.size(); ++c)
        g_varPrtData.setCell(0, c + 1, s.columns[c]);
    for (int r = 1; r <= records; ++r) {
        g_varPrtData.setCell(r, 0, QStringLiteral("M%1").arg(r));
        for (int c = 0; c < s.columns.size(); ++c)
            g_varPrtData.setCell(r, c + 1, QStringLiteral("%1%2").arg(s.columns[c]).arg(r));
    }
    g_lngPrtRows = records;
    g_lngPrtCols = int(s.columns.size());
}

} // namespace reportshapes
