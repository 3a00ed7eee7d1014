#include "platform/registry/RegKey.h"

RegKey::RegKey(QString name) : FName(std::move(name)) {}

RegKey::RegKey(const RegKey& other) : FName(other.FName), FValues(other.FValues) {
    for (const auto& [folded, child] : other.FChildren)
        FChildren.emplace(folded, std::make_unique<RegKey>(*child));
}

RegKey& RegKey::operator=(const RegKey& other) {
    if (this != &other) {
        RegKey copy(other);
        *this = std::move(copy);
    }
    return *this;
}

RegKey::~RegKey() = default;

RegKey* RegKey::Child(const QString& name) const {
    const auto it = FChildren.find(Fold(name));
    return it == FChildren.end() ? nullptr : it->second.get();
}

RegKey& RegKey::ChildOrCreate(const QString& name) {
    auto& slot = FChildren[Fold(name)];
    if (!slot)
        slot = std::make_unique<RegKey>(name);
    return *slot;
}

bool RegKey::RemoveChild(const QString& name) {
    return FChildren.erase(Fold(name)) > 0;
}

QStringList RegKey::ChildNames() const {
    QStringList names;
    names.reserve(qsizetype(FChildren.size()));
    for (const auto& entry : FChildren)
        names.append(entry.second->Name());
    return names;
}

RegKey* RegKey::Find(const QStringList& path) {
    RegKey* key = this;
    for (const QString& part : path) {
        key = key->Child(part);
        if (!key)
            return nullptr;
    }
    return key;
}

RegKey& RegKey::FindOrCreate(const QStringList& path) {
    RegKey* key = this;
    for (const QString& part : path)
        key = &key->ChildOrCreate(part);
    return *key;
}

const RegValue* RegKey::Value(const QString& name) const {
    for (const auto& [n, v] : FValues)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return &v;
    return nullptr;
}

void RegKey::SetValue(const QString& name, RegValue value) {
    for (auto& [n, v] : FValues)
        if (n.compare(name, Qt::CaseInsensitive) == 0) {
            v = std::move(value);
            return;
        }
    FValues.emplace_back(name, std::move(value));
}

bool RegKey::RemoveValue(const QString& name) {
    for (auto it = FValues.begin(); it != FValues.end(); ++it)
        if (it->first.compare(name, Qt::CaseInsensitive) == 0) {
            FValues.erase(it);
            return true;
        }
    return false;
}

QStringList RegKey::ValueNames() const {
    QStringList names;
    names.reserve(qsizetype(FValues.size()));
    for (const auto& entry : FValues)
        names.append(entry.first);
    return names;
}

bool RegKey::SameContent(const RegKey& other) const {
    if (FValues.size() != other.FValues.size() || FChildren.size() != other.FChildren.size())
        return false;
    for (const auto& [name, value] : FValues) {
        const RegValue* v = other.Value(name);
        if (!v || !(*v == value))
            return false;
    }
    for (const auto& [folded, child] : FChildren) {
        const auto it = other.FChildren.find(folded);
        if (it == other.FChildren.end() || !child->SameContent(*it->second))
            return false;
    }
    return true;
}
