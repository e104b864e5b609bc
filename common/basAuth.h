#pragma once
// Module rights check, workload counter, exit and window routines.

#include "common/DBResultSet.h"

#include <QString>

class QWidget;

extern DBResultSet g_varAuthList; // the worker's rows of user_auth_lst, column 0 modu_code
// The wait window while it is shown (it registers itself); subCloseWaitMsg unloads it.
extern QWidget* g_frmWaitMsg;

// A number as plain decimal text: 3 gives "3", 12.5 gives "12.5".
QString strPlainNumber(double value);

bool blnCheckAuth(const QString& code, bool show);
int intAddJobQty(const QString& job, long kind, long volume, double amount);
// Its procedure call ("P a,b"), to send with other statements.
QString strJobQtyCall(const QString& job, long kind, long volume, double amount);
[[noreturn]] void subExitSystem();
// Centres a window on its screen (a window inside the main window's frame: in
// the frame), 18 pixels above the centre when there is room; `top` puts it at
// the top edge.
void subCenterForm(QWidget* window, bool top);
// Shows the window maximised, filling the screen's available area also where
// no window manager maximises it.
void subShowFillingScreen(QWidget* window);
void subUnloadForm(QWidget*& window);
void subCloseWaitMsg();
