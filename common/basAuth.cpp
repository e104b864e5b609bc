// Module rights check, workload counter, exit and window routines.

#include "common/basAuth.h"
#include "common/LoginState.h"
#include "common/basDB.h"
#include "common/basEnv.h"
#include "common/basMsg.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>

DBResultSet g_varAuthList;
QWidget* g_frmWaitMsg = nullptr;

bool blnCheckAuth(const QString& code, bool show) {
    if (g_strWkrNo == QLatin1String("SUPR")) return true;
    if (g_varAuthList.isEmpty()) return false; // rights not loaded: no message
    for (int i = 0; i < g_varAuthList.rowCount(); ++i)
        if (g_varAuthList.text(i, 0) == code) return true;
    if (show) intShowMsg(QStringLiteral("ECM504"));
    return false;
}

QString strPlainNumber(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    QString s = QString::number(value, 'f', 10);
    while (s.endsWith(QLatin1Char('0'))) s.chop(1);
    if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    return s;
}

QString strJobQtyCall(const QString& job, long kind, long volume, double amount) {
    return QStringLiteral("XT_wkr_job_qty ") + strSQLQuote(job) + QLatin1Char(',') + strSQLQuote(varGetSysInfo(4)) +
           QLatin1Char(',') + QString::number(kind) + QLatin1Char(',') + QString::number(volume) + QLatin1Char(',') +
           strPlainNumber(amount);
}

int intAddJobQty(const QString& job, long kind, long volume, double amount) {
    g_strSQL = strJobQtyCall(job, kind, volume, amount);
    return LIB_DB_CallProc(g_strSQL, 0) == 0 ? 0 : -1;
}

void subExitSystem() {
    LIB_DB_Close();
    LIB_DB_Disconnect();
    std::_Exit(0);
}

void subCenterForm(QWidget* window, bool top) {
    if (!window) return;
    // A window inside the main window's frame is centred in the frame.
    const QWidget* frame = window->isWindow() ? nullptr : window->parentWidget();
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!frame && !screen) return;
    const QRect s = frame ? frame->rect() : screen->geometry();
    const QRect w = window->frameGeometry();
    // 270 twips at 15 twips to the pixel.
    constexpr int lift = 18;
    const int left = static_cast<int>(std::lround(double(s.width() - w.width())) / 2);
    int y = 0;
    if (!top) {
        const int d = static_cast<int>(std::lround(double(s.height() - w.height())) / 2);
        y = d > lift ? d - lift : d;
    }
    // In a frame the caption stays reachable.
    if (frame) window->move(std::max(left, 0), std::max(y, 0));
    else window->move(s.x() + left, s.y() + y);
}

void subShowFillingScreen(QWidget* window) {
    if (!window) return;
    // Where no window manager maximises, the window takes the free area itself.
    if (const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen())
        window->setGeometry(screen->availableGeometry());
    window->showMaximized();
}

void subUnloadForm(QWidget*& window) {
    if (!window) return;
    QWidget* w = window;
    window = nullptr;
    w->close();
    w->deleteLater();
}

void subCloseWaitMsg() { subUnloadForm(g_frmWaitMsg); }
