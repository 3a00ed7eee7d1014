#pragma once
// The window messages that the taps and the frame keeper send or post to the managers' hidden
// message windows, and the kinds that travel in their first parameter. Records travel by
// address: the receiver reads them while it handles the message (see each sender's header for
// how long an address stays valid).
#include "platform/ui/Messages.h"

// Posted by the frame keeper: WPARAM a kind (below), LPARAM the address of a TVideoData slot of
// the video tap's video-data ring.
inline constexpr UINT WM_VIDEODATA = WM_KELVARA + 0x03;
// Posted by the audio tap: WPARAM VideoDataKindAudio, LPARAM the address of its TframeData.
inline constexpr UINT WM_AUDIODATA = WM_KELVARA + 0x04;
// Posted by the frame keeper: WPARAM 0, LPARAM the address of a TframeData slot of the video
// tap's frame-data ring (the DV codes of the frame being shown).
inline constexpr UINT WM_DVCODE = WM_KELVARA + 0x0A;
// Sent by the video tap: WPARAM the address of a TIncrustDV, LPARAM 0.
inline constexpr UINT WM_DVINLAY = WM_KELVARA + 0x0C;
// Sent by the frame keeper: WPARAM the address of the position text (a QString), LPARAM 0.
inline constexpr UINT WM_POSITIONTEXT = WM_KELVARA + 0x1A;
// Sent by the frame keeper to the navigation manager: WPARAM the address of the position text.
inline constexpr UINT WM_NAVPOSITIONTEXT = WM_KELVARA + 0x20;
// Posted by the video tap, sent by the frame keeper: WPARAM the low 32 bits of a frame duration
// (100-ns units; sign-extend them), LPARAM 0.
inline constexpr UINT WM_FRAMEDURATION = WM_KELVARA + 0x21;
// Sent by the frame keeper: WPARAM the low 32 bits of the mark's target, LPARAM the low 32 bits
// of the position that reached it.
inline constexpr UINT WM_MARKREACHED = WM_KELVARA + 0x22;

// Kinds carried by WM_VIDEODATA and WM_AUDIODATA.
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
