#pragma once
// The grid family: one table widget, two addressings.
//
// FlexGrid: cells addressed (row, col) from 0; fixed rows and columns are
//   ordinary cells counted in rows()/cols() (shaded, not editable); a single
//   fixed row stays in view as the column header while the rows scroll. The current
//   cell is row()/col(); text() reads and writes it. textMatrix(row, col) reads
//   and writes any cell.
//
// SpreadGrid: cells addressed (col, row) from 1; row 0 holds the column titles
//   and column 0 the row titles (the headers). maxRows()/maxCols() count the
//   data rows and columns. getText(col, row)/setText(col, row, text) address a
//   cell directly; row()/col() plus text() address through the grid's cell
//   pointer, where -1 stands for every row or every column. The user's cell is
//   activeRow()/activeCol(). insertRows/deleteRows keep maxRows(): an insert
//   pushes the last rows out, a delete brings empty rows in at the end.
//   Cell kinds: plain (editable unless locked or the grid is read-only),
//   static (locked text), button (caption = the cell's text), drop-down (list
//   from one tab-separated text; its text is the chosen entry) and check box
//   (text "1" ticked, "0" clear).
//
// Both: Tab leaves a read-only grid for the next control (see focusNextPrevChild);
// objectName is the control name; setRedraw(false) suspends drawing; the
// type name tells the kind apart ("VSFlexGrid" / "fpSpread") for the tool that
// searches the grids of a window; colours are QColor (units::colorFromNumber
// converts the stored colour numbers).

#include <QColor>
#include <QHash>
#include <QTableWidget>
#include <QVariant>

namespace ui {

class Grid : public QTableWidget {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);

    virtual QString typeName() const = 0;

    void setRedraw(bool on);
    bool redraw() const { return redraw_; }

    // Default text colour of cells that have none of their own.
    void setDefaultForeColor(const QColor& color);
    QColor defaultForeColor() const { return defaultFore_; }

protected:
    // Tab: a grid that edits walks its cells and passes Tab on past its last
    // (Shift+Tab: first) cell; a read-only grid passes it on at once (the arrow
    // keys move inside).
    bool focusNextPrevChild(bool next) override;

    // Physical (0-based table) addressing; the item is created when missing.
    QTableWidgetItem* ensureItem(int prow, int pcol);
    QString itemText(int prow, int pcol) const;
    void setItemText(int prow, int pcol, const QString& text);
    void setItemFore(int prow, int pcol, const QColor& color);
    void setItemBack(int prow, int pcol, const QColor& color);
    QColor itemFore(int prow, int pcol) const;
    QColor itemBack(int prow, int pcol) const;
    // Sorts physical rows [first, rowCount) by a column, by text.
    void sortRows(int first, int pcol, bool ascending);

    bool programmatic_ = false;   // true while the program writes cells

private:
    bool redraw_ = true;
    QColor defaultFore_;
};

// Check box state of a flexible grid cell.
enum class CheckMark { None = 0, Checked = 1, Unchecked = 2 };

class FlexGrid : public Grid {
    Q_OBJECT
public:
    explicit FlexGrid(QWidget* parent = nullptr);
    explicit FlexGrid(const QString& objectName, QWidget* parent = nullptr);

    QString typeName() const override { return QStringLiteral("VSFlexGrid"); }

    int rows() const { return rowCount(); }
    void setRows(int rows);
    int cols() const { return columnCount(); }
    void setCols(int cols);
    int fixedRows() const { return fixedRows_; }
    void setFixedRows(int n);
    int fixedCols() const { return fixedCols_; }
    void setFixedCols(int n);

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    // Current cell.
    int row() const { return curRow_; }
    void setRow(int row);
    int col() const { return curCol_; }
    void setCol(int col);
    QString text() const { return textMatrix(curRow_, curCol_); }
    void setText(const QString& text) { setTextMatrix(curRow_, curCol_, text); }

    bool colHidden(int col) const { return isColumnHidden(col); }
    void setColHidden(int col, bool hidden) { setColumnHidden(col, hidden); }
    bool rowHidden(int row) const;
    void setRowHidden(int row, bool hidden);

    // Colours of a cell range (inclusive, either corner first).
    void setCellForeColor(int row1, int col1, int row2, int col2, const QColor& color);
    void setCellBackColor(int row1, int col1, int row2, int col2, const QColor& color);
    QColor cellForeColor(int row, int col) const;   // the default colour when none set
    QColor cellBackColor(int row, int col) const;   // invalid when none set

    void setCellChecked(int row, int col, CheckMark mark);
    CheckMark cellChecked(int row, int col) const;

    QVariant rowData(int row) const;
    void setRowData(int row, const QVariant& data);
    QVariant colData(int col) const { return colData_.value(col); }
    void setColData(int col, const QVariant& data) { colData_.insert(col, data); }

    // Sizes in twips.
    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);

    // 0 free, 1 by row, 2 by column, 3 list box.
    int selectionMode() const { return selMode_; }
    void setSelectionMode(int mode);
    // Selects a cell (or a range) and makes it current.
    void select(int row, int col);
    void select(int row1, int col1, int row2, int col2);
    bool editable() const { return editable_; }
    void setEditable(bool on);
    // Starts editing the current cell when the grid is editable.
    void editCell();

    // Adds a row from tab-separated texts at index (-1: at the end).
    void addItem(const QString& tabText, int index = -1);
    void removeItem(int index);

    // Sorts the rows below the fixed rows by a column.
    void sort(int col, bool ascending = true);
    // Widens columns col1..col2 to their contents.
    void autoSize(int col1, int col2);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    // With one fixed row shown, row 0 is drawn as the header and its table
    // row is hidden from view; rowHidden(0) still tells what the program set.
    void syncHeader();
    bool headerMode() const { return fixedRows_ == 1 && rowCount() > 0 && !row0Hidden_; }
    bool row0Hidden_ = false;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int curRow_ = 0;
    int curCol_ = 0;
    int selMode_ = 0;
    bool editable_ = false;
    QHash<int, QVariant> colData_;
};

enum class CellType { Edit, Static, Button, ComboBox, CheckBox };

class SpreadGrid : public Grid {
    Q_OBJECT
public:
    explicit SpreadGrid(QWidget* parent = nullptr);
    explicit SpreadGrid(const QString& objectName, QWidget* parent = nullptr);

    QString typeName() const override { return QStringLiteral("fpSpread"); }

    int maxRows() const { return rowCount(); }
    void setMaxRows(int rows);
    int maxCols() const { return columnCount(); }
    void setMaxCols(int cols);

    // Direct addressing, (col, row) from 1; row 0 / col 0 are the titles.
    QString getText(int col, int row) const;
    void setText(int col, int row, const QString& text);

    // Cell pointer; -1 means every row / every column.
    int row() const { return ptrRow_; }
    void setRow(int row) { ptrRow_ = row; }
    int col() const { return ptrCol_; }
    void setCol(int col) { ptrCol_ = col; }
    QString text() const { return getText(ptrCol_, ptrRow_); }
    void setText(const QString& text);          // all addressed cells

    // The user's cell (0 when there is none).
    int activeRow() const { return currentRow() + 1; }
    int activeCol() const { return currentColumn() + 1; }
    void setActiveCell(int col, int row);

    bool colHidden(int col) const { return col >= 1 && isColumnHidden(col - 1); }
    void setColHidden(int col, bool hidden);
    bool rowHidden(int row) const { return row >= 1 && isRowHidden(row - 1); }
    void setRowHidden(int row, bool hidden);

    // Cell kinds; row -1 sets the whole column (rows added later included),
    // col -1 the whole row.
    void setCellType(int col, int row, CellType type);
    CellType cellType(int col, int row) const;
    void setButtonCell(int col, int row, const QString& caption);
    // items: one text, entries separated by tab characters; index -1 none.
    void setComboCell(int col, int row, const QString& items, bool editable = false, int index = -1);
    int comboIndex(int col, int row) const;
    void setComboIndex(int col, int row, int index);
    int comboCount(int col, int row) const;
    void setCheckCell(int col, int row, bool checked = false);
    void setLocked(int col, int row, bool locked);
    bool isLocked(int col, int row) const;

    // Colours; col -1 addresses the whole row, row -1 the whole column.
    void setBackColor(int col, int row, const QColor& color);
    void setForeColor(int col, int row, const QColor& color);
    QColor backColor(int col, int row) const;   // invalid when none set
    QColor foreColor(int col, int row) const;   // the default colour when none set
    void setRowBackColor(int row, const QColor& c) { setBackColor(-1, row, c); }
    void setRowForeColor(int row, const QColor& c) { setForeColor(-1, row, c); }
    QColor rowBackColor(int row) const { return backColor(1, row); }
    QColor rowForeColor(int row) const { return foreColor(1, row); }

    void insertRows(int row, int count = 1);
    void deleteRows(int row, int count = 1);

    // 0 normal, 1 read only, 2 row mode, 3 single select, 4 multi select
    // (a click toggles a row), 5 extended select. Normal by default.
    int operationMode() const { return opMode_; }
    void setOperationMode(int mode);
    bool isRowSelected(int row) const;
    void setRowSelected(int row, bool selected);
    int selectedRowCount() const;
    void setSelection(int col1, int row1, int col2, int row2);

    // Width in characters of the grid's font.
    double colWidth(int col) const;
    void setColWidth(int col, double chars);

    // Sorts rows 1..maxRows by a column.
    void sort(int col, bool ascending = true);

    // The widget of a button or drop-down cell (nullptr otherwise), for tests.
    QWidget* cellWidgetAt(int col, int row) const;

signals:
    void cellClick(int col, int row);
    void cellDblClick(int col, int row);
    void cellChange(int col, int row);
    void buttonClicked(int col, int row);
    void leaveCell(int col, int row, int newCol, int newRow);
    // A key released in the grid, with the active cell (0, 0 when none).
    void keyUp(int key, int col, int row);

protected:
    // Space, Enter or Return on the current cell presses its button, if it has one.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct CellFormat {
        CellType type = CellType::Edit;
        QString comboItems;
        bool comboEditable = false;
        bool locked = false;
    };
    void applyType(int prow, int pcol, const CellFormat& fmt, const QString& text, int comboIndex);
    CellFormat formatAt(int prow, int pcol) const;
    void applyColumnTypes(int firstPRow, int lastPRow);
    void updateEditTriggers();

    int ptrRow_ = 1;
    int ptrCol_ = 1;
    int opMode_ = 0;
    QHash<int, CellFormat> colFormat_;                 // by physical column (row -1)
};

} // namespace ui
