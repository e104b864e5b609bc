#pragma once
// The program's loaded windows, in the order they were loaded: what an
// interface theme is applied to.
//
// A window counts from the moment it is registered, or from its first
// polishing (just before it is first shown) when its objectName starts with
// "frm", as every window of the program is named; it leaves the list when it
// is destroyed.

#include <QList>

class QWidget;

namespace shell {

// Registers a window now (the main window does so while it loads, before it
// is shown); starts watching for the others.
void subRegisterForm(QWidget* form);
QList<QWidget*> loadedForms();

} // namespace shell
