#pragma once
// The report grid on screen: a table view over a ReportGrid.
//
// The title row is the horizontal header (its texts, fonts and colours from
// row 0; a title is edited in a box over its section); the definition row is
// never shown; data rows are the view's rows (grid row = view row + 2);
// column 0 is an ordinary column, hidden when the grid hides it. Equal
// neighbours of a merged column show as one cell. Selected cells are
// highlighted only in range mode. Sizes follow the grid's twips.
//
// The view reports the worker's mouse on the grid with its grid coordinates:
// pressed (row 0 for the title row), and a title clicked for sorting.

#include "report/ReportGrid.h"

#include <QAbstractTableModel>
#include <QTableView>

class QLineEdit;

namespace report {

class ReportGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReportGridModel(ReportGrid* grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Tells the views that the grid changed as a whole.
    void reload();
    ReportGrid* grid() const { return grid_; }

private:
    QVariant cellRole(int row, int col, int role) const;
    ReportGrid* grid_;
};

class ReportGridView : public QTableView {
    Q_OBJECT
public:
    ReportGridView(ReportGrid* grid, QWidget* parent = nullptr);

    ReportGrid* grid() const { return grid_; }
    ReportGridModel* gridModel() const { return model_; }

    // Shows the grid again: hidden rows and columns, widths, heights, merges.
    void refresh();

    // Opens the title editor over column `col`'s section.
    void editTitle(int col);
    QLineEdit* titleEditor() const { return titleEdit_; }

    // The grid row and column at a point of the viewport or the header
    // (-1 outside the cells).
    int gridRowAt(const QPoint& viewportPos) const;

signals:
    // A mouse press on the grid: grid row (0 for a title), column, button, global position.
    void gridPressed(int row, int col, Qt::MouseButton button, const QPoint& globalPos);
    void titleDoubleClicked(int col);
    // A title clicked: sort by it.
    void titleClicked(int col);
    // The worker resized a column (or a row: -1).
    void columnResized(int col);
    // Worker selected cells (range mode).
    void selectionStarted();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void commitTitle();
    void syncSelection();

    ReportGrid* grid_;
    ReportGridModel* model_;
    QLineEdit* titleEdit_ = nullptr;
    int titleCol_ = -1;
    bool syncing_ = false;
};

} // namespace report
