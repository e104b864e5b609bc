#pragma once
// The save dialog of the exports: a file dialog run through the dialog
// service, starting in `folder`, proposing `suffix` for a name without one.
// Returns the chosen path trimmed, or "" when the worker cancelled.

#include <QString>

class QWidget;

namespace report {

QString chooseSaveFile(QWidget* parent, const QString& title, const QString& filter, const QString& suffix,
                       const QString& folder, bool trim = true);

} // namespace report
