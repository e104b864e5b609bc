#pragma once
// The password dialog of the older log-in dialog (修改口令): the new password
// twice, at most 8 characters each, stored for the worker number given.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frmChgPwd : public QDialog {
    Q_OBJECT
public:
    // `worker`: the number typed in the older log-in dialog.
    explicit frmChgPwd(const QString& worker, QWidget* parent = nullptr);

    QLabel* lblPwd[2] = {};
    QLineEdit* txtPwd = nullptr;
    QLineEdit* txtPwdConfirm = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    void subInitChgPwdCaption();
    // Stores the new password and closes; a refusal or a failure (shown)
    // leaves the dialog open.
    void cmdOk_Click();
    void cmdCancel_Click();

private:
    QString m_strWkrNo;
};
