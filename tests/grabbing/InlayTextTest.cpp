// The inlay's texts on the main window: the modes and their patterns, the tokens filled from the
// frame on screen (the DV date and time code with the time offset, across midnight and a new
// year), the file's name, the computer's clock, the DV date page, and the offset's text.
#include "commands/uCheckAction.h"
#include "commands/uDoubleAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uWidestringAction.h"
#include "grabbing/DVincrustUnit.h"
#include "grabbing/uIncrustFrame.h"
#include "platform/rtl/FormatDateTime.h"
#include "platform/ui/ThreadedTimer.h"
#include "tests/grabbing/ShowFormFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

using namespace kelvara::test;

TEST(TimeOffsetText, WritesDaysHoursMinutesAndSecondsAsThePageShowsThem) {
    EXPECT_EQ(TimeOffsetText(0), QStringLiteral("none"));
    EXPECT_EQ(TimeOffsetText(2.0 / 24), QStringLiteral(" 02 hours"));
    EXPECT_EQ(TimeOffsetText(2.0 / 24 + 15.0 / 1440), QStringLiteral(" 02 hours 15 m"));
    EXPECT_EQ(TimeOffsetText(1 + 1.0 / 24), QStringLiteral(" 1 day 01 h"));
    EXPECT_EQ(TimeOffsetText(90.0 / 1440), QStringLiteral(" 01 hour 30 m"));
    EXPECT_EQ(TimeOffsetText(-1.0 / 24), QStringLiteral(" -01 hour"));
    EXPECT_EQ(TimeOffsetText(1.5), QStringLiteral(" 1 day 12 h"));
    EXPECT_EQ(TimeOffsetText(3.0 / 86400), QStringLiteral(" 03 seconds"));
    EXPECT_EQ(TimeOffsetText(-2 - 1.0 / 1440), QStringLiteral(" -2 days -01 m"));
}

class InlayText : public ShowFormFixture {
protected:
    QString LineText(int slot) { return form->vidman->Line(slot).Text; }
    // A DV tape recorded two seconds before the new year.
    static QString NewYearTape() {
        const QString path = clips->filePath(QStringLiteral("newyear.avi"));
        if (!QFile::exists(path))
            Make(path, {"dv", "--seconds", "1", "--avi-type", "2", "--date", "2005-12-31T23:59:58",
                        "--timecode", "01:02:03:04"});
        return path;
    }
};

TEST_F(InlayText, TheDatecodeModeShowsTheDateAndTimeOfTheFrameWithTheOffset) {
    form->ficman->OpenFile(NewYearTape());
    ProcessMessages();
    Run("naInsertDatecode");
    EXPECT_TRUE(Checked("caInsertTextOn"));
    EXPECT_EQ(form->IncrustFrame->DownMode(), 3);
    // 2005-12-31 23:59:58 in days since 1899-12-30.
    const double recorded = 38717.0 + (23 * 3600 + 59 * 60 + 58) / 86400.0;
    ASSERT_TRUE(WaitFor([&] { return !LineText(0).isEmpty(); }));
    EXPECT_EQ(LineText(0), FormatDateTime(QStringLiteral("ddddd"), recorded));
    EXPECT_EQ(LineText(1), FormatDateTime(QStringLiteral("tt"), recorded));
    // An hour later is the next year.
    form->daDecalageHoraire->SetValue(1.0 / 24);
    ASSERT_TRUE(WaitFor([&] { return LineText(1) == FormatDateTime("tt", recorded + 1.0 / 24); }));
    EXPECT_EQ(LineText(0), FormatDateTime(QStringLiteral("ddddd"), recorded + 1.0 / 24));
    EXPECT_TRUE(LineText(0).contains(QStringLiteral("2006")) ||
                LineText(0).contains(QStringLiteral("06")))
        << LineText(0).toStdString();
    EXPECT_EQ(form->DVIncrustFrame->labDecalageHoraire->text(), QStringLiteral(" 01 hour"));
    // The time code mode.
    Run("naInsertTimecode");
    ASSERT_TRUE(WaitFor([&] { return LineText(0) == QStringLiteral("1:02:03:04"); }))
        << LineText(0).toStdString();
    // The codes are those of the frame on screen, not of a frame the decoder has read ahead.
    for (int i = 0; i < 3; ++i)
        Run("naAvanceFrame");
    ASSERT_TRUE(WaitFor([&] { return LineText(0) == QStringLiteral("1:02:03:07"); }))
        << LineText(0).toStdString();
    EXPECT_FALSE(form->vidman->Line(1).Enabled);
    Shot("inlay-timecode");
}

TEST_F(InlayText, TheDVPageShowsTheRecordingDateOrAFictitiousOne) {
    form->ficman->OpenFile(NewYearTape());
    ProcessMessages();
    ASSERT_TRUE(WaitFor([&] {
        return form->DVIncrustFrame->labVideodate->text().startsWith("Date of the DV video: ");
    })) << form->DVIncrustFrame->labVideodate->text().toStdString();
    const double recorded = 38717.0 + (23 * 3600 + 59 * 60 + 58) / 86400.0;
    EXPECT_NEAR(form->VideoDate(), recorded, 1e-7);
    Open("numbers.mp4");
    Run("naInsertDatecode");
    form->ShowVideoDate();
    EXPECT_TRUE(form->DVIncrustFrame->labVideodate->text().startsWith("Fictitious date: "));
    EXPECT_EQ(form->VideoDate(), 36525.0) << "31 December 1999";
    EXPECT_TRUE(LineText(0).isEmpty());
    EXPECT_TRUE(LineText(1).isEmpty());
}

TEST_F(InlayText, TheOffsetInWholeHoursUnlessAdvanced) {
    Check("caDecalageAvance", true);
    form->daDecalageHoraire->SetValue(2.0 / 24 + 40.0 / 1440);
    EXPECT_TRUE(form->DVIncrustFrame->PanelAvance->isVisibleTo(form->DVIncrustFrame));
    Check("caDecalageAvance", false);
    EXPECT_NEAR(form->daDecalageHoraire->Value(), 3.0 / 24, 1e-12);
    EXPECT_EQ(form->DVIncrustFrame->seDecalerHeures->value(), 3);
    form->DVIncrustFrame->seDecalerHeures->setValue(-5);
    EXPECT_NEAR(form->daDecalageHoraire->Value(), -5.0 / 24, 1e-12);
    form->DVIncrustFrame->resetBtn->click();
    EXPECT_EQ(form->daDecalageHoraire->Value(), 0);
    EXPECT_EQ(form->DVIncrustFrame->labDecalageHoraire->text(), QStringLiteral("none"));
}

TEST_F(InlayText, TokensMatchInAnyCaseAndTheFileNameComesWhole) {
    Open("numbers.mp4");
    const QString before = form->vidman->LinePattern(0);
    form->IncrustFrame->edPerso1->setText(QStringLiteral("%P%F%E"));
    form->IncrustFrame->edPerso2->setText(QStringLiteral("%n / %S"));
    EXPECT_EQ(form->waInsertPerso1->Value(), QStringLiteral("%P%F%E"));
    EXPECT_EQ(form->vidman->LinePattern(0), before) << "a template waits for the custom mode";
    Run("naInsertPerso");
    EXPECT_EQ(form->IncrustFrame->DownMode(), 4);
    EXPECT_EQ(LineText(0), Clip("numbers.mp4"));
    ASSERT_TRUE(WaitFor([&] { return LineText(1) == QStringLiteral("001 / 0:00:00:00"); }))
        << LineText(1).toStdString();
    // The number follows the counter.
    form->iaNextNum->SetValue(12);
    EXPECT_EQ(LineText(1), QStringLiteral("012 / 0:00:00:00"));
    Shot("inlay-custom");
}

TEST_F(InlayText, TheClockRunsOnlyWhileTheInlayShowsIt) {
    Open("numbers.mp4");
    EXPECT_FALSE(form->TimerSysDate->Enabled());
    Run("naInsertSysdateTime");
    EXPECT_TRUE(form->TimerSysDate->Enabled());
    ASSERT_TRUE(WaitFor([&] { return !LineText(0).isEmpty(); }, 3000));
    Check("caInsertTextOn", false);
    EXPECT_FALSE(form->TimerSysDate->Enabled());
    // Applied at load, a mode sets its patterns without switching the inlay on.
    form->iaInsertMode->SetValue(1);
    EXPECT_EQ(form->waIncrustPattern1->Value(), QStringLiteral("%N"));
    EXPECT_FALSE(Checked("caInsertTextOn"));
    EXPECT_EQ(form->IncrustFrame->DownMode(), 1);
}

} // namespace

namespace {

TEST_F(InlayText, TheInlayIsInTheGrabbedPicture) {
    QTemporaryDir pictures;
    form->waDossierSave->SetValue(pictures.path());
    form->iaImageAjouter->SetValue(1);
    form->naForcerNative->Execute();
    form->ficman->OpenFile(NewYearTape());
    ProcessMessages();
    Run("naGrab");
    Run("naInsertTimecode");
    ASSERT_TRUE(WaitFor([&] { return LineText(0) == QStringLiteral("1:02:03:04"); }));
    ProcessMessages();
    Run("naGrab");
    const QImage plain(pictures.filePath(QStringLiteral("Kelvara_001.bmp")));
    const QImage inlaid(pictures.filePath(QStringLiteral("Kelvara_002.bmp")));
    ASSERT_EQ(plain.size(), inlaid.size());
    // The text is drawn where the inlay's bitmap has it, and nowhere else.
    const QImage& text = form->vidman->InlayBitmap();
    ASSERT_EQ(text.size(), inlaid.size());
    int inside = 0, changed = 0, outsideChanged = 0;
    const QRgb key = text.pixel(0, 0);
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x) {
            const bool differs = plain.pixel(x, y) != inlaid.pixel(x, y);
            if (text.pixel(x, y) != key) {
                ++inside;
                changed += differs;
            } else {
                outsideChanged += differs;
            }
        }
    ASSERT_GT(inside, 100);
    EXPECT_GT(changed, inside / 2);
    EXPECT_LT(outsideChanged, inside / 10);
}

} // namespace

namespace {

// The picture the command line writes with the time code inlay on is the one the window makes
// of that frame, and not the one of the next frame.
TEST_F(InlayText, AGrabFromTheCommandLineCarriesTheTimecodeOfItsFrame) {
    const QString tape = NewYearTape();
    QTemporaryDir cli, window;
    TChildOptions options;
    options.Timeout = std::chrono::seconds(60);
    options.Environment.push_back({"SDL_AUDIODRIVER", "dummy"});
    const TChildRun run =
        RunChild(ToolPath(QStringLiteral("kelvara")),
                 {QStringLiteral("/o=") + tape, QStringLiteral("/savfold=") + cli.path(),
                  QStringLiteral("/an"), QStringLiteral("/arNat"), QStringLiteral("/it"),
                  QStringLiteral("/g"), QStringLiteral("/quit")},
                 options);
    ASSERT_TRUE(run.Exited()) << run.Err;
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const QImage written(cli.filePath(QStringLiteral("Kelvara_001.bmp")));
    ASSERT_FALSE(written.isNull()) << run.Err;

    form->waDossierSave->SetValue(window.path());
    form->iaImageAjouter->SetValue(1);
    form->naForcerNative->Execute();
    form->ficman->OpenFile(tape);
    ProcessMessages();
    Run("naInsertTimecode");
    ASSERT_TRUE(WaitFor([&] { return LineText(0) == QStringLiteral("1:02:03:04"); }));
    ProcessMessages();
    Run("naGrab");
    Run("naAvanceFrame");
    ASSERT_TRUE(WaitFor([&] { return LineText(0) == QStringLiteral("1:02:03:05"); }));
    ProcessMessages();
    Run("naGrab");
    const QImage frame0(window.filePath(QStringLiteral("Kelvara_001.bmp")));
    const QImage frame1(window.filePath(QStringLiteral("Kelvara_002.bmp")));
    ASSERT_EQ(written.size(), frame0.size());
    const auto differing = [](const QImage& a, const QImage& b) {
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += a.pixel(x, y) != b.pixel(x, y);
        return n;
    };
    EXPECT_LT(differing(written, frame0), 50);
    EXPECT_GT(differing(written, frame1), 50) << "the comparison tells frames apart";
}

} // namespace
