#pragma once
// The reader search dialog: nine combined criteria or one range, one listed
// row per reader, and the confirmed reader handed back to the reader
// information window. OK and cancel only hide it, so the same query shows it
// again as it was left; closing its window unloads it. It only reads.

#include "common/DBResultSet.h"
#include "reader/basRedrSearch.h"

#include <QDialog>
#include <QPointer>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
namespace ui {
class NumberBox;
class SpreadGrid;
} // namespace ui

class frmRedrSearch : public QDialog {
    Q_OBJECT
public:
    // The one instance, created (not yet loaded) on first use.
    static frmRedrSearch* form(QWidget* parent = nullptr);
    static bool exists();
    // Unloads the instance: m_blnIfSelect false, g_intRedrSearchOn 0.
    static void unload();

    // Shows the dialog modally, loading it first when it is not loaded.
    void showModal();

    // Inputs: the caller's query field (0 barcode, 1 certificate number,
    // 2 identity card, 3 name) and text.
    int idxCbo = 0;
    QString txtCbo;
    // Results.
    DBResultSet m_varRedrInfo;
    int m_intQueryOption = 0;
    QString m_strRedrID;
    QString m_strRedrBarcode;
    QString m_strCertFlag;
    bool m_blnIfSelect = false;

    // Events, callable from tests.
    void Form_Load();
    void cmdQuery_Click();
    void cmdOK_Click();
    void cmdExit_Click();
    void cmdSelectAll_Click();
    void cmdResultCancel_Click();
    void optSel_Click(int index);
    void spdQueryResult_Click(int row);
    void spdRedrQuery_Change();
    void spdRedrQuery_LostFocus();
    void subInitSpd();
    // The next page of found readers below the listed ones (the worker
    // scrolled to the end of the list or reached its last row).
    void subReadResultPage();

    // Controls, by their names.
    QRadioButton* optSel[5] = {};
    QGroupBox* fraSearch = nullptr;
    QRadioButton* optAllMatch = nullptr;
    QRadioButton* optFrontMatch = nullptr;
    ui::SpreadGrid* spdRedrQuery = nullptr;
    QLabel* lblFrom = nullptr;
    QLabel* lblTo = nullptr;
    ui::NumberBox* txtFrom = nullptr;
    ui::NumberBox* txtTo = nullptr;
    ui::NumberBox* txtFromDate = nullptr;
    ui::NumberBox* txtToDate = nullptr;
    QPushButton* cmdQuery = nullptr;
    ui::SpreadGrid* spdQueryResult = nullptr;
    QLabel* lblQueryResult = nullptr;
    QPushButton* cmdSelectAll = nullptr;
    QPushButton* cmdResultCancel = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdExit = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    explicit frmRedrSearch(QWidget* parent);
    void subEnableResultButtons(bool enabled);
    void intFillQueryResult();
    void subAddResultRows();
    void subCheckQueryEnabled(bool trim);

    RedrSearchPages m_pages;
    bool m_readingPage = false;

    bool m_loaded = false;
    bool m_unloadAfterShow = false;
    static QPointer<frmRedrSearch> instance_;
};
