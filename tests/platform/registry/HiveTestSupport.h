#pragma once
// Helpers of the registry tests: a temporary hive file of the test's own, and file access.
#include "platform/registry/RegistryHive.h"

#include <csignal>
#include <memory>
#include <sys/resource.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace kelvara::test {

// A temporary folder with KELVARA_REGISTRY pointing at "user.reg" inside it for the lifetime of
// the object (the previous value is restored afterwards).
class TemporaryHive {
public:
    TemporaryHive();
    ~TemporaryHive();
    QString Path() const { return FDir.filePath(QStringLiteral("user.reg")); }
    QString Folder() const { return FDir.path(); }
    std::shared_ptr<RegistryHive> Hive() const { return RegistryHive::User(); }

private:
    QTemporaryDir FDir;
    QByteArray FOldValue;
    bool FHadValue;
};

// While it exists, writes beyond a size limit fail as on a full disk (RLIMIT_FSIZE; the signal
// that the limit raises is ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit FOld{};
    void (*FOldHandler)(int);
};

QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);

} // namespace kelvara::test
