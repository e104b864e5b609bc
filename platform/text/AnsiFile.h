#pragma once
// Text files the program calls "ANSI".
//
// Reading: a file that begins with a UTF-8 byte-order mark is UTF-8 (the mark
// is dropped); any other file is GB18030, which reads GBK files unchanged.
// Lines may end with CRLF or LF.
// Writing: GB18030 with CRLF line ends ("\n" in the text becomes "\r\n"; an
// existing "\r\n" is kept as it is). Whole-file writes replace the file
// atomically.

#include <QString>
#include <QStringList>

namespace text {

enum class FileEncoding { Gb18030, Utf8Bom };

// Decodes file bytes by the rule above; `encoding` (optional) tells which applied.
QString decodeAnsi(const QByteArray& bytes, FileEncoding* encoding = nullptr);

// Reads the whole file. False when it cannot be read; `text` is then empty.
bool readAnsiFile(const QString& path, QString* text, FileEncoding* encoding = nullptr);
// Reads the file as lines without their line ends. A final line end does not
// start another (empty) line. False when the file cannot be read.
bool readAnsiLines(const QString& path, QStringList* lines);

// "\n" -> "\r\n" (leaving "\r\n" alone).
QString toCrlf(const QString& text);

enum class WriteMode { Replace, Append };
// Writes the text as GB18030 with CRLF line ends (or UTF-8 with its mark when
// `encoding` says so). False on any failure.
bool writeAnsiFile(const QString& path, const QString& text, WriteMode mode = WriteMode::Replace,
                   FileEncoding encoding = FileEncoding::Gb18030);

} // namespace text
