#include "CliFixture.h"
#include "support/TinyDisk.h"

#include <QDir>
#include <QJsonArray>

#include <gtest/gtest.h>

namespace {

using lumora::test::SampleUnit;
using lumora::test::TSimLine;
using lumora::test::Writes;

using FullDiskTest = lumora::test::TCliFixture;

TEST_F(FullDiskTest, FullDiskKeepsTheOldBackupAndSaysWhy)
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

TEST_F(FullDiskTest, FullJournalSendsNothingAndKeepsOnlyWholeLines)
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

} // namespace
