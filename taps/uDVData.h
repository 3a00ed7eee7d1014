#pragma once
// Reading the metadata that a camcorder writes into every DV frame (IEC 61834 layout): the TV
// system, the display aspect, the audio sampling parameters, the recording date and time and the
// time code. A frame is a run of DIF sequences of 12000 bytes: 10 in the 525/60 system (120000
// bytes), 12 in the 625/50 system (144000 bytes). Every function takes the frame as a byte span
// and reads only the DIF sequences that the span holds completely, so a short or hostile buffer
// is never read past its end.
#include "platform/rtl/FormatSettings.h"
#include "taps/uTapRecords.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include <QString>

inline constexpr size_t DIFSequenceSize = 12000;
inline constexpr size_t DVFrameSize525 = 120000; // NTSC
inline constexpr size_t DVFrameSize625 = 144000; // PAL

// Recording date parts of one DIF sequence; Year is -1 when the sequence carries no date.
struct TDVRecordingDate {
    int32_t Year = -1;
    uint8_t Month = 0;
    uint8_t Day = 0;
    uint8_t Hour = 0;
    uint8_t Minute = 0;
    uint8_t Second = 0;
};

// Time code of one DIF sequence: hours, minutes, seconds, frames. Hours = 0xFF means none; the
// test of validity is bit 7 of the hours byte being clear.
using TDVTimecode = std::array<uint8_t, 4>;
inline bool IsValidTimecode(const TDVTimecode& t) {
    return (t[0] & 0x80) == 0;
}

// Number of DIF sequences the buffer holds completely.
int DIFSequenceCount(std::span<const uint8_t> frame);

// TV system vote over sequences 0..9 (byte 3 of the header block): 0 (625/50) or 1 (525/60)
// for the majority, whose value is then written into byte 3 of sequences 0..9 so that the frame
// goes downstream repaired; 2 on a tie, and nothing is written. A frame whose size already says
// its system (frameSizeSystem 0 or 1: twelve or ten whole sequences) takes that system instead
// of a contrary majority, so that a frame whose flags lie is repaired into one that decodes.
uint8_t DetectSystem(std::span<uint8_t> frame, uint8_t frameSizeSystem = tvUndetermined);

// 16:9 when the first VAUX source control pack of sequences 0..9 says so (DISP = 2, or DISP = 7
// with AP3 = 0); 4:3 otherwise, also when there is no such pack.
bool IsWideScreen(std::span<const uint8_t> frame);

TDVRecordingDate ReadRecordingDate(std::span<const uint8_t> frame, int sequence);
TDVTimecode ReadTimecode(std::span<const uint8_t> frame, int sequence);

// Audio sampling rate (48000, 44100, 32000, or 0 for another code) and bits (16, 12, or 0) of
// the first AAUX source pack of sequences 0..9; -1 when no sequence has one.
int32_t ReadAudioRate(std::span<const uint8_t> frame);
int32_t ReadAudioBits(std::span<const uint8_t> frame);

// True when every sequence of the system (12 for 0, 10 for 1) is present and has the header,
// VAUX and AAUX packs of a complete frame.
bool IsCompleteFrame(std::span<const uint8_t> frame, uint8_t system);

// The first recording date of sequences 0..9, composed into a date-time; false (and 0) when no
// sequence has one or it is no valid calendar date and time.
bool ReadFrameRecordingDate(std::span<const uint8_t> frame, double& recordingDate);
// The first valid time code of sequences 0..9; false when none.
bool ReadFrameTimecode(std::span<const uint8_t> frame, TDVTimecode& timecode);

// What the DV decoding needs from the tap that runs it.
struct TDVDecodeSettings {
    QString DateFormat = QStringLiteral("ddddd - tt"); // empty: short date and long time
    QString NoDatecodeText = QStringLiteral("No Datecode");
    QString NoTimecodeText = QStringLiteral("NoTimecode");
    TFormatSettings Locale = TFormatSettings::Default();
    bool IsDVDevice = false; // the source is a DV device
    QString VideoFormatName; // format name of the DV video media type ("DV Type 2", ...)
};

// "h:mm:ss:ff" of a time code, hours without leading zeros.
QString TimecodeToText(const TDVTimecode& timecode);

// Recording date, time code and their texts into the frame data (the values of a frame without
// a date or time code are marked invalid and get the no-date / no-time-code texts).
void ReadDVCodes(std::span<const uint8_t> frame, const TDVDecodeSettings& settings,
                 TframeData& data);

enum class TDVStreamKind {
    Video,      // a DV video stream (dvsd / dvcp sub-type): one frame per sample
    Interleaved // interleaved audio and video (FORMAT_DvInfo)
};

// Decodes one sample of a DV stream into the tap's current frame and video data. A DV video
// sample of another length than 120000 or 144000 bytes is not decoded (false, nothing changes).
// An interleaved sample of another length than 144000 is read as a 525/60 frame of as many
// sequences (at most 10) as it holds completely. Byte 3 of the header blocks may be repaired in
// the buffer (DetectSystem).
bool DecodeDVFrame(TDVStreamKind kind, std::span<uint8_t> sample, const TDVDecodeSettings& settings,
                   TframeData& frame, TVideoData& video);
