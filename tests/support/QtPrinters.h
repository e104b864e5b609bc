#pragma once
// How the tests' failure messages show Qt strings and string lists.

#include <QString>
#include <QStringList>

#include <ostream>

inline std::ostream& operator<<(std::ostream& os, const QString& s) { return os << s.toStdString(); }
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << '[' << l.join(QStringLiteral(" | ")).toStdString() << ']';
}
