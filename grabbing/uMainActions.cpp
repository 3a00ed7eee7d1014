// The main window's own actions (gpal): their table, and what applying each one does to the
// window, the video manager and the inlay.
#include "commands/uBooleanAction.h"
#include "commands/uCheckAction.h"
#include "commands/uColorAction.h"
#include "commands/uDoubleAction.h"
#include "commands/uFontAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uNopeAction.h"
#include "commands/uPointAction.h"
#include "commands/uScriptForm.h"
#include "commands/uSuperAction.h"
#include "commands/uWidestringAction.h"
#include "grabbing/main.h"
#include "grabbing/uOptionsFrame.h"
#include "media/uNavMan.h"
#include "media/uPrivateLAV.h"
#include "platform/os/UserFolders.h"
#include "platform/ui/ShortCuts.h"
#include "presentation/uAudioMan.h"
#include "presentation/uTextGauge.h"
#include "presentation/uVideoMan.h"
#include "shell/uFichierMan.h"
#include "shell/uZvAppliMan.h"

#include <QFileInfo>
#include <QSlider>

namespace {

enum class TKind { Nope, Integer, Wide, Boolean, Check, Colour, Double };

struct TMainRow {
    TKind Kind;
    const char* Id;
    const char* Category;
    const char* ScriptName;
    const char* Switch;
    TShortCut Shortcut;
    bool ApplyWhenLoad;
    const char* Caption;
    const char* Hint;
};

constexpr TShortCut kAlt = scAlt;
constexpr TShortCut kCtrl = scCtrl;

// In the order of the window's list.
const TMainRow kRows[] = {
    {TKind::Check, "caDecalageAvance", "cat_Incruster", "DecalageAvance", "da", 0, true, "Advanced",
     ""},
    {TKind::Double, "daDecalageHoraire", "cat_Incruster", "DecalageHoraire", "dh", 0, true, "",
     "Set a Time difference."},
    {TKind::Integer, "iaLeftFrame", "cat_Taskel", "LeftFrame", "lf", 0, false, "LeftFrame", ""},
    {TKind::Boolean, "baConfirmerImage", "cat_Taskel", "ConfirmerImage", "ci", 0, true, "",
     "Ask for confirmation before overwriting an existing image when saving a new image."},
    {TKind::Check, "caIntervalloShow", "cat_Intervallo", "IntervalloShow", "si",
     ShortCut('J', kAlt), false, "", ""},
    {TKind::Boolean, "baImageDeinterlacer", "cat_Taskel", "ImageDeinterlacer", "di", 0, true,
     "Deinterlace", "Deinterlace the grabbed images."},
    {TKind::Boolean, "baSauverQuandClic", "cat_Taskel", "SauverQuandClic", "sq", 0, true,
     "SauverQuandClic", "Save images when you grab them"},
    {TKind::Integer, "iaDigits", "cat_ImageName", "Digits", "dig", 0, true, "",
     "Number of digits to number the images."},
    {TKind::Integer, "iaImageExtension", "cat_ImageName", "ImageExtension", "iex", 0, true, "", ""},
    {TKind::Integer, "iaJpegCompressionQuality", "cat_ImageName", "JpegCompressionQuality", "qual",
     0, true, "", "Quality of  grabbed Jpeg images"},
    {TKind::Integer, "iaImageAjouter", "cat_ImageName", "ImageAjouter", "addi", 0, true, "", ""},
    {TKind::Integer, "iaPanneauActif", "cat_UI", "PanneauActif", "ap", 0, true, "PanneauActif", ""},
    {TKind::Integer, "iaIntervalloDelai", "cat_Intervallo", "IntervalloDelai", "idelai", 0, true,
     "IntervalloDelai", "Delay between two images extracted by the intervalometer\r\n(in units)"},
    {TKind::Integer, "iaIntervalloUnit", "cat_Intervallo", "IntervalloUnit", "iunit", 0, true,
     "IntervalloUnit",
     "Unit to specify the delay between two images extracted by the intervalometer."},
    {TKind::Integer, "iaForcerAspectRatio", "cat_Aspect", "ForcerAspectRatio", "far", 0, true,
     "ForcerAspectRatio", ""},
    {TKind::Wide, "waDossierSave", "cat_Taskel", "DossierSave", "savfold", 0, true, "FolderSave",
     "Folder where to save the extracted images."},
    {TKind::Integer, "iaNomFichierImage", "cat_ImageName", "NomFichierImage", "fname", 0, true, "",
     "Use root or file name"},
    {TKind::Boolean, "baLimiterLongueur", "cat_ImageName", "LimiterLongueur", "limit", 0, true, "",
     "Limit the number of characters taken from the video file name to form the name of the "
     "grabbed images."},
    {TKind::Integer, "iaRacineLength", "cat_ImageName", "RacineLength", "rootlen", 0, true, "",
     "Number of characters taken from the name of the video to form the name of the image."},
    {TKind::Wide, "waDefaultRacine", "cat_ImageName", "DefaultRacine", "root", 0, true, "",
     "Indicates a root used to form the name of grabbed images."},
    {TKind::Nope, "naShowSaveImages", "cat_UI", "ShowSaveImages", "shSav", ShortCut(VK_F1 + 2),
     false, "Settings of the Image", "View the page to change how  images are saved"},
    {TKind::Nope, "naShowImagette", "cat_UI", "ShowImagette", "shExtr", ShortCut(VK_F1 + 1), false,
     "Thumbnail", "Display the grabbed image"},
    {TKind::Nope, "naShowIncrust", "cat_UI", "ShowIncrust", "ShIn", ShortCut(VK_F1 + 5), false,
     "Settings of Inlay", "Display the page to modify Inlaying"},
    {TKind::Nope, "naGrab", "cat_Actions", "Grab", "g", ShortCut(VK_F1 + 4), false, "Grab",
     "Capture an image and save it"},
    {TKind::Integer, "iaNextNum", "cat_ImageName", "NextNum", "n", 0, true, "",
     "Set the number of the next grabbed image"},
    {TKind::Nope, "naJpegExtension", "cat_ImageName", "JpegExtension", "ej", 0, false,
     "Extension Jpeg", ""},
    {TKind::Nope, "naBmpExtension", "cat_ImageName", "BmpExtension", "eb", 0, false,
     "Extension Bmp", ""},
    {TKind::Nope, "naAjouterTimeStamp", "cat_ImageName", "AjouterTimeStamp", "as", 0, false,
     "AddTimeStamp", ""},
    {TKind::Nope, "naAjouterNumero", "cat_ImageName", "AjouterNumero", "an", 0, false, "Add Number",
     ""},
    {TKind::Nope, "naCopy", "cat_Actions", "Copy", "c", ShortCut('C', kCtrl), false, "Copy",
     "Copy an image into the clipboard"},
    {TKind::Nope, "naInsertTimestamp", "cat_Insert", "InsertTimestamp", "is", ShortCut('S', kCtrl),
     false, "Timestamp", ""},
    {TKind::Nope, "naInsertTimecode", "cat_Insert", "InsertTimecode", "it", ShortCut('T', kCtrl),
     false, "Timecode", ""},
    {TKind::Nope, "naInsertPerso", "cat_Insert", "InsertPerso", "ip", ShortCut('P', kCtrl), false,
     "Personalized", ""},
    {TKind::Nope, "naInsertNumero", "cat_Insert", "InsertNumero", "in", ShortCut('N', kCtrl), false,
     "Number", ""},
    {TKind::Nope, "naInsertDatecode", "cat_Insert", "InsertDatecode", "id", ShortCut('D', kCtrl),
     false, "Datecode", ""},
    {TKind::Nope, "naInsertSysdateTime", "cat_Insert", "InsertSysdateTime", "ir",
     ShortCut('R', kCtrl), false, "Real date and time", ""},
    {TKind::Boolean, "baRAZWhenOpenFile", "cat_Taskel", "RAZWhenOpenFile", "raz", 0, true, "",
     "Number images from 0 each time a new video is loaded."},
    {TKind::Wide, "waInsertPerso1", "cat_Incruster", "InsertPerso1", "p1", 0, true, "",
     "Template for inlay of the first line"},
    {TKind::Wide, "waInsertPerso2", "cat_Incruster", "InsertPerso2", "p2", 0, true, "",
     "Template for inlay of the second line"},
    {TKind::Wide, "waFormatDatecode1", "cat_Incruster", "FormatDatecode1", "fd1", 0, true, "", ""},
    {TKind::Wide, "waFormatDatecode2", "cat_Incruster", "FormatDatecode2", "fd2", 0, true, "", ""},
    {TKind::Check, "caSliders", "cat_Incruster", "Sliders", "isl", ShortCut('L', kCtrl), true, "",
     ""},
    {TKind::Nope, "naSoustitres", "cat_Taskel", "Soustitres", "sub", 0, false, "Subtitles",
     "Show overlay as a subtitle"},
    {TKind::Wide, "waIncrustPattern1", "cat_Incruster", "IncrustPattern1", "ipat1", 0, true, "",
     ""},
    {TKind::Wide, "waIncrustPattern2", "cat_Incruster", "IncrustPattern2", "ipat2", 0, true, "",
     ""},
    {TKind::Nope, "naShowDVIncrust", "cat_UI", "ShowDVIncrust", "shDV", ShortCut(VK_F1 + 3), false,
     "DV Settings", "Display the page to manage the  DV videos"},
    {TKind::Boolean, "baInsertAutoSize", "cat_Incruster", "InsertAutoSize", "auto",
     ShortCut(VK_OEM_5, kCtrl), true, "",
     "The size of the inlay font is set automatically based on the size of the images in the "
     "video. "},
    {TKind::Nope, "naForcerNormal", "cat_Aspect", "ForcerNormal", "arN", ShortCut(VK_F1 + 4, kAlt),
     false, "ForcerNormal", "Keep the video in the normal format where it should be played"},
    {TKind::Nope, "naForcer4x3", "cat_Aspect", "Forcer4x3", "ar43", ShortCut(VK_F1 + 5, kAlt),
     false, "Force4x3", "Force aspect of 4x3"},
    {TKind::Nope, "naForcer16x9", "cat_Aspect", "Forcer16x9", "ar169", ShortCut(VK_F1 + 6, kAlt),
     false, "Force16x9", "Forcer aspect of 16x9"},
    {TKind::Nope, "naForcerNative", "cat_Aspect", "ForcerNative", "arNat",
     ShortCut(VK_F1 + 7, kAlt), false, "ForceNative",
     "Force the video to remain in the native format of the file."},
    {TKind::Check, "caBasculerVue", "cat_Taskel", "BasculerVue", "bw", ShortCut('W', kAlt), true,
     "", ""},
    {TKind::Nope, "naAbort", "cat_Taskel", "Abort", "a", ShortCut(VK_ESCAPE), false, "Abort",
     "Abort actions in progress"},
    {TKind::Wide, "waPrivateFolder", "cat_Taskel", "waLAVFolder", "privf", 0, true, "PrivateFolder",
     "Folder where are located the Private Filters"},
    {TKind::Wide, "waInsertFontName", "cat_Incruster", "InsertFontName", "ifname", 0, false, "",
     "Name of the insertion font."},
    {TKind::Boolean, "baUsePrivateFilters", "cat_Taskel", "UsePrivateFilters", "priv", 0, true,
     "UsePrivateFilters", "Use the Private filters (Recommanded)"},
    {TKind::Colour, "laInsertFontColor", "cat_Incruster", "InsertFontColor", "ifCol", 0, false, "",
     ""},
    {TKind::Integer, "iaInsertFontSize", "cat_Incruster", "InsertFontSize", "ifSize", 0, true, "",
     "Size of Inlay Font"},
    {TKind::Nope, "naIntervalloStart", "cat_Intervallo", "IntervalloStart", "inter",
     ShortCut('J', kCtrl), false, "IntervalloStart", "Start the intervalometer"},
    {TKind::Nope, "naIntervalloBreak", "cat_Intervallo", "IntervalloBreak", "br",
     ShortCut('J', kCtrl | scShift), false, "IntervalloBreak", "Abort the intervalometer"},
    {TKind::Nope, "naExecuteScript", "cat_Taskel", "ExecuteScript", "exec",
     ShortCut(VK_F1 + 11, kCtrl), false, "ExecuteScript", "Execute the current script"},
    {TKind::Check, "caConserverScript", "cat_Scripts", "ConserverScript", "", 0, true, "", ""},
    {TKind::Wide, "waDossierScripts", "cat_Scripts", "DossierScripts", "", 0, true,
     "DossierScripts", ""},
    {TKind::Check, "caIncrustBold", "cat_Incruster", "IncrustBold", "", 0, true, "", ""},
    {TKind::Check, "caIncrustItalic", "cat_Incruster", "IncrustItalic", "", 0, false, "", ""},
    {TKind::Check, "caIncrustUnderline", "cat_Incruster", "IncrustUnderline", "", 0, false, "", ""},
    {TKind::Check, "caIncrustStrikeOut", "cat_Incruster", "IncrustStrikeOut", "", 0, false, "", ""},
    {TKind::Integer, "iaInsertMode", "cat_Insert", "InsertMode", "", 0, true, "", ""},
    {TKind::Integer, "iaMaxSynchro", "cat_Incruster", "MaxSynchro", "", 0, true, "", ""},
};

TCustomAbstractAction* CreateAction(TKind kind, const QString& id, TZvActionList* list) {
    switch (kind) {
    case TKind::Nope:
        return new TNopeAction(id, list);
    case TKind::Integer:
        return new TIntegerAction(id, list);
    case TKind::Wide:
        return new TWidestringAction(id, list);
    case TKind::Boolean:
        return new TBooleanAction(id, list);
    case TKind::Check:
        return new TCheckAction(id, list);
    case TKind::Colour:
        return new TColorAction(id, list);
    case TKind::Double:
        return new TDoubleAction(id, list);
    }
    return nullptr;
}

const QString kAspectComment = QStringLiteral("The grabbed images will be in the same format.");

} // namespace

void TShowForm::CreateMainActions() {
    for (const TMainRow& row : kRows) {
        const QString id = QString::fromLatin1(row.Id);
        TCustomAbstractAction* a = CreateAction(row.Kind, id, gpal);
        a->SetName(id);
        a->Category = QString::fromLatin1(row.Category);
        a->ScriptName = QString::fromLatin1(row.ScriptName);
        a->Switch = QString::fromLatin1(row.Switch);
        a->SetShortCut(row.Shortcut);
        a->ApplyWhenLoad = row.ApplyWhenLoad;
        a->IncludePrefs = true;
        if (*row.Caption)
            a->SetCaption(QString::fromLatin1(row.Caption));
        if (*row.Hint)
            a->SetHint(QString::fromLatin1(row.Hint));
    }
    const auto find = [this]<class T>(T*& field, const char* id) {
        field = gpal->FindAction<T>(QString::fromLatin1(id));
    };
    find(iaLeftFrame, "iaLeftFrame");
    find(iaPanneauActif, "iaPanneauActif");
    find(naShowImagette, "naShowImagette");
    find(naShowSaveImages, "naShowSaveImages");
    find(naShowDVIncrust, "naShowDVIncrust");
    find(naShowIncrust, "naShowIncrust");
    find(iaForcerAspectRatio, "iaForcerAspectRatio");
    find(naForcerNormal, "naForcerNormal");
    find(naForcer4x3, "naForcer4x3");
    find(naForcer16x9, "naForcer16x9");
    find(naForcerNative, "naForcerNative");
    find(waInsertFontName, "waInsertFontName");
    find(laInsertFontColor, "laInsertFontColor");
    find(iaInsertFontSize, "iaInsertFontSize");
    find(baInsertAutoSize, "baInsertAutoSize");
    find(caIncrustBold, "caIncrustBold");
    find(caIncrustItalic, "caIncrustItalic");
    find(caIncrustUnderline, "caIncrustUnderline");
    find(caIncrustStrikeOut, "caIncrustStrikeOut");
    find(caSliders, "caSliders");
    find(iaMaxSynchro, "iaMaxSynchro");
    find(caBasculerVue, "caBasculerVue");
    find(naExecuteScript, "naExecuteScript");
    find(caConserverScript, "caConserverScript");
    find(waDossierScripts, "waDossierScripts");

    iaLeftFrame->Comments = {QStringLiteral("Used internally.")};
    iaPanneauActif->Comments = {QStringLiteral("Used internally")};
    iaForcerAspectRatio->Comments = {QStringLiteral(
        "Forcing the aspect ratio. This command is used internally. The user has the commands "
        "ForcerNormal, ForcerNative, Forcer4x3, or Forcer16x9 to change the aspect ratio of the "
        "video and the images that are extracted from it.")};
    for (TNopeAction* a : {naForcerNormal, naForcer4x3, naForcer16x9, naForcerNative})
        a->Comments = {kAspectComment};
    iaMaxSynchro->SetHint(QStringLiteral("maximum synchronisation lag"));
    baInsertAutoSize->SetDefaultValue(true);
    iaMaxSynchro->SetDefaultValue(80);
    laInsertFontColor->SetDefaultValue(0x000000);
    caSliders->SetTrueCaption(QStringLiteral("Hide sliders"));
    caSliders->SetFalseCaption(QStringLiteral("Display Sliders"));
    caSliders->SetTrueHint(QStringLiteral("Hide sliders to position insertion"));
    caSliders->SetFalseHint(QStringLiteral("Show sliders to position insertion"));
    caBasculerVue->SetTrueCaption(QStringLiteral("Put the Video to the Right"));
    caBasculerVue->SetFalseCaption(QStringLiteral("Put the Video to the Left"));
    caBasculerVue->SetTrueHint(
        QStringLiteral("Put the Video to the Right and the Settings to the Left"));
    caBasculerVue->SetFalseHint(QStringLiteral("Toggle Video Left and settings Right"));
    for (TCheckAction* a : {caSliders, caBasculerVue, caIncrustBold, caIncrustItalic,
                            caIncrustUnderline, caIncrustStrikeOut})
        a->SetDefaultValue(false);
    caConserverScript->SetDefaultValue(true);
    waDossierScripts->SetDefaultValue(kelvara::os::DefaultDocumentsFolder());
    if (auto* folder = gpal->FindAction<TWidestringAction>(QStringLiteral("waPrivateFolder"))) {
        folder->SetDefaultValue(DefaultPrivateFolder());
        folder->Comments = {QStringLiteral(
            "WARNING: if you change this value, the private filters will no longer be used by "
            "Kelvara and its behavior will become wobbly.")};
    }
    if (auto* use = gpal->FindAction<TBooleanAction>(QStringLiteral("baUsePrivateFilters"))) {
        use->SetDefaultValue(true);
        use->Comments = {
            QStringLiteral("Private filters are provided with Kelvara but not installed on your "
                           "system, so do not pollute your other applications using directshow "
                           "filters."),
            QStringLiteral("The use of these private filters is highly recommended, otherwise "
                           "Kelvara will experience disruptions and blockages.")};
    }
    FindNamingActions();
    FindIntervalloActions();
    FindInlayTextActions();
}

void TShowForm::WireMainActions() {
    // The options page is not among them: the application manager centres it over the window.
    iaLeftFrame->OnAfterApply = [this](const int32_t& x) {
        for (QWidget* page :
             {static_cast<QWidget*>(Pages[pgImagette]), static_cast<QWidget*>(Pages[pgSaveImages]),
              static_cast<QWidget*>(Pages[pgIncrust])})
            page->move(x, page->y());
    };
    iaPanneauActif->OnAfterApply = [this](const int32_t& page) { ShowPage(page); };
    const auto pageCommand = [this](TNopeAction* a, int page) {
        a->OnAfterApply = [this, page] { iaPanneauActif->SetValue(page); };
    };
    pageCommand(naShowImagette, pgImagette);
    pageCommand(naShowSaveImages, pgSaveImages);
    pageCommand(naShowDVIncrust, pgDVIncrust);
    pageCommand(naShowIncrust, pgIncrust);
    caBasculerVue->OnAfterTrueApply = [this] { Layout(); };
    caBasculerVue->OnAfterFalseApply = [this] { Layout(); };
    WireAspectActions();
    WireInlayActions();
    WireNamingActions();
    WireGrabActions();
    WireIntervalloActions();
    WireInlayTextActions();
    WireScriptActions();
    // The private decoder packages: the folder loads them (and applies the use switch again),
    // the use switch closes the open file, switches them on or off and opens the file again.
    auto* privateFolder = gpal->FindAction<TWidestringAction>(QStringLiteral("waPrivateFolder"));
    auto* usePrivate = gpal->FindAction<TBooleanAction>(QStringLiteral("baUsePrivateFilters"));
    privateFolder->OnAfterApply = [usePrivate](const QString& folder) {
        ApplyPrivateFolder(folder);
        usePrivate->Apply();
    };
    usePrivate->OnAfterApply = [this](const bool& on) {
        const QString file = CurrentFile();
        if (!file.isEmpty())
            CloseMedia();
        const TPrivateTargets targets{&vidman->Decoders(), &audman->Decoders(), mf};
        if (on)
            InstallPrivateFilters(targets);
        else
            UninstallPrivateFilters(targets);
        if (!file.isEmpty() && QFileInfo::exists(file))
            OpenMedia(file);
    };
    BindOptionsPage();
}

// The script window's current script, whether its file is reopened at start and the folder its
// open dialog starts in.
void TShowForm::WireScriptActions() {
    naExecuteScript->OnAfterApply = [this] { am->ScriptForm()->ExecuteScript(); };
    const auto keepScript = [this](bool keep) {
        if (TBooleanAction* reopen = am->ScriptForm()->ficman_script()->baOpenLastFile)
            reopen->SetValue(keep);
    };
    caConserverScript->OnAfterTrueApply = [keepScript] { keepScript(true); };
    caConserverScript->OnAfterFalseApply = [keepScript] { keepScript(false); };
    waDossierScripts->OnAfterApply = [this](const QString& folder) {
        if (TWidestringAction* initial = am->ScriptForm()->ficman_script()->waInitialDir)
            initial->SetValue(folder);
    };
}

void TShowForm::BindOptionsPage() {
    TOptionsFrame::TBindings b;
    b.gp = gp;
    b.caSeekPrecision = NavMan->caSeekPrecision;
    b.iaSeekPrepos = NavMan->iaSeekPrepos;
    b.iaMaxSynchro = iaMaxSynchro;
    b.caConserverScript = caConserverScript;
    b.waDossierScripts = waDossierScripts;
    b.baConfirmerImage = baConfirmerImage;
    b.baRAZWhenOpenFile = baRAZWhenOpenFile;
    b.baSauverQuandClic = baSauverQuandClic;
    b.baUsePrivateFilters = gpal->FindAction<TBooleanAction>(QStringLiteral("baUsePrivateFilters"));
    b.waPrivateFolder = gpal->FindAction<TWidestringAction>(QStringLiteral("waPrivateFolder"));
    OptionsFrame->Bind(b);
}

void TShowForm::WireAspectActions() {
    iaForcerAspectRatio->OnAfterApply = [this](const int32_t& mode) {
        vidman->SetForcedAspect(mode);
        ReadVideoRects();
        PlaceInlaySliders();
    };
    const auto force = [this](TNopeAction* a, int mode) {
        a->OnAfterApply = [this, mode] { iaForcerAspectRatio->SetValue(mode); };
    };
    force(naForcerNormal, TVideoMan::faNormal);
    force(naForcer4x3, TVideoMan::faFourThree);
    force(naForcer16x9, TVideoMan::faSixteenNine);
    force(naForcerNative, TVideoMan::faNative);
}

void TShowForm::ApplyFontStyle(int bit, bool on) {
    if (!vidman->faInsertFont)
        return;
    TFont font = vidman->faInsertFont->Value();
    font.SetStyle(TFontStyle(bit), on);
    vidman->faInsertFont->SetValue(font);
}

void TShowForm::WireInlayActions() {
    waInsertFontName->OnAfterApply = [this](const QString& name) {
        if (!vidman->faInsertFont || name.isEmpty())
            return;
        TFont font = vidman->faInsertFont->Value();
        font.Name = name;
        vidman->faInsertFont->SetValue(font);
    };
    laInsertFontColor->OnAfterApply = [this](const TColor& colour) {
        if (!vidman->faInsertFont)
            return;
        TFont font = vidman->faInsertFont->Value();
        font.Color = colour;
        vidman->faInsertFont->SetValue(font);
    };
    iaInsertFontSize->OnAfterApply = [this](const int32_t& points) {
        if (!vidman->faInsertFont || points <= 0)
            return;
        TFont font = vidman->faInsertFont->Value();
        font.SetSize(points);
        vidman->faInsertFont->SetValue(font);
    };
    baInsertAutoSize->OnAfterApply = [this](const bool& on) {
        vidman->SetAutoSize(on);
        NavMan->RefreshFrame();
    };
    const auto style = [this](TCheckAction* a, TFontStyle bit) {
        a->OnAfterTrueApply = [this, bit] { ApplyFontStyle(bit, true); };
        a->OnAfterFalseApply = [this, bit] { ApplyFontStyle(bit, false); };
    };
    style(caIncrustBold, fsBold);
    style(caIncrustItalic, fsItalic);
    style(caIncrustUnderline, fsUnderline);
    style(caIncrustStrikeOut, fsStrikeOut);
    iaMaxSynchro->OnAfterApply = [this](const int32_t& ms) { vidman->SetMaxSynchro(ms); };
    caSliders->OnBeforeTrueApply = [this] { SlidersShown(true); };
    caSliders->OnBeforeFalseApply = [this] { SlidersShown(false); };
    if (vidman->caInsertTextOn)
        vidman->caInsertTextOn->OnAfterFalseApply = [this] { caSliders->SetChecked(false); };
    // The sliders set the anchor of the first line; the vertical one counts upwards.
    const auto fromSliders = [this] {
        if (vidman->paInsertPosition)
            vidman->paInsertPosition->SetValue(TPoint{Xslider->value(), 10000 - Yslider->value()});
    };
    connect(Xslider, &QSlider::valueChanged, this, fromSliders);
    connect(Yslider, &QSlider::valueChanged, this, fromSliders);
    if (vidman->paInsertPosition)
        vidman->paInsertPosition->OnAfterApply = [this](const TPoint& p) {
            const QSignalBlocker bx(Xslider), by(Yslider);
            Xslider->setValue(p.x);
            Yslider->setValue(10000 - p.y);
        };
}
