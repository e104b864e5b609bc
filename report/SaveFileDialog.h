#pragma once
// The save dialog of the exports: a file dialog run through the dialog
// service, starting in `folder`, proposing `suffix` for a name without one.
// Returns the chosen path trimmed, or "" when the worker cancelled or typed a
// name holding a double quote (refused with a message: the dialog would take
// it for a list of names and answer another file).

#include <QString>

#include <functional>

class QWidget;

namespace report {

QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter, const QString& suffix,
                       const QString& folder, bool trim = true);

// The file an export replaces: the save dialog in the program's DOC folder;
// an existing file that may not be replaced (read-only, a folder) is refused,
// logged and shown as "文件导出失败：<file>：<reason>"; any other existing file
// is replaced only when the worker answers OK to "WCF011". "" ends the export.
QString chooseExportFile(QWidget* parent, const QString& title, const QString& filter, const QString& suffix);

// Exports one file: the file chosen as above, the bytes written in one step
// under the hourglass, then "文件导出完毕！". A failure is logged and shown as
// "文件导出失败：<file>：<reason>". False when nothing was written.
bool blnExportFile(QWidget* parent, const QString& title, const QString& filter, const QString& suffix,
                   const std::function<QByteArray()>& bytes);

} // namespace report
