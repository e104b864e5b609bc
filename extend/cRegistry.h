#pragma once
// cRegistry: a position in the program's registry (root, key path, value name,
// value type, default) and the operations on it.
//
// Failures are raised as extend::RunError with the numbers and texts the
// registration code and its log rely on; reading never raises (an unreadable
// value gives Default). Texts show the root as a signed decimal number (the
// classes root reads -2147483648).

#include "platform/sys/RegistryStore.h"

#include <QStringList>
#include <QVariant>

namespace extend {

class cRegistry {
public:
    static constexpr qint32 kErrRegistry = 26001;
    static constexpr qint32 kErrSetValue = qint32(0x800469A9u);
    static constexpr qint32 kErrEnumerate = qint32(0x800469AAu);

    cRegistry() = default;
    explicit cRegistry(const QString& storeFile) : store_(storeFile) {}

    bool KeyExists() const;
    bool CreateKey();
    bool DeleteKey();
    bool DeleteValue();
    QVariant Value();
    void setValue(const QVariant& vValue);
    bool EnumerateValues(QStringList& sKeyNames, int& iKeyCount) const;
    bool EnumerateSections(QStringList& sSect, int& iSectCount) const;

    qint32 ValueType() const { return valueType_; }
    void setValueType(qint32 t) { valueType_ = t; }
    qint32 ClassKey() const { return classKey_; }
    void setClassKey(qint32 k) { classKey_ = k; }
    QString SectionKey() const { return section_; }
    void setSectionKey(const QString& s) { section_ = s; }
    QString ValueKey() const { return valueKey_; }
    void setValueKey(const QString& v) { valueKey_ = v; }
    QVariant Default() const { return default_; }
    void setDefault(const QVariant& d) { default_ = d; }

private:
    quint32 root() const { return quint32(classKey_); }
    QString rootText() const { return QString::number(classKey_); }
    [[noreturn]] void raise(qint32 number, const QString& text) const;

    sys::RegistryStore store_;
    qint32 classKey_ = 0;
    QString section_;
    QString valueKey_;
    qint32 valueType_ = 0;
    QVariant default_;
};

// Class-root and local-machine handles as cRegistry holds them.
constexpr qint32 HKCR = qint32(sys::HKEY_CLASSES_ROOT);
constexpr qint32 HKLM = qint32(sys::HKEY_LOCAL_MACHINE);

} // namespace extend
