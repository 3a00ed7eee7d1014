// Files into devices: the media factory's choice by extension and its fallbacks, the tree of
// devices and sources that real clips give (DV type 1 through the DV splitter, a raw DV file
// through the platform's parser, an MP4 named .avi through the default source), and sources
// connected into and disconnected from the program's graph.
#include "media/uMediaFactory.h"

#include "platform/com/ClassRegistry.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "tests/taps/KelvaraInfoSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

int FiltersIn(IGraphBuilder* graph) {
    return int(FiltersOf(graph).size());
}

TEST(TMediaFactory, TheExtensionIsTheLastDotAfterTheLastFolder) {
    EXPECT_EQ(TMediaFactory::ExtensionOf(QStringLiteral("/clips/a.b/Clip.MKV")), ".mkv");
    EXPECT_EQ(TMediaFactory::ExtensionOf(QStringLiteral("/clips/a.b/clip")), QString());
    EXPECT_EQ(TMediaFactory::ExtensionOf(QStringLiteral("C:\\a.b\\clip")), QString());
    EXPECT_EQ(TMediaFactory::ExtensionOf(QStringLiteral("D:clip")), QString());
    EXPECT_EQ(TMediaFactory::ExtensionOf(QStringLiteral("clip.tar.Avi")), ".avi");
}

class Devices : public testing::Test {
protected:
    void SetUp() override {
        RegisterPlatformFilters();
        factory.SetGrapheMan(&graph);
    }
    QString Make(const QString& name, QStringList args) {
        const QString path = dir.filePath(name);
        args.insert(1, path);
        const TRun r = RunTool(QStringLiteral("kelvara-mksample"), args);
        EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        return path;
    }
    QTemporaryDir dir;
    TGrapheMan graph;
    TMediaFactory factory;
    TMessageWindow window{[](TMessage& m) { m.Result = 0; }};
};

TEST_F(Devices, DVType1GivesADVDeviceWhoseSourcesTheFileOffers) {
    const QString path = Make(QStringLiteral("t1.avi"),
                              {"dv", "--system", "pal", "--seconds", "0.4", "--avi-type", "1"});
    TFileDevice* device = factory.GetDevice(path);
    ASSERT_TRUE(device);
    ASSERT_TRUE(device->Built());
    EXPECT_EQ(device->SplitterRecord()->Name(), QStringLiteral("AVI Splitter"));
    EXPECT_EQ(device->DVCount(), 1);
    EXPECT_EQ(device->StreamCount(), 0);
    EXPECT_EQ(device->VideoCount(), 1);
    EXPECT_EQ(device->AudioCount(), 1);
    EXPECT_EQ(device->DVDevice(0)->DisplayName(), QStringLiteral("t1.avi"));
    EXPECT_EQ(device->VideoSource(0)->Parent(), device->DVDevice(0));
    EXPECT_EQ(device->VideoSource(0)->Root(), device);
    EXPECT_EQ(device->VideoSource(1), nullptr);
    EXPECT_EQ(FiltersIn(graph.GraphBuilder()), 0) << "the probe leaves nothing behind";
    EXPECT_EQ(factory.GetDevice(path), device) << "cached";
    EXPECT_EQ(device->OwnerGraph, &graph);

    // Both sources into the graph; the device stays while one of them is connected.
    TVideoSource* video = device->VideoSource(0);
    TAudioSource* audio = device->AudioSource(0);
    ASSERT_TRUE(video->Connect(&graph, window.Handle()));
    ASSERT_TRUE(audio->Connect(&graph, window.Handle()));
    EXPECT_TRUE(video->Connect(&graph, window.Handle())) << "already connected";
    EXPECT_TRUE(video->Tap()->IsDVDevice());
    EXPECT_EQ(video->Key().Major, MEDIATYPE_Video);
    EXPECT_EQ(graph.AttachedVideoSources, (std::vector<TVideoSource*>{video}));
    const int full = FiltersIn(graph.GraphBuilder());
    EXPECT_GE(full, 6); // file source, AVI splitter, DV stage, DV splitter, two taps
    ASSERT_TRUE(video->Disconnect());
    EXPECT_EQ(FiltersIn(graph.GraphBuilder()), full - 1);
    ASSERT_TRUE(audio->Disconnect());
    EXPECT_EQ(FiltersIn(graph.GraphBuilder()), 0);
    EXPECT_TRUE(graph.AttachedVideoSources.empty());
    // And again, as when the same file is opened a second time.
    ASSERT_TRUE(video->Connect(&graph, window.Handle()));
    EXPECT_TRUE(video->Disconnect());
}

TEST_F(Devices, ARawStreamGoesThroughTheParserThePlatformChooses) {
    const QString path =
        Make(QStringLiteral("raw.dv"), {"dv", "--system", "ntsc", "--seconds", "0.4"});
    TFileDevice* device = factory.GetDevice(path);
    ASSERT_TRUE(device && device->Built());
    EXPECT_EQ(device->SplitterRecord(), nullptr);
    EXPECT_EQ(device->StreamCount(), 1);
    EXPECT_EQ(device->VideoCount(), device->StreamDevice(0)->VideoCount());
    EXPECT_GE(device->VideoCount(), 1);
    ASSERT_TRUE(device->VideoSource(0)->Connect(&graph, window.Handle()));
    EXPECT_TRUE(device->VideoSource(0)->Disconnect());
    EXPECT_EQ(FiltersIn(graph.GraphBuilder()), 0);
}

TEST_F(Devices, AnAviTheAviSplitterRefusesOpensThroughTheDefaultSource) {
    const QString path = Make(QStringLiteral("not-avi.AVI"), {"h264-mp4", "--seconds", "0.4"});
    TFileDevice* device = factory.GetDevice(path);
    ASSERT_TRUE(device && device->Built());
    EXPECT_EQ(device->SourceRecord()->Name(), QStringLiteral("LAV Splitter Source"));
    EXPECT_EQ(device->SplitterRecord(), nullptr);
    EXPECT_EQ(device->VideoCount(), 1);
    EXPECT_EQ(device->AudioCount(), 1);
}

TEST_F(Devices, AFileNoCandidateReadsGivesADeviceWithNothing) {
    const QString path = Make(QStringLiteral("noise.mp4"), {"random", "--bytes", "5000"});
    TFileDevice* device = factory.GetDevice(path);
    ASSERT_TRUE(device);
    EXPECT_FALSE(device->Built());
    EXPECT_EQ(device->VideoCount() + device->AudioCount() + device->DVCount(), 0);
    EXPECT_EQ(FiltersIn(graph.GraphBuilder()), 0);
}

// The source record's name is taken in the graph: the file source goes in as name_1.
TEST_F(Devices, ASourceNameTakenInTheGraphGetsANumber) {
    const QString path = Make(QStringLiteral("a.wav"), {"wav", "--seconds", "0.3"});
    TFileDevice* device = factory.GetDevice(path);
    ASSERT_TRUE(device && device->Built());
    ComPtr<IBaseFilter> squatter = CreateInstanceOf<IBaseFilter>(CLSID_AsyncReader);
    ASSERT_EQ(graph.GraphBuilder()->AddFilter(squatter.Get(), u"File Source (Async.)"), S_OK);
    ASSERT_TRUE(device->AudioSource(0)->Connect(&graph, window.Handle()));
    ComPtr<IBaseFilter> found;
    EXPECT_EQ(graph.GraphBuilder()->FindFilterByName(u"File Source (Async.)_1",
                                                     found.ReleaseAndGetAddressOf()),
              S_OK);
    EXPECT_TRUE(device->AudioSource(0)->Disconnect());
    graph.GraphBuilder()->RemoveFilter(squatter.Get());
}

// The program's graph goes before the factory's cached devices (at exit): the blocks built into
// it let it go instead of reaching into it.
TEST_F(Devices, BlocksOutlivingTheirGraphManagerLetItGo) {
    const QString path = Make(QStringLiteral("b.wav"), {"wav", "--seconds", "0.3"});
    TMediaFactory own;
    auto ownGraph = std::make_unique<TGrapheMan>();
    own.SetGrapheMan(ownGraph.get());
    TFileDevice* device = own.GetDevice(path);
    ASSERT_TRUE(device && device->Built());
    TAudioSource* audio = device->AudioSource(0);
    ASSERT_TRUE(audio->Connect(ownGraph.get(), window.Handle()));
    ownGraph.reset();
    EXPECT_EQ(audio->GrapheMan(), nullptr);
    EXPECT_EQ(device->GrapheMan(), nullptr);
    EXPECT_EQ(own.GetDevice(path), nullptr) << "no graph manager, no device";
}

} // namespace
