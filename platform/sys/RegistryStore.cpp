#include "platform/sys/RegistryStore.h"

#include "platform/text/FileSet.h"
#include "platform/text/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace sys {

namespace {

struct Value {
    QString name;
    RegValue value;
};

struct Node {
    QString name;
    QList<Value> values;
    QList<Node> keys;
};

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList segments(const QString& path) {
    return path.split(u'\\', Qt::SkipEmptyParts);
}

QJsonObject toJson(const Node& n) {
    QJsonArray values;
    for (const Value& v : n.values) {
        QJsonObject o{{QStringLiteral("name"), v.name}, {QStringLiteral("type"), v.value.type}};
        switch (v.value.type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_MULTI_SZ:
            o.insert(QStringLiteral("text"), v.value.data.toString());
            break;
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN:
            o.insert(QStringLiteral("number"), qint64(v.value.data.toUInt()));
            break;
        default:
            o.insert(QStringLiteral("bytes"), QString::fromLatin1(v.value.data.toByteArray().toBase64()));
        }
        values.append(o);
    }
    QJsonArray keys;
    for (const Node& k : n.keys)
        keys.append(toJson(k));
    return {
        {QStringLiteral("name"), n.name}, {QStringLiteral("values"), values}, {QStringLiteral("keys"), keys}};
}

Node fromJson(const QJsonObject& o) {
    Node n;
    n.name = o.value(QStringLiteral("name")).toString();
    for (const QJsonValue& jv : o.value(QStringLiteral("values")).toArray()) {
        const QJsonObject vo = jv.toObject();
        Value v;
        v.name = vo.value(QStringLiteral("name")).toString();
        v.value.type = vo.value(QStringLiteral("type")).toInt();
        switch (v.value.type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_MULTI_SZ:
            v.value.data = vo.value(QStringLiteral("text")).toString();
            break;
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN:
            v.value.data = quint32(vo.value(QStringLiteral("number")).toInteger());
            break;
        default:
            v.value.data = QByteArray::fromBase64(vo.value(QStringLiteral("bytes")).toString().toLatin1());
        }
        n.values.append(v);
    }
    for (const QJsonValue& k : o.value(QStringLiteral("keys")).toArray())
        n.keys.append(fromJson(k.toObject()));
    return n;
}

// The whole store: one node per root, named by the root's number.
struct Tree {
    Node top;

    Node* rootNode(quint32 root, bool create) {
        const QString name = QString::number(root);
        for (Node& n : top.keys)
            if (n.name == name) return &n;
        if (!create) return nullptr;
        top.keys.append(Node{name, {}, {}});
        return &top.keys.last();
    }

    Node* find(quint32 root, const QString& path, bool create) {
        Node* n = rootNode(root, create);
        for (const QString& seg : segments(path)) {
            if (!n) return nullptr;
            Node* next = nullptr;
            for (Node& k : n->keys)
                if (sameName(k.name, seg)) {
                    next = &k;
                    break;
                }
            if (!next && create) {
                n->keys.append(Node{seg, {}, {}});
                next = &n->keys.last();
            }
            n = next;
        }
        return n;
    }
};

bool load(const QString& file, Tree* tree) {
    QFile f(file);
    if (!f.exists()) return true;
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll());
    if (!doc.isObject()) return false;
    tree->top = fromJson(doc.object());
    return true;
}

bool save(const QString& file, const Tree& tree) {
    const QFileInfo fi(file);
    if (!QDir().mkpath(fi.absolutePath())) return false;
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = QJsonDocument(toJson(tree.top)).toJson(QJsonDocument::Indented);
    if (f.write(bytes) != bytes.size() || !f.commit()) return false;
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

// The key's node in the tree loaded from `file`, or nullptr.
const Node* existingKey(Tree& t, const QString& file, quint32 root, const QString& path) {
    if (!RegistryStore::isRoot(root) || !load(file, &t)) return nullptr;
    return t.find(root, path, false);
}

qsizetype valueIndex(const Node& n, const QString& name) {
    for (qsizetype i = 0; i < n.values.size(); ++i)
        if (sameName(n.values[i].name, name)) return i;
    return -1;
}

// Loads the tree, runs `change` on the existing key and saves the tree when
// the change reports success.
template <class F>
RegistryStore::Result changeKey(const QString& file, quint32 root, const QString& path, F change) {
    using Result = RegistryStore::Result;
    const text::FileLock lock(text::lockFileFor(file));
    if (!lock.locked()) return Result::Failed;
    Tree t;
    if (!RegistryStore::isRoot(root) || !load(file, &t)) return Result::Failed;
    Node* n = t.find(root, path, false);
    if (!n) return Result::NotFound;
    const Result r = change(*n);
    if (r != Result::Ok) return r;
    return save(file, t) ? Result::Ok : Result::Failed;
}

template <class T> QStringList names(const QList<T>& list) {
    QStringList out;
    for (const T& x : list)
        out << x.name;
    return out;
}

} // namespace

RegistryStore::RegistryStore() : file_(defaultFile()) {}

RegistryStore::RegistryStore(const QString& file) : file_(file) {}

QString RegistryStore::defaultFile() {
    return text::settingsFolder() + QStringLiteral("/registry.json");
}

bool RegistryStore::isRoot(quint32 root) {
    return root >= 0x80000000u && root <= 0x80000006u;
}

bool RegistryStore::keyExists(quint32 root, const QString& path) const {
    Tree t;
    return isRoot(root) && load(file_, &t) && (segments(path).isEmpty() || t.find(root, path, false));
}

bool RegistryStore::createKey(quint32 root, const QString& path) {
    if (!QDir().mkpath(QFileInfo(file_).absolutePath())) return false;
    const text::FileLock lock(text::lockFileFor(file_));
    if (!lock.locked()) return false;
    Tree t;
    if (!isRoot(root) || !load(file_, &t)) return false;
    if (t.find(root, path, false)) return true;
    t.find(root, path, true);
    return save(file_, t);
}

RegistryStore::Result RegistryStore::deleteKey(quint32 root, const QString& path) {
    const text::FileLock lock(text::lockFileFor(file_));
    if (!lock.locked()) return Result::Failed;
    Tree t;
    QStringList segs = segments(path);
    if (!isRoot(root) || segs.isEmpty() || !load(file_, &t)) return Result::Failed;
    const QString last = segs.takeLast();
    Node* parent = t.find(root, segs.join(u'\\'), false);
    if (!parent) return Result::NotFound;
    for (qsizetype i = 0; i < parent->keys.size(); ++i) {
        if (!sameName(parent->keys[i].name, last)) continue;
        if (!parent->keys[i].keys.isEmpty()) return Result::HasSubkeys;
        parent->keys.removeAt(i);
        return save(file_, t) ? Result::Ok : Result::Failed;
    }
    return Result::NotFound;
}

std::optional<RegValue> RegistryStore::value(quint32 root, const QString& path, const QString& name) const {
    Tree t;
    const Node* n = existingKey(t, file_, root, path);
    const qsizetype i = n ? valueIndex(*n, name) : -1;
    if (i < 0) return std::nullopt;
    return n->values.at(i).value;
}

RegistryStore::Result RegistryStore::setValue(quint32 root, const QString& path, const QString& name,
                                              const RegValue& value) {
    return changeKey(file_, root, path, [&](Node& n) {
        const qsizetype i = valueIndex(n, name);
        if (i < 0)
            n.values.append(Value{name, value});
        else
            n.values[i].value = value;
        return Result::Ok;
    });
}

RegistryStore::Result RegistryStore::deleteValue(quint32 root, const QString& path, const QString& name) {
    return changeKey(file_, root, path, [&](Node& n) {
        const qsizetype i = valueIndex(n, name);
        if (i < 0) return Result::NotFound;
        n.values.removeAt(i);
        return Result::Ok;
    });
}

QStringList RegistryStore::valueNames(quint32 root, const QString& path) const {
    Tree t;
    const Node* n = existingKey(t, file_, root, path);
    return n ? names(n->values) : QStringList();
}

QStringList RegistryStore::subkeyNames(quint32 root, const QString& path) const {
    Tree t;
    const Node* n = existingKey(t, file_, root, path);
    return n ? names(n->keys) : QStringList();
}

} // namespace sys
