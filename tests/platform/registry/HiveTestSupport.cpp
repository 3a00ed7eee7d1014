#include "tests/platform/registry/HiveTestSupport.h"

#include <QFile>

namespace kelvara::test {

TemporaryHive::TemporaryHive()
    : FOldValue(qgetenv("KELVARA_REGISTRY")),
      FHadValue(qEnvironmentVariableIsSet("KELVARA_REGISTRY")) {
    qputenv("KELVARA_REGISTRY", QFile::encodeName(Path()));
}

TemporaryHive::~TemporaryHive() {
    if (FHadValue)
        qputenv("KELVARA_REGISTRY", FOldValue);
    else
        qunsetenv("KELVARA_REGISTRY");
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

} // namespace kelvara::test
