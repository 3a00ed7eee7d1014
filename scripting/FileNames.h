#pragma once
// The file-name routines of the script host, on '/'-separated paths: the name part, the folder
// part (with its final separator), the extension (with its dot) and a changed extension.
#include <QString>

namespace kelvara::script {

QString ExtractFileName(const QString& path);
QString ExtractFilePath(const QString& path);
QString ExtractFileExt(const QString& path);
// The path with its extension replaced by ext (which normally starts with a dot); a path
// without an extension gets ext appended.
QString ChangeFileExt(const QString& path, const QString& ext);

} // namespace kelvara::script
