#pragma once
// The slip window: turns a batch of records handed over in g_varPrtData into
// slips (one or two a row) in its grid, on a page panel with labels, and
// previews and prints them.
//
// Calling it: fill g_varPrtData with the records (rows 1.., the kind word in
// the last column of row 1); take frmPrtABF::form(); set m_iAddOrder, m_Cols
// and m_strApp; call subShowModal(). Closing discards the document, unloads
// the window and drops the report window's dialogs. Afterwards g_varPrtData
// holds the slip grid.
//
// A batch that cannot make slips (a short record, an amount that is no
// number, an unreadable template) says which record and why, and leaves the
// grid empty with printing disabled; so does a batch without records, in
// silence. Every menu item and mouse action is a public member, callable
// without the real mouse.

#include "report/ColumnSetup.h"
#include "report/PageSettings.h"
#include "report/ReportArray.h"
#include "report/ReportDocument.h"
#include "report/ReportGrid.h"
#include "report/ReportLabels.h"

#include <QDialog>
#include <QHash>
#include <QPointer>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPrintPreviewWidget;
class QPrinter;
class QScrollBar;
class frmFlexPrtCustom;

namespace report {
class ReportGridView;
}

class frmPrtABF : public QDialog {
    Q_OBJECT
public:
    static frmPrtABF* form();
    static bool exists();
    ~frmPrtABF() override;

    // Public variables, set by the opener before the window loads.
    QString m_strApp;
    qint16 m_iAddOrder = 0;
    qint16 m_iSimplePrint = 0;
    qint32 m_Cols = 1;

    // Loads the window (when not yet loaded) and shows it modally through the
    // dialog service; the instance is gone afterwards.
    int subShowModal();

    // Loading, building and layout.
    bool loaded() const { return loaded_; }
    void Form_Load();
    // Builds the slip grid from `records` into g_varPrtData; false (message
    // shown, empty grid) when a record cannot make its slip.
    bool subBuildSlips(const ReportArray& records);
    void initRawGrid(report::ReportGrid& grd);
    void ProperSize();
    void Form_Resize();
    void subRedLine(QFrame* lin);
    void subBuildSlipDoc();

    // Menu bar.
    void menuSetup_Click();
    void menuPage_Click();
    void menuPrint_Click();
    void menuPreview_Click();
    void menuCol1_Click() { subSetCols(1); }
    void menuCol2_Click() { subSetCols(2); }

    // Text export of the labels and the visible slips; stored templates of
    // the title m_strApp (CFG/打印配置1, CFG/打印配置2), carried by a hidden
    // output-columns dialog. A title that is no plain file name saves
    // nothing; applying a missing or damaged template (or such a title)
    // says "配置文件不存在或被破坏".
    void subExportSlipText();
    bool subSaveSlipTemplate();
    void subApplySlipTemplate() { CustomPrint(); }
    bool CustomPrint();
    frmFlexPrtCustom* customDialog();
    bool customDialogLoaded() const { return !custom_.isNull(); }

    // Fills column `col` from each slip row's MARC record by the column's
    // definition "$CN;US." (CN for format C, US for the others).
    void subShowMarc(int col);
    report::MarcFill marcFill = report::marcFillFromDatabase;

    // Grid, labels, panel, scroll bars.
    void grdOrder_AfterSort(int col, int order);
    // Text styles of the selection in range mode, of every cell otherwise.
    void subSetTextFlat() { subTextStyle(0); }
    void subSetTextRaised() { subTextStyle(1); }
    void subSetTextInset() { subTextStyle(2); }
    // Writes a label's caption and five blanks into the document after the
    // page numbers, in the label's font and colour; a label with any tag
    // ("Hide") is passed over. False when nothing was written.
    bool subPrintSlipLabel(const report::ReportLabel& label);
    // A press on the grid: the number column selects, any other plain.
    void grdOrder_MouseDown(int col, Qt::MouseButton button);
    bool grdOrder_BeforeEdit(int row, int col) const; // true: cancel the edit
    // A double click on a MARC column's title opens its definition editor;
    // anywhere else nothing. True when a definition was written.
    bool grdOrder_DblClick(int row, int col);
    void lblInfo_MouseDown(int index, Qt::MouseButton button);
    void frame1_MouseDown(const QPoint& twips);
    void frame1_DblClick();
    // A key in the label editor; Enter is taken (key set to 0).
    void txtAdd_KeyPress(int& key);
    void vsb_Change(int value);
    void hsb_Change(int value);

    // State.
    bool m_blnLayoutView = true;
    int m_intPressX = 0, m_intPressY = 0;
    static constexpr int m_intLabelCount = 7;
    int m_intEditLabel() const { return labels_.current(); }
    int m_intLastLabel() const { return labels_.lastIndex(); }
    bool canPrint() const { return slipRows_ > 0; }
    const ReportArray& records() const { return m_varRecords; }
    report::ReportGrid& grid() { return grid_; }
    report::LabelSet& labels() { return labels_; }
    report::PageSettings& page() { return page_; }
    const report::ReportDocument& document() const { return doc_; }
    QRect frameRect() const { return frameRect_; }
    QRect gridRect() const { return gridRect_; }
    int redLineX() const { return redLineX_; }
    QPrinter* printer() const { return printer_; }

    // Controls by name.
    QMenuBar* menuBar = nullptr;
    QAction* action(const QString& name) const { return actions_.value(name); }
    QWidget* pageArea = nullptr;
    QFrame* frame1 = nullptr;
    report::ReportGridView* grdOrder = nullptr;
    QFrame* lineScope = nullptr;
    QLineEdit* txtAdd = nullptr;
    QPrintPreviewWidget* vpOrder = nullptr;
    QScrollBar* vsb = nullptr;
    QScrollBar* hsb = nullptr;
    QLabel* lblInfo(int i) const { return i >= 0 && i < lblInfo_.size() ? lblInfo_[i] : nullptr; }
    int lblInfoCount() const { return int(lblInfo_.size()); }

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frmPrtABF(QWidget* parent = nullptr);
    QAction* addAction(const QString& name, const QString& caption, void (frmPrtABF::*slot)());
    void subSetCols(int cols);
    void subTextStyle(int style);
    void showGrid();
    void showLabel(int i);
    void showBox();
    void enablePrinting();
    bool acceptSetup();
    void Form_Unload();
    bool templateName() const;
    report::RebuildInput rebuildInput() const;

    ReportArray m_varRecords;
    report::ReportGrid grid_;
    report::LabelSet labels_;
    report::LabelSet noLabels_; // the document prints the grid alone
    report::PageSettings page_;
    report::ReportDocument doc_;
    QPrinter* printer_ = nullptr;
    QList<QLabel*> lblInfo_;
    QHash<QString, QAction*> actions_;
    QPointer<frmFlexPrtCustom> custom_;
    QRect frameRect_, gridRect_;
    int redLineX_ = 0;
    int slipRows_ = 0;
    bool loaded_ = false;
    bool unloading_ = false;

    static QPointer<frmPrtABF> instance_;
};
