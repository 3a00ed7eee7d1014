// The platform filters are registered under the program's names and class identifiers with
// merits and pin types, so that filters are created by class, intelligent connect inserts the
// right splitter for a file source's stream and the right decoder for each codec, and a graph
// builder callback that refuses a decoder gets the next one.
#include "platform/com/CUnknown.h"
#include "platform/com/ClassRegistry.h"
#include "platform/filters/FilterGuids.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SourceInterfaces.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/PlaybackGraph.h"
#include "tests/platform/graph/testkit/GraphTestBed.h"

#include <set>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

struct TNamed {
    const char* clsid;
    const char* name;
    bool fileSource;
};

const TNamed kNamed[] = {
    {"{E436EBB5-524F-11CE-9F53-0020AF0BA770}", "File Source (Async.)", true},
    {"{1B544C20-FD0B-11CE-8C63-00AA0044B51E}", "AVI Splitter", false},
    {"{187463A0-5BB7-11D3-ACBE-0080C75E246E}", "WM ASF Reader", true},
    {"{D51BD5A1-7548-11CF-A520-0080C77EF58A}", "Wave Parser", false},
    {"{3AE86B20-7BE8-11D1-ABE6-00A0C905F375}", "MPEG-2 Splitter", false},
    {"{336475D0-942A-11CE-A870-00AA002FEAB5}", "MPEG-I Stream Splitter", false},
    {"{B98D13E7-55DB-4385-A33D-09FD1BA26338}", "LAV Splitter Source", true},
    {"{171252A0-8820-4AFE-9DF8-5C92B2D66B04}", "LAV Splitter", false},
    {"{4EB31670-9FC6-11CF-AF6E-00AA00B67A42}", "DV Splitter", false},
    {"{212690FB-83E5-4526-8FD7-74478B7939CD}", "Microsoft DTV-DVD Video Decoder", false},
    {"{E1F1A0B8-BEEE-490D-BA7C-066C40B5E2B9}", "Microsoft DTV-DVD Audio Decoder", false},
    {"{B1B77C00-C3E4-11CF-AF79-00AA00B67A42}", "DV Video Decoder", false},
};

TEST(Registration, EveryFilterUnderItsNameAndClass) {
    RegisterPlatformFilters();
    for (const TNamed& n : kNamed) {
        SCOPED_TRACE(n.name);
        GUID clsid;
        ASSERT_TRUE(GuidFromLatin1(n.clsid, std::strlen(n.clsid), &clsid));
        const std::optional<TRegFilter> reg = TClassRegistry::Instance().FindFilter(clsid);
        ASSERT_TRUE(reg);
        EXPECT_EQ(reg->name.toStdString(), n.name);
        EXPECT_GT(reg->merit, MERIT_DO_NOT_USE);
        ComPtr<IBaseFilter> filter = CreateInstanceOf<IBaseFilter>(clsid);
        ASSERT_TRUE(filter);
        CLSID created;
        filter->GetClassID(&created);
        EXPECT_EQ(created, clsid);
        EXPECT_EQ(bool(filter.As<IFileSourceFilter>()), n.fileSource);
    }
}

TEST(Registration, IsDoneOnce) {
    RegisterPlatformFilters();
    const size_t count = TClassRegistry::Instance().Filters().size();
    RegisterPlatformFilters();
    EXPECT_EQ(TClassRegistry::Instance().Filters().size(), count);
}

struct TChoice {
    const char* file;
    const char* kind;
    QStringList args;
    CLSID source, splitter;
    const char* videoDecoder;
    const char* audioDecoder; // the filter before the audio sink
};

std::ostream& operator<<(std::ostream& os, const TChoice& c) {
    return os << c.file;
}

class DecoderChoice : public testing::TestWithParam<TChoice> {};

TEST_P(DecoderChoice, IntelligentConnectInsertsTheDecoderOfTheCodec) {
    const TChoice& c = GetParam();
    TPlaybackGraph graph;
    ASSERT_EQ(graph.Open(Clip(c.file, c.kind, c.args + QStringList{"--seconds", "1"}), c.source,
                         c.splitter),
              S_OK);
    EXPECT_EQ(graph.VideoDecoderName().toStdString(), c.videoDecoder);
    EXPECT_EQ(graph.AudioDecoderName().toStdString(), c.audioDecoder);
}

const TChoice kChoices[] = {
    {"choice-dv.avi",
     "dv",
     {},
     CLSID_AsyncReader,
     CLSID_AviSplitter,
     "DV Video Decoder",
     "Splitter"},
    {"choice-dv1.avi",
     "dv",
     {"--avi-type", "1"},
     CLSID_AsyncReader,
     CLSID_AviSplitter,
     "DV Video Decoder",
     "DV Splitter"},
    {"choice.vob",
     "mpeg2",
     {},
     CLSID_AsyncReader,
     CLSID_MMSPLITTER,
     "FFmpeg Video Decoder",
     "FFmpeg Audio Decoder"},
    {"choice.mp4",
     "h264-mp4",
     {},
     CLSID_LAVSplitterSource,
     GUID_NULL,
     "FFmpeg Video Decoder",
     "FFmpeg Audio Decoder"},
};

INSTANTIATE_TEST_SUITE_P(Codecs, DecoderChoice, testing::ValuesIn(kChoices),
                         [](const testing::TestParamInfo<TChoice>& info) {
                             return "Case" + std::to_string(info.index);
                         });

// A site that refuses the decoders it is told, as the program's decoder manager does.
class TRefusingSite : public CUnknown, public IAMGraphBuilderCallback {
public:
    explicit TRefusingSite(std::set<GUID> refused) : FRefused(std::move(refused)) {}
    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IAMGraphBuilderCallback)
            return GetInterface(static_cast<IAMGraphBuilderCallback*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    HRESULT SelectedFilter(IMoniker* moniker) override {
        CLSID clsid;
        moniker->GetClassID(&clsid);
        return FRefused.count(clsid) ? E_FAIL : S_OK;
    }
    HRESULT CreatedFilter(IBaseFilter*) override { return S_OK; }

private:
    IUnknown* UnknownInterface() override { return static_cast<IAMGraphBuilderCallback*>(this); }
    std::set<GUID> FRefused;
};

struct TRefusal {
    const char* file;
    const char* kind;
    CLSID source, splitter;
    std::set<GUID> refused;
    const char* decoder; // empty: the video cannot be connected
};

std::ostream& operator<<(std::ostream& os, const TRefusal& c) {
    return os << c.file << " without " << c.refused.size() << " decoders";
}

class RefusedDecoders : public testing::TestWithParam<TRefusal> {};

TEST_P(RefusedDecoders, LeaveTheNextOne) {
    const TRefusal& c = GetParam();
    TPlaybackGraph graph;
    ComPtr<TRefusingSite> site = MakeComObject<TRefusingSite>(c.refused);
    QueryInterfaceOf<IObjectWithSite>(graph.Graph())
        ->SetSite(static_cast<IAMGraphBuilderCallback*>(site.Get()));
    const QString path = Clip(c.file, c.kind, {"--seconds", "1"});
    ASSERT_EQ(graph.Open(path, c.source, c.splitter), S_OK);
    EXPECT_EQ(graph.VideoDecoderName().toStdString(), c.decoder);
    if (*c.decoder) {
        EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
        EXPECT_EQ(graph.Video()->ShownCount(), 25u);
    }
    QueryInterfaceOf<IObjectWithSite>(graph.Graph())->SetSite(nullptr);
}

const TRefusal kRefusals[] = {
    {"refuse.vob",
     "mpeg2",
     CLSID_AsyncReader,
     CLSID_MMSPLITTER,
     {CLSID_FFmpegVideoDecoder},
     "Microsoft DTV-DVD Video Decoder"},
    {"refuse.mp4",
     "h264-mp4",
     CLSID_LAVSplitterSource,
     GUID_NULL,
     {CLSID_MSDTVDVDVideoDecoder},
     "FFmpeg Video Decoder"},
    {"refuse.avi",
     "dv",
     CLSID_AsyncReader,
     CLSID_AviSplitter,
     {CLSID_DVVideoCodec},
     "FFmpeg Video Decoder"},
    {"refuse2.avi",
     "dv",
     CLSID_AsyncReader,
     CLSID_AviSplitter,
     {CLSID_DVVideoCodec, CLSID_FFmpegVideoDecoder},
     ""},
};

INSTANTIATE_TEST_SUITE_P(Decoders, RefusedDecoders, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<TRefusal>& info) {
                             return "Case" + std::to_string(info.index);
                         });

struct TStreamChoice {
    const char* file;
    const char* kind;
    QStringList args;
    const char* splitter;
};

// A file source alone: connecting its stream towards a renderer inserts the splitter of the
// stream's kind, then the decoder (how the program's stream devices find their parser).
TEST(StreamSplitters, AreFoundForTheFileSourcesStream) {
    const TStreamChoice choices[] = {
        {"stream.avi", "dv", {}, "AVI Splitter"},
        {"stream.vob", "mpeg2", {}, "MPEG-2 Splitter"},
        {"stream.mpg", "mpeg1", {}, "MPEG-I Stream Splitter"},
        {"stream.dv", "dv", {}, "LAV Splitter"},
        {"stream.mkv", "h264-mkv", {}, "LAV Splitter"},
    };
    for (const TStreamChoice& c : choices) {
        SCOPED_TRACE(c.file);
        TPlaybackGraph graph;
        ASSERT_EQ(graph.Open(Clip(c.file, c.kind, c.args + QStringList{"--seconds", "1"}),
                             CLSID_AsyncReader),
                  S_OK);
        ComPtr<IPin> peer;
        ASSERT_EQ(PinOf(graph.Source(), PINDIR_OUTPUT)->ConnectedTo(peer.ReleaseAndGetAddressOf()),
                  S_OK);
        FILTER_INFO info;
        FilterOf(peer.Get())->QueryFilterInfo(&info);
        if (info.pGraph)
            info.pGraph->Release();
        EXPECT_EQ(FromWStr(info.achName).toStdString(), c.splitter);
        EXPECT_TRUE(graph.HasVideo());
        EXPECT_EQ(graph.PlayToEnd(), EC_COMPLETE);
    }
}

} // namespace
