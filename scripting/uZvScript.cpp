#include "scripting/uZvScript.h"

#include "commands/uMacroRecorder.h"
#include "platform/os/Trash.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/ProcessMessages.h"
#include "scripting/FileNames.h"

#include <stdexcept>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

using namespace kelvara::script;

namespace {

QString Arg(const QVariantList& args, int index) {
    return args.value(index).toString();
}

// A routine of the host without a result.
template <class F>
TScriptRoutine Procedure(F f) {
    return [f](const QVariantList& args) -> QVariant {
        f(args);
        return QVariant();
    };
}

} // namespace

TZvScript::TZvScript(QObject* owner) : QObject(owner) {
    MacroNesting = false;
    SetUsePreProcessor(true);
    SetUseDebugInfo(false);
    FCompileHook = [this](IScriptHost&) { RegisterBuiltins(); };
}

TZvScript::~TZvScript() = default;

bool TZvScript::AddMethod(QObject* object, TScriptRoutine routine, const QString& declaration) {
    return Engine::AddMethod(object, std::move(routine), declaration);
}

void TZvScript::BeforeCompile() {
    if (FCompileHook)
        FCompileHook(*this);
}

void TZvScript::RegisterBuiltins() {
    RegisterRoutines();
    RegisterConstants();
    RegisterTypes();
    AddStandardGraphics();
    if (OnCompile)
        OnCompile(*this);
}

bool TZvScript::Compile() {
    SetUsePreProcessor(true);
    FMessages.clear();
    FCompiled = Engine::Compile();
    for (const CompilerMessage& m : CompilerMessages())
        FMessages << m.ToString();
    FMessages << (FCompiled ? QStringLiteral("*** Compilation succeeded ***")
                            : QStringLiteral("### Compilation Failed"));
    return FCompiled;
}

void TZvScript::RunProgram() {
    FMessages.clear();
    if (!FCompiled) {
        FMessages << QStringLiteral("### Compilation not Ready");
        return;
    }
    if (Execute())
        FMessages << QStringLiteral("*** Succesfully Executed ***");
    else
        FMessages << QStringLiteral("### Error while executing: ") + ExecErrorText();
}

// Sleeps in short slices so that a run stopped from another thread does not stay blocked.
bool TZvScript::Sleep(uint32_t milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (uint64_t(timer.elapsed()) < milliseconds) {
        if (AbortRequested())
            return false;
        const uint64_t left = milliseconds - uint64_t(timer.elapsed());
        QThread::msleep(std::min<uint64_t>(left, 20));
    }
    return true;
}

void TZvScript::RegisterRoutines() {
    RegisterFileRoutines();
    AddMethod(this,
              Procedure([](const QVariantList& a) { DialogService().ShowMessage(Arg(a, 0)); }),
              QStringLiteral("procedure showmessage(z:string);"));
    AddMethod(this, Procedure([this](const QVariantList& a) { Sleep(a.value(0).toUInt()); }),
              QStringLiteral("procedure sleep(milli:Cardinal);"));
    AddMethod(this, Procedure([](const QVariantList&) { ProcessMessages(); }),
              QStringLiteral("procedure processmessages;"));
    AddMethod(this, Procedure([](const QVariantList& a) {
                  const QString dir = Arg(a, 0);
                  if (dir.isEmpty())
                      throw std::runtime_error("Unable to create directory");
                  if (!QDir().mkpath(dir))
                      throw std::runtime_error(
                          QStringLiteral("Unable to create directory '%1'").arg(dir).toStdString());
              }),
              QStringLiteral("procedure forcedirectories(dir:widestring);"));
    AddMethod(
        this, [](const QVariantList& a) { return QVariant(ChangeFileExt(Arg(a, 0), Arg(a, 1))); },
        QStringLiteral("function changefileext(fichier:widestring;ext:widestring):widestring;"));
    AddMethod(
        this,
        [](const QVariantList& a) { return QVariant(kelvara::os::MoveFileToTrash(Arg(a, 0))); },
        QStringLiteral("function deletefiletorecyclebin(fichier:widestring):Boolean;"));
    AddMethod(this, Procedure([](const QVariantList& a) { QFile::rename(Arg(a, 0), Arg(a, 1)); }),
              QStringLiteral("procedure renamefile(oldfile,newname:widestring);"));
    AddMethod(
        this, [](const QVariantList& a) { return QVariant(ExtractFileName(Arg(a, 0))); },
        QStringLiteral("function extractfilename(fichier:widestring):widestring;"));
    AddMethod(
        this, [](const QVariantList& a) { return QVariant(ExtractFilePath(Arg(a, 0))); },
        QStringLiteral("function extractfilepath(fichier:widestring):widestring;"));
    AddMethod(
        this, [](const QVariantList& a) { return QVariant(ExtractFileExt(Arg(a, 0))); },
        QStringLiteral("function extractfileext(fichier:widestring):widestring;"));
}

void TZvScript::RegisterFileRoutines() {
    AddMethod(
        this,
        [this](const QVariantList& a) { return QVariant(FSearch.First(Arg(a, 0), Arg(a, 1))); },
        QStringLiteral("function findfirst(dossier:widestring;masque:widestring):widestring;"));
    AddMethod(
        this, [this](const QVariantList&) { return QVariant(FSearch.Next()); },
        QStringLiteral("function findnext:widestring;"));
    AddMethod(this, Procedure([this](const QVariantList&) { FSearch.Close(); }),
              QStringLiteral("procedure findclose;"));
}

void TZvScript::RegisterConstants() {
    AddConstant(QStringLiteral("clMoneyGreen"), QStringLiteral("Integer"), 12639424);
    AddConstant(QStringLiteral("clSkyBlue"), QStringLiteral("Integer"), 15780518);
    AddConstant(QStringLiteral("clCream"), QStringLiteral("Integer"), 15793151);
    AddConstant(QStringLiteral("SecsPerDay"), QStringLiteral("Longint"), 86400);
    AddConstant(QStringLiteral("MSecPerDay"), QStringLiteral("Longint"), 86400000);
}

void TZvScript::RegisterTypes() {
    static const std::pair<const char*, const char*> kTypes[] = {
        {"TAlignment", "(taLeftJustify, taRightJustify, taCenter)"},
        {"HResult", "LongInt"},
        {"TGUID", "record D1: LongWord; D2: Word; D3: Word; D4: array[0..7] of Byte; end;"},
        {"TCLSID", "TGUID"},
        {"TIID", "TGUID"},
        {"TPoint", "record x,y: Longint; end;"},
        {"TScrollBarKind", "(sbHorizontal, sbVertical)"},
        {"TScrollBarInc", "SmallInt"},
        {"TFormBorderStyle",
         "(bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)"},
        {"TBorderStyle", "TFormBorderStyle"},
        {"TWindowState", "(wsNormal, wsMinimized, wsMaximized)"},
        {"TFormStyle", "(fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)"},
        {"TPosition",
         "(poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, "
         "poDesktopCenter, poMainFormCenter, poOwnerFormCenter)"},
        {"TPrintScale", "(poNone, poProportional, poPrintToFit)"},
        {"TCloseAction", "(caNone, caHide, caFree, caMinimize)"},
        {"TBorderIcon", "(biSystemMenu, biMinimize, biMaximize, biHelp)"},
        {"TBorderIcons", "set of TBorderIcon"},
        {"THELPCONTEXT", "Longint"},
        {"TRect", "record Left, Top, Right, Bottom: Integer; end;"},
        {"TEditCharCase", "(ecNormal, ecUpperCase, ecLowerCase)"},
        {"TScrollStyle", "(ssNone, ssHorizontal, ssVertical, ssBoth)"},
        {"TComboBoxStyle", "(csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, "
                           "csOwnerDrawVariable)"},
        {"TCheckBoxState", "(cbUnchecked, cbChecked, cbGrayed)"},
        {"TListBoxStyle", "(lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)"},
        {"TScrollCode", "(scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, "
                        "scBottom, scEndScroll)"},
        {"TEOwnerDrawState", "(odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, "
                             "odHotLight, odInactive, odNoAccel, odNoFocusRect, odReserved1, "
                             "odReserved2, odComboBoxEdit)"},
        {"TTextLayout", "( tlTop, tlCenter, tlBottom )"},
        {"TOwnerDrawState", "set of TEOwnerDrawState"},
        {"TSHORTCUT", "WORD"},
        {"TSavePreferences", "(spRegistre,spPortable,spNone)"},
    };
    for (const auto& [name, declaration] : kTypes)
        AddType(QLatin1String(name), QLatin1String(declaration));
}
