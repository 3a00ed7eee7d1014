#include "platform/ui/ThreadedTimer.h"

#include "platform/ui/MessageQueue.h"
#include "platform/ui/ProcessMessages.h"

#include <atomic>
#include <thread>

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

namespace {

size_t PendingMessages() {
    return kelvara::ui::TMessageQueue::Instance().Pending();
}

TEST(TThreadedTimer, StartsEnabledWithAnIntervalOfOneSecond) {
    TThreadedTimer timer;
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_TRUE(timer.Enabled());
}

TEST(TThreadedTimer, TicksRunOnTheGuiThreadWithTheOwnerAsSender) {
    QObject owner;
    TThreadedTimer timer(&owner);
    int ticks = 0;
    bool onGui = true;
    QObject* sender = nullptr;
    timer.OnTimer = [&](QObject* s) {
        ++ticks;
        sender = s;
        onGui = onGui && QThread::currentThread() == qApp->thread();
    };
    timer.SetInterval(5);
    ASSERT_TRUE(WaitServingMessages([&] { return ticks >= 3; }, 30000));
    EXPECT_TRUE(onGui);
    EXPECT_EQ(sender, &owner);
}

TEST(TThreadedTimer, DisablingSuspendsTheTicksAndEnablingResumesThem) {
    TThreadedTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](QObject*) { ++ticks; };
    timer.SetInterval(2);
    ASSERT_TRUE(WaitServingMessages([&] { return ticks >= 1; }, 30000));
    timer.SetEnabled(false);
    ProcessMessages(); // a tick already under way is skipped, not run
    const int before = ticks;
    WaitServingMessages([] { return false; }, 50);
    EXPECT_EQ(ticks, before);
    timer.SetEnabled(true);
    EXPECT_TRUE(WaitServingMessages([&] { return ticks > before; }, 30000));
}

TEST(TThreadedTimer, AnExceptionInTheHandlerIsSwallowedAndTheTimerGoesOn) {
    TThreadedTimer timer;
    int ticks = 0;
    timer.OnTimer = [&](QObject*) {
        ++ticks;
        throw std::runtime_error("tick failed");
    };
    timer.SetInterval(2);
    EXPECT_TRUE(WaitServingMessages([&] { return ticks >= 3; }, 30000));
}

// The worker is blocked waiting for the GUI thread to run a tick when the GUI thread destroys the
// timer: destruction must release it rather than wait for it forever.
TEST(TThreadedTimer, DestructionWhileTheWorkerWaitsForTheGuiThreadDoesNotDeadlock) {
    int ticks = 0;
    {
        TThreadedTimer timer;
        timer.OnTimer = [&](QObject*) { ++ticks; };
        timer.SetInterval(1);
        while (PendingMessages() == 0)
            std::this_thread::yield();
    }
    ProcessMessages();
    EXPECT_EQ(ticks, 0);
}

TEST(TThreadedTimer, ATimerMayBeDestroyedFromItsOwnTick) {
    auto timer = std::make_unique<TThreadedTimer>();
    int ticks = 0;
    timer->OnTimer = [&](QObject*) {
        ++ticks;
        timer.reset();
    };
    timer->SetInterval(1);
    ASSERT_TRUE(WaitServingMessages([&] { return timer == nullptr; }, 30000));
    EXPECT_EQ(ticks, 1);
}

TEST(TThreadedTimer, ManyTimersStartingAndStoppingWhileTicking) {
    std::atomic<int> ticks{0};
    for (int round = 0; round < 20; ++round) {
        TThreadedTimer a, b;
        a.OnTimer = b.OnTimer = [&](QObject*) { ++ticks; };
        a.SetInterval(1);
        b.SetInterval(2);
        WaitServingMessages([&] { return ticks.load() > round; }, 30000);
        b.SetEnabled(round % 2 == 0);
        a.SetInterval(3);
    }
    EXPECT_GT(ticks.load(), 0);
}

} // namespace
