#pragma once
// The main window: the MDI frame with its menu bar, toolbar and status bar.

#include "platform/ui/CommandBar.h"
#include "shell/ShellServices.h"

#include <QMainWindow>
#include <memory>

class QLabel;
class QMdiArea;
class QStatusBar;
class QTimer;

// The add-in and theme collections of the run and the theme applied now; the
// main window creates and releases them.
extern shell::AddinsCollection* g_objAddins;
extern shell::ThemesCollection* g_objThemes;
extern shell::Theme* g_objCurTheme;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Creates the main window and runs its load sequence. nullptr when the
    // load failed (its error shown); the caller then ends the program.
    static frmMain* load();
    // The main window of the run, or nullptr.
    static frmMain* instance();
    ~frmMain() override;

    QMdiArea* mdiArea() const { return mdi_; }
    ui::CommandBar* menuCommandBar() const { return cmdBar_; }
    ui::CommandBar* toolCommandBar() const { return tbToolbar_; }
    QString statusText() const;

    // The dispatch of a menu-bar item and of a toolbar button by key.
    void menuItemClick(const QString& key);
    void toolbarButtonClick(const QString& key);

    void subReLogin();
    void subShowRedrInfo();
    void subShowLendFine();
    // The desk options window, modeless; no menu item reaches it.
    void subShowOption();
    void subShowHelpContents();
    bool blnHasModuleRight(const QString& code) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    frmMain();
    int intLoadSequence();
    void initMenuBar();
    void disableMissingWindows();
    void setStatusPanel();
    void updateClock();
    // Desk windows and their management: the right first, then the window.
    bool dispatchCommon(const QString& key);
    void releaseSequence();
    void tileWindows(bool horizontal);
    void arrangeIcons();

    QWidget* pic_ = nullptr;
    ui::CommandBar* cmdBar_ = nullptr;
    ui::CommandBar* tbToolbar_ = nullptr;
    ui::ImageList ilsMain_;
    QMdiArea* mdi_ = nullptr;
    QLabel* panel1_ = nullptr;
    QLabel* panel2_ = nullptr;
    QLabel* panel3_ = nullptr;
    QTimer* clock_ = nullptr;
    std::unique_ptr<shell::AddinsCollection> addins_;
    std::unique_ptr<shell::ThemesCollection> themes_;
    bool released_ = false;
};
