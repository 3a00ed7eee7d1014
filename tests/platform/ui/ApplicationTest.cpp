#include "platform/ui/Application.h"

#include "platform/ui/ScriptedDialogs.h"
#include "platform/ui/TypedArguments.h"

#include <new>

#include <QApplication>
#include <QCloseEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

struct TApplicationTest : ::testing::Test {
    void TearDown() override {
        Application().ClearOnActivate(&owner);
        Application().ClearOnActivate(nullptr);
        Application().SetParamStrings(std::nullopt);
        Application().SetErrorReport(nullptr);
        ForgetCapturedArguments();
    }
    QObject owner;
};

TEST_F(TApplicationTest, ActivateRunsTheHandlerThatMayReplaceItself) {
    int first = 0, later = 0;
    Application().SetOnActivate(
        [&](QObject*) {
            ++first;
            Application().SetOnActivate([&](QObject*) { ++later; }, &owner);
        },
        &owner);
    Application().Activate();
    Application().Activate();
    Application().Activate();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(later, 2);
}

TEST_F(TApplicationTest, OnlyTheOwnerTakesItsHandlerBack) {
    QObject other;
    int calls = 0;
    Application().SetOnActivate([&](QObject*) { ++calls; }, &owner);
    Application().ClearOnActivate(&other);
    Application().Activate();
    Application().ClearOnActivate(&owner);
    Application().Activate();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(Application().HasOnActivate());
}

TEST_F(TApplicationTest, AnExceptionFromTheHandlerGoesToTheErrorReport) {
    TScriptedDialogs dialogs;
    dialogs.Answer(mrOk);
    Application().SetOnActivate([](QObject*) { throw std::runtime_error("bad switch"); }, &owner);
    Application().Activate();
    ASSERT_EQ(dialogs.Asked().size(), 1);
    EXPECT_EQ(dialogs.Asked()[0].Request.Text, QStringLiteral("bad switch"));
}

TEST_F(TApplicationTest, TheApplicationBecomingActiveRunsTheHandler) {
    // Start from an inactive application so that the change to active is a real one.
    QApplication::setActiveWindow(nullptr);
    for (int i = 0; i < 100 && QGuiApplication::applicationState() == Qt::ApplicationActive; ++i)
        QApplication::processEvents();
    int calls = 0;
    Application().SetOnActivate([&](QObject*) { ++calls; }, &owner);
    QWidget window;
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    for (int i = 0; i < 100 && QGuiApplication::applicationState() != Qt::ApplicationActive; ++i)
        QApplication::processEvents();
    if (QGuiApplication::applicationState() != Qt::ApplicationActive)
        GTEST_SKIP() << "this platform does not report application activation";
    EXPECT_GE(calls, 1);
}

TEST_F(TApplicationTest, ParamStringsLeaveOutTheProgramPath) {
    EXPECT_EQ(Application().ParamStrings(), QCoreApplication::arguments().mid(1));
    Application().SetParamStrings(QStringList{"/o=C:\\v\\my clip.avi", "/g"});
    EXPECT_EQ(Application().ParamStrings(), (QStringList{"/o=C:\\v\\my clip.avi", "/g"}));
}

// Nothing is taken out of the command line: not the toolkit's own options, not what follows
// "--", not the bytes of a name that is no UTF-8.
TEST_F(TApplicationTest, CapturedArgumentsAreTheOnesTyped) {
    const char* argv[] = {"kelvara", "-platform", "x.dv",  "/o=a\xff.avi",
                          "--",      "-reverse",  nullptr, "after the end"};
    CaptureTypedArguments(8, argv);
    EXPECT_EQ(
        Application().ParamStrings(),
        (QStringList{"-platform", "x.dv", QStringLiteral("/o=a\uFFFD.avi"), "--", "-reverse"}));
    ASSERT_TRUE(CapturedArguments());
    ASSERT_EQ(CapturedArguments()->Native().size(), 5u);
    EXPECT_EQ(CapturedArguments()->Native()[2], QByteArray("/o=a\xff.avi"));
    Application().SetParamStrings(QStringList{"/g"});
    EXPECT_EQ(Application().ParamStrings(), QStringList{"/g"});
}

TEST_F(TApplicationTest, ErrorsAreCountedAndTheLastKeptWhateverTheReport) {
    TScriptedDialogs dialogs;
    std::vector<std::string> reported;
    Application().SetErrorReport([&](const std::exception& e) { reported.push_back(e.what()); });
    const int before = Application().ReportedErrorCount();
    Application().ShowException(std::runtime_error("first"));
    ASSERT_TRUE(Application().LastReportedError());
    EXPECT_FALSE(Application().LastReportedError()->OutOfMemory);
    EXPECT_EQ(Application().LastReportedError()->What, "first");
    Application().ShowException(std::bad_alloc());
    EXPECT_TRUE(Application().LastReportedError()->OutOfMemory);
    EXPECT_EQ(Application().ReportedErrorCount(), before + 2);
    EXPECT_EQ(reported.size(), 2u);
    EXPECT_TRUE(dialogs.Asked().empty());
    // A report that fails itself does not throw out of ShowException.
    Application().SetErrorReport([](const std::exception&) { throw std::bad_alloc(); });
    EXPECT_NO_THROW(Application().ShowException(std::runtime_error("again")));
    EXPECT_EQ(Application().ReportedErrorCount(), before + 3);
    Application().SetErrorReport(nullptr);
    dialogs.Answer(mrOk);
    Application().ShowException(std::runtime_error("in a box"));
    ASSERT_EQ(dialogs.Asked().size(), 1);
    EXPECT_EQ(dialogs.Asked()[0].Request.Text, QStringLiteral("in a box"));
}

struct TClosingWindow : QWidget {
    int Closes = 0;
    void closeEvent(QCloseEvent* e) override {
        ++Closes;
        e->accept();
    }
};

TEST_F(TApplicationTest, CloseMainWindowClosesTheRegisteredWindow) {
    TClosingWindow window;
    window.show();
    Application().SetMainWindow(&window);
    Application().CloseMainWindow();
    EXPECT_EQ(window.Closes, 1);
    EXPECT_FALSE(window.isVisible());
    Application().SetMainWindow(nullptr);
}

} // namespace
