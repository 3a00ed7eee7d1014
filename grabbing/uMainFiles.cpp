// Opening and closing a file in the main window: the media device built by the factory, the
// sources connected to the audio and video managers, playback brought back to where it was, the
// controls that need video or sound enabled or not, and the marks of the companion files.
#include "commands/uBooleanAction.h"
#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "commands/uWidestringAction.h"
#include "grabbing/main.h"
#include "grabbing/uNavframe.h"
#include "media/uMediaFactory.h"
#include "media/uNavMan.h"
#include "platform/os/RevealFile.h"
#include "platform/ui/ProcessMessages.h"
#include "platform/ui/ThreadedTimer.h"
#include "presentation/uAudioMan.h"
#include "presentation/uTextGauge.h"
#include "presentation/uVideoMan.h"
#include "shell/uFichierMan.h"
#include "shell/uZvControls.h"

#include <QFileInfo>

namespace {

const QColor kLoadingColour(128, 128, 128);
const QColor kNavy(0, 0, 128);

void Enable(QAction* action, bool on) {
    if (action)
        action->setEnabled(on);
}

// The name without its extension (the part after the last "." of the file name).
QString WithoutExtension(const QString& name) {
    const int slash = int(name.lastIndexOf(QLatin1Char('/')));
    const int dot = int(name.lastIndexOf(QLatin1Char('.')));
    return dot > slash ? name.left(dot) : name;
}

} // namespace

const QStringList& TShowForm::AcceptedExtensions() {
    static const QStringList accepted = {".avi", ".ivf", ".mpg", ".mpeg", ".m1v", ".mp2", ".mpe",
                                         ".wmv", ".asf", ".mts", ".m2ts", ".ts",  ".vob", ".mkv",
                                         ".mov", ".mp4", ".3g2", ".m4v",  ".m2v"};
    return accepted;
}

bool TShowForm::AcceptedExtension(const QString& extension) {
    return AcceptedExtensions().contains(extension, Qt::CaseSensitive);
}

bool TShowForm::OpenMedia(const QString& name) {
    try {
        OpenMediaSteps(name);
    } catch (...) {
        // Opening reports nothing: the steps after the failing one do not run.
    }
    return true;
}

void TShowForm::OpenMediaSteps(const QString& name) {
    TimerSysDate->SetEnabled(false);
    FLastDVFrame = {};
    EnCoursLab->setText(QStringLiteral("Loading ") + name);
    SetLabelTextColour(EnCoursLab, kLoadingColour);
    const bool wasPlaying = NavMan->caPlay && NavMan->caPlay->Checked();
    NavMan->SetLoading(true);
    NavMan->Stop();
    ProcessMessages();

    // The old file's streams go before the new device is built: a filter record keeps one
    // filter instance, which the new device would load with the new file while the old chain
    // still hangs on it in the graph.
    audman->DisconnectAudio();
    vidman->DisconnectVideo(false);
    TFileDevice* device = mf->GetDevice(name);
    audman->PrepareForNewFile();
    vidman->PrepareForNewFile();
    FCurrentFile = name;

    FHasAudio =
        device && device->AudioCount() > 0 && audman->ConnectAudioSource(device->AudioSource(0));
    FHasVideo =
        device && device->VideoCount() > 0 && vidman->ConnectVideoSource(device->VideoSource(0));
    if (!device || device->VideoCount() == 0)
        vidman->DisconnectVideo(true); // no video stream: its message replaces the last video
    NavMan->ResetForGraph();
    PanelHaut->setVisible(FHasAudio || FHasVideo);
    // The patterns again: the new file's tokens (its name, its DV codes) are taken up.
    waIncrustPattern1->SetValue(waIncrustPattern1->Value());
    waIncrustPattern2->SetValue(waIncrustPattern2->Value());
    navframe->setVisible((FHasAudio || FHasVideo) && !Xslider->isVisible());

    NavMan->Play();
    ProcessMessages();
    NavMan->SetLoading(false);
    // The seek to the start is made paused (a seek while playing stops the position reports of
    // the frame keeper) and leaves the graph paused; the play state is given back after it.
    NavMan->Pause();
    NavMan->SeekTo(0, true);
    if (NavMan->caPlay)
        NavMan->caPlay->SetChecked(wasPlaying);

    EnableVideoControls(FHasVideo);
    EnableAudioControls(FHasAudio);
    EnCoursLab->setText(name);
    SetLabelTextColour(EnCoursLab, kNavy);
    ShowMarks(name);
    BuildImageName();
    ReadVideoRects();
    PlaceInlaySliders();
    // The picture takes the size of the video on screen until the first grab.
    FPictureSize = QSize(FVideoRect.Width(), FVideoRect.Height());
    LayoutThumbnail();
    if (baRAZWhenOpenFile->Value())
        iaNextNum->SetValue(1);
    ComputePlan();
}

void TShowForm::CloseMedia() {
    TimerSysDate->SetEnabled(false);
    FLastDVFrame = {};
    EnCoursLab->clear();
    SetLabelTextColour(EnCoursLab, kLoadingColour);
    if (NavMan->caPlay)
        NavMan->caPlay->SetChecked(false);
    NavMan->Stop();
    audman->DisconnectAudio();
    vidman->DisconnectVideo(true);
    if (!FCurrentFile.isEmpty())
        if (TFileDevice* device = mf->GetDevice(FCurrentFile))
            device->Remove();
    NavMan->ResetForGraph();
    vidman->Clear();
    FCurrentFile.clear();
    FHasAudio = FHasVideo = false;
    PanelHaut->hide();
    navframe->hide();
    EnableVideoControls(false);
    EnableAudioControls(false);
    SetLabelTextColour(EnCoursLab, kNavy);
    ShowMarks(QString());
    ClearThumbnail();
}

void TShowForm::EnableVideoControls(bool video) {
    if (video) {
        PanelHaut->raise();
    } else {
        PanelHaut->hide();
        if (caSliders->Checked())
            caSliders->SetChecked(false);
    }
    Enable(caSliders, video);
    if (video)
        Enable(vidman->caFullscreen, true);
    for (const char* id : {"naGrab", "naCopy", "caIntervalloShow"})
        Enable(FindAnyAction(QString::fromLatin1(id)), video);
    ImageLab->setVisible(video);
}

void TShowForm::EnableAudioControls(bool audio) {
    navframe->gaugeVolume->setVisible(audio);
    Enable(audman->caMute, audio);
    Enable(audman->naIncVolume, audio);
    Enable(audman->naDecVolume, audio);
}

void TShowForm::ShowMarks(const QString& name) {
    const bool open = !name.isEmpty();
    const QString base = WithoutExtension(name);
    scnLab->setVisible(open && QFileInfo::exists(base + QStringLiteral(".scn")));
    srtlab->setVisible(open && QFileInfo::exists(base + QStringLiteral(".srt")));
    moddlab->setVisible(open && QFileInfo::exists(name + QStringLiteral(".modd")));
}

void TShowForm::RevealCurrentFile() {
    if (!FCurrentFile.isEmpty() && ficman->RevealFile)
        ficman->RevealFile(FCurrentFile);
}
