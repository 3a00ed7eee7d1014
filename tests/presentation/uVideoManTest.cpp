// The video manager on real clips: the no-video message before any video, a clip connected
// through a decoder and the frame keeper with its format and aspect reported, the forced aspects,
// a disconnect that keeps or changes the state, and a stream that no decoder can show.
#include "presentation/uVideoMan.h"

#include "commands/uNopeAction.h"
#include "media/uMediaFactory.h"
#include "media/uNavMan.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/graph/Enumerators.h"
#include "platform/ui/ProcessMessages.h"
#include "presentation/uVideoPictures.h"
#include "shell/uLinkEdit.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

class VideoMan : public testing::Test {
protected:
    void SetUp() override {
        factory.SetGrapheMan(&nav);
        man.BuildActions();
        man.OnNotifyVideoDecoder = [this](const QString& name) { decoders << name; };
        man.OnNotifyVideoFormat = [this](const QString& text) { formats << text; };
        host.resize(480, 360);
        host.show();
        man.SetWindow(&host);
    }
    QString Make(const QString& name, QStringList args) {
        const QString path = dir.filePath(name);
        args.insert(1, path);
        const TRun r = RunTool(QStringLiteral("kelvara-mksample"), args);
        EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        return path;
    }
    bool WaitFor(const std::function<bool()>& done) {
        QElapsedTimer t;
        t.start();
        while (!done() && t.elapsed() < 5000)
            ProcessMessages();
        return done();
    }
    struct TRegistered {
        TRegistered() { RegisterPlatformFilters(); }
    };
    TRegistered registered; // before the component makes its renderer
    QTemporaryDir dir;
    QWidget host;
    TNavMan nav;
    TMediaFactory factory;
    TVideoMan man;
    QStringList decoders, formats;
};

TEST_F(VideoMan, BeforeAnyVideoTheNoVideoMessageIsShown) {
    EXPECT_EQ(man.VideoState(), TVideoMan::vsNoVideo);
    EXPECT_TRUE(man.MessageLabel()->isVisible());
    EXPECT_TRUE(man.MessageLabel()->PlainText().contains(
        QStringLiteral("No video stream has been connected")));
    ASSERT_TRUE(man.MessagePicture()->isVisible());
    const QImage picture = man.MessagePicture()->pixmap().toImage();
    EXPECT_EQ(picture.size(), QSize(192, 192));
    EXPECT_EQ(picture.pixel(2, 2) & 0xFFFFFFu, 0x0000FFu); // plain blue
    // Centred above the label, which sits 8 pixels from the bottom.
    EXPECT_EQ(man.MessagePicture()->x(), (480 - 192) / 2);
    EXPECT_EQ(man.MessageLabel()->geometry(), QRect(8, 360 - 32 - 8, 480 - 16, 32));
    host.grab().save(QStringLiteral("videoman-no-video.png"));
}

TEST_F(VideoMan, AClipPlaysThroughTheKeeperWithItsFormatAndAspect) {
    TFileDevice* device = factory.GetDevice(
        Make(QStringLiteral("wide.mpg"), {"mpeg2", "--seconds", "1", "--no-audio"}));
    ASSERT_TRUE(device && device->VideoSource(0));
    ASSERT_TRUE(man.ConnectVideoSource(device->VideoSource(0)));
    EXPECT_EQ(man.VideoState(), TVideoMan::vsVideo);
    EXPECT_FALSE(man.MessageLabel()->isVisible());
    EXPECT_FALSE(man.MessagePicture()->isVisible());
    ASSERT_FALSE(decoders.isEmpty());
    EXPECT_NE(decoders.last(), QStringLiteral("No Video decoder"));
    // The keeper feeds the renderer.
    ComPtr<IBaseFilter> keeper;
    ASSERT_EQ(
        nav.GraphBuilder()->FindFilterByName(FramesNotifierName, keeper.ReleaseAndGetAddressOf()),
        S_OK);
    EXPECT_EQ(nav.FramesNotifier(), man.FramesNotifier());
    EXPECT_TRUE(man.ConnectVideoSource(device->VideoSource(0))) << "the same source again";

    ASSERT_TRUE(nav.Pause());
    nav.WaitForRenderer();
    ASSERT_TRUE(WaitFor([&] { return !formats.isEmpty(); }));
    EXPECT_TRUE(formats.last().contains(QStringLiteral("720"))) << formats.last().toStdString();
    // The PAL clip is 16:9.
    ASSERT_TRUE(WaitFor([&] { return man.AspectX() == 16; }));
    EXPECT_EQ(man.AspectY(), 9);
    const TRect wide = man.WindowVideoRect();
    EXPECT_NEAR(double(wide.Width()) / wide.Height(), 16.0 / 9.0, 0.02);
    host.grab().save(QStringLiteral("videoman-paused-16x9.png"));
    man.SetForcedAspect(TVideoMan::faFourThree);
    EXPECT_EQ(std::make_pair(man.AspectX(), man.AspectY()), std::make_pair(4, 3));
    man.SetForcedAspect(TVideoMan::faNative);
    EXPECT_EQ(std::make_pair(man.AspectX(), man.AspectY()), std::make_pair(720, 576));
    man.SetForcedAspect(TVideoMan::faNormal);
    EXPECT_EQ(man.AspectX(), 16);

    // Before another file the video goes without the no-video message.
    man.DisconnectVideo(false);
    EXPECT_EQ(man.VideoState(), TVideoMan::vsVideo);
    EXPECT_FALSE(man.MessageLabel()->isVisible());
    EXPECT_EQ(decoders.last(), QStringLiteral("No Video decoder"));
    EXPECT_EQ(formats.last(), QStringLiteral("No Video"));
    EXPECT_TRUE(FiltersOf(nav.GraphBuilder()).empty());
    man.DisconnectVideo(true);
    EXPECT_EQ(man.VideoState(), TVideoMan::vsNoVideo);
    EXPECT_TRUE(man.MessageLabel()->isVisible());
}

TEST_F(VideoMan, AStreamNoDecoderCanShowGivesTheBadVideoMessage) {
    QFile file(Make(QStringLiteral("sized.mpg"), {"mpeg2", "--seconds", "1"}));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    const QByteArray sequenceHeader("\x00\x00\x01\xb3", 4);
    for (qsizetype at = bytes.indexOf(sequenceHeader); at >= 0 && at + 7 <= bytes.size();
         at = bytes.indexOf(sequenceHeader, at + 4))
        bytes.replace(at + 4, 3, QByteArray(3, '\0')); // a size of 0 x 0
    const QString path = dir.filePath(QStringLiteral("no-size.mpg"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    TFileDevice* device = factory.GetDevice(path);
    ASSERT_TRUE(device && device->VideoSource(0));
    EXPECT_FALSE(man.ConnectVideoSource(device->VideoSource(0)));
    EXPECT_EQ(man.VideoState(), TVideoMan::vsBadVideo);
    EXPECT_TRUE(man.MessageLabel()->PlainText().contains(
        QStringLiteral("The video stream could not be decoded")));
    EXPECT_EQ(man.MessagePicture()->pixmap().toImage(), BadVideoPicture());
    EXPECT_EQ(decoders.last(), QStringLiteral("No Video decoder"));
    EXPECT_EQ(man.CurrentSource(), NoVideoSource());
    host.grab().save(QStringLiteral("videoman-bad-video.png"));
}

} // namespace
