#pragma once
// The main window's per-user settings (application "流通委托", section
// "Settings"), read once when the main window loads.

#include "common/basText.h" // g_strFontName, g_strFontSize, g_blnFontBold

#include <QString>

extern QString g_strStyleID;  // id of the interface theme in use
extern int g_intFineLend;     // 1: fine settlement when a reader with unpaid fines loads
extern int g_intFineReturn;   // not 0: fine settlement after a return
extern int g_intReturnClear;  // 1: the return list clears when the borrower changes
extern int g_intSubIdRep;     // character shown for the MARC subfield mark

// The settings conversions of the old runtime; they throw std::runtime_error
// for a text that does not convert.
int intSettingToInt(const QString& value);
bool blnSettingToBool(const QString& value);

// StyleID, FineLend, FineReturn, ReturnClear.
void subReadMainSettings();
// FontName, FontSize, FontBold, BM_SUBID_REP.
void subReadFontSettings();
// Writes g_strStyleID back.
void subSaveStyleID();
