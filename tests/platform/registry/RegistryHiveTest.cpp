// The per-user hive: keys and values, persistence in its file, updates, sharing the file with
// other processes, and what happens when the file is damaged or the disk is full.
#include "platform/registry/RegistryHive.h"

#include "platform/registry/RegFileReader.h"
#include "tests/platform/registry/HiveTestSupport.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TestPaths.h"

#include <future>
#include <thread>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using kelvara::test::FileSizeLimit;
using kelvara::test::ReadAll;
using kelvara::test::TemporaryHive;
using kelvara::test::WriteAll;

const QString Key = QStringLiteral("Software\\Osric Taskel\\Kelvara");

TEST(RegistryHive, FollowsKelvaraRegistry) {
    TemporaryHive temp;
    EXPECT_EQ(RegistryHive::UserHivePath(), temp.Path());
    EXPECT_EQ(temp.Hive()->FileName(), temp.Path());
    EXPECT_EQ(temp.Hive().get(), RegistryHive::User().get()); // one instance per file
}

TEST(RegistryHive, KeysAndValues) {
    TemporaryHive temp;
    auto hive = temp.Hive();
    EXPECT_FALSE(hive->KeyExists(Key));
    EXPECT_FALSE(hive->SetValue(Key, QStringLiteral("v"), RegValue::FromDword(1)));
    ASSERT_TRUE(hive->CreateKey(Key + QStringLiteral("\\Sub\\Deeper")));
    EXPECT_TRUE(hive->KeyExists(QStringLiteral("software\\OSRIC TASKEL\\kelvara")));
    EXPECT_TRUE(hive->KeyExists(QStringLiteral("\\") + Key + QStringLiteral("\\")));
    EXPECT_FALSE(hive->KeyExists(QStringLiteral("Software\\\\Osric Taskel")));
    EXPECT_TRUE(hive->KeyExists(QString())); // the root

    ASSERT_TRUE(
        hive->SetValue(Key, QStringLiteral("Text"), RegValue::FromString(QStringLiteral("x"))));
    ASSERT_TRUE(hive->SetValue(Key, QStringLiteral("Number"), RegValue::FromDword(7)));
    ASSERT_TRUE(
        hive->SetValue(Key, QStringLiteral("TEXT"), RegValue::FromString(QStringLiteral("y"))));
    EXPECT_EQ(hive->ValueNames(Key), (QStringList{"Text", "Number"}));
    EXPECT_EQ(hive->Value(Key, QStringLiteral("text"))->AsString(), QStringLiteral("y"));
    EXPECT_EQ(hive->SubKeyNames(Key), QStringList{"Sub"});
    EXPECT_FALSE(hive->SubKeyNames(Key + QStringLiteral("\\Missing")).has_value());

    EXPECT_TRUE(hive->DeleteValue(Key, QStringLiteral("number")));
    EXPECT_FALSE(hive->DeleteValue(Key, QStringLiteral("number")));
    EXPECT_FALSE(hive->SetValue(Key, QStringLiteral("bad\nname"), RegValue::FromDword(1)));
    EXPECT_FALSE(hive->CreateKey(QStringLiteral("Software\\bad\nname")));

    EXPECT_TRUE(hive->DeleteTree(QStringLiteral("Software\\Osric Taskel")));
    EXPECT_FALSE(hive->KeyExists(Key));
    EXPECT_TRUE(hive->KeyExists(QStringLiteral("Software")));
    EXPECT_FALSE(hive->DeleteTree(QStringLiteral("Software\\Osric Taskel")));
    EXPECT_FALSE(hive->DeleteTree(QString()));
}

TEST(RegistryHive, ChangesReachTheFileAndAFreshInstanceReadsThem) {
    TemporaryHive temp;
    {
        auto hive = temp.Hive();
        ASSERT_TRUE(hive->CreateKey(Key));
        ASSERT_TRUE(hive->SetValue(Key, QStringLiteral("Digits"), RegValue::FromDword(3)));
        EXPECT_FALSE(hive->HasPendingChanges());
        const QByteArray text = ReadAll(temp.Path());
        EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\Software\\Osric Taskel\\Kelvara]\n"
                                  "\"Digits\"=dword:00000003\n"))
            << text.toStdString();
    }
    auto fresh = RegistryHive::User();
    EXPECT_EQ(fresh->Value(Key, QStringLiteral("Digits"))->AsDword(), 3u);
}

TEST(RegistryHive, AnUpdateWritesOnceAtItsEnd) {
    TemporaryHive temp;
    auto hive = temp.Hive();
    {
        RegistryUpdate update(hive);
        ASSERT_TRUE(hive->CreateKey(Key));
        for (int i = 0; i < 20; ++i)
            ASSERT_TRUE(hive->SetValue(Key, QStringLiteral("v%1").arg(i), RegValue::FromDword(i)));
        EXPECT_TRUE(hive->HasPendingChanges());
        EXPECT_FALSE(QFile::exists(temp.Path()));
        EXPECT_EQ(hive->Value(Key, QStringLiteral("v19"))->AsDword(), 19u);
    }
    EXPECT_FALSE(hive->HasPendingChanges());
    const RegParseResult parsed = RegFileReader::Parse(ReadAll(temp.Path()));
    EXPECT_TRUE(parsed.Ok());
    EXPECT_EQ(parsed.Operations.size(), 23u); // three keys and twenty values
}

TEST(RegistryHive, SeesChangesThatAnotherProcessWrote) {
    TemporaryHive temp;
    auto hive = temp.Hive();
    ASSERT_TRUE(hive->CreateKey(QStringLiteral("Software\\Mine")));
    const kelvara::test::TChildRun writer =
        kelvara::test::RunChild(kelvara::test::ToolPath(QStringLiteral("kelvara-test-hive-writer")),
                                {temp.Path(), QStringLiteral("other"), QStringLiteral("3")});
    ASSERT_TRUE(writer.Exited()) << writer.Err;
    ASSERT_EQ(writer.ExitCode, 0) << writer.Err;
    EXPECT_EQ(
        hive->Value(QStringLiteral("Software\\Shared\\other2"), QStringLiteral("n"))->AsDword(),
        2u);
    EXPECT_TRUE(hive->KeyExists(QStringLiteral("Software\\Mine")));
}

TEST(RegistryHive, TwoProcessesWritingTheFileKeepEachOthersKeys) {
    TemporaryHive temp;
    const QString writer = kelvara::test::ToolPath(QStringLiteral("kelvara-test-hive-writer"));
    constexpr int Count = 40;
    const auto start = [&](const QString& prefix) {
        return std::async(std::launch::async, [&, prefix] {
            return kelvara::test::RunChild(writer, {temp.Path(), prefix, QString::number(Count)});
        });
    };
    std::future<kelvara::test::TChildRun> a = start(QStringLiteral("a"));
    std::future<kelvara::test::TChildRun> b = start(QStringLiteral("b"));
    // This process writes too, while the other two run, with pending changes held in an update.
    auto hive = temp.Hive();
    {
        RegistryUpdate update(hive);
        for (int n = 0; n < Count; ++n) {
            const QString key = QStringLiteral("Software\\Shared\\c%1").arg(n);
            ASSERT_TRUE(hive->CreateKey(key));
            ASSERT_TRUE(hive->SetValue(key, QStringLiteral("n"), RegValue::FromDword(n)));
        }
    }
    const kelvara::test::TChildRun ranA = a.get(), ranB = b.get();
    ASSERT_TRUE(ranA.Exited() && ranB.Exited()) << ranA.Err << ranB.Err;
    EXPECT_EQ(ranA.ExitCode, 0) << ranA.Err;
    EXPECT_EQ(ranB.ExitCode, 0) << ranB.Err;

    auto onDisk = RegistryHive::AtPath(temp.Path());
    const auto names = onDisk->SubKeyNames(QStringLiteral("Software\\Shared"));
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(names->size(), 3 * Count);
    for (const char* prefix : {"a", "b", "c"})
        for (int n = 0; n < Count; ++n) {
            const auto v = onDisk->Value(
                QStringLiteral("Software\\Shared\\%1%2").arg(QLatin1String(prefix)).arg(n),
                QStringLiteral("n"));
            ASSERT_TRUE(v.has_value()) << prefix << n;
            EXPECT_EQ(v->AsDword(), uint32_t(n));
        }
    EXPECT_TRUE(RegFileReader::Parse(ReadAll(temp.Path())).Ok());
}

TEST(RegistryHive, ADamagedFileKeepsItsReadableLinesAndABackup) {
    TemporaryHive temp;
    const QByteArray damaged("Windows Registry Editor Version 5.00\n\n"
                             "[HKEY_CURRENT_USER\\Software\\K]\n"
                             "\"good\"=dword:00000005\n"
                             "this line is damaged\n");
    WriteAll(temp.Path(), damaged);
    auto hive = temp.Hive();
    EXPECT_EQ(hive->Value(QStringLiteral("Software\\K"), QStringLiteral("good"))->AsDword(), 5u);
    ASSERT_TRUE(hive->SetValue(QStringLiteral("Software\\K"), QStringLiteral("new"),
                               RegValue::FromDword(6)));
    EXPECT_EQ(ReadAll(temp.Path() + QStringLiteral(".bad")), damaged);
    EXPECT_TRUE(RegFileReader::Parse(ReadAll(temp.Path())).Ok());
}

TEST(RegistryHive, AFailedWriteKeepsTheOldFileAndTheChangeStaysPending) {
    TemporaryHive temp;
    auto hive = temp.Hive();
    ASSERT_TRUE(hive->CreateKey(Key));
    ASSERT_TRUE(hive->SetValue(Key, QStringLiteral("old"), RegValue::FromDword(1)));
    const QByteArray before = ReadAll(temp.Path());
    {
        FileSizeLimit limit(before.size() + 10);
        EXPECT_FALSE(hive->SetValue(Key, QStringLiteral("a long value name that does not fit"),
                                    RegValue::FromString(QString(200, u'x'))));
        EXPECT_TRUE(hive->HasPendingChanges());
    }
    EXPECT_EQ(ReadAll(temp.Path()), before);
    QStringList leftovers = QDir(temp.Folder()).entryList(QDir::Files);
    leftovers.removeAll(QStringLiteral("user.reg"));
    leftovers.removeAll(QStringLiteral("user.reg.lock"));
    EXPECT_TRUE(leftovers.isEmpty()) << leftovers.join(u' ').toStdString();
    EXPECT_TRUE(hive->Flush());
    EXPECT_TRUE(ReadAll(temp.Path()).contains("a long value name that does not fit"));
}

TEST(RegistryHive, ThreadsShareOneHive) {
    TemporaryHive temp;
    auto hive = temp.Hive();
    ASSERT_TRUE(hive->CreateKey(QStringLiteral("Software\\Threads")));
    const auto writer = [&](const QString& prefix) {
        RegistryUpdate update(hive);
        for (int n = 0; n < 50; ++n) {
            const QString key = QStringLiteral("Software\\Threads\\%1%2").arg(prefix).arg(n);
            hive->CreateKey(key);
            hive->SetValue(key, QStringLiteral("n"), RegValue::FromDword(n));
            hive->Value(key, QStringLiteral("n"));
        }
    };
    std::thread a(writer, QStringLiteral("a")), b(writer, QStringLiteral("b"));
    a.join();
    b.join();
    EXPECT_FALSE(hive->HasPendingChanges());
    EXPECT_EQ(hive->SubKeyNames(QStringLiteral("Software\\Threads"))->size(), 100);
    EXPECT_EQ(RegFileReader::Parse(ReadAll(temp.Path())).Operations.size(), 2u + 200u);
}

TEST(RegistryHive, ApplyIsOneUpdate) {
    TemporaryHive temp;
    auto hive = temp.Hive();
    RegOperations ops{{RegOperation::CreateKey, {"A"}, {}, {}},
                      {RegOperation::SetValue, {"A", "B"}, "v", RegValue::FromDword(2)},
                      {RegOperation::DeleteTree, {"A"}, {}, {}},
                      {RegOperation::SetValue, {"C"}, "w", RegValue::FromDword(3)}};
    ASSERT_TRUE(hive->Apply(ops));
    EXPECT_FALSE(hive->KeyExists(QStringLiteral("A")));
    EXPECT_EQ(hive->Value(QStringLiteral("C"), QStringLiteral("w"))->AsDword(), 3u);
    EXPECT_FALSE(hive->HasPendingChanges());
}

} // namespace
