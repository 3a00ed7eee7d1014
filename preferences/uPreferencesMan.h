#pragma once
// The preference store interface: a tree of named sections holding named values, with one
// section open at a time. Three stores implement it (none, INI file, registry hive); the
// preferences component owns one of them and reads and writes through it. GUI thread only.
//
// Points, rectangles and fonts are written as several values by the functions below, the same way
// in every store:
//   point      key.X, key.Y (integers) in the open section;
//   rectangle  sub-section key with Left, Top, Right, Bottom;
//   font       sub-section key with Charset, Color, Name, Pitch, PixelsperInch, Size, and the bools
//              Bold, Italic, StrikeOut, Underline.
#include "platform/ui/Font.h"
#include "platform/ui/Types.h"

#include <cstdint>

#include <QString>
#include <QStringList>

class TPreferencesMan {
public:
    virtual ~TPreferencesMan() = default;

    // Appends the names of the open section's values.
    virtual bool ReadValueNames(QStringList& list) = 0;
    // Appends the names of the sections below the open one.
    virtual bool ReadSubKeys(QStringList& list) = 0;
    // Descends into the named section below the open one.
    virtual bool OpenKey(const QString& name, bool canCreate) = 0;
    // Goes back to the parent of the open section.
    virtual bool CloseKey() = 0;
    virtual bool WriteString(const QString& name, const QString& text) = 0;
    // False when the value is not found (text unchanged).
    virtual bool ReadString(const QString& name, QString& text) = 0;
    virtual bool DeleteValue(const QString& name) = 0;
    virtual bool WriteBool(const QString& name, bool value) = 0;
    virtual bool ReadBool(const QString& name, bool& value) = 0;
    virtual bool WriteInteger(const QString& name, int32_t value) = 0;
    virtual bool ReadInteger(const QString& name, int32_t& value) = 0;
    virtual bool WriteFloat(const QString& name, double value) = 0;
    virtual bool ReadFloat(const QString& name, double& value) = 0;

    // Many writes in a row: a store may hold them back until the outermost EndUpdate (the
    // registry store writes its file once). Calls nest.
    virtual void BeginUpdate() {}
    virtual bool EndUpdate() { return true; }

    // The open section's path: section names joined by "\", empty for the root.
    const QString& OpenPath() const { return FPath; }

protected:
    QString FPath;
};

// The encodings of points, rectangles and fonts (see the top of this file). Writes stop at the
// first failure; reads stop at the first value that cannot be read, leaving what was read so far.
bool WriteFont(TPreferencesMan& store, const QString& key, const TFont& font);
bool ReadFont(TPreferencesMan& store, const QString& key, TFont& font);
bool WriteRect(TPreferencesMan& store, const QString& key, const TRect& rect);
bool ReadRect(TPreferencesMan& store, const QString& key, TRect& rect);
bool WritePoint(TPreferencesMan& store, const QString& key, const TPoint& point);
bool ReadPoint(TPreferencesMan& store, const QString& key, TPoint& point);
