#pragma once
// The grid style dialog: colours (background, text, grid line, outer border)
// or grid lines (style, width) of a report grid. iMode 0 shows the colours,
// any other value the grid lines; OK writes back what either mode shows.

#include "report/GridStyle.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class frmFlexPrtStyle : public QDialog {
    Q_OBJECT
public:
    explicit frmFlexPrtStyle(report::ReportGrid* grid, QWidget* parent = nullptr);

    int iMode = 0;

    // Reads the grid afresh and arranges the rows of the mode (each showing).
    void Form_Activate();
    // Row 0..3: the colour chooser; a confirmed colour becomes the cell's.
    void chooseColor(int row);
    void cmdOK_Click();
    void cmdCancel_Click();

    const report::GridStyleValues& values() const { return values_; }

    QLabel* lblHelp = nullptr;
    QTableWidget* grdColor = nullptr;
    QComboBox* cboLineStyle = nullptr;
    QLineEdit* txtLineWidth = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showValues();
    QColor& colorOfRow(int row);

    report::ReportGrid* grid_;
    report::GridStyleValues values_;
};
