#pragma once
// The records that the taps fill and hand on: the video description (TVideoData), the per-frame
// data with its DV values and audio fields (TframeData) and the DV values for the inlay
// (TIncrustDV). Plain values: copying a record copies every field, texts included.
#include <array>
#include <cstdint>

#include <QString>

// Display aspect kinds of TVideoData::AspectKind.
enum TAspectKind : uint8_t { akFourThree = 0, akSixteenNine = 1, akNone = 2, akOther = 3 };

struct TVideoData {
    bool Parsed = false;
    int32_t Width = 0;
    int32_t Height = 0; // sign kept: a negative height is a top-down bitmap
    int32_t BitCount = 0;
    int64_t AvgTimePerFrame = 0; // 100-ns units
    QString FormatName;
    int32_t AspectX = 0;
    int32_t AspectY = 0;
    int32_t BitRate = 0;
    double FrameRate = 0;
    QString SizeText;
    uint8_t AspectKind = akNone;
    QString Description;
};

// The frame keeper treats two descriptions as the same when what the user sees of them is.
bool SameVideoDescription(const TVideoData& a, const TVideoData& b);

// TV systems of TframeData::TVSystem.
enum TTVSystem : uint8_t { tvPal = 0, tvNTSC = 1, tvUndetermined = 2 };

struct TframeData {
    int32_t FrameNumber = 0;
    bool DVFrameValid = false;
    uint8_t TVSystem = tvUndetermined;
    bool DateValid = false;
    double RecordingDate = 0; // days since 30 December 1899
    double EarliestDate = 0;  // reserved
    QString DateText;
    bool TimecodeValid = false;
    std::array<uint8_t, 4> Timecode{}; // hours, minutes, seconds, frames
    QString TimecodeText;
    // Audio fields, filled by the audio tap (and for interleaved DV by the DV decoding).
    QString FormatName;
    int32_t Channels = 0;
    int32_t BitsPerSample = 0;
    int32_t SampleRate = 0;
    int32_t BitRate = 0;
    QString AudioText;
    // Reserved fields, zero or empty, copied with the record.
    int32_t Reserved1 = 0;
    int32_t Reserved2 = 0;
    uint8_t Reserved3 = 0;
    QString ReservedText;
    uint8_t Kind = 0;
    int32_t Reserved4 = 0;
    int32_t Reserved5 = 0;
};

struct TIncrustDV {
    bool DateValid = false;
    bool TimecodeValid = false;
    double RecordingDate = 0;
    QString TimecodeText;
};
