#pragma once
// A run-time error of the add-in classes: its number, its description and the
// object that raised it. Callers that report errors hand it to the common
// error report (reportRunError).

#include <QString>
#include <stdexcept>

namespace extend {

class RunError : public std::runtime_error {
public:
    RunError(long number, const QString& description, const QString& source = {})
        : std::runtime_error(description.toStdString()), number_(number), description_(description),
          source_(source) {}
    long number() const { return number_; }
    QString description() const { return description_; }
    QString source() const { return source_; }

private:
    long number_;
    QString description_;
    QString source_;
};

// Error numbers of the old runtime used here.
constexpr long kErrFileNotFound = 53;
constexpr long kErrNoSuchMethod = 438;

// Shows the error through intShowDBError (its message and a log line).
void reportRunError(const RunError& e);

} // namespace extend
