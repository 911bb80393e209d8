#include "CliFixture.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <thread>

namespace {

using lumora::test::SampleUnit;
using lumora::test::TPipeOutput;
using lumora::test::TSimLine;

using WatchTest = lumora::test::TUnitFixture;

TEST_F(WatchTest, WatchPrintsOneTimestampedLinePerReading)
{
    const QRegularExpression stamp(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d)$)");
    TCliRun run = Run({"watch", "--count", "3", "--interval", "0.05"});
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "time,reversePower,inputPowerA,temperature,inputPowerB,supply24V,supply15V,"
                        "transceiverSupply,supply8V,lid,outputPath,switchingMode");
    for (int i = 1; i < 4; ++i) {
        const QStringList cells = lines[i].split(',');
        ASSERT_EQ(cells.size(), 12);
        EXPECT_TRUE(stamp.match(cells[0]).hasMatch()) << cells[0].toStdString();
        EXPECT_EQ(cells.mid(1).join(','), "3.5dBm,6.2dBm,25℃,无,24.0V,15.2V,5.00V,8.1V,闭合,A路,自动");
    }
    EXPECT_EQ(Commands(), (std::vector<uint8_t>{3, 3, 3}));

    run = Run({"--json", "watch", "--count=2", "--interval=0.01"});
    EXPECT_EQ(run.Exit, 0);
    lines = run.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    for (const QString &line : lines) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        EXPECT_TRUE(stamp.match(o["time"].toString()).hasMatch());
        EXPECT_EQ(o["params"].toObject()["supply24V"].toObject()["text"].toString(), "24.0V");
    }
}

TEST_F(WatchTest, WatchReportsFailedReadingsAndGoesOn)
{
    TSimFaults silent;
    silent.Silent = true;
    Sim.SetFaults(silent);
    const TCliRun run = Run({"watch", "--count", "2", "--interval", "0.01"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(run.Out.count('\n'), 1) << "the header only";
    const QStringList errors = run.Err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(errors.size(), 2);
    for (const QString &e : errors)
        EXPECT_TRUE(e.endsWith(" Device response timeout!")) << e.toStdString();
}

TEST_F(WatchTest, WatchRejectsBadNumbers)
{
    for (const QStringList &args :
         {QStringList{"--interval", "0"}, QStringList{"--interval", "-1"}, QStringList{"--interval", "abc"},
          QStringList{"--count", "0"}, QStringList{"--count", "1.5"}, QStringList{"--interval"}}) {
        const TCliRun run = Run(QStringList{"watch"} + args);
        EXPECT_EQ(run.Exit, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.Err.endsWith("Try 'lumora-cli watch --help'.\n")) << run.Err.toStdString();
    }
    EXPECT_TRUE(Sim.Received().empty());
}

// `watch` goes on across a swapped unit: the lost line is opened anew by its
// name and the reading taken from the unit that is there now.
TEST_F(WatchTest, WatchFollowsASwappedUnit)
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

// Which value is out of range is TLimits' matter; here the marks, the exit
// status and the refusal of a file that does not parse.
TEST_F(WatchTest, LimitsMarkValuesOutOfRange)
{
    TCliRun run = Run({"params", "--limits", File("l.json", R"({"temperature":{"max":24}})")});
    EXPECT_EQ(run.Exit, 3);
    EXPECT_TRUE(run.Out.contains("Temperature:        25℃ [high]\n")) << run.Out.toStdString();
    run =
        Run({"--json", "watch", "--count", "1", "--limits", File("t.json", R"({"supply24V":{"min":24.5}})")});
    EXPECT_EQ(run.Exit, 3);
    const QJsonObject params = run.Json()["params"].toObject();
    EXPECT_EQ(params["supply24V"]["alarm"].toString(), "low");
    EXPECT_EQ(Run({"params", "--limits", File("bad.json", QByteArray("{"))}).Exit, 2);
}

} // namespace
