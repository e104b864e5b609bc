#pragma once
// Entry box for codes read by a bar-code scanner (card numbers, copy bar codes).
// Scanners type as a keyboard; an active Chinese input method would swallow the
// keys, so these boxes switch input methods off for good (also after a change
// of the read-only state).

#include <QLineEdit>

namespace ui {

// Switches input methods off on any widget (latin-only hints, no IME).
void disableInputMethod(QWidget* widget);

class CodeBox : public QLineEdit {
    Q_OBJECT
public:
    explicit CodeBox(QWidget* parent = nullptr);
    explicit CodeBox(const QString& objectName, QWidget* parent);

protected:
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace ui
