#include "report/ColumnSetup.h"

#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basText.h"
#include "report/ReportArray.h"

#include <QHash>
#include <QStringList>

namespace report {

namespace {
const QString kHide = QStringLiteral("Hide");

// The records of a whole column fill, read in one query before its rows are
// filled; marcFillFromDatabase answers from them while it lasts.
const QHash<QString, MarcRecord>* s_records = nullptr;

class RecordsAhead {
public:
    explicit RecordsAhead(const QStringList& nos) : outer_(s_records) {
        QStringList wanted;
        for (const QString& no : nos)
            if (!no.trimmed().isEmpty()) wanted << no.trimmed();
        wanted.removeDuplicates();
        if (wanted.isEmpty()) return;
        records_ = mapReadMarcs(wanted);
        // A failed read leaves nothing: each row then reads its own.
        if (!records_.isEmpty()) s_records = &records_;
    }
    ~RecordsAhead() { s_records = outer_; }
    RecordsAhead(const RecordsAhead&) = delete;
    RecordsAhead& operator=(const RecordsAhead&) = delete;

private:
    QHash<QString, MarcRecord> records_;
    const QHash<QString, MarcRecord>* outer_;
};

bool readsRecords(const MarcSubfields& s) {
    return !s.cn.isEmpty() || !s.us.isEmpty();
}

// The fill reads the catalogue (another fill, say a test's, needs nothing read).
bool fillsFromDatabase(const MarcFill& fill) {
    using Plain = QString (*)(const QVariant&, const MarcSubfields&);
    const Plain* f = fill.target<Plain>();
    return f && *f == &marcFillFromDatabase;
}

QString cutBetween(const QString& text, const QString& open, const QString& close) {
    QString rest = text;
    return strCutBetween(rest, open, close);
}

int findArrayColumn(const ReportArray& data, int cols, const QString& title) {
    for (int k = 1; k <= cols; ++k)
        if (data.cell(0, k) == title) return k;
    return 0;
}

// The steps the OK and the template rebuild share; `rows` are the set-up
// rows that make columns, each with its array column already found.
void rebuild(ReportGrid& grd, const QList<SetupRow>& rows, const RebuildInput& in, int addOrder,
             bool dollarAlways) {
    const int records = std::max(0, in.rows);
    grd.setRows(0);
    grd.setCols(0);
    grd.setCols(int(rows.size()) + 1);
    grd.setRows(records + 2);
    grd.forRange(0, 0, 0, grd.cols() - 1, [](CellStyle& s) { s.back = QColor(224, 224, 224); });
    for (int r = 1; r <= records; ++r)
        grd.setRowData(r + 1, in.data->cell(r, 0));
    // A MARC column reads the records of all rows at once.
    QStringList nos;
    for (const SetupRow& s : rows) {
        if (s.arrayCol == 0 && readsRecords(subfieldsFromSetup(s.definition))) {
            for (int r = 2; r < grd.rows(); ++r)
                nos << grd.rowData(r).toString();
            break;
        }
    }
    RecordsAhead ahead(fillsFromDatabase(in.fill) ? nos : QStringList());
    QList<int> keys;
    for (int j = 1; j <= rows.size(); ++j) {
        const SetupRow& s = rows[j - 1];
        grd.setTextMatrix(0, j, s.title);
        if (s.arrayCol != 0) {
            grd.setTextMatrix(1, j, s.definition);
            for (int r = 1; r <= records; ++r)
                grd.setTextMatrix(r + 1, j, in.data->cell(r, s.arrayCol));
        } else {
            const MarcSubfields subfields = subfieldsFromSetup(s.definition);
            for (int r = 2; r < grd.rows(); ++r)
                grd.setTextMatrix(r, j, in.fill ? in.fill(grd.rowData(r), subfields) : QString());
            const bool dollar = dollarAlways || !s.definition.trimmed().isEmpty();
            grd.setTextMatrix(1, j, dollar ? QStringLiteral("$") + s.definition : s.definition);
        }
        grd.setColHidden(j, !s.output);
        if (s.sort == QLatin1String("0") || s.sort == QLatin1String("1") || s.sort == QLatin1String("2"))
            grd.setColSort(j, s.sort.toInt());
        if (grd.colSort(j) != 0) keys.append(j);
        grd.setColWidth(j, s.width);
    }
    for (int j = dollarAlways ? 0 : 1; j < grd.cols(); ++j)
        grd.cellStyleRef(0, j).alignment = 4;
    grd.sortRows(keys);
    grd.autoSizeMode = AutoSizeMode::ColWidths;
    grd.autoSize(1, grd.cols() - 1);
    for (int r = 2; r < grd.rows(); ++r)
        grd.setTextMatrix(r, 0, addOrder == 1 ? QString::number(r - 1) : QString());
    grd.setColHidden(0, addOrder != 1);
    grd.setColData(0, addOrder == 1 ? QString() : kHide);
    grd.setRowHidden(1, true);
    grd.highLight = 0;
}
} // namespace

int intCheckSubfield(const QString& subfield) {
    if (subfield.isEmpty()) return 0;
    if (subfield.size() < 4) return -1;
    for (int i = 0; i < 3; ++i)
        if (subfield[i] < u'0' || subfield[i] > u'9') return -1;
    return subfield[3] >= u'a' && subfield[3] <= u'z' ? 1 : -1;
}

MarcSubfields subfieldsFromSetup(const QString& definition) {
    MarcSubfields s;
    const qsizetype semi = definition.indexOf(u';');
    if (semi < 0) {
        s.cn = definition;
        return s;
    }
    s.cn = definition.left(semi);
    const qsizetype dot = definition.indexOf(u'.', semi + 1);
    if (dot >= 0) s.us = definition.mid(semi + 1, dot - semi - 1);
    return s;
}

MarcSubfields subfieldsFromGrid(const QString& definition) {
    return {cutBetween(definition, QStringLiteral("$"), QStringLiteral(";")),
            cutBetween(definition, QStringLiteral(";"), QStringLiteral("."))};
}

QString marcDefinition(const QString& cn, const QString& us) {
    return cn + u';' + us + u'.';
}

QString marcFillFromDatabase(const QVariant& key, const MarcSubfields& subfields) {
    const QString no = key.toString().trimmed();
    // Without a subfield (a custom column) no record needs reading.
    if (no.isEmpty() || (subfields.cn.isEmpty() && subfields.us.isEmpty())) return QString();
    const MarcRecord rec = s_records ? s_records->value(no) : strReadMarc(no);
    if (rec.count <= 0) return QString();
    const int format = intGetMarcFormat(rec);
    subResetMarcPos();
    const QString subfield = format == 0 ? subfields.cn : subfields.us;
    if (subfield.isEmpty()) return QString();
    return strGetMarcSubfield(rec, subfield).trimmed();
}

void subShowMarc(ReportGrid& grd, int col, const MarcFill& fill) {
    if (col < 1 || col >= grd.cols()) return;
    const QString def = grd.textMatrix(1, col);
    const MarcSubfields subfields = subfieldsFromGrid(def);
    QStringList nos;
    if (fillsFromDatabase(fill) && readsRecords(subfields))
        for (int r = grd.fixedRows(); r < grd.rows(); ++r)
            nos << grd.rowData(r).toString();
    RecordsAhead ahead(nos);
    for (int r = grd.fixedRows(); r < grd.rows(); ++r)
        grd.setTextMatrix(r, col, fill ? fill(grd.rowData(r), subfields) : QString());
    if (!def.trimmed().startsWith(u'$')) grd.setTextMatrix(1, col, QStringLiteral("$") + def);
    grd.autoSizeMode = AutoSizeMode::ColWidths;
    grd.autoSize(1, grd.cols() - 1);
}

QList<SetupRow> readGrid(const ReportGrid& grd, const ReportArray& data, int cols) {
    QList<SetupRow> out;
    for (int c = 1; c < grd.cols(); ++c) {
        SetupRow s;
        s.definition = grd.textMatrix(1, c);
        s.title = grd.textMatrix(0, c);
        s.output = !grd.colHidden(c);
        const int sort = grd.colSort(c);
        s.sort = sort >= 0 && sort <= 2 ? QString::number(sort) : QString();
        s.arrayCol = findArrayColumn(data, cols, s.definition);
        if (s.arrayCol == 0) {
            s.definition = s.definition.mid(1);
            s.newField = true;
        }
        s.width = grd.colWidth(c);
        out.append(s);
    }
    return out;
}

void applyGrid(ReportGrid& grd, const QList<SetupRow>& setup, const RebuildInput& in, int addOrder) {
    rebuild(grd, setup, in, addOrder, false);
}

void drawGrid(ReportGrid& grd, const QList<SetupRow>& setup, const RebuildInput& in, int addOrder) {
    QList<SetupRow> rows;
    for (SetupRow s : setup) {
        if (!s.output || s.definition.trimmed().isEmpty()) continue;
        if (s.arrayCol != 0) {
            // The saved number may name another column of a report of the
            // same title; the title is what counts.
            s.arrayCol = findArrayColumn(*in.data, in.cols, s.definition);
            if (s.arrayCol == 0) continue;
        }
        rows.append(s);
    }
    rebuild(grd, rows, in, addOrder, true);
}

// ---- ColumnSetupEditor ---------------------------------------------------

void ColumnSetupEditor::choose(int row, bool leftButton) {
    chosen_ = leftButton && row >= 1 && row <= rows.size() ? row : 0;
}

bool ColumnSetupEditor::canDelete() const {
    return chosen_ > 0 && rows[chosen_ - 1].arrayCol == 0;
}

bool ColumnSetupEditor::moveUp() {
    if (chosen_ <= 1) return false;
    rows.swapItemsAt(chosen_ - 1, chosen_ - 2);
    --chosen_;
    return true;
}

bool ColumnSetupEditor::moveDown() {
    if (chosen_ < 1 || chosen_ >= rows.size()) return false;
    rows.swapItemsAt(chosen_ - 1, chosen_);
    ++chosen_;
    return true;
}

bool ColumnSetupEditor::deleteChosen() {
    if (!canDelete()) return false;
    rows.removeAt(chosen_ - 1);
    chosen_ = 0;
    return true;
}

int ColumnSetupEditor::addMarcRow() {
    SetupRow s;
    s.newField = true;
    rows.append(s);
    return int(rows.size());
}

bool ColumnSetupEditor::setMarcDefinition(int row, const QString& cn, const QString& us) {
    if (row < 1 || row > rows.size() || !rows[row - 1].newField) return false;
    rows[row - 1].definition = marcDefinition(cn, us);
    return true;
}

} // namespace report
