#pragma once
// The navigation manager: the program's graph manager (and DV code relay) with navigation on
// top. It owns the play/pause action and the step actions, moves the position by a plain seek
// or by a precise seek that lands on an exact frame with the frame keeper's help, keeps the
// duration and the frame duration, keeps a position edit and a position slider in step with
// playback, and switches the graph between clocked playback and playback as fast as it goes.
//
// Plain seek: pause, set the graph's position, wait (at most about a second) for the renderer
// to hold a frame. Precise seek: the keeper holds every frame back (PassSamples off) and arms a
// mark at the target; the graph is placed a pre-position before the target and decodes forward;
// the first frame within half a frame of the target fires the mark, whose handler lets frames
// through again, so that very frame is the one the renderer shows. While paused, a target at
// most a pre-position ahead of the frame shown is reached without a seek: the renderer lets its
// held frame go (IHeldSampleRelease) and the decoder goes on from where it is, the keeper holding
// frames back until the mark as before; the renderer holds the target, which keeps the frames
// after it upstream. The sound does not follow such a step (its renderer drops what comes
// meanwhile), so the next Play seeks to the frame shown first, which brings both streams
// together again.
//
// Thread contract: a component of the GUI thread. The frame keeper sends the navigation
// position text (0x2420) and the mark reached message (0x2422) synchronously from the renderer's
// streaming thread, and the frame duration (0x2421) when its input type is set; the video tap
// posts the frame duration when it changes. Their handlers run on the GUI thread, often inside a
// wait of this component for the graph (a state change or a seek serving window messages): they
// only note values, update the displays and set the keeper's flags, and never drive the graph
// (no seek, state change or step), which would re-enter the graph from inside its own wait.
// Steps and plain seeks that come while one is running (a slider moved during a seek) are
// dropped, not queued.
#include "media/uDVMan.h"
#include "platform/com/ComPtr.h"
#include "platform/ui/RxSlider.h"
#include "taps/uFramesNotifier.h"

#include <cstdint>
#include <functional>
#include <limits>

#include <QLineEdit>
#include <QPointer>
#include <QString>

class TCheckAction;
class TNopeAction;
class TIntegerAction;
class TWidestringAction;

class TNavMan : public TDVMan {
public:
    // Step sizes in 100-ns units (the frame steps use the frame duration).
    static constexpr REFERENCE_TIME OneSecond = 10000000;
    static constexpr REFERENCE_TIME TenSeconds = 100000000;
    static constexpr REFERENCE_TIME OneMinute = 600000000;
    static constexpr REFERENCE_TIME TenMinutes = 6000000000;

    explicit TNavMan(QObject* owner = nullptr);
    ~TNavMan() override;

    void GoStart();
    // To the last reachable position: duration minus two frame durations.
    void GoEnd();
    void StepBack(REFERENCE_TIME delta);
    void StepForward(REFERENCE_TIME delta);
    // The plain seek; the graph is left paused. wait: wait for the renderer afterwards.
    void SeekTo(REFERENCE_TIME position, bool wait = true);
    // Lands on the frame at target (through the frame keeper when one is attached).
    void PreciseSeek(REFERENCE_TIME target);
    // Starts a precise seek to a target a little ahead while paused, by decoding on, and returns
    // at once (PreciseSeekPending until the mark is reached, then WaitForRenderer): the caller
    // works meanwhile. False, and nothing started, when that is not possible: PreciseSeek then.
    bool StartPreciseSeekAhead(REFERENCE_TIME target);
    // The current position (the keeper's when attached); refreshes the slider and OnKPosition.
    REFERENCE_TIME GetPosition();
    void GotoPositionText(const QString& text);
    // Reads the duration and resets the bounds (after video or audio was connected or taken out).
    void ResetForGraph();
    void SetFrameDuration(REFERENCE_TIME duration);
    // The video source whose tap reports the frame duration to this component (none: no tap).
    void SetFrameRateSource(TVideoSource* source);
    TVideoSource* FrameRateSource() const { return FFrameRateSource; }
    // Seeks again to the frame shown while paused, so that the renderer draws it anew.
    void RefreshFrame();
    bool Play() override;
    bool Stop() override;

    QLineEdit* PositionEdit() const { return FPositionEdit.data(); }
    void SetPositionEdit(QLineEdit* edit);
    TRxSlider* Slider() const { return FSlider.data(); }
    void SetSlider(TRxSlider* slider);
    TFramesNotifier* FramesNotifier() const { return FFramesNotifier.Get(); }
    void SetFramesNotifier(TFramesNotifier* keeper) { FFramesNotifier = keeper; }

    bool Loading() const { return FLoading; }
    void SetLoading(bool loading) { FLoading = loading; }
    bool TypingAccepted() const { return FTypingAccepted; }
    void SetTypingAccepted(bool accepted) { FTypingAccepted = accepted; }
    bool EditFollows() const { return FEditFollows; }
    bool SliderFollows() const { return FSliderFollows; }
    // A precise seek whose target has not been reached yet.
    bool PreciseSeekPending() const { return FPreciseSeekPending; }

    REFERENCE_TIME Duration() const { return FDuration; }
    REFERENCE_TIME FrameDuration() const { return FFrameDuration; }
    REFERENCE_TIME StartPosition() const { return FStartPosition; }
    REFERENCE_TIME EndPosition() const { return FEndPosition; }
    REFERENCE_TIME PrePosition() const { return FPrePosition; }
    REFERENCE_TIME LastReportedPosition() const { return FLastReportedPosition; }

    // Whether Shift is held at the moment a Shift-dependent action runs (tests replace it).
    std::function<bool()> ShiftPressed;

    std::function<void(REFERENCE_TIME rt)> onAbsolutePosition;
    std::function<void(int pos)> OnKPosition;
    std::function<void(const QString& atimeStr)> OnDisplayTime;
    std::function<void(const QString& aDurationStr)> OnDuration;
    std::function<void()> OnDisplaySeek;
    std::function<void()> OnDisplayNormal;
    std::function<void(bool isVitesseMaxi)> OnVitesse;

    TCheckAction* caPlay = nullptr;
    TNopeAction* naReculeDebut = nullptr;
    TNopeAction* naReculeTrack = nullptr;
    TNopeAction* naRecule10Minutes = nullptr;
    TNopeAction* naReculeMinute = nullptr;
    TNopeAction* naReculeHigh = nullptr;
    TNopeAction* naRecule10Secondes = nullptr;
    TNopeAction* naReculeSeconde = nullptr;
    TNopeAction* naReculeMedium = nullptr;
    TNopeAction* naRecule10Frames = nullptr;
    TNopeAction* naReculeFrame = nullptr;
    TNopeAction* naReculeLow = nullptr;
    TNopeAction* naAvanceFin = nullptr;
    TNopeAction* naAvanceTrack = nullptr;
    TNopeAction* naAvance10Minutes = nullptr;
    TNopeAction* naAvanceMinute = nullptr;
    TNopeAction* naAvanceHigh = nullptr;
    TNopeAction* naAvance10Secondes = nullptr;
    TNopeAction* naAvanceSeconde = nullptr;
    TNopeAction* naAvanceMedium = nullptr;
    TNopeAction* naAvance10Frames = nullptr;
    TNopeAction* naAvanceFrame = nullptr;
    TNopeAction* naAvanceLow = nullptr;
    TCheckAction* caVitesseCompatible = nullptr;
    TCheckAction* caSeekPrecision = nullptr;
    TIntegerAction* iaSeekPrepos = nullptr;
    TWidestringAction* waStrPosition = nullptr;

protected:
    void WndProc(TMessage& message) override;
    void CreateActions() override;
    void InitActions() override;
    void FindActions() override;
    void WireActions() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WireSteps();
    void SetClockMode(bool compatible);
    void MarkReached();
    void PositionTextReported(const QString& text);
    void CancelPendingPreciseSeek();
    void ArmPreciseSeek(REFERENCE_TIME target, bool afterNewSegment);
    bool PreciseSeekForward(REFERENCE_TIME target, bool wait = true);
    bool ReleaseOtherRenderers();
    void ShowSeekFeedback(bool seeking);
    bool PreciseSeeks() const;
    bool Shift() const;
    int SliderValue(REFERENCE_TIME position) const;

    QPointer<QLineEdit> FPositionEdit;
    QObject* FPositionEditObject = nullptr; // the same, for comparing only
    QPointer<TRxSlider> FSlider;
    ComPtr<TFramesNotifier> FFramesNotifier;
    TVideoSource* FFrameRateSource = nullptr; // not owned
    QString FLastPositionText;
    bool FEditFollows = false;
    bool FTypingAccepted = false;
    bool FSliderFollows = false;
    REFERENCE_TIME FPrePosition = OneSecond;
    REFERENCE_TIME FStartPosition = 0;
    REFERENCE_TIME FEndPosition = std::numeric_limits<REFERENCE_TIME>::max();
    TGrapheManState FSavedRunState = gmStopped;
    REFERENCE_TIME FDuration = 0;
    REFERENCE_TIME FLastReportedPosition = 0;
    bool FStepGuard = false;
    bool FSeekGuard = false;
    bool FLoading = false;
    bool FInPreciseSeek = false;
    bool FPreciseSeekPending = false;
    bool FSoundBehind = false; // a forward step left the sound where it was
    REFERENCE_TIME FFrameDuration = 0;
};
