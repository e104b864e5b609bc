#pragma once
// The report window: shows a report handed over in g_varPrtData as a page
// (design view) where the worker sorts, deletes, restores, renames, aligns
// and restyles columns and edits labels, and from where it is previewed and
// printed.
//
// Calling it: fill g_varPrtData, g_lngPrtRows and g_lngPrtCols; take
// frmFlexPrint::form(); set m_iSimplePrint, m_strApp and m_iAddOrder; set the
// captions of lblInfo(0) .. lblInfo(6) (the first touch of a label loads the
// window and builds the grid); show it modally through
// ui::DialogService::current().execDialog(form). Closing resets the public
// variables and unloads the window, so the next opening starts afresh.
//
// Every menu item and mouse action is a public member, callable without the
// real mouse; pop-up menus go through `execPopup` when it is set.

#include "report/ColumnSetup.h"
#include "report/PageSettings.h"
#include "report/ReportDocument.h"
#include "report/ReportExport.h"
#include "report/ReportGrid.h"
#include "report/ReportLabels.h"
#include "report/frmFlexPrtStyle.h"

#include <QDialog>
#include <QHash>
#include <QPointer>

#include <functional>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPrintPreviewWidget;
class QPrinter;
class QScrollBar;
class frmFlexPrtCustom;

namespace report {
class ReportGridView;
}

class frmFlexPrint : public QDialog {
    Q_OBJECT
public:
    // The window's one instance, created on first use (not yet loaded).
    static frmFlexPrint* form();
    static bool exists();
    ~frmFlexPrint() override;

    // Public variables, set by the caller before the window loads.
    QString m_strApp;
    qint16 m_iAddOrder = 0;
    qint16 m_iSimplePrint = 0;

    // Label i; touching a label loads the window.
    QLabel* lblInfo(int i);
    int lblInfoCount() const { return int(lblInfo_.size()); }

    // Loading and layout.
    bool loaded() const { return loaded_; }
    void Form_Load();
    void initRawGrid(report::ReportGrid& grd);
    void ProperSize();
    void Form_Resize();
    void subRedLine(QFrame* lin);

    // Builds the print document from the labels, the grid and the page.
    void subBuildDoc();
    // Builds the document and prints it to a PDF file: the page count, or -1
    // with the reason in *error.
    int printToPdf(const QString& file, QString* error = nullptr);

    // Menu bar.
    void menuSetup_Click();
    void menuChan_Click();
    // Exports: text, SQLite ("Access"), Excel, HTML, XML.
    void menuExp01_Click();
    void menuExp02_Click();
    void menuExp03_Click();
    void menuExp04_Click();
    void menuExp05_Click();
    // Templates: save, apply.
    void menuCustom1_Click();
    void menuCustom2_Click() { CustomPrint(); }
    bool CustomPrint();
    // Fills a MARC column from its definition.
    void subShowMarc(int col);
    // The output-columns dialog (made on first use) and the records it rebuilds from.
    frmFlexPrtCustom* customDialog();
    report::RebuildInput rebuildInput() const;
    // The MARC fill the window uses (the database unless a test sets another).
    report::MarcFill marcFill = report::marcFillFromDatabase;
    void menuPage_Click();
    void menuPrint_Click();
    void menuPreview_Click();
    // 表格操作 (on the column iMouseCol).
    void menuAsc_Click();
    void menuDesc_Click();
    void menuCut_Click();
    void menuRename_Click();
    void menuSelect_Click();
    void menuUnion_Click() { subMerge(true); }
    void menuDisUnion_Click() { subMerge(false); }
    void menuNewCol_Click(int index);
    // 展现样式.
    void menuLeftAlign_Click() { subAlign(1); }
    void menuCenterAlign_Click() { subAlign(4); }
    void menuRightAlign_Click() { subAlign(7); }
    void menuTextFlat_Click() { subTextStyle(0); }
    void menuTextRaised_Click() { subTextStyle(1); }
    void menuTextInset_Click() { subTextStyle(2); }
    void menuDataFont_Click();
    void menuGridColor_Click() { subShowStyle(0); }
    void menuGridLine_Click() { subShowStyle(1); }
    // 文本操作 (on the current label).
    void menuFont_Click();
    void menuHide_Click();
    void menuColor_Click();
    void menuDel_Click();

    // Mouse and keys.
    void grdOrder_MouseDown(int row, int col, Qt::MouseButton button, const QPoint& globalPos = {});
    void grdOrder_AfterSort(int col, int order);
    // A double-click on a title: the MARC column editor over a MARC column.
    void grdOrder_DblClick(int col);
    void lblInfo_MouseDown(int index, Qt::MouseButton button, const QPoint& globalPos = {});
    void frame1_MouseDown(const QPoint& twips);
    void frame1_DblClick();
    void txtAdd_Enter();

    // State.
    int iMouseCol = 0;
    int varMouseRow = 0;
    bool blnDesignView = true;
    report::ReportGrid& grid() { return grid_; }
    report::LabelSet& labels() { return labels_; }
    report::PageSettings& page() { return page_; }
    const report::ReportDocument& document() const { return doc_; }
    QStringList deletedColumns() const { return deleted_; }
    QRect gridRect() const { return gridRect_; }
    QRect frameRect() const { return frameRect_; }
    int redLineX() const { return redLineX_; }
    QPrinter* printer() const { return printer_; }
    frmFlexPrtStyle* styleDialog() const { return style_; }

    // Controls by name.
    QMenuBar* menuBar = nullptr;
    QAction* action(const QString& name) const { return actions_.value(name); }
    QMenu* menuGrid = nullptr;
    QMenu* menuDisplay = nullptr;
    QMenu* menuLabel = nullptr;
    QMenu* menuInsert = nullptr;
    QWidget* pageArea = nullptr;
    QFrame* frame1 = nullptr;
    report::ReportGridView* grdOrder = nullptr;
    QFrame* lineScope = nullptr;
    QLineEdit* txtAdd = nullptr;
    QPrintPreviewWidget* vpOrder = nullptr;
    QScrollBar* vsb = nullptr;
    QScrollBar* hsb = nullptr;

    // Runs a pop-up menu and returns the action chosen (nullptr: none). The
    // window shows the menu at the pointer unless a test sets this.
    std::function<QAction*(QMenu*)> execPopup;

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frmFlexPrint(QWidget* parent = nullptr);
    QAction* addAction(QMenu* menu, const QString& name, const QString& caption,
                       void (frmFlexPrint::*slot)());
    void buildMenus();
    void rebuildInsertMenu();
    void popup(QMenu* menu, const QPoint& globalPos);
    void pullCaptions();
    void showLabel(int i);
    void showGrid();
    void showBox();
    QLabel* makeLabel(int i);
    bool chooseFont(QFont& font);
    void subMerge(bool on);
    void subAlign(int alignment);
    void subTextStyle(int style);
    void subShowStyle(int mode);
    bool acceptPage();
    void exportFile(const QString& title, const QString& filter, const QString& suffix,
                    const std::function<QByteArray()>& bytes);
    void reportFailure(const QString& what, const QString& reason);
    // Writes under the hourglass; a failure is reported (box and log line).
    bool writeExport(const QString& path, const QString& failure, const std::function<bool(QString*)>& write);
    report::ReportTexts reportTexts();
    bool runMarcEditor(int col, const QString& cn, const QString& us);
    void Form_Unload();

    report::ReportGrid grid_;
    report::LabelSet labels_;
    report::PageSettings page_;
    report::ReportDocument doc_;
    QPrinter* printer_ = nullptr;
    QList<QLabel*> lblInfo_;
    QHash<QString, QAction*> actions_;
    QStringList deleted_;
    QPointer<frmFlexPrtStyle> style_;
    QPointer<frmFlexPrtCustom> custom_;
    QFont lastFont_;
    QPoint framePress_;
    QRect frameRect_, gridRect_;
    int redLineX_ = 0;
    bool loaded_ = false;
    bool unloading_ = false;

    static QPointer<frmFlexPrint> instance_;
};
