#include "shell/frmStatJob.h"

#include "common/basAuth.h"
#include "common/basEnv.h"
#include "shell/basStatJob.h"

#include "platform/ui/ButtonRow.h"
#include "platform/ui/DateBox.h"
#include "platform/ui/Grid.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QPointer<frmStatJob> s_window;

} // namespace

frmStatJob* frmStatJob::instance()
{
    return s_window.data();
}

frmStatJob* frmStatJob::showStatJob(QWidget* owner, const QString& jobHead)
{
    if (!s_window) {
        s_window = new frmStatJob(jobHead, owner);
        s_window->setAttribute(Qt::WA_DeleteOnClose);
    }
    s_window->show();
    s_window->raise();
    s_window->activateWindow();
    return s_window.data();
}

QColor frmStatJob::markColor()
{
    return QColor(0xFF, 0xFF, 0xFF);
}

QColor frmStatJob::restColor()
{
    return QColor(0xD4, 0xD4, 0xD4);
}

frmStatJob::frmStatJob(const QString& jobHead, QWidget* owner) : QWidget(owner, Qt::Window), m_strJobHead(jobHead)
{
    setObjectName(QStringLiteral("frmStatJob"));
    buildControls();
    loadWindow();
}

frmStatJob::~frmStatJob() = default;

void frmStatJob::buildControls()
{
    lblTitle[0] = new QLabel(this);
    lblTitle[0]->setObjectName(QStringLiteral("lblTitle_0"));
    lblTitle[1] = new QLabel(this);
    lblTitle[1]->setObjectName(QStringLiteral("lblTitle_1"));

    fraStatType = new QGroupBox(this);
    fraStatType->setObjectName(QStringLiteral("fraStatType"));
    auto* options = new QHBoxLayout(fraStatType);
    for (int i = 0; i < 4; ++i) {
        optStatType[i] = new QRadioButton(fraStatType);
        optStatType[i]->setObjectName(QStringLiteral("optStatType_%1").arg(i));
        options->addWidget(optStatType[i]);
        connect(optStatType[i], &QRadioButton::clicked, this, &frmStatJob::optStatType_Click);
    }

    calJob = new QCalendarWidget(this);
    calJob->setObjectName(QStringLiteral("calJob"));
    calJob->setLocale(ui::calendarLocale());
    connect(calJob, &QCalendarWidget::clicked, this, &frmStatJob::calJob_DateClick);

    txtBgnDay = new ui::DateBox(QStringLiteral("txtBgnDay"), this);
    txtEndDay = new ui::DateBox(QStringLiteral("txtEndDay"), this);
    for (ui::DateBox* box : {txtBgnDay, txtEndDay})
        connect(box, &ui::DateBox::activated, this, [this, box] { txtDay_Activated(box); });

    cmdStat = new QPushButton(this);
    cmdStat->setObjectName(QStringLiteral("cmdStat"));
    cmdExit = new QPushButton(this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    connect(cmdStat, &QPushButton::clicked, this, &frmStatJob::cmdStat_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmStatJob::cmdExit_Click);

    spdJob = new ui::SpreadGrid(QStringLiteral("spdJob"), this);
    spdJob->setOperationMode(1);
    spdJob->setMaxCols(3);

    auto* interval = new QHBoxLayout;
    interval->addWidget(txtBgnDay);
    interval->addWidget(lblTitle[1]);
    interval->addWidget(txtEndDay);
    auto* left = new QVBoxLayout;
    left->addWidget(lblTitle[0]);
    left->addWidget(calJob);
    left->addWidget(fraStatType);
    left->addLayout(interval);
    left->addLayout(ui::buttonRow({cmdStat, cmdExit}));
    auto* page = new QHBoxLayout(this);
    page->addLayout(left);
    page->addWidget(spdJob, 1);
}

void frmStatJob::loadWindow()
{
    setWindowTitle(QStringLiteral("工作量统计"));
    lblTitle[0]->setText(QStringLiteral("工号") + QStringLiteral(":") + varGetSysInfo(4).toString());
    lblTitle[1]->setText(QStringLiteral("-"));
    fraStatType->setTitle(QStringLiteral("类型"));
    const char* const captions[4] = {"年", "月", "日", "区间"};
    for (int i = 0; i < 4; ++i)
        optStatType[i]->setText(QString::fromUtf8(captions[i]));
    optStatType[2]->setChecked(true);
    cmdStat->setText(QStringLiteral("统计(&S)"));
    cmdExit->setText(QStringLiteral("退出(&X)"));

    intLoadJobTypes(m_strJobHead, m_varJobType);
    spdJob->setMaxRows(m_varJobType.rowCount());
    spdJob->setText(1, 0, QStringLiteral("种数"));
    spdJob->setText(2, 0, QStringLiteral("册数"));
    spdJob->setText(3, 0, QStringLiteral("价格"));
    for (int j = 0; j < m_varJobType.rowCount(); ++j)
        spdJob->setText(0, j + 1, m_varJobType.text(j, 1));

    const QString today = varGetSysInfo(1).toString();
    calJob->setSelectedDate(ui::dateFromText(today));
    txtBgnDay->setValue(today);
    txtEndDay->setValue(today);
    m_blnInterval = false;
    txtBgnDay->setBackColor(markColor());
    txtEndDay->setBackColor(markColor());

    adjustSize();
    subCenterForm(this, true);
}

void frmStatJob::optStatType_Click()
{
    m_blnInterval = optStatType[3]->isChecked();
    if (m_blnInterval) {
        txtBgnDay->setBackColor(restColor());
        txtEndDay->setBackColor(restColor());
    }
}

void frmStatJob::txtDay_Activated(ui::DateBox* box)
{
    box->setBackColor(markColor());
    (box == txtBgnDay ? txtEndDay : txtBgnDay)->setBackColor(restColor());
}

void frmStatJob::calJob_DateClick(const QDate& date)
{
    if (optStatType[3]->isChecked()) {
        for (ui::DateBox* box : {txtBgnDay, txtEndDay})
            if (box->backColor() == markColor())
                box->setValue(ui::dateText(date));
    }
    cmdStat->setFocus();
}

void frmStatJob::cmdStat_Click()
{
    setCursor(Qt::WaitCursor);
    StatType type = StatType::Day;
    for (int i = 0; i < 4; ++i)
        if (optStatType[i]->isChecked())
            type = StatType(i);
    const QString sql = strStatJobSQL(type, ui::dateText(calJob->selectedDate()), txtBgnDay->value(),
                                      txtEndDay->value(), varGetSysInfo(4).toString());
    QVector<QStringList> figures;
    intStatJob(m_varJobType, sql, figures);
    // Every figure goes; a failed query (shown) leaves them cleared.
    spdJob->setCol(-1);
    spdJob->setRow(-1);
    spdJob->setText(QString());
    for (int j = 0; j < figures.size(); ++j)
        for (int c = 0; c < 3; ++c)
            spdJob->setText(c + 1, j + 1, figures[j][c]);
    unsetCursor();
}

void frmStatJob::cmdExit_Click()
{
    QWidget* self = this;
    subUnloadForm(self);
}
