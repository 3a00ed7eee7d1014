#pragma once
// The video manager: the video window with the open file's video stream behind it. It connects
// the file's video source to the renderer through a decoder of its own decoder manager and
// through the frame keeper, keeps the video description that the tap reports (relayed by the
// keeper when its frame is shown), derives the aspect pair from it (or from the forced aspect),
// shows a message and a picture instead of the video when there is none or when it cannot be
// decoded, and steps to the next decoder.
//
// Video state: 0 no video stream, 1 video shown, 2 a video stream whose connection failed.
//
// Thread contract: a component of the GUI thread. The frame keeper posts the video description
// (WM_VIDEODATA, kinds 4 aspect and 2 format) from the renderer's streaming thread; the handler
// copies the record with ReadVideoData, stores it and updates the displays.
#include "media/uDecoders.h"
#include "media/uGrapheMan.h"
#include "presentation/uWindowLessMan.h"
#include "taps/uFramesNotifier.h"
#include "taps/uTapRecords.h"

#include <functional>

class TLinkEdit;
class TNopeAction;
class TVideoSource;

class TVideoMan : public TWindowLessMan {
public:
    enum TVideoState { vsNoVideo = 0, vsVideo = 1, vsBadVideo = 2 };
    // Forced aspect modes.
    enum TForcedAspect { faNormal = 0, faFourThree = 1, faSixteenNine = 2, faNative = 3 };

    explicit TVideoMan(QObject* owner = nullptr);
    ~TVideoMan() override;

    bool ConnectVideoSource(TVideoSource* source);
    // showNoVideo: the no-video message afterwards; otherwise the state stays.
    bool DisconnectVideo(bool showNoVideo);
    void PrepareForNewFile();
    void SetForcedAspect(int mode);
    int ForcedAspect() const { return FForcedAspect; }
    void SetTimeOffset(double days) { FTimeOffset = days; }
    double TimeOffset() const { return FTimeOffset; }

    int VideoState() const { return FState; }
    TVideoSource* CurrentSource() const { return FSource; }
    TDecoderMan& Decoders() { return FDecoders; }
    TFramesNotifier* FramesNotifier() const { return FKeeper.Get(); }
    const TVideoData& LastVideoData() const { return FVideoData; }
    int AspectX() const { return FAspect.first; }
    int AspectY() const { return FAspect.second; }
    TLinkEdit* MessageLabel() const { return FLabel; }
    QLabel* MessagePicture() const { return FPicture; }
    // Height of the message label.
    int leHeight = 32;

    // The inlay's text state: per line a pattern with %-tokens and the format of %D; the token
    // values as they arrive (the DV date and time code from the video tap, the time stamp from
    // the frame keeper, the others from the main window), each unknown until it first comes.
    void SetLinePattern(int slot, const QString& pattern);
    QString LinePattern(int slot) const { return FPatterns[size_t(slot)]; }
    void SetLineDateFormat(int slot, const QString& format);
    void SetSystemDate(double dateTime);
    void SetNumberText(const QString& text);
    // The DV date and time code of the frame on screen; the lines are made again after the
    // caller's handler has returned.
    void SetDVValues(const TIncrustDV& values);
    // The video's full path: %F its name without extension, %P its folder with "/", %E ".ext".
    void SetFileName(const QString& path);
    // Substitutes the tokens into every line and redraws the inlay.
    void RecomputeLineTexts();
    // The text of a pattern with the values known now (the line's %D format).
    QString SubstituteTokens(const QString& pattern, int slot) const;

    void SetWindow(QWidget* window) override;
    void Paint() override;

    std::function<void(const QString&)> OnNotifyVideoDecoder;
    std::function<void(const QString&)> OnNotifyVideoFormat;
    std::function<void(QString&)> OnNoVideoStream;
    std::function<void(QString&)> OnBadVideoStream;

    TNopeAction* naNextDecoderVideo = nullptr;

protected:
    void CreateActions() override;
    void InitActions() override;
    void FindActions() override;
    void WireActions() override;
    void WndProc(TMessage& message) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ConnectSource(TVideoSource* source);
    void SetState(int state);
    void ShowMessages();
    void LayoutMessages();
    void ComputeAspect();
    void NotifyDecoder();

    int FState = vsNoVideo;
    TVideoSource* FSource = nullptr;
    QPointer<TGrapheMan> FGraph;
    TDecoderMan FDecoders;
    ComPtr<TFramesNotifier> FKeeper;
    TFilterRec* FKeeperRecord = nullptr;
    TVideoData FVideoData;
    std::pair<int, int> FAspect{4, 3};
    int FForcedAspect = faNormal;
    double FTimeOffset = 0;
    TLinkEdit* FLabel = nullptr; // owned by the host window, or by nothing before one is set
    QLabel* FPicture = nullptr;  // the same
    std::unique_ptr<QWidget> FMessageParking; // holds the two controls while there is no host

    std::array<QString, InlayLines> FPatterns;
    std::array<QString, InlayLines> FDateFormats;
    TIncrustDV FDV;
    QString FTimeStamp;
    bool FTimeStampKnown = false;
    double FSystemDate = 0;
    bool FSystemDateKnown = false;
    QString FNumberText;
    bool FNumberKnown = false;
    QString FFileName, FFileFolder, FFileExtension;
    bool FFileKnown = false;
    // The lines are made again after the values that streaming threads send.
    static constexpr UINT WM_RECOMPUTETEXTS = 0x2430;
    bool FRecomputePending = false;
};
