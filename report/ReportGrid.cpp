#include "report/ReportGrid.h"

#include "platform/ui/Fonts.h"
#include "report/ReportArray.h"

#include <QFontMetricsF>
#include <QHash>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace report {

namespace {
// Room around a cell's text: left and right together, top and bottom together.
constexpr int kPadX = 120;
constexpr int kPadY = 60;
const QString kHide = QStringLiteral("Hide");

bool isNumber(const QString& s) {
    bool ok = false;
    s.trimmed().toDouble(&ok);
    return ok;
}
} // namespace

Qt::Alignment alignmentFlags(int code) {
    static const Qt::Alignment h[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const Qt::Alignment v[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    if (code < 0 || code > 8) code = 1;
    return h[code / 3] | v[code % 3];
}

QFont twipFont(const QFont& font) {
    QFont f(font);
    const double pt = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    f.setPixelSize(std::max(1, int(std::lround(pt * 20))));
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

QSize measureText(const QFont& font, const QString& text, int wrapWidth) {
    // Resolving a font is the costly part: keep the metrics of the fonts met.
    struct Metrics {
        QFont font, twips;
        QFontMetricsF fm;
    };
    static QList<Metrics> cache;
    const Metrics* m = nullptr;
    for (const Metrics& c : cache)
        if (c.font == font) {
            m = &c;
            break;
        }
    if (!m) {
        if (cache.size() > 64) cache.clear();
        const QFont tf = twipFont(font);
        cache.append({font, tf, QFontMetricsF(tf)});
        m = &cache.last();
    }
    const QFont& f = m->twips;
    const QFontMetricsF& fm = m->fm;
    const double lineHeight = fm.lineSpacing();
    double width = 0;
    int lines = 0;
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (const QString& para : plain.split(u'\n')) {
        const double advance = fm.horizontalAdvance(para);
        if (wrapWidth <= 0 || advance <= wrapWidth) {
            width = std::max(width, advance);
            ++lines;
            continue;
        }
        QTextLayout layout(para, f);
        QTextOption opt;
        opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(opt);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(wrapWidth);
            width = std::max(width, line.naturalTextWidth());
            ++lines;
        }
        layout.endLayout();
    }
    return QSize(int(std::ceil(width)), int(std::ceil(lines * lineHeight)));
}

ReportGrid::ReportGrid()
    : backColor(Qt::white), foreColor(Qt::black), backColorFixed(224, 224, 224), foreColorFixed(Qt::black),
      gridColor(192, 192, 192), gridColorFixed(128, 128, 128), borderColor(Qt::black),
      font_(ui::makeFont(QStringLiteral("宋体"), 9)), measure_(measureText) {}

void ReportGrid::setRows(int n) {
    n = std::max(0, n);
    while (rows_.size() > n)
        rows_.removeLast();
    while (rows_.size() < n) {
        GridRow r;
        r.text.resize(cols_.size());
        r.style.resize(cols_.size());
        rows_.append(r);
    }
}

void ReportGrid::setCols(int n) {
    n = std::max(0, n);
    cols_.resize(n);
    for (GridRow& r : rows_) {
        r.text.resize(n);
        r.style.resize(n);
    }
}

bool ReportGrid::valid(int r, int c) const {
    return r >= 0 && r < rows_.size() && c >= 0 && c < cols_.size();
}

QString ReportGrid::textMatrix(int r, int c) const {
    return valid(r, c) ? rows_[r].text[c] : QString();
}

void ReportGrid::setTextMatrix(int r, int c, const QString& text) {
    if (valid(r, c)) rows_[r].text[c] = text;
}

QVariant ReportGrid::rowData(int r) const {
    return r >= 0 && r < rows_.size() ? rows_[r].data : QVariant();
}
void ReportGrid::setRowData(int r, const QVariant& d) {
    if (r >= 0 && r < rows_.size()) rows_[r].data = d;
}
QString ReportGrid::colData(int c) const {
    return c >= 0 && c < cols_.size() ? cols_[c].data : QString();
}
void ReportGrid::setColData(int c, const QString& d) {
    if (c >= 0 && c < cols_.size()) cols_[c].data = d;
}
bool ReportGrid::colHidden(int c) const {
    return c >= 0 && c < cols_.size() && cols_[c].hidden;
}
void ReportGrid::setColHidden(int c, bool h) {
    if (c >= 0 && c < cols_.size()) cols_[c].hidden = h;
}
bool ReportGrid::rowHidden(int r) const {
    return r >= 0 && r < rows_.size() && rows_[r].hidden;
}
void ReportGrid::setRowHidden(int r, bool h) {
    if (r >= 0 && r < rows_.size()) rows_[r].hidden = h;
}
int ReportGrid::colWidth(int c) const {
    return c >= 0 && c < cols_.size() ? cols_[c].width : 0;
}
void ReportGrid::setColWidth(int c, int w) {
    if (c >= 0 && c < cols_.size()) cols_[c].width = std::max(0, w);
}
int ReportGrid::rowHeight(int r) const {
    if (r < 0 || r >= rows_.size()) return 0;
    return rows_[r].height > 0 ? rows_[r].height : defaultRowHeight();
}
void ReportGrid::setRowHeight(int r, int h) {
    if (r >= 0 && r < rows_.size()) rows_[r].height = std::max(0, h);
}
int ReportGrid::colSort(int c) const {
    return c >= 0 && c < cols_.size() ? cols_[c].sort : 0;
}
void ReportGrid::setColSort(int c, int o) {
    if (c >= 0 && c < cols_.size()) cols_[c].sort = o;
}
bool ReportGrid::mergeCol(int c) const {
    return c >= 0 && c < cols_.size() && cols_[c].merge;
}
void ReportGrid::setMergeCol(int c, bool on) {
    if (c >= 0 && c < cols_.size()) cols_[c].merge = on;
}

const CellStyle& ReportGrid::cellStyle(int r, int c) const {
    static const CellStyle none;
    return valid(r, c) ? rows_[r].style[c] : none;
}

CellStyle& ReportGrid::cellStyleRef(int r, int c) {
    static CellStyle scratch;
    if (!valid(r, c)) {
        scratch = CellStyle();
        return scratch;
    }
    return rows_[r].style[c];
}

QColor ReportGrid::cellBackColor(int r, int c) const {
    const CellStyle& s = cellStyle(r, c);
    if (s.back) return *s.back;
    return (r < fixedRows() || c < fixedCols()) ? backColorFixed : backColor;
}

QColor ReportGrid::cellForeColor(int r, int c) const {
    const CellStyle& s = cellStyle(r, c);
    if (s.fore) return *s.fore;
    return (r < fixedRows() || c < fixedCols()) ? foreColorFixed : foreColor;
}

QFont ReportGrid::cellFont(int r, int c) const {
    const CellStyle& s = cellStyle(r, c);
    return s.font ? *s.font : font_;
}

int ReportGrid::cellAlignment(int r, int c) const {
    const int a = cellStyle(r, c).alignment;
    if (a != 9) return a;
    return isNumber(textMatrix(r, c)) ? 7 : 1;
}

int ReportGrid::cellTextStyle(int r, int c) const {
    return cellStyle(r, c).textStyle;
}

void ReportGrid::forRange(int r1, int c1, int r2, int c2, const std::function<void(CellStyle&)>& fn) {
    if (rows_.isEmpty() || cols_.isEmpty()) return;
    const int top = std::clamp(std::min(r1, r2), 0, rows() - 1);
    const int bottom = std::clamp(std::max(r1, r2), 0, rows() - 1);
    const int left = std::clamp(std::min(c1, c2), 0, cols() - 1);
    const int right = std::clamp(std::max(c1, c2), 0, cols() - 1);
    for (int r = top; r <= bottom; ++r)
        for (int c = left; c <= right; ++c)
            fn(rows_[r].style[c]);
}

void ReportGrid::setFont(const QFont& f) {
    font_ = f;
    for (GridRow& r : rows_)
        for (CellStyle& s : r.style)
            s.font.reset();
}

void ReportGrid::select(int r1, int c1, int r2, int c2) {
    row = r1;
    col = c1;
    rowSel = r2;
    colSel = c2;
}

int ReportGrid::defaultRowHeight() const {
    return measure_(font_, QStringLiteral("国"), 0).height() + kPadY;
}

void ReportGrid::fitColumn(int c) {
    int w = 0;
    for (int r = 0; r < rows(); ++r) {
        if (rows_[r].hidden) continue;
        const QString& t = rows_[r].text[c];
        if (t.isEmpty()) continue;
        w = std::max(w, measure_(cellFont(r, c), t, 0).width());
    }
    cols_[c].width = w + kPadX;
}

void ReportGrid::fitRow(int r, int col1, int col2) {
    int h = defaultRowHeight();
    for (int c = col1; c <= col2; ++c) {
        const QString& t = rows_[r].text[c];
        if (t.isEmpty() || cols_[c].hidden) continue;
        const int wrap = std::max(1, cols_[c].width - kPadX);
        h = std::max(h, measure_(cellFont(r, c), t, wrap).height() + kPadY);
    }
    rows_[r].height = h;
}

void ReportGrid::autoSize(int col1, int col2) {
    col1 = std::max(0, col1);
    col2 = std::min(cols() - 1, col2);
    if (col1 > col2) return;
    if (autoSizeMode == AutoSizeMode::ColWidths) {
        for (int c = col1; c <= col2; ++c)
            fitColumn(c);
    } else {
        for (int r = 0; r < rows(); ++r)
            fitRow(r, col1, col2);
    }
}

void ReportGrid::moveColumn(int from, int to) {
    if (from < 0 || from >= cols() || to < 0 || to >= cols() || from == to) return;
    cols_.move(from, to);
    for (GridRow& r : rows_) {
        r.text.move(from, to);
        r.style.move(from, to);
    }
}

void ReportGrid::removeLastColumn() {
    if (!cols_.isEmpty()) setCols(cols() - 1);
}

void ReportGrid::sortRows(const QList<int>& keyCols) {
    const int first = fixedRows();
    if (rows() <= first + 1) return;
    QList<int> keys;
    for (int c : keyCols)
        if (c >= 0 && c < cols()) keys.append(c);
    if (keys.isEmpty()) return;
    std::stable_sort(rows_.begin() + first, rows_.end(), [&](const GridRow& a, const GridRow& b) {
        for (int c : keys) {
            const int cmp = a.text[c].compare(b.text[c]);
            if (cmp != 0) return cols_[c].sort == 2 ? cmp > 0 : cmp < 0;
        }
        return false;
    });
}

std::pair<int, int> ReportGrid::mergeRun(int r, int c, int first, int last) const {
    if (!mergeCol(c) || r < first || r > last) return {r, 1};
    const QString& t = textMatrix(r, c);
    int top = r;
    while (top > first && textMatrix(top - 1, c) == t)
        --top;
    int bottom = r;
    while (bottom < last && textMatrix(bottom + 1, c) == t)
        ++bottom;
    return {top, bottom - top + 1};
}

QList<int> ReportGrid::visibleCols() const {
    QList<int> out;
    for (int c = 0; c < cols(); ++c)
        if (!cols_[c].hidden) out.append(c);
    return out;
}

QList<int> ReportGrid::visibleDataRows() const {
    QList<int> out;
    for (int r = fixedRows(); r < rows(); ++r)
        if (!rows_[r].hidden) out.append(r);
    return out;
}

void initRawGrid(ReportGrid& grd, const ReportArray& data, int rows, int cols, int addOrder) {
    rows = std::max(0, rows);
    cols = std::max(0, cols);
    // Start from one empty column, dropping the settings of earlier content.
    grd.setRows(0);
    grd.setCols(0);
    grd.setCols(cols + 1);
    grd.setRows(rows + 2);
    grd.autoSizeMode = AutoSizeMode::ColWidths;
    grd.forRange(0, 0, 0, cols, [](CellStyle& s) { s.back = QColor(224, 224, 224); });
    for (int i = 0; i <= rows; ++i) {
        for (int j = 1; j <= cols; ++j)
            grd.setTextMatrix(i + 1, j, data.cell(i, j));
        grd.setRowData(i + 1, data.cell(i, 0));
    }
    for (int j = 1; j <= cols; ++j) {
        grd.setTextMatrix(0, j, grd.textMatrix(1, j));
        grd.cellStyleRef(0, j).alignment = 4;
    }
    if (addOrder == 1) {
        subRenumber(grd, addOrder);
    } else {
        grd.setColHidden(0, true);
        grd.setColData(0, kHide);
    }
    grd.setRowHidden(1, true);
    grd.highLight = 0;
    grd.select(grd.rows() > 2 ? 2 : 0, grd.cols() > 1 ? 1 : 0, grd.rows() > 2 ? 2 : 0,
               grd.cols() > 1 ? 1 : 0);
    if (grd.cols() > 12)
        grd.autoSize(1, grd.cols() - 1);
    else
        ProperSize(grd);
}

void ProperSize(ReportGrid& grd) {
    grd.autoSizeMode = AutoSizeMode::ColWidths;
    grd.autoSize(0, grd.cols() - 1);
    long long sum = 0;
    for (int c = 0; c < grd.cols(); ++c)
        sum += grd.colWidth(c);
    if (sum > 0) {
        const double k = double(grd.width) / double(sum);
        for (int c = 0; c < grd.cols(); ++c)
            grd.setColWidth(c, int(std::lround(grd.colWidth(c) * k)));
    }
    grd.autoSizeMode = AutoSizeMode::RowHeights;
    grd.autoSize(1, grd.cols() - 1);
}

void subRenumber(ReportGrid& grd, int addOrder) {
    if (addOrder != 1) return;
    for (int r = grd.fixedRows(); r < grd.rows(); ++r)
        grd.setTextMatrix(r, 0, QString::number(r - 1));
}

void subRefit(ReportGrid& grd) {
    grd.autoSize(1, grd.cols() - 1);
    grd.setRowHidden(1, true);
    for (int c = 1; c < grd.cols(); ++c)
        if (grd.colData(c) == kHide) grd.setColHidden(c, true);
}

namespace cmd {

void sortColumn(ReportGrid& grd, int col, int order, int addOrder) {
    if (col < 1 || col >= grd.cols()) return;
    grd.setColSort(col, order == 2 ? 2 : 1);
    grd.col = col;
    grd.sortRows({col});
    subRenumber(grd, addOrder);
}

QString deleteColumn(ReportGrid& grd, int col) {
    if (col < 1 || col >= grd.cols()) return QString();
    const QString def = grd.textMatrix(1, col);
    const bool fromArray = !def.isEmpty() && !def.startsWith(u'$');
    grd.setColHidden(col, true);
    grd.setColData(col, kHide);
    grd.moveColumn(col, grd.cols() - 1);
    if (!fromArray) {
        grd.removeLastColumn();
        return QString();
    }
    return def;
}

bool restoreColumn(ReportGrid& grd, const QString& definition, int at) {
    for (int c = 1; c < grd.cols(); ++c) {
        if (grd.textMatrix(1, c).trimmed() != definition) continue;
        grd.setColHidden(c, false);
        grd.setColData(c, QString());
        grd.moveColumn(c, std::clamp(at, 1, grd.cols() - 1));
        grd.autoSize(1, grd.cols() - 1);
        grd.forRange(0, 0, 0, grd.cols() - 1, [](CellStyle& s) { s.back = QColor(224, 224, 224); });
        return true;
    }
    return false;
}

bool canEdit(const ReportGrid& grd, int row, int col) {
    return row == 0 || grd.textMatrix(1, col).isEmpty();
}

bool editCell(ReportGrid& grd, int row, int col, const QString& text) {
    if (row < 0 || row >= grd.rows() || col < 0 || col >= grd.cols() || !canEdit(grd, row, col)) return false;
    grd.setTextMatrix(row, col, text);
    return true;
}

void selectColumn(ReportGrid& grd, int col) {
    grd.highLight = 1;
    grd.select(grd.fixedRows(), col, grd.rows() - 1, col);
}

namespace {
void onTarget(ReportGrid& grd, const std::function<void(CellStyle&)>& fn) {
    if (grd.highLight == 1)
        grd.forRange(grd.row, grd.col, grd.rowSel, grd.colSel, fn);
    else
        grd.forRange(0, 0, grd.rows() - 1, grd.cols() - 1, fn);
}
} // namespace

void align(ReportGrid& grd, int alignment) {
    onTarget(grd, [alignment](CellStyle& s) { s.alignment = alignment; });
}

void textStyle(ReportGrid& grd, int style) {
    onTarget(grd, [style](CellStyle& s) { s.textStyle = style; });
}

void font(ReportGrid& grd, const QFont& f) {
    QFont plain(f);
    plain.setUnderline(false);
    plain.setStrikeOut(false);
    if (grd.highLight == 1)
        grd.forRange(grd.row, grd.col, grd.rowSel, grd.colSel, [&](CellStyle& s) { s.font = plain; });
    else
        grd.setFont(plain);
    subRefit(grd);
}

} // namespace cmd

} // namespace report
