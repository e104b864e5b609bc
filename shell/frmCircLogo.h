#pragma once
// The splash and log-in window: a blank splash with a status line, the log-in
// form, the password-change form and the about box, chosen by a mode text.

#include <QDialog>
#include <QLabel>

class QComboBox;
class QLineEdit;
class QPushButton;

// A label that acts as a link.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class frmCircLogo : public QDialog {
    Q_OBJECT
public:
    // A new window (the window is loaded anew for each use). `owner` owns it
    // as a child window when given.
    static frmCircLogo* create(QWidget* owner = nullptr);
    ~frmCircLogo() override;

    // True when the window serves a repeated log-in from the main window.
    bool m_bReLogin = false;

    // "登录", "修改密码", "关于"; any other text gives the blank splash.
    void subSetLogoMode(const QString& mode);
    // Sets the status line and repaints it at once.
    void subShowStatus(const QString& text);

    QString mode() const { return m_strMode; }
    bool isBusy() const { return m_blnBusy; }

    // The about box's version text: major.minor.revision as 0000.
    static QString strVersionText(int major, int minor, int revision);

public slots:
    void cmdLogin_Click();
    void lblUpdate_Click();
    void lblExit_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    void lblViewLicense_Click();
    void lblViewUpdate_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    explicit frmCircLogo(QWidget* owner);
    void buildControls();
    void unloadWindow();
    void applyFocus(int focus);
    void onF1();

    QString m_strMode;
    bool m_blnBusy = false;
    bool m_blnCloseOnLostFocus = false;

    QLabel* imgLogo = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblUser = nullptr;
    QComboBox* cboUser = nullptr;
    QLabel* lblPwd = nullptr;
    QLineEdit* txtPwd = nullptr;
    QPushButton* cmdLogin = nullptr;
    LinkLabel* lblUpdate = nullptr;
    LinkLabel* lblExit = nullptr;
    QLabel* lblNewPwd = nullptr;
    QLineEdit* txtNewPwd = nullptr;
    QLabel* lblPwdConfirm = nullptr;
    QLineEdit* txtPwdConfirm = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QList<QLabel*> lblAbout;
    QLabel* lblLib = nullptr;
    QLabel* lblModule = nullptr;
    QLabel* lblVersion = nullptr;
    LinkLabel* lblViewLicense = nullptr;
    LinkLabel* lblViewUpdate = nullptr;
};
