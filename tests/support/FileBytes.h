#pragma once
// A file's bytes as they are on disk, read and written without any text
// conversion.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace testsupport {

inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

} // namespace testsupport
