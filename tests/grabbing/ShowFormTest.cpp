// The main window as a user meets it, offscreen, on clips made by kelvara-mksample: what it
// shows after a file is opened (the frame on screen against an independent decode, the bars and
// the controls that need video or sound), stepping and seeking, play and pause across a new file,
// the layout and its swap, full screen and the separate window, flips, mute, the next decoder,
// the marks of companion files, closing. Each state is saved as a screenshot in the build folder.
#include "commands/uBooleanAction.h"
#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "commands/uWidestringAction.h"
#include "grabbing/uNavframe.h"
#include "media/uNavMan.h"
#include "platform/com/TaskMem.h"
#include "platform/graph/Enumerators.h"
#include "platform/ui/Application.h"
#include "platform/ui/ProcessMessages.h"
#include "presentation/uAudioMan.h"
#include "presentation/uTextGauge.h"
#include "presentation/uVideoMan.h"
#include "shell/uFichierMan.h"
#include "shell/uLinkEdit.h"
#include "shell/uZvControls.h"
#include "tests/grabbing/ShowFormFixture.h"
#include "tests/platform/filters/support/ReferenceDecoder.h"
#include "tests/platform/registry/HiveTestSupport.h"
#include "tests/taps/KelvaraInfoSupport.h"
#include "tests/taps/ShownNumber.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace kelvara::test;

class ShowForm : public ShowFormFixture {};

TEST_F(ShowForm, AClipOpensPausedOnItsFirstFrameWithItsBarsAndControls) {
    EXPECT_FALSE(form->navframe->isVisible());
    EXPECT_FALSE(form->PanelHaut->isVisible());
    EXPECT_TRUE(form->vidman->MessageLabel()->isVisible()) << "no video yet";
    Shot("empty");

    Open("numbers.mp4");
    EXPECT_EQ(form->CurrentFile(), Clip("numbers.mp4"));
    EXPECT_EQ(form->EnCoursLab->text(), Clip("numbers.mp4"));
    EXPECT_TRUE(form->HasVideo());
    EXPECT_TRUE(form->HasAudio());
    EXPECT_FALSE(Checked("caPlay"));
    EXPECT_EQ(form->NavMan->RunState(), gmPaused);
    EXPECT_EQ(Shown(), 0);
    ASSERT_TRUE(WaitFor([&] { return OnScreen() == 0; })) << "the window shows frame 0";
    EXPECT_TRUE(form->navframe->isVisible());
    EXPECT_TRUE(form->PanelHaut->isVisible());
    EXPECT_TRUE(form->navframe->gaugeVolume->isVisible());
    EXPECT_TRUE(Action("caMute")->isEnabled());
    EXPECT_TRUE(Action("caSliders")->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return form->labFormatVideo->text().contains("640"); }))
        << form->labFormatVideo->text().toStdString();
    EXPECT_FALSE(form->labDecoderVideo->text().isEmpty());
    EXPECT_FALSE(form->labFormatAudio->text().isEmpty());
    EXPECT_FALSE(form->navframe->DureeLab->text().isEmpty());
    // 16:9 fitted into the video host.
    const TRect r = form->VideoRect();
    EXPECT_NEAR(double(r.Width()) / r.Height(), 16.0 / 9.0, 0.02);
    Shot("opened-paused");
}

TEST_F(ShowForm, StepsAndAPreciseSeekShowTheExactFrame) {
    Open("numbers.mp4");
    ASSERT_EQ(Shown(), 0);
    Run("naAvanceFrame");
    EXPECT_EQ(Shown(), 1);
    Run("naAvanceFrame");
    Run("naAvanceFrame");
    EXPECT_EQ(Shown(), 3);
    EXPECT_TRUE(WaitFor([&] { return form->navframe->CurrentEdit->text() == "0:00:00:03"; }))
        << form->navframe->CurrentEdit->text().toStdString();
    Run("naReculeFrame");
    EXPECT_EQ(Shown(), 2);
    // A position typed into the position field, confirmed with Enter: 00:00:02:12 is frame 62.
    Check("caSeekPrecision", true);
    QLineEdit* edit = form->navframe->CurrentEdit;
    edit->setText(QStringLiteral("0:00:02:12"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(edit, &enter);
    ASSERT_TRUE(WaitFor([&] { return Shown() == 62; })) << Shown();
    ASSERT_TRUE(WaitFor([&] { return OnScreen() == 62; })) << OnScreen();
    Shot("precise-seek");
    Run("naReculeDebut");
    EXPECT_EQ(Shown(), 0);
}

TEST_F(ShowForm, TheFrameShownIsTheFrameOfAnIndependentDecode) {
    const TReference ref = DecodeReference(Clip("tape.avi").toStdString(), {0, 7});
    Open("tape.avi");
    ASSERT_TRUE(form->HasVideo());
    ASSERT_TRUE(form->HasAudio()) << "DV type 1 carries its sound in the DV frames";
    for (int frame : {0, 7}) {
        if (frame == 7)
            for (int i = 0; i < 7; ++i)
                Run("naAvanceFrame");
        BYTE* dib = nullptr;
        ASSERT_EQ(form->vidman->Windowless()->GetCurrentImage(&dib), S_OK);
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
        const TRgbImage current = ImageOfDib(dib, header->biSize + size_t(header->biSizeImage));
        CoTaskMemFree(dib);
        EXPECT_GT(Psnr(current, ref.pictures.at(frame)), 40.0) << "frame " << frame;
    }
    Shot("dv-frame-7");
}

TEST_F(ShowForm, PlayingAndPausedSurviveOpeningTheNextFile) {
    Open("numbers.mp4");
    Check("caPlay", true);
    ASSERT_TRUE(WaitFor([&] { return Shown() > 5; }));
    Open("wide.mpg");
    EXPECT_TRUE(Checked("caPlay"));
    EXPECT_EQ(form->NavMan->RunState(), gmPlaying);
    const int drawn = form->vidman->FramesDrawn();
    EXPECT_TRUE(WaitFor([&] { return form->vidman->FramesDrawn() > drawn + 5; }));
    Check("caPlay", false);
    Open("numbers.mp4");
    Check("caPlay", true);
    ASSERT_TRUE(WaitFor([&] { return Shown() > 5; }));
    Check("caPlay", false);
    const int64_t paused = Shown();
    EXPECT_TRUE(WaitFor([&] {
        return form->navframe->CurrentEdit->text() ==
               QStringLiteral("0:00:%1:%2")
                   .arg(paused / 25, 2, 10, QLatin1Char('0'))
                   .arg(paused % 25, 2, 10, QLatin1Char('0'));
    })) << "the position field follows playback: "
        << paused << " " << form->navframe->CurrentEdit->text().toStdString();
    Open("numbers.mp4");
    EXPECT_FALSE(Checked("caPlay"));
    EXPECT_EQ(form->NavMan->RunState(), gmPaused);
    EXPECT_EQ(Shown(), 0);
}

TEST_F(ShowForm, TheEndOfTheMediaPausesAndReleasesThePlayButton) {
    Open("wide.mpg");
    Run("naAvanceFin");
    Check("caPlay", true);
    ASSERT_TRUE(WaitFor([&] { return !Checked("caPlay"); }, 15000));
    EXPECT_EQ(form->NavMan->RunState(), gmPaused);
}

TEST_F(ShowForm, AnAudioOnlyFileShowsTheGaugeAndNoVideo) {
    Open("numbers.mp4");
    Open("sound.mp2");
    EXPECT_FALSE(form->HasVideo());
    EXPECT_TRUE(form->HasAudio());
    EXPECT_TRUE(form->navframe->isVisible());
    EXPECT_TRUE(form->navframe->gaugeVolume->isVisible());
    EXPECT_FALSE(form->PanelHaut->isVisible());
    EXPECT_FALSE(Action("caSliders")->isEnabled());
    EXPECT_FALSE(form->ImageLab->isVisible());
    EXPECT_TRUE(Action("caMute")->isEnabled());
    EXPECT_EQ(form->vidman->VideoState(), TVideoMan::vsNoVideo);
    EXPECT_TRUE(form->vidman->MessageLabel()->isVisible()) << "the last video does not stay";
    Shot("audio-only");
}

TEST_F(ShowForm, ABrokenFileOpensWithNothingToShowOrHear) {
    Open("broken.avi");
    EXPECT_EQ(form->CurrentFile(), Clip("broken.avi"));
    EXPECT_FALSE(form->HasVideo());
    EXPECT_FALSE(form->HasAudio());
    EXPECT_FALSE(form->navframe->isVisible());
    EXPECT_FALSE(Action("caMute")->isEnabled());
    EXPECT_FALSE(Action("caSliders")->isEnabled());
    Shot("broken");
    // The window stays usable: a good clip opens after it.
    Open("numbers.mp4");
    EXPECT_TRUE(form->HasVideo());
    EXPECT_EQ(Shown(), 0);
}

TEST_F(ShowForm, OnlyVideoExtensionsOpenInAnyLetterCase) {
    EXPECT_TRUE(TShowForm::AcceptedExtension(QStringLiteral(".m2ts")));
    EXPECT_TRUE(TShowForm::AcceptedExtension(QStringLiteral(".3g2")));
    EXPECT_FALSE(TShowForm::AcceptedExtension(QStringLiteral(".AVI")));
    EXPECT_FALSE(TShowForm::AcceptedExtension(QStringLiteral(".wav")));
    EXPECT_FALSE(TShowForm::AcceptedExtension(QString()));
    const QString sound = clips->filePath(QStringLiteral("sound.wav"));
    ASSERT_TRUE(QFile::copy(Clip("sound.mp2"), sound));
    form->ficman->OpenFile(sound);
    EXPECT_TRUE(form->CurrentFile().isEmpty()) << "not a video extension";
    QFile::remove(sound);
    // Cameras write upper-case names.
    const QString upper = clips->filePath(QStringLiteral("MVI_0001.AVI"));
    ASSERT_TRUE(QFile::copy(Clip("tape.avi"), upper));
    form->ficman->OpenFile(upper);
    EXPECT_EQ(form->CurrentFile(), upper);
    EXPECT_TRUE(form->HasVideo());
    form->ficman->CloseFile();
    QFile::remove(upper);
}

TEST_F(ShowForm, TheLayoutFollowsTheClientAreaAndTheSwap) {
    Open("numbers.mp4");
    const int cw = form->Client->width(), ch = form->Client->height();
    // Pages on the left, the video after them with room for the hidden sliders.
    EXPECT_EQ(form->iaLeftFrame->Value(), 0);
    EXPECT_EQ(form->videoPanel->geometry(), QRect(276 + 8 + 11, 86, cw - 314, ch - 238));
    EXPECT_EQ(form->panelImage->geometry(), QRect(0, ch - 24, cw, 24));
    EXPECT_EQ(form->PanelTitre->geometry().width(), cw);
    const QRect video = form->videoPanel->geometry();
    EXPECT_EQ(form->navframe->x(), (video.width() - form->navframe->width()) / 2 + video.left());
    EXPECT_EQ(form->navframe->y(), video.bottom() + 1);
    EXPECT_EQ(form->PanelHaut->geometry().left(), video.left());
    EXPECT_EQ(form->PanelHaut->width(), video.width());
    Run("naShowSaveImages");
    EXPECT_EQ(form->ActivePage(), TShowForm::pgSaveImages);
    EXPECT_TRUE(form->Pages[TShowForm::pgSaveImages]->isVisible());
    EXPECT_FALSE(form->Pages[TShowForm::pgImagette]->isVisible());

    Check("caBasculerVue", true);
    EXPECT_EQ(form->iaLeftFrame->Value(), cw - 276);
    EXPECT_EQ(form->Pages[TShowForm::pgSaveImages]->x(), cw - 276);
    EXPECT_EQ(form->videoPanel->x(), 8 + 11);
    EXPECT_EQ(OnScreen(), 0) << "the video is drawn where it went";
    Shot("swapped");
    // A new size lays the window out again.
    form->resize(1280, 860);
    ProcessMessages();
    EXPECT_EQ(form->videoPanel->width(), form->Client->width() - 314);
    EXPECT_EQ(form->iaLeftFrame->Value(), form->Client->width() - 276);
    Check("caBasculerVue", false);
    EXPECT_EQ(form->videoPanel->x(), 276 + 8 + 11);
}

TEST_F(ShowForm, FullScreenAndTheSeparateWindowTakeTheVideoAndGiveItBack) {
    Open("numbers.mp4");
    Check("caFullscreen", true);
    ASSERT_TRUE(form->vidman->Plaque());
    EXPECT_TRUE(form->vidman->Plaque()->isVisible());
    EXPECT_EQ(Shown(), 0);
    form->vidman->Plaque()->grab().save(QStringLiteral("showform-fullscreen.png"));
    Check("caFullscreen", false);
    EXPECT_FALSE(form->vidman->Plaque()->isVisible());
    EXPECT_TRUE(WaitFor([&] { return OnScreen() == 0; }));

    Check("caPreviewform", true);
    ASSERT_TRUE(form->vidman->PreviewWindow());
    EXPECT_TRUE(form->vidman->PreviewWindow()->isVisible());
    EXPECT_EQ(form->vidman->Host(), form->vidman->PreviewWindow());
    Check("caPreviewform", false);
    EXPECT_EQ(form->vidman->Host(), form->videoPanel);
    EXPECT_TRUE(WaitFor([&] { return OnScreen() == 0; }));
}

TEST_F(ShowForm, FlipsMirrorTheVideoOnScreen) {
    Open("numbers.mp4");
    Run("naAvanceFrame");
    ASSERT_TRUE(WaitFor([&] { return OnScreen() == 1; }));
    const TRect r = form->VideoRect();
    const auto window = [&] {
        return form->videoPanel->grab(QRect(r.Left, r.Top, r.Width(), r.Height())).toImage();
    };
    const QImage straight = window();
    Check("caFlipVertical", true);
    Check("caFlipHorizontal", true);
    ASSERT_TRUE(WaitFor([&] { return window() != straight; }));
    const QImage flipped = window();
    // Both flips turn the picture half round: its top-left corner region is now bottom-right.
    const QImage turned = flipped.mirrored(true, true);
    EXPECT_EQ(ReadFrameNumber(turned.width(), turned.height(),
                              [&](int x, int y) { return qGray(turned.pixel(x, y)); }),
              1);
    EXPECT_NE(OnScreen(), 1);
    Shot("flipped");
    Check("caFlipVertical", false);
    Check("caFlipHorizontal", false);
    EXPECT_TRUE(WaitFor([&] { return OnScreen() == 1; }));
}

TEST_F(ShowForm, MuteAndTheNextDecodersChangeWhatIsPlayed) {
    Open("wide.mpg");
    Check("caMute", true);
    EXPECT_TRUE(form->audman->Muted());
    EXPECT_EQ(form->audman->Status(), TAudioMan::stMuted);
    Check("caMute", false);
    EXPECT_EQ(form->audman->Status(), TAudioMan::stSoundOn);

    const QString first = form->labDecoderVideo->text();
    ASSERT_FALSE(first.isEmpty());
    // The first step may come back to the same decoder chosen anew by the platform; the next
    // one excludes it.
    Run("naNextDecoderVideo");
    if (form->labDecoderVideo->text() == first)
        Run("naNextDecoderVideo");
    EXPECT_NE(form->labDecoderVideo->text(), first);
    EXPECT_TRUE(form->HasVideo());
    EXPECT_EQ(form->vidman->VideoState(), TVideoMan::vsVideo);
    Shot("next-decoder");
}

TEST_F(ShowForm, CompanionFilesShowTheirMarks) {
    const QString base = clips->filePath(QStringLiteral("marked"));
    ASSERT_TRUE(QFile::copy(Clip("wide.mpg"), base + QStringLiteral(".mpg")));
    for (const QString& companion :
         {base + QStringLiteral(".srt"), base + QStringLiteral(".mpg.modd")}) {
        QFile f(companion);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    form->ficman->OpenFile(base + QStringLiteral(".mpg"));
    EXPECT_TRUE(form->srtlab->isVisible());
    EXPECT_TRUE(form->moddlab->isVisible());
    EXPECT_FALSE(form->scnLab->isVisible());
    Shot("marks");
    Open("numbers.mp4");
    EXPECT_FALSE(form->srtlab->isVisible());
    EXPECT_FALSE(form->moddlab->isVisible());
}

TEST_F(ShowForm, ClosingTheFileEmptiesTheGraphAndTheWindow) {
    Open("tape.avi");
    Check("caPlay", true);
    Run("naCloseFile");
    EXPECT_TRUE(form->CurrentFile().isEmpty());
    EXPECT_TRUE(form->EnCoursLab->text().isEmpty());
    EXPECT_FALSE(Checked("caPlay"));
    EXPECT_EQ(form->NavMan->RunState(), gmStopped);
    EXPECT_FALSE(form->navframe->isVisible());
    EXPECT_FALSE(form->PanelHaut->isVisible());
    EXPECT_FALSE(Action("caMute")->isEnabled());
    EXPECT_EQ(form->vidman->VideoState(), TVideoMan::vsNoVideo);
    // Only the renderers stay in the graph.
    for (const ComPtr<IBaseFilter>& filter : FiltersOf(form->NavMan->GraphBuilder()))
        EXPECT_TRUE(filter.Get() == form->vidman->Renderer() ||
                    filter.Get() == form->audman->Renderer());
    Shot("closed");
}

TEST_F(ShowForm, InlaySlidersPlaceTheTextAndFollowTheVideo) {
    Open("numbers.mp4");
    Check("caSliders", true);
    EXPECT_TRUE(form->Xslider->isVisible());
    EXPECT_TRUE(Checked("caInsertTextOn")) << "showing the sliders switches the inlay on";
    EXPECT_FALSE(form->navframe->isVisible());
    EXPECT_EQ(form->videoPanel->x(), 276 + 8);
    const QRect panel = form->videoPanel->geometry();
    const TRect r = form->VideoRect();
    EXPECT_EQ(form->Yslider->x(), panel.left() + r.Right);
    EXPECT_EQ(form->Xslider->y(), panel.top() + r.Bottom);
    form->Xslider->setValue(2500);
    form->Yslider->setValue(10000 - 4000);
    EXPECT_EQ(form->vidman->InsertPosition(), (TPoint{2500, 4000}));
    Shot("sliders");
    Check("caInsertTextOn", false);
    EXPECT_FALSE(Checked("caSliders"));
    EXPECT_FALSE(form->Xslider->isVisible());
    EXPECT_TRUE(form->navframe->isVisible());
}

TEST_F(ShowForm, TheForcedAspectsResizeTheVideo) {
    Open("wide.mpg");
    const auto ratio = [&] {
        const TRect r = form->VideoRect();
        return double(r.Width()) / r.Height();
    };
    ASSERT_TRUE(WaitFor([&] { return std::abs(ratio() - 16.0 / 9.0) < 0.02; }));
    Run("naForcer4x3");
    EXPECT_EQ(form->iaForcerAspectRatio->Value(), TVideoMan::faFourThree);
    EXPECT_NEAR(ratio(), 4.0 / 3.0, 0.02);
    Run("naForcerNative");
    EXPECT_NEAR(ratio(), 720.0 / 576.0, 0.02);
    Run("naForcerNormal");
    EXPECT_NEAR(ratio(), 16.0 / 9.0, 0.02);
}

} // namespace
