#include "tests/support/TestPaths.h"

#include <QDir>

namespace kelvara::test {

QString BinDir() {
    const QString fromEnv = qEnvironmentVariable("KELVARA_BIN_DIR");
    return fromEnv.isEmpty() ? QStringLiteral(KELVARA_BIN_DIR) : fromEnv;
}

QString ToolPath(const QString& name) { return QDir(BinDir()).filePath(name); }

} // namespace kelvara::test
