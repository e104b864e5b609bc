#pragma once
// Recording stand-ins for the windows of later subsystems.

#include "shell/ShellServices.h"

#include <QStringList>

struct FakeDesk : shell::ConsignDeskService {
    bool provides() const override { return true; }
    void showDesk(QMdiArea*, const QString& key) override { calls << QStringLiteral("desk:") + key; }
    QString strRetRedr() const override { return retRedr; }
    QStringList calls;
    QString retRedr;
};

struct FakeManage : shell::ConsignManageService {
    bool provides(Window) const override { return true; }
    void showFind(QMdiArea*, const QString& key) override { calls << QStringLiteral("find:") + key; }
    void showReturnManage(QMdiArea*, const QString& key) override { calls << QStringLiteral("return:") + key; }
    void showApplyManage(QMdiArea*) override { calls << QStringLiteral("applyManage"); }
    void showFindManage(QMdiArea*) override { calls << QStringLiteral("findManage"); }
    void showEmailOption(QWidget*) override { calls << QStringLiteral("emailOption"); }
    QStringList calls;
};

struct FakeReader : shell::ReaderService {
    bool provides(Window) const override { return true; }
    void showRedrInfo(QWidget*, const QString& id, const QString& barcode) override
    {
        calls << QStringLiteral("redrInfo:%1:%2").arg(id, barcode);
    }
    void showBarReadRule(QWidget*) override { calls << QStringLiteral("barReadRule"); }
    QStringList calls;
};

struct FakeTheme : shell::Theme {
    explicit FakeTheme(QString id) : id_(std::move(id)) {}
    QString ID() const override { return id_; }
    bool LoadTheme() override { ++loads; return true; }
    bool ApplyTheme() override { ++applies; return true; }
    QString id_;
    int loads = 0;
    int applies = 0;
};

struct FakeThemes : shell::ThemesCollection {
    int count() const override { return int(themes.size()); }
    shell::Theme* theme(const QString& id) const override
    {
        for (FakeTheme* t : themes)
            if (t->ID() == id)
                return t;
        return nullptr;
    }
    shell::Theme* themeAt(int i) const override { return themes.value(i); }
    QList<FakeTheme*> themes;
};

struct FakeAssembly : shell::AddinAssembly {
    explicit FakeAssembly(QStringList* log) : log_(log) {}
    void Release() override { *log_ << QStringLiteral("release"); }
    bool UnRegisteLibrary() override { *log_ << QStringLiteral("unregister"); return true; }
    QStringList* log_;
};

// One add-in, marked for removal, with one library.
struct FakeAddin : shell::Addin {
    explicit FakeAddin(QStringList* log) : assembly(log) {}
    QList<shell::AddinShortCut> AddinInitProcess() const override { return {}; }
    QList<shell::AddinAssembly*> Assemblys() const override { return {const_cast<FakeAssembly*>(&assembly)}; }
    int Status() const override { return status; }
    void setStatus(int s) override { status = s; }
    QString AddinPath() const override { return {}; }
    FakeAssembly assembly;
    int status = 2;
};

struct FakeAddins : shell::AddinsCollection {
    explicit FakeAddins(QStringList* log) : log_(log), addin_(log) {}
    void LoadAddins(const QString& folder) override { *log_ << QStringLiteral("load:") + folder.section('/', -1); }
    int count() const override { return removed_ ? 0 : 1; }
    shell::Addin* addin(int) const override { return const_cast<FakeAddin*>(&addin_); }
    void removeAddin(int) override { removed_ = true, *log_ << QStringLiteral("removed"); }
    void GetExtensByPath(const QString& path, QList<shell::Extension*>&) const override
    {
        *log_ << QStringLiteral("extensions:") + path;
    }
    QStringList* log_;
    FakeAddin addin_;
    bool removed_ = false;
};

struct FakeExtend : shell::ExtendService {
    bool provides(Window) const override { return true; }
    std::unique_ptr<shell::AddinsCollection> createAddins() override { return std::make_unique<FakeAddins>(&log); }
    std::unique_ptr<shell::ThemesCollection> createThemes() override
    {
        auto t = std::make_unique<FakeThemes>();
        for (const QString& id : themeIds) {
            themes << new FakeTheme(id);
            t->themes << themes.last();
        }
        return t;
    }
    ~FakeExtend() override { qDeleteAll(themes); }
    QStringList themeIds;
    QList<FakeTheme*> themes;
    QStringList log;
};
