#include "extend/cUnzip.h"

#include "extend/RunError.h"

namespace extend {

void cUnzip::setZipFile(const QString& path) {
    zipFile_ = path;
    records_.clear();
}

const cUnzip::Record& cUnzip::at(int lIndex) const {
    if (lIndex < 1 || lIndex > records_.size()) throw RunError(9, QStringLiteral("下标越界"));
    return records_.at(lIndex - 1);
}

void cUnzip::setFileSelected(int lIndex, bool selected) {
    at(lIndex);
    records_[lIndex - 1].selected = selected;
}

qint64 cUnzip::FilePackedSize(int lIndex) const {
    return FileSize(lIndex) * FileCompressionRatio(lIndex) / 100;
}

long cUnzip::FileCompressionRatio(int lIndex) const {
    const Record& r = at(lIndex);
    return r.size > 0 ? long((r.size - r.packedSize) * 100 / r.size) : 0;
}

void cUnzip::Directory() {
    zipfile::ZipArchive archive;
    if (zipFile_.isEmpty() || !archive.open(zipFile_)) return;
    const QList<zipfile::ZipEntry>& entries = archive.entries();
    for (int i = 0; i < entries.size(); ++i) {
        const zipfile::ZipEntry& e = entries.at(i);
        const QString path = QString(e.name).replace(u'/', u'\\');
        const qsizetype cut = path.lastIndexOf(u'\\');
        Record r;
        r.name = path.mid(cut + 1);
        if (r.name.isEmpty()) continue;
        r.directory = cut < 0 ? QString() : path.left(cut);
        r.size = e.size;
        r.packedSize = e.packedSize;
        const QTime t = e.modified.time();
        r.date = QDateTime(e.modified.date(), QTime(t.hour(), t.minute()));
        r.crc = e.crc;
        r.method = e.method;
        r.encrypted = e.encrypted;
        r.entry = i;
        records_.append(r);
    }
}

bool cUnzip::Unzip() {
    error_.clear();
    if (zipFile_.isEmpty()) return false;
    zipfile::ZipArchive archive;
    if (!archive.open(zipFile_)) {
        error_ = archive.error();
        return false;
    }
    QList<int> only;
    bool all = true;
    for (const Record& r : records_) {
        if (r.selected) only << r.entry;
        all = all && r.selected;
    }
    const bool ok =
        archive.extractAll(unzipFolder_, UseFolderNames, {}, all || records_.isEmpty() ? nullptr : &only);
    error_ = archive.error();
    return ok;
}

bool cUnzip::IsExistFile(const QString& strFile) const {
    return !GetFilePath(strFile).isEmpty();
}

QStringList cUnzip::GetFilePath(const QString& strFile) const {
    QStringList out;
    for (const Record& r : records_)
        if (r.name.compare(strFile, Qt::CaseInsensitive) == 0) out << r.directory;
    return out;
}

} // namespace extend
