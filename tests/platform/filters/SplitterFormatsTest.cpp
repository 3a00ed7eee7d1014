// Each splitter takes its own formats only, so that the media factory's fallbacks (another
// source and splitter pair when one cannot be built) mean something; the sources that read any
// format FFmpeg recognises refuse what it does not. The file source states the kind of stream it
// reads in its output's sub-type.
#include "platform/com/ClassRegistry.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/SourceInterfaces.h"
#include "tests/platform/filters/support/ClipFactory.h"
#include "tests/platform/filters/support/ClipWriter.h"
#include "tests/platform/filters/support/PlaybackGraph.h"

#include <map>
#include <random>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

enum TFile { kAvi, kVob, kTs, kMpeg1, kWav, kWmv, kMp4, kMkv, kRawDV, kMp2, kRandom, kEmpty };

const char* const kFileNames[] = {"avi", "vob", "ts", "mpeg1", "wav",    "wmv",
                                  "mp4", "mkv", "dv", "mp2",   "random", "empty"};

QString FileOf(TFile f) {
    const QStringList second = {"--seconds", "1"};
    switch (f) {
    case kAvi:
        return Clip("formats.avi", "dv", second);
    case kVob:
        return Clip("formats.vob", "mpeg2", second);
    case kTs: {
        const QString ts = ClipFolder() + "/formats.ts";
        EXPECT_EQ(Remux(FileOf(kVob).toStdString(), ts.toStdString(), "mpegts"), "");
        return ts;
    }
    case kMpeg1:
        return Clip("formats.mpg", "mpeg1", second);
    case kWav:
        return Clip("formats.wav", "wav", second);
    case kWmv:
        return Clip("formats.wmv", "wmv", second);
    case kMp4:
        return Clip("formats.mp4", "h264-mp4", second);
    case kMkv:
        return Clip("formats.mkv", "h264-mkv", second);
    case kRawDV:
        return Clip("formats.dv", "dv", second);
    case kMp2:
        return Clip("formats.mp2", "audio", second);
    case kRandom:
        return Clip("formats-random.avi", "random", {"--bytes", "200000"});
    case kEmpty:
        return Clip("formats-empty.mpg", "empty");
    }
    return {};
}

struct TReader {
    const char* name;
    CLSID source, splitter;
    std::vector<TFile> takes;
};

std::ostream& operator<<(std::ostream& os, const TReader& r) {
    return os << r.name;
}

const std::vector<TFile> kMedia = {kAvi, kVob, kTs, kMpeg1, kWav, kWmv, kMp4, kMkv, kRawDV, kMp2};

const TReader kReaders[] = {
    {"AVI Splitter", CLSID_AsyncReader, CLSID_AviSplitter, {kAvi}},
    {"MPEG-2 Splitter", CLSID_AsyncReader, CLSID_MMSPLITTER, {kVob, kTs}},
    {"MPEG-I Stream Splitter", CLSID_AsyncReader, CLSID_MPEG1Splitter, {kMpeg1}},
    {"Wave Parser", CLSID_AsyncReader, CLSID_WAVEParser, {kWav}},
    {"LAV Splitter", CLSID_AsyncReader, CLSID_LAVSplitter, kMedia},
    {"WM ASF Reader", CLSID_WMAsfReader, GUID_NULL, {kWmv}},
    {"LAV Splitter Source", CLSID_LAVSplitterSource, GUID_NULL, kMedia},
};

class SplitterFormats : public testing::TestWithParam<TReader> {};

TEST_P(SplitterFormats, TakeTheirOwnFormatsOnly) {
    const TReader& r = GetParam();
    for (int f = kAvi; f <= kEmpty; ++f) {
        const bool takes = std::find(r.takes.begin(), r.takes.end(), TFile(f)) != r.takes.end();
        SCOPED_TRACE(kFileNames[f]);
        TPlaybackGraph graph;
        const HRESULT hr = graph.OpenStreams(FileOf(TFile(f)), r.source, r.splitter);
        EXPECT_EQ(SUCCEEDED(hr), takes) << HResultName(hr).toStdString();
        if (SUCCEEDED(hr)) {
            EXPECT_GT(PinsOf(graph.Streams()).size(), r.splitter == GUID_NULL ? 0u : 1u);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, SplitterFormats, testing::ValuesIn(kReaders),
                         [](const testing::TestParamInfo<TReader>& info) {
                             std::string name = info.param.name;
                             std::erase_if(name, [](char c) { return !std::isalnum(c); });
                             return name;
                         });

TEST(FileSource, StatesTheKindOfStreamItReads) {
    RegisterPlatformFilters();
    const std::map<TFile, GUID> kinds = {{kAvi, MEDIASUBTYPE_Avi},
                                         {kVob, MEDIASUBTYPE_MPEG2_PROGRAM},
                                         {kTs, MEDIASUBTYPE_MPEG2_TRANSPORT},
                                         {kMpeg1, MEDIASUBTYPE_MPEG1System},
                                         {kWav, MEDIASUBTYPE_WAVE},
                                         {kWmv, MEDIASUBTYPE_Asf},
                                         {kMp4, GUID_NULL},
                                         {kRandom, GUID_NULL},
                                         {kEmpty, GUID_NULL}};
    for (const auto& [file, subtype] : kinds) {
        SCOPED_TRACE(kFileNames[file]);
        ComPtr<IBaseFilter> source = CreateInstanceOf<IBaseFilter>(CLSID_AsyncReader);
        ASSERT_EQ(source.As<IFileSourceFilter>()->Load(WStr(FileOf(file)), nullptr), S_OK);
        const std::vector<AM_MEDIA_TYPE> types = MediaTypesOf(PinsOf(source.Get())[0].Get());
        ASSERT_EQ(types.size(), 1u);
        EXPECT_EQ(types[0].majortype, MEDIATYPE_Stream);
        EXPECT_EQ(GuidToString(types[0].subtype), GuidToString(subtype));
    }
}

TEST(FileSource, ReadsAnyRangeOfTheFile) {
    RegisterPlatformFilters();
    QByteArray bytes(100000, 0);
    std::mt19937 random(7);
    for (char& b : bytes)
        b = char(random());
    const QString path = WriteFile("reader.bin", bytes);
    ComPtr<IBaseFilter> source = CreateInstanceOf<IBaseFilter>(CLSID_AsyncReader);
    ASSERT_EQ(source.As<IFileSourceFilter>()->Load(WStr(path), nullptr), S_OK);
    ComPtr<IAsyncReader> reader = QueryInterfaceOf<IAsyncReader>(PinsOf(source.Get())[0].Get());
    ASSERT_TRUE(reader);
    LONGLONG total = 0, available = 0;
    ASSERT_EQ(reader->Length(&total, &available), S_OK);
    EXPECT_EQ(total, 100000);
    struct TRead {
        LONGLONG at;
        LONG length;
        HRESULT result;
    };
    for (const TRead& r : {TRead{0, 16, S_OK}, TRead{99990, 10, S_OK}, TRead{50000, 4096, S_OK},
                           TRead{99990, 20, S_FALSE}, TRead{200000, 8, S_FALSE}}) {
        SCOPED_TRACE(testing::Message() << r.at << "+" << r.length);
        std::vector<uint8_t> buffer(size_t(r.length), 0xEE);
        EXPECT_EQ(reader->SyncRead(r.at, r.length, buffer.data()), r.result);
        const LONGLONG inside = std::clamp<LONGLONG>(total - r.at, 0, r.length);
        for (LONGLONG i = 0; i < inside; ++i)
            ASSERT_EQ(buffer[size_t(i)], uint8_t(bytes[int(r.at + i)]));
    }
    EXPECT_NE(source.As<IFileSourceFilter>()->Load(u"/no/such/file.avi", nullptr), S_OK);
}

} // namespace
