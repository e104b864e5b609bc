#pragma once
// The progress window (任务进度): a bar, the count of items done against the
// total, an estimate of the remaining time and a cancel button. It stays above
// other windows. Only clsProgressBar creates and shows it.
//
// The moving-files clip of the original window is not played: the window
// works without an animation.

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class frmShowRate : public QWidget {
    Q_OBJECT
public:
    explicit frmShowRate(QWidget* parent = nullptr);

    QProgressBar* prgTime = nullptr;
    QLabel* lblCount = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblRemain = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The bar's range and position as the program set them (the bar itself
    // shows them to the nearest whole number).
    float sngMax() const { return max_; }
    float sngMin() const { return min_; }
    float sngValue() const { return value_; }
    void setMax(float value);
    void setMin(float value);
    void setValue(float value);

signals:
    // The cancel button was clicked (each click).
    void CancelOper();

private:
    void updateBar();
    float max_ = 100;
    float min_ = 0;
    float value_ = 0;
};
