#pragma once
// The circulation rule editor window (借阅规则管理): one row of circ_rule, as a
// new rule (intDealType 0), a change (1) or a copy under a new code (2). The
// caller sets the mode and the code, shows the window modally and reads both
// back: after a save of a new or copied rule intDealType is 1 and strRuleNo the
// code that was saved. The window is thin over basRuleEdit.h.

#include "common/basRuleEdit.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class frmRuleEditNew : public QDialog {
    Q_OBJECT
public:
    // Loads the window for the mode and code (the caller's settings).
    frmRuleEditNew(int dealType, const QString& ruleNo, QWidget* parent = nullptr);

    // Shows the editor modally through the dialog service; `dealType` and
    // `ruleNo` come back as the window left them.
    static void showRuleEdit(QWidget* parent, int& dealType, QString& ruleNo);

    int intDealType = 0;
    QString strRuleNo;

    QLineEdit* txtField[kRuleBoxes] = {};
    QLabel* lblField[kRuleBoxes] = {};
    QGroupBox* fraTimeUnit = nullptr;
    QRadioButton* optTimeUnit[2] = {};
    QGroupBox* fraRenewDay = nullptr;
    QRadioButton* optRenewDay[2] = {};
    QCheckBox* chkEnabled = nullptr;
    QCheckBox* chkPreg = nullptr;
    QCheckBox* chkRenew = nullptr;
    QCheckBox* chkRead = nullptr;
    QGroupBox* fraRule[6] = {};
    QGroupBox* fraHelp = nullptr;
    QLabel* lblHelp[3] = {};
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    // What the controls hold, and back.
    RuleForm form() const;
    void setForm(const RuleForm& form);

    // The controls Enter moves through, in order.
    const QList<QWidget*>& tabOrder() const { return tabOrder_; }
    // Moves the focus to the next enabled control after `from` in that order.
    void subFocusNext(QWidget* from);

    void cmdOk_Click();
    void cmdCancel_Click();

    // The money boxes' key handling on `box`: the character filter, and the
    // point keys and Delete (a point that may stand is put in by the routine).
    // `key` becomes 0 when the key is swallowed.
    void subDecimalKeyPress(QLineEdit* box, int& key, int before, int after);
    void subDecimalKeyDown(QLineEdit* box, int& key, int before, int after);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void subEnableRuleFrames(bool on);
    void subLoadForm();
    bool boxKeyPress(int i, QKeyEvent* event);
    void boxFocusIn(int i);
    void boxFocusOut(int i);
    void boxEdited(int i, const QString& text);
    void unloadWindow(int result);

    QList<QWidget*> tabOrder_;
    QStringList readRow_; // the rule row the form was loaded from
    QStringList help_;
    QString lastValid_[kRuleBoxes];
};
