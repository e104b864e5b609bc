#pragma once
// frmFindText, the find-text tool: finds a text in the grids of the current
// list (the active control of the searched window), of the current window,
// or of every enabled window, one cell per request, each request moving on
// from the last cell found. The searched window is the frame's active MDI
// child (a frame owner) or the owner itself.

#include "shell/basFindText.h"

#include <QDialog>
#include <QList>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

class frmFindText : public QDialog {
    Q_OBJECT
public:
    // The one window (created on first use, owned by `owner`).
    static frmFindText* instance(QWidget* owner = nullptr);
    // The window when it exists, else nullptr.
    static frmFindText* existing();
    explicit frmFindText(QWidget* owner = nullptr);
    ~frmFindText() override;

    void initFindForm(QWidget* owner);
    void cmdFind_Click();
    void cmdCancel_Click();
    // Restores the current grid's selection mode, collects the grid list
    // again and sets the controls' states (on every deactivation).
    void subRecollect();

    QList<QWidget*> gridList() const;
    FindPosition position() const { return pos_; }
    bool sequenceOpen() const { return open_; }
    // The grid searched last, or nullptr.
    QWidget* currentGrid() const { return current_.data(); }

    QComboBox* cmbValue = nullptr;
    QRadioButton* optSearch[3] = {};
    QCheckBox* chkWhole = nullptr;
    QCheckBox* chkCase = nullptr;
    QRadioButton* optWay[2] = {};
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void collect();
    void setStates();
    void addHistory(const QString& text);
    void restoreCurrent();
    QWidget* searchedWindow() const;

    QPointer<QWidget> owner_;
    bool frame_ = false;
    QList<QPointer<QWidget>> windows_;
    QList<QPointer<QWidget>> grids_;
    QString need_; // what a find asks for when the list is empty
    int index_ = 0;
    QPointer<QWidget> current_;
    int savedMode_ = -1;
    bool open_ = false;
    QString lastText_;
    FindPosition pos_;
};
