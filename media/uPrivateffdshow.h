#pragma once
// The private ffdshow package (ffdshow/ffdshow.ax beside its settings ffdshow/QRX.reg): its
// video decoder, which is also the post-processing filter spliced after the decoder in use, and
// its audio decoder.
//
// Thread contract: GUI thread only.
#include "media/uDecoders.h"

inline constexpr const char* kPrivateFfdshowVideoName = "Private ffdshow Video decoder";
inline constexpr const char* kPrivateFfdshowAudioName = "Private ffdshow Audio decoder";

// The records of the latest load (none before the first).
struct TFfdshowRecords {
    TFilterRec* Video = nullptr;
    TFilterRec* Audio = nullptr;
};
TFfdshowRecords& FfdshowRecords();

// Adds the module's factories for both classes (empty ones when the file is missing or cannot
// be loaded) and makes the two records.
void LoadFfdshowPackage(const QString& moduleFile);
