// The navigation manager on kelvara-info's graph of a 10-second, 25 fps clip whose pictures show
// their own frame numbers: the bounds of the steps and seeks (the end is duration minus two
// frames), Shift read when an action runs, frame-exact steps (a little ahead without a seek),
// nested steps dropped, the position
// edit and the slider, the clock mode, and a precise seek that never reaches its target not
// holding back every later frame; the seek feedback of the position field and OnKPosition.
#include "InfoGraph.h"
#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "platform/ui/ProcessMessages.h"
#include "tests/taps/KelvaraInfoSupport.h"
#include "tests/taps/ShownNumber.h"

#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

constexpr REFERENCE_TIME kFrame = 400000;

class Navigation : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Dir = new QTemporaryDir;
        const QString path = Dir->filePath(QStringLiteral("n.mp4"));
        const TRun r = RunTool(QStringLiteral("kelvara-mksample"),
                               {QStringLiteral("numbers"), path, QStringLiteral("--seconds"),
                                QStringLiteral("10"), QStringLiteral("--gop"), QStringLiteral("50"),
                                QStringLiteral("--no-audio")});
        ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        Path = new QString(path);
    }
    static void TearDownTestSuite() {
        delete Dir;
        delete Path;
    }

    void SetUp() override {
        TInfoOptions options;
        options.File = Path->toStdString();
        options.At = {"#0"};
        graph = std::make_unique<TInfoGraph>(options);
        const TInfoStatus built = graph->Build();
        ASSERT_TRUE(built.Ok()) << built.Message;
        nav = graph->Nav();
        ASSERT_TRUE(nav->Pause());
        ASSERT_TRUE(WaitServingMessages([&] { return Shown() == 0; }, 20000));
        nav->ResetForGraph();
        nav->SetFrameDuration(kFrame);
    }
    void TearDown() override {
        if (nav)
            nav->Stop();
    }

    int64_t Shown() { return ShownNumber(graph->VideoRenderer()); }
    // Waits for the picture of frame n; answers the frame shown at the end.
    int64_t Lands(int64_t n) {
        WaitServingMessages([&] { return Shown() == n; }, 10000);
        return Shown();
    }
    void Precise(bool on) { nav->caSeekPrecision->SetChecked(on); }

    static QTemporaryDir* Dir;
    static QString* Path;
    std::unique_ptr<TInfoGraph> graph;
    TNavMan* nav = nullptr;
};

QTemporaryDir* Navigation::Dir = nullptr;
QString* Navigation::Path = nullptr;

TEST_F(Navigation, StepsAndSeeksStayWithinStartAndTheLastReachableFrame) {
    EXPECT_EQ(nav->Duration(), 250 * kFrame);
    nav->naAvanceFin->Execute();
    EXPECT_EQ(Lands(248), 248) << "duration minus two frames";
    EXPECT_EQ(nav->GetPosition(), 248 * kFrame);

    nav->SeekTo(5 * TNavMan::OneSecond);
    EXPECT_EQ(Lands(125), 125);
    nav->naReculeMinute->Execute();
    EXPECT_EQ(Lands(0), 0);
    nav->naAvance10Minutes->Execute();
    EXPECT_EQ(Lands(248), 248);
    Precise(true);
    nav->PreciseSeek(0);
    EXPECT_EQ(Lands(0), 0);
    nav->PreciseSeek(nav->Duration());
    EXPECT_EQ(Lands(248), 248);
}

TEST_F(Navigation, PreciseStepsLandOnEachFrameAndShiftMovesTen) {
    Precise(true);
    bool shift = false;
    nav->ShiftPressed = [&] { return shift; };
    nav->PreciseSeek(48 * kFrame);
    ASSERT_EQ(Lands(48), 48);
    nav->naAvanceLow->Execute();
    EXPECT_EQ(Lands(49), 49);
    shift = true;
    nav->naAvanceLow->Execute();
    EXPECT_EQ(Lands(59), 59);
    nav->naReculeLow->Execute(); // back across the key frame at 50
    EXPECT_EQ(Lands(49), 49);
    shift = false;
    for (int64_t n : {48, 47}) {
        nav->naReculeFrame->Execute();
        EXPECT_EQ(Lands(n), n);
    }
    nav->naAvanceSeconde->Execute();
    EXPECT_EQ(Lands(72), 72);
    EXPECT_EQ(nav->GetPosition(), 72 * kFrame);
}

TEST_F(Navigation, AStepAskedForDuringAStepIsDropped) {
    int nested = 0;
    nav->onAbsolutePosition = [&](REFERENCE_TIME) {
        if (nested++ == 0)
            nav->StepForward(TNavMan::OneSecond);
    };
    nav->StepForward(TNavMan::OneSecond);
    EXPECT_EQ(Lands(25), 25);
    EXPECT_EQ(nested, 1) << "the nested step made no seek of its own";
}

TEST_F(Navigation, ThePositionEditFollowsAndSeeksOnEnter) {
    QWidget form;
    auto* edit = new QLineEdit(&form);
    auto* next = new QLineEdit(&form);
    (void)next;
    nav->SetPositionEdit(edit);
    nav->SetTypingAccepted(true);
    // The keeper reports to the navigation manager, as in the program.
    graph->Keeper()->SetNavigationWindow(nav->Handle());
    Precise(true);
    nav->PreciseSeek(30 * kFrame);
    ASSERT_EQ(Lands(30), 30);
    ProcessMessages();
    EXPECT_EQ(edit->text(), QStringLiteral("0:00:01:05"));

    edit->setText(QStringLiteral("0:00:04:07"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(edit, &enter);
    EXPECT_EQ(Lands(107), 107);
    EXPECT_EQ(nav->GetPosition(), 107 * kFrame);

    nav->SetTypingAccepted(false);
    edit->setText(QStringLiteral("0:00:02:00"));
    QCoreApplication::sendEvent(edit, &enter);
    ProcessMessages();
    EXPECT_EQ(Shown(), 107) << "typing is not accepted";
}

// While a plain seek runs the position field is italic and silver; it is upright and black again
// once the seek returned. Redrawing the current frame (RefreshFrame) shows no feedback.
TEST_F(Navigation, ThePositionFieldShowsASeekWhileItRuns) {
    QLineEdit edit;
    nav->SetPositionEdit(&edit);
    const auto looks = [&] {
        return std::make_pair(edit.font().italic(), edit.palette().color(QPalette::Text));
    };
    std::vector<std::pair<bool, QColor>> during;
    nav->onAbsolutePosition = [&](REFERENCE_TIME) { during.push_back(looks()); };
    nav->SeekTo(60 * kFrame, true);
    ASSERT_EQ(during.size(), 1u);
    EXPECT_TRUE(during[0].first);
    EXPECT_EQ(during[0].second, QColor(192, 192, 192));
    EXPECT_EQ(looks(), std::make_pair(false, QColor(Qt::black)));
    EXPECT_EQ(Lands(60), 60);

    during.clear();
    nav->RefreshFrame();
    ASSERT_EQ(during.size(), 1u) << "the refresh is a seek to the frame shown";
    EXPECT_FALSE(during[0].first);
    EXPECT_EQ(Lands(60), 60);
}

// OnKPosition counts in 1024ths of the span from the start to the end position (duration minus
// one frame): 0 at the start, 1024 exactly at the end position, once per distinct frame.
TEST_F(Navigation, OnKPositionRunsFromZeroAtTheStartTo1024AtTheEndPosition) {
    std::vector<int> k;
    nav->OnKPosition = [&](int v) { k.push_back(v); };
    for (int64_t n : {10, 0, 248}) {
        nav->SeekTo(n * kFrame, true);
        ASSERT_EQ(Lands(n), n);
        nav->GetPosition();
        nav->GetPosition(); // the same frame again raises nothing
    }
    // The last frame a seek reaches is one before the end position. With a frame duration of
    // two frames the end position is that frame.
    nav->SetFrameDuration(2 * kFrame);
    nav->GetPosition();
    EXPECT_EQ(k, (std::vector<int>{10 * 1024 / 249, 0, 248 * 1024 / 249, 1024}));
}

TEST_F(Navigation, TheSliderSeeksWhenTheUserMovesItAndFollowsOtherwise) {
    TRxSlider slider;
    nav->SetSlider(&slider);
    EXPECT_EQ(slider.maximum(), (250 - 1) * kFrame / 1024);
    slider.setValue(int(100 * kFrame / 1024)); // what a drag does
    EXPECT_EQ(Lands(100), 100);
    nav->SeekTo(20 * kFrame);
    ASSERT_EQ(Lands(20), 20);
    nav->GetPosition();
    EXPECT_EQ(slider.value(), 20 * kFrame / 1024);
    EXPECT_EQ(Shown(), 20) << "moving the handle to follow the position seeks nowhere";
}

TEST_F(Navigation, ThePrePositionIsTheSettingInMilliseconds) {
    nav->iaSeekPrepos->SetValue(200);
    EXPECT_EQ(nav->PrePosition(), 2000000);
    Precise(true);
    nav->PreciseSeek(180 * kFrame);
    EXPECT_EQ(Lands(180), 180);
}

// While paused, a target at most the pre-position ahead is reached by decoding on from the
// frame shown (no seek, so no way back to the key frame), across a key frame too; a target
// further ahead or behind seeks. Each is on screen as soon as the seek is no longer pending.
TEST_F(Navigation, APreciseSeekALittleAheadDecodesOnInsteadOfSeeking) {
    Precise(true);
    nav->PreciseSeek(40 * kFrame);
    ASSERT_EQ(Lands(40), 40);
    int seeks = 0;
    nav->onAbsolutePosition = [&](REFERENCE_TIME) { ++seeks; };
    const auto landsAt = [&](int64_t n) {
        nav->PreciseSeek(n * kFrame);
        WaitServingMessages([&] { return !nav->PreciseSeekPending(); }, 10000);
        nav->WaitForRenderer();
        return Shown();
    };
    for (int64_t n : {41, 42, 47, 55, 80}) {
        SCOPED_TRACE(testing::Message() << "frame " << n);
        EXPECT_EQ(landsAt(n), n);
        EXPECT_EQ(nav->GetPosition(), n * kFrame);
    }
    EXPECT_EQ(seeks, 0);
    EXPECT_TRUE(graph->Keeper()->PassSamples());
    EXPECT_EQ(landsAt(140), 140) << "60 frames ahead: more than the pre-position";
    EXPECT_EQ(seeks, 1);
    EXPECT_EQ(landsAt(139), 139) << "behind";
    EXPECT_EQ(seeks, 2);
    EXPECT_EQ(landsAt(139), 139) << "the frame shown";
    EXPECT_EQ(landsAt(150), 150);
    EXPECT_EQ(seeks, 3);
}

TEST_F(Navigation, TheClockModeKeepsAPausedGraphPaused) {
    bool maxi = false;
    nav->OnVitesse = [&](bool v) { maxi = v; };
    nav->caVitesseCompatible->SetChecked(true);
    EXPECT_TRUE(maxi);
    EXPECT_EQ(nav->RunState(), gmPaused);
    nav->caVitesseCompatible->SetChecked(false);
    EXPECT_FALSE(maxi);
    EXPECT_EQ(nav->RunState(), gmPaused);
    nav->SeekTo(40 * kFrame);
    EXPECT_EQ(Lands(40), 40);
}

// A precise seek whose target never comes (here: its mark is taken over by another window that
// ignores it) leaves the keeper holding frames back; the next plain seek lets them through.
TEST_F(Navigation, APlainSeekEndsAPreciseSeekThatNeverLanded) {
    Precise(true);
    TMessageWindow elsewhere([](TMessage&) {});
    nav->onAbsolutePosition = [&](REFERENCE_TIME) {
        graph->Keeper()->SetMarkWindow(0, elsewhere.Handle());
    };
    nav->PreciseSeek(60 * kFrame);
    EXPECT_TRUE(nav->PreciseSeekPending());
    EXPECT_FALSE(graph->Keeper()->PassSamples());
    nav->onAbsolutePosition = nullptr;
    nav->SeekTo(90 * kFrame);
    EXPECT_EQ(Lands(90), 90);
    EXPECT_FALSE(nav->PreciseSeekPending());
    EXPECT_TRUE(graph->Keeper()->PassSamples());
}

} // namespace
