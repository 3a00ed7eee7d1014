// Fuzz target: compiles arbitrary text as a script (with a host routine and the standard
// graphics declared) and nothing more. It must never crash, hang or leak, whatever the text.
#include "scripting/Engine.h"

#include <cstddef>
#include <cstdint>

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kelvara::script;
    Engine engine;
    engine.SetUsePreProcessor(size > 0 && (data[0] & 1));
    engine.SetCompileCallback([](Engine& e) {
        e.AddMethod(
            nullptr, [](const QVariantList&) { return QVariant(); },
            QStringLiteral("procedure writeln(s: string);"));
        e.AddStandardGraphics();
    });
    engine.SetScript(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    engine.Compile();
    for (const auto& m : engine.CompilerMessages())
        (void)m.ToString();
    return 0;
}
