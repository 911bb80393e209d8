// A port that vanishes in the middle of an exchange (the pseudo-terminal's
// master closes at a random moment of the wait): every call still returns
// within its bound with the failure the link reports for a dead line, a
// further call on the dead port returns at once, and the waiting costs
// almost no processor time, since it blocks in the kernel.

#include "device/LinkFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <random>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono;
using lumora::test::TPtyPair;

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

template <typename Call> milliseconds Timed(Call call)
{
    const auto start = steady_clock::now();
    call();
    return duration_cast<milliseconds>(steady_clock::now() - start);
}

// Pause (100 ms) plus the longest wait (1000 ms), with room for a loaded
// machine and sanitizers.
constexpr milliseconds ExchangeBound{1100 + 400};
constexpr milliseconds DeadPortBound{100 + 300};

struct TTally {
    milliseconds Waited{0};
    int Exchanges = 0;
};

// Runs Count exchanges on port Number, alternating reads and writes, each on
// a fresh line whose master closes CloseAt(random) after the call started.
void VanishingExchanges(int Number, int Count, unsigned Seed, std::mutex &storeLock, TTally &tally)
{
    std::mt19937 random(Seed);
    std::uniform_int_distribution<int> closeAt(0, 1150);
    TRecordingLabel label;
    TTestCom com(&label);
    for (int i = 0; i < Count; ++i) {
        TPtyPair pty;
        {
            // The settings store is one file: opening (which maps and stores
            // the port) is done one worker at a time.
            const std::lock_guard lock(storeLock);
            lumora::test::MapPort(Number, pty.SlavePath());
            ASSERT_TRUE(com.Open(Number));
        }
        const int moment = closeAt(random);
        std::thread closer([&pty, moment] {
            std::this_thread::sleep_for(milliseconds(moment));
            pty.CloseMaster();
        });
        const bool read = i % 2 == 0;
        uint8_t record[84] = {};
        bool ok = true;
        const milliseconds took =
            Timed([&] { ok = read ? com.ReadInfo(record, 84) : com.WriteCommand(record, 17); });
        closer.join();

        EXPECT_FALSE(ok);
        EXPECT_LE(took, ExchangeBound) << "closed after " << moment << " ms";
        const QString text = label.Last().Text;
        EXPECT_EQ(label.Last().Color, StatusErrorColor);
        if (read)
            EXPECT_TRUE(text == "Device response timeout!" || text == "Device no response,command fail.")
                << text.toStdString();
        else
            EXPECT_TRUE(text == "Command fail!" || text == "Couldn't open device!") << text.toStdString();

        // The line is gone for good now: the next call fails without waiting.
        const milliseconds again = Timed([&] { ok = com.ReadInfo(record, 84); });
        EXPECT_FALSE(ok);
        EXPECT_LE(again, DeadPortBound);
        tally.Waited += took + again;
        ++tally.Exchanges;
    }
}

TEST(VanishedPortTest, HundredExchangesEndInTimeAndWithoutSpinning)
{
    lumora::test::ResetConfigHome();
    // Four lines at once keep the scenario short; each has its own link.
    constexpr int Workers = 4;
    constexpr int PerWorker = 25;
    std::mutex storeLock;
    std::vector<TTally> tallies(Workers);
    const double cpuBefore = CpuSeconds();
    std::vector<std::thread> workers;
    workers.reserve(Workers);
    for (int w = 0; w < Workers; ++w)
        workers.emplace_back(VanishingExchanges, w + 1, PerWorker, 1000u + unsigned(w), std::ref(storeLock),
                             std::ref(tallies[size_t(w)]));
    for (auto &t : workers)
        t.join();
    const double cpu = CpuSeconds() - cpuBefore;

    milliseconds waited{0};
    int exchanges = 0;
    for (const TTally &t : tallies) {
        waited += t.Waited;
        exchanges += t.Exchanges;
    }
    EXPECT_EQ(exchanges, Workers * PerWorker);
    // Polling without blocking would burn the whole wait; blocking costs a
    // few milliseconds per exchange.
    EXPECT_LT(cpu, 0.05 * duration<double>(waited).count())
        << cpu << " s of processor time for " << waited.count() << " ms of exchanges";
}

} // namespace
