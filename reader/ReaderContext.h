#pragma once
// The reader the desk serves now, shared by the desk and the reader windows.

#include <QString>

// cert_id of the desk's current reader; empty when it serves none.
extern QString g_strCertID;
// That reader's unpaid overdue-fine total as the desk last knew it. Set by the
// desk (or the main window) before the fine window opens, read back after it
// has closed. Always written from exact cents.
extern double g_dblExceedFine;

// cert_id of the reader the reader information window shows; empty when none.
extern QString g_strRedrID;
// The automatic-search flag: 1 when a look-up found several matches and opened
// its search window; the search windows that run their search at once when it
// is 1 set it back to 0.
extern int g_intAutoQuery;
// 1 while the reader search dialog is loaded, 0 once it is unloaded.
extern int g_intRedrSearchOn;
