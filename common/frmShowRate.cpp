#include "common/frmShowRate.h"

#include "common/basAuth.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <cmath>

frmShowRate::frmShowRate(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmShowRate"));
    setWindowTitle(QStringLiteral("任务进度"));
    prgTime = new QProgressBar(this);
    prgTime->setObjectName(QStringLiteral("prgTime"));
    prgTime->setRange(0, 100);
    prgTime->setValue(0);
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lblTitle = new QLabel(QStringLiteral("剩余时间："), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblRemain = new QLabel(this);
    lblRemain->setObjectName(QStringLiteral("lblRemain"));
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel, &QPushButton::clicked, this, &frmShowRate::CancelOper);

    auto* grid = new QGridLayout(this);
    grid->addWidget(prgTime, 0, 0, 1, 3);
    grid->addWidget(lblCount, 1, 0, 1, 3);
    grid->addWidget(lblTitle, 2, 0);
    grid->addWidget(lblRemain, 2, 1);
    grid->addWidget(cmdCancel, 2, 2);
    setFixedSize(360, sizeHint().height());
    subCenterForm(this, false);
}

void frmShowRate::setMax(float value)
{
    max_ = value;
    updateBar();
}

void frmShowRate::setMin(float value)
{
    min_ = value;
    updateBar();
}

void frmShowRate::setValue(float value)
{
    value_ = value;
    updateBar();
}

void frmShowRate::updateBar()
{
    auto whole = [](float v) { return int(std::lround(std::clamp<double>(v, -2e9, 2e9))); };
    prgTime->setRange(whole(min_), std::max(whole(min_), whole(max_)));
    prgTime->setValue(std::clamp(whole(value_), prgTime->minimum(), prgTime->maximum()));
}
