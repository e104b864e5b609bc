#pragma once
// Values out of a MARC record: a field by tag, a subfield by a tag-and-code
// item ("200a"), a subfield of a field embedded in a linking field
// ("4611200a"), the first non-empty value of an item list ("200a,701a") and
// the bibliographic items the windows show.
//
// The getters walk the record with two shared positions, so repeated calls
// enumerate repeated fields and subfields; a caller that wants the first
// occurrence calls subResetMarcPos() first.

#include "common/basMarc.h"

#include <QString>

extern int g_intMarcFieldPos;    // next directory entry to examine
extern int g_intMarcSubfieldPos; // character position (from 1) in the current field

void subResetMarcPos();

// Content of the next field with the tag from the field position on (without
// its terminator), or "". Moves past the field.
QString strGetMarcFieldByTag(const MarcRecord& rec, const QString& tag);
// The same, but the field position stays on the field found.
QString strPeekMarcFieldByTag(const MarcRecord& rec, const QString& tag);
// Next value of subfield `code` in a field text, from the subfield position on.
QString strNextMarcSubfield(const QString& field, const QString& code);
// Next value of a subfield item ("200a"), or the next control field ("001").
QString strGetMarcSubfield(const MarcRecord& rec, const QString& item);
// Subfield of a field embedded in the next host field: "4611200a".
QString strGetMarcEmbeddedSubfield(const MarcRecord& rec, const QString& item);
// Display text of a field: indicators dropped, subfield marks and codes as blanks.
QString strMarcFieldText(const QString& field);
// First non-empty value of a comma-separated item list.
QString strGetMarcItemList(const MarcRecord& rec, const QString& list);
// Bibliographic item `kind` (0 title, 1 author, 3 publisher, ...).
QString strGetMarcTitle(const MarcRecord& rec, int kind);
// 0 CNMARC ("C"), 1 USMARC ("U"), 2 ("c"), 3 ("u"); anything else 0.
int intGetMarcFormat(const MarcRecord& rec);
// Number of leading characters of the text that fit in a display width (a
// double-byte character counts 2), trailing blanks of that part not counted;
// length + 1 when the whole text fits.
int intCharPosByWidth(const QString& text, int width);
