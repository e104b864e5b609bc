#pragma once
// The reader the desk serves now, shared by the desk and the reader windows.

#include <QString>

// cert_id of the desk's current reader; empty when it serves none.
extern QString g_strCertID;
// That reader's unpaid overdue-fine total as the desk last knew it. Set by the
// desk (or the main window) before the fine window opens, read back after it
// has closed. Always written from exact cents.
extern double g_dblExceedFine;

// The automatic-search flag: 1 when the reader look-up found several readers and
// opened its search window; the search windows that run their search at once
// when it is 1 set it back to 0.
extern int g_intAutoQuery;
