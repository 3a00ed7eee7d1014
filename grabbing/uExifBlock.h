#pragma once
// The EXIF block of a JPEG grab: where the picture came from (the video file, the position
// text, the frame's index and, for DV, its time code) in ImageDescription and UserComment, and,
// for a DV frame with a recording date, DateTimeOriginal (the recording date plus the time
// offset, as the DV date page shows it). Built with libexif; the bytes are the payload of an
// APP1 marker ("Exif\0\0" and the TIFF structure).
#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>

struct TPictureProvenance {
    QString SourceFile;
    QString PositionText;
    int64_t FrameIndex = -1;                // -1: unknown
    QString Timecode;                       // empty: none
    std::optional<double> DateTimeOriginal; // days since 30 December 1899
};

// The text that ImageDescription and UserComment carry.
QString ProvenanceText(const TPictureProvenance& provenance);
// The APP1 payload; empty when libexif could not build it or it would not fit in a marker.
QByteArray BuildExifBlock(const TPictureProvenance& provenance);
