#pragma once
// The work statistics window (工作量统计): the logged-in worker's sums of the
// workload counters per job type for a year, month, day or date interval.
// One window at a time; the main window opens it modeless from 工作量统计.

#include "common/DBResultSet.h"

#include <QWidget>

class QCalendarWidget;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
namespace ui {
class DateBox;
class SpreadGrid;
} // namespace ui

class frmStatJob : public QWidget {
    Q_OBJECT
public:
    // The window loaded now, or nullptr.
    static frmStatJob* instance();
    // Loads the window for the job types matching `jobHead` (a LIKE pattern)
    // and shows it modeless, owned by `owner`; a window already loaded is
    // shown again as it is.
    static frmStatJob* showStatJob(QWidget* owner, const QString& jobHead);

    explicit frmStatJob(const QString& jobHead, QWidget* owner = nullptr);
    ~frmStatJob() override;

    QString m_strJobHead;

    QLabel* lblTitle[2] = {};
    QGroupBox* fraStatType = nullptr;
    QRadioButton* optStatType[4] = {};
    QCalendarWidget* calJob = nullptr;
    ui::DateBox* txtBgnDay = nullptr;
    ui::DateBox* txtEndDay = nullptr;
    QPushButton* cmdStat = nullptr;
    QPushButton* cmdExit = nullptr;
    ui::SpreadGrid* spdJob = nullptr;

    // The box that takes the next date clicked in interval mode is white, the
    // other light grey.
    static QColor markColor();
    static QColor restColor();
    bool intervalMode() const { return m_blnInterval; }
    const DBResultSet& jobTypes() const { return m_varJobType; }

    void optStatType_Click();
    void txtDay_Activated(ui::DateBox* box);
    void calJob_DateClick(const QDate& date);
    void cmdStat_Click();
    void cmdExit_Click();

private:
    void buildControls();
    void loadWindow();

    DBResultSet m_varJobType;
    bool m_blnInterval = false;
};
