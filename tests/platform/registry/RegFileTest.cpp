// The .reg text form: what the reader accepts and refuses, and that the writer's output reads back
// into the same tree.
#include "platform/registry/RegFileReader.h"
#include "platform/registry/RegFileWriter.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

const QString Header = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n");

RegKey TreeOf(const RegParseResult& parsed) {
    RegKey root;
    for (const RegOperation& op : parsed.Operations)
        op.ApplyTo(root);
    return root;
}

RegParseResult ParseBody(const QString& body) {
    return RegFileReader::ParseText(Header + body);
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

struct ValueCase {
    const char* line;
    uint32_t type;
    QByteArray data;
};

TEST(RegFileReader, ReadsEveryValueForm) {
    const ValueCase cases[] = {
        {R"("a"="text")", REG_SZ, RegValue::FromString(QStringLiteral("text")).Data},
        {R"("a"="")", REG_SZ, Bytes({0, 0})},
        {R"("a"="back\\slash \"quoted\"")", REG_SZ,
         RegValue::FromString(QStringLiteral("back\\slash \"quoted\"")).Data},
        {R"("a"="x=y")", REG_SZ, RegValue::FromString(QStringLiteral("x=y")).Data},
        {R"("a"=dword:0000002a)", REG_DWORD, Bytes({0x2a, 0, 0, 0})},
        {R"("a"=DWORD:FFFFFFFF)", REG_DWORD, Bytes({0xff, 0xff, 0xff, 0xff})},
        {R"("a"=dword:1)", REG_DWORD, Bytes({1, 0, 0, 0})},
        {R"("a"=hex:01,ff,7f)", REG_BINARY, Bytes({1, 0xff, 0x7f})},
        {R"("a"=hex:)", REG_BINARY, QByteArray()},
        {R"("a"=hex(2):41,00,00,00)", REG_EXPAND_SZ, Bytes({0x41, 0, 0, 0})},
        {R"("a"=hex(b):01,00,00,00,00,00,00,80)", REG_QWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 0x80})},
        {R"("a" = "spaces around the sign")", REG_SZ,
         RegValue::FromString(QStringLiteral("spaces around the sign")).Data},
        {"\"a\"=hex:01,02,\\\r\n  03,04", REG_BINARY, Bytes({1, 2, 3, 4})},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.line);
        const RegParseResult parsed =
            ParseBody(QStringLiteral("[HKEY_CURRENT_USER\\K]\r\n") + QString::fromUtf8(c.line));
        ASSERT_TRUE(parsed.Ok()) << parsed.Errors.join(u'\n').toStdString();
        RegKey tree = TreeOf(parsed);
        const RegKey* key = tree.Find({QStringLiteral("K")});
        ASSERT_NE(key, nullptr);
        const RegValue* v = key->Value(QStringLiteral("a"));
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->Type, c.type);
        EXPECT_EQ(v->Data, c.data);
    }
}

TEST(RegFileReader, DefaultValueDeletionsAndComments) {
    const RegParseResult parsed =
        ParseBody(QStringLiteral("; a comment\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\A]\r\n"
                                 "@=\"default\"\r\n"
                                 "\"gone\"=dword:1\r\n"
                                 "\"gone\"=-\r\n"
                                 "[HKCU\\Software\\B\\Deep]\r\n"
                                 "[-HKEY_CURRENT_USER\\Software\\B]\r\n"));
    ASSERT_TRUE(parsed.Ok()) << parsed.Errors.join(u'\n').toStdString();
    RegKey tree = TreeOf(parsed);
    const RegKey* a = tree.Find({QStringLiteral("software"), QStringLiteral("a")});
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Value(QString())->AsString(), QStringLiteral("default"));
    EXPECT_EQ(a->Value(QStringLiteral("gone")), nullptr);
    EXPECT_EQ(tree.Find({QStringLiteral("Software"), QStringLiteral("B")}), nullptr);
}

TEST(RegFileReader, RefusesWhatItDoesNotUnderstand) {
    struct Case {
        const char* body;
        int line; // the line the error names
    };
    const Case cases[] = {
        {"\"a\"=\"x\"", 3},                                    // value before any key
        {"[HKEY_CURRENT_USER\\K]\r\n\"a\"=\"unterminated", 4}, // missing closing mark
        {"[HKEY_CURRENT_USER\\K]\r\n\"a\"=\"x\" trailing", 4},
        {"[HKEY_CURRENT_USER\\K]\r\n\"a\"=\"bad \\n escape\"", 4},
        {"[HKEY_CURRENT_USER\\K]\r\n\"a\"=dword:123456789", 4}, // nine digits
        {"[HKEY_CURRENT_USER\\K]\r\n\"a\"=dword:xyz", 4},
        {"[HKEY_CURRENT_USER\\K]\r\n\"a\"=dword:", 4},
        {"[HKEY_CURRENT_USER\\K]\r\n\"a\"=hex:1g", 4},
        {"[HKEY_CURRENT_USER\\K]\r\n\"a\"=hex:100", 4},
        {"[HKEY_CURRENT_USER\\K]\r\n\"a\"=hex(zz):00", 4},
        {"[HKEY_CURRENT_USER\\K]\r\n\"a\"=qword:1", 4},
        {"[HKEY_CURRENT_USER\\K]\r\n\"a\"", 4},
        {"[HKEY_CURRENT_USER\\K]\r\njunk", 4},
        {"[HKEY_LOCAL_MACHINE\\Software\\X]", 3}, // only the user's hive
        {"[HKEY_CURRENT_USER\\a\\\\b]", 3},       // empty key name
        {"[HKEY_CURRENT_USER\\K", 3},
        {"[-HKEY_CURRENT_USER]", 3},
        {"[-HKEY_CURRENT_USER\\K]\r\n\"a\"=\"x\"", 4}, // value under a deleted key
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        const RegParseResult parsed = ParseBody(QString::fromUtf8(c.body));
        ASSERT_FALSE(parsed.Ok());
        EXPECT_TRUE(parsed.Errors.front().startsWith(QStringLiteral("line %1:").arg(c.line)))
            << parsed.Errors.front().toStdString();
    }
}

TEST(RegFileReader, NeedsTheHeader) {
    EXPECT_FALSE(RegFileReader::ParseText(QStringLiteral("[HKEY_CURRENT_USER\\K]\r\n")).Ok());
    EXPECT_FALSE(RegFileReader::ParseText(QString()).Ok());
    EXPECT_TRUE(RegFileReader::ParseText(QStringLiteral("\r\nREGEDIT4\r\n")).Ok());
}

TEST(RegFileReader, ReadsUtf16FilesAndAnsiRegedit4) {
    const QString body =
        QStringLiteral("[HKEY_CURRENT_USER\\K\u00e9]\r\n\"n\u00e9\"=\"\u20ac\"\r\n");
    QByteArray utf16("\xFF\xFE", 2);
    const QString text = Header + body;
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    RegKey tree = TreeOf(RegFileReader::Parse(utf16));
    const RegKey* key = tree.Find({QStringLiteral("K\u00c9")});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Value(QStringLiteral("N\u00c9"))->AsString(), QStringLiteral("\u20ac"));

    // REGEDIT4 files are 8-bit text: expandable strings given as hex are 8-bit characters.
    const QByteArray ansi("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"e\"=hex(2):e9,00\r\n");
    RegKey tree4 = TreeOf(RegFileReader::Parse(ansi));
    EXPECT_EQ(tree4.Find({QStringLiteral("K")})->Value(QStringLiteral("e"))->Data,
              RegValue::FromString(QStringLiteral("\u00e9"), REG_EXPAND_SZ).Data);
}

RegKey SampleTree() {
    RegKey root;
    RegKey& k = root.FindOrCreate(
        {QStringLiteral("Software"), QStringLiteral("Osric Taskel"), QStringLiteral("Kelvara")});
    k.SetValue(QStringLiteral("Version"),
               RegValue::FromString(QStringLiteral("Kelvara 1 \"q\" \\")));
    k.SetValue(QStringLiteral("Empty"), RegValue::FromString(QString()));
    k.SetValue(QStringLiteral("Multi line"), RegValue::FromString(QStringLiteral("a\r\nb")));
    k.SetValue(QStringLiteral("Embedded zero"),
               RegValue::FromString(QStringLiteral("a") + QChar(0)));
    k.SetValue(QStringLiteral("No terminator"), RegValue{REG_SZ, QByteArray("a\0", 2)});
    k.SetValue(QStringLiteral("Odd size"), RegValue{REG_SZ, QByteArray("abc", 3)});
    k.SetValue(QStringLiteral("Non-ASCII \u00e9\u4e2d"),
               RegValue::FromString(QStringLiteral("\u00e9\U0001F600")));
    k.SetValue(QStringLiteral("Min"), RegValue::FromDword(0x80000000u));
    k.SetValue(QStringLiteral("Max"), RegValue::FromDword(0x7fffffffu));
    k.SetValue(QStringLiteral("Short dword"), RegValue{REG_DWORD, QByteArray("\1\2", 2)});
    k.SetValue(QString(), RegValue::FromString(QStringLiteral("default")));
    QByteArray longBinary;
    for (int i = 0; i < 300; ++i)
        longBinary.append(char(i));
    k.SetValue(QStringLiteral("Double"), RegValue::FromBinary(longBinary));
    k.SetValue(QStringLiteral("Qword"), RegValue{REG_QWORD, QByteArray(8, '\x11')});
    k.SetValue(QStringLiteral("None"), RegValue{REG_NONE, QByteArray()});
    k.FindOrCreate({QStringLiteral("Empty key")});
    k.FindOrCreate({QStringLiteral("ShowForm"), QStringLiteral("Font [1]")})
        .SetValue(QStringLiteral("Size"), RegValue::FromDword(8));
    root.SetValue(QStringLiteral("At root"), RegValue::FromDword(1));
    return root;
}

TEST(RegFileWriter, OutputReadsBackIntoTheSameTree) {
    const RegKey tree = SampleTree();
    const QByteArray text = RegFileWriter::Format(tree);
    const RegParseResult parsed = RegFileReader::Parse(text);
    ASSERT_TRUE(parsed.Ok()) << parsed.Errors.join(u'\n').toStdString() << "\n"
                             << text.toStdString();
    EXPECT_TRUE(TreeOf(parsed).SameContent(tree)) << text.toStdString();
    for (const QByteArray& line : text.split('\n'))
        EXPECT_LE(line.size(), 80) << line.toStdString();
}

TEST(RegFileWriter, WritesTheUsualForms) {
    EXPECT_EQ(RegFileWriter::FormatValue(QStringLiteral("Digits"), RegValue::FromDword(3)),
              QStringLiteral("\"Digits\"=dword:00000003"));
    EXPECT_EQ(RegFileWriter::FormatValue(QString(), RegValue::FromString(QStringLiteral("C:\\x"))),
              QStringLiteral("@=\"C:\\\\x\""));
    EXPECT_EQ(RegFileWriter::FormatValue(QStringLiteral("f"),
                                         RegValue::FromBinary(QByteArray("\0\x10", 2))),
              QStringLiteral("\"f\"=hex:00,10"));
    EXPECT_EQ(
        RegFileWriter::FormatValue(QStringLiteral("m"), RegValue::FromString(QStringLiteral("\n"))),
        QStringLiteral("\"m\"=hex(1):0a,00,00,00"));
    const QByteArray text = RegFileWriter::Format(SampleTree());
    EXPECT_TRUE(text.startsWith("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER]\n"));
    EXPECT_TRUE(
        text.contains("\n[HKEY_CURRENT_USER\\Software\\Osric Taskel\\Kelvara\\Empty key]\n"));
}

} // namespace
