#include "platform/ui/Application.h"

#include "platform/ui/ScriptedDialogs.h"

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
