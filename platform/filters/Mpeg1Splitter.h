#pragma once
// "MPEG-I Stream Splitter" (CLSID_MPEG1Splitter): MPEG-1 system streams and MPEG-1 video
// elementary streams. MPEG-1 video comes as FORMAT_MPEGVideo with its sequence header, MPEG
// audio as the MPEG-1 audio payload.
#include "platform/filters/PullSplitter.h"

class TMpeg1Splitter : public TPullSplitter {
public:
    TMpeg1Splitter();

protected:
    bool ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) override;
    bool CheckStreams(const AVFormatContext* context) override;
};
