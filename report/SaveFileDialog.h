#pragma once
// The save dialog of the exports: a file dialog run through the dialog
// service, starting in `folder`, proposing `suffix` for a name without one.
// Returns the chosen path trimmed, or "" when the worker cancelled.

#include <QString>

#include <functional>

class QWidget;

namespace report {

QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter, const QString& suffix,
                       const QString& folder, bool trim = true);

// Exports one file: the save dialog in the program's DOC folder, the
// overwrite question "WCF011" (when `askOverwrite` and the file exists), the
// bytes written in one step under the hourglass, then "文件导出完毕！". A
// failure is logged and shown as "文件导出失败：<file>：<reason>". False when
// nothing was written.
bool blnExportFile(QWidget* parent, const QString& title, const QString& filter, const QString& suffix,
                   bool askOverwrite, const std::function<QByteArray()>& bytes);

} // namespace report
