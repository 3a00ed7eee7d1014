#include "presentation/uVideoMan.h"

#include "commands/uActionRows.h"
#include "commands/uNopeAction.h"
#include "media/uMediaDevices.h"
#include "media/uNavMan.h"
#include "platform/graph/GraphTrace.h"
#include "platform/ui/ShortCuts.h"
#include "presentation/uVideoPictures.h"
#include "shell/uLinkEdit.h"
#include "taps/uTapMessages.h"

#include <cstdlib>
#include <exception>

#include <QEvent>
#include <QPixmap>

namespace {

const QString kDecoderSection = QStringLiteral("VideoDecoders");
const QString kNoVideoText =
    QStringLiteral("<color blue>No video stream has been connected</color><br center>");
const QString kBadVideoText = QStringLiteral("The video stream could not be decoded<br center>");

// The keeper as the decoder manager's final filter, spliced between decoder and renderer.
TFilterRec* MakeKeeperRecord() {
    return TFilterRecs::Make(CLSID_FramesNotifier, fkSupplied,
                             QString::fromUtf16(FramesNotifierName));
}

} // namespace

TVideoMan::TVideoMan(QObject* owner)
    : TWindowLessMan(owner), FKeeper(MakeComObject<TFramesNotifier>()),
      FKeeperRecord(MakeKeeperRecord()) {
    FDecoders.SetLinks(&VideoExclusions(), &VideoDecoderMemory(), NoVideoDecoder());
    FSource = NoVideoSource();
    FMessageParking = std::make_unique<QWidget>();
    FLabel = new TLinkEdit(FMessageParking.get());
    // Borderless, read-only, in the host's colour.
    FLabel->setFrameShape(QFrame::NoFrame);
    FLabel->setReadOnly(true);
    FLabel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FLabel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FLabel->setAutoFillBackground(false);
    FLabel->viewport()->setAutoFillBackground(false);
    FPicture = new QLabel(FMessageParking.get());
    FPicture->resize(192, 192);
    OnLoadFromPrefs = [](IActionPreferences& prefs) {
        return VideoDecoderMemory().LoadFromSection(prefs, kDecoderSection);
    };
    OnSaveToPrefs = [](IActionPreferences& prefs) {
        return VideoDecoderMemory().SaveToSection(prefs, kDecoderSection);
    };
}

TVideoMan::~TVideoMan() {
    DestroyMessageWindow();
    // The owner's displays may be gone already: the last disconnect reports to nobody.
    OnNotifyVideoDecoder = nullptr;
    OnNotifyVideoFormat = nullptr;
    OnNoVideoStream = nullptr;
    OnBadVideoStream = nullptr;
    if (FState == vsVideo && FSource != NoVideoSource())
        DisconnectVideo(false);
}

// ---- actions

void TVideoMan::CreateActions() {
    TWindowLessMan::CreateActions();
    new TNopeAction(QStringLiteral("naNextDecoderVideo"), this);
}

void TVideoMan::InitActions() {
    TWindowLessMan::InitActions();
    static const TActionRow rows[] = {
        {"naNextDecoderVideo", "NextDecoderVideo", ShortCut(VK_F1 + 7, scCtrl), false}};
    InitActionRows(*this, rows);
}

void TVideoMan::FindActions() {
    TWindowLessMan::FindActions();
    naNextDecoderVideo = FindAction<TNopeAction>(QStringLiteral("naNextDecoderVideo"));
}

void TVideoMan::WireActions() {
    TWindowLessMan::WireActions();
    if (naNextDecoderVideo) {
        naNextDecoderVideo->SetCaption(QStringLiteral("Next Video Decoder"));
        naNextDecoderVideo->SetHint(QStringLiteral("Click to use the Next Video Decoder"));
        naNextDecoderVideo->OnInternalApply = [this] {
            FDecoders.NextDecoder();
            NotifyDecoder();
        };
    }
}

// ---- connection

void TVideoMan::PrepareForNewFile() {
    if (FSource && FSource != NoVideoSource() && FSource->Tap())
        FSource->Tap()->ResetStreamData();
    FDecoders.ResetSelection();
}

bool TVideoMan::ConnectVideoSource(TVideoSource* source) {
    if (!source)
        source = NoVideoSource();
    if (source == FSource)
        return true;
    Clear();
    FSource = source;
    if (source == NoVideoSource()) {
        SetState(vsNoVideo);
        return false;
    }
    bool connected = false;
    try {
        connected = ConnectSource(source);
    } catch (const std::exception& e) {
        GRAPH_TRACE(QStringLiteral("video manager: %1").arg(QString::fromUtf8(e.what())));
    }
    if (connected) {
        SetState(vsVideo);
        return true;
    }
    DisconnectVideo(true);
    SetState(vsBadVideo);
    return false;
}

bool TVideoMan::ConnectSource(TVideoSource* source) {
    TGrapheMan* graph = source->GrapheMan() ? source->GrapheMan() : source->Root()->OwnerGraph;
    if (!graph || !graph->GraphBuilder() || !Renderer())
        return false;
    FGraph = graph;
    FDecoders.SetGraph(graph);
    graph->SetRendererState(QueryInterfaceOf<IMediaFilter>(Renderer()).Get());
    if (!source->Connect(graph, Handle()))
        return false;
    SetRendererGraph(graph->GraphBuilder());
    TVideoNotifier* tap = source->Tap();
    auto* nav = dynamic_cast<TNavMan*>(graph);
    if (nav) {
        nav->SetFramesNotifier(FKeeper.Get());
        FKeeper->SetPositionTextReports(true);
        FKeeper->SetVideoSource(tap);
        FKeeper->SetDVSource(tap);
    }
    FDecoders.RememberedDecoder = VideoDecoderMemory().GetLink(source->Key());
    FKeeperRecord->SetInstance(FKeeper.Get());
    FDecoders.FinalFilter = FKeeperRecord;
    if (!FDecoders.ConnectDecoder(source->TapFilter(), Renderer()))
        return false;
    NotifyDecoder();
    FState = vsVideo;
    if (tap)
        tap->SetVideoDataRelay(true);
    if (auto* dv = dynamic_cast<TDVMan*>(graph); dv && !dv->DVCodeSource())
        dv->SetDVCodeSource(source);
    if (nav) {
        nav->ResetForGraph();
        if (!nav->FrameRateSource())
            nav->SetFrameRateSource(source);
        // The keeper reports positions to the navigation manager and texts to this component.
        FKeeper->SetNavigationWindow(nav->Handle());
        FKeeper->SetPositionTextWindow(Handle());
    }
    return true;
}

bool TVideoMan::DisconnectVideo(bool showNoVideo) {
    if (OnNotifyVideoDecoder)
        OnNotifyVideoDecoder(NoVideoDecoder()->Name());
    if (OnNotifyVideoFormat)
        OnNotifyVideoFormat(QStringLiteral("No Video"));
    Clear();
    TVideoSource* const source = FSource;
    TGrapheMan* const graph = FGraph;
    bool result = false;
    if (source && source != NoVideoSource()) {
        try {
            // Filters leave a stopped graph: a paused renderer holds the decoder's thread.
            if (graph && graph->RunState() != gmStopped)
                graph->Stop();
            if (auto* dv = dynamic_cast<TDVMan*>(graph); dv && dv->DVCodeSource() == source)
                dv->SetDVCodeSource(nullptr);
            if (auto* nav = dynamic_cast<TNavMan*>(graph); nav && nav->FrameRateSource() == source)
                nav->SetFrameRateSource(nullptr);
            if (FDecoders.CurrentDecoder)
                FDecoders.RemoveCurrentDecoder();
            SetRendererGraph(nullptr);
            if (FDecoders.RememberedDecoder)
                FDecoders.RememberedDecoder->SetInstance(nullptr);
            FDecoders.RememberedDecoder = nullptr;
            result = source->Disconnect();
            FDecoders.SetGraph(nullptr);
        } catch (const std::exception& e) {
            GRAPH_TRACE(QStringLiteral("video manager: %1").arg(QString::fromUtf8(e.what())));
        }
    }
    FSource = NoVideoSource();
    FGraph = nullptr;
    if (showNoVideo)
        SetState(vsNoVideo);
    if (auto* nav = dynamic_cast<TNavMan*>(graph))
        nav->ResetForGraph();
    return result;
}

void TVideoMan::NotifyDecoder() {
    if (OnNotifyVideoDecoder && FDecoders.CurrentDecoder)
        OnNotifyVideoDecoder(FDecoders.CurrentDecoder->Name());
}

// ---- aspect

void TVideoMan::SetForcedAspect(int mode) {
    FForcedAspect = mode;
    ComputeAspect();
    SetAspect(FAspect.first, FAspect.second);
}

void TVideoMan::ComputeAspect() {
    // Only while a decodable video is shown; otherwise the pair stays.
    if (FState != vsVideo)
        return;
    const int w = std::abs(FVideoData.Width), h = std::abs(FVideoData.Height);
    switch (FForcedAspect) {
    case faFourThree:
        FAspect = {4, 3};
        return;
    case faSixteenNine:
        FAspect = {16, 9};
        return;
    case faNative:
        FAspect = {w, h};
        return;
    default:
        break;
    }
    switch (FVideoData.AspectKind) {
    case akFourThree:
        FAspect = {4, 3};
        break;
    case akSixteenNine:
        FAspect = {16, 9};
        break;
    case akOther:
        FAspect = {FVideoData.AspectX, FVideoData.AspectY};
        break;
    default:
        FAspect = {w, h};
        break;
    }
}

// ---- state and messages

void TVideoMan::SetState(int state) {
    FState = state;
    ShowMessages();
}

void TVideoMan::SetWindow(QWidget* window) {
    QWidget* parent = window ? window : FMessageParking.get();
    FLabel->setParent(parent);
    FPicture->setParent(parent);
    TWindowLessMan::SetWindow(window);
    ShowMessages();
}

void TVideoMan::ShowMessages() {
    if (FState == vsVideo) {
        FLabel->hide();
        FPicture->hide();
        Place();
        return;
    }
    QString text = FState == vsNoVideo ? kNoVideoText : kBadVideoText;
    if (FState == vsNoVideo && OnNoVideoStream)
        OnNoVideoStream(text);
    else if (FState == vsBadVideo && OnBadVideoStream)
        OnBadVideoStream(text);
    FLabel->SetRichText(text);
    FPicture->setPixmap(
        QPixmap::fromImage(FState == vsNoVideo ? NoVideoPicture() : BadVideoPicture()));
    Clear();
    if (Window()) {
        FLabel->show();
        FPicture->show();
        FLabel->raise();
        FPicture->raise();
    }
    LayoutMessages();
}

void TVideoMan::LayoutMessages() {
    QWidget* host = Window();
    if (!host)
        return;
    const int width = host->width(), height = host->height();
    FPicture->setGeometry((width - 192) / 2, 0, 192, 192);
    FLabel->setVisible(FState != vsVideo && width > 16);
    FLabel->setGeometry(8, height - leHeight - 8, width - 16, leHeight);
    FPicture->move((width - 192) / 2, (FLabel->y() - 192) / 2);
    if (FState == vsVideo)
        Place();
    FLabel->update();
}

void TVideoMan::Paint() {
    if (FState == vsVideo)
        TWindowLessMan::Paint();
    else
        ShowMessages();
}

bool TVideoMan::eventFilter(QObject* watched, QEvent* event) {
    const bool handled = TWindowLessMan::eventFilter(watched, event);
    if (watched == Window() && event->type() == QEvent::Resize)
        LayoutMessages();
    return handled;
}

void TVideoMan::WndProc(TMessage& message) {
    if (message.Msg == WM_VIDEODATA) {
        TVideoData record;
        const TVideoNotifier* tap =
            FSource && FSource != NoVideoSource() ? FSource->Tap() : nullptr;
        if (tap && ReadVideoData(message, tap->VideoDataRing(), record)) {
            FVideoData = record;
            if (RecordKind(message) == VideoDataKindFormat && OnNotifyVideoFormat)
                OnNotifyVideoFormat(record.Description == QLatin1String("    ")
                                        ? record.SizeText
                                        : record.Description + QStringLiteral(" - ") +
                                              record.SizeText);
            else if (RecordKind(message) == VideoDataKindAspect) {
                ComputeAspect();
                SetAspect(FAspect.first, FAspect.second);
            }
        }
        message.Result = 0;
        return;
    }
    if (message.Msg == WM_DVINLAY || message.Msg == WM_POSITIONTEXT) {
        // Sent from a streaming thread, which waits: the value is copied now and the lines are
        // made again once the handler has returned, outside the sender's wait.
        const TVideoNotifier* tap =
            FSource && FSource != NoVideoSource() ? FSource->Tap() : nullptr;
        TIncrustDV dv;
        if (message.Msg == WM_DVINLAY && tap && ReadDVInlay(message, tap->InlayRing(), dv)) {
            FDV = dv;
        } else if (message.Msg == WM_POSITIONTEXT) {
            FTimeStamp = ReadPositionText(message);
            FTimeStampKnown = true;
        }
        if (!FRecomputePending) {
            FRecomputePending = true;
            PostMessage(WM_RECOMPUTETEXTS);
        }
        message.Result = 0;
        return;
    }
    if (message.Msg == WM_RECOMPUTETEXTS) {
        FRecomputePending = false;
        RecomputeLineTexts();
        return;
    }
    TWindowLessMan::WndProc(message);
}
