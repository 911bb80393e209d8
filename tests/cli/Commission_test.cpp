#include "CliRun.h"
#include "support/SimLine.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <thread>
#include <unistd.h>

using lumora::test::TSimLine;

namespace {

TSimConfig Unit(const char *Serial, bool IgnoreWrites = false)
{
    TSimConfig config = SampleDevice();
    std::memset(config.Info.SerialNo, 0, sizeof config.Info.SerialNo);
    std::memcpy(config.Info.SerialNo, Serial, std::strlen(Serial));
    config.Faults.IgnoreWrites = IgnoreWrites;
    return config;
}

int Writes(const TSimLine &Sim)
{
    int n = 0;
    for (const TRequest &r : Sim.Received())
        n += r.Command == 1 ? 1 : 0;
    return n;
}

QString LocalIp(const TSimLine &Sim)
{
    const TDeviceInfo info = Sim.Config().Info;
    const auto *b = reinterpret_cast<const uint8_t *>(&info) + 36;
    return QStringLiteral("%1.%2.%3.%4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]);
}

class CommissionTest : public ::testing::Test {
protected:
    void SetUp() override { lumora::test::ResetConfigHome(); }

    QString File(const QString &Name, const QByteArray &Content = {})
    {
        QString path = Dir.filePath(Name);
        if (!Content.isNull()) {
            QFile f(path);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(Content);
        }
        return path;
    }
    TCliRun Run(const TSimLine &Sim, const QStringList &Args)
    {
        return RunTool(QStringList{"--port", Sim.SlavePath()} + Args + QStringList{"--journal", Journal()});
    }
    QString Journal() { return Dir.filePath("journal.jsonl"); }
    std::vector<QJsonObject> JournalLines()
    {
        std::vector<QJsonObject> lines;
        QFile f(Journal());
        if (f.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : f.readAll().split('\n')) {
                if (!line.isEmpty())
                    lines.push_back(QJsonDocument::fromJson(line).object());
            }
        }
        return lines;
    }

    QTemporaryDir Dir;
};

TEST_F(CommissionTest, BackupRestoresOntoTheSameUnitAndClonesOnlyWithForce)
{
    TSimLine original(Unit("0612345678"));
    ASSERT_EQ(Run(original, {"set", "--local", "10.1.2.3"}).Exit, 0);
    const QString backup = File("unit.json");
    TCliRun run = RunTool({"--port", original.SlavePath(), "backup", "-o", backup});
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    QFile f(backup);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonObject doc = QJsonDocument::fromJson(f.readAll()).object();
    EXPECT_EQ(doc["record"].toString().size(), 168);
    EXPECT_EQ(doc["info"]["network"]["localIp"].toString(), "10.1.2.3");
    EXPECT_EQ(doc["params"]["temperature"]["raw"].toInt(), 25);
    EXPECT_TRUE(doc["tool"].toString().startsWith("lumora-cli "));

    // A replacement unit with the same serial number gets the settings back.
    TSimLine same(Unit("0612345678"));
    run = Run(same, {"restore", backup});
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_EQ(LocalIp(same), "10.1.2.3");

    // Another unit is refused without a single write, and cloned with --force.
    TSimLine other(Unit("0699999999"));
    run = Run(other, {"restore", backup});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_TRUE(run.Err.contains("0699999999") && run.Err.contains("--force")) << run.Err.toStdString();
    EXPECT_EQ(Writes(other), 0);
    EXPECT_EQ(Run(other, {"restore", backup, "--force"}).Exit, 0);
    EXPECT_EQ(LocalIp(other), "10.1.2.3");

    // A file that holds no 84-byte record is no backup.
    EXPECT_EQ(RunTool({"restore", File("junk.json", "{\"record\":\"00\"}")}).Exit, 2);
}

TEST_F(CommissionTest, JournalRecordsEveryWriteAndTheVerdict)
{
    TSimLine unit(Unit("0612345678"));
    ASSERT_EQ(Run(unit, {"set", "--gateway", "10.0.0.1", "--dhcp", "on"}).Exit, 0);
    TSimLine liar(Unit("0612345679", true));
    TCliRun run = Run(liar, {"set", "--local", "10.0.0.7", "--mask", "255.255.0.0"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "Local IP, Subnet mask: acknowledged but not applied\n");
    EXPECT_EQ(Run(liar, {"set", "--local", "10.0.0.7", "--no-verify"}).Exit, 0);

    const std::vector<QJsonObject> lines = JournalLines();
    ASSERT_EQ(lines.size(), 3u);
    const char *verdicts[] = {"verified", "not applied", "not verified"};
    const std::vector<TRequest> sent[] = {unit.Received(), liar.Received(), liar.Received()};
    int liarWrite = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const QJsonObject &line = lines[i];
        EXPECT_EQ(line["verification"].toString(), verdicts[i]);
        EXPECT_EQ(line["ack"]["code"].toInt(-1), 0);
        EXPECT_FALSE(line["user"].toString().isEmpty());
        EXPECT_EQ(line["firmwareVersion"].toString(), "3.1");
        std::vector<QByteArray> payloads;
        for (const TRequest &r : sent[i]) {
            if (r.Command == 1)
                payloads.push_back(r.Payload);
        }
        const QByteArray payload = payloads.at(i == 0 ? 0 : size_t(liarWrite++));
        EXPECT_EQ(line["payload"].toString(), QString::fromLatin1(payload.toHex())) << i;
    }
    EXPECT_EQ(lines[0]["before"]["dhcp"].toBool(), false);
    EXPECT_EQ(lines[0]["after"]["dhcp"].toBool(), true);
    EXPECT_EQ(lines[0]["after"]["gatewayIp"].toString(), "10.0.0.1");
    EXPECT_EQ(lines[1]["after"]["localIp"].toString(), "192.168.1.100");

    // Never a write without its record: an unwritable journal stops the
    // command before the first frame.
    TSimLine untouched(Unit("0612345678"));
    File("x.csv", "serial,dhcp,local,server,gateway,mask\n0612345678,,10.0.0.2,,,\n");
    for (const QStringList &args :
         {QStringList{"set", "--local", "10.0.0.2"}, QStringList{"commission", Dir.filePath("x.csv")}}) {
        const QString plan =
            File("x.csv", "serial,dhcp,local,server,gateway,mask\n0612345678,,10.0.0.2,,,\n");
        Q_UNUSED(plan);
        run = RunTool(QStringList{"--port", untouched.SlavePath()} + args +
                      QStringList{"--journal", "/dev/null/journal.jsonl"});
        EXPECT_EQ(run.Exit, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains("nothing was sent"));
    }
    EXPECT_TRUE(untouched.Received().empty());
}

TEST_F(CommissionTest, PlanIsCheckedWholeBeforeAnythingIsSent)
{
    struct {
        QByteArray Csv;
        QString Message;
    } cases[] = {
        {"serial,dhcp,local,server,gateway\n1,,,,\n", "no column 'mask'"},
        {"serial,dhcp,local,server,gateway,mask\n0612345678,,10.0.0.1,,,\n0612345679,,,,1.2.3,\n",
         "line 3 (0612345679,,,,1.2.3,): Invalid gateway IP!"},
        {"serial,dhcp,local,server,gateway,mask\n0612345678,,256.0.0.1,,,\n", "Invalid local IP！"},
        {"serial,dhcp,local,server,gateway,mask\n0612345678,maybe,,,,\n", "invalid dhcp value 'maybe'"},
        {"serial,dhcp,local,server,gateway,mask\nA,,,,,\nA,,,,,\n", "planned twice"},
        {"serial,dhcp,local,server,gateway,mask\n", "names no unit"},
    };
    TSimLine unit(Unit("0612345678"));
    for (const auto &c : cases) {
        const TCliRun run = Run(unit, {"commission", File("plan.csv", c.Csv)});
        EXPECT_EQ(run.Exit, 2) << c.Csv.toStdString();
        EXPECT_TRUE(run.Err.contains(c.Message)) << run.Err.toStdString();
    }
    EXPECT_TRUE(unit.Received().empty());
}

// Collects the tool's standard output in a pipe, so that the test can wait
// for the events of a run in another thread.
class TPipeOutput : public TCliOutput {
public:
    TPipeOutput() { EXPECT_EQ(::pipe2(FFds, O_CLOEXEC), 0); }
    ~TPipeOutput() override
    {
        ::close(FFds[0]);
        ::close(FFds[1]);
    }
    // The next event line, waiting at most 20 s for it.
    QJsonObject NextEvent()
    {
        for (;;) {
            if (const qsizetype nl = FPending.indexOf('\n'); nl >= 0) {
                const QByteArray line = FPending.left(nl);
                FPending.remove(0, nl + 1);
                return QJsonDocument::fromJson(line).object();
            }
            pollfd p{FFds[0], POLLIN, 0};
            if (::poll(&p, 1, 20000) != 1)
                return {};
            char buf[4096];
            const ssize_t n = ::read(FFds[0], buf, sizeof buf);
            if (n <= 0)
                return {};
            FPending.append(buf, n);
        }
    }
    // Skips events until one of Kind for Serial (any serial when empty).
    QJsonObject Await(const QString &Kind, const QString &Serial = {})
    {
        for (QJsonObject e = NextEvent(); !e.isEmpty(); e = NextEvent()) {
            if (e["event"].toString() == Kind && (Serial.isEmpty() || e["serialNumber"].toString() == Serial))
                return e;
        }
        ADD_FAILURE() << "no event " << Kind.toStdString();
        return {};
    }

protected:
    void WriteOut(const QByteArray &Bytes) override
    {
        EXPECT_EQ(::write(FFds[1], Bytes.data(), Bytes.size()), Bytes.size());
    }
    void WriteErr(const QByteArray &) override {}

private:
    int FFds[2] = {-1, -1};
    QByteArray FPending;
};

TEST_F(CommissionTest, UnitsSwappedOnOneLineAreEachWrittenOnce)
{
    const QString plan = File("plan.csv", "serial,dhcp,local,server,gateway,mask,label\n"
                                          "0600000001,,10.0.1.1,,,,rack 1\n"
                                          "0600000002,on,,10.0.0.5,,,\n"
                                          "0600000003,off,10.0.1.3,,10.0.1.254,255.255.0.0,rack 3\n");
    const QString line = Dir.filePath("line");
    auto attach = [&](const TSimLine &Sim) {
        const QString fresh = line + ".new";
        QFile::remove(fresh);
        ASSERT_TRUE(QFile::link(Sim.SlavePath(), fresh));
        ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(line).constData()), 0);
    };

    auto first = std::make_unique<TSimLine>(Unit("0600000001"));
    attach(*first);
    TPipeOutput out;
    int exit = -1;
    std::thread run([&] {
        exit = RunCli({"--port", line, "--json", "commission", plan, "--journal", Journal()}, out);
    });
    EXPECT_EQ(out.Await("done", "0600000001")["verification"].toString(), "verified");
    EXPECT_EQ(LocalIp(*first), "10.0.1.1");

    // Units are swapped: the old one goes away, the line then leads to the next.
    auto swap = [&](std::unique_ptr<TSimLine> &Current, const TSimConfig &Next) {
        auto next = std::make_unique<TSimLine>(Next);
        Current.reset();
        attach(*next);
        Current = std::move(next);
    };
    std::unique_ptr<TSimLine> unit = std::move(first);
    swap(unit, Unit("0699999999"));
    out.Await("not-in-plan", "0699999999");
    swap(unit, Unit("0600000001"));
    out.Await("already-done", "0600000001");
    swap(unit, Unit("0600000002"));
    out.Await("done", "0600000002");
    const TDeviceInfo second = unit->Config().Info;
    EXPECT_EQ(second.DhcpFlag, 1);
    swap(unit, Unit("0600000003"));
    const QJsonObject finished = out.Await("finished");
    run.join();
    EXPECT_EQ(exit, 0);
    EXPECT_EQ(finished["done"].toInt(), 3);
    EXPECT_EQ(LocalIp(*unit), "10.0.1.3");

    const std::vector<QJsonObject> lines = JournalLines();
    ASSERT_EQ(lines.size(), 3u)
        << "one write per planned unit, none for the stranger or the re-attached unit";
    EXPECT_EQ(lines[0]["label"].toString(), "rack 1");
    EXPECT_EQ(lines[2]["serialNumber"].toString(), "0600000003");

    // The report lists the units with their latest settings.
    TCliRun report = RunTool({"report", "--journal", Journal(), "--format", "csv"});
    EXPECT_EQ(report.Exit, 0);
    const QStringList rows = report.Out.trimmed().split('\n');
    ASSERT_EQ(rows.size(), 4);
    EXPECT_TRUE(rows[1].startsWith("0600000001,rack 1,6 EDFA(Single),off,10.0.1.1,"))
        << rows[1].toStdString();
    EXPECT_TRUE(rows[3].contains(",10.0.1.254,255.255.0.0,")) << rows[3].toStdString();
    report = RunTool({"report", "--journal", Journal(), "--since", "2999-01-01"});
    EXPECT_TRUE(report.Out.startsWith("0 units")) << report.Out.toStdString();
}

TEST_F(CommissionTest, ReportEscapesJournalTextsInHtml)
{
    const QString journal =
        File("j.jsonl", "{\"serialNumber\":\"06<b>1\",\"label\":\"a&b <script>\",\"time\":"
                        "\"2026-01-02T03:04:05Z\",\"user\":\"u\",\"host\":\"h\","
                        "\"verification\":\"verified\",\"written\":{\"localIp\":\"1.2.3.4\"}}\n"
                        "not json\n");
    const TCliRun run = RunTool({"report", "--journal", journal, "--format", "html"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_TRUE(run.Out.startsWith("<!DOCTYPE html>"));
    EXPECT_FALSE(run.Out.contains("<script>") || run.Out.contains("<b>1"));
    EXPECT_TRUE(run.Out.contains("a&amp;b &lt;script&gt;"));
    EXPECT_TRUE(run.Err.contains("1 lines that are no journal entry were skipped"));
    EXPECT_EQ(RunTool({"report", "--journal", journal, "--format", "pdf"}).Exit, 2);
}

TEST_F(CommissionTest, LimitsMarkValuesOutOfRange)
{
    TSimLine unit(Unit("0612345678")); // type 6, 25 degrees, input power A 6.2 dBm, B none
    TCliRun run = RunTool(
        {"--port", unit.SlavePath(), "params", "--limits",
         File("l.json", R"({"temperature":{"max":24},"inputPowerB":{"min":0},"inputPowerA":{"min":6.2}})")});
    EXPECT_EQ(run.Exit, 3);
    EXPECT_TRUE(run.Out.contains("Temperature:        25℃ [high]\n")) << run.Out.toStdString();
    EXPECT_TRUE(run.Out.contains("6.2dBm\n")) << "a value on its limit is in range";

    run = RunTool(
        {"--port", unit.SlavePath(), "--json", "watch", "--count", "1", "--limits",
         File("t.json", R"({"temperature":{"max":24},"types":{"6":{"temperature":{"min":-5,"max":40}}},
                                     "supply24V":{"min":24.5}})")});
    EXPECT_EQ(run.Exit, 3);
    const QJsonObject params = run.Json()["params"].toObject();
    EXPECT_FALSE(params["temperature"].toObject().contains("alarm")) << "the type's own limit holds";
    EXPECT_EQ(params["supply24V"]["alarm"].toString(), "low");

    for (const char *bad : {"{", R"({"lid":{"max":1}})", R"({"temperature":{"max":"hot"}})",
                            R"({"temperature":{"min":5,"max":1}})", R"({"types":{"x":{}}})"}) {
        run = RunTool({"--port", unit.SlavePath(), "params", "--limits", File("bad.json", bad)});
        EXPECT_EQ(run.Exit, 2) << bad;
    }
}

} // namespace
