#pragma once
// The override dialog: the worker re-types the own password to let one
// refused entry of the desk pass. Loaded hidden by the main window; it hides
// itself after use, so both flags live on between uses.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frmAdmAuth : public QDialog {
    Q_OBJECT
public:
    // The one dialog of the run, created hidden on first use.
    static frmAdmAuth* form(QWidget* owner = nullptr);
    ~frmAdmAuth() override;

    bool m_blnAdmAuth = false;      // the override was confirmed
    bool m_blnCheckAdmAuth = false; // the desk asks for overrides at all

    QLabel* lblTitle = nullptr;
    QLabel* lblMessage = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    void cmdOk_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    explicit frmAdmAuth(QWidget* owner);
};
