#pragma once
// What the demuxer adds to FFmpeg's raw DV demuxer, for tapes whose frames are not all of one
// system. A tape recorded partly in PAL (144000-byte frames) and partly in NTSC (120000) is
// read by FFmpeg with the size of the frame before: the first frame after a switch is read
// with the old size, and every later frame starts in the middle of one (a picture made of parts
// of two frames, codes of the wrong one), or, from NTSC to PAL, the read fails. Its time stamps
// count frames in the base of the frame just read, so they go back at a switch to NTSC.
//
// - Alignment: after a frame whose read took another size than the frame's own, the input is
//   put back at the frame's end; a read that failed because the frame is larger than the size
//   read is made again from the same place (once); a frame that starts with a DIF sequence
//   other than the first (after a seek by the old system's frame size) is dropped, with its
//   sound, and the input goes back to the start of that frame. Only frames whose first blocks
//   are a DIF sequence's count: a dropout (zeros) or garbage leaves FFmpeg's reading as it is.
// - Times: frames read one after the other run on from the end of the frame before in the
//   duration of their own system; after a seek, the first frame's time is its index in its own
//   system, counted from where it lies (the only thing known without reading the whole tape). A
//   tape of one system gets exactly FFmpeg's times.
//
// Thread contract: none; the demuxer owns it and calls it from its reading thread only.
#include "platform/filters/FFmpegUtil.h"

class TRawDVFrames {
public:
    TRawDVFrames(int videoStream, int64_t dataStart) : FVideo(videoStream), FDataStart(dataStart) {}

    // After every seek of the input: the next frame starts a new run of times.
    void Reset();
    // A packet just read by av_read_frame; before is the input's position before that call.
    // Re-stamps video packets with media times (time base 1/10000000) and puts the input back
    // where the next frame starts. False: drop the packet (a frame read from its middle, or its
    // sound).
    bool Accept(AVFormatContext* context, AVPacket* packet, int64_t before);
    // A read that failed with error: true when the input was put back to be read again.
    bool Retry(AVFormatContext* context, int error, int64_t before);

private:
    // recorded: the packet starts with a DIF sequence (it is no dropout).
    void Stamp(AVPacket* packet, bool recorded);

    const int FVideo;
    const int64_t FDataStart;
    // The run of frames read one after the other: its first frame's index and time, the time
    // base of its frames, and the index the next frame will carry.
    int64_t FRunFrame = 0;
    REFERENCE_TIME FRunStart = 0;
    AVRational FRunBase{0, 1};
    int64_t FNextFrame = -1;
    int64_t FDroppedAt = -1;   // position of the frame whose sound is dropped
    int64_t FRealignedTo = -1; // the last frame start gone back to; never twice
    int64_t FRetriedAt = -1;   // the last read made again; never twice
};
