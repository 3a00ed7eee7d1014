// The registry store: value encodings in the hive, sections as keys, and the tree utilities.
#include "platform/registry/RegistryHive.h"
#include "preferences/uRegPreferencesMan.h"
#include "tests/platform/registry/HiveTestSupport.h"

#include <gtest/gtest.h>

namespace {

const QString Base = QStringLiteral("Software\\Osric Taskel\\Kelvara");

class RegStore : public ::testing::Test {
protected:
    kelvara::test::TemporaryHive temp;
    std::shared_ptr<RegistryHive> hive = RegistryHive::User();
};

TEST_F(RegStore, StoresValuesWithTheirRegistryTypes) {
    TRegPreferencesMan store(Base + u'\\', true);
    ASSERT_TRUE(store.Valid());
    store.WriteString(QStringLiteral("Text"), QStringLiteral("ab"));
    store.WriteInteger(QStringLiteral("Int"), -2);
    store.WriteBool(QStringLiteral("Bool"), true);
    store.WriteFloat(QStringLiteral("Double"), 1.5);
    EXPECT_EQ(*hive->Value(Base, QStringLiteral("Text")),
              RegValue::FromString(QStringLiteral("ab")));
    EXPECT_EQ(*hive->Value(Base, QStringLiteral("Int")), RegValue::FromDword(0xFFFFFFFEu));
    EXPECT_EQ(*hive->Value(Base, QStringLiteral("Bool")), RegValue::FromDword(1));
    EXPECT_EQ(*hive->Value(Base, QStringLiteral("Double")),
              RegValue::FromBinary(QByteArray("\0\0\0\0\0\0\xF8\x3F", 8)));
}

TEST_F(RegStore, ReadsWhatOthersMayHaveStored) {
    ASSERT_TRUE(hive->CreateKey(Base));
    hive->SetValue(Base, QStringLiteral("Seven"), RegValue::FromDword(7));
    hive->SetValue(Base, QStringLiteral("OneByte"), RegValue{REG_SZ, QByteArray(1, 'x')});
    hive->SetValue(Base, QStringLiteral("NoZero"), RegValue{REG_SZ, QByteArray("a\0b\0", 4)});
    hive->SetValue(Base, QStringLiteral("Bin4"), RegValue::FromBinary(QByteArray("\x05\0\0\0", 4)));
    hive->SetValue(Base, QStringLiteral("Short"), RegValue::FromBinary(QByteArray("\x05", 1)));
    TRegPreferencesMan store(Base, false);
    bool b = true;
    EXPECT_TRUE(store.ReadBool(QStringLiteral("Seven"), b)); // succeeds, changes nothing
    EXPECT_TRUE(b);
    b = false;
    EXPECT_TRUE(store.ReadBool(QStringLiteral("Seven"), b));
    EXPECT_FALSE(b);
    QString t = QStringLiteral("x");
    EXPECT_TRUE(store.ReadString(QStringLiteral("OneByte"), t));
    EXPECT_EQ(t, QString());
    EXPECT_TRUE(store.ReadString(QStringLiteral("NoZero"), t));
    EXPECT_EQ(t, QStringLiteral("ab"));
    EXPECT_FALSE(store.ReadString(QStringLiteral("Seven"), t)); // a number is not a text
    int32_t i = 0;
    EXPECT_TRUE(store.ReadInteger(QStringLiteral("Bin4"), i)); // no type check
    EXPECT_EQ(i, 5);
    EXPECT_FALSE(store.ReadInteger(QStringLiteral("Short"), i));
    double d = 3;
    EXPECT_FALSE(store.ReadFloat(QStringLiteral("Seven"), d));
    EXPECT_EQ(d, 3);
}

TEST_F(RegStore, SectionsAreKeys) {
    TRegPreferencesMan store(Base, true);
    EXPECT_FALSE(store.OpenKey(QStringLiteral("ShowForm"), false));
    EXPECT_EQ(store.OpenPath(), QString());
    ASSERT_TRUE(store.OpenKey(QStringLiteral("ShowForm"), true));
    ASSERT_TRUE(store.OpenKey(QStringLiteral("VideoDecoders"), true));
    EXPECT_EQ(store.OpenPath(), QStringLiteral("ShowForm\\VideoDecoders"));
    EXPECT_TRUE(hive->KeyExists(Base + QStringLiteral("\\ShowForm\\VideoDecoders")));
    store.WriteInteger(QStringLiteral("v"), 1);
    EXPECT_TRUE(
        hive->Value(Base + QStringLiteral("\\ShowForm\\VideoDecoders"), QStringLiteral("v")));
    EXPECT_TRUE(store.CloseKey());
    EXPECT_EQ(store.OpenPath(), QStringLiteral("ShowForm"));
    QStringList keys;
    EXPECT_TRUE(store.ReadSubKeys(keys));
    EXPECT_EQ(keys, QStringList{"VideoDecoders"});
    EXPECT_TRUE(store.CloseKey());
    EXPECT_EQ(store.OpenPath(), QString());
    store.WriteInteger(QStringLiteral("AtBase"), 1);
    EXPECT_TRUE(hive->Value(Base, QStringLiteral("AtBase")));
}

TEST_F(RegStore, AFontOrRectangleWhoseKeyCannotBeMadeWritesNothing) {
    TRegPreferencesMan store(Base, true);
    ASSERT_TRUE(store.OpenKey(QStringLiteral("ShowForm"), true));
    const QString unusable = QStringLiteral("bad\nname");
    EXPECT_FALSE(WriteFont(store, unusable, TFont()));
    EXPECT_FALSE(WriteRect(store, unusable, TRect{1, 2, 3, 4}));
    EXPECT_EQ(store.OpenPath(), QStringLiteral("ShowForm")); // still where it was
    EXPECT_EQ(hive->ValueNames(Base + QStringLiteral("\\ShowForm")), QStringList());
}

TEST_F(RegStore, WithoutItsKeyTheStoreDoesNothing) {
    TRegPreferencesMan store(Base, false);
    EXPECT_FALSE(store.Valid());
    EXPECT_FALSE(store.WriteInteger(QStringLiteral("x"), 1));
    EXPECT_FALSE(store.OpenKey(QStringLiteral("ShowForm"), true));
    QStringList list;
    EXPECT_FALSE(store.ReadValueNames(list));
    EXPECT_FALSE(hive->KeyExists(QStringLiteral("Software")));
    EXPECT_TRUE(hive->ValueNames(QString())->isEmpty());
}

TEST_F(RegStore, AnUpdateWritesTheFileOnce) {
    TRegPreferencesMan store(Base, true);
    store.BeginUpdate();
    for (int i = 0; i < 10; ++i)
        store.WriteInteger(QStringLiteral("v%1").arg(i), i);
    EXPECT_TRUE(hive->HasPendingChanges());
    EXPECT_TRUE(store.EndUpdate());
    EXPECT_FALSE(hive->HasPendingChanges());
    EXPECT_TRUE(kelvara::test::ReadAll(temp.Path()).contains("\"v9\"=dword:00000009"));
}

TEST_F(RegStore, DeletingTheTreeRemovesTheAuthorsKeyWhenItIsEmpty) {
    ASSERT_TRUE(hive->CreateKey(Base + QStringLiteral("\\ShowForm")));
    EXPECT_TRUE(RegistryKeyExists(Base));
    EXPECT_TRUE(DeleteRegistryTree(QStringLiteral("Kelvara")));
    EXPECT_FALSE(RegistryKeyExists(Base));
    EXPECT_FALSE(RegistryKeyExists(AuthorKey()));
    EXPECT_TRUE(RegistryKeyExists(QStringLiteral("Software")));
    EXPECT_TRUE(DeleteRegistryTree(QStringLiteral("Kelvara"))); // nothing left to delete

    ASSERT_TRUE(hive->CreateKey(Base));
    ASSERT_TRUE(hive->CreateKey(AuthorKey() + QStringLiteral("\\OtherProgram")));
    EXPECT_TRUE(DeleteRegistryTree(QStringLiteral("Kelvara")));
    EXPECT_FALSE(RegistryKeyExists(Base));
    EXPECT_TRUE(RegistryKeyExists(AuthorKey() + QStringLiteral("\\OtherProgram")));

    EXPECT_FALSE(DeleteRegistryTree(QString())); // never the author's key itself
    EXPECT_FALSE(DeleteRegistryTree(QStringLiteral("OtherProgram\\..")));
    EXPECT_TRUE(RegistryKeyExists(AuthorKey() + QStringLiteral("\\OtherProgram")));
}

} // namespace
