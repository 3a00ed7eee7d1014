#pragma once
// The media platform's debug trace: with KELVARA_GRAPH_TRACE=1 in the environment, connection,
// state and seek decisions are written to stderr, one line each, prefixed "[graph]". Silent
// otherwise.
#include <QString>

struct IBaseFilter;
struct IPin;

bool GraphTraceEnabled();
void GraphTrace(const QString& line);

// "filter name" and "filter name.pin name", for trace lines.
QString TraceName(IBaseFilter* filter);
QString TraceName(IPin* pin);

#define GRAPH_TRACE(expr)                                                                          \
    do {                                                                                           \
        if (GraphTraceEnabled())                                                                   \
            GraphTrace(expr);                                                                      \
    } while (false)
