#pragma once
// The combined search dialog: up to five conditions of index group, match mode
// and value joined with AND; its hits go back to the look-up window, which
// shows it modally and owns it.

#include "biblio/BookSearch.h"
#include "common/DBResultSet.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class frmBookInfo;
namespace ui { class SpreadGrid; }

// 1 while the dialog is loaded.
extern int g_intMarcSeekOn;

class frmMarcNoSeek : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = 5;

    // Loads the dialog: rows preset (row 0 from the look-up window's quick
    // search), then the automatic search when g_intAutoQuery is 1.
    explicit frmMarcNoSeek(frmBookInfo* owner);
    ~frmMarcNoSeek() override;

    DBResultSet varBookLst; // hits of the last search as far as listed, record number in column 0

    // 0 when the search ran (with or without hits), -1 when no row holds a
    // value (EBM003) or the query failed (reported).
    int intBookSeek();
    // Fills the not yet filled hit rows startLine .. startLine + 9 (or to the
    // last row the list shows, when it shows more).
    void subShowPage(int startLine);
    // The next page of hits below the listed ones (the worker scrolled to the
    // end of the list or reached its last row).
    void subReadHitPage();
    // The hits of the last search, as far as they are listed.
    const biblio::BookHitPages& hitPages() const { return pages_; }

    QComboBox* cboIndex[kRows] = {};
    QComboBox* cboOperator[kRows] = {};
    QLineEdit* txtValue[kRows] = {};
    QPushButton* cmdSearch = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    ui::SpreadGrid* spdBookLst = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblRecNum = nullptr;

    // The events, callable from tests.
    void cboIndex_Click(int row);
    void cmdSearch_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    // How many MARC records the hit list has read so far.
    int marcReads() const { return marcReads_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void subValueChanged();
    // Hit rows for the hits listed beyond the list's rows, not yet filled.
    void subAddHitRows();
    biblio::BookHitPages pages_;
    bool readingPage_ = false;
    frmBookInfo* owner_;
    int topRow_ = 1;
    int marcReads_ = 0;
};
