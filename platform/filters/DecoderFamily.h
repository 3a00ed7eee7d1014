#pragma once
// Which codecs a registered decoder takes. The platform's libavcodec decoders are registered
// several times: the general video and audio decoders take every codec the library decodes,
// "DV Video Decoder" only DV, and the "Microsoft DTV-DVD" decoders the broadcast and disc codecs
// (MPEG-2 and H.264 video; MPEG, AC-3, AAC and LPCM audio). So intelligent connect and the
// program's decoder cycling find more than one decoder for the common codecs.
#include <cstdint>

extern "C" {
#include <libavcodec/codec_id.h>
}

enum class TDecoderFamily { All, DV, DtvDvd };

bool FamilyTakesVideo(TDecoderFamily family, AVCodecID codec);
bool FamilyTakesAudio(TDecoderFamily family, AVCodecID codec);
