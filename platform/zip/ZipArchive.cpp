#include "platform/zip/ZipArchive.h"

#include "platform/text/CodePage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <sys/stat.h>
#include <zip.h>

namespace zipfile {

namespace {

zip_t* handle(void* p) {
    return static_cast<zip_t*>(p);
}

QString methodText(zip_uint16_t m) {
    switch (m) {
    case ZIP_CM_STORE:
        return QStringLiteral("Stored");
    case ZIP_CM_DEFLATE:
        return QStringLiteral("Deflated");
    case ZIP_CM_DEFLATE64:
        return QStringLiteral("Deflate64");
    case ZIP_CM_BZIP2:
        return QStringLiteral("BZip2");
    default:
        return QStringLiteral("Method%1").arg(m);
    }
}

// The Unix mode stored for the entry (type and permission bits), 0 when the
// archive was made elsewhere.
mode_t storedMode(zip_t* z, zip_uint64_t i) {
    zip_uint8_t os = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(z, i, 0, &os, &attributes) != 0 || os != ZIP_OPSYS_UNIX) return 0;
    return mode_t(attributes >> 16);
}

bool specialEntry(mode_t mode) {
    return (mode & S_IFMT) != 0 && !S_ISREG(mode) && !S_ISDIR(mode);
}

QString quoted(const QString& name) {
    return QStringLiteral("[") + name + QStringLiteral("]");
}

// Names stored without the UTF-8 mark come from the system code page (GBK);
// libzip would read them as the old DOS code page.
QString entryName(zip_t* z, zip_uint64_t i, const char* converted) {
    const char* raw = zip_get_name(z, i, ZIP_FL_ENC_RAW);
    if (!raw) return QString::fromUtf8(converted);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString name = utf8(QByteArrayView(raw));
    return utf8.hasError() ? text::fromGb18030(QByteArrayView(raw)) : name;
}

} // namespace

quint32 extractedMode(quint32 stored) {
    const quint32 execute = stored & 0111;
    return 0644 | (execute ? (execute | 0100) : 0);
}

QString safeEntryName(const QString& stored) {
    QString name = stored;
    name.replace(u'\\', u'/');
    if (name.startsWith(u'/') || name.contains(u':')) return {};
    QStringList parts;
    for (const QString& p : name.split(u'/', Qt::SkipEmptyParts)) {
        if (p == QLatin1String("..")) return {};
        if (p != QLatin1String(".")) parts << p;
    }
    return parts.join(u'/');
}

ZipArchive::~ZipArchive() {
    close();
}

void ZipArchive::close() {
    if (archive_) zip_discard(handle(archive_));
    archive_ = nullptr;
    entries_.clear();
}

bool ZipArchive::open(const QString& path) {
    close();
    error_.clear();
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!z) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        error_ = QString::fromUtf8(zip_error_strerror(&e));
        zip_error_fini(&e);
        return false;
    }
    archive_ = z;
    const zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(z, zip_uint64_t(i), 0, &st) != 0) continue;
        ZipEntry e;
        e.name = entryName(z, zip_uint64_t(i), st.name);
        e.size = qint64(st.size);
        e.packedSize = qint64(st.comp_size);
        e.modified = QDateTime::fromSecsSinceEpoch(qint64(st.mtime));
        e.crc = st.crc;
        e.method = methodText(st.comp_method);
        e.encrypted = st.encryption_method != ZIP_EM_NONE;
        e.folder = e.name.endsWith(u'/');
        const mode_t mode = storedMode(z, zip_uint64_t(i));
        e.link = specialEntry(mode);
        e.mode = quint32(mode & 07777);
        entries_.append(e);
    }
    return true;
}

QString ZipArchive::refusal(const ZipLimits& limits) const {
    if (entries_.size() > limits.maxEntries)
        return QStringLiteral("包中的条目超过 %1 个").arg(limits.maxEntries);
    qint64 total = 0;
    for (const ZipEntry& e : entries_) {
        if (safeEntryName(e.name).isEmpty()) {
            const QString name = QString(e.name).replace(u'\\', u'/');
            if (name.startsWith(u'/') || name.contains(u':'))
                return QStringLiteral("条目 %1 是绝对路径").arg(quoted(e.name));
            if (name.split(u'/').contains(QLatin1String("..")))
                return QStringLiteral("条目 %1 指向包外的文件夹（含有“..”）").arg(quoted(e.name));
            return QStringLiteral("条目 %1 的名称无效").arg(quoted(e.name));
        }
        if (e.link) return QStringLiteral("条目 %1 是链接或特殊文件").arg(quoted(e.name));
        if (e.encrypted) return QStringLiteral("条目 %1 已加密").arg(quoted(e.name));
        total += e.size;
        if (e.size < 0 || total > limits.maxUnpackedBytes)
            return QStringLiteral("条目 %1 过大：解压后共超过 %2 字节").arg(quoted(e.name)).arg(limits.maxUnpackedBytes);
    }
    return {};
}

bool ZipArchive::extractAll(const QString& folder, bool keepFolders, const ZipLimits& limits,
                            const QList<int>* only) {
    error_ = archive_ ? refusal(limits) : QStringLiteral("文件不是可读的压缩包");
    if (!error_.isEmpty()) return false;
    const QString root = QDir::cleanPath(folder);
    if (!QDir().mkpath(root)) {
        error_ = QStringLiteral("不能建立文件夹 %1").arg(quoted(root));
        return false;
    }
    qint64 written = 0;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (only && !only->contains(int(i))) continue;
        const ZipEntry& e = entries_.at(i);
        const QString name = safeEntryName(e.name);
        if (e.folder) {
            if (keepFolders && !name.isEmpty()) QDir().mkpath(root + u'/' + name);
            continue;
        }
        const QString target = root + u'/' + (keepFolders ? name : name.section(u'/', -1));
        QDir().mkpath(QFileInfo(target).absolutePath());
        zip_file_t* in = zip_fopen_index(handle(archive_), zip_uint64_t(i), 0);
        QFile out(target);
        if (!in || QFileInfo(target).isSymLink() || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            if (in) zip_fclose(in);
            error_ = QStringLiteral("不能写入文件 %1").arg(quoted(target));
            return false;
        }
        qint64 entryBytes = 0;
        zip_int64_t got = 0;
        while ((got = zip_fread(in, buffer.data(), zip_uint64_t(buffer.size()))) > 0) {
            entryBytes += got;
            written += got;
            // An entry that unpacks to more than it declares is refused.
            if (entryBytes > e.size || written > limits.maxUnpackedBytes ||
                out.write(buffer.constData(), got) != got) {
                got = -1;
                break;
            }
        }
        zip_fclose(in);
        // The permissions go on the open file, never through a name.
        const bool modeSet = got < 0 || fchmod(out.handle(), mode_t(extractedMode(e.mode))) == 0;
        out.close();
        if (got < 0 || entryBytes != e.size) {
            error_ = entryBytes > e.size || written > limits.maxUnpackedBytes
                         ? QStringLiteral("条目 %1 过大：解压后超过记录的大小").arg(quoted(e.name))
                         : QStringLiteral("条目 %1 不能解压").arg(quoted(e.name));
            return false;
        }
        if (!modeSet) {
            error_ = QStringLiteral("不能设定文件 %1 的权限").arg(quoted(target));
            return false;
        }
    }
    return true;
}

} // namespace zipfile
