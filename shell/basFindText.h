#pragma once
// Finding a text in the cells of a grid, for the find-text tool.
//
// Flexible grids ("VSFlexGrid") are scanned from row 0, column 0 (fixed rows
// and columns included), skipping hidden columns and hidden rows (except the
// row the scan starts in); spreadsheet grids ("fpSpread") over rows and
// columns 1..max, their hidden columns skipped; a scan that starts in row 0
// goes through that row (the column titles) from its column first. A stored
// position outside the grid never addresses a cell outside it: forward, a
// row below the last gives nothing; backward, a row or column beyond the
// grid starts at the grid's last cell.

#include <QString>

class QWidget;

struct FindPosition {
    int row = 0;
    int col = 0;
};

struct FindOptions {
    QString text;
    bool whole = false;
    bool matchCase = false;
    bool backward = false;
};

// A grid's kind: "VSFlexGrid", "fpSpread", or "" for any other control.
QString strGridKind(const QWidget* control);

bool blnCellMatches(const QString& cell, const FindOptions& o);

// The first and last cell of a grid (the start of a fresh backward search is
// the last one).
FindPosition posLastCell(QWidget* grid);

// Scans from `pos`; on a match marks the cell (current, selected), moves
// `pos` to the cell's row and the next column in the direction of travel and
// returns true.
bool blnScanGrid(QWidget* grid, FindPosition& pos, const FindOptions& o);

// SelectionMode of a flexible grid, OperationMode of a spreadsheet grid, 0
// for any other control; restoring writes only a value in range.
int intSelectionMode(const QWidget* grid);
void subRestoreSelectionMode(QWidget* grid, int mode);
