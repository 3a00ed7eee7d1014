// Every value kind written to a store, the store closed (its file written), opened again and read
// back: the same for the INI store and the registry store.
#include "preferences/uIniPreferencesMan.h"
#include "preferences/uNonePreferencesMan.h"
#include "preferences/uRegPreferencesMan.h"
#include "tests/platform/registry/HiveTestSupport.h"

#include <memory>

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct IniStores {
    QTemporaryDir dir;
    QString Path() const { return dir.filePath(QStringLiteral("Kelvara.ini")); }
    std::unique_ptr<TPreferencesMan> Open() {
        return std::make_unique<TIniPreferencesMan>(Path(), true);
    }
};

struct RegStores {
    kelvara::test::TemporaryHive hive;
    std::unique_ptr<TPreferencesMan> Open() {
        return std::make_unique<TRegPreferencesMan>(
            QStringLiteral("Software\\Osric Taskel\\Kelvara\\"), true);
    }
};

template <typename Stores>
class StoreRoundTrip : public ::testing::Test {
protected:
    Stores stores;
};

using StoreKinds = ::testing::Types<IniStores, RegStores>;
TYPED_TEST_SUITE(StoreRoundTrip, StoreKinds);

const QString Texts[] = {QStringLiteral("plain"),
                         QStringLiteral("a=b=c"),
                         QString(),
                         QStringLiteral("\u00e9t\u00e9 \u4e2d\u6587 \U0001F600"),
                         QStringLiteral("  blanks  "),
                         QStringLiteral("[not a header]"),
                         QStringLiteral("C:\\Path\\file.txt")};
const int32_t Integers[] = {0, 1, -1, INT32_MAX, INT32_MIN, 0x00FF8040, int32_t(0xFF000008)};
const double Doubles[] = {0.0, 0.1, -2.5, 29.97002997003, 1e20, 1.5e-7, -123456789.125};

TFont SampleFont() {
    TFont f;
    f.Name = QStringLiteral("DejaVu Sans");
    f.Color = 0x00123456;
    f.Charset = 0;
    f.Pitch = fpFixed;
    f.SetPixelsPerInch(120);
    f.SetSize(14);
    f.Style = fsBold | fsStrikeOut;
    return f;
}

TYPED_TEST(StoreRoundTrip, EveryValueKindReadsBackAfterReopening) {
    QLocale::setDefault(QLocale::c());
    {
        auto store = this->stores.Open();
        ASSERT_TRUE(store->OpenKey(QStringLiteral("ShowForm"), true));
        for (size_t i = 0; i < std::size(Texts); ++i)
            ASSERT_TRUE(store->WriteString(QStringLiteral("Text%1").arg(i), Texts[i]));
        for (size_t i = 0; i < std::size(Integers); ++i)
            ASSERT_TRUE(store->WriteInteger(QStringLiteral("Int%1").arg(i), Integers[i]));
        for (size_t i = 0; i < std::size(Doubles); ++i)
            ASSERT_TRUE(store->WriteFloat(QStringLiteral("Double%1").arg(i), Doubles[i]));
        ASSERT_TRUE(store->WriteBool(QStringLiteral("Yes"), true));
        ASSERT_TRUE(store->WriteBool(QStringLiteral("No"), false));
        ASSERT_TRUE(WritePoint(*store, QStringLiteral("Pos"), TPoint{-5, INT32_MAX}));
        ASSERT_TRUE(WriteRect(*store, QStringLiteral("FormSave"), TRect{120, 80, 1145, 724}));
        ASSERT_TRUE(WriteFont(*store, QStringLiteral("InsertFont"), SampleFont()));
        EXPECT_EQ(store->OpenPath(), QStringLiteral("ShowForm"));
        ASSERT_TRUE(store->CloseKey());
    }
    auto store = this->stores.Open();
    ASSERT_TRUE(store->OpenKey(QStringLiteral("showform"), false));
    for (size_t i = 0; i < std::size(Texts); ++i) {
        QString t = QStringLiteral("unchanged");
        ASSERT_TRUE(store->ReadString(QStringLiteral("text%1").arg(i), t)) << i;
        EXPECT_EQ(t, Texts[i]) << i;
    }
    for (size_t i = 0; i < std::size(Integers); ++i) {
        int32_t v = 12345;
        ASSERT_TRUE(store->ReadInteger(QStringLiteral("Int%1").arg(i), v)) << i;
        EXPECT_EQ(v, Integers[i]) << i;
    }
    for (size_t i = 0; i < std::size(Doubles); ++i) {
        double v = 12345;
        ASSERT_TRUE(store->ReadFloat(QStringLiteral("Double%1").arg(i), v)) << i;
        EXPECT_EQ(v, Doubles[i]) << i;
    }
    bool yes = false, no = true;
    EXPECT_TRUE(store->ReadBool(QStringLiteral("Yes"), yes));
    EXPECT_TRUE(store->ReadBool(QStringLiteral("No"), no));
    EXPECT_TRUE(yes);
    EXPECT_FALSE(no);
    TPoint p;
    EXPECT_TRUE(ReadPoint(*store, QStringLiteral("Pos"), p));
    EXPECT_EQ(p, (TPoint{-5, INT32_MAX}));
    TRect r;
    EXPECT_TRUE(ReadRect(*store, QStringLiteral("FormSave"), r));
    EXPECT_EQ(r, (TRect{120, 80, 1145, 724}));
    TFont f;
    EXPECT_TRUE(ReadFont(*store, QStringLiteral("InsertFont"), f));
    const TFont expected = SampleFont();
    EXPECT_EQ(f.Name, expected.Name);
    EXPECT_EQ(f.Color, expected.Color);
    EXPECT_EQ(f.Charset, expected.Charset);
    EXPECT_EQ(f.Pitch, expected.Pitch);
    EXPECT_EQ(f.PixelsPerInch(), 120);
    EXPECT_EQ(f.Size(), 14);
    EXPECT_EQ(f.Style, expected.Style);
    EXPECT_EQ(store->OpenPath(), QStringLiteral("showform"));

    QStringList subKeys;
    EXPECT_TRUE(store->ReadSubKeys(subKeys));
    subKeys.sort(Qt::CaseInsensitive);
    EXPECT_EQ(subKeys, (QStringList{"FormSave", "InsertFont"}));
    QStringList names;
    EXPECT_TRUE(store->ReadValueNames(names));
    EXPECT_TRUE(names.contains(QStringLiteral("Pos.X")));
    EXPECT_EQ(names.size(),
              qsizetype(std::size(Texts) + std::size(Integers) + std::size(Doubles) + 4));
}

TYPED_TEST(StoreRoundTrip, MissingValuesLeaveTheTargetAlone) {
    auto store = this->stores.Open();
    ASSERT_TRUE(store->OpenKey(QStringLiteral("ShowForm"), true));
    QString t = QStringLiteral("kept");
    int32_t i = 7;
    double d = 2.5;
    bool b = true;
    TPoint p{1, 2};
    EXPECT_FALSE(store->ReadString(QStringLiteral("none"), t));
    EXPECT_FALSE(store->ReadInteger(QStringLiteral("none"), i));
    EXPECT_FALSE(store->ReadFloat(QStringLiteral("none"), d));
    EXPECT_FALSE(store->ReadBool(QStringLiteral("none"), b));
    EXPECT_FALSE(ReadPoint(*store, QStringLiteral("none"), p));
    EXPECT_EQ(t, QStringLiteral("kept"));
    EXPECT_EQ(i, 7);
    EXPECT_EQ(d, 2.5);
    EXPECT_TRUE(b);
    EXPECT_EQ(p, (TPoint{1, 2}));
    EXPECT_FALSE(store->DeleteValue(QStringLiteral("none")));
    ASSERT_TRUE(store->WriteInteger(QStringLiteral("there"), 1));
    EXPECT_TRUE(store->DeleteValue(QStringLiteral("THERE")));
    EXPECT_FALSE(store->ReadInteger(QStringLiteral("there"), i));
}

TYPED_TEST(StoreRoundTrip, APartialFontKeepsWhatWasRead) {
    auto store = this->stores.Open();
    ASSERT_TRUE(store->OpenKey(QStringLiteral("Font"), true));
    ASSERT_TRUE(store->WriteInteger(QStringLiteral("Charset"), 2));
    ASSERT_TRUE(store->WriteInteger(QStringLiteral("Color"), 255));
    ASSERT_TRUE(store->CloseKey()); // "Name" and the rest are missing
    TFont f;
    EXPECT_FALSE(ReadFont(*store, QStringLiteral("Font"), f));
    EXPECT_EQ(f.Charset, 2);
    EXPECT_EQ(f.Color, 255);
    EXPECT_EQ(f.Name, TFont().Name);
    EXPECT_EQ(store->OpenPath(), QString()); // back at the root
}

TEST(NonePreferencesMan, KeepsNothing) {
    TNonePreferencesMan none;
    QStringList list;
    QString t = QStringLiteral("x");
    int32_t i = 1;
    bool b = true;
    double d = 1;
    EXPECT_TRUE(none.OpenKey(QStringLiteral("a"), false));
    EXPECT_TRUE(none.CloseKey());
    EXPECT_TRUE(none.WriteString(QStringLiteral("a"), QStringLiteral("b")));
    EXPECT_TRUE(none.WriteInteger(QStringLiteral("a"), 1));
    EXPECT_TRUE(none.WriteBool(QStringLiteral("a"), true));
    EXPECT_TRUE(none.WriteFloat(QStringLiteral("a"), 1));
    EXPECT_FALSE(none.ReadString(QStringLiteral("a"), t));
    EXPECT_FALSE(none.ReadInteger(QStringLiteral("a"), i));
    EXPECT_FALSE(none.ReadBool(QStringLiteral("a"), b));
    EXPECT_FALSE(none.ReadFloat(QStringLiteral("a"), d));
    EXPECT_FALSE(none.ReadValueNames(list));
    EXPECT_FALSE(none.ReadSubKeys(list));
    EXPECT_FALSE(none.DeleteValue(QStringLiteral("a")));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(t, QStringLiteral("x"));
}

} // namespace
