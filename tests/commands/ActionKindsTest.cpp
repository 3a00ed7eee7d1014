// What is particular to each kind: macro lines, value texts, declarations, the boolean's
// unchanged value, the plain command and the check action.
#include "commands/uScriptAction.h"
#include "platform/ui/Colors.h"
#include "tests/commands/support/FakePreferences.h"
#include "tests/commands/support/FakeScriptHost.h"
#include "tests/commands/support/QtPrint.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

struct Recording : ::testing::Test {
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        MacroRecorder = &recorder;
        MacroNesting = false;
    }
    void TearDown() override {
        MacroRecorder = nullptr;
        MacroNesting = false;
        QLocale::setDefault(QLocale::c());
    }
    TMacroLineList recorder;
};

template <class A>
std::unique_ptr<A> Make(const char* scriptName, const char* switchName = "") {
    auto a = std::make_unique<A>(nullptr);
    a->ScriptName = QString::fromUtf8(scriptName);
    a->Switch = QString::fromUtf8(switchName);
    return a;
}

using MacroLines = Recording;

TEST_F(MacroLines, OneLinePerKindWithFourLeadingBlanks) {
    Make<TIntegerAction>("Digits")->SetValue(3);
    Make<TWidestringAction>("InsertPerso1")->SetValue("l'heure d'\xC3\xA9t\xC3\xA9");
    Make<TColorAction>("InsertBorderColor")->SetValue(0x0000FF);
    Make<TColorAction>("InsertFontColor")->SetValue(0x123);
    Make<TDoubleAction>("DecalageHoraire")->SetValue(-1.25);
    Make<TPointAction>("InsertPosition")->SetValue({5000, 8200});
    Make<TBooleanAction>("LimiterLongueur")->SetValue(true);
    Make<TRectAction>("FormSave")->SetValue({10, 20, 30, 40});
    TFont font;
    font.Name = "Arial";
    font.SetSize(12);
    font.Color = clBlack;
    font.SetStyle(fsBold, true);
    Make<TFontAction>("InsertFont")->SetValue(font);
    font.Name = "Bob's";
    font.SetStyle(fsBold, false);
    font.SetStyle(fsUnderline, true);
    font.SetStyle(fsStrikeOut, true);
    font.Color = clYellow;
    Make<TFontAction>("InsertFont")->SetValue(font);
    Make<TNopeAction>("Grab")->Apply();
    Make<TCheckAction>("Mute")->SetChecked(true);
    const QStringList expected = {
        "    Digits(3);",
        QString::fromUtf8("    InsertPerso1('l''heure d''\xC3\xA9t\xC3\xA9');"),
        "    InsertBorderColor($0000FF);",
        "    InsertFontColor($000123);",
        "    DecalageHoraire(-1.25);",
        "    InsertPosition(5000,8200);",
        "    LimiterLongueur(True);",
        "    FormSave(10,30,20,40);",
        "    InsertFont('Arial', 12, $000000, True, False, False, False);",
        "    InsertFont('Bob''s', 12, $00FFFF, False, False, True, True);",
        "    Grab;",
        "    setMute(True);",
    };
    EXPECT_EQ(recorder.Lines, expected);
}

// The line is script source: a comma as decimal separator would split the argument in two.
TEST_F(MacroLines, ADoubleIsWrittenWithAPointWhateverTheLocale) {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    auto a = Make<TDoubleAction>("DecalageHoraire");
    a->SetValue(1.5);
    a->SetValueText("2,75"); // the switch's text does follow the locale
    EXPECT_EQ(a->Value(), 2.75);
    EXPECT_EQ(recorder.Lines,
              (QStringList{"    DecalageHoraire(1.5);", "    DecalageHoraire(2.75);"}));
}

TEST_F(MacroLines, ABooleanSetToItsCurrentValueNeitherRecordsNorApplies) {
    auto a = Make<TBooleanAction>("ConfirmerImage");
    int applied = 0;
    a->OnAfterApply = [&](bool) { ++applied; };
    a->SetValue(false);
    EXPECT_EQ(applied, 0);
    EXPECT_TRUE(recorder.Lines.isEmpty());
    a->SetValue(true);
    a->SetValue(true);
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(recorder.Lines, QStringList{"    ConfirmerImage(True);"});
}

TEST_F(MacroLines, OtherKindsApplyAndRecordAnUnchangedValueAgain) {
    auto a = Make<TIntegerAction>("Digits");
    int applied = 0;
    a->OnAfterApply = [&](int32_t) { ++applied; };
    a->SetValue(0);
    a->SetValue(0);
    EXPECT_EQ(applied, 2);
    EXPECT_EQ(recorder.Lines.size(), 2);
}

TEST_F(MacroLines, NothingIsRecordedWithoutARecorder) {
    MacroRecorder = nullptr;
    Make<TIntegerAction>("Digits")->SetValue(3);
    Make<TNopeAction>("Grab")->Apply();
    EXPECT_FALSE(MacroNesting);
    EXPECT_TRUE(recorder.Lines.isEmpty());
}

TEST(SetValueText, EachKindReadsItsText) {
    QLocale::setDefault(QLocale::c());
    auto integer = Make<TIntegerAction>("i");
    struct IntCase {
        const char* Text;
        int32_t Value;
    };
    for (const IntCase& c : {IntCase{"5", 5}, IntCase{"abc", -1}, IntCase{"", -1},
                             IntCase{"$1F", 31}, IntCase{" -7", -7}, IntCase{"7 ", -1}}) {
        integer->SetValue(100);
        integer->SetValueText(c.Text);
        EXPECT_EQ(integer->Value(), c.Value) << '"' << c.Text << '"';
    }

    auto dbl = Make<TDoubleAction>("d");
    dbl->SetValueText("2.5");
    EXPECT_EQ(dbl->Value(), 2.5);
    dbl->SetValueText("abc");
    EXPECT_EQ(dbl->Value(), -1.0);

    auto color = Make<TColorAction>("c");
    color->SetValueText("clRed");
    EXPECT_EQ(color->Value(), clRed);
    color->SetValueText("CLBTNFACE");
    EXPECT_EQ(color->Value(), clBtnFace);
    color->SetValueText("$00FF00");
    EXPECT_EQ(color->Value(), clLime);
    int applied = 0;
    color->OnAfterApply = [&](TColor) { ++applied; };
    color->SetValueText("reddish");
    color->SetValueText("");
    EXPECT_EQ(applied, 0);
    EXPECT_EQ(color->Value(), clLime);

    auto point = Make<TPointAction>("p");
    point->SetValueText("(5, 7)");
    EXPECT_EQ(point->Value(), (TPoint{5, 7}));
    point->SetValueText("5,7");
    EXPECT_EQ(point->Value(), (TPoint{5, 7}));
    point->SetValueText("(x, 9)");
    EXPECT_EQ(point->Value(), (TPoint{0, 9}));

    auto rect = Make<TRectAction>("r");
    rect->SetValueText("(1, 2, 3, 4)");
    EXPECT_EQ(rect->Value(), (TRect{1, 2, 3, 4}));
    rect->SetValueText("(1, 2, 3)");
    EXPECT_EQ(rect->Value(), (TRect{1, 2, 3, 4}));

    auto text = Make<TWidestringAction>("w");
    text->SetValueText("  C:\\v\\my clip.avi ");
    EXPECT_EQ(text->Value(), QStringLiteral("  C:\\v\\my clip.avi "));

    auto font = Make<TFontAction>("f");
    int fontApplied = 0;
    font->OnAfterApply = [&](const TFont&) { ++fontApplied; };
    font->SetValueText("Arial");
    EXPECT_EQ(fontApplied, 0);
}

TEST(SetValueText, BooleanTexts) {
    struct Case {
        const char* Text;
        bool Value;
    };
    const Case cases[] = {{"1", true},      {"-1", true},     {"TRUE", true},
                          {" Vrai ", true}, {"v", true},      {"0", false},
                          {"yes", false},   {"false", false}, {"", false}};
    for (const Case& c : cases) {
        auto b = Make<TBooleanAction>("b");
        b->SetValue(!c.Value);
        b->SetValueText(c.Text);
        EXPECT_EQ(b->Value(), c.Value) << '"' << c.Text << '"';
        auto check = Make<TCheckAction>("c");
        check->SetChecked(!c.Value);
        check->SetValueText(c.Text);
        EXPECT_EQ(check->Checked(), c.Value) << '"' << c.Text << '"';
    }
}

TEST(Declarations, VariablesAreFixedByWhicheverTextComesFirst) {
    auto text = Make<TWidestringAction>("Root", "root");
    EXPECT_EQ(text->GetSwitchSyntax(), QStringLiteral("/root=aWidestring"));
    EXPECT_EQ(text->Variables, QStringLiteral("aWidestring"));
    text->Variables = "aName";
    EXPECT_EQ(text->GetDeclaration(), QStringLiteral("procedure Root(const aName:widestring);"));

    auto point = Make<TPointAction>("Pos", "pos");
    EXPECT_EQ(point->GetSwitchSyntax(), QStringLiteral("/pos=x,y"));
    EXPECT_EQ(point->GetDeclaration(), QStringLiteral("procedure Pos(const x,y:integer);"));

    // The rectangle's switch text does not fix its four parameter names.
    auto rectSwitchFirst = Make<TRectAction>("Bounds", "b");
    EXPECT_EQ(rectSwitchFirst->GetSwitchSyntax(), QStringLiteral("/b=aRect"));
    EXPECT_EQ(rectSwitchFirst->GetDeclaration(),
              QStringLiteral("procedure Bounds(const left,right,top,bottom:integer);"));
    EXPECT_EQ(rectSwitchFirst->GetSwitchSyntax(), QStringLiteral("/b=left,right,top,bottom"));

    auto font = Make<TFontAction>("InsertFont", "if");
    EXPECT_EQ(font->GetSwitchSyntax(), QStringLiteral("/if=aFont"));
    EXPECT_EQ(font->Variables, QStringLiteral("aFont"));
    EXPECT_TRUE(font->GetDeclaration().startsWith("procedure InsertFont(aName:widestring;"));

    auto check = Make<TCheckAction>("IntervalloShow", "si");
    EXPECT_EQ(check->GetSwitchSyntax(), QStringLiteral("/si +si -si"));
    EXPECT_TRUE(check->Variables.isEmpty());
    EXPECT_EQ(check->GetDeclaration(),
              QStringLiteral("procedure setIntervalloShow(const fisTrue:Boolean);\r\n"
                             "procedure IntervalloShow;"));
    EXPECT_EQ(check->Variables, QStringLiteral("fisTrue"));
    auto checkDoTrue = Make<TCheckAction>("Mute");
    checkDoTrue->Variables = "fDoTrue";
    EXPECT_EQ(checkDoTrue->GetDeclaration(),
              QStringLiteral("procedure setMute(const fDoTrue:Boolean);\r\nprocedure Mute;"));

    auto nope = Make<TNopeAction>("Grab", "g");
    EXPECT_EQ(nope->GetDeclaration(), QStringLiteral("procedure Grab;"));
    EXPECT_EQ(nope->GetSwitchSyntax(), QStringLiteral("/g"));
}

// ---- the plain command ----

using NopeAction = Recording;

TEST_F(NopeAction, ExecuteAppliesUnlessAPrepareEventCancels) {
    auto a = Make<TNopeAction>("Grab");
    std::vector<std::string> steps;
    a->OnBeforeApply = [&] { steps.push_back("before"); };
    a->OnInternalApply = [&] { steps.push_back("internal"); };
    a->OnAfterApply = [&] { steps.push_back("after"); };
    a->trigger();
    EXPECT_EQ(steps, (std::vector<std::string>{"before", "internal", "after"}));
    bool published = true, internal = false;
    a->OnPrepare = [&] { return published; };
    a->OnInternalPrepare = [&] { return internal; };
    a->Execute();
    published = false;
    internal = true;
    a->Execute();
    EXPECT_EQ(steps.size(), 3u);
    published = true;
    a->Execute();
    EXPECT_EQ(steps.size(), 6u);
    EXPECT_EQ(recorder.Lines, (QStringList{"    Grab;", "    Grab;"}));
}

TEST_F(NopeAction, WithoutAScriptNameItIsNeitherRegisteredNorRecordedNorNesting) {
    auto start = Make<TNopeAction>("");
    auto digits = Make<TIntegerAction>("Digits");
    start->OnAfterApply = [&] { digits->SetValue(4); };
    start->Execute();
    EXPECT_EQ(recorder.Lines, QStringList{"    Digits(4);"});
    TFakeScriptHost host;
    host.Methods.clear();
    EXPECT_FALSE(start->RegisterInScript(host));
    EXPECT_TRUE(host.Methods.isEmpty());
}

TEST_F(NopeAction, ItsScriptRoutineAppliesIt) {
    auto grab = Make<TNopeAction>("Grab");
    int applied = 0;
    grab->OnAfterApply = [&] { ++applied; };
    TFakeScriptHost host;
    host.Methods.clear();
    ASSERT_TRUE(grab->RegisterInScript(host));
    EXPECT_EQ(host.Methods[0].Declaration, QStringLiteral("procedure Grab;"));
    host.Call("grab");
    EXPECT_EQ(applied, 1);
}

TEST_F(NopeAction, PreferencesReadAndWriteNothing) {
    auto a = Make<TNopeAction>("Grab");
    TFakePreferences gp;
    std::vector<std::string> steps;
    a->OnAfterApply = [&] { steps.push_back("apply"); };
    a->BeforeSave = [&] {
        steps.push_back("beforesave");
        return false;
    };
    a->OnInternalBeforeSave = [&] {
        steps.push_back("internalbeforesave");
        return false;
    };
    EXPECT_TRUE(a->LoadFromPrefs(gp));
    EXPECT_TRUE(steps.empty());
    a->ApplyWhenLoad = true;
    EXPECT_TRUE(a->LoadFromPrefs(gp));
    EXPECT_TRUE(a->SaveToPrefs(gp));
    EXPECT_EQ(steps, (std::vector<std::string>{"apply", "beforesave", "internalbeforesave"}));
    EXPECT_TRUE(gp.Log.isEmpty());
    a->OnAfterApply = [] { throw std::runtime_error("x"); };
    EXPECT_FALSE(a->LoadFromPrefs(gp));
    a->BeforeSave = []() -> bool { throw std::runtime_error("x"); };
    EXPECT_FALSE(a->SaveToPrefs(gp));
}

TEST_F(NopeAction, SetValueTextIgnoresTheTextAndApplies) {
    auto a = Make<TNopeAction>("Grab");
    int applied = 0;
    a->OnAfterApply = [&] { ++applied; };
    a->SetValueText("whatever");
    EXPECT_EQ(applied, 1);
}

// ---- the check action ----

using CheckAction = Recording;

TEST_F(CheckAction, AssigningTheCurrentStateAppliesAndRecordsAgain) {
    auto a = Make<TCheckAction>("Mute");
    std::vector<std::string> steps;
    a->OnBeforeTrueApply = [&] { steps.push_back("beforeTrue"); };
    a->OnInternalTrueApply = [&] { steps.push_back("internalTrue"); };
    a->OnAfterTrueApply = [&] { steps.push_back("afterTrue"); };
    a->OnBeforeFalseApply = [&] { steps.push_back("beforeFalse"); };
    a->OnInternalFalseApply = [&] { steps.push_back("internalFalse"); };
    a->OnAfterFalseApply = [&] { steps.push_back("afterFalse"); };
    a->SetChecked(true);
    a->SetChecked(true);
    a->SetChecked(false);
    EXPECT_EQ(steps, (std::vector<std::string>{"beforeTrue", "internalTrue", "afterTrue",
                                               "beforeTrue", "internalTrue", "afterTrue",
                                               "beforeFalse", "internalFalse", "afterFalse"}));
    EXPECT_EQ(recorder.Lines,
              (QStringList{"    setMute(True);", "    setMute(True);", "    setMute(False);"}));
}

TEST_F(CheckAction, TheScriptActionIsNeverRecordedButStillNests) {
    auto script = Make<TCheckAction>("Script");
    auto digits = Make<TIntegerAction>("Digits");
    bool nested = false;
    script->OnAfterTrueApply = [&] {
        nested = MacroNesting;
        digits->SetValue(5);
    };
    script->SetChecked(true);
    EXPECT_TRUE(nested);
    EXPECT_FALSE(MacroNesting);
    EXPECT_TRUE(recorder.Lines.isEmpty());
    auto other = Make<TCheckAction>("script"); // the exact name only
    other->SetChecked(true);
    EXPECT_EQ(recorder.Lines, QStringList{"    setscript(True);"});
}

TEST_F(CheckAction, ACheckActionUncheckingASiblingRecordsOnlyItself) {
    auto a = Make<TCheckAction>("Fullscreen");
    auto b = Make<TCheckAction>("Previewform");
    b->SetDefaultValue(true);
    int bApplied = 0;
    b->OnAfterFalseApply = [&] { ++bApplied; };
    a->OnAfterTrueApply = [&] { b->SetChecked(false); };
    a->SetChecked(true);
    EXPECT_EQ(bApplied, 1);
    EXPECT_FALSE(b->Checked());
    EXPECT_EQ(recorder.Lines, QStringList{"    setFullscreen(True);"});
}

TEST_F(CheckAction, ExecuteTogglesUnlessAPrepareEventCancels) {
    auto a = Make<TCheckAction>("Mute");
    a->trigger();
    EXPECT_TRUE(a->Checked());
    EXPECT_TRUE(a->isChecked());
    bool allow = false;
    a->OnInternalPrepare = [&] { return allow; };
    a->trigger();
    EXPECT_TRUE(a->Checked());
    EXPECT_TRUE(a->isChecked()); // the QAction's own mark follows the action, not the click
    allow = true;
    a->trigger();
    EXPECT_FALSE(a->Checked());
    EXPECT_FALSE(a->isChecked());
    a->Toggle();
    EXPECT_TRUE(a->Checked());
}

TEST_F(CheckAction, TheDisplayFollowsTheState) {
    auto a = Make<TCheckAction>("Play");
    a->SetTrueCaption("Pause");
    a->SetFalseCaption("Play");
    EXPECT_EQ(a->Caption(), QStringLiteral("Play"));
    a->SetTrueHint("Set Pause");
    EXPECT_EQ(a->Hint(), QString()); // the True hint is not the current state's
    a->SetFalseHint("Play the video");
    a->SetTrueImageIndex(4);
    a->SetFalseImageIndex(5);
    EXPECT_EQ(a->Hint(), QStringLiteral("Play the video"));
    EXPECT_EQ(a->ImageIndex(), 5);
    a->SetChecked(true);
    EXPECT_EQ(a->Caption(), QStringLiteral("Pause"));
    EXPECT_EQ(a->Hint(), QStringLiteral("Set Pause"));
    EXPECT_EQ(a->toolTip(), QStringLiteral("Set Pause"));
    EXPECT_EQ(a->ImageIndex(), 4);
    a->SetTrueCaption("Pause now");
    EXPECT_EQ(a->text(), QStringLiteral("Pause now"));
}

TEST_F(CheckAction, DefaultValueSetsTheStateWithoutRecordingOrApplying) {
    auto a = Make<TCheckAction>("KeepAspectRatio");
    a->SetTrueCaption("Adjust");
    a->SetFalseCaption("Keep");
    int applied = 0;
    a->OnAfterTrueApply = [&] { ++applied; };
    a->SetDefaultValue(true);
    EXPECT_TRUE(a->Checked());
    EXPECT_TRUE(a->DefaultValue());
    EXPECT_EQ(a->Caption(), QStringLiteral("Adjust"));
    EXPECT_EQ(applied, 0);
    EXPECT_TRUE(recorder.Lines.isEmpty());
}

TEST_F(CheckAction, PreferencesLoadWithTheDefaultAndSaveACopy) {
    auto a = Make<TCheckAction>("Mute");
    a->SetTrueCaption("on");
    a->SetFalseCaption("off");
    TFakePreferences gp;
    int applied = 0;
    a->OnAfterTrueApply = [&] { ++applied; };
    a->OnDefault = [](bool& def) {
        def = true;
        return false;
    };
    EXPECT_TRUE(a->LoadFromPrefs(gp));
    EXPECT_TRUE(a->Checked());
    EXPECT_TRUE(a->DefaultValue());
    EXPECT_EQ(a->Caption(), QStringLiteral("on"));
    EXPECT_EQ(applied, 0);
    a->ApplyWhenLoad = true;
    gp.Values["Mute"] = true;
    EXPECT_TRUE(a->LoadFromPrefs(gp));
    EXPECT_EQ(applied, 1);
    EXPECT_TRUE(recorder.Lines.isEmpty());

    a->BeforeSave = [](bool& v) {
        v = false;
        return true;
    };
    bool internalSaw = true;
    a->OnInternalBeforeSave = [&](bool& v) {
        internalSaw = v;
        return true;
    };
    EXPECT_TRUE(a->SaveToPrefs(gp));
    EXPECT_FALSE(internalSaw);
    EXPECT_FALSE(gp.Get<bool>("Mute"));
    EXPECT_TRUE(a->Checked()); // the check action itself is not changed
    gp.FailWrite.insert("Mute");
    EXPECT_FALSE(a->SaveToPrefs(gp));
    gp.ThrowOnRead.insert("Mute");
    EXPECT_FALSE(a->LoadFromPrefs(gp));
}

TEST_F(CheckAction, RegistersASetterAndAToggleProcedure) {
    auto a = Make<TCheckAction>("IntervalloShow");
    TFakeScriptHost host;
    host.Methods.clear();
    ASSERT_TRUE(a->RegisterInScript(host));
    EXPECT_EQ(host.Names(), (QStringList{"setIntervalloShow", "IntervalloShow"}));
    EXPECT_EQ(host.Methods[0].Declaration,
              QStringLiteral("procedure setIntervalloShow(const aBoolean:Boolean);"));
    EXPECT_EQ(host.Methods[1].Declaration, QStringLiteral("procedure IntervalloShow;"));
    host.Call("setIntervalloShow", {true});
    EXPECT_TRUE(a->Checked());
    host.Call("IntervalloShow");
    EXPECT_FALSE(a->Checked());
    EXPECT_FALSE(a->RegisterInScript(host)); // both names taken

    // The toggle is registered only when the setter was accepted.
    TFakeScriptHost other;
    other.Methods.clear();
    other.AddMethod(nullptr, {}, "procedure setMute;");
    auto mute = Make<TCheckAction>("Mute");
    EXPECT_FALSE(mute->RegisterInScript(other));
    EXPECT_EQ(other.Names(), QStringList{"setMute"});
}

// ---- the toolkit side ----

TEST(TypedActions, TheToolkitPropertiesReachTheQAction) {
    auto a = Make<TNopeAction>("Open");
    a->SetName("naOpen");
    a->SetCaption("&Open");
    a->SetHint("Open a video");
    a->SetShortCut(TShortCut(0x4F | scCtrl));
    a->SetSecondaryShortcuts({"F3", "nonsense", "Ctrl+O"});
    EXPECT_EQ(a->objectName(), QStringLiteral("naOpen"));
    EXPECT_EQ(a->text(), QStringLiteral("&Open"));
    EXPECT_EQ(a->statusTip(), QStringLiteral("Open a video"));
    EXPECT_EQ(a->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::Key_F3)}));
    EXPECT_EQ(a->ImageIndex(), -1);
    EXPECT_TRUE(a->IncludePrefs);
    EXPECT_FALSE(a->ApplyWhenLoad);
    EXPECT_TRUE(a->Comments.isEmpty());
    a->SetShortCut(0);
    EXPECT_EQ(a->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_O)}));
}

} // namespace
