#include "commands/uScriptAction.h"
#include "commands/uSuperAction.h"
#include "commands/uZvSwitch.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageWindow.h"
#include "platform/ui/ScriptedDialogs.h"
#include "tests/commands/support/QtPrint.h"

#include <QCloseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

struct TMainWindow : QWidget {
    int Closes = 0;
    void closeEvent(QCloseEvent* e) override {
        ++Closes;
        e->accept();
    }
};

// A runner with the program's kind of actions attached, and a main window to close.
struct TSwitchRunner : ::testing::Test {
    void SetUp() override {
        MacroRecorder = nullptr;
        MacroNesting = false;
        dig = Add<TIntegerAction>("iaDigits", "Digits", "dig");
        si = Add<TCheckAction>("caIntervalloShow", "IntervalloShow", "si");
        open = Add<TWidestringAction>("waOpenFile", "OpenFile", "o");
        grab = Add<TNopeAction>("naGrab", "Grab", "g");
        dh = Add<TDoubleAction>("daDecalageHoraire", "DecalageHoraire", "dh");
        unnamed = Add<TNopeAction>("naStartMacro", "", "");
        grab->OnAfterApply = [this] { log << "grab"; };
        open->OnAfterApply = [this](const QString& f) { log << "open " + f; };
        dig->OnAfterApply = [this](int32_t v) { log << QStringLiteral("dig %1").arg(v); };
        runner = new TZvSwitch(&form);
        list->SetSwitch(runner);
        // Not shown: a real activation of the application must not run the command line here.
        Application().SetMainWindow(&mainWindow);
    }
    void TearDown() override {
        Application().SetMainWindow(nullptr);
        Application().SetParamStrings(std::nullopt);
    }
    template <class A>
    A* Add(const char* id, const char* scriptName, const char* switchName) {
        auto* a = new A(QString::fromLatin1(id), list);
        a->ScriptName = QString::fromLatin1(scriptName);
        a->Switch = QString::fromLatin1(switchName);
        return a;
    }
    void Run(const QStringList& args) {
        Application().SetParamStrings(args);
        runner->Run();
    }

    QObject form;
    TZvActionList* list = new TZvActionList(&form);
    TZvSwitch* runner = nullptr;
    TIntegerAction* dig = nullptr;
    TCheckAction* si = nullptr;
    TWidestringAction* open = nullptr;
    TNopeAction* grab = nullptr;
    TDoubleAction* dh = nullptr;
    TNopeAction* unnamed = nullptr;
    TMainWindow mainWindow;
    QStringList log;
};

TEST_F(TSwitchRunner, ArgumentsParseIntoPrefixNameAndValue) {
    struct Case {
        const char* Argument;
        TCustomAbstractAction* (*Expected)(TSwitchRunner&);
        char Prefix;
        const char* Value;
    };
    const Case cases[] = {
        {"/dig=5", [](TSwitchRunner& s) -> TCustomAbstractAction* { return s.dig; }, '/', "5"},
        {"/DIG=5", [](TSwitchRunner& s) -> TCustomAbstractAction* { return s.dig; }, '/', "5"},
        {"+Dig=a=b", [](TSwitchRunner& s) -> TCustomAbstractAction* { return s.dig; }, '+', "a=b"},
        {"-si", [](TSwitchRunner& s) -> TCustomAbstractAction* { return s.si; }, '-', ""},
        {"/o=C:\\v\\my clip.avi", [](TSwitchRunner& s) -> TCustomAbstractAction* { return s.open; },
         '/', "C:\\v\\my clip.avi"},
        {"/dig=", [](TSwitchRunner& s) -> TCustomAbstractAction* { return s.dig; }, '/', ""},
    };
    for (const Case& c : cases) {
        runner->ParseCommandLine(); // clears the entries (no arguments set)
        Application().SetParamStrings(QStringList{});
        runner->ParseCommandLine();
        runner->ParseParam(QString::fromUtf8(c.Argument));
        ASSERT_EQ(runner->Entries().Count(), 1) << c.Argument;
        const TActionEx& e = runner->Entries().Items(0);
        EXPECT_EQ(e.Action, c.Expected(*this)) << c.Argument;
        EXPECT_EQ(e.Prefix, QChar(c.Prefix)) << c.Argument;
        EXPECT_EQ(e.Value, QString::fromUtf8(c.Value)) << c.Argument;
    }
    for (const char* ignored : {"/nosuch=1", "C:\\v\\clip.avi", "dig=5", "", "/", "/=5", "/quit"}) {
        Application().SetParamStrings(QStringList{});
        runner->ParseCommandLine();
        runner->ParseParam(QString::fromUtf8(ignored));
        EXPECT_EQ(runner->Entries().Count(), 0) << '"' << ignored << '"';
    }
    EXPECT_TRUE(runner->QuitRequested());
}

TEST_F(TSwitchRunner, DigSetsTheIntegerInEitherLetterCase) {
    Run({"/DIG=5"});
    EXPECT_EQ(dig->Value(), 5);
    Run({"/dig=7"});
    EXPECT_EQ(dig->Value(), 7);
    EXPECT_EQ(runner->Entries().Count(), 0); // cleared after the run
}

TEST_F(TSwitchRunner, AnIntegerSwitchWithoutValueSetsMinusOne) {
    Run({"/dig"});
    EXPECT_EQ(dig->Value(), -1);
}

TEST_F(TSwitchRunner, QuitGivenFirstStillRunsTheOthersBeforeClosing) {
    bool closedBeforeGrab = false;
    grab->OnAfterApply = [&] {
        closedBeforeGrab = mainWindow.Closes > 0;
        log << "grab";
    };
    Run({"/quit", "/o=C:\\v\\clip.avi", "/g"});
    EXPECT_EQ(log, (QStringList{"open C:\\v\\clip.avi", "grab"}));
    EXPECT_FALSE(closedBeforeGrab);
    EXPECT_EQ(mainWindow.Closes, 1);
    EXPECT_FALSE(runner->Executing());
}

TEST_F(TSwitchRunner, ACheckActionFollowsItsPrefix) {
    Run({"+si"});
    EXPECT_TRUE(si->Checked());
    Run({"-si"});
    EXPECT_FALSE(si->Checked());
    Run({"/si", "/si"});
    EXPECT_FALSE(si->Checked()); // toggled twice: back where it started
    Run({"/si"});
    EXPECT_TRUE(si->Checked());
}

TEST_F(TSwitchRunner, AFilePathAloneMakesNoEntryAndCallsOnNoCommandLine) {
    int calls = 0;
    QObject* sender = &form;
    runner->OnNoCommandLine = [&](QObject* s) {
        ++calls;
        sender = s;
    };
    Run({"/home/me/clip.avi"});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, nullptr);
    Run({"/o=x"});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(mainWindow.Closes, 0);
}

TEST_F(TSwitchRunner, QuitAloneStillClosesTheProgram) {
    int calls = 0;
    runner->OnNoCommandLine = [&](QObject*) { ++calls; };
    Run({"/nosuch", "/QUIT"});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(mainWindow.Closes, 1);
}

TEST_F(TSwitchRunner, ADisabledActionIsSkipped) {
    dig->SetEnabled(false);
    Run({"/dig=5", "/g"});
    EXPECT_EQ(dig->Value(), 0);
    EXPECT_EQ(log, QStringList{"grab"});
}

TEST_F(TSwitchRunner, AnExceptionStopsTheEntriesButQuitStillCloses) {
    open->OnAfterApply = [](const QString&) { throw std::runtime_error("cannot open"); };
    bool executingDuringRun = false;
    dig->OnAfterApply = [&](int32_t) { executingDuringRun = runner->Executing(); };
    Application().SetParamStrings(QStringList{"/dig=2", "/o=bad.avi", "/g", "/quit"});
    EXPECT_THROW(runner->Run(), std::runtime_error);
    EXPECT_TRUE(executingDuringRun);
    EXPECT_TRUE(log.isEmpty()); // the grab after the failing entry did not run
    EXPECT_EQ(mainWindow.Closes, 1);
    EXPECT_FALSE(runner->Executing());
    EXPECT_EQ(runner->Entries().Count(), 0);
}

TEST_F(TSwitchRunner, EntriesRunInOrderWithMessagesProcessedAroundEach) {
    std::vector<std::string> order;
    TMessageWindow window(
        [&](TMessage& m) { order.push_back("message " + std::to_string(m.LParam)); });
    open->OnAfterApply = [&](const QString&) {
        order.push_back("open");
        window.Post(WM_KELVARA, 0, 1); // the effect of the open progresses before the grab
    };
    grab->OnAfterApply = [&] { order.push_back("grab"); };
    Run({"/o=clip.avi", "/g"});
    EXPECT_EQ(order, (std::vector<std::string>{"open", "message 1", "grab"}));
}

TEST_F(TSwitchRunner, TheCommandLineIsAppliedAtTheFirstActivationOnly) {
    int activations = 0;
    runner->OnActivate = [&](QObject*) { ++activations; };
    Application().SetParamStrings(QStringList{"/g"});
    Application().Activate();
    Application().Activate();
    Application().Activate();
    EXPECT_EQ(log, QStringList{"grab"});
    EXPECT_EQ(activations, 3);
}

TEST_F(TSwitchRunner, AnActivationDuringTheRunDoesNotApplyTheCommandLineAgain) {
    grab->OnAfterApply = [&] {
        log << "grab";
        Application().Activate(); // as if the window got activated while the run processes messages
    };
    Application().SetParamStrings(QStringList{"/g"});
    Application().Activate();
    EXPECT_EQ(log, QStringList{"grab"});
}

TEST_F(TSwitchRunner, AnExceptionAtTheFirstActivationIsReportedOnce) {
    TScriptedDialogs dialogs;
    dialogs.Answer(mrOk);
    grab->OnAfterApply = [] { throw std::runtime_error("grab failed"); };
    Application().SetParamStrings(QStringList{"/g"});
    Application().Activate();
    Application().Activate();
    ASSERT_EQ(dialogs.Asked().size(), 1);
    EXPECT_EQ(dialogs.Asked()[0].Request.Text, QStringLiteral("grab failed"));
}

TEST_F(TSwitchRunner, ActionsAddedAfterTheRunnerWasAssignedCannotBeReached) {
    auto* late = Add<TIntegerAction>("iaNextNum", "NextNum", "n");
    Run({"/n=5"});
    EXPECT_EQ(late->Value(), 0);
    list->SetSwitch(runner); // the same runner again: nothing changes
    Run({"/n=5"});
    EXPECT_EQ(late->Value(), 0);
}

TEST_F(TSwitchRunner, ListsMoveBetweenRunners) {
    const int before = runner->SwitchCount();
    EXPECT_EQ(before, 6); // an action without switch is entered under the empty name
    TZvSwitch other(&form);
    list->SetSwitch(&other);
    EXPECT_EQ(runner->SwitchCount(), 0);
    EXPECT_EQ(other.SwitchCount(), before);
    EXPECT_EQ(other.FindAction("DIG"), dig);
    EXPECT_EQ(runner->FindAction("dig"), nullptr);
    list->SetSwitch(nullptr);
    EXPECT_EQ(other.SwitchCount(), 0);
}

TEST_F(TSwitchRunner, TheDefaultActionReceivesWhatNamesNoSwitch) {
    auto* fallback = Add<TWidestringAction>("waOpen", "Open", "");
    runner->SetDefaultAction(fallback);
    Run({"/home/me/clip.avi", "/nosuch=1"});
    EXPECT_EQ(fallback->Value(), QStringLiteral("1"));
}

TEST_F(TSwitchRunner, ADoubleSwitchFollowsTheLocale) {
    QLocale::setDefault(QLocale::c());
    Run({"/dh=1.5"});
    EXPECT_EQ(dh->Value(), 1.5);
    Run({"/dh=x"});
    EXPECT_EQ(dh->Value(), -1.0);
}

TEST(TSuperList, ClearDestroysTheItemsLastFirst) {
    TSuperList list;
    list.Add({nullptr, "a", QChar('/')});
    list.Add({nullptr, "b", QChar()});
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1).Value, QStringLiteral("b"));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

} // namespace
