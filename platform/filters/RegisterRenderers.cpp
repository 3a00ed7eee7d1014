#include "platform/filters/RegisterRenderers.h"

#include <mutex>

void RegisterRendererFilters() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The renderers register themselves here as they are added to the library.
    });
}
