#pragma once
// The per-user registry hive: a tree of keys with typed values, kept in one .reg text file
// ($XDG_CONFIG_HOME/kelvara/user.reg, or the file that KELVARA_REGISTRY names). It stands in for
// the current user's part of the Windows registry.
//
// Every change is made in memory at once and recorded in a journal. The journal goes to the disk
// when the change is made, or, inside BeginUpdate / EndUpdate (RegistryUpdate), when the
// outermost update ends. Writing to the disk takes an exclusive lock on "<file>.lock", reads the
// file again if another process has replaced it, replays the journal on top of what is there and
// writes the result to a temporary file that is renamed over the old one. Two processes that
// change different keys therefore keep each other's changes, and a crash or a full disk never
// leaves a damaged file. Before any read the file is read again when another process replaced it.
//
// A file that does not read cleanly keeps the values of its readable lines; before it is
// replaced, its old content is kept as "<file>.bad". A file that exists but cannot be read is
// never replaced (writes to the disk fail until it can be read).
//
// Thread contract: any thread may call any member; one mutex guards the tree, the journal and the
// file state. Instances are shared per file (User(), AtPath()).
#include "platform/registry/RegKey.h"
#include "platform/registry/RegOperation.h"
#include "platform/registry/RegValue.h"

#include <memory>
#include <mutex>
#include <optional>

#include <QString>
#include <QStringList>

class RegistryHive {
public:
    // The hive of the current user: KELVARA_REGISTRY when set, else the default path. The
    // variable is read at each call.
    static std::shared_ptr<RegistryHive> User();
    static std::shared_ptr<RegistryHive> AtPath(const QString& file);
    static QString UserHivePath();

    explicit RegistryHive(QString file);
    ~RegistryHive(); // writes pending changes
    RegistryHive(const RegistryHive&) = delete;
    RegistryHive& operator=(const RegistryHive&) = delete;

    const QString& FileName() const { return FFile; }

    // Key paths are relative to the hive's root ("Software\Osric Taskel\Kelvara").
    bool KeyExists(const QString& key);
    bool CreateKey(const QString& key);
    // Deletes the key with all its sub-keys and values; false when it does not exist.
    bool DeleteTree(const QString& key);
    std::optional<QStringList> SubKeyNames(const QString& key);
    std::optional<QStringList> ValueNames(const QString& key);
    std::optional<RegValue> Value(const QString& key, const QString& name);
    // Sets a value of an existing key; false when the key does not exist or the name is invalid.
    bool SetValue(const QString& key, const QString& name, const RegValue& value);
    bool DeleteValue(const QString& key, const QString& name);
    // Applies the operations in order as one update (one write to the disk).
    bool Apply(const RegOperations& operations);

    void BeginUpdate();
    // Ends an update; the outermost end writes pending changes. False when that write fails.
    bool EndUpdate();
    // Writes pending changes now. True when nothing is pending afterwards.
    bool Flush();
    bool HasPendingChanges();

private:
    struct FileStamp {
        bool Exists = false;
        unsigned long long Device = 0, Inode = 0;
        long long Size = 0, MTime = 0, CTime = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };

    static FileStamp StampOf(const QString& file);
    void SyncLocked();
    void LoadLocked(const FileStamp& stamp);
    bool ChangeLocked(const RegOperation& op);
    bool FlushLocked();
    bool WriteLocked();

    const QString FFile;

    // Guarded by FMutex:
    std::mutex FMutex;
    RegKey FTree;           // the file's content with the journal applied
    RegOperations FJournal; // changes not yet on disk
    FileStamp FStamp;       // the file as last read or written
    bool FLoaded = false;
    bool FDamaged = false;    // the file had lines that could not be read
    bool FUnreadable = false; // the file exists but cannot be read
    int FUpdateDepth = 0;
};

// Holds an update of a hive open for its lifetime.
class RegistryUpdate {
public:
    explicit RegistryUpdate(std::shared_ptr<RegistryHive> hive);
    ~RegistryUpdate();
    RegistryUpdate(const RegistryUpdate&) = delete;
    RegistryUpdate& operator=(const RegistryUpdate&) = delete;

private:
    std::shared_ptr<RegistryHive> FHive;
};
