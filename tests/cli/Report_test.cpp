#include "CliFixture.h"

#include <gtest/gtest.h>

namespace {

using lumora::test::SampleUnit;
using lumora::test::TSimLine;

using ReportTest = lumora::test::TCliFixture;

TEST_F(ReportTest, ReportEscapesJournalTextsAndSkipsNewerEntries)
{
    const QString journal =
        File("j.jsonl", "{\"serialNumber\":\"06<b>1\",\"label\":\"a&b <script>\",\"time\":"
                        "\"2026-01-02T03:04:05Z\",\"user\":\"u\",\"host\":\"h\","
                        "\"verification\":\"verified\",\"written\":{\"localIp\":\"1.2.3.4\"}}\n"
                        "not json\n"
                        "{\"stage\":\"audit\",\"serialNumber\":\"0600000009\"}\n{\"stage\":\"outcome\"}\n");
    const TCliRun run = RunTool({"report", "--journal", journal, "--format", "html"});
    EXPECT_EQ(run.Exit, 0);
    EXPECT_TRUE(run.Out.startsWith("<!DOCTYPE html>"));
    EXPECT_FALSE(run.Out.contains("<script>") || run.Out.contains("<b>1"));
    EXPECT_TRUE(run.Out.contains("a&amp;b &lt;script&gt;"));
    EXPECT_EQ(run.Err, "lumora-cli: " + journal + ": 1 line that is no journal entry was skipped\n" +
                           "lumora-cli: " + journal +
                           ": 2 entries of a kind this version does not know were skipped (written by a "
                           "newer version?)\n");
    EXPECT_EQ(run.Out.count("<tr>") + run.Out.count("<tr class"), 4) << "two headers, one unit and one write";
    EXPECT_EQ(RunTool({"report", "--journal", journal, "--format", "pdf"}).Exit, 2);

    // A serial number as an odd unit gave it: shown escaped on a terminal.
    const QString odd =
        File("odd.jsonl", "{\"serialNumber\":\"06\\u001b]0;x\\u0007\",\"verification\":\"verified\"}\n");
    const QString text = RunTool({"report", "--journal", odd}).Out;
    EXPECT_EQ(text.count("06\\x1B]0;x\\x07"), 2) << text.toStdString(); // its row and its history's title
    EXPECT_FALSE(text.contains('\x1b') || text.contains('\a'));
}

TEST_F(ReportTest, ReportBeforeAnyWriteAfterARefusedOneAndSinceImpossibleTimes)
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

} // namespace
