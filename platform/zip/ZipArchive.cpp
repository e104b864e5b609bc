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

bool specialEntry(zip_t* z, zip_uint64_t i) {
    zip_uint8_t os = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(z, i, 0, &os, &attributes) != 0 || os != ZIP_OPSYS_UNIX)
        return false;
    const mode_t mode = attributes >> 16;
    return (mode & S_IFMT) != 0 && !S_ISREG(mode) && !S_ISDIR(mode);
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
        e.link = specialEntry(z, zip_uint64_t(i));
        entries_.append(e);
    }
    return true;
}

QString ZipArchive::refusal(const ZipLimits& limits) const {
    if (entries_.size() > limits.maxEntries) return QStringLiteral("too many entries");
    qint64 total = 0;
    for (const ZipEntry& e : entries_) {
        if (safeEntryName(e.name).isEmpty()) return QStringLiteral("unsafe entry name: ") + e.name;
        if (e.link) return QStringLiteral("link or special entry: ") + e.name;
        if (e.encrypted) return QStringLiteral("encrypted entry: ") + e.name;
        total += e.size;
        if (e.size < 0 || total > limits.maxUnpackedBytes) return QStringLiteral("unpacked size too large");
    }
    return {};
}

bool ZipArchive::extractAll(const QString& folder, bool keepFolders, const ZipLimits& limits,
                            const QList<int>* only) {
    error_ = archive_ ? refusal(limits) : QStringLiteral("no archive");
    if (!error_.isEmpty()) return false;
    const QString root = QDir::cleanPath(folder);
    if (!QDir().mkpath(root)) {
        error_ = QStringLiteral("cannot create ") + root;
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
            error_ = QStringLiteral("cannot write ") + target;
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
        out.close();
        if (got < 0 || entryBytes != e.size) {
            error_ = QStringLiteral("cannot unpack ") + e.name;
            return false;
        }
    }
    return true;
}

} // namespace zipfile
