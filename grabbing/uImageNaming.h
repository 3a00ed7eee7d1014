#pragma once
// The parts of a grabbed picture's file name: the root (a fixed text or the video's own name,
// possibly cut short), the number with its leading zeros or the time stamp of the frame, and the
// whole path built from them with the picture's extension.
#include <cstdint>

#include <QString>

struct TImageNaming {
    QString Folder;           // the save folder; a "/" is added when it lacks one
    int NameSource = 0;       // 0 the default root, 1 the video file's name
    QString DefaultRoot;      // "Kelvara" by default
    bool LimitLength = false; // cut the video's name ...
    int RootLength = 8;       // ... to this many characters
    int Addition = 0;         // 0 the time stamp, 1 the number, other values: no new name
    int Extension = 0;        // 0 ".bmp", other values ".jpg"
};

// The root: the video's file name without its extension (the part after the last "/" up to
// its last "."), cut to RootLength when asked; the default root otherwise. No video, no root.
QString ComputeNameRoot(const TImageNaming& naming, const QString& videoPath);
// The number in decimal with "0"s in front up to digits characters; never cut.
QString FormatImageNumber(int64_t number, int digits);
// A position text as a file name takes it: every ":" becomes ".".
QString FileNameTimeStamp(const QString& positionText);
// folder + root + "_" + (time stamp or number) + extension; empty for an addition mode that
// makes no name (the caller keeps its previous name).
QString BuildImageName(const TImageNaming& naming, const QString& videoPath,
                       const QString& positionText, const QString& numberText);
