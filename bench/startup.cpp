// Start-up cost of the program: from the moment a new process is started to
// its main window shown and painted, with the stored port answered by the
// simulator, headless (offscreen platform); and the peak resident memory of
// that process. Each round starts this program again as a child that runs
// the program's own start-up (RunProgram) and ends it once the main window's
// first paint is done.
//
//   bench-startup [ROUNDS]     (default 20)

#include "Measure.h"
#include "SimSession.h"
#include "framework/Application.h"
#include "framework/Fonts.h"
#include "ui/MainFrm.h"
#include "ui/Program.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <string>

namespace {

const char *const StartVariable = "LUMORA_BENCH_START_NS";
const int ChildBoundMs = 30000;

long long NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

double MsSince(long long StartNs)
{
    return double(NowNs() - StartNs) / 1e6;
}

// Notes when the main window is shown (it was created, which opens the port
// and reads the device, just before) and ends the program once its first
// paint has been done.
class TShownWatch : public QObject {
public:
    explicit TShownWatch(long long StartNs) : FStartNs(StartNs) { qApp->installEventFilter(this); }
    double ShownMs = -1;
    double PaintedMs = -1;

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override
    {
        if (!Watched->isWidgetType() || !MainForm)
            return false;
        if (Event->type() == QEvent::Show && Watched == MainForm && ShownMs < 0)
            ShownMs = MsSince(FStartNs);
        // The skinned frame and the controls cover the whole window, so
        // the window's first paint is that of its controls.
        if (Event->type() == QEvent::Paint && static_cast<QWidget *>(Watched)->window() == MainForm &&
            PaintedMs < 0) {
            PaintedMs = 0;
            // After this paint has been handled and flushed.
            QTimer::singleShot(0, qApp, [this] {
                PaintedMs = MsSince(FStartNs);
                Application().Terminate();
            });
        }
        return false;
    }

private:
    long long FStartNs;
};

// The child: the program's start-up, timed; prints the stages in ms.
int RunChild(int argc, char **argv, long long StartNs)
{
    const double mainMs = MsSince(StartNs);
    InstallFontSubstitutions();
    QApplication app(argc, argv);
    TShownWatch watch(StartNs);
    const int rc = RunProgram(QApplication::arguments());
    std::printf("%.3f %.3f %.3f\n", mainMs, watch.ShownMs, watch.PaintedMs);
    return rc;
}

struct TRound {
    double MainMs = 0, ShownMs = 0, PaintedMs = 0;
    long PeakRssKb = 0;
    bool Ok = false;
};

// Starts one child and collects its figures; the child's peak resident
// memory comes from the kernel's accounting of the ended process.
TRound RunRound(const std::string &Self)
{
    TRound round;
    int out[2];
    if (pipe(out) != 0)
        return round;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char *argv[] = {const_cast<char *>(Self.c_str()), nullptr};
    const std::string start = std::to_string(NowNs());
    setenv(StartVariable, start.c_str(), 1);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, Self.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    unsetenv(StartVariable);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        return round;
    }
    // The child's figures, until it ends; a child that has not ended
    // within the bound (a start-up stuck in a message box) is killed.
    std::string text;
    char buffer[256];
    pollfd ready{out[0], POLLIN, 0};
    bool ended = false;
    while (poll(&ready, 1, ChildBoundMs) == 1) {
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) {
            ended = true;
            break;
        }
        text.append(buffer, size_t(n));
    }
    close(out[0]);
    if (!ended)
        kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return round;
    round.PeakRssKb = usage.ru_maxrss;
    round.Ok =
        std::sscanf(text.c_str(), "%lf %lf %lf", &round.MainMs, &round.ShownMs, &round.PaintedMs) == 3 &&
        round.ShownMs >= 0 && round.PaintedMs > 0;
    return round;
}

} // namespace

int main(int argc, char **argv)
{
    if (const char *start = std::getenv(StartVariable))
        return RunChild(argc, argv, std::atoll(start));

    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    try {
        TSimSession sim;
        const std::string self = BuildDir() / "bench-startup";
        TSamples toMain, toShown, toPainted;
        long peakKb = 0;
        for (int i = 0; i < rounds; ++i) {
            const TRound round = RunRound(self);
            if (!round.Ok) {
                std::fprintf(stderr, "bench-startup: round %d failed\n", i + 1);
                return 1;
            }
            toMain.Add(round.MainMs);
            toShown.Add(round.ShownMs);
            toPainted.Add(round.PaintedMs);
            peakKb = std::max(peakKb, round.PeakRssKb);
        }
        std::printf("%d start-ups against the simulator, headless\n", rounds);
        std::printf("%-44s median %8.2f ms   p90 %8.2f ms\n", "process start to main()", toMain.Median(),
                    toMain.P90());
        std::printf("%-44s median %8.2f ms   p90 %8.2f ms\n",
                    "to main window shown (port opened, device read)", toShown.Median(), toShown.P90());
        std::printf("%-44s median %8.2f ms   p90 %8.2f ms\n", "to first paint of the main window done",
                    toPainted.Median(), toPainted.P90());
        std::printf("%-44s %8.1f MB\n", "peak resident memory (largest of all rounds)",
                    double(peakKb) / 1024.0);
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench-startup: %s\n", e.what());
        return 1;
    }
}
