// The intervalometer: a series of grabs at a fixed interval of media time, from the position of
// the plan to the end of the video, each at a frame-exact seek, so that the series is the same
// however fast the machine is. The run is a loop on the GUI thread that processes messages
// between its steps; the commands that stop it only raise the abort flag, which the loop reads
// before each step.
#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uMacroRecorder.h"
#include "commands/uNopeAction.h"
#include "commands/uSuperAction.h"
#include "grabbing/main.h"
#include "grabbing/uIntervalloFrame.h"
#include "grabbing/uNavframe.h"
#include "media/uNavMan.h"
#include "platform/ui/ProcessMessages.h"
#include "presentation/uAudioMan.h"
#include "presentation/uTextGauge.h"
#include "presentation/uVideoMan.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

namespace {

// The longest a frame-exact seek may take to reach its frame before the grab goes ahead.
constexpr int kSeekWaitMs = 5000;
constexpr int kEventSliceMs = 20;

} // namespace

void TShowForm::FindIntervalloActions() {
    const auto find = [this]<class T>(T*& field, const char* id) {
        field = gpal->FindAction<T>(QString::fromLatin1(id));
    };
    find(caIntervalloShow, "caIntervalloShow");
    find(iaIntervalloDelai, "iaIntervalloDelai");
    find(iaIntervalloUnit, "iaIntervalloUnit");
    find(naIntervalloStart, "naIntervalloStart");
    find(naIntervalloBreak, "naIntervalloBreak");
    find(naAbort, "naAbort");
    for (TCustomAbstractAction* a : std::initializer_list<TCustomAbstractAction*>{
             caIntervalloShow, naIntervalloStart, naIntervalloBreak})
        a->IncludePrefs = false;
    caIntervalloShow->SetDefaultValue(false);
    caIntervalloShow->SetTrueCaption(QStringLiteral("Hide the intervalometer"));
    caIntervalloShow->SetFalseCaption(QStringLiteral("Display the intervalometer"));
    caIntervalloShow->SetTrueHint(QStringLiteral("Hide the intervalometer"));
    caIntervalloShow->SetFalseHint(QStringLiteral("Display the intervalometer"));
    iaIntervalloDelai->Comments = {QStringLiteral("Units are either frames, seconds, or minutes."),
                                   QStringLiteral("They are fixed by the IntervalloUnit command.")};
    naAbort->Comments = {QStringLiteral("Also leaves the full screen.")};
}

void TShowForm::WireIntervalloActions() {
    Tintervalloframe* bar = intervalloframe;
    caIntervalloShow->OnAfterTrueApply = [this, bar] {
        bar->setVisible(!caSliders->Checked());
        bar->raise();
        ComputePlan();
    };
    caIntervalloShow->OnAfterFalseApply = [bar] { bar->hide(); };
    // A new delay or unit makes a new plan, whoever set it: a switch or a script as well as the
    // bar (a delay equal to the spin box's value would not reach it through the box, and a unit
    // given after the delay would leave a plan in the old unit).
    iaIntervalloDelai->OnAfterApply = [this, bar](const int32_t& delay) {
        const QSignalBlocker b(bar->seIntervallo);
        bar->seIntervallo->setValue(delay);
        ComputePlan();
    };
    iaIntervalloUnit->OnAfterApply = [this, bar](const int32_t& unit) {
        const QSignalBlocker b(bar->cboxIntervallo);
        bar->cboxIntervallo->setCurrentIndex(unit >= 0 && unit < 3 ? unit : 3);
        ComputePlan();
    };
    connect(bar->seIntervallo, &QSpinBox::valueChanged, this,
            [this](int delay) { iaIntervalloDelai->SetValue(delay); });
    connect(bar->cboxIntervallo, &QComboBox::currentIndexChanged, this,
            [this](int unit) { iaIntervalloUnit->SetValue(unit); });
    connect(bar->RxSwitch1, &QToolButton::clicked, this, [this](bool on) {
        if (on) {
            naIntervalloStart->Execute();
        } else {
            MacroNesting = false;
            naIntervalloBreak->Execute();
        }
    });
    naIntervalloStart->OnAfterApply = [this] { RunIntervallo(); };
    naIntervalloBreak->OnAfterApply = [this] { RaiseAbort(); };
    naAbort->OnAfterApply = [this] {
        RaiseAbort();
        if (vidman->caFullscreen && vidman->caFullscreen->Checked())
            vidman->caFullscreen->SetChecked(false);
    };
}

void TShowForm::ComputePlan() {
    int64_t unit = 0;
    switch (iaIntervalloUnit->Value()) {
    case 0:
        unit = NavMan->FrameDuration();
        break;
    case 1:
        unit = TNavMan::OneSecond;
        break;
    case 2:
        unit = TNavMan::OneMinute;
        break;
    default:
        break;
    }
    const int64_t interval = int64_t(iaIntervalloDelai->Value()) * unit;
    if (interval <= 0)
        return; // the previous plan stays
    FInterval = interval;
    FPlanStart = NavMan->GetPosition();
    FRemaining = std::max<int64_t>(0, (NavMan->Duration() - FPlanStart) / interval + 1);
    ShowRemaining();
}

void TShowForm::ShowRemaining() {
    intervalloframe->chronolab->setText(QString::number(FRemaining));
    intervalloframe->chronolab->show();
}

void TShowForm::RunIntervallo() {
    if (FRunning)
        return; // one run at a time: a second start while running is ignored
    FRunning = true;
    Tintervalloframe* bar = intervalloframe;
    bar->RxSwitch1->setChecked(true);
    bar->seIntervallo->setEnabled(false);
    bar->cboxIntervallo->setEnabled(false);
    NavMan->Pause();
    audman->SetVolume(0);
    ClearAbort();
    const int64_t count = FRemaining;
    bool started = false; // the seek to picture k is on its way already
    for (int64_t k = 0; k < count && !FAbort; ++k) {
        if (!started)
            NavMan->PreciseSeek(FPlanStart + k * FInterval);
        QElapsedTimer waited;
        waited.start();
        // Sleeps while the decoder works (the mark's message wakes it), serving the window's
        // events (Esc) in between and once more when the target is there.
        do {
            WaitServingMessages([&] { return !NavMan->PreciseSeekPending(); }, kEventSliceMs);
            ProcessMessages();
        } while (NavMan->PreciseSeekPending() && waited.elapsed() < kSeekWaitMs);
        // The mark fires just before the target reaches the renderer: the picture is taken
        // once the renderer holds it, and once the frame's own posted messages (its DV codes
        // for the inlay) have been handled.
        NavMan->WaitForRendererFrame();
        ProcessMessages();
        // Once the frame is taken, the decoder goes on to the next one while this picture is
        // encoded and written: the same frames as one seek after the other, in less time.
        started = false;
        Grab([&] {
            if (k + 1 < count && !FAbort)
                started = NavMan->StartPreciseSeekAhead(FPlanStart + (k + 1) * FInterval);
        });
        --FRemaining;
        ShowRemaining();
        if (FWriteFailed)
            break; // the error has been reported; the end steps still run
    }
    // The end steps run after the loop's own messages, as a posted message would.
    QTimer::singleShot(0, this, [this] { EndIntervallo(); });
}

void TShowForm::EndIntervallo() {
    NavMan->Pause();
    NavMan->GoStart();
    RaiseAbort();
    NavMan->Stop();
    if (audman->iaVolume)
        audman->SetVolume(audman->iaVolume->Value());
    NavMan->Pause();
    Tintervalloframe* bar = intervalloframe;
    bar->RxSwitch1->setChecked(false);
    bar->seIntervallo->setEnabled(true);
    bar->cboxIntervallo->setEnabled(true);
    FRunning = false;
    ComputePlan();
}
