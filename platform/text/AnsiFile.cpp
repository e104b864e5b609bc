#include "platform/text/AnsiFile.h"

#include "platform/text/CodePage.h"

#include <QFile>
#include <QSaveFile>

namespace text {

namespace {
const QByteArray kBom("\xEF\xBB\xBF");
}

QString decodeAnsi(const QByteArray& bytes, FileEncoding* encoding)
{
    if (bytes.startsWith(kBom)) {
        if (encoding)
            *encoding = FileEncoding::Utf8Bom;
        return QString::fromUtf8(QByteArrayView(bytes).sliced(kBom.size()));
    }
    if (encoding)
        *encoding = FileEncoding::Gb18030;
    return fromGb18030(bytes);
}

bool readAnsiFile(const QString& path, QString* text, FileEncoding* encoding)
{
    text->clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *text = decodeAnsi(f.readAll(), encoding);
    return true;
}

bool readAnsiLines(const QString& path, QStringList* lines)
{
    lines->clear();
    QString all;
    if (!readAnsiFile(path, &all))
        return false;
    if (all.isEmpty())
        return true;
    *lines = all.split(u'\n');
    if (lines->last().isEmpty())
        lines->removeLast();
    for (QString& l : *lines) {
        if (l.endsWith(u'\r'))
            l.chop(1);
    }
    return true;
}

QString toCrlf(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            out.append(u'\r');
        out.append(text[i]);
    }
    return out;
}

bool writeAnsiFile(const QString& path, const QString& text, WriteMode mode, FileEncoding encoding)
{
    QByteArray bytes;
    if (encoding == FileEncoding::Utf8Bom)
        bytes = toCrlf(text).toUtf8();
    else
        bytes = toGb18030(toCrlf(text));
    if (mode == WriteMode::Append) {
        QFile f(path);
        const bool fresh = !f.exists();
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
            return false;
        if (fresh && encoding == FileEncoding::Utf8Bom && f.write(kBom) != kBom.size())
            return false;
        return f.write(bytes) == bytes.size() && f.flush();
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (encoding == FileEncoding::Utf8Bom)
        f.write(kBom);
    f.write(bytes);
    return f.commit();
}

} // namespace text
