#include "platform/graph/GraphTrace.h"

#include "platform/com/ComPtr.h"
#include "platform/graph/FilterInterfaces.h"

#include <cstdio>
#include <mutex>

bool GraphTraceEnabled() {
    static const bool enabled = [] {
        const QByteArray value = qgetenv("KELVARA_GRAPH_TRACE");
        return !value.isEmpty() && value != "0";
    }();
    return enabled;
}

void GraphTrace(const QString& line) {
    static std::mutex lock;
    const QByteArray text = line.toLocal8Bit();
    std::lock_guard guard(lock);
    std::fprintf(stderr, "[graph] %s\n", text.constData());
}

QString TraceName(IBaseFilter* filter) {
    if (!filter)
        return QStringLiteral("(none)");
    FILTER_INFO info;
    if (FAILED(filter->QueryFilterInfo(&info)))
        return QStringLiteral("(filter)");
    if (info.pGraph)
        info.pGraph->Release();
    const QString name = FromWStr(info.achName);
    return name.isEmpty() ? QStringLiteral("(unnamed)") : name;
}

QString TraceName(IPin* pin) {
    if (!pin)
        return QStringLiteral("(none)");
    PIN_INFO info;
    if (FAILED(pin->QueryPinInfo(&info)))
        return QStringLiteral("(pin)");
    ComPtr<IBaseFilter> owner;
    owner.Attach(info.pFilter);
    return TraceName(owner.Get()) + QLatin1Char('.') + FromWStr(info.achName);
}
