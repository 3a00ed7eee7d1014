#pragma once
// "AVI Splitter" (CLSID_AviSplitter): AVI files only. Every stream keeps the file's own
// headers (FORMAT_VideoInfo with the stream format's FOURCC, FORMAT_WaveFormatEx); a type-1 DV
// file ("iavs" stream) gives one MEDIATYPE_Interleaved pin carrying whole DV frames, as the DV
// splitter downstream expects.
#include "platform/filters/PullSplitter.h"

class TAviSplitter : public TPullSplitter {
public:
    TAviSplitter();

protected:
    bool ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) override;
    bool MakeStreamType(int stream, CMediaType* type) override;

private:
    bool FInterleavedDV = false;
};
