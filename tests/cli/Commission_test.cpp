#include "CliRun.h"
#include "platform/serial/SerialPort.h"
#include "support/SimLine.h"
#include "support/TestEnv.h"
#include "support/TinyDisk.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <thread>
#include <unistd.h>

using lumora::test::SampleUnit;
using lumora::test::TSimLine;

namespace {

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
    // The path the tool is given as its port: a link that leads to one
    // unit's line at a time.
    QString Line() { return Dir.filePath("line"); }
    void Attach(const TSimLine &Sim)
    {
        const QString fresh = Line() + ".new";
        QFile::remove(fresh);
        ASSERT_TRUE(QFile::link(Sim.SlavePath(), fresh));
        ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(Line()).constData()), 0);
    }
    // Units are swapped: the old one goes away, the line then leads to the next.
    void Swap(std::unique_ptr<TSimLine> &Current, const TSimConfig &Next)
    {
        auto next = std::make_unique<TSimLine>(Next);
        Current.reset();
        Attach(*next);
        Current = std::move(next);
    }
    // The journal's lines of one stage ("intent", "outcome"), or all of them.
    std::vector<QJsonObject> JournalLines(const QString &Stage = "outcome")
    {
        std::vector<QJsonObject> lines;
        QFile f(Journal());
        if (f.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : f.readAll().split('\n')) {
                const QJsonObject object = QJsonDocument::fromJson(line).object();
                if (!line.isEmpty() && (Stage.isEmpty() || object["stage"] == Stage))
                    lines.push_back(object);
            }
        }
        return lines;
    }

    QTemporaryDir Dir;
};

TEST_F(CommissionTest, BackupRestoresOntoTheSameUnitAndClonesOnlyWithForce)
{
    TSimLine original(SampleUnit("0612345678"));
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

TEST_F(CommissionTest, SettingsAUnitCannotHoldAreRefusedAndNothingIsWritten)
{
    TSimLine unit(SampleUnit("0612345678")); // 192.168.1.100, mask 255.255.255.0, DHCP off
    struct {
        QStringList Args;
        QString Message;
    } refused[] = {
        {{"--mask", "255.0.255.0"},
         "Invalid subnet mask: 255.0.255.0 is no subnet mask (its ones must come first, as in "
         "255.255.255.0)"},
        {{"--dhcp", "on", "--local", "0.0.0.0"}, "Invalid local IP: 0.0.0.0 cannot be a unit's own address"},
        {{"--local", "255.255.255.255"}, "Invalid local IP: 255.255.255.255 is the broadcast address"},
        {{"--local", "10.0.1.255", "--mask", "255.255.255.0"},
         "Invalid local IP: 10.0.1.255 is the broadcast address of its subnet (mask 255.255.255.0)"},
        // Against the mask the unit holds: known once it is read.
        {{"--local", "192.168.1.255"},
         "Invalid local IP: 192.168.1.255 is the broadcast address of its subnet (mask 255.255.255.0); "
         "nothing was sent"},
        {{"--mask", "255.255.255.252", "--local", "192.168.1.103"}, "Invalid local IP: 192.168.1.103 is the"},
        {{"--local", "192.168.1.0"},
         "Invalid local IP: 192.168.1.0 is the network address of its subnet (mask 255.255.255.0); "
         "nothing was sent"},
        {{"--local", "10.0.0.5", "--gateway", "10.0.0.5"},
         "Invalid gateway IP: 10.0.0.5 is the unit's own local IP"},
    };
    for (const auto &c : refused) {
        const TCliRun run = Run(unit, QStringList{"set"} + c.Args);
        EXPECT_EQ(run.Exit, 2) << c.Args.join(' ').toStdString();
        EXPECT_TRUE(run.Err.startsWith("lumora-cli: " + c.Message)) << run.Err.toStdString();
    }
    EXPECT_EQ(Writes(unit), 0);
    // Not the broadcast of a wider subnet.
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
    // A /31 has no broadcast address.
    EXPECT_EQ(Run(unit, {"set", "--local", "10.0.0.1", "--mask", "255.255.255.254"}).Exit, 0);

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
    // The readable settings edited instead: a restore writes the record,
    // which says otherwise.
    QJsonObject readable = doc;
    QJsonObject info = doc["info"].toObject();
    QJsonObject network = info["network"].toObject();
    network["localIp"] = "10.0.0.9";
    info["network"] = network;
    readable["info"] = info;
    run = Run(unit, {"restore", File("readable.json", QJsonDocument(readable).toJson())});
    EXPECT_EQ(run.Exit, 2);
    EXPECT_EQ(run.Err,
              "lumora-cli: " + Dir.filePath("readable.json") +
                  ": its readable settings disagree with its record in network.localIp (\"10.0.0.9\" "
                  "in \"info\", \"10.0.0.1\" in \"record\"); a backup edited by hand is not "
                  "restored\n");
    EXPECT_EQ(unit.Received().size(), before);

    // The journal names the backup by its absolute path, however it was typed.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(Dir.path());
    run = Run(unit, {"restore", "unit.json"});
    QDir::setCurrent(cwd);
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_EQ(JournalLines().back()["backup"].toString(), backup);
}

TEST_F(CommissionTest, CommunicationBoardsAreNeverWritten)
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
TEST_F(CommissionTest, AUnitSwappedDuringSetOrRestoreFailsNamingBoth)
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
    const QJsonObject outcome = JournalLines().back();
    EXPECT_EQ(outcome["verification"].toString(), "wrong unit");
    EXPECT_EQ(outcome["serialNumber"].toString(), "0612345678");
    EXPECT_EQ(outcome["answered"]["serialNumber"].toString(), "0600000002");
    EXPECT_TRUE(outcome["after"].isNull());

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

TEST_F(CommissionTest, FullDiskKeepsTheOldBackupAndSaysWhy)
{
    lumora::test::TTinyDisk disk;
    LUMORA_REQUIRE_TINY_DISK(disk);
    TSimLine unit(SampleUnit("0612345678"));
    const QString backup = disk.FilePath("unit.json");
    ASSERT_EQ(RunTool({"--port", unit.SlavePath(), "backup", "-o", backup}).Exit, 0);
    const QByteArray old = disk.ReadFile(backup);
    ASSERT_TRUE(old.contains("\"record\""));

    disk.Fill();
    const TCliRun run = RunTool({"--port", unit.SlavePath(), "backup", "-o", backup});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, QStringLiteral("lumora-cli: cannot write %1: No space left on device\n").arg(backup));
    EXPECT_EQ(disk.ReadFile(backup), old);
    EXPECT_EQ(QDir(disk.FilePath(".")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{".filler", "unit.json"}))
        << "no temporary file is left behind";
}

TEST_F(CommissionTest, FullJournalSendsNothingAndKeepsOnlyWholeLines)
{
    lumora::test::TTinyDisk disk;
    LUMORA_REQUIRE_TINY_DISK(disk);
    TSimLine unit(SampleUnit("0612345678"));
    // The lengths of a write's two lines, measured on a roomy journal.
    ASSERT_EQ(Run(unit, {"set", "--local", "10.0.0.2"}).Exit, 0);
    const QList<QByteArray> measured = disk.ReadFile(Journal()).split('\n');
    const qsizetype intent = measured[0].size() + 1;
    const qsizetype outcome = measured[1].size() + 1;
    unit.SetConfig(SampleUnit("0612345678"));
    unit.ClearReceived();

    // A journal whose last page has room for the intent and half the outcome.
    const QString journal = disk.FilePath("journal.jsonl");
    const qsizetype padSize = 4096 - intent - outcome / 2;
    const QByteArray pad = QByteArray(padSize - 1, 'x') + '\n';
    QFile padded(journal);
    ASSERT_TRUE(padded.open(QIODevice::WriteOnly) && padded.write(pad) == padSize);
    padded.close();
    disk.Fill();
    auto set = [&](const char *Local) {
        return RunTool({"--port", unit.SlavePath(), "set", "--local", Local, "--journal", journal});
    };

    // The intent fits: the frame goes out, the outcome does not fit and is cut.
    TCliRun run = set("10.0.0.2");
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, QStringLiteral(
                           "lumora-cli: cannot write the journal %1: No space left on device (the device was "
                           "written; the journal holds the write without its outcome)\n")
                           .arg(journal));
    EXPECT_EQ(Writes(unit), 1);
    const QByteArray afterFirst = disk.ReadFile(journal);
    ASSERT_EQ(afterFirst.size(), padSize + intent);
    EXPECT_EQ(QJsonDocument::fromJson(afterFirst.mid(padSize))["stage"], "intent");

    // No room for the next intent: nothing goes out and the file stays as it was.
    run = set("10.0.0.3");
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(
        run.Err,
        QStringLiteral("lumora-cli: cannot write the journal %1: No space left on device; nothing was sent\n")
            .arg(journal));
    const QString plan = File("plan.csv", "serial,dhcp,local,server,gateway,mask\n"
                                          "0612345678,,10.0.0.4,,,\n0612345679,,10.0.0.5,,,\n");
    run = RunTool({"--port", unit.SlavePath(), "commission", plan, "--journal", journal});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(run.Out.contains("stopped: 0 of 2 units done; no unit is written while the journal fails: "
                                 "cannot write the journal"))
        << run.Out.toStdString();
    EXPECT_TRUE(run.Err.contains("No space left on device; nothing was sent")) << run.Err.toStdString();
    EXPECT_EQ(Writes(unit), 1);
    EXPECT_EQ(disk.ReadFile(journal), afterFirst);

    // With room again the next record starts on a line of its own, and the
    // report knows both writes: the one without outcome says so.
    disk.Free();
    ASSERT_EQ(set("10.0.0.6").Exit, 0);
    run = RunTool({"--json", "report", "--journal", journal});
    EXPECT_EQ(run.Err,
              QStringLiteral("lumora-cli: %1: 1 line that is no journal entry was skipped\n").arg(journal))
        << "only the pad";
    const QJsonArray history = run.Json()["units"][0]["history"].toArray();
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history[0]["verification"], "no outcome recorded");
    EXPECT_EQ(history[1]["verification"], "verified");
}

TEST_F(CommissionTest, JournalRecordsEveryWriteAndTheVerdict)
{
    TSimLine unit(SampleUnit("0612345678"));
    ASSERT_EQ(Run(unit, {"set", "--gateway", "10.0.0.1", "--dhcp", "on"}).Exit, 0);
    TSimLine liar(SampleUnit("0612345679", true));
    TCliRun run = Run(liar, {"set", "--local", "10.0.0.7", "--mask", "255.255.0.0"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Err, "lumora-cli: Local IP, Subnet mask: acknowledged but not applied\n");
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
    // Each outcome follows the intent of the same write, which was on the
    // disk before the frame went out.
    const std::vector<QJsonObject> all = JournalLines({});
    ASSERT_EQ(all.size(), 6u);
    for (size_t i = 0; i < all.size(); i += 2) {
        EXPECT_EQ(all[i]["stage"], "intent");
        EXPECT_EQ(all[i]["writeId"], all[i + 1]["writeId"]);
        EXPECT_EQ(all[i]["payload"], all[i + 1]["payload"]);
        EXPECT_FALSE(all[i].contains("verification") || all[i].contains("ack"));
    }

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
    auto unit = std::make_unique<TSimLine>(SampleUnit("0600000001"));
    Attach(*unit);
    TPipeOutput out;
    int exit = -1;
    std::thread run([&] {
        exit = RunCli({"--port", Line(), "--json", "commission", plan, "--journal", Journal()}, out);
    });
    EXPECT_EQ(out.Await("done", "0600000001")["verification"].toString(), "verified");
    EXPECT_EQ(LocalIp(*unit), "10.0.1.1");

    const TSimConfig written = unit->Config();
    Swap(unit, SampleUnit("0699999999"));
    out.Await("not-in-plan", "0699999999");
    Swap(unit, written);
    out.Await("already-done", "0600000001");
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

// `watch` goes on across a swapped unit: the lost line is opened anew by its
// name and the reading taken from the unit that is there now.
TEST_F(CommissionTest, WatchFollowsASwappedUnit)
{
    auto unit = std::make_unique<TSimLine>(SampleUnit("0600000001"));
    Attach(*unit);
    TPipeOutput out;
    int exit = -1;
    std::thread run([&] {
        exit = RunCli({"--port", Line(), "--json", "watch", "--count", "3", "--interval", "0.5"}, out);
    });
    EXPECT_TRUE(out.NextEvent().contains("params"));
    Swap(unit, SampleUnit("0600000002"));
    EXPECT_TRUE(out.NextEvent().contains("params"));
    EXPECT_TRUE(out.NextEvent().contains("params"));
    run.join();
    EXPECT_EQ(exit, 0);
    int reads = 0;
    for (const TRequest &r : unit->Received())
        reads += r.Command == 3 ? 1 : 0;
    EXPECT_GE(reads, 1) << "the later readings come from the unit attached now";
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
    EXPECT_TRUE(run.Err.contains("1 line that is no journal entry was skipped"));
    EXPECT_EQ(RunTool({"report", "--journal", journal, "--format", "pdf"}).Exit, 2);
}

TEST_F(CommissionTest, ReportBeforeAnyWriteAfterARefusedOneAndSinceImpossibleTimes)
{
    // No journal yet at its default place: a report of no unit.
    TCliRun report = RunTool({"report"});
    EXPECT_EQ(report.Exit, 0) << report.Err.toStdString();
    EXPECT_EQ(report.Out.section('\n', 0, 0), "0 units");
    EXPECT_EQ(RunTool({"report", "--format", "csv"}).Out.count('\n'), 1); // the header only

    TSimConfig refusing = SampleUnit("0612345678");
    refusing.Faults.AckCode = 2;
    TSimLine unit(refusing);
    EXPECT_EQ(Run(unit, {"set", "--local", "10.9.9.9"}).Exit, 1);
    report = RunTool({"report", "--journal", Journal(), "--format", "csv"});
    EXPECT_TRUE(report.Out.contains("\n0612345678,,6 EDFA(Single),off,192.168.1.100,"))
        << report.Out.toStdString();
    EXPECT_TRUE(report.Out.contains(",not acknowledged,1\n"));

    for (const char *since : {"2026-12-08T25:00", "2026-12-08junk", "2026-12-08T10:00 "}) {
        report = RunTool({"report", "--journal", Journal(), "--since", since});
        EXPECT_EQ(report.Exit, 2) << since;
        EXPECT_TRUE(report.Out.isEmpty());
    }
}

TEST_F(CommissionTest, LimitsMarkValuesOutOfRange)
{
    TSimLine unit(SampleUnit("0612345678")); // type 6, 25 degrees, input power A 6.2 dBm, B none
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
