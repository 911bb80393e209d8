// A port that vanishes in the middle of an exchange (the pseudo-terminal's
// master closes before the request, or at a random moment of the pause or
// the wait): every exchange ends with the hung-up result, a read ends at the
// hang-up rather than at its bound, a further call on the dead port sends
// nothing, and the waiting costs almost no processor time, since it blocks
// in the kernel.

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

// The reads' wait for a reply, far beyond the moments the line closes at: a
// read that took half of it was not ended by the hang-up.
constexpr int ReadWaitMs = 20000;

struct TTally {
    milliseconds Waited{0};
    int Exchanges = 0;
};

// Runs Count exchanges on port Number, alternating reads and writes, each on
// a fresh line whose master closes before the request (every fifth) or a
// random moment after the request arrived. Writes wait for their
// acknowledgement 1000 ms after the pause: the moments stay well inside.
void VanishingExchanges(int Number, int Count, unsigned Seed, std::mutex &storeLock, TTally &tally)
{
    std::mt19937 random(Seed);
    std::uniform_int_distribution<int> closeAt(0, 400);
    TRecordingLabel label;
    TTestCom com(&label);
    com.FTimeout = ReadWaitMs;
    for (int i = 0; i < Count; ++i) {
        TPtyPair pty;
        {
            // The settings store is one file: opening (which maps and stores
            // the port) is done one worker at a time.
            const std::lock_guard lock(storeLock);
            lumora::test::MapPort(Number, pty.SlavePath());
            ASSERT_TRUE(com.Open(Number));
        }
        const bool read = i % 2 == 0;
        const bool beforeRequest = i % 5 == 4;
        const int moment = closeAt(random);
        if (beforeRequest)
            pty.CloseMaster();
        std::thread closer([&pty, read, beforeRequest, moment] {
            if (beforeRequest)
                return;
            pty.ReadMaster(read ? 7 : 24);
            std::this_thread::sleep_for(milliseconds(moment));
            pty.CloseMaster();
        });
        std::array<uint8_t, 84> record{};
        const auto start = steady_clock::now();
        const TLinkResult result = read ? com.Exchange(CmdReadInfo, record)
                                        : com.WriteRecord(std::span<const uint8_t>(record.data(), 17));
        const auto took = duration_cast<milliseconds>(steady_clock::now() - start);
        closer.join();

        ASSERT_EQ(result.Error, TLinkError::HungUp)
            << (read ? "read" : "write") << ", closed " << (beforeRequest ? -1 : moment)
            << " ms after the request";
        EXPECT_EQ(result.Sent, !beforeRequest);
        if (read) {
            ASSERT_LT(took, milliseconds(ReadWaitMs / 2)) << "the hang-up must end the wait";
        }

        // The line is gone for good: the next call fails at its request.
        const TLinkResult again = com.Exchange(CmdReadInfo, record);
        EXPECT_FALSE(again.Sent);
        EXPECT_EQ(again.Error, TLinkError::HungUp);
        tally.Waited += took;
        ++tally.Exchanges;
    }
}

TEST(VanishedPortTest, HundredExchangesEndAtTheHangUpWithoutSpinning)
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
