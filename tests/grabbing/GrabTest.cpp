// Grabbing from the main window: the picture written is the frame on screen (against an
// independent decode), stretched to the display aspect, under the name the settings give, with
// the overwrite question and the counter; the copy, the clicks on the video, a failed write; and
// the program started headless with a grab on its command line.
#include "commands/uBooleanAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uWidestringAction.h"
#include "grabbing/uImageNaming.h"
#include "grabbing/uImagesOptions.h"
#include "media/uNavMan.h"
#include "platform/ui/ScriptedDialogs.h"
#include "presentation/uAudioMan.h"
#include "presentation/uTextGauge.h"
#include "tests/grabbing/ShowFormFixture.h"
#include "tests/platform/filters/support/ReferenceDecoder.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

namespace {

using namespace kelvara::test;

class Grabbing : public ShowFormFixture {
protected:
    void SetUp() override {
        ShowFormFixture::SetUp();
        form->waDossierSave->SetValue(pictures.path());
    }
    QStringList Written() const {
        return QDir(pictures.path())
            .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    void Press(Qt::MouseButton button, QPoint at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, form->videoPanel->mapToGlobal(at), button,
                          button, Qt::NoModifier);
        QCoreApplication::sendEvent(form->videoPanel, &press);
        ProcessMessages();
    }
    QTemporaryDir pictures;
};

TEST_F(Grabbing, APausedGrabWritesTheFrameShownUnderTheDefaultName) {
    const TReference ref = DecodeReference(Clip("tape.avi").toStdString(), {4});
    Open("tape.avi");
    for (int i = 0; i < 4; ++i)
        Run("naAvanceFrame");
    ASSERT_EQ(form->waDefaultRacine->Value(), QStringLiteral("Kelvara"));
    form->naForcerNative->Execute(); // the frame at its own size, for the pixel comparison
    Run("naGrab");
    const QString expected = pictures.filePath(QStringLiteral("Kelvara_0.00.00.04.bmp"));
    ASSERT_EQ(Written(), QStringList{QStringLiteral("Kelvara_0.00.00.04.bmp")});
    const QImage written(expected);
    ASSERT_EQ(written.size(), QSize(720, 576));
    EXPECT_GT(Psnr(RgbOf(written), ref.pictures.at(4)), 45.0);
    EXPECT_EQ(form->iaNextNum->Value(), 2) << "the counter grows in time stamp mode too";
    EXPECT_EQ(form->ActivePage(), TShowForm::pgImagette);
    EXPECT_EQ(form->labImagetteTaille->text(), QStringLiteral("720 x 576"));
    EXPECT_EQ(form->labsnapname->text(), QStringLiteral("Kelvara_0.00.00.04.bmp"));
    EXPECT_FALSE(form->Bevel3->isVisible());
    Shot("grabbed");
}

TEST_F(Grabbing, ThePictureTakesTheDisplayAspect) {
    Open("wide.mpg");
    form->iaImageAjouter->SetValue(1);
    Run("naGrab"); // 16:9 from the stream
    Run("naForcer4x3");
    Run("naGrab");
    EXPECT_EQ(form->labImagetteTaille->text(), QStringLiteral("720 x 540"));
    const QStringList written = Written();
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(QImage(pictures.filePath(written[0])).size(), QSize(720, 405));
    EXPECT_EQ(QImage(pictures.filePath(written[1])).size(), QSize(720, 540));
}

TEST_F(Grabbing, NumberedJpegNamesAdvanceAfterEachSave) {
    Open("numbers.mp4");
    form->iaImageAjouter->SetValue(1);
    form->iaImageExtension->SetValue(1);
    form->iaNextNum->SetValue(7);
    EXPECT_TRUE(form->NextImageName().endsWith(QStringLiteral("Kelvara_007.jpg")));
    Run("naGrab");
    EXPECT_TRUE(QFile::exists(pictures.filePath(QStringLiteral("Kelvara_007.jpg"))));
    EXPECT_TRUE(form->NextImageName().endsWith(QStringLiteral("Kelvara_008.jpg")));
    EXPECT_TRUE(form->ImageLab->text().endsWith(QStringLiteral("Kelvara_008.jpg")));
    // The video's own name as the root, cut to 4 characters.
    form->iaNomFichierImage->SetValue(1);
    form->baLimiterLongueur->SetValue(true);
    form->iaRacineLength->SetValue(4);
    EXPECT_TRUE(form->NextImageName().endsWith(QStringLiteral("/numb_008.jpg")));
    // Opening a file starts the count again.
    Open("numbers.mp4");
    EXPECT_EQ(form->iaNextNum->Value(), 1);
}

TEST_F(Grabbing, TheOverwriteQuestionDecidesWhatIsWritten) {
    Open("numbers.mp4");
    form->iaImageAjouter->SetValue(1);
    const QString first = form->NextImageName();
    {
        QFile f(first);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("mine");
    }
    TScriptedDialogs dialogs;
    // No: nothing is written, the counter stays.
    dialogs.Answer(mrNo);
    Run("naGrab");
    EXPECT_EQ(QFileInfo(first).size(), 4);
    EXPECT_EQ(form->iaNextNum->Value(), 1);
    EXPECT_FALSE(form->AbortRaised());
    // Cancel: nothing is written and the abort flag is raised.
    dialogs.Answer(mrCancel);
    Run("naGrab");
    EXPECT_EQ(QFileInfo(first).size(), 4);
    EXPECT_TRUE(form->AbortRaised());
    form->ClearAbort();
    // Yes to All: written, and no more questions.
    dialogs.Answer(mrYesToAll);
    Run("naGrab");
    EXPECT_GT(QFileInfo(first).size(), 4);
    EXPECT_FALSE(form->baConfirmerImage->Value());
    form->iaNextNum->SetValue(1);
    Run("naGrab");
    ASSERT_EQ(dialogs.Asked().size(), 3) << "the last grab overwrote without asking";
    EXPECT_TRUE(dialogs.Asked()[0].Request.Text.contains(first));
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

TEST_F(Grabbing, AFailedWriteIsReportedAndKeepsTheCounter) {
    Open("numbers.mp4");
    form->waDossierSave->SetValue(pictures.filePath(QStringLiteral("missing")));
    const int errors = Application().ReportedErrorCount();
    Run("naGrab");
    EXPECT_EQ(Application().ReportedErrorCount(), errors + 1);
    ASSERT_TRUE(Application().LastReportedError());
    EXPECT_NE(Application().LastReportedError()->What.find("No such file"), std::string::npos)
        << Application().LastReportedError()->What;
    EXPECT_EQ(form->iaNextNum->Value(), 1);
    EXPECT_FALSE(QDir(pictures.filePath(QStringLiteral("missing"))).exists());
    EXPECT_TRUE(Written().isEmpty());
}

TEST_F(Grabbing, TheCopyPutsTheNativeFrameOnTheClipboardAndSavesNothing) {
    Open("wide.mpg");
    Run("naCopy");
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(720, 576));
    EXPECT_EQ(form->Picture().size(), QSize(720, 405));
    EXPECT_TRUE(Written().isEmpty());
    EXPECT_EQ(form->iaNextNum->Value(), 1);
    // A click on the thumbnail's name saves that picture.
    form->labsnapname->OnClick();
    EXPECT_EQ(Written().size(), 1);
    EXPECT_EQ(form->iaNextNum->Value(), 2);
}

TEST_F(Grabbing, ClicksOnTheVideoGrabCopyOrPlaceTheInlay) {
    Open("numbers.mp4");
    const TRect r = form->VideoRect();
    const QPoint middle((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    Press(Qt::RightButton, middle);
    EXPECT_TRUE(Written().isEmpty()) << "a right click does nothing";
    Press(Qt::LeftButton, middle);
    EXPECT_EQ(Written().size(), 1) << "a left click grabs";
    form->baSauverQuandClic->SetValue(false);
    QApplication::clipboard()->clear();
    Press(Qt::LeftButton, middle);
    EXPECT_EQ(Written().size(), 1);
    EXPECT_FALSE(QApplication::clipboard()->image().isNull()) << "without saving, a click copies";
    Check("caSliders", true);
    const QPoint quarter(r.Left + r.Width() / 4, r.Top + r.Height() / 2);
    Press(Qt::LeftButton, quarter);
    EXPECT_EQ(form->vidman->InsertPosition(), (TPoint{(quarter.x() - r.Left) * 10000 / r.Width(),
                                                      (quarter.y() - r.Top) * 10000 / r.Height()}));
    EXPECT_EQ(Written().size(), 1);
}

TEST_F(Grabbing, TheCommandLineGrabsHeadless) {
    const QString clip = Clip("numbers.mp4");
    const TReference ref = DecodeReference(clip.toStdString(), {0});
    TChildOptions options;
    options.Timeout = std::chrono::seconds(60);
    options.Environment.push_back({"SDL_AUDIODRIVER", "dummy"});
    const TChildRun run =
        RunChild(ToolPath(QStringLiteral("kelvara")),
                 {QStringLiteral("/o=") + clip, QStringLiteral("/savfold=") + pictures.path(),
                  QStringLiteral("/root=cli"), QStringLiteral("/arNat"), QStringLiteral("/g"),
                  QStringLiteral("/quit")},
                 options);
    ASSERT_TRUE(run.Exited()) << run.Err;
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    ASSERT_EQ(Written(), QStringList{QStringLiteral("cli_0.00.00.00.bmp")}) << run.Err;
    const QImage written(pictures.filePath(Written().first()));
    EXPECT_GT(Psnr(RgbOf(written), ref.pictures.at(0)), 45.0);
}

} // namespace

namespace {

TEST_F(Grabbing, TheNamingPageAndItsSettingsFollowEachOther) {
    TDossiersFrame* page = form->SaveImagesFrame;
    page->NomRacineEdit->setText(QStringLiteral("trip"));
    EXPECT_EQ(form->waDefaultRacine->Value(), QStringLiteral("trip"));
    EXPECT_TRUE(form->NextImageName().contains(QStringLiteral("/trip_")));
    page->rbNumero->click();
    EXPECT_EQ(form->iaImageAjouter->Value(), 1);
    form->iaDigits->SetValue(5);
    EXPECT_EQ(page->DigitsEdit->value(), 5);
    EXPECT_TRUE(form->NextImageName().endsWith(QStringLiteral("trip_00001.bmp")));
    page->rbJpeg->click();
    EXPECT_TRUE(form->NextImageName().endsWith(QStringLiteral(".jpg")));
    page->TrackBar1->setValue(80);
    EXPECT_EQ(form->iaJpegCompressionQuality->Value(), 80);
    EXPECT_EQ(page->labQuality->text(), QStringLiteral("80"));
    page->RacineLengthEdit->setText(QStringLiteral("abc"));
    EXPECT_EQ(form->iaRacineLength->Value(), 0) << "no integer counts as 0";
    form->waDossierSave->SetValue(QStringLiteral("/srv/pictures/"));
    EXPECT_EQ(page->deDossierSave->text(), QStringLiteral("/srv/pictures/"));
    page->ChooseFolder = [](const QString&) { return QStringLiteral("/srv/other"); };
    page->BrowseButton->click();
    EXPECT_EQ(form->waDossierSave->Value(), QStringLiteral("/srv/other/"));
    form->iaNextNum->SetValue(42);
    EXPECT_EQ(page->seNextNum->value(), 42);
    EXPECT_TRUE(form->NextImageName().endsWith(QStringLiteral("/srv/other/trip_00042.jpg")));
}

TEST_F(Grabbing, TheRootFieldTakesThePlayAndVolumeKeysAsText) {
    Open("numbers.mp4");
    Run("naShowSaveImages");
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const int volume = form->audman->Volume();
    QLineEdit* root = form->SaveImagesFrame->NomRacineEdit;
    root->setFocus();
    ASSERT_TRUE(WaitFor([&] { return root->hasFocus(); }));
    QTest::keyClick(root, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(root->text(), QStringLiteral("Kelvara+"));
    EXPECT_EQ(form->audman->Volume(), volume);
    QTest::keyClick(root, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_FALSE(Checked("caPlay")) << "the play key is off while typing a root";
    root->clearFocus();
    ProcessMessages();
    QTest::keyClick(form.get(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_GT(form->audman->Volume(), volume) << "away from the field the key is the volume's";
    QTest::keyClick(form.get(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(Checked("caPlay"));
}

} // namespace
