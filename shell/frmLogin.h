#pragma once
// The older log-in dialog (系统登录): worker number and password, the worker
// check without the superuser's exemption from the workstation binding, and
// F1 to the password dialog. A caller shows it modally and reads g_blnDlgOk:
// true when a worker passed the check (the log-in state is then filled), false
// when the dialog was cancelled. It does none of the first log-in's steps.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frmLogin : public QDialog {
    Q_OBJECT
public:
    explicit frmLogin(QWidget* parent = nullptr);

    // Shows the dialog modally through the dialog service; g_blnDlgOk.
    static bool showLogin(QWidget* parent = nullptr);

    QLabel* lblName = nullptr;
    QLineEdit* txtName = nullptr;
    QLabel* lblPwd = nullptr;
    QLineEdit* txtPwd = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    void subInitLoginCaption();
    // The worker check of this dialog: 0 passed, -1 refused (cmdOk disabled,
    // the focus on the box to correct) or failed.
    int blnCheckLogin();

    void cmdOk_Click();
    void cmdCancel_Click();
    // F1: after a passed check the password dialog, then the log-in counts as done.
    void onF1();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
