#include "preferences/uRegPreferencesMan.h"

#include "platform/registry/RegPath.h"
#include "platform/registry/RegistryHive.h"

#include <cstring>

#include <QtEndian>

TRegPreferencesMan::TRegPreferencesMan(const QString& basePath, bool canCreate)
    : FHive(RegistryHive::User()), FBase(basePath) {
    while (FBase.endsWith(u'\\'))
        FBase.chop(1);
    FValid = FHive->KeyExists(FBase) || (canCreate && FHive->CreateKey(FBase));
    if (FValid)
        FOpenKey = FBase;
}

TRegPreferencesMan::~TRegPreferencesMan() {
    CloseKey();
    while (FUpdateDepth > 0)
        EndUpdate();
}

QString TRegPreferencesMan::FullPath(const QString& path) const {
    return path.isEmpty() ? FBase : FBase + u'\\' + path;
}

bool TRegPreferencesMan::OpenKey(const QString& name, bool canCreate) {
    if (!FValid)
        return false;
    const QString path = FPath.isEmpty() ? name : FPath + u'\\' + name;
    const QString full = FullPath(path);
    if (!FHive->KeyExists(full) && !(canCreate && FHive->CreateKey(full)))
        return false;
    FPath = path;
    FOpenKey = full;
    return true;
}

bool TRegPreferencesMan::CloseKey() {
    const qsizetype sep = FPath.lastIndexOf(u'\\');
    const QString parent = sep < 0 ? QString() : FPath.left(sep);
    FPath.clear();
    return OpenKey(parent, false);
}

bool TRegPreferencesMan::ReadValueNames(QStringList& list) {
    const auto names = FValid ? FHive->ValueNames(FOpenKey) : std::nullopt;
    if (names)
        list.append(*names);
    return names.has_value();
}

bool TRegPreferencesMan::ReadSubKeys(QStringList& list) {
    const auto names = FValid ? FHive->SubKeyNames(FOpenKey) : std::nullopt;
    if (names)
        list.append(*names);
    return names.has_value();
}

bool TRegPreferencesMan::WriteString(const QString& name, const QString& text) {
    return FValid && FHive->SetValue(FOpenKey, name, RegValue::FromString(text));
}

bool TRegPreferencesMan::ReadString(const QString& name, QString& text) {
    const auto value = FValid ? FHive->Value(FOpenKey, name) : std::nullopt;
    if (!value || (value->Type != REG_SZ && value->Type != REG_EXPAND_SZ))
        return false;
    if (value->Data.size() == 1) {
        text.clear();
        return true;
    }
    text = *value->AsString();
    return true;
}

bool TRegPreferencesMan::DeleteValue(const QString& name) {
    return FValid && FHive->DeleteValue(FOpenKey, name);
}

bool TRegPreferencesMan::WriteBool(const QString& name, bool value) {
    return WriteInteger(name, value ? 1 : 0);
}

bool TRegPreferencesMan::ReadBool(const QString& name, bool& value) {
    int32_t number = 0;
    if (!ReadInteger(name, number))
        return false;
    if (number == 0 || number == 1)
        value = number == 1;
    return true;
}

bool TRegPreferencesMan::WriteInteger(const QString& name, int32_t value) {
    return FValid && FHive->SetValue(FOpenKey, name, RegValue::FromDword(uint32_t(value)));
}

bool TRegPreferencesMan::ReadInteger(const QString& name, int32_t& value) {
    const auto stored = FValid ? FHive->Value(FOpenKey, name) : std::nullopt;
    const auto number = stored ? stored->AsDword() : std::nullopt;
    if (!number)
        return false;
    value = int32_t(*number);
    return true;
}

bool TRegPreferencesMan::WriteFloat(const QString& name, double value) {
    QByteArray bytes(8, Qt::Uninitialized);
    qToLittleEndian<double>(value, bytes.data());
    return FValid && FHive->SetValue(FOpenKey, name, RegValue::FromBinary(bytes));
}

bool TRegPreferencesMan::ReadFloat(const QString& name, double& value) {
    const auto stored = FValid ? FHive->Value(FOpenKey, name) : std::nullopt;
    if (!stored || stored->Data.size() != 8)
        return false;
    value = qFromLittleEndian<double>(stored->Data.constData());
    return true;
}

void TRegPreferencesMan::BeginUpdate() {
    ++FUpdateDepth;
    FHive->BeginUpdate();
}

bool TRegPreferencesMan::EndUpdate() {
    if (FUpdateDepth == 0)
        return true;
    --FUpdateDepth;
    return FHive->EndUpdate();
}

QString AuthorKey() {
    return QStringLiteral("Software\\Osric Taskel");
}

bool RegistryKeyExists(const QString& path) {
    return RegistryHive::User()->KeyExists(path);
}

bool DeleteRegistryTree(const QString& shortName) {
    // An empty or nested name would reach the author's key itself or another program's.
    if (!RegPath::IsValidKeyName(shortName))
        return false;
    const auto hive = RegistryHive::User();
    if (!hive->KeyExists(AuthorKey()))
        return true;
    const QString programKey = AuthorKey() + u'\\' + shortName;
    {
        RegistryUpdate update(hive);
        hive->DeleteTree(programKey);
        const auto left = hive->SubKeyNames(AuthorKey());
        if (left && left->isEmpty())
            hive->DeleteTree(AuthorKey());
    }
    return !hive->KeyExists(programKey) && !hive->HasPendingChanges();
}
