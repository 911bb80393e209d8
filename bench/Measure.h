#pragma once

// Runs a piece of work a number of times and prints the median and the
// 90th percentile of its wall-clock time.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

// Sorted samples, in milliseconds.
class TSamples {
public:
    void Add(double Ms) { FMs.push_back(Ms); }
    double Median() { return At(50); }
    double P90() { return At(90); }

private:
    double At(size_t Percent)
    {
        if (FMs.empty())
            return 0;
        std::sort(FMs.begin(), FMs.end());
        return FMs[std::min(FMs.size() - 1, FMs.size() * Percent / 100)];
    }
    std::vector<double> FMs;
};

template <typename Work> void Measure(const char *What, int Rounds, Work work)
{
    using namespace std::chrono;
    TSamples samples;
    for (int i = 0; i < Rounds; ++i) {
        const auto start = steady_clock::now();
        work();
        samples.Add(duration<double, std::milli>(steady_clock::now() - start).count());
    }
    std::printf("%-34s median %8.3f ms   p90 %8.3f ms   (%d repaints)\n", What, samples.Median(),
                samples.P90(), Rounds);
}
