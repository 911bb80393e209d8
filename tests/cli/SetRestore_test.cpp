#include "CliFixture.h"
#include "support/TinyDisk.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

using lumora::test::LocalIp;
using lumora::test::SampleUnit;
using lumora::test::TSimLine;
using lumora::test::Writes;

using SetRestoreTest = lumora::test::TCliFixture;

TEST_F(SetRestoreTest, BackupRestoresOntoTheSameUnitAndClonesOnlyWithForce)
{
    TSimLine original(SampleUnit("0612345678"));
    ASSERT_EQ(Run(original, {"set", "--local", "10.1.2.3"}).Exit, 0);
    const QString backup = File("unit.json");
    TCliRun run = RunTool({"--port", original.SlavePath(), "backup", "-o", backup});
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    const QJsonObject doc = QJsonDocument::fromJson(lumora::test::TTinyDisk::ReadFile(backup)).object();
    EXPECT_TRUE(doc["tool"].toString().startsWith("lumora-cli ")) << "the document is the library's";
    // With --json the same document is one object on one line.
    run = RunTool({"--port", original.SlavePath(), "--json", "backup"});
    EXPECT_EQ(run.Out.count('\n'), 1);
    EXPECT_EQ(run.Json()["record"], doc["record"]);

    // A replacement unit with the same serial number gets the settings back.
    TSimLine same(SampleUnit("0612345678"));
    run = Run(same, {"restore", backup});
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_EQ(LocalIp(same), "10.1.2.3");

    // Another unit is refused without a single write, and cloned with --force.
    TSimLine other(SampleUnit("0699999999"));
    run = Run(other, {"restore", backup});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_TRUE(run.Err.contains("0699999999") && run.Err.contains("--force")) << run.Err.toStdString();
    EXPECT_EQ(Writes(other), 0);
    EXPECT_EQ(Run(other, {"restore", backup, "--force"}).Exit, 0);
    EXPECT_EQ(LocalIp(other), "10.1.2.3");

    // A file that holds no 84-byte record is no backup.
    EXPECT_EQ(RunTool({"restore", File("junk.json", "{\"record\":\"00\"}")}).Exit, 2);
}

TEST_F(SetRestoreTest, SettingsAUnitCannotHoldAreRefusedAndNothingIsWritten)
{
    TSimLine unit(SampleUnit("0612345678")); // 192.168.1.100, mask 255.255.255.0, DHCP off
    // What is given is judged before the line is touched, against the mask
    // the unit holds once it is read.
    const std::pair<QStringList, QString> refused[] = {
        {{"--mask", "255.0.255.0"},
         "Invalid subnet mask: 255.0.255.0 is no subnet mask (its ones must come first, as in "
         "255.255.255.0)\n"},
        {{"--local", "192.168.1.0"},
         "Invalid local IP: 192.168.1.0 is the network address of its subnet (mask 255.255.255.0); "
         "nothing was sent\n"},
    };
    for (const auto &[args, message] : refused) {
        const TCliRun run = Run(unit, QStringList{"set"} + args);
        EXPECT_EQ(run.Exit, 2) << args.join(' ').toStdString();
        EXPECT_EQ(run.Err, "lumora-cli: " + message);
    }
    EXPECT_EQ(Writes(unit), 0);
    EXPECT_EQ(Run(unit, {"set", "--local", "10.0.0.255", "--mask", "255.255.254.0"}).Exit, 0);

    // Plans: a row's own values when the plan is read, the unit's when it is
    // attached.
    TCliRun run = Run(unit, {"commission", File("bad.csv", "serial,dhcp,local,server,gateway,mask\n"
                                                           "0612345678,,,,,255.255.0.255\n")});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_TRUE(run.Err.contains("line 2 (0612345678,,,,,255.255.0.255): Invalid subnet mask: "))
        << run.Err.toStdString();
    run = Run(unit, {"commission", "--once",
                     File("late.csv", "serial,dhcp,local,server,gateway,mask\n0612345678,,10.0.1.255,,,\n")});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_TRUE(
        run.Out.contains("FAILED: Invalid local IP: 10.0.1.255 is the broadcast address of its subnet "
                         "(mask 255.255.254.0)"))
        << run.Out.toStdString();

    // Restores: a hand-edited backup is refused before the line is touched.
    const QString backup = File("unit.json");
    ASSERT_EQ(RunTool({"--port", unit.SlavePath(), "backup", "-o", backup}).Exit, 0);
    const QJsonObject doc = QJsonDocument::fromJson(lumora::test::TTinyDisk::ReadFile(backup)).object();
    auto edited = [&](int Offset, const char *Hex) {
        QJsonObject copy = doc;
        copy["record"] = doc["record"].toString().replace(2 * Offset, int(std::strlen(Hex)), Hex);
        return File("edited.json", QJsonDocument(copy).toJson());
    };
    const size_t before = unit.Received().size();
    run = Run(unit, {"restore", edited(35, "07")});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "lumora-cli: " + Dir.filePath("edited.json") +
                           ": the DHCP flag is 7, where a unit takes 0 (off) or 1 (on); nothing was sent\n");
    EXPECT_EQ(Run(unit, {"restore", edited(48, "ff00ff00")}).Exit, 2) << "mask 255.0.255.0";
    EXPECT_EQ(unit.Received().size(), before);

    // The journal names the backup by its absolute path, however it was typed.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(Dir.path());
    run = Run(unit, {"restore", "unit.json"});
    QDir::setCurrent(cwd);
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_EQ(JournalLines().back()["backup"].toString(), backup);
}

TEST_F(SetRestoreTest, CommunicationBoardsAreNeverWritten)
{
    TSimConfig config = SampleUnit("0900000001");
    config.Info.DeviceType = 9;
    TSimLine board(config);
    TSimLine edfa(SampleUnit("0612345678"));
    const QString boardBackup = File("board.json");
    const QString edfaBackup = File("edfa.json");
    ASSERT_EQ(RunTool({"--port", board.SlavePath(), "backup", "-o", boardBackup}).Exit, 0);
    ASSERT_EQ(RunTool({"--port", edfa.SlavePath(), "backup", "-o", edfaBackup}).Exit, 0);
    const QString refusal = "S/N 0900000001 is a communication board (type 9), which has no network settings";

    TCliRun run = Run(board, {"set", "--server", "10.0.0.9"});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "lumora-cli: " + refusal + "; nothing was sent\n");
    run = Run(edfa, {"restore", boardBackup});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err, "lumora-cli: " + boardBackup + ": " + refusal + "; nothing was sent\n");
    EXPECT_EQ(Run(board, {"restore", edfaBackup, "--force"}).Exit, 2);
    run = Run(board, {"commission", "--once",
                      File("plan.csv", "serial,dhcp,local,server,gateway,mask\n0900000001,,,10.0.0.9,,\n")});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_TRUE(run.Out.contains(refusal)) << run.Out.toStdString();
    EXPECT_FALSE(run.Out.contains("writing")) << "the refusal only";
    EXPECT_EQ(run.Err, "lumora-cli: 0900000001: FAILED: " + refusal + "; nothing was sent\n");
    EXPECT_EQ(Writes(board) + Writes(edfa), 0);
    EXPECT_TRUE(JournalLines({}).empty());
}

// Units swapped on the cable between the read and the write (the write goes
// to the other unit) or between the write and the read-back (the other unit
// answers): the write fails naming both, and nothing calls it verified.
TEST_F(SetRestoreTest, AUnitSwappedDuringSetOrRestoreFailsNamingBoth)
{
    TSimLine original(SampleUnit("0612345678"));
    const QString backup = File("unit.json");
    ASSERT_EQ(RunTool({"--port", original.SlavePath(), "backup", "-o", backup}).Exit, 0);
    TSimConfig swapping = SampleUnit("0612345678");
    swapping.Swap = {true, SampleUnit("0600000002").Info, 1};
    TSimLine line(swapping);
    TCliRun run = Run(line, {"set", "--local", "10.1.2.3"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "lumora-cli: the unit on the line changed during the write: 0600000002 now holds the "
                       "settings planned for 0612345678\n");
    EXPECT_EQ(LocalIp(line), "10.1.2.3") << "the other unit took it";

    // restore's serial-number check is not bypassed by a swap.
    swapping.Swap.SwapAfterFrames = 2;
    swapping.Swap.Other.LocalAddr = 0x0909090A;
    line.SetConfig(swapping);
    run = Run(line, {"restore", backup});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "lumora-cli: the unit on the line changed during the write: 0600000002 answered in "
                       "place of 0612345678, which may hold the settings sent\n");

    const TCliRun report = RunTool({"report", "--journal", Journal(), "--format", "csv"});
    EXPECT_TRUE(report.Out.contains(",wrong unit: 0600000002 answered,2\n")) << report.Out.toStdString();
    EXPECT_FALSE(report.Out.contains("verified"));
}

TEST_F(SetRestoreTest, VerdictsAreSaidAndNoWriteGoesOutWithoutItsRecord)
{
    TSimLine unit(SampleUnit("0612345678"));
    ASSERT_EQ(Run(unit, {"set", "--gateway", "10.0.0.1", "--dhcp", "on"}).Exit, 0);
    TSimLine liar(SampleUnit("0612345679", true));
    TCliRun run = Run(liar, {"set", "--local", "10.0.0.7", "--mask", "255.255.0.0"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "lumora-cli: Local IP, Subnet mask: acknowledged but not applied\n");
    EXPECT_EQ(Run(liar, {"set", "--local", "10.0.0.7", "--no-verify"}).Exit, 0);

    std::vector<QString> verdicts;
    for (const QJsonObject &line : JournalLines())
        verdicts.push_back(line["verification"].toString());
    EXPECT_EQ(verdicts, (std::vector<QString>{"verified", "not applied", "not verified"}));

    // Never a write without its record: an unwritable journal stops the
    // command before the first frame.
    TSimLine untouched(SampleUnit("0612345678"));
    const QString plan = File("x.csv", "serial,dhcp,local,server,gateway,mask\n0612345678,,10.0.0.2,,,\n");
    for (const QStringList &args :
         {QStringList{"set", "--local", "10.0.0.2"}, QStringList{"commission", plan}}) {
        run = RunTool(QStringList{"--port", untouched.SlavePath()} + args +
                      QStringList{"--journal", "/dev/null/journal.jsonl"});
        EXPECT_EQ(run.Exit, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.Err.contains("nothing was sent"));
    }
    EXPECT_TRUE(untouched.Received().empty());
}

} // namespace
