#pragma once
// The keep-days dialog of a consignment request: the worker confirms or
// changes how many days the request waits. It offers no cancel button; closing
// it by its frame (or Escape) places no request.

#include <QDialog>

#include <optional>

class QLabel;
class QPushButton;
namespace ui { class NumberBox; }

class frmReleKeepDay : public QDialog {
    Q_OBJECT
public:
    explicit frmReleKeepDay(QWidget* parent = nullptr);

    QLabel* lblBeginDate = nullptr;  // filled by the caller: today, "yyyy-mm-dd"
    ui::NumberBox* txtKeepDay = nullptr;
    QLabel* lblEndDate = nullptr;    // begin date + keep days
    QLabel* lblMaxKeepDay = nullptr; // filled by the caller: the most days
    QPushButton* cmdOk = nullptr;

    // Sets the begin date and the most days; the keep days start at the most.
    void setValues(const QString& beginDate, int maxDays);
    // Whole days in the box (0 when empty or not a number).
    qint64 keepDays() const;

    void subCalcEndDate();
    // Closes the dialog when the days lie between 1 and the most; otherwise
    // sets the box back to the most and stays open.
    void cmdOk_Click();

    // Shows the dialog modally through the dialog service: the days confirmed,
    // or nothing when it was closed without confirming.
    static std::optional<int> askKeepDays(QWidget* parent, const QString& beginDate, int maxDays);

protected:
    void showEvent(QShowEvent* event) override;
};
