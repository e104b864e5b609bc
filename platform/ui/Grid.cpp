#include "platform/ui/Grid.h"

#include "platform/ui/Units.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

namespace ui {

namespace {
constexpr int kTypeRole = Qt::UserRole + 100;
constexpr int kComboItemsRole = Qt::UserRole + 101;
constexpr int kComboEditRole = Qt::UserRole + 102;
constexpr int kLockRole = Qt::UserRole + 103;
constexpr int kRowDataRole = Qt::UserRole + 200;

class ProgramWrite {
public:
    explicit ProgramWrite(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~ProgramWrite() { flag_ = old_; }

private:
    bool& flag_;
    bool old_;
};

// Compares two cell texts: as numbers when both are numbers, else as text.
bool lessText(const QString& a, const QString& b) {
    bool okA = false, okB = false;
    const double x = a.trimmed().toDouble(&okA);
    const double y = b.trimmed().toDouble(&okB);
    if (okA && okB) return x < y;
    if (okA != okB) return okA;   // numbers before texts
    return a.compare(b) < 0;
}

// Shades the fixed rows and columns of a flexible grid.
class FixedCellDelegate : public QStyledItemDelegate {
public:
    explicit FixedCellDelegate(FlexGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const bool fixed = index.row() < grid_->fixedRows() || index.column() < grid_->fixedCols();
        if (fixed && !index.data(Qt::BackgroundRole).isValid())
            option->backgroundBrush = grid_->palette().button();
    }

private:
    FlexGrid* grid_;
};
} // namespace

// ---- Grid ----------------------------------------------------------------

Grid::Grid(QWidget* parent) : QTableWidget(parent) {
    defaultFore_ = palette().color(QPalette::Text);
}

void Grid::setRedraw(bool on) {
    redraw_ = on;
    setUpdatesEnabled(on);
    if (on) viewport()->update();
}

bool Grid::focusNextPrevChild(bool next) {
    if (editTriggers() != NoEditTriggers && tabKeyNavigation() && isVisible() && isEnabled()) {
        const QModelIndex from = currentIndex();
        const QModelIndex to = moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier);
        if (from.isValid() && to.isValid()) {
            // The cell Tab would reach, in the order shown; a wrap-around means the edge.
            const auto order = [this](const QModelIndex& i) {
                return std::pair(verticalHeader()->visualIndex(i.row()),
                                 horizontalHeader()->visualIndex(i.column()));
            };
            if (next ? order(to) > order(from) : order(to) < order(from))
                return QTableWidget::focusNextPrevChild(next);
        }
    }
    return QWidget::focusNextPrevChild(next);
}

void Grid::setDefaultForeColor(const QColor& color) {
    defaultFore_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

QTableWidgetItem* Grid::ensureItem(int prow, int pcol) {
    if (prow < 0 || pcol < 0 || prow >= rowCount() || pcol >= columnCount()) return nullptr;
    QTableWidgetItem* it = item(prow, pcol);
    if (!it) {
        ProgramWrite guard(programmatic_);
        it = new QTableWidgetItem;
        setItem(prow, pcol, it);
    }
    return it;
}

QString Grid::itemText(int prow, int pcol) const {
    const QTableWidgetItem* it = item(prow, pcol);
    return it ? it->text() : QString();
}

void Grid::setItemText(int prow, int pcol, const QString& text) {
    ProgramWrite guard(programmatic_);
    if (QTableWidgetItem* it = ensureItem(prow, pcol)) it->setText(text);
}

void Grid::setItemFore(int prow, int pcol, const QColor& color) {
    ProgramWrite guard(programmatic_);
    if (QTableWidgetItem* it = ensureItem(prow, pcol)) it->setForeground(QBrush(color));
}

void Grid::setItemBack(int prow, int pcol, const QColor& color) {
    ProgramWrite guard(programmatic_);
    if (QTableWidgetItem* it = ensureItem(prow, pcol)) {
        if (color.isValid()) it->setBackground(QBrush(color));
        else it->setData(Qt::BackgroundRole, QVariant());
    }
}

QColor Grid::itemFore(int prow, int pcol) const {
    const QTableWidgetItem* it = item(prow, pcol);
    if (it && it->data(Qt::ForegroundRole).isValid()) return it->foreground().color();
    return defaultFore_;
}

QColor Grid::itemBack(int prow, int pcol) const {
    const QTableWidgetItem* it = item(prow, pcol);
    if (it && it->data(Qt::BackgroundRole).isValid()) return it->background().color();
    return {};
}

void Grid::sortRows(int first, int pcol, bool ascending) {
    const int n = rowCount();
    const int cols = columnCount();
    if (first < 0 || first >= n - 1 || pcol < 0 || pcol >= cols) return;
    ProgramWrite guard(programmatic_);
    struct Row {
        QString key;
        QList<QTableWidgetItem*> items;
    };
    QList<Row> rows;
    for (int r = first; r < n; ++r) {
        Row row;
        row.key = itemText(r, pcol);
        for (int c = 0; c < cols; ++c) row.items.append(takeItem(r, c));
        rows.append(row);
    }
    std::stable_sort(rows.begin(), rows.end(), [ascending](const Row& a, const Row& b) {
        return ascending ? lessText(a.key, b.key) : lessText(b.key, a.key);
    });
    for (int i = 0; i < rows.size(); ++i)
        for (int c = 0; c < cols; ++c)
            if (rows[i].items[c]) setItem(first + i, c, rows[i].items[c]);
}

// ---- FlexGrid ------------------------------------------------------------

FlexGrid::FlexGrid(QWidget* parent) : Grid(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setItemDelegate(new FixedCellDelegate(this));
    setEditTriggers(NoEditTriggers);
    setRowCount(2);
    setColumnCount(2);
    syncHeader();
    setSelectionMode(0);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int r, int c, int, int) {
        if (r >= 0 && c >= 0) {
            curRow_ = r;
            curCol_ = c;
        }
    });
}

FlexGrid::FlexGrid(const QString& objectName, QWidget* parent) : FlexGrid(parent) {
    setObjectName(objectName);
}

void FlexGrid::setRows(int rows) {
    setRowCount(qMax(0, rows));
    if (rowCount() == 0) row0Hidden_ = false;
    syncHeader();
}

void FlexGrid::setCols(int cols) {
    setColumnCount(qMax(0, cols));
    syncHeader();
}

void FlexGrid::setFixedRows(int n) {
    fixedRows_ = qMax(0, n);
    syncHeader();
    viewport()->update();
}

bool FlexGrid::rowHidden(int row) const {
    if (row == 0) return row0Hidden_;
    return isRowHidden(row);
}

void FlexGrid::setRowHidden(int row, bool hidden) {
    if (row == 0) {
        row0Hidden_ = hidden;
        syncHeader();
        return;
    }
    QTableWidget::setRowHidden(row, hidden);
}

void FlexGrid::syncHeader() {
    if (headerMode()) {
        QTableWidget::setRowHidden(0, true);
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem* h = horizontalHeaderItem(c);
            const QString t = itemText(0, c);
            if (!h) setHorizontalHeaderItem(c, new QTableWidgetItem(t));
            else if (h->text() != t) h->setText(t);
        }
        horizontalHeader()->show();
    } else {
        horizontalHeader()->hide();
        if (rowCount() > 0) QTableWidget::setRowHidden(0, row0Hidden_);
    }
}

void FlexGrid::setFixedCols(int n) {
    fixedCols_ = qMax(0, n);
    viewport()->update();
}

QString FlexGrid::textMatrix(int row, int col) const { return itemText(row, col); }

void FlexGrid::setTextMatrix(int row, int col, const QString& text) {
    setItemText(row, col, text);
    if (row == 0 && headerMode()) syncHeader();
}

void FlexGrid::setRow(int row) {
    curRow_ = row;
    if (row >= 0 && row < rowCount() && curCol_ >= 0 && curCol_ < columnCount())
        setCurrentCell(row, curCol_);
}

void FlexGrid::setCol(int col) {
    curCol_ = col;
    if (col >= 0 && col < columnCount() && curRow_ >= 0 && curRow_ < rowCount())
        setCurrentCell(curRow_, col);
}

void FlexGrid::setCellForeColor(int row1, int col1, int row2, int col2, const QColor& color) {
    for (int r = qMin(row1, row2); r <= qMax(row1, row2); ++r)
        for (int c = qMin(col1, col2); c <= qMax(col1, col2); ++c) setItemFore(r, c, color);
}

void FlexGrid::setCellBackColor(int row1, int col1, int row2, int col2, const QColor& color) {
    for (int r = qMin(row1, row2); r <= qMax(row1, row2); ++r)
        for (int c = qMin(col1, col2); c <= qMax(col1, col2); ++c) setItemBack(r, c, color);
}

QColor FlexGrid::cellForeColor(int row, int col) const { return itemFore(row, col); }
QColor FlexGrid::cellBackColor(int row, int col) const { return itemBack(row, col); }

void FlexGrid::setCellChecked(int row, int col, CheckMark mark) {
    QTableWidgetItem* it = ensureItem(row, col);
    if (!it) return;
    ProgramWrite guard(programmatic_);
    if (mark == CheckMark::None) {
        it->setData(Qt::CheckStateRole, QVariant());
        it->setFlags(it->flags() & ~Qt::ItemIsUserCheckable);
    } else {
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        it->setCheckState(mark == CheckMark::Checked ? Qt::Checked : Qt::Unchecked);
    }
}

CheckMark FlexGrid::cellChecked(int row, int col) const {
    const QTableWidgetItem* it = item(row, col);
    if (!it || !it->data(Qt::CheckStateRole).isValid()) return CheckMark::None;
    return it->checkState() == Qt::Checked ? CheckMark::Checked : CheckMark::Unchecked;
}

QVariant FlexGrid::rowData(int row) const {
    const QTableWidgetItem* it = item(row, 0);
    return it ? it->data(kRowDataRole) : QVariant();
}

void FlexGrid::setRowData(int row, const QVariant& data) {
    ProgramWrite guard(programmatic_);
    if (QTableWidgetItem* it = ensureItem(row, 0)) it->setData(kRowDataRole, data);
}

int FlexGrid::colWidth(int col) const { return units::pixelsToTwips(columnWidth(col)); }
void FlexGrid::setColWidth(int col, int twips) { setColumnWidth(col, units::twipsToPixels(twips)); }
int FlexGrid::rowHeight(int row) const { return units::pixelsToTwips(QTableWidget::rowHeight(row)); }
void FlexGrid::setRowHeight(int row, int twips) {
    QTableWidget::setRowHeight(row, units::twipsToPixels(twips));
}

void FlexGrid::setSelectionMode(int mode) {
    selMode_ = qBound(0, mode, 3);
    switch (selMode_) {
    case 0:
        setSelectionBehavior(SelectItems);
        QTableWidget::setSelectionMode(ContiguousSelection);
        break;
    case 1:
        setSelectionBehavior(SelectRows);
        QTableWidget::setSelectionMode(ContiguousSelection);
        break;
    case 2:
        setSelectionBehavior(SelectColumns);
        QTableWidget::setSelectionMode(ContiguousSelection);
        break;
    default:
        setSelectionBehavior(SelectRows);
        QTableWidget::setSelectionMode(ExtendedSelection);
        break;
    }
}

void FlexGrid::select(int row, int col) { select(row, col, row, col); }

void FlexGrid::select(int row1, int col1, int row2, int col2) {
    if (row1 < 0 || col1 < 0 || row1 >= rowCount() || col1 >= columnCount()) return;
    row2 = qBound(0, row2, rowCount() - 1);
    col2 = qBound(0, col2, columnCount() - 1);
    curRow_ = row1;
    curCol_ = col1;
    setCurrentCell(row1, col1);
    clearSelection();
    setRangeSelected(QTableWidgetSelectionRange(qMin(row1, row2), qMin(col1, col2), qMax(row1, row2),
                                                qMax(col1, col2)),
                     true);
}

void FlexGrid::setEditable(bool on) {
    editable_ = on;
    setEditTriggers(on ? (DoubleClicked | EditKeyPressed | AnyKeyPressed) : NoEditTriggers);
}

void FlexGrid::editCell() {
    if (!editable_ || curRow_ < fixedRows_ || curCol_ < fixedCols_) return;
    if (QTableWidgetItem* it = ensureItem(curRow_, curCol_)) editItem(it);
}

bool FlexGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (index.row() < fixedRows_ || index.column() < fixedCols_) return false;
    return QTableWidget::edit(index, trigger, event);
}

void FlexGrid::addItem(const QString& tabText, int index) {
    const int at = (index < 0 || index > rowCount()) ? rowCount() : index;
    insertRow(at);
    if (at == 0 && rowCount() > 1) {
        // The old row 0 moves down with its own hidden state.
        QTableWidget::setRowHidden(1, row0Hidden_);
        row0Hidden_ = false;
    }
    const QStringList parts = tabText.split(u'\t');
    for (int c = 0; c < parts.size() && c < columnCount(); ++c) setItemText(at, c, parts[c]);
    syncHeader();
}

void FlexGrid::removeItem(int index) {
    if (index < 0 || index >= rowCount()) return;
    removeRow(index);
    if (index == 0) row0Hidden_ = rowCount() > 0 && isRowHidden(0);
    syncHeader();
}

void FlexGrid::autoSize(int col1, int col2) {
    for (int c = qMax(0, qMin(col1, col2)); c <= qMin(columnCount() - 1, qMax(col1, col2)); ++c)
        resizeColumnToContents(c);
}

void FlexGrid::sort(int col, bool ascending) {
    sortRows(fixedRows_, col, ascending);
    syncHeader();
}

// ---- SpreadGrid ----------------------------------------------------------

SpreadGrid::SpreadGrid(QWidget* parent) : Grid(parent) {
    setRowCount(0);
    setColumnCount(0);
    setOperationMode(0);
    connect(this, &QTableWidget::cellClicked, this,
            [this](int r, int c) { emit cellClick(c + 1, r + 1); });
    connect(this, &QTableWidget::cellDoubleClicked, this,
            [this](int r, int c) { emit cellDblClick(c + 1, r + 1); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int c) { emit cellClick(c + 1, 0); });
    connect(this, &QTableWidget::currentCellChanged, this, [this](int r, int c, int pr, int pc) {
        if (pr >= 0 && pc >= 0) emit leaveCell(pc + 1, pr + 1, c + 1, r + 1);
    });
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* it) {
        if (!programmatic_) emit cellChange(it->column() + 1, it->row() + 1);
    });
}

SpreadGrid::SpreadGrid(const QString& objectName, QWidget* parent) : SpreadGrid(parent) {
    setObjectName(objectName);
}

void SpreadGrid::setMaxRows(int rows) {
    const int old = rowCount();
    setRowCount(qMax(0, rows));
    if (rowCount() > old) applyColumnTypes(old, rowCount() - 1);
}

void SpreadGrid::setMaxCols(int cols) { setColumnCount(qMax(0, cols)); }

QString SpreadGrid::getText(int col, int row) const {
    if (col < 0 || row < 0 || col > columnCount() || row > rowCount()) return {};
    if (row == 0) {
        if (col == 0) return {};
        const QTableWidgetItem* h = horizontalHeaderItem(col - 1);
        return h ? h->text() : QString();
    }
    if (col == 0) {
        const QTableWidgetItem* h = verticalHeaderItem(row - 1);
        return h ? h->text() : QString();
    }
    const int pr = row - 1, pc = col - 1;
    switch (cellType(col, row)) {
    case CellType::ComboBox:
        if (auto* cb = qobject_cast<QComboBox*>(cellWidget(pr, pc))) return cb->currentText();
        return {};
    case CellType::CheckBox: {
        const QTableWidgetItem* it = item(pr, pc);
        return it && it->checkState() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
    }
    default:
        return itemText(pr, pc);
    }
}

void SpreadGrid::setText(int col, int row, const QString& text) {
    if (row == -1 || col == -1) {
        const int r1 = row == -1 ? 1 : row, r2 = row == -1 ? rowCount() : row;
        const int c1 = col == -1 ? 1 : col, c2 = col == -1 ? columnCount() : col;
        for (int r = r1; r <= r2; ++r)
            for (int c = c1; c <= c2; ++c) setText(c, r, text);
        return;
    }
    if (col < 0 || row < 0 || col > columnCount() || row > rowCount()) return;
    ProgramWrite guard(programmatic_);
    if (row == 0) {
        if (col == 0) return;
        setHorizontalHeaderItem(col - 1, new QTableWidgetItem(text));
        return;
    }
    if (col == 0) {
        setVerticalHeaderItem(row - 1, new QTableWidgetItem(text));
        return;
    }
    const int pr = row - 1, pc = col - 1;
    QTableWidgetItem* it = ensureItem(pr, pc);
    switch (cellType(col, row)) {
    case CellType::CheckBox: {
        const QString t = text.trimmed();
        const bool on = t == QLatin1String("1") || t == QLatin1String("-1") ||
                        t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
        it->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        break;
    }
    case CellType::ComboBox:
        if (auto* cb = qobject_cast<QComboBox*>(cellWidget(pr, pc))) {
            const QSignalBlocker block(cb);
            const int i = cb->findText(text);
            if (cb->isEditable()) cb->setEditText(text);
            else cb->setCurrentIndex(i);
            it->setText(cb->currentText());
        }
        break;
    case CellType::Button:
        it->setText(text);
        if (auto* b = qobject_cast<QPushButton*>(cellWidget(pr, pc))) b->setText(text);
        break;
    default:
        it->setText(text);
        break;
    }
}

void SpreadGrid::setText(const QString& text) { setText(ptrCol_, ptrRow_, text); }

void SpreadGrid::setActiveCell(int col, int row) {
    if (col >= 1 && row >= 1 && col <= columnCount() && row <= rowCount())
        setCurrentCell(row - 1, col - 1);
}

void SpreadGrid::setColHidden(int col, bool hidden) {
    if (col == -1) {
        for (int c = 0; c < columnCount(); ++c) setColumnHidden(c, hidden);
    } else if (col >= 1) {
        setColumnHidden(col - 1, hidden);
    }
}

void SpreadGrid::setRowHidden(int row, bool hidden) {
    if (row >= 1) QTableWidget::setRowHidden(row - 1, hidden);
}

SpreadGrid::CellFormat SpreadGrid::formatAt(int prow, int pcol) const {
    CellFormat s;
    if (const QTableWidgetItem* it = item(prow, pcol)) {
        if (it->data(kTypeRole).isValid()) {
            s.type = CellType(it->data(kTypeRole).toInt());
            s.comboItems = it->data(kComboItemsRole).toString();
            s.comboEditable = it->data(kComboEditRole).toBool();
            s.locked = it->data(kLockRole).toBool();
            return s;
        }
    }
    return colFormat_.value(pcol);
}

void SpreadGrid::applyType(int prow, int pcol, const CellFormat& fmt, const QString& text,
                           int comboIndex) {
    QTableWidgetItem* it = ensureItem(prow, pcol);
    if (!it) return;
    ProgramWrite guard(programmatic_);
    it->setData(kTypeRole, int(fmt.type));
    it->setData(kComboItemsRole, fmt.comboItems);
    it->setData(kComboEditRole, fmt.comboEditable);
    it->setData(kLockRole, fmt.locked);

    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (fmt.type == CellType::Edit && !fmt.locked) flags |= Qt::ItemIsEditable;
    if (fmt.type == CellType::CheckBox) {
        if (!fmt.locked) flags |= Qt::ItemIsUserCheckable;
        const bool on = text == QLatin1String("1");
        it->setText({});
        it->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    } else {
        it->setData(Qt::CheckStateRole, QVariant());
        it->setText(text);
    }
    it->setFlags(flags);

    const QPersistentModelIndex where(model()->index(prow, pcol));
    if (fmt.type == CellType::Button) {
        auto* b = qobject_cast<QPushButton*>(cellWidget(prow, pcol));
        if (!b) {
            b = new QPushButton;
            b->setFocusPolicy(Qt::NoFocus);
            connect(b, &QPushButton::clicked, this, [this, where] {
                if (!where.isValid()) return;
                setCurrentCell(where.row(), where.column());
                emit buttonClicked(where.column() + 1, where.row() + 1);
            });
            setCellWidget(prow, pcol, b);
        }
        b->setText(text);
        b->setEnabled(!fmt.locked);
    } else if (fmt.type == CellType::ComboBox) {
        auto* cb = qobject_cast<QComboBox*>(cellWidget(prow, pcol));
        if (!cb) {
            cb = new QComboBox;
            connect(cb, &QComboBox::activated, this, [this, where, cb](int) {
                if (!where.isValid()) return;
                {
                    ProgramWrite g(programmatic_);
                    if (QTableWidgetItem* i = item(where.row(), where.column())) i->setText(cb->currentText());
                }
                setCurrentCell(where.row(), where.column());
                emit cellChange(where.column() + 1, where.row() + 1);
            });
            connect(cb, &QComboBox::editTextChanged, this, [this, where, cb](const QString& t) {
                if (!where.isValid() || programmatic_ || !cb->hasFocus()) return;
                {
                    ProgramWrite g(programmatic_);
                    if (QTableWidgetItem* i = item(where.row(), where.column())) i->setText(t);
                }
                emit cellChange(where.column() + 1, where.row() + 1);
            });
            setCellWidget(prow, pcol, cb);
        }
        const QSignalBlocker block(cb);
        cb->clear();
        cb->setEditable(fmt.comboEditable);
        if (!fmt.comboItems.isEmpty()) cb->addItems(fmt.comboItems.split(u'\t'));
        cb->setCurrentIndex(comboIndex >= 0 && comboIndex < cb->count() ? comboIndex : -1);
        if (comboIndex < 0 && fmt.comboEditable) cb->setEditText(text);
        cb->setEnabled(!fmt.locked);
        it->setText(cb->currentText());
    } else if (cellWidget(prow, pcol)) {
        removeCellWidget(prow, pcol);
    }
}

void SpreadGrid::applyColumnTypes(int firstPRow, int lastPRow) {
    for (auto i = colFormat_.cbegin(); i != colFormat_.cend(); ++i) {
        if (i.key() >= columnCount()) continue;
        for (int r = firstPRow; r <= lastPRow; ++r) applyType(r, i.key(), i.value(), {}, -1);
    }
}

void SpreadGrid::setCellType(int col, int row, CellType type) {
    if (row == -1 && col >= 1) {
        CellFormat s = colFormat_.value(col - 1);
        s.type = type;
        colFormat_.insert(col - 1, s);
        for (int r = 1; r <= rowCount(); ++r) setCellType(col, r, type);
        return;
    }
    if (col == -1 && row >= 1) {
        for (int c = 1; c <= columnCount(); ++c) setCellType(c, row, type);
        return;
    }
    if (col < 1 || row < 1 || col > columnCount() || row > rowCount()) return;
    CellFormat s = formatAt(row - 1, col - 1);
    const QString text = getText(col, row);
    s.type = type;
    applyType(row - 1, col - 1, s, type == CellType::CheckBox ? QStringLiteral("0") : text, -1);
}

CellType SpreadGrid::cellType(int col, int row) const {
    if (col < 1 || row < 1 || col > columnCount() || row > rowCount()) return CellType::Edit;
    return formatAt(row - 1, col - 1).type;
}

void SpreadGrid::setButtonCell(int col, int row, const QString& caption) {
    setCellType(col, row, CellType::Button);
    setText(col, row, caption);
}

void SpreadGrid::setComboCell(int col, int row, const QString& items, bool editable, int index) {
    if (row == -1 && col >= 1) {
        CellFormat s = colFormat_.value(col - 1);
        s.type = CellType::ComboBox;
        s.comboItems = items;
        s.comboEditable = editable;
        colFormat_.insert(col - 1, s);
        for (int r = 1; r <= rowCount(); ++r) setComboCell(col, r, items, editable, index);
        return;
    }
    if (col < 1 || row < 1 || col > columnCount() || row > rowCount()) return;
    CellFormat s = formatAt(row - 1, col - 1);
    s.type = CellType::ComboBox;
    s.comboItems = items;
    s.comboEditable = editable;
    applyType(row - 1, col - 1, s, {}, index);
}

int SpreadGrid::comboIndex(int col, int row) const {
    auto* cb = qobject_cast<QComboBox*>(cellWidgetAt(col, row));
    return cb ? cb->currentIndex() : -1;
}

void SpreadGrid::setComboIndex(int col, int row, int index) {
    auto* cb = qobject_cast<QComboBox*>(cellWidgetAt(col, row));
    if (!cb) return;
    ProgramWrite guard(programmatic_);
    const QSignalBlocker block(cb);
    cb->setCurrentIndex(index >= 0 && index < cb->count() ? index : -1);
    if (QTableWidgetItem* it = item(row - 1, col - 1)) it->setText(cb->currentText());
}

int SpreadGrid::comboCount(int col, int row) const {
    auto* cb = qobject_cast<QComboBox*>(cellWidgetAt(col, row));
    return cb ? cb->count() : 0;
}

void SpreadGrid::setCheckCell(int col, int row, bool checked) {
    setCellType(col, row, CellType::CheckBox);
    if (row >= 1) setText(col, row, checked ? QStringLiteral("1") : QStringLiteral("0"));
    else if (row == -1)
        for (int r = 1; r <= rowCount(); ++r) setText(col, r, checked ? QStringLiteral("1") : QStringLiteral("0"));
}

void SpreadGrid::setLocked(int col, int row, bool locked) {
    if (row == -1 && col >= 1) {
        CellFormat s = colFormat_.value(col - 1);
        s.locked = locked;
        colFormat_.insert(col - 1, s);
        for (int r = 1; r <= rowCount(); ++r) setLocked(col, r, locked);
        return;
    }
    if (col == -1 && row >= 1) {
        for (int c = 1; c <= columnCount(); ++c) setLocked(c, row, locked);
        return;
    }
    if (col < 1 || row < 1 || col > columnCount() || row > rowCount()) return;
    CellFormat s = formatAt(row - 1, col - 1);
    if (s.locked == locked && item(row - 1, col - 1)) return;
    const QString text = getText(col, row);
    const int idx = comboIndex(col, row);
    s.locked = locked;
    applyType(row - 1, col - 1, s, text, idx);
}

bool SpreadGrid::isLocked(int col, int row) const {
    if (col < 1 || row < 1 || col > columnCount() || row > rowCount()) return false;
    return formatAt(row - 1, col - 1).locked;
}

void SpreadGrid::setBackColor(int col, int row, const QColor& color) {
    const int r1 = row == -1 ? 1 : row, r2 = row == -1 ? rowCount() : row;
    const int c1 = col == -1 ? 1 : col, c2 = col == -1 ? columnCount() : col;
    for (int r = qMax(1, r1); r <= qMin(r2, rowCount()); ++r)
        for (int c = qMax(1, c1); c <= qMin(c2, columnCount()); ++c) setItemBack(r - 1, c - 1, color);
}

void SpreadGrid::setForeColor(int col, int row, const QColor& color) {
    const int r1 = row == -1 ? 1 : row, r2 = row == -1 ? rowCount() : row;
    const int c1 = col == -1 ? 1 : col, c2 = col == -1 ? columnCount() : col;
    for (int r = qMax(1, r1); r <= qMin(r2, rowCount()); ++r)
        for (int c = qMax(1, c1); c <= qMin(c2, columnCount()); ++c) setItemFore(r - 1, c - 1, color);
}

QColor SpreadGrid::backColor(int col, int row) const {
    if (col < 1 || row < 1) return {};
    return itemBack(row - 1, col - 1);
}

QColor SpreadGrid::foreColor(int col, int row) const {
    if (col < 1 || row < 1) return defaultForeColor();
    return itemFore(row - 1, col - 1);
}

void SpreadGrid::insertRows(int row, int count) {
    const int max = rowCount();
    const int at = row - 1;
    if (count <= 0 || at < 0 || at >= max) return;
    for (int i = 0; i < count; ++i) insertRow(at);
    setRowCount(max);   // the last rows fall out
    applyColumnTypes(at, qMin(at + count, max) - 1);
}

void SpreadGrid::deleteRows(int row, int count) {
    const int max = rowCount();
    const int at = row - 1;
    if (count <= 0 || at < 0 || at >= max) return;
    const int n = qMin(count, max - at);
    for (int i = 0; i < n; ++i) removeRow(at);
    setRowCount(max);   // empty rows come in at the end
    applyColumnTypes(max - n, max - 1);
}

void SpreadGrid::updateEditTriggers() {
    const bool edit = opMode_ == 0 || opMode_ == 2;
    setEditTriggers(edit ? (DoubleClicked | EditKeyPressed | AnyKeyPressed) : NoEditTriggers);
}

void SpreadGrid::setOperationMode(int mode) {
    opMode_ = qBound(0, mode, 5);
    switch (opMode_) {
    case 0:
    case 1:
        setSelectionBehavior(SelectItems);
        QTableWidget::setSelectionMode(ContiguousSelection);
        break;
    case 2:
    case 3:
        setSelectionBehavior(SelectRows);
        QTableWidget::setSelectionMode(SingleSelection);
        break;
    case 4:
        setSelectionBehavior(SelectRows);
        QTableWidget::setSelectionMode(MultiSelection);
        break;
    default:
        setSelectionBehavior(SelectRows);
        QTableWidget::setSelectionMode(ExtendedSelection);
        break;
    }
    updateEditTriggers();
}

bool SpreadGrid::isRowSelected(int row) const {
    if (row < 1 || row > rowCount()) return false;
    return selectionModel()->rowIntersectsSelection(row - 1, QModelIndex());
}

void SpreadGrid::setRowSelected(int row, bool selected) {
    if (row < 1 || row > rowCount() || columnCount() == 0) return;
    const QItemSelection sel(model()->index(row - 1, 0), model()->index(row - 1, columnCount() - 1));
    selectionModel()->select(sel, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

int SpreadGrid::selectedRowCount() const {
    int n = 0;
    for (int r = 0; r < rowCount(); ++r)
        if (selectionModel()->rowIntersectsSelection(r, QModelIndex())) ++n;
    return n;
}

void SpreadGrid::setSelection(int col1, int row1, int col2, int row2) {
    if (rowCount() == 0 || columnCount() == 0) return;
    const int r1 = qBound(0, qMin(row1, row2) - 1, rowCount() - 1);
    const int r2 = qBound(0, qMax(row1, row2) - 1, rowCount() - 1);
    const int c1 = qBound(0, qMin(col1, col2) - 1, columnCount() - 1);
    const int c2 = qBound(0, qMax(col1, col2) - 1, columnCount() - 1);
    setCurrentCell(r1, c1, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(model()->index(r1, c1), model()->index(r2, c2)),
                             QItemSelectionModel::ClearAndSelect);
}

double SpreadGrid::colWidth(int col) const {
    if (col < 1 || col > columnCount()) return 0;
    const int avg = qMax(1, fontMetrics().averageCharWidth());
    return std::round(double(columnWidth(col - 1) - 8) / avg * 10.0) / 10.0;
}

void SpreadGrid::setColWidth(int col, double chars) {
    const int avg = qMax(1, fontMetrics().averageCharWidth());
    const int px = int(std::lround(chars * avg)) + 8;
    if (col == -1) {
        for (int c = 0; c < columnCount(); ++c) setColumnWidth(c, px);
    } else if (col >= 1 && col <= columnCount()) {
        setColumnWidth(col - 1, px);
    }
}

void SpreadGrid::sort(int col, bool ascending) {
    if (col < 1 || col > columnCount() || rowCount() < 2) return;
    bool widgets = false;
    for (int r = 0; r < rowCount() && !widgets; ++r)
        for (int c = 0; c < columnCount() && !widgets; ++c) widgets = cellWidget(r, c) != nullptr;
    if (!widgets) {
        sortRows(0, col - 1, ascending);   // numbers compare as numbers
        return;
    }
    // A model sort keeps the cell widgets with their rows (texts compare as texts).
    ProgramWrite guard(programmatic_);
    for (int r = 0; r < rowCount(); ++r) ensureItem(r, col - 1);
    sortItems(col - 1, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QWidget* SpreadGrid::cellWidgetAt(int col, int row) const {
    if (col < 1 || row < 1) return nullptr;
    return cellWidget(row - 1, col - 1);
}

void SpreadGrid::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && !event->isAutoRepeat()
        && state() != QAbstractItemView::EditingState) {
        auto* b = qobject_cast<QPushButton*>(cellWidget(currentRow(), currentColumn()));
        if (b && b->isEnabled()) {
            event->accept();
            b->click();
            return;
        }
    }
    QTableWidget::keyPressEvent(event);
}

void SpreadGrid::keyReleaseEvent(QKeyEvent* event) {
    QTableWidget::keyReleaseEvent(event);
    emit keyUp(event->key(), activeCol(), activeRow());
}

} // namespace ui
