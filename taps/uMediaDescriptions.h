#pragma once
// What the user reads about a stream: the short format name, size and frame rate, display aspect
// and audio format, derived from a media type (major type, sub-type, format type and format
// block) or from the sequence header at the start of an MPEG-2 sample; and the small shared
// helpers beside them: the h:mm:ss:ff position text and its parser, and the aspect-fitting
// rectangle. Every function is pure: it reads only what it is given and never reads outside a
// format block or a sample, whatever its bytes and length.
#include "platform/graph/MediaType.h"
#include "platform/ui/Types.h"
#include "taps/uTapRecords.h"

#include <cstdint>
#include <span>

#include <QString>

// The description of a video media type; Parsed is false (and every other field zero or empty)
// when no reader understands the type.
TVideoData DescribeVideoType(const AM_MEDIA_TYPE& mt);
// Short format name of a video type: the FOURCC ("YV12", "DV Type 2"), the RGB sub-type, the
// compression FOURCC of the format block, "MPEG1" or "MPEG2"; empty when the block is too short.
QString VideoFormatName(const AM_MEDIA_TYPE& mt);
// Fills AspectKind, Description, FrameRate and SizeText from the other fields.
void FinishVideoDescription(TVideoData& data);
// Reads an MPEG-2 sequence header at the start of a sample into Width, Height, AspectKind,
// FrameRate and Description; false (nothing changed) when the bytes start with no header.
bool DescribeMpeg2Header(std::span<const uint8_t> bytes, TVideoData& data);

// Short format name of an audio type ("PCM", "MPEG", "DOLBY AC3", ...); empty for other types.
QString AudioFormatName(const AM_MEDIA_TYPE& mt);
// Name of a wave format tag; empty for a tag the table does not hold.
QString WaveFormatTagName(uint16_t tag);
// Fills Channels, SampleRate, BitRate, BitsPerSample and AudioText (which starts with the
// record's FormatName) from a WAVEFORMATEX block; false, nothing changed, for other types.
bool DescribeAudioFormat(const AM_MEDIA_TYPE& mt, bool isDVDevice, TframeData& data);

// "h:mm:ss:ff" of a media position (both values in 100-ns units). A frame within half a frame of
// the next second counts as that second; frames round half to even; a frame duration of 0
// counts as 10000; hours have no leading zero and no upper limit.
QString FormatPositionText(int64_t frameDuration, int64_t position);
// The position of an "h:mm:ss:ff" text, read from its end (any number of hour digits); a part
// that is no number counts as 0. Results beyond the 64-bit range saturate.
int64_t ParsePositionText(const QString& text, int64_t frameDuration);

// The largest rectangle of the aspect aspectWidth:aspectHeight centred in box shrunk by margin
// on every side (the shrunk box itself when the aspect is not positive); relative moves it by
// the box's top-left corner.
TRect FitRectToAspect(int32_t aspectWidth, int32_t aspectHeight, const TRect& box, bool relative,
                      int32_t margin);
