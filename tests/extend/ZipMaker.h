#pragma once
// Builds zip packages for the tests with libzip.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include "platform/text/CodePage.h"

#include <sys/stat.h>
#include <zip.h>

struct ZipItem {
    enum Kind { File, Folder, Link, Encrypted, GbkName };
    QString name;
    QByteArray data;
    Kind kind = File;
    quint32 mode = 0; // Unix permission bits stored for a file (0: none stored)
};

// Writes `items` as the zip archive `path`; false when libzip refused.
inline bool makeZip(const QString& path, const QList<ZipItem>& items) {
    QFile::remove(path);
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!z) return false;
    bool ok = true;
    for (const ZipItem& it : items) {
        const QByteArray name = it.kind == ZipItem::GbkName ? text::toGb18030(it.name) : it.name.toUtf8();
        const zip_flags_t encoding = it.kind == ZipItem::GbkName ? ZIP_FL_ENC_CP437 : ZIP_FL_ENC_UTF_8;
        if (it.kind == ZipItem::Folder) {
            ok = ok && zip_dir_add(z, name.constData(), ZIP_FL_ENC_UTF_8) >= 0;
            continue;
        }
        // libzip copies the data when the archive is written: keep it alive.
        void* copy = malloc(size_t(it.data.size()) + 1);
        memcpy(copy, it.data.constData(), size_t(it.data.size()));
        zip_source_t* src = zip_source_buffer(z, copy, zip_uint64_t(it.data.size()), 1);
        const zip_int64_t i = zip_file_add(z, name.constData(), src, encoding | ZIP_FL_OVERWRITE);
        ok = ok && i >= 0;
        if (i >= 0 && it.kind == ZipItem::Link)
            ok = ok && zip_file_set_external_attributes(z, zip_uint64_t(i), 0, ZIP_OPSYS_UNIX,
                                                        zip_uint32_t(S_IFLNK | 0777) << 16) == 0;
        if (i >= 0 && it.kind == ZipItem::File && it.mode != 0)
            ok = ok && zip_file_set_external_attributes(z, zip_uint64_t(i), 0, ZIP_OPSYS_UNIX,
                                                        zip_uint32_t(S_IFREG | it.mode) << 16) == 0;
        if (i >= 0 && it.kind == ZipItem::Encrypted)
            ok = ok && zip_file_set_encryption(z, zip_uint64_t(i), ZIP_EM_AES_256, "secret") == 0;
    }
    if (zip_close(z) != 0) {
        zip_discard(z);
        return false;
    }
    return ok;
}
