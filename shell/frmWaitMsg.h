#pragma once
// The please-wait window: a disabled window with a blinking text. Whoever
// shows it leaves it registered in g_frmWaitMsg, so subCloseWaitMsg (the
// start-up's error path among others) can take it down.

#include <QWidget>

class QLabel;
class QTimer;

class frmWaitMsg : public QWidget
{
public:
    explicit frmWaitMsg(QWidget* parent = nullptr);
    ~frmWaitMsg() override;

    // Blink phase: true while the texts are hidden; they appear at the next tick.
    bool blnBlink = false;
    QLabel* lblMsg[2] = {};
    QTimer* tmrBlink = nullptr;

    void tmrBlink_Timer();
};
