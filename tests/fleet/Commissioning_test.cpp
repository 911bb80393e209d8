#include "fleet/Commissioning.h"

#include "fleet/Journal.h"
#include "fleet/Report.h"
#include "platform/process/InterruptWait.h"
#include "support/FleetTestContext.h"
#include "support/QtPrinters.h"
#include "support/SimLine.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

using lumora::test::SampleUnit;
using lumora::test::TSimLine;
using Look = TCommissioning::TLook;

TPlanRow Row(const char *Serial, const char *Local, const char *Label = "")
{
    TPlanRow row;
    row.SetSerial(QString::fromLatin1(Serial));
    row.Label = QString::fromUtf8(Label);
    row.Edit.Addresses.insert("localIp", QString::fromLatin1(Local));
    return row;
}

// Keeps every event as "step: message" and the last one whole.
class TRecorder : public TCommissionObserver {
public:
    void Notify(const TCommissionEvent &Event) override
    {
        Steps << CommissionStepName(Event.Step) + ": " + Event.Message;
        Last = Event;
    }
    QStringList Take() { return std::exchange(Steps, {}); }

    QStringList Steps;
    TCommissionEvent Last;
};

class CommissioningTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumora::test::ResetConfigHome();
        QString error;
        ASSERT_TRUE(Journal.Open(Dir.filePath("journal.jsonl"), error)) << error.toStdString();
    }
    // The line the engine looks at leads to Sim (or to nothing).
    void Attach(const TSimLine *Sim)
    {
        QFile::remove(Line());
        if (Sim) {
            ASSERT_TRUE(QFile::link(Sim->SlavePath(), Line()));
        }
    }
    QString Line() const { return Dir.filePath("line"); }
    std::vector<QJsonObject> JournalEntries()
    {
        std::vector<QJsonObject> entries;
        int skipped = 0;
        QString error;
        EXPECT_TRUE(ReadJournal(Journal.Path(), entries, skipped, error));
        return entries;
    }
    int JournalLines() { return int(JournalEntries().size()); }

    QTemporaryDir Dir;
    TJournal Journal;
    TRecorder Events;
    // The engine's surroundings are the test's own: no store, port folder,
    // clock or name of the machine's.
    const TFleetContext Context = lumora::test::FleetTestContext(Dir.path());
};

TEST_F(CommissioningTest, EachUnitOfThePlanIsWrittenOnceAndStrangersAreLeftAlone)
{
    TCommissioning run(Context, {Row("0600000001", "10.0.1.1", "rack 1"), Row("0600000002", "10.0.1.2")},
                       Journal, Events, {Line(), true});
    auto first = std::make_unique<TSimLine>(SampleUnit("0600000001"));
    Attach(first.get());
    run.Start();
    EXPECT_EQ(run.Look(), Look::Written);
    EXPECT_EQ(run.Look(), Look::SameUnit) << "a unit that stays attached is not written again";
    EXPECT_EQ(first->CountOf(1), 1);
    EXPECT_EQ(Events.Take(),
              (QStringList{"start: commissioning 2 units; journal " + Journal.Path(),
                           "writing: 0600000001 (rack 1): writing Local IP 192.168.1.100 -> 10.0.1.1",
                           "done: 0600000001 (rack 1): done (verified)"}));
    EXPECT_EQ(Events.Last.Done, 1);
    EXPECT_EQ(Events.Last.Unit, "0600000001 (rack 1)");
    for (const QJsonObject &entry : JournalEntries()) {
        EXPECT_EQ(entry["time"].toString(), "2026-12-08T09:15:02+01:00");
        EXPECT_EQ(entry["user"].toString() + "@" + entry["host"].toString(), "tester@bench");
    }

    // Unplugged: said once, and the port is opened anew by its name.
    const TSimConfig written = first->Config();
    first.reset();
    Attach(nullptr);
    EXPECT_EQ(run.Look(), Look::NoUnit);
    EXPECT_EQ(run.Look(), Look::NoUnit);
    const QStringList gone = Events.Take();
    ASSERT_EQ(gone.size(), 3) << gone.join('\n').toStdString();
    EXPECT_EQ(gone[0], "removed: 0600000001 removed");
    EXPECT_TRUE(gone[1].startsWith("waiting: waiting for a unit: "));

    // Units swapped: the one on the line goes away, the next comes; the
    // engine notices the old one is gone and then finds the new one.
    std::unique_ptr<TSimLine> unit;
    auto swap = [&](const TSimConfig &Next) {
        unit.reset();
        unit = std::make_unique<TSimLine>(Next);
        Attach(unit.get());
        const Look first = run.Look();
        return first == Look::NoUnit ? run.Look() : first;
    };
    EXPECT_EQ(swap(SampleUnit("0699999999")), Look::Stranger);
    EXPECT_EQ(swap(written), Look::Skipped);
    EXPECT_EQ(unit->CountOf(1), 0);
    // A unit that acknowledges but does not apply fails, and is written
    // again once it comes back.
    EXPECT_EQ(swap(SampleUnit("0600000002", true)), Look::Failed);
    EXPECT_EQ(Events.Last.Step, TCommissionStep::Failed);
    EXPECT_EQ(Events.Last.Fields["verification"].toString(), "not applied");
    EXPECT_EQ(swap(SampleUnit("0600000002")), Look::Written);
    EXPECT_TRUE(run.AllDone());
    EXPECT_EQ(JournalLines(), 3) << "every write, the failed one too";
}

TEST_F(CommissioningTest, RunEndsWhenAllAreDoneAndOnceLooksOnce)
{
    TSimLine unit(SampleUnit("0600000001"));
    Attach(&unit);
    {
        TCommissioning run(Context, {Row("0600000001", "10.0.1.1")}, Journal, Events, {Line(), false});
        TInterruptWait wait;
        EXPECT_TRUE(run.Run(wait, 10));
        EXPECT_EQ(Events.Last.Step, TCommissionStep::Finished);
        EXPECT_EQ(Events.Last.Message, "1 unit done");
        EXPECT_TRUE(Events.Last.Ok);
        EXPECT_EQ(unit.CountOf(0), 1) << "not verified: no read-back";
    }
    Events.Take();
    TCommissioning once(Context, {Row("0600000002", "10.0.1.2")}, Journal, Events, {Line(), true});
    EXPECT_FALSE(once.RunOnce()) << "the unit attached is not in the plan";
    EXPECT_EQ(Events.Take().last(), "finished: 0 of 1 unit done");
    EXPECT_FALSE(Events.Last.Ok);
}

// A sample unit that becomes Other after answering Frames frames (1: the
// write goes to Other; 2: Other answers the read-back).
TSimConfig Swapping(const char *Serial, const char *Other, int Frames)
{
    TSimConfig config = SampleUnit(Serial);
    config.Swap = {true, SampleUnit(Other).Info, Frames};
    return config;
}

QString LocalIp(const TSimLine &Sim)
{
    return IPToStr(Sim.Config().Info.LocalAddr);
}

TEST_F(CommissioningTest, AUnitSwappedDuringTheWriteIsNeverDoneAndEachGetsItsOwnSettings)
{
    TSimLine line(Swapping("0600000001", "0600000002", 1));
    Attach(&line);
    {
        TCommissioning run(Context, {Row("0600000001", "10.0.1.1"), Row("0600000002", "10.0.1.2")}, Journal,
                           Events, {Line(), true});
        run.Start();
        EXPECT_EQ(run.Look(), Look::Failed);
        EXPECT_EQ(Events.Last.Message, "0600000001: FAILED: the unit on the line changed during the write: "
                                       "0600000002 now holds the settings planned for 0600000001");
        EXPECT_EQ(Events.Last.Fields["verification"].toString(), "wrong unit");
        EXPECT_EQ(Events.Last.Fields["answered"].toString(), "0600000002");
        EXPECT_EQ(run.DoneCount(), 0);
        // The unit that took the other's settings is not "the same unit still
        // attached": it gets its own.
        EXPECT_EQ(run.Look(), Look::Written);
        EXPECT_EQ(LocalIp(line), "10.0.1.2");
        line.Swap();
        EXPECT_EQ(run.Look(), Look::Written) << "the planned unit is written when it is seen again";
        EXPECT_EQ(LocalIp(line), "10.0.1.1");
        EXPECT_TRUE(run.AllDone());
    }

    // Without the read-back the next look sees the swap: the planned unit is
    // not done, the other is written with its own settings.
    line.SetConfig(Swapping("0600000003", "0600000004", 1));
    Events.Take();
    TCommissioning blind(Context, {Row("0600000003", "10.0.1.3"), Row("0600000004", "10.0.1.4")}, Journal,
                         Events, {Line(), false});
    blind.Start();
    EXPECT_EQ(blind.Look(), Look::Written) << "acknowledged, not read back";
    EXPECT_EQ(blind.Look(), Look::Written);
    const QStringList steps = Events.Take();
    ASSERT_EQ(steps.size(), 6) << steps.join('\n').toStdString();
    EXPECT_EQ(steps[3],
              "failed: 0600000003: FAILED: the unit on the line changed during the write: 0600000004 "
              "now holds the settings planned for 0600000003");
    EXPECT_EQ(steps[5], "done: 0600000004: done (not verified)");
    EXPECT_EQ(blind.DoneCount(), 1);
    EXPECT_EQ(LocalIp(line), "10.0.1.4");
}

TEST_F(CommissioningTest, ARestartedRunStartsFromTheJournalAndAChangedUnitIsAFailure)
{
    TSimLine line(SampleUnit("0600000001"));
    Attach(&line);
    const std::vector<TPlanRow> plan{Row("0600000001", "10.0.1.1"), Row("0600000002", "10.0.1.2")};
    {
        TCommissioning first(Context, plan, Journal, Events, {Line(), true});
        first.Start();
        ASSERT_EQ(first.Look(), Look::Written);
    }
    Events.Take();
    {
        TCommissioning again(Context, plan, Journal, Events, {Line(), true});
        again.Start();
        EXPECT_EQ(again.DoneEarlier(), QStringList{"0600000001"});
        EXPECT_EQ(Events.Last.Message, "commissioning 2 units, 1 done earlier; journal " + Journal.Path());
        EXPECT_EQ(Events.Last.Done, 1);
        EXPECT_EQ(again.Look(), Look::Skipped);
        EXPECT_EQ(line.CountOf(1), 1) << "not written again";
    }
    // A plan that now gives other settings makes the unit not done.
    TCommissioning replanned(Context, {Row("0600000001", "10.0.1.9")}, Journal, Events, {Line(), true});
    replanned.Start();
    EXPECT_TRUE(replanned.DoneEarlier().isEmpty());

    // Changed behind the run's back: a failure naming the fields, recorded,
    // and not written unless asked.
    TSimConfig changed = line.Config();
    changed.Info.LocalAddr = 0x0909090A;
    line.SetConfig(changed);
    {
        TCommissioning looked(Context, plan, Journal, Events, {Line(), true});
        looked.Start();
        EXPECT_EQ(looked.Look(), Look::Changed);
        EXPECT_EQ(Events.Last.Message, "0600000001: FAILED: changed since it was done: Local IP 10.0.1.1 -> "
                                       "10.9.9.9; not written again (--rewrite-changed writes it)");
        EXPECT_EQ(line.CountOf(1), 1);
    }
    {
        TCommissioning rewrite(Context, plan, Journal, Events, {Line(), true, true});
        rewrite.Start();
        EXPECT_EQ(rewrite.Look(), Look::Written);
        EXPECT_EQ(LocalIp(line), "10.0.1.1");
    }
    // All done earlier: the run ends by itself without a look.
    TCommissioning finished(Context, {plan[0]}, Journal, Events, {Line(), true});
    TInterruptWait wait;
    EXPECT_TRUE(finished.Run(wait, 10));
    EXPECT_EQ(Events.Last.Message, "1 unit done");
    EXPECT_EQ(line.CountOf(1), 2);

    TJournalIndex journal;
    QString error;
    ASSERT_TRUE(journal.Read(Journal.Path(), QDateTime(), error));
    ASSERT_EQ(journal.Units().size(), 1u);
    ASSERT_EQ(journal.History(journal.Units()[0]).size(), 4u);
    QString html;
    ReportHtml(journal, "report", [&](const QString &Piece) { html += Piece; });
    EXPECT_EQ(html.count("FAILED:</span> changed since done: Local IP</td>"), 2) << "the row and the history";
}

} // namespace
