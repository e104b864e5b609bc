#pragma once
// Deletes every parentless top-level window a test left behind.

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QWidget>

namespace testsupport {

inline void deleteTopLevelWindows() {
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!w->parent()) windows << w;
    for (const QPointer<QWidget>& w : windows)
        delete w.data();
}

} // namespace testsupport
