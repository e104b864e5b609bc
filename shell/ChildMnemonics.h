#pragma once
// Alt+letter in the main window: a mnemonic of the active child window (a
// button's "查询(&S)", a label's buddy) wins over the menu title with the same
// letter; without such a control the menu bar takes the key as before.

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QMdiArea;
class QWidget;

namespace shell {

class ChildMnemonics : public QObject {
public:
    // Watches the keys of the window holding `area`; child of `area`.
    explicit ChildMnemonics(QMdiArea* area);
    ~ChildMnemonics() override;

    // The visible, enabled control under `root` whose mnemonic is the key, or null.
    static QWidget* target(QWidget* root, const QKeyEvent& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMdiArea* area_;
    QPointer<QWidget> pending_; // taken at the shortcut check, triggered by the key press
    int pendingKey_ = 0;
};

} // namespace shell
