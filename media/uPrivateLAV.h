#pragma once
// The private LAV package (LAV/LAVSplitter.ax, LAV/LAVAudio.ax, LAV/LAVVideo.ax beside its
// settings LAV/LBV.reg), and the steps that load both private packages from the private folder
// and switch them on and off for the program's decoder managers and media factory.
//
// Loading a folder again adds a fresh set of factories and records; the older ones stay loaded
// until exit and the newest are used. The packages' settings are imported into the user's hive
// for the time the program runs and deleted at its close.
//
// Thread contract: GUI thread only. The registry imports run in process and block until done.
#include "media/uDecoders.h"
#include "media/uPrivateffdshow.h"

class TMediaFactory;

inline constexpr const char* kPrivateLavSplitterSourceName = "Private LAV Splitter Source";
inline constexpr const char* kPrivateLavSplitterName = "Private LAV Splitter";
inline constexpr const char* kPrivateLavAudioName = "Private LAV Audio Decoder";
inline constexpr const char* kPrivateLavVideoName = "Private LAV Video Decoder";
inline constexpr const char* kLavSettingsMissing = "Unable to install LAV private filters";
inline constexpr const char* kFfdshowSettingsMissing = "Cannot install ffdshow private filters";

// The records of the latest load (none before the first).
struct TLavRecords {
    TFilterRec* SplitterSource = nullptr;
    TFilterRec* Splitter = nullptr;
    TFilterRec* Audio = nullptr;
    TFilterRec* Video = nullptr;
};
TLavRecords& LavRecords();

// folder: the private folder + "LAV/" (a trailing delimiter is added when missing). The factories
// and records are made whether the module files exist or not: a missing file gives an empty
// factory, which hides those of earlier loads.
void LoadLavPackage(const QString& folder);

// Imports the settings file when it exists (true when the import was carried out); otherwise
// shows the message in a box with an OK button and answers false.
bool ImportSettings(const QString& regFile, const QString& failureMessage);

// The folder with one trailing "/" (a trailing "\" is read as one too); empty stays empty.
QString WithTrailingDelimiter(const QString& folder);
// The program's folder with a trailing delimiter: the default private folder.
QString DefaultPrivateFolder();

// Replaces the packages' settings in the hive with those of the folder's settings files and
// loads both packages from the folder (the private folder's after-apply, before the use switch
// is applied again). Answers the folder with its trailing delimiter.
QString ApplyPrivateFolder(const QString& folder);

// Where switching the packages on and off acts.
struct TPrivateTargets {
    TDecoderMan* Video = nullptr;
    TDecoderMan* Audio = nullptr;
    TMediaFactory* Factory = nullptr;
};
// The ffdshow video decoder becomes the video post-processing filter, "Private LAV Splitter
// Source" the default source, and the private decoders the video and audio candidates.
void InstallPrivateFilters(const TPrivateTargets& targets);
// Drops the filters the private records keep and empties the candidates. The default source and
// the post-processing filter stay as switching on set them.
void UninstallPrivateFilters(const TPrivateTargets& targets);
// Deletes both packages' settings keys from the user's hive (at the program's close).
void DeletePrivateSettings();
