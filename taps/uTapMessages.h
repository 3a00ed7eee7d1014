#pragma once
// The window messages that the taps and the frame keeper send or post to the managers' hidden
// message windows, and one typed reader per message. A receiver never casts a message parameter
// itself: it calls the reader next to the message's number.
//
// Records (DV codes, video and audio descriptions, DV inlay values) live in the taps' rings. A
// message announces a ring slot together with the serial of the write it means; its reader copies
// the record under the ring's lock and answers false when the slot has been written again since,
// that is when the receiver fell behind the writer by a whole ring (48 records). Such a record is
// dropped, never replaced by another frame's: the receiver keeps what it showed before. Every ring
// follows this rule, posted and sent messages alike.
//
// Texts (the position texts) are sent: their readers copy them during the synchronous call.
#include "platform/graph/FormatBlocks.h"
#include "platform/ui/Messages.h"
#include "taps/uTapRecords.h"
#include "taps/uTapRing.h"

#include <QString>

static_assert(sizeof(WPARAM) == 8, "record messages carry a 56-bit serial beside their kind");

// Kinds carried by WM_VIDEODATA and WM_AUDIODATA (low byte of WPARAM).
inline constexpr WPARAM VideoDataKindFormat = 2; // the description and size texts
inline constexpr WPARAM VideoDataKindAudio = 3;  // the audio description of a TframeData
inline constexpr WPARAM VideoDataKindAspect = 4; // the display aspect

// The low 32 bits of a 64-bit value as a message parameter, and back with its sign.
inline WPARAM Low32(int64_t value) {
    return WPARAM(uint32_t(uint64_t(value)));
}
inline int64_t SignExtend32(uintptr_t value) {
    return int64_t(int32_t(uint32_t(value)));
}

// The WPARAM of a record message: the kind in the low byte, the serial above it.
inline WPARAM RecordWParam(WPARAM kind, const TRingAnnouncement& announced) {
    return (kind & 0xFF) | WPARAM(announced.Serial << 8);
}
// The kind of a record message (WM_VIDEODATA, WM_AUDIODATA, WM_DVCODE).
inline WPARAM RecordKind(const TMessage& message) {
    return message.WParam & 0xFF;
}

namespace kelvara::taps {
template <typename T>
bool ReadRecord(const TMessage& message, const TTapRing<T>& ring, T& out) {
    return ring.ReadAnnounced(reinterpret_cast<const void*>(message.LParam), message.WParam >> 8,
                              out);
}
} // namespace kelvara::taps

// Posted by the frame keeper: WPARAM a kind (below) and the serial, LPARAM the slot of the video
// tap's video-data ring that holds the description of the frame presented.
inline constexpr UINT WM_VIDEODATA = WM_KELVARA + 0x03;
inline bool ReadVideoData(const TMessage& message, const TTapRing<TVideoData>& videoDataRing,
                          TVideoData& out) {
    return message.Msg == WM_VIDEODATA && kelvara::taps::ReadRecord(message, videoDataRing, out);
}

// Posted by the audio tap: WPARAM VideoDataKindAudio and the serial, LPARAM the slot of its
// audio-data ring that holds the description of the stream's format.
inline constexpr UINT WM_AUDIODATA = WM_KELVARA + 0x04;
inline bool ReadAudioData(const TMessage& message, const TTapRing<TframeData>& audioDataRing,
                          TframeData& out) {
    return message.Msg == WM_AUDIODATA && kelvara::taps::ReadRecord(message, audioDataRing, out);
}

// Posted by the frame keeper: WPARAM kind 0 and the serial, LPARAM the slot of the video tap's
// frame-data ring that holds the DV codes of the frame presented.
inline constexpr UINT WM_DVCODE = WM_KELVARA + 0x0A;
inline bool ReadDVCode(const TMessage& message, const TTapRing<TframeData>& frameDataRing,
                       TframeData& out) {
    return message.Msg == WM_DVCODE && kelvara::taps::ReadRecord(message, frameDataRing, out);
}

// Sent by the video tap: WPARAM the slot of its inlay ring, LPARAM the serial.
inline constexpr UINT WM_DVINLAY = WM_KELVARA + 0x0C;
inline bool ReadDVInlay(const TMessage& message, const TTapRing<TIncrustDV>& inlayRing,
                        TIncrustDV& out) {
    return message.Msg == WM_DVINLAY &&
           inlayRing.ReadAnnounced(reinterpret_cast<const void*>(message.WParam),
                                   uint64_t(message.LParam), out);
}

// Sent by the frame keeper: WPARAM the address of the position text (a QString), LPARAM 0.
inline constexpr UINT WM_POSITIONTEXT = WM_KELVARA + 0x1A;
// Sent by the frame keeper to the navigation manager: WPARAM the address of the position text.
inline constexpr UINT WM_NAVPOSITIONTEXT = WM_KELVARA + 0x20;
// The text of either position text message; empty for any other message.
inline QString ReadPositionText(const TMessage& message) {
    if ((message.Msg != WM_POSITIONTEXT && message.Msg != WM_NAVPOSITIONTEXT) || !message.WParam)
        return {};
    return *reinterpret_cast<const QString*>(message.WParam);
}

// Posted by the video tap, sent by the frame keeper: WPARAM the low 32 bits of a frame duration
// (100-ns units; sign-extend them), LPARAM 0.
inline constexpr UINT WM_FRAMEDURATION = WM_KELVARA + 0x21;
inline REFERENCE_TIME ReadFrameDuration(const TMessage& message) {
    return message.Msg == WM_FRAMEDURATION ? SignExtend32(message.WParam) : 0;
}

// Sent by the frame keeper: WPARAM the low 32 bits of the mark's target, LPARAM the low 32 bits
// of the position that reached it.
inline constexpr UINT WM_MARKREACHED = WM_KELVARA + 0x22;
struct TMarkReached {
    REFERENCE_TIME Target = 0;   // low 32 bits, sign-extended
    REFERENCE_TIME Position = 0; // low 32 bits, sign-extended
};
inline TMarkReached ReadMarkReached(const TMessage& message) {
    if (message.Msg != WM_MARKREACHED)
        return {};
    return {SignExtend32(message.WParam), SignExtend32(uintptr_t(message.LParam))};
}
