#pragma once
// What the video renderer presents, shared by the filter (streaming thread and interface
// calls), the surface widget that shows it and the current-image read-back: the input format,
// the last frame, the mixer, and where the picture goes (source and destination rectangles,
// aspect-ratio mode, border colour). The composed image ("as displayed") is built when it is
// first asked for after a change and kept until the next one.
//
// Thread contract: every member may be called from any thread; one lock guards the state and is
// never held while the repaint request runs.
#include "platform/filters/RendererInterfaces.h"
#include "platform/filters/VideoMixer.h"
#include "platform/filters/VideoRendererFormat.h"

#include <functional>
#include <mutex>
#include <optional>

#include <QImage>
#include <QRect>

class QPainter;

class TVideoPresenter {
public:
    // Format of the input, or none when it is not connected; clears the frame when the
    // picture's size changes. Answers whether the size changed.
    bool SetFormat(const std::optional<TVideoFormat>& format);
    std::optional<TVideoFormat> Format() const;
    // A new frame to show (an upright RGB32 image of the picture).
    void ShowFrame(QImage frame);
    // The frame shown before the current one, to be filled again (its pixels are reused when
    // nothing else holds them); a null image when there is none.
    QImage TakeSpareFrame();
    void ClearFrame();
    bool HasFrame() const;

    // Runs f on the mixer under the lock; the composed image is built anew afterwards.
    template <typename F>
    auto WithMixer(F&& f) {
        std::lock_guard lock(FLock);
        FCompositeValid = false;
        return f(FMixer);
    }
    // Reads the mixer under the lock.
    template <typename F>
    auto ReadMixer(F&& f) const {
        std::lock_guard lock(FLock);
        return f(static_cast<const TVideoMixer&>(FMixer));
    }

    // Source in video pixels (null: unchanged; empty when no size is known: the whole video),
    // destination in the window's client coordinates (null: unchanged).
    HRESULT SetVideoPosition(const RECT* source, const RECT* destination);
    void GetVideoPosition(RECT* source, RECT* destination) const;
    RECT Destination() const;
    void SetAspectRatioMode(DWORD mode);
    DWORD AspectRatioMode() const;
    void SetBorderColor(COLORREF color);
    COLORREF BorderColor() const;
    void SetRenderingPrefs(DWORD prefs);
    DWORD RenderingPrefs() const;

    // The image as displayed (null when there is no frame).
    QImage Composite() const;
    // Paints the picture into `area` of the painter's device: the displayed part of the image,
    // letter-boxed in the border colour when the aspect-ratio mode asks for it.
    void Paint(QPainter& painter, const QRect& area) const;
    // Where the picture lands inside `area` (all of it unless letter-boxed).
    QRect PictureRect(const QRect& area) const;

    // Called (without the lock) after every new frame, from the thread that brought it, and by
    // RequestRepaint.
    void SetRepaintRequest(std::function<void()> request);
    void RequestRepaint() const;

private:
    QRect SourceRectLocked() const;
    QRect PictureRectLocked(const QRect& area) const;
    QImage CompositeLocked() const;

    mutable std::mutex FLock;
    // guarded by FLock
    std::optional<TVideoFormat> FFormat;
    QImage FFrame;
    QImage FSpare; // the frame before FFrame
    TVideoMixer FMixer;
    mutable QImage FComposite;
    mutable bool FCompositeValid = false;
    RECT FSource;
    bool FSourceSet = false;
    RECT FDestination;
    DWORD FAspectMode = VMR9ARMode_None;
    COLORREF FBorder = 0;
    DWORD FRenderPrefs = 0;
    std::function<void()> FRepaint;
    // end of fields guarded by FLock
};

// The largest rectangle of aspect ax:ay centred in `area` (the area itself when the aspect
// is not positive).
QRect LetterBoxRect(const QRect& area, qint64 ax, qint64 ay);

// A packed DIB of an RGB32 image: BITMAPINFOHEADER and bottom-up 32-bit rows; `out` holds
// PackedDibSize(image) bytes.
size_t PackedDibSize(const QImage& image);
void WritePackedDib(const QImage& image, BYTE* out);
