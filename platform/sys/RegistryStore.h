#pragma once
// The program's registry: keys under a few roots, each with named, typed
// values, kept in one file of the per-user settings folder.
//
// Roots are the handle values of the old platform's predefined keys
// (0x80000000 the classes root, 0x80000002 the local machine, ...). A key is
// addressed by its root and a path of names separated by backslashes; key and
// value names are matched without regard to case and keep the spelling they
// were created with; keys and values keep the order they were created in.
// The empty value name is the key's default value.
//
// Every operation reads the file anew and every change writes it whole and
// renames it into place (mode 0600), so a program that ends half-way leaves
// the old or the new content, never a mix. A change reads and writes back the
// file under its lock ("registry.json.lock"), so two programs changing it at
// once lose neither change. The file is "registry.json" in
// text::settingsFolder(), unless a file is named on construction.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace sys {

enum RegRoot : quint32 {
    HKEY_CLASSES_ROOT = 0x80000000u,
    HKEY_CURRENT_USER = 0x80000001u,
    HKEY_LOCAL_MACHINE = 0x80000002u,
    HKEY_USERS = 0x80000003u,
};

enum RegType {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_MULTI_SZ = 7
};

// A stored value: its type and its data (QString for the text types, quint32
// for the two number types, QByteArray for every other type).
struct RegValue {
    int type = REG_NONE;
    QVariant data;
};

class RegistryStore {
public:
    enum class Result { Ok, NotFound, HasSubkeys, Failed };

    RegistryStore();
    explicit RegistryStore(const QString& file);

    static QString defaultFile();
    QString file() const { return file_; }

    bool keyExists(quint32 root, const QString& path) const;
    // Creates the key with its missing parents; false when the file cannot be
    // written or the root is not one of the predefined ones.
    bool createKey(quint32 root, const QString& path);
    // Deletes one key; refused (HasSubkeys) while it has keys below it.
    Result deleteKey(quint32 root, const QString& path);
    std::optional<RegValue> value(quint32 root, const QString& path, const QString& name) const;
    // Writes a value of an existing key (NotFound when the key is missing).
    Result setValue(quint32 root, const QString& path, const QString& name, const RegValue& value);
    Result deleteValue(quint32 root, const QString& path, const QString& name);
    // Names in creation order; empty for a missing key.
    QStringList valueNames(quint32 root, const QString& path) const;
    QStringList subkeyNames(quint32 root, const QString& path) const;

    static bool isRoot(quint32 root);

private:
    QString file_;
};

} // namespace sys
