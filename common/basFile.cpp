#include "common/basFile.h"

#include "common/basEnv.h"

#include "platform/print/DocumentPrinter.h"
#include "platform/sys/Process.h"
#include "platform/ui/DialogService.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextEdit>

#include <memory>

namespace {

bool isSep(QChar c)
{
    return c == u'/' || c == u'\\';
}

QString slashes(const QString& path)
{
    QString p = path;
    p.replace(u'\\', u'/');
    return p;
}

bool writable(const QFileInfo& fi)
{
    return fi.permission(QFileDevice::WriteOwner);
}

// Deletes the entries of a folder and the folder itself; stops at the first
// failure.
bool removeTree(const QString& folder, bool force)
{
    QDir dir(folder);
    if (force)
        QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::WriteOwner
                                          | QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& fi : entries) {
        if (fi.isDir() && !fi.isSymLink()) {
            if (!removeTree(fi.absoluteFilePath(), force))
                return false;
            continue;
        }
        if (!force && !fi.isSymLink() && !writable(fi))
            return false;
        if (!QFile::remove(fi.absoluteFilePath()))
            return false;
    }
    if (!force && !writable(QFileInfo(folder)))
        return false;
    return QDir().rmdir(folder);
}

// Qt's filter form "描述 (*.txt *.ini);;..." from NUL-separated pairs.
QString qtFilter(const QString& filter)
{
    QString f = filter;
    f.replace(u'|', QChar(0));
    const QStringList parts = f.split(QChar(0));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            break;
        QString pattern = parts[i + 1];
        pattern.replace(u';', u' ');
        out << parts[i] + QStringLiteral(" (") + pattern + u')';
    }
    return out.join(QStringLiteral(";;"));
}

} // namespace

QString strFolderOfPath(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSep(path[i]))
            return path.left(i + 1);
    }
    return {};
}

QString strFixBackslash(const QString& path, bool add)
{
    if (path.isEmpty())
        return path;
    const bool ends = isSep(path.back());
    if (add)
        return ends ? path : path + u'/';
    return ends ? path.chopped(1) : path;
}

bool blnIsFullPath(const QString& path)
{
    return path.startsWith(u'/');
}

QString strResolvePath(const QString& base, const QString& relative)
{
    QString path = base;
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    const QStringList parts =
        QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        if (!QFileInfo::exists(path + part)) {
            const QStringList entries = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            for (const QString& e : entries) {
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    part = e;
                    break;
                }
            }
        }
        path += part;
        if (i + 1 < parts.size())
            path += QLatin1Char('/');
    }
    return path;
}

void subKillFile(const QString& path)
{
    const QString p = slashes(path);
    const qsizetype cut = p.lastIndexOf(u'/');
    const QString folder = cut < 0 ? QStringLiteral(".") : (cut == 0 ? QStringLiteral("/") : p.left(cut));
    QString pattern = p.mid(cut + 1);
    if (pattern.isEmpty())
        return;
    if (pattern == u"*.*")
        pattern = QStringLiteral("*");
    if (!pattern.contains(u'*') && !pattern.contains(u'?')) {
        QFile::remove(p);
        return;
    }
    QDir dir(folder);
    const QStringList names = dir.entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        QFile::remove(dir.filePath(name));
}

int intMakePath(const QString& path)
{
    if (path.isEmpty())
        return -1;
    QString p = slashes(path);
    if (!blnIsFullPath(path)) {
        const QString root = slashes(g_strPath[0]);
        if (!blnIsFullPath(root))
            return -1;
        p = strFixBackslash(root, true) + (p.startsWith(u'/') ? p.mid(1) : p);
    }
    QString built;
    const QStringList parts = p.split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        built += u'/' + part;
        const QFileInfo fi(built);
        if (fi.isDir())
            continue;
        if (fi.exists() || !QDir().mkdir(built))
            return -1;
    }
    return QFileInfo(p).isDir() ? 0 : -1;
}

bool blnDeleteFolder(const QString& path, bool force)
{
    const QString p = strFixBackslash(slashes(path), false);
    if (p.isEmpty() || !QFileInfo(p).isDir() || QFileInfo(p).isSymLink())
        return false;
    return removeTree(p, force);
}

bool blnIsDirectChild(const QString& folder, const QString& parent)
{
    const QString own = QFileInfo(slashes(folder)).canonicalFilePath();
    const QString root = QFileInfo(slashes(parent)).canonicalFilePath();
    return !own.isEmpty() && !root.isEmpty() && own != root && QFileInfo(own).isDir()
           && QFileInfo(own).absolutePath() == root;
}

bool blnSetCurDir(const QString& path)
{
    return !path.isEmpty() && QDir::setCurrent(slashes(path));
}

QString strShowOpenDialog(QWidget* owner, const QString& title, const QString& filter,
                          const QString& initialFolder)
{
    QFileDialog dialog(owner, title, slashes(initialFolder), qtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (ui::DialogService::current().execDialog(&dialog) != 1)
        return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || !QFileInfo(files.first()).isFile())
        return {};
    return files.first();
}

int intRunWait(const QString& program, const QStringList& arguments, QString* errorText)
{
    const sys::RunResult r = sys::runAndWait(program, arguments);
    if (!r.started) {
        if (errorText)
            *errorText = r.error;
        return -1;
    }
    return 0;
}

int intRunWait(const QString& commandLine, int windowStyle, QString* errorText)
{
    Q_UNUSED(windowStyle);
    QStringList args = sys::splitCommandLine(commandLine);
    if (args.isEmpty()) {
        if (errorText)
            *errorText = QStringLiteral("No program named");
        return -1;
    }
    const QString program = args.takeFirst();
    return intRunWait(program, args, errorText);
}

int subPrintRichText(QTextEdit* richText, int leftMargin, int topMargin, int rightMargin,
                     int bottomMargin, const QString& headerText, const QString& footerText,
                     QPrinter* printer)
{
    std::unique_ptr<QPrinter> own;
    if (!printer) {
        own = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer = own.get();
    }
    const auto decorate = [&](QPainter& painter, int page, const print::PageFrame& f) {
        const QFontMetricsF fm(painter.font(), painter.device());
        painter.setPen(Qt::black);
        // "- n -" with its right end at the text's right edge, a quarter inch
        // below the top of the printable area.
        const QString number = QStringLiteral("- %1 -").arg(page);
        const double top = f.printable.top() + 360 * f.twipsToDevice;
        painter.drawText(QRectF(f.printable.left(), top, f.text.right() - f.printable.left(),
                                fm.height()),
                         Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, number);
        if (!headerText.isEmpty()) {
            const double y = f.printable.top() + (f.text.top() - f.printable.top()) / 2;
            painter.drawText(QRectF(f.printable.left(), y, f.printable.width(), fm.height()),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, headerText);
        }
        if (!footerText.isEmpty()) {
            // Centred in the band between the text and the bottom of the printable area.
            const double band = f.printable.bottom() - f.text.bottom();
            const double y = f.text.bottom() + qMax(0.0, (band - fm.height()) / 2);
            painter.drawText(QRectF(f.printable.left(), y, f.printable.width(), fm.height()),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, footerText);
        }
    };
    const int pages = print::printDocument(*richText->document(), *printer,
                                           QMargins(leftMargin, topMargin, rightMargin, bottomMargin),
                                           decorate);
    return pages < 0 ? -1 : 0;
}
