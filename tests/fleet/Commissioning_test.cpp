#include "fleet/Commissioning.h"

#include "fleet/Journal.h"
#include "platform/process/InterruptWait.h"
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
    row.Serial = QString::fromLatin1(Serial);
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
    int JournalLines()
    {
        std::vector<QJsonObject> entries;
        int skipped = 0;
        QString error;
        EXPECT_TRUE(ReadJournal(Journal.Path(), entries, skipped, error));
        return int(entries.size());
    }

    QTemporaryDir Dir;
    TJournal Journal;
    TRecorder Events;
};

TEST_F(CommissioningTest, EachUnitOfThePlanIsWrittenOnceAndStrangersAreLeftAlone)
{
    TCommissioning run({Row("0600000001", "10.0.1.1", "rack 1"), Row("0600000002", "10.0.1.2")}, Journal,
                       Events, {Line(), true});
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

    // Unplugged: said once, and the port is opened anew by its name.
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
    EXPECT_EQ(swap(SampleUnit("0600000001")), Look::Skipped);
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
        TCommissioning run({Row("0600000001", "10.0.1.1")}, Journal, Events, {Line(), false});
        TInterruptWait wait;
        EXPECT_TRUE(run.Run(wait, 10));
        EXPECT_EQ(Events.Last.Step, TCommissionStep::Finished);
        EXPECT_EQ(Events.Last.Message, "1 unit done");
        EXPECT_TRUE(Events.Last.Ok);
        EXPECT_EQ(unit.CountOf(0), 1) << "not verified: no read-back";
    }
    Events.Take();
    TCommissioning once({Row("0600000002", "10.0.1.2")}, Journal, Events, {Line(), true});
    EXPECT_FALSE(once.RunOnce()) << "the unit attached is not in the plan";
    EXPECT_EQ(Events.Take().last(), "finished: 0 of 1 unit done");
    EXPECT_FALSE(Events.Last.Ok);
}

} // namespace
