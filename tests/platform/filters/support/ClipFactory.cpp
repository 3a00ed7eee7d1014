#include "tests/platform/filters/support/ClipFactory.h"

#include "tests/support/TestPaths.h"

#include <map>
#include <memory>
#include <mutex>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelvara::test {

namespace {

std::mutex gLock;
std::map<QString, QString> gMade; // guarded by gLock

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

} // namespace

QString ClipFolder() {
    return Folder().path();
}

QString Clip(const QString& name, const QString& kind, const QStringList& args) {
    std::lock_guard lock(gLock);
    const QString key = name + u'|' + kind + u'|' + args.join(u' ');
    if (auto it = gMade.find(key); it != gMade.end())
        return it->second;
    const QString path = Folder().filePath(name);
    QProcess tool;
    tool.start(ToolPath(QStringLiteral("kelvara-mksample")), QStringList{kind, path} + args);
    const bool done = tool.waitForFinished(180000);
    if (!done || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        ADD_FAILURE() << "kelvara-mksample " << kind.toStdString()
                      << " failed: " << tool.readAllStandardError().toStdString();
        return {};
    }
    gMade[key] = path;
    return path;
}

QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = Folder().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

} // namespace kelvara::test
