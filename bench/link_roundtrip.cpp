// Device link benchmark against the simulator on a pseudo-terminal:
//   1. ReadInfo round trip: median, spread and the overhead above the fixed
//      100 ms pause;
//   2. CPU time (user + system) of the process during a ReadInfo against a
//      silent device, i.e. a full 1000 ms wait;
//   3. resolving a port name the way every Open does, on a laptop-like tree
//      (32 ttyS nodes with one UART, four adapters): the first time, when
//      the four adapters are numbered and recorded, and afterwards.
//
//   build/bench-link_roundtrip [ROUNDS]   (default 50)

#include "device/ComUnit.h"
#include "device/EDFACom.h"
#include "platform/serial/PortMap.h"
#include "platform/store/SettingsStore.h"
#include "sim/SimServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace std::chrono;

class TNullLabel : public TStatusLabel {
public:
    void SetFontColor(uint32_t) override {}
    void SetCaption(const QString &Text) override { Last = Text; }
    QString Last;
};

double CpuMs()
{
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
           (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

double Percentile(std::vector<double> sorted, double p)
{
    const double pos = p * double(sorted.size() - 1);
    const size_t lo = size_t(std::floor(pos));
    const size_t hi = std::min(lo + 1, sorted.size() - 1);
    return sorted[lo] + (sorted[hi] - sorted[lo]) * (pos - double(lo));
}

// A tree of serial devices like a laptop's: ttyS0 to ttyS31 of which only
// ttyS0 has a UART, four adapters in serial/by-id.
TPortScanRoots LaptopTree(const QString &root, const QString &device)
{
    TPortScanRoots roots = TPortScanRoots::Under(root);
    QDir().mkpath(roots.ById);
    for (int i = 0; i < 32; ++i) {
        const QString sys = roots.SysTty + QStringLiteral("/ttyS%1").arg(i);
        QDir().mkpath(sys);
        QFile type(sys + QStringLiteral("/type"));
        if (type.open(QIODevice::WriteOnly))
            type.write(i == 0 ? "4\n" : "0\n");
        QFile::link(device, roots.Dev + QStringLiteral("/ttyS%1").arg(i));
    }
    for (int i = 0; i < 4; ++i)
        QFile::link(device, roots.ById + QStringLiteral("/usb-Vendor_Adapter_%1-if00-port0").arg(i));
    return roots;
}

void BenchResolution(const QString &device)
{
    QTemporaryDir root;
    const TPortScanRoots roots = LaptopTree(root.path(), device);
    TSettingsStore store(root.filePath(QStringLiteral("ComSetup.INI")));
    std::vector<double> first, again;
    for (int i = 0; i < 50; ++i) {
        QFile::remove(store.FilePath());
        auto start = steady_clock::now();
        const QString path = PortDevicePath(QStringLiteral("COM5"), store, roots);
        first.push_back(duration<double, std::milli>(steady_clock::now() - start).count());
        start = steady_clock::now();
        const QString same = PortDevicePath(QStringLiteral("COM5"), store, roots);
        again.push_back(duration<double, std::milli>(steady_clock::now() - start).count());
        if (path.isEmpty() || path != same)
            std::fprintf(stderr, "bench: COM5 did not resolve to the fourth adapter\n");
    }
    std::sort(first.begin(), first.end());
    std::sort(again.begin(), again.end());
    std::printf("Port name resolution (32 ttyS nodes, one UART, four adapters), 50 runs:\n");
    std::printf("  numbering and recording the four adapters: median %.3f ms, max %.3f ms\n",
                Percentile(first, 0.5), first.back());
    std::printf("  later resolutions (nothing to record): median %.3f ms, max %.3f ms\n",
                Percentile(again, 0.5), again.back());
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;

    // A private settings store: the user's own is never touched.
    QTemporaryDir config;
    ::setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);

    TSimServer sim(SampleDevice());
    if (!sim.Open()) {
        std::fprintf(stderr, "bench: no pseudo-terminal\n");
        return 1;
    }
    sim.Start();
    TSettingsStore(TSettingsStore::DefaultPath()).WriteString("Ports", "COM1", sim.SlavePath());

    TNullLabel label;
    TCOMMan com(&label);
    if (!com.Open(1)) {
        std::fprintf(stderr, "bench: %s\n", qPrintable(label.Last));
        return 1;
    }

    std::vector<double> times;
    times.reserve(size_t(rounds));
    TDeviceInfo info{};
    for (int i = 0; i < rounds; ++i) {
        const auto start = steady_clock::now();
        const bool ok = com.ReadInfo(&info, int(sizeof info));
        const double ms = duration<double, std::milli>(steady_clock::now() - start).count();
        if (!ok) {
            std::fprintf(stderr, "bench: round %d failed: %s\n", i, qPrintable(label.Last));
            return 1;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    const double mean = std::accumulate(times.begin(), times.end(), 0.0) / double(times.size());
    double var = 0;
    for (double t : times)
        var += (t - mean) * (t - mean);
    const double stdev = std::sqrt(var / double(times.size()));
    const double median = Percentile(times, 0.5);
    const double pause = TCOMMan::ReplyPauseMs;

    std::printf("ReadInfo round trip over a pty, %d rounds (87-byte reply):\n", rounds);
    std::printf("  median %.3f ms  min %.3f  p90 %.3f  max %.3f  stdev %.3f\n", median, times.front(),
                Percentile(times, 0.9), times.back(), stdev);
    std::printf("  overhead above the %.0f ms pause: median %.3f ms, max %.3f ms (target <= 1 ms)\n", pause,
                median - pause, times.back() - pause);

    // A silent device: the link waits out its whole 1000 ms bound in poll().
    TSimFaults silent;
    silent.Silent = true;
    sim.SetFaults(silent);
    std::printf("ReadInfo against a silent device (100 ms pause + 1000 ms wait), 3 runs:\n");
    double worst = 0;
    for (int i = 0; i < 3; ++i) {
        const double cpu0 = CpuMs();
        const auto start = steady_clock::now();
        const bool ok = com.ReadInfo(&info, int(sizeof info));
        const double wall = duration<double, std::milli>(steady_clock::now() - start).count();
        const double cpu = CpuMs() - cpu0;
        worst = std::max(worst, cpu);
        std::printf("  run %d: %s after %.1f ms wall, CPU user+system %.3f ms\n", i + 1,
                    ok ? "answered?!" : "failed as expected", wall, cpu);
    }
    std::printf("  worst CPU during the wait: %.3f ms (target <= 10 ms)\n", worst);

    BenchResolution(sim.SlavePath());
    sim.Stop();
    return 0;
}
