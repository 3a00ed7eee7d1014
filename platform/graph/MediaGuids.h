#pragma once
// The standard identifiers of media types, sub-types, format types, pin categories, time
// formats and platform filter classes, with their published values.
#include "platform/com/Guid.h"

// Four characters packed lowest byte first, as in AVI and wave headers.
constexpr uint32_t MAKEFOURCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

// The sub-type of a FOURCC or wave format tag: {XXXXXXXX-0000-0010-8000-00AA00389B71}.
constexpr GUID FourCCGuid(uint32_t fourcc) {
    return GUID{fourcc, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}
constexpr GUID FourCCGuid(const char (&text)[5]) {
    return FourCCGuid(MAKEFOURCC(text[0], text[1], text[2], text[3]));
}

// True when guid is of the FOURCC form above (its Data1 holds the code).
constexpr bool IsFourCCGuid(const GUID& guid) {
    return FourCCGuid(guid.Data1) == guid;
}

namespace kelvara::detail {
// {XXXXXXXX-524F-11CE-9F53-0020AF0BA770}: the original family of media framework identifiers.
constexpr GUID Family524F(uint32_t data1) {
    return GUID{data1, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
}
// {XXXXXXXX-DB46-11CF-B4D1-00805F6CBBEA}: MPEG-2 and DVD identifiers.
constexpr GUID FamilyDB46(uint32_t data1) {
    return GUID{data1, 0xDB46, 0x11CF, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};
}
// {XXXXXXXX-C356-11CE-BF01-00AA0055595A}: the original format types.
constexpr GUID FamilyC356(uint32_t data1) {
    return GUID{data1, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
}
// {FB6C42XX-0353-11D1-905F-0000C0CC16BA}: pin categories.
constexpr GUID PinCategory(uint32_t data1) {
    return GUID{data1, 0x0353, 0x11D1, {0x90, 0x5F, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}};
}
// {7B78557X-8C82-11CF-BC0C-00AA00AC74F6}: time formats.
constexpr GUID TimeFormat(uint32_t data1) {
    return GUID{data1, 0x8C82, 0x11CF, {0xBC, 0x0C, 0x00, 0xAA, 0x00, 0xAC, 0x74, 0xF6}};
}
} // namespace kelvara::detail

// Major types.
inline constexpr GUID MEDIATYPE_Video = FourCCGuid("vids");
inline constexpr GUID MEDIATYPE_Audio = FourCCGuid("auds");
inline constexpr GUID MEDIATYPE_Text = FourCCGuid("txts");
inline constexpr GUID MEDIATYPE_Midi = FourCCGuid("mids");
inline constexpr GUID MEDIATYPE_Interleaved = FourCCGuid("iavs");
inline constexpr GUID MEDIATYPE_File = FourCCGuid("file");
inline constexpr GUID MEDIATYPE_ScriptCommand = FourCCGuid("scmd");
inline constexpr GUID MEDIATYPE_Stream = kelvara::detail::Family524F(0xE436EB83);
inline constexpr GUID MEDIATYPE_Timecode{
    0x0482DEE3, 0x7817, 0x11CF, {0x8A, 0x03, 0x00, 0xAA, 0x00, 0x6E, 0xCB, 0x65}};
inline constexpr GUID MEDIATYPE_MPEG2_PES = kelvara::detail::FamilyDB46(0xE06D8020);
inline constexpr GUID MEDIATYPE_MPEG2_PACK{
    0x36523B13, 0x8EE5, 0x11D1, {0x8C, 0xA3, 0x00, 0x60, 0xB0, 0x57, 0x66, 0x4A}};
inline constexpr GUID MEDIATYPE_DVD_ENCRYPTED_PACK{
    0xED0B916A, 0x044D, 0x11D1, {0xAA, 0x78, 0x00, 0xC0, 0x4F, 0xC3, 0x1D, 0x60}};

// Sub-types: uncompressed RGB.
inline constexpr GUID MEDIASUBTYPE_RGB1 = kelvara::detail::Family524F(0xE436EB78);
inline constexpr GUID MEDIASUBTYPE_RGB4 = kelvara::detail::Family524F(0xE436EB79);
inline constexpr GUID MEDIASUBTYPE_RGB8 = kelvara::detail::Family524F(0xE436EB7A);
inline constexpr GUID MEDIASUBTYPE_RGB565 = kelvara::detail::Family524F(0xE436EB7B);
inline constexpr GUID MEDIASUBTYPE_RGB555 = kelvara::detail::Family524F(0xE436EB7C);
inline constexpr GUID MEDIASUBTYPE_RGB24 = kelvara::detail::Family524F(0xE436EB7D);
inline constexpr GUID MEDIASUBTYPE_RGB32 = kelvara::detail::Family524F(0xE436EB7E);
inline constexpr GUID MEDIASUBTYPE_ARGB32{
    0x773C9AC0, 0x3274, 0x11D0, {0xB7, 0x24, 0x00, 0xAA, 0x00, 0x6C, 0x1A, 0x01}};

// Sub-types: MPEG-1 and containers.
inline constexpr GUID MEDIASUBTYPE_MPEG1Packet = kelvara::detail::Family524F(0xE436EB80);
inline constexpr GUID MEDIASUBTYPE_MPEG1Payload = kelvara::detail::Family524F(0xE436EB81);
inline constexpr GUID MEDIASUBTYPE_MPEG1System = kelvara::detail::Family524F(0xE436EB84);
inline constexpr GUID MEDIASUBTYPE_MPEG1VideoCD = kelvara::detail::Family524F(0xE436EB85);
inline constexpr GUID MEDIASUBTYPE_MPEG1Video = kelvara::detail::Family524F(0xE436EB86);
// {E436EB87-...}: the MPEG-1 audio payload of the MPEG-1 splitter's audio pin.
inline constexpr GUID MEDIASUBTYPE_MPEG1Audio = kelvara::detail::Family524F(0xE436EB87);
// The wave format tag 0x0050 (MPEG audio) as a sub-type.
inline constexpr GUID MEDIASUBTYPE_MPEG1AudioPayload = FourCCGuid(0x00000050);
inline constexpr GUID MEDIASUBTYPE_Avi = kelvara::detail::Family524F(0xE436EB88);
inline constexpr GUID MEDIASUBTYPE_QTMovie = kelvara::detail::Family524F(0xE436EB89);
inline constexpr GUID MEDIASUBTYPE_WAVE = kelvara::detail::Family524F(0xE436EB8B);
inline constexpr GUID MEDIASUBTYPE_AU = kelvara::detail::Family524F(0xE436EB8C);
inline constexpr GUID MEDIASUBTYPE_AIFF = kelvara::detail::Family524F(0xE436EB8D);
inline constexpr GUID MEDIASUBTYPE_None = kelvara::detail::Family524F(0xE436EB8E);
inline constexpr GUID MEDIASUBTYPE_Asf{
    0x3DB80F90, 0x9412, 0x11D1, {0xAD, 0xED, 0x00, 0x00, 0xF8, 0x75, 0x4B, 0x99}};

// Sub-types: MPEG-2, DVD and Dolby.
inline constexpr GUID MEDIASUBTYPE_MPEG2_PROGRAM = kelvara::detail::FamilyDB46(0xE06D8022);
inline constexpr GUID MEDIASUBTYPE_MPEG2_TRANSPORT = kelvara::detail::FamilyDB46(0xE06D8023);
inline constexpr GUID MEDIASUBTYPE_MPEG2_VIDEO = kelvara::detail::FamilyDB46(0xE06D8026);
inline constexpr GUID MEDIASUBTYPE_MPEG2_AUDIO = kelvara::detail::FamilyDB46(0xE06D802B);
inline constexpr GUID MEDIASUBTYPE_DOLBY_AC3 = kelvara::detail::FamilyDB46(0xE06D802C);
inline constexpr GUID MEDIASUBTYPE_DVD_SUBPICTURE = kelvara::detail::FamilyDB46(0xE06D802D);
inline constexpr GUID MEDIASUBTYPE_DVD_LPCM_AUDIO = kelvara::detail::FamilyDB46(0xE06D8032);
inline constexpr GUID MEDIASUBTYPE_DTS = kelvara::detail::FamilyDB46(0xE06D8033);

// Sub-types: FOURCC video codes (the case of the letters is part of the code).
inline constexpr GUID MEDIASUBTYPE_dvsd = FourCCGuid("dvsd");
inline constexpr GUID MEDIASUBTYPE_dvsl = FourCCGuid("dvsl");
inline constexpr GUID MEDIASUBTYPE_dvhd = FourCCGuid("dvhd");
inline constexpr GUID MEDIASUBTYPE_dv25 = FourCCGuid("dv25");
inline constexpr GUID MEDIASUBTYPE_dv50 = FourCCGuid("dv50");
inline constexpr GUID MEDIASUBTYPE_dvh1 = FourCCGuid("dvh1");
inline constexpr GUID MEDIASUBTYPE_DVSD = FourCCGuid("DVSD");
inline constexpr GUID MEDIASUBTYPE_dvcp = FourCCGuid("dvcp");
inline constexpr GUID MEDIASUBTYPE_H264 = FourCCGuid("H264");
inline constexpr GUID MEDIASUBTYPE_h264 = FourCCGuid("h264");
inline constexpr GUID MEDIASUBTYPE_X264 = FourCCGuid("X264");
inline constexpr GUID MEDIASUBTYPE_AVC1 = FourCCGuid("AVC1");
inline constexpr GUID MEDIASUBTYPE_avc1 = FourCCGuid("avc1");
inline constexpr GUID MEDIASUBTYPE_HEVC = FourCCGuid("HEVC");
inline constexpr GUID MEDIASUBTYPE_MJPG = FourCCGuid("MJPG");
inline constexpr GUID MEDIASUBTYPE_MP4V = FourCCGuid("MP4V");
inline constexpr GUID MEDIASUBTYPE_XVID = FourCCGuid("XVID");
inline constexpr GUID MEDIASUBTYPE_DIVX = FourCCGuid("DIVX");
inline constexpr GUID MEDIASUBTYPE_DX50 = FourCCGuid("DX50");
inline constexpr GUID MEDIASUBTYPE_MP42 = FourCCGuid("MP42");
inline constexpr GUID MEDIASUBTYPE_MP43 = FourCCGuid("MP43");
inline constexpr GUID MEDIASUBTYPE_WMV1 = FourCCGuid("WMV1");
inline constexpr GUID MEDIASUBTYPE_WMV2 = FourCCGuid("WMV2");
inline constexpr GUID MEDIASUBTYPE_WMV3 = FourCCGuid("WMV3");
inline constexpr GUID MEDIASUBTYPE_WVC1 = FourCCGuid("WVC1");
inline constexpr GUID MEDIASUBTYPE_VP80 = FourCCGuid("VP80");
inline constexpr GUID MEDIASUBTYPE_VP90 = FourCCGuid("VP90");
inline constexpr GUID MEDIASUBTYPE_YV12 = FourCCGuid("YV12");
inline constexpr GUID MEDIASUBTYPE_I420 = FourCCGuid("I420");
inline constexpr GUID MEDIASUBTYPE_IYUV = FourCCGuid("IYUV");
inline constexpr GUID MEDIASUBTYPE_NV12 = FourCCGuid("NV12");
inline constexpr GUID MEDIASUBTYPE_YUY2 = FourCCGuid("YUY2");
inline constexpr GUID MEDIASUBTYPE_UYVY = FourCCGuid("UYVY");

// Sub-types: wave format tags.
inline constexpr GUID MEDIASUBTYPE_PCM = FourCCGuid(0x00000001);
inline constexpr GUID MEDIASUBTYPE_IEEE_FLOAT = FourCCGuid(0x00000003);
inline constexpr GUID MEDIASUBTYPE_MP3 = FourCCGuid(0x00000055);
inline constexpr GUID MEDIASUBTYPE_AAC = FourCCGuid(0x000000FF);
inline constexpr GUID MEDIASUBTYPE_WMAUDIO2 = FourCCGuid(0x00000161);
inline constexpr GUID MEDIASUBTYPE_AC3 = FourCCGuid(0x00002000);

// Format types.
inline constexpr GUID FORMAT_None{
    0x0F6417D6, 0xC318, 0x11D0, {0xA4, 0x3F, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
inline constexpr GUID FORMAT_VideoInfo = kelvara::detail::FamilyC356(0x05589F80);
inline constexpr GUID FORMAT_WaveFormatEx = kelvara::detail::FamilyC356(0x05589F81);
inline constexpr GUID FORMAT_MPEGVideo = kelvara::detail::FamilyC356(0x05589F82);
inline constexpr GUID FORMAT_MPEGStreams = kelvara::detail::FamilyC356(0x05589F83);
inline constexpr GUID FORMAT_DvInfo = kelvara::detail::FamilyC356(0x05589F84);
inline constexpr GUID FORMAT_VideoInfo2{
    0xF72A76A0, 0xEB0A, 0x11D0, {0xAC, 0xE4, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}};
inline constexpr GUID FORMAT_MPEG2Video = kelvara::detail::FamilyDB46(0xE06D80E3);
inline constexpr GUID FORMAT_MPEG2_VIDEO = FORMAT_MPEG2Video;
inline constexpr GUID FORMAT_DolbyAC3 = kelvara::detail::FamilyDB46(0xE06D80E4);
inline constexpr GUID FORMAT_MPEG2Audio = kelvara::detail::FamilyDB46(0xE06D80E5);
inline constexpr GUID FORMAT_DVD_LPCMAudio = kelvara::detail::FamilyDB46(0xE06D80E6);

// Pin categories.
inline constexpr GUID PIN_CATEGORY_CAPTURE = kelvara::detail::PinCategory(0xFB6C4281);
inline constexpr GUID PIN_CATEGORY_PREVIEW = kelvara::detail::PinCategory(0xFB6C4282);
inline constexpr GUID PIN_CATEGORY_ANALOGVIDEOIN = kelvara::detail::PinCategory(0xFB6C4283);
inline constexpr GUID PIN_CATEGORY_VBI = kelvara::detail::PinCategory(0xFB6C4284);
inline constexpr GUID PIN_CATEGORY_VIDEOPORT = kelvara::detail::PinCategory(0xFB6C4285);
inline constexpr GUID PIN_CATEGORY_STILL = kelvara::detail::PinCategory(0xFB6C428A);
inline constexpr GUID PIN_CATEGORY_TIMECODE = kelvara::detail::PinCategory(0xFB6C428B);
// The property set through which a pin reports its category.
inline constexpr GUID AMPROPSETID_Pin{
    0x9B00F101, 0x1567, 0x11D1, {0xB3, 0xF1, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};
// Search directions of ICaptureGraphBuilder2::FindPin / FindInterface.
inline constexpr GUID LOOK_UPSTREAM_ONLY{
    0xAC798BE0, 0x98E3, 0x11D1, {0xB3, 0xF1, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};
inline constexpr GUID LOOK_DOWNSTREAM_ONLY{
    0xAC798BE1, 0x98E3, 0x11D1, {0xB3, 0xF1, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};

// Time formats of IMediaSeeking.
inline constexpr GUID TIME_FORMAT_NONE = GUID_NULL;
inline constexpr GUID TIME_FORMAT_FRAME = kelvara::detail::TimeFormat(0x7B785570);
inline constexpr GUID TIME_FORMAT_FIELD = kelvara::detail::TimeFormat(0x7B785573);
inline constexpr GUID TIME_FORMAT_BYTE = kelvara::detail::TimeFormat(0x7B785571);
inline constexpr GUID TIME_FORMAT_SAMPLE = kelvara::detail::TimeFormat(0x7B785572);
inline constexpr GUID TIME_FORMAT_MEDIA_TIME = kelvara::detail::TimeFormat(0x7B785574);

// Classes of the framework and of the platform filters.
inline constexpr CLSID CLSID_FilterGraph = kelvara::detail::Family524F(0xE436EBB3);
inline constexpr CLSID CLSID_SystemClock = kelvara::detail::Family524F(0xE436EBB1);
inline constexpr CLSID CLSID_AsyncReader = kelvara::detail::Family524F(0xE436EBB5);
inline constexpr CLSID CLSID_CaptureGraphBuilder2{
    0xBF87B6E1, 0x8C27, 0x11D0, {0xB3, 0xF0, 0x00, 0xAA, 0x00, 0x37, 0x61, 0xC5}};
inline constexpr CLSID CLSID_FilterMapper2{
    0xCDA42200, 0xBD88, 0x11D0, {0xBD, 0x4E, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr CLSID CLSID_MemoryAllocator{
    0x1E651CC0, 0xB199, 0x11D0, {0x82, 0x12, 0x00, 0xC0, 0x4F, 0xC3, 0x2C, 0x45}};
inline constexpr CLSID CLSID_AviSplitter{
    0x1B544C20, 0xFD0B, 0x11CE, {0x8C, 0x63, 0x00, 0xAA, 0x00, 0x44, 0xB5, 0x1E}};
inline constexpr CLSID CLSID_WMAsfReader{
    0x187463A0, 0x5BB7, 0x11D3, {0xAC, 0xBE, 0x00, 0x80, 0xC7, 0x5E, 0x24, 0x6E}};
inline constexpr CLSID CLSID_WAVEParser{
    0xD51BD5A1, 0x7548, 0x11CF, {0xA5, 0x20, 0x00, 0x80, 0xC7, 0x7E, 0xF5, 0x8A}};
inline constexpr CLSID CLSID_MMSPLITTER{
    0x3AE86B20, 0x7BE8, 0x11D1, {0xAB, 0xE6, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x75}};
inline constexpr CLSID CLSID_MPEG1Splitter{
    0x336475D0, 0x942A, 0x11CE, {0xA8, 0x70, 0x00, 0xAA, 0x00, 0x2F, 0xEA, 0xB5}};
inline constexpr CLSID CLSID_DVSplitter{
    0x4EB31670, 0x9FC6, 0x11CF, {0xAF, 0x6E, 0x00, 0xAA, 0x00, 0xB6, 0x7A, 0x42}};
inline constexpr CLSID CLSID_DVVideoCodec{
    0xB1B77C00, 0xC3E4, 0x11CF, {0xAF, 0x79, 0x00, 0xAA, 0x00, 0xB6, 0x7A, 0x42}};
inline constexpr CLSID CLSID_VideoMixingRenderer9{
    0x51B4ABF3, 0x748F, 0x4E3B, {0xA2, 0x76, 0xC8, 0x28, 0x33, 0x0E, 0x92, 0x6A}};
inline constexpr CLSID CLSID_DSoundRender{
    0x79376820, 0x07D0, 0x11CF, {0xA2, 0x4D, 0x00, 0x20, 0xAF, 0xD7, 0x97, 0x67}};
inline constexpr CLSID CLSID_NullRenderer{
    0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
inline constexpr CLSID CLSID_InfTee{
    0xF8388A40, 0xD5BB, 0x11D0, {0xBE, 0x5A, 0x00, 0x80, 0xC7, 0x06, 0x56, 0x8E}};
inline constexpr CLSID CLSID_LAVSplitterSource{
    0xB98D13E7, 0x55DB, 0x4385, {0xA3, 0x3D, 0x09, 0xFD, 0x1B, 0xA2, 0x63, 0x38}};
inline constexpr CLSID CLSID_LAVSplitter{
    0x171252A0, 0x8820, 0x4AFE, {0x9D, 0xF8, 0x5C, 0x92, 0xB2, 0xD6, 0x6B, 0x04}};
inline constexpr CLSID CLSID_MSDTVDVDVideoDecoder{
    0x212690FB, 0x83E5, 0x4526, {0x8F, 0xD7, 0x74, 0x47, 0x8B, 0x79, 0x39, 0xCD}};
inline constexpr CLSID CLSID_MSDTVDVDAudioDecoder{
    0xE1F1A0B8, 0xBEEE, 0x490D, {0xBA, 0x7C, 0x06, 0x6C, 0x40, 0xB5, 0xE2, 0xB9}};

// Filter categories (monikers enumerate them).
inline constexpr CLSID CLSID_LegacyAmFilterCategory{
    0x083863F1, 0x70DE, 0x11D0, {0xBD, 0x40, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr CLSID CLSID_AudioRendererCategory{
    0xE0F158E1, 0xCB04, 0x11D0, {0xBD, 0x4E, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
inline constexpr CLSID CLSID_VideoInputDeviceCategory{
    0x860BB310, 0x5D01, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
