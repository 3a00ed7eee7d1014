#include "platform/graph/GraphMutex.h"

#include "platform/graph/GraphTrace.h"
#include "platform/graph/GraphWait.h"

#include <cassert>

void TGraphMutex::Relocked() {
    GRAPH_TRACE(QStringLiteral("a filter lock was taken again by the thread that holds it"));
    assert(!"a graph or filter lock re-entered on the thread that holds it");
}

TGraphCallLock::TGraphCallLock(TGraphMutex& mutex, const char* call) {
    if (!mutex.HeldByThisThread()) {
        mutex.lock();
        FTaken = &mutex;
        return;
    }
    if (InsideGraphWait())
        return; // a handler run during this object's own wait: the waiting call is parked
    FEntered = false;
    GRAPH_TRACE(QStringLiteral("%1 refused: called again by the thread inside a graph call")
                    .arg(QLatin1String(call ? call : "a call")));
    assert(!"a graph or filter call re-entered the object on the thread that holds its lock");
}
