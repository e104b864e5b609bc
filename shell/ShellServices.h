#pragma once
// What the main window uses of the later subsystems, as small services.
//
// The main window opens the desk, the management windows, the reader and book
// look-ups, the mail options, the add-in and theme managers, the news and the
// update notes only through these interfaces. Until a subsystem installs its
// implementation the defaults below report the window as not provided, and the
// menu items that open it stay in place, disabled.

#include <QList>
#include <QString>
#include <memory>

class QMdiArea;
class QWidget;

namespace shell {

// Consignment desk: frmConsign, an MDI child of the main window.
class ConsignDeskService {
public:
    virtual ~ConsignDeskService() = default;
    virtual bool provides() const { return false; }
    // Shows the desk modeless in the frame, then runs its command-bar item
    // `key` ("Apply", "Lend", "Return").
    virtual void showDesk(QMdiArea* frame, const QString& key) { (void)frame, (void)key; }
    // The borrower (cert_id) of the copy the desk returns now; "" when none.
    virtual QString strRetRedr() const { return {}; }
    // Unloads the desk's windows (exit).
    virtual void unloadAll() {}
    // Unloads the desk when the worker now logged in has no right to the
    // mode it is in (a repeated log-in).
    virtual void unloadWithoutRight() {}
};

// Consignment management and notices.
class ConsignManageService {
public:
    enum Window { Find, ReturnManage, ApplyManage, FindManage, EmailOption };
    virtual ~ConsignManageService() = default;
    virtual bool provides(Window w) const { (void)w; return false; }
    // frmFind with its bar item "Find", "ApplyList" or "FindList".
    virtual void showFind(QMdiArea* frame, const QString& key) { (void)frame, (void)key; }
    // frmReturnManage with its bar item "Check", "ReturnList" or "CheckList".
    virtual void showReturnManage(QMdiArea* frame, const QString& key) { (void)frame, (void)key; }
    virtual void showApplyManage(QMdiArea* frame) { (void)frame; }
    virtual void showFindManage(QMdiArea* frame) { (void)frame; }
    // frmEmailOption, modeless, owned by `owner`.
    virtual void showEmailOption(QWidget* owner) { (void)owner; }
    virtual void unloadAll() {}
    // Unloads each window the worker now logged in has no right to open (a
    // repeated log-in).
    virtual void unloadWithoutRight() {}
};

// Reader information and fines.
class ReaderService {
public:
    enum Window { RedrInfo, BarReadRule };
    virtual ~ReaderService() = default;
    virtual bool provides(Window w) const { (void)w; return false; }
    // frmRedrInfo on the reader `redrId` with card `barcode` (either may be
    // empty): pInitialize, then shown modeless, owned by `owner`.
    virtual void showRedrInfo(QWidget* owner, const QString& redrId, const QString& barcode)
    {
        (void)owner, (void)redrId, (void)barcode;
    }
    // frmBarReadRule, modeless, owned by `owner`.
    virtual void showBarReadRule(QWidget* owner) { (void)owner; }
    virtual void unloadAll() {}
};

// Bibliographic look-up: frmBookInfo, pInitialize, modeless, owned.
class BookInfoService {
public:
    virtual ~BookInfoService() = default;
    virtual bool provides() const { return false; }
    virtual void showBookInfo(QWidget* owner) { (void)owner; }
    virtual void unloadAll() {}
};

// Information centre.
class InfoCenterService {
public:
    enum Window { NewsManager, LastUpdating };
    virtual ~InfoCenterService() = default;
    virtual bool provides(Window w) const { (void)w; return false; }
    // frmNewsManager: blnReadNewsSetting, then modeless, owned.
    virtual void showNewsManager(QWidget* owner) { (void)owner; }
    // frmLastUpdating with its signature and load path, modal.
    virtual void showLastUpdating(QWidget* owner, const QString& signature, const QString& loadPath)
    {
        (void)owner, (void)signature, (void)loadPath;
    }
    virtual void unloadAll() {}
};

// A theme of the theme collection.
class Theme {
public:
    virtual ~Theme() = default;
    virtual QString ID() const = 0;
    virtual bool LoadTheme() = 0;
    virtual bool ApplyTheme() = 0;
};

// The theme collection (one per run, created by the main window). Empty until
// themes are built.
class ThemesCollection {
public:
    virtual ~ThemesCollection() = default;
    virtual void setModule(int module) { (void)module; }
    virtual void setConfigFile(const QString& file) { (void)file; }
    virtual bool LoadThemes(const QString& folder) { (void)folder; return true; }
    virtual int count() const { return 0; }
    // The theme keyed `id`, or nullptr.
    virtual Theme* theme(const QString& id) const { (void)id; return nullptr; }
    // The theme at `index` (0-based), or nullptr.
    virtual Theme* themeAt(int index) const { (void)index; return nullptr; }
};

// An add-in's start-up shortcut: the shortcut text and the class it addresses.
struct AddinShortCut {
    QString ShortCut;
    QString ClassName;
};

// A library (class) an add-in brings.
class AddinAssembly {
public:
    virtual ~AddinAssembly() = default;
    // Drops the library's object; nothing when it holds none.
    virtual void Release() = 0;
    // Removes the library's registration; true on success.
    virtual bool UnRegisteLibrary() = 0;
};

// An item of an extension point ("MenuItem", "CommandItem", ...).
class ExtenItem {
public:
    virtual ~ExtenItem() = default;
    virtual QString ItemKey() const = 0;
    // The first attribute named `key` (any case), else `defaultValue`.
    virtual QString GetAttributeValue(const QString& key, const QString& defaultValue) const = 0;
};

// An extension point: a host path ("%frmMain%\%MainMenu%\mnuTool") and its items.
class Extension {
public:
    virtual ~Extension() = default;
    virtual QList<ExtenItem*> Items() const = 0;
    // The path segment after the first segment equal to `segment` (any case)
    // that is not the last; "" when there is none.
    virtual QString GetChildPathKey(const QString& segment) const = 0;
};

// A loaded add-in. Status: 0 installed in this run, 1 loaded, 2 marked for
// removal when the program ends.
class Addin {
public:
    virtual ~Addin() = default;
    virtual QList<AddinShortCut> AddinInitProcess() const = 0;
    virtual QList<AddinAssembly*> Assemblys() const = 0;
    virtual int Status() const = 0;
    virtual void setStatus(int status) = 0;
    virtual QString AddinPath() const = 0;
};

// The add-in collection (one per run, created by the main window). Empty
// until add-ins are built.
class AddinsCollection {
public:
    virtual ~AddinsCollection() = default;
    virtual void setMainForm(QWidget* form) { (void)form; }
    virtual void setConfigFile(const QString& file) { (void)file; }
    virtual void LoadAddins(const QString& folder) { (void)folder; }
    // The add-ins folder, without a trailing separator.
    virtual QString Path() const { return {}; }
    // The add-ins in load order (0-based positions); removing one drops it
    // from the collection.
    virtual int count() const { return 0; }
    virtual Addin* addin(int index) const { (void)index; return nullptr; }
    virtual void removeAddin(int index) { (void)index; }
    // Appends every extension point at `path` or below it, in add-in order,
    // then in the order of each add-in's description.
    virtual void GetExtensByPath(const QString& path, QList<Extension*>& cols) const { (void)path, (void)cols; }
    // Runs one shortcut; failures are reported inside, never passed on.
    virtual void ExcuteExtenShortcut(const QString& sClass, const QString& sShortcut)
    {
        (void)sClass, (void)sShortcut;
    }
};

// Managers of add-ins and themes.
class ExtendService {
public:
    enum Window { AddinManager, ThemeManager };
    virtual ~ExtendService() = default;
    virtual bool provides(Window w) const { (void)w; return false; }
    virtual std::unique_ptr<AddinsCollection> createAddins() { return std::make_unique<AddinsCollection>(); }
    virtual std::unique_ptr<ThemesCollection> createThemes() { return std::make_unique<ThemesCollection>(); }
    virtual void showAddinManager(QWidget* owner) { (void)owner; }
    virtual void showThemeManager(QWidget* owner) { (void)owner; }
    virtual void unloadAll() {}
};

// Tools of the main window that come with their own windows: work statistics,
// the find-text tool and the updater launch, and the text viewer of the about
// box.
class ToolsService {
public:
    enum Tool { StatJob, FindText, LiveUpdate, CommonView };
    virtual ~ToolsService() = default;
    virtual bool provides(Tool t) const { (void)t; return false; }
    // frmStatJob with its job head, modeless, owned.
    virtual void showStatJob(QWidget* owner, const QString& jobHead) { (void)owner, (void)jobHead; }
    virtual void showFindText(QWidget* mainWindow) { (void)mainWindow; }
    virtual void runLiveUpdate(const QString& module, QWidget* mainWindow) { (void)module, (void)mainWindow; }
    // The text viewer on `path`, modal.
    virtual void showCommonView(QWidget* owner, const QString& path) { (void)owner, (void)path; }
    virtual void unloadAll() {}
};

// The services in force. Subsystems install theirs at program start; tests
// install recording fakes. Installed objects are not owned; nullptr restores
// the default (nothing provided).
struct Services {
    static ConsignDeskService& desk();
    static ConsignManageService& manage();
    static ReaderService& reader();
    static BookInfoService& bookInfo();
    static InfoCenterService& infoCenter();
    static ExtendService& extend();
    static ToolsService& tools();

    static void install(ConsignDeskService* s);
    static void install(ConsignManageService* s);
    static void install(ReaderService* s);
    static void install(BookInfoService* s);
    static void install(InfoCenterService* s);
    static void install(ExtendService* s);
    static void install(ToolsService* s);
    // Restores every default.
    static void reset();
};

} // namespace shell
