#pragma once
// Where tests find the project's own tools and a scratch folder of their own.
#include <QString>

namespace kelvara::test {

// Folder of the built executables (kelvara-mksample, kelvara-info, ...); the KELVARA_BIN_DIR
// environment variable overrides the folder the build recorded.
QString BinDir();

// Full path of a built tool, e.g. ToolPath("kelvara-mksample").
QString ToolPath(const QString& name);

} // namespace kelvara::test
