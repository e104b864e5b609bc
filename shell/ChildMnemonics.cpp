#include "shell/ChildMnemonics.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace shell {

namespace {

QString mnemonicText(const QWidget* w) {
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->buddy() ? l->text() : QString();
    return QString();
}

} // namespace

ChildMnemonics::ChildMnemonics(QMdiArea* area) : QObject(area), area_(area) {
    qApp->installEventFilter(this);
}

ChildMnemonics::~ChildMnemonics() {
    qApp->removeEventFilter(this);
}

QWidget* ChildMnemonics::target(QWidget* root, const QKeyEvent& key) {
    if (!root || key.modifiers() != Qt::AltModifier) return nullptr;
    const QKeySequence pressed(QKeyCombination(Qt::AltModifier, Qt::Key(key.key())));
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const QString text = mnemonicText(w);
        if (!text.isEmpty() && w->isVisible() && w->isEnabled() && QKeySequence::mnemonic(text) == pressed)
            return w;
    }
    return nullptr;
}

bool ChildMnemonics::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != area_->window()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::ShortcutOverride) {
        QMdiSubWindow* child = area_->currentSubWindow();
        pending_ = child ? target(child->widget(), *key) : nullptr;
        if (!pending_) return false;
        pendingKey_ = key->key();
        event->accept(); // no shortcut (the menu bar's) takes the key
        return true;
    }
    if (!pending_ || key->key() != pendingKey_ || key->modifiers() != Qt::AltModifier) return false;
    QWidget* w = pending_;
    pending_ = nullptr;
    if (auto* label = qobject_cast<QLabel*>(w)) w = label->buddy();
    w->setFocus(Qt::ShortcutFocusReason);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) button->click();
    return true;
}

} // namespace shell
