#include "grabbing/main.h"

#include "commands/uBooleanAction.h"
#include "commands/uCheckAction.h"
#include "commands/uHelpForm.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "commands/uScriptForm.h"
#include "commands/uSuperAction.h"
#include "commands/uWidestringAction.h"
#include "commands/uZvSwitch.h"
#include "grabbing/DVincrustUnit.h"
#include "grabbing/uImagesOptions.h"
#include "grabbing/uIncrustFrame.h"
#include "grabbing/uIntervalloFrame.h"
#include "grabbing/uNavframe.h"
#include "grabbing/uOptionsFrame.h"
#include "media/uMediaFactory.h"
#include "media/uNavMan.h"
#include "media/uPrivateLAV.h"
#include "platform/filters/RegisterFilters.h"
#include "platform/os/UserFolders.h"
#include "platform/ui/Application.h"
#include "platform/ui/ProcessMessages.h"
#include "platform/ui/RxSlider.h"
#include "platform/ui/ShortCuts.h"
#include "platform/ui/ThreadedTimer.h"
#include "preferences/uPreferences.h"
#include "presentation/uAudioMan.h"
#include "presentation/uTextGauge.h"
#include "presentation/uVideoMan.h"
#include "scripting/uZvScript.h"
#include "shell/uAbout.h"
#include "shell/uFichierMan.h"
#include "shell/uZvAppliMan.h"
#include "shell/uZvControls.h"
#include "shell/uZvVersion.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMouseEvent>

void TClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && OnClick) {
        OnClick();
        return;
    }
    QLabel::mousePressEvent(event);
}

namespace {

const QString kMainSection = QStringLiteral("ShowForm");
const QString kScriptSection = QStringLiteral("ScriptForm");
// The height of the toolbar above the pages that the application manager lays over the window.
constexpr int kBarHeight = 30;

} // namespace

TShowForm::TShowForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("ShowForm"));
    setWindowTitle(QStringLiteral("%1 by %2").arg(kelvara::ZvFullName(), kelvara::ZvAuthor()));
    resize(1024, 720);
    setMinimumSize(860, 560);
    CreateComponents();
    CreateWidgets();
    CreateMainActions();
    WireMainActions();
    ConnectComponents();
    ConnectNotifications();
    CreateMenus();
    CreateToolBar();
    CreatePopupMenu();
    ResolveSharedShortcuts();
    SetActionIcons();
    EnableVideoControls(false);
    EnableAudioControls(false);
    Application().SetMainWindow(this);
}

TShowForm::~TShowForm() {
    FScreenSaver.Release();
    TimerSysDate.reset(); // its ticks use the video manager
    // The users of the graph go before the graph manager, the managers before the widgets
    // they draw on. The application manager (its script and help windows refer to the lists of
    // every other component) goes first.
    delete am;
    delete audman;
    delete vidman;
    delete mf;
    delete ficman;
    delete NavMan;
    delete gp;
}

void TShowForm::CreateComponents() {
    RegisterPlatformFilters(); // before the managers make their renderers
    gpal = new TZvActionList(this);
    gpal->setObjectName(QStringLiteral("gpal"));
    gp = new TTaskelPreferences(this);
    gp->SetTitre(QStringLiteral("Kelvara"));
    gp->SetVersion(kelvara::ZvFullName() + QStringLiteral(" by ") + kelvara::ZvAuthor());
    gp->OnLoadPrefs = [this](TTaskelPreferences&) { LoadPrefs(); };
    gp->OnSavePrefs = [this](TTaskelPreferences&) { SavePrefs(); };
    NavMan = new TNavMan(this);
    NavMan->setObjectName(QStringLiteral("NavMan"));
    NavMan->BuildActions();
    mf = new TMediaFactory(this);
    mf->SetGrapheMan(NavMan);
    vidman = new TVideoMan(this);
    vidman->setObjectName(QStringLiteral("vidman"));
    vidman->BuildActions();
    audman = new TAudioMan(this);
    audman->setObjectName(QStringLiteral("audman"));
    audman->BuildActions();
    ficman = new TFichierMan(this);
    ficman->setObjectName(QStringLiteral("ficman"));
    ficman->BuildActions();
    am = new TZvAppliMan(this);
    am->BuildActions();
}

TZvSwitch* TShowForm::Switches() const {
    return am ? am->Switches() : nullptr;
}

void TShowForm::CreateWidgets() {
    Client = new QWidget(this);
    Client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(Client);
    Bevel2 = new QFrame(Client);
    Bevel2->setFrameShape(QFrame::HLine);
    Bevel2->setFrameShadow(QFrame::Sunken);
    Bevel1 = new QFrame(Client);
    Bevel1->setFrameShape(QFrame::VLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    CreateTitleBar();
    CreateStreamBar();
    videoPanel = new QWidget(Client);
    videoPanel->setObjectName(QStringLiteral("videoPanel"));
    videoPanel->setAttribute(Qt::WA_OpaquePaintEvent);
    videoPanel->setContextMenuPolicy(Qt::CustomContextMenu);
    Xslider = new QSlider(Qt::Horizontal, Client);
    Yslider = new QSlider(Qt::Vertical, Client);
    for (QSlider* s : {Xslider, Yslider}) {
        s->setRange(0, 10000);
        s->hide();
    }
    CreateNavigationBar();
    CreatePages();
    CreateNextNameBar();
    CreateThumbnailPage();
}

void TShowForm::CreateTitleBar() {
    PanelTitre = new QWidget(Client);
    PanelTitre->setObjectName(QStringLiteral("PanelTitre"));
    PanelTitre->resize(800, 24);
    EnCoursLab = new QLabel(PanelTitre);
    EnCoursLab->setObjectName(QStringLiteral("EnCoursLab"));
    QFont bold = EnCoursLab->font();
    bold.setBold(true);
    EnCoursLab->setFont(bold);
    const auto mark = [this](const char* name, const char* text) {
        auto* label = new TClickLabel(QString::fromLatin1(text), PanelTitre);
        label->setObjectName(QString::fromLatin1(name));
        label->resize(28, 20);
        label->setCursor(Qt::PointingHandCursor);
        label->setToolTip(QStringLiteral("Show the video in the file browser"));
        label->OnClick = [this] { RevealCurrentFile(); };
        label->hide();
        return label;
    };
    scnLab = mark("scnLab", "scn");
    srtlab = mark("srtlab", "srt");
    moddlab = mark("moddlab", "modd");
    moddlab->resize(34, 20);
}

void TShowForm::CreateStreamBar() {
    PanelHaut = new QWidget(Client);
    PanelHaut->setObjectName(QStringLiteral("PanelHaut"));
    PanelHaut->setAutoFillBackground(true);
    const auto label = [this](const char* name) {
        auto* l = new QLabel(PanelHaut);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    labFormatVideo = label("labFormatVideo");
    labDecoderVideo = label("labDecoderVideo");
    labFormatAudio = label("labFormatAudio");
    labDecoderAudio = label("labDecoderAudio");
    PanelHaut->hide();
}

void TShowForm::CreateNavigationBar() {
    intervalloframe = new Tintervalloframe(Client);
    intervalloframe->hide();
    navframe = new Tnavframe(Client);
    navframe->gaugeVolume->SetKind(TGaugeKind::Needle);
    navframe->gaugeVolume->SetRange(0, TAudioMan::MaxVolume);
    navframe->hide();
}

void TShowForm::CreatePages() {
    static const char* const names[] = {"ImagetteFrame", "SaveImagesFrame", "DVIncrustFrame",
                                        "IncrustFrame"};
    for (int i = 0; i < 4; ++i) {
        QFrame* page = nullptr;
        if (i == pgSaveImages)
            page = SaveImagesFrame = new TDossiersFrame(Client);
        else if (i == pgDVIncrust)
            page = DVIncrustFrame = new TDVIncrustFrame(Client);
        else if (i == pgIncrust)
            page = IncrustFrame = new TIncrustFrame(Client);
        else
            page = new QFrame(Client);
        page->setObjectName(QString::fromLatin1(names[i]));
        page->setFrameShape(QFrame::NoFrame);
        page->hide();
        Pages[size_t(i)] = page;
    }
    OptionsFrame = new TOptionsFrame(Client);
    OptionsFrame->hide();
    AboutFrame = new TAboutFrame(Client);
    AboutFrame->hide();
}

void TShowForm::CreateNextNameBar() {
    panelImage = new QWidget(Client);
    panelImage->setObjectName(QStringLiteral("panelImage"));
    ParentFolderBtn = new TZvToolButton(panelImage);
    ParentFolderBtn->setGeometry(2, 0, 24, 24);
    ImageLab = new TClickLabel(panelImage);
    ImageLab->setObjectName(QStringLiteral("ImageLab"));
    ImageLab->setGeometry(30, 0, 600, 24);
    ImageLab->hide();
}

void TShowForm::ConnectComponents() {
    // Every list runs its actions' switches and is known to the scripts; the script window's
    // macros are known to the scripts but have no switches.
    for (TCustomZvActionList* list : ActionLists()) {
        list->SetPascalScript(am->ScriptHost());
        list->SetSwitch(am->Switches());
    }
    am->ScriptForm()->al_script()->SetPascalScript(am->ScriptHost());
    am->SetWinControl(Client);
    am->SetTopMargin(kBarHeight);
    am->SetOptionsFrame(OptionsFrame);
    am->SetAboutFrame(AboutFrame);
    ficman->SetFilter(QStringLiteral("Videos (*.avi *.ivf *.mpg *.mpeg *.m1v *.mp2 *.mpe *.wmv "
                                     "*.asf *.mts *.m2ts *.ts *.vob *.mkv *.mov *.mp4 *.3g2 "
                                     "*.m4v *.m2v)"));
    // The file manager hands the extension over in lower case, so "CLIP.MTS" from a camera
    // opens like "clip.mts".
    ficman->OnTestExtension = [](const QString& lowerExt, const QString&) {
        return AcceptedExtension(lowerExt);
    };
    ficman->OnOpenFile = [this](const QString& name) {
        // The video is what the user wants to see: the settings and about pages make way.
        for (TCheckAction* page : {am->caAbout, am->caOptions})
            if (page && page->Checked())
                page->SetChecked(false);
        return OpenMedia(name);
    };
    ficman->OnCloseFile = [this](const QString&) { CloseMedia(); };
    ficman->SetDragControl(Client); // files dropped anywhere on the window; dragged out of it
    vidman->SetKeepAspectratio(false);
    vidman->SetWindow(videoPanel);
    NavMan->SetTypingAccepted(true);
    NavMan->SetSlider(navframe->tb);
    NavMan->SetPositionEdit(navframe->CurrentEdit);
    audman->SetAudioGauge(navframe->gaugeVolume);
    connect(videoPanel, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(videoPanel->mapToGlobal(at)); });
}

void TShowForm::ConnectNotifications() {
    vidman->OnNotifyVideoFormat = [this](const QString& text) {
        labFormatVideo->setText(text);
        labFormatVideo->setToolTip(text);
        ReadVideoRects();
        PlaceInlaySliders();
    };
    vidman->OnNotifyVideoDecoder = [this](const QString& text) { labDecoderVideo->setText(text); };
    audman->OnNotifyAudioDecoder = [this](const QString& text) { labDecoderAudio->setText(text); };
    audman->OnNotifyAudioFormat = [this](const QString& text) { labFormatAudio->setText(text); };
    NavMan->OnDuration = [this](const QString& text) { navframe->DureeLab->setText(text); };
    NavMan->OnDVframe = [this](const TframeData& frame) {
        FLastDVFrame = frame;
        if (FInlayDV)
            vidman->SetDVValues(TIncrustDV{frame.DateValid, frame.TimecodeValid,
                                           frame.RecordingDate, frame.TimecodeText});
    };
    NavMan->OnDVcode = [this](const QString&, const QString&) {
        if (NavMan->RunState() != gmPlaying)
            ShowVideoDate();
    };
    NavMan->OnGraphCompleted = [this] {
        NavMan->Pause();
        if (NavMan->caPlay)
            NavMan->caPlay->SetChecked(false);
    };
    if (NavMan->caPlay)
        NavMan->caPlay->OnAfterFalseApply = [this] {
            RefreshTokenSources();
            NavMan->RefreshFrame();
        };
}

QList<TCustomZvActionList*> TShowForm::ActionLists() const {
    return {am, gpal, vidman, audman, NavMan, ficman};
}

TCustomAbstractAction* TShowForm::FindAnyAction(const QString& id) const {
    for (TCustomZvActionList* list : ActionLists())
        if (TCustomAbstractAction* a = list->FindByInternalId(id))
            return a;
    return nullptr;
}

// The first show detects the save mode and opens its store, runs the window's own first-show
// work, then loads every list; the preferences component does each once.
void TShowForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    gp->LoadAll([this] { FirstShow(); });
}

void TShowForm::FirstShow() {
    if (FShown)
        return;
    FShown = true;
    if (audman->naIncVolume) {
        audman->naIncVolume->SetShortCut(ShortCut(VK_ADD));
        audman->naIncVolume->SetSecondaryShortcuts({QStringLiteral("Alt+P")});
    }
    if (audman->naDecVolume)
        audman->naDecVolume->SetShortCut(ShortCut(VK_SUBTRACT));
    Layout();
    if (vidman->Plaque())
        vidman->Plaque()->setContextMenuPolicy(Qt::CustomContextMenu);
    for (QWidget* w :
         {static_cast<QWidget*>(vidman->Plaque()), static_cast<QWidget*>(vidman->PreviewWindow())})
        if (w)
            connect(w, &QWidget::customContextMenuRequested, this,
                    [this, w](const QPoint& at) { PopupMenu->popup(w->mapToGlobal(at)); });
    if (vidman->PreviewWindow())
        vidman->PreviewWindow()->setContextMenuPolicy(Qt::CustomContextMenu);
    FScreenSaver.Inhibit(QStringLiteral("Kelvara"), QStringLiteral("Showing video"));
    FLayoutOnResize = true;
    ShowScriptAndHelp();
    NavMan->RefreshFrame();
}

void TShowForm::ShowScriptAndHelp() {
    THelpForm* help = am->HelpForm();
    for (TCustomZvActionList* list : ActionLists())
        help->AddList(QStringLiteral("Kelvara"), list);
    TScriptForm* script = am->ScriptForm();
    help->AddList(QStringLiteral("Scripts"), script->ficman_script());
    help->AddList(QStringLiteral("Scripts"), script->al_script());
    script->setWindowTitle(QStringLiteral("Scripts for ") + kelvara::ZvFullName());
    // Besides its buttons, this keeps the help and script page keys working while the script
    // window is the active window.
    script->SetHelpAction(am->caHelp);
    script->SetScriptPageAction(am->caScript);
    if (TWidestringAction* folder = script->ficman_script()->waInitialDir)
        folder->SetDefaultValue(kelvara::os::DefaultDocumentsFolder());
}

void TShowForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (FLayoutOnResize)
        Layout();
}

// The close query never refuses; the save-mode question that follows it may keep the window
// open (unanswered), and the next close asks again.
void TShowForm::closeEvent(QCloseEvent* event) {
    bool canClose = true;
    gp->SaveAll(canClose, [this](bool&) { CloseQuery(); });
    event->setAccepted(canClose);
}

void TShowForm::CloseQuery() {
    if (FClosed)
        return;
    FClosed = true;
    TimerSysDate->SetEnabled(false);
    FLayoutOnResize = false;
    naAbort->Execute(); // ends an intervalometer run
    if (vidman->caFullscreen)
        vidman->caFullscreen->SetChecked(false);
    ProcessMessages();
    NavMan->Stop();
    vidman->DisconnectVideo(true);
    audman->DisconnectAudio();
    // The private packages' filters go, and their settings leave the user's hive in any case.
    if (auto* use = gpal->FindAction<TBooleanAction>(QStringLiteral("baUsePrivateFilters"));
        use && use->Value())
        UninstallPrivateFilters({&vidman->Decoders(), &audman->Decoders(), mf});
    DeletePrivateSettings();
    FScreenSaver.Release();
    // The script and help windows close with the program (their page states are kept).
    am->ScriptForm()->hide();
    am->HelpForm()->hide();
}

void TShowForm::LoadPrefs() {
    // Without a store the reads give the defaults, which the actions applied at load apply.
    TScriptForm* script = am->ScriptForm();
    bool opened = gp->OpenSection(kScriptSection);
    script->al_script()->LoadFromPrefs(*gp);
    script->ficman_script()->LoadFromPrefs(*gp);
    if (opened)
        gp->CloseSection();
    opened = gp->OpenSection(kMainSection);
    am->LoadFromPrefs(*gp);
    vidman->LoadFromPrefs(*gp);
    audman->LoadFromPrefs(*gp);
    NavMan->LoadFromPrefs(*gp);
    gpal->LoadFromPrefs(*gp);
    ficman->LoadFromPrefs(*gp);
    if (opened)
        gp->CloseSection();
}

void TShowForm::SavePrefs() {
    if (iaPanneauActif)
        iaPanneauActif->SetValue(ActivePage());
    if (!gp->OpenSection(kMainSection))
        return;
    ficman->SaveToPrefs(*gp);
    gpal->SaveToPrefs(*gp);
    NavMan->SaveToPrefs(*gp);
    audman->SaveToPrefs(*gp);
    vidman->SaveToPrefs(*gp);
    am->SaveToPrefs(*gp);
    gp->CloseSection();
    TScriptForm* script = am->ScriptForm();
    if (!gp->OpenSection(kScriptSection))
        return;
    script->ficman_script()->SaveToPrefs(*gp);
    script->al_script()->SaveToPrefs(*gp);
    gp->CloseSection();
}
