#pragma once
// The card-reading rule window: shows the rule in memory, adds and deletes
// segments, and on OK stores the rule (basBarRuleEdit) and closes.

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QListWidget;
class QPushButton;
class QRadioButton;
namespace ui {
class NumberBox;
}

class frmBarReadRule : public QWidget {
    Q_OBJECT
public:
    // The one instance, created and filled on first use, owned by `owner`.
    static frmBarReadRule* form(QWidget* owner = nullptr);
    static bool loaded();

    void Form_Load();
    void cmdNew_Click();
    void cmdDelete_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

    QRadioButton* optType[2] = {};
    QCheckBox* chkBarReadRule = nullptr;
    ui::NumberBox* txtStart = nullptr;
    ui::NumberBox* txtLength = nullptr;
    QListWidget* lstContent = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    explicit frmBarReadRule(QWidget* owner);
    QStringList arrLines() const;
    void subShowLines(const QStringList& lines, int current);
    static QPointer<frmBarReadRule> instance_;
};
