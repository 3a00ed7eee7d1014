#pragma once
// Editing the metadata packs of DV frames after muxing: removing the time code or the
// recording date, or making the recording date invalid, in the subcode, VAUX and AAUX areas of
// every DIF sequence. A pack is five bytes: a header naming it and four data bytes.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>

// Calls visit with every pack of the frame (subcode, VAUX and AAUX areas).
void ForEachDVPack(std::span<uint8_t> frame, const std::function<void(uint8_t* pack)>& visit);

// Blanks (0xFF) every pack whose header is one of headers.
void RemoveDVPacks(std::span<uint8_t> frame, std::initializer_list<uint8_t> headers);

// Writes day and month (plain numbers, written as BCD) into every recording date pack (VAUX
// 0x62 and AAUX 0x52), keeping the flag bits.
void SetDVRecordingDay(std::span<uint8_t> frame, int day, int month);

// The four data bytes of the first pack with this header, searching sequence by sequence;
// false when there is none.
bool FindDVPack(std::span<const uint8_t> frame, uint8_t header, uint8_t data[4]);
