#pragma once
// Memory that one party allocates and another frees across an interface (a renderer's current
// image, a module's strings): CoTaskMemAlloc on one side, CoTaskMemFree on the other. Both use
// the process's C heap, which the program and its modules share.
#include <cstddef>
#include <cstdlib>

inline void* CoTaskMemAlloc(size_t cb) {
    return std::malloc(cb == 0 ? 1 : cb);
}

// Null is allowed and does nothing.
inline void CoTaskMemFree(void* pv) {
    std::free(pv);
}
