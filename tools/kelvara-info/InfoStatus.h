#pragma once
// How a run of kelvara-info ends: its exit code and the message that says what happened.
// Every run that did not show the whole video (or the frames asked for) ends with a code other
// than 0, also when it printed the frames it got before it stopped.
#include "platform/com/HResult.h"

#include <cstddef>
#include <string>

enum class TInfoExit : int {
    Ok = 0,
    Usage = 1,
    Missing = 2,      // no such file
    Unreadable = 3,   // cannot be opened, is not a regular file, or no source can read it
    NoVideo = 4,      // the file has no video stream
    NotDecodable = 5, // the video cannot be decoded, or playing failed before a frame was shown
    Stopped = 6,      // playing stopped before the end; the frames shown are printed
    OutOfMemory = 7,  // memory ran out (the frames shown before are printed)
    TooLarge = 8,     // the picture is larger than the program can show
    OutputFailed = 9, // the report could not be written
    Internal = 10,    // an unexpected error inside the tool
};

struct TInfoStatus {
    TInfoExit Code = TInfoExit::Ok;
    std::string Message;
    bool Ok() const { return Code == TInfoExit::Ok; }
};

// What a failure code of the media framework means: out of memory and a picture too large have
// exit codes of their own, every other failure takes `otherwise`.
struct TInfoFailure {
    TInfoExit Code = TInfoExit::NotDecodable;
    std::string Text; // "out of memory", "error VFW_E_NOT_CONNECTED (0x80040209)", ...
};
TInfoFailure FailureOf(HRESULT hr, TInfoExit otherwise);
TInfoFailure OutOfMemoryFailure();

// A run that failed after `frames` frames were shown:
//   "FILE: the video cannot be played: TEXT" when none was (NotDecodable),
//   "FILE: playing stopped after N frames: TEXT" when some were (Stopped);
// the failure's own code wins when it is out of memory, a picture too large or an error in the
// program.
TInfoStatus StoppedStatus(const std::string& file, size_t frames, const TInfoFailure& failure);
