#include "platform/ui/DatabaseWait.h"

#include "platform/ui/BusyCursor.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace ui {

namespace {

bool heldBack(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress: case QEvent::KeyRelease: case QEvent::ShortcutOverride: case QEvent::Shortcut:
    case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: case QEvent::Wheel: case QEvent::ContextMenu: case QEvent::InputMethod:
    case QEvent::TouchBegin: case QEvent::TouchUpdate: case QEvent::TouchEnd: case QEvent::TouchCancel:
    case QEvent::TabletPress: case QEvent::TabletMove: case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

DatabaseWait::DatabaseWait() = default;

DatabaseWait::~DatabaseWait() {
    if (cursor_) answered();
}

void DatabaseWait::waiting() {
    if (!cursor_) {
        cursor_ = std::make_unique<BusyCursor>();
        QCoreApplication::instance()->installEventFilter(this);
    }
    // Input from the window system stays queued; what was posted in the
    // program is held here until the answer comes.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void DatabaseWait::answered() {
    if (!cursor_) return;
    QCoreApplication::instance()->removeEventFilter(this);
    cursor_.reset();
    for (Held& h : held_)
        if (h.receiver) QCoreApplication::postEvent(h.receiver, h.event.release());
    held_.clear();
    for (const QPointer<QWidget>& w : closing_)
        if (w) QMetaObject::invokeMethod(w, &QWidget::close, Qt::QueuedConnection);
    closing_.clear();
}

bool DatabaseWait::eventFilter(QObject* watched, QEvent* event) {
    if (!cursor_ || !watched->isWidgetType()) return false;
    if (event->type() == QEvent::Close) {
        // Refused for now (the window stays), asked again after the answer.
        event->ignore();
        auto* w = static_cast<QWidget*>(watched);
        if (!closing_.contains(w)) closing_.append(w);
        return true;
    }
    if (!heldBack(event->type())) return false;
    held_.push_back({watched, std::unique_ptr<QEvent>(event->clone())});
    return true;
}

} // namespace ui
