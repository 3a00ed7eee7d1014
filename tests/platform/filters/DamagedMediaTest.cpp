// Damaged media plays what can be decoded, as FFmpeg's own tools do: a DV tape whose first frame
// is a dropout, MPEG-2 streams with flipped bits (a damaged pack header at the start, a damaged
// first time stamp, damaged time stamps that mislead a search), and a stream whose sequence
// headers claim 0 x 0, which has video that nothing can decode rather than no video.
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/PlaybackGraph.h"
#include "tests/platform/filters/support/ReferenceDecoder.h"

#include <random>

#include <QFile>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TPair {
    CLSID source, splitter;
};
const TPair kLav{CLSID_LAVSplitterSource, GUID_NULL};
const TPair kAvi{CLSID_AsyncReader, CLSID_AviSplitter};
const TPair kMpeg2{CLSID_AsyncReader, CLSID_MMSPLITTER};

constexpr int kDVFrameBytes = 144000;

QByteArray Bytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The payload of the first video chunk of an AVI file's movi list.
qsizetype FirstVideoChunk(const QByteArray& avi, qsizetype* size) {
    qsizetype at = avi.indexOf("movi") + 4;
    while (at > 3 && at + 8 <= avi.size()) {
        const QByteArray id = avi.mid(at, 4);
        const auto* p = reinterpret_cast<const uchar*>(avi.constData() + at + 4);
        const qsizetype length = qsizetype(p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24);
        if (id.endsWith("dc") || id.endsWith("db")) {
            *size = length;
            return at + 8;
        }
        at += 8 + length + (length & 1);
    }
    return -1;
}

TEST(DamagedMedia, ADVTapeWhoseFirstFrameIsADropoutPlaysTheRest) {
    struct TCase {
        const char* name;
        QStringList args;
        TPair reader;
    };
    const QStringList tenFrames{"--seconds", "0.4"};
    for (const TCase& c :
         {TCase{"dropout.dv", tenFrames, kLav},
          TCase{"dropout-1.avi", tenFrames + QStringList{"--avi-type", "1"}, kAvi},
          TCase{"dropout-2.avi", tenFrames + QStringList{"--avi-type", "2"}, kAvi}}) {
        SCOPED_TRACE(c.name);
        QByteArray bytes = Bytes(Clip(QString::fromLatin1(c.name), "dv", c.args));
        qsizetype frame = 0, size = kDVFrameBytes;
        if (QString::fromLatin1(c.name).endsWith(".avi"))
            frame = FirstVideoChunk(bytes, &size);
        ASSERT_GE(frame, 0);
        ASSERT_EQ(size, kDVFrameBytes);
        bytes.replace(frame, size, QByteArray(size, '\0'));
        const QString path = WriteFile(QStringLiteral("zeroed-") + c.name, bytes);
        TPlaybackGraph graph;
        ASSERT_EQ(graph.Open(path, c.reader.source, c.reader.splitter), S_OK);
        ASSERT_TRUE(graph.HasVideo());
        EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
        EXPECT_GE(graph.Video()->ShownCount(), 9u);
        // The TV system comes from the frames the tape recorded: PAL.
        EXPECT_EQ(graph.Video()->Height(), 576);
    }
}

TEST(DamagedMedia, AnMpeg2StreamWithFlippedBitsPlaysWhatFFmpegDecodes) {
    const QByteArray clean = Bytes(Clip("flipped.mpg", "mpeg2", {"--seconds", "1"}));
    // Seeds whose damage hit, in the clip of this test, the first pack header (3), time stamps
    // that a search by time trips over (4) and the first picture's time stamp (143).
    for (const unsigned seed : {3u, 4u, 143u}) {
        SCOPED_TRACE(seed);
        QByteArray bytes = clean;
        std::mt19937 bits(seed);
        for (int i = 0; i < 1000; ++i) {
            const size_t bit = bits() % (size_t(bytes.size()) * 8);
            bytes[qsizetype(bit / 8)] = char(bytes[qsizetype(bit / 8)] ^ (1 << (bit % 8)));
        }
        const QString path = WriteFile(QStringLiteral("flipped-%1.mpg").arg(seed), bytes);
        const int decodable = DecodeReference(path.toStdString(), {}).frameCount;
        ASSERT_GT(decodable, 5);
        for (const TPair& pair : {kLav, kMpeg2}) {
            TPlaybackGraph graph;
            ASSERT_EQ(graph.Open(path, pair.source, pair.splitter), S_OK);
            EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
            EXPECT_GE(int(graph.Video()->ShownCount()), decodable - 1);
        }
    }
}

TEST(DamagedMedia, AStreamWhoseSequenceHeadersClaimNoSizeHasVideoThatCannotBeDecoded) {
    QByteArray bytes = Bytes(Clip("no-size.mpg", "mpeg2", {"--seconds", "1"}));
    const QByteArray sequenceHeader("\x00\x00\x01\xb3", 4);
    int patched = 0;
    for (qsizetype at = bytes.indexOf(sequenceHeader); at >= 0 && at + 7 <= bytes.size();
         at = bytes.indexOf(sequenceHeader, at + 4), ++patched)
        bytes.replace(at + 4, 3, QByteArray(3, '\0')); // 12 bits of width, 12 of height
    ASSERT_GT(patched, 0);
    const QString path = WriteFile("no-size.mpg", bytes);
    for (const TPair& pair : {kLav, kMpeg2}) {
        TPlaybackGraph graph;
        ASSERT_EQ(graph.Open(path, pair.source, pair.splitter), S_OK);
        EXPECT_EQ(graph.StreamType(MEDIATYPE_Video).majortype, MEDIATYPE_Video);
        EXPECT_FALSE(graph.HasVideo());
        EXPECT_TRUE(graph.HasAudio());
    }
}

} // namespace
