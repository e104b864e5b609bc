#include "platform/text/FileSet.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <memory>
#include <vector>

namespace text {

FileLock::FileLock(const QString& path, int timeoutMs) : lock_(path) {
    // Short polls: a holder keeps the lock for a few file writes only.
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (lock_.tryLock(0)) {
            locked_ = true;
            return;
        }
        if (lock_.error() != QLockFile::LockFailedError) return;
        if (deadline.hasExpired()) {
            busy_ = true;
            return;
        }
        QThread::msleep(2);
    }
}

FileLock::~FileLock() {
    if (locked_) lock_.unlock();
}

QString lockFileFor(const QString& path) {
    return path + QStringLiteral(".lock");
}

namespace {

bool writeAside(QSaveFile& f, const QByteArray& bytes, bool privateFile) {
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (privateFile) f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return f.write(bytes) == bytes.size();
}

} // namespace

bool saveWholeFile(const QString& path, const QByteArray& bytes, QString* error, bool privateFile) {
    QSaveFile f(path);
    if (!writeAside(f, bytes, privateFile) || !f.commit()) {
        if (error) *error = f.errorString();
        return false;
    }
    if (privateFile) QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

FileBackup::FileBackup(const QString& path) : path_(path) {
    if (!QFileInfo::exists(path)) return;
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        old_ = f.readAll();
    else
        readable_ = false;
}

bool FileBackup::restore() const {
    if (!readable_) return false;
    if (!old_) return !QFileInfo::exists(path_) || QFile::remove(path_);
    return saveWholeFile(path_, *old_);
}

bool saveFileSet(const QList<FileContent>& files, QString* failedPath) {
    std::vector<std::unique_ptr<QSaveFile>> aside;
    std::vector<FileBackup> backups;
    for (const FileContent& c : files) {
        backups.emplace_back(c.path);
        aside.push_back(std::make_unique<QSaveFile>(c.path));
        if (!backups.back().readable() || !writeAside(*aside.back(), c.bytes, false)) {
            if (failedPath) *failedPath = c.path;
            return false; // the temporary files go with their QSaveFile
        }
    }
    for (size_t i = 0; i < aside.size(); ++i) {
        if (aside[i]->commit()) continue;
        if (failedPath) *failedPath = files[qsizetype(i)].path;
        for (size_t j = 0; j < i; ++j)
            backups[j].restore();
        return false;
    }
    return true;
}

} // namespace text
