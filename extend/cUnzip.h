#pragma once
// cUnzip: the listing of a package (a zip archive) and its extraction.
//
// Set ZipFile, call Directory to list the file entries (folder entries are
// not listed), look for a description file with IsExistFile and GetFilePath,
// then set UnzipFolder and UseFolderNames and call Unzip. Unzip checks every
// entry first: an unsafe name, a link, an encrypted entry or a package over
// the caps refuses the whole package and nothing is written. Records are
// numbered from 1; another index raises RunError 9.

#include "platform/zip/ZipArchive.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace extend {

class cUnzip {
public:
    // Options; only UseFolderNames changes what Unzip does.
    bool ExtractOnlyNewer = false;
    bool SpaceToUnderScore = false;
    bool PromptToOverwrite = false;
    long MessageLevel = 0;
    bool TestZip = false;
    bool UseFolderNames = false;
    bool OverwriteExisting = false;
    bool ConvertCRToCRLF = false;
    bool CaseSensitiveFileNames = false;

    QString ZipFile() const { return zipFile_; }
    // Stores the path and empties the listing.
    void setZipFile(const QString& path);
    QString UnzipFolder() const { return unzipFolder_; }
    void setUnzipFolder(const QString& folder) { unzipFolder_ = folder; }

    // Appends one record per file entry of the archive (nothing for a
    // missing, empty or broken archive).
    void Directory();
    // Extracts the selected entries into UnzipFolder; true on success.
    bool Unzip();
    // Why the last Unzip wrote nothing or failed ("" after a success).
    QString strUnzipError() const { return error_; }

    int FileCount() const { return int(records_.size()); }
    QString FileName(int lIndex) const { return at(lIndex).name; }
    QString FileDirectory(int lIndex) const { return at(lIndex).directory; }
    qint64 FileSize(int lIndex) const { return at(lIndex).packedSize; }
    qint64 FilePackedSize(int lIndex) const;
    long FileCompressionRatio(int lIndex) const;
    QDateTime FileDate(int lIndex) const { return at(lIndex).date; }
    quint32 FileCRC(int lIndex) const { return at(lIndex).crc; }
    QString FileCompressionMethod(int lIndex) const { return at(lIndex).method; }
    bool FileEncrypted(int lIndex) const { return at(lIndex).encrypted; }
    bool FileSelected(int lIndex) const { return at(lIndex).selected; }
    void setFileSelected(int lIndex, bool selected);

    // Some record's file name equals strFile without regard to case.
    bool IsExistFile(const QString& strFile) const;
    // The folders (backslash-separated, "" for the root) of the records named
    // strFile (any case), in listing order.
    QStringList GetFilePath(const QString& strFile) const;

private:
    struct Record {
        QString name;
        QString directory;
        qint64 size = 0;
        qint64 packedSize = 0;
        QDateTime date;
        quint32 crc = 0;
        QString method;
        bool encrypted = false;
        bool selected = true;
        int entry = 0; // index in the archive
    };
    const Record& at(int lIndex) const;

    QString zipFile_;
    QString unzipFolder_;
    QList<Record> records_;
    QString error_;
};

} // namespace extend
