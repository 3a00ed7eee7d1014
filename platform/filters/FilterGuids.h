#pragma once
// Class identifiers of the platform's own decoders (the platform filters named by the program
// are in MediaGuids.h), and the sub-type family that carries an FFmpeg codec that has no FOURCC
// or wave format tag of its own.
#include "platform/com/ComTypes.h"
#include "platform/graph/MediaGuids.h"

// libavcodec decoders for every codec the library has.
inline constexpr CLSID CLSID_FFmpegVideoDecoder{
    0xE175ECF5, 0x4209, 0x4DC3, {0xB3, 0x71, 0x3D, 0x47, 0xBE, 0x08, 0x09, 0x48}};
inline constexpr CLSID CLSID_FFmpegAudioDecoder{
    0xAA478BC4, 0x28F3, 0x40B7, {0x89, 0xFC, 0x15, 0x32, 0xD0, 0xDF, 0x9B, 0xC5}};

// {<codec id>-9424-441A-B355-7B531163DE37}: the sub-type of a stream whose codec (the FFmpeg
// codec id in Data1) has no FOURCC or wave format tag.
constexpr GUID FFmpegCodecSubtype(uint32_t codecId) {
    return GUID{codecId, 0x9424, 0x441A, {0xB3, 0x55, 0x7B, 0x53, 0x11, 0x63, 0xDE, 0x37}};
}
constexpr bool IsFFmpegCodecSubtype(const GUID& subtype) {
    return FFmpegCodecSubtype(subtype.Data1) == subtype;
}

// The sub-type of ADTS-framed AAC (wave format tag 0x1600).
inline constexpr GUID MEDIASUBTYPE_MPEG_ADTS_AAC = FourCCGuid(0x00001600);
inline constexpr WORD WAVE_FORMAT_MPEG_ADTS_AAC = 0x1600;
