#pragma once
// The store that keeps nothing: opening and closing sections and every write succeed, every read,
// listing and deletion fails.
#include "preferences/uPreferencesMan.h"

class TNonePreferencesMan : public TPreferencesMan {
public:
    bool ReadValueNames(QStringList&) override { return false; }
    bool ReadSubKeys(QStringList&) override { return false; }
    bool OpenKey(const QString&, bool) override { return true; }
    bool CloseKey() override { return true; }
    bool WriteString(const QString&, const QString&) override { return true; }
    bool ReadString(const QString&, QString&) override { return false; }
    bool DeleteValue(const QString&) override { return false; }
    bool WriteBool(const QString&, bool) override { return true; }
    bool ReadBool(const QString&, bool&) override { return false; }
    bool WriteInteger(const QString&, int32_t) override { return true; }
    bool ReadInteger(const QString&, int32_t&) override { return false; }
    bool WriteFloat(const QString&, double) override { return true; }
    bool ReadFloat(const QString&, double&) override { return false; }
};
