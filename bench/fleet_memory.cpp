// Memory of the command line over large commissioning files: the peak
// resident size (as the kernel accounts it, wait4) and the wall-clock time of
//   1. `commission PLAN --once` with a plan of PLAN_ROWS rows (default
//      100,000), one unit of which is attached: the plan is read and checked
//      whole, the unit written and verified;
//   2. `report` in each format over a journal of JOURNAL_LINES lines (default
//      40,000: an intent and an outcome per write, one write per unit).
// The tool runs as a child against the simulator's engine on a
// pseudo-terminal served by a thread of this process, with a private
// settings store and journal.
//
//   build/bench-fleet_memory [PLAN_ROWS [JOURNAL_LINES]]

#include "SimSession.h"
#include "sim/SimServer.h"

#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct TChildRun {
    int Status = -1;
    long PeakRssKb = 0;
    double Ms = 0;
};

// Runs the tool with Args, its standard output thrown away.
TChildRun RunTool(const std::vector<std::string> &Args)
{
    const std::string tool = (BuildDir() / "lumora-cli").string();
    std::vector<char *> argv{const_cast<char *>(tool.c_str())};
    for (const std::string &a : Args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    TChildRun run;
    const int rc = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.Ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.PeakRssKb = usage.ru_maxrss;
    return run;
}

void Print(const char *What, const TChildRun &Run)
{
    std::printf("%-34s peak %7.1f MB   %9.1f ms   (exit %d)\n", What, double(Run.PeakRssKb) / 1024.0, Run.Ms,
                Run.Status);
}

std::string Serial(int I)
{
    char text[16];
    std::snprintf(text, sizeof text, "06%08d", I);
    return text;
}

// The files are written line by line: this program's own peak resident size
// counts in its children's (a child starts as a copy of it), so it must stay
// small.

// A plan of Rows units in 10.0.0.0/8, each with an address and a label of
// its own.
bool WritePlan(const std::string &Path, int Rows)
{
    FILE *f = std::fopen(Path.c_str(), "wb");
    if (f == nullptr)
        return false;
    bool ok = std::fputs("serial,dhcp,local,server,gateway,mask,label\n", f) >= 0;
    for (int i = 0; i < Rows && ok; ++i) {
        const int host = i + 10;
        ok = std::fprintf(f, "%s,off,10.%d.%d.%d,10.255.0.2,10.0.0.1,255.0.0.0,rack %d slot %d\n",
                          Serial(i).c_str(), host >> 16, (host >> 8) & 255, host & 255, i / 40, i % 40) > 0;
    }
    return std::fclose(f) == 0 && ok;
}

// A journal of Lines lines: an intent and an outcome per write, with the
// fields the tool records, one write per unit.
bool WriteJournal(const std::string &Path, int Lines)
{
    FILE *f = std::fopen(Path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const char *const settings = R"j({"dhcp":false,"gatewayIp":"10.0.0.1","localIp":"10.0.1.5",)j"
                                 R"j("serverIp":"10.255.0.2","subnetMask":"255.0.0.0"})j";
    bool ok = true;
    for (int i = 0; i < Lines / 2 && ok; ++i) {
        char common[1024];
        std::snprintf(common, sizeof common,
                      R"j("before":%s,"command":"commission",)j"
                      R"j("device":"/dev/serial/by-id/usb-FTDI_FT232R_A10K0001-if00-port0",)j"
                      R"j("firmwareVersion":"2.05","host":"bench-7","label":"rack %d slot %d",)j"
                      R"j("payload":"000a0001050aff00020a000001ff000000","port":"COM3","serialNumber":"%s",)j"
                      R"j("type":{"code":6,"name":"EDFA(Single)"},"user":"tech",)j"
                      R"j("writeId":"4f1c2b9e-0000-4000-8000-%012d","written":%s)j",
                      settings, i / 40, i % 40, Serial(i).c_str(), i, settings);
        ok =
            std::fprintf(f,
                         R"j({%s,"stage":"intent","time":"2026-12-08T09:15:02+01:00"})j"
                         "\n",
                         common) > 0 &&
            std::fprintf(f,
                         R"j({%s,"ack":{"code":0,"status":"Command success!"},"after":%s,"stage":"outcome",)j"
                         R"j("time":"2026-12-08T09:15:03+01:00","verification":"verified"})j"
                         "\n",
                         common, settings) > 0;
    }
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char **argv)
{
    const int planRows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int journalLines = argc > 2 ? std::atoi(argv[2]) : 40000;
    QTemporaryDir dir;
    if (!dir.isValid() || planRows < 1 || journalLines < 2)
        return 2;
    const std::string base = dir.path().toStdString();

    TSimConfig unit = SampleDevice();
    const std::string first = Serial(planRows / 2);
    std::copy(first.begin(), first.end(), unit.Info.SerialNo);
    TSimServer sim(unit);
    if (!sim.Open())
        return 2;
    sim.Start();
    UsePrivateStore(base, sim.SlavePath().toStdString());
    setenv("XDG_STATE_HOME", (base + "/state").c_str(), 1);

    const std::string plan = base + "/plan.csv";
    const std::string journal = base + "/journal.jsonl";
    if (!WritePlan(plan, planRows) || !WriteJournal(journal, journalLines))
        return 2;
    std::printf("plan of %d rows, journal of %d lines\n", planRows, journalLines);
    Print("commission --once", RunTool({"commission", plan, "--once", "--journal", base + "/run.jsonl"}));
    for (const char *format : {"text", "csv", "json", "html"}) {
        const std::string what = std::string("report --format ") + format;
        Print(what.c_str(), RunTool({"report", "--journal", journal, "--format", format}));
    }
    sim.Stop();
    return 0;
}
