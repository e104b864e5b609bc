#pragma once
// A long operation's progress, shown in the progress window: the operation
// creates one object, sets the range, shows the window, advances the bar step
// by step, reads Interrupt between its steps to learn whether the worker
// pressed cancel, and deletes the object, which closes the window.
//
//   clsProgressBar bar;
//   bar.setMax(rows);
//   bar.SetLockSource(window);   // disabled while the bar is up
//   bar.Show();
//   for (...) { work(); bar.ValueAdd(1); QApplication::processEvents(); if (bar.Interrupt()) break; }

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <functional>

class frmShowRate;

class clsProgressBar : public QObject {
    Q_OBJECT
public:
    explicit clsProgressBar(QObject* parent = nullptr);
    ~clsProgressBar() override;

    // Range and position, held as 32-bit floats; no range check of their own.
    float Max() const;
    void setMax(double value);
    float Min() const;
    void setMin(double value);
    float Value() const;
    void setValue(double value);
    // Advances the bar (stopping at Max) and refreshes the count and the
    // estimate of the remaining time.
    void ValueAdd(short step);
    // Into the top-most band, or out of it to the bottom of the window stack.
    void TopMost(bool on);
    QString Title() const;
    void setTitle(const QString& title);
    // Shows the window (not modal) and starts the clock of the estimate.
    void Show();
    // True once the worker pressed cancel.
    bool Interrupt() const { return m_blnInterrupt; }
    // Remembers the object and, when it is a window, disables it; the object
    // is enabled again when the bar is deleted.
    void SetLockSource(QObject* obj);

    frmShowRate* window() const { return frmRate; }

    // The clock of the estimate (date and time, so a run past midnight goes on
    // counting); tests install their own. An empty function restores the
    // system clock.
    using Clock = std::function<QDateTime()>;
    static void setClock(Clock clock);

    // The estimate's text: hh:mm:ss of `elapsed` seconds × (max − value) ÷
    // value, to the nearest second (halves to the even neighbour); 00:00:00
    // when value is not above 0. Hours go on past 24.
    static QString strRemainText(qint64 elapsed, float max, float value);
    // "总计 100条, 现 25条".
    static QString strCountText(float max, float value);

private:
    QPointer<frmShowRate> frmRate;
    bool m_blnInterrupt = false;
    QDateTime m_dtStart;
    QPointer<QObject> m_objLockSource;
};
