#include "extend/cRegistry.h"

#include "extend/RunError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

namespace extend {

namespace {

using sys::RegistryStore;

// A "%" with another "%" at least two positions after it.
bool hasPercentPair(const QString& text) {
    const qsizetype first = text.indexOf(u'%');
    return first >= 0 && text.indexOf(u'%', first + 2) >= 0;
}

QString expandEnvironment(const QString& text) {
    static const QRegularExpression ref(QStringLiteral("%([^%]+)%"));
    QString out;
    qsizetype at = 0;
    for (QRegularExpressionMatchIterator it = ref.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(at, m.capturedStart() - at);
        const QByteArray name = m.captured(1).toLocal8Bit();
        out += qEnvironmentVariableIsSet(name.constData()) ? qEnvironmentVariable(name.constData())
                                                           : m.captured(0);
        at = m.capturedEnd();
    }
    return out + text.mid(at);
}

quint32 swapEndian(quint32 v) {
    return ((v & 0xFFu) << 24) | ((v & 0xFF00u) << 8) | ((v >> 8) & 0xFF00u) | (v >> 24);
}

bool isSmallInteger(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
        return true;
    default:
        return false;
    }
}

} // namespace

void cRegistry::raise(qint32 number, const QString& text) const {
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    throw RunError(number, text, exe + QStringLiteral(".cRegistry"));
}

bool cRegistry::KeyExists() const {
    return store_.keyExists(root(), section_);
}

bool cRegistry::CreateKey() {
    if (!store_.createKey(root(), section_))
        raise(kErrRegistry, QStringLiteral("Failed to create registry Key: '") + section_);
    return true;
}

bool cRegistry::DeleteKey() {
    if (store_.deleteKey(root(), section_) != RegistryStore::Result::Ok)
        raise(kErrRegistry,
              QStringLiteral("Failed to delete registry Key: '%1',Section: '%2").arg(rootText(), section_));
    return true;
}

bool cRegistry::DeleteValue() {
    if (!store_.keyExists(root(), section_))
        raise(kErrRegistry, QStringLiteral("Failed to open key '%1',Section: '%2' for delete access")
                                .arg(rootText(), section_));
    if (store_.deleteValue(root(), section_, valueKey_) != RegistryStore::Result::Ok)
        raise(kErrRegistry, QStringLiteral("Failed to delete registry Key: '%1',Section: '%2',Key: '%3")
                                .arg(rootText(), section_, valueKey_));
    return true;
}

QVariant cRegistry::Value() {
    const std::optional<sys::RegValue> v = store_.value(root(), section_, valueKey_);
    if (!v) return default_;
    valueType_ = v->type;
    switch (v->type) {
    case sys::REG_SZ:
    case sys::REG_MULTI_SZ:
        return v->data.toString();
    case sys::REG_EXPAND_SZ:
        return expandEnvironment(v->data.toString());
    case sys::REG_DWORD:
        return qint32(v->data.toUInt());
    case sys::REG_DWORD_BIG_ENDIAN:
        return qint32(swapEndian(v->data.toUInt()));
    default:
        return v->data.toByteArray();
    }
}

void cRegistry::setValue(const QVariant& vValue) {
    const QString failure =
        QStringLiteral("Failed to set registry value Key: '%1',Section: '%2',Key: '%3' to value: '%4'")
            .arg(rootText(), section_, valueKey_, vValue.toString());
    if (!store_.createKey(root(), section_)) raise(kErrRegistry, failure);
    sys::RegValue v;
    switch (valueType_) {
    case sys::REG_SZ:
    case sys::REG_EXPAND_SZ: {
        const QString text = vValue.toString();
        v.type = hasPercentPair(text) ? sys::REG_EXPAND_SZ : sys::REG_SZ;
        v.data = text;
        break;
    }
    case sys::REG_BINARY:
        if (vValue.typeId() != QMetaType::QByteArray) raise(kErrRegistry, QString());
        v.type = sys::REG_BINARY;
        v.data = vValue.toByteArray();
        break;
    case sys::REG_DWORD:
    case sys::REG_DWORD_BIG_ENDIAN:
        if (!isSmallInteger(vValue)) return;
        v.type = sys::REG_DWORD;
        v.data = quint32(vValue.toInt());
        break;
    default:
        raise(kErrSetValue, failure);
    }
    if (store_.setValue(root(), section_, valueKey_, v) != RegistryStore::Result::Ok)
        raise(kErrSetValue, failure);
}

bool cRegistry::EnumerateValues(QStringList& sKeyNames, int& iKeyCount) const {
    sKeyNames = store_.valueNames(root(), section_);
    iKeyCount = int(sKeyNames.size());
    return true;
}

bool cRegistry::EnumerateSections(QStringList& sSect, int& iSectCount) const {
    sSect = store_.subkeyNames(root(), section_);
    iSectCount = int(sSect.size());
    return true;
}

} // namespace extend
