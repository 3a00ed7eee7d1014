#pragma once
// One opened container: FFmpeg's demuxer over a file of its own or over an IAsyncReader, the
// time origin of the file's presentation, its duration, and packets in file order with a seek
// that always restarts at a key frame at or before the target.
//
// Times: media times count from the file's first video frame (the first frame of any stream
// when there is no video), whatever start time stamp the container carries, so that a program
// stream starting at 0.5 s still starts at 0. A start that lies apart from every time stamp of
// the stream's first packets (a damaged one) is replaced by the earliest of those that agree.
//
// Input. FFmpeg reads the stream only through an I/O context of the program's own (over the
// source's reader, or over the file the path names, opened as OpenRegularFile does): the library
// is given no name to open, its demuxers may open nothing else (no protocol is allowed, every
// nested open is refused), and formats that only name other files (playlists, concatenation
// lists) are refused. The chooser sees up to kProbeBytes of the stream's start.
//
// Thread contract: not thread-safe; the splitter that owns it serialises every call. Interrupt
// alone may be called from any thread: it makes a blocked open, read or seek give up.
#include "platform/filters/FFmpegUtil.h"
#include "platform/filters/RawDVFrames.h"
#include "platform/filters/ReaderIOContext.h"
#include "platform/graph/SourceInterfaces.h"

#include <atomic>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include <QString>

class TFFmpegDemuxer {
public:
    // Chooses how to open a stream from its first bytes: sets *format (null: let FFmpeg probe
    // every format) and answers true, or answers false to refuse the stream.
    using TFormatChooser =
        std::function<bool(std::span<const uint8_t> head, const AVInputFormat** format)>;
    // Looks at the opened streams; false refuses the file.
    using TStreamCheck = std::function<bool(const AVFormatContext* context)>;

    TFFmpegDemuxer();
    ~TFFmpegDemuxer();
    TFFmpegDemuxer(const TFFmpegDemuxer&) = delete;
    TFFmpegDemuxer& operator=(const TFFmpegDemuxer&) = delete;

    // VFW_E_UNSUPPORTED_STREAM when the chooser or the check refuses, VFW_E_INVALID_FILE_FORMAT
    // when FFmpeg cannot read it, KELVARA_E_REFERS_TO_OTHER_FILES for a playlist or a list of
    // other files, E_OUTOFMEMORY; the path's own failures are those of OpenRegularFile.
    HRESULT Open(IAsyncReader* reader, const TFormatChooser& choose, const TStreamCheck& check);
    HRESULT Open(const QString& path, const TFormatChooser& choose, const TStreamCheck& check);
    void Close();
    bool IsOpen() const { return bool(FContext); }

    AVFormatContext* Context() const { return FContext.get(); }
    // The first bytes of the stream (up to kProbeBytes), as the chooser saw them.
    const std::vector<uint8_t>& Head() const { return FHead; }
    // Media time (100 ns, the container's clock) of the presentation's first frame.
    REFERENCE_TIME Origin() const { return FOrigin; }
    // Length of the presentation from its first frame; 0 when unknown.
    REFERENCE_TIME Duration() const { return FDuration; }
    // The stream that seeks follow (the first video stream), or -1.
    int SeekStream() const { return FSeekStream; }
    // A packet's presentation (or decoding) time in media time from the origin, or
    // AV_NOPTS_VALUE.
    REFERENCE_TIME PresentationTime(const AVPacket& packet) const;
    REFERENCE_TIME DecodingTime(const AVPacket& packet) const;
    REFERENCE_TIME PacketDuration(const AVPacket& packet) const;

    // The next packet in file order: 0, AVERROR_EOF at the end, another error code when the
    // file is damaged beyond reading.
    int Read(AVPacket* packet);
    // The time base each packet was read with (stamped on it by Read).
    AVRational PacketTimeBase(const AVPacket& packet) const;
    // Positions the file so that the next packets start at a key frame of the seek stream
    // whose presentation time is at or before target (within tolerance: a key frame less than
    // tolerance after the target counts as on it), or at the very start.
    HRESULT Seek(REFERENCE_TIME target, REFERENCE_TIME tolerance);
    void Interrupt(bool on) { FInterrupt.store(on); }

private:
    void StampTimeBase(AVPacket* packet) const;
    HRESULT OpenIO(const TFormatChooser& choose, const TStreamCheck& check);
    HRESULT OpenContext(AVFormatContext* context, const TFormatChooser& choose,
                        const TStreamCheck& check);
    void LearnTimes();
    // Checks the origin against the time stamps of the seek stream's first packets; when it
    // lies apart from all of them (a damaged first time stamp), moves it to the earliest that
    // agrees with another and answers true.
    bool CheckOrigin();
    // The end of the last video frame, found by decoding the file's last pictures (for files
    // whose duration FFmpeg only estimated from time stamps: the last packets of an MPEG
    // stream often carry none); AV_NOPTS_VALUE when it cannot be found.
    REFERENCE_TIME DecodedEnd();
    bool SeekFile(REFERENCE_TIME target);
    void SeekToStart();
    int ReadToKeyFrame(AVPacket* packet);
    static int InterruptCallback(void* opaque);

    std::unique_ptr<TReaderIOContext> FIO;
    std::unique_ptr<TRawDVFrames> FRawDV; // raw DV only
    kelvara::ff::TFormatPtr FContext;
    std::vector<uint8_t> FHead;
    REFERENCE_TIME FOrigin = 0;
    REFERENCE_TIME FDuration = 0;
    int FSeekStream = -1;
    int64_t FDataStart = 0;
    // Packets read since the open; a seek to the start right after the open is not needed.
    bool FFresh = true;
    kelvara::ff::TPacketPtr FPending; // held back by Seek, returned first by Read
    int FErrors = 0;
    std::atomic<bool> FInterrupt{false};
};
