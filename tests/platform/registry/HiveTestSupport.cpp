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

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &FOld);
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = FOld;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FOld);
    std::signal(SIGXFSZ, FOldHandler);
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
