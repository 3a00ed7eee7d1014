#include "media/uNavMan.h"

#include "commands/uActionRows.h"
#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "commands/uWidestringAction.h"
#include "media/uMediaDevices.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/Enumerators.h"
#include "platform/graph/MediaGuids.h"
#include "platform/graph/MiscInterfaces.h"
#include "platform/ui/ProcessMessages.h"
#include "platform/ui/RxSlider.h"
#include "platform/ui/ShortCuts.h"
#include "taps/uMediaDescriptions.h"
#include "taps/uTapMessages.h"
#include "taps/uTapRing.h"

#include <algorithm>
#include <climits>

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

constexpr TShortCut kCtrl = scCtrl;
constexpr TShortCut kShiftCtrl = scShift | scCtrl;

const TActionRow kNopeRows[] = {
    {"naReculeDebut", "ReculeDebut", ShortCut(VK_HOME, kShiftCtrl), false},
    {"naReculeTrack", "ReculeTrack", ShortCut(VK_HOME, kCtrl), false},
    {"naRecule10Minutes", "Recule10Minutes", ShortCut(VK_NEXT, kShiftCtrl), false},
    {"naReculeMinute", "ReculeMinute", ShortCut(VK_NEXT, kCtrl), false},
    {"naReculeHigh", "ReculeHigh", 0, false},
    {"naRecule10Secondes", "Recule10Secondes", ShortCut(VK_DOWN, kShiftCtrl), false},
    {"naReculeSeconde", "ReculeSeconde", ShortCut(VK_DOWN, kCtrl), false},
    {"naReculeMedium", "ReculeMedium", 0, false},
    {"naRecule10Frames", "Recule10Frames", ShortCut(VK_LEFT, kShiftCtrl), false},
    {"naReculeFrame", "ReculeFrame", ShortCut(VK_LEFT, kCtrl), false},
    {"naReculeLow", "ReculeLow", 0, false},
    {"naAvanceFin", "AvanceFin", ShortCut(VK_END, kShiftCtrl), false},
    {"naAvanceTrack", "AvanceTrack", ShortCut(VK_END, kCtrl), false},
    {"naAvance10Minutes", "Avance10Minutes", ShortCut(VK_PRIOR, kShiftCtrl), false},
    {"naAvanceMinute", "AvanceMinute", ShortCut(VK_PRIOR, kCtrl), false},
    {"naAvanceHigh", "AvanceHigh", 0, false},
    {"naAvance10Secondes", "Avance10Secondes", ShortCut(VK_UP, kShiftCtrl), false},
    {"naAvanceSeconde", "AvanceSeconde", ShortCut(VK_UP, kCtrl), false},
    {"naAvanceMedium", "AvanceMedium", 0, false},
    {"naAvance10Frames", "Avance10Frames", ShortCut(VK_RIGHT, kShiftCtrl), false},
    {"naAvanceFrame", "AvanceFrame", ShortCut(VK_RIGHT, kCtrl), false},
    {"naAvanceLow", "AvanceLow", 0, false},
};
const TActionRow kPlay{"caPlay", "Play", ShortCut(VK_SPACE, kCtrl), false};
const TActionRow kVitesse{"caVitesseCompatible", "VitesseCompatible", ShortCut('B', kCtrl), true};
const TActionRow kPrecision{"caSeekPrecision", "SeekPrecision", 0, true};
const TActionRow kPrepos{"iaSeekPrepos", "SeekPrepos", 0, true};
const TActionRow kStrPosition{"waStrPosition", "Position", 0, false};

// Captions and hints of the step actions (empty caption: none).
struct TActionTexts {
    const char* Id;
    const char* Caption;
    const char* Hint;
};
const TActionTexts kNopeTexts[] = {
    {"naReculeDebut", "Start", "Go back to start"},
    {"naReculeTrack", "",
     "Go back to the previous scene\nor keep pressing Shift to go back to Start"},
    {"naRecule10Minutes", "", "Go back ten minutes"},
    {"naReculeMinute", "", "Go back one minute"},
    {"naReculeHigh", "", "Go back one minute\nor hold Shift to Go back 10 minutes"},
    {"naRecule10Secondes", "", "Go back ten seconds"},
    {"naReculeSeconde", "", "Go back one second"},
    {"naReculeMedium", "", "Go back one second\nor hold Shift to Go back ten seconds"},
    {"naRecule10Frames", "", "Go back ten frames"},
    {"naReculeFrame", "", "Go back one frame"},
    {"naReculeLow", "", "Go back one frame\nor hold Shift to Go back ten frames"},
    {"naAvanceFin", "End", "Click to go to the end"},
    {"naAvanceTrack", "Next scene",
     "Click to advance to the next Scene.\nIf you hold Shift you will advance to the End"},
    {"naAvance10Minutes", "Go forward ten minutes", "Click to skip forward ten minutes"},
    {"naAvanceMinute", "Go forward one minute", "Click to skip forward one minute"},
    {"naAvanceHigh", "Go forward one or ten minutes",
     "Click to go forward one minute.\nIf you hold Shift you will advance ten minutes"},
    {"naAvance10Secondes", "Go forward ten seconds", "Click to skip forward ten seconds"},
    {"naAvanceSeconde", "Go forward one second", "Click to go forward one second"},
    {"naAvanceMedium", "Go forward one or ten seconds",
     "Click to go forward one second.\nIf you hold Shift you will advance ten seconds"},
    {"naAvance10Frames", "Go forward ten frames", "Click to move forward ten frames"},
    {"naAvanceFrame", "Move forward one frame", "Click to move forward one frame"},
    {"naAvanceLow", "Go forward one or ten frames",
     "Click to move forward one frame.\nIf you hold Shift you will advance ten frames"},
};

// a * b / c without overflow (c > 0).
int64_t ScaledDiv(int64_t a, int64_t b, int64_t c) {
    return int64_t(static_cast<__int128>(a) * b / c);
}

} // namespace

TNavMan::TNavMan(QObject* owner) : TDVMan(owner) {
    ShiftPressed = [] {
        return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
    };
}

TNavMan::~TNavMan() {
    // No report of a tap or the keeper reaches this component once it is going.
    DestroyMessageWindow();
    SetPositionEdit(nullptr);
    SetSlider(nullptr);
    if (FFrameRateSource && FFrameRateSource->Tap())
        FFrameRateSource->Tap()->StopFrameDurationReports();
}

// ---- actions

void TNavMan::CreateActions() {
    new TCheckAction(QString::fromLatin1(kPlay.Id), this);
    for (const TActionRow& row : kNopeRows)
        new TNopeAction(QString::fromLatin1(row.Id), this);
    new TCheckAction(QString::fromLatin1(kVitesse.Id), this);
    new TCheckAction(QString::fromLatin1(kPrecision.Id), this);
    new TIntegerAction(QString::fromLatin1(kPrepos.Id), this);
    new TWidestringAction(QString::fromLatin1(kStrPosition.Id), this);
}

void TNavMan::InitActions() {
    InitActionRows(*this, kNopeRows);
    for (const TActionRow* row : {&kPlay, &kVitesse, &kPrecision, &kPrepos, &kStrPosition})
        InitActionRows(*this, std::span(row, 1));
    for (const char* id : {kPlay.Id, kVitesse.Id, kPrecision.Id})
        if (auto* a = FindAction<TCheckAction>(QString::fromLatin1(id)))
            a->SetDefaultValue(false);
    if (auto* a = FindAction<TIntegerAction>(QString::fromLatin1(kPrepos.Id)))
        a->SetDefaultValue(1000);
    if (auto* a = FindAction<TWidestringAction>(QString::fromLatin1(kStrPosition.Id)))
        a->SetDefaultValue(QStringLiteral("0:00:00:00"));
}

void TNavMan::FindActions() {
    caPlay = FindAction<TCheckAction>(QStringLiteral("caPlay"));
    naReculeDebut = FindAction<TNopeAction>(QStringLiteral("naReculeDebut"));
    naReculeTrack = FindAction<TNopeAction>(QStringLiteral("naReculeTrack"));
    naRecule10Minutes = FindAction<TNopeAction>(QStringLiteral("naRecule10Minutes"));
    naReculeMinute = FindAction<TNopeAction>(QStringLiteral("naReculeMinute"));
    naReculeHigh = FindAction<TNopeAction>(QStringLiteral("naReculeHigh"));
    naRecule10Secondes = FindAction<TNopeAction>(QStringLiteral("naRecule10Secondes"));
    naReculeSeconde = FindAction<TNopeAction>(QStringLiteral("naReculeSeconde"));
    naReculeMedium = FindAction<TNopeAction>(QStringLiteral("naReculeMedium"));
    naRecule10Frames = FindAction<TNopeAction>(QStringLiteral("naRecule10Frames"));
    naReculeFrame = FindAction<TNopeAction>(QStringLiteral("naReculeFrame"));
    naReculeLow = FindAction<TNopeAction>(QStringLiteral("naReculeLow"));
    naAvanceFin = FindAction<TNopeAction>(QStringLiteral("naAvanceFin"));
    naAvanceTrack = FindAction<TNopeAction>(QStringLiteral("naAvanceTrack"));
    naAvance10Minutes = FindAction<TNopeAction>(QStringLiteral("naAvance10Minutes"));
    naAvanceMinute = FindAction<TNopeAction>(QStringLiteral("naAvanceMinute"));
    naAvanceHigh = FindAction<TNopeAction>(QStringLiteral("naAvanceHigh"));
    naAvance10Secondes = FindAction<TNopeAction>(QStringLiteral("naAvance10Secondes"));
    naAvanceSeconde = FindAction<TNopeAction>(QStringLiteral("naAvanceSeconde"));
    naAvanceMedium = FindAction<TNopeAction>(QStringLiteral("naAvanceMedium"));
    naAvance10Frames = FindAction<TNopeAction>(QStringLiteral("naAvance10Frames"));
    naAvanceFrame = FindAction<TNopeAction>(QStringLiteral("naAvanceFrame"));
    naAvanceLow = FindAction<TNopeAction>(QStringLiteral("naAvanceLow"));
    caVitesseCompatible = FindAction<TCheckAction>(QStringLiteral("caVitesseCompatible"));
    caSeekPrecision = FindAction<TCheckAction>(QStringLiteral("caSeekPrecision"));
    iaSeekPrepos = FindAction<TIntegerAction>(QStringLiteral("iaSeekPrepos"));
    waStrPosition = FindAction<TWidestringAction>(QStringLiteral("waStrPosition"));
}

void TNavMan::WireActions() {
    for (const TActionTexts& t : kNopeTexts)
        if (auto* a = FindAction<TNopeAction>(QString::fromLatin1(t.Id))) {
            a->SetCaption(QString::fromLatin1(t.Caption));
            a->SetHint(QString::fromLatin1(t.Hint));
        }
    if (caPlay) {
        caPlay->SetTrueCaption(QStringLiteral("Pause"));
        caPlay->SetFalseCaption(QStringLiteral("Play"));
        caPlay->SetTrueHint(QStringLiteral("Set Pause"));
        caPlay->SetFalseHint(QStringLiteral("Play the video and/or audio stream"));
        caPlay->OnInternalTrueApply = [this] { Play(); };
        caPlay->OnInternalFalseApply = [this] { Pause(); };
    }
    if (caVitesseCompatible) {
        caVitesseCompatible->SetTrueCaption(QStringLiteral("Compatible Speed"));
        caVitesseCompatible->SetFalseCaption(QStringLiteral("Normal Speed"));
        caVitesseCompatible->SetTrueHint(
            QStringLiteral("Play the video at maximum speed compatible with CPU resources"));
        caVitesseCompatible->SetFalseHint(QStringLiteral("Play the video at normal speed"));
        caVitesseCompatible->OnInternalTrueApply = [this] { SetClockMode(true); };
        caVitesseCompatible->OnInternalFalseApply = [this] { SetClockMode(false); };
    }
    if (iaSeekPrepos) {
        iaSeekPrepos->SetCaption(QStringLiteral("SeekPrepos"));
        iaSeekPrepos->OnInternalApply = [this](int32_t ms) { FPrePosition = int64_t(ms) * 10000; };
    }
    if (waStrPosition) {
        waStrPosition->SetCaption(QStringLiteral("StrPosition"));
        waStrPosition->SetHint(QStringLiteral("Select the position in hh:mm:ss:ff and type Enter"));
        waStrPosition->OnInternalApply = [this](const QString& text) { GotoPositionText(text); };
    }
    WireSteps();
}

void TNavMan::WireSteps() {
    const auto wire = [](TNopeAction* action, std::function<void()> effect) {
        if (action)
            action->OnInternalApply = std::move(effect);
    };
    const auto back = [this](REFERENCE_TIME delta) { return [this, delta] { StepBack(delta); }; };
    const auto forward = [this](REFERENCE_TIME delta) {
        return [this, delta] { StepForward(delta); };
    };
    wire(naReculeDebut, [this] { GoStart(); });
    wire(naReculeTrack, [this] { GoStart(); });
    wire(naRecule10Minutes, back(TenMinutes));
    wire(naReculeMinute, back(OneMinute));
    wire(naReculeHigh, [this] { StepBack(Shift() ? TenMinutes : OneMinute); });
    wire(naRecule10Secondes, back(TenSeconds));
    wire(naReculeSeconde, back(OneSecond));
    wire(naReculeMedium, [this] { StepBack(Shift() ? TenSeconds : OneSecond); });
    wire(naRecule10Frames, [this] { StepBack(10 * FFrameDuration); });
    wire(naReculeFrame, [this] { StepBack(FFrameDuration); });
    wire(naReculeLow, [this] { StepBack((Shift() ? 10 : 1) * FFrameDuration); });
    wire(naAvanceFin, [this] { GoEnd(); });
    wire(naAvanceTrack, [this] { GoEnd(); });
    wire(naAvance10Minutes, forward(TenMinutes));
    wire(naAvanceMinute, forward(OneMinute));
    wire(naAvanceHigh, [this] { StepForward(Shift() ? TenMinutes : OneMinute); });
    wire(naAvance10Secondes, forward(TenSeconds));
    wire(naAvanceSeconde, forward(OneSecond));
    wire(naAvanceMedium, [this] { StepForward(Shift() ? TenSeconds : OneSecond); });
    wire(naAvance10Frames, [this] { StepForward(10 * FFrameDuration); });
    wire(naAvanceFrame, [this] { StepForward(FFrameDuration); });
    wire(naAvanceLow, [this] { StepForward((Shift() ? 10 : 1) * FFrameDuration); });
}

bool TNavMan::Shift() const {
    return ShiftPressed && ShiftPressed();
}

bool TNavMan::PreciseSeeks() const {
    return caSeekPrecision && caSeekPrecision->Checked();
}

// ---- moving

void TNavMan::GoStart() {
    SeekTo(FStartPosition, true);
}

void TNavMan::GoEnd() {
    SeekTo(FEndPosition - FFrameDuration, true);
}

void TNavMan::StepForward(REFERENCE_TIME delta) {
    if (FStepGuard)
        return;
    FStepGuard = true;
    REFERENCE_TIME p = AddTimes(GetPosition(), delta);
    p = std::max(std::min(p, FEndPosition), FStartPosition);
    if (PreciseSeeks())
        PreciseSeek(p);
    else
        SeekTo(p, true);
    FStepGuard = false;
}

void TNavMan::StepBack(REFERENCE_TIME delta) {
    if (FStepGuard)
        return;
    FStepGuard = true;
    const REFERENCE_TIME p = std::max(SubtractTimes(GetPosition(), delta), FStartPosition);
    if (PreciseSeeks())
        PreciseSeek(p);
    else
        SeekTo(p, true);
    FStepGuard = false;
}

void TNavMan::ShowSeekFeedback(bool seeking) {
    if (FPositionEdit) {
        QFont font = FPositionEdit->font();
        font.setItalic(seeking);
        FPositionEdit->setFont(font);
        QPalette palette = FPositionEdit->palette();
        palette.setColor(QPalette::Text, seeking ? QColor(192, 192, 192) : QColor(Qt::black));
        FPositionEdit->setPalette(palette);
    }
    if (seeking && OnDisplaySeek)
        OnDisplaySeek();
    if (!seeking && OnDisplayNormal)
        OnDisplayNormal();
}

void TNavMan::CancelPendingPreciseSeek() {
    // A precise seek whose target was never reached (the stream ended before it, or another
    // seek came first) would otherwise keep every later frame from the screen.
    if (!FPreciseSeekPending || !FFramesNotifier)
        return;
    FPreciseSeekPending = false;
    FFramesNotifier->ClearMark(0);
    FFramesNotifier->SetPassSamples(true);
    FFramesNotifier->SetPositionTextReports(true);
    SetDVRelay(true);
}

void TNavMan::SeekTo(REFERENCE_TIME position, bool wait) {
    if (FSeekGuard)
        return;
    FSeekGuard = true;
    if (!FInPreciseSeek)
        CancelPendingPreciseSeek();
    FSoundBehind = false; // the seek flushes and restarts both streams together
    if (!FLoading)
        ShowSeekFeedback(true);
    REFERENCE_TIME p = position;
    const REFERENCE_TIME last = SubtractTimes(FEndPosition, FFrameDuration);
    if (p >= last)
        p = last;
    if (p < FStartPosition)
        p = FStartPosition;
    try {
        const TGrapheManState state = RunState();
        Pause();
        if (onAbsolutePosition)
            onAbsolutePosition(p);
        if (FFramesNotifier && state == gmPlaying)
            FFramesNotifier->SetPositionTextReports(false);
        IMediaSeeking* seeking = Seeking();
        DWORD caps = 0;
        if (seeking && SUCCEEDED(seeking->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME)) &&
            SUCCEEDED(seeking->GetCapabilities(&caps)) && (caps & AM_SEEKING_CanSeekAbsolute)) {
            seeking->SetPositions(&p, AM_SEEKING_AbsolutePositioning, nullptr,
                                  AM_SEEKING_NoPositioning);
        }
        if (wait)
            WaitForRenderer();
    } catch (...) {
        // A failing seek leaves the graph paused where it was.
    }
    if (!FLoading)
        ShowSeekFeedback(false);
    FSeekGuard = false;
}

void TNavMan::PreciseSeek(REFERENCE_TIME target) {
    if (target == 0) {
        GoStart();
        return;
    }
    if (target >= SubtractTimes(FDuration, FFrameDuration)) {
        // The last reachable frame, decoded on to when it is near (an intervalometer's last
        // picture at the very end), else sought as GoEnd does.
        if (FFramesNotifier && !FSeekGuard && RunState() == gmPaused) {
            CancelPendingPreciseSeek();
            if (PreciseSeekForward(SubtractTimes(FEndPosition, FFrameDuration)))
                return;
        }
        GoEnd();
        return;
    }
    if (!FFramesNotifier || FSeekGuard) {
        // Without a keeper a plain seek is all there is; inside a seek it is dropped like any
        // nested seek (a mark armed now would wait for a seek that never comes).
        SeekTo(target, true);
        return;
    }
    CancelPendingPreciseSeek();
    FSavedRunState = RunState();
    if (FSavedRunState == gmPaused && PreciseSeekForward(target))
        return;
    try {
        // Paused before the keeper holds frames back: a pause from playing waits for a frame
        // at the renderer, which a keeper holding every frame would never deliver.
        if (FSavedRunState == gmPlaying)
            Pause();
        ArmPreciseSeek(target, true);
        FInPreciseSeek = true;
        SeekTo(SubtractTimes(target, FPrePosition), true);
    } catch (...) {
    }
    FInPreciseSeek = false;
    if (FSavedRunState == gmPlaying)
        Play();
    else
        Pause();
    // Until the mark is reached the frames passing the keeper are not on screen: their
    // positions and codes are not reported; the mark's handler switches both on.
    if (!FPreciseSeekPending) {
        FFramesNotifier->SetPositionTextReports(true);
        SetDVRelay(true);
    }
}

void TNavMan::ArmPreciseSeek(REFERENCE_TIME target, bool afterNewSegment) {
    FFramesNotifier->SetPositionTextReports(false);
    SetDVRelay(false);
    FFramesNotifier->SetMarkWindow(0, Handle());
    FPreciseSeekPending = true;
    FFramesNotifier->SetMark(0, target, afterNewSegment);
    FFramesNotifier->SetPassSamples(false);
}

namespace {

// The first filter upstream of the keeper that decodes ahead (a few filters up at most: the
// video tap and the decoder sit right in front of it).
ComPtr<IDecodeAhead> DecoderAheadOf(IBaseFilter* keeper) {
    ComPtr<IBaseFilter> filter(keeper);
    for (int hop = 0; filter && hop < 4; ++hop) {
        ComPtr<IBaseFilter> next;
        for (const ComPtr<IPin>& pin : PinsOf(filter.Get())) {
            ComPtr<IPin> peer;
            if (DirectionOf(pin.Get()) == PINDIR_INPUT &&
                SUCCEEDED(pin->ConnectedTo(peer.GetAddressOf())) && peer) {
                next = FilterOf(peer.Get());
                break;
            }
        }
        if (const auto decoder = QueryInterfaceOf<IDecodeAhead>(next.Get()))
            return decoder;
        filter = next;
    }
    return {};
}

} // namespace

bool TNavMan::ReleaseOtherRenderers() {
    // The sound's renderer, paused, holds a sample too; a source that feeds both streams from
    // one thread (interleaved DV) would wait on it and never bring the video's next frame. So
    // every other renderer lets its sample go and drops what comes until the next state change
    // or seek; the next Play seeks first, which brings the sound back to the frame shown.
    const ComPtr<IBaseFilter> video = QueryInterfaceOf<IBaseFilter>(RendererState());
    for (const ComPtr<IBaseFilter>& filter : FiltersOf(GraphBuilder())) {
        if (filter.Get() == video.Get())
            continue;
        const auto flags = QueryInterfaceOf<IAMFilterMiscFlags>(filter.Get());
        if (!flags || !(flags->GetMiscFlags() & AM_FILTER_MISC_FLAGS_IS_RENDERER))
            continue;
        const auto other = QueryInterfaceOf<IHeldSampleRelease>(filter.Get());
        if (!other)
            return false; // a renderer that might hold the stream: seek instead
        if (other->ReleaseHeldSample(false) == S_OK)
            FSoundBehind = true;
    }
    return true;
}

bool TNavMan::StartPreciseSeekAhead(REFERENCE_TIME target) {
    if (!FFramesNotifier || FSeekGuard || RunState() != gmPaused)
        return false;
    CancelPendingPreciseSeek();
    if (target >= SubtractTimes(FDuration, FFrameDuration))
        target = SubtractTimes(FEndPosition, FFrameDuration);
    return PreciseSeekForward(target, false);
}

bool TNavMan::PreciseSeekForward(REFERENCE_TIME target, bool wait) {
    // A seek decodes at least a pre-position's worth of frames before its target; decoding on
    // from the frame shown is less work when the target is no further ahead than that.
    const REFERENCE_TIME shown = FFramesNotifier->Position();
    const REFERENCE_TIME ahead = SubtractTimes(target, shown);
    if (ahead <= FFrameDuration / 2 || ahead > FPrePosition || FLoading)
        return false;
    const auto release = QueryInterfaceOf<IHeldSampleRelease>(RendererState());
    if (!release)
        return false;
    FSeekGuard = true;
    ArmPreciseSeek(target, false);
    // The decoder drops what lies more than a frame before the target: those pictures are never
    // shown, and converting and passing them on is most of the work besides decoding. The keeper
    // still sees the frame before the target, so its mark fires as after a seek. (Told once the
    // stream moves: a release refused must leave no skip behind.)
    const std::optional<REFERENCE_TIME> sampleTime = FFramesNotifier->SampleTimeOf(target);
    const ComPtr<IDecodeAhead> decoder =
        sampleTime ? DecoderAheadOf(FFramesNotifier.Get()) : ComPtr<IDecodeAhead>();
    // Refused when the renderer holds no frame (a seek still on its way): seek as usual then.
    if (!ReleaseOtherRenderers()) {
        CancelPendingPreciseSeek();
        FSeekGuard = false;
        return false;
    }
    if (release->ReleaseHeldSample(true) != S_OK) {
        CancelPendingPreciseSeek();
        FSeekGuard = false;
        return false;
    }
    if (decoder)
        decoder->SkipUntil(SubtractTimes(*sampleTime, FFrameDuration));
    if (!wait) {
        FSeekGuard = false;
        return true;
    }
    ShowSeekFeedback(true);
    WaitForRenderer();
    ShowSeekFeedback(false);
    if (!FPreciseSeekPending) {
        FFramesNotifier->SetPositionTextReports(true);
        SetDVRelay(true);
    }
    FSeekGuard = false;
    return true;
}

bool TNavMan::Play() {
    if (FSoundBehind && !FSeekGuard) {
        // Brings the sound to the frame shown (a plain seek lands on it exactly: the frames
        // before its position are decoded as preroll and not shown).
        SeekTo(GetPosition(), true);
    }
    return TGrapheMan::Play();
}

void TNavMan::MarkReached() {
    if (!FFramesNotifier)
        return;
    FPreciseSeekPending = false;
    FFramesNotifier->SetPassSamples(true);
    FFramesNotifier->SetPositionTextReports(true);
    // The frame that reached the mark is the one shown: its DV codes are relayed.
    SetDVRelay(true);
}

REFERENCE_TIME TNavMan::GetPosition() {
    REFERENCE_TIME p = 0;
    if (FFramesNotifier) {
        p = FFramesNotifier->Position();
    } else {
        IMediaSeeking* seeking = Seeking();
        if (!seeking || FAILED(seeking->GetCurrentPosition(&p)))
            return 0;
    }
    const QString text = FormatPositionText(FFrameDuration, p);
    if (text != FLastPositionText) {
        FLastPositionText = text;
        if (FSlider && FSliderFollows)
            FSlider->SetPosition(SliderValue(p));
        if (OnKPosition) {
            const REFERENCE_TIME span = FEndPosition - FStartPosition;
            OnKPosition(span > 0 ? int(ScaledDiv(p - FStartPosition, 1024, span)) : 0);
        }
    }
    return p;
}

void TNavMan::GotoPositionText(const QString& text) {
    const REFERENCE_TIME p = ParsePositionText(text, FFrameDuration);
    if (PreciseSeeks())
        PreciseSeek(p);
    else
        SeekTo(p, true);
}

int TNavMan::SliderValue(REFERENCE_TIME position) const {
    return int(std::clamp<REFERENCE_TIME>(position / 1024, INT_MIN, INT_MAX));
}

void TNavMan::SetFrameDuration(REFERENCE_TIME duration) {
    // A frame duration of 0 (or one that is no duration at all) changes nothing.
    if (duration <= 0)
        return;
    FFrameDuration = duration;
    if (FFramesNotifier)
        FFramesNotifier->SetFrameDuration(duration);
    FEndPosition = FDuration - duration;
    if (OnDuration)
        OnDuration(FormatPositionText(duration, FDuration));
    if (FSlider)
        FSlider->SetRangeQuietly(FSlider->minimum(), SliderValue(FEndPosition));
}

void TNavMan::ResetForGraph() {
    FDuration = 0;
    if (IMediaSeeking* seeking = Seeking()) {
        LONGLONG duration = 0;
        if (SUCCEEDED(seeking->GetDuration(&duration)))
            FDuration = duration;
    }
    FStartPosition = 0;
    SetFrameDuration(1);
    FStepGuard = false;
    FSeekGuard = false;
}

void TNavMan::SetFrameRateSource(TVideoSource* source) {
    if (FFrameRateSource && FFrameRateSource->Tap())
        FFrameRateSource->Tap()->StopFrameDurationReports();
    FFrameRateSource = source;
    if (source && source->Tap())
        source->Tap()->SetFrameDurationWindow(Handle());
}

void TNavMan::RefreshFrame() {
    if (FLoading)
        return;
    FLoading = true;
    if (RunState() == gmPaused && FFramesNotifier)
        SeekTo(FFramesNotifier->Position(), true);
    FLoading = false;
}

bool TNavMan::Stop() {
    if (!FFramesNotifier)
        return TDVMan::Stop();
    const bool reports = FFramesNotifier->PositionTextReports();
    const bool relay = DVRelay();
    FFramesNotifier->SetPositionTextReports(false);
    SetDVRelay(false);
    ProcessMessages();
    const bool stopped = TDVMan::Stop();
    FFramesNotifier->SetPositionTextReports(reports);
    SetDVRelay(relay);
    return stopped;
}

void TNavMan::SetClockMode(bool compatible) {
    const TGrapheManState state = RunState();
    const ComPtr<IMediaControl> control = Control();
    if (control)
        control->Stop();
    if (OnVitesse)
        OnVitesse(compatible);
    if (compatible) {
        if (const ComPtr<IMediaFilter> filter = QueryInterfaceOf<IMediaFilter>(GraphBuilder()))
            filter->SetSyncSource(nullptr);
    } else if (const ComPtr<IFilterGraph> graph = QueryInterfaceOf<IFilterGraph>(GraphBuilder())) {
        graph->SetDefaultSyncSource();
    }
    if (!control)
        return;
    control->Run();
    if (state != gmPlaying)
        control->Pause();
}

// ---- messages and bindings

void TNavMan::PositionTextReported(const QString& text) {
    if (OnDisplayTime)
        OnDisplayTime(text);
    if (FPositionEdit && FEditFollows)
        FPositionEdit->setText(text);
    FLastReportedPosition = GetPosition();
}

void TNavMan::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_NAVPOSITIONTEXT:
        PositionTextReported(ReadPositionText(message));
        break;
    case WM_FRAMEDURATION:
        SetFrameDuration(ReadFrameDuration(message));
        break;
    case WM_MARKREACHED:
        MarkReached();
        break;
    default:
        TDVMan::WndProc(message);
    }
}

void TNavMan::SetPositionEdit(QLineEdit* edit) {
    if (FPositionEdit) {
        FPositionEdit->removeEventFilter(this);
        disconnect(FPositionEdit.data(), nullptr, this, nullptr);
    }
    FPositionEdit = edit;
    FPositionEditObject = edit;
    FEditFollows = edit != nullptr;
    if (!edit)
        return;
    edit->installEventFilter(this);
    connect(edit, &QObject::destroyed, this, [this] {
        FEditFollows = false;
        FPositionEditObject = nullptr;
    });
}

void TNavMan::SetSlider(TRxSlider* slider) {
    if (FSlider) {
        FSlider->OnUserChange = nullptr;
        FSlider->OnMouseDown = nullptr;
        FSlider->OnMouseUp = nullptr;
        disconnect(FSlider.data(), nullptr, this, nullptr);
    }
    FSlider = slider;
    FSliderFollows = slider != nullptr;
    if (!slider)
        return;
    slider->SetRangeQuietly(SliderValue(FStartPosition), SliderValue(FEndPosition));
    slider->OnUserChange = [this](int value) { SeekTo(REFERENCE_TIME(value) * 1024, true); };
    slider->OnMouseDown = [this] { FSliderFollows = false; };
    slider->OnMouseUp = [this] { FSliderFollows = true; };
    connect(slider, &QObject::destroyed, this, [this] { FSliderFollows = false; });
}

bool TNavMan::eventFilter(QObject* watched, QEvent* event) {
    // Compared as objects: the edit's own destructor still sends it events (hiding, losing the
    // focus) when it is no longer a QLineEdit.
    if (!watched || watched != FPositionEditObject)
        return TDVMan::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && FTypingAccepted) {
            const QPointer<QLineEdit> edit = FPositionEdit;
            GotoPositionText(edit->text());
            if (edit)
                if (QWidget* next = edit->nextInFocusChain(); next && next != edit)
                    next->setFocus(Qt::TabFocusReason);
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        FEditFollows = false;
        break;
    case QEvent::FocusOut:
        FEditFollows = true;
        break;
    default:
        break;
    }
    return TDVMan::eventFilter(watched, event);
}
