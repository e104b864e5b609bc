#include "biblio/frmBookInfo.h"

#include "biblio/BookSearch.h"
#include "biblio/frmMarcNoSeek.h"
#include "common/basCodeFunc.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMarcIdx.h"
#include "common/basMarcList.h"
#include "common/basMsg.h"
#include "common/basText.h"
#include "platform/text/IniFile.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Grid.h"
#include "platform/ui/NumberBox.h"
#include "platform/ui/Units.h"
#include "shell/basShellIni.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QStyledItemDelegate>
#include <QToolBar>

#include <cmath>
#include <QVBoxLayout>

DBResultSet g_varBookHits;
QPointer<frmBookInfo> frmBookInfo::instance_;

using namespace biblio;

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kQuickList = QStringLiteral("QuickList");

// Grid look shared by the record list and the tab grids.
void subGridLook(ui::FlexGrid* g, int cols, const QStringList& headers)
{
    g->setRedraw(false);
    g->clearContents();
    g->setRows(1);
    g->setCols(cols);
    g->setFixedRows(1);
    g->setFixedCols(0);
    g->setRowHeight(0, 300);
    g->setColWidth(0, 300);
    for (int c = 1; c < cols; ++c) {
        g->setColWidth(c, 1890);
        g->setTextMatrix(0, c, headers.value(c - 1));
    }
    g->setTextMatrix(0, 0, QString());
    g->setRedraw(true);
}

// The card's value cells open a read-only editor, so their text can be selected
// and copied; nothing typed there is kept.
class CardCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.column() % 3 != 2)
            return nullptr;
        auto* box = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
        if (box)
            box->setReadOnly(true);
        return box;
    }
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
};

} // namespace

int frmBookInfo::intCardValueWidth(int cardWidth, int labelWidth)
{
    return int(std::nearbyint((cardWidth - 3 * labelWidth - 1150) / 3.0));
}

int frmBookInfo::intCardGapHeight(int cardHeight, int row1Height)
{
    return int(std::nearbyint((cardHeight - 400 - 3 * row1Height) / 2.0));
}

frmBookInfo* frmBookInfo::form(QWidget* owner)
{
    if (!instance_)
        instance_ = new frmBookInfo(owner);
    return instance_;
}

frmBookInfo* frmBookInfo::instance() { return instance_; }

frmMarcNoSeek* frmBookInfo::seekForm() const { return seek_; }

void frmBookInfo::unload()
{
    delete instance_.data();
}

frmBookInfo::frmBookInfo(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmBookInfo"));
    setWindowTitle(QStringLiteral("书刊信息"));
    buildUi();
    resize(960, 680);
}

void frmBookInfo::buildUi()
{
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(5, 2, 5, 5);

    tbStandard = new QToolBar(this);
    tbStandard->setObjectName(QStringLiteral("tbStandard"));
    cboQuickSearch = new QComboBox(this);
    cboQuickSearch->setObjectName(QStringLiteral("cboQuickSearch"));
    txtQuickSearch = new QLineEdit(this);
    txtQuickSearch->setObjectName(QStringLiteral("txtQuickSearch"));
    txtQuickSearch->setMinimumWidth(ui::units::twipsToPixels(2245));
    QAction* search = tbStandard->addAction(QStringLiteral("查询"));
    search->setObjectName(QStringLiteral("Search"));
    connect(search, &QAction::triggered, this, [this] { tbStandard_ButtonClick(QStringLiteral("Search")); });
    // The combined search also opens with a quick-search text, which presets its first row.
    QAction* seek = tbStandard->addAction(QStringLiteral("组合检索"));
    seek->setObjectName(QStringLiteral("BookSeek"));
    connect(seek, &QAction::triggered, this, [this] { tbStandard_ButtonClick(QStringLiteral("BookSeek")); });
    tbStandard->addWidget(cboQuickSearch);
    tbStandard->addWidget(txtQuickSearch);
    chkOnly = new QCheckBox(this);
    chkOnly->setObjectName(QStringLiteral("chkOnly"));
    tbStandard->addWidget(chkOnly);
    tbStandard->addSeparator();
    tbStandard->addWidget(new QLabel(QStringLiteral("跳至第"), this));
    txtNum = new ui::NumberBox(QStringLiteral("txtNum"), this);
    txtNum->setMask(QStringLiteral("######"));
    txtNum->setMaximumWidth(80);
    tbStandard->addWidget(txtNum);
    tbStandard->addWidget(new QLabel(QStringLiteral("行"), this));
    root->addWidget(tbStandard);

    vsBook = new ui::FlexGrid(QStringLiteral("vsBook"), this);
    vsBook->setFixedHeight(ui::units::twipsToPixels(1410));
    vsBook->setRows(7);
    vsBook->setCols(10);
    vsBook->setFixedRows(0);
    vsBook->setFixedCols(0);
    vsBook->setShowGrid(false);
    const char* labels[3][3] = {{"题    名：", "文献类型：", "MARC类型："},
                                {"责 任 者：", "语种代码：", "索 书 号："},
                                {"出 版 社：", "国家代码：", "记录状态："}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            vsBook->setTextMatrix(1 + 2 * r, 1 + 3 * c, QString::fromUtf8(labels[r][c]));
    }
    // Labels and text rows as wide and high as the font asks, at least the
    // card's own 1000 and 255 twips; the margin and spacer rows may be lower
    // than a text line.
    vsBook->verticalHeader()->setMinimumSectionSize(1);
    int labelWidth = 0;
    for (const auto& row : labels) {
        for (const char* label : row)
            labelWidth = qMax(labelWidth, vsBook->fontMetrics().horizontalAdvance(QString::fromUtf8(label)));
    }
    labelWidth = qMax(1000, ui::units::pixelsToTwips(labelWidth + 8));
    for (int c : {0, 3, 6, 9})
        vsBook->setColWidth(c, 200);
    for (int c : {1, 4, 7})
        vsBook->setColWidth(c, labelWidth);
    for (int r : {0, 6})
        vsBook->setRowHeight(r, 200);
    const int textHeight = qMax(255, ui::units::pixelsToTwips(vsBook->fontMetrics().height() + 4));
    for (int r : {1, 3, 5})
        vsBook->setRowHeight(r, textHeight);
    vsBook->setItemDelegate(new CardCellDelegate(vsBook));
    connect(vsBook, &QTableWidget::cellPressed, this, [this](int r, int c) {
        if (c % 3 != 2)
            return;
        vsBook->setEditable(true);
        vsBook->setRow(r);
        vsBook->setCol(c);
        vsBook->editCell();
    });
    root->addWidget(vsBook);
    vsBook->viewport()->installEventFilter(this);

    vsBookInfo = new ui::FlexGrid(QStringLiteral("vsBookInfo"), this);
    vsBookInfo->setFixedHeight(ui::units::twipsToPixels(1650));
    vsBookInfo->setSelectionMode(1);
    root->addWidget(vsBookInfo);

    auto* other = new QFrame(this);
    other->setObjectName(QStringLiteral("picOtherInfo"));
    auto* page = new QVBoxLayout(other);
    page->setContentsMargins(2, 2, 2, 2);
    tbsBookInfo = new QTabBar(other);
    tbsBookInfo->setObjectName(QStringLiteral("tbsBookInfo"));
    tbsBookInfo->setExpanding(false);
    page->addWidget(tbsBookInfo);

    auto* opts = new QWidget(other);
    opts->setObjectName(QStringLiteral("optRow"));
    auto* optLayout = new QHBoxLayout(opts);
    optLayout->setContentsMargins(0, 0, 0, 0);
    const char* optCaptions[2] = {"同种书刊", "复本情况"};
    for (int i = 0; i < 2; ++i) {
        optInfo[i] = new QRadioButton(QString::fromUtf8(optCaptions[i]), opts);
        optInfo[i]->setObjectName(QStringLiteral("optInfo%1").arg(i));
        optLayout->addWidget(optInfo[i]);
        connect(optInfo[i], &QRadioButton::clicked, this, [this, i] { optInfo_Click(i); });
    }
    optLayout->addStretch();
    optInfo[1]->setChecked(true);
    page->addWidget(opts);

    fraDate = new QFrame(other);
    fraDate->setObjectName(QStringLiteral("fraDate"));
    auto* dateLayout = new QHBoxLayout(fraDate);
    dateLayout->setContentsMargins(0, 0, 0, 0);
    cboLend = new QComboBox(fraDate);
    cboLend->setObjectName(QStringLiteral("cboLend"));
    dtpFrom = new ui::DateBox(QStringLiteral("dtpFrom"), fraDate);
    dtpTo = new ui::DateBox(QStringLiteral("dtpTo"), fraDate);
    cmdRefresh = new QPushButton(QStringLiteral("刷新"), fraDate);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    dateLayout->addWidget(cboLend);
    dateLayout->addWidget(dtpFrom);
    dateLayout->addWidget(new QLabel(QStringLiteral("至"), fraDate));
    dateLayout->addWidget(dtpTo);
    dateLayout->addWidget(cmdRefresh);
    dateLayout->addStretch();
    page->addWidget(fraDate);

    stkPage = new QStackedWidget(other);
    vsInfo = new ui::FlexGrid(QStringLiteral("vsInfo"), stkPage);
    vsItemInfo = new ui::FlexGrid(QStringLiteral("vsItemInfo"), stkPage);
    txtMarc = new QPlainTextEdit(stkPage);
    txtMarc->setObjectName(QStringLiteral("txtMarc"));
    // One editable text cell: the worker may mark, copy and even type in the
    // MARC text; nothing typed is stored, and the next tab change rebuilds it.
    txtMarc->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtMarc->viewport()->installEventFilter(this);
    stkPage->addWidget(vsInfo);
    stkPage->addWidget(vsItemInfo);
    stkPage->addWidget(txtMarc);
    page->addWidget(stkPage, 1);
    root->addWidget(other, 1);

    mnuPopup = new QMenu(this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));

    connect(cboQuickSearch, qOverload<int>(&QComboBox::activated), this, [this](int) { cboQuickSearch_Click(); });
    connect(txtQuickSearch, &QLineEdit::returnPressed, this, &frmBookInfo::txtQuickSearch_Enter);
    connect(txtNum, &QLineEdit::returnPressed, this, &frmBookInfo::txtNum_Enter);
    connect(chkOnly, &QCheckBox::clicked, this, &frmBookInfo::chkOnly_Click);
    connect(vsBookInfo, &QTableWidget::cellClicked, this, [this](int, int) { vsBookInfo_RowReaction(); });
    // Scrolled to the end of the listed records, or their last row reached
    // (arrow keys, Page Down, Ctrl+End, a click): the next page of them.
    connect(vsBookInfo->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value > 0 && value == vsBookInfo->verticalScrollBar()->maximum())
            subReadHitPage();
    });
    connect(vsBookInfo, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row > 0 && row != previous && row == vsBookInfo->rows() - 1)
            subReadHitPage();
    });
    connect(tbsBookInfo, &QTabBar::currentChanged, this, [this](int) { tbsBookInfo_Click(); });
    connect(cmdRefresh, &QPushButton::clicked, this, &frmBookInfo::cmdRefresh_Click);
    vsBookInfo->installEventFilter(this);
    tbsBookInfo->installEventFilter(this);
    vsInfo->installEventFilter(this);
    txtQuickSearch->installEventFilter(this);
    for (ui::FlexGrid* g : {vsBookInfo, vsInfo, vsItemInfo})
        g->horizontalHeader()->viewport()->installEventFilter(this);
}

// ---- set-up ----------------------------------------------------------------------------

void frmBookInfo::pInitialize()
{
    if (QScreen* screen = QApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - rect().center());
    }
    blnClosing = false;
    ++fillGeneration_; // a fill still running from before stops
    hitPages_ = BookHitPages();
    subInitList();
    subInitTabs();
    varLoadMarcIdxIni();
    if (!m_strMarcNo.isEmpty()) {
        subLoadMarcList(QStringLiteral(" SELECT marc_rec_no FROM marc WHERE marc_rec_no = ") + strSQLQuote(m_strMarcNo), 0);
        sumIndex_.rebuild();
        vsBookInfo->setRows(2);
        subAddBookRow(1);
        vsBookInfo->select(1, 0, 1, 11);
    }
    strQuickText.clear();
    strSeekText.clear();
    cboQuickSearch->clear();
    for (int i = 0; i < g_intIdxGroupCount && i < g_arrIdxGroup.size(); ++i)
        cboQuickSearch->addItem(g_arrIdxGroup[i].caption);
    // A stored choice that is no number or lies past the groups takes the first group.
    bool ok = false;
    int stored = text::getSetting(strProgramTitle(), kSettings, kQuickList, QStringLiteral("0")).trimmed().toInt(&ok);
    if (!ok || stored < 0 || stored >= cboQuickSearch->count())
        stored = 0;
    cboQuickSearch->setCurrentIndex(cboQuickSearch->count() > 0 ? stored : -1);
    cboQuickSearch_Click();
    cboLend->clear();
    cboLend->addItems({QStringLiteral("借阅时间范围"), QStringLiteral("还书时间范围")});
    cboLend->setCurrentIndex(0);
    dtpTo->setDate(datServerToday());
    dtpFrom->setDate(dtpTo->date().addDays(-365));
    txtQuickSearch->clear();
    txtQuickSearch->setMaxLength(g_intIdxContLen > 0 ? g_intIdxContLen : 60);
    for (QWidget* w : {static_cast<QWidget*>(vsBookInfo), static_cast<QWidget*>(vsInfo),
                       static_cast<QWidget*>(vsItemInfo), static_cast<QWidget*>(txtMarc)})
        subSetFont(w);
    // The record current at the last closing: its card, the holdings tab, then tab 1.
    if (vsBookInfo->rows() > 1)
        vsBookInfo_RowReaction();
    subSelectTab(0);
    if (vsBookInfo->rows() <= 1) {
        vsBookInfo->setCurrentCell(-1, -1);
        vsBookInfo->clearSelection();
    }
}

void frmBookInfo::subInitList()
{
    subGridLook(vsBookInfo, 12, strBookListHeaders().mid(1));
    vsBookInfo->setColHidden(11, true);
}

void frmBookInfo::subInitTabs()
{
    const QSignalBlocker block(tbsBookInfo);
    while (tbsBookInfo->count() > 0)
        tbsBookInfo->removeTab(0);
    for (const TabDef& t : tabDefs()) {
        const int i = tbsBookInfo->addTab(t.caption);
        tbsBookInfo->setTabData(i, t.key);
    }
    tbsBookInfo->setCurrentIndex(0);
}

// ---- the list -----------------------------------------------------------------------------

void frmBookInfo::subAddBookRow(int row)
{
    const QStringList texts = strBookRowTexts(sumIndex_.find(m_strMarcNo));
    vsBookInfo->setTextMatrix(row, 0, QString::number(row));
    for (int c = 0; c < 10; ++c)
        vsBookInfo->setTextMatrix(row, c + 1, texts[c]);
    vsBookInfo->setTextMatrix(row, 11, m_strMarcNo);
}

void frmBookInfo::subClearList()
{
    vsBookInfo->clearContents();
    vsBookInfo->setRows(1);
    for (int c = 1; c < 12; ++c)
        vsBookInfo->setTextMatrix(0, c, strBookListHeaders().value(c));
}

void frmBookInfo::frmBookInfoSet(const QString& chosen)
{
    int chosenRow = 0;
    if (!subAppendHits(chosen, &chosenRow) || vsBookInfo->rows() < 2)
        return;
    const int row = chosenRow > 0 ? chosenRow : 1;
    vsBookInfo->select(row, 0, row, 11);
    vsBookInfo_RowReaction();
}

bool frmBookInfo::subAppendHits(const QString& chosen, int* chosenRow)
{
    const int hits = g_varBookHits.rowCount();
    const int first = vsBookInfo->rows();
    sumIndex_.rebuild();
    vsBookInfo->setRows(first + hits);
    filling_ = true;
    const int generation = ++fillGeneration_;
    for (int i = 0; i < hits; ++i) {
        QCoreApplication::processEvents();
        if (blnClosing || generation != fillGeneration_) {
            filling_ = false;
            return false;
        }
        m_strMarcNo = g_varBookHits.text(i, 0);
        subAddBookRow(first + i);
        if (!chosen.isEmpty() && *chosenRow == 0 && m_strMarcNo == chosen)
            *chosenRow = first + i;
    }
    filling_ = false;
    return true;
}

bool frmBookInfo::subReadHitPage(int upTo)
{
    if (filling_ || hitPages_.complete())
        return false;
    const int from = hitPages_.listed();
    int added = 0;
    {
        ui::BusyCursor wait;
        added = hitPages_.next(upTo);
    }
    if (added < 0) {
        intShowDBError();
        return false;
    }
    if (added == 0)
        return false;
    // The rows go below the listed ones; the current record stays current.
    const QString current = m_strMarcNo;
    g_varBookHits = hitPages_.hits(from);
    const bool whole = subAppendHits(QString(), nullptr);
    if (whole)
        m_strMarcNo = current;
    return whole;
}

void frmBookInfo::vsBookInfo_RowReaction()
{
    const int row = vsBookInfo->row();
    if (row < 1 || row >= vsBookInfo->rows())
        return;
    m_strMarcNo = vsBookInfo->textMatrix(row, 11);
    {
        const QSignalBlocker block(tbsBookInfo);
        tbsBookInfo->setCurrentIndex(1);
    }
    subShowBookCard();
    tbsBookInfo_Click();
}

void frmBookInfo::subShowBookCard()
{
    const int row = vsBookInfo->row();
    const int cols[9] = {1, 5, 8, 2, 6, 9, 3, 7, 10};
    for (int i = 0; i < 9; ++i)
        vsBook->setTextMatrix(1 + 2 * (i / 3), 2 + 3 * (i % 3), vsBookInfo->textMatrix(row, cols[i]));
}

void frmBookInfo::txtNum_Enter()
{
    // The last row is that of the last record found; rows not yet listed are
    // read up to the one asked for.
    const int listed = vsBookInfo->rows() - 1;
    int n = intClampRowNumber(txtNum->text(), listed + hitPages_.unlisted());
    if (n > listed) {
        subReadHitPage(n);
        n = qMin(n, vsBookInfo->rows() - 1);
    }
    if (n < 1)
        return;
    vsBookInfo->clearSelection();
    vsBookInfo->select(n, 1);
}

// ---- searches -------------------------------------------------------------------------------

QString frmBookInfo::strQuickGroupCode() const
{
    const int i = cboQuickSearch->currentIndex();
    if (i < 0 || i >= g_intIdxGroupCount || i >= g_arrIdxGroup.size())
        return {};
    return g_arrIdxGroup[i].code;
}

void frmBookInfo::txtQuickSearch_Enter()
{
    if (filling_)
        return;
    int count = 0;
    {
        ui::BusyCursor wait;
        QString shown;
        const QString code = strQuickGroupCode();
        BookHitPages pages;
        count = intQuickSearch(code, txtQuickSearch->text(), pages, &shown);
        if (code == QLatin1String("05") && !shown.isEmpty()) {
            txtQuickSearch->setText(shown);
            txtQuickSearch->deselect();
        }
        // The first page; the list shown so far stays when nothing was found.
        if (count > 0) {
            hitPages_ = pages;
            g_varBookHits = hitPages_.hits();
        }
    }
    if (count > 0) {
        subClearList();
        frmBookInfoSet();
        txtNum->setText(QStringLiteral("1"));
        strQuickText = txtQuickSearch->text().trimmed().toUpper();
    } else {
        intShowMsg(QStringLiteral("IBM001"));
    }
}

void frmBookInfo::tbStandard_ButtonClick(const QString& key)
{
    if (key == QLatin1String("BookSeek")) {
        cmdBookSeek_Click();
        return;
    }
    if (key != QLatin1String("Search"))
        return;
    if (!txtQuickSearch->text().trimmed().isEmpty())
        txtQuickSearch_Enter();
    else
        cmdBookSeek_Click();
}

void frmBookInfo::cmdBookSeek_Click()
{
    if (filling_)
        return;
    if (seek_ && g_intMarcSeekOn == 0)
        delete seek_.data(); // unloaded by its cancel or its frame
    if (g_intMarcSeekOn == 1 && seek_) {
        strSeekText = txtQuickSearch->text().trimmed().toUpper();
        if (strQuickText != strSeekText || (strQuickText.isEmpty() && strSeekText.isEmpty())) {
            strQuickText = strSeekText;
            delete seek_.data();
        }
    }
    if (!seek_)
        seek_ = new frmMarcNoSeek(this);
    strChosenNo.clear();
    ui::DialogService::current().execDialog(seek_);
    if (!seek_ || !yesSel)
        return;
    // The records the dialog listed, with their summaries; the rest follow
    // here as the worker scrolls.
    g_varBookHits = seek_->varBookLst;
    hitPages_ = seek_->hitPages();
    g_arrBookSum = hitPages_.summaryList();
    subClearList();
    frmBookInfoSet(strChosenNo);
    if (g_varBookHits.rowCount() > 1)
        txtNum->setText(QStringLiteral("1"));
    subSelectTab(0);
}

void frmBookInfo::cboQuickSearch_Click()
{
    strQuickText.clear();
    strSeekText.clear();
    txtQuickSearch->selectAll();
    const QString code = strQuickGroupCode();
    chkOnly->setVisible(false);
    if (code == QLatin1String("92")) {
        chkOnly->setText(QStringLiteral("仅显示本财产相关流通信息"));
        chkOnly->setVisible(true);
    } else if (code == QLatin1String("93")) {
        chkOnly->setText(QStringLiteral("仅显示本条码相关流通信息"));
        chkOnly->setVisible(true);
    }
}

void frmBookInfo::chkOnly_Click() { tbsBookInfo_Click(); }

// ---- tabs ----------------------------------------------------------------------------------

QString frmBookInfo::strSelectedTabKey() const
{
    return tbsBookInfo->tabData(tbsBookInfo->currentIndex()).toString();
}

void frmBookInfo::subSelectTab(int index)
{
    {
        const QSignalBlocker block(tbsBookInfo);
        tbsBookInfo->setCurrentIndex(index);
    }
    tbsBookInfo_Click();
}

TabQuery frmBookInfo::varTabQuery() const
{
    TabQuery q;
    q.marcNo = m_strMarcNo;
    // The filter applies while the box shows (groups 92 and 93) and is ticked.
    q.copyFilter = strCopyFilterSQL(strQuickGroupCode(), !chkOnly->isHidden() && chkOnly->isChecked(),
                                    txtQuickSearch->text());
    q.lendRange = cboLend->currentIndex() == 0 ? 0 : 1;
    q.from = dtpFrom->date();
    q.to = dtpTo->date();
    // The server date, read for the tabs that mark expired rows.
    const QString key = strSelectedTabKey();
    if (key == QLatin1String("PregInfo") || key == QLatin1String("PregArri") || key == QLatin1String("ReleInfo"))
        q.today = varGetSysInfo(1).toString();
    return q;
}

void frmBookInfo::tbsBookInfo_Click()
{
    const QString key = strSelectedTabKey();
    subArrangePage(key);
    subInitTabGrid(key);
    tbsBookInfo->setToolTip(key == QLatin1String("LendHistory")
                                ? QStringLiteral("按 Insert 键可显示借阅历史备份表中的借阅历史记录")
                                : QString());
    marcText_.clear();
    txtMarc->clear();
    if (m_strMarcNo.isEmpty())
        return;
    strBakMarcNo.clear();
    ui::BusyCursor wait;
    TabResult r;
    intLoadTab(key, varTabQuery(), r);
    if (key == QLatin1String("MarcInfo")) {
        marcText_ = r.marcText;
        // The subfield mark (character 31) is drawn as a visible sign.
        QString shown = r.marcText;
        shown.replace(QChar(31), QChar(0x241F));
        txtMarc->setPlainText(shown);
        return;
    }
    subPaint(vsInfo, r.info);
    if (key == QLatin1String("CallNoInfo"))
        subPaint(vsItemInfo, r.items);
}

void frmBookInfo::subArrangePage(const QString& key)
{
    const bool holdings = key == QLatin1String("CallNoInfo");
    optInfo[0]->parentWidget()->setVisible(holdings);
    fraDate->setVisible(key == QLatin1String("LendHistory"));
    if (key == QLatin1String("MarcInfo"))
        stkPage->setCurrentWidget(txtMarc);
    else if (holdings && optInfo[1]->isChecked())
        stkPage->setCurrentWidget(vsItemInfo);
    else
        stkPage->setCurrentWidget(vsInfo);
}

void frmBookInfo::subInitTabGrid(const QString& key)
{
    const QStringList headers = tabHeaders(key);
    subGridLook(vsInfo, int(headers.size()) + 1, headers);
    for (int c = 1; c < vsInfo->cols(); ++c)
        vsInfo->setColHidden(c, false);
    if (key == QLatin1String("CallNoInfo")) {
        // Columns hidden with the chooser stay hidden on the copy grid.
        QVector<bool> hidden;
        for (int c = 0; c < vsItemInfo->cols(); ++c)
            hidden << vsItemInfo->colHidden(c);
        subGridLook(vsItemInfo, int(itemInfoHeaders().size()) + 1, itemInfoHeaders());
        for (int c = 0; c < hidden.size() && c < vsItemInfo->cols(); ++c)
            vsItemInfo->setColHidden(c, hidden[c]);
    }
}

void frmBookInfo::subPaint(ui::FlexGrid* grid, const TabRows& rows, int firstRow)
{
    grid->setRedraw(false);
    grid->setRows(firstRow + rows.count());
    const int last = grid->cols() - 1;
    for (int r = 0; r < rows.count(); ++r) {
        const int row = firstRow + r;
        for (int c = 0; c <= last && c < rows.cols; ++c)
            grid->setTextMatrix(row, c, rows.cells[r][c]);
        if (rows.fore[r] >= 0)
            grid->setCellForeColor(row, 1, row, last, ui::units::colorFromNumber(rows.fore[r]));
        if (rows.back[r] >= 0)
            grid->setCellBackColor(row, 1, row, last, ui::units::colorFromNumber(rows.back[r]));
    }
    grid->setRedraw(true);
}

void frmBookInfo::tbsBookInfo_InsertKey()
{
    if (strSelectedTabKey() != QLatin1String("LendHistory") || strBakMarcNo == m_strMarcNo)
        return;
    strBakMarcNo = m_strMarcNo;
    ui::BusyCursor wait;
    TabRows rows;
    if (intLoadLendHistoryBak(varTabQuery(), vsInfo->rows(), rows) == 0 && rows.count() > 0)
        subPaint(vsInfo, rows, vsInfo->rows());
}

void frmBookInfo::cmdRefresh_Click()
{
    if (m_strMarcNo.isEmpty() || strSelectedTabKey() != QLatin1String("LendHistory"))
        return;
    ui::BusyCursor wait;
    TabResult r;
    const QString key = QStringLiteral("LendHistory");
    subGridLook(vsInfo, int(tabHeaders(key).size()) + 1, tabHeaders(key));
    intLoadTab(key, varTabQuery(), r);
    subPaint(vsInfo, r.info);
}

void frmBookInfo::optInfo_Click(int index)
{
    optInfo[index]->setChecked(true);
    stkPage->setCurrentWidget(index == 0 ? vsInfo : vsItemInfo);
}

// ---- column chooser ----------------------------------------------------------------------

void frmBookInfo::subBuildColMenu(ui::FlexGrid* grid)
{
    objMenuGrid = grid;
    mnuPopup->clear();
    for (int c = 1; c < grid->cols(); ++c) {
        const QString title = grid->textMatrix(0, c);
        if (title.isEmpty())
            continue;
        QAction* a = mnuPopup->addAction(title);
        a->setObjectName(QStringLiteral("mnuItem"));
        a->setCheckable(true);
        a->setChecked(!grid->colHidden(c));
        const int entry = int(mnuPopup->actions().size()) - 1;
        connect(a, &QAction::triggered, this, [this, entry] { mnuItem_Click(entry); });
    }
}

void frmBookInfo::mnuItem_Click(int entry)
{
    const QList<QAction*> entries = mnuPopup->actions();
    if (entry < 0 || entry >= entries.size() || !objMenuGrid)
        return;
    QAction* a = entries[entry];
    // The last column of that title.
    int col = -1;
    for (int c = 1; c < objMenuGrid->cols(); ++c) {
        if (objMenuGrid->textMatrix(0, c) == a->text())
            col = c;
    }
    if (col > 0) {
        objMenuGrid->setColHidden(col, !objMenuGrid->colHidden(col));
        a->setChecked(!objMenuGrid->colHidden(col));
    }
}

// ---- window events ---------------------------------------------------------------------

bool frmBookInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == vsBook->viewport()) {
        subLayoutCard();
    } else if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == vsBookInfo && (key == Qt::Key_Up || key == Qt::Key_Down))
            vsBookInfo_RowReaction();
        else if ((watched == tbsBookInfo || watched == vsInfo) && key == Qt::Key_Insert)
            tbsBookInfo_InsertKey();
    } else if (event->type() == QEvent::MouseButtonRelease) {
        for (ui::FlexGrid* g : {vsBookInfo, vsInfo, vsItemInfo}) {
            if (watched != g->horizontalHeader()->viewport())
                continue;
            const auto* me = static_cast<QMouseEvent*>(event);
            if (g->horizontalHeader()->logicalIndexAt(me->position().toPoint()) == 0) {
                subBuildColMenu(g);
                mnuPopup->popup(me->globalPosition().toPoint());
                return true;
            }
        }
    } else if (event->type() == QEvent::MouseButtonPress && watched == txtQuickSearch) {
        QTimer::singleShot(0, txtQuickSearch, &QLineEdit::selectAll);
    } else if (event->type() == QEvent::MouseButtonPress && watched == txtMarc->viewport() &&
               !txtMarc->hasFocus()) {
        // A click into the MARC text starts editing after its last character,
        // nothing selected; once inside, clicks place the caret as usual.
        txtMarc->setFocus(Qt::MouseFocusReason);
        txtMarc->moveCursor(QTextCursor::End);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The three value columns share the card's width; the spacer rows its height.
void frmBookInfo::subLayoutCard()
{
    const int w = intCardValueWidth(ui::units::pixelsToTwips(vsBook->viewport()->width()), vsBook->colWidth(1));
    for (int c : {2, 5, 8})
        vsBook->setColWidth(c, qMax(0, w));
    const int h = intCardGapHeight(ui::units::pixelsToTwips(vsBook->viewport()->height()), vsBook->rowHeight(1));
    for (int r : {2, 4})
        vsBook->setRowHeight(r, qMax(0, h));
}

void frmBookInfo::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        txtQuickSearch->setFocus();
        txtQuickSearch->selectAll();
    }
    QWidget::changeEvent(event);
}

void frmBookInfo::closeEvent(QCloseEvent* event)
{
    blnClosing = true;
    const int index = qMax(0, cboQuickSearch->currentIndex());
    text::saveSetting(strProgramTitle(), kSettings, kQuickList, QString::number(index));
    if (seek_)
        delete seek_.data();
    event->accept();
}
