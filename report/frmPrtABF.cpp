#include "report/frmPrtABF.h"

#include "common/basEnv.h"
#include "common/basMsg.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Units.h"
#include "report/PageSetupDialog.h"
#include "report/PageWidgets.h"
#include "report/ReportExport.h"
#include "report/ReportGridView.h"
#include "report/ReportTemplate.h"
#include "report/SaveFileDialog.h"
#include "report/SlipLayout.h"
#include "report/SlipText.h"
#include "report/frmFlexPrtCustom.h"
#include "report/frmFlexPrtNode.h"

#include <QApplication>
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

#include <cmath>

using namespace report;

QPointer<frmPrtABF> frmPrtABF::instance_;

namespace {
const QString kCaption = QStringLiteral("打印预览");
constexpr int kBar = 255;
constexpr int kSlipMargin = 50;

using pageui::px;
using pageui::pxRect;
using pageui::tw;
} // namespace

frmPrtABF* frmPrtABF::form() {
    if (!instance_) instance_ = new frmPrtABF;
    return instance_;
}

bool frmPrtABF::exists() {
    return !instance_.isNull();
}

frmPrtABF::frmPrtABF(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPrtABF"));
    setWindowTitle(kCaption);
    setFont(ui::makeFont(QStringLiteral("宋体"), 9));
    resize(900, 650);
    printer_ = new QPrinter(QPrinter::HighResolution);
    for (int i = 0; i < noLabels_.count(); ++i) {
        noLabels_.setCaption(i, QString());
        noLabels_.at(i).tag = QStringLiteral("Hide");
    }

    menuBar = new QMenuBar(this);
    addAction(QStringLiteral("menuSetup"), QStringLiteral("打印机设置(&S)"), &frmPrtABF::menuSetup_Click);
    addAction(QStringLiteral("menuPage"), QStringLiteral("页面设置(&A)"), &frmPrtABF::menuPage_Click);
    addAction(QStringLiteral("menuPrint"), QStringLiteral("打印(&P)"), &frmPrtABF::menuPrint_Click);
    addAction(QStringLiteral("menuPreview"), QStringLiteral("打印预览(&V)"), &frmPrtABF::menuPreview_Click);
    auto* cols = new QMenu(QStringLiteral("每行列数选择"), this);
    cols->setObjectName(QStringLiteral("menuCol"));
    actions_.insert(QStringLiteral("menuCol"), menuBar->addMenu(cols));
    for (int i = 1; i <= 2; ++i) {
        QAction* a = cols->addAction(i == 1 ? QStringLiteral("每行一列") : QStringLiteral("每行两列"));
        a->setObjectName(QStringLiteral("menuCol%1").arg(i));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] { subSetCols(i); });
        actions_.insert(a->objectName(), a);
    }

    pageui::adoptPagePanel(this, pageui::buildPagePanel(this, menuBar, printer_));
    grdOrder = new ReportGridView(&grid_, frame1);
    grdOrder->lower();
    grdOrder->horizontalHeader()->hide();
    connect(grdOrder, &ReportGridView::gridPressed, this,
            [this](int, int c, Qt::MouseButton b, const QPoint&) { grdOrder_MouseDown(c, b); });
    connect(grdOrder, &ReportGridView::selectionStarted, this, [this] { grid_.highLight = 1; });
    connect(grdOrder, &ReportGridView::columnResized, this, [this] {
        subRefit(grid_);
        grdOrder->refresh();
    });
    connect(vpOrder, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* p) { printReport(doc_, *p); });

    connect(vsb, &QScrollBar::valueChanged, this, &frmPrtABF::vsb_Change);
    connect(hsb, &QScrollBar::valueChanged, this, &frmPrtABF::hsb_Change);
}

frmPrtABF::~frmPrtABF() {
    delete vpOrder;
    vpOrder = nullptr;
    delete printer_;
}

QAction* frmPrtABF::addAction(const QString& name, const QString& caption, void (frmPrtABF::*slot)()) {
    QAction* a = menuBar->addAction(caption);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, slot);
    actions_.insert(name, a);
    return a;
}

int frmPrtABF::subShowModal() {
    if (!loaded_) Form_Load();
    const int result = ui::DialogService::current().execDialog(this);
    if (!unloading_) done(result);
    return result;
}

// ---- loading and building -----------------------------------------------

void frmPrtABF::Form_Load() {
    loaded_ = true;
    m_blnLayoutView = true;
    labels_.reset();
    for (int i = 0; i < m_intLabelCount; ++i)
        showLabel(i);
    // Any count but one is laid out as the checked menu item says: two a row.
    if (m_Cols != 1) m_Cols = 2;
    action(QStringLiteral("menuCol1"))->setChecked(m_Cols == 1);
    action(QStringLiteral("menuCol2"))->setChecked(m_Cols != 1);
    QPalette pal = frame1->palette();
    pal.setColor(QPalette::Window, Qt::white);
    frame1->setPalette(pal);
    if (!m_strApp.isEmpty()) setWindowTitle(kCaption + QStringLiteral("－") + m_strApp);
    vsb->hide();
    hsb->hide();
    {
        ui::BusyCursor wait;
        m_varRecords = g_varPrtData;
        subBuildSlips(m_varRecords);
        initRawGrid(grid_);
    }
    page_.leftMargin = page_.rightMargin = page_.topMargin = page_.bottomMargin = kSlipMargin;
    page_.applyTo(*printer_);
    frameRect_ = QRect(0, 0, page_.pageWidth(), tw(480));
    gridRect_ = QRect(page_.leftMargin, page_.topMargin + 200, grid_.width, 4000);
}

bool frmPrtABF::subBuildSlips(const ReportArray& records) {
    ReportArray slips;
    int rows = 0;
    QString error;
    const bool ok = report::subBuildSlips(records, m_Cols, &slips, &rows, &error);
    g_varPrtData = slips;
    g_lngPrtRows = rows;
    g_lngPrtCols = m_Cols == 1 ? 1 : 2;
    if (!ok) intShowMsg(QStringLiteral("E") + error);
    return ok;
}

void frmPrtABF::initRawGrid(ReportGrid& grd) {
    grdOrder->setUpdatesEnabled(false);
    report::initRawGrid(grd, g_varPrtData, g_lngPrtRows, g_lngPrtCols, m_iAddOrder);
    // Neither the row numbers nor a title row ever show here.
    grd.setColHidden(0, true);
    grd.setRowHidden(0, true);
    slipRows_ = g_lngPrtRows;
    if (&grd == &grid_) ProperSize();
    grdOrder->setUpdatesEnabled(true);
    enablePrinting();
}

void frmPrtABF::ProperSize() {
    grid_.autoSizeMode = AutoSizeMode::ColWidths;
    grid_.autoSize(0, grid_.cols() - 1);
    const int w = int(std::lround(double(grid_.width) / (m_Cols == 1 ? 1 : 2)));
    for (int c = 0; c < grid_.cols(); ++c)
        grid_.setColWidth(c, w);
    grid_.autoSizeMode = AutoSizeMode::RowHeights;
    grid_.autoSize(1, grid_.cols() - 1);
    showGrid();
}

void frmPrtABF::showGrid() {
    grdOrder->gridModel()->reload();
    grdOrder->refresh();
}

void frmPrtABF::enablePrinting() {
    action(QStringLiteral("menuPrint"))->setEnabled(canPrint());
    action(QStringLiteral("menuPreview"))->setEnabled(canPrint() || !m_blnLayoutView);
}

void frmPrtABF::showEvent(QShowEvent* event) {
    if (!loaded_) Form_Load();
    QDialog::showEvent(event);
    Form_Resize();
}

// ---- layout -------------------------------------------------------------

void frmPrtABF::Form_Resize() {
    if (!loaded_) return;
    SlipLayoutInput in;
    in.area = QRect(0, 0, tw(pageArea->width()), tw(pageArea->height()));
    in.pageWidth = page_.pageWidth();
    in.leftMargin = page_.leftMargin;
    in.rightMargin = page_.rightMargin;
    in.verticalStart = page_.topMargin;
    in.cols = m_Cols == 1 ? 1 : 2;
    in.layoutView = m_blnLayoutView;
    in.vsbWidth = in.hsbHeight = kBar;
    in.frame = frameRect_;
    in.preview = pageui::twRect(vpOrder->geometry());
    in.grid = gridRect_;
    for (int i = 0; i < m_intLabelCount; ++i) {
        in.labels[i] = labels_.at(i).rect.size();
        in.labelAt[i] = labels_.at(i).rect.topLeft();
    }
    const SlipLayout out = layoutSlipPage(in);

    frameRect_ = out.frame;
    gridRect_ = out.grid;
    frame1->setGeometry(pxRect(out.frame));
    vpOrder->setGeometry(pxRect(out.preview));
    pageui::showScrollBar(vsb, out.vsb);
    pageui::showScrollBar(hsb, out.hsb);
    grdOrder->setGeometry(pxRect(out.grid));
    grid_.width = out.grid.width();
    for (int c = 0; c < grid_.cols(); ++c)
        grid_.setColWidth(c, out.colWidth);
    grid_.autoSize(1, grid_.cols() - 1);
    grdOrder->refresh();
    for (int i = 0; i < m_intLabelCount; ++i) {
        labels_.at(i).rect = out.labels[i];
        lblInfo_[i]->setGeometry(pxRect(out.labels[i]));
    }
    subRedLine(lineScope);
}

void frmPrtABF::subRedLine(QFrame* lin) {
    if (!lin) return;
    redLineX_ = report::redLineX(gridRect_.left(), page_.pageWidth(), page_.leftMargin, page_.rightMargin);
    pageui::placeRedLine(lin, redLineX_, frameRect_);
}

// ---- document, printing and set-up --------------------------------------

void frmPrtABF::subBuildSlipDoc() {
    doc_.build(grid_, noLabels_, page_, font(), palette().color(QPalette::WindowText));
}

bool frmPrtABF::subPrintSlipLabel(const report::ReportLabel& label) {
    if (!label.tag.isEmpty()) return false;
    return doc_.writeText(label.caption + QStringLiteral("     "), label.font, label.color);
}

void frmPrtABF::menuPrint_Click() {
    if (!canPrint()) return;
    subBuildSlipDoc();
    if (doc_.pageCount() > 0) {
        page_.applyTo(*printer_);
        QPrintDialog dlg(printer_, this);
        dlg.setObjectName(QStringLiteral("dlgPrint"));
        QString error;
        if (ui::DialogService::current().execDialog(&dlg) == QDialog::Accepted &&
            printReport(doc_, *printer_, &error) < 0)
            intShowMsg(QStringLiteral("E打印失败：") + error);
    }
    doc_.clear();
}

bool frmPrtABF::acceptSetup() {
    if (!page_.fits()) {
        intShowMsg(QStringLiteral("E页边距超出了纸张的范围，页面设置未被采用。"));
        return false;
    }
    page_.applyTo(*printer_);
    subBuildSlipDoc();
    Form_Resize();
    subRedLine(lineScope);
    if (!m_blnLayoutView) vpOrder->updatePreview();
    return true;
}

void frmPrtABF::menuSetup_Click() {
    page_.applyTo(*printer_);
    QPrintDialog dlg(printer_, this);
    dlg.setObjectName(QStringLiteral("dlgPrinter"));
    if (ui::DialogService::current().execDialog(&dlg) != QDialog::Accepted) return;
    // The printer brings paper and orientation; the margins stay the window's.
    const PageSettings chosen = PageSettings::fromPrinter(*printer_);
    const PageSettings before = page_;
    page_.paper = chosen.paper;
    page_.orientation = chosen.orientation;
    if (!acceptSetup()) {
        page_ = before;
        page_.applyTo(*printer_);
    }
}

void frmPrtABF::menuPage_Click() {
    PageSetupDialog dlg(page_, this);
    if (ui::DialogService::current().execDialog(&dlg) != QDialog::Accepted) return;
    const PageSettings before = page_;
    page_ = dlg.settings();
    if (!acceptSetup()) page_ = before;
}

void frmPrtABF::menuPreview_Click() {
    if (m_blnLayoutView) {
        m_blnLayoutView = false;
        frame1->hide();
        vpOrder->show();
        subBuildSlipDoc();
        vpOrder->updatePreview();
        hsb->hide();
    } else {
        m_blnLayoutView = true;
        frame1->show();
        vpOrder->hide();
        hsb->setVisible(frameRect_.width() > tw(pageArea->width()));
    }
    enablePrinting();
}

void frmPrtABF::subSetCols(int cols) {
    action(QStringLiteral("menuCol1"))->setChecked(cols == 1);
    action(QStringLiteral("menuCol2"))->setChecked(cols == 2);
    m_Cols = cols;
    ui::BusyCursor wait;
    subBuildSlips(m_varRecords);
    initRawGrid(grid_);
}

// ---- grid, labels and panel ---------------------------------------------

void frmPrtABF::grdOrder_AfterSort(int col, int order) {
    cmd::sortColumn(grid_, col, order, m_iAddOrder);
    showGrid();
}

void frmPrtABF::subTextStyle(int style) {
    cmd::textStyle(grid_, style);
    showGrid();
}

void frmPrtABF::grdOrder_MouseDown(int col, Qt::MouseButton button) {
    if (button == Qt::RightButton) return;
    grid_.highLight = col == 0 ? 1 : 0;
    grdOrder->viewport()->update();
}

bool frmPrtABF::grdOrder_BeforeEdit(int row, int col) const {
    return !cmd::canEdit(grid_, row, col);
}

void frmPrtABF::showLabel(int i) {
    if (i < 0 || i >= labels_.count()) return;
    while (lblInfo_.size() <= i) {
        auto* l = new QLabel(frame1);
        l->setObjectName(QStringLiteral("lblInfo_%1").arg(lblInfo_.size()));
        l->setTextFormat(Qt::PlainText);
        l->installEventFilter(this);
        lblInfo_.append(l);
    }
    pageui::showLabel(lblInfo_[i], labels_.at(i));
}

void frmPrtABF::showBox() {
    pageui::showBox(txtAdd, labels_.box);
}

void frmPrtABF::lblInfo_MouseDown(int index, Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        if (labels_.pressLeft(index)) showBox();
        return;
    }
    labels_.pressRight(index); // any press records the label
    if (button == Qt::RightButton) labels_.popupClosed();
}

void frmPrtABF::frame1_MouseDown(const QPoint& twips) {
    m_intPressX = twips.x();
    m_intPressY = twips.y();
}

void frmPrtABF::frame1_DblClick() {
    labels_.beginAdd(QPoint(m_intPressX, m_intPressY), font());
    showBox();
}

void frmPrtABF::txtAdd_KeyPress(int& key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != 13) return;
    labels_.box.text = txtAdd->text();
    labels_.box.rect = QRect(labels_.box.rect.topLeft(), QSize(tw(txtAdd->width()), tw(txtAdd->height())));
    const int changed = labels_.commit();
    if (changed >= 0) showLabel(changed);
    txtAdd->setCursorPosition(0);
    txtAdd->hide();
    key = 0;
    if (QLabel* last = lblInfo(labels_.lastIndex())) last->show();
}

void frmPrtABF::vsb_Change(int value) {
    frameRect_.moveTop(-value);
    frame1->move(frame1->x(), px(-value));
}

void frmPrtABF::hsb_Change(int value) {
    frameRect_.moveLeft(-value);
    frame1->move(px(-value), frame1->y());
}

bool frmPrtABF::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pageArea && event->type() == QEvent::Resize) {
        Form_Resize();
        return false;
    }
    if (watched == txtAdd && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        txtAdd_KeyPress(key);
        return key == 0;
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
            lblInfo_MouseDown(i, static_cast<QMouseEvent*>(event)->button());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmPrtABF::subShowMarc(int col) {
    {
        ui::BusyCursor wait;
        report::subShowMarc(grid_, col, marcFill);
    }
    ProperSize(); // slips keep their share of the width; rows fit their texts
}

bool frmPrtABF::grdOrder_DblClick(int row, int col) {
    if (row != 0 || col < 1 || col >= grid_.cols()) return false;
    const QString def = grid_.textMatrix(1, col);
    if (!def.trimmed().startsWith(u'$')) return false;
    const MarcSubfields subfields = subfieldsFromGrid(def);
    frmFlexPrtNode node(this);
    node.txtCN->setText(subfields.cn);
    node.txtUS->setText(subfields.us);
    if (!node.ShowNote(grdOrder->viewport()->mapToGlobal(QPoint(grdOrder->columnViewportPosition(col), 0))))
        return false;
    grid_.setTextMatrix(1, col, QStringLiteral("$") + marcDefinition(node.cn(), node.us()));
    return true;
}

// ---- text export and templates ------------------------------------------

void frmPrtABF::subExportSlipText() {
    ReportTexts texts;
    texts.title = labels_.at(0).caption;
    for (int i = 1; i <= 5; ++i)
        texts.info << labels_.at(i).caption;
    blnExportFile(this, QStringLiteral("保存到文本文件"), QStringLiteral("文本文件 (*.txt)"),
                  QStringLiteral("txt"), [&] { return textExport(grid_, texts); });
}

bool frmPrtABF::templateName() const {
    return !m_strApp.trimmed().isEmpty() && templateFileName(m_strApp) == m_strApp;
}

RebuildInput frmPrtABF::rebuildInput() const {
    RebuildInput in;
    in.data = &g_varPrtData;
    in.rows = g_lngPrtRows;
    in.cols = g_lngPrtCols;
    in.fill = marcFill;
    return in;
}

frmFlexPrtCustom* frmPrtABF::customDialog() {
    if (!custom_) {
        custom_ = new frmFlexPrtCustom(m_iAddOrder, m_iSimplePrint == 1, this);
        custom_->hide();
    }
    return custom_;
}

bool frmPrtABF::subSaveSlipTemplate() {
    if (!templateName()) return false;
    frmFlexPrtCustom* carrier = customDialog();
    carrier->subReadGrid(grid_, rebuildInput());
    SetupGrid setup;
    setup.rows = carrier->editor().rows;
    setup.addOrder = m_iAddOrder;
    setup.pageText = pageSettingText(page_);
    setup.labels = labelStyles(labels_);
    QString error;
    if (TemplateStore(varGetSysInfo(14).toString()).save(m_strApp, GridLook::of(grid_), setup, &error))
        return true;
    LIB_WriteLogFile(QStringLiteral("保存用户设定失败"), error);
    return false;
}

bool frmPrtABF::CustomPrint() {
    GridLook look;
    SetupGrid setup;
    bool ok = false;
    {
        ui::BusyCursor wait;
        ok = templateName() && TemplateStore(varGetSysInfo(14).toString()).load(m_strApp, &look, &setup);
        if (ok) {
            look.applyTo(grid_);
            // Slip columns carry no definitions: the set-up rows apply by
            // position (output and title), so the slips stay.
            for (int i = 0; i < setup.rows.size() && i + 1 < grid_.cols(); ++i) {
                grid_.setColHidden(i + 1, !setup.rows[i].output);
                grid_.setTextMatrix(0, i + 1, setup.rows[i].title);
            }
            m_iAddOrder = qint16(setup.addOrder == 1 ? 1 : 0);
            subRenumber(grid_, m_iAddOrder);
            applyLabelStyles(setup.labels, labels_);
            readPageSettingText(setup.pageText, &page_);
            page_.applyTo(*printer_);
            for (int i = 0; i < m_intLabelCount; ++i)
                showLabel(i);
            Form_Resize();
            grid_.autoSize(1, grid_.cols() - 1);
            showGrid();
        }
    }
    if (!ok) intShowMsg(QStringLiteral("E配置文件不存在或被破坏"));
    return ok;
}

// ---- closing ------------------------------------------------------------

void frmPrtABF::Form_Unload() {
    m_strApp.clear();
    m_iAddOrder = 0;
    m_iSimplePrint = 0;
    if (doc_.pageCount() >= 1) doc_.clear();
    // The report window's dialogs this window carried go with it.
    delete custom_;
    if (instance_ == this) instance_ = nullptr;
    deleteLater();
}

void frmPrtABF::done(int result) {
    if (!unloading_) {
        unloading_ = true;
        Form_Unload();
    }
    QDialog::done(result);
}
