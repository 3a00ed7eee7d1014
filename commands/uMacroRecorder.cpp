#include "commands/uMacroRecorder.h"

TMacroLines* MacroRecorder = nullptr;
bool MacroNesting = false;

TMacroScope::TMacroScope(const std::function<QString()>& makeLine) {
    if (!MacroRecorder || MacroNesting)
        return;
    const QString line = makeLine();
    if (!line.isNull())
        MacroRecorder->Add(line);
    MacroNesting = true;
    FSetNesting = true;
}

TMacroScope::~TMacroScope() {
    if (FSetNesting)
        MacroNesting = false;
}
