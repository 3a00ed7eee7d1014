// Fuzz target of the INI reader and the store's section rules. The input is a file; every section
// it lists is opened and each of its values read as every type, then a value is written. The lines
// must survive the store's own file form unchanged.
#include "preferences/uIniPreferencesMan.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Visit(TIniPreferencesMan& ini) {
    QStringList names;
    ini.ReadValueNames(names);
    for (const QString& name : names) {
        QString t;
        int32_t i = 0;
        bool b = false;
        double d = 0;
        ini.ReadString(name, t);
        ini.ReadInteger(name, i);
        ini.ReadBool(name, b);
        ini.ReadFloat(name, d);
    }
    TPoint p;
    TRect r;
    TFont f;
    ReadPoint(ini, QStringLiteral("Pos"), p);
    ReadRect(ini, QStringLiteral("FormSave"), r);
    ReadFont(ini, QStringLiteral("Font"), f);
    ini.WriteString(QStringLiteral("Written"), QStringLiteral("x=y"));
    if (!names.isEmpty())
        ini.DeleteValue(names.front());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TIniPreferencesMan ini(QString(), true); // in memory only
    ini.Load(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    Visit(ini);
    ini.CloseKey();
    QStringList sections;
    ini.OpenKey(QStringLiteral("ShowForm"), false);
    ini.ReadSubKeys(sections);
    for (const QString& section : sections.mid(0, 16)) {
        ini.OpenKey(section, false);
        Visit(ini);
        for (qsizetype depth = section.count(u'\\'); depth >= 0; --depth)
            ini.CloseKey();
    }
    if (TIniPreferencesMan::ParseLines(TIniPreferencesMan::FormatLines(ini.Lines())) != ini.Lines())
        std::abort();
    return 0;
}
