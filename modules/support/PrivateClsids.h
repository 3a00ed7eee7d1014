#pragma once
// The class identifiers that the private decoder packages offer (LAV/LAVSplitter.ax,
// LAV/LAVAudio.ax, LAV/LAVVideo.ax, ffdshow/ffdshow.ax), and the registry keys their settings
// files fill. Shared by the modules and by the program that loads them.
#include "platform/com/Guid.h"

// {B98D13E7-55DB-4385-A33D-09FD1BA26338}
inline constexpr CLSID CLSID_PrivateLavSplitterSource{
    0xB98D13E7, 0x55DB, 0x4385, {0xA3, 0x3D, 0x09, 0xFD, 0x1B, 0xA2, 0x63, 0x38}};
// {171252A0-8820-4AFE-9DF8-5C92B2D66B04}
inline constexpr CLSID CLSID_PrivateLavSplitter{
    0x171252A0, 0x8820, 0x4AFE, {0x9D, 0xF8, 0x5C, 0x92, 0xB2, 0xD6, 0x6B, 0x04}};
// {E8E73B6B-4CB3-44A4-BE99-4F7BCB96E491}
inline constexpr CLSID CLSID_PrivateLavAudio{
    0xE8E73B6B, 0x4CB3, 0x44A4, {0xBE, 0x99, 0x4F, 0x7B, 0xCB, 0x96, 0xE4, 0x91}};
// {EE30215D-164F-4A92-A4EB-9D4C13390F9F}
inline constexpr CLSID CLSID_PrivateLavVideo{
    0xEE30215D, 0x164F, 0x4A92, {0xA4, 0xEB, 0x9D, 0x4C, 0x13, 0x39, 0x0F, 0x9F}};
// {04FE9017-F873-410E-871E-AB91661A4EF7}
inline constexpr CLSID CLSID_PrivateFfdshowVideo{
    0x04FE9017, 0xF873, 0x410E, {0x87, 0x1E, 0xAB, 0x91, 0x66, 0x1A, 0x4E, 0xF7}};
// {0F40E1E5-4F79-4988-B1A9-CC98794E6B55}
inline constexpr CLSID CLSID_PrivateFfdshowAudio{
    0x0F40E1E5, 0x4F79, 0x4988, {0xB1, 0xA9, 0xCC, 0x98, 0x79, 0x4E, 0x6B, 0x55}};

// The settings keys, relative to the user's hive.
inline constexpr const char* kLavSettingsKey = "Software\\LBV";
inline constexpr const char* kFfdshowSettingsKey = "Software\\QRX";
