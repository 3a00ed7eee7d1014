#pragma once
// The command line of the clip maker:
//   kelvara-mksample --list
//   kelvara-mksample KIND OUT [--option value | --option=value]... [--json]
// The DV kind's options are fixed because other checks call it:
//   kelvara-mksample dv OUT --system pal|ntsc [--date YYYY-MM-DDTHH:MM:SS]
//       [--timecode HH:MM:SS:FF] [--seconds S] [--aspect 4:3|16:9] [--avi-type 1|2]
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Frame numbers given as "all" or a list of numbers and ranges: "0,3,10-12".
class TFrameSet {
public:
    static TFrameSet Parse(const std::string& text); // throws TClipError
    bool Contains(int64_t frame) const;
    bool Empty() const { return !FAll && FRanges.empty(); }
    const std::string& Text() const { return FText; }

private:
    bool FAll = false;
    std::vector<std::pair<int64_t, int64_t>> FRanges;
    std::string FText;
};

struct TCalendarTime {
    int Year = 2005, Month = 12, Day = 25, Hour = 15, Minute = 4, Second = 5;
    std::string Iso() const; // YYYY-MM-DDTHH:MM:SS
};

struct TTimecodeValue {
    int Hours = 0, Minutes = 0, Seconds = 0, Frames = 0;
    bool DropFrame = false;
    std::string Text() const; // HH:MM:SS:FF (";" before the frames for drop frame)
};

struct TOptions {
    std::string Kind;
    std::string Out;
    bool List = false;
    bool Help = false;
    bool Json = false;

    double Seconds = 1.0;
    std::string System = "pal"; // pal or ntsc
    std::string Aspect;         // 4:3, 16:9 or empty for the kind's own
    std::string Pattern = "bars";
    int Width = 0, Height = 0; // 0: the kind's own size
    int RateNum = 0, RateDen = 0;
    int Gop = 0;      // 0: the kind's own
    int BFrames = -1; // -1: the kind's own
    bool NoAudio = false;
    int AudioRate = 0; // 0: the kind's own
    int AudioBits = 16;

    // DV
    TCalendarTime Date;
    TTimecodeValue Timecode;
    int AviType = 2;
    TFrameSet RemoveTimecode;
    TFrameSet RemoveDate;
    std::string InvalidDate; // month0 or april31
    TFrameSet InvalidDateFrames;

    // Broken files
    std::string From = "mpeg2";
    double Keep = 0.5;
    int64_t Bytes = 65536;
    uint32_t Seed = 1;
};

// Throws TClipError for anything it does not understand.
TOptions ParseOptions(int argc, char** argv);
std::string UsageText();
