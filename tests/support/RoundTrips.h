#pragma once
// The round trips an action sends to the server, counted by the database
// interface: what the budget tests compare.

#include "common/basDBBatch.h"

#include <functional>

namespace testsupport {

inline long roundTripsOf(const std::function<void()>& action) {
    LIB_DB_ResetTraffic();
    action();
    return LIB_DB_RoundTrips();
}

} // namespace testsupport
