// TTaskelPreferences: where the settings live, erasing the other places, typed reads with
// defaults, and the work done at the owner window's first show and at its close.
#include "platform/ui/ScriptedDialogs.h"
#include "preferences/uIniPreferencesMan.h"
#include "preferences/uPreferences.h"
#include "preferences/uRegPreferencesMan.h"
#include "preferences/uSavePrefs.h"
#include "tests/platform/registry/HiveTestSupport.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const QString Key = QStringLiteral("Software\\Osric Taskel\\Kelvara");

class TaskelPreferences : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }

    void Configure(TTaskelPreferences& gp) {
        gp.SetTitre(QStringLiteral("Kelvara"));
        gp.SetVersion(QStringLiteral("Kelvara 1.0 en by Osric Taskel"));
        gp.SetProgramFolder(folder.path());
    }
    QString IniPath() const { return folder.filePath(QStringLiteral("Kelvara.ini")); }
    bool IniExists() const { return QFile::exists(IniPath()); }
    void MakeIni() const {
        TIniPreferencesMan ini(IniPath(), true);
        ini.WriteString(QStringLiteral("From"), QStringLiteral("ini"));
    }
    void MakeKey() const {
        auto hive = RegistryHive::User();
        hive->CreateKey(Key);
        hive->SetValue(Key, QStringLiteral("From"),
                       RegValue::FromString(QStringLiteral("registry")));
    }

    kelvara::test::TemporaryHive hive;
    QTemporaryDir folder;
};

TEST_F(TaskelPreferences, DetectsTheModeIniFileFirst) {
    struct Case {
        bool ini, key;
        TSavePreferences mode;
    };
    for (const Case c : {Case{false, false, spNone}, Case{false, true, spRegistre},
                         Case{true, false, spPortable}, Case{true, true, spPortable}}) {
        SCOPED_TRACE(testing::Message() << "ini " << c.ini << " key " << c.key);
        QFile::remove(IniPath());
        DeleteRegistryTree(QStringLiteral("Kelvara"));
        if (c.ini)
            MakeIni();
        if (c.key)
            MakeKey();
        TTaskelPreferences gp;
        Configure(gp);
        EXPECT_EQ(gp.DetectMode(), c.mode);
    }
}

TEST_F(TaskelPreferences, ChoosingAModeErasesTheOtherPlaces) {
    struct Case {
        TSavePreferences mode;
        bool iniKept, keyKept;
    };
    for (const Case c : {Case{spRegistre, false, true}, Case{spPortable, true, false}}) {
        SCOPED_TRACE(c.mode);
        MakeIni();
        MakeKey();
        std::vector<TSavePreferences> changes;
        {
            TTaskelPreferences gp;
            Configure(gp);
            gp.OnChangeMode = [&](TSavePreferences m) { changes.push_back(m); };
            gp.SetMode(c.mode);
            EXPECT_EQ(gp.Mode(), c.mode);
            EXPECT_EQ(RegistryKeyExists(Key), c.keyKept);
            gp.SetMode(c.mode); // no change: nothing happens
        }
        EXPECT_EQ(changes, std::vector<TSavePreferences>{c.mode});
        EXPECT_EQ(IniExists(), c.iniKept);
        EXPECT_EQ(RegistryKeyExists(Key), c.keyKept);
        EXPECT_EQ(RegistryKeyExists(AuthorKey()), c.keyKept); // it held nothing else
    }
    // The none mode erases both, after the INI store has written its file one last time.
    TTaskelPreferences gp;
    Configure(gp);
    gp.SetMode(spPortable);
    MakeKey();
    gp.SetMode(spNone);
    EXPECT_FALSE(IniExists());
    EXPECT_FALSE(RegistryKeyExists(Key));
}

TEST_F(TaskelPreferences, SwitchingFromPortableToNormalMovesTheWrites) {
    TTaskelPreferences gp;
    Configure(gp);
    gp.SetMode(spPortable);
    gp.WriteInteger(QStringLiteral("Digits"), 4);
    EXPECT_FALSE(IniExists()); // held in memory
    gp.SetMode(spRegistre);
    EXPECT_FALSE(IniExists()); // written, then deleted
    EXPECT_EQ(gp.ReadInteger(QStringLiteral("Digits"), -1), -1);
    EXPECT_TRUE(gp.WriteInteger(QStringLiteral("Digits"), 5));
    EXPECT_EQ(RegistryHive::User()->Value(Key, QStringLiteral("Digits"))->AsDword(), 5u);
}

TEST_F(TaskelPreferences, TheNoneModeReadsDefaultsAndWritesNothing) {
    MakeKey();
    TTaskelPreferences gp;
    Configure(gp);
    EXPECT_EQ(gp.Mode(), spNone);
    EXPECT_EQ(gp.ReadString(QStringLiteral("From"), QStringLiteral("def")), QStringLiteral("def"));
    EXPECT_FALSE(gp.WriteString(QStringLiteral("x"), QStringLiteral("y")));
    EXPECT_FALSE(gp.WriteFont(QStringLiteral("f"), TFont()));
    EXPECT_FALSE(gp.OpenSection(QStringLiteral("ShowForm")));
    EXPECT_FALSE(gp.CloseSection());
    QStringList list;
    EXPECT_FALSE(gp.ReadSubSections(list));
    TFont target;
    target.Name = QStringLiteral("Target");
    TFont def;
    def.Name = QStringLiteral("Default");
    gp.ReadFont(QStringLiteral("f"), def, target);
    EXPECT_EQ(target.Name, QStringLiteral("Default"));
}

class TypedValues : public TaskelPreferences,
                    public ::testing::WithParamInterface<TSavePreferences> {};

TEST_P(TypedValues, RoundTripAndDefaults) {
    TFont font;
    font.Name = QStringLiteral("Liberation Mono");
    font.SetSize(13);
    font.Style = fsItalic | fsUnderline;
    font.Color = 0x0000FF;
    {
        TTaskelPreferences gp;
        Configure(gp);
        gp.SetMode(GetParam());
        ASSERT_TRUE(gp.OpenSection(QStringLiteral("ShowForm")));
        EXPECT_TRUE(gp.WriteString(QStringLiteral("Text"), QStringLiteral("a=b \u00e9")));
        EXPECT_TRUE(gp.WriteInteger(QStringLiteral("Min"), INT32_MIN));
        EXPECT_TRUE(gp.WriteInteger(QStringLiteral("Max"), INT32_MAX));
        EXPECT_TRUE(gp.WriteBool(QStringLiteral("Flag"), true));
        EXPECT_TRUE(gp.WriteFloat(QStringLiteral("Ratio"), 1.7777777777777));
        EXPECT_TRUE(gp.WritePoint(QStringLiteral("Pos"), TPoint{-3, 9}));
        EXPECT_TRUE(gp.WriteRect(QStringLiteral("FormSave"), TRect{1, 2, 3, 4}));
        EXPECT_TRUE(gp.WriteFont(QStringLiteral("Font"), font));
        EXPECT_TRUE(gp.CloseSection());
    }
    TTaskelPreferences gp;
    Configure(gp);
    gp.SetMode(gp.DetectMode());
    ASSERT_EQ(gp.Mode(), GetParam());
    ASSERT_TRUE(gp.OpenSection(QStringLiteral("ShowForm")));
    EXPECT_EQ(gp.ReadString(QStringLiteral("Text"), {}), QStringLiteral("a=b \u00e9"));
    EXPECT_EQ(gp.ReadInteger(QStringLiteral("Min"), 0), INT32_MIN);
    EXPECT_EQ(gp.ReadInteger(QStringLiteral("Max"), 0), INT32_MAX);
    EXPECT_TRUE(gp.ReadBool(QStringLiteral("Flag"), false));
    EXPECT_EQ(gp.ReadFloat(QStringLiteral("Ratio"), 0), 1.7777777777777);
    EXPECT_EQ(gp.ReadPoint(QStringLiteral("Pos"), {}), (TPoint{-3, 9}));
    EXPECT_EQ(gp.ReadRect(QStringLiteral("FormSave"), {}), (TRect{1, 2, 3, 4}));
    TFont read;
    gp.ReadFont(QStringLiteral("Font"), TFont(), read);
    EXPECT_EQ(read, font);
    // Missing values give the defaults.
    EXPECT_EQ(gp.ReadString(QStringLiteral("None"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(gp.ReadInteger(QStringLiteral("None"), 17), 17);
    EXPECT_EQ(gp.ReadPoint(QStringLiteral("None"), TPoint{5, 6}), (TPoint{5, 6}));
    EXPECT_EQ(gp.ReadRect(QStringLiteral("None"), TRect{5, 6, 7, 8}), (TRect{5, 6, 7, 8}));
    // A font read only in part is replaced by the default as a whole.
    gp.WriteInteger(QStringLiteral("Pos.X"), 1);
    gp.OpenSection(QStringLiteral("Partial"));
    gp.WriteInteger(QStringLiteral("Charset"), 7);
    gp.CloseSection();
    TFont def;
    def.Name = QStringLiteral("Default");
    gp.ReadFont(QStringLiteral("Partial"), def, read);
    EXPECT_EQ(read, def);
}

INSTANTIATE_TEST_SUITE_P(Stores, TypedValues, ::testing::Values(spRegistre, spPortable));

TEST_F(TaskelPreferences, TheHeaderNamesTheProgramAndTheTime) {
    TTaskelPreferences gp;
    Configure(gp);
    gp.SetMode(spPortable);
    gp.OpenSection(QStringLiteral("ShowForm"));
    EXPECT_TRUE(gp.WriteHeader(QStringLiteral("Kelvara 1.0 en by Osric Taskel")));
    EXPECT_EQ(gp.Store().OpenPath(), QString()); // written at the root
    EXPECT_EQ(gp.ReadString(QStringLiteral("Version"), {}),
              QStringLiteral("Kelvara 1.0 en by Osric Taskel"));
    EXPECT_EQ(gp.ReadString(QStringLiteral("ExeName"), {}),
              QCoreApplication::applicationFilePath());
    const QString saved = gp.ReadString(QStringLiteral("Last saving"), {});
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(saved)
                    .hasMatch())
        << saved.toStdString();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    gp.WriteHeader(QString());
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d{4}\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
            .match(gp.ReadString(QStringLiteral("Last saving"), {}))
            .hasMatch());
}

} // namespace
