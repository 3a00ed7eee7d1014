// Writes keys into a hive file from a separate process, for the tests of sharing one hive file:
//   kelvara-test-hive-writer FILE PREFIX COUNT
// creates Software\Shared\PREFIX<n> for n = 0 .. COUNT-1, each with the value "n" = n, one write
// to the disk per key. Exits with 0 when every write succeeded.
#include "platform/registry/RegistryHive.h"

#include <cstdio>

#include <QCoreApplication>
#include <QString>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: kelvara-test-hive-writer FILE PREFIX COUNT\n");
        return 2;
    }
    const auto hive = RegistryHive::AtPath(QString::fromLocal8Bit(argv[1]));
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    const int count = QString::fromLatin1(argv[3]).toInt();
    int failures = 0;
    for (int n = 0; n < count; ++n) {
        const QString key = QStringLiteral("Software\\Shared\\%1%2").arg(prefix).arg(n);
        if (!hive->CreateKey(key) ||
            !hive->SetValue(key, QStringLiteral("n"), RegValue::FromDword(n)))
            ++failures;
    }
    return failures == 0 ? 0 : 1;
}
