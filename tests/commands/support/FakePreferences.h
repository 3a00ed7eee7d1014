#pragma once
// In-memory preferences: typed values by key, a log of every read and write, and keys on which a
// read throws or a write fails, to exercise the failure rules.
#include "commands/ActionInterfaces.h"

#include <map>
#include <set>
#include <variant>

#include <QStringList>

class TFakePreferences : public IActionPreferences {
public:
    using TValue = std::variant<QString, int32_t, bool, double, TPoint, TRect, TFont>;

    QString ReadString(const QString& key, const QString& def) override { return Read(key, def); }
    int32_t ReadInteger(const QString& key, int32_t def) override { return Read(key, def); }
    bool ReadBool(const QString& key, bool def) override { return Read(key, def); }
    double ReadFloat(const QString& key, double def) override { return Read(key, def); }
    TPoint ReadPoint(const QString& key, const TPoint& def) override { return Read(key, def); }
    TRect ReadRect(const QString& key, const TRect& def) override { return Read(key, def); }
    void ReadFont(const QString& key, const TFont& def, TFont& target) override {
        target = Read(key, def);
    }

    bool WriteString(const QString& key, const QString& v) override { return Write(key, v); }
    bool WriteInteger(const QString& key, int32_t v) override { return Write(key, v); }
    bool WriteBool(const QString& key, bool v) override { return Write(key, v); }
    bool WriteFloat(const QString& key, double v) override { return Write(key, v); }
    bool WritePoint(const QString& key, const TPoint& v) override { return Write(key, v); }
    bool WriteRect(const QString& key, const TRect& v) override { return Write(key, v); }
    bool WriteFont(const QString& key, const TFont& v) override { return Write(key, v); }

    template <class T>
    T Get(const QString& key) const {
        return std::get<T>(Values.at(key));
    }

    std::map<QString, TValue> Values;
    QStringList Log;
    std::set<QString> ThrowOnRead;
    std::set<QString> FailWrite;

private:
    template <class T>
    T Read(const QString& key, const T& def) {
        Log << QStringLiteral("read ") + key;
        if (ThrowOnRead.count(key))
            throw std::runtime_error("unreadable");
        const auto it = Values.find(key);
        if (it == Values.end() || !std::holds_alternative<T>(it->second))
            return def;
        return std::get<T>(it->second);
    }
    template <class T>
    bool Write(const QString& key, const T& value) {
        Log << QStringLiteral("write ") + key;
        if (FailWrite.count(key))
            return false;
        Values[key] = value;
        return true;
    }
};
