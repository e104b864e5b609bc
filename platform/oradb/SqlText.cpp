#include "platform/oradb/SqlText.h"

#include <QRegularExpression>

namespace oradb::sqltext {

namespace {

bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

// Length of a dollar-quote tag ("$tag$" or "$$") starting at i, or 0.
int dollarTag(const QString& s, int i) {
    if (s[i] != QLatin1Char('$')) return 0;
    if (i > 0 && isIdentChar(s[i - 1])) return 0; // part of a name such as a$b or $1 parameter
    int j = i + 1;
    while (j < s.size() && (s[j].isLetterOrNumber() || s[j] == QLatin1Char('_'))) {
        if (j == i + 1 && s[j].isDigit()) return 0; // $1 is a parameter
        ++j;
    }
    if (j < s.size() && s[j] == QLatin1Char('$')) return j - i + 1;
    return 0;
}

} // namespace

QVector<Segment> scan(const QString& s) {
    QVector<Segment> out;
    const int n = s.size();
    int codeStart = 0;
    int i = 0;
    auto flushCode = [&](int end) {
        if (end > codeStart) out.append({Kind::Code, codeStart, end - codeStart});
    };
    while (i < n) {
        const QChar c = s[i];
        if (c == QLatin1Char('\'')) {
            // E'...' takes backslash escapes; the prefix belongs to the literal.
            int start = i;
            bool escapes = false;
            if (i > 0 && (s[i - 1] == QLatin1Char('E') || s[i - 1] == QLatin1Char('e')) &&
                (i == 1 || !isIdentChar(s[i - 2])) && i - 1 >= codeStart) {
                start = i - 1;
                escapes = true;
            }
            flushCode(start);
            int j = i + 1;
            while (j < n) {
                if (escapes && s[j] == QLatin1Char('\\') && j + 1 < n) {
                    j += 2;
                    continue;
                }
                if (s[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && s[j + 1] == QLatin1Char('\'')) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            if (j > n) j = n;
            out.append({Kind::Literal, start, j - start});
            i = codeStart = j;
        } else if (c == QLatin1Char('"')) {
            flushCode(i);
            int j = i + 1;
            while (j < n) {
                if (s[j] == QLatin1Char('"')) {
                    if (j + 1 < n && s[j + 1] == QLatin1Char('"')) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            out.append({Kind::QuotedName, i, j - i});
            i = codeStart = j;
        } else if (c == QLatin1Char('-') && i + 1 < n && s[i + 1] == QLatin1Char('-')) {
            flushCode(i);
            int j = i + 2;
            while (j < n && s[j] != QLatin1Char('\n')) ++j;
            out.append({Kind::Comment, i, j - i});
            i = codeStart = j;
        } else if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            flushCode(i);
            int depth = 1;
            int j = i + 2;
            while (j < n && depth > 0) {
                if (s[j] == QLatin1Char('/') && j + 1 < n && s[j + 1] == QLatin1Char('*')) {
                    ++depth;
                    j += 2;
                } else if (s[j] == QLatin1Char('*') && j + 1 < n && s[j + 1] == QLatin1Char('/')) {
                    --depth;
                    j += 2;
                } else {
                    ++j;
                }
            }
            out.append({Kind::Comment, i, j - i});
            i = codeStart = j;
        } else if (const int tag = dollarTag(s, i)) {
            flushCode(i);
            const QString t = s.mid(i, tag);
            int end = s.indexOf(t, i + tag);
            const int j = end < 0 ? n : end + tag;
            out.append({Kind::Dollar, i, j - i});
            i = codeStart = j;
        } else {
            ++i;
        }
    }
    flushCode(n);
    return out;
}

bool isEmptyLiteral(const QString& sql, const Segment& s) {
    if (s.kind != Kind::Literal) return false;
    const QStringView v = QStringView(sql).mid(s.start, s.length);
    if (v == QLatin1String("''")) return true;
    return v.size() == 3 && (v[0] == QLatin1Char('E') || v[0] == QLatin1Char('e')) && v.mid(1) == QLatin1String("''");
}

namespace {

QString replaceEmpty(const QString& sql, const QString& with) {
    const QVector<Segment> segs = scan(sql);
    QString out;
    out.reserve(sql.size() + 16);
    for (const Segment& s : segs) {
        if (isEmptyLiteral(sql, s)) {
            // Keep a blank between the replacement and a neighbouring word.
            const bool before = s.start > 0 && isIdentChar(sql[s.start - 1]);
            const int after = s.start + s.length;
            const bool behind = after < sql.size() && isIdentChar(sql[after]);
            if (before) out += QLatin1Char(' ');
            out += with;
            if (behind) out += QLatin1Char(' ');
        } else {
            out += QStringView(sql).mid(s.start, s.length);
        }
    }
    return out;
}

} // namespace

QString emptyLiteralsToNull(const QString& sql) {
    if (!sql.contains(QLatin1String("''"))) return sql;
    return replaceEmpty(sql, QStringLiteral("NULL"));
}

QString emptyLiteralsToBlank(const QString& sql) {
    if (!sql.contains(QLatin1String("''"))) return sql;
    return replaceEmpty(sql, QStringLiteral("' '"));
}

QString substituteBinds(const QString& sql, const std::function<QString(const QString&)>& replace,
                        QStringList* order) {
    if (!sql.contains(QLatin1Char(':'))) return sql;
    QString out;
    for (const Segment& s : scan(sql)) {
        const QString part = sql.mid(s.start, s.length);
        if (s.kind != Kind::Code) {
            out += part;
            continue;
        }
        int i = 0;
        while (i < part.size()) {
            const QChar c = part[i];
            const bool prevColon = (i > 0 && part[i - 1] == QLatin1Char(':'));
            if (c == QLatin1Char(':') && !prevColon && i + 1 < part.size() &&
                (part[i + 1].isLetter() || part[i + 1] == QLatin1Char('_'))) {
                int j = i + 1;
                while (j < part.size() && (part[j].isLetterOrNumber() || part[j] == QLatin1Char('_'))) ++j;
                const QString name = part.mid(i + 1, j - i - 1);
                const QString with = replace(name);
                if (!with.isNull()) {
                    out += with;
                    if (order) order->append(name);
                } else {
                    out += part.mid(i, j - i);
                }
                i = j;
            } else {
                out += c;
                ++i;
            }
        }
    }
    return out;
}

QString stripTerminator(const QString& sql) {
    QString t = sql.trimmed();
    const QVector<Segment> segs = scan(t);
    if (!segs.isEmpty() && segs.last().kind == Kind::Code && t.endsWith(QLatin1Char(';')))
        t.chop(1);
    return t.trimmed();
}

QString blockToCall(const QString& sql, bool* isBlock) {
    if (isBlock) *isBlock = false;
    static const QRegularExpression head(QStringLiteral("^\\s*begin\\s+"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tail(QStringLiteral(";\\s*end\\s*;?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch h = head.match(sql);
    if (!h.hasMatch()) return sql;
    // The tail must lie in code, not inside a literal.
    const QVector<Segment> segs = scan(sql);
    if (segs.isEmpty() || segs.last().kind != Kind::Code) return sql;
    const Segment& last = segs.last();
    const QString lastCode = sql.mid(last.start);
    const QRegularExpressionMatch t = tail.match(lastCode);
    if (!t.hasMatch()) return sql;
    const int bodyEnd = last.start + t.capturedStart();
    QString body = sql.mid(h.capturedEnd(), bodyEnd - h.capturedEnd()).trimmed();
    // Exactly one call: no other ";" in code.
    for (const Segment& s : scan(body))
        if (s.kind == Kind::Code && body.mid(s.start, s.length).contains(QLatin1Char(';'))) return sql;
    if (body.isEmpty()) return sql;
    if (!body.endsWith(QLatin1Char(')'))) body += QStringLiteral("()");
    if (isBlock) *isBlock = true;
    return QStringLiteral("CALL ") + body;
}

QString sendableText(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto unsendable = [&](qsizetype at, qsizetype* width) {
        const QChar c = text[at];
        *width = 1;
        if (c.isHighSurrogate() && at + 1 < n && text[at + 1].isLowSurrogate()) {
            *width = 2;
            return false;
        }
        return c.unicode() == 0 || c.isSurrogate();
    };
    qsizetype w = 1;
    while (i < n && !unsendable(i, &w)) i += w;
    if (i == n) return text;
    QString out = text.left(i);
    for (; i < n; i += w) {
        if (!unsendable(i, &w)) out += text.mid(i, w);
    }
    return out;
}

QString quoteLiteral(const QString& text) {
    QString s = sendableText(text);
    s.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

} // namespace oradb::sqltext
