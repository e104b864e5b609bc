#pragma once
// The desk options: fine settlement when lending and when returning, and
// whether the return list clears for another reader. OK saves them into the
// per-user settings and the run-time values at once.

#include <QDialog>

class QCheckBox;
class QPushButton;
class QRadioButton;

class frmOption : public QDialog {
    Q_OBJECT
public:
    explicit frmOption(QWidget* owner = nullptr);

    QCheckBox* chkFineLend = nullptr;
    QCheckBox* chkFineReturn = nullptr;
    QRadioButton* optReturnClear[2] = {};
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    void cmdOk_Click();
    void cmdCancel_Click();
};
