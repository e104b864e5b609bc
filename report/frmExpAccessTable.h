#pragma once
// The result-set table dialog "导出到": a new table of the export columns
// (g_arrExpCols) in g_strExpFile, named by the worker (trimmed, upper-cased),
// or one of the file's tables. OK sets g_strExpTable; Cancel leaves it.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmExpAccessTable : public QDialog {
    Q_OBJECT
public:
    explicit frmExpAccessTable(QWidget* parent = nullptr);

    void optTable_Click();
    bool cmdOK_Click();

    QRadioButton* optTable0 = nullptr; // 新建表
    QRadioButton* optTable1 = nullptr; // 现存表
    QLineEdit* txtTable = nullptr;
    QComboBox* cboTable = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void fail(const QString& error);
};
