// What a JPEG grab says of itself: the provenance (file, position, frame, time code) and, for a
// DV frame, the recording date moved by the time offset, read back with libexif and with
// exiftool; BMP grabs stay plain.
#include "commands/uDoubleAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uWidestringAction.h"
#include "grabbing/uExifBlock.h"
#include "tests/grabbing/ShowFormFixture.h"

#include <libexif/exif-data.h>

#include <QDir>

namespace {

using namespace kelvara::test;

QString Tag(ExifData* data, ExifIfd ifd, ExifTag tag) {
    ExifEntry* entry = exif_content_get_entry(data->ifd[ifd], tag);
    if (!entry)
        return {};
    if (entry->format == EXIF_FORMAT_ASCII)
        return QString::fromUtf8(reinterpret_cast<const char*>(entry->data));
    if (entry->size >= 8 && std::memcmp(entry->data, "UNICODE\0", 8) == 0)
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(entry->data + 8),
                                  (entry->size - 8) / 2);
    return {};
}

class Exif : public ShowFormFixture {
protected:
    void SetUp() override {
        ShowFormFixture::SetUp();
        form->waDossierSave->SetValue(pictures.path());
        form->iaImageAjouter->SetValue(1);
    }
    QString Picture(const char* name) const { return pictures.filePath(QString::fromLatin1(name)); }
    QTemporaryDir pictures;
};

TEST_F(Exif, AJpegGrabOfADVFrameCarriesItsDateAndWhereItCameFrom) {
    const QString tape = clips->filePath(QStringLiteral("dated.avi"));
    Make(tape, {"dv", "--seconds", "1", "--avi-type", "1", "--date", "2005-12-31T23:30:10",
                "--timecode", "01:02:03:04"});
    form->ficman->OpenFile(tape);
    ProcessMessages();
    for (int i = 0; i < 2; ++i)
        Run("naAvanceFrame");
    form->daDecalageHoraire->SetValue(1.0 / 24); // into the new year
    form->iaImageExtension->SetValue(1);
    Run("naGrab");
    form->iaImageExtension->SetValue(0);
    Run("naGrab");

    std::unique_ptr<ExifData, decltype(&exif_data_unref)> data(
        exif_data_new_from_file(QFile::encodeName(Picture("Kelvara_001.jpg")).constData()),
        exif_data_unref);
    ASSERT_TRUE(data);
    // Frame 2 was recorded at 23:30:10; an hour later is 00:30:10 on New Year's Day.
    EXPECT_EQ(Tag(data.get(), EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL),
              QStringLiteral("2006:01:01 00:30:10"));
    const QString description = Tag(data.get(), EXIF_IFD_0, EXIF_TAG_IMAGE_DESCRIPTION);
    EXPECT_TRUE(description.contains(tape)) << description.toStdString();
    EXPECT_TRUE(description.contains(QStringLiteral("0:00:00:02")));
    EXPECT_TRUE(description.contains(QStringLiteral("frame 2")));
    EXPECT_TRUE(description.contains(QStringLiteral("time code 1:02:03:06")));
    EXPECT_EQ(Tag(data.get(), EXIF_IFD_EXIF, EXIF_TAG_USER_COMMENT), description);
    // The picture itself is whole.
    EXPECT_EQ(QImage(Picture("Kelvara_001.jpg")).size(), form->Picture().size());
    // A BMP stays plain.
    QFile bmp(Picture("Kelvara_002.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    EXPECT_FALSE(bmp.readAll().contains("Exif"));

    // exiftool reads the same.
    const TChildRun run =
        RunChild(QStringLiteral("/usr/bin/exiftool"),
                 {QStringLiteral("-s3"), QStringLiteral("-DateTimeOriginal"),
                  QStringLiteral("-ImageDescription"), Picture("Kelvara_001.jpg")});
    ASSERT_TRUE(run.Exited()) << "exiftool (libimage-exiftool-perl) is needed";
    const QStringList lines = QString::fromStdString(run.Out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.Out << run.Err;
    EXPECT_EQ(lines[0], QStringLiteral("2006:01:01 00:30:10"));
    EXPECT_EQ(lines[1], description);
}

TEST_F(Exif, AJpegOfAVideoWithoutDVCodesHasNoRecordingDate) {
    Open("numbers.mp4");
    form->iaImageExtension->SetValue(1);
    Run("naGrab");
    std::unique_ptr<ExifData, decltype(&exif_data_unref)> data(
        exif_data_new_from_file(QFile::encodeName(Picture("Kelvara_001.jpg")).constData()),
        exif_data_unref);
    ASSERT_TRUE(data);
    EXPECT_TRUE(Tag(data.get(), EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL).isEmpty());
    const QString description = Tag(data.get(), EXIF_IFD_0, EXIF_TAG_IMAGE_DESCRIPTION);
    EXPECT_TRUE(description.contains(QStringLiteral("numbers.mp4, frame")) ||
                description.contains(QStringLiteral("numbers.mp4 at")))
        << description.toStdString();
    EXPECT_FALSE(description.contains(QStringLiteral("time code")));
}

TEST(ExifBlock, FitsAMarkerAndKeepsNonAsciiNames) {
    TPictureProvenance p;
    p.SourceFile = QStringLiteral("/v/été à Noël.avi");
    p.PositionText = QStringLiteral("0:00:01:02");
    p.FrameIndex = 27;
    const QByteArray block = BuildExifBlock(p);
    ASSERT_FALSE(block.isEmpty());
    EXPECT_TRUE(block.startsWith(QByteArray("Exif\0\0", 6)));
    std::unique_ptr<ExifData, decltype(&exif_data_unref)> data(
        exif_data_new_from_data(reinterpret_cast<const unsigned char*>(block.constData()),
                                unsigned(block.size())),
        exif_data_unref);
    ASSERT_TRUE(data);
    EXPECT_EQ(Tag(data.get(), EXIF_IFD_EXIF, EXIF_TAG_USER_COMMENT), ProvenanceText(p));
    EXPECT_TRUE(ProvenanceText(p).contains(QStringLiteral("été à Noël")));
    // A name too long for one marker gives no block rather than a broken file.
    p.SourceFile = QString(70000, QLatin1Char('x'));
    EXPECT_TRUE(BuildExifBlock(p).isEmpty());
}

} // namespace
