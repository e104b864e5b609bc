#include "platform/ui/CodeBox.h"

#include <QEvent>

namespace ui {

void disableInputMethod(QWidget* widget) {
    if (!widget) return;
    widget->setAttribute(Qt::WA_InputMethodEnabled, false);
    widget->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText |
                                Qt::ImhNoAutoUppercase | Qt::ImhSensitiveData);
}

CodeBox::CodeBox(QWidget* parent) : QLineEdit(parent) { disableInputMethod(this); }

CodeBox::CodeBox(const QString& objectName, QWidget* parent) : CodeBox(parent) {
    setObjectName(objectName);
}

void CodeBox::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    // A change of the read-only state or the enabled state lets the line edit
    // decide again whether input methods are wanted; they never are here.
    if (event->type() == QEvent::ReadOnlyChange || event->type() == QEvent::EnabledChange)
        setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool CodeBox::event(QEvent* event) {
    const bool r = QLineEdit::event(event);
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::Show)
        setAttribute(Qt::WA_InputMethodEnabled, false);
    return r;
}

} // namespace ui
