#pragma once
// The report grid as data: the layout every report window and print relies on,
// without a widget.
//
//   row 0            column titles (fixed)
//   row 1            definition row (fixed, always hidden): what each column
//                    shows -- the array title, a MARC definition "$...", or ""
//                    for a column the worker types into
//   rows 2..last     records; each row carries its record key (rowData)
//   column 0         row numbers, or hidden with column data "Hide"
//   columns 1..last  data columns
//
// Column data "Hide" marks a deleted column; a re-fit hides every column so
// marked. Sizes are in twips. Cells carry their own colours, font, alignment
// (1 left, 4 centre, 7 right; 9 general: text left, numbers right) and text
// style (0 flat, 1 raised, 2 inset); the grid carries the defaults, the line
// style (0 none, 1 all, 4 horizontal only, 8 vertical only) and line width.
//
// Selection mode (highLight): 0 free -- style commands act on the whole grid;
// 1 range -- they act on the selected cells, from the current cell to the far
// corner of the selection.

#include <QColor>
#include <QFont>
#include <QList>
#include <QSize>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class ReportArray;

namespace report {

// The width and height, in twips, of a text in a font; wrapWidth > 0 wraps it
// at that width. Lines are broken at line breaks in any case.
using TextMeasure = std::function<QSize(const QFont& font, const QString& text, int wrapWidth)>;

// Measures with the font's own metrics (a point is 20 twips).
QSize measureText(const QFont& font, const QString& text, int wrapWidth);

// The font at a size of one pixel per twip, for measuring and drawing in twips.
QFont twipFont(const QFont& font);

// The placement of a cell alignment code (0..8: left/centre/right by thirds,
// top/centre/bottom within; other codes: left, centred vertically).
Qt::Alignment alignmentFlags(int code);

enum class AutoSizeMode { ColWidths, RowHeights };

struct CellStyle {
    std::optional<QColor> back;
    std::optional<QColor> fore;
    std::optional<QFont> font;
    int alignment = 9;
    int textStyle = 0;
};

struct GridColumn {
    QString data; // "Hide" on a deleted column (and on unnumbered column 0)
    bool hidden = false;
    int width = 1000;
    int sort = 0; // 0 none, 1 ascending, 2 descending
    bool merge = false;
};

struct GridRow {
    QList<QString> text;
    QList<CellStyle> style;
    QVariant data; // the record key
    bool hidden = false;
    int height = 0; // 0: the default height
};

class ReportGrid {
public:
    ReportGrid();

    // Shape. Setting rows or columns keeps what fits and adds empty cells.
    int rows() const { return int(rows_.size()); }
    void setRows(int n);
    int cols() const { return int(cols_.size()); }
    void setCols(int n);
    int fixedRows() const { return 2; }
    int fixedCols() const { return 1; }

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    QVariant rowData(int row) const;
    void setRowData(int row, const QVariant& data);
    QString colData(int col) const;
    void setColData(int col, const QString& data);
    bool colHidden(int col) const;
    void setColHidden(int col, bool hidden);
    bool rowHidden(int row) const;
    void setRowHidden(int row, bool hidden);
    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    int rowHeight(int row) const; // the default height when none was set
    void setRowHeight(int row, int twips);
    int colSort(int col) const;
    void setColSort(int col, int order);
    bool mergeCol(int col) const;
    void setMergeCol(int col, bool on);

    // Cell styles; the effective values fall back on the grid's.
    const CellStyle& cellStyle(int row, int col) const;
    CellStyle& cellStyleRef(int row, int col);
    QColor cellBackColor(int row, int col) const;
    QColor cellForeColor(int row, int col) const;
    QFont cellFont(int row, int col) const;
    int cellAlignment(int row, int col) const;
    int cellTextStyle(int row, int col) const;
    // Applies a change to every cell of a rectangle (corners in any order).
    void forRange(int row1, int col1, int row2, int col2, const std::function<void(CellStyle&)>& fn);

    // Grid-wide settings. The "fixed" variants govern the title row and the
    // number column.
    QFont font() const { return font_; }
    void setFont(const QFont& f); // clears the cells' own fonts
    QColor backColor, foreColor, backColorFixed, foreColorFixed;
    QColor gridColor, gridColorFixed, borderColor;
    int gridLines = 1;
    int gridLinesFixed = 1;
    int gridLineWidth = 1;

    // Width of the grid itself (twips); ProperSize fits the columns to it.
    int width = 10545;
    AutoSizeMode autoSizeMode = AutoSizeMode::ColWidths;
    void setMeasure(TextMeasure m) { measure_ = std::move(m); }
    const TextMeasure& measure() const { return measure_; }

    // Selection.
    int highLight = 0;
    int row = 0, col = 0;       // current cell
    int rowSel = 0, colSel = 0; // far corner of the selection
    void select(int row1, int col1, int row2, int col2);

    // Sizes columns col1..col2 by the auto-size mode: the widths to their
    // longest text, or the heights of every row to its tallest wrapped text.
    void autoSize(int col1, int col2);

    // Moves a column to another position; the columns between shift one place.
    void moveColumn(int from, int to);
    // Removes the last column.
    void removeLastColumn();

    // Sorts the data rows (2..last), stable, by the given columns left to right,
    // each in the order of its ColSort (2 descending, else ascending). Texts
    // compare by character code; row keys, styles and heights move with rows.
    void sortRows(const QList<int>& keyCols);

    // The run of merged cells that holds (row, col) within rows first..last:
    // the first row and the count of rows. A cell of a column without merging
    // is a run of one.
    std::pair<int, int> mergeRun(int row, int col, int first, int last) const;

    // The visible columns and data rows, in order.
    QList<int> visibleCols() const;
    QList<int> visibleDataRows() const;

    int defaultRowHeight() const;

private:
    bool valid(int row, int col) const;
    void fitColumn(int c);
    void fitRow(int r, int col1, int col2);

    QList<GridRow> rows_;
    QList<GridColumn> cols_;
    QFont font_;
    TextMeasure measure_;
};

// Loads the grid from the report array (rows 0..rows, columns 0..cols): titles
// to rows 0 and 1, records from row 2 with their keys; numbers the rows when
// addOrder is 1, else hides column 0 with column data "Hide"; selection mode
// free; fits the columns with ProperSize when there are 12 columns or fewer,
// else auto-sizes them.
void initRawGrid(ReportGrid& grd, const ReportArray& data, int rows, int cols, int addOrder);

// Widths of all columns fitted to their texts, then scaled so they fill the
// grid's width; row heights fitted; auto-size mode left at row heights.
void ProperSize(ReportGrid& grd);

// Rows 2.. read 1, 2, 3 ... in column 0 (only when addOrder is 1).
void subRenumber(ReportGrid& grd, int addOrder);

// Auto-size columns 1..last, hide row 1 and every column marked "Hide".
void subRefit(ReportGrid& grd);

// The grid's commands. `col` is the column the worker's pop-up acts on.
namespace cmd {
// Sort by one column (order 1 ascending, 2 descending) and renumber.
void sortColumn(ReportGrid& grd, int col, int order, int addOrder);
// Deletes a column. A column from the array stays, hidden, at the end, and
// its definition text is returned for the restore list; a MARC or custom
// column is removed and the empty text returned.
QString deleteColumn(ReportGrid& grd, int col);
// Brings back the first hidden column whose definition is `definition`,
// at position `at`. False (nothing changed) when no column carries it.
bool restoreColumn(ReportGrid& grd, const QString& definition, int at);
// A cell edit is allowed on the title row and in columns with an empty
// definition row.
bool canEdit(const ReportGrid& grd, int row, int col);
// Writes an edit when the rule allows it; false when refused.
bool editCell(ReportGrid& grd, int row, int col, const QString& text);
// Range mode and column `col`'s data cells selected.
void selectColumn(ReportGrid& grd, int col);
// 1 left, 4 centre, 7 right: the selection in range mode, every cell otherwise.
void align(ReportGrid& grd, int alignment);
// 0 flat, 1 raised, 2 inset, with the same rule.
void textStyle(ReportGrid& grd, int style);
// The selection's font in range mode, the grid's font otherwise; then re-fit.
void font(ReportGrid& grd, const QFont& font);
} // namespace cmd

} // namespace report
