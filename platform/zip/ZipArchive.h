#pragma once
// Reading zip archives (packages of add-ins and themes) over libzip.
//
// An archive is listed whole when it is opened. Extraction writes regular
// files only, below one folder, and only after every entry has passed the
// checks of safeEntryName() and the caps: one unsafe entry refuses the whole
// archive and nothing is written.

#include <QDateTime>
#include <QList>
#include <QString>

namespace zipfile {

struct ZipEntry {
    QString name;          // as stored ("a/b/c.txt"; a folder ends in "/")
    qint64 size = 0;       // unpacked
    qint64 packedSize = 0; // compressed
    QDateTime modified;
    quint32 crc = 0;
    QString method; // "Stored", "Deflated", ...
    bool encrypted = false;
    bool folder = false;
    bool link = false; // a symbolic link, device or other special entry
    // Permission bits stored for the entry (Unix-made archives); 0 when none.
    quint32 mode = 0;
};

// The permissions an extracted file gets from its entry's stored mode: rw-r--r--,
// plus the execute bits the entry carries (the owner's whenever any is set).
// Set-user-ID, set-group-ID, sticky and write bits for others never pass.
quint32 extractedMode(quint32 stored);

struct ZipLimits {
    int maxEntries = 10000;
    qint64 maxUnpackedBytes = 256LL * 1024 * 1024;
};

// The entry's path below the extraction folder, with "/" separators and
// backslashes taken as separators too; "" when the name is absolute, holds a
// drive ("C:"), a ".." part, or nothing after normalising.
QString safeEntryName(const QString& stored);

class ZipArchive {
public:
    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // False (with the reason in error()) when the file is missing, empty or no zip archive.
    bool open(const QString& path);
    void close();
    const QList<ZipEntry>& entries() const { return entries_; }
    QString error() const { return error_; }

    // Why the archive may not be extracted ("" when it may), in words for the
    // user: an absolute name, a ".." part, a link or special entry, an
    // encrypted entry, too many entries, or more unpacked bytes than allowed.
    QString refusal(const ZipLimits& limits = {}) const;
    // Extracts every file entry below `folder` (created when missing), keeping
    // the entries' folders, or every file directly in `folder` when
    // `keepFolders` is false. False when refused or when writing fails; what
    // was written then stays, and the caller removes it.
    // `only` (optional) names the indexes of entries() to extract. A file
    // keeps the execute bits of its entry (see extractedMode).
    bool extractAll(const QString& folder, bool keepFolders = true, const ZipLimits& limits = {},
                    const QList<int>* only = nullptr);

private:
    void* archive_ = nullptr;
    QList<ZipEntry> entries_;
    QString error_;
};

} // namespace zipfile
