#include "reader/frmRedrInfo.h"

#include "common/basAuth.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "common/basText.h"
#include "platform/oradb/SqlText.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Grid.h"
#include "platform/ui/NumberBox.h"
#include "platform/ui/Units.h"
#include "reader/ReaderContext.h"
#include "reader/frmRedrDetail.h"
#include "reader/frmRedrSearch.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

QPointer<frmRedrInfo> frmRedrInfo::instance_;

namespace {

const char* const kSummaryHeads[] = {"",     "条码号",   "证件号", "姓名",   "身份证号", "读者类型",
                                     "单位", "借阅等级", "职业",   "年级组", "系别",     ""};

struct DetailCell {
    int row;
    int col;
    const char* label;
    int value; // index in the summary
};
const DetailCell kDetailCells[] = {
    {1, 1, "条 码 号：", 0}, {1, 4, "姓    名：", 2}, {1, 7, "借阅等级：", 6},
    {3, 1, "证 件 号：", 1}, {3, 4, "读者类型：", 4}, {3, 7, "系    别：", 9},
    {5, 1, "身份证号：", 3}, {5, 4, "单    位：", 5}, {5, 7, "年 级 组：", 8},
};

const char* const kHistTip = "按 Insert 键可显示借阅历史备份表中的借阅历史记录";

} // namespace

frmRedrInfo* frmRedrInfo::form(QWidget* owner) {
    if (!instance_) instance_ = new frmRedrInfo(owner);
    return instance_;
}

bool frmRedrInfo::loaded() {
    return !instance_.isNull();
}

void frmRedrInfo::unload() {
    if (frmRedrInfo* f = instance_.data()) f->close();
}

frmRedrInfo::frmRedrInfo(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("frmRedrInfo"));
    setWindowTitle(QStringLiteral("读者信息查询"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1000, 680);

    cboQuery = new QComboBox(this);
    cboQuery->setObjectName(QStringLiteral("cboQuery"));
    txtQuery = new ui::NumberBox(QStringLiteral("txtQuery"), this);
    txtQuery->setKind(ui::NumberBox::Kind::Text);
    tbStandard = new ui::CommandBar(ui::CommandBar::Kind::ToolBar, QStringLiteral("tbStandard"), this);
    tbStandard->setRedraw(false);
    ui::CommandMenu* bar = tbStandard->addMenu(QStringLiteral("Standard"), QString());
    ui::CommandItem* field =
        tbStandard->addItem(QStringLiteral("cboQuery"), {}, QString(), ui::ItemStyle::Control);
    field->setControl(cboQuery, 120);
    ui::CommandItem* box =
        tbStandard->addItem(QStringLiteral("txtQuery"), {}, QString(), ui::ItemStyle::Control);
    box->setControl(txtQuery, 220);
    bar->append(field);
    bar->append(box);
    bar->append(tbStandard->addItem(QStringLiteral("Search"), {}, QStringLiteral("查询")));
    bar->append(tbStandard->addItem(QStringLiteral("General"), {}, QStringLiteral("通用证情况")));
    tbStandard->setActiveMenu(bar);
    tbStandard->setRedraw(true);

    auto* picInfo = new QFrame(this);
    picInfo->setObjectName(QStringLiteral("picInfo"));
    picInfo->setFrameShape(QFrame::StyledPanel);
    imgRedr = new QLabel(picInfo);
    imgRedr->setObjectName(QStringLiteral("imgRedr"));
    imgRedr->setFixedSize(90, 110);
    imgRedr->setFrameShape(QFrame::Box);
    vsRedr = new ui::FlexGrid(QStringLiteral("vsRedr"), picInfo);
    vsRedr->setFixedRows(0);
    vsRedr->setFixedCols(0);
    vsRedr->setRows(7);
    vsRedr->setCols(9);
    for (const DetailCell& d : kDetailCells)
        vsRedr->setTextMatrix(d.row, d.col, QString::fromUtf8(d.label));
    vsRedr->horizontalHeader()->hide();
    vsRedr->verticalHeader()->hide();
    vsRedr->setShowGrid(false);
    vsRedr->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vsRedr->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Spacer rows and gap columns are narrow; the value columns share the width.
    vsRedr->verticalHeader()->setMinimumSectionSize(4);
    for (int r = 0; r < 7; ++r)
        vsRedr->setRowHeight(r, r % 2 == 0 ? 120 : 330);
    for (int c = 0; c < 9; ++c) {
        if (c % 3 == 2)
            vsRedr->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
        else
            vsRedr->setColWidth(c, c % 3 == 0 ? 200 : 1000);
    }
    vsRedr->setFixedHeight(vsRedr->verticalHeader()->length() + 2 * vsRedr->frameWidth());
    auto* infoLayout = new QHBoxLayout(picInfo);
    infoLayout->setContentsMargins(2, 2, 2, 2);
    infoLayout->addWidget(imgRedr);
    infoLayout->addWidget(vsRedr, 1);

    vsRedrInfo = new ui::FlexGrid(QStringLiteral("vsRedrInfo"), this);
    vsRedrInfo->setFixedHeight(60);

    tbsRedrInfo = new QTabBar(this);
    tbsRedrInfo->setObjectName(QStringLiteral("tbsRedrInfo"));
    tbsRedrInfo->setExpanding(false);
    tbsRedrInfo->installEventFilter(this);

    fraDate = new QFrame(this);
    fraDate->setObjectName(QStringLiteral("fraDate"));
    cboLend = new QComboBox(fraDate);
    cboLend->setObjectName(QStringLiteral("cboLend"));
    dtpFrom = new ui::DatePicker(QStringLiteral("dtpFrom"), fraDate);
    dtpTo = new ui::DatePicker(QStringLiteral("dtpTo"), fraDate);
    auto* label1 = new QLabel(QStringLiteral("至"), fraDate);
    label1->setObjectName(QStringLiteral("Label1"));
    cmdRefresh = new QPushButton(QStringLiteral("刷新"), fraDate);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    auto* dateLayout = new QHBoxLayout(fraDate);
    dateLayout->setContentsMargins(0, 0, 0, 0);
    dateLayout->addWidget(cboLend);
    dateLayout->addWidget(dtpFrom);
    dateLayout->addWidget(label1);
    dateLayout->addWidget(dtpTo);
    dateLayout->addWidget(cmdRefresh);
    dateLayout->addStretch();
    fraDate->hide();

    vsInfo = new ui::FlexGrid(QStringLiteral("vsInfo"), this);
    vsInfo->installEventFilter(this);
    mnuPopup = new QMenu(this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuItem << mnuPopup->addAction(QString());
    mnuItem[0]->setVisible(false);

    auto* pages = new QVBoxLayout;
    pages->setSpacing(2);
    pages->addWidget(tbsRedrInfo);
    pages->addWidget(fraDate);
    pages->addWidget(vsInfo, 1);
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(4, 0, 4, 4);
    top->addWidget(tbStandard);
    top->addWidget(picInfo);
    top->addWidget(vsRedrInfo);
    top->addLayout(pages, 1);

    connect(txtQuery, &QLineEdit::returnPressed, this, &frmRedrInfo::txtQuery_Enter);
    connect(cboQuery, QOverload<int>::of(&QComboBox::activated), this, [this] { cboQuery_Click(); });
    connect(tbStandard, &ui::CommandBar::keyClicked, this, &frmRedrInfo::tbStandard_ButtonClick);
    connect(tbsRedrInfo, &QTabBar::currentChanged, this, [this] { tbsRedrInfo_Click(); });
    connect(cmdRefresh, &QPushButton::clicked, this, &frmRedrInfo::cmdRefresh_Click);
    for (ui::FlexGrid* grid : {vsInfo, vsRedrInfo}) {
        connect(grid->horizontalHeader(), &QHeaderView::sectionPressed, this, [this, grid](int section) {
            if (section == 0) subCornerClick(grid, QCursor::pos());
        });
    }
    connect(vsInfo->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (section > 0) subSortColumn(section);
    });
}

QString frmRedrInfo::currentKey() const {
    const int i = tbsRedrInfo->currentIndex();
    return i >= 0 ? tbsRedrInfo->tabData(i).toString() : QString();
}

void frmRedrInfo::pInitialize() {
    // Centred on the screen, as the other windows open.
    subCenterForm(this, false);
    // Summary grid: one header row; the type code and occupation hidden.
    vsRedrInfo->setRedraw(false);
    vsRedrInfo->setFixedCols(0);
    vsRedrInfo->setCols(12);
    vsRedrInfo->setRows(1);
    vsRedrInfo->setFixedRows(1);
    vsRedrInfo->setRowHeight(0, 300);
    vsRedrInfo->setColWidth(0, 300);
    for (int c = 0; c < 12; ++c)
        vsRedrInfo->setTextMatrix(0, c, QString::fromUtf8(kSummaryHeads[c]));
    for (int c = 0; c < 12; ++c)
        vsRedrInfo->setColHidden(c, c == 11 || c == 8);
    QFont font = vsRedrInfo->font();
    font.setPointSizeF(10.5);
    vsRedrInfo->setFont(font);
    vsRedrInfo->setRedraw(true);
    for (const DetailCell& d : kDetailCells)
        vsRedr->setTextMatrix(d.row, d.col + 1, QString());

    subInitTabs();
    subLoadRedrList();
    if (!instance_ || instance_.data() != this) return;

    txtQuery->clear();
    cboQuery->clear();
    cboQuery->addItems({g_strCertCaption[0], g_strRedrCaption[0], g_strRedrCaption[3], g_strRedrCaption[4]});
    cboQuery->setCurrentIndex(0);
    cboLend->clear();
    cboLend->addItems({QStringLiteral("借阅时间范围"), QStringLiteral("还书时间范围")});
    cboLend->setCurrentIndex(0);
    const QDate today = datServerToday();
    dtpTo->setDate(today);
    dtpFrom->setDate(today.addDays(-365));
    m_strQueryText.clear();
    subSetFont(vsInfo);
    tbStandard->setItemEnabled(QStringLiteral("General"), false);
}

void frmRedrInfo::subInitTabs() {
    {
        const QSignalBlocker block(tbsRedrInfo);
        while (tbsRedrInfo->count() > 0)
            tbsRedrInfo->removeTab(0);
        for (const RedrPageTab& t : redrPageTabs()) {
            const int i = tbsRedrInfo->addTab(QString::fromUtf8(t.caption));
            tbsRedrInfo->setTabData(i, QString::fromLatin1(t.key));
        }
        tbsRedrInfo->setCurrentIndex(kLendInfoTab);
    }
    m_blnTabsBuilt = true;
    tbsRedrInfo_Click();
}

void frmRedrInfo::subLoadRedrList() {
    if (g_strRedrID.isEmpty()) return;
    QStringList summary;
    if (intLoadRedrSummary(g_strRedrID, &summary) < 0) {
        intShowDBError();
        close();
        return;
    }
    vsRedrInfo->setRedraw(false);
    vsRedrInfo->setRows(2);
    for (int c = 1; c < 12; ++c)
        vsRedrInfo->setTextMatrix(1, c, summary.value(c - 1));
    vsRedrInfo->setRedraw(true);
    vsRedr->setRedraw(false);
    for (const DetailCell& d : kDetailCells)
        vsRedr->setTextMatrix(d.row, d.col + 1, summary.value(d.value));
    vsRedr->setRedraw(true);
    tbStandard->setItemEnabled(QStringLiteral("General"), false);
}

void frmRedrInfo::frmRedrInfoSet(const QString& certId, const QString& barcode) {
    g_strRedrID = certId;
    g_strRedrBarcode = barcode;
    subLoadRedrList();
    if (!instance_ || instance_.data() != this) return;
    if (tbsRedrInfo->currentIndex() == kLendInfoTab)
        tbsRedrInfo_Click();
    else
        tbsRedrInfo->setCurrentIndex(kLendInfoTab);
}

void frmRedrInfo::txtQuery_Enter() {
    // A NUL a scanner sent is no text (no statement could carry it).
    QString text = oradb::sqltext::sendableText(txtQuery->text()).trimmed().toUpper();
    txtQuery->setText(text);
    if (text.isEmpty()) return;
    {
        ui::BusyCursor busy;
        switch (cboQuery->currentIndex()) {
        case SeekByBarcode:
            if (g_intBarRuleUsed == 1) {
                text = strApplyBarReadRule(text);
                if (text.isEmpty()) return;
                txtQuery->setText(text);
            }
            subSeekRedrByBarcode(text, this);
            break;
        case SeekByCertId:
            subSeekRedrByCertId(text, this);
            break;
        case SeekByIdCard:
            subSeekRedrByIdCard(text, this);
            break;
        case SeekByName:
            subSeekRedrByName(text, this);
            break;
        default:
            break;
        }
    }
    if (!instance_ || instance_.data() != this) return;
    m_strQueryText = txtQuery->text();
    txtQuery->selectAll();
    txtQuery->setFocus();
}

void frmRedrInfo::tbStandard_ButtonClick(const QString& key) {
    if (key != QLatin1String("Search")) return;
    if (!txtQuery->text().trimmed().isEmpty())
        txtQuery_Enter();
    else
        cmdRedrQuery_Click();
}

void frmRedrInfo::cboQuery_Click() {
    txtQuery->clear();
    m_strQueryText.clear();
}

void frmRedrInfo::cmdRedrQuery_Click() {
    const QString text = txtQuery->text();
    if (g_intRedrSearchOn == 1 && !(text == m_strQueryText && !text.isEmpty())) frmRedrSearch::unload();
    QPointer<frmRedrSearch> dialog = frmRedrSearch::form(this);
    dialog->idxCbo = cboQuery->currentIndex();
    dialog->txtCbo = text;
    dialog->showModal();
    if (!dialog || !frmRedrSearch::exists() || !dialog->m_blnIfSelect) return;
    g_strRedrID = dialog->m_strRedrID;
    g_strRedrBarcode = dialog->m_strRedrBarcode;
    subLoadRedrList();
    if (!instance_ || instance_.data() != this) return;
    ui::BusyCursor busy;
    if (tbsRedrInfo->currentIndex() == kLendInfoTab)
        tbsRedrInfo_Click();
    else
        tbsRedrInfo->setCurrentIndex(kLendInfoTab);
}

void frmRedrInfo::subInitInfoGrid(const QString& key) {
    m_page = RedrPage();
    m_page.key = key;
    m_page.captions = strRedrPageCaptions(key);
    vsInfo->setRedraw(false);
    vsInfo->clearContents();
    vsInfo->setCols(m_page.cols());
    vsInfo->setRows(1);
    vsInfo->setFixedRows(1);
    vsInfo->setFixedCols(0);
    vsInfo->setRowHeight(0, 300);
    vsInfo->setColWidth(0, 300);
    vsInfo->setRow(0);
    vsInfo->setCol(0);
    for (int c = 0; c < m_page.cols(); ++c) {
        vsInfo->setTextMatrix(0, c, m_page.captions[c]);
        vsInfo->setColHidden(c, false);
        if (c > 0) vsInfo->setColWidth(c, 1300);
    }
    vsInfo->horizontalHeader()->setSortIndicatorShown(false);
    m_intSortCol = -1;
    vsInfo->setRedraw(true);
}

void frmRedrInfo::subPaintPage(int fromRow) {
    vsInfo->setRedraw(false);
    vsInfo->setRows(int(m_page.rows.size()) + 1);
    const int cols = vsInfo->cols();
    for (int r = fromRow; r < m_page.rows.size(); ++r) {
        const RedrPageRow& row = m_page.rows[r];
        for (int c = 0; c < cols; ++c)
            vsInfo->setTextMatrix(r + 1, c, row.cells.value(c));
        if (cols > 1) {
            if (row.fore != redrpage::kNone)
                vsInfo->setCellForeColor(r + 1, 1, r + 1, cols - 1, ui::units::colorFromNumber(row.fore));
            if (row.back != redrpage::kNone)
                vsInfo->setCellBackColor(r + 1, 1, r + 1, cols - 1, ui::units::colorFromNumber(row.back));
        }
    }
    vsInfo->setRedraw(true);
}

RedrHistRange frmRedrInfo::varHistRange() const {
    return RedrHistRange{dtpFrom->value(), dtpTo->value(), cboLend->currentIndex() == 1 ? 1 : 0};
}

void frmRedrInfo::tbsRedrInfo_Click() {
    if (!m_blnTabsBuilt) return;
    const QString key = currentKey();
    subInitInfoGrid(key);
    const bool history = key == QLatin1String("LendHistoryInfo");
    fraDate->setVisible(history);
    tbsRedrInfo->setToolTip(history ? QString::fromUtf8(kHistTip) : QString());
    if (g_strRedrID.isEmpty()) return;
    m_strHistBakRedr.clear();
    ui::BusyCursor busy;
    intLoadRedrPage(key, g_strRedrID, varHistRange(), &m_page);
    subPaintPage(0);
    tbsRedrInfo->update();
}

void frmRedrInfo::cmdRefresh_Click() {
    ui::BusyCursor busy;
    RedrPage fresh;
    if (intLoadRedrPage(QStringLiteral("LendHistoryInfo"), g_strRedrID, varHistRange(), &fresh) < 0) return;
    m_page = fresh;
    vsInfo->setRedraw(false);
    vsInfo->setRows(1);
    vsInfo->horizontalHeader()->setSortIndicatorShown(false);
    m_intSortCol = -1;
    subPaintPage(0);
}

void frmRedrInfo::subInsertKey() {
    if (currentKey() != QLatin1String("LendHistoryInfo") || m_strHistBakRedr == g_strRedrID) return;
    m_strHistBakRedr = g_strRedrID;
    const int shown = int(m_page.rows.size());
    ui::BusyCursor busy;
    if (intLoadLendHistoryBak(g_strRedrID, varHistRange(), &m_page) == 0 && m_page.rows.size() > shown)
        subPaintPage(shown);
}

void frmRedrInfo::subBuildColumnMenu(ui::FlexGrid* grid) {
    subClearColumnMenu();
    m_objMenuGrid = grid;
    for (int c = 1; c < grid->cols(); ++c) {
        const QString caption = grid->textMatrix(0, c);
        if (caption.isEmpty()) continue;
        QAction* item = mnuPopup->addAction(caption);
        item->setCheckable(true);
        item->setChecked(!grid->colHidden(c));
        const int index = int(mnuItem.size());
        connect(item, &QAction::triggered, this, [this, index] { mnuItem_Click(index); });
        mnuItem << item;
    }
    mnuItem[0]->setVisible(false);
}

void frmRedrInfo::subClearColumnMenu() {
    while (mnuItem.size() > 1)
        delete mnuItem.takeLast();
}

void frmRedrInfo::mnuItem_Click(int index) {
    if (index < 1 || index >= mnuItem.size() || !m_objMenuGrid) return;
    // The item's own click has toggled its mark.
    QAction* item = mnuItem[index];
    ui::FlexGrid* grid = m_objMenuGrid;
    int col = 0;
    for (int c = 1; c < grid->cols(); ++c)
        if (grid->textMatrix(0, c) == item->text()) col = c;
    if (col > 0) grid->setColHidden(col, !item->isChecked());
}

void frmRedrInfo::subCornerClick(ui::FlexGrid* grid, const QPoint& globalPos) {
    if (grid == vsInfo) m_blnSortOn = false;
    subBuildColumnMenu(grid);
    mnuPopup->exec(globalPos);
    subClearColumnMenu();
    if (grid == vsInfo) m_blnSortOn = true;
}

void frmRedrInfo::subSortColumn(int col) {
    if (!m_blnSortOn || col < 1 || col >= vsInfo->cols() || vsInfo->rows() < 2) return;
    m_blnSortAsc = m_intSortCol == col ? !m_blnSortAsc : true;
    m_intSortCol = col;
    vsInfo->sort(col, m_blnSortAsc);
    vsInfo->horizontalHeader()->setSortIndicatorShown(true);
    vsInfo->horizontalHeader()->setSortIndicator(col,
                                                 m_blnSortAsc ? Qt::AscendingOrder : Qt::DescendingOrder);
}

bool frmRedrInfo::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == vsInfo || watched == tbsRedrInfo) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert) {
        subInsertKey();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmRedrInfo::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // In the main window the child frame activates, not this window: follow it.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()); frame && frame != frame_) {
        if (frame_) disconnect(frame_, nullptr, this, nullptr);
        frame_ = frame;
        connect(frame, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates before, Qt::WindowStates now) {
                    if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive)) txtQuery->setFocus();
                });
    }
    txtQuery->setFocus();
}

void frmRedrInfo::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
        if (!frame || frame->mdiArea() == nullptr || frame->mdiArea()->activeSubWindow() == frame)
            txtQuery->setFocus();
    }
    QWidget::changeEvent(event);
}

void frmRedrInfo::closeEvent(QCloseEvent* event) {
    if (g_intRedrSearchOn == 1) frmRedrSearch::unload();
    if (instance_.data() == this) instance_ = nullptr;
    QWidget::closeEvent(event);
}
