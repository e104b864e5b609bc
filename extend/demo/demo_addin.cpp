// The demo add-in: one class, "DemoAddin.Main", whose methods show what an
// add-in can reach from the desk program.
//
//   Startup(mdiArea, worker)     opens a small window in the main window's frame
//   ShowInfo(version, library, folder)
//   CountReaders(hostCalls)      counts the readers through the desk's connection
//   Options()                    the add-in's option command

#include "extend/AddinInterface.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QString>

#include <cstdio>
#include <cstring>

namespace {

const AddinClassInfo kClasses[] = {{"Main", "{6F1C2B7E-3D4A-4E59-8B0C-1A2D3E4F5A61}", 1, 0}};
const AddinLibraryInfo kLibrary = {ADDIN_INTERFACE_VERSION,
                                   "{6F1C2B7E-3D4A-4E59-8B0C-1A2D3E4F5A60}",
                                   "DemoAddin",
                                   1,
                                   0,
                                   "演示插件",
                                   1,
                                   kClasses};

QString textOf(const AddinValue& v) {
    if (v.kind == ADDIN_VALUE_TEXT && v.text) return QString::fromUtf8(v.text);
    if (v.kind == ADDIN_VALUE_INT64) return QString::number(v.number);
    return {};
}

template <class T> T* pointerOf(const AddinValue& v) {
    return v.kind == ADDIN_VALUE_INT64 ? reinterpret_cast<T*>(static_cast<quintptr>(v.number)) : nullptr;
}

// A message window that does not hold up the desk program.
void inform(const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("演示插件"), text);
    box->setObjectName(QStringLiteral("demoAddinMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void startup(int argc, AddinValue* argv) {
    auto* area = qobject_cast<QMdiArea*>(argc > 0 ? pointerOf<QWidget>(argv[0]) : nullptr);
    if (!area) return;
    auto* label =
        new QLabel(QStringLiteral("演示插件已载入。\n工作人员：%1\n工具菜单中的“演示插件”可试用它的命令。")
                       .arg(argc > 1 ? textOf(argv[1]) : QString()));
    label->setMargin(16);
    QMdiSubWindow* w = area->addSubWindow(label);
    w->setWindowTitle(QStringLiteral("演示插件"));
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
}

void countReaders(int argc, AddinValue* argv) {
    const AddinHostCalls* host = argc > 0 ? pointerOf<const AddinHostCalls>(argv[0]) : nullptr;
    if (!host || host->version != ADDIN_HOST_CALLS_VERSION) return;
    if (host->query("SELECT count(*) FROM reader") != 0) {
        inform(QStringLiteral("查询失败：") + QString::fromUtf8(host->last_error()));
        return;
    }
    inform(QStringLiteral("本馆共有读者 %1 人。").arg(QString::fromUtf8(host->cell(0, 0))));
}

int invoke(AddinObject*, const char* method, int argc, AddinValue* argv, char* error, size_t capacity) {
    if (std::strcmp(method, "Startup") == 0) {
        startup(argc, argv);
    } else if (std::strcmp(method, "ShowInfo") == 0) {
        QStringList lines{QStringLiteral("演示插件 1.0")};
        const char* labels[] = {"程序版本：", "图书馆：", "程序文件夹："};
        for (int i = 0; i < argc && i < 3; ++i)
            lines << QString::fromUtf8(labels[i]) + textOf(argv[i]);
        inform(lines.join(u'\n'));
    } else if (std::strcmp(method, "CountReaders") == 0) {
        countReaders(argc, argv);
    } else if (std::strcmp(method, "Options") == 0) {
        inform(QStringLiteral("演示插件没有需要设置的选项。"));
    } else {
        std::snprintf(error, capacity, "演示插件没有方法 %s", method);
        return ADDIN_ERROR_NO_SUCH_METHOD;
    }
    return 0;
}

void release(AddinObject* self) {
    delete self;
}

const AddinObjectCalls kCalls = {invoke, release};

} // namespace

// The library's two entry points.
extern "C" __attribute__((visibility("default"))) const AddinLibraryInfo* addin_library_info(void) {
    return &kLibrary;
}

extern "C" __attribute__((visibility("default"))) AddinObject* addin_create(const char* class_name) {
    return class_name && std::strcmp(class_name, "Main") == 0 ? new AddinObject{&kCalls} : nullptr;
}
