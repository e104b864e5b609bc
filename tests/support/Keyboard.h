#pragma once
// A window driven without the mouse: the command-bar items' keys, and a key
// pressed in a shown, active window.
//
//   testsupport::expectBarKeyed(form, form->tbConsign);          // every item has a key of its own
//   testsupport::pressMnemonic(form->tbConsign, Qt::Key_L);      // Alt+L, and wait for the item

#include "platform/ui/CommandBar.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace testsupport {

// The Alt key of a caption's mnemonic, empty when it has none.
inline QKeySequence mnemonicOf(const QString& caption)
{
    return QKeySequence::mnemonic(caption);
}

// Every command item on the bar's active menu answers a key (a mnemonic in its
// caption or a shortcut), and no two visible controls of the window share a
// mnemonic.
inline void expectBarKeyed(QWidget* window, ui::CommandBar* bar)
{
    ASSERT_NE(bar->activeMenu(), nullptr);
    for (ui::CommandItem* it : bar->activeMenu()->items()) {
        if (it->style() == ui::ItemStyle::Separator || it->style() == ui::ItemStyle::Control)
            continue;
        EXPECT_TRUE(!mnemonicOf(it->caption()).isEmpty() || !it->action()->shortcut().isEmpty())
            << bar->objectName().toStdString() << " " << it->key().toStdString() << " "
            << it->caption().toStdString();
    }
    QHash<QKeySequence, QString> seen;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            text = b->text();
        else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy())
            text = l->text();
        const QKeySequence key = mnemonicOf(text);
        if (key.isEmpty() || !w->isVisible())
            continue;
        EXPECT_FALSE(seen.contains(key)) << key.toString().toStdString() << ": " << text.toStdString()
                                         << " and " << seen.value(key).toStdString();
        seen.insert(key, text);
    }
}

// Brings a shown window to the front as the active one.
inline bool activate(QWidget* window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Alt and a letter in the focused control of the bar's window; waits for the
// bar to report an item (a button's mnemonic clicks a moment later). The item
// key reported, empty when none.
inline QString pressMnemonic(ui::CommandBar* bar, Qt::Key key)
{
    QString clicked;
    const auto c = QObject::connect(bar, &ui::CommandBar::keyClicked, [&clicked](const QString& k) { clicked = k; });
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : bar->window();
    QTest::keyClick(target, key, Qt::AltModifier);
    for (int i = 0; i < 40 && clicked.isEmpty(); ++i)
        QTest::qWait(25);
    QObject::disconnect(c);
    return clicked;
}

} // namespace testsupport
