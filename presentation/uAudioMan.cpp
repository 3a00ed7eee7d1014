#include "presentation/uAudioMan.h"

#include "commands/uActionRows.h"
#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "media/uMediaDevices.h"
#include "media/uNavMan.h"
#include "platform/com/ClassRegistry.h"
#include "platform/filters/RendererInterfaces.h"
#include "platform/graph/GraphTrace.h"
#include "platform/graph/MediaGuids.h"
#include "platform/ui/ShortCuts.h"
#include "presentation/uTextGauge.h"
#include "taps/uTapMessages.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include <QLabel>
#include <QSlider>

namespace {

constexpr char16_t kRendererName[] = u"Zv Audio Renderer";
const QString kDecoderSection = QStringLiteral("AudioDecoders");

// The filter's graph, or none.
IFilterGraph* GraphOf(IBaseFilter* filter) {
    FILTER_INFO info{};
    if (!filter || FAILED(filter->QueryFilterInfo(&info)))
        return nullptr;
    IFilterGraph* graph = info.pGraph;
    if (graph)
        graph->Release(); // the graph holds the filter; the pointer is only compared and used
    return graph;
}

} // namespace

TAudioMan::TAudioMan(QObject* owner) : TZvActionComponent(owner) {
    FRenderer = CreateInstanceOf<IBaseFilter>(CLSID_DSoundRender);
    if (!FRenderer) {
        GRAPH_TRACE(QStringLiteral("audio manager: no audio renderer"));
        FStatus = stNoRenderer;
    }
    FDecoders.SetLinks(&AudioExclusions(), &AudioDecoderMemory(), NoAudioDecoder());
    FSource = NoAudioSource();
    OnLoadFromPrefs = [](IActionPreferences& prefs) {
        return AudioDecoderMemory().LoadFromSection(prefs, kDecoderSection);
    };
    OnSaveToPrefs = [](IActionPreferences& prefs) {
        return AudioDecoderMemory().SaveToSection(prefs, kDecoderSection);
    };
}

TAudioMan::~TAudioMan() {
    DestroyMessageWindow();
    // The owner's displays may be gone already: the last disconnect reports to nobody.
    OnNotifyAudioDecoder = nullptr;
    OnNotifyAudioFormat = nullptr;
    OnNoAudioStream = nullptr;
    OnBadAudioStream = nullptr;
    OnStatus = nullptr;
    OnVolume = nullptr;
    if (FConnected)
        DisconnectAudio();
}

// ---- volume law

LONG TAudioMan::AttenuationOf(int volume) {
    const int v = std::clamp(volume, 0, MaxVolume);
    return LONG(std::lround(std::log(v + 1.0) * 1085.73)) - 10000;
}

int TAudioMan::VolumeOf(LONG attenuation) {
    const LONG a = std::clamp<LONG>(attenuation, -10000, 0);
    return std::clamp(int(std::lround(std::exp((a + 10000) / 1085.73) - 1.0)), 0, MaxVolume);
}

// ---- actions

void TAudioMan::CreateActions() {
    new TCheckAction(QStringLiteral("caMute"), this);
    new TNopeAction(QStringLiteral("naNextDecoderAudio"), this);
    new TNopeAction(QStringLiteral("naIncVolume"), this);
    new TNopeAction(QStringLiteral("naDecVolume"), this);
    new TIntegerAction(QStringLiteral("iaVolume"), this);
}

void TAudioMan::InitActions() {
    static const TActionRow rows[] = {
        {"caMute", "Mute", ShortCut('M', scCtrl), true},
        {"naNextDecoderAudio", "NextDecoderAudio", ShortCut(VK_F1 + 8, scCtrl), false},
        {"naIncVolume", "IncVolume", ShortCut(VK_ADD), false},
        {"naDecVolume", "DecVolume", ShortCut(VK_SUBTRACT), false},
        {"iaVolume", "Volume", 0, true},
    };
    InitActionRows(*this, rows);
    if (auto* a = FindAction<TCheckAction>(QStringLiteral("caMute")))
        a->SetDefaultValue(false);
    if (auto* a = FindAction<TIntegerAction>(QStringLiteral("iaVolume")))
        a->SetDefaultValue(5000);
}

void TAudioMan::FindActions() {
    caMute = FindAction<TCheckAction>(QStringLiteral("caMute"));
    naNextDecoderAudio = FindAction<TNopeAction>(QStringLiteral("naNextDecoderAudio"));
    naIncVolume = FindAction<TNopeAction>(QStringLiteral("naIncVolume"));
    naDecVolume = FindAction<TNopeAction>(QStringLiteral("naDecVolume"));
    iaVolume = FindAction<TIntegerAction>(QStringLiteral("iaVolume"));
}

void TAudioMan::WireActions() {
    if (caMute) {
        caMute->SetTrueCaption(QStringLiteral("Turn sound on"));
        caMute->SetFalseCaption(QStringLiteral("Put Sound off"));
        caMute->SetTrueHint(QStringLiteral("Click to put the sound on"));
        caMute->SetFalseHint(QStringLiteral("Click to put the sound off"));
        caMute->OnInternalTrueApply = [this] { SetMuted(true); };
        caMute->OnInternalFalseApply = [this] { SetMuted(false); };
    }
    if (naNextDecoderAudio) {
        naNextDecoderAudio->SetCaption(QStringLiteral("Next Audio decoder"));
        naNextDecoderAudio->SetHint(QStringLiteral("Click to use the next Audio decoder"));
        naNextDecoderAudio->OnInternalApply = [this] {
            FDecoders.NextDecoder();
            NotifyDecoder();
        };
    }
    if (naIncVolume) {
        naIncVolume->SetCaption(QStringLiteral("Increase Volume"));
        naIncVolume->SetHint(QStringLiteral("Click to increase the volume by 1000/10000"));
        naIncVolume->OnInternalApply = [this] { StepVolume(VolumeStep); };
    }
    if (naDecVolume) {
        naDecVolume->SetCaption(QStringLiteral("Decrease the Volume"));
        naDecVolume->SetHint(QStringLiteral("Click to decrease the volume by 1000/10000"));
        naDecVolume->OnInternalApply = [this] { StepVolume(-VolumeStep); };
    }
    if (iaVolume) {
        iaVolume->SetCaption(QStringLiteral("Volume"));
        iaVolume->OnInternalApply = [this](int32_t v) { SetVolume(v); };
        iaVolume->OnInternalBeforeSave = [this](int32_t& v) {
            v = CurrentVolume();
            return true;
        };
    }
}

void TAudioMan::StepVolume(int delta) {
    SetVolume(FVolume + delta);
    if (iaVolume)
        iaVolume->SetValue(FVolume);
}

// ---- volume and mute

void TAudioMan::SetVolume(int volume) {
    FVolume = std::clamp(volume, 0, MaxVolume);
    ApplyVolume();
}

void TAudioMan::SetMuted(bool muted) {
    FMuted = muted;
    if (FConnected)
        SetStatus(FMuted ? stMuted : stSoundOn);
    ApplyVolume();
}

void TAudioMan::ApplyVolume() {
    if (FGraph)
        if (const ComPtr<IBasicAudio> audio = QueryInterfaceOf<IBasicAudio>(FRenderer.Get()))
            audio->put_Volume(AttenuationOf(FMuted ? 0 : FVolume));
    if (FGauge)
        FGauge->SetProgress(FVolume);
    if (FSlider)
        FSlider->setValue(FVolume);
    if (OnVolume)
        OnVolume(FVolume);
}

int TAudioMan::CurrentVolume() {
    if (!FMuted && FGraph)
        if (const ComPtr<IBasicAudio> audio = QueryInterfaceOf<IBasicAudio>(FRenderer.Get())) {
            LONG attenuation = 0;
            // The law rounds to hundredths of a decibel, so that neighbouring volumes share an
            // attenuation: the volume set stands as long as the renderer still holds its value.
            if (SUCCEEDED(audio->get_Volume(&attenuation)) && attenuation != AttenuationOf(FVolume))
                FVolume = VolumeOf(attenuation);
        }
    return FVolume;
}

// ---- displays

void TAudioMan::SetAudioGauge(TTextGauge* gauge) {
    FGauge = gauge;
    if (!gauge)
        return;
    gauge->SetRange(0, MaxVolume);
    gauge->SetAlertValue(MaxVolume + 1000);
    gauge->SetProgress(FVolume);
}

void TAudioMan::SetAudioSlider(QSlider* slider) {
    if (FSlider)
        QObject::disconnect(FSlider, nullptr, this, nullptr);
    FSlider = slider;
    if (!slider)
        return;
    slider->setRange(0, MaxVolume);
    slider->setValue(FVolume);
    QObject::connect(slider, &QSlider::valueChanged, this, [this](int v) {
        if (v != FVolume)
            SetVolume(v);
    });
}

void TAudioMan::SetAudioImage(QLabel* label) {
    FImage = label;
    ShowStatusImage();
}

void TAudioMan::SetAudioImages(std::vector<QPixmap> images) {
    FImages = std::move(images);
    ShowStatusImage();
}

void TAudioMan::SetStatus(int status) {
    FStatus = status;
    ShowStatusImage();
    if (OnStatus)
        OnStatus(status);
}

void TAudioMan::ShowStatusImage() {
    // The pictures in the order no audio, connection failed, renderer missing, muted, sound on.
    static constexpr int kImageOfStatus[] = {0, 2, 1, 3, 4};
    if (!FImage || FImages.empty() || FStatus < 0 || FStatus > stSoundOn)
        return;
    const size_t index = size_t(kImageOfStatus[FStatus]);
    if (index < FImages.size())
        FImage->setPixmap(FImages[index]);
}

void TAudioMan::NotifyDecoder() {
    if (!OnNotifyAudioDecoder)
        return;
    const TFilterRec* current = FDecoders.CurrentDecoder;
    OnNotifyAudioDecoder(current ? current->Name() : NoAudioDecoder()->Name());
}

// ---- connection

void TAudioMan::PrepareForNewFile() {
    FDecoders.ResetSelection();
}

bool TAudioMan::ConnectAudioSource(TAudioSource* source) {
    // No sound is never a success, even when there was none before.
    if (!source || source == NoAudioSource()) {
        if (FSource != NoAudioSource())
            DisconnectAudio();
        FDecoders.CurrentDecoder = NoAudioDecoder();
        SetStatus(stNoAudio);
        if (OnNoAudioStream)
            OnNoAudioStream();
        return false;
    }
    if (source == FSource)
        return true;
    FDecoders.CurrentDecoder = NoAudioDecoder();
    FSource = source;
    bool connected = false;
    try {
        connected = ConnectSource(source);
    } catch (const std::exception& e) {
        GRAPH_TRACE(QStringLiteral("audio manager: %1").arg(QString::fromUtf8(e.what())));
        connected = false;
    }
    if (connected)
        return true;
    DisconnectAudio();
    SetStatus(stBadStream);
    if (OnBadAudioStream)
        OnBadAudioStream();
    return false;
}

bool TAudioMan::ConnectSource(TAudioSource* source) {
    TGrapheMan* graph = source->GrapheMan() ? source->GrapheMan() : source->Root()->OwnerGraph;
    if (!graph || !graph->GraphBuilder() || !FRenderer)
        return false;
    FGraph = graph;
    FDecoders.SetGraph(graph);
    if (!source->Connect(graph, Handle()))
        return false;
    // The renderer leaves the graph it was in for the source's.
    if (IFilterGraph* old = GraphOf(FRenderer.Get()); old && old != graph->GraphBuilder())
        old->RemoveFilter(FRenderer.Get());
    if (!GraphOf(FRenderer.Get()) &&
        FAILED(graph->GraphBuilder()->AddFilter(FRenderer.Get(), kRendererName)))
        return false;
    FDecoders.RememberedDecoder = AudioDecoderMemory().GetLink(source->Key());
    if (!FDecoders.ConnectDecoder(source->TapFilter(), FRenderer.Get()))
        return false;
    NotifyDecoder();
    FConnected = true;
    if (TAudioNotifier* tap = source->Tap())
        tap->SetAudioDataRelay(true);
    SetStatus(FMuted ? stMuted : stSoundOn);
    ApplyVolume();
    return true;
}

bool TAudioMan::DisconnectAudio() {
    // Filters leave a stopped graph: a paused renderer holds the decoder's thread. The stop
    // serves window messages, among them the tap's last reports, which still find the source.
    if (FGraph && FSource && FSource != NoAudioSource() && FGraph->RunState() != gmStopped)
        FGraph->Stop();
    FConnected = false;
    if (OnNotifyAudioDecoder)
        OnNotifyAudioDecoder(NoAudioDecoder()->Name());
    if (OnNotifyAudioFormat)
        OnNotifyAudioFormat(QStringLiteral("No Audio"));
    TAudioSource* const source = FSource;
    TGrapheMan* const graph = FGraph;
    bool result = false;
    if (source && source != NoAudioSource()) {
        FDecoders.RemoveCurrentDecoder();
        if (IFilterGraph* g = GraphOf(FRenderer.Get()))
            g->RemoveFilter(FRenderer.Get());
        if (FDecoders.RememberedDecoder)
            FDecoders.RememberedDecoder->SetInstance(nullptr);
        FDecoders.RememberedDecoder = nullptr;
        result = source->Disconnect();
        FDecoders.SetGraph(nullptr);
    }
    FGraph = nullptr;
    FSource = NoAudioSource();
    SetStatus(stNoAudio);
    if (auto* nav = dynamic_cast<TNavMan*>(graph))
        nav->ResetForGraph();
    return result;
}

// ---- messages and preferences

void TAudioMan::WndProc(TMessage& message) {
    if (message.Msg == WM_AUDIODATA && RecordKind(message) == VideoDataKindAudio) {
        TframeData record;
        const TAudioNotifier* tap = FConnected ? FSource->Tap() : nullptr;
        if (tap && ReadAudioData(message, tap->AudioDataRing(), record) && OnNotifyAudioFormat)
            OnNotifyAudioFormat(record.AudioText);
        message.Result = 0;
        return;
    }
    TZvActionComponent::WndProc(message);
}
