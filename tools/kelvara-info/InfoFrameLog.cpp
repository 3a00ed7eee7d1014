#include "InfoFrameLog.h"

#include "taps/uTapMessages.h"

namespace {

std::string FormatText(const TVideoData& v) {
    if (v.Description == QStringLiteral("    ") || v.Description.isEmpty())
        return v.SizeText.toStdString();
    if (v.SizeText.isEmpty())
        return v.Description.trimmed().toStdString();
    return (v.Description.trimmed() + QStringLiteral(" - ") + v.SizeText).toStdString();
}

} // namespace

TInfoFrameLog::TInfoFrameLog() : FWindow([this](TMessage& m) { Handle(m); }) {}

void TInfoFrameLog::SetFilters(TFramesNotifier* keeper, TVideoNotifier* videoTap,
                               TAudioNotifier* audioTap) {
    FKeeper = keeper;
    FVideoTap = videoTap;
    FAudioTap = audioTap;
}

std::string TInfoFrameLog::VideoText() const {
    if (FVideo)
        return FormatText(*FVideo);
    return FVideoTap ? FormatText(FVideoTap->VideoData()) : std::string();
}

void TInfoFrameLog::Handle(TMessage& m) {
    switch (m.Msg) {
    case WM_FRAMEDURATION:
        if (const int64_t duration = ReadFrameDuration(m); duration > 0) {
            FFrameDuration = duration;
            if (FKeeper)
                FKeeper->SetFrameDuration(duration);
        }
        break;
    case WM_DVCODE:
        if (TframeData codes; FVideoTap && ReadDVCode(m, FVideoTap->FrameDataRing(), codes))
            FPendingCodes = FLastCodes = codes;
        break;
    case WM_VIDEODATA:
        if (TVideoData video; RecordKind(m) == VideoDataKindFormat && FVideoTap &&
                              ReadVideoData(m, FVideoTap->VideoDataRing(), video))
            FVideo = video;
        break;
    case WM_NAVPOSITIONTEXT:
        RecordFrame(ReadPositionText(m));
        break;
    default:
        DefWindowProc(m);
        return;
    }
    m.Result = 0;
}

void TInfoFrameLog::RecordFrame(const QString& positionText) {
    if (Full() || !FKeeper)
        return;
    TInfoFrame f;
    f.Index = int64_t(FFrames.size());
    f.Position = FKeeper->Position();
    f.PositionText = positionText.toStdString();
    if (FPendingCodes) {
        f.DateValid = FPendingCodes->DateValid;
        f.RecordingDate = FPendingCodes->RecordingDate;
        f.TimecodeValid = FPendingCodes->TimecodeValid;
        f.TimecodeText = FPendingCodes->TimecodeText.toStdString();
        FPendingCodes.reset();
    }
    FFrames.push_back(std::move(f));
}
