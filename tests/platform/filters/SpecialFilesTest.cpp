// Files that are not what a video file should be: a pipe, a device or a folder named like a
// video is refused at once by every filter that opens a path; a name that is not UTF-8 opens;
// a playlist or a list of other files is refused whatever it is called, without the files it
// names ever being opened.
#include "platform/filters/FilePaths.h"
#include "platform/graph/MediaGuids.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/PlaybackGraph.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TPair {
    CLSID source, splitter;
};
const TPair kLav{CLSID_LAVSplitterSource, GUID_NULL};
const TPair kFileLav{CLSID_AsyncReader, CLSID_LAVSplitter};
const TPair kMpeg2{CLSID_AsyncReader, CLSID_MMSPLITTER};

// The filters that open a path themselves.
const CLSID kPathReaders[] = {CLSID_AsyncReader, CLSID_LAVSplitterSource, CLSID_WMAsfReader};

TEST(SpecialFiles, PipesDevicesAndFoldersAreRefusedByEveryReader) {
    const QString fifo = ClipFolder() + "/pipe.avi";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // The test holds both ends open, so that a reader that did open the pipe would find a
    // writer and not wait for one: such a reader fails the test instead of hanging it.
    const int held = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::write(held, "RIFF", 4), 4);
    QDir().mkpath(ClipFolder() + "/folder.mpg");
    for (const QString& path : {fifo, QStringLiteral("/dev/null"), ClipFolder() + "/folder.mpg"}) {
        for (const CLSID& reader : kPathReaders) {
            SCOPED_TRACE(path.toStdString());
            TPlaybackGraph graph;
            EXPECT_EQ(graph.OpenStreams(path, reader), KELVARA_E_NOT_REGULAR_FILE);
        }
    }
    ::close(held);
}

TEST(SpecialFiles, ANameThatIsNotUtf8Opens) {
    // Names and their text go both ways unchanged, whatever the bytes.
    for (const QByteArray& bytes :
         {QByteArray("clip-\xff.mpg"), QByteArray("caf\xc3\xa9/\xe6\x97\xa5.mpg"),
          QByteArray("cut \xc3"), QByteArray("overlong \xe0\x80\xaf"),
          QByteArray("surrogate \xed\xa0\x80"), QByteArray("beyond \xf4\x90\x80\x80"),
          QByteArray("\x80\xbf plain")}) {
        EXPECT_EQ(PathBytes(PathFromBytes(bytes)), bytes) << bytes.toHex().toStdString();
    }
    EXPECT_EQ(PathFromBytes("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(PathFromBytes("a\xff"), QString("a") + QChar(char16_t(0xDCFF)));

    QFile clip(Clip("named.mpg", "mpeg2", {"--seconds", "1"}));
    ASSERT_TRUE(clip.open(QIODevice::ReadOnly));
    const QByteArray bytes = clip.readAll();
    const QByteArray name = QFile::encodeName(ClipFolder()) + "/clip-\xff\xfe.mpg";
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
    for (const TPair& pair : {kLav, kMpeg2}) {
        TPlaybackGraph graph;
        ASSERT_EQ(graph.Open(PathFromBytes(name), pair.source, pair.splitter), S_OK);
        EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
        EXPECT_EQ(graph.Video()->ShownCount(), 25u);
    }
}

// Watches a file for being opened (by this process or any other).
class TOpenWatch {
public:
    explicit TOpenWatch(const QString& path)
        : FNotify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          FWatch(::inotify_add_watch(FNotify, QFile::encodeName(path).constData(), IN_OPEN)) {}
    ~TOpenWatch() { ::close(FNotify); }
    bool Watching() const { return FNotify >= 0 && FWatch >= 0; }
    bool Opened() const {
        alignas(inotify_event) char events[4096];
        return ::read(FNotify, events, sizeof events) > 0;
    }

private:
    int FNotify;
    int FWatch;
};

TEST(SpecialFiles, PlaylistsAndListsOfFilesOpenNothing) {
    const QString named = Clip("named.mpg", "mpeg2", {"--seconds", "1"});
    const QByteArray hls = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n"
                           "#EXT-X-MEDIA-SEQUENCE:0\n#EXTINF:1.0,\n" +
                           QFile::encodeName(named) + "\n#EXT-X-ENDLIST\n";
    const QByteArray concat = "ffconcat version 1.0\nfile '" + QFile::encodeName(named) + "'\n";
    struct TCase {
        const char* name;
        QByteArray text;
    };
    for (const TCase& c : {TCase{"list.m3u8", hls}, TCase{"list.avi", hls},
                           TCase{"list.ffconcat", concat}, TCase{"concat.mpg", concat}}) {
        SCOPED_TRACE(c.name);
        const QString path = WriteFile(QString::fromLatin1(c.name), c.text);
        TOpenWatch watch(named);
        ASSERT_TRUE(watch.Watching());
        for (const TPair& pair : {kLav, kFileLav}) {
            TPlaybackGraph graph;
            EXPECT_TRUE(FAILED(graph.OpenStreams(path, pair.source, pair.splitter)));
        }
        TPlaybackGraph graph;
        const HRESULT byName = graph.OpenStreams(path, kLav.source);
        EXPECT_TRUE(byName == KELVARA_E_REFERS_TO_OTHER_FILES || byName == VFW_E_UNSUPPORTED_STREAM)
            << HResultName(byName).toStdString();
        EXPECT_FALSE(watch.Opened());
    }
}

} // namespace
