#include "report/ExportFieldChooser.h"

#include "common/basMarcIdx.h"

QString g_strExpFile;
QString g_strExpTable;
qint32 g_lngExpColCount = 0;
QList<report::ExportColumn> g_arrExpCols;
qint32 g_lngExpSrcCount = 0;
QList<report::ExportColumn> g_arrExpSrcCols;

namespace report {

QStringList namedMarcItems() {
    QStringList out;
    for (int r = 0; r < g_intIdxParaMax && r < g_arrIdxParaUse1.size(); ++r)
        if (!g_arrIdxParaUse1[r][0].grp_name.isEmpty()) out << g_arrIdxParaUse1[r][0].grp_name;
    return out;
}

void ExportFieldChooser::load(const QList<ExportColumn>& sources) {
    rows.clear();
    for (int k = 0; k < sources.size() && k < kMaxExportColumns; ++k) {
        ChooserRow r;
        r.name = sources[k].strName;
        r.content = k + 1;
        rows.append(r);
    }
    active = 0;
}

bool ExportFieldChooser::newRow() {
    if (rows.size() >= kMaxExportColumns) return false;
    active = std::clamp(active, 0, int(rows.size()));
    rows.insert(active, ChooserRow{});
    return true;
}

void ExportFieldChooser::deleteRow() {
    if (active < 0 || active >= rows.size()) return;
    rows.removeAt(active);
    active = std::clamp(active, 0, std::max(0, int(rows.size()) - 1));
}

bool ExportFieldChooser::moveUp() {
    if (active <= 0 || active >= rows.size()) return false;
    rows.swapItemsAt(active, active - 1);
    --active;
    return true;
}

bool ExportFieldChooser::moveDown() {
    if (active < 0 || active + 1 >= rows.size()) return false;
    rows.swapItemsAt(active, active + 1);
    ++active;
    return true;
}

void ExportFieldChooser::setContent(int row, int content) {
    if (row < 0 || row >= rows.size()) return;
    ChooserRow& r = rows[row];
    r.content = content;
    if (content != 0) {
        r.marcItem = 0;
        r.cn.clear();
        r.us.clear();
    }
}

bool ExportFieldChooser::ok(const QList<ExportColumn>& sources, QList<ExportColumn>* out,
                            QString* message) const {
    QList<ExportColumn> cols;
    for (const ChooserRow& r : rows) {
        ExportColumn e;
        e.strName = r.name.trimmed().toUpper();
        if (r.content == 0) {
            e.intCol = 0;
            e.intMarcItem = r.marcItem;
            if (r.marcItem == 0) {
                if (r.cn.size() != 4 || r.us.size() != 4) {
                    if (message) *message = QStringLiteral("输入的不是正确的MARC子字段");
                    return false;
                }
                e.strCnSubfield = r.cn;
                e.strUsSubfield = r.us;
            }
        } else {
            e.intCol = sources.value(r.content - 1).intCol;
        }
        cols.append(e);
    }
    *out = cols;
    return true;
}

} // namespace report
