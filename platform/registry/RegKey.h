#pragma once
// One key of a registry tree: its name, its values (in the order they were created) and its
// sub-keys (in name order). Names of keys and values are compared without regard to letter case
// and keep the case they were created with; the value named "" is the key's default value.
#include "platform/registry/RegValue.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

class RegKey {
public:
    explicit RegKey(QString name = QString());
    RegKey(const RegKey& other);
    RegKey& operator=(const RegKey& other);
    RegKey(RegKey&&) noexcept = default;
    RegKey& operator=(RegKey&&) noexcept = default;
    ~RegKey();

    const QString& Name() const { return FName; }

    RegKey* Child(const QString& name) const;
    RegKey& ChildOrCreate(const QString& name);
    bool RemoveChild(const QString& name);
    QStringList ChildNames() const;
    bool HasChildren() const { return !FChildren.empty(); }

    // The key at the path below this one (an empty path is this key), or null.
    RegKey* Find(const QStringList& path);
    RegKey& FindOrCreate(const QStringList& path);

    const RegValue* Value(const QString& name) const;
    void SetValue(const QString& name, RegValue value);
    bool RemoveValue(const QString& name);
    QStringList ValueNames() const;
    const std::vector<std::pair<QString, RegValue>>& Values() const { return FValues; }

    // The same names, values and sub-keys, compared the way the registry compares names.
    bool SameContent(const RegKey& other) const;

private:
    static QString Fold(const QString& name) { return name.toUpper(); }

    QString FName;
    std::vector<std::pair<QString, RegValue>> FValues;
    std::map<QString, std::unique_ptr<RegKey>> FChildren; // keyed by the upper-cased name
};
