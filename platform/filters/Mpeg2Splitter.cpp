#include "platform/filters/Mpeg2Splitter.h"

#include "platform/filters/FormatProbe.h"
#include "platform/filters/StreamSniffer.h"
#include "platform/graph/MediaGuids.h"

TMpeg2Splitter::TMpeg2Splitter()
    : TPullSplitter(QStringLiteral("MPEG-2 Splitter"), CLSID_MMSPLITTER,
                    TSplitterFlavour::MpegProgram,
                    {MEDIASUBTYPE_MPEG2_PROGRAM, MEDIASUBTYPE_MPEG2_TRANSPORT}) {}

bool TMpeg2Splitter::ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) {
    const GUID kind = SniffStreamSubtype(head);
    if (kind == MEDIASUBTYPE_MPEG2_PROGRAM)
        *format = InputFormat("mpeg");
    else if (kind == MEDIASUBTYPE_MPEG2_TRANSPORT)
        *format = InputFormat("mpegts");
    else
        return false;
    return *format != nullptr;
}
