#pragma once
// Helpers of the registry tests: a temporary hive file of the test's own, and file access.
#include "platform/registry/RegistryHive.h"

#include <memory>

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

QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);

} // namespace kelvara::test
