#include "InfoSeeks.h"

#include "grabbing/uBmpWriter.h"
#include "platform/com/TaskMem.h"
#include "platform/filters/RendererInterfaces.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/ui/ProcessMessages.h"
#include "taps/uMediaDescriptions.h"

#include <chrono>
#include <cstring>

#include <QDir>
#include <QImage>

namespace {

// How long one seek may take to show its frame: a whole long GOP of a large picture is decoded
// without a clock, so a slow machine still gets there well within it.
constexpr int kLandingLimitMs = 30000;

// The frame a grid position belongs to.
int64_t FrameIndexOf(REFERENCE_TIME position, REFERENCE_TIME frameDuration) {
    return frameDuration > 0 ? (position + frameDuration / 2) / frameDuration : 0;
}

// The picture of a packed DIB (BITMAPINFOHEADER + 32-bit pixels, bottom-up when biHeight > 0).
QImage ImageOfDib(const BYTE* dib) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    const int width = header.biWidth, height = std::abs(header.biHeight);
    if (width <= 0 || height <= 0 || header.biBitCount != 32)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    const BYTE* pixels = dib + header.biSize;
    const size_t stride = size_t(width) * 4;
    for (int y = 0; y < height; ++y) {
        const int row = header.biHeight > 0 ? height - 1 - y : y;
        std::memcpy(image.scanLine(y), pixels + size_t(row) * stride, stride);
    }
    return image;
}

bool RendererSettled(IBaseFilter* renderer) {
    const ComPtr<IMediaFilter> state = QueryInterfaceOf<IMediaFilter>(renderer);
    FILTER_STATE s = State_Stopped;
    return state && state->GetState(0, &s) == S_OK;
}

} // namespace

TInfoSeeks::TInfoSeeks(TInfoGraph& graph, const TInfoOptions& options)
    : FGraph(graph), FOptions(options) {}

TInfoStatus TInfoSeeks::Run() {
    try {
        if (TInfoStatus s = Prepare(); !s.Ok())
            return s;
        for (const std::string& target : FOptions.At)
            if (TInfoStatus s = SeekOne(target); !s.Ok())
                return s;
    } catch (const std::bad_alloc&) {
        return StoppedStatus(FOptions.File, FLandings.size(), OutOfMemoryFailure());
    }
    return {};
}

TInfoStatus TInfoSeeks::Prepare() {
    TNavMan* nav = FGraph.Nav();
    if (!nav || !nav->Pause())
        return {TInfoExit::NotDecodable, FOptions.File + ": the video cannot be played"};
    // The paused graph shows its first frame; the keeper has told the frame duration by then.
    const bool shown = WaitServingMessages(
        [&] { return !FGraph.Log().Frames().empty() && RendererSettled(FGraph.VideoRenderer()); },
        kLandingLimitMs);
    if (!shown)
        return {TInfoExit::NotDecodable, FOptions.File + ": no frame of the video could be shown"};
    FFrameDuration = FGraph.Log().FrameDuration();
    if (FFrameDuration <= 0)
        FFrameDuration = FGraph.Keeper()->FrameDuration();
    nav->ResetForGraph();
    nav->SetFrameDuration(FFrameDuration);
    if (nav->Duration() <= 0)
        return {TInfoExit::NotDecodable, FOptions.File + ": the video cannot be sought"};
    if (!FOptions.SaveFolder.empty() && !QDir().mkpath(QString::fromStdString(FOptions.SaveFolder)))
        return {TInfoExit::OutputFailed, "cannot make the folder " + FOptions.SaveFolder};
    return {};
}

REFERENCE_TIME TInfoSeeks::PositionOf(const std::string& target) const {
    if (!target.empty() && target[0] == '#') {
        const int64_t frame = std::stoll(target.substr(1));
        return frame > INT64_MAX / FFrameDuration ? INT64_MAX : frame * FFrameDuration;
    }
    return ParsePositionText(QString::fromStdString(target), FFrameDuration);
}

bool TInfoSeeks::WaitForLanding(size_t framesBefore) {
    TNavMan* nav = FGraph.Nav();
    return WaitServingMessages(
        [&] {
            return FGraph.Log().Frames().size() > framesBefore && !nav->PreciseSeekPending() &&
                   RendererSettled(FGraph.VideoRenderer());
        },
        kLandingLimitMs);
}

TInfoStatus TInfoSeeks::SeekOne(const std::string& target) {
    const REFERENCE_TIME position = PositionOf(target);
    const size_t before = FGraph.Log().Frames().size();
    const auto start = std::chrono::steady_clock::now();
    FGraph.Nav()->PreciseSeek(position);
    if (!WaitForLanding(before))
        return StoppedStatus(FOptions.File, FLandings.size(),
                             {TInfoExit::Stopped, "the seek to " + target + " showed no frame"});
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    TInfoFrame row = FGraph.Log().Frames().back();
    row.Index = FrameIndexOf(row.Position, FFrameDuration);
    row.Target = target;
    row.SeekMilliseconds = took.count();
    row.LastReachable = position > row.Position;
    FLandings.push_back(row);
    return FOptions.SaveFolder.empty() ? TInfoStatus{} : SaveShownPicture(row.Index);
}

TInfoStatus TInfoSeeks::SaveShownPicture(int64_t frameIndex) {
    const ComPtr<IVMRWindowlessControl9> control =
        QueryInterfaceOf<IVMRWindowlessControl9>(FGraph.VideoRenderer());
    BYTE* dib = nullptr;
    if (!control || FAILED(control->GetCurrentImage(&dib)) || !dib)
        return {TInfoExit::NotDecodable,
                "the renderer has no picture of frame " + std::to_string(frameIndex)};
    const QImage image = ImageOfDib(dib);
    CoTaskMemFree(dib);
    const QString name = QDir(QString::fromStdString(FOptions.SaveFolder))
                             .filePath(QString::number(frameIndex) + QStringLiteral(".bmp"));
    const TPictureWriteResult written = WriteBmp24(image, name);
    if (!written)
        return {TInfoExit::OutputFailed,
                "cannot write " + name.toStdString() + ": " + written.ErrorText.toStdString()};
    return {};
}
