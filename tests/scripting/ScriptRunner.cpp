#include "tests/scripting/ScriptRunner.h"

namespace kelvara::script::test {

void AddOutput(Engine& engine, QString& out) {
    engine.AddMethod(
        nullptr,
        [&out](const QVariantList& a) {
            out += a.value(0).toString() + QLatin1Char('\n');
            return QVariant();
        },
        QStringLiteral("procedure writeln(s: string);"));
    engine.AddMethod(
        nullptr,
        [&out](const QVariantList& a) {
            out += a.value(0).toString();
            return QVariant();
        },
        QStringLiteral("procedure write(s: string);"));
}

RunResult RunScript(const QString& text, bool debugInfo, const Limits& limits) {
    RunResult r;
    Engine engine;
    engine.SetUseDebugInfo(debugInfo);
    engine.SetLimits(limits);
    engine.SetCompileCallback([&r](Engine& e) {
        AddOutput(e, r.output);
        e.AddStandardGraphics();
    });
    engine.SetScript(text);
    r.compiled = engine.Compile();
    for (const auto& m : engine.CompilerMessages())
        r.messages << m.ToString();
    if (!r.compiled)
        return r;
    r.ran = engine.Execute();
    r.error = engine.ExecErrorText();
    return r;
}

} // namespace kelvara::script::test
