#pragma once
// The text of a PDF file, page by page, as `pdftotext -layout` reads it.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace testsupport {

inline QStringList pdfPages(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

} // namespace testsupport
