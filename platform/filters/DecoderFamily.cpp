#include "platform/filters/DecoderFamily.h"

bool FamilyTakesVideo(TDecoderFamily family, AVCodecID codec) {
    switch (family) {
    case TDecoderFamily::All:
        return true;
    case TDecoderFamily::DV:
        return codec == AV_CODEC_ID_DVVIDEO;
    case TDecoderFamily::DtvDvd:
        return codec == AV_CODEC_ID_MPEG2VIDEO || codec == AV_CODEC_ID_H264;
    }
    return false;
}

bool FamilyTakesAudio(TDecoderFamily family, AVCodecID codec) {
    switch (family) {
    case TDecoderFamily::All:
        return true;
    case TDecoderFamily::DV:
        return false;
    case TDecoderFamily::DtvDvd:
        return codec == AV_CODEC_ID_MP1 || codec == AV_CODEC_ID_MP2 || codec == AV_CODEC_ID_MP3 ||
               codec == AV_CODEC_ID_AC3 || codec == AV_CODEC_ID_EAC3 || codec == AV_CODEC_ID_AAC ||
               codec == AV_CODEC_ID_PCM_DVD;
    }
    return false;
}
