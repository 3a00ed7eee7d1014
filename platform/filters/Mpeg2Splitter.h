#pragma once
// "MPEG-2 Splitter" (CLSID_MMSPLITTER): MPEG-2 program streams (VOB included) and transport
// streams. MPEG-2 video comes as FORMAT_MPEG2Video with its sequence header, MPEG audio as
// MEDIASUBTYPE_MPEG2_AUDIO, AC-3 as MEDIASUBTYPE_DOLBY_AC3, LPCM as DVD LPCM.
#include "platform/filters/PullSplitter.h"

class TMpeg2Splitter : public TPullSplitter {
public:
    TMpeg2Splitter();

protected:
    bool ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) override;
};
