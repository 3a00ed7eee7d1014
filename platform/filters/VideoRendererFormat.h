#pragma once
// What the video renderer reads from its input type: the bitmap's layout (RGB32, ARGB32 or
// RGB24; bottom-up when biHeight is positive, top-down when it is negative; rows padded to four
// bytes), the part of it that holds the picture (rcSource, when the upstream filter set one),
// the picture's aspect ratio and the frame duration. CopyInto copies a sample's payload into an
// upright RGB32 image of the picture.
#include "platform/graph/FormatBlocks.h"
#include "platform/graph/MediaType.h"

#include <optional>

#include <QImage>
#include <QRect>

struct TVideoFormat {
    GUID subtype = GUID_NULL;
    int bitmapWidth = 0;  // pixels per row of the buffer
    int bitmapHeight = 0; // rows of the buffer
    bool topDown = false;
    int bytesPerPixel = 4;
    int stride = 0; // bytes from one row to the next
    QRect picture;  // the part shown, in upright coordinates of the bitmap
    LONG aspectX = 0;
    LONG aspectY = 0;
    REFERENCE_TIME frameDuration = 0;

    // The format of an uncompressed RGB video type the renderer can show, or nothing.
    static std::optional<TVideoFormat> FromMediaType(const AM_MEDIA_TYPE& mt);

    QSize PictureSize() const { return picture.size(); }
    // Bytes a sample must hold: every row of the bitmap.
    qsizetype BufferSize() const { return qsizetype(stride) * bitmapHeight; }
    // Copies the picture of a payload of `length` bytes into `image` as an upright RGB32 image.
    // Its pixels are reused when it has the picture's size and shares them with no other image
    // (a fresh image costs a page fault per 4 KB). False when the payload is too short.
    bool CopyInto(const BYTE* data, qsizetype length, QImage& image) const;
};
