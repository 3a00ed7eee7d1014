#include "grabbing/uExifBlock.h"

#include "platform/rtl/DateTime.h"

#include <cstdlib>
#include <cstring>
#include <libexif/exif-data.h>
#include <memory>

namespace {

// An entry of the given format whose data is a copy of bytes, added to the IFD.
void AddEntry(ExifData* data, ExifIfd ifd, ExifTag tag, ExifFormat format,
              const QByteArray& bytes) {
    ExifMem* mem = exif_mem_new_default();
    ExifEntry* entry = exif_entry_new_mem(mem);
    void* buffer = exif_mem_alloc(mem, ExifLong(bytes.size()));
    if (entry && buffer) {
        std::memcpy(buffer, bytes.constData(), size_t(bytes.size()));
        entry->data = static_cast<unsigned char*>(buffer);
        entry->size = unsigned(bytes.size());
        entry->tag = tag;
        entry->format = format;
        entry->components = static_cast<unsigned long>(bytes.size());
        exif_content_add_entry(data->ifd[ifd], entry);
    } else if (buffer) {
        exif_mem_free(mem, buffer);
    }
    if (entry)
        exif_entry_unref(entry);
    exif_mem_unref(mem);
}

// ASCII entries end with their NUL.
QByteArray Ascii(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.append('\0');
    return bytes;
}

// The text in UTF-16 in the block's own byte order (Intel).
QByteArray Utf16LittleEndian(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

// "YYYY:MM:DD HH:MM:SS", whatever the locale's separators.
QString ExifDate(double value) {
    TDateTimeParts p;
    if (!TryDecodeDateTime(value + 0.5 / 86400000.0, p))
        return {};
    return QString::asprintf("%04d:%02d:%02d %02d:%02d:%02d", p.Year, p.Month, p.Day, p.Hour,
                             p.Minute, p.Second);
}

} // namespace

QString ProvenanceText(const TPictureProvenance& p) {
    QString text =
        QStringLiteral("Grabbed by Kelvara from %1 at %2").arg(p.SourceFile, p.PositionText);
    if (p.FrameIndex >= 0)
        text += QStringLiteral(", frame %1").arg(p.FrameIndex);
    if (!p.Timecode.isEmpty())
        text += QStringLiteral(", time code %1").arg(p.Timecode);
    return text;
}

QByteArray BuildExifBlock(const TPictureProvenance& provenance) {
    std::unique_ptr<ExifData, decltype(&exif_data_unref)> data(exif_data_new(), exif_data_unref);
    if (!data)
        return {};
    exif_data_set_byte_order(data.get(), EXIF_BYTE_ORDER_INTEL);
    exif_data_set_data_type(data.get(), EXIF_DATA_TYPE_COMPRESSED);
    const QString text = ProvenanceText(provenance);
    AddEntry(data.get(), EXIF_IFD_0, EXIF_TAG_IMAGE_DESCRIPTION, EXIF_FORMAT_ASCII, Ascii(text));
    AddEntry(data.get(), EXIF_IFD_0, EXIF_TAG_SOFTWARE, EXIF_FORMAT_ASCII,
             Ascii(QStringLiteral("Kelvara")));
    AddEntry(data.get(), EXIF_IFD_EXIF, EXIF_TAG_EXIF_VERSION, EXIF_FORMAT_UNDEFINED,
             QByteArray("0230", 4));
    // A user comment names its character code in its first eight bytes.
    AddEntry(data.get(), EXIF_IFD_EXIF, EXIF_TAG_USER_COMMENT, EXIF_FORMAT_UNDEFINED,
             QByteArray("UNICODE\0", 8) + Utf16LittleEndian(text));
    if (provenance.DateTimeOriginal) {
        const QString date = ExifDate(*provenance.DateTimeOriginal);
        if (!date.isEmpty())
            AddEntry(data.get(), EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL, EXIF_FORMAT_ASCII,
                     Ascii(date));
    }
    unsigned char* bytes = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data.get(), &bytes, &size);
    QByteArray block;
    if (bytes && size > 0 && size <= 65533)
        block = QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(size));
    std::free(bytes);
    return block;
}
