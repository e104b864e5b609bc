#include "extend/mRegisterTypeLib.h"

#include "extend/RunError.h"
#include "extend/cRegistry.h"

#include <QFileInfo>
#include <QHash>
#include <QLibrary>

namespace extend {

namespace {

const QString kCategory = QStringLiteral("\\Implemented Categories\\{40FC6ED5-2438-11CF-A3DB-080036F12502}");

QString canonical(const QString& file) {
    const QFileInfo fi(QString(file).replace(u'\\', u'/'));
    const QString c = fi.canonicalFilePath();
    return c.isEmpty() ? fi.absoluteFilePath() : c;
}

QString text(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

cRegistry classesRoot() {
    cRegistry reg;
    reg.setClassKey(HKCR);
    return reg;
}

QString readDefault(const QString& section) {
    cRegistry reg = classesRoot();
    reg.setSectionKey(section);
    reg.setValueKey(QString());
    reg.setDefault(QString());
    return reg.Value().toString();
}

void writeText(const QString& section, const QString& name, const QString& value) {
    cRegistry reg = classesRoot();
    reg.setSectionKey(section);
    reg.CreateKey();
    reg.setValueType(sys::REG_SZ);
    reg.setValueKey(name);
    reg.setValue(value);
}

void deleteKey(const QString& section) {
    cRegistry reg = classesRoot();
    reg.setSectionKey(section);
    reg.DeleteKey();
}

void deleteValue(const QString& section, const QString& name) {
    cRegistry reg = classesRoot();
    reg.setSectionKey(section);
    reg.setValueKey(name);
    reg.DeleteValue();
}

QString progIdOf(const TypeLibInfo& lib, const TypeLibClass& c) {
    return lib.name + u'.' + c.name;
}

void registerClass(const TypeLibInfo& lib, const TypeLibClass& c) {
    const QString progId = progIdOf(lib, c);
    const QString key = QStringLiteral("CLSID\\") + c.clsid;
    writeText(key, {}, progId);
    writeText(key + QStringLiteral("\\Implemented Categories"), {}, {});
    writeText(key + kCategory, {}, {});
    writeText(key + QStringLiteral("\\InprocServer32"), {}, lib.path);
    writeText(key + QStringLiteral("\\InprocServer32"), QStringLiteral("ThreadingModel"),
              QStringLiteral("Apartment"));
    writeText(key + QStringLiteral("\\ProgID"), {}, progId);
    writeText(key + QStringLiteral("\\Programmable"), {}, {});
    writeText(key + QStringLiteral("\\TypeLib"), {}, lib.libid);
    writeText(key + QStringLiteral("\\VERSION"), {}, QStringLiteral("%1.%2").arg(c.major).arg(c.minor));
    writeText(progId, {}, progId);
    writeText(progId + QStringLiteral("\\Clsid"), {}, c.clsid);
}

void unregisterClass(const TypeLibInfo& lib, const TypeLibClass& c) {
    const QString progId = progIdOf(lib, c);
    const QString key = QStringLiteral("CLSID\\") + c.clsid;
    deleteKey(progId + QStringLiteral("\\Clsid"));
    deleteKey(progId);
    deleteKey(key + QStringLiteral("\\VERSION"));
    deleteKey(key + QStringLiteral("\\TypeLib"));
    deleteKey(key + QStringLiteral("\\Programmable"));
    deleteKey(key + QStringLiteral("\\ProgID"));
    deleteValue(key + QStringLiteral("\\InprocServer32"), QStringLiteral("ThreadingModel"));
    deleteKey(key + QStringLiteral("\\InprocServer32"));
    deleteKey(key + kCategory);
    deleteKey(key + QStringLiteral("\\Implemented Categories"));
    deleteKey(key);
}

// The library's own entry, as the platform's type-library registration
// keeps it.
void registerLibrary(const TypeLibInfo& lib) {
    writeText(strTypeLibKey(lib), {}, lib.helpString);
}

void unregisterLibrary(const TypeLibInfo& lib) {
    deleteKey(strTypeLibKey(lib));
    cRegistry reg = classesRoot();
    reg.setSectionKey(QStringLiteral("TypeLib\\") + lib.libid);
    QStringList left;
    int count = 0;
    reg.EnumerateSections(left, count);
    if (count == 0 && reg.KeyExists()) reg.DeleteKey();
}

} // namespace

std::optional<TypeLibInfo> typeLibOf(const QString& file) {
    // Loaded libraries stay loaded for the run; the handles are kept here, in
    // a table that is never destroyed (it would drop them at exit).
    static auto& loaded = *new QHash<QString, QLibrary*>;
    const QString path = canonical(file);
    if (!QFileInfo(path).isFile()) return std::nullopt;
    QLibrary* library = loaded.value(path);
    if (!library) {
        auto* l = new QLibrary(path);
        if (!l->load()) {
            delete l;
            return std::nullopt;
        }
        loaded.insert(path, l);
        library = l;
    }
    auto info = reinterpret_cast<AddinLibraryInfoFunction>(library->resolve(ADDIN_LIBRARY_INFO_SYMBOL));
    auto create = reinterpret_cast<AddinCreateFunction>(library->resolve(ADDIN_CREATE_SYMBOL));
    if (!info || !create) return std::nullopt;
    const AddinLibraryInfo* li = info();
    if (!li || li->interface_version != ADDIN_INTERFACE_VERSION || !li->libid || !li->name)
        return std::nullopt;
    TypeLibInfo lib;
    lib.path = path;
    lib.libid = text(li->libid);
    lib.name = text(li->name);
    lib.major = li->major;
    lib.minor = li->minor;
    lib.helpString = text(li->help_string);
    lib.create = create;
    for (int i = 0; i < li->class_count && li->classes; ++i) {
        const AddinClassInfo& c = li->classes[i];
        lib.classes.append({text(c.name), text(c.clsid), c.major, c.minor});
    }
    return lib;
}

QString strTypeLibKey(const TypeLibInfo& lib) {
    return QStringLiteral("TypeLib\\%1\\%2.%3")
        .arg(lib.libid, QString::number(lib.major, 16), QString::number(lib.minor, 16));
}

short intTypeLibRegistered(const QString& file) {
    try {
        const std::optional<TypeLibInfo> lib = typeLibOf(file);
        if (!lib) return -1;
        if (readDefault(strTypeLibKey(*lib)) != lib->helpString) return 0;
        // Entries that name another file (a copy of the library installed
        // elsewhere) do not count as this file's registration.
        for (const TypeLibClass& c : lib->classes)
            if (canonical(readDefault(QStringLiteral("CLSID\\%1\\InprocServer32").arg(c.clsid))) != lib->path)
                return 0;
        return 1;
    } catch (const std::exception&) {
        return -1;
    }
}

bool blnRegisterTypeLib(const QString& file, bool bRegister) {
    try {
        const std::optional<TypeLibInfo> lib = typeLibOf(file);
        if (!lib) return false;
        if (bRegister) {
            registerLibrary(*lib);
            for (const TypeLibClass& c : lib->classes)
                registerClass(*lib, c);
        } else {
            for (const TypeLibClass& c : lib->classes)
                unregisterClass(*lib, c);
            unregisterLibrary(*lib);
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

AddinObject* objCreateObject(const QString& progId) {
    if (progId.isEmpty()) return nullptr;
    const QString clsid = readDefault(progId + QStringLiteral("\\Clsid"));
    if (clsid.isEmpty()) return nullptr;
    const QString file = readDefault(QStringLiteral("CLSID\\%1\\InprocServer32").arg(clsid));
    if (file.isEmpty()) return nullptr;
    const std::optional<TypeLibInfo> lib = typeLibOf(file);
    if (!lib) return nullptr;
    for (const TypeLibClass& c : lib->classes)
        if (c.clsid.compare(clsid, Qt::CaseInsensitive) == 0) return lib->create(c.name.toUtf8().constData());
    return nullptr;
}

} // namespace extend
