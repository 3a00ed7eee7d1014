#pragma once
// The audio manager: the sound of the open file. It owns the audio renderer, connects the file's
// audio source to it through a decoder of its own decoder manager (the decoder remembered for
// the stream's type first), sets the volume (0 to 10000, turned into the renderer's attenuation
// by a logarithmic law) and muting, shows the volume on a needle gauge and a slider, and reports
// the audio decoder's name and the audio format.
//
// Status: 0 no audio, 1 the renderer is missing, 2 an audio stream whose connection failed,
// 3 muted, 4 sound on.
//
// Thread contract: a component of the GUI thread. The audio tap posts the format of the stream
// (WM_AUDIODATA, kind 3) from its streaming thread to this component's hidden window; the
// handler copies the record with ReadAudioData and only reports its text.
#include "commands/uWndComponent.h"
#include "media/uDecoders.h"
#include "media/uGrapheMan.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/FilterInterfaces.h"

#include <functional>
#include <vector>

#include <QPixmap>
#include <QPointer>
#include <QString>

class QLabel;
class QSlider;
class TAudioSource;
class TCheckAction;
class TIntegerAction;
class TNopeAction;
class TTextGauge;

class TAudioMan : public TZvActionComponent {
public:
    static constexpr int MaxVolume = 10000;
    static constexpr int VolumeStep = 1000;
    enum TStatus { stNoAudio = 0, stNoRenderer = 1, stBadStream = 2, stMuted = 3, stSoundOn = 4 };

    explicit TAudioMan(QObject* owner = nullptr);
    ~TAudioMan() override;

    // The renderer's attenuation (hundredths of a decibel, -10000 to 0) for a volume, and the
    // volume that an attenuation stands for.
    static LONG AttenuationOf(int volume);
    static int VolumeOf(LONG attenuation);

    // Connects the source's audio into the source's graph; true on success.
    bool ConnectAudioSource(TAudioSource* source);
    // Takes the sound out of the graph; the source's disconnect result (false when none).
    bool DisconnectAudio();
    // Before a new file: the decoder choice starts from the remembered decoder again.
    void PrepareForNewFile();

    void SetVolume(int volume);
    void SetMuted(bool muted);
    int Volume() const { return FVolume; }
    bool Muted() const { return FMuted; }
    // The volume, read back from the renderer first when it is in a graph and not muted.
    int CurrentVolume();

    int Status() const { return FStatus; }
    bool Connected() const { return FConnected; }
    TAudioSource* CurrentSource() const { return FSource; }
    IBaseFilter* Renderer() const { return FRenderer.Get(); }
    TDecoderMan& Decoders() { return FDecoders; }

    TTextGauge* AudioGauge() const { return FGauge.data(); }
    void SetAudioGauge(TTextGauge* gauge);
    QSlider* AudioSlider() const { return FSlider.data(); }
    void SetAudioSlider(QSlider* slider);
    // The status picture: AudioImages[status] shown in AudioImage when both are set.
    void SetAudioImage(QLabel* label);
    void SetAudioImages(std::vector<QPixmap> images);

    std::function<void(const QString&)> OnNotifyAudioDecoder;
    std::function<void(const QString&)> OnNotifyAudioFormat;
    std::function<void()> OnNoAudioStream;
    std::function<void()> OnBadAudioStream;
    std::function<void(int)> OnStatus;
    std::function<void(int)> OnVolume;

    TCheckAction* caMute = nullptr;
    TNopeAction* naNextDecoderAudio = nullptr;
    TNopeAction* naIncVolume = nullptr;
    TNopeAction* naDecVolume = nullptr;
    TIntegerAction* iaVolume = nullptr;

protected:
    void CreateActions() override;
    void InitActions() override;
    void FindActions() override;
    void WireActions() override;
    void WndProc(TMessage& message) override;

private:
    bool ConnectSource(TAudioSource* source);
    void ApplyVolume();
    void SetStatus(int status);
    void ShowStatusImage();
    void StepVolume(int delta);
    void NotifyDecoder();

    ComPtr<IBaseFilter> FRenderer;
    TDecoderMan FDecoders;
    TAudioSource* FSource = nullptr;
    QPointer<TGrapheMan> FGraph; // cleared by itself when the graph manager goes first
    bool FConnected = false;
    int FVolume = 5000;
    bool FMuted = false;
    int FStatus = stNoAudio;
    QPointer<TTextGauge> FGauge;
    QPointer<QSlider> FSlider;
    QPointer<QLabel> FImage;
    std::vector<QPixmap> FImages;
};
