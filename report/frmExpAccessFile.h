#pragma once
// The result-set file dialogs "保存到": frmExpAccessFile chooses a new or an
// existing database file, frmExp2File also a text file. OK sets g_strExpFile
// (a new database file then exists, empty); Cancel leaves it. The database
// files are SQLite 3 files (.sqlite), starting in the TMP folder.

#include <QDialog>

class QPushButton;
class QRadioButton;
class QVBoxLayout;

class frmExpAccessFile : public QDialog {
    Q_OBJECT
public:
    explicit frmExpAccessFile(QWidget* parent = nullptr);

    // True when the dialog closed with a path chosen; false when it stays
    // open (no name) or closed on a failure.
    virtual bool cmdOK_Click();

    QRadioButton* optFile0 = nullptr; // 新建Access文件
    QRadioButton* optFile1 = nullptr; // 现存Access文件
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    bool chooseDatabase();
    QVBoxLayout* options_ = nullptr;
};

class frmExp2File : public frmExpAccessFile {
    Q_OBJECT
public:
    explicit frmExp2File(QWidget* parent = nullptr);
    bool cmdOK_Click() override;

    QRadioButton* optFile2 = nullptr; // 文本文件
};
