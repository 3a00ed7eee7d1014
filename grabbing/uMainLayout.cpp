// The main window's layout: where each part goes for the client area's size and the side the
// video is on, the settings page in front, and the inlay's position sliders along the video.
#include "commands/uCheckAction.h"
#include "commands/uIntegerAction.h"
#include "grabbing/main.h"
#include "grabbing/uIntervalloFrame.h"
#include "grabbing/uNavframe.h"
#include "presentation/uVideoMan.h"
#include "shell/uZvControls.h"

#include <QFrame>
#include <QLayout>
#include <QSlider>
#include <QToolBar>

namespace {

constexpr int kTitleTop = 30;
constexpr int kBarHeight = 24;
constexpr int kPageTop = 56;
constexpr int kStreamTop = 56;
constexpr int kStreamHeight = 28;
constexpr int kVideoTop = 86;
// The video host's extra indent while the inlay sliders are hidden.
constexpr int kSliderRoom = 11;

} // namespace

void TShowForm::Layout() {
    const int cw = Client->width();
    const int ch = Client->height();
    int bevelX = 0;
    if (caBasculerVue->Checked()) {
        iaLeftFrame->SetValue(cw - PageWidth);
        FLeftOffset = 0;
        bevelX = iaLeftFrame->Value() - 1;
    } else {
        iaLeftFrame->SetValue(0);
        FLeftOffset = PageWidth;
        bevelX = PageWidth + 1;
    }
    barUnique->setGeometry(0, 0, cw, 29);
    Bevel2->setGeometry(0, 29, cw, 2);
    Bevel1->setGeometry(bevelX, 54, 2, ch - 84);
    PanelTitre->setGeometry(0, kTitleTop, cw, kBarHeight);
    EnCoursLab->setGeometry(8, 2, cw - 96, 20);
    scnLab->move(cw - 30, 2);
    srtlab->move(cw - 48, 2);
    moddlab->move(cw - 80, 2);
    panelImage->setGeometry(0, ch - kBarHeight, cw, kBarHeight);
    ImageLab->resize(cw - 36, kBarHeight);

    const int videoLeft = FLeftOffset + 8 + (Xslider->isVisible() ? 0 : kSliderRoom);
    const int videoWidth = cw - 314;
    videoPanel->setGeometry(videoLeft, kVideoTop, videoWidth, ch - 238);
    const int videoBottom = videoPanel->geometry().bottom() + 1;
    navframe->move((videoWidth - navframe->width()) / 2 + videoLeft, videoBottom);
    intervalloframe->move(navframe->x(), videoBottom);

    PanelHaut->setGeometry(videoLeft, kStreamTop, videoWidth, kStreamHeight);
    const int half = videoWidth / 2 - 2;
    labFormatVideo->setGeometry(2, 0, half - 2, 14);
    labDecoderVideo->setGeometry(2, 14, half - 2, 14);
    labFormatAudio->setGeometry(half, 0, half - 2, 14);
    labDecoderAudio->setGeometry(half, 14, half - 2, 14);

    for (QFrame* page : Pages)
        page->setGeometry(iaLeftFrame->Value(), kPageTop, PageWidth, ch - 80);
    // The options page is laid over the whole window by the application manager.
    // The separators share what the buttons leave of the bar, so that the last button (Quit)
    // never falls into the bar's overflow menu.
    int buttons = 0;
    for (TZvToolButton* b : barUnique->findChildren<TZvToolButton*>(Qt::FindDirectChildrenOnly))
        buttons += b->sizeHint().width() + barUnique->layout()->spacing();
    const QMargins margins = barUnique->contentsMargins() + barUnique->layout()->contentsMargins();
    const int room = cw - buttons - margins.left() - margins.right() - 16;
    const int separator = std::max(0, std::min((cw - 580) / 4, room / 4));
    for (QWidget* s : ToolSeparators)
        if (s)
            s->setFixedWidth(separator);

    vidman->Place();
    ReadVideoRects();
    PlaceInlaySliders();
    LayoutThumbnail();
    videoPanel->update();
}

void TShowForm::ReadVideoRects() {
    FVideoRect = {};
    FSourceRect = {};
    IVMRWindowlessControl9* windowless = vidman->Windowless();
    RECT source{}, target{};
    if (!windowless || FAILED(windowless->GetVideoPosition(&source, &target)))
        return;
    FSourceRect = {source.left, source.top, source.right, source.bottom};
    FVideoRect = {target.left, target.top, target.right, target.bottom};
}

void TShowForm::PlaceInlaySliders() {
    const QRect panel = videoPanel->geometry();
    const TRect& r = FVideoRect;
    const int sliderWidth = Yslider->sizeHint().width();
    const int sliderHeight = Xslider->sizeHint().height();
    Yslider->setGeometry(panel.left() + r.Right, panel.top() + r.Top - 6, sliderWidth,
                         r.Height() + 12);
    Xslider->setGeometry(panel.left() + r.Left - 6, panel.top() + r.Bottom, r.Width() + 12,
                         sliderHeight);
}

void TShowForm::SlidersShown(bool shown) {
    videoPanel->move(FLeftOffset + 8 + (shown ? 0 : kSliderRoom), videoPanel->y());
    Xslider->setVisible(shown);
    Yslider->setVisible(shown);
    navframe->setVisible(!shown && (FHasVideo || FHasAudio));
    intervalloframe->setVisible(!shown && caIntervalloShow->Checked());
    if (intervalloframe->isVisible())
        intervalloframe->raise();
    if (shown && vidman->caInsertTextOn)
        vidman->caInsertTextOn->SetChecked(true);
    vidman->Place();
    ReadVideoRects();
    PlaceInlaySliders();
}

void TShowForm::ShowPage(int page) {
    for (QFrame* p : Pages)
        p->hide();
    for (TZvToolButton* b : PageButtons)
        if (b)
            b->SetDown(false);
    if (page < 0 || page >= int(Pages.size()))
        return;
    Pages[size_t(page)]->show();
    Pages[size_t(page)]->raise();
    if (PageButtons[size_t(page)])
        PageButtons[size_t(page)]->SetDown(true);
}

int TShowForm::ActivePage() const {
    for (size_t i = 0; i < PageButtons.size(); ++i)
        if (PageButtons[i] && PageButtons[i]->Down())
            return int(i);
    return -1;
}
