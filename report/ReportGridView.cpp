#include "report/ReportGridView.h"

#include "platform/ui/Units.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace report {

namespace {
constexpr int kFirstDataRow = 2;

int px(int twips) {
    return std::max(0, ui::units::twipsToPixels(twips));
}

// Draws selections only in range mode, and the raised and inset text styles.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(ReportGrid* grid, QObject* parent) : QStyledItemDelegate(parent), grid_(grid) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        if (grid_->highLight == 0) opt.state &= ~QStyle::State_Selected;
        const int style = grid_->cellTextStyle(index.row() + kFirstDataRow, index.column());
        if (style == 0) {
            QStyledItemDelegate::paint(p, opt, index);
            return;
        }
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        QStyledItemDelegate::paint(p, opt, index);
        const QRect r = opt.rect.adjusted(3, 1, -3, -1);
        const int d = style == 1 ? -1 : 1;
        p->save();
        p->setFont(opt.font);
        p->setPen(Qt::white);
        p->drawText(r.translated(d, d), int(opt.displayAlignment) | Qt::TextWordWrap, text);
        p->setPen(opt.palette.color(QPalette::Text));
        if (index.data(Qt::ForegroundRole).canConvert<QColor>())
            p->setPen(index.data(Qt::ForegroundRole).value<QColor>());
        p->drawText(r, int(opt.displayAlignment) | Qt::TextWordWrap, text);
        p->restore();
    }

private:
    ReportGrid* grid_;
};
} // namespace

ReportGridModel::ReportGridModel(ReportGrid* grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {}

int ReportGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, grid_->rows() - kFirstDataRow);
}

int ReportGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_->cols();
}

QVariant ReportGridModel::cellRole(int row, int col, int role) const {
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return grid_->textMatrix(row, col);
    case Qt::FontRole:
        return grid_->cellFont(row, col);
    case Qt::ForegroundRole:
        return grid_->cellForeColor(row, col);
    case Qt::BackgroundRole:
        return grid_->cellBackColor(row, col);
    case Qt::TextAlignmentRole:
        return int(alignmentFlags(grid_->cellAlignment(row, col)));
    default:
        return {};
    }
}

QVariant ReportGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    return cellRole(index.row() + kFirstDataRow, index.column(), role);
}

QVariant ReportGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    return cellRole(0, section, role);
}

Qt::ItemFlags ReportGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && cmd::canEdit(*grid_, index.row() + kFirstDataRow, index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool ReportGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    if (!cmd::editCell(*grid_, index.row() + kFirstDataRow, index.column(), value.toString())) return false;
    emit dataChanged(index, index);
    return true;
}

void ReportGridModel::reload() {
    beginResetModel();
    endResetModel();
}

ReportGridView::ReportGridView(ReportGrid* grid, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(new ReportGridModel(grid, this)) {
    setObjectName(QStringLiteral("grdOrder"));
    setModel(model_);
    setItemDelegate(new CellDelegate(grid, this));
    // A narrow strip without numbers, by which the worker resizes rows.
    verticalHeader()->setFixedWidth(6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->viewport()->installEventFilter(this);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setWordWrap(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int col) { emit titleClicked(col); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        if (syncing_) return;
        grid_->setColWidth(col, ui::units::pixelsToTwips(size));
        emit columnResized(col);
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int, int size) {
        if (syncing_) return;
        grid_->setRowHeight(row + kFirstDataRow, ui::units::pixelsToTwips(size));
        emit columnResized(-1);
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { syncSelection(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { syncSelection(); });

    titleEdit_ = new QLineEdit(horizontalHeader()->viewport());
    titleEdit_->setObjectName(QStringLiteral("txtTitle"));
    titleEdit_->hide();
    titleEdit_->installEventFilter(this);
}

void ReportGridView::refresh() {
    syncing_ = true;
    for (int c = 0; c < grid_->cols(); ++c) {
        setColumnHidden(c, grid_->colHidden(c));
        setColumnWidth(c, px(grid_->colWidth(c)));
    }
    clearSpans();
    const int n = model_->rowCount();
    for (int r = 0; r < n; ++r) {
        setRowHidden(r, grid_->rowHidden(r + kFirstDataRow));
        setRowHeight(r, std::max(1, px(grid_->rowHeight(r + kFirstDataRow))));
    }
    for (int c = 0; c < grid_->cols(); ++c) {
        if (!grid_->mergeCol(c)) continue;
        for (int r = 0; r < n;) {
            const auto [top, count] = grid_->mergeRun(r + kFirstDataRow, c, kFirstDataRow, grid_->rows() - 1);
            if (count > 1) setSpan(top - kFirstDataRow, c, count, 1);
            r = top - kFirstDataRow + count;
        }
    }
    horizontalHeader()->setFixedHeight(std::max(px(grid_->rowHeight(0)), 18));
    setShowGrid(grid_->gridLines != 0);
    setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; background: %2; color: %3; }")
                      .arg(grid_->gridColor.name(), grid_->backColor.name(), grid_->foreColor.name()));
    syncing_ = false;
    viewport()->update();
}

void ReportGridView::syncSelection() {
    if (syncing_) return;
    const QModelIndexList sel = selectionModel()->selectedIndexes();
    const QModelIndex cur = currentIndex();
    if (sel.isEmpty() || !cur.isValid()) return;
    int r2 = cur.row(), c2 = cur.column();
    for (const QModelIndex& i : sel) {
        if (std::abs(i.row() - cur.row()) >= std::abs(r2 - cur.row())) r2 = i.row();
        if (std::abs(i.column() - cur.column()) >= std::abs(c2 - cur.column())) c2 = i.column();
    }
    grid_->highLight = 1;
    grid_->select(cur.row() + kFirstDataRow, cur.column(), r2 + kFirstDataRow, c2);
    emit selectionStarted();
}

int ReportGridView::gridRowAt(const QPoint& pos) const {
    const int r = rowAt(pos.y());
    return r < 0 ? -1 : r + kFirstDataRow;
}

void ReportGridView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    emit gridPressed(gridRowAt(pos), columnAt(pos.x()), event->button(), event->globalPosition().toPoint());
}

void ReportGridView::editTitle(int col) {
    if (col < 0 || col >= grid_->cols()) return;
    titleCol_ = col;
    QHeaderView* h = horizontalHeader();
    titleEdit_->setGeometry(h->sectionViewportPosition(col), 0, h->sectionSize(col), h->height());
    titleEdit_->setText(grid_->textMatrix(0, col));
    titleEdit_->show();
    titleEdit_->setFocus();
    titleEdit_->selectAll();
}

void ReportGridView::commitTitle() {
    if (titleCol_ >= 0) cmd::editCell(*grid_, 0, titleCol_, titleEdit_->text());
    titleCol_ = -1;
    titleEdit_->hide();
    emit model_->headerDataChanged(Qt::Horizontal, 0, std::max(0, grid_->cols() - 1));
}

bool ReportGridView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == titleEdit_) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                commitTitle();
                return true;
            }
            if (key == Qt::Key_Escape) {
                titleCol_ = -1;
                titleEdit_->hide();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && titleEdit_->isVisible()) {
            commitTitle();
        }
        return false;
    }
    if (watched == horizontalHeader()->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonPress) {
            const int col = horizontalHeader()->logicalIndexAt(me->position().toPoint());
            emit gridPressed(0, col, me->button(), me->globalPosition().toPoint());
            if (me->button() == Qt::RightButton) return true;
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            emit titleDoubleClicked(horizontalHeader()->logicalIndexAt(me->position().toPoint()));
            return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace report
