#include "platform/filters/Mpeg1Splitter.h"

#include "platform/filters/FormatProbe.h"
#include "platform/filters/StreamSniffer.h"
#include "platform/graph/MediaGuids.h"

TMpeg1Splitter::TMpeg1Splitter()
    : TPullSplitter(
          QStringLiteral("MPEG-I Stream Splitter"), CLSID_MPEG1Splitter,
          TSplitterFlavour::MpegSystem,
          {MEDIASUBTYPE_MPEG1System, MEDIASUBTYPE_MPEG1Video, MEDIASUBTYPE_MPEG1VideoCD}) {}

bool TMpeg1Splitter::ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) {
    const GUID kind = SniffStreamSubtype(head);
    if (kind == MEDIASUBTYPE_MPEG1System)
        *format = InputFormat("mpeg");
    else if (kind == MEDIASUBTYPE_MPEG1Video)
        *format = InputFormat("mpegvideo");
    else
        return false;
    return *format != nullptr;
}

bool TMpeg1Splitter::CheckStreams(const AVFormatContext* context) {
    // An elementary stream that turns out to be MPEG-2 video is not this splitter's.
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVCodecParameters* p = context->streams[i]->codecpar;
        if (p->codec_type == AVMEDIA_TYPE_VIDEO && p->codec_id != AV_CODEC_ID_MPEG1VIDEO)
            return false;
    }
    return true;
}
