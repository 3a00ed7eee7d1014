// The INI store: the exact file it writes, the encodings it reads, and the section rules.
#include "preferences/uIniPreferencesMan.h"
#include "tests/platform/registry/HiveTestSupport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using kelvara::test::ReadAll;
using kelvara::test::WriteAll;

QByteArray Utf16Le(const QString& text, bool mark = true) {
    QByteArray bytes = mark ? QByteArray("\xFF\xFE", 2) : QByteArray();
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray Utf16Be(const QString& text) {
    QByteArray bytes("\xFE\xFF", 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xFF));
    }
    return bytes;
}

class IniStore : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    QString Path() const { return dir.filePath(QStringLiteral("Kelvara.ini")); }
    QTemporaryDir dir;
};

TEST_F(IniStore, WritesTheFileByteForByte) {
    {
        TIniPreferencesMan ini(Path(), true);
        ini.WriteString(QStringLiteral("Version"),
                        QStringLiteral("Kelvara 6.3.2 en by Osric Taskel"));
        ini.WriteString(QStringLiteral("Last saving"), QStringLiteral("2026/01/31 18:05:12"));
        ini.WriteString(QStringLiteral("ExeName"), QStringLiteral("/opt/kelvara/kelvara"));
        ini.OpenKey(QStringLiteral("ShowForm"), true);
        ini.WriteBool(QStringLiteral("Script"), false);
        ini.WriteInteger(QStringLiteral("Digits"), 3);
        WriteRect(ini, QStringLiteral("FormSave"), TRect{120, 80, 1145, 724});
        ini.CloseKey();
        EXPECT_FALSE(QFile::exists(Path())); // written only when the store goes
    }
    const QString expected = QStringLiteral("[]\r\n"
                                            "Version=Kelvara 6.3.2 en by Osric Taskel\r\n"
                                            "Last saving=2026/01/31 18:05:12\r\n"
                                            "ExeName=/opt/kelvara/kelvara\r\n"
                                            "\r\n"
                                            "[ShowForm]\r\n"
                                            "Script=False\r\n"
                                            "Digits=3\r\n"
                                            "\r\n"
                                            "[ShowForm\\FormSave]\r\n"
                                            "Left=120\r\n"
                                            "Top=80\r\n"
                                            "Right=1145\r\n"
                                            "Bottom=724\r\n");
    const QByteArray bytes = ReadAll(Path());
    EXPECT_EQ(bytes, Utf16Le(expected));
    EXPECT_EQ(bytes.left(10), QByteArray("\xFF\xFE[\0]\0\r\0\n\0", 10));
}

TEST_F(IniStore, ANewStoreIsTheRootHeaderAlone) {
    { TIniPreferencesMan ini(Path(), false); }
    EXPECT_EQ(ReadAll(Path()), Utf16Le(QStringLiteral("[]\r\n")));
}

TEST_F(IniStore, ReadsEveryEncoding) {
    const QString text =
        QStringLiteral("[]\r\nName=\u00e9t\u00e9\r\n\r\n[ShowForm]\r\nDigits=4\r\n");
    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"UTF-16 LE", Utf16Le(text)},
        {"UTF-16 BE", Utf16Be(text)},
        {"UTF-8 with mark", QByteArray("\xEF\xBB\xBF") + text.toUtf8()},
        {"UTF-8", text.toUtf8()},
        {"Latin-1", text.toLatin1()},
        {"LF line ends",
         QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteAll(Path(), c.bytes);
        TIniPreferencesMan ini(Path(), true);
        QString name;
        EXPECT_TRUE(ini.ReadString(QStringLiteral("name"), name));
        EXPECT_EQ(name, QStringLiteral("\u00e9t\u00e9"));
        int32_t digits = 0;
        ini.OpenKey(QStringLiteral("SHOWFORM"), false);
        EXPECT_TRUE(ini.ReadInteger(QStringLiteral("Digits"), digits));
        EXPECT_EQ(digits, 4);
    }
    // Whatever it read, the store writes UTF-16 LE with a mark.
    EXPECT_EQ(ReadAll(Path()), Utf16Le(text));
}

TEST_F(IniStore, AnEmptyLineHidesTheValuesBelowIt) {
    WriteAll(Path(),
             Utf16Le(QStringLiteral("[]\r\n\r\n[ShowForm]\r\nA=1\r\n\r\nB=2\r\n\r\n[Other]\r\n")));
    TIniPreferencesMan ini(Path(), true);
    ini.OpenKey(QStringLiteral("ShowForm"), true);
    int32_t v = 0;
    EXPECT_TRUE(ini.ReadInteger(QStringLiteral("A"), v));
    EXPECT_FALSE(ini.ReadInteger(QStringLiteral("B"), v));
    QStringList names;
    ini.ReadValueNames(names);
    EXPECT_EQ(names, QStringList{"A"});
    ini.WriteInteger(QStringLiteral("B"), 3);
    ini.WriteInteger(QStringLiteral("A"), 5);
    EXPECT_EQ(ini.Lines(),
              (QStringList{"[]", "", "[ShowForm]", "A=5", "B=3", "", "B=2", "", "[Other]"}));
}

TEST_F(IniStore, OnlyExactTrueAndFalseAreBools) {
    WriteAll(Path(), Utf16Le(QStringLiteral("[]\r\nlower=true\r\nT=True\r\nF=False\r\nnum=abc\r\n"
                                            "float=x\r\nhex=$1F\r\nfl=1,5\r\n")));
    TIniPreferencesMan ini(Path(), true);
    bool b = true;
    EXPECT_FALSE(ini.ReadBool(QStringLiteral("lower"), b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("F"), b));
    EXPECT_FALSE(b);
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("t"), b));
    EXPECT_TRUE(b);
    int32_t i = 9;
    EXPECT_TRUE(ini.ReadInteger(QStringLiteral("num"), i));
    EXPECT_EQ(i, 0);
    EXPECT_TRUE(ini.ReadInteger(QStringLiteral("hex"), i));
    EXPECT_EQ(i, 31);
    double d = 9;
    EXPECT_TRUE(ini.ReadFloat(QStringLiteral("float"), d));
    EXPECT_EQ(d, 0.0);
    EXPECT_TRUE(ini.ReadFloat(QStringLiteral("fl"), d)); // written under a comma locale
    EXPECT_EQ(d, 1.5);
}

TEST_F(IniStore, ReadingAMissingSectionCreatesIt) {
    TIniPreferencesMan ini(Path(), true);
    ini.OpenKey(QStringLiteral("ShowForm"), true);
    TFont font;
    EXPECT_FALSE(ReadFont(ini, QStringLiteral("InsertFont"), font));
    EXPECT_EQ(ini.OpenPath(), QStringLiteral("ShowForm"));
    EXPECT_EQ(ini.Lines(), (QStringList{"[]", "", "[ShowForm]", "", "[ShowForm\\InsertFont]"}));
    TRect r;
    EXPECT_FALSE(ReadRect(ini, QStringLiteral("FormSave"), r));
    EXPECT_EQ(ini.Lines().back(), QStringLiteral("[ShowForm\\FormSave]"));
}

TEST_F(IniStore, ListsSubSectionsAtEveryDepth) {
    TIniPreferencesMan ini(Path(), true);
    ini.OpenKey(QStringLiteral("ShowForm"), true);
    ini.OpenKey(QStringLiteral("VideoDecoders"), true);
    ini.OpenKey(QStringLiteral("dc0"), true);
    ini.CloseKey();
    ini.CloseKey();
    ini.OpenKey(QStringLiteral("AudioDecoders"), true);
    ini.CloseKey();
    ini.CloseKey();
    ini.OpenKey(QStringLiteral("ShowFormX"), true); // shares the prefix, not the path
    ini.CloseKey();
    QStringList root;
    EXPECT_TRUE(ini.ReadSubKeys(root));
    EXPECT_TRUE(root.isEmpty());
    ini.OpenKey(QStringLiteral("showform"), false);
    QStringList below;
    EXPECT_TRUE(ini.ReadSubKeys(below));
    EXPECT_EQ(below, (QStringList{"VideoDecoders", "VideoDecoders\\dc0", "AudioDecoders"}));
}

TEST_F(IniStore, RefusesWhatWouldNotReadBack) {
    TIniPreferencesMan ini(Path(), true);
    EXPECT_FALSE(ini.WriteString(QStringLiteral("a"), QStringLiteral("two\r\nlines")));
    EXPECT_FALSE(ini.WriteString(QStringLiteral("a"), QStringLiteral("\n[ShowForm]")));
    EXPECT_FALSE(ini.WriteString(QStringLiteral("a=b"), QStringLiteral("x")));
    EXPECT_FALSE(ini.WriteString(QStringLiteral("[a"), QStringLiteral("b]")));
    EXPECT_FALSE(ini.OpenKey(QStringLiteral("bad\nsection"), true));
    EXPECT_EQ(ini.Lines(), QStringList{"[]"});
}

TEST_F(IniStore, FloatsUseTheLocaleSeparator) {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    TIniPreferencesMan ini(QString(), true);
    ini.WriteFloat(QStringLiteral("d"), -2.5);
    EXPECT_EQ(ini.Lines().back(), QStringLiteral("d=-2,5"));
    double d = 0;
    EXPECT_TRUE(ini.ReadFloat(QStringLiteral("d"), d));
    EXPECT_EQ(d, -2.5);
    QLocale::setDefault(QLocale::c());
}

TEST_F(IniStore, AFailedWriteKeepsTheOldFile) {
    const QByteArray old = Utf16Le(QStringLiteral("[]\r\nOld=1\r\n"));
    WriteAll(Path(), old);
    {
        TIniPreferencesMan ini(Path(), true);
        ini.WriteString(QStringLiteral("Long"), QString(4000, u'x'));
        kelvara::test::FileSizeLimit limit(1000);
        EXPECT_FALSE(ini.Save());
        EXPECT_EQ(ReadAll(Path()), old);
    } // the destructor writes outside the limit
    EXPECT_TRUE(ReadAll(Path()).size() > 8000);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Kelvara.ini"});
}

TEST(DeleteIniFile, DeletesTheProgramsFileOnly) {
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    WriteAll(folder + QStringLiteral("Kelvara.ini"), "x");
    WriteAll(folder + QStringLiteral("Other.ini"), "x");
    QFile::setPermissions(folder + QStringLiteral("Kelvara.ini"), QFile::ReadOwner);
    EXPECT_TRUE(DeleteIniFile(folder, QStringLiteral("Kelvara")));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("Kelvara.ini")));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("Other.ini")));
    EXPECT_TRUE(DeleteIniFile(folder, QStringLiteral("Kelvara"))); // nothing to delete
}

} // namespace
