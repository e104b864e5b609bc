#pragma once
// Text rewrites the database interface applies before a statement reaches the
// server. All of them know SQL literals, quoted names, comments and dollar
// quoting, so text inside a literal is never touched.

#include <QString>
#include <QVector>
#include <functional>

namespace oradb::sqltext {

enum class Kind { Code, Literal, QuotedName, Comment, Dollar };

struct Segment {
    Kind kind;
    int start;
    int length;
};

// Splits SQL text into code, literals ('...', E'...'), quoted names, comments
// and dollar-quoted bodies. An unterminated literal runs to the end.
QVector<Segment> scan(const QString& sql);

// True when the literal segment is an empty literal ('' or E'').
bool isEmptyLiteral(const QString& sql, const Segment& s);

// Every whole empty literal becomes NULL (the server otherwise keeps '' apart
// from NULL; the program's SQL expects them to be the same).
QString emptyLiteralsToNull(const QString& sql);

// Every whole empty literal becomes a one-blank literal ' '.
QString emptyLiteralsToBlank(const QString& sql);

// Replaces each bind reference ":name" outside literals and comments with the
// text `replace` returns for it; a null QString leaves the reference as it is.
// `order` receives the names replaced, in order of appearance.
QString substituteBinds(const QString& sql, const std::function<QString(const QString&)>& replace,
                        QStringList* order = nullptr);

// "Begin P(args); end;" (any case, any blanks) -> "CALL P(args)"; other text
// comes back unchanged. `isBlock` tells whether the text was such a block.
QString blockToCall(const QString& sql, bool* isBlock = nullptr);

// Removes blanks and one trailing ";" (outside literals) at the end.
QString stripTerminator(const QString& sql);

// The text without NUL characters and without UTF-16 surrogates that stand
// alone: a scanner or a paste can carry them, a statement cannot (a NUL would
// cut it short). Every value quoted into a statement goes through this.
QString sendableText(const QString& text);

// A value as an SQL literal: in single quotes, quotes doubled, made sendable.
QString quoteLiteral(const QString& text);

} // namespace oradb::sqltext
