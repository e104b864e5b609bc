#include "common/clsProgressBar.h"

#include "common/frmShowRate.h"

#include <QLabel>

#include <charconv>
#include <cmath>

namespace {

clsProgressBar::Clock& progressClock()
{
    static clsProgressBar::Clock c;
    return c;
}

QDateTime now()
{
    return progressClock() ? progressClock()() : QDateTime::currentDateTime();
}

QString shortest(float v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return QString::fromLatin1(buf, int(res.ptr - buf));
}

} // namespace

clsProgressBar::clsProgressBar(QObject* parent) : QObject(parent), frmRate(new frmShowRate)
{
    connect(frmRate, &frmShowRate::CancelOper, this, [this] { m_blnInterrupt = true; });
}

clsProgressBar::~clsProgressBar()
{
    delete frmRate.data();
    if (m_objLockSource)
        m_objLockSource->setProperty("enabled", true);
}

void clsProgressBar::setClock(Clock c)
{
    progressClock() = std::move(c);
}

float clsProgressBar::Max() const { return frmRate->sngMax(); }
void clsProgressBar::setMax(double value) { frmRate->setMax(float(value)); }
float clsProgressBar::Min() const { return frmRate->sngMin(); }
void clsProgressBar::setMin(double value) { frmRate->setMin(float(value)); }
float clsProgressBar::Value() const { return frmRate->sngValue(); }
void clsProgressBar::setValue(double value) { frmRate->setValue(float(value)); }

QString clsProgressBar::strRemainText(qint64 elapsed, float max, float value)
{
    qint64 remaining = 0;
    if (value > 0 && elapsed > 0) {
        const double r = std::nearbyint(double(elapsed) * (double(max) - double(value)) / double(value));
        remaining = r > 0 && r < 1e12 ? qint64(r) : 0;
    }
    return QStringLiteral("%1:%2:%3")
        .arg(remaining / 3600, 2, 10, QLatin1Char('0'))
        .arg(remaining / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(remaining % 60, 2, 10, QLatin1Char('0'));
}

QString clsProgressBar::strCountText(float max, float value)
{
    return QStringLiteral("总计 ") + shortest(max) + QStringLiteral("条") + QStringLiteral(", 现 ") + shortest(value)
           + QStringLiteral("条");
}

void clsProgressBar::ValueAdd(short step)
{
    const float sum = Value() + float(step);
    setValue(sum >= Max() ? Max() : sum);
    // Whole seconds since Show, never below 0 (the clock includes the date).
    const qint64 elapsed = m_dtStart.isValid() ? std::max<qint64>(0, m_dtStart.secsTo(now())) : 0;
    frmRate->lblRemain->setText(strRemainText(elapsed, Max(), Value()));
    frmRate->lblCount->setText(strCountText(Max(), Value()));
}

void clsProgressBar::TopMost(bool on)
{
    const bool shown = frmRate->isVisible();
    frmRate->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown)
        frmRate->show();
    if (!on)
        frmRate->lower();
}

QString clsProgressBar::Title() const { return frmRate->windowTitle(); }
void clsProgressBar::setTitle(const QString& title) { frmRate->setWindowTitle(title); }

void clsProgressBar::Show()
{
    frmRate->show();
    m_dtStart = now();
}

void clsProgressBar::SetLockSource(QObject* obj)
{
    m_objLockSource = obj;
    if (auto* w = qobject_cast<QWidget*>(obj); w && w->isWindow())
        w->setEnabled(false);
}
