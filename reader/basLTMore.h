#pragma once
// Small services of the reader subsystem: the start-up value lists and the
// reader type of a reader.

#include "common/DBResultSet.h"

// The value lists of tmp_itemlist, item types "11" to "15", one column
// itemcontent in ascending order. Filled once at start-up.
extern DBResultSet g_varItemList11;
extern DBResultSet g_varItemList12;
extern DBResultSet g_varItemList13;
extern DBResultSet g_varItemList14;
extern DBResultSet g_varItemList15;

// Reads the five lists in type order. 0 when all were read; -1 at the first
// failing query (its database error already shown, later lists not read) or on
// any other error (no message).
int intLoadItemList();

// Reads the reader type code of the reader `certId` into `type` ("" when there
// is no such reader). 0 when the query ran; -1 when it failed (its database
// error already shown).
int intReadRedrType(const QString& certId, QString* type);
