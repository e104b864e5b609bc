#pragma once
// The error an action of the database interface throws.

#include "platform/oradb/Database.h"

#include <QString>

#include <functional>

namespace testsupport {

// Runs `f` and returns the number of the error it threw, -1 when none was
// thrown; the error's text goes to `text` when asked for.
inline long failureOf(const std::function<void()>& f, QString* text = nullptr) {
    try {
        f();
    } catch (const oradb::Error& e) {
        if (text) *text = e.description();
        return e.number();
    }
    return -1;
}

} // namespace testsupport
