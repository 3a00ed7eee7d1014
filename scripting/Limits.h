#pragma once
// Resource limits of a running script. Exceeding one is a run-time error (the string, array
// and depth limits) or ends the run (the budget).
#include <cstdint>

namespace kelvara::script {

struct Limits {
    int maxCallDepth = 4000;                      // nested calls of script routines
    int64_t maxStringLength = 64LL * 1024 * 1024; // characters in one string
    int64_t maxArrayLength = 16LL * 1024 * 1024;  // elements in one array
    int64_t budget = -1;                          // loop iterations plus calls; -1: no limit
    int64_t maxStackBytes = 4LL * 1024 * 1024;    // machine stack a run may use
};

} // namespace kelvara::script
