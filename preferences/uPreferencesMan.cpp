#include "preferences/uPreferencesMan.h"

namespace {

struct StyleName {
    const char16_t* Name;
    TFontStyle Style;
};
constexpr StyleName StyleNames[] = {{u"Bold", fsBold},
                                    {u"Italic", fsItalic},
                                    {u"StrikeOut", fsStrikeOut},
                                    {u"Underline", fsUnderline}};

QString Name(const char16_t* name) {
    return QString::fromUtf16(name);
}

bool WriteFontValues(TPreferencesMan& store, const TFont& font) {
    if (!store.WriteInteger(Name(u"Charset"), font.Charset) ||
        !store.WriteInteger(Name(u"Color"), font.Color) ||
        !store.WriteString(Name(u"Name"), font.Name) ||
        !store.WriteInteger(Name(u"Pitch"), font.Pitch) ||
        !store.WriteInteger(Name(u"PixelsperInch"), font.PixelsPerInch()) ||
        !store.WriteInteger(Name(u"Size"), font.Size()))
        return false;
    for (const StyleName& s : StyleNames)
        if (!store.WriteBool(Name(s.Name), font.HasStyle(s.Style)))
            return false;
    return true;
}

bool ReadFontValues(TPreferencesMan& store, TFont& font) {
    int32_t i = 0;
    if (!store.ReadInteger(Name(u"Charset"), i))
        return false;
    font.Charset = uint8_t(i);
    if (!store.ReadInteger(Name(u"Color"), i))
        return false;
    font.Color = i;
    if (!store.ReadString(Name(u"Name"), font.Name))
        return false;
    if (!store.ReadInteger(Name(u"Pitch"), i))
        return false;
    font.Pitch = TFontPitch(i);
    if (!store.ReadInteger(Name(u"PixelsperInch"), i))
        return false;
    font.SetPixelsPerInch(i);
    if (!store.ReadInteger(Name(u"Size"), i))
        return false;
    font.SetSize(i);
    font.Style = 0;
    for (const StyleName& s : StyleNames) {
        bool on = false;
        if (!store.ReadBool(Name(s.Name), on))
            return false;
        if (on)
            font.SetStyle(s.Style, true);
    }
    return true;
}

bool ReadRectValues(TPreferencesMan& store, TRect& rect) {
    return store.ReadInteger(Name(u"Top"), rect.Top) &&
           store.ReadInteger(Name(u"Left"), rect.Left) &&
           store.ReadInteger(Name(u"Right"), rect.Right) &&
           store.ReadInteger(Name(u"Bottom"), rect.Bottom);
}

} // namespace

bool WriteFont(TPreferencesMan& store, const QString& key, const TFont& font) {
    if (!store.OpenKey(key, true))
        return false;
    const bool ok = WriteFontValues(store, font);
    store.CloseKey();
    return ok;
}

bool ReadFont(TPreferencesMan& store, const QString& key, TFont& font) {
    if (!store.OpenKey(key, false))
        return false;
    const bool ok = ReadFontValues(store, font);
    store.CloseKey();
    return ok;
}

bool WriteRect(TPreferencesMan& store, const QString& key, const TRect& rect) {
    if (!store.OpenKey(key, true))
        return false;
    const bool ok = store.WriteInteger(Name(u"Left"), rect.Left) &&
                    store.WriteInteger(Name(u"Top"), rect.Top) &&
                    store.WriteInteger(Name(u"Right"), rect.Right) &&
                    store.WriteInteger(Name(u"Bottom"), rect.Bottom);
    store.CloseKey();
    return ok;
}

bool ReadRect(TPreferencesMan& store, const QString& key, TRect& rect) {
    if (!store.OpenKey(key, false))
        return false;
    const bool ok = ReadRectValues(store, rect);
    store.CloseKey();
    return ok;
}

bool WritePoint(TPreferencesMan& store, const QString& key, const TPoint& point) {
    return store.WriteInteger(key + QStringLiteral(".X"), point.x) &&
           store.WriteInteger(key + QStringLiteral(".Y"), point.y);
}

bool ReadPoint(TPreferencesMan& store, const QString& key, TPoint& point) {
    return store.ReadInteger(key + QStringLiteral(".X"), point.x) &&
           store.ReadInteger(key + QStringLiteral(".Y"), point.y);
}
