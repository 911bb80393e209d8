#include "platform/process/InterruptWait.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST(InterruptWait, EndsAtTheDeadlineOrAtASignal)
{
    {
        TInterruptWait wait;
        EXPECT_TRUE(wait.WaitUntil(Clock::now() + 20ms));
        EXPECT_TRUE(wait.WaitUntil(Clock::now() - 1s)) << "a deadline in the past returns at once";
        EXPECT_FALSE(wait.Interrupted());
        EXPECT_EQ(wait.ExitStatus(), 0);

        // A signal that came before the wait ends it at once, and every
        // later wait too.
        // (False is the signal's answer: the deadline's is true.)
        ::raise(SIGINT);
        EXPECT_FALSE(wait.WaitUntil(Clock::now() + 30s));
        EXPECT_TRUE(wait.Interrupted());
        ::raise(SIGTERM);
        EXPECT_FALSE(wait.WaitUntil(Clock::now() + 30s));
        EXPECT_EQ(wait.ExitStatus(), 130) << "the first signal's";
    }
    // The signals were taken: unblocking them did not end this process, and
    // SIGINT is delivered normally again.
    sigset_t blocked;
    pthread_sigmask(SIG_BLOCK, nullptr, &blocked);
    EXPECT_FALSE(sigismember(&blocked, SIGINT));
    EXPECT_FALSE(sigismember(&blocked, SIGTERM));
}

TEST(InterruptWait, StopFromAnotherThreadEndsTheWaitUnderWayAndEveryLaterOne)
{
    TInterruptWait wait;
    std::atomic<bool> waiting{false};
    std::thread stopper([&] {
        while (!waiting)
            std::this_thread::yield();
        std::this_thread::sleep_for(50ms);
        wait.Stop();
    });
    waiting = true;
    const auto start = Clock::now();
    EXPECT_FALSE(wait.WaitUntil(start + 30s));
    EXPECT_LT(Clock::now() - start, 10s);
    stopper.join();
    EXPECT_TRUE(wait.Interrupted());
    EXPECT_FALSE(wait.WaitUntil(Clock::now() + 30s));
}

} // namespace
