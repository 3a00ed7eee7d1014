#pragma once
// What kelvara-info learns about a file: the stream descriptions and, per frame shown, its
// position and DV codes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TInfoFrame {
    int64_t Index = 0;        // from 0, in the order shown
    int64_t Position = 0;     // 100-ns units
    std::string PositionText; // h:mm:ss:ff
    bool DateValid = false;
    double RecordingDate = 0; // days since 1899-12-30
    bool TimecodeValid = false;
    std::string TimecodeText; // h:mm:ss:ff when valid
    // Rows of --at: the target as typed, how long the seek took, whether the target lay past
    // the last reachable frame (the row is then that frame's).
    std::string Target;
    double SeekMilliseconds = 0;
    bool LastReachable = false;
};

struct TInfoResult {
    std::string File;
    std::string VideoText;                // description and size, as the program shows them
    std::optional<std::string> AudioText; // none without an audio stream
    std::string Decoder;                  // the video decoder the graph used (its record's name)
    int64_t FrameDuration = 0;            // 100-ns units
    std::vector<TInfoFrame> Frames;
};

// "YYYY-MM-DDTHH:MM:SS" of a date-time (to the nearest second); empty when it is no date.
std::string IsoDateTime(double dateTime);
