#pragma once
// A small reader of rich-text (RTF) documents into a QTextDocument: text and
// paragraphs, bold, italic, underline, font size and text colour; the
// document's code page (\ansicpgN) or a font's character set (\fcharsetN)
// for \'hh escapes, GBK double bytes included; \uN with its \ucN skip count;
// tables of fonts and colours read, and groups that show nothing (\*, \pict,
// \info, \stylesheet, headers and footers, ...) passed over. What it does not
// know (tables, pictures, lists) shows as plain paragraphs or not at all.

#include <QByteArray>

class QTextDocument;

namespace shell {

// Replaces the document's content with the RTF document `bytes`; false (the
// document left empty) when the bytes are no RTF document.
bool blnReadRtf(const QByteArray& bytes, QTextDocument* doc);

} // namespace shell
