#include "report/frmFlexPrint.h"

#include "common/basEnv.h"
#include "common/basMsg.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Units.h"
#include "report/ExportFieldChooser.h"
#include "report/PageSetupDialog.h"
#include "report/PageWidgets.h"
#include "report/ReportArray.h"
#include "report/ReportExport.h"
#include "report/ReportGridView.h"
#include "report/ReportLayout.h"
#include "report/ReportTemplate.h"
#include "report/SaveFileDialog.h"
#include "report/frmExp2Table.h"
#include "report/frmFlexPrtCustom.h"
#include "report/frmFlexPrtNode.h"
#include "report/frmFlexPrtStyle.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace report;

QPointer<frmFlexPrint> frmFlexPrint::instance_;

namespace {
const QString kCaption = QStringLiteral("打印预览");
constexpr int kBar = 255;

using pageui::px;
using pageui::pxRect;
using pageui::tw;
} // namespace

frmFlexPrint* frmFlexPrint::form() {
    if (!instance_) instance_ = new frmFlexPrint;
    return instance_;
}

bool frmFlexPrint::exists() {
    return !instance_.isNull();
}

frmFlexPrint::frmFlexPrint(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFlexPrint"));
    setWindowTitle(kCaption);
    setFont(ui::makeFont(QStringLiteral("宋体"), 9));
    resize(900, 650);
    printer_ = new QPrinter(QPrinter::HighResolution);

    menuBar = new QMenuBar(this);
    buildMenus();

    pageui::adoptPagePanel(this, pageui::buildPagePanel(this, menuBar, printer_));
    txtAdd->setText(QStringLiteral("在这里插入文本"));

    grdOrder = new ReportGridView(&grid_, frame1);
    grdOrder->lower();
    connect(grdOrder, &ReportGridView::gridPressed, this,
            [this](int r, int c, Qt::MouseButton b, const QPoint& g) { grdOrder_MouseDown(r, c, b, g); });
    connect(grdOrder, &ReportGridView::titleClicked, this, [this](int c) {
        if (c >= 1) grdOrder_AfterSort(c, grid_.colSort(c) == 1 ? 2 : 1);
    });
    connect(grdOrder, &ReportGridView::titleDoubleClicked, this, &frmFlexPrint::grdOrder_DblClick);
    connect(grdOrder, &ReportGridView::columnResized, this, [this] {
        subRefit(grid_);
        grdOrder->refresh();
    });

    for (int i = 0; i <= 6; ++i)
        lblInfo_.append(makeLabel(i));

    connect(vpOrder, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* p) { printReport(doc_, *p); });

    connect(vsb, &QScrollBar::valueChanged, this, [this](int v) {
        frameRect_.moveTop(-v);
        frame1->move(frame1->x(), px(-v));
    });
    connect(hsb, &QScrollBar::valueChanged, this, [this](int v) {
        frameRect_.moveLeft(-v);
        frame1->move(px(-v), frame1->y());
    });
}

frmFlexPrint::~frmFlexPrint() {
    delete vpOrder;
    vpOrder = nullptr;
    delete printer_;
}

QLabel* frmFlexPrint::makeLabel(int i) {
    auto* l = new QLabel(frame1);
    l->setObjectName(QStringLiteral("lblInfo_%1").arg(i));
    l->setTextFormat(Qt::PlainText);
    l->installEventFilter(this);
    l->setText(labels_.at(i).caption);
    return l;
}

QAction* frmFlexPrint::addAction(QMenu* menu, const QString& name, const QString& caption,
                                 void (frmFlexPrint::*slot)()) {
    QAction* a = menu ? menu->addAction(caption) : menuBar->addAction(caption);
    a->setObjectName(name);
    if (slot) connect(a, &QAction::triggered, this, slot);
    actions_.insert(name, a);
    return a;
}

void frmFlexPrint::buildMenus() {
    addAction(nullptr, QStringLiteral("menuSetup"), QStringLiteral("打印机设置(&S)"),
              &frmFlexPrint::menuSetup_Click);
    addAction(nullptr, QStringLiteral("menuChan"), QStringLiteral("输出项设置(&C)"),
              &frmFlexPrint::menuChan_Click);
    addAction(nullptr, QStringLiteral("menuPage"), QStringLiteral("页面设置(&A)"),
              &frmFlexPrint::menuPage_Click);
    addAction(nullptr, QStringLiteral("menuPrint"), QStringLiteral("打印(&P)"),
              &frmFlexPrint::menuPrint_Click);
    addAction(nullptr, QStringLiteral("menuPreview"), QStringLiteral("打印预览(&V)"),
              &frmFlexPrint::menuPreview_Click);

    auto* exp = new QMenu(QStringLiteral("导出(&E)"), this);
    exp->setObjectName(QStringLiteral("menuExport"));
    actions_.insert(QStringLiteral("menuExport"), menuBar->addMenu(exp));
    const char16_t* exports[] = {u"导出文本文件", u"导出Access文件", u"导出Excel文件", u"导出html文件",
                                 u"导出xml文件"};
    void (frmFlexPrint::*handlers[])() = {&frmFlexPrint::menuExp01_Click, &frmFlexPrint::menuExp02_Click,
                                          &frmFlexPrint::menuExp03_Click, &frmFlexPrint::menuExp04_Click,
                                          &frmFlexPrint::menuExp05_Click};
    for (int i = 0; i < 5; ++i)
        addAction(exp, QStringLiteral("menuExp0%1").arg(i + 1), QString::fromUtf16(exports[i]), handlers[i]);

    auto* custom = new QMenu(QStringLiteral("模板(&M)"), this);
    custom->setObjectName(QStringLiteral("menuCustom"));
    actions_.insert(QStringLiteral("menuCustom"), menuBar->addMenu(custom));
    addAction(custom, QStringLiteral("menuCustom1"), QStringLiteral("保存用户设定"),
              &frmFlexPrint::menuCustom1_Click);
    addAction(custom, QStringLiteral("menuCustom2"), QStringLiteral("按用户模板打印"),
              &frmFlexPrint::menuCustom2_Click);

    menuLabel = new QMenu(QStringLiteral("文本操作"), this);
    menuLabel->setObjectName(QStringLiteral("menuLabel"));
    addAction(menuLabel, QStringLiteral("menuFont"), QStringLiteral("字体"), &frmFlexPrint::menuFont_Click);
    addAction(menuLabel, QStringLiteral("menuHide"), QStringLiteral("隐藏"), &frmFlexPrint::menuHide_Click)
        ->setCheckable(true);
    addAction(menuLabel, QStringLiteral("menuColor"), QStringLiteral("颜色"), &frmFlexPrint::menuColor_Click);
    addAction(menuLabel, QStringLiteral("menuDel"), QStringLiteral("删除"), &frmFlexPrint::menuDel_Click);

    menuGrid = new QMenu(QStringLiteral("表格操作"), this);
    menuGrid->setObjectName(QStringLiteral("menuGrid"));
    addAction(menuGrid, QStringLiteral("menuAsc"), QStringLiteral("升序"), &frmFlexPrint::menuAsc_Click);
    addAction(menuGrid, QStringLiteral("menuDesc"), QStringLiteral("降序"), &frmFlexPrint::menuDesc_Click);
    menuGrid->addSeparator();
    menuInsert = menuGrid->addMenu(QStringLiteral("插入列"));
    menuInsert->setObjectName(QStringLiteral("menuInsert"));
    addAction(menuGrid, QStringLiteral("menuCut"), QStringLiteral("删除列"), &frmFlexPrint::menuCut_Click);
    addAction(menuGrid, QStringLiteral("menuRename"), QStringLiteral("重命名"),
              &frmFlexPrint::menuRename_Click);
    addAction(menuGrid, QStringLiteral("menuSelect"), QStringLiteral("选中列"),
              &frmFlexPrint::menuSelect_Click);
    menuGrid->addSeparator();
    addAction(menuGrid, QStringLiteral("menuUnion"), QStringLiteral("合并相同项"),
              &frmFlexPrint::menuUnion_Click);
    addAction(menuGrid, QStringLiteral("menuDisUnion"), QStringLiteral("取消合并相同项"),
              &frmFlexPrint::menuDisUnion_Click);
    rebuildInsertMenu();

    menuDisplay = new QMenu(QStringLiteral("展现样式"), this);
    menuDisplay->setObjectName(QStringLiteral("menuDisplay"));
    QMenu* align = menuDisplay->addMenu(QStringLiteral("对齐方式"));
    align->setObjectName(QStringLiteral("menuAlign"));
    addAction(align, QStringLiteral("menuLeftAlign"), QStringLiteral("左对齐"),
              &frmFlexPrint::menuLeftAlign_Click);
    addAction(align, QStringLiteral("menuCenterAlign"), QStringLiteral("居中对齐"),
              &frmFlexPrint::menuCenterAlign_Click);
    addAction(align, QStringLiteral("menuRightAlign"), QStringLiteral("右对齐"),
              &frmFlexPrint::menuRightAlign_Click);
    QMenu* style = menuDisplay->addMenu(QStringLiteral("文本样式"));
    style->setObjectName(QStringLiteral("menuTextStyle"));
    addAction(style, QStringLiteral("menuTextFlat"), QStringLiteral("平面"),
              &frmFlexPrint::menuTextFlat_Click);
    addAction(style, QStringLiteral("menuTextRaised"), QStringLiteral("凸出"),
              &frmFlexPrint::menuTextRaised_Click);
    addAction(style, QStringLiteral("menuTextInset"), QStringLiteral("凹进"),
              &frmFlexPrint::menuTextInset_Click);
    addAction(menuDisplay, QStringLiteral("menuDataFont"), QStringLiteral("字体"),
              &frmFlexPrint::menuDataFont_Click);
    addAction(menuDisplay, QStringLiteral("menuGridColor"), QStringLiteral("颜色"),
              &frmFlexPrint::menuGridColor_Click);
    addAction(menuDisplay, QStringLiteral("menuGridLine"), QStringLiteral("网格线"),
              &frmFlexPrint::menuGridLine_Click);
}

void frmFlexPrint::rebuildInsertMenu() {
    menuInsert->clear();
    QAction* marc = menuInsert->addAction(QStringLiteral("新增Marc子字段"));
    marc->setObjectName(QStringLiteral("menuNewCol_0"));
    marc->setVisible(m_iSimplePrint != 1);
    connect(marc, &QAction::triggered, this, [this] { menuNewCol_Click(0); });
    QAction* custom = menuInsert->addAction(QStringLiteral("自定义列"));
    custom->setObjectName(QStringLiteral("menuNewCol_1"));
    connect(custom, &QAction::triggered, this, [this] { menuNewCol_Click(1); });
    for (int i = 0; i < deleted_.size(); ++i) {
        QAction* a = menuInsert->addAction(deleted_[i]);
        a->setObjectName(QStringLiteral("menuNewCol_%1").arg(i + 2));
        connect(a, &QAction::triggered, this, [this, i] { menuNewCol_Click(i + 2); });
    }
}

QLabel* frmFlexPrint::lblInfo(int i) {
    if (!loaded_) Form_Load();
    return i >= 0 && i < lblInfo_.size() ? lblInfo_[i] : nullptr;
}

void frmFlexPrint::Form_Load() {
    loaded_ = true;
    labels_.reset();
    for (int i = 0; i < lblInfo_.size(); ++i)
        showLabel(i);
    deleted_.clear();
    lastFont_ = font();
    blnDesignView = true;
    QPalette pal = frame1->palette();
    pal.setColor(QPalette::Window, Qt::white);
    frame1->setPalette(pal);
    rebuildInsertMenu();
    if (!m_strApp.isEmpty())
        setWindowTitle(kCaption + QStringLiteral("－") + m_strApp);
    else
        actions_.value(QStringLiteral("menuCustom"))->setVisible(false);
    vsb->hide();
    hsb->hide();
    {
        ui::BusyCursor wait;
        initRawGrid(grid_);
    }
    grid_.setColWidth(0, col0Width(grid_.rows()));
    page_.leftMargin = 680;
    page_.rightMargin = 680;
    page_.applyTo(*printer_);
    frameRect_ = QRect(0, 0, page_.pageWidth(), tw(480));
    gridRect_ = QRect(page_.leftMargin, 1300, grid_.width, 4000);
    showGrid();
}

void frmFlexPrint::initRawGrid(ReportGrid& grd) {
    grdOrder->setUpdatesEnabled(false);
    report::initRawGrid(grd, g_varPrtData, g_lngPrtRows, g_lngPrtCols, m_iAddOrder);
    grdOrder->setUpdatesEnabled(true);
}

void frmFlexPrint::ProperSize() {
    report::ProperSize(grid_);
    showGrid();
}

void frmFlexPrint::showGrid() {
    grdOrder->setUpdatesEnabled(false);
    grdOrder->gridModel()->reload();
    grdOrder->refresh();
    grdOrder->setUpdatesEnabled(true);
}

void frmFlexPrint::showLabel(int i) {
    if (i < 0 || i >= labels_.count()) return;
    while (lblInfo_.size() <= i)
        lblInfo_.append(makeLabel(int(lblInfo_.size())));
    pageui::showLabel(lblInfo_[i], labels_.at(i));
}

void frmFlexPrint::pullCaptions() {
    for (int i = 0; i < lblInfo_.size() && i < labels_.count(); ++i)
        if (lblInfo_[i]->text() != labels_.at(i).caption) {
            labels_.setCaption(i, lblInfo_[i]->text());
            showLabel(i);
        }
}

void frmFlexPrint::showEvent(QShowEvent* event) {
    if (!loaded_) Form_Load();
    QDialog::showEvent(event);
    Form_Resize();
}

void frmFlexPrint::Form_Resize() {
    if (!loaded_) return;
    pullCaptions();
    LayoutInput in;
    in.width = tw(pageArea->width());
    in.height = tw(pageArea->height());
    in.pageWidth = page_.pageWidth();
    in.leftMargin = page_.leftMargin;
    in.rightMargin = page_.rightMargin;
    in.gridRows = grid_.rows();
    in.designView = blnDesignView;
    in.frame = frameRect_;
    in.grid = gridRect_;
    in.barThickness = kBar;
    for (int i = 0; i < 7; ++i)
        in.labels[i] = labels_.at(i).rect;
    const LayoutResult out = layoutPage(in);

    frameRect_ = out.frame;
    gridRect_ = out.grid;
    frame1->setGeometry(pxRect(out.frame));
    if (!out.preview.isEmpty()) vpOrder->setGeometry(pxRect(out.preview));
    pageui::showScrollBar(vsb, out.vsb);
    pageui::showScrollBar(hsb, out.hsb);
    grdOrder->setGeometry(pxRect(out.grid));
    grid_.setRowHidden(1, true);
    for (int c = 1; c < grid_.cols(); ++c)
        if (grid_.colData(c) == QStringLiteral("Hide")) grid_.setColHidden(c, true);
    grid_.setColWidth(0, out.col0Width);
    grdOrder->refresh();
    for (int i = 0; i < 7; ++i) {
        labels_.at(i).rect = out.labels[i];
        lblInfo_[i]->setGeometry(pxRect(out.labels[i]));
    }
    subRedLine(lineScope);
}

void frmFlexPrint::subRedLine(QFrame* lin) {
    if (!lin) return;
    redLineX_ = report::redLineX(gridRect_.left(), page_.pageWidth(), page_.leftMargin, page_.rightMargin);
    pageui::placeRedLine(lin, redLineX_, frameRect_);
}

void frmFlexPrint::subBuildDoc() {
    pullCaptions();
    doc_.build(grid_, labels_, page_, font(), palette().color(QPalette::WindowText));
}

int frmFlexPrint::printToPdf(const QString& file, QString* error) {
    subBuildDoc();
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(file);
    return printReport(doc_, pdf, error);
}

// ---- printer, page and preview ------------------------------------------

bool frmFlexPrint::acceptPage() {
    // Paper and orientation come from the printer; a printer chosen anew
    // brings its own margins, but the page keeps the ones set here.
    PageSettings chosen = PageSettings::fromPrinter(*printer_);
    chosen.leftMargin = page_.leftMargin;
    chosen.rightMargin = page_.rightMargin;
    chosen.topMargin = page_.topMargin;
    chosen.bottomMargin = page_.bottomMargin;
    if (!chosen.fits()) {
        intShowMsg(QStringLiteral("E页边距超出了纸张的范围，页面设置未被采用。"));
        page_.applyTo(*printer_);
        return false;
    }
    page_ = chosen;
    subBuildDoc();
    Form_Resize();
    subRedLine(lineScope);
    if (!blnDesignView) vpOrder->updatePreview();
    return true;
}

void frmFlexPrint::menuSetup_Click() {
    page_.applyTo(*printer_);
    QPrintDialog dlg(printer_, this);
    dlg.setObjectName(QStringLiteral("dlgPrinter"));
    if (ui::DialogService::current().execDialog(&dlg) == QDialog::Accepted) acceptPage();
}

void frmFlexPrint::menuPage_Click() {
    PageSetupDialog dlg(page_, this);
    if (ui::DialogService::current().execDialog(&dlg) != QDialog::Accepted || !dlg.settings().fits()) return;
    page_ = dlg.settings();
    page_.applyTo(*printer_);
    acceptPage();
}

void frmFlexPrint::menuPrint_Click() {
    subBuildDoc();
    if (doc_.pageCount() >= 1) {
        page_.applyTo(*printer_);
        QPrintDialog dlg(printer_, this);
        dlg.setObjectName(QStringLiteral("dlgPrint"));
        if (ui::DialogService::current().execDialog(&dlg) == QDialog::Accepted) {
            QString error;
            if (printReport(doc_, *printer_, &error) < 0) intShowMsg(QStringLiteral("E打印失败：") + error);
        }
    }
    doc_.clear();
}

void frmFlexPrint::menuPreview_Click() {
    if (blnDesignView) {
        blnDesignView = false;
        subBuildDoc();
        frame1->hide();
        vpOrder->show();
        vpOrder->updatePreview();
        hsb->hide();
    } else {
        blnDesignView = true;
        frame1->show();
        vpOrder->hide();
        hsb->setVisible(frameRect_.width() > tw(pageArea->width()));
    }
}

// ---- the grid's commands ------------------------------------------------

void frmFlexPrint::grdOrder_MouseDown(int row, int col, Qt::MouseButton button, const QPoint& globalPos) {
    varMouseRow = row;
    iMouseCol = col;
    if (button == Qt::RightButton) {
        if (row == 0 && col >= grid_.fixedCols())
            popup(menuGrid, globalPos);
        else
            popup(menuDisplay, globalPos);
        return;
    }
    grid_.highLight = col == 0 ? 1 : 0;
    grdOrder->viewport()->update();
}

void frmFlexPrint::grdOrder_AfterSort(int col, int order) {
    cmd::sortColumn(grid_, col, order, m_iAddOrder);
    showGrid();
}

void frmFlexPrint::popup(QMenu* menu, const QPoint& globalPos) {
    if (menu == menuGrid) rebuildInsertMenu();
    QAction* chosen = execPopup ? execPopup(menu) : menu->exec(globalPos);
    if (chosen && execPopup) chosen->trigger();
}

void frmFlexPrint::menuAsc_Click() {
    grdOrder_AfterSort(iMouseCol, 1);
}
void frmFlexPrint::menuDesc_Click() {
    grdOrder_AfterSort(iMouseCol, 2);
}

void frmFlexPrint::menuCut_Click() {
    const QString entry = cmd::deleteColumn(grid_, iMouseCol);
    if (!entry.isEmpty()) deleted_.append(entry);
    rebuildInsertMenu();
    showGrid();
}

void frmFlexPrint::menuNewCol_Click(int index) {
    const int at = std::clamp(iMouseCol, 1, std::max(1, grid_.cols()));
    if (index == 0 || index == 1) {
        grid_.setCols(grid_.cols() + 1);
        const int last = grid_.cols() - 1;
        grid_.setTextMatrix(0, last,
                            index == 0 ? QStringLiteral("新增Marc子字段") : QStringLiteral("自定义列"));
        grid_.setColWidth(last, 900);
        grid_.moveColumn(last, at);
        if (index == 0) {
            showGrid();
            if (!runMarcEditor(at, QString(), QString()) || grid_.textMatrix(1, at).isEmpty()) {
                grid_.moveColumn(at, grid_.cols() - 1);
                grid_.removeLastColumn();
            }
        }
    } else {
        const int k = index - 2;
        if (k < 0 || k >= deleted_.size()) return;
        cmd::restoreColumn(grid_, deleted_[k], at);
        deleted_.removeAt(k);
        rebuildInsertMenu();
    }
    grid_.autoSizeMode = AutoSizeMode::ColWidths;
    grid_.autoSize(1, grid_.cols() - 1);
    grid_.forRange(0, 0, 0, grid_.cols() - 1, [](CellStyle& s) { s.back = QColor(224, 224, 224); });
    showGrid();
}

void frmFlexPrint::grdOrder_DblClick(int col) {
    if (col < 1 || col >= grid_.cols() || !grid_.textMatrix(1, col).trimmed().startsWith(u'$')) return;
    const MarcSubfields subfields = subfieldsFromGrid(grid_.textMatrix(1, col));
    runMarcEditor(col, subfields.cn, subfields.us);
}

bool frmFlexPrint::runMarcEditor(int col, const QString& cn, const QString& us) {
    frmFlexPrtNode node(this);
    node.txtCN->setText(cn);
    node.txtUS->setText(us);
    if (!node.ShowNote(grdOrder->viewport()->mapToGlobal(QPoint(grdOrder->columnViewportPosition(col), 0))))
        return false;
    grid_.setTextMatrix(1, col, QStringLiteral("$") + marcDefinition(node.cn(), node.us()));
    subShowMarc(col);
    return true;
}

void frmFlexPrint::subShowMarc(int col) {
    {
        ui::BusyCursor wait;
        report::subShowMarc(grid_, col, marcFill);
    }
    showGrid();
}

// ---- output columns and templates ---------------------------------------

RebuildInput frmFlexPrint::rebuildInput() const {
    RebuildInput in;
    in.data = &g_varPrtData;
    in.rows = g_lngPrtRows;
    in.cols = g_lngPrtCols;
    in.fill = marcFill;
    return in;
}

frmFlexPrtCustom* frmFlexPrint::customDialog() {
    if (!custom_) custom_ = new frmFlexPrtCustom(m_iAddOrder, m_iSimplePrint == 1, this);
    return custom_;
}

void frmFlexPrint::menuChan_Click() {
    frmFlexPrtCustom* dlg = customDialog();
    dlg->subReadGrid(grid_, rebuildInput());
    if (ui::DialogService::current().execDialog(dlg) != QDialog::Accepted) return;
    dlg->subApplyGrid(grid_, rebuildInput());
    m_iAddOrder = qint16(dlg->addOrder());
    showGrid();
    Form_Resize();
    // A preview on show follows the columns at once.
    if (!blnDesignView) {
        subBuildDoc();
        vpOrder->updatePreview();
    }
}

void frmFlexPrint::menuCustom1_Click() {
    if (m_strApp.isEmpty()) return;
    pullCaptions();
    SetupGrid setup;
    setup.rows = readGrid(grid_, g_varPrtData, g_lngPrtCols);
    setup.addOrder = m_iAddOrder;
    setup.pageText = pageSettingText(page_);
    setup.labels = labelStyles(labels_);
    QString error;
    const TemplateStore store(varGetSysInfo(14).toString());
    if (!store.save(m_strApp, GridLook::of(grid_), setup, &error))
        reportFailure(QStringLiteral("保存用户设定失败"), error);
}

bool frmFlexPrint::CustomPrint() {
    if (m_strApp.isEmpty()) return false;
    pullCaptions();
    GridLook look;
    SetupGrid setup;
    {
        ui::BusyCursor wait;
        if (TemplateStore(varGetSysInfo(14).toString()).load(m_strApp, &look, &setup)) {
            // The closing auto-size runs in the mode the load left.
            const AutoSizeMode mode = grid_.autoSizeMode;
            look.applyTo(grid_);
            customDialog()->subDrawGrid(grid_, setup.rows, setup.addOrder, rebuildInput());
            m_iAddOrder = qint16(setup.addOrder == 1 ? 1 : 0);
            applyLabelStyles(setup.labels, labels_);
            readPageSettingText(setup.pageText, &page_);
            page_.applyTo(*printer_);
            for (int i = 0; i < 7; ++i)
                showLabel(i);
            Form_Resize();
            grid_.autoSizeMode = mode;
            grid_.autoSize(1, grid_.cols() - 1);
            showGrid();
            return true;
        }
    }
    intShowMsg(QStringLiteral("E配置文件不存在或被破坏"));
    return false;
}

// ---- exports ------------------------------------------------------------

void frmFlexPrint::reportFailure(const QString& what, const QString& reason) {
    LIB_WriteLogFile(what, reason);
    intShowMsg(QStringLiteral("E") + what + QStringLiteral("：") + reason);
}

ReportTexts frmFlexPrint::reportTexts() {
    pullCaptions();
    ReportTexts t;
    t.title = labels_.at(0).caption;
    for (int i = 1; i <= 5; ++i)
        t.info << labels_.at(i).caption;
    return t;
}

bool frmFlexPrint::writeExport(const QString& path, const QString& failure,
                               const std::function<bool(QString*)>& write) {
    QString error;
    bool ok;
    {
        ui::BusyCursor wait;
        ok = write(&error);
    }
    if (!ok) reportFailure(failure, path + QStringLiteral("：") + error);
    return ok;
}

void frmFlexPrint::exportFile(const QString& title, const QString& filter, const QString& suffix,
                              const std::function<QByteArray()>& bytes) {
    blnExportFile(this, title, filter, suffix, bytes);
}

void frmFlexPrint::menuExp01_Click() {
    exportFile(QStringLiteral("保存到文本文件"), QStringLiteral("文本文件 (*.txt)"), QStringLiteral("txt"),
               [this] { return textExport(grid_, reportTexts()); });
}

void frmFlexPrint::menuExp04_Click() {
    exportFile(QStringLiteral("保存到html文件"), QStringLiteral("html文件 (*.html)"), QStringLiteral("html"),
               [this] { return htmlExport(grid_, reportTexts()); });
}

void frmFlexPrint::menuExp05_Click() {
    exportFile(QStringLiteral("保存到xml文件"), QStringLiteral("xml文件 (*.xml)"), QStringLiteral("xml"),
               [this] { return xmlExport(grid_); });
}

void frmFlexPrint::menuExp02_Click() {
    QList<ExportColumn> cols;
    if (!gatherExportColumns(grid_, &cols)) {
        const QString why = QStringLiteral("可见的列超过%1列").arg(kMaxExportColumns);
        LIB_WriteLogFile(QStringLiteral("导出数据库文件"), why);
        intShowMsg(QStringLiteral("ECM206") + why);
        return;
    }
    const QString path = chooseSaveFile(this, QStringLiteral("保存到Access文件"),
                                        QStringLiteral("SQLite数据库文件 (*.sqlite)"),
                                        QStringLiteral("sqlite"), varGetSysInfo(12).toString());
    if (path.isEmpty()) return;
    if (const QString problem = replaceProblem(path); !problem.isEmpty()) {
        LIB_WriteLogFile(QStringLiteral("导出数据库文件"), path + QStringLiteral("：") + problem);
        intShowMsg(QStringLiteral("ECM206") + problem + QStringLiteral("：") + path);
        return;
    }
    g_arrExpCols = cols;
    g_lngExpColCount = qint32(cols.size());
    g_strExpFile = path;
    g_strExpTable.clear();
    // Opening makes a missing file; one that gets no table is taken away again.
    const bool existed = QFileInfo::exists(path);
    {
        frmExp2Table dlg(path, cols, &grid_, 2, this);
        QString error;
        if (dlg.openFile(&error)) {
            ui::DialogService::current().execDialog(&dlg);
        } else {
            LIB_WriteLogFile(QStringLiteral("导出数据库文件"), path + QStringLiteral("：") + error);
            intShowMsg(QStringLiteral("ECM206") + error);
        }
    }
    if (!existed && QFileInfo::exists(path)) {
        SqliteFile file;
        QString error;
        const bool empty = file.open(path, &error) && file.tables(&error).isEmpty() && error.isEmpty();
        file.close();
        if (empty) QFile::remove(path);
    }
}

void frmFlexPrint::menuExp03_Click() {
    const QString path = chooseExportFile(this, QStringLiteral("保存到Excel文件"),
                                          QStringLiteral("Microsoft Excel文件 (*.xlsx)"), QStringLiteral("xlsx"));
    if (path.isEmpty()) return;
    QList<int> cut;
    if (!writeExport(path, QStringLiteral("导出到Excel错误！"),
                     [&](QString* error) { return writeXlsx(path, grid_, reportTexts(), error, &cut); }))
        return;
    if (cut.isEmpty()) {
        intShowMsg(QStringLiteral("I导出到Excel完成！"));
        return;
    }
    // Rows as the report numbers them: the first data row is row 1.
    QStringList where;
    for (int r : cut)
        where << (r == kTitleRow  ? QStringLiteral("标题")
                  : r == kInfoRow ? QStringLiteral("信息行")
                  : r == 0        ? QStringLiteral("列标题")
                                  : QStringLiteral("第%1行").arg(r - grid_.fixedRows() + 1));
    const QString note =
        QStringLiteral("超过%1个字符的单元格已截断：%2").arg(kMaxCellText).arg(where.join(QStringLiteral("、")));
    LIB_WriteLogFile(QStringLiteral("导出到Excel"), path + QStringLiteral("：") + note);
    intShowMsg(QStringLiteral("I导出到Excel完成！\n") + note);
}

void frmFlexPrint::menuRename_Click() {
    grid_.select(0, iMouseCol, 0, iMouseCol);
    grdOrder->editTitle(iMouseCol);
}

void frmFlexPrint::menuSelect_Click() {
    cmd::selectColumn(grid_, iMouseCol);
    grdOrder->viewport()->update();
}

void frmFlexPrint::subMerge(bool on) {
    grid_.setMergeCol(iMouseCol, on);
    showGrid();
}

void frmFlexPrint::subAlign(int alignment) {
    cmd::align(grid_, alignment);
    showGrid();
}

void frmFlexPrint::subTextStyle(int style) {
    cmd::textStyle(grid_, style);
    showGrid();
}

bool frmFlexPrint::chooseFont(QFont& chosen) {
    QFontDialog dlg(lastFont_, this);
    dlg.setObjectName(QStringLiteral("dlgSetupFont"));
    if (ui::DialogService::current().execDialog(&dlg) != QDialog::Accepted) return false;
    const QFont f = dlg.currentFont();
    lastFont_ = f;
    chosen = ui::makeFont(f.family(), f.pointSizeF(), f.bold());
    chosen.setItalic(f.italic());
    return true;
}

void frmFlexPrint::menuDataFont_Click() {
    QFont f;
    if (!chooseFont(f)) return;
    cmd::font(grid_, f);
    showGrid();
}

void frmFlexPrint::subShowStyle(int mode) {
    if (!style_) style_ = new frmFlexPrtStyle(&grid_, this);
    style_->iMode = mode;
    ui::DialogService::current().execDialog(style_);
    showGrid();
}

// ---- labels -------------------------------------------------------------

void frmFlexPrint::showBox() {
    pageui::showBox(txtAdd, labels_.box);
}

void frmFlexPrint::lblInfo_MouseDown(int index, Qt::MouseButton button, const QPoint& globalPos) {
    pullCaptions();
    if (button == Qt::LeftButton) {
        // Labels 1 to 5 only become current; a box already open stays as typed.
        if (labels_.pressLeft(index)) showBox();
        return;
    }
    if (button != Qt::RightButton) return;
    const LabelMenuState s = labels_.pressRight(index);
    QAction* del = actions_.value(QStringLiteral("menuDel"));
    QAction* hide = actions_.value(QStringLiteral("menuHide"));
    del->setEnabled(s.deleteEnabled);
    hide->setChecked(s.hideChecked);
    hide->setEnabled(s.hideEnabled);
    popup(menuLabel, globalPos);
    labels_.popupClosed();
}

void frmFlexPrint::frame1_MouseDown(const QPoint& twips) {
    framePress_ = twips;
}

void frmFlexPrint::frame1_DblClick() {
    labels_.beginAdd(framePress_, font());
    showBox();
}

void frmFlexPrint::txtAdd_Enter() {
    labels_.box.text = txtAdd->text();
    labels_.box.rect.setSize(QSize(tw(txtAdd->width()), tw(txtAdd->height())));
    const int changed = labels_.commit();
    if (changed >= 0) showLabel(changed);
    txtAdd->setCursorPosition(0);
    txtAdd->hide();
}

void frmFlexPrint::menuFont_Click() {
    QFont f;
    if (!chooseFont(f)) return;
    const int k = labels_.current();
    labels_.setFont(f);
    showLabel(k);
}

void frmFlexPrint::menuColor_Click() {
    QColorDialog dlg(this);
    dlg.setObjectName(QStringLiteral("dlgSetupColor"));
    if (ui::DialogService::current().execDialog(&dlg) != QDialog::Accepted) return;
    const int k = labels_.current();
    labels_.setColor(dlg.selectedColor().isValid() ? dlg.selectedColor() : dlg.currentColor());
    showLabel(k);
}

void frmFlexPrint::menuHide_Click() {
    labels_.toggleHide();
}

void frmFlexPrint::menuDel_Click() {
    if (!labels_.deleteCurrent()) return;
    // The pressed label may be the one going: it leaves after its event.
    while (lblInfo_.size() > labels_.count()) {
        QLabel* gone = lblInfo_.takeLast();
        gone->hide();
        gone->deleteLater();
    }
    for (int i = LabelSet::kFirstUser; i < labels_.count(); ++i)
        showLabel(i);
}

bool frmFlexPrint::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pageArea && event->type() == QEvent::Resize) {
        Form_Resize();
        return false;
    }
    if (watched == txtAdd && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            txtAdd_Enter();
            return true;
        }
        return false;
    }
    if (watched == frame1) {
        if (event->type() == QEvent::MouseButtonPress) {
            const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
            frame1_MouseDown(QPoint(tw(p.x()), tw(p.y())));
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            frame1_DblClick();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const int i = int(lblInfo_.indexOf(qobject_cast<QLabel*>(watched)));
        if (i >= 0) {
            auto* me = static_cast<QMouseEvent*>(event);
            lblInfo_MouseDown(i, me->button(), me->globalPosition().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- closing ------------------------------------------------------------

void frmFlexPrint::Form_Unload() {
    m_strApp.clear();
    m_iAddOrder = 0;
    m_iSimplePrint = 0;
    doc_.clear();
    delete style_;
    delete custom_;
    if (instance_ == this) instance_ = nullptr;
    deleteLater();
}

void frmFlexPrint::done(int result) {
    if (!unloading_) {
        unloading_ = true;
        Form_Unload();
    }
    QDialog::done(result);
}
