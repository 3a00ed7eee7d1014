// Fuzz target: compiles arbitrary text and runs what compiles under small limits (an execution
// budget, short strings and arrays, a shallow call depth). Whatever the script does, the run must
// end with success or a run-time error, never with a crash, a hang or a leak.
#include "scripting/Engine.h"

#include <cstddef>
#include <cstdint>

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelvara::script;
    Engine engine;
    Limits limits;
    limits.budget = 20000;
    limits.maxStringLength = 1 << 16;
    limits.maxArrayLength = 1 << 14;
    limits.maxCallDepth = 200;
    engine.SetLimits(limits);
    engine.SetUseDebugInfo(true);
    engine.SetCompileCallback([](Engine& e) {
        e.AddMethod(
            nullptr, [](const QVariantList& a) { return QVariant(a.value(0).toString().size()); },
            QStringLiteral("function writeln(s: string): Integer;"));
        e.AddStandardGraphics();
    });
    engine.SetScript(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (engine.Compile())
        engine.Execute();
    return 0;
}
