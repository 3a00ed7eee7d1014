// The private decoder packages in the main window: switching them on with a file open closes
// and reopens it through "Private LAV Splitter Source" on the same frame; the options page's
// check box and folder chooser follow the two settings both ways; closing the window takes the
// packages' settings out of the user's hive.
#include "commands/uBooleanAction.h"
#include "commands/uWidestringAction.h"
#include "grabbing/uOptionsFrame.h"
#include "media/uDecoders.h"
#include "media/uMediaFactory.h"
#include "media/uNavMan.h"
#include "platform/filters/VideoDecoder.h"
#include "platform/graph/Enumerators.h"
#include "platform/ui/DialogService.h"
#include "tests/grabbing/ShowFormFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>

namespace {

using namespace kelvara::test;

QStringList FilterNames(IFilterGraph* graph) {
    QStringList names;
    for (const ComPtr<IBaseFilter>& filter : FiltersOf(graph)) {
        FILTER_INFO info{};
        if (FAILED(filter->QueryFilterInfo(&info)))
            continue;
        if (info.pGraph)
            info.pGraph->Release();
        names << QString::fromUtf16(reinterpret_cast<const char16_t*>(info.achName));
    }
    return names;
}

class PrivateFiltersWindow : public ShowFormFixture {
protected:
    TBooleanAction* Use() const {
        return dynamic_cast<TBooleanAction*>(Action("baUsePrivateFilters"));
    }
    TWidestringAction* Folder() const {
        return dynamic_cast<TWidestringAction*>(Action("waPrivateFolder"));
    }
    QStringList Graph() const { return FilterNames(form->NavMan->GraphBuilder()); }
    // The graph's filter of that name, as the decoder it is.
    TVideoDecoder* Decoder(const char* name) const {
        for (const ComPtr<IBaseFilter>& filter : FiltersOf(form->NavMan->GraphBuilder())) {
            FILTER_INFO info{};
            if (FAILED(filter->QueryFilterInfo(&info)))
                continue;
            if (info.pGraph)
                info.pGraph->Release();
            if (QString::fromUtf16(reinterpret_cast<const char16_t*>(info.achName)) ==
                QLatin1String(name))
                return dynamic_cast<TVideoDecoder*>(filter.Get());
        }
        return nullptr;
    }
};

TEST_F(PrivateFiltersWindow, ByDefaultAClipPlaysThroughThePrivatePackages) {
    ASSERT_TRUE(Use() && Folder());
    EXPECT_TRUE(Use()->Value());
    EXPECT_EQ(Folder()->Value(), QString::fromUtf8(KELVARA_BIN_DIR) + u'/');
    // A program that remembers no decoder yet (the memory is the process's).
    VideoDecoderMemory().Clear();
    AudioDecoderMemory().Clear();
    Open("numbers.mp4");
    const QStringList graph = Graph();
    for (const char* name : {"Private LAV Splitter Source", "Private LAV Video Decoder",
                             "Private ffdshow Video decoder", "Private LAV Audio Decoder"})
        EXPECT_TRUE(graph.contains(QLatin1String(name)))
            << name << ": " << graph.join(u',').toStdString();
    Check("caSeekPrecision", true);
    form->NavMan->GotoPositionText(QStringLiteral("0:00:01:12"));
    EXPECT_TRUE(WaitFor([&] { return Shown() == 37 && OnScreen() == 37; })) << Shown();
}

// A frame-exact step a little ahead decodes on from the frame shown, and the decoder drops the
// pictures in between even with the post-processing filter after it: they are neither converted
// nor copied (the intervalometer's speed depends on it).
TEST_F(PrivateFiltersWindow, AStepAheadSkipsThePicturesInBetweenBehindThePostProcessing) {
    VideoDecoderMemory().Clear();
    Open("numbers.mp4");
    ASSERT_TRUE(Graph().contains(QStringLiteral("Private ffdshow Video decoder")))
        << Graph().join(u',').toStdString();
    TVideoDecoder* lav = Decoder("Private LAV Video Decoder");
    ASSERT_TRUE(lav);
    Check("caSeekPrecision", true);
    form->NavMan->GotoPositionText(QStringLiteral("0:00:00:05"));
    ASSERT_TRUE(WaitFor([&] { return Shown() == 5; })) << Shown();
    form->NavMan->WaitForRenderer(); // decoding on starts from a frame the renderer holds
    const int delivered = lav->DeliveredFrames();
    form->NavMan->GotoPositionText(QStringLiteral("0:00:01:00"));
    ASSERT_TRUE(WaitFor([&] { return Shown() == 25 && OnScreen() == 25; })) << Shown();
    // A few were on their way out of the decoder before the skip; 20 when nothing is skipped.
    EXPECT_LE(lav->DeliveredFrames() - delivered, 8) << "of the 20 frames decoded on";
}

TEST_F(PrivateFiltersWindow, SwitchingThePackagesOnWithAFileOpenReopensItThroughThem) {
    // A window whose packages are off and whose factory uses the registered source.
    form->OptionsFrame->cbUsePrivateFilters->click();
    ASSERT_FALSE(Use()->Value());
    form->mf->SetDefaultSource(nullptr);
    Open("numbers.mp4");
    EXPECT_TRUE(Graph().contains(QStringLiteral("LAV Splitter Source")))
        << Graph().join(u',').toStdString();
    Check("caSeekPrecision", true);
    form->NavMan->GotoPositionText(QStringLiteral("0:00:01:12"));
    ASSERT_TRUE(WaitFor([&] { return Shown() == 37; })) << Shown();

    form->OptionsFrame->cbUsePrivateFilters->click();
    ProcessMessages();
    EXPECT_TRUE(Use()->Value());
    EXPECT_EQ(QFileInfo(form->CurrentFile()).fileName(), QStringLiteral("numbers.mp4"));
    const QStringList on = Graph();
    EXPECT_TRUE(on.contains(QStringLiteral("Private LAV Splitter Source")))
        << on.join(u',').toStdString();
    EXPECT_FALSE(on.contains(QStringLiteral("LAV Splitter Source")));
    EXPECT_TRUE(WaitFor([&] { return Shown() == 0; })) << "reopened on its first frame";
    form->NavMan->GotoPositionText(QStringLiteral("0:00:01:12"));
    EXPECT_TRUE(WaitFor([&] { return Shown() == 37 && OnScreen() == 37; })) << Shown();
}

TEST_F(PrivateFiltersWindow, TheOptionsPageFollowsBothSettingsAndChoosesTheFolder) {
    TOptionsFrame* page = form->OptionsFrame;
    ASSERT_TRUE(page->cbUsePrivateFilters->isEnabled());
    ASSERT_TRUE(page->PrivateFolderButton->isEnabled());
    EXPECT_TRUE(page->cbUsePrivateFilters->isChecked());
    EXPECT_EQ(page->dePrivateFolder->text(), Folder()->Value());

    QStringList shown;
    const auto old = DialogService().SetPresenter([&](const TDialogRequest& r) {
        shown << r.Text;
        return AnswerHeadless(r);
    });
    QTemporaryDir empty;
    page->ChooseFolder = [&](const QString&) { return empty.path(); };
    page->PrivateFolderButton->click();
    ProcessMessages();
    DialogService().SetPresenter(old);
    EXPECT_EQ(Folder()->Value(), empty.path() + u'/') << "chosen with a trailing delimiter";
    EXPECT_EQ(page->dePrivateFolder->text(), empty.path() + u'/');
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Unable to install LAV private filters"),
                                  QStringLiteral("Cannot install ffdshow private filters")}));

    // A folder given without the delimiter (a switch, a script) is shown with it.
    Folder()->SetValue(empty.path());
    EXPECT_EQ(page->dePrivateFolder->text(), empty.path() + u'/');

    // Without packages a clip still opens, through the registered decoders.
    Open("numbers.mp4");
    EXPECT_TRUE(WaitFor([&] { return Shown() == 0; }));
    EXPECT_FALSE(Graph().contains(QStringLiteral("Private LAV Video Decoder")));
    Use()->SetValue(false);
    EXPECT_FALSE(page->cbUsePrivateFilters->isChecked());
}

TEST_F(PrivateFiltersWindow, ClosingTheWindowDeletesThePackagesSettings) {
    ASSERT_TRUE(hive.Hive()->KeyExists(QStringLiteral("Software\\LBV"))) << "imported at start";
    ASSERT_TRUE(hive.Hive()->KeyExists(QStringLiteral("Software\\QRX")));
    form->close();
    EXPECT_FALSE(hive.Hive()->KeyExists(QStringLiteral("Software\\LBV")));
    EXPECT_FALSE(hive.Hive()->KeyExists(QStringLiteral("Software\\QRX")));
}

} // namespace
