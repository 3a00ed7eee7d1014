// What the video tap, the audio tap and the DV stage share: media type locking, the transform
// check and the output type.
#include "taps/uAudioNotifier.h"
#include "taps/uDVcodeNotifier.h"
#include "taps/uVideoNotifier.h"
#include "tests/taps/TapBench.h"

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

template <typename TFilter>
class TypeLocking : public testing::Test {};

using LockedFilters = testing::Types<TVideoNotifier, TAudioNotifier, TDVCodeNotifier>;
TYPED_TEST_SUITE(TypeLocking, LockedFilters);

HRESULT Reconnect(IGraphBuilder* graph, IBaseFilter* filter, const AM_MEDIA_TYPE& type) {
    ComPtr<TTapFeeder> feeder = MakeComObject<TTapFeeder>(type, 1024);
    graph->AddFilter(feeder.Get(), nullptr);
    return graph->ConnectDirect(PinOf(feeder.Get(), PINDIR_OUTPUT).Get(),
                                PinOf(filter, PINDIR_INPUT).Get(), nullptr);
}

TYPED_TEST(TypeLocking, AnyTypeUntilConnectedThenOnlyTheSameKind) {
    const AM_MEDIA_TYPE yuy2 = VideoInfoType(MEDIASUBTYPE_YUY2, 320, 240, 400000);
    const AM_MEDIA_TYPE rgb = VideoInfoType(MEDIASUBTYPE_RGB32, 320, 240, 400000);
    TTapBench<TypeParam> b(yuy2, 320 * 240 * 2);
    EXPECT_EQ(b.filter->CheckInputType(&rgb), S_OK);
    ASSERT_EQ(b.Connect(), S_OK);
    EXPECT_EQ(b.filter->LockedType(),
              (TMediaTypeKey{MEDIATYPE_Video, MEDIASUBTYPE_YUY2, FORMAT_VideoInfo}));
    ComPtr<IPin> input = PinOf(b.filter.Get(), PINDIR_INPUT);
    ASSERT_EQ(b.graph->Disconnect(PinOf(b.feeder.Get(), PINDIR_OUTPUT).Get()), S_OK);
    ASSERT_EQ(b.graph->Disconnect(input.Get()), S_OK);
    EXPECT_EQ(b.filter->CheckInputType(&rgb), E_FAIL);
    EXPECT_TRUE(FAILED(Reconnect(b.graph.Get(), b.filter.Get(), rgb)));
    AM_MEDIA_TYPE info2 = yuy2;
    info2.formattype = FORMAT_VideoInfo2;
    EXPECT_EQ(b.filter->CheckInputType(&info2), E_FAIL);
    AM_MEDIA_TYPE audio = yuy2;
    audio.majortype = MEDIATYPE_Audio;
    EXPECT_EQ(b.filter->CheckInputType(&audio), E_FAIL);
    EXPECT_EQ(Reconnect(b.graph.Get(), b.filter.Get(),
                        VideoInfoType(MEDIASUBTYPE_YUY2, 640, 480, 333667)),
              S_OK);
}

TYPED_TEST(TypeLocking, TransformCheckComparesMajorTypeAndSubtype) {
    ComPtr<TypeParam> f = MakeComObject<TypeParam>();
    const AM_MEDIA_TYPE yuy2 = VideoInfoType(MEDIASUBTYPE_YUY2, 320, 240, 400000);
    AM_MEDIA_TYPE otherFormat = VideoInfoType(MEDIASUBTYPE_YUY2, 64, 64, 1);
    otherFormat.formattype = FORMAT_VideoInfo2;
    AM_MEDIA_TYPE otherMajor = yuy2;
    otherMajor.majortype = MEDIATYPE_Interleaved;
    const AM_MEDIA_TYPE rgb = VideoInfoType(MEDIASUBTYPE_RGB32, 320, 240, 400000);
    EXPECT_EQ(f->CheckTransform(&yuy2, &otherFormat), S_OK);
    EXPECT_EQ(f->CheckTransform(&yuy2, &rgb), VFW_E_TYPE_NOT_ACCEPTED);
    EXPECT_EQ(f->CheckTransform(&yuy2, &otherMajor), VFW_E_TYPE_NOT_ACCEPTED);
}

TYPED_TEST(TypeLocking, TheOutputOffersTheInputsType) {
    const AM_MEDIA_TYPE dv = DVVideoType(true);
    TTapBench<TypeParam> b(dv, 144000);
    CMediaType offered;
    EXPECT_EQ(b.filter->GetMediaType(0, &offered), VFW_S_NO_MORE_ITEMS);
    ASSERT_EQ(b.Connect(), S_OK);
    EXPECT_EQ(b.filter->GetMediaType(-1, &offered), E_INVALIDARG);
    EXPECT_EQ(b.filter->GetMediaType(1, &offered), VFW_S_NO_MORE_ITEMS);
    ASSERT_EQ(b.filter->GetMediaType(0, &offered), S_OK);
    EXPECT_EQ(offered, dv);
    AM_MEDIA_TYPE passed;
    ASSERT_EQ(PinOf(b.collector.Get(), PINDIR_INPUT)->ConnectionMediaType(&passed), S_OK);
    EXPECT_EQ(passed, dv);
}

} // namespace
