#pragma once
// The registry store: sections are keys of the user's registry hive below a base key
// ("Software\Osric Taskel\Kelvara"), values are registry values: texts as strings, bools and
// integers as 32-bit values, doubles as 8 raw bytes (the IEEE 754 double, little-endian).
#include "preferences/uPreferencesMan.h"

#include <memory>

#include <QString>
#include <QStringList>

class RegistryHive;

class TRegPreferencesMan : public TPreferencesMan {
public:
    // Opens the base key, creating it when allowed. When it can be neither opened nor created,
    // every operation of the store fails (Valid() is false): nothing is read, nothing is written
    // anywhere else.
    TRegPreferencesMan(const QString& basePath, bool canCreate);
    ~TRegPreferencesMan() override;

    bool Valid() const { return FValid; }

    bool ReadValueNames(QStringList& list) override;
    bool ReadSubKeys(QStringList& list) override;
    bool OpenKey(const QString& name, bool canCreate) override;
    bool CloseKey() override;
    bool WriteString(const QString& name, const QString& text) override;
    bool ReadString(const QString& name, QString& text) override;
    bool DeleteValue(const QString& name) override;
    bool WriteBool(const QString& name, bool value) override;
    bool ReadBool(const QString& name, bool& value) override;
    bool WriteInteger(const QString& name, int32_t value) override;
    bool ReadInteger(const QString& name, int32_t& value) override;
    bool WriteFloat(const QString& name, double value) override;
    bool ReadFloat(const QString& name, double& value) override;

    // Writes of an update reach the hive's file once, at the outermost EndUpdate.
    void BeginUpdate() override;
    bool EndUpdate() override;

private:
    QString FullPath(const QString& path) const;

    std::shared_ptr<RegistryHive> FHive;
    QString FBase;
    QString FOpenKey; // the open key, relative to the hive's root
    bool FValid = false;
    int FUpdateDepth = 0;
};

// True when the key path (below the user's hive) exists.
bool RegistryKeyExists(const QString& path);

// Deletes "Software\Osric Taskel\" + shortName with everything below it, then the author's key
// when no sub-key is left in it. True when the program's key no longer exists; false for a short
// name that is not a single key name.
bool DeleteRegistryTree(const QString& shortName);

// "Software\Osric Taskel"
QString AuthorKey();
