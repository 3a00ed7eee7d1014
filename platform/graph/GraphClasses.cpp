#include "platform/graph/GraphClasses.h"

#include "platform/com/ClassRegistry.h"
#include "platform/graph/CaptureGraphBuilder2.h"
#include "platform/graph/FilterGraph.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MemAllocator.h"
#include "platform/graph/SystemClock.h"

#include <mutex>

void RegisterGraphClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        TClassRegistry& registry = TClassRegistry::Instance();
        registry.RegisterClass(CLSID_FilterGraph, &CreateComInstance<CFilterGraph>);
        registry.RegisterClass(CLSID_CaptureGraphBuilder2,
                               &CreateComInstance<CCaptureGraphBuilder2>);
        registry.RegisterClass(CLSID_SystemClock, &CreateComInstance<CSystemClock>);
        registry.RegisterClass(CLSID_MemoryAllocator, &CreateComInstance<CMemAllocator>);
    });
}
