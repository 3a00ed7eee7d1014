#pragma once
// What a private package's filter reads from its settings key in the user's hive when it is
// created (HKCU\Software\LBV for the LAV modules, HKCU\Software\QRX for ffdshow). The hive is
// the process's one instance, so a value imported a moment before is seen at once.
//
// Layout, below the package key:
//   <Part>\Formats   one DWORD per FFmpeg codec name ("h264", "mpeg2video", "dvvideo", "aac",
//                    ...); 0 refuses that codec, any other value or no value takes it.
//   Video\Deinterlace (ffdshow only) DWORD, non-zero: the post-processing filter deinterlaces.
#include <cstdint>
#include <optional>

#include <QSet>
#include <QString>

extern "C" {
#include <libavcodec/codec_id.h>
}

class TPackageSettings {
public:
    // key: "Software\LBV\Video" and the like.
    explicit TPackageSettings(QString key) : FKey(std::move(key)) {}

    std::optional<uint32_t> Dword(const QString& subKey, const QString& name) const;
    // The codec names that <key>\Formats refuses (value 0), upper-cased.
    QSet<QString> RefusedCodecs() const;
    bool Flag(const QString& name, bool absent) const;

    static QString CodecName(AVCodecID codec);

private:
    QString FKey;
};
