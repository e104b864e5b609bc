#include "platform/oradb/Error.h"

#include <libpq-fe.h>

namespace oradb {

Error::Error(long number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description) {}

namespace {

QString field(const PGresult* r, int code) {
    if (!r) return {};
    const char* v = PQresultErrorField(r, code);
    return v ? QString::fromUtf8(v) : QString();
}

QString ora(int n, const QString& text) {
    return QStringLiteral("ORA-%1: %2").arg(n, 5, 10, QLatin1Char('0')).arg(text);
}

bool identChar(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'$';
}

// How often `name` stands in `text` as a whole identifier.
int countName(const QString& text, const QString& name) {
    if (name.isEmpty()) return 0;
    int n = 0;
    for (qsizetype at = text.indexOf(name); at >= 0; at = text.indexOf(name, at + name.size())) {
        const qsizetype end = at + name.size();
        if ((at == 0 || !identChar(text[at - 1])) && (end >= text.size() || !identChar(text[end]))) ++n;
    }
    return n;
}

// A refused change of the parent names the parent table and the child table;
// a missing parent names only the child table in the primary message (beside
// the constraint, which may bear a table's name).
bool childRecordFound(const PGresult* r, const QString& message, const QString& parent) {
    if (parent.isEmpty()) return field(r, PG_DIAG_MESSAGE_DETAIL).contains(QLatin1String("still referenced"));
    const QString table = field(r, PG_DIAG_TABLE_NAME);
    const QString constraint = field(r, PG_DIAG_CONSTRAINT_NAME);
    int names = countName(message, table) + (parent == table ? 0 : countName(message, parent));
    if (constraint == table || constraint == parent) --names;
    return names >= 2;
}

} // namespace

QString serverErrorText(const PGresult* r, const QString& libpqMessage, bool lost, bool wasDown,
                        const QString& referencedTable) {
    const QString state = field(r, PG_DIAG_SQLSTATE);
    const QString constraint = field(r, PG_DIAG_CONSTRAINT_NAME).toUpper();
    const QString message = field(r, PG_DIAG_MESSAGE_PRIMARY).isEmpty() ? libpqMessage.trimmed()
                                                                        : field(r, PG_DIAG_MESSAGE_PRIMARY);
    const QString plain = QStringLiteral(" (%1)").arg(message);

    if (wasDown) return ora(3114, QStringLiteral("not connected to the database"));
    if (state == QLatin1String("57P01")) return ora(28, QStringLiteral("your session has been killed"));
    if (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P02") ||
        state == QLatin1String("57P03") || lost) // also a session the server ended on a timeout
        return ora(3113, QStringLiteral("end-of-file on communication channel") + plain);
    if (state == QLatin1String("23505"))
        return ora(1, QStringLiteral("unique constraint (%1) violated").arg(constraint));
    if (state == QLatin1String("23503")) {
        if (childRecordFound(r, message, referencedTable))
            return ora(2292,
                       QStringLiteral("integrity constraint (%1) violated - child record found").arg(constraint));
        return ora(2291, QStringLiteral("integrity constraint (%1) violated - parent key not found").arg(constraint));
    }
    if (state == QLatin1String("23514"))
        return ora(2290, QStringLiteral("check constraint (%1) violated").arg(constraint));
    if (state == QLatin1String("23502"))
        return ora(1400, QStringLiteral("cannot insert NULL into (%1)").arg(field(r, PG_DIAG_COLUMN_NAME).toUpper()));
    if (state == QLatin1String("55P03"))
        return ora(54, QStringLiteral("resource busy and acquire with NOWAIT specified or timeout expired"));
    if (state == QLatin1String("40P01")) return ora(60, QStringLiteral("deadlock detected while waiting for resource"));
    if (state == QLatin1String("40001")) return ora(8177, QStringLiteral("can't serialize access for this transaction"));
    if (state == QLatin1String("22001")) return ora(12899, QStringLiteral("value too large for column") + plain);
    if (state == QLatin1String("22003"))
        return ora(1438, QStringLiteral("value larger than specified precision allowed for this column") + plain);
    if (state == QLatin1String("22P02") || state == QLatin1String("22018"))
        return ora(1722, QStringLiteral("invalid number") + plain);
    if (state == QLatin1String("22007") || state == QLatin1String("22008"))
        return ora(1841, QStringLiteral("invalid date or time") + plain);
    if (state == QLatin1String("22012")) return ora(1476, QStringLiteral("divisor is equal to zero"));
    if (state == QLatin1String("42P01")) return ora(942, QStringLiteral("table or view does not exist") + plain);
    if (state == QLatin1String("42703")) return ora(904, QStringLiteral("invalid identifier") + plain);
    if (state == QLatin1String("42883")) return ora(6550, QStringLiteral("identifier must be declared") + plain);
    if (state.startsWith(QLatin1String("42"))) return ora(900, QStringLiteral("invalid SQL statement") + plain);
    if (state == QLatin1String("57014")) return ora(1013, QStringLiteral("user requested cancel of current operation"));
    if (state == QLatin1String("P0001") && message.startsWith(QLatin1String("ORA-"))) return message;
    return ora(20000, message);
}

long oraNumber(const QString& text) {
    const int at = text.indexOf(QLatin1String("ORA-"));
    if (at < 0) return -1;
    bool ok = false;
    const long n = text.mid(at + 4, 5).toLong(&ok);
    return ok ? n : -1;
}

} // namespace oradb
