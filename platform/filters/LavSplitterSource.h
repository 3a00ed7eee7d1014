#pragma once
// "LAV Splitter Source" (CLSID_LAVSplitterSource): opens any file that FFmpeg recognises with
// confidence (by its bytes and its name) and offers one pin per video and audio stream.
#include "platform/filters/FileSplitterSource.h"

class TLavSplitterSource : public TFileSplitterSource {
public:
    TLavSplitterSource();

protected:
    bool ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) override;
};
