#include "shell/basFindText.h"

#include "platform/ui/Grid.h"

namespace {

struct Bounds {
    int firstRow, firstCol, lastRow, lastCol;
};

Bounds bounds(QWidget* grid) {
    if (auto* f = qobject_cast<ui::FlexGrid*>(grid)) return {0, 0, f->rows() - 1, f->cols() - 1};
    if (auto* s = qobject_cast<ui::SpreadGrid*>(grid)) return {1, 1, s->maxRows(), s->maxCols()};
    return {0, 0, -1, -1};
}

bool colSkipped(QWidget* grid, int col) {
    if (auto* f = qobject_cast<ui::FlexGrid*>(grid)) return f->colHidden(col);
    if (auto* s = qobject_cast<ui::SpreadGrid*>(grid)) return s->colHidden(col);
    return true;
}

bool rowSkipped(QWidget* grid, int row, int startRow) {
    auto* f = qobject_cast<ui::FlexGrid*>(grid);
    return f && row != startRow && f->rowHidden(row);
}

QString cellText(QWidget* grid, int row, int col) {
    if (auto* f = qobject_cast<ui::FlexGrid*>(grid)) return f->textMatrix(row, col);
    if (auto* s = qobject_cast<ui::SpreadGrid*>(grid)) return s->getText(col, row);
    return {};
}

void markCell(QWidget* grid, int row, int col) {
    if (auto* f = qobject_cast<ui::FlexGrid*>(grid)) {
        f->setRow(row);
        f->setCol(col);
        f->select(row, col);
        f->editCell();
    } else if (auto* s = qobject_cast<ui::SpreadGrid*>(grid)) {
        s->setRow(row);
        s->setCol(col);
        s->setOperationMode(0);
        s->clearSelection();
        if (row >= 1 && col >= 1) s->setActiveCell(col, row);
        s->setSelection(col, row, col, row);
    }
}

} // namespace

QString strGridKind(const QWidget* control) {
    if (auto* g = qobject_cast<const ui::Grid*>(control)) return g->typeName();
    return {};
}

bool blnCellMatches(const QString& cell, const FindOptions& o) {
    const Qt::CaseSensitivity cs = o.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (o.whole) return cell.compare(o.text, cs) == 0;
    return !cell.isEmpty() && cell.contains(o.text, cs);
}

FindPosition posLastCell(QWidget* grid) {
    const Bounds b = bounds(grid);
    return {b.lastRow, b.lastCol};
}

bool blnScanGrid(QWidget* grid, FindPosition& pos, const FindOptions& o) {
    const Bounds b = bounds(grid);
    if (b.lastRow < 0 || b.lastCol < 0) return false;
    int r = pos.row;
    int c = pos.col;
    if (o.backward) {
        if (r > b.lastRow || c > b.lastCol) {
            if (r > b.lastRow) r = b.lastRow;
            c = b.lastCol;
        }
    } else if (r > b.lastRow || r < 0) {
        return false;
    }
    const int startRow = r;
    const int step = o.backward ? -1 : 1;
    for (int row = r; o.backward ? row >= qMax(b.firstRow, 0) || row == startRow : row <= b.lastRow;
         row += step) {
        if (row < 0) break;
        if (rowSkipped(grid, row, startRow)) continue;
        const int from = row == startRow ? c : (o.backward ? b.lastCol : b.firstCol);
        for (int col = from; o.backward ? col >= b.firstCol : col <= b.lastCol; col += step) {
            if (col < 0 || colSkipped(grid, col)) continue;
            if (blnCellMatches(cellText(grid, row, col), o)) {
                markCell(grid, row, col);
                pos = {row, col + step};
                return true;
            }
        }
    }
    return false;
}

int intSelectionMode(const QWidget* grid) {
    if (auto* f = qobject_cast<const ui::FlexGrid*>(grid)) return f->selectionMode();
    if (auto* s = qobject_cast<const ui::SpreadGrid*>(grid)) return s->operationMode();
    return 0;
}

void subRestoreSelectionMode(QWidget* grid, int mode) {
    if (auto* f = qobject_cast<ui::FlexGrid*>(grid)) {
        if (mode >= 0 && mode <= 3) f->setSelectionMode(mode);
    } else if (auto* s = qobject_cast<ui::SpreadGrid*>(grid)) {
        if (mode >= 0 && mode <= 5) s->setOperationMode(mode);
    }
}
