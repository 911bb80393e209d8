#include "CliFixture.h"
#include "platform/serial/SerialPort.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using lumora::test::LocalIp;
using lumora::test::SampleUnit;
using lumora::test::TPipeOutput;
using lumora::test::TSimLine;
using lumora::test::Writes;

using CommissionTest = lumora::test::TCliFixture;

TEST_F(CommissionTest, CommissionOnceSaysEveryFailureOnStandardErrorAndMatchesPaddedSerials)
{
    const QString plan = File("plan.csv", "serial,dhcp,local,server,gateway,mask\n"
                                          "0600000001,,10.0.1.1,,,\n0600001,,10.0.1.2,,,\n");
    TSimLine stranger(SampleUnit("0699999999"));
    TCliRun run = Run(stranger, {"commission", plan, "--once"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "lumora-cli: 0699999999 is not in the plan; left alone\n");

    TSimLine ignoring(SampleUnit("0600000001", true));
    run = Run(ignoring, {"commission", plan, "--once"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "lumora-cli: 0600000001: FAILED: Local IP: acknowledged but not applied\n");

    TSimConfig silent = SampleUnit("0600000001");
    silent.Faults.Silent = true;
    TSimLine nobody(silent);
    run = Run(nobody, {"commission", plan, "--once"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(run.Err.startsWith("lumora-cli: no unit: ")) << run.Err.toStdString();
    EXPECT_EQ(run.Err.count('\n'), 1);

    // A busy port names who holds it.
    TSerialPort holder;
    ASSERT_TRUE(holder.Open(nobody.SlavePath()));
    run = Run(nobody, {"commission", plan, "--once"});
    EXPECT_TRUE(run.Err.contains("; held by ")) << run.Err.toStdString();
    holder.Close();

    // A serial number padded with blanks matches its row, and is shown quoted.
    TSimLine padded(SampleUnit("0600001   "));
    run = Run(padded, {"commission", plan, "--once"});
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains("\"0600001   \": done (verified)")) << run.Out.toStdString();

    // A unit done earlier that comes back changed: a failure, not written.
    TSimConfig changed = padded.Config();
    changed.Info.LocalAddr = 0x0909090A;
    padded.SetConfig(changed);
    run = Run(padded, {"commission", plan, "--once"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(run.Err.contains("changed since it was done: Local IP 10.0.1.2 -> 10.9.9.9"))
        << run.Err.toStdString();
    EXPECT_EQ(Writes(padded), 1);
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
    TSimLine unit(SampleUnit("0612345678"));
    for (const auto &c : cases) {
        const TCliRun run = Run(unit, {"commission", File("plan.csv", c.Csv)});
        EXPECT_EQ(run.Exit, 2) << c.Csv.toStdString();
        EXPECT_TRUE(run.Err.contains(c.Message)) << run.Err.toStdString();
    }
    EXPECT_TRUE(unit.Received().empty());

    // A unit whose number the plan holds without its leading zero is told so
    // and left alone.
    const TCliRun run = Run(unit, {"commission", "--once",
                                   File("plan.csv", "serial,dhcp,local,server,gateway,mask\n"
                                                    "612345678,,10.0.0.1,,,\n")});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(
        run.Out.contains("0612345678 is not in the plan; left alone; the plan has 612345678 (line 2): a "
                         "spreadsheet may have dropped its leading zero (format the column as text)"))
        << run.Out.toStdString();
    EXPECT_EQ(Writes(unit), 0);
}

TEST_F(CommissionTest, ARunSaysEachUnitAsAnEventAndEndsWhenAllAreDone)
{
    const QString plan = File("plan.csv", "serial,dhcp,local,server,gateway,mask,label\n"
                                          "0600000001,,10.0.1.1,,,,rack 1\n"
                                          "0600000002,on,,10.0.0.5,,,\n"
                                          "0600000003,off,10.0.1.3,,10.0.1.254,255.255.0.0,rack 3\n");
    auto unit = std::make_unique<TSimLine>(SampleUnit("0600000001"));
    Attach(*unit);
    TPipeOutput out;
    int exit = -1;
    std::thread run([&] {
        exit = RunCli({"--port", Line(), "--json", "commission", plan, "--journal", Journal()}, out);
    });
    EXPECT_EQ(out.Await("done", "0600000001")["verification"].toString(), "verified");
    EXPECT_EQ(LocalIp(*unit), "10.0.1.1");

    // Strangers and units seen again are the engine's own matter; here the
    // events, the exit status and the report the command line gives.
    Swap(unit, SampleUnit("0600000002"));
    out.Await("done", "0600000002");
    const TDeviceInfo second = unit->Config().Info;
    EXPECT_EQ(second.DhcpFlag, 1);
    Swap(unit, SampleUnit("0600000003"));
    const QJsonObject finished = out.Await("finished");
    run.join();
    EXPECT_EQ(exit, 0);
    EXPECT_EQ(finished["done"].toInt(), 3);
    EXPECT_EQ(LocalIp(*unit), "10.0.1.3");

    // --once ends with its finished event too.
    const TSimLine stranger(SampleUnit("0699999999"));
    const TCliRun once = Run(stranger, {"--json", "commission", plan, "--once"});
    EXPECT_EQ(once.Exit, 1) << "the unit attached is not in the plan";
    const QJsonObject last = QJsonDocument::fromJson(once.Out.trimmed().split('\n').last().toUtf8()).object();
    EXPECT_EQ(last["event"].toString(), "finished");
    EXPECT_EQ(last["exitStatus"].toInt(), 1);

    const std::vector<QJsonObject> lines = JournalLines();
    ASSERT_EQ(lines.size(), 3u);
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
    EXPECT_EQ(RunTool({"--json", "report", "--journal", Journal(), "--format", "csv"}).Exit, 2)
        << "JSON and CSV at once is a contradiction";
    report = RunTool({"report", "--journal", Journal(), "--since", "2999-01-01"});
    EXPECT_TRUE(report.Out.startsWith("0 units")) << report.Out.toStdString();
}

// A reply that goes missing while the unit stays attached is no unplug: the
// unit is not taken for a new one and written again. Only when the line is
// lost (the unit swapped) is it gone.
TEST_F(CommissionTest, AMissedReplyIsNoUnplug)
{
    const QString plan = File("plan.csv", "serial,dhcp,local,server,gateway,mask\n0600000001,,10.0.1.1,,,\n");
    TSimConfig refusing = SampleUnit("0600000001");
    refusing.Faults.AckCode = 2;
    auto unit = std::make_unique<TSimLine>(refusing);
    Attach(*unit);
    TPipeOutput out;
    int exit = -1;
    std::thread run([&] {
        exit = RunCli({"--port", Line(), "--json", "commission", plan, "--journal", Journal()}, out);
    });
    out.Await("failed", "0600000001");

    const size_t seen = unit->Received().size();
    TSimFaults silent = refusing.Faults;
    silent.Silent = true;
    unit->SetFaults(silent);
    EXPECT_TRUE(unit->WaitForReceived(seen + 1, std::chrono::seconds(20)));
    unit->SetFaults(refusing.Faults);
    EXPECT_TRUE(unit->WaitForReceived(seen + 3, std::chrono::seconds(20)));
    EXPECT_EQ(Writes(*unit), 1) << "the unit that stayed attached was written again";

    Swap(unit, SampleUnit("0600000001"));
    int removed = 0;
    int writing = 0;
    for (QJsonObject e = out.NextEvent(); !e.isEmpty(); e = out.NextEvent()) {
        removed += e["event"] == "removed" ? 1 : 0;
        writing += e["event"] == "writing" ? 1 : 0;
        if (e["event"] == "finished")
            break;
    }
    run.join();
    EXPECT_EQ(exit, 0);
    EXPECT_EQ(removed, 1) << "only the swap removes the unit";
    EXPECT_EQ(writing, 1) << "the healthy twin only";
    EXPECT_EQ(LocalIp(*unit), "10.0.1.1");
}

} // namespace
