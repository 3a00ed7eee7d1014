#pragma once
// "AVI Splitter" (CLSID_AviSplitter): AVI files only. Every stream keeps the file's own
// headers (FORMAT_VideoInfo with the stream format's FOURCC, FORMAT_WaveFormatEx); a type-1 DV
// file ("iavs" stream) gives one MEDIATYPE_Interleaved pin carrying whole DV frames, as the DV
// splitter downstream expects. The DV types are read from the first frame the tape recorded, so
// that a dropout at the start does not decide the TV system.
#include "platform/filters/PullSplitter.h"

#include <vector>

class TAviSplitter : public TPullSplitter {
public:
    TAviSplitter();

protected:
    bool ChooseFormat(std::span<const uint8_t> head, const AVInputFormat** format) override;
    bool MakeStreamType(int stream, CMediaType* type) override;

private:
    // The first DV frame of the stream that was recorded (IsRecordedDVFrame), else the first
    // frame, else nothing; the demuxer is left at the start.
    std::vector<uint8_t> FirstRecordedDVFrame(int stream);

    bool FInterleavedDV = false;
};
