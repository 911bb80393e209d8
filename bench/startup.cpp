// Start-up cost of the program against a bare Qt Widgets window, in the same
// run: from the moment a new process is started to the program's first
// request frame on the line (its window is then complete but for the device's
// data), and to a bare window of the main window's size being ready to show;
// then the program's window shown and painted, and the peak resident memory.
// Each round starts this program again as two children, one running the
// program's own start-up (RunProgram) until the main window's first paint is
// done, one making the bare window. The line is answered by a thread of this
// process, which notes when the request arrives. On the display the
// environment names (DISPLAY, WAYLAND_DISPLAY), as a user starts the program,
// else headless (offscreen); QT_QPA_PLATFORM overrides both.
//
//   bench-startup [ROUNDS]     (default 20)

#include "Measure.h"
#include "StartupLine.h"
#include "framework/Application.h"
#include "framework/FontSetUp.h"
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
const char *const BareVariable = "LUMORA_BENCH_BARE";
const int ChildBoundMs = 30000;

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
    StartFontSetUp();
    QApplication app(argc, argv);
    TShownWatch watch(StartNs);
    const int rc = RunProgram(QApplication::arguments());
    std::printf("%.3f %.3f %.3f\n", mainMs, watch.ShownMs, watch.PaintedMs);
    return rc;
}

// The baseline child: a bare window of the main window's size, made ready to
// show; prints the time to main() and to that moment.
int RunBareChild(int argc, char **argv, long long StartNs)
{
    const double mainMs = MsSince(StartNs);
    QApplication app(argc, argv);
    QWidget window;
    window.resize(492, 353);
    window.setWindowTitle(QStringLiteral("LumoraV1.2"));
    std::printf("%.3f %.3f 0\n", mainMs, MsSince(StartNs));
    return 0;
}

struct TRound {
    double MainMs = 0, ShownMs = 0, PaintedMs = 0;
    long PeakRssKb = 0;
    bool Ok = false;
};

// Starts one child and collects its figures; the child's peak resident
// memory comes from the kernel's accounting of the ended process.
TRound RunRound(const std::string &Self, bool Bare)
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
    if (Bare)
        setenv(BareVariable, "1", 1);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, Self.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    unsetenv(StartVariable);
    unsetenv(BareVariable);
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
        round.ShownMs >= 0 && (Bare || round.PaintedMs > 0);
    return round;
}

} // namespace

int main(int argc, char **argv)
{
    if (const char *start = std::getenv(StartVariable)) {
        if (std::getenv(BareVariable))
            return RunBareChild(argc, argv, std::atoll(start));
        return RunChild(argc, argv, std::atoll(start));
    }

    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "wayland");
        else if (!qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "xcb");
        else
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    try {
        TStartupLine line;
        const std::string self = BuildDir() / "bench-startup";
        TSamples toMain, toRequest, toShown, toPainted, bareMain, bareReady;
        long peakKb = 0;
        // The two children take turns, so both see the same machine.
        for (int i = 0; i < rounds; ++i) {
            line.NextRound();
            const long long spawnedNs = NowNs();
            const TRound round = RunRound(self, false);
            const long long requestNs = line.FirstRequestNs();
            const TRound bare = RunRound(self, true);
            if (!round.Ok || !bare.Ok || requestNs == 0) {
                std::fprintf(stderr, "bench-startup: round %d failed\n", i + 1);
                return 1;
            }
            toMain.Add(round.MainMs);
            // The child's clock starts just before its spawn: count from
            // there, as its own figures do.
            toRequest.Add(double(requestNs - spawnedNs) / 1e6);
            toShown.Add(round.ShownMs);
            toPainted.Add(round.PaintedMs);
            bareMain.Add(bare.MainMs);
            bareReady.Add(bare.ShownMs);
            peakKb = std::max(peakKb, round.PeakRssKb);
        }
        const double ratio = toRequest.Median() / bareReady.Median();
        std::printf("%d start-ups of the program and of a bare window, platform %s\n", rounds,
                    qgetenv("QT_QPA_PLATFORM").constData());
        const auto row = [](const char *what, TSamples &samples) {
            std::printf("%-48s median %8.2f ms   p90 %8.2f ms\n", what, samples.Median(), samples.P90());
        };
        row("program: process start to main()", toMain);
        row("program: to the first request frame", toRequest);
        row("bare window: process start to main()", bareMain);
        row("bare window: to ready to show (492 x 353)", bareReady);
        std::printf("%-48s %8.2f\n", "ratio of the medians (request / bare ready)", ratio);
        row("program: to main window shown (device read)", toShown);
        row("program: to first paint of the main window done", toPainted);
        std::printf("%-48s %8.1f MB\n", "program: peak resident memory (largest)", double(peakKb) / 1024.0);
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench-startup: %s\n", e.what());
        return 1;
    }
}
