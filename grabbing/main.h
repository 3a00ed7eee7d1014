#pragma once
// The main window: the owner of the program's components and the place where they meet. It
// holds the window's own action list (gpal), the preferences component (gp), the file manager
// (ficman), the media factory (mf), the navigation manager (NavMan, also the graph manager), the
// video manager (vidman), the audio manager (audman) and the application manager (am, which
// creates the script window, the help window and the switch runner), with the title bar, the
// toolbar, the stream bar, the video host, the navigation bar, the settings pages, the options
// and about pages, the next-name bar and the menus.
//
// Life: created (components built, actions bound, every list given the script host and the switch
// runner), first shown (the window asks the preferences component to open the store, does its own
// first-show work (the help window gets the lists), then to load the settings: the script
// window's section, then the main window's), first activation (the switch runner applies
// the command line), files opened and closed any number of times, close (always allowed: the
// graph is stopped and the streams taken out, then the preferences are saved), destroyed (the
// components in the reverse order of their dependencies).
//
// Keyboard: the actions are shortcuts of this window only, so that while the script window is
// the active window its own shortcuts take every key but the help (F1) and script page (F12) keys,
// which it is given as well. A key that two actions share runs the one that comes first in the
// menus (then in the lists); the other keeps its shortcut only as a text in the help.
//
// Coordinates: the window's client area is the central widget; the children are placed by
// Layout from its width and height, on every resize and when the video changes sides.
//
// Thread contract: a window of the GUI thread. Streaming threads reach it only through its
// components' message windows; its handlers of their notifications update displays and never
// drive the graph from inside a graph wait (they only note the state, except the end of the
// media, which comes as a posted message outside any wait).
#include "grabbing/uExifBlock.h"
#include "grabbing/uJpegWriter.h"
#include "platform/os/ScreenSaver.h"
#include "platform/ui/Types.h"
#include "taps/uTapRecords.h"

#include <array>
#include <initializer_list>
#include <memory>

#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>

class QFrame;
class QMenu;
class QMouseEvent;
class QSlider;
class QToolBar;
class TAboutFrame;
class TAudioMan;
class TBooleanAction;
class TCheckAction;
class TColorAction;
class TCustomAbstractAction;
class TFichierMan;
class TImageList;
class TIntegerAction;
class TMediaFactory;
class TNavMan;
class TNopeAction;
class TOptionsFrame;
class TTaskelPreferences;
class TVideoMan;
class TWidestringAction;
class TCustomZvActionList;
class TZvActionList;
class TZvAppliMan;
class TZvSwitch;
class TZvToolButton;
class TDossiersFrame;
class TDVIncrustFrame;
class TDoubleAction;
class TIncrustFrame;
class TThreadedTimer;
class Tintervalloframe;
class Tnavframe;

// A label that reports a click with the left button.
class TClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> OnClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class TShowForm : public QMainWindow {
public:
    // Width of the settings pages beside the video.
    static constexpr int PageWidth = 276;
    enum TPage { pgImagette = 0, pgSaveImages = 1, pgDVIncrust = 2, pgIncrust = 3 };

    explicit TShowForm(QWidget* parent = nullptr);
    ~TShowForm() override;

    // The components.
    TZvActionList* gpal = nullptr;
    TTaskelPreferences* gp = nullptr;
    TFichierMan* ficman = nullptr;
    TMediaFactory* mf = nullptr;
    TNavMan* NavMan = nullptr;
    TVideoMan* vidman = nullptr;
    TAudioMan* audman = nullptr;
    TZvAppliMan* am = nullptr;
    // The application manager's switch runner.
    TZvSwitch* Switches() const;

    // The visible parts.
    QWidget* Client = nullptr; // the client area
    QWidget* PanelTitre = nullptr;
    QLabel* EnCoursLab = nullptr;
    TClickLabel* scnLab = nullptr;
    TClickLabel* srtlab = nullptr;
    TClickLabel* moddlab = nullptr;
    QToolBar* barUnique = nullptr;
    std::array<QWidget*, 4> ToolSeparators{};
    std::array<TZvToolButton*, 4> PageButtons{};
    QWidget* PanelHaut = nullptr;
    QLabel* labFormatVideo = nullptr;
    QLabel* labDecoderVideo = nullptr;
    QLabel* labFormatAudio = nullptr;
    QLabel* labDecoderAudio = nullptr;
    QWidget* videoPanel = nullptr;
    QSlider* Xslider = nullptr;
    QSlider* Yslider = nullptr;
    Tnavframe* navframe = nullptr;
    Tintervalloframe* intervalloframe = nullptr;
    std::array<QFrame*, 4> Pages{};            // in TPage order
    TDossiersFrame* SaveImagesFrame = nullptr; // the naming page, Pages[pgSaveImages]
    TDVIncrustFrame* DVIncrustFrame = nullptr; // the DV date page, Pages[pgDVIncrust]
    TIncrustFrame* IncrustFrame = nullptr;     // the inlay page, Pages[pgIncrust]
    TOptionsFrame* OptionsFrame = nullptr;     // shown by am (caOptions)
    TAboutFrame* AboutFrame = nullptr;         // shown by am (caAbout)
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;
    QWidget* panelImage = nullptr;
    TClickLabel* ImageLab = nullptr;
    TZvToolButton* ParentFolderBtn = nullptr;
    QMenu* PopupMenu = nullptr;

    // The window's own actions.
    TIntegerAction* iaLeftFrame = nullptr;
    TIntegerAction* iaPanneauActif = nullptr;
    TNopeAction* naShowImagette = nullptr;
    TNopeAction* naShowSaveImages = nullptr;
    TNopeAction* naShowDVIncrust = nullptr;
    TNopeAction* naShowIncrust = nullptr;
    TIntegerAction* iaForcerAspectRatio = nullptr;
    TNopeAction* naForcerNormal = nullptr;
    TNopeAction* naForcer4x3 = nullptr;
    TNopeAction* naForcer16x9 = nullptr;
    TNopeAction* naForcerNative = nullptr;
    TWidestringAction* waInsertFontName = nullptr;
    TColorAction* laInsertFontColor = nullptr;
    TIntegerAction* iaInsertFontSize = nullptr;
    TBooleanAction* baInsertAutoSize = nullptr;
    TCheckAction* caIncrustBold = nullptr;
    TCheckAction* caIncrustItalic = nullptr;
    TCheckAction* caIncrustUnderline = nullptr;
    TCheckAction* caIncrustStrikeOut = nullptr;
    TCheckAction* caSliders = nullptr;
    TIntegerAction* iaMaxSynchro = nullptr;
    TCheckAction* caBasculerVue = nullptr;
    // Grabbing, naming and saving.
    TNopeAction* naGrab = nullptr;
    TNopeAction* naCopy = nullptr;
    TBooleanAction* baImageDeinterlacer = nullptr;
    TBooleanAction* baSauverQuandClic = nullptr;
    TWidestringAction* waDossierSave = nullptr;
    TIntegerAction* iaNomFichierImage = nullptr;
    TWidestringAction* waDefaultRacine = nullptr;
    TBooleanAction* baLimiterLongueur = nullptr;
    TIntegerAction* iaRacineLength = nullptr;
    TIntegerAction* iaImageAjouter = nullptr;
    TIntegerAction* iaDigits = nullptr;
    TIntegerAction* iaNextNum = nullptr;
    TIntegerAction* iaImageExtension = nullptr;
    TIntegerAction* iaJpegCompressionQuality = nullptr;
    TBooleanAction* baConfirmerImage = nullptr;
    TBooleanAction* baRAZWhenOpenFile = nullptr;
    TNopeAction* naBmpExtension = nullptr;
    TNopeAction* naJpegExtension = nullptr;
    TNopeAction* naAjouterTimeStamp = nullptr;
    TNopeAction* naAjouterNumero = nullptr;
    // The intervalometer.
    TCheckAction* caIntervalloShow = nullptr;
    TIntegerAction* iaIntervalloDelai = nullptr;
    TIntegerAction* iaIntervalloUnit = nullptr;
    TNopeAction* naIntervalloStart = nullptr;
    TNopeAction* naIntervalloBreak = nullptr;
    TNopeAction* naAbort = nullptr;
    // The inlay's texts and the DV date.
    TWidestringAction* waIncrustPattern1 = nullptr;
    TWidestringAction* waIncrustPattern2 = nullptr;
    TWidestringAction* waInsertPerso1 = nullptr;
    TWidestringAction* waInsertPerso2 = nullptr;
    TWidestringAction* waFormatDatecode1 = nullptr;
    TWidestringAction* waFormatDatecode2 = nullptr;
    TIntegerAction* iaInsertMode = nullptr;
    std::array<TNopeAction*, 6> naInsertModes{}; // in the order of the modes 0 to 5
    TNopeAction* naSoustitres = nullptr;
    TDoubleAction* daDecalageHoraire = nullptr;
    TCheckAction* caDecalageAvance = nullptr;
    // Scripts.
    TNopeAction* naExecuteScript = nullptr;
    TCheckAction* caConserverScript = nullptr;
    TWidestringAction* waDossierScripts = nullptr;
    // The computer's date and time for the %R token, four times a second while in use.
    std::unique_ptr<TThreadedTimer> TimerSysDate;

    // The thumbnail page.
    TClickLabel* Image = nullptr;
    TClickLabel* labsnapname = nullptr;
    QLabel* SnapLab = nullptr;
    QLabel* labImagetteTaille = nullptr;
    QFrame* ThumbBevel = nullptr;
    QFrame* Bevel3 = nullptr;

    // State.
    const QString& CurrentFile() const { return FCurrentFile; }
    bool HasVideo() const { return FHasVideo; }
    bool HasAudio() const { return FHasAudio; }
    int LeftOffset() const { return FLeftOffset; }
    // Where the renderer draws the video inside the video host, and the part of the frame it
    // shows, as last read.
    TRect VideoRect() const { return FVideoRect; }
    TRect SourceRect() const { return FSourceRect; }
    // The page in front (0 to 3), or -1 when none is.
    int ActivePage() const;

    // Every action list of the window, in the order the help and the switch list name them.
    QList<TCustomZvActionList*> ActionLists() const;
    // The full path of the next picture, the number text, the last grab.
    const QString& NextImageName() const { return FNextImageName; }
    const QString& NumberText() const { return FNumberText; }
    const QImage& Picture() const { return FPicture; }
    const QImage& GrabbedFrame() const { return FGrabbed; }
    // The program-wide abort flag (ends an intervalometer run).
    bool AbortRaised() const { return FAbort; }
    void RaiseAbort() { FAbort = true; }
    void ClearAbort() { FAbort = false; }

    // Rebuilds the next picture's name from the naming settings and shows it.
    void BuildImageName();
    // Writes the picture under the next name, asking first when the file exists; true when it
    // was written.
    bool SaveImage();
    // The grab: the frame on screen (a newly drawn one while playing) into the picture, then
    // saved; afterCapture runs in between, once the frame is no longer needed (the
    // intervalometer moves on to its next frame while this picture is written). The copy puts
    // the frame on the clipboard instead.
    void Grab(const std::function<void()>& afterCapture = {});
    void Copy();
    // The renderer's frame, stretched to the aspect, into the picture and the thumbnail.
    void GrabFrame();

    // The intervalometer's plan: the interval and the start (100-ns units), the pictures still
    // to grab; whether a run is under way.
    int64_t Interval() const { return FInterval; }
    int64_t PlanStart() const { return FPlanStart; }
    int64_t Remaining() const { return FRemaining; }
    bool IntervalloRunning() const { return FRunning; }
    void ComputePlan();

    // Which token sources run, from the inlay switch and the two patterns.
    void RefreshTokenSources();
    // The DV date page from the frame on screen.
    void ShowVideoDate();
    double VideoDate() const { return FVideoDate; }

    // The first action of the window's lists with that internal id, or none.
    TCustomAbstractAction* FindAnyAction(const QString& id) const;

    // The extension test of the file manager: the extension with its dot, letter case counting.
    static bool AcceptedExtension(const QString& extension);
    // Those extensions (the launcher entry lists their media types).
    static const QStringList& AcceptedExtensions();

    void Layout();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Creation.
    void CreateComponents();
    void CreateWidgets();
    void CreateTitleBar();
    void CreateStreamBar();
    void CreateNavigationBar();
    void CreatePages();
    void CreateNextNameBar();
    void ConnectComponents();
    void ConnectNotifications();
    // The window's own actions.
    void CreateMainActions();
    void WireMainActions();
    void WireAspectActions();
    void WireInlayActions();
    void ApplyFontStyle(int bit, bool on);
    void WireScriptActions();
    void BindOptionsPage();
    // The first show's own work (between the store's opening and the loading of the lists).
    void FirstShow();
    // The help window's lists and the script window's caption and buttons, at the first show.
    void ShowScriptAndHelp();
    // Keys that two actions of the window share go to the first of them in menu order.
    void ResolveSharedShortcuts();
    // Menus and toolbar.
    void CreateMenus();
    void CreateToolBar();
    void CreatePopupMenu();
    // A menu entry: an action's internal id, a separator (nullptr) or an action with a caption
    // of the menu's own.
    struct TMenuItem {
        const char* Id;
        const char* Caption = nullptr;
    };
    static constexpr TMenuItem Sep{nullptr, nullptr};
    void AddMenuItems(QMenu* menu, std::initializer_list<TMenuItem> items) const;
    void SetActionIcons();
    void SetActionIcon(const char* id, const QIcon& icon, const QIcon& checked = QIcon());
    QAction* Find(const char* id) const;
    // Layout and pages.
    void ShowPage(int page);
    void PlaceInlaySliders();
    void ReadVideoRects();
    void SlidersShown(bool shown);
    // Files.
    bool OpenMedia(const QString& name);
    void OpenMediaSteps(const QString& name);
    void CloseMedia();
    void EnableVideoControls(bool video);
    void EnableAudioControls(bool audio);
    void ShowMarks(const QString& name);
    void RevealCurrentFile();
    // Naming, saving and grabbing.
    void CreateThumbnailPage();
    void FindNamingActions();
    void WireNamingActions();
    void WireNamingPage();
    // While a text field of the pages has the focus, the volume and play keys type into it.
    void SetPlayAndVolumeKeys(bool on);
    void WireGrabActions();
    void FormatNumber();
    bool WritePicture();
    void SetSnapSaved(bool saved);
    void RevealNextName();
    void ComputePictureSizes(int ax, int ay);
    void NoteProvenance();
    void LayoutThumbnail();
    void ClearThumbnail();
    bool VideoPressed(QMouseEvent* event);
    // The intervalometer.
    void FindIntervalloActions();
    void WireIntervalloActions();
    void RunIntervallo();
    void EndIntervallo();
    void ShowRemaining();
    // The inlay's texts.
    void FindInlayTextActions();
    void WireInlayTextActions();
    void WireInlayPage();
    void WireDVPage();
    void SetInsertMode(int mode, bool switchOn);
    void ApplyOffset(double days);
    void ShowCorrectedDate();
    void OffsetFromCorrectedDate();
    // Preferences.
    void LoadPrefs();
    void SavePrefs();
    // Closing.
    void CloseQuery();

    QString FCurrentFile;
    bool FHasVideo = false;
    bool FHasAudio = false;
    int FLeftOffset = PageWidth;
    TRect FVideoRect, FSourceRect;
    bool FShown = false;
    bool FClosed = false;
    bool FLayoutOnResize = false;
    kelvara::os::TScreenSaverInhibit FScreenSaver;
    TImageList* FImages = nullptr; // the pictures of the actions of every list
    QList<QAction*> FMenuOrder;    // the actions of the main menu, in menu order
    QString FNumberText;
    QString FNextImageName;
    bool FAbort = false;
    QImage FGrabbed; // the renderer's frame as fetched
    QImage FPicture; // the frame stretched to the aspect: what is written
    QSize FPictureSize;
    TJpegWriter FJpeg;
    int64_t FInterval = 0, FPlanStart = 0, FRemaining = 0;
    bool FRunning = false;
    bool FWriteFailed = false;  // the last write of a picture failed
    bool FSendNumber = false;   // the inlay uses %N
    bool FSendFileName = false; // the inlay uses %F, %P or %E
    bool FInlayDV = false;      // the inlay uses %D or %T
    double FVideoDate = 0;      // the DV page's video date
    double FCorrectedDate = 0;
    TframeData FLastDVFrame;        // the DV codes of the frame on screen
    TPictureProvenance FProvenance; // of the last grab, for the EXIF of a JPEG
};
