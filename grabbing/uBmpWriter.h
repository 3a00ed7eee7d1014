#pragma once
// Uncompressed 24-bit Windows BMP files: a 14-byte file header, a 40-byte BITMAPINFOHEADER and
// the rows bottom-up, blue-green-red, each padded to a multiple of four bytes.
#include "grabbing/uPictureWriteResult.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// The file's bytes; an empty array for a null picture or one too large for the format's 32-bit
// sizes.
QByteArray EncodeBmp24(const QImage& picture);
// Encodes and writes the picture atomically (see uAtomicFile.h).
TPictureWriteResult WriteBmp24(const QImage& picture, const QString& fileName);
