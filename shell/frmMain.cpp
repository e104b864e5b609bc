#include "shell/frmMain.h"

#include "common/LoginState.h"
#include "common/basAuth.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMsg.h"
#include "reader/ReaderContext.h"
#include "shell/ChildMnemonics.h"
#include "shell/basForms.h"
#include "reader/frmLendFine.h"
#include "shell/basLogin.h"
#include "shell/basMainSettings.h"
#include "shell/basMenu.h"
#include "shell/basShellIni.h"
#include "shell/frmAdmAuth.h"
#include "shell/frmCircLogo.h"
#include "shell/frmOption.h"
#include "shell/mCommonPlus3.h"
#include "shell/mCommonPlus3Addins.h"

#include "platform/ui/DialogService.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>

shell::AddinsCollection* g_objAddins = nullptr;
shell::ThemesCollection* g_objThemes = nullptr;
shell::Theme* g_objCurTheme = nullptr;

namespace {

QPointer<frmMain> g_frmMain;

using shell::Services;

const QString kCaption = QStringLiteral("Qorlan3.5 - 流通委托");

} // namespace

frmMain* frmMain::instance()
{
    return g_frmMain.data();
}

frmMain* frmMain::load()
{
    if (g_frmMain)
        return g_frmMain.data();
    auto* w = new frmMain();
    g_frmMain = w;
    int rc = -1;
    try {
        rc = w->intLoadSequence();
    } catch (const std::exception& e) {
        subShowRunError(QString::fromLocal8Bit(e.what()));
        rc = -1;
    }
    if (rc < 0) {
        // A half-loaded main window is closed without the exit question.
        w->released_ = true;
        delete w;
        return nullptr;
    }
    return w;
}

frmMain::frmMain()
{
    setObjectName(QStringLiteral("frmMain"));
    shell::subRegisterForm(this);
    setWindowTitle(QStringLiteral("图书馆集成管理系统") + kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1024, 700);

    QStyle* st = style();
    ilsMain_.add(QStringLiteral("Apply"), st->standardIcon(QStyle::SP_FileDialogNewFolder));
    ilsMain_.add(QStringLiteral("Find"), st->standardIcon(QStyle::SP_FileDialogContentsView));
    ilsMain_.add(QStringLiteral("ApplyList"), st->standardIcon(QStyle::SP_FileDialogDetailedView));
    ilsMain_.add(QStringLiteral("FindList"), st->standardIcon(QStyle::SP_FileDialogListView));
    ilsMain_.add(QStringLiteral("Lend"), st->standardIcon(QStyle::SP_ArrowRight));
    ilsMain_.add(QStringLiteral("Return"), st->standardIcon(QStyle::SP_ArrowLeft));

    pic_ = new QWidget(this);
    pic_->setObjectName(QStringLiteral("pic"));
    auto* band = new QVBoxLayout(pic_);
    band->setContentsMargins(0, 0, 0, 0);
    band->setSpacing(0);
    cmdBar_ = new ui::CommandBar(ui::CommandBar::Kind::MenuBar, QStringLiteral("cmdBar"), pic_);
    tbToolbar_ = new ui::CommandBar(ui::CommandBar::Kind::ToolBar, QStringLiteral("tbToolbar"), pic_);
    band->addWidget(cmdBar_);
    band->addWidget(tbToolbar_);
    setMenuWidget(pic_);

    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdi_);
    new shell::ChildMnemonics(mdi_);

    QStatusBar* sb = statusBar();
    sb->setObjectName(QStringLiteral("sbStatusBar"));
    panel1_ = new QLabel(sb);
    panel1_->setObjectName(QStringLiteral("sbPanel1"));
    panel2_ = new QLabel(sb);
    panel2_->setObjectName(QStringLiteral("sbPanel2"));
    panel3_ = new QLabel(sb);
    panel3_->setObjectName(QStringLiteral("sbPanel3"));
    sb->addWidget(panel1_, 1);
    sb->addPermanentWidget(panel2_);
    sb->addPermanentWidget(panel3_);
    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, &frmMain::updateClock);
    clock_->start(1000);
    updateClock();

    connect(cmdBar_, &ui::CommandBar::keyClicked, this, &frmMain::menuItemClick);
    connect(tbToolbar_, &ui::CommandBar::keyClicked, this, &frmMain::toolbarButtonClick);
}

frmMain::~frmMain()
{
    if (!released_)
        releaseSequence();
}

QString frmMain::statusText() const
{
    return panel1_->text();
}

void frmMain::updateClock()
{
    panel2_->setText(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    panel3_->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

void frmMain::setStatusPanel()
{
    panel1_->setText(varGetSysPara(1).toString() + QStringLiteral(" - ") + g_strWkrNo);
}

int frmMain::intLoadSequence()
{
    subReadMainSettings();

    themes_ = Services::extend().createThemes();
    addins_ = Services::extend().createAddins();
    g_objThemes = themes_.get();
    g_objAddins = addins_.get();

    initMenuBar();

    addins_->setMainForm(this);
    addins_->setConfigFile(QStringLiteral("addin.xml"));
    addins_->LoadAddins(g_strPath[0] + QStringLiteral("addins"));
    subRunAddinInit();
    subLoadAddinMenus(cmdBar_);

    themes_->setModule(6);
    themes_->setConfigFile(QStringLiteral("theme.xml"));
    themes_->LoadThemes(g_strPath[0] + QStringLiteral("themes"));
    g_objCurTheme = themes_->theme(g_strStyleID);
    if (!g_objCurTheme && themes_->count() > 0)
        g_objCurTheme = themes_->themeAt(0);
    if (g_objCurTheme) {
        g_strStyleID = g_objCurTheme->ID();
        g_objCurTheme->LoadTheme();
        g_objCurTheme->ApplyTheme();
    }

    setStatusPanel();

    if (intLoadLocaProperty() < 0)
        return -1;

    // The override dialog waits hidden; overrides stay off.
    frmAdmAuth* admAuth = frmAdmAuth::form(this);
    admAuth->m_blnCheckAdmAuth = false;
    admAuth->m_blnAdmAuth = false;

    subReadFontSettings();
    return 0;
}

void frmMain::initMenuBar()
{
    cmdBar_->setRedraw(false);
    for (const MenuGroup& g : menuGroups()) {
        cmdBar_->addItem(g.key, {}, g.caption, ui::ItemStyle::Command, {});
        for (const MenuEntry& e : g.entries) {
            ui::CommandItem* it = cmdBar_->addItem(e.key, {}, e.caption, static_cast<ui::ItemStyle>(e.style),
                                                   e.describe ? e.caption : QString(), e.keyCode, e.shiftMask);
            if (it && e.style == 4)
                it->setChecked(true);
        }
        if (g.key == QLatin1String("mnuTool")) {
            for (const MenuEntry& e : hiddenMenuItems())
                cmdBar_->addItem(e.key, {}, e.caption, static_cast<ui::ItemStyle>(e.style), {});
        }
    }
    ui::CommandMenu* mainMenu = cmdBar_->addMenu(QStringLiteral("MenuMain"), QStringLiteral("菜单栏"));
    for (const MenuGroup& g : menuGroups())
        mainMenu->append(cmdBar_->item(g.key));
    for (const MenuGroup& g : menuGroups()) {
        ui::CommandMenu* sub = cmdBar_->addMenu(g.key, QString());
        for (const MenuEntry& e : g.entries)
            sub->append(cmdBar_->item(e.key));
        ui::CommandItem* top = cmdBar_->item(g.key);
        top->setSubMenu(sub);
        top->setOpensSubMenu(true);
    }
    cmdBar_->setImageList(&ilsMain_);
    cmdBar_->setActiveMenu(mainMenu);
    cmdBar_->setRedraw(true);

    tbToolbar_->setRedraw(false);
    for (const ToolEntry& t : toolbarEntries())
        tbToolbar_->addItem(t.key, t.imageKey, t.caption, static_cast<ui::ItemStyle>(t.style), t.caption);
    ui::CommandMenu* standard = tbToolbar_->addMenu(QStringLiteral("Standard"), QStringLiteral("工具栏"));
    for (const ToolEntry& t : toolbarEntries())
        standard->append(tbToolbar_->item(t.key));
    tbToolbar_->setImageList(&ilsMain_);
    tbToolbar_->setActiveMenu(standard);
    tbToolbar_->setRedraw(true);
    if (tbToolbar_->toolBar())
        tbToolbar_->toolBar()->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    cmdBar_->raise();
    disableMissingWindows();
}

void frmMain::disableMissingWindows()
{
    using M = shell::ConsignManageService;
    using R = shell::ReaderService;
    using I = shell::InfoCenterService;
    using E = shell::ExtendService;
    using T = shell::ToolsService;
    const bool desk = Services::desk().provides();
    const bool find = Services::manage().provides(M::Find);
    const bool ret = Services::manage().provides(M::ReturnManage);
    const struct {
        const char* key;
        bool on;
    } items[] = {
        {"mnuConsignApply", desk},
        {"mnuConsignFind", find},
        {"mnuConsignApplyList", find},
        {"mnuConsignFindList", find},
        {"mnuConsignCheck", ret},
        {"mnuConsignReturnList", ret},
        {"mnuConsignCheckList", ret},
        {"mnuConsignApplyManage", Services::manage().provides(M::ApplyManage)},
        {"mnuConsignFindManage", Services::manage().provides(M::FindManage)},
        {"mnuStatWork", Services::tools().provides(T::StatJob)},
        {"mnuStatReader", Services::reader().provides(R::RedrInfo)},
        {"mnuStatBook", Services::bookInfo().provides()},
        {"mnuOptionEmailOption", Services::manage().provides(M::EmailOption)},
        {"mnuOptionBarReadRule", Services::reader().provides(R::BarReadRule)},
        {"mnuFindText", Services::tools().provides(T::FindText)},
        {"mnuToolTheme", Services::extend().provides(E::ThemeManager)},
        {"mnuToolAddins", Services::extend().provides(E::AddinManager)},
        {"mnuToolNews", Services::infoCenter().provides(I::NewsManager)},
        {"mnuLastUpdating", Services::infoCenter().provides(I::LastUpdating)},
    };
    for (const auto& it : items)
        cmdBar_->setItemEnabled(QString::fromLatin1(it.key), it.on);
    const struct {
        const char* key;
        bool on;
    } buttons[] = {
        {"Apply", desk}, {"Find", find}, {"ApplyList", find}, {"FindList", find},
        {"Check", ret},  {"ReturnList", ret}, {"CheckList", ret},
    };
    for (const auto& it : buttons)
        tbToolbar_->setItemEnabled(QString::fromLatin1(it.key), it.on);
}

bool frmMain::dispatchCommon(const QString& key)
{
    static const QHash<QString, QString> deskKeys = {
        {QStringLiteral("mnuConsignApply"), QStringLiteral("Apply")},
        {QStringLiteral("Apply"), QStringLiteral("Apply")},
        {QStringLiteral("mnuConsignLend"), QStringLiteral("Lend")},
        {QStringLiteral("Lend"), QStringLiteral("Lend")},
        {QStringLiteral("mnuConsignReturn"), QStringLiteral("Return")},
        {QStringLiteral("Return"), QStringLiteral("Return")},
    };
    static const QHash<QString, QString> findKeys = {
        {QStringLiteral("mnuConsignFind"), QStringLiteral("Find")},
        {QStringLiteral("Find"), QStringLiteral("Find")},
        {QStringLiteral("mnuConsignApplyList"), QStringLiteral("ApplyList")},
        {QStringLiteral("ApplyList"), QStringLiteral("ApplyList")},
        {QStringLiteral("mnuConsignFindList"), QStringLiteral("FindList")},
        {QStringLiteral("FindList"), QStringLiteral("FindList")},
    };
    static const QHash<QString, QString> returnKeys = {
        {QStringLiteral("mnuConsignCheck"), QStringLiteral("Check")},
        {QStringLiteral("Check"), QStringLiteral("Check")},
        {QStringLiteral("mnuConsignReturnList"), QStringLiteral("ReturnList")},
        {QStringLiteral("ReturnList"), QStringLiteral("ReturnList")},
        {QStringLiteral("mnuConsignCheckList"), QStringLiteral("CheckList")},
        {QStringLiteral("CheckList"), QStringLiteral("CheckList")},
    };
    using M = shell::ConsignManageService;
    const QString right = strMenuRight(key);
    if (right.isEmpty())
        return false;
    if (!blnCheckAuth(right, true))
        return true;
    if (deskKeys.contains(key)) {
        if (Services::desk().provides())
            Services::desk().showDesk(mdi_, deskKeys.value(key));
    } else if (findKeys.contains(key)) {
        if (Services::manage().provides(M::Find))
            Services::manage().showFind(mdi_, findKeys.value(key));
    } else if (returnKeys.contains(key)) {
        if (Services::manage().provides(M::ReturnManage))
            Services::manage().showReturnManage(mdi_, returnKeys.value(key));
    } else if (key == QLatin1String("mnuConsignApplyManage")) {
        if (Services::manage().provides(M::ApplyManage))
            Services::manage().showApplyManage(mdi_);
    } else if (key == QLatin1String("mnuConsignFindManage")) {
        if (Services::manage().provides(M::FindManage))
            Services::manage().showFindManage(mdi_);
    }
    return true;
}

void frmMain::menuItemClick(const QString& key)
{
    using M = shell::ConsignManageService;
    using R = shell::ReaderService;
    using I = shell::InfoCenterService;
    using E = shell::ExtendService;
    using T = shell::ToolsService;
    try {
        if (dispatchCommon(key))
            return;
        if (key == QLatin1String("mnuLogin")) {
            subReLogin();
        } else if (key == QLatin1String("mnuExit")) {
            // The connection closes with the release sequence, once the exit
            // question has been answered OK.
            close();
        } else if (key == QLatin1String("mnuStatWork")) {
            if (Services::tools().provides(T::StatJob))
                Services::tools().showStatJob(this, QStringLiteral("4%"));
        } else if (key == QLatin1String("mnuStatReader")) {
            subShowRedrInfo();
        } else if (key == QLatin1String("mnuStatBook")) {
            if (Services::bookInfo().provides())
                Services::bookInfo().showBookInfo(this);
        } else if (key == QLatin1String("mnuOptionEmailOption")) {
            if (Services::manage().provides(M::EmailOption))
                Services::manage().showEmailOption(this);
        } else if (key == QLatin1String("mnuOptionBarReadRule")) {
            if (Services::reader().provides(R::BarReadRule))
                Services::reader().showBarReadRule(this);
        } else if (key == QLatin1String("mnuWindowToolbar")) {
            tbToolbar_->setVisible(cmdBar_->isItemChecked(key));
        } else if (key == QLatin1String("mnuWindowStatusBar")) {
            statusBar()->setVisible(cmdBar_->isItemChecked(key));
        } else if (key == QLatin1String("mnuWindowTileHorizontal")) {
            tileWindows(true);
        } else if (key == QLatin1String("mnuWindowTileVertical")) {
            tileWindows(false);
        } else if (key == QLatin1String("mnuWindowCascade")) {
            mdi_->cascadeSubWindows();
        } else if (key == QLatin1String("mnuWindowArrangeIcons")) {
            arrangeIcons();
        } else if (key == QLatin1String("mnuFindText")) {
            if (Services::tools().provides(T::FindText))
                Services::tools().showFindText(this);
        } else if (key == QLatin1String("mnuToolTheme")) {
            if (Services::extend().provides(E::ThemeManager))
                Services::extend().showThemeManager(this);
        } else if (key == QLatin1String("mnuToolAddins")) {
            if (Services::extend().provides(E::AddinManager))
                Services::extend().showAddinManager(this);
        } else if (key == QLatin1String("mnuToolNews")) {
            if (Services::infoCenter().provides(I::NewsManager))
                Services::infoCenter().showNewsManager(this);
        } else if (key == QLatin1String("mnuToolFeedback") || key == QLatin1String("mnuToolIIC")) {
            // nothing
        } else if (key == QLatin1String("mnuToolUpgrade")) {
            if (Services::tools().provides(T::LiveUpdate))
                Services::tools().runLiveUpdate(QStringLiteral("lt4"), this);
        } else if (key == QLatin1String("mnuHelpContents")) {
            subShowHelpContents();
        } else if (key == QLatin1String("mnuLastUpdating")) {
            if (Services::infoCenter().provides(I::LastUpdating))
                Services::infoCenter().showLastUpdating(this, QStringLiteral("qn.qorlan.lt4"),
                                                        g_strPath[0] + QStringLiteral("Update/流通委托"));
        } else if (key == QLatin1String("mnuHelpAbout")) {
            frmCircLogo* about = frmCircLogo::create(this);
            about->setWindowFlag(Qt::Window, true);
            about->subSetLogoMode(QStringLiteral("关于"));
            about->show();
            about->activateWindow();
        } else {
            subRunExtenShortcut(kMainMenuPath, QStringLiteral("MenuItem"), key);
        }
    } catch (const std::exception& e) {
        subShowRunError(QString::fromLocal8Bit(e.what()));
    }
}

void frmMain::toolbarButtonClick(const QString& key)
{
    try {
        if (dispatchCommon(key))
            return;
        subRunExtenShortcut(kToolbarPath, QStringLiteral("CommandItem"), key);
    } catch (const std::exception& e) {
        subShowRunError(QString::fromLocal8Bit(e.what()));
    }
}

void frmMain::subReLogin()
{
    QPointer<frmCircLogo> logo = frmCircLogo::create(this);
    logo->setWindowFlag(Qt::Window, true);
    logo->subSetLogoMode(QStringLiteral("登录"));
    logo->m_bReLogin = true;
    logo->subShowStatus(QStringLiteral("用户重新登录"));
    ui::DialogService::current().execDialog(logo.data());
    delete logo.data();
    if (g_blnDlgOk)
        setStatusPanel();
    // The windows the worker now logged in may not open do not stay open
    // for him: the previous worker's lists and their printing go with them.
    Services::desk().unloadWithoutRight();
    Services::manage().unloadWithoutRight();
}

void frmMain::subShowRedrInfo()
{
    QString redrId;
    QString barcode;
    try {
        redrId = g_strCertID;
        DBResultSet cards;
        g_strSQL = QStringLiteral(" SELECT redr_cert_id FROM reader_cert WHERE cert_id=") + strSQLQuote(redrId)
                   + QStringLiteral(" AND cert_flag<>") + strSQLQuote(QStringLiteral("0"));
        g_intSQLRet = LIB_DB_Select(g_strSQL, cards);
        if (g_intSQLRet == 0)
            barcode = cards.rowCount() > 0 ? cards.text(0, 0) : QString();
    } catch (const std::exception&) {
    }
    try {
        if (Services::reader().provides(shell::ReaderService::RedrInfo))
            Services::reader().showRedrInfo(this, redrId, barcode);
    } catch (const std::exception&) {
    }
}

void frmMain::subShowOption()
{
    auto* option = new frmOption(this);
    option->show();
}

void frmMain::subShowLendFine()
{
    // The borrower of the desk's current return; the reader subsystem reads the
    // unpaid total and opens the settlement from 0.10 on.
    ::subShowLendFine(this, Services::desk().strRetRedr());
}

void frmMain::subShowHelpContents()
{
    ui::BoxRequest box;
    box.icon = ui::BoxIcon::Information;
    box.buttons = ui::BoxButtons::Ok;
    box.title = windowTitle();
    box.text = QStringLiteral("无法显示帮助目录，该工程没有相关联的帮助。");
    ui::DialogService::current().showBox(box);
}

bool frmMain::blnHasModuleRight(const QString& code) const
{
    for (int i = 0; i < g_varAuthList.rowCount(); ++i)
        if (g_varAuthList.text(i, 0) == code)
            return true;
    return false;
}

void frmMain::tileWindows(bool horizontal)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : mdi_->subWindowList())
        if (w->isVisible() && !w->isMinimized())
            windows.append(w);
    if (windows.isEmpty())
        return;
    const QRect area = mdi_->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows[i];
        if (w->isMaximized())
            w->showNormal();
        if (horizontal) {
            const int h = area.height() / n;
            w->setGeometry(0, i * h, area.width(), h);
        } else {
            const int wd = area.width() / n;
            w->setGeometry(i * wd, 0, wd, area.height());
        }
    }
}

void frmMain::arrangeIcons()
{
    const QRect area = mdi_->viewport()->rect();
    int x = 0;
    int y = area.height();
    for (QMdiSubWindow* w : mdi_->subWindowList()) {
        if (!w->isMinimized())
            continue;
        const QSize s = w->size();
        if (x + s.width() > area.width() && x > 0) {
            x = 0;
            y -= s.height();
        }
        w->move(x, y - s.height());
        x += s.width();
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!released_) {
        if (intShowMsg(QStringLiteral("QCM000")) == 2) {
            event->ignore();
            return;
        }
        Services::desk().unloadAll();
        Services::manage().unloadAll();
        Services::reader().unloadAll();
        Services::bookInfo().unloadAll();
        Services::infoCenter().unloadAll();
        Services::extend().unloadAll();
        Services::tools().unloadAll();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != this && w->isVisible())
                w->close();
        mdi_->closeAllSubWindows();
        releaseSequence();
    }
    event->accept();
}

void frmMain::releaseSequence()
{
    released_ = true;
    try {
        subSaveStyleID();
        subReleaseAddins();
        subRemoveAddins();
    } catch (const std::exception&) {
    }
    g_objCurTheme = nullptr;
    g_objThemes = nullptr;
    themes_.reset();
    g_objAddins = nullptr;
    addins_.reset();
    if (LIB_DB_Close() < 0)
        intShowDBError();
}
