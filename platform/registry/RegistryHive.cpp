#include "platform/registry/RegistryHive.h"

#include "platform/os/AtomicFile.h"
#include "platform/registry/FileLock.h"
#include "platform/registry/RegFileReader.h"
#include "platform/registry/RegFileWriter.h"
#include "platform/registry/RegPath.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

std::mutex gInstancesMutex;
std::map<QString, std::weak_ptr<RegistryHive>> gInstances; // guarded by gInstancesMutex

long long Nanoseconds(const struct timespec& t) {
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

// Reads a whole file through one descriptor, so that the stamp belongs to the bytes read.
enum class ReadResult { Missing, Failed, Read };
ReadResult ReadWithStat(const QString& file, QByteArray& bytes, struct stat& st) {
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    ReadResult result = ReadResult::Failed;
    if (::fstat(fd, &st) == 0) {
        bytes.clear();
        char buffer[65536];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0)
                bytes.append(buffer, n);
        result = n == 0 ? ReadResult::Read : ReadResult::Failed;
    }
    ::close(fd);
    return result;
}

} // namespace

QString RegistryHive::UserHivePath() {
    const QString fromEnv = qEnvironmentVariable("KELVARA_REGISTRY");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/kelvara/user.reg");
}

std::shared_ptr<RegistryHive> RegistryHive::User() {
    return AtPath(UserHivePath());
}

std::shared_ptr<RegistryHive> RegistryHive::AtPath(const QString& file) {
    const QString path = QFileInfo(file).absoluteFilePath();
    std::lock_guard lock(gInstancesMutex);
    auto& slot = gInstances[path];
    std::shared_ptr<RegistryHive> hive = slot.lock();
    if (!hive) {
        hive = std::make_shared<RegistryHive>(path);
        slot = hive;
    }
    return hive;
}

RegistryHive::RegistryHive(QString file) : FFile(std::move(file)) {}

RegistryHive::~RegistryHive() {
    std::lock_guard lock(FMutex);
    FlushLocked();
}

RegistryHive::FileStamp RegistryHive::StampOf(const QString& file) {
    struct stat st {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return {};
    return {
        true, st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim)};
}

void RegistryHive::SyncLocked() {
    const FileStamp stamp = StampOf(FFile);
    if (FLoaded && stamp == FStamp)
        return;
    LoadLocked(stamp);
}

void RegistryHive::LoadLocked(const FileStamp& stamp) {
    QByteArray bytes;
    struct stat st {};
    RegKey tree;
    FDamaged = false;
    FUnreadable = false;
    FStamp = stamp;
    switch (ReadWithStat(FFile, bytes, st)) {
    case ReadResult::Missing:
        FStamp = {};
        break;
    case ReadResult::Failed:
        FUnreadable = true;
        break;
    case ReadResult::Read: {
        FStamp = {true,
                  st.st_dev,
                  st.st_ino,
                  st.st_size,
                  Nanoseconds(st.st_mtim),
                  Nanoseconds(st.st_ctim)};
        const RegParseResult parsed = RegFileReader::Parse(bytes);
        FDamaged = !parsed.Ok();
        for (const RegOperation& op : parsed.Operations)
            op.ApplyTo(tree);
        break;
    }
    }
    for (const RegOperation& op : FJournal)
        op.ApplyTo(tree);
    FTree = std::move(tree);
    FLoaded = true;
}

bool RegistryHive::ChangeLocked(const RegOperation& op) {
    if (!op.ApplyTo(FTree))
        return true;
    FJournal.push_back(op);
    return FUpdateDepth > 0 || FlushLocked();
}

bool RegistryHive::FlushLocked() {
    if (FJournal.empty())
        return true;
    QDir().mkpath(QFileInfo(FFile).absolutePath());
    FileLock lock(FFile + QStringLiteral(".lock"), FileLock::Exclusive);
    if (!lock.Locked())
        return false;
    SyncLocked();
    return WriteLocked();
}

bool RegistryHive::WriteLocked() {
    if (FUnreadable)
        return false;
    if (FDamaged) {
        const QString bad = FFile + QStringLiteral(".bad");
        QFile::remove(bad);
        if (!QFile::copy(FFile, bad))
            return false;
    }
    if (!AtomicFile::Write(FFile, RegFileWriter::Format(FTree)))
        return false;
    FJournal.clear();
    FDamaged = false;
    FStamp = StampOf(FFile);
    return true;
}

bool RegistryHive::KeyExists(const QString& key) {
    const auto path = RegPath::Split(key);
    std::lock_guard lock(FMutex);
    SyncLocked();
    return path && FTree.Find(*path) != nullptr;
}

bool RegistryHive::CreateKey(const QString& key) {
    const auto path = RegPath::Split(key);
    if (!path)
        return false;
    std::lock_guard lock(FMutex);
    SyncLocked();
    return ChangeLocked({RegOperation::CreateKey, *path, {}, {}});
}

bool RegistryHive::DeleteTree(const QString& key) {
    const auto path = RegPath::Split(key);
    if (!path || path->isEmpty())
        return false;
    std::lock_guard lock(FMutex);
    SyncLocked();
    if (!FTree.Find(*path))
        return false;
    return ChangeLocked({RegOperation::DeleteTree, *path, {}, {}});
}

std::optional<QStringList> RegistryHive::SubKeyNames(const QString& key) {
    const auto path = RegPath::Split(key);
    std::lock_guard lock(FMutex);
    SyncLocked();
    const RegKey* k = path ? FTree.Find(*path) : nullptr;
    return k ? std::optional(k->ChildNames()) : std::nullopt;
}

std::optional<QStringList> RegistryHive::ValueNames(const QString& key) {
    const auto path = RegPath::Split(key);
    std::lock_guard lock(FMutex);
    SyncLocked();
    const RegKey* k = path ? FTree.Find(*path) : nullptr;
    return k ? std::optional(k->ValueNames()) : std::nullopt;
}

std::optional<RegValue> RegistryHive::Value(const QString& key, const QString& name) {
    const auto path = RegPath::Split(key);
    std::lock_guard lock(FMutex);
    SyncLocked();
    const RegKey* k = path ? FTree.Find(*path) : nullptr;
    const RegValue* v = k ? k->Value(name) : nullptr;
    return v ? std::optional(*v) : std::nullopt;
}

bool RegistryHive::SetValue(const QString& key, const QString& name, const RegValue& value) {
    const auto path = RegPath::Split(key);
    if (!path || !RegPath::IsValidValueName(name))
        return false;
    std::lock_guard lock(FMutex);
    SyncLocked();
    if (!FTree.Find(*path))
        return false;
    return ChangeLocked({RegOperation::SetValue, *path, name, value});
}

bool RegistryHive::DeleteValue(const QString& key, const QString& name) {
    const auto path = RegPath::Split(key);
    if (!path)
        return false;
    std::lock_guard lock(FMutex);
    SyncLocked();
    const RegKey* k = FTree.Find(*path);
    if (!k || !k->Value(name))
        return false;
    return ChangeLocked({RegOperation::DeleteValue, *path, name, {}});
}

bool RegistryHive::Apply(const RegOperations& operations) {
    std::lock_guard lock(FMutex);
    SyncLocked();
    ++FUpdateDepth;
    for (const RegOperation& op : operations)
        ChangeLocked(op);
    --FUpdateDepth;
    return FUpdateDepth > 0 || FlushLocked();
}

void RegistryHive::BeginUpdate() {
    std::lock_guard lock(FMutex);
    ++FUpdateDepth;
}

bool RegistryHive::EndUpdate() {
    std::lock_guard lock(FMutex);
    if (FUpdateDepth > 0)
        --FUpdateDepth;
    return FUpdateDepth > 0 || FlushLocked();
}

bool RegistryHive::Flush() {
    std::lock_guard lock(FMutex);
    return FlushLocked();
}

bool RegistryHive::HasPendingChanges() {
    std::lock_guard lock(FMutex);
    return !FJournal.empty();
}

RegistryUpdate::RegistryUpdate(std::shared_ptr<RegistryHive> hive) : FHive(std::move(hive)) {
    FHive->BeginUpdate();
}

RegistryUpdate::~RegistryUpdate() {
    FHive->EndUpdate();
}
