#include "shell/uZvAppliMan.h"

#include "commands/uActionRows.h"
#include "commands/uCheckAction.h"
#include "commands/uHelpForm.h"
#include "commands/uMacroRecorder.h"
#include "commands/uNopeAction.h"
#include "commands/uRectAction.h"
#include "commands/uScriptForm.h"
#include "commands/uZvSwitch.h"
#include "platform/os/DesktopServices.h"
#include "platform/ui/Colors.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/ShortCuts.h"
#include "scripting/uZvScript.h"
#include "shell/uAbout.h"
#include "shell/uLinkEdit.h"
#include "shell/uZvVersion.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QWidget>

const QString TZvAppliMan::CloseOptionsTarget = QStringLiteral("closeOptions");
const QString TZvAppliMan::CloseAboutTarget = QStringLiteral("closeAbout");

namespace {

const QString kCloseHint =
    QStringLiteral("Click to close that page\nand return to the application");

// A round question mark: the help window.
QIcon HelpIcon() {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 60, 140), 1));
    painter.setBrush(QColor(70, 120, 210));
    painter.drawEllipse(QRectF(1, 1, 18, 18));
    QFont font = QApplication::font();
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(pixmap);
}

// A red switch-off sign: quitting the program.
QIcon QuitIcon() {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(190, 30, 30), 2.4, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.drawArc(QRectF(3, 4, 14, 14), 120 * 16, 300 * 16);
    painter.drawLine(QPointF(10, 2.5), QPointF(10, 10));
    return QIcon(pixmap);
}

// The pictures of the manager's actions, shared by every manager of the process: the first one
// makes the list, the last one to let it go destroys it. Indexes: 0 settings, 1 about, 2 help,
// 3 script, 4 quit.
std::shared_ptr<TImageList> AcquireTaskelImages() {
    static std::weak_ptr<TImageList> shared;
    if (std::shared_ptr<TImageList> images = shared.lock())
        return images;
    auto images = std::make_shared<TImageList>();
    QStyle* style = QApplication::style();
    const auto standard = [style](QStyle::StandardPixmap pixmap) {
        return style ? style->standardIcon(pixmap) : QIcon();
    };
    images->Add(standard(QStyle::SP_FileDialogDetailedView));
    images->Add(standard(QStyle::SP_MessageBoxInformation));
    images->Add(HelpIcon());
    images->Add(standard(QStyle::SP_FileDialogContentsView));
    images->Add(QuitIcon());
    shared = images;
    return images;
}

// Unchecks the page action as the program does it: the state and its effects, no macro line.
void Uncheck(TCheckAction* action) {
    if (!action)
        return;
    const TMacroScope silent([] { return QString(); });
    action->SetChecked(false);
}

void Paint(QWidget* widget, TColor colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ToQColor(colour));
    widget->setPalette(palette);
}

} // namespace

TZvAppliMan::TZvAppliMan(QWidget* owner) : TZvActionComponent(owner), FForm(owner) {
    setObjectName(QStringLiteral("am"));
    OpenUrl = [](const QString& address) { return kelvara::os::OpenUrl(address); };
    CreatePanels();
    FHelpForm = new THelpForm(owner);
    FScriptForm = new TScriptForm(owner);
    FSwitches = new TZvSwitch(this);
    SetPascalScript(FScriptForm->ZvScript());
    FHelpForm->SetClosedHandler([this] { Uncheck(caHelp); });
    FScriptForm->SetClosedHandler([this] { Uncheck(caScript); });
    CreateOptionsClose();
    FImages = AcquireTaskelImages();
    SetImages(FImages.get());
}

TZvAppliMan::~TZvAppliMan() {
    SetImages(nullptr);
    SetSwitch(nullptr);
    SetPascalScript(nullptr);
    if (FWinControl)
        FWinControl->removeEventFilter(this);
    // The windows go before the runner and the lists they refer to.
    delete FHelpForm.data();
    delete FScriptForm.data();
}

TScriptForm* TZvAppliMan::ScriptForm() const {
    return FScriptForm.data();
}

THelpForm* TZvAppliMan::HelpForm() const {
    return FHelpForm.data();
}

TZvScript* TZvAppliMan::ScriptHost() const {
    return FScriptForm ? FScriptForm->ZvScript() : nullptr;
}

QWidget* TZvAppliMan::MainForm() const {
    return FForm ? FForm->window() : nullptr;
}

// ---- panels and frames

void TZvAppliMan::CreatePanels() {
    const auto panel = [this](const char* name, TColor colour) {
        auto* p = new QWidget(FForm);
        p->setObjectName(QString::fromLatin1(name));
        Paint(p, colour);
        p->hide();
        p->installEventFilter(this);
        return p;
    };
    FOptionsPanel = panel("OptionsPanel", clSilver);
    FCustomPanel = panel("CustomPanel", clSilver);
    FAboutPanel = panel("AboutPanel", clAppWorkSpace);
}

void TZvAppliMan::CreateOptionsClose() {
    FOptionsClose = new TLinkEdit(FOptionsPanel);
    FOptionsClose->setObjectName(QStringLiteral("OptionsClose"));
    FOptionsClose->resize(180, 40);
    FOptionsClose->setFrameShape(QFrame::NoFrame);
    FOptionsClose->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FOptionsClose->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TFont font = FOptionsClose->TextFont();
    font.SetSize(8);
    font.Style = TFontStyles(fsBold | fsItalic);
    font.Color = clMaroon;
    FOptionsClose->SetTextFont(font);
    FOptionsClose->SetRichText(CloseText(QStringLiteral("F10"), CloseOptionsTarget));
    FOptionsClose->setReadOnly(true);
    FOptionsClose->hide();
    WireCloseLink(FOptionsClose);
}

void TZvAppliMan::WireCloseLink(TLinkEdit* link) {
    link->OnCustomLinkClick = [this](const QString& target) {
        if (target == CloseAboutTarget && caAbout)
            caAbout->SetChecked(false);
        else if (target == CloseOptionsTarget && caOptions)
            caOptions->SetChecked(false);
    };
    link->OnCustomLinkHint = [](const QString& target, QString& hint) {
        if (target == CloseAboutTarget || target == CloseOptionsTarget)
            hint = kCloseHint;
    };
}

void TZvAppliMan::SetWinControl(QWidget* control) {
    if (FWinControl == control)
        return;
    if (FWinControl)
        FWinControl->removeEventFilter(this);
    FWinControl = control;
    if (!control)
        return;
    for (QWidget* panel : {FOptionsPanel.data(), FCustomPanel.data(), FAboutPanel.data()}) {
        if (!panel)
            continue;
        panel->setParent(control);
        panel->hide();
    }
    control->installEventFilter(this);
    PlacePanels();
}

void TZvAppliMan::SetTopMargin(int pixels) {
    FTopMargin = std::max(0, pixels);
    PlacePanels();
}

void TZvAppliMan::PlacePanels() {
    if (!FWinControl)
        return;
    const QRect area = FWinControl->rect().adjusted(0, FTopMargin, 0, 0);
    for (QWidget* panel : {FOptionsPanel.data(), FCustomPanel.data(), FAboutPanel.data()})
        if (panel)
            panel->setGeometry(area);
}

void TZvAppliMan::CentreFrame(QWidget* panel) {
    QWidget* frame = panel == FOptionsPanel  ? FOptionsFrame.data()
                     : panel == FCustomPanel ? FCustomFrame.data()
                     : panel == FAboutPanel  ? FAboutFrame.data()
                                             : nullptr;
    if (frame && frame->parentWidget() == panel)
        frame->move((panel->width() - frame->width()) / 2, (panel->height() - frame->height()) / 2);
}

bool TZvAppliMan::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == FWinControl)
            PlacePanels();
        else if (auto* panel = qobject_cast<QWidget*>(watched);
                 panel && (panel == FOptionsPanel || panel == FCustomPanel || panel == FAboutPanel))
            CentreFrame(panel);
    }
    return TZvActionComponent::eventFilter(watched, event);
}

void TZvAppliMan::SetOptionsFrame(QWidget* frame) {
    FOptionsFrame = frame;
    if (!frame)
        return;
    frame->setParent(FOptionsPanel);
    frame->hide();
    if (!FOptionsClose) // it went with the frame it was on
        CreateOptionsClose();
    FOptionsClose->setParent(frame);
    FOptionsClose->move(frame->width() - 16 - FOptionsClose->width(),
                        frame->height() - 16 - FOptionsClose->height());
    QPalette palette = FOptionsClose->palette();
    palette.setColor(QPalette::Base, frame->palette().color(QPalette::Window));
    FOptionsClose->setPalette(palette);
    FOptionsClose->setVisible(FOptionsCloseVisible);
    FOptionsClose->raise();
    CentreFrame(FOptionsPanel);
}

void TZvAppliMan::SetOptionsCloseVisible(bool visible) {
    FOptionsCloseVisible = visible;
    if (FOptionsClose && FOptionsFrame)
        FOptionsClose->setVisible(visible);
}

void TZvAppliMan::SetCustomFrame(QWidget* frame) {
    FCustomFrame = frame;
    if (!frame)
        return;
    frame->setParent(FCustomPanel);
    frame->hide();
    CentreFrame(FCustomPanel);
}

void TZvAppliMan::SetAboutFrame(QWidget* frame) {
    FAboutFrame = frame;
    if (!frame)
        return;
    frame->setParent(FAboutPanel);
    frame->hide();
    if (auto* about = dynamic_cast<TAboutFrame*>(frame))
        WireCloseLink(about->leClose);
    CentreFrame(FAboutPanel);
}

void TZvAppliMan::ShowPage(QWidget* panel, QWidget* frame, bool shown) {
    if (!frame || !panel) {
        if (panel && !shown)
            panel->hide();
        return;
    }
    if (shown) {
        PlacePanels();
        CentreFrame(panel);
        frame->show();
        frame->raise();
        panel->show();
        panel->raise();
    } else {
        frame->hide();
        panel->hide();
    }
}

// ---- the about page's texts

QString TZvAppliMan::CloseText(const QString& key, const QString& target) {
    return QStringLiteral("Type %1 to close this page or <link %2>click here</link>.")
        .arg(key, target);
}

QString TZvAppliMan::UsesText() const {
    QString uses;
    for (qsizetype i = 0; i < TitreUses.size(); ++i)
        uses += QStringLiteral("<url ") + UrlUses.value(i) + QLatin1Char('>') + TitreUses.at(i) +
                QStringLiteral("</url>, ");
    if (uses.isEmpty())
        return uses;
    uses.chop(2);
    return QStringLiteral("It uses ") + uses + QStringLiteral(".<br><br>");
}

QString TZvAppliMan::InfosText(const QString& usesText) {
    const QString program = QStringLiteral("Kelvara");
    const QString opening =
        QStringLiteral("<font Arial>%1 takes still pictures out of video files: open a video, "
                       "step or seek to the frame you want and grab it. It is written by <b><mail "
                       "%2>%3</mail></b>.<br><br>")
            .arg(program, kelvara::ZvContactAddress(), kelvara::ZvAuthor());
    const QString rest =
        QStringLiteral("Its last update has been made on %1. <br><br>To check for updates, or get "
                       "help visit the <url %2>homepage</url> or read the <url %3>documentation"
                       "</url> of %4. To report bugs or make suggestions, contribute to the <url "
                       "%5>forum </url>of %6.</Font>")
            .arg(kelvara::ZvLastUpdate(), kelvara::ZvHomePage(), kelvara::ZvDocumentationPage(),
                 program, kelvara::ZvForumPage(), program);
    return opening + usesText + rest;
}

QString TZvAppliMan::EMailLink() {
    return kelvara::os::MailLink(kelvara::ZvContactAddress(),
                                 QStringLiteral("About ") + kelvara::ZvFullName());
}

void TZvAppliMan::FillAbout() {
    auto* about = dynamic_cast<TAboutFrame*>(FAboutFrame.data());
    if (!about)
        return;
    about->labTitre->setText(kelvara::ZvFullName());
    about->leInfos->SetRichText(InfosText(UsesText()));
    about->leClose->SetRichText(CloseText(QStringLiteral("F11"), CloseAboutTarget));
    about->leClose->setReadOnly(true);
}

// ---- actions

void TZvAppliMan::CreateActions() {
    for (const char* id : {"caScript", "caHelp", "caAbout", "caOptions", "caCustom"})
        new TCheckAction(QString::fromLatin1(id), this);
    for (const char* id : {"naQuit", "naEMail", "naHomePage"})
        new TNopeAction(QString::fromLatin1(id), this);
    new TRectAction(QStringLiteral("raFormSave"), this);
}

void TZvAppliMan::InitActions() {
    static const TActionRow rows[] = {
        {"caScript", "Script", ShortCut(VK_F1 + 11), false},
        {"caHelp", "Help", ShortCut(VK_F1), false},
        {"caAbout", "About", ShortCut(VK_F1 + 10), false},
        {"caOptions", "Options", ShortCut(VK_F1 + 9), false},
        {"caCustom", "Custom", ShortCut(VK_F1 + 9, scAlt), false},
        {"naQuit", "Quit", ShortCut(VK_F1 + 3, scAlt), false},
        {"naEMail", "EMail", ShortCut(VK_F1 + 4, scAlt), false},
        {"naHomePage", "HomePage", ShortCut(VK_F1 + 5, scAlt), false},
        {"raFormSave", "FormSave", 0, true},
    };
    InitActionRows(*this, rows);
}

void TZvAppliMan::FindActions() {
    caScript = FindAction<TCheckAction>(QStringLiteral("caScript"));
    caHelp = FindAction<TCheckAction>(QStringLiteral("caHelp"));
    caAbout = FindAction<TCheckAction>(QStringLiteral("caAbout"));
    caOptions = FindAction<TCheckAction>(QStringLiteral("caOptions"));
    caCustom = FindAction<TCheckAction>(QStringLiteral("caCustom"));
    naQuit = FindAction<TNopeAction>(QStringLiteral("naQuit"));
    naEMail = FindAction<TNopeAction>(QStringLiteral("naEMail"));
    naHomePage = FindAction<TNopeAction>(QStringLiteral("naHomePage"));
    raFormSave = FindAction<TRectAction>(QStringLiteral("raFormSave"));
}

void TZvAppliMan::InitCheckAction(TCheckAction* action, const char* caption, const char* trueHint,
                                  const char* falseHint, int image) {
    if (!action)
        return;
    action->SetDefaultValue(false);
    action->SetTrueCaption(QString::fromLatin1(caption));
    action->SetFalseCaption(QString::fromLatin1(caption));
    action->SetTrueHint(QString::fromLatin1(trueHint));
    action->SetFalseHint(QString::fromLatin1(falseHint));
    action->SetTrueImageIndex(image);
    action->SetFalseImageIndex(image);
}

void TZvAppliMan::WireActions() {
    if (FSwitches)
        SetSwitch(FSwitches);
    InitCheckAction(caScript, "Script", "Click to close the Script Page",
                    "Click to Show the Script Page", 3);
    InitCheckAction(caHelp, "Help", "Click to close the Help Page",
                    "Click to display the Help page", 2);
    InitCheckAction(caAbout, "About", "Click to close the About page",
                    "Click to display the About Page...", 1);
    InitCheckAction(caOptions, "Settings", "Click to close the Settings Page",
                    "Click to display the Settings Page", 0);
    InitCheckAction(caCustom, "Custom Frame", "", "", -1);
    if (naQuit) {
        naQuit->SetCaption(QStringLiteral("Quit"));
        naQuit->SetHint(QStringLiteral("Quit Kelvara"));
        naQuit->SetImageIndex(4);
    }
    if (naEMail)
        naEMail->SetCaption(QStringLiteral("E-mail"));
    if (naHomePage)
        naHomePage->SetCaption(QStringLiteral("Homepage"));
    if (raFormSave)
        raFormSave->SetCaption(QString());
    WireWindowActions();
    WirePageActions();
    WireFormSave();
}

void TZvAppliMan::WireWindowActions() {
    if (caScript) {
        caScript->OnInternalTrueApply = [this] {
            if (FScriptForm)
                FScriptForm->ShowScriptWindow();
        };
        caScript->OnInternalFalseApply = [this] {
            if (FScriptForm)
                FScriptForm->hide();
        };
    }
    if (caHelp) {
        caHelp->OnInternalTrueApply = [this] {
            if (!FHelpForm)
                return;
            FHelpForm->show();
            FHelpForm->raise();
            FHelpForm->activateWindow();
        };
        caHelp->OnInternalFalseApply = [this] {
            if (FHelpForm)
                FHelpForm->hide();
        };
    }
    if (naQuit)
        naQuit->OnInternalApply = [this] {
            if (QWidget* form = MainForm())
                form->close();
        };
    if (naEMail)
        naEMail->OnInternalApply = [this] {
            if (OpenUrl)
                OpenUrl(EMailLink());
        };
    if (naHomePage)
        naHomePage->OnInternalApply = [this] {
            if (OpenUrl)
                OpenUrl(kelvara::ZvHomePage());
        };
}

void TZvAppliMan::WirePageActions() {
    if (caAbout) {
        caAbout->OnInternalTrueApply = [this] {
            Uncheck(caOptions);
            Uncheck(caCustom);
            if (FAboutFrame)
                FillAbout();
            ShowPage(FAboutPanel, FAboutFrame, true);
        };
        caAbout->OnInternalFalseApply = [this] { ShowPage(FAboutPanel, FAboutFrame, false); };
    }
    if (caOptions) {
        caOptions->OnInternalTrueApply = [this] {
            Uncheck(caAbout);
            Uncheck(caCustom);
            ShowPage(FOptionsPanel, FOptionsFrame, true);
        };
        caOptions->OnInternalFalseApply = [this] { ShowPage(FOptionsPanel, FOptionsFrame, false); };
    }
    if (caCustom) {
        caCustom->OnInternalTrueApply = [this] {
            ShowPage(FCustomPanel, FCustomFrame, true);
            Uncheck(caAbout);
            Uncheck(caOptions);
        };
        caCustom->OnInternalFalseApply = [this] { ShowPage(FCustomPanel, FCustomFrame, false); };
    }
}

// The main window's bounds: centred on its screen by default, the current bounds when saved; a
// saved rectangle without a size, or one that no screen shows any more, is not applied as such.
void TZvAppliMan::WireFormSave() {
    if (!raFormSave)
        return;
    const auto screenOf = [this]() -> QRect {
        QWidget* form = MainForm();
        QScreen* screen =
            form && form->screen() ? form->screen() : QGuiApplication::primaryScreen();
        return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    };
    const auto centred = [screenOf](QSize size) {
        const QRect screen = screenOf();
        const int left = (screen.width() - size.width()) / 2;
        const int top = (screen.height() - size.height()) / 2;
        return TRect{left, top, left + size.width(), top + size.height()};
    };
    raFormSave->OnInternalDefault = [this, centred](TRect& value) {
        if (QWidget* form = MainForm())
            value = centred(form->size());
        return true;
    };
    raFormSave->OnInternalBeforeSave = [this](TRect& value) {
        if (QWidget* form = MainForm()) {
            const QRect g = form->geometry();
            value = TRect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
        }
        return true;
    };
    raFormSave->OnInternalApply = [this, centred](const TRect& value) {
        QWidget* form = MainForm();
        if (!form || value.Width() <= 0 || value.Height() <= 0)
            return;
        QRect bounds(value.Left, value.Top, value.Width(), value.Height());
        bool seen = false;
        for (QScreen* screen : QGuiApplication::screens())
            seen = seen || screen->geometry().intersects(bounds);
        if (!seen) {
            const TRect c = centred(bounds.size());
            bounds.moveTo(c.Left, c.Top);
        }
        form->setGeometry(bounds);
    };
}
