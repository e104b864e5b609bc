#pragma once
// The overdue-fine settlement window: lists the reader's open fines (nothing
// is locked while it shows), ticks the rows this desk may settle, proposes the
// amount, and pays or waives through clsFineSettle.

#include "reader/clsFineSettle.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace ui { class SpreadGrid; }

class frmLendFine : public QDialog {
    Q_OBJECT
public:
    // The window's one instance, created (loaded) on first use.
    static frmLendFine* form();
    // Whether the instance exists now.
    static bool loaded();
    // Unloads the instance (rolling back whatever it holds).
    static void unload();

    // Reads the open fines of g_strCertID and fills the window. 0: ready.
    // -1: the rows could not be read, or the stored unpaid total was
    // corrected; nothing can be settled before the rows are read again.
    // Neither leaves a lock or a transaction open.
    int initShowForm();

    // The settlement the window shows: the rows as read, the ticked count, the
    // amount ceiling and the reader's name are its state.
    clsFineSettle& settle() { return settle_; }

    // Controls, by their names.
    ui::SpreadGrid* spdFine = nullptr;
    QLineEdit* txtTotalFine = nullptr;
    QLineEdit* txtAllowFine = nullptr;
    QLineEdit* txtTrueFineExceed = nullptr;
    QComboBox* cboFineType = nullptr;
    QLineEdit* txtBillNo = nullptr;
    QLineEdit* txtRemark = nullptr;
    QLabel* lblOB = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancelExceed = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The events, callable from tests. A changed selection of the grid, made
    // by a click, the keyboard or a drag, ticks the rows the settlement counts.
    void spdFine_Click(int row);
    // Fills the window for g_strCertID; a stored total that had to be put right
    // (committed) is read once more, so the rows stand ready to settle.
    int intShowReady();
    void txtBillNo_LostFocus();
    void cmdOk_Click();
    void cmdCancelExceed_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    explicit frmLendFine(QWidget* parent = nullptr);
    // Fills the window from the settlement's last load.
    int intShowLoaded(clsFineSettle::LoadResult result);
    void subFillGrid();
    void subSyncTicks();
    void subRecount();
    void subShowProposal();
    void subApply(const clsFineSettle::Outcome& outcome);
    void subLockButtons();
    clsFineSettle::PayInput varInput() const;

    clsFineSettle settle_;
    bool syncing_ = false;
    static QPointer<frmLendFine> instance_;
};

// The main window's fine settlement for the borrower of the desk's current
// return (`retRedr`, empty when none): reads the reader's unpaid total and,
// when it is 0.10 or more, opens the window on that reader, modally.
void subShowLendFine(QWidget* owner, const QString& retRedr);

// Opens the window modally on reader `certId` whose unpaid total the caller
// last read as `exceedFine` (sets g_strCertID and g_dblExceedFine first).
// g_dblExceedFine holds the reader's unpaid total afterwards.
void subOpenLendFine(QWidget* owner, const QString& certId, double exceedFine);
