// TZvScript: its message lines, its built-in routines, types and constants, and the action lists
// chained into its compile hook.
#include "commands/uScriptAction.h"
#include "commands/uSuperAction.h"
#include "platform/ui/ScriptedDialogs.h"
#include "scripting/uZvScript.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A host whose scripts can also call writeln(s).
struct Host {
    TZvScript script;
    QString out;

    Host() {
        script.OnCompile = [this](TZvScript& s) {
            s.AddMethod(
                nullptr,
                [this](const QVariantList& a) {
                    out += a.value(0).toString() + QLatin1Char('\n');
                    return QVariant();
                },
                QStringLiteral("procedure writeln(s: string);"));
        };
    }
    // Compile then RunProgram; the lines of both steps.
    QStringList Run(const QString& text) {
        script.SetScript(text);
        script.Compile();
        QStringList lines = script.Messages();
        script.RunProgram();
        return lines + script.Messages();
    }
};

TEST(TZvScript, CompileAndRunLines) {
    Host h;
    EXPECT_EQ(h.Run(QStringLiteral("begin writeln('hi'); end.")),
              (QStringList{"*** Compilation succeeded ***", "*** Succesfully Executed ***"}));
    EXPECT_EQ(h.out, QStringLiteral("hi\n"));
    EXPECT_TRUE(h.script.compiled());
}

TEST(TZvScript, AFailedCompilationAfterASuccessfulOneIsNotReady) {
    Host h;
    h.Run(QStringLiteral("begin end."));
    EXPECT_EQ(h.Run(QStringLiteral("begin\n  Nope;\nend.")),
              (QStringList{"[Error] (2:3): Unknown identifier 'Nope'", "### Compilation Failed",
                           "### Compilation not Ready"}));
    EXPECT_FALSE(h.script.compiled());
}

TEST(TZvScript, RunTimeErrorsEndTheRun) {
    Host h;
    EXPECT_EQ(h.Run(QStringLiteral("begin writeln('a'); forcedirectories(''); writeln('b'); end.")),
              (QStringList{"*** Compilation succeeded ***",
                           "### Error while executing: Unable to create directory"}));
    EXPECT_EQ(h.out, QStringLiteral("a\n"));
    EXPECT_EQ(h.Run(QStringLiteral("var i: Integer; begin i := 0; i := 1 div i; end.")).last(),
              QStringLiteral("### Error while executing: Division by zero"));
    EXPECT_EQ(
        h.Run(QStringLiteral("var a: array of Integer; begin a[2] := 0; end.")).last(),
        QStringLiteral("### Error while executing: Index 2 out of range (the array is empty)"));
}

TEST(TZvScript, ConstructionEndsAnyMacroNesting) {
    MacroNesting = true;
    TZvScript script;
    EXPECT_FALSE(MacroNesting);
}

TEST(TZvScript, BuiltInConstantsAndTypesAreDeclared) {
    Host h;
    const QStringList lines = h.Run(QStringLiteral(
        "var a: TAlignment; g: TGUID; id: TIID; p: TPoint; r: TRect; b: TBorderStyle; w: "
        "TWindowState; f: TFormStyle; ps: TPosition; sc: TPrintScale; c: TCloseAction; bi: "
        "TBorderIcons; h: THELPCONTEXT; cc: TEditCharCase; ss: TScrollStyle; cb: TComboBoxStyle; "
        "cs: TCheckBoxState; lb: TListBoxStyle; sco: TScrollCode; od: TOwnerDrawState; tl: "
        "TTextLayout; k: TShortCut; sp: TSavePreferences; hr: HResult; sk: TScrollBarKind; si: "
        "TScrollBarInc; cl: TCLSID; col: TColor; begin a := taCenter; r.Right := 3; p.y := 2; b "
        ":= bsSizeToolWin; ps := poOwnerFormCenter; sc := poPrintToFit; c := caMinimize; bi := "
        "[biHelp]; od := [odComboBoxEdit]; sco := scEndScroll; sp := spPortable; col := clCream; "
        "writeln(Format('%d %d %d %d %d', [clMoneyGreen, clSkyBlue, clCream, SecsPerDay, "
        "MSecPerDay])); end."));
    EXPECT_EQ(lines.last(), QStringLiteral("*** Succesfully Executed ***"))
        << lines.join(u'\n').toStdString();
    EXPECT_EQ(h.out, QStringLiteral("12639424 15780518 15793151 86400 86400000\n"));
}

TEST(TZvScript, FileNameRoutines) {
    Host h;
    h.Run(QStringLiteral(
        "begin writeln(extractfilename('/a/b/c.d.txt') + '|' + extractfilepath('/a/b/c.txt') + '|' "
        "+ extractfileext('/a/b.x/c') + '|' + extractfileext('c.tar.gz') + '|' + "
        "changefileext('/a/b/c.txt', '.jpg') + '|' + changefileext('/a.b/c', '.bmp') + '|' + "
        "extractfilename('plain')); end."));
    EXPECT_EQ(h.out, QStringLiteral("c.d.txt|/a/b/||.gz|/a/b/c.jpg|/a.b/c.bmp|plain\n"));
}

TEST(TZvScript, FindFirstNextCloseWalkAFolder) {
    QTemporaryDir dir;
    for (const char* name : {"b.jpg", "a.jpg", "c.txt", ".hidden.jpg"}) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QDir(dir.path()).mkdir(QStringLiteral("sub.jpg"));
    Host h;
    const QStringList lines =
        h.Run(QStringLiteral(
                  "var f: widestring; begin f := findfirst('%1', '*.JPG'); while f <> '' do begin "
                  "writeln(extractfilename(f)); f := findnext; end; writeln('[' + findnext + ']'); "
                  "writeln(extractfilename(findfirst('%1/', '*.txt'))); findclose; writeln('[' + "
                  "findnext + "
                  "']'); writeln('[' + findfirst('%1/nowhere', '*') + ']'); end.")
                  .arg(dir.path()));
    EXPECT_EQ(lines.last(), QStringLiteral("*** Succesfully Executed ***"));
    EXPECT_EQ(h.out, QStringLiteral(".hidden.jpg\na.jpg\nb.jpg\nsub.jpg\n[]\nc.txt\n[]\n[]\n"));
    EXPECT_EQ(h.Run(QStringLiteral("begin writeln(findfirst('%1', 'a.jpg')); end.").arg(dir.path()))
                  .last(),
              QStringLiteral("*** Succesfully Executed ***"));
    EXPECT_TRUE(h.out.endsWith(dir.path() + QStringLiteral("/a.jpg\n")));
}

TEST(TZvScript, FoldersFilesAndTheTrash) {
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    Host h;
    const QString base = home.filePath(QStringLiteral("x/y"));
    const QStringList lines = h.Run(
        QStringLiteral(
            "const B = '%1'; begin forcedirectories(B + '/z'); writeln(BoolToStr(DirectoryExists(B "
            "+ "
            "'/z'), True)); renamefile(B + '/z', B + '/w'); writeln(BoolToStr(DirectoryExists(B + "
            "'/w'), True)); writeln(BoolToStr(deletefiletorecyclebin(B + '/w'), True)); "
            "writeln(BoolToStr(DirectoryExists(B + '/w'), True)); "
            "writeln(BoolToStr(deletefiletorecyclebin(B + '/none'), True)); end.")
            .arg(base));
    EXPECT_EQ(lines.last(), QStringLiteral("*** Succesfully Executed ***"))
        << lines.join(u'\n').toStdString();
    EXPECT_EQ(h.out, QStringLiteral("True\nTrue\nTrue\nFalse\nFalse\n"));
    EXPECT_FALSE(QDir(home.filePath(QStringLiteral("data/Trash/files"))).isEmpty());
}

TEST(TZvScript, ShowMessageGoesThroughTheDialogService) {
    TScriptedDialogs dialogs;
    dialogs.Answer(mrOk);
    Host h;
    h.Run(QStringLiteral("begin showmessage('Hello'); end."));
    ASSERT_EQ(dialogs.Asked().size(), 1);
    EXPECT_EQ(dialogs.Asked()[0].Request.Text, QStringLiteral("Hello"));
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
}

TEST(TZvScript, ProcessMessagesLetsPendingEventsRun) {
    Host h;
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    h.Run(QStringLiteral("begin sleep(1); processmessages; end."));
    EXPECT_TRUE(ran);
}

TEST(TZvScript, OnCompileComesAfterTheBuiltIns) {
    TZvScript script;
    std::vector<bool> results;
    script.OnCompile = [&](TZvScript& s) {
        auto none = [](const QVariantList&) { return QVariant(); };
        results.push_back(s.AddMethod(nullptr, none, QStringLiteral("procedure Tint(c: TColor);")));
        results.push_back(s.AddMethod(nullptr, none, QStringLiteral("procedure sleep;")));
    };
    script.SetScript(QStringLiteral("begin end."));
    EXPECT_TRUE(script.Compile());
    EXPECT_EQ(results, (std::vector<bool>{true, false}));
}

// ---- the action lists of the program, chained into the compile hook ----

struct Actions : testing::Test {
    void SetUp() override {
        digits = new TIntegerAction(QStringLiteral("iaDigits"), &list);
        digits->ScriptName = QStringLiteral("Digits");
        grab = new TNopeAction(QStringLiteral("naGrab"), &list);
        grab->ScriptName = QStringLiteral("Grab");
        grab->OnAfterApply = [this] { grabbedWithDigits.push_back(digits->Value()); };
        check = new TCheckAction(QStringLiteral("caIntervalloShow"), &list);
        check->ScriptName = QStringLiteral("IntervalloShow");
        list.SetPascalScript(&host.script);
    }
    QStringList Run(const QString& text) { return host.Run(text); }

    QObject form;
    TZvActionList list{&form};
    Host host;
    TIntegerAction* digits = nullptr;
    TNopeAction* grab = nullptr;
    TCheckAction* check = nullptr;
    std::vector<int32_t> grabbedWithDigits;
};

TEST_F(Actions, ScriptSetsTheIntegerActionAndRunsThePlainOne) {
    const QStringList lines = Run(QStringLiteral("begin\n  Digits(5);\n  Grab;\nend."));
    EXPECT_EQ(lines.last(), QStringLiteral("*** Succesfully Executed ***"))
        << lines.join(u'\n').toStdString();
    EXPECT_EQ(digits->Value(), 5);
    EXPECT_EQ(grabbedWithDigits, std::vector<int32_t>{5});
}

TEST_F(Actions, CheckActionsHaveTheirTwoProcedures) {
    ASSERT_FALSE(check->Checked());
    Run(QStringLiteral("begin setIntervalloShow(True); end."));
    EXPECT_TRUE(check->Checked());
    Run(QStringLiteral("begin IntervalloShow; end."));
    EXPECT_FALSE(check->Checked());
    Run(QStringLiteral("begin IntervalloShow; IntervalloShow; IntervalloShow; end."));
    EXPECT_TRUE(check->Checked());
}

TEST_F(Actions, DeclarationsOfEveryKindAreAccepted) {
    auto* text = new TWidestringAction(QStringLiteral("waRoot"), &list);
    text->ScriptName = QStringLiteral("Root");
    auto* colour = new TColorAction(QStringLiteral("laColour"), &list);
    colour->ScriptName = QStringLiteral("Colour");
    auto* ratio = new TDoubleAction(QStringLiteral("daRatio"), &list);
    ratio->ScriptName = QStringLiteral("Ratio");
    auto* point = new TPointAction(QStringLiteral("paWhere"), &list);
    point->ScriptName = QStringLiteral("Where");
    auto* flag = new TBooleanAction(QStringLiteral("baFlag"), &list);
    flag->ScriptName = QStringLiteral("Flag");
    auto* rect = new TRectAction(QStringLiteral("raBox"), &list);
    rect->ScriptName = QStringLiteral("Box");
    auto* font = new TFontAction(QStringLiteral("faInsertFont"), &list);
    font->ScriptName = QStringLiteral("InsertFont");
    const QStringList lines = Run(QStringLiteral(
        "begin Root('it''s'); Colour(clRed); Ratio(2.5); Where(3, 4); Flag(True); Box(1, 2, 3, 4); "
        "InsertFont('Arial', 12, $0000FF, True, False, True, False); end."));
    ASSERT_EQ(lines.last(), QStringLiteral("*** Succesfully Executed ***"))
        << lines.join(u'\n').toStdString();
    EXPECT_EQ(text->Value(), QStringLiteral("it's"));
    EXPECT_EQ(colour->Value(), 0x0000FF);
    EXPECT_EQ(ratio->Value(), 2.5);
    EXPECT_EQ(point->Value(), (TPoint{3, 4}));
    EXPECT_TRUE(flag->Value());
    // The procedure takes left, right, top, bottom.
    EXPECT_EQ(rect->Value(), (TRect{1, 3, 2, 4}));
    EXPECT_EQ(font->Value().Name, QStringLiteral("Arial"));
    EXPECT_EQ(font->Value().Size(), 12);
    EXPECT_EQ(font->Value().Color, 0x0000FF);
    EXPECT_TRUE(font->Value().HasStyle(fsBold));
    EXPECT_TRUE(font->Value().HasStyle(fsUnderline));
    EXPECT_FALSE(font->Value().HasStyle(fsItalic));
}

TEST_F(Actions, ListsAttachedLaterRegisterAfterTheBuiltInsAndEarlierLists) {
    TZvActionList second{&form};
    auto* again = new TNopeAction(QStringLiteral("naGrab2"), &second);
    again->ScriptName = QStringLiteral("Grab"); // taken by the first list: refused
    auto* sleepy = new TNopeAction(QStringLiteral("naSleep"), &second);
    sleepy->ScriptName = QStringLiteral("sleep"); // taken by the host: refused
    int againRuns = 0;
    again->OnAfterApply = [&] { ++againRuns; };
    second.SetPascalScript(&host.script);
    const QStringList lines = Run(QStringLiteral("begin Grab; sleep(0); end."));
    EXPECT_EQ(lines.last(), QStringLiteral("*** Succesfully Executed ***"))
        << lines.join(u'\n').toStdString();
    EXPECT_EQ(grabbedWithDigits.size(), 1u);
    EXPECT_EQ(againRuns, 0);
    second.SetPascalScript(nullptr);
    list.SetPascalScript(nullptr);
    EXPECT_EQ(Run(QStringLiteral("begin Grab; end.")).first(),
              QStringLiteral("[Error] (1:7): Unknown identifier 'Grab'"));
}

TEST_F(Actions, AnActionDestroyedAfterCompilingCannotBeCalled) {
    host.script.SetScript(QStringLiteral("begin Grab; end."));
    ASSERT_TRUE(host.script.Compile());
    delete grab;
    host.script.RunProgram();
    EXPECT_TRUE(
        host.script.Messages().last().startsWith(QStringLiteral("### Error while executing: ")));
}

} // namespace
