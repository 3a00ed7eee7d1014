#include "scripting/Scope.h"

#include <utility>

namespace kelvara::script {

Symbol* Scope::Lookup(const QString& name) const {
    const QString key = name.toLower();
    for (const Scope* s = this; s; s = s->parent)
        if (Symbol* sym = s->FMap.value(key, nullptr))
            return sym;
    return nullptr;
}

Symbol* Scope::Add(std::unique_ptr<Symbol> s) {
    const QString key = s->name.toLower();
    if (FMap.contains(key))
        return nullptr;
    Symbol* raw = s.get();
    FSymbols.push_back(std::move(s));
    FMap.insert(key, raw);
    return raw;
}

std::vector<std::unique_ptr<Symbol>> Scope::TakeSymbols() {
    FMap.clear();
    return std::exchange(FSymbols, {});
}

} // namespace kelvara::script
