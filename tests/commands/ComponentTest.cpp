#include "commands/uScriptAction.h"
#include "commands/uWndComponent.h"
#include "platform/ui/MessageQueue.h"
#include "platform/ui/ProcessMessages.h"
#include "tests/commands/support/QtPrint.h"

#include <future>
#include <thread>

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

namespace {

constexpr UINT WM_COUNT = WM_KELVARA + 0x20;
constexpr UINT WM_ECHO = WM_KELVARA + 0x21;

// A component as the program's managers are written: four steps and its own messages.
class TCounterMan : public TZvActionComponent {
public:
    using TZvActionComponent::TZvActionComponent;

    std::vector<std::string> Steps;
    std::vector<LPARAM> Counted;
    bool OnGuiThread = true;
    TIntegerAction* iaCount = nullptr;
    TNopeAction* naMissing = nullptr;

protected:
    void CreateActions() override {
        Steps.push_back("create");
        new TIntegerAction("iaCount", this);
    }
    void InitActions() override {
        Steps.push_back("init");
        if (auto* a = FindAction<TIntegerAction>("iaCount")) {
            a->SetName("iaCount");
            a->ScriptName = "Count";
            a->SetCaption("from init");
        }
    }
    void FindActions() override {
        Steps.push_back("find");
        iaCount = FindAction<TIntegerAction>("iaCount");
        naMissing = FindAction<TNopeAction>("naMissing");
    }
    void WireActions() override {
        Steps.push_back("wire");
        if (iaCount) {
            iaCount->OnInternalApply = [this](int32_t v) { PostMessage(WM_COUNT, 0, v); };
            iaCount->SetCaption("Count");
        }
    }
    void WndProc(TMessage& m) override {
        OnGuiThread = OnGuiThread && QThread::currentThread() == qApp->thread();
        switch (m.Msg) {
        case WM_COUNT:
            Counted.push_back(m.LParam);
            break;
        case WM_ECHO:
            m.Result = m.LParam + 1;
            break;
        default:
            TZvActionComponent::WndProc(m);
        }
    }
};

TEST(TZvActionComponent, BuildsItsActionsInFourStepsOnce) {
    QObject form;
    auto* man = new TCounterMan(&form);
    man->BuildActions();
    man->BuildActions();
    EXPECT_EQ(man->Steps, (std::vector<std::string>{"create", "init", "find", "wire"}));
    ASSERT_NE(man->iaCount, nullptr);
    EXPECT_EQ(man->naMissing, nullptr);
    EXPECT_EQ(man->iaCount->Caption(), QStringLiteral("Count")); // wiring has the last word
    EXPECT_EQ(man->iaCount->Category, QStringLiteral("internal"));
    EXPECT_EQ(man->iaCount->parent(), &form);
}

TEST(TZvActionComponent, PostedMessagesAreHandledLaterInOrderOnTheGuiThread) {
    QObject form;
    auto* man = new TCounterMan(&form);
    man->BuildActions();
    for (int v : {3, 1, 2})
        man->iaCount->SetValue(v);
    EXPECT_TRUE(man->Counted.empty()); // later, not during the apply
    std::thread worker([h = man->Handle()] {
        for (int v = 10; v < 13; ++v)
            h.Post(WM_COUNT, 0, v);
    });
    worker.join();
    ASSERT_TRUE(WaitServingMessages([&] { return man->Counted.size() == 6; }, 20000));
    EXPECT_EQ(man->Counted, (std::vector<LPARAM>{3, 1, 2, 10, 11, 12}));
    EXPECT_TRUE(man->OnGuiThread);
}

TEST(TZvActionComponent, SendWaitsForTheHandlerAndOtherMessagesReachTheDefaultProcedure) {
    QObject form;
    auto* man = new TCounterMan(&form);
    auto echo =
        std::async(std::launch::async, [h = man->Handle()] { return h.Send(WM_ECHO, 0, 41); });
    ASSERT_TRUE(WaitServingMessages(echo, 20000));
    EXPECT_EQ(echo.get(), 42);
    EXPECT_EQ(man->SendMessage(WM_ECHO, 0, 1), 2);
    EXPECT_EQ(man->SendMessage(WM_KELVARA + 0x7F, 0, 1), 0);
}

TEST(TZvActionComponent, DestroyingTheComponentReleasesAWaitingSender) {
    auto* man = new TCounterMan(nullptr);
    const TWindowHandle handle = man->Handle();
    auto echo = std::async(std::launch::async, [handle] { return handle.Send(WM_ECHO, 0, 5); });
    while (kelvara::ui::TMessageQueue::Instance().Pending() == 0)
        std::this_thread::yield(); // the sender is now waiting
    delete man;
    EXPECT_EQ(echo.get(), 0);
    EXPECT_FALSE(handle.Post(WM_COUNT));
}

} // namespace
