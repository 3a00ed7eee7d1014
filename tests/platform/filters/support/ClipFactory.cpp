#include "tests/platform/filters/support/ClipFactory.h"

#include "tests/support/ChildProcess.h"
#include "tests/support/TestPaths.h"

#include <map>
#include <memory>
#include <mutex>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// Every test case runs in a process of its own, so the clips are kept between processes in the
// test home's cache, one folder per set of arguments and build of the tool; a clip is made in a
// temporary folder and moved into place whole.
QString CachedClip(const QString& name, const QStringList& arguments) {
    const QString tool = ToolPath(QStringLiteral("kelvara-mksample"));
    const QByteArray key = (name + u'|' + arguments.join(u'|') + u'|' +
                            QFileInfo(tool).lastModified().toString(Qt::ISODateWithMs))
                               .toUtf8();
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
    const QString root = QDir::homePath() + QStringLiteral("/.cache/kelvara-filter-clips");
    const QString folder = root + u'/' + hash;
    const QString path = folder + u'/' + name;
    if (QFileInfo::exists(path))
        return path;
    QDir().mkpath(root);
    QTemporaryDir scratch(root + QStringLiteral("/making-XXXXXX"));
    kelvara::test::TChildOptions options;
    options.Timeout = std::chrono::minutes(3);
    const kelvara::test::TChildRun maker = kelvara::test::RunChild(
        tool, QStringList{arguments[0], scratch.filePath(name)} + arguments.mid(1), options);
    if (!maker.Exited() || maker.ExitCode != 0) {
        ADD_FAILURE() << "kelvara-mksample " << arguments.join(u' ').toStdString()
                      << " failed: " << maker.Err;
        return {};
    }
    // Another process may have made the same clip meanwhile; either copy will do.
    if (!QDir().rename(scratch.path(), folder) && !QFileInfo::exists(path)) {
        ADD_FAILURE() << "cannot keep the clip in " << folder.toStdString();
        return {};
    }
    return path;
}

} // namespace

QString Clip(const QString& name, const QString& kind, const QStringList& args) {
    std::lock_guard lock(gLock);
    const QString key = name + u'|' + kind + u'|' + args.join(u' ');
    if (auto it = gMade.find(key); it != gMade.end())
        return it->second;
    const QString path = CachedClip(name, QStringList{kind} + args);
    if (!path.isEmpty())
        gMade[key] = path;
    return path;
}

QString ClipFolder() {
    return Folder().path();
}

QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = Folder().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

} // namespace kelvara::test
