#pragma once
// The keep-days dialogs of the two management windows (frmApplyEdit for a
// request, frmFindEdit for a found copy): the begin date, the old days, the
// new days and the end date they give. OK with an empty box puts the old days
// back and stays open; OK sets g_blnDlgOk, Cancel or closing leaves it false.

#include <QDialog>

class QLabel;
class QPushButton;
namespace ui {
class NumberBox;
}

class frmKeepDaysEdit : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        const char* objectName;
        const char* begin;
        const char* oldDays;
        const char* newDays;
        const char* end;
        const char* ok;
    };
    frmKeepDaysEdit(const Texts& texts, QWidget* parent);

    // In: the begin date, the keep days and the stored end date (shown as it
    // is). Out, after OK: the days typed and the end date shown.
    QString m_strBeginDate, m_strKeepDay, m_strEndDate;

    QLabel* lblBeginDate = nullptr;
    QLabel* lblOldKeepDay = nullptr;
    ui::NumberBox* txtNewKeepDay = nullptr;
    QLabel* lblEndDate = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Fills the dialog from the three texts (the load).
    void subLoad();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Shows the dialog modally through the dialog service; true after OK.
    bool ask();
    // The same over a window's three texts: after OK they hold the new days
    // and end date.
    bool edit(const QString& beginDate, QString& keepDay, QString& endDate);

protected:
    void showEvent(QShowEvent* event) override;
};

class frmApplyEdit : public frmKeepDaysEdit {
    Q_OBJECT
public:
    explicit frmApplyEdit(QWidget* parent = nullptr);
};

class frmFindEdit : public frmKeepDaysEdit {
    Q_OBJECT
public:
    explicit frmFindEdit(QWidget* parent = nullptr);
};
