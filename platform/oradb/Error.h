#pragma once
// Errors of the database interface. Every failing operation throws oradb::Error
// with a number and a description; server errors carry the server error number
// and the "ORA-NNNNN: ..." text that Database::LastServerErrText() also keeps.

#include <QString>
#include <stdexcept>

struct pg_result;

namespace oradb {

// Numbers of errors raised by the interface itself (not by the server).
enum ClientError : long {
    ErrNotConnected = 3114,   // no session or the session was lost earlier
    ErrConnectFailed = 12154, // the database could not be opened
    ErrNoSuchField = 440,     // field name or position not in the dynaset
    ErrNoCurrentRow = 441,    // dynaset positioned before the first or after the last row
    ErrBadParameter = 442,    // unknown parameter name
};

class Error : public std::runtime_error {
public:
    Error(long number, const QString& description);
    long number() const { return number_; }
    QString description() const { return description_; }

private:
    long number_;
    QString description_;
};

// Builds the server error text from a failed result: "ORA-NNNNN: ..." chosen by
// SQLSTATE and the constraint name. `lost` tells that the connection broke
// during the call, `wasDown` that it was already broken before.
// `referencedTable` names the table a failed foreign key refers to: a foreign
// key error is a missing parent (02291) or a remaining child (02292) by the
// tables the server's message names, whatever its language: only a refused
// change of the parent names both tables (or the one table twice).
QString serverErrorText(const pg_result* result, const QString& libpqMessage, bool lost, bool wasDown,
                        const QString& referencedTable = QString());

// The five-digit number after the first "ORA-" in text, or -1.
long oraNumber(const QString& text);

} // namespace oradb
