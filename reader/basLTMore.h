#pragma once
// Small services of the reader subsystem: the start-up value lists, the
// reader type of a reader and the reader quick look-ups.

#include "common/DBResultSet.h"

#include <QStringList>

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
// Its five queries (to be read ahead with the start-up's).
QStringList strItemListSQLs();

// Reads the reader type code of the reader `certId` into `type` ("" when there
// is no such reader). 0 when the query ran; -1 when it failed (its database
// error already shown).
int intReadRedrType(const QString& certId, QString* type);

// ---- reader quick look-up --------------------------------------------------------

// The reader information window as the quick look-ups call it back.
class RedrInfoHost {
public:
    virtual ~RedrInfoHost() = default;
    // Makes the reader current (summary, detail, loans page).
    virtual void frmRedrInfoSet(const QString& certId, const QString& barcode) = 0;
    // Opens the reader search on the window's query field and text.
    virtual void cmdRedrQuery_Click() = 0;
};

// The field a quick look-up matches, in the order of the window's field list.
enum RedrSeekField { SeekByBarcode = 0, SeekByCertId = 1, SeekByIdCard = 2, SeekByName = 3 };

// cert_id of every reader with a card whose field begins with `text` (each
// reader once, whatever its cards' states). The text is matched as typed:
// "%", "_" and "\" match themselves. 0, or -1 when the query failed (the
// error is pending, not shown).
int intSeekRedr(int field, const QString& text, QStringList* certIds);

// The look-ups of the window's query box. One reader: the window shows it;
// several: g_intAutoQuery = 1 and the window opens the reader search; none:
// the field's message (ELT205, ELT101, ELT201). A failed query shows its error.
// The barcode, certificate-number and identity-card texts are upper-cased;
// the name is taken as passed. `operation` is unused (the window passes "").
void subSeekRedr(int field, const QString& text, RedrInfoHost* window);
void subSeekRedrByBarcode(const QString& text, RedrInfoHost* window, const QString& operation = {});
void subSeekRedrByCertId(const QString& text, RedrInfoHost* window, const QString& operation = {});
void subSeekRedrByIdCard(const QString& text, RedrInfoHost* window, const QString& operation = {});
void subSeekRedrByName(const QString& text, RedrInfoHost* window, const QString& operation = {});
