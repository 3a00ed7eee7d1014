#pragma once
// Baseline JPEG files of grabbed pictures, compressed by libjpeg(-turbo). The main window keeps
// one writer and sets its quality from the program's quality setting before each save.
#include "grabbing/uPictureWriteResult.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class TJpegWriter {
public:
    // The low 8 bits of the setting are the quality; libjpeg takes 1..100, so 0 writes as 1 and
    // values above 100 (up to 255) as 100.
    void SetQuality(int setting);
    int Quality() const { return FQuality; }
    // An APP1 payload (an EXIF block) written into the pictures from now on; empty for none.
    void SetExifBlock(const QByteArray& block) { FExif = block; }

    // The file's bytes, or false with libjpeg's message in error.
    bool Encode(const QImage& picture, QByteArray& bytes, QString& error) const;
    // Encodes and writes the picture atomically (see uAtomicFile.h).
    TPictureWriteResult Write(const QImage& picture, const QString& fileName) const;

private:
    int FQuality = 50;
    QByteArray FExif;
};
