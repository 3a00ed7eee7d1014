#pragma once
// "LAV Splitter" (CLSID_LAVSplitter): the pulling splitter for any stream that FFmpeg
// recognises with confidence; the graph inserts it for a file source whose stream none of the
// format-specific splitters takes.
#include "platform/filters/PullSplitter.h"

class TLavSplitter : public TPullSplitter {
public:
    TLavSplitter();

protected:
    bool ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) override;
};
