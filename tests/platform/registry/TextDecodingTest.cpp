// How text files are decoded: byte-order marks first, then valid UTF-8, then Latin-1.
#include "platform/registry/TextDecoding.h"

#include <gtest/gtest.h>

namespace {

using TextDecoding::Encoding;

TEST(TextDecoding, ChoosesTheEncoding) {
    struct Case {
        QByteArray bytes;
        Encoding encoding;
        QString text;
    };
    const Case cases[] = {
        {QByteArray("\xFF\xFE"
                    "a\0\xE9\0",
                    6),
         Encoding::Utf16Le, QStringLiteral("a\u00e9")},
        {QByteArray("\xFE\xFF\0a\0\xE9", 6), Encoding::Utf16Be, QStringLiteral("a\u00e9")},
        {QByteArray("\xFF\xFE"
                    "a\0b",
                    5),
         Encoding::Utf16Le, QStringLiteral("a")}, // odd byte
        {QByteArray("\xEF\xBB\xBF"
                    "a\xC3\xA9"),
         Encoding::Utf8Bom, QStringLiteral("a\u00e9")},
        {QByteArray("a\xC3\xA9"), Encoding::Utf8, QStringLiteral("a\u00e9")},
        {QByteArray("a\xE9"), Encoding::Latin1, QStringLiteral("a\u00e9")},
        {QByteArray("\xC3"), Encoding::Latin1, QStringLiteral("\u00c3")}, // truncated sequence
        {QByteArray(), Encoding::Utf8, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        EXPECT_EQ(TextDecoding::Detect(c.bytes), c.encoding);
        EXPECT_EQ(TextDecoding::Decode(c.bytes), c.text);
    }
}

TEST(TextDecoding, SplitsLinesAtEveryKindOfBreak) {
    EXPECT_EQ(TextDecoding::SplitLines(QStringLiteral("a\r\nb\nc\rd")),
              (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(TextDecoding::SplitLines(QStringLiteral("a\r\n\r\nb\r\n")),
              (QStringList{"a", "", "b"}));
    EXPECT_EQ(TextDecoding::SplitLines(QString()), QStringList());
    EXPECT_EQ(TextDecoding::SplitLines(QStringLiteral("\r\n")), QStringList{QString()});
}

} // namespace
