// The grab: the frame the renderer shows (one drawn after the command while playing), optionally
// deinterlaced, stretched to the display aspect into the picture, shown on the thumbnail page and
// saved under the next name; the copy to the clipboard; the clicks on the video and the
// thumbnail.
#include "commands/uBooleanAction.h"
#include "commands/uCheckAction.h"
#include "commands/uDoubleAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "commands/uPointAction.h"
#include "commands/uWidestringAction.h"
#include "grabbing/main.h"
#include "grabbing/uNavframe.h"
#include "media/uNavMan.h"
#include "platform/ui/ProcessMessages.h"
#include "presentation/uVideoMan.h"
#include "taps/deinter.h"
#include "taps/uMediaDescriptions.h"

#include <cmath>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace {

// How long a grab while playing waits for a newly drawn frame before it takes the one shown
// (playback that ended or stalls draws none).
constexpr int kNewFrameWaitMs = 2000;

} // namespace

void TShowForm::CreateThumbnailPage() {
    QFrame* page = Pages[pgImagette];
    ThumbBevel = new QFrame(page);
    ThumbBevel->setFrameShape(QFrame::HLine);
    ThumbBevel->setFrameShadow(QFrame::Sunken);
    SnapLab = new QLabel(page);
    SnapLab->setObjectName(QStringLiteral("SnapLab"));
    labImagetteTaille = new QLabel(page);
    labImagetteTaille->setObjectName(QStringLiteral("labImagetteTaille"));
    Bevel3 = new QFrame(page);
    Bevel3->setObjectName(QStringLiteral("Bevel3"));
    Bevel3->setFrameShape(QFrame::Box);
    Bevel3->setFrameShadow(QFrame::Sunken);
    Image = new TClickLabel(page);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setScaledContents(true);
    Image->setToolTip(QStringLiteral(
        "Click on the thumbnail to move the current video to the thumbnail timestamp."));
    Image->OnClick = [this] {
        if (!SnapLab->text().isEmpty() && NavMan->waStrPosition)
            NavMan->waStrPosition->SetValue(SnapLab->text());
    };
    labsnapname = new TClickLabel(page);
    labsnapname->setObjectName(QStringLiteral("labsnapname"));
    labsnapname->setAlignment(Qt::AlignCenter);
    labsnapname->setAutoFillBackground(true);
    labsnapname->OnClick = [this] { SaveImage(); };
    ClearThumbnail();
}

void TShowForm::WireGrabActions() {
    naGrab->OnBeforeApply = [this] { Grab(); };
    naCopy->OnBeforeApply = [this] { Copy(); };
    videoPanel->installEventFilter(this);
}

void TShowForm::Grab(const std::function<void()>& afterCapture) {
    if (iaPanneauActif->Value() != pgImagette)
        iaPanneauActif->SetValue(pgImagette);
    GrabFrame();
    if (afterCapture)
        afterCapture();
    SaveImage();
    Bevel3->hide();
}

void TShowForm::Copy() {
    GrabFrame();
    if (!FGrabbed.isNull())
        QApplication::clipboard()->setImage(FGrabbed);
}

void TShowForm::GrabFrame() {
    if (NavMan->caPlay && NavMan->caPlay->Checked()) {
        // A frame drawn after the command, not the one on screen when it came.
        const int drawn = vidman->FramesDrawn();
        QElapsedTimer waited;
        waited.start();
        while (vidman->FramesDrawn() == drawn && waited.elapsed() < kNewFrameWaitMs)
            ProcessMessages();
    }
    BuildImageName();
    if (FHasVideo) {
        vidman->FetchCurrentImage(FGrabbed);
        NoteProvenance();
    }
    ComputePictureSizes(vidman->AspectX(), vidman->AspectY());
    if (baImageDeinterlacer->Value() && !FGrabbed.isNull()) {
        QImage deinterlaced;
        Deinterlace(FGrabbed, deinterlaced);
        FGrabbed = deinterlaced;
    }
    if (FGrabbed.height() <= 0 || FPictureSize.isEmpty())
        return;
    FPicture = FGrabbed.size() == FPictureSize
                   ? FGrabbed.convertToFormat(QImage::Format_RGB32)
                   : FGrabbed.scaled(FPictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB32);
    labImagetteTaille->setText(
        QStringLiteral("%1 x %2").arg(FPictureSize.width()).arg(FPictureSize.height()));
    Image->setPixmap(QPixmap::fromImage(FPicture));
    SnapLab->setText(navframe->CurrentEdit->text());
    labsnapname->setText(FNextImageName.mid(FNextImageName.lastIndexOf(QLatin1Char('/')) + 1));
    SetSnapSaved(false);
    LayoutThumbnail();
}

void TShowForm::NoteProvenance() {
    const TFramesNotifier* keeper = NavMan->FramesNotifier();
    const int64_t position = keeper ? keeper->Position() : 0;
    const int64_t frame = NavMan->FrameDuration();
    FProvenance = {};
    FProvenance.SourceFile = FCurrentFile;
    FProvenance.PositionText = FormatPositionText(frame, position);
    FProvenance.FrameIndex = frame > 0 ? (position + frame / 2) / frame : -1;
    if (FLastDVFrame.TimecodeValid)
        FProvenance.Timecode = FLastDVFrame.TimecodeText;
    if (FLastDVFrame.DateValid)
        // Whole seconds of the recording, moved by the offset, as the DV date page shows it.
        FProvenance.DateTimeOriginal =
            std::floor(FLastDVFrame.RecordingDate * 86400.0 + 1e-6) / 86400.0 +
            daDecalageHoraire->Value();
}

void TShowForm::ComputePictureSizes(int ax, int ay) {
    const QSize native = FHasVideo ? FGrabbed.size() : QSize(0, 0);
    const TRect fitted =
        FitRectToAspect(ax, ay, TRect{0, 0, native.width(), native.height()}, false, 0);
    FPictureSize = QSize(fitted.Width(), fitted.Height());
}

void TShowForm::LayoutThumbnail() {
    QFrame* page = Pages[pgImagette];
    const TRect box{0, 0, page->width(), page->height()};
    const TRect r = FitRectToAspect(FPictureSize.width(), FPictureSize.height(), box, true, 12);
    const QRect image(r.Left, r.Top, r.Width(), r.Height());
    Image->setGeometry(image);
    Bevel3->setGeometry(image);
    labsnapname->setGeometry(image.left(), image.bottom() + 1, image.width(), 22);
    SnapLab->setGeometry(image.left(), image.top() - 34, image.width(), 20);
    ThumbBevel->setGeometry(image.left(), image.top() - 42, image.width(), 2);
    labImagetteTaille->setGeometry(image.left(), image.top() - 12, image.width(), 12);
}

void TShowForm::SetSnapSaved(bool saved) {
    QPalette palette = labsnapname->palette();
    if (saved) {
        palette.setColor(QPalette::Window, QColor(192, 220, 192));
        labsnapname->setToolTip(QStringLiteral("This picture has already been saved"));
        labsnapname->setCursor(Qt::ArrowCursor);
    } else {
        palette.setColor(QPalette::Window, palette.color(QPalette::Button));
        labsnapname->setToolTip(QStringLiteral(
            "This picture has not yet been saved\r\nClick on this label to save it"));
        labsnapname->setCursor(Qt::PointingHandCursor);
    }
    labsnapname->setPalette(palette);
}

void TShowForm::ClearThumbnail() {
    Image->clear();
    labImagetteTaille->clear();
    SnapLab->clear();
    labsnapname->clear();
    labsnapname->setPalette(Pages[pgImagette]->palette());
    Bevel3->show();
    Bevel3->raise();
}

bool TShowForm::VideoPressed(QMouseEvent* event) {
    if (!FHasVideo || event->button() != Qt::LeftButton)
        return false;
    if (caSliders->Checked()) {
        const TRect& r = FVideoRect;
        if (r.Width() <= 0 || r.Height() <= 0)
            return true;
        const QPoint at = event->position().toPoint();
        if (vidman->paInsertPosition)
            vidman->paInsertPosition->SetValue(TPoint{(at.x() - r.Left) * 10000 / r.Width(),
                                                      (at.y() - r.Top) * 10000 / r.Height()});
    } else if (baSauverQuandClic->Value()) {
        naGrab->Execute();
    } else {
        naCopy->Execute();
    }
    return true;
}

bool TShowForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == videoPanel && event->type() == QEvent::MouseButtonPress)
        return VideoPressed(static_cast<QMouseEvent*>(event));
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        if (qobject_cast<QLineEdit*>(watched))
            SetPlayAndVolumeKeys(event->type() == QEvent::FocusOut);
    return QMainWindow::eventFilter(watched, event);
}
