#include "taps/uDVData.h"

#include "platform/rtl/FormatDateTime.h"

#include <algorithm>

namespace {

// Offsets inside a DIF sequence.
constexpr size_t kHeaderId = 0;    // header block ID byte 0: upper nibble 0x1
constexpr size_t kDSF = 3;         // 0xBF in 625/50, 0x3F in 525/60
constexpr size_t kTF1 = 5;         // bit 7: audio not transmitted
constexpr size_t kAP3 = 7;         // bits 2..0
constexpr size_t kTimecode0 = 110; // subcode block 0, sync block 3: pack header, then PC1..PC4
constexpr size_t kTimecode1 = 190; // subcode block 1, sync block 3: pack header
constexpr size_t kVauxSourceOdd = 243;
constexpr size_t kVauxControlOdd = 248;
constexpr size_t kVauxSourceEven = 448;
constexpr size_t kVauxControlEven = 453;
constexpr size_t kVauxDisplay = 455;
constexpr size_t kRecordingDate = 458; // pack header; day, month, year at +2, +3, +4
constexpr size_t kRecordingTime = 463; // pack header; seconds, minutes, hours at +2, +3, +4
constexpr size_t kAauxOdd = 483;
constexpr size_t kAauxEven = 4323;
constexpr size_t kAauxControlDistance = 1280;

constexpr uint8_t kPackTimecode = 0x13;
constexpr uint8_t kPackAauxSource = 0x50;
constexpr uint8_t kPackAauxControl = 0x51;
constexpr uint8_t kPackVauxSource = 0x60;
constexpr uint8_t kPackVauxControl = 0x61;
constexpr uint8_t kPackRecordingDate = 0x62;
constexpr uint8_t kPackRecordingTime = 0x63;
constexpr uint8_t kDSF625 = 0xBF;
constexpr uint8_t kDSF525 = 0x3F;

// Only sequences 0..9 are searched for metadata, also in a 12-sequence frame.
constexpr int kSearchedSequences = 10;

// The bytes of one DIF sequence; callers only make views of sequences the buffer holds.
class TSequence {
public:
    TSequence(std::span<const uint8_t> frame, int n)
        : FBytes(frame.subspan(size_t(n) * DIFSequenceSize, DIFSequenceSize)) {}
    uint8_t operator[](size_t offset) const { return FBytes[offset]; }

private:
    std::span<const uint8_t> FBytes;
};

int SearchedSequences(std::span<const uint8_t> frame) {
    return std::min(kSearchedSequences, DIFSequenceCount(frame));
}

uint8_t Bcd(uint8_t byte, uint8_t tensMask) {
    return uint8_t((byte & 0x0F) + ((byte & tensMask) >> 4) * 10);
}

// Whether the units digit of a BCD byte is a decimal digit.
bool BcdUnitsValid(uint8_t byte) {
    return (byte & 0x0F) <= 9;
}

int32_t AudioRateOf(uint8_t pc4) {
    switch ((pc4 >> 3) & 7) {
    case 0:
        return 48000;
    case 1:
        return 44100;
    case 2:
        return 32000;
    default:
        return 0;
    }
}

int32_t AudioBitsOf(uint8_t pc4) {
    switch (pc4 & 7) {
    case 0:
        return 16;
    case 1:
        return 12;
    default:
        return 0;
    }
}

// PC4 of the first AAUX source pack in block A3 of sequences 0..9; false when there is none.
bool FindAudioSourcePC4(std::span<const uint8_t> frame, uint8_t& pc4) {
    for (int n = 0; n < SearchedSequences(frame); ++n) {
        const TSequence s(frame, n);
        if (s[kAauxEven] == kPackAauxSource) {
            pc4 = s[kAauxEven + 4];
            return true;
        }
    }
    return false;
}

bool IsCompleteSequence(const TSequence& s, int n, uint8_t system) {
    if ((s[kHeaderId] & 0xF0) != 0x10 || s[kDSF] != (system == tvPal ? kDSF625 : kDSF525) ||
        (s[kTF1] & 0x80) != 0)
        return false;
    const bool even = n % 2 == 0;
    const size_t source = even ? kVauxSourceEven : kVauxSourceOdd;
    const size_t control = even ? kVauxControlEven : kVauxControlOdd;
    const size_t aaux = even ? kAauxEven : kAauxOdd;
    return s[source] == kPackVauxSource && s[control] == kPackVauxControl &&
           s[aaux] == kPackAauxSource && ((s[aaux + 4] >> 3) & 7) <= 2 &&
           s[aaux + kAauxControlDistance] == kPackAauxControl;
}

QString NumberText(int32_t n) {
    return QString::number(n);
}

} // namespace

int DIFSequenceCount(std::span<const uint8_t> frame) {
    return int(std::min<size_t>(frame.size() / DIFSequenceSize, 12));
}

uint8_t DetectSystem(std::span<uint8_t> frame, uint8_t frameSizeSystem) {
    const int count = SearchedSequences(frame);
    int votes625 = 0, votes525 = 0;
    for (int n = 0; n < count; ++n) {
        const uint8_t dsf = frame[size_t(n) * DIFSequenceSize + kDSF];
        votes625 += dsf == kDSF625;
        votes525 += dsf == kDSF525;
    }
    if (votes625 == votes525)
        return tvUndetermined;
    uint8_t system = votes625 > votes525 ? tvPal : tvNTSC;
    // Twelve sequences make a 625/50 frame and ten a 525/60 one, whatever their flags say.
    if (frameSizeSystem == tvPal || frameSizeSystem == tvNTSC)
        system = frameSizeSystem;
    const uint8_t flag = system == tvPal ? kDSF625 : kDSF525;
    for (int n = 0; n < count; ++n)
        frame[size_t(n) * DIFSequenceSize + kDSF] = flag;
    return system;
}

bool IsWideScreen(std::span<const uint8_t> frame) {
    for (int n = 0; n < SearchedSequences(frame); ++n) {
        const TSequence s(frame, n);
        if (s[kVauxControlEven] != kPackVauxControl)
            continue;
        const int display = s[kVauxDisplay] & 7;
        const int ap3 = s[kAP3] & 7;
        return display == 2 || (ap3 == 0 && display == 7);
    }
    return false;
}

TDVRecordingDate ReadRecordingDate(std::span<const uint8_t> frame, int sequence) {
    TDVRecordingDate r;
    if (sequence < 0 || sequence >= DIFSequenceCount(frame))
        return r;
    const TSequence s(frame, sequence);
    const uint8_t dateHeader = s[kRecordingDate], timeHeader = s[kRecordingTime];
    if ((dateHeader != kPackRecordingDate && dateHeader != 0) ||
        (timeHeader != kPackRecordingTime && timeHeader != 0))
        return r;
    r.Day = Bcd(s[kRecordingDate + 2], 0x30);
    r.Month = Bcd(s[kRecordingDate + 3], 0x10);
    const int year = Bcd(s[kRecordingDate + 4], 0xF0);
    r.Year = year < 40 ? 2000 + year : 1900 + year;
    r.Second = Bcd(s[kRecordingTime + 2], 0x70);
    r.Minute = Bcd(s[kRecordingTime + 3], 0x70);
    r.Hour = Bcd(s[kRecordingTime + 4], 0x30);
    return r;
}

TDVTimecode ReadTimecode(std::span<const uint8_t> frame, int sequence) {
    const TDVTimecode none{0xFF, 0xFF, 0xFF, 0xFF};
    if (sequence < 0 || sequence >= DIFSequenceCount(frame))
        return none;
    const TSequence s(frame, sequence);
    if (s[kTimecode0] != kPackTimecode || s[kTimecode1] != kPackTimecode)
        return none;
    for (size_t n = 1; n <= 4; ++n)
        if (!BcdUnitsValid(s[kTimecode0 + n]))
            return none;
    const uint8_t frames = Bcd(s[kTimecode0 + 1], 0x30);
    const uint8_t seconds = Bcd(s[kTimecode0 + 2], 0x70);
    const uint8_t minutes = Bcd(s[kTimecode0 + 3], 0x70);
    const uint8_t hours = Bcd(s[kTimecode0 + 4], 0x30);
    // A time code counts the frames of a second of its own system (25 in 625/50, 30 in 525/60)
    // and the hours of a day: anything beyond is damaged subcode data, not a time code.
    const uint8_t framesPerSecond = (s[kDSF] & 0x80) != 0 ? 25 : 30;
    if (minutes > 59 || seconds > 59 || hours > 23 || frames >= framesPerSecond)
        return none;
    return {hours, minutes, seconds, frames};
}

int32_t ReadAudioRate(std::span<const uint8_t> frame) {
    uint8_t pc4 = 0;
    return FindAudioSourcePC4(frame, pc4) ? AudioRateOf(pc4) : -1;
}

int32_t ReadAudioBits(std::span<const uint8_t> frame) {
    uint8_t pc4 = 0;
    return FindAudioSourcePC4(frame, pc4) ? AudioBitsOf(pc4) : -1;
}

bool IsCompleteFrame(std::span<const uint8_t> frame, uint8_t system) {
    if (system != tvPal && system != tvNTSC)
        return false;
    const int needed = system == tvPal ? 12 : 10;
    if (DIFSequenceCount(frame) < needed)
        return false;
    for (int n = 0; n < needed; ++n)
        if (!IsCompleteSequence(TSequence(frame, n), n, system))
            return false;
    return true;
}

bool ReadFrameRecordingDate(std::span<const uint8_t> frame, double& recordingDate) {
    recordingDate = 0;
    for (int n = 0; n < SearchedSequences(frame); ++n) {
        const TDVRecordingDate r = ReadRecordingDate(frame, n);
        if (r.Year == -1)
            continue;
        return TryEncodeDateTime(r.Year, r.Month, r.Day, r.Hour, r.Minute, r.Second, 0,
                                 recordingDate);
    }
    return false;
}

bool ReadFrameTimecode(std::span<const uint8_t> frame, TDVTimecode& timecode) {
    for (int n = 0; n < SearchedSequences(frame); ++n) {
        const TDVTimecode t = ReadTimecode(frame, n);
        if (IsValidTimecode(t)) {
            timecode = t;
            return true;
        }
    }
    return false;
}

QString TimecodeToText(const TDVTimecode& t) {
    return QStringLiteral("%1:%2:%3:%4")
        .arg(t[0])
        .arg(t[1], 2, 10, QLatin1Char('0'))
        .arg(t[2], 2, 10, QLatin1Char('0'))
        .arg(t[3], 2, 10, QLatin1Char('0'));
}

void ReadDVCodes(std::span<const uint8_t> frame, const TDVDecodeSettings& settings,
                 TframeData& data) {
    double date = 0;
    data.DateValid = ReadFrameRecordingDate(frame, date);
    data.RecordingDate = date;
    TDVTimecode timecode = data.Timecode;
    data.TimecodeValid = ReadFrameTimecode(frame, timecode);
    if (data.TimecodeValid)
        data.Timecode = timecode;
    data.DateText = data.DateValid
                        ? FormatDateTime(settings.DateFormat, data.RecordingDate, settings.Locale)
                        : settings.NoDatecodeText;
    data.TimecodeText =
        data.TimecodeValid ? TimecodeToText(data.Timecode) : settings.NoTimecodeText;
}

namespace {

bool DecodeDVVideoSample(std::span<uint8_t> sample, const TDVDecodeSettings& settings,
                         TframeData& frame, TVideoData& video) {
    uint8_t system;
    if (sample.size() == DVFrameSize625)
        system = tvPal;
    else if (sample.size() == DVFrameSize525)
        system = tvNTSC;
    else
        return false;
    frame.DVFrameValid = false;
    frame.TVSystem = DetectSystem(sample, system);
    QString description =
        settings.IsDVDevice ? QStringLiteral("DV type 1") : settings.VideoFormatName;
    // The frame's size says what it is; the stream's type may have guessed otherwise from a
    // frame whose flags lied, so the size text follows the frame too.
    if (system == tvPal) {
        description += QStringLiteral(" Pal");
        video.Width = 720;
        video.Height = 576;
        video.FrameRate = 25.0;
        video.SizeText = QStringLiteral("720x576 - 25 fps");
    } else {
        description += QStringLiteral(" NTSC");
        video.Width = 720;
        video.Height = 480;
        video.FrameRate = 30000.0 / 1001.0;
        video.SizeText = QStringLiteral("720x480 - 29.97 fps");
    }
    const bool wide = IsWideScreen(sample);
    description += wide ? QStringLiteral(" (16x9)") : QStringLiteral(" (4x3)");
    video.AspectKind = wide ? akSixteenNine : akFourThree;
    video.Description = description;
    ReadDVCodes(sample, settings, frame);
    frame.DVFrameValid = true;
    return true;
}

bool DecodeInterleavedSample(std::span<uint8_t> sample, const TDVDecodeSettings& settings,
                             TframeData& frame, TVideoData& video) {
    const uint8_t system = sample.size() == DVFrameSize625 ? tvPal : tvNTSC;
    if (system == tvNTSC && sample.size() > DVFrameSize525)
        sample = sample.first(DVFrameSize525);
    frame.DVFrameValid = false;
    QString description = QStringLiteral("DV type1 ");
    const bool fullFrame = sample.size() == DVFrameSize625 || sample.size() == DVFrameSize525;
    frame.TVSystem = DetectSystem(sample, fullFrame ? system : uint8_t(tvUndetermined));
    if (frame.TVSystem == tvPal) {
        video.Width = 720;
        video.Height = 576;
        video.FrameRate = 25.0;
        description += QStringLiteral("Pal ");
        video.SizeText = QStringLiteral("720x576 - 25 fps");
    } else if (frame.TVSystem == tvNTSC) {
        video.Width = 720;
        video.Height = 480;
        video.FrameRate = 30000.0 / 1001.0;
        description += QStringLiteral("NTSC ");
        video.SizeText = QStringLiteral("720x480 - 29.97 fps");
    }
    const bool wide = IsWideScreen(sample);
    description += wide ? QStringLiteral(" (16x9) ") : QStringLiteral(" (4x3) ");
    video.AspectKind = wide ? akSixteenNine : akFourThree;
    video.Description = description;
    frame.SampleRate = ReadAudioRate(sample);
    frame.BitsPerSample = ReadAudioBits(sample);
    frame.AudioText = QStringLiteral("DV ") + NumberText(frame.SampleRate) + QStringLiteral("Hz ") +
                      NumberText(frame.BitsPerSample) + QStringLiteral("bits stereo");
    ReadDVCodes(sample, settings, frame);
    frame.DVFrameValid = IsCompleteFrame(sample, system);
    return true;
}

} // namespace

bool DecodeDVFrame(TDVStreamKind kind, std::span<uint8_t> sample, const TDVDecodeSettings& settings,
                   TframeData& frame, TVideoData& video) {
    return kind == TDVStreamKind::Video ? DecodeDVVideoSample(sample, settings, frame, video)
                                        : DecodeInterleavedSample(sample, settings, frame, video);
}
