#include "scripting/Program.h"

namespace kelvara::script {

Value* Program::NewGlobal(const Type* t) {
    globals.emplace_back();
    Value* v = &globals.back();
    globalTypes.emplace_back(v, t);
    return v;
}

void Program::ResetGlobals() {
    for (auto& [slot, type] : globalTypes)
        InitValue(*slot, type);
    for (auto& [slot, value] : globalInitialValues) {
        if (value.a && value.a->ByValue())
            CopyInto(slot->a, *value.a);
        else
            *slot = value;
    }
}

Routine* Program::NewRoutine() {
    routines.push_back(std::make_unique<Routine>());
    return routines.back().get();
}

} // namespace kelvara::script
