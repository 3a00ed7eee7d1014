#pragma once
// Registers every platform filter with the class registry, under its name and class
// identifier, with its merit and the media types of its pins, so that filters are created by
// class and intelligent connect finds splitters and decoders:
//   "File Source (Async.)", "AVI Splitter", "MPEG-2 Splitter", "MPEG-I Stream Splitter",
//   "Wave Parser", "LAV Splitter" (any stream FFmpeg recognises), "WM ASF Reader",
//   "LAV Splitter Source", the DV splitter, "DV Video Decoder", "FFmpeg Video Decoder",
//   "FFmpeg Audio Decoder", "Microsoft DTV-DVD Video Decoder", "Microsoft DTV-DVD Audio Decoder",
//   and the renderers (RegisterRendererFilters).
// Also registers the framework's own classes (RegisterGraphClasses). Idempotent: the work is
// done once per process; call it at start (the program's main, test mains).
void RegisterPlatformFilters();

// The registered names, for the filters' own use and for tests.
inline constexpr const char* kFileSourceName = "File Source (Async.)";
inline constexpr const char* kAviSplitterName = "AVI Splitter";
inline constexpr const char* kMpeg2SplitterName = "MPEG-2 Splitter";
inline constexpr const char* kMpeg1SplitterName = "MPEG-I Stream Splitter";
inline constexpr const char* kWaveParserName = "Wave Parser";
inline constexpr const char* kLavSplitterName = "LAV Splitter";
inline constexpr const char* kAsfReaderName = "WM ASF Reader";
inline constexpr const char* kLavSplitterSourceName = "LAV Splitter Source";
inline constexpr const char* kDVSplitterName = "DV Splitter";
inline constexpr const char* kDVVideoDecoderName = "DV Video Decoder";
inline constexpr const char* kFFmpegVideoDecoderName = "FFmpeg Video Decoder";
inline constexpr const char* kFFmpegAudioDecoderName = "FFmpeg Audio Decoder";
inline constexpr const char* kDtvDvdVideoDecoderName = "Microsoft DTV-DVD Video Decoder";
inline constexpr const char* kDtvDvdAudioDecoderName = "Microsoft DTV-DVD Audio Decoder";
