#pragma once
// The export-column chooser "导出" of a result set: rows of export columns
// over the source columns a caller offers (g_arrExpSrcCols); OK writes
// g_arrExpCols and g_lngExpColCount, Cancel leaves them.

#include "report/ExportFieldChooser.h"

#include <QDialog>

class QPushButton;
class QTableWidget;
namespace ui {
class CommandBar;
}

class frmExportField : public QDialog {
    Q_OBJECT
public:
    explicit frmExportField(QWidget* parent = nullptr);

    report::ExportFieldChooser& chooser() { return chooser_; }
    // The toolbar's "New", "Delete", "Up" and "Down".
    void tbStandard_ButtonClick(const QString& key);
    // A choice in column 2 (content) or 3 (MARC item) of a row (0-based).
    void choose(int row, int col, int index);
    bool cmdOK_Click();

    ui::CommandBar* tbStandard = nullptr;
    QTableWidget* spdExp = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void showRows();
    void pullRows();

    report::ExportFieldChooser chooser_;
    QStringList items_;
};
