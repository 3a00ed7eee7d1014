// Arbitrary bytes as a file read through "File Source (Async.)": every splitter tries to open
// it (refusing what is not its own), and whatever opens is read packet by packet, sought, and
// described: media types of its streams, the codec parameters the decoders would take from
// them, DV frame packs and sound. The sources that split ("LAV Splitter Source", "WM ASF
// Reader") load the same file by its name.
#include "platform/filters/AsfReader.h"
#include "platform/filters/AviHeaderProbe.h"
#include "platform/filters/AviSplitter.h"
#include "platform/filters/DVFrameInfo.h"
#include "platform/filters/DecoderMediaTypes.h"
#include "platform/filters/FFmpegDemuxer.h"
#include "platform/filters/FileSourceAsync.h"
#include "platform/filters/FormatProbe.h"
#include "platform/filters/LavSplitter.h"
#include "platform/filters/LavSplitterSource.h"
#include "platform/filters/Mpeg1Splitter.h"
#include "platform/filters/Mpeg2Splitter.h"
#include "platform/filters/SplitterMediaTypes.h"
#include "platform/filters/StreamSniffer.h"
#include "platform/filters/WaveParser.h"
#include "platform/graph/Enumerators.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int kMaxPackets = 300;

const std::string& InputPath() {
    static const std::string path =
        "/tmp/kelvara-fuzz-splitter-" + std::to_string(::getpid()) + ".bin";
    return path;
}

// Every pin type of the streams and what a decoder would read from it.
void DescribeStreams(const AVFormatContext* c) {
    for (unsigned i = 0; i < c->nb_streams; ++i)
        for (TSplitterFlavour f :
             {TSplitterFlavour::Avi, TSplitterFlavour::MpegProgram, TSplitterFlavour::Generic}) {
            CMediaType type;
            if (!StreamMediaType(c->streams[i], f, &type))
                continue;
            VideoCodecParameters(type);
            AudioCodecParameters(type);
        }
}

void ReadPackets(TFFmpegDemuxer& demuxer) {
    kelvara::ff::TPacketPtr packet = kelvara::ff::NewPacket();
    for (int i = 0; i < kMaxPackets && demuxer.Read(packet.get()) >= 0; ++i) {
        demuxer.PresentationTime(*packet);
        demuxer.DecodingTime(*packet);
        const std::span<const uint8_t> bytes(packet->data, size_t(std::max(0, packet->size)));
        IsRecordedDVFrame(bytes);
        ReadDVInfo(bytes);
        if (auto sound = ReadDVAudioFormat(bytes)) {
            std::vector<int16_t> pcm;
            ExtractDVAudio(bytes, *sound, &pcm);
        }
        av_packet_unref(packet.get());
    }
}

void Demux(IAsyncReader* reader) {
    TFFmpegDemuxer demuxer;
    const auto choose = [](std::span<const uint8_t> head, const AVInputFormat** format) {
        *format = ProbeFormat(head);
        return *format != nullptr;
    };
    if (FAILED(demuxer.Open(reader, choose, nullptr)))
        return;
    DescribeStreams(demuxer.Context());
    ReadPackets(demuxer);
    demuxer.Seek(demuxer.Duration() / 2, 200000);
    ReadPackets(demuxer);
    demuxer.Seek(0, 0);
    ReadPackets(demuxer);
}

template <typename TSplitter>
void Split(TFileSourceAsync* source) {
    ComPtr<TSplitter> splitter = MakeComObject<TSplitter>();
    ComPtr<IPin> out = PinsOf(source)[0];
    ComPtr<IPin> in = PinsOf(splitter.Get())[0];
    if (FAILED(out->Connect(in.Get(), nullptr)))
        return;
    for (const ComPtr<IPin>& pin : PinsOf(splitter.Get()))
        MediaTypesOf(pin.Get());
    in->Disconnect();
    out->Disconnect();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    SniffStreamSubtype(bytes);
    HasInterleavedDVStream(bytes);
    {
        std::ofstream file(InputPath(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    const QString path = QString::fromStdString(InputPath());
    // The sources that split read the file themselves.
    for (ComPtr<IFileSourceFilter> reader :
         {ComPtr<IFileSourceFilter>(MakeComObject<TLavSplitterSource>().Get()),
          ComPtr<IFileSourceFilter>(MakeComObject<TAsfReader>().Get())}) {
        if (SUCCEEDED(reader->Load(WStr(path), nullptr)))
            if (ComPtr<IBaseFilter> filter = QueryInterfaceOf<IBaseFilter>(reader.Get()))
                for (const ComPtr<IPin>& pin : PinsOf(filter.Get()))
                    MediaTypesOf(pin.Get());
    }
    ComPtr<TFileSourceAsync> source = MakeComObject<TFileSourceAsync>();
    if (FAILED(source->Load(WStr(path), nullptr)))
        return 0;
    Split<TAviSplitter>(source.Get());
    Split<TMpeg2Splitter>(source.Get());
    Split<TMpeg1Splitter>(source.Get());
    Split<TWaveParser>(source.Get());
    Split<TLavSplitter>(source.Get());
    ComPtr<IAsyncReader> reader = QueryInterfaceOf<IAsyncReader>(PinsOf(source.Get())[0].Get());
    Demux(reader.Get());
    return 0;
}
