#include "extend/RunError.h"

#include "common/basDB.h"

namespace extend {

void reportRunError(const RunError& e) {
    LIB_SetRunError(e.number(), e.description());
    intShowDBError();
}

} // namespace extend
