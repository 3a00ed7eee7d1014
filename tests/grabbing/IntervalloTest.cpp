// The intervalometer on the main window: the plan, a run whose pictures are the frames at the
// planned positions (each picture read back for the number it shows), what stops a run (Esc,
// Cancel in the overwrite question), the state after it, and a run from the command line.
#include "commands/uBooleanAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uWidestringAction.h"
#include "grabbing/uIntervalloFrame.h"
#include "media/uNavMan.h"
#include "platform/ui/ScriptedDialogs.h"
#include "presentation/uAudioMan.h"
#include "presentation/uTextGauge.h"
#include "tests/grabbing/ShowFormFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

using namespace kelvara::test;

int64_t NumberIn(const QString& path) {
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
    return ReadFrameNumber(image.width(), image.height(),
                           [&](int x, int y) { return qGray(image.pixel(x, y)); });
}

constexpr REFERENCE_TIME kFrameDuration = 400000; // 25 frames a second

class Intervallo : public ShowFormFixture {
protected:
    void SetUp() override {
        ShowFormFixture::SetUp();
        form->waDossierSave->SetValue(pictures.path());
        form->iaImageAjouter->SetValue(1); // numbered, in the order of the run
        form->naForcerNative->Execute();
    }
    QStringList Written() const {
        return QDir(pictures.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // Every tenth frame of the 75 frames of numbers.mp4.
    void PlanEveryTenthFrame() {
        Open("numbers.mp4");
        form->iaIntervalloUnit->SetValue(0);
        form->iaIntervalloDelai->SetValue(10);
        form->ComputePlan();
    }
    QTemporaryDir pictures;
};

TEST_F(Intervallo, ThePlanCountsThePicturesFromThePositionToTheEnd) {
    Open("numbers.mp4"); // 3 s
    form->iaIntervalloUnit->SetValue(1);
    form->iaIntervalloDelai->SetValue(1);
    form->ComputePlan();
    EXPECT_EQ(form->Interval(), 10000000);
    EXPECT_EQ(form->PlanStart(), 0);
    EXPECT_EQ(form->Remaining(), 4) << "0, 1, 2 and 3 s";
    EXPECT_EQ(form->intervalloframe->chronolab->text(), QStringLiteral("4"));
    // A unit with no length leaves the plan as it was.
    form->iaIntervalloUnit->SetValue(3);
    form->ComputePlan();
    EXPECT_EQ(form->Remaining(), 4);
    // From a later frame.
    form->iaIntervalloUnit->SetValue(0);
    for (int i = 0; i < 5; ++i)
        Run("naAvanceFrame");
    form->iaIntervalloDelai->SetValue(1);
    form->ComputePlan();
    EXPECT_EQ(form->PlanStart(), 5 * 400000);
    EXPECT_EQ(form->Remaining(), 71) << "every frame from frame 5";
    // The bar's controls set the actions.
    form->intervalloframe->seIntervallo->setValue(25);
    EXPECT_EQ(form->iaIntervalloDelai->Value(), 25);
    Check("caIntervalloShow", true);
    EXPECT_TRUE(form->intervalloframe->isVisible());
    Shot("intervallo-bar");
}

TEST_F(Intervallo, ARunGrabsTheFrameOfEveryPlannedPosition) {
    PlanEveryTenthFrame();
    ASSERT_EQ(form->Remaining(), 8);
    const int volume = form->audman->Volume();
    Run("naIntervalloStart");
    ASSERT_TRUE(WaitFor([&] { return !form->IntervalloRunning(); }));
    const QStringList written = Written();
    ASSERT_EQ(written.size(), 8) << written.join(' ').toStdString();
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(NumberIn(pictures.filePath(written[k])), k * 10) << written[k].toStdString();
    // Afterwards: at the start, the sound back, the switch off, a new plan.
    EXPECT_EQ(Shown(), 0);
    EXPECT_EQ(form->audman->Volume(), volume);
    EXPECT_FALSE(form->intervalloframe->RxSwitch1->isChecked());
    EXPECT_TRUE(form->intervalloframe->seIntervallo->isEnabled());
    EXPECT_EQ(form->Remaining(), 8);
}

TEST_F(Intervallo, EscStopsTheRunAfterThePictureInProgress) {
    PlanEveryTenthFrame();
    Check("caFullscreen", true);
    // The key comes while the first seek is under way.
    QApplication::setActiveWindow(form.get());
    QTimer::singleShot(0, form.get(), [this] { QTest::keyClick(form.get(), Qt::Key_Escape); });
    Run("naIntervalloStart");
    ASSERT_TRUE(WaitFor([&] { return !form->IntervalloRunning(); }));
    EXPECT_EQ(Written().size(), 1u);
    EXPECT_FALSE(Checked("caFullscreen")) << "Esc also leaves full screen";
    EXPECT_EQ(form->Remaining(), 8) << "the plan is made again";
}

TEST_F(Intervallo, CancelInTheOverwriteQuestionEndsTheRun) {
    PlanEveryTenthFrame();
    // The second picture's file exists already.
    {
        QFile f(pictures.filePath(QStringLiteral("Kelvara_002.bmp")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    TScriptedDialogs dialogs;
    dialogs.Answer(mrCancel);
    Run("naIntervalloStart");
    ASSERT_TRUE(WaitFor([&] { return !form->IntervalloRunning(); }));
    EXPECT_EQ(Written(),
              (QStringList{QStringLiteral("Kelvara_001.bmp"), QStringLiteral("Kelvara_002.bmp")}));
    EXPECT_EQ(QFileInfo(pictures.filePath(QStringLiteral("Kelvara_002.bmp"))).size(), 0);
    EXPECT_EQ(dialogs.Asked().size(), 1);
}

TEST_F(Intervallo, AFailedWriteEndsTheRunWithTheEndSteps) {
    PlanEveryTenthFrame();
    form->waDossierSave->SetValue(pictures.filePath(QStringLiteral("gone")));
    const int volume = form->audman->Volume();
    const int errors = Application().ReportedErrorCount();
    Run("naIntervalloStart");
    ASSERT_TRUE(WaitFor([&] { return !form->IntervalloRunning(); }));
    EXPECT_EQ(Application().ReportedErrorCount(), errors + 1) << "one report, not one per picture";
    EXPECT_EQ(form->audman->Volume(), volume);
    EXPECT_FALSE(form->intervalloframe->RxSwitch1->isChecked());
    EXPECT_TRUE(form->intervalloframe->cboxIntervallo->isEnabled());
}

// The run's frame-exact seeks a little ahead decode on without seeking, which leaves the sound
// where it was: the next Play seeks to the frame shown first, so both streams start together.
TEST_F(Intervallo, PlayAfterStepsAheadBringsTheSoundToTheFrameShown) {
    Open("numbers.mp4"); // with sound
    Check("caSeekPrecision", true);
    form->NavMan->PreciseSeek(20 * kFrameDuration);
    ASSERT_TRUE(WaitFor([&] { return Shown() == 20; }));
    std::vector<REFERENCE_TIME> seeks;
    form->NavMan->onAbsolutePosition = [&](REFERENCE_TIME at) { seeks.push_back(at); };
    Run("naAvanceFrame");
    Run("naAvanceFrame");
    ASSERT_TRUE(WaitFor([&] { return Shown() == 22; })) << Shown();
    EXPECT_TRUE(seeks.empty());
    Check("caPlay", true);
    ASSERT_EQ(seeks.size(), 1u);
    EXPECT_EQ(seeks[0], 22 * kFrameDuration);
    EXPECT_TRUE(WaitFor([&] { return Shown() > 30; })) << "playing on: " << Shown();
    form->NavMan->onAbsolutePosition = nullptr;
}

TEST_F(Intervallo, TheCommandLineRunsASeries) {
    const QString clip = Clip("numbers.mp4");
    TChildOptions options;
    options.Timeout = std::chrono::seconds(90);
    options.Environment.push_back({"SDL_AUDIODRIVER", "dummy"});
    const TChildRun run =
        RunChild(ToolPath(QStringLiteral("kelvara")),
                 {QStringLiteral("/o=") + clip, QStringLiteral("/savfold=") + pictures.path(),
                  QStringLiteral("/an"), QStringLiteral("/arNat"), QStringLiteral("/idelai=25"),
                  QStringLiteral("/iunit=0"), QStringLiteral("/inter"), QStringLiteral("/quit")},
                 options);
    ASSERT_TRUE(run.Exited()) << run.Err;
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const QStringList written = Written();
    ASSERT_EQ(written.size(), 4) << written.join(' ').toStdString() << run.Err;
    // Every second, in the unit given last, whatever the order of the switches.
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(NumberIn(pictures.filePath(written[k])), k * 25);
}

} // namespace
