#include "taps/uMediaDescriptions.h"

#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaGuids.h"

#include <cmath>
#include <cstring>
#include <optional>

#include <QLocale>

namespace {

// The fields that the video readers take from a format block.
struct TVideoFields {
    int32_t Width = 0, Height = 0, BitCount = 0, BitRate = 0, AspectX = 0, AspectY = 0;
    int64_t AvgTimePerFrame = 0;
};

template <typename T>
std::optional<T> ReadAt(const AM_MEDIA_TYPE& mt, size_t offset) {
    if (mt.cbFormat() < offset + sizeof(T))
        return std::nullopt;
    T value;
    std::memcpy(&value, mt.pbFormat() + offset, sizeof(T));
    return value;
}

// Four characters stored lowest byte first; bytes below 0x20 are shown as blanks.
QString FourCCText(uint32_t code) {
    QString s;
    for (int i = 0; i < 4; ++i) {
        const uint8_t b = uint8_t(code >> (8 * i));
        s += b < 0x20 ? QChar(u' ') : QChar(char16_t(b));
    }
    return s;
}

bool HasControlByte(uint32_t code) {
    for (int i = 0; i < 4; ++i)
        if (uint8_t(code >> (8 * i)) < 0x20)
            return true;
    return false;
}

bool IsDVFourCC(const GUID& subtype) {
    if (!IsFourCCGuid(subtype))
        return false;
    const QString lower = FourCCText(subtype.Data1).toLower();
    return lower == u"dvcp" || lower == u"dvsd";
}

TVideoFields ReadVideoInfo(const VIDEOINFOHEADER& vih) {
    TVideoFields f;
    f.Width = vih.bmiHeader.biWidth;
    f.Height = vih.bmiHeader.biHeight;
    f.BitCount = vih.bmiHeader.biBitCount;
    f.BitRate = int32_t(vih.dwBitRate);
    f.AvgTimePerFrame = vih.AvgTimePerFrame;
    return f;
}

TVideoFields ReadVideoInfo2(const VIDEOINFOHEADER2& vih, bool withAspect) {
    TVideoFields f;
    f.Width = vih.bmiHeader.biWidth;
    f.Height = vih.bmiHeader.biHeight;
    f.BitCount = vih.bmiHeader.biBitCount;
    f.BitRate = int32_t(vih.dwBitRate);
    f.AvgTimePerFrame = vih.AvgTimePerFrame;
    if (withAspect) {
        f.AspectX = int32_t(vih.dwPictAspectRatioX);
        f.AspectY = int32_t(vih.dwPictAspectRatioY);
    }
    return f;
}

// The readers, in the order in which they are tried; the first that accepts the type wins.
std::optional<TVideoFields> ReadVideoFields(const AM_MEDIA_TYPE& mt) {
    const GUID& ft = mt.formattype;
    if (mt.subtype == MEDIASUBTYPE_dvsd && ft == FORMAT_VideoInfo)
        if (auto vih = mt.ReadFormat<VIDEOINFOHEADER>())
            return ReadVideoInfo(*vih);
    if (IsDVFourCC(mt.subtype) && ft == FORMAT_VideoInfo2)
        if (auto vih = mt.ReadFormat<VIDEOINFOHEADER2>())
            return ReadVideoInfo2(*vih, false);
    if (ft == FORMAT_MPEG2Video && mt.cbFormat() >= sizeof(MPEG2VIDEOINFO))
        if (auto vih = mt.ReadFormat<VIDEOINFOHEADER2>())
            return ReadVideoInfo2(*vih, true);
    if (ft == FORMAT_VideoInfo)
        if (auto vih = mt.ReadFormat<VIDEOINFOHEADER>())
            return ReadVideoInfo(*vih);
    if (ft == FORMAT_VideoInfo2)
        if (auto vih = mt.ReadFormat<VIDEOINFOHEADER2>())
            return ReadVideoInfo2(*vih, true);
    if (ft == FORMAT_MPEGVideo && mt.cbFormat() >= sizeof(MPEG1VIDEOINFO))
        if (auto vih = mt.ReadFormat<VIDEOINFOHEADER>())
            return ReadVideoInfo(*vih);
    return std::nullopt;
}

QString RgbSubtypeName(const GUID& subtype) {
    static const struct {
        const GUID& Subtype;
        const char16_t* Name;
    } names[] = {{MEDIASUBTYPE_RGB24, u"RGB24"},  {MEDIASUBTYPE_RGB32, u"RGB32"},
                 {MEDIASUBTYPE_RGB1, u"RGB1"},    {MEDIASUBTYPE_RGB4, u"RGB4"},
                 {MEDIASUBTYPE_RGB8, u"RGB8"},    {MEDIASUBTYPE_RGB565, u"RGB565"},
                 {MEDIASUBTYPE_RGB555, u"RGB555"}};
    for (const auto& n : names)
        if (n.Subtype == subtype)
            return QString::fromUtf16(n.Name);
    return QString();
}

// Banker's rounding of a positive quotient, as the aspect reduction needs.
int32_t RoundTenthHalfEven(int32_t v) {
    return int32_t(std::nearbyint(double(v) / 10.0));
}

QString NumberText(double v) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(v, 'f', QLocale::FloatingPointShortest);
}

QString AudioSubtypeName(const GUID& subtype) {
    static const struct {
        const GUID& Subtype;
        const char16_t* Name;
    } names[] = {
        {MEDIASUBTYPE_MPEG2_AUDIO, u"MPEG2"},         {MEDIASUBTYPE_DOLBY_AC3, u"DOLBY AC3"},
        {MEDIASUBTYPE_DVD_LPCM_AUDIO, u"LPCM"},       {MEDIASUBTYPE_MPEG1Packet, u"MPEG1Packet"},
        {MEDIASUBTYPE_MPEG1Payload, u"MPEG1Payload"}, {MEDIASUBTYPE_MPEG1Audio, u"MPEG1"}};
    for (const auto& n : names)
        if (n.Subtype == subtype)
            return QString::fromUtf16(n.Name);
    if (IsFourCCGuid(subtype))
        return HasControlByte(subtype.Data1) ? QStringLiteral("RGB") : FourCCText(subtype.Data1);
    return QString();
}

} // namespace

QString VideoFormatName(const AM_MEDIA_TYPE& mt) {
    if (IsFourCCGuid(mt.subtype)) {
        const QString text = FourCCText(mt.subtype.Data1);
        const QString lower = text.toLower();
        if (lower == u"dvcp")
            return QStringLiteral("DV Type 1");
        if (lower == u"dvsd")
            return QStringLiteral("DV Type 2");
        return text;
    }
    const QString rgb = RgbSubtypeName(mt.subtype);
    if (!rgb.isEmpty())
        return rgb;
    if (mt.formattype == FORMAT_VideoInfo) {
        const auto compression = ReadAt<uint32_t>(
            mt, offsetof(VIDEOINFOHEADER, bmiHeader) + offsetof(BITMAPINFOHEADER, biCompression));
        return compression ? FourCCText(*compression) : QString();
    }
    if (mt.formattype == FORMAT_VideoInfo2) {
        const auto compression = ReadAt<uint32_t>(
            mt, offsetof(VIDEOINFOHEADER2, bmiHeader) + offsetof(BITMAPINFOHEADER, biCompression));
        return compression ? FourCCText(*compression) : QString();
    }
    if (mt.formattype == FORMAT_MPEGVideo)
        return QStringLiteral("MPEG1");
    return QStringLiteral("MPEG2");
}

TVideoData DescribeVideoType(const AM_MEDIA_TYPE& mt) {
    TVideoData d;
    const auto fields = ReadVideoFields(mt);
    if (!fields)
        return d;
    d.Parsed = true;
    d.FormatName = VideoFormatName(mt);
    d.Width = fields->Width;
    d.Height = fields->Height;
    d.BitCount = fields->BitCount;
    d.AvgTimePerFrame = fields->AvgTimePerFrame;
    d.BitRate = fields->BitRate;
    d.AspectX = fields->AspectX;
    d.AspectY = fields->AspectY;
    FinishVideoDescription(d);
    return d;
}

void FinishVideoDescription(TVideoData& d) {
    const int64_t x = d.AspectX, y = d.AspectY;
    if (x > 0 || y > 0) {
        if (3 * x == 4 * y)
            d.AspectKind = akFourThree;
        else if (9 * x == 16 * y)
            d.AspectKind = akSixteenNine;
        else
            d.AspectKind = akOther;
    } else {
        d.AspectKind = akNone;
    }
    if (d.AspectKind == akOther) {
        while (d.AspectX > 99 && d.AspectY > 99) {
            d.AspectX = RoundTenthHalfEven(d.AspectX);
            d.AspectY = RoundTenthHalfEven(d.AspectY);
        }
    }
    switch (d.AspectKind) {
    case akFourThree:
        d.Description = d.FormatName + QStringLiteral(" (4x3)");
        break;
    case akSixteenNine:
        d.Description = d.FormatName + QStringLiteral(" (16x9)");
        break;
    case akNone:
        d.Description = d.FormatName;
        break;
    default:
        d.Description = d.FormatName + QStringLiteral(" (%1x%2)").arg(d.AspectX).arg(d.AspectY);
        break;
    }
    d.FrameRate = d.AvgTimePerFrame > 0 ? 10000000.0 / double(d.AvgTimePerFrame) : 0.0;
    d.SizeText = QStringLiteral("%1x%2").arg(d.Width).arg(d.Height);
    if (d.FrameRate > 0)
        d.SizeText += QStringLiteral(" - ") + NumberText(std::nearbyint(d.FrameRate * 100) / 100) +
                      QStringLiteral(" fps");
}

bool DescribeMpeg2Header(std::span<const uint8_t> b, TVideoData& d) {
    if (b.size() < 8 || b[0] != 0x00 || b[1] != 0x00 || b[2] != 0x01 || b[3] != 0xB3)
        return false;
    const int aspectCode = b[7] >> 4, rateCode = b[7] & 0x0F;
    if (aspectCode == 0 || rateCode == 0)
        return false;
    d.Width = (b[4] << 4) + (b[5] >> 4);
    d.Height = ((b[5] & 0x0F) << 8) + b[6];
    d.AspectKind = aspectCode == 2 ? akFourThree : aspectCode == 3 ? akSixteenNine : akNone;
    static const double rates[] = {24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50,
                                   60000.0 / 1001, 60};
    // Codes 9 to 15 are reserved: the header defines no rate, the type's rate stays.
    if (rateCode <= 8)
        d.FrameRate = rates[rateCode - 1];
    d.Description = QStringLiteral("MPEG2");
    if (d.AspectKind == akFourThree)
        d.Description += QStringLiteral(" (4x3)");
    else if (d.AspectKind == akSixteenNine)
        d.Description += QStringLiteral(" (16x9)");
    return true;
}

QString AudioFormatName(const AM_MEDIA_TYPE& mt) {
    if (mt.majortype != MEDIATYPE_Audio)
        return QString();
    QString name = AudioSubtypeName(mt.subtype);
    if (mt.formattype == FORMAT_WaveFormatEx)
        if (const auto wfx = mt.ReadFormat<WAVEFORMATEX>(); wfx && wfx->wFormatTag != 0) {
            const QString tagName = WaveFormatTagName(wfx->wFormatTag).left(4);
            if (!tagName.isEmpty())
                name = tagName;
        }
    return name;
}

bool DescribeAudioFormat(const AM_MEDIA_TYPE& mt, bool isDVDevice, TframeData& data) {
    if (mt.formattype != FORMAT_WaveFormatEx)
        return false;
    const auto wfx = mt.ReadFormat<WAVEFORMATEX>();
    if (!wfx)
        return false;
    data.Channels = wfx->nChannels;
    data.SampleRate = int32_t(wfx->nSamplesPerSec);
    data.BitRate = int32_t(uint32_t(wfx->nAvgBytesPerSec) * 8u);
    data.BitsPerSample = wfx->wBitsPerSample;
    QString text = data.FormatName;
    if (data.SampleRate > 0)
        text += QStringLiteral(" %1Hz").arg(data.SampleRate);
    if (data.BitsPerSample > 0) {
        if (isDVDevice && data.SampleRate == 32000)
            text += QStringLiteral(" 12bits");
        else
            text += QStringLiteral(" %1bits ").arg(data.BitsPerSample);
    } else if (data.BitRate > 0) {
        text += QStringLiteral(" %1Kb/s").arg(data.BitRate / 1000);
    }
    if (data.Channels == 1)
        text += QStringLiteral(" mono");
    else if (data.Channels == 2)
        text += QStringLiteral(" stereo");
    else
        text += QStringLiteral(" %1 channels").arg(data.Channels);
    data.AudioText = text;
    return true;
}
