#pragma once
// Files that two programs can rewrite at once.
//
// Every file is replaced whole through a unique temporary file renamed into
// place (QSaveFile), so a reader sees the old file or the new one. A change
// that reads a file and writes it back, a save that spans several files, and
// the reading of such a set, hold a lock file (QLockFile) beside them, so
// that no change is lost and a reader sees the old set or the new one.

#include <QByteArray>
#include <QList>
#include <QLockFile>
#include <QString>

#include <optional>

namespace text {

// Holds the lock file `path` from construction (waiting up to `timeoutMs`
// for another holder; a lock left by a program that ended is taken over) to
// destruction. A writer goes on only when locked(); a reader goes on unless
// busy(): where no lock file can be made (a read-only folder) no program can
// save either.
class FileLock {
public:
    explicit FileLock(const QString& path, int timeoutMs = 10000);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool locked() const { return locked_; }
    bool busy() const { return busy_; } // another holder kept it past the time-out

private:
    QLockFile lock_;
    bool locked_ = false;
    bool busy_ = false;
};

// The lock file that guards one file's read-and-write-back changes.
QString lockFileFor(const QString& path);

// Replaces the file with `bytes` through a unique temporary file. False
// (the file untouched) on any failure; `error` then holds the reason.
bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                   bool privateFile = false);

// A file's content before a change, to put back when a later step of the
// same save fails: the old bytes, or the file removed when there was none.
class FileBackup {
public:
    explicit FileBackup(const QString& path);
    bool readable() const { return readable_; } // false: the old content could not be read
    bool restore() const;

private:
    QString path_;
    std::optional<QByteArray> old_;
    bool readable_ = true;
};

struct FileContent {
    QString path;
    QByteArray bytes;
};

// Saves the files as one set (call it under the set's FileLock): all are
// written aside first, then renamed into place; when one cannot be put in
// place, those already in place get their old content back. False with the
// path that failed in `failedPath`.
bool saveFileSet(const QList<FileContent>& files, QString* failedPath);

} // namespace text
