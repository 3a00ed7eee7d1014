#pragma once
// Key paths: names joined by "\" ("Software\Osric Taskel\Kelvara"). A key name is 1 to 255
// characters without "\", line breaks, zero characters or broken UTF-16 (the hive's text form
// cannot hold those); leading and trailing separators are ignored, an empty name inside a path is
// not.
#include <optional>

#include <QString>
#include <QStringList>

namespace RegPath {

// The names of a path below the user's hive; nothing when the path is malformed.
std::optional<QStringList> Split(const QString& path);

// A path written from a root ("HKEY_CURRENT_USER\Software\X" or "HKCU\Software\X"): the names
// below the user's hive; nothing for other roots or malformed paths. The root alone gives an
// empty list.
std::optional<QStringList> SplitRooted(const QString& path);

bool IsValidKeyName(const QString& name);
// Value names may be empty (the default value) but hold no line breaks or zero characters.
bool IsValidValueName(const QString& name);

// The path joined by "\".
QString Join(const QStringList& names);

} // namespace RegPath
