#include "presentation/uWindowLessMan.h"

#include "commands/uActionRows.h"
#include "commands/uCheckAction.h"
#include "commands/uColorAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uRectAction.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/TaskMem.h"
#include "platform/graph/MediaGuids.h"
#include "platform/ui/Colors.h"
#include "platform/ui/ShortCuts.h"
#include "taps/uMediaDescriptions.h"

#include <cstring>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {

constexpr char16_t kRendererName[] = u"Zv VideoWindow";

TRect ToTRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect ToQRect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

RECT ToRECT(const TRect& r) {
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

TRect Grown(const TRect& r, int by) {
    return {r.Left - by, r.Top - by, r.Right + by, r.Bottom + by};
}

QColor ColorOf(TColor color) {
    const QColor c = ToQColor(color);
    return c.isValid() ? c : QColor(Qt::black);
}

} // namespace

// ---- the full-screen window and the separate window

Tplaque::Tplaque() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
    FShape = new QWidget(this);
    FShape->setAutoFillBackground(true);
    FPanelQuit = new QLabel(QStringLiteral("Alt+Enter to exit from Full Screen mode"), this);
    FPanelQuit->setAutoFillBackground(true);
    FPanelQuit->setBackgroundRole(QPalette::ToolTipBase);
    FPanelQuit->setForegroundRole(QPalette::ToolTipText);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(17);
    FPanelQuit->setFont(font);
    FPanelQuit->setAlignment(Qt::AlignCenter);
    FPanelQuit->adjustSize();
    FPanelQuit->resize(FPanelQuit->width() + 24, FPanelQuit->height() + 12);
    FPanelQuit->hide();
    FPanelQuit->installEventFilter(this);
}

void Tplaque::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

bool Tplaque::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FPanelQuit && event->type() == QEvent::MouseButtonPress && OnPanelQuitClicked)
        OnPanelQuitClicked();
    return QWidget::eventFilter(watched, event);
}

TPreviewWindow::TPreviewWindow() : QWidget(nullptr, Qt::Window) {
    setWindowTitle(QStringLiteral("Kelvara"));
}

void TPreviewWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (OnClosed)
        OnClosed();
}

// ---- the component

TWindowLessMan::TWindowLessMan(QObject* owner) : TZvActionComponent(owner) {
    CreateRenderer();
    FPlaque = std::make_unique<Tplaque>();
    FPlaque->OnPanelQuitClicked = [this] { HideHint(); };
    FPreview = std::make_unique<TPreviewWindow>();
    FPreview->setGeometry(FPreviewBounds);
    FPreview->OnClosed = [this] {
        if (caPreviewform)
            caPreviewform->SetChecked(false);
        else
            SetSeparate(false);
    };
    FHintTimer.setSingleShot(true);
    FHintTimer.setInterval(3000);
    // The inlay's creation values: Arial 16 in navy, the first line alone.
    FInsertFont.Name = QStringLiteral("Arial");
    FInsertFont.SetSize(16);
    FInsertFont.Color = clNavy;
    FLines[0].Text = QStringLiteral("Write an inlay");
    FLines[0].Enabled = true;
    FLines[0].Relative = false;
    QObject::connect(&FHintTimer, &QTimer::timeout, this, [this] { HideHint(); });
}

TWindowLessMan::~TWindowLessMan() {
    DestroyMessageWindow();
    if (FHost)
        FHost->removeEventFilter(this);
    if (FWindowless)
        FWindowless->SetVideoClippingWindow(nullptr);
    if (FGraph && FRenderer)
        FGraph->RemoveFilter(FRenderer.Get());
}

void TWindowLessMan::CreateRenderer() {
    FRenderer = CreateInstanceOf<IBaseFilter>(CLSID_VideoMixingRenderer9);
    const ComPtr<IVMRFilterConfig9> config = QueryInterfaceOf<IVMRFilterConfig9>(FRenderer.Get());
    if (!config || FAILED(config->SetRenderingMode(VMR9Mode_Windowless)) ||
        FAILED(config->SetNumberOfStreams(4)))
        return;
    // Each interface only when the one before it was found.
    if (!(FWindowless = QueryInterfaceOf<IVMRWindowlessControl9>(FRenderer.Get())))
        return;
    if (!(FMixer = QueryInterfaceOf<IVMRMixerControl9>(FRenderer.Get())))
        return;
    if (!(FMixerBitmap = QueryInterfaceOf<IVMRMixerBitmap9>(FRenderer.Get())))
        return;
    if (!(FMediaFilter = QueryInterfaceOf<IMediaFilter>(FRenderer.Get())))
        return;
    if (!(FMonitor = QueryInterfaceOf<IVMRMonitorConfig9>(FRenderer.Get())))
        return;
    if (!(FQuality = QueryInterfaceOf<IQualProp>(FRenderer.Get())))
        return;
    ComPtr<IEnumPins> pins;
    if (SUCCEEDED(FRenderer->EnumPins(pins.ReleaseAndGetAddressOf())) && pins) {
        IPin* pin = nullptr;
        if (pins->Next(1, &pin, nullptr) == S_OK)
            FPin.Attach(pin);
    }
}

// ---- actions

void TWindowLessMan::CreateActions() {
    new TCheckAction(QStringLiteral("caFullscreen"), this);
    new TCheckAction(QStringLiteral("caFlipVertical"), this);
    new TCheckAction(QStringLiteral("caFlipHorizontal"), this);
    new TCheckAction(QStringLiteral("caPreviewform"), this);
    new TCheckAction(QStringLiteral("caKeepAspectratio"), this);
    new TIntegerAction(QStringLiteral("iaFullBorderWidth"), this);
    new TIntegerAction(QStringLiteral("iaWinBorderWidth"), this);
    new TColorAction(QStringLiteral("iaBorderColor"), this);
    new TColorAction(QStringLiteral("iaBackColor"), this);
    new TRectAction(QStringLiteral("raPreviewSave"), this);
    new TIntegerAction(QStringLiteral("iaTimerInterval"), this);
    CreateInlayActions();
}

void TWindowLessMan::InitActions() {
    static const TActionRow rows[] = {
        {"caFullscreen", "FullScreen", ShortCut(VK_RETURN, scAlt), false},
        {"caFlipVertical", "FlipVertical", ShortCut('V', scCtrl | scAlt), true},
        {"caFlipHorizontal", "FlipHorizontal", ShortCut('H', scCtrl | scAlt), true},
        {"caPreviewform", "Previewform", ShortCut(VK_BACK, scAlt), true},
        {"caKeepAspectratio", "KeepAspectRatio", ShortCut('R', scAlt), false},
        {"iaFullBorderWidth", "FullBorderWidth", 0, false},
        {"iaWinBorderWidth", "WinBorderWidth", 0, false},
        {"iaBorderColor", "BorderColor", 0, false},
        {"iaBackColor", "BackColor", 0, true},
        {"raPreviewSave", "PreviewSave", 0, true},
        {"iaTimerInterval", "TimerInterval", 0, false},
    };
    InitActionRows(*this, rows);
    for (const char* id : {"caFullscreen", "caFlipVertical", "caFlipHorizontal", "caPreviewform"})
        if (auto* a = FindAction<TCheckAction>(QString::fromLatin1(id)))
            a->SetDefaultValue(false);
    if (auto* a = FindAction<TCheckAction>(QStringLiteral("caKeepAspectratio"))) {
        a->SetDefaultValue(true);
        a->setChecked(true);
    }
    if (auto* a = FindAction<TIntegerAction>(QStringLiteral("iaFullBorderWidth")))
        a->SetDefaultValue(0);
    if (auto* a = FindAction<TIntegerAction>(QStringLiteral("iaWinBorderWidth")))
        a->SetDefaultValue(0);
    if (auto* a = FindAction<TColorAction>(QStringLiteral("iaBorderColor")))
        a->SetDefaultValue(clRed);
    if (auto* a = FindAction<TColorAction>(QStringLiteral("iaBackColor")))
        a->SetDefaultValue(clSilver);
    if (auto* a = FindAction<TRectAction>(QStringLiteral("raPreviewSave")))
        a->SetDefaultValue(TRect{0, 0, 640, 480});
    if (auto* a = FindAction<TIntegerAction>(QStringLiteral("iaTimerInterval")))
        a->SetDefaultValue(3000);
    InitInlayActions();
}

void TWindowLessMan::FindActions() {
    caFullscreen = FindAction<TCheckAction>(QStringLiteral("caFullscreen"));
    caFlipVertical = FindAction<TCheckAction>(QStringLiteral("caFlipVertical"));
    caFlipHorizontal = FindAction<TCheckAction>(QStringLiteral("caFlipHorizontal"));
    caPreviewform = FindAction<TCheckAction>(QStringLiteral("caPreviewform"));
    caKeepAspectratio = FindAction<TCheckAction>(QStringLiteral("caKeepAspectratio"));
    iaFullBorderWidth = FindAction<TIntegerAction>(QStringLiteral("iaFullBorderWidth"));
    iaWinBorderWidth = FindAction<TIntegerAction>(QStringLiteral("iaWinBorderWidth"));
    iaBorderColor = FindAction<TColorAction>(QStringLiteral("iaBorderColor"));
    iaBackColor = FindAction<TColorAction>(QStringLiteral("iaBackColor"));
    raPreviewSave = FindAction<TRectAction>(QStringLiteral("raPreviewSave"));
    iaTimerInterval = FindAction<TIntegerAction>(QStringLiteral("iaTimerInterval"));
    FindInlayActions();
}

void TWindowLessMan::WireActions() {
    const auto check = [](TCheckAction* a, const char* trueCaption, const char* falseCaption,
                          const char* trueHint, const char* falseHint, std::function<void()> on,
                          std::function<void()> off) {
        if (!a)
            return;
        a->SetTrueCaption(QString::fromUtf8(trueCaption));
        a->SetFalseCaption(QString::fromUtf8(falseCaption));
        a->SetTrueHint(QString::fromUtf8(trueHint));
        a->SetFalseHint(QString::fromUtf8(falseHint));
        a->OnInternalTrueApply = std::move(on);
        a->OnInternalFalseApply = std::move(off);
    };
    check(
        caFullscreen, "Leave full screen", "Fullscreen", "Click to leave the full screen mode",
        "Click to display the video in full screen\r\nTo leave full screen, type again ALT+Enter",
        [this] { SetFullScreen(true); }, [this] { SetFullScreen(false); });
    check(
        caFlipVertical, "Vertical Flip", "Flip Vertical", "Click to deactivate the Vertical Flip",
        "Click to activate Vertical Flip", [this] { SetFlips(true, FFlipHorizontal); },
        [this] { SetFlips(false, FFlipHorizontal); });
    check(
        caFlipHorizontal, "Flip Horizontal", "Flip Horizontal",
        "Click to deactivate Horizontal Flip", "Click to activate Horizontal Flip",
        [this] { SetFlips(FFlipVertical, true); }, [this] { SetFlips(FFlipVertical, false); });
    check(
        caPreviewform, "Close the external Window", "Open the external window",
        "Click to close the external window and play the video in an embedded window",
        "Click to play the video in an external window", [this] { SetSeparate(true); },
        [this] { SetSeparate(false); });
    check(
        caKeepAspectratio, "Adjust Ratio Aspect", "Keep Ratio Aspect",
        "Click to keep the ratio aspect", "Click to adjust the ratio aspect",
        [this] { SetKeepAspectratio(true); }, [this] { SetKeepAspectratio(false); });
    if (iaFullBorderWidth)
        iaFullBorderWidth->OnInternalApply = [this](int32_t v) { SetFullBorderWidth(v); };
    if (iaWinBorderWidth)
        iaWinBorderWidth->OnInternalApply = [this](int32_t v) { SetWinBorderWidth(v); };
    if (iaBorderColor)
        iaBorderColor->OnInternalApply = [this](TColor c) { SetBorderColor(ColorOf(c)); };
    if (iaBackColor)
        iaBackColor->OnInternalApply = [this](TColor c) { SetBackColor(ColorOf(c)); };
    if (raPreviewSave) {
        raPreviewSave->OnInternalApply = [this](const TRect& r) {
            FPreviewBounds = ToQRect(r);
            FPreview->setGeometry(FPreviewBounds);
        };
        raPreviewSave->OnInternalBeforeSave = [this](TRect& r) {
            r = ToTRect(FPreview->isVisible() ? FPreview->geometry() : FPreviewBounds);
            return true;
        };
    }
    if (iaTimerInterval)
        iaTimerInterval->OnInternalApply = [this](int32_t ms) {
            FHintTimer.setInterval(std::max(0, ms));
        };
    WireInlayActions();
}

// ---- properties

void TWindowLessMan::SetWindow(QWidget* window) {
    if (FWindow == window)
        return;
    FWindow = window;
    if (!FSeparate)
        SetHost(window);
}

void TWindowLessMan::SetWinBorderWidth(int width) {
    FWinBorder = std::max(0, width);
    if (!FFullScreen)
        Place();
}

void TWindowLessMan::SetFullBorderWidth(int width) {
    FFullBorder = std::max(0, width);
    if (FFullScreen)
        Place();
}

void TWindowLessMan::SetBorderColor(const QColor& colour) {
    FBorderColor = colour;
    Paint();
}

void TWindowLessMan::SetBackColor(const QColor& colour) {
    FBackColor = colour;
    QPalette p = FPlaque->palette();
    p.setColor(QPalette::Window, colour);
    FPlaque->setPalette(p);
}

void TWindowLessMan::SetKeepAspectratio(bool keep) {
    FKeepAspect = keep;
    if (const ComPtr<IVMRAspectRatioControl9> aspect =
            QueryInterfaceOf<IVMRAspectRatioControl9>(FRenderer.Get()))
        aspect->SetAspectRatioMode(keep ? VMR9ARMode_LetterBox : VMR9ARMode_None);
}

// ---- graph, placement, painting

void TWindowLessMan::SetRendererGraph(IGraphBuilder* graph) {
    if (FGraph && FRenderer)
        FGraph->RemoveFilter(FRenderer.Get());
    FGraph = graph;
    if (graph && FRenderer)
        graph->AddFilter(FRenderer.Get(), kRendererName);
    Place();
}

void TWindowLessMan::SetAspect(int x, int y) {
    FAspectX = x;
    FAspectY = y;
    Place();
}

void TWindowLessMan::SetHost(QWidget* host) {
    if (FHost == host)
        return;
    if (FHost)
        FHost->removeEventFilter(this);
    FHost = host;
    if (!host)
        return;
    host->installEventFilter(this);
    FPlaque->setGeometry(MonitorBounds(host));
    TellMonitor(host);
    if (FWindowless)
        FWindowless->DisplayModeChanged();
    Place();
}

QRect TWindowLessMan::MonitorBounds(QWidget* control) const {
    QScreen* screen = control ? control->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 640, 480);
}

void TWindowLessMan::TellMonitor(QWidget* control) {
    if (!FMonitor || !control)
        return;
    const int index = int(QGuiApplication::screens().indexOf(control->screen()));
    if (index >= 0)
        FMonitor->SetMonitor(UINT(index));
}

void TWindowLessMan::Place() {
    if (!FHost)
        return;
    FCleared = false;
    if (FFullScreen)
        PlaceFullScreen();
    else
        PlaceInHost();
}

void TWindowLessMan::PlaceFullScreen() {
    const QRect monitor = MonitorBounds(FHost);
    FFullRect = FitRectToAspect(FAspectX, FAspectY, TRect{0, 0, monitor.width(), monitor.height()},
                                true, FFullBorder);
    QWidget* shape = FPlaque->Shape();
    shape->setGeometry(ToQRect(Grown(FFullRect, FFullBorder)));
    QPalette p = shape->palette();
    p.setColor(QPalette::Window, FBorderColor);
    shape->setPalette(p);
    shape->lower(); // behind the video's surface
    if (FWindowless) {
        FWindowless->SetVideoClippingWindow(FPlaque.get());
        const RECT dst = ToRECT(FFullRect);
        FWindowless->SetVideoPosition(nullptr, &dst);
    }
    FPlaque->raise();
    FPlaque->update();
    if (FWindowless)
        FWindowless->RepaintVideo(FPlaque.get(), nullptr);
}

void TWindowLessMan::PlaceInHost() {
    const QRect client = FHost->rect();
    FWindowRect = FitRectToAspect(FAspectX, FAspectY, ToTRect(client), true, FWinBorder);
    if (FWindowless) {
        FWindowless->SetVideoClippingWindow(FHost);
        const RECT dst = ToRECT(FWindowRect);
        FWindowless->SetVideoPosition(nullptr, &dst);
    }
    Paint();
    ApplyFlips();
}

void TWindowLessMan::Paint() {
    if (FFullScreen) {
        FPlaque->update();
        if (FWindowless)
            FWindowless->RepaintVideo(FPlaque.get(), nullptr);
        return;
    }
    if (FHost)
        FHost->update(); // the bands are painted in the host's paint event
}

void TWindowLessMan::PaintHost(QWidget* host) {
    QPainter painter(host);
    const QColor hostColour = host->palette().color(QPalette::Window);
    const QRect all = host->rect();
    if (FCleared) {
        painter.fillRect(all, hostColour);
        return;
    }
    const QRect video = ToQRect(FWindowRect);
    const QRect border = ToQRect(Grown(FWindowRect, FWinBorder));
    // The host's colour around the frame: left and right bands full height, then top and bottom.
    painter.fillRect(QRect(all.left(), all.top(), border.left() - all.left(), all.height()),
                     hostColour);
    painter.fillRect(
        QRect(border.right() + 1, all.top(), all.right() - border.right(), all.height()),
        hostColour);
    painter.fillRect(QRect(border.left(), all.top(), border.width(), border.top() - all.top()),
                     hostColour);
    painter.fillRect(
        QRect(border.left(), border.bottom() + 1, border.width(), all.bottom() - border.bottom()),
        hostColour);
    // The frame between the border rectangle and the video.
    painter.fillRect(
        QRect(border.left(), border.top(), video.left() - border.left(), border.height()),
        FBorderColor);
    painter.fillRect(
        QRect(video.right() + 1, border.top(), border.right() - video.right(), border.height()),
        FBorderColor);
    painter.fillRect(QRect(video.left(), border.top(), video.width(), video.top() - border.top()),
                     FBorderColor);
    painter.fillRect(
        QRect(video.left(), video.bottom() + 1, video.width(), border.bottom() - video.bottom()),
        FBorderColor);
    if (FWindowless)
        FWindowless->RepaintVideo(host, &painter);
}

void TWindowLessMan::Clear() {
    FCleared = true;
    if (FWindowless) {
        // An empty destination hides the video's surface until the next placement.
        const RECT none{0, 0, 0, 0};
        FWindowless->SetVideoPosition(nullptr, &none);
    }
    if (FHost)
        FHost->update();
}

bool TWindowLessMan::FetchCurrentImage(QImage& bitmap) const {
    BYTE* dib = nullptr;
    if (!FWindowless || FAILED(FWindowless->GetCurrentImage(&dib)) || !dib)
        return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    const int width = header.biWidth;
    const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const int bytes = header.biBitCount / 8;
    bool ok = width > 0 && height > 0 && (bytes == 3 || bytes == 4) && header.biCompression == 0;
    if (ok) {
        // Rows of whole 32-bit words, bottom-up unless the height is negative.
        const qsizetype stride = (qsizetype(width) * bytes + 3) / 4 * 4;
        const BYTE* pixels = dib + header.biSize + 4 * header.biClrUsed;
        QImage image(width, height, bytes == 4 ? QImage::Format_RGB32 : QImage::Format_BGR888);
        ok = !image.isNull();
        for (int y = 0; ok && y < height; ++y) {
            const int from = header.biHeight > 0 ? height - 1 - y : y;
            std::memcpy(image.scanLine(y), pixels + stride * from, size_t(width) * size_t(bytes));
        }
        if (ok)
            bitmap = bytes == 4 ? std::move(image) : image.convertToFormat(QImage::Format_RGB32);
    }
    CoTaskMemFree(dib);
    return ok;
}

int TWindowLessMan::FramesDrawn() const {
    int frames = 0;
    if (FQuality)
        FQuality->get_FramesDrawn(&frames);
    return frames;
}

// ---- flips, full screen, separate window

void TWindowLessMan::SetFlips(bool vertical, bool horizontal) {
    FFlipVertical = vertical;
    FFlipHorizontal = horizontal;
    ApplyFlips();
}

void TWindowLessMan::ApplyFlips() {
    if (!FMixer)
        return;
    VMR9NormalizedRect r;
    r.left = FFlipHorizontal ? 1.0f : 0.0f;
    r.right = FFlipHorizontal ? 0.0f : 1.0f;
    r.top = FFlipVertical ? 1.0f : 0.0f;
    r.bottom = FFlipVertical ? 0.0f : 1.0f;
    FMixer->SetOutputRect(0, &r);
}

void TWindowLessMan::SetFullScreen(bool on) {
    if (on) {
        FFullScreen = true;
        FPlaque->setGeometry(MonitorBounds(FHost));
        ShareKeys(FPlaque.get(), true);
        FPlaque->show();
        FPlaque->raise();
        if (FHintTimer.interval() != 0) {
            QLabel* hint = FPlaque->PanelQuit();
            hint->move((FPlaque->width() - hint->width()) / 2, 0);
            hint->show();
            hint->raise();
            FHintTimer.start();
        } else {
            FPlaque->PanelQuit()->hide();
        }
    } else {
        FFullScreen = false;
        FHintTimer.stop();
        FPlaque->PanelQuit()->hide();
        FPlaque->hide();
        ShareKeys(FPlaque.get(), false);
        TellMonitor(FHost);
        PostMessage(WM_DISPLAYCHANGE);
    }
    Place();
}

void TWindowLessMan::HideHint() {
    FHintTimer.stop();
    FPlaque->PanelQuit()->hide();
    Paint();
}

void TWindowLessMan::SetSeparate(bool on) {
    if (on == FSeparate)
        return;
    FSeparate = on;
    if (on) {
        FPreview->setGeometry(FPreviewBounds);
        ShareKeys(FPreview.get(), true);
        FPreview->show();
        FPreview->raise();
        SetHost(FPreview.get());
    } else {
        FPreviewBounds = FPreview->geometry();
        FPreview->hide();
        ShareKeys(FPreview.get(), false);
        SetHost(FWindow);
    }
    Place();
}

// The full-screen and the separate window are top-level windows of their own: shown, they become
// the active window, where the main window's shortcuts do not reach. While one is shown it holds
// the main window's actions too, so Alt+Enter, Esc, F5 and the others work from it.
void TWindowLessMan::ShareKeys(QWidget* window, bool on) {
    QWidget* main = FWindow ? FWindow->window() : nullptr;
    if (!main || main == window)
        return;
    for (QAction* action : window->actions())
        window->removeAction(action);
    if (on)
        window->addActions(main->actions());
}

// ---- messages and events

void TWindowLessMan::WndProc(TMessage& message) {
    if (message.Msg == WM_DISPLAYCHANGE) {
        if (FWindowless)
            FWindowless->DisplayModeChanged();
        message.Result = 0;
        return;
    }
    TZvActionComponent::WndProc(message);
}

bool TWindowLessMan::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FHost) {
        if (event->type() == QEvent::Resize)
            Place();
        else if (event->type() == QEvent::Paint && !FFullScreen)
            PaintHost(FHost);
    }
    return TZvActionComponent::eventFilter(watched, event);
}
