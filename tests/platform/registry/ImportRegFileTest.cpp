// The registry tool's import and delete commands, carried out against the user's hive.
#include "platform/registry/ImportRegFile.h"

#include "platform/registry/RegistryHive.h"
#include "tests/platform/registry/HiveTestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

using kelvara::test::TemporaryHive;
using kelvara::test::WriteAll;

TEST(SplitCommandLine, FollowsWindowsQuoting) {
    struct Case {
        const char* line;
        QStringList args;
    };
    const Case cases[] = {
        {R"(import "C:\a b\c.reg")", {"import", R"(C:\a b\c.reg)"}},
        {R"(delete HKCU\Software\LBV /F)", {"delete", R"(HKCU\Software\LBV)", "/F"}},
        {"  a   b  ", {"a", "b"}},
        {R"("" x)", {"", "x"}},
        {R"(a\\"b c")", {R"(a\b c)"}},
        {R"(a\"b)", {R"(a"b)"}},
        {R"(a\\b)", {R"(a\\b)"}},
        {R"("unterminated arg)", {"unterminated arg"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(SplitCommandLine(QString::fromUtf8(c.line)), c.args);
    }
}

class ImportRegFileTest : public ::testing::Test {
protected:
    QString RegFile(const QByteArray& content) {
        const QString path = QDir(temp.Folder()).filePath(QStringLiteral("in %1.reg").arg(++count));
        WriteAll(path, content);
        return path;
    }
    static QString Import(const QString& path) { return QStringLiteral("import \"%1\"").arg(path); }

    TemporaryHive temp;
    int count = 0;
};

TEST_F(ImportRegFileTest, ImportsAFile) {
    const QString file = RegFile("Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\LBV\\Video]\r\n"
                                 "\"Threads\"=dword:00000004\r\n"
                                 "\"Name\"=\"x\"\r\n");
    ASSERT_TRUE(ImportRegFile(Import(file), true));
    auto hive = RegistryHive::User();
    EXPECT_EQ(
        hive->Value(QStringLiteral("Software\\LBV\\Video"), QStringLiteral("Threads"))->AsDword(),
        4u);
    EXPECT_FALSE(hive->HasPendingChanges());
}

TEST_F(ImportRegFileTest, AFileWithAnErrorImportsNothing) {
    const QString file = RegFile("Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\LBV]\r\n"
                                 "\"Good\"=dword:00000001\r\n"
                                 "\"Bad\"=dword:nothex\r\n");
    EXPECT_FALSE(ImportRegFile(Import(file), true));
    EXPECT_FALSE(RegistryHive::User()->KeyExists(QStringLiteral("Software\\LBV")));
}

TEST_F(ImportRegFileTest, RefusesWhatCannotBeCarriedOut) {
    auto hive = RegistryHive::User();
    ASSERT_TRUE(hive->CreateKey(QStringLiteral("Software\\QRX\\Sub")));
    const char* refused[] = {
        "",
        "import",
        "import \"/nonexistent/file.reg\"",
        "add HKCU\\Software\\QRX /f",
        "delete HKCU\\Software\\QRX",        // nobody to confirm
        "delete HKLM\\Software\\QRX /F",     // not the user's hive
        "delete HKCU /F",                    // the whole hive
        "delete HKCU\\Software\\Missing /F", // nothing to delete
        "delete HKCU\\Software\\QRX /F /unknown",
        "delete HKCU\\Software\\QRX /V missing /F",
    };
    for (const char* args : refused) {
        SCOPED_TRACE(args);
        EXPECT_FALSE(ImportRegFile(QString::fromUtf8(args), true));
        EXPECT_TRUE(hive->KeyExists(QStringLiteral("Software\\QRX\\Sub")));
    }
}

TEST_F(ImportRegFileTest, DeletesKeysAndValues) {
    auto hive = RegistryHive::User();
    ASSERT_TRUE(hive->CreateKey(QStringLiteral("Software\\QRX\\Sub")));
    ASSERT_TRUE(hive->SetValue(QStringLiteral("Software\\QRX"), QStringLiteral("a"),
                               RegValue::FromDword(1)));
    ASSERT_TRUE(hive->SetValue(QStringLiteral("Software\\QRX"), QStringLiteral("b"),
                               RegValue::FromDword(2)));
    ASSERT_TRUE(hive->SetValue(QStringLiteral("Software\\QRX"), QString(), RegValue::FromDword(3)));

    EXPECT_TRUE(ImportRegFile(QStringLiteral("delete HKCU\\Software\\QRX /v a /f"), true));
    EXPECT_EQ(hive->ValueNames(QStringLiteral("Software\\QRX")), (QStringList{"b", ""}));
    EXPECT_TRUE(ImportRegFile(QStringLiteral("delete HKCU\\Software\\QRX /ve /f"), true));
    EXPECT_EQ(hive->ValueNames(QStringLiteral("Software\\QRX")), QStringList{"b"});
    EXPECT_TRUE(
        ImportRegFile(QStringLiteral("delete HKEY_CURRENT_USER\\Software\\QRX /VA /F"), true));
    EXPECT_EQ(hive->ValueNames(QStringLiteral("Software\\QRX")), QStringList());
    EXPECT_TRUE(hive->KeyExists(QStringLiteral("Software\\QRX\\Sub")));

    EXPECT_TRUE(ImportRegFile(QStringLiteral("DELETE HKCU\\Software\\QRX /F"), false));
    EXPECT_FALSE(hive->KeyExists(QStringLiteral("Software\\QRX")));
    EXPECT_TRUE(hive->KeyExists(QStringLiteral("Software")));
}

TEST_F(ImportRegFileTest, ImportedDeletionsAndValuesApplyInFileOrder) {
    auto hive = RegistryHive::User();
    ASSERT_TRUE(hive->CreateKey(QStringLiteral("Software\\LBV\\Old")));
    // As the registry editor exports it: UTF-16 little-endian with a byte-order mark.
    const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                        "[-HKEY_CURRENT_USER\\Software\\LBV]\r\n\r\n"
                                        "[HKEY_CURRENT_USER\\Software\\LBV]\r\n"
                                        "\"Path\"=\"C:\\\\Program Files\\\\LAV\"\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    const QString file = RegFile(bytes);
    ASSERT_TRUE(ImportRegFile(Import(file), true));
    EXPECT_FALSE(hive->KeyExists(QStringLiteral("Software\\LBV\\Old")));
    EXPECT_EQ(hive->Value(QStringLiteral("Software\\LBV"), QStringLiteral("Path"))->AsString(),
              QStringLiteral("C:\\Program Files\\LAV"));
}

} // namespace
