#pragma once
// The output-columns dialog "订单输出设置": chooses, orders, names and sorts
// the columns of a report grid, adds MARC columns and sets the row numbers.
// The rows live in a ColumnSetupEditor; the table shows and takes them.

#include "report/ColumnSetup.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QTableWidget;

class frmFlexPrtCustom : public QDialog {
    Q_OBJECT
public:
    frmFlexPrtCustom(int addOrder, bool simplePrint, QWidget* parent = nullptr);

    // The set-up rows of a report grid (array titles and records from the
    // input); the OK rebuild; the template rebuild with the option it brings.
    void subReadGrid(const report::ReportGrid& grd, const report::RebuildInput& in);
    void subApplyGrid(report::ReportGrid& grd, const report::RebuildInput& in);
    void subDrawGrid(report::ReportGrid& grd, const QList<report::SetupRow>& rows, int addOrder,
                     const report::RebuildInput& in);
    int addOrder() const;

    report::ColumnSetupEditor& editor() { return editor_; }
    // Row header pressed (row from 1).
    void grdSetup_RowHeader(int row, bool leftButton = true);
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdDel_Click();
    void cmdNewMarc_Click();
    // Double-click on a definition: the MARC editor for rows that have one.
    void editDefinition(int row);
    // The table's edits into the rows (titles, output, sort).
    void pullRows();

    QTableWidget* grdSetup = nullptr;
    QPushButton* cmdNewMarc = nullptr;
    QPushButton* cmdDel = nullptr;
    QPushButton* cmdUp = nullptr;
    QPushButton* cmdDown = nullptr;
    QCheckBox* chkOrder = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void showRows();
    void showChoice();
    void dropChoice();
    bool runEditor(int row);

    report::ColumnSetupEditor editor_;
};
