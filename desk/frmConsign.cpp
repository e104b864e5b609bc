#include "desk/frmConsign.h"

#include "common/basAuth.h"
#include "common/basDB.h"
#include "common/basCodeFunc.h"
#include "common/basEnv.h"
#include "common/basLTFunc.h"
#include "common/basMarc.h"
#include "common/basMarcField.h"
#include "common/basMsg.h"
#include "desk/frmAttachment.h"
#include "desk/frmFindList.h"
#include "desk/frmReleKeepDay.h"
#include "platform/text/IniFile.h"
#include "platform/ui/CodeBox.h"
#include "platform/ui/CommandBar.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/Grid.h"
#include "reader/frmLendFine.h"
#include "reader/frmRedrAuth.h"
#include "reader/frmRedrDetail.h"
#include "reader/frmRedrRule.h"
#include "shell/frmAdmAuth.h"
#include "shell/basMainSettings.h"
#include "shell/basShellIni.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

QPointer<frmConsign> frmConsign::s_instance;

namespace {

const QColor kMarked(192, 255, 255); // light cyan
const QColor kWhite(255, 255, 255);
const QColor kOverdue(255, 0, 0);
const QColor kAbnormal(192, 192, 192);

const QString kSettings = QStringLiteral("Settings");
const QString kQuerySelect = QStringLiteral("QuerySelect");

ui::SpreadGrid* makeGrid(const QString& name, const QStringList& titles, QWidget* parent)
{
    auto* g = new ui::SpreadGrid(name, parent);
    g->setMaxCols(int(titles.size()));
    for (int c = 0; c < titles.size(); ++c)
        g->setText(c + 1, 0, titles[c]);
    g->setOperationMode(1);
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    g->horizontalHeader()->setMinimumSectionSize(40);
    return g;
}

// Widens the visible columns to their contents (titles included).
void fitColumns(ui::SpreadGrid* g)
{
    g->resizeColumnsToContents();
}

QPixmap defaultPortrait()
{
    QPixmap pm(96, 120);
    pm.fill(QColor(236, 236, 236));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(180, 180, 180));
    p.drawEllipse(QRectF(30, 18, 36, 40));
    p.drawRoundedRect(QRectF(16, 64, 64, 56), 24, 24);
    return pm;
}

QString trimmedUpper(QLineEdit* box)
{
    const QString t = box->text().trimmed().toUpper();
    box->setText(t);
    return t;
}

} // namespace

frmConsign* frmConsign::instance() { return s_instance.data(); }

frmConsign::frmConsign(QWidget* parent)
    : QWidget(parent)
{
    s_instance = this;
    setObjectName(QStringLiteral("frmConsign"));
    setWindowTitle(QStringLiteral("委托申请"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_photo = defaultPortrait();
    ilsToolBar = new ui::ImageList;

    // ---- command bar ----
    tbConsign = new ui::CommandBar(ui::CommandBar::Kind::ToolBar, QStringLiteral("tbConsign"), this);

    // ---- reader entry with its panel ----
    for (int i = 0; i < 6; ++i) {
        fraBack[i] = new QFrame(this);
        fraBack[i]->setObjectName(QStringLiteral("fraBack_%1").arg(i));
    }
    fraBack[0]->setFrameShape(QFrame::StyledPanel);
    fraBack[1]->setParent(fraBack[0]);
    fraBack[1]->setFrameShape(QFrame::StyledPanel);

    const char* const captions[13] = {"姓名：", "性别：", "单位：", "证件号：", "读者类型：", "失效日期：",
                                      "借书册数(已借/最大)：", "借书册数(年度/总计)：", "欠款情况：", "查询条件：",
                                      "查询内容：", "书刊条码：", "书刊条码："};
    for (int i = 0; i < 13; ++i) {
        lblTitle[i] = new QLabel(QString::fromUtf8(captions[i]));
        lblTitle[i]->setObjectName(QStringLiteral("lblTitle_%1").arg(i));
    }
    auto* panel = new QGridLayout(fraBack[1]);
    for (int i = 0; i < 9; ++i) {
        txtDetail[i] = new QLineEdit(fraBack[1]);
        txtDetail[i]->setObjectName(QStringLiteral("txtDetail_%1").arg(i));
        txtDetail[i]->setReadOnly(true);
        txtDetail[i]->setMinimumWidth(120);
        lblTitle[i]->setParent(fraBack[1]);
        const int column = i / 3, row = i % 3;
        panel->addWidget(lblTitle[i], row, column * 2, Qt::AlignRight);
        panel->addWidget(txtDetail[i], row, column * 2 + 1);
    }
    for (int c = 0; c < 3; ++c)
        panel->setColumnStretch(c * 2 + 1, 1);
    // The panel stays readable while the reader entry is closed.
    QPalette readable = fraBack[1]->palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText})
        readable.setColor(QPalette::Disabled, role, readable.color(QPalette::Active, role));
    readable.setColor(QPalette::Disabled, QPalette::Base, readable.color(QPalette::Active, QPalette::Base));
    fraBack[1]->setPalette(readable);

    imgPhoto = new QLabel(fraBack[0]);
    imgPhoto->setObjectName(QStringLiteral("imgPhoto"));
    imgPhoto->setFixedSize(96, 120);
    imgPhoto->setScaledContents(true);
    imgPhoto->setFrameShape(QFrame::Box);
    txtReader = new ui::CodeBox(QStringLiteral("txtReader"), fraBack[0]);
    txtReader->setFixedWidth(120);
    txtReader->setPalette(readable);
    auto* left = new QVBoxLayout;
    left->addWidget(imgPhoto, 0, Qt::AlignHCenter);
    left->addStretch();
    left->addWidget(txtReader);
    auto* entry = new QHBoxLayout(fraBack[0]);
    entry->addLayout(left);
    entry->addWidget(fraBack[1], 1);

    // ---- request tab ----
    cmbQuery = new QComboBox(fraBack[2]);
    cmbQuery->setObjectName(QStringLiteral("cmbQuery"));
    txtApplyBook = new QLineEdit(fraBack[2]);
    txtApplyBook->setObjectName(QStringLiteral("txtApplyBook"));
    spdApplyBook = makeGrid(QStringLiteral("spdApplyBook"),
                            {QStringLiteral("索书号"), QStringLiteral("题名"), QStringLiteral("责任者"),
                             QStringLiteral("出版社"), QStringLiteral("馆藏地"), QStringLiteral("可借"),
                             QStringLiteral("在馆"), QStringLiteral("已委托"), QStringLiteral("提交申请"),
                             QStringLiteral("code"), QStringLiteral("flag")},
                            fraBack[2]);
    spdApplyBook->setColHidden(10, true);
    spdApplyBook->setColHidden(11, true);
    spdApplyList = makeGrid(QStringLiteral("spdApplyList"),
                            {QStringLiteral("删除申请"), QStringLiteral("索书号"), QStringLiteral("馆藏地"),
                             QStringLiteral("委托日期"), QStringLiteral("委托截止日期"), QStringLiteral("优先序号"),
                             QStringLiteral("题名"), QStringLiteral("责任者"), QStringLiteral("出版社"),
                             QStringLiteral("code")},
                            fraBack[2]);
    spdApplyList->setColHidden(10, true);
    spdLendDetail = makeGrid(QStringLiteral("spdLendDetail"),
                             {QStringLiteral("索书号"), QStringLiteral("财产号"), QStringLiteral("馆藏地"),
                              QStringLiteral("借出时间"), QStringLiteral("应还时间"), QStringLiteral("题名"),
                              QStringLiteral("责任者"), QStringLiteral("出版社")},
                             fraBack[2]);
    stkApply = new QStackedWidget(fraBack[2]);
    stkApply->addWidget(spdApplyBook);
    stkApply->addWidget(spdApplyList);
    stkApply->addWidget(spdLendDetail);
    lblTitle[9]->setParent(fraBack[2]);
    lblTitle[10]->setParent(fraBack[2]);
    auto* search = new QHBoxLayout;
    search->addWidget(lblTitle[9]);
    search->addWidget(cmbQuery);
    search->addSpacing(12);
    search->addWidget(lblTitle[10]);
    search->addWidget(txtApplyBook, 1);
    auto* tab2 = new QVBoxLayout(fraBack[2]);
    tab2->addLayout(search);
    tab2->addWidget(stkApply, 1);

    // ---- lend tab ----
    txtLendBook = new ui::CodeBox(QStringLiteral("txtLendBook"), fraBack[3]);
    QStringList lendTitles = {QStringLiteral("条码号"), QStringLiteral("题名"),     QStringLiteral("索书号"),
                              QStringLiteral("借出时间"), QStringLiteral("应还时间"), QStringLiteral("馆藏地"),
                              QStringLiteral("借阅状态"), QStringLiteral("责任者"),  QStringLiteral("出版社"),
                              QStringLiteral("书刊状态")};
    spdLendBook = makeGrid(QStringLiteral("spdLendBook"), lendTitles, fraBack[3]);
    lblTitle[11]->setParent(fraBack[3]);
    auto* lendRow = new QHBoxLayout;
    lendRow->addWidget(lblTitle[11]);
    lendRow->addWidget(txtLendBook);
    lendRow->addStretch();
    auto* tab3 = new QVBoxLayout(fraBack[3]);
    tab3->addLayout(lendRow);
    tab3->addWidget(spdLendBook, 1);

    // ---- return tab ----
    txtReturnBook = new ui::CodeBox(QStringLiteral("txtReturnBook"), fraBack[4]);
    spdReturnBook = makeGrid(QStringLiteral("spdReturnBook"),
                             {QStringLiteral("条码号"), QStringLiteral("题名"), QStringLiteral("索书号"),
                              QStringLiteral("馆藏地"), QStringLiteral("借出时间"), QStringLiteral("应还时间"),
                              QStringLiteral("超期天数"), QStringLiteral("责任者"), QStringLiteral("出版社")},
                             fraBack[4]);
    lblTitle[12]->setParent(fraBack[4]);
    auto* retRow = new QHBoxLayout;
    retRow->addWidget(lblTitle[12]);
    retRow->addWidget(txtReturnBook);
    retRow->addStretch();
    auto* tab4 = new QVBoxLayout(fraBack[4]);
    tab4->addLayout(retRow);
    tab4->addWidget(spdReturnBook, 1);

    // ---- violations ----
    spdVolt = makeGrid(QStringLiteral("spdVolt"),
                       {QStringLiteral("处理状态"), QStringLiteral("处罚日期"), QStringLiteral("违章类型"),
                        QStringLiteral("财产号"), QStringLiteral("馆藏地"), QStringLiteral("实际罚款额"),
                        QStringLiteral("交款时间"), QStringLiteral("票据号"), QStringLiteral("停借截至日期"),
                        QStringLiteral("经手人"), QStringLiteral("说明")},
                       fraBack[5]);
    auto* tab5 = new QVBoxLayout(fraBack[5]);
    tab5->addWidget(spdVolt);

    stkWork = new QStackedWidget(this);
    for (int i = 2; i <= 5; ++i)
        stkWork->addWidget(fraBack[i]);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 4);
    main->addWidget(tbConsign);
    main->addWidget(fraBack[0]);
    main->addWidget(stkWork, 1);

    for (ui::SpreadGrid* g : {spdApplyBook, spdApplyList, spdLendDetail, spdLendBook, spdReturnBook, spdVolt})
        fitColumns(g);

    // ---- events ----
    connect(txtReader, &QLineEdit::returnPressed, this, [this] { guarded([this] { txtReader_Enter(); }); });
    connect(txtApplyBook, &QLineEdit::returnPressed, this, [this] { guarded([this] { txtApplyBook_Enter(); }); });
    connect(txtLendBook, &QLineEdit::returnPressed, this, &frmConsign::txtLendBook_Enter);
    connect(txtReturnBook, &QLineEdit::returnPressed, this, &frmConsign::txtReturnBook_Enter);
    connect(cmbQuery, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { cmbQuery_Click(); });
    connect(spdApplyBook, &ui::SpreadGrid::cellClick, this,
            [this](int col, int row) { guarded([&] { spdApplyBook_Click(col, row); }); });
    connect(spdApplyBook, &ui::SpreadGrid::cellChange, this,
            [this](int col, int row) { guarded([&] { spdApplyBook_Change(col, row); }); });
    connect(spdApplyBook, &ui::SpreadGrid::buttonClicked, this,
            [this](int col, int row) { guarded([&] { spdApplyBook_ButtonClicked(col, row); }); });
    connect(spdApplyBook, &ui::SpreadGrid::leaveCell, this,
            [this](int, int row, int, int newRow) { spdApplyBook_LeaveCell(row, newRow); });
    // Scrolled to the end of the listed titles: the next page of them.
    connect(spdApplyBook->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value > 0 && value == spdApplyBook->verticalScrollBar()->maximum())
            guarded([this] { subReadTitlePage(); });
    });
    connect(spdApplyBook, &ui::SpreadGrid::keyUp, this, [this](int, int, int row) {
        if (spdApplyBook->maxRows() > 0)
            guarded([&] { subSelectRow(row); });
    });
    connect(spdApplyList, &ui::SpreadGrid::buttonClicked, this,
            [this](int col, int row) { guarded([&] { spdApplyList_ButtonClicked(col, row); }); });
    connect(tbConsign, &ui::CommandBar::itemClicked, this, &frmConsign::onBarItem);
    // The function keys work whichever control of the desk has the focus.
    const struct {
        Qt::Key key;
        int code;
    } keys[] = {{Qt::Key_F1, 112}, {Qt::Key_F2, 113}, {Qt::Key_F3, 114}};
    for (const auto& k : keys) {
        auto* sc = new QShortcut(QKeySequence(k.key), this);
        sc->setContext(Qt::WidgetWithChildrenShortcut);
        const int code = k.code;
        connect(sc, &QShortcut::activated, this, [this, code] { Form_KeyUp(code); });
    }

    // ---- load ----
    resize(980, 640);
    imgPhoto->setPixmap(m_photo);
    m_filling = true;
    cmbQuery->addItems({QStringLiteral("索书号"), QStringLiteral("题名"), QStringLiteral("责任者"),
                        QStringLiteral("出版社")});
    m_intQueryGuard = 0;
    bool ok = false;
    const int saved = text::getSetting(strProgramTitle(), kSettings, kQuerySelect, QStringLiteral("0")).toInt(&ok);
    cmbQuery->setCurrentIndex(ok && saved >= 0 && saved < cmbQuery->count() ? saved : 0);
    m_filling = false;
    m_intQueryGuard = 1;
    initToolBar();
    setItemsEnabled({QStringLiteral("Detail"), QStringLiteral("Auth"), QStringLiteral("Rule"),
                     QStringLiteral("ApplyList"), QStringLiteral("LendDetail")},
                    false);
    spdReturnBook->setMaxRows(0);
    fraBack[2]->setEnabled(false);
    fraBack[3]->setEnabled(false);

    // Hooks of the desk logic.
    m_desk.showFineWindow = [this] { subOpenLendFine(this, g_strCertID, g_dblExceedFine); };
    m_desk.showPanel = [this](bool newReader) { subShowReader(newReader); };
    m_desk.showFindList = [this](const QVector<desk::ArrivedRow>& rows) { frmFindList::showList(this, rows); };
    m_desk.askKeepDays = [this](const QString& begin, int maxDays) {
        return frmReleKeepDay::askKeepDays(this, begin, maxDays);
    };
    m_lend.showAttachment = [this](desk::LendingWindow&) { frmAttachment::showFor(this, *this); };
}

frmConsign::~frmConsign()
{
    delete ilsToolBar;
}

void frmConsign::initToolBar()
{
    struct Control {
        const char* key;
        ui::ItemStyle style;
        const char* caption;
        const char* tip;
        bool standard;
    };
    const Control controls[] = {
        {"Split1", ui::ItemStyle::Separator, "", "", true},
        {"Apply", ui::ItemStyle::Check, "委托申请", "委托申请", false},
        {"Split2", ui::ItemStyle::Separator, "", "", false},
        {"Detail", ui::ItemStyle::Command, "详细信息(&D)", "读者详细信息", true},
        {"Auth", ui::ItemStyle::Command, "基本权限(&A)", "读者基本权限", true},
        {"Rule", ui::ItemStyle::Command, "借阅规则(&R)", "读者借阅规则", true},
        {"Split3", ui::ItemStyle::Separator, "", "", true},
        {"ApplyList", ui::ItemStyle::Check, "申请列表(&L)", "读者申请列表", true},
        {"Split4", ui::ItemStyle::Separator, "", "", true},
        {"LendDetail", ui::ItemStyle::Check, "借阅信息(&I)", "书刊借阅信息", true},
        {"Split5", ui::ItemStyle::Separator, "", "", true},
    };
    tbConsign->setRedraw(false);
    for (const Control& c : controls)
        tbConsign->addItem(QString::fromLatin1(c.key), QString::fromLatin1(c.key), QString::fromUtf8(c.caption),
                           c.style, QString::fromUtf8(c.tip));
    ui::CommandMenu* standard = tbConsign->addMenu(QStringLiteral("Standard"), QStringLiteral("工具栏"));
    for (const Control& c : controls) {
        if (c.standard)
            standard->append(tbConsign->item(QString::fromLatin1(c.key)));
    }
    tbConsign->setImageList(ilsToolBar);
    tbConsign->setActiveMenu(standard);
    tbConsign->setRedraw(true);
    if (tbConsign->toolBar())
        tbConsign->toolBar()->setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void frmConsign::setItemsEnabled(const QStringList& keys, bool enabled)
{
    for (const QString& k : keys)
        tbConsign->setItemEnabled(k, enabled);
}

void frmConsign::onBarItem(ui::CommandItem* item)
{
    if (item)
        tbConsign_ButtonClick(item->key());
}

void frmConsign::guarded(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        // An unexpected failure: nothing half-done stays open, the desk closes.
        QGuiApplication::restoreOverrideCursor();
        LIB_DB_Rollback();
        subShowRunError(QString::fromLocal8Bit(e.what()));
        close();
    }
}

void frmConsign::closeEvent(QCloseEvent* event)
{
    text::saveSetting(strProgramTitle(), kSettings, kQuerySelect, QString::number(cmbQuery->currentIndex()));
    QWidget::closeEvent(event);
}

// ---- command bar, modes and keys ----------------------------------------------

void frmConsign::tbConsign_ButtonClick(const QString& key)
{
    if (key == QLatin1String("Apply")) {
        subSwitchApply();
    } else if (key == QLatin1String("Lend")) {
        subSwitchLend();
    } else if (key == QLatin1String("Return")) {
        subSwitchReturn();
    } else if (key == QLatin1String("Detail")) {
        g_strRedrBarcode = m_desk.mode == desk::ModeReturn ? txtDetail[3]->text() : txtReader->text();
        frmRedrDetail::showModal(this, g_strRedrBarcode);
    } else if (key == QLatin1String("Auth")) {
        frmRedrAuth::showModal(this);
    } else if (key == QLatin1String("Rule")) {
        frmRedrRule::showModal(this);
    } else if (key == QLatin1String("ApplyList")) {
        if (tbConsign->isItemChecked(key)) {
            tbConsign->setItemEnabled(QStringLiteral("LendDetail"), false);
            stkApply->setCurrentWidget(spdApplyList);
        } else {
            tbConsign->setItemEnabled(QStringLiteral("LendDetail"), true);
            stkApply->setCurrentWidget(spdApplyBook);
        }
    } else if (key == QLatin1String("LendDetail")) {
        if (tbConsign->isItemChecked(key)) {
            tbConsign->setItemEnabled(QStringLiteral("ApplyList"), false);
            stkApply->setCurrentWidget(spdLendDetail);
            if (subShowLendDetail() < 0)
                spdLendDetail->setMaxRows(0);
        } else {
            tbConsign->setItemEnabled(QStringLiteral("ApplyList"), true);
            stkApply->setCurrentWidget(spdApplyBook);
        }
    }
}

bool frmConsign::blnCheckAdmAuth(const QString& code, const QString& text)
{
    frmAdmAuth* dialog = frmAdmAuth::form();
    try {
        if (!dialog->m_blnCheckAdmAuth)
            return false;
        if (dialog->m_blnAdmAuth)
            return true;
        dialog->lblMessage->setText(strGetMsg(code + text));
        ui::DialogService::current().execDialog(dialog);
        return dialog->m_blnAdmAuth;
    } catch (const std::exception&) {
        dialog->m_blnAdmAuth = false;
        return false;
    }
}

void frmConsign::Form_KeyUp(int keyCode)
{
    if (keyCode == 112)
        tbConsign_ButtonClick(QStringLiteral("Apply"));
    else if (keyCode == 113)
        subSwitchLend();
    else if (keyCode == 114)
        subSwitchReturn();
}

void frmConsign::subSwitchApply()
{
    if (!blnCheckAuth(QStringLiteral("4026"), true)) {
        tbConsign->setItemChecked(QStringLiteral("Apply"), false);
        return;
    }
    tbConsign->setItemChecked(QStringLiteral("Apply"), true);
    m_desk.mode = desk::ModeRequest;
    tbConsign->setItemChecked(QStringLiteral("ApplyList"), false);
    tbConsign->setItemChecked(QStringLiteral("LendDetail"), false);
    fraBack[0]->setEnabled(true);
    txtReader->clear();
    txtReader->setFocus();
    stkWork->setCurrentWidget(fraBack[2]);
    fraBack[2]->setEnabled(false);
    txtApplyBook->clear();
    stkApply->setCurrentWidget(spdApplyBook);
    spdApplyList->setMaxRows(0);
    spdLendDetail->setMaxRows(0);
    spdApplyBook->setMaxRows(0);
    m_bookRows.clear();
    m_markRow = 0;
    lblTitle[3]->setText(QStringLiteral("证件号："));
    subClearRedrInfo();
}

void frmConsign::subSwitchLend()
{
    if (!blnCheckAuth(QStringLiteral("4027"), true))
        return;
    m_desk.mode = desk::ModeLend;
    for (const char* k : {"Apply", "ApplyList", "LendDetail"})
        tbConsign->setItemChecked(QString::fromLatin1(k), false);
    fraBack[0]->setEnabled(true);
    txtReader->clear();
    txtReader->setFocus();
    stkWork->setCurrentWidget(fraBack[3]);
    fraBack[3]->setEnabled(false);
    txtLendBook->clear();
    spdLendBook->setMaxRows(0);
    lblTitle[3]->setText(QStringLiteral("证件号："));
    subClearRedrInfo();
}

void frmConsign::subSwitchReturn()
{
    if (!blnCheckAuth(QStringLiteral("4028"), true))
        return;
    m_desk.mode = desk::ModeReturn;
    for (const char* k : {"Apply", "ApplyList", "LendDetail"})
        tbConsign->setItemChecked(QString::fromLatin1(k), false);
    fraBack[0]->setEnabled(false);
    txtReader->clear();
    stkWork->setCurrentWidget(fraBack[4]);
    txtReturnBook->clear();
    txtReturnBook->setFocus();
    lblTitle[3]->setText(QStringLiteral("条码号："));
    subClearRedrInfo();
}

void frmConsign::subClearRedrInfo()
{
    for (QLineEdit* box : txtDetail)
        box->clear();
    imgPhoto->setPixmap(m_photo);
    setItemsEnabled({QStringLiteral("Detail"), QStringLiteral("Auth"), QStringLiteral("Rule"),
                     QStringLiteral("ApplyList"), QStringLiteral("LendDetail")},
                    false);
    m_desk.subClearRedrInfo();
}

void frmConsign::cmbQuery_Click()
{
    if (m_filling)
        return;
    if (m_intQueryGuard == 1)
        txtApplyBook->setFocus();
    else
        m_intQueryGuard = 1;
}

// ---- Enter in the entry boxes -----------------------------------------------------

void frmConsign::txtReader_Enter()
{
    QString card = trimmedUpper(txtReader);
    card = strApplyBarReadRule(card);
    txtReader->setText(card);
    if (card.isEmpty() || m_desk.mode == desk::ModeReturn)
        return;
    m_desk.fineLend = g_intFineLend;
    const int result = m_desk.intLoadRedr(card);
    subShowReader(false);
    if (result < 0) {
        txtReader->clear();
        txtReader->setFocus();
        return;
    }
    fraBack[0]->setEnabled(false);
    if (m_desk.mode == desk::ModeRequest) {
        subFillApplyList();
        setItemsEnabled({QStringLiteral("ApplyList"), QStringLiteral("LendDetail")}, true);
        stkWork->setCurrentWidget(fraBack[2]);
        fraBack[2]->setEnabled(true);
        txtApplyBook->clear();
        txtApplyBook->setFocus();
    } else {
        m_lend.clearMarkedLoan();
        subFillLendBook();
        stkWork->setCurrentWidget(fraBack[3]);
        fraBack[3]->setEnabled(true);
        txtLendBook->clear();
        txtLendBook->setFocus();
    }
}

void frmConsign::txtApplyBook_Enter()
{
    const QString text = trimmedUpper(txtApplyBook);
    if (text.isEmpty())
        return;
    frmAdmAuth::form()->m_blnAdmAuth = false;
    tbConsign->setItemChecked(QStringLiteral("ApplyList"), false);
    tbConsign->setItemChecked(QStringLiteral("LendDetail"), false);
    // Both toggles up: both usable again while a reader is served.
    if (fraBack[2]->isEnabled())
        setItemsEnabled({QStringLiteral("ApplyList"), QStringLiteral("LendDetail")}, true);
    stkApply->setCurrentWidget(spdApplyBook);
    const QString next = varGetSysPara(22).toString().trimmed();
    if (!next.isEmpty() && next == text) {
        tbConsign_ButtonClick(QStringLiteral("Apply"));
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const int found = m_desk.subSearchBook(text, cmbQuery->currentIndex());
    subFillApplyBook();
    QGuiApplication::restoreOverrideCursor();
    if (found == 0 && spdApplyBook->maxRows() > 0) {
        spdApplyBook->setActiveCell(1, 1);
        subMarkRow(1);
    }
    txtApplyBook->clear();
    txtApplyBook->setFocus();
}

void frmConsign::txtLendBook_Enter()
{
    const QString text = trimmedUpper(txtLendBook);
    if (text.isEmpty())
        return;
    const QString next = varGetSysPara(22).toString().trimmed();
    if (!next.isEmpty() && next == text) {
        subSwitchLend();
        return;
    }
    // A confirmed override holds for one entered copy only.
    frmAdmAuth::form()->m_blnAdmAuth = false;
    guarded([&] {
        m_lend.subLendReleBook(text);
        subFillLendBook();
    });
    txtLendBook->clear();
    txtLendBook->setFocus();
}

void frmConsign::txtReturnBook_Enter()
{
    const QString text = trimmedUpper(txtReturnBook);
    if (text.isEmpty())
        return;
    m_lend.fineReturn = g_intFineReturn;
    m_lend.returnClear = g_intReturnClear;
    guarded([&] {
        m_lend.subReturnBook(text);
        m_strRetRedr = m_lend.m_strRetRedr;
        subShowReader(false);
        subFillReturnBook();
    });
    txtReturnBook->clear();
    txtReturnBook->setFocus();
}

// ---- reader panel and its grids -------------------------------------------------------

void frmConsign::subShowReader(bool newReader)
{
    if (!m_desk.readerShown())
        return;
    const desk::ReaderPanel& p = m_desk.panel();
    const QString values[9] = {p.name, p.sex, p.dept, p.certId, p.typeName, p.endDate, p.loans, p.yearTotal, p.debt};
    for (int i = 0; i < 9; ++i) {
        txtDetail[i]->setText(values[i]);
        txtDetail[i]->setCursorPosition(0);
    }
    if (newReader) {
        intShowPortrait(g_strCertID, imgPhoto, m_photo);
        setItemsEnabled({QStringLiteral("Detail"), QStringLiteral("Auth"), QStringLiteral("Rule")}, true);
    }
    subFillVolt();
    if (m_desk.violationsInFront())
        stkWork->setCurrentWidget(fraBack[5]);
}

void frmConsign::subFillVolt()
{
    const QVector<desk::ViolationRow>& rows = m_desk.violations();
    spdVolt->setRedraw(false);
    spdVolt->setMaxRows(0);
    spdVolt->setMaxRows(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const desk::ViolationRow& v = rows[i];
        const QString cells[11] = {v.stateText(), v.punishDate, strVoltName(v.voltCode), v.propNo,
                                   strLocationName(v.locationF), v.realFineAmt, v.fineDate, v.billNo,
                                   v.frozEndDate, v.respWkr, v.remark};
        for (int c = 0; c < 11; ++c)
            spdVolt->setText(c + 1, i + 1, cells[c]);
    }
    spdVolt->setRedraw(true);
    fitColumns(spdVolt);
}

namespace {

// The title columns of the loan-column list; without a list, the title, the
// responsibility and the publisher.
void lendColumnKinds(QVector<int>& kinds, QStringList& captions)
{
    for (int k = 0; k < g_intLendColCount && k < 11; ++k) {
        kinds << g_arrLendCol[k].kind.toInt();
        captions << g_arrLendCol[k].text;
    }
    if (kinds.isEmpty()) {
        kinds = {0, 1, 3};
        captions = QStringList{QStringLiteral("题名"), QStringLiteral("责任者"), QStringLiteral("出版社")};
    }
}

// The first title column in column 2, the further ones from column `first` on,
// from the records of the whole list (read in one query).
void fillTitleColumns(ui::SpreadGrid* grid, int row, const QHash<QString, MarcRecord>& records,
                      const QString& marcRecNo, const QVector<int>& kinds, int first)
{
    g_recMarc = records.value(marcRecNo);
    grid->setText(2, row, strGetMarcTitle(g_recMarc, kinds[0]));
    for (int k = 1; k < kinds.size(); ++k)
        grid->setText(first + k - 1, row, strGetMarcTitle(g_recMarc, kinds[k]));
}

void setTitleCaptions(ui::SpreadGrid* grid, const QStringList& captions, int first, int minCols)
{
    grid->setMaxCols(qMax(minCols, first - 1 + int(captions.size()) - 1));
    for (int k = 1; k < captions.size(); ++k) {
        if (!captions[k].isEmpty())
            grid->setText(first + k - 1, 0, captions[k]);
    }
}

} // namespace

void frmConsign::subFillLendBook()
{
    const QVector<desk::LoanRow>& loans = m_desk.loans();
    QVector<int> kinds;
    QStringList captions;
    lendColumnKinds(kinds, captions);
    spdLendBook->setRedraw(false);
    spdLendBook->setMaxRows(0);
    setTitleCaptions(spdLendBook, captions, 8, 10);
    spdLendBook->setMaxRows(int(loans.size()));
    QStringList nos;
    for (const desk::LoanRow& l : loans)
        nos << l.marcRecNo;
    const QHash<QString, MarcRecord> records = mapReadMarcs(nos);
    for (int i = 0; i < loans.size(); ++i) {
        const desk::LoanRow& l = loans[i];
        const int row = i + 1;
        spdLendBook->setText(1, row, l.barCode);
        spdLendBook->setText(3, row, l.callNo);
        spdLendBook->setText(4, row, l.lendDate);
        spdLendBook->setText(5, row, l.normRetDate);
        spdLendBook->setText(6, row, strLocationName(l.location));
        spdLendBook->setText(7, row, strLendStateText(l.bookLendFlag));
        spdLendBook->setText(10, row, strItemStatusName(l.bookStatCode));
        fillTitleColumns(spdLendBook, row, records, l.marcRecNo, kinds, 8);
        if (l.abnormal)
            spdLendBook->setRowForeColor(row, kAbnormal);
        else if (l.overdue)
            spdLendBook->setRowForeColor(row, kOverdue);
        // The loan lent or collected last stands out.
        spdLendBook->setRowBackColor(row, l.barCode == m_lend.markedLoan() ? kMarked : kWhite);
    }
    spdLendBook->setRedraw(true);
    fitColumns(spdLendBook);
}

void frmConsign::subFillReturnBook()
{
    const QVector<desk::ReturnRow>& rows = m_lend.returns();
    QVector<int> kinds;
    QStringList captions;
    lendColumnKinds(kinds, captions);
    spdReturnBook->setRedraw(false);
    spdReturnBook->setMaxRows(0);
    setTitleCaptions(spdReturnBook, captions, 8, 9);
    spdReturnBook->setMaxRows(int(rows.size()));
    QStringList nos;
    for (const desk::ReturnRow& r : rows)
        nos << r.marcRecNo;
    const QHash<QString, MarcRecord> records = mapReadMarcs(nos);
    for (int i = 0; i < rows.size(); ++i) {
        const desk::ReturnRow& r = rows[i];
        const int row = i + 1;
        const QString cells[7] = {r.barCode, QString(), r.callNo, r.location, r.lendDate, r.normRetDate,
                                  r.overdueText};
        for (int c = 0; c < 7; ++c)
            spdReturnBook->setText(c + 1, row, cells[c]);
        fillTitleColumns(spdReturnBook, row, records, r.marcRecNo, kinds, 8);
        spdReturnBook->setRowBackColor(row, row == 1 ? kMarked : kWhite);
        if (r.overdue)
            spdReturnBook->setRowForeColor(row, kOverdue);
    }
    spdReturnBook->setRedraw(true);
    fitColumns(spdReturnBook);
}

void frmConsign::subFillApplyList()
{
    const QVector<desk::RequestRow>& rows = m_desk.requests();
    spdApplyList->setRedraw(false);
    spdApplyList->setMaxRows(0);
    spdApplyList->setMaxRows(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const desk::RequestRow& r = rows[i];
        const int row = i + 1;
        spdApplyList->setButtonCell(1, row, QStringLiteral("删除"));
        const QString cells[9] = {r.callNo,   strLocationName(r.location), r.relegateDate,
                                  r.endDate,  QString::number(r.relegateNo), r.title,
                                  r.author,   r.publisher,                 r.location};
        for (int c = 0; c < 9; ++c)
            spdApplyList->setText(c + 2, row, cells[c]);
        spdApplyList->setRowBackColor(row, i == m_desk.markedRequestRow() ? kMarked : kWhite);
    }
    spdApplyList->setRedraw(true);
    fitColumns(spdApplyList);
}

// ---- titles and holdings ------------------------------------------------------------------

void frmConsign::subFillApplyBook()
{
    m_bookRows.clear();
    m_filling = true;
    spdApplyBook->setRedraw(false);
    spdApplyBook->setMaxRows(0);
    subAddBookRows(0);
    spdApplyBook->setRedraw(true);
    fitColumns(spdApplyBook);
    m_filling = false;
    if (m_markRow > spdApplyBook->maxRows())
        m_markRow = 0;
}

void frmConsign::subAddBookRows(int firstTitle)
{
    const QVector<desk::TitleRow>& titles = m_desk.titles();
    const int from = int(m_bookRows.size());
    for (int t = firstTitle; t < titles.size(); ++t) {
        m_bookRows.push_back({t, titles[t].holdings.isEmpty() ? -1 : 0});
        for (int h = 1; h < titles[t].holdings.size(); ++h)
            m_bookRows.push_back({t, h});
    }
    spdApplyBook->setMaxRows(int(m_bookRows.size()));
    for (int i = from; i < m_bookRows.size(); ++i) {
        const int row = i + 1;
        const desk::TitleRow& t = titles[m_bookRows[i].title];
        const bool titleRow = i == 0 || m_bookRows[i - 1].title != m_bookRows[i].title;
        if (titleRow) {
            if (t.callNos.size() > 1)
                spdApplyBook->setComboCell(1, row, t.callNos.join(QLatin1Char('\t')), false, t.chosen);
            else
                spdApplyBook->setText(1, row, t.callNo());
            spdApplyBook->setText(2, row, t.title);
            spdApplyBook->setText(3, row, t.author);
            spdApplyBook->setText(4, row, t.publisher);
            spdApplyBook->setText(11, row, t.listed ? QStringLiteral("1") : QString());
        }
        const int h = m_bookRows[i].holding;
        if (h >= 0) {
            const desk::HoldingRow& loc = t.holdings[h];
            spdApplyBook->setText(5, row, strLocationName(loc.location));
            spdApplyBook->setText(6, row, QString::number(loc.lendable));
            spdApplyBook->setText(7, row, QString::number(loc.inLibrary));
            spdApplyBook->setText(8, row, QString::number(loc.queued));
            spdApplyBook->setText(10, row, loc.location);
            if (loc.canApply) {
                spdApplyBook->setButtonCell(9, row, loc.applied ? QStringLiteral("提交成功") : QStringLiteral("提交"));
                continue;
            }
        }
        spdApplyBook->setCellType(9, row, ui::CellType::Static);
        spdApplyBook->setLocked(9, row, true);
    }
}

void frmConsign::subReadTitlePage()
{
    if (m_filling || m_desk.waitingTitles() == 0)
        return;
    const int first = int(m_desk.titles().size());
    if (m_desk.subReadTitlePage() <= 0)
        return;
    m_filling = true;
    spdApplyBook->setRedraw(false);
    subAddBookRows(first);
    spdApplyBook->setRedraw(true);
    fitColumns(spdApplyBook);
    m_filling = false;
    subMarkRow(m_markRow);
}

void frmConsign::subMarkRow(int row)
{
    for (int r = 1; r <= spdApplyBook->maxRows(); ++r) {
        const bool marked = r == row;
        spdApplyBook->setText(0, r, marked ? QStringLiteral("*") : QString());
        spdApplyBook->setRowBackColor(r, marked ? kMarked : kWhite);
    }
    m_markRow = row;
}

void frmConsign::subSelectRow(int row)
{
    if (row <= 0 || row > m_bookRows.size())
        return;
    const BookRow where = m_bookRows[row - 1];
    desk::TitleRow& t = m_desk.titles()[where.title];
    // The call number of the title at or above the row.
    m_desk.setChosenCallNo(where.title, t.chosen);
    const bool titleRow = row == 1 || m_bookRows[row - 2].title != where.title;
    if (!titleRow)
        return;
    if (t.listed && t.listedCallNo == t.callNo())
        return;
    if (m_desk.subShowHoldings(where.title) < 0)
        return;
    const int mark = m_markRow;
    subFillApplyBook();
    spdApplyBook->setActiveCell(1, row);
    subMarkRow(mark > 0 ? mark : row);
}

void frmConsign::spdApplyBook_Click(int col, int row)
{
    (void)col;
    if (m_filling)
        return;
    subSelectRow(row);
}

void frmConsign::spdApplyBook_Change(int col, int row)
{
    if (m_filling || row <= 0 || row > m_bookRows.size())
        return;
    if (col == 1 && spdApplyBook->cellType(1, row) == ui::CellType::ComboBox)
        m_desk.setChosenCallNo(m_bookRows[row - 1].title, spdApplyBook->comboIndex(1, row));
    subSelectRow(row);
}

void frmConsign::spdApplyBook_LeaveCell(int row, int newRow)
{
    if (m_filling || newRow <= 0 || newRow == row)
        return;
    subMarkRow(newRow);
    // The last listed row reached (arrow keys, Page Down, Ctrl+End, a click):
    // the next page of found titles below it.
    if (newRow == spdApplyBook->maxRows())
        guarded([this] { subReadTitlePage(); });
}

void frmConsign::spdApplyBook_ButtonClicked(int col, int row)
{
    (void)col;
    if (row <= 0 || row > m_bookRows.size())
        return;
    const BookRow where = m_bookRows[row - 1];
    if (where.holding < 0)
        return;
    if (m_desk.subApplyBook(where.title, where.holding) != 0)
        return;
    const int mark = m_markRow;
    subFillApplyBook();
    subMarkRow(mark);
    subFillApplyList();
    // Placed: the next call number, or the next-reader code, is typed next.
    txtApplyBook->setFocus();
}

void frmConsign::spdApplyList_ButtonClicked(int col, int row)
{
    (void)col;
    if (row <= 0 || row > m_desk.requests().size())
        return;
    if (m_desk.subDeleteApply(row - 1) == 0) {
        // The holdings show the queue without the request, ready to take it again.
        const int mark = m_markRow;
        subFillApplyBook();
        subMarkRow(mark);
    }
    subFillApplyList();
}

int frmConsign::subShowLendDetail()
{
    const int row = spdApplyBook->activeRow() > 0 ? spdApplyBook->activeRow() : m_markRow;
    if (row <= 0 || row > spdApplyBook->maxRows())
        return -1;
    const QString location = spdApplyBook->getText(10, row);
    if (location.isEmpty())
        return -1;
    QVector<desk::LendDetailRow> rows;
    if (m_desk.subShowLendDetail(m_desk.selectedCallNo(), location, rows) < 0)
        return -1;
    const QString title = spdApplyBook->getText(2, row), author = spdApplyBook->getText(3, row),
                  publisher = spdApplyBook->getText(4, row);
    spdLendDetail->setRedraw(false);
    spdLendDetail->setMaxRows(0);
    spdLendDetail->setMaxRows(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const QString cells[8] = {m_desk.selectedCallNo(), rows[i].propNo,    strLocationName(location),
                                  rows[i].lendDate,       rows[i].normRetDate, title,
                                  author,                 publisher};
        for (int c = 0; c < 8; ++c)
            spdLendDetail->setText(c + 1, i + 1, cells[c]);
    }
    spdLendDetail->setRedraw(true);
    fitColumns(spdLendDetail);
    return 0;
}
