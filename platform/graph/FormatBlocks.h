#pragma once
// The format blocks that follow a media type, byte for byte in their published layouts: code
// (here and in the media descriptions) reads them at fixed offsets, and splitters build them
// the way other platforms' splitters do. All fields are little-endian.
#include "platform/com/ComTypes.h"
#include "platform/com/Guid.h"

#include <cstddef>

// Media times: signed counts of 100 ns.
using REFERENCE_TIME = LONGLONG;
inline constexpr REFERENCE_TIME UNITS = 10'000'000;
inline constexpr REFERENCE_TIME MILLISECONDS = 10'000;

inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_BITFIELDS = 3;

struct BITMAPINFOHEADER {
    DWORD biSize = 40;
    LONG biWidth = 0;
    LONG biHeight = 0;
    WORD biPlanes = 1;
    WORD biBitCount = 0;
    DWORD biCompression = BI_RGB;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(offsetof(BITMAPINFOHEADER, biBitCount) == 14);
static_assert(offsetof(BITMAPINFOHEADER, biCompression) == 16);

struct VIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate = 0;
    DWORD dwBitErrorRate = 0;
    REFERENCE_TIME AvgTimePerFrame = 0;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER) == 88);
static_assert(offsetof(VIDEOINFOHEADER, dwBitRate) == 32);
static_assert(offsetof(VIDEOINFOHEADER, AvgTimePerFrame) == 40);
static_assert(offsetof(VIDEOINFOHEADER, bmiHeader) == 48);
static_assert(offsetof(VIDEOINFOHEADER, bmiHeader.biWidth) == 52);
static_assert(offsetof(VIDEOINFOHEADER, bmiHeader.biHeight) == 56);
static_assert(offsetof(VIDEOINFOHEADER, bmiHeader.biBitCount) == 62);
static_assert(offsetof(VIDEOINFOHEADER, bmiHeader.biCompression) == 64);

// dwInterlaceFlags bits.
inline constexpr DWORD AMINTERLACE_IsInterlaced = 0x00000001;
inline constexpr DWORD AMINTERLACE_1FieldPerSample = 0x00000002;
inline constexpr DWORD AMINTERLACE_Field1First = 0x00000004;
// dwControlFlags bit: the extended colour information is valid.
inline constexpr DWORD AMCONTROL_USED = 0x00000001;
inline constexpr DWORD AMCONTROL_PAD_TO_4x3 = 0x00000002;
inline constexpr DWORD AMCONTROL_PAD_TO_16x9 = 0x00000004;
inline constexpr DWORD AMCONTROL_COLORINFO_PRESENT = 0x00000080;

struct VIDEOINFOHEADER2 {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate = 0;
    DWORD dwBitErrorRate = 0;
    REFERENCE_TIME AvgTimePerFrame = 0;
    DWORD dwInterlaceFlags = 0;
    DWORD dwCopyProtectFlags = 0;
    DWORD dwPictAspectRatioX = 0;
    DWORD dwPictAspectRatioY = 0;
    DWORD dwControlFlags = 0; // also known as dwReserved1
    DWORD dwReserved2 = 0;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER2) == 112);
static_assert(offsetof(VIDEOINFOHEADER2, dwBitRate) == 32);
static_assert(offsetof(VIDEOINFOHEADER2, AvgTimePerFrame) == 40);
static_assert(offsetof(VIDEOINFOHEADER2, dwInterlaceFlags) == 48);
static_assert(offsetof(VIDEOINFOHEADER2, dwPictAspectRatioX) == 56);
static_assert(offsetof(VIDEOINFOHEADER2, dwPictAspectRatioY) == 60);
static_assert(offsetof(VIDEOINFOHEADER2, bmiHeader) == 72);
static_assert(offsetof(VIDEOINFOHEADER2, bmiHeader.biWidth) == 76);
static_assert(offsetof(VIDEOINFOHEADER2, bmiHeader.biHeight) == 80);
static_assert(offsetof(VIDEOINFOHEADER2, bmiHeader.biBitCount) == 86);
static_assert(offsetof(VIDEOINFOHEADER2, bmiHeader.biCompression) == 88);

// FORMAT_MPEGVideo. bSequenceHeader holds cbSequenceHeader bytes; the block grows to hold them
// (use MPEG1VIDEOINFO_SIZE(cb) for the block size).
struct MPEG1VIDEOINFO {
    VIDEOINFOHEADER hdr;
    DWORD dwStartTimeCode = 0;
    DWORD cbSequenceHeader = 0;
    BYTE bSequenceHeader[1] = {};
};
static_assert(sizeof(MPEG1VIDEOINFO) == 104);
static_assert(offsetof(MPEG1VIDEOINFO, dwStartTimeCode) == 88);
static_assert(offsetof(MPEG1VIDEOINFO, cbSequenceHeader) == 92);
static_assert(offsetof(MPEG1VIDEOINFO, bSequenceHeader) == 96);
constexpr size_t MPEG1VIDEOINFO_SIZE(size_t cbSequenceHeader) {
    return offsetof(MPEG1VIDEOINFO, bSequenceHeader) + cbSequenceHeader;
}

// MPEG-2 profiles and levels (dwProfile, dwLevel).
inline constexpr DWORD AM_MPEG2Profile_Simple = 1;
inline constexpr DWORD AM_MPEG2Profile_Main = 2;
inline constexpr DWORD AM_MPEG2Profile_SNRScalable = 3;
inline constexpr DWORD AM_MPEG2Profile_SpatiallyScalable = 4;
inline constexpr DWORD AM_MPEG2Profile_High = 5;
inline constexpr DWORD AM_MPEG2Level_Low = 1;
inline constexpr DWORD AM_MPEG2Level_Main = 2;
inline constexpr DWORD AM_MPEG2Level_High1440 = 3;
inline constexpr DWORD AM_MPEG2Level_High = 4;

// FORMAT_MPEG2Video. dwSequenceHeader holds cbSequenceHeader bytes (the sequence header and
// its extensions for MPEG-2, the parameter sets for H.264); the block grows to hold them (use
// MPEG2VIDEOINFO_SIZE(cb) for the block size).
struct MPEG2VIDEOINFO {
    VIDEOINFOHEADER2 hdr;
    DWORD dwStartTimeCode = 0;
    DWORD cbSequenceHeader = 0;
    DWORD dwProfile = 0;
    DWORD dwLevel = 0;
    DWORD dwFlags = 0;
    DWORD dwSequenceHeader[1] = {};
};
static_assert(sizeof(MPEG2VIDEOINFO) == 136);
static_assert(offsetof(MPEG2VIDEOINFO, dwStartTimeCode) == 112);
static_assert(offsetof(MPEG2VIDEOINFO, cbSequenceHeader) == 116);
static_assert(offsetof(MPEG2VIDEOINFO, dwProfile) == 120);
static_assert(offsetof(MPEG2VIDEOINFO, dwLevel) == 124);
static_assert(offsetof(MPEG2VIDEOINFO, dwFlags) == 128);
static_assert(offsetof(MPEG2VIDEOINFO, dwSequenceHeader) == 132);
constexpr size_t MPEG2VIDEOINFO_SIZE(size_t cbSequenceHeader) {
    return offsetof(MPEG2VIDEOINFO, dwSequenceHeader) + cbSequenceHeader;
}

// Wave format tags.
inline constexpr WORD WAVE_FORMAT_PCM = 0x0001;
inline constexpr WORD WAVE_FORMAT_IEEE_FLOAT = 0x0003;
inline constexpr WORD WAVE_FORMAT_ALAW = 0x0006;
inline constexpr WORD WAVE_FORMAT_MULAW = 0x0007;
inline constexpr WORD WAVE_FORMAT_MPEG = 0x0050;
inline constexpr WORD WAVE_FORMAT_MPEGLAYER3 = 0x0055;
inline constexpr WORD WAVE_FORMAT_AAC = 0x00FF;
inline constexpr WORD WAVE_FORMAT_DOLBY_AC3 = 0x2000;
inline constexpr WORD WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

#pragma pack(push, 1)

// FORMAT_WaveFormatEx; cbSize extra bytes follow the 18-byte structure in the block.
struct WAVEFORMATEX {
    WORD wFormatTag = 0;
    WORD nChannels = 0;
    DWORD nSamplesPerSec = 0;
    DWORD nAvgBytesPerSec = 0;
    WORD nBlockAlign = 0;
    WORD wBitsPerSample = 0;
    WORD cbSize = 0;
};

struct WAVEFORMATEXTENSIBLE {
    WAVEFORMATEX Format;
    union {
        WORD wValidBitsPerSample;
        WORD wSamplesPerBlock;
        WORD wReserved;
    } Samples = {0};
    DWORD dwChannelMask = 0;
    GUID SubFormat;
};

// MPEG-1 audio (wave format tag 0x0050).
struct MPEG1WAVEFORMAT {
    WAVEFORMATEX wfx;
    WORD fwHeadLayer = 0;
    DWORD dwHeadBitrate = 0;
    WORD fwHeadMode = 0;
    WORD fwHeadModeExt = 0;
    WORD wHeadEmphasis = 0;
    WORD fwHeadFlags = 0;
    DWORD dwPTSLow = 0;
    DWORD dwPTSHigh = 0;
};

// MPEG audio layer 3 (wave format tag 0x0055).
struct MPEGLAYER3WAVEFORMAT {
    WAVEFORMATEX wfx;
    WORD wID = 0;
    DWORD fdwFlags = 0;
    WORD nBlockSize = 0;
    WORD nFramesPerBlock = 0;
    WORD nCodecDelay = 0;
};

#pragma pack(pop)

static_assert(sizeof(WAVEFORMATEX) == 18);
static_assert(offsetof(WAVEFORMATEX, nChannels) == 2);
static_assert(offsetof(WAVEFORMATEX, nSamplesPerSec) == 4);
static_assert(offsetof(WAVEFORMATEX, nAvgBytesPerSec) == 8);
static_assert(offsetof(WAVEFORMATEX, nBlockAlign) == 12);
static_assert(offsetof(WAVEFORMATEX, wBitsPerSample) == 14);
static_assert(offsetof(WAVEFORMATEX, cbSize) == 16);
static_assert(sizeof(WAVEFORMATEXTENSIBLE) == 40);
static_assert(offsetof(WAVEFORMATEXTENSIBLE, dwChannelMask) == 20);
static_assert(offsetof(WAVEFORMATEXTENSIBLE, SubFormat) == 24);
static_assert(sizeof(MPEG1WAVEFORMAT) == 40);
static_assert(offsetof(MPEG1WAVEFORMAT, fwHeadLayer) == 18);
static_assert(offsetof(MPEG1WAVEFORMAT, dwHeadBitrate) == 20);
static_assert(offsetof(MPEG1WAVEFORMAT, dwPTSLow) == 32);
static_assert(sizeof(MPEGLAYER3WAVEFORMAT) == 30);

// FORMAT_DvInfo: the audio and video auxiliary source and control packs of a DV stream.
struct DVINFO {
    DWORD dwDVAAuxSrc = 0;
    DWORD dwDVAAuxCtl = 0;
    DWORD dwDVAAuxSrc1 = 0;
    DWORD dwDVAAuxCtl1 = 0;
    DWORD dwDVVAuxSrc = 0;
    DWORD dwDVVAuxCtl = 0;
    DWORD dwDVReserved[2] = {};
};
static_assert(sizeof(DVINFO) == 32);
static_assert(offsetof(DVINFO, dwDVVAuxSrc) == 16);
static_assert(offsetof(DVINFO, dwDVVAuxCtl) == 20);
