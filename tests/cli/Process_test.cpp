#include "CliRun.h"
#include "fleet/PlainText.h"
#include "platform/serial/SerialTrace.h"
#include "support/SimLine.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace {

// The tool is built next to the test programs.
QString ToolPath()
{
    return QFileInfo(QFile::symLinkTarget("/proc/self/exe")).path() + "/lumora-cli";
}

struct TProcessRun {
    int Exit = -1;
    bool Crashed = false;
    QString Out;
    QString Err;
};

// Runs the tool; its standard output goes to OutFile when one is given.
TProcessRun RunProcess(const QStringList &args, const QStringList &env = {}, const QString &OutFile = {})
{
    QProcess p;
    if (!OutFile.isEmpty())
        p.setStandardOutputFile(OutFile);
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.remove("LUMORA_TRACE");
    for (const QString &kv : env)
        e.insert(kv.section('=', 0, 0), kv.section('=', 1));
    p.setProcessEnvironment(e);
    p.start(ToolPath(), args);
    EXPECT_TRUE(p.waitForFinished(20000));
    return {p.exitCode(), p.exitStatus() == QProcess::CrashExit, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// The reply the sample device sends to command 0, as the trace prints it.
QString InfoReplyHex()
{
    const TSimConfig sample = SampleDevice();
    const auto *record = reinterpret_cast<const uint8_t *>(&sample.Info);
    uint8_t sum = 0;
    QByteArray reply("\xAA\x55", 2);
    for (size_t i = 0; i < sizeof sample.Info; ++i) {
        reply.append(char(record[i]));
        sum = uint8_t(sum + record[i]);
    }
    reply.append(char(sum));
    return QString::fromLatin1(
        HexBytes(reinterpret_cast<const uint8_t *>(reply.constData()), size_t(reply.size())));
}

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override { lumora::test::ResetConfigHome(); }
    lumora::test::TSimLine Sim;
};

TEST_F(ProcessTest, ExitStatusAndStreams)
{
    TProcessRun run = RunProcess({"--version"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Out, "lumora-cli 1.2.0\n");

    run = RunProcess({"--port", Sim.SlavePath(), "info"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_TRUE(run.Out.startsWith("Type:                 6 EDFA(Single)\n"));
    EXPECT_EQ(run.Err, "");

    run = RunProcess({"--port", "/nonexistent/tty", "info"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(
        run.Err,
        "lumora-cli: Couldn't open the port /nonexistent/tty,maybe already being occupied or not existed!\n");

    run = RunProcess({"--port", Sim.SlavePath(), "set", "--mask", "255.255.255"});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "lumora-cli: Invalid subnet mask!\n");
    EXPECT_TRUE(Sim.Received().size() == 1) << "only the info run reached the device";
}

TEST_F(ProcessTest, OutputThatCannotBeWrittenFailsTheCommand)
{
    // A journal to report on, and a plan.
    const QDir home(lumora::test::ConfigHome());
    const QString journal = home.filePath("journal.jsonl");
    ASSERT_EQ(
        RunProcess({"--port", Sim.SlavePath(), "set", "--server", "10.0.0.9", "--journal", journal}).Exit, 0);
    QFile plan(home.filePath("plan.csv"));
    ASSERT_TRUE(plan.open(QIODevice::WriteOnly));
    plan.write("serial,dhcp,local,server,gateway,mask\n0612345678,,10.0.0.8,,,\n");
    plan.close();
    const QStringList commands[] = {{"info"},
                                    {"--json", "info"},
                                    {"params"},
                                    {"backup"},
                                    {"report", "--journal", journal},
                                    {"ports"},
                                    {"--help"},
                                    {"watch", "--interval", "30"},
                                    {"commission", plan.fileName(), "--journal", journal}};
    for (const QStringList &command : commands) {
        const TProcessRun run = RunProcess(QStringList{"--port", Sim.SlavePath()} + command, {}, "/dev/full");
        EXPECT_EQ(run.Exit, 1) << command.join(' ').toStdString();
        EXPECT_TRUE(run.Err.endsWith("cannot write standard output: No space left on device\n"))
            << command.join(' ').toStdString() << ": " << run.Err.toStdString();
    }
    // Commissioning writes no unit while nobody can see what it does.
    int writes = 0;
    for (const TRequest &r : Sim.Received())
        writes += r.Command == 1 ? 1 : 0;
    EXPECT_EQ(writes, 1) << "only the set";
}

TEST_F(ProcessTest, TraceShowsEveryFrameWrittenAndRead)
{
    const QRegularExpression line(R"(^\d\d:\d\d:\d\d\.\d{3} (TX|RX) (\d+): (.*)$)");
    auto check = [&](const TProcessRun &run) {
        EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
        const QStringList lines = run.Err.split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << run.Err.toStdString();
        const auto tx = line.match(lines[0]);
        ASSERT_TRUE(tx.hasMatch()) << lines[0].toStdString();
        EXPECT_EQ(tx.captured(1), "TX");
        EXPECT_EQ(tx.captured(2), "7");
        EXPECT_EQ(tx.captured(3), "AA 55 00 00 00 FB FF");
        const auto rx = line.match(lines[1]);
        ASSERT_TRUE(rx.hasMatch()) << lines[1].toStdString();
        EXPECT_EQ(rx.captured(1), "RX");
        EXPECT_EQ(rx.captured(2), "87");
        EXPECT_EQ(rx.captured(3), InfoReplyHex());
    };
    const TProcessRun plain = RunProcess({"--port", Sim.SlavePath(), "info"});
    const TProcessRun traced = RunProcess({"--trace", "--port", Sim.SlavePath(), "info"});
    check(traced);
    EXPECT_EQ(traced.Out, plain.Out) << "the trace leaves the output as it is";
    check(RunProcess({"--port", Sim.SlavePath(), "info"}, {"LUMORA_TRACE=1"}));
    EXPECT_EQ(RunProcess({"--port", Sim.SlavePath(), "info"}, {"LUMORA_TRACE=0"}).Err, "");
}

TEST_F(ProcessTest, WatchEndsCleanlyOnInterrupt)
{
    QProcess p;
    p.start(ToolPath(), {"--port", Sim.SlavePath(), "watch", "--interval", "30"});
    ASSERT_TRUE(p.waitForStarted());
    // Header and the first reading; then the tool sits in its 30 s wait.
    QByteArray out;
    while (out.count('\n') < 2 && p.waitForReadyRead(5000))
        out += p.readAllStandardOutput();
    ASSERT_EQ(out.count('\n'), 2) << out.toStdString();
    ::kill(pid_t(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(5000)) << "the wait must end at the signal, not after the interval";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    out += p.readAllStandardOutput();
    EXPECT_EQ(out.count('\n'), 2) << "no further reading after the interrupt";
    EXPECT_EQ(p.readAllStandardError(), "");
    EXPECT_EQ(Sim.Received().size(), 1u);
}

} // namespace

TEST_F(ProcessTest, LiveLineOfCommissionIsCutToTheTerminalsWidth)
{
    QTemporaryDir dir;
    QFile plan(dir.filePath("plan.csv"));
    ASSERT_TRUE(plan.open(QIODevice::WriteOnly));
    plan.write(
        "serial,dhcp,local,server,gateway,mask,label\n"
        "0612345678,off,10.0.1.5,10.0.0.10,10.0.1.1,255.255.0.0,机架 3 上层 左侧第二个插槽 (bench B)\n");
    plan.close();

    // Standard output is an 80-column terminal; COLUMNS, which says
    // otherwise, only stands in when the terminal cannot tell.
    termios raw{};
    ::cfmakeraw(&raw);
    winsize size{};
    size.ws_col = 80;
    size.ws_row = 24;
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, &raw, &size), 0);
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("COLUMNS", "200");
    p.setProcessEnvironment(e);
    p.setChildProcessModifier([slave] { ::dup2(slave, STDOUT_FILENO); });
    p.start(ToolPath(), {"--port", Sim.SlavePath(), "commission", plan.fileName(), "--once", "--journal",
                         dir.filePath("journal.jsonl")});
    ASSERT_TRUE(p.waitForFinished(20000));
    ::close(slave);
    QByteArray bytes;
    char buffer[4096];
    pollfd pfd{master, POLLIN, 0};
    while (::poll(&pfd, 1, 5000) > 0) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break; // EIO once the last writer has gone
        bytes.append(buffer, n);
    }
    ::close(master);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    int live = 0;
    for (const QString &segment : QString::fromUtf8(bytes).split("\r\x1b[K")) {
        if (!segment.startsWith("done "))
            continue; // a lasting line, which may wrap
        ++live;
        const QString shown = segment.section('\n', 0, 0);
        EXPECT_LE(DisplayWidth(shown), 79) << shown.toStdString();
        EXPECT_GE(DisplayWidth(shown), 78) << shown.toStdString(); // cut, a wide character not halved
    }
    EXPECT_GE(live, 2) << bytes.toStdString();
}
