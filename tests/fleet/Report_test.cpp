#include "device/ComUnit.h"
#include "fleet/PlainText.h"
#include "fleet/Report.h"

#include "support/QtPrinters.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QJsonObject Settings(const char *Local)
{
    return QJsonObject{{"dhcp", false},
                       {"localIp", Local},
                       {"serverIp", "10.0.0.1"},
                       {"gatewayIp", "10.0.0.254"},
                       {"subnetMask", "255.255.255.0"}};
}

// A journal line of a write of 10.0.0.9 over 10.0.0.5.
QJsonObject Write(const char *Serial, int Type, const QString &Verdict, const QJsonValue &AckCode,
                  bool ReadBack = false)
{
    QJsonObject entry{{"time", "2026-12-08T09:15:02+01:00"},
                      {"user", "tech"},
                      {"host", "bench"},
                      {"command", "set"},
                      {"serialNumber", Serial},
                      {"type", QJsonObject{{"code", Type}, {"name", DeviceTypeName(Type)}}},
                      {"before", Settings("10.0.0.5")},
                      {"written", Settings("10.0.0.9")},
                      {"after", ReadBack ? QJsonValue(Settings("10.0.0.9")) : QJsonValue()},
                      {"verification", Verdict}};
    if (!AckCode.isUndefined())
        entry.insert("ack", QJsonObject{{"code", AckCode}, {"status", AckCode == 0 ? "" : "Command fail!"}});
    return entry;
}

TEST(Report, SinceTakesWholeRealTimesOnly)
{
    QDateTime since;
    ASSERT_TRUE(ParseReportSince("2026-12-08", since));
    EXPECT_EQ(since, QDate(2026, 12, 8).startOfDay());
    ASSERT_TRUE(ParseReportSince("2026-12-08T23:59", since));
    EXPECT_EQ(since, QDateTime(QDate(2026, 12, 8), QTime(23, 59)));
    ASSERT_TRUE(ParseReportSince("2026-12-08 09:15:02", since));
    EXPECT_EQ(since.time(), QTime(9, 15, 2));
    // A journal line's own time, offset and all.
    ASSERT_TRUE(ParseReportSince("2026-12-08T09:15:02+01:00", since));
    EXPECT_EQ(since.toUTC(), QDateTime(QDate(2026, 12, 8), QTime(8, 15, 2), Qt::UTC));
    ASSERT_TRUE(ParseReportSince("2026-12-08T09:15Z", since));
    EXPECT_EQ(since, QDateTime(QDate(2026, 12, 8), QTime(9, 15), Qt::UTC));
    // As watch prints it, to the millisecond; lower case; compact offsets.
    ASSERT_TRUE(ParseReportSince("2026-12-09T15:07:33.407Z", since));
    EXPECT_EQ(since, QDateTime(QDate(2026, 12, 9), QTime(15, 7, 33, 407), Qt::UTC));
    ASSERT_TRUE(ParseReportSince("2026-12-09t15:07:33.4z", since));
    EXPECT_EQ(since, QDateTime(QDate(2026, 12, 9), QTime(15, 7, 33, 400), Qt::UTC));
    ASSERT_TRUE(ParseReportSince("2026-12-09T15:07:33.123456-0530", since));
    EXPECT_EQ(since.toUTC(), QDateTime(QDate(2026, 12, 9), QTime(20, 37, 33, 123), Qt::UTC));
    ASSERT_TRUE(ParseReportSince("2026-12-09T15:07+01", since));
    EXPECT_EQ(since.toUTC(), QDateTime(QDate(2026, 12, 9), QTime(14, 7), Qt::UTC));

    for (const char *impossible :
         {"2026-12-08T25:00", "2026-12-08T24:00", "2026-12-08T10:60", "2026-02-30", "2026-12-08x",
          "2026-12-08T10:00junk", "2026-12-08T10:00+15:00", "2026-12-8", "2026-12-08T10:00.5",
          "2026-12-08T10:00:00.", "2026-12-08T10:00:60", "yesterday", " 2026-12-08", ""}) {
        EXPECT_FALSE(ParseReportSince(impossible, since)) << impossible;
        EXPECT_FALSE(since.isValid()) << impossible;
    }
}

TEST(Report, UnitShowsTheSettingsItHolds)
{
    auto local = [](const QJsonObject &Entry) {
        return GroupByUnit({Entry}).front().LatestSettings().value("localIp").toString();
    };
    EXPECT_EQ(local(Write("1", 6, "verified", 0, true)), "10.0.0.9");
    EXPECT_EQ(local(Write("1", 6, "not verified", 0)), "10.0.0.9");
    EXPECT_EQ(local(Write("1", 6, "read-back failed", 0)), "10.0.0.9");
    // Refused, unanswered or never sent: the unit keeps what it held.
    EXPECT_EQ(local(Write("1", 6, "not acknowledged", 2)), "10.0.0.5");
    EXPECT_EQ(local(Write("1", 6, "not acknowledged", QJsonValue())), "10.0.0.5");
    EXPECT_EQ(local(Write("1", 6, "", QJsonValue::Undefined)), "10.0.0.5");
}

TEST(Report, TextColumnsLineUpAfterWideNamesAndCountAUnitRight)
{
    QJsonObject multiLine = Write("0612345678", 6, "verified", 0, true);
    multiLine.insert("label", "rack 2\r\nshelf");
    const QString one = ReportText(GroupByUnit({multiLine}));
    EXPECT_TRUE(one.startsWith("1 unit\n\n")) << one.toStdString();
    EXPECT_EQ(one.count("rack 2 shelf"), 2) << one.toStdString(); // its row and its history's title
    EXPECT_FALSE(one.contains("\r"));

    // Type 1 and 8 are named in Chinese: two columns per character.
    const QString text = ReportText(
        GroupByUnit({Write("0112345678", 1, "verified", 0, true), Write("0812345678", 8, "verified", 0, true),
                     Write("0612345678", 6, "verified", 0, true)}));
    EXPECT_TRUE(text.startsWith("3 units\n\n"));
    const QStringList lines = text.split('\n');
    const qsizetype header = lines.indexOf(QRegularExpression("^S/N .*"));
    ASSERT_GE(header, 0);
    auto columnOf = [](const QString &Line, const QString &Cell) {
        return DisplayWidth(Line.left(Line.indexOf(Cell)));
    };
    const int localColumn = columnOf(lines[header], "Local IP");
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(columnOf(lines[header + row], "10.0.0.9"), localColumn)
            << lines[header + row].toStdString();
}

TEST(Report, HtmlKeepsTimesOnOneLineAndMarksFailedWrites)
{
    QJsonObject odd = Write("06<b>", 6, "not acknowledged", 2);
    odd.insert("label", "a&b <script>");
    const QString html =
        ReportHtml(GroupByUnit({Write("0612345678", 6, "verified", 0, true), odd}), "Report <1>");
    EXPECT_TRUE(html.contains("<h1>Report &lt;1&gt;</h1>\n<p>2 units</p>"));
    EXPECT_TRUE(html.contains("td.time { white-space: nowrap; }"));
    EXPECT_TRUE(html.contains("<td class=\"time\">2026-12-08T09:15:02+01:00</td>"));
    EXPECT_FALSE(html.contains("<script>") || html.contains("<b>"));
    EXPECT_TRUE(html.contains("a&amp;b &lt;script&gt;"));
    // The failed unit's summary row and its history row, and only those.
    EXPECT_EQ(html.count("<tr class=\"failed\">"), 2);
    EXPECT_EQ(html.count("<span class=\"mark\">&#x2717; FAILED:</span> not acknowledged</td>"), 2);
    EXPECT_FALSE(html.contains("FAILED:</span> verified"));
}

TEST(PlainText, WidthsCutsAndCounts)
{
    EXPECT_EQ(DisplayWidth("EDFA"), 4);
    EXPECT_EQ(DisplayWidth("6 小光站"), 8);
    EXPECT_EQ(DisplayWidth("ＡＢ"), 4);        // full-width forms
    EXPECT_EQ(DisplayWidth("e\u0301"), 1);     // a combining accent
    EXPECT_EQ(DisplayWidth("\U0001F600x"), 3); // an emoji outside the BMP
    EXPECT_EQ(DisplayWidth("25℃ 无"), 6);      // ℃ is narrow
    EXPECT_EQ(PadToWidth("发射机", 8), "发射机  ");
    EXPECT_EQ(PadToWidth("too wide", 3), "too wide");

    EXPECT_EQ(CutToWidth("rack 小光站", 8), "rack 小");   // 小 fits, 光 would need 2 more
    EXPECT_EQ(CutToWidth("rack 小光站", 9), "rack 小光"); // a full-width character is never halved
    EXPECT_EQ(CutToWidth("ab\U0001F600", 3), "ab");
    EXPECT_EQ(CutToWidth("cafe\u0301s", 4), "cafe\u0301");
    EXPECT_EQ(CutToWidth("short", 80), "short");

    // A cell with line breaks or control characters stays on one line.
    EXPECT_EQ(OneLine("rack 2,\r\n\"top\"\nshelf\x1b[2J"), "rack 2, \"top\" shelf [2J");

    EXPECT_EQ(Counted(0, "unit", "units"), "0 units");
    EXPECT_EQ(Counted(1, "unit", "units"), "1 unit");
    EXPECT_EQ(Counted(2, "cell", "cells"), "2 cells");
}

} // namespace
