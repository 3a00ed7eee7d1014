#include "platform/ui/MessageWindow.h"

#include "platform/ui/MessageQueue.h"
#include "platform/ui/ProcessMessages.h"
#include "platform/ui/ScriptedDialogs.h"

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr UINT WM_TEST = WM_KELVARA + 0x50;

size_t PendingMessages() {
    return kelvara::ui::TMessageQueue::Instance().Pending();
}

// Serves the GUI thread's messages until cond holds; false after a generous guard.
bool PumpUntil(const std::function<bool()>& cond) {
    return WaitServingMessages(cond, 20000);
}

// Records what a window's procedure received, and on which thread.
struct TRecorder {
    std::vector<UINT> Messages;
    std::vector<LPARAM> Params;
    bool AllOnGuiThread = true;
    std::function<void(TMessage&)> Extra;

    TMessageWindow::THandler Handler() {
        return [this](TMessage& m) {
            AllOnGuiThread = AllOnGuiThread && QThread::currentThread() == qApp->thread();
            Messages.push_back(m.Msg);
            Params.push_back(m.LParam);
            m.Result = m.LParam * 2;
            if (Extra)
                Extra(m);
        };
    }
};

TEST(TMessageWindow, PostsFromSeveralThreadsAreHandledInOrderOnTheGuiThread) {
    TRecorder rec;
    TMessageWindow window(rec.Handler());
    const TWindowHandle handle = window.Handle();
    constexpr int PerThread = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([handle, t] {
            for (int i = 0; i < PerThread; ++i) {
                EXPECT_TRUE(handle.Post(WM_TEST + UINT(t), 0, i));
            }
        });
    for (auto& th : threads)
        th.join();
    ASSERT_TRUE(PumpUntil([&] { return rec.Messages.size() == 3 * PerThread; }));
    EXPECT_TRUE(rec.AllOnGuiThread);
    // Each thread's posts keep their order.
    for (UINT t = 0; t < 3; ++t) {
        LPARAM expected = 0;
        for (size_t k = 0; k < rec.Messages.size(); ++k) {
            if (rec.Messages[k] == WM_TEST + t) {
                EXPECT_EQ(rec.Params[k], expected++) << "thread " << t;
            }
        }
        EXPECT_EQ(expected, PerThread);
    }
}

TEST(TMessageWindow, PostsAreDeliveredByTheEventLoopWithoutExplicitPumping) {
    TRecorder rec;
    TMessageWindow window(rec.Handler());
    QEventLoop loop;
    rec.Extra = [&](TMessage&) { loop.quit(); };
    std::thread worker([h = window.Handle()] { h.Post(WM_TEST, 0, 7); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(20000);
    loop.exec();
    worker.join();
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.Params[0], 7);
}

TEST(TMessageWindow, SendFromAWorkerBlocksUntilHandledAndReturnsTheResult) {
    TRecorder rec;
    TMessageWindow window(rec.Handler());
    std::atomic<bool> returned{false};
    auto result = std::async(std::launch::async, [&, h = window.Handle()] {
        const LRESULT r = h.Send(WM_TEST, 0, 21);
        returned = true;
        return r;
    });
    // The send is queued and its sender waits: nothing has handled it yet.
    while (PendingMessages() == 0)
        std::this_thread::yield();
    EXPECT_FALSE(returned.load());
    EXPECT_TRUE(rec.Messages.empty());
    ASSERT_TRUE(WaitServingMessages(result, 20000));
    EXPECT_EQ(result.get(), 42);
    EXPECT_TRUE(rec.AllOnGuiThread);
}

TEST(TMessageWindow, SendFromTheGuiThreadIsADirectCallAheadOfQueuedPosts) {
    TRecorder rec;
    TMessageWindow window(rec.Handler());
    window.Post(WM_TEST, 0, 1);
    EXPECT_EQ(window.Send(WM_TEST + 1, 0, 5), 10);
    ASSERT_EQ(rec.Messages.size(), 1u);
    EXPECT_EQ(rec.Messages[0], WM_TEST + 1);
    ProcessMessages();
    ASSERT_EQ(rec.Messages.size(), 2u);
    EXPECT_EQ(rec.Messages[1], WM_TEST);
}

TEST(TMessageWindow, PostsAndSendsFromOneThreadKeepTheirOrder) {
    TRecorder rec;
    TMessageWindow window(rec.Handler());
    auto done = std::async(std::launch::async, [h = window.Handle()] {
        h.Post(WM_TEST, 0, 1);
        h.Send(WM_TEST, 0, 2);
        h.Post(WM_TEST, 0, 3);
        return h.Send(WM_TEST, 0, 4);
    });
    ASSERT_TRUE(WaitServingMessages(done, 20000));
    EXPECT_EQ(done.get(), 8);
    ProcessMessages();
    EXPECT_EQ(rec.Params, (std::vector<LPARAM>{1, 2, 3, 4}));
}

TEST(TMessageWindow, DestroyingTheWindowReleasesPendingSendsAndDropsPosts) {
    TRecorder rec;
    auto window = std::make_unique<TMessageWindow>(rec.Handler());
    const TWindowHandle handle = window->Handle();
    handle.Post(WM_TEST, 0, 1);
    auto sent = std::async(std::launch::async, [handle] { return handle.Send(WM_TEST, 0, 9); });
    while (PendingMessages() < 2)
        std::this_thread::yield();
    window.reset();
    EXPECT_EQ(sent.get(), 0);
    ProcessMessages();
    EXPECT_TRUE(rec.Messages.empty());
    // A handle that outlived its window fails at once.
    EXPECT_FALSE(handle.IsWindow());
    EXPECT_FALSE(handle.Post(WM_TEST));
    EXPECT_EQ(handle.Send(WM_TEST, 0, 3), 0);
    auto late = std::async(std::launch::async, [handle] { return handle.Send(WM_TEST, 0, 3); });
    EXPECT_EQ(late.get(), 0);
    EXPECT_FALSE(TWindowHandle().Post(WM_TEST));
}

TEST(TMessageWindow, DestroyingTheWindowInsideItsHandlerReleasesTheSenderBeingServed) {
    TRecorder rec;
    auto window = std::make_unique<TMessageWindow>(rec.Handler());
    rec.Extra = [&](TMessage&) { window.reset(); };
    auto sent =
        std::async(std::launch::async, [h = window->Handle()] { return h.Send(WM_TEST, 0, 4); });
    ASSERT_TRUE(WaitServingMessages(sent, 20000));
    EXPECT_EQ(sent.get(), 0);
    EXPECT_EQ(rec.Messages.size(), 1u);
}

TEST(TMessageWindow, AnExceptionInTheHandlerIsReportedAndTheSenderGetsTheResultSoFar) {
    TScriptedDialogs dialogs;
    dialogs.Answer(mrOk);
    TMessageWindow window([](TMessage& m) {
        m.Result = 5;
        throw std::runtime_error("handler failed");
    });
    auto sent = std::async(std::launch::async, [h = window.Handle()] { return h.Send(WM_TEST); });
    ASSERT_TRUE(WaitServingMessages(sent, 20000));
    EXPECT_EQ(sent.get(), 5);
    ASSERT_EQ(dialogs.Asked().size(), 1);
    EXPECT_EQ(dialogs.Asked()[0].Request.Text, QStringLiteral("handler failed"));
    EXPECT_EQ(dialogs.Asked()[0].Request.Kind, mtError);
}

// The deadlock rule: the GUI thread waits for a worker that is itself blocked in Send to a window
// of the GUI thread; the wait serves the send, so the worker finishes.
TEST(TMessageWindow, GuiThreadWaitingForAWorkerBlockedInSendCompletes) {
    TRecorder rec;
    TMessageWindow window(rec.Handler());
    std::atomic<bool> finished{false};
    std::thread worker([&, h = window.Handle()] {
        for (int i = 0; i < 50; ++i)
            h.Send(WM_TEST, 0, i);
        finished = true;
        WakeMessageWaiters();
    });
    const bool done = WaitServingMessages([&] { return finished.load(); }, 60000);
    worker.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(rec.Messages.size(), 50u);
}

TEST(TMessageWindow, WaitServingMessagesGivesUpAfterItsTimeOut) {
    EXPECT_FALSE(WaitServingMessages([] { return false; }, 20));
    EXPECT_TRUE(WaitServingMessages([] { return true; }, 0));
}

// Several streaming-like threads post and send while the GUI thread repeatedly waits for them and
// windows come and go; run under ThreadSanitizer this checks the queue's locking.
TEST(TMessageWindow, StressOfSendsPostsWaitsAndWindowDestruction) {
    for (int round = 0; round < 10; ++round) {
        TRecorder rec;
        auto window = std::make_unique<TMessageWindow>(rec.Handler());
        const TWindowHandle handle = window->Handle();
        std::atomic<int> running{4};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, handle, t] {
                for (int i = 0; i < 100; ++i) {
                    if ((i + t) % 3 == 0)
                        handle.Send(WM_TEST, 0, i);
                    else
                        handle.Post(WM_TEST, 0, i);
                }
                --running;
                WakeMessageWaiters();
            });
        if (round % 2 == 0) {
            EXPECT_TRUE(WaitServingMessages([&] { return running.load() == 0; }, 60000));
        } else {
            WaitServingMessages([&] { return rec.Messages.size() > 50; }, 60000);
            window.reset(); // releases the senders still waiting
        }
        for (auto& th : threads)
            th.join();
        ProcessMessages();
    }
}

} // namespace
