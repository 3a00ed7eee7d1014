#pragma once
// The video window: the windowless video renderer shown in a host control, the picture placed
// with the right aspect ratio inside a coloured frame, moved to a borderless full-screen window
// (Tplaque) or to a separate window, mirrored through the mixer's output rectangle; the
// renderer's frame count; the live text inlay (uWindowLessInlay.cpp): up to eight lines drawn
// with an outline into a bitmap of the video's size, keyed and blended over every frame by the
// renderer's mixer. The video manager derives from it.
//
// Painting: the host's paint event is watched; the component fills the bands around the frame
// with the host's colour, the frame with the border colour, and has the renderer repaint the
// video (the renderer's own surface covers the video rectangle).
//
// Thread contract: a component of the GUI thread; the renderer's interfaces are only called
// there.
#include "commands/uWndComponent.h"
#include "platform/com/ComPtr.h"
#include "platform/filters/RendererInterfaces.h"
#include "platform/graph/BuilderInterfaces.h"
#include "platform/graph/MiscInterfaces.h"
#include "platform/ui/Font.h"
#include "platform/ui/Types.h"

#include <array>

#include <QColor>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class TCheckAction;
class TColorAction;
class TDoubleAction;
class TFontAction;
class TIntegerAction;
class TPointAction;
class TRectAction;

// One line of the inlay.
struct TInlayLine {
    QString Text;
    float HorizontalOffset = 0; // fractions of the video's width and height
    float VerticalOffset = 0;
    bool Enabled = false;
    bool Relative = true; // the vertical offset counts from the end of the line before
    int Alignment = 0;    // 0 left, 1 right, 2 centre
};

// The full-screen window: borderless and black, with the frame (Shape) behind the video and
// the hint (PanelQuit). Closing it only hides it.
class Tplaque : public QWidget {
public:
    Tplaque();
    QWidget* Shape() const { return FShape; }
    QLabel* PanelQuit() const { return FPanelQuit; }
    std::function<void()> OnPanelQuitClicked;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* FShape;
    QLabel* FPanelQuit;
};

// The separate window; its close box calls OnClosed instead of destroying it.
class TPreviewWindow : public QWidget {
public:
    TPreviewWindow();
    std::function<void()> OnClosed;

protected:
    void closeEvent(QCloseEvent* event) override;
};

class TWindowLessMan : public TZvActionComponent {
public:
    static constexpr UINT WM_DISPLAYCHANGE = 126;

    explicit TWindowLessMan(QObject* owner = nullptr);
    ~TWindowLessMan() override;

    // The host control of the embedded video.
    QWidget* Window() const { return FWindow.data(); }
    virtual void SetWindow(QWidget* window);
    int WinBorderWidth() const { return FWinBorder; }
    void SetWinBorderWidth(int width);
    int FullBorderWidth() const { return FFullBorder; }
    void SetFullBorderWidth(int width);
    QColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(const QColor& colour);
    QColor BackColor() const { return FBackColor; }
    void SetBackColor(const QColor& colour);
    bool KeepAspectratio() const { return FKeepAspect; }
    void SetKeepAspectratio(bool keep);

    // Leaves the old graph for the new one ("Zv VideoWindow"); none only leaves.
    void SetRendererGraph(IGraphBuilder* graph);
    void SetAspect(int x, int y);
    void Place();
    virtual void Paint();
    // Shows the host's colour where the video was.
    void Clear();
    int FramesDrawn() const;
    // The renderer's current image (as displayed: flips and inlay included) into the bitmap;
    // false, and the bitmap as it was, when there is none.
    bool FetchCurrentImage(QImage& bitmap) const;

    bool FullScreen() const { return FFullScreen; }
    bool Separate() const { return FSeparate; }
    bool FlipVertical() const { return FFlipVertical; }
    bool FlipHorizontal() const { return FFlipHorizontal; }
    void SetFullScreen(bool on);
    void SetSeparate(bool on);
    void SetFlips(bool vertical, bool horizontal);
    // The control the video is placed in now (the window or the separate window).
    QWidget* Host() const { return FHost.data(); }
    TRect WindowVideoRect() const { return FWindowRect; }
    TRect FullScreenVideoRect() const { return FFullRect; }

    IBaseFilter* Renderer() const { return FRenderer.Get(); }
    IVMRWindowlessControl9* Windowless() const { return FWindowless.Get(); }
    IVMRMixerControl9* Mixer() const { return FMixer.Get(); }
    IVMRMixerBitmap9* MixerBitmap() const { return FMixerBitmap.Get(); }
    Tplaque* Plaque() const { return FPlaque.get(); }
    TPreviewWindow* PreviewWindow() const { return FPreview.get(); }
    QTimer& HintTimer() { return FHintTimer; }

    // The inlay.
    static constexpr int InlayLines = 8;
    void SetInsertFont(const TFont& font);
    const TFont& InsertFont() const { return FInsertFont; }
    void SetInsertBorderWidth(int width);
    void SetInsertBorderColor(const QColor& colour);
    void SetInsertTransparency(double opacity);
    void SetInsertTransparentColor(const QColor& colour);
    void SetInsertAntiAliasing(bool on);
    void SetInsertAlignLines(int alignment);
    int InsertAlignLines() const { return FInsertAlign; }
    // The anchor of the first line, in ten-thousandths of the video's width and height.
    void SetInsertPosition(const TPoint& position);
    TPoint InsertPosition() const { return FInsertPosition; }
    void SetAutoSize(bool on);
    bool AutoSize() const { return FAutoSize; }
    void SetMaxSynchro(int ms) { FMaxSynchro = ms; }
    TInlayLine& Line(int index) { return FLines[size_t(index)]; }
    bool InlayActive() const { return FInlayActive; }
    void InlayOn();
    void InlayOff();
    // Draws again, unless the renderer shows frames later than the maximum lag.
    void RedrawInlay();
    // The bitmap last handed to the mixer, and the font size it was drawn with.
    const QImage& InlayBitmap() const { return FInlay; }
    int InlayFontSize() const { return FInlayFontSize; }

    TCheckAction* caFullscreen = nullptr;
    TCheckAction* caFlipVertical = nullptr;
    TCheckAction* caFlipHorizontal = nullptr;
    TCheckAction* caPreviewform = nullptr;
    TCheckAction* caKeepAspectratio = nullptr;
    TIntegerAction* iaFullBorderWidth = nullptr;
    TIntegerAction* iaWinBorderWidth = nullptr;
    TColorAction* iaBorderColor = nullptr;
    TColorAction* iaBackColor = nullptr;
    TRectAction* raPreviewSave = nullptr;
    TIntegerAction* iaTimerInterval = nullptr;
    TCheckAction* caInsertTextOn = nullptr;
    TIntegerAction* iaInsertBorderWidth = nullptr;
    TColorAction* iaInsertBorderColor = nullptr;
    TFontAction* faInsertFont = nullptr;
    TColorAction* iaInsertTransparentColor = nullptr;
    TCheckAction* caInsertAntiAliasing = nullptr;
    TDoubleAction* daInsertTransparency = nullptr;
    TPointAction* paInsertPosition = nullptr;
    TIntegerAction* iaInsertAlignLines = nullptr;

protected:
    void CreateActions() override;
    void InitActions() override;
    void FindActions() override;
    void WireActions() override;
    void WndProc(TMessage& message) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateInlayActions();
    void InitInlayActions();
    void FindInlayActions();
    void WireInlayActions();
    void DrawInlay();
    void DrawOutlinedText(QPainter& painter, int x, int y, const QString& text);

    void CreateRenderer();
    void SetHost(QWidget* host);
    void PlaceFullScreen();
    void ShareKeys(QWidget* window, bool on);
    void PlaceInHost();
    void PaintHost(QWidget* host);
    void ApplyFlips();
    void TellMonitor(QWidget* control);
    void HideHint();
    QRect MonitorBounds(QWidget* control) const;

    ComPtr<IBaseFilter> FRenderer;
    ComPtr<IVMRWindowlessControl9> FWindowless;
    ComPtr<IVMRMixerControl9> FMixer;
    ComPtr<IVMRMixerBitmap9> FMixerBitmap;
    ComPtr<IMediaFilter> FMediaFilter;
    ComPtr<IVMRMonitorConfig9> FMonitor;
    ComPtr<IQualProp> FQuality;
    ComPtr<IPin> FPin;
    ComPtr<IGraphBuilder> FGraph;

    QPointer<QWidget> FWindow;
    QPointer<QWidget> FHost;
    std::unique_ptr<Tplaque> FPlaque;
    std::unique_ptr<TPreviewWindow> FPreview;
    QTimer FHintTimer;
    int FWinBorder = 8, FFullBorder = 8;
    QColor FBorderColor = QColor(192, 192, 192);
    QColor FBackColor = Qt::black;
    bool FKeepAspect = false;
    int FAspectX = 0, FAspectY = 0; // none: the whole box
    TRect FWindowRect, FFullRect;
    bool FFlipVertical = false, FFlipHorizontal = false;
    bool FFullScreen = false, FSeparate = false;
    QRect FPreviewBounds{0, 0, 640, 480};
    bool FCleared = false;

    TFont FInsertFont;
    int FInsertBorder = 2;
    QColor FInsertBorderColor = Qt::black;
    double FInsertTransparency = 1.0;
    QColor FInsertKey = QColor(255, 0, 255);
    bool FInsertAntiAliasing = true;
    int FInsertAlign = 0;
    TPoint FInsertPosition{0, 0};
    bool FAutoSize = false;
    bool FInlayActive = false;
    int FMaxSynchro = 0;
    std::array<TInlayLine, InlayLines> FLines;
    QImage FInlay;
    int FInlayFontSize = 0;
};
