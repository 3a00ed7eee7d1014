// The format blocks are read at fixed offsets by code that takes bytes from other splitters'
// media types: writing a field through the structure must put it at its published offset.
#include "platform/graph/FormatBlocks.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

template <typename T>
uint32_t At32(const T& block, size_t offset) {
    uint32_t v;
    std::memcpy(&v, reinterpret_cast<const BYTE*>(&block) + offset, 4);
    return v;
}
template <typename T>
uint16_t At16(const T& block, size_t offset) {
    uint16_t v;
    std::memcpy(&v, reinterpret_cast<const BYTE*>(&block) + offset, 2);
    return v;
}

TEST(FormatBlocks, VideoInfoHeaderFieldsAtPublishedOffsets) {
    VIDEOINFOHEADER vih;
    vih.dwBitRate = 0x11223344;
    vih.AvgTimePerFrame = 0x0000000055667788;
    vih.bmiHeader.biWidth = 720;
    vih.bmiHeader.biHeight = -576;
    vih.bmiHeader.biBitCount = 24;
    vih.bmiHeader.biCompression = 0x64737664;
    EXPECT_EQ(At32(vih, 32), 0x11223344u);
    EXPECT_EQ(At32(vih, 40), 0x55667788u);
    EXPECT_EQ(At32(vih, 48), 40u) << "biSize";
    EXPECT_EQ(At32(vih, 52), 720u);
    EXPECT_EQ(int32_t(At32(vih, 56)), -576);
    EXPECT_EQ(At16(vih, 62), 24u);
    EXPECT_EQ(At32(vih, 64), 0x64737664u);
}

TEST(FormatBlocks, VideoInfoHeader2AndMpeg2FieldsAtPublishedOffsets) {
    MPEG2VIDEOINFO m2;
    m2.hdr.dwBitRate = 8000000;
    m2.hdr.AvgTimePerFrame = 400000;
    m2.hdr.dwPictAspectRatioX = 16;
    m2.hdr.dwPictAspectRatioY = 9;
    m2.hdr.bmiHeader.biWidth = 1920;
    m2.hdr.bmiHeader.biHeight = 1080;
    m2.hdr.bmiHeader.biBitCount = 12;
    m2.cbSequenceHeader = 4;
    m2.dwProfile = AM_MPEG2Profile_Main;
    EXPECT_EQ(At32(m2, 32), 8000000u);
    EXPECT_EQ(At32(m2, 40), 400000u);
    EXPECT_EQ(At32(m2, 56), 16u);
    EXPECT_EQ(At32(m2, 60), 9u);
    EXPECT_EQ(At32(m2, 76), 1920u);
    EXPECT_EQ(At32(m2, 80), 1080u);
    EXPECT_EQ(At16(m2, 86), 12u);
    EXPECT_EQ(At32(m2, 116), 4u);
    EXPECT_EQ(At32(m2, 120), 2u);
    EXPECT_EQ(MPEG2VIDEOINFO_SIZE(0), 132u);
    EXPECT_EQ(MPEG1VIDEOINFO_SIZE(12), 108u);
}

TEST(FormatBlocks, WaveFormatIsPackedToEighteenBytes) {
    const BYTE bytes[18] = {0x01, 0x00, 0x02, 0x00, 0x80, 0xBB, 0x00, 0x00, 0x00,
                            0xEE, 0x02, 0x00, 0x04, 0x00, 0x10, 0x00, 0x00, 0x00};
    WAVEFORMATEX wfx;
    std::memcpy(&wfx, bytes, sizeof wfx);
    EXPECT_EQ(wfx.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(wfx.nChannels, 2);
    EXPECT_EQ(wfx.nSamplesPerSec, 48000u);
    EXPECT_EQ(wfx.nAvgBytesPerSec, 192000u);
    EXPECT_EQ(wfx.nBlockAlign, 4);
    EXPECT_EQ(wfx.wBitsPerSample, 16);
    EXPECT_EQ(wfx.cbSize, 0);
    WAVEFORMATEXTENSIBLE ext;
    ext.Format.cbSize = 22;
    EXPECT_EQ(sizeof ext - sizeof ext.Format, ext.Format.cbSize);
}

TEST(FormatBlocks, DvInfoPacks) {
    DVINFO dv;
    dv.dwDVVAuxSrc = 0xAABBCCDD;
    dv.dwDVVAuxCtl = 0x01020304;
    EXPECT_EQ(At32(dv, 16), 0xAABBCCDDu);
    EXPECT_EQ(At32(dv, 20), 0x01020304u);
}

} // namespace
