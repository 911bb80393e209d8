#include "fleet/Csv.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

std::vector<TCsvRow> Read(const QString &Text, QChar Separator = u',')
{
    std::vector<TCsvRow> rows;
    QString error;
    EXPECT_TRUE(ReadCsv(Text, Separator, rows, error)) << error.toStdString();
    return rows;
}

TEST(Csv, QuotedCellsHoldSeparatorsQuotesAndLineBreaks)
{
    const std::vector<TCsvRow> rows = Read("a,\"b, c\",\"say \"\"hi\"\"\"\r\n"
                                           " \"two\nlines\" ,x\n"
                                           "\n"
                                           "last,\n");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Cells, (QStringList{"a", "b, c", "say \"hi\""}));
    EXPECT_EQ(rows[1].Cells, (QStringList{"two\nlines", "x"}));
    EXPECT_EQ(rows[2].Cells, QStringList{""}) << "an empty record is kept for the caller to judge";
    EXPECT_EQ(rows[3].Cells, (QStringList{"last", ""}));
    // Each record knows the line it starts on, past the line break in quotes.
    EXPECT_EQ(rows[0].Line, 1);
    EXPECT_EQ(rows[1].Line, 2);
    EXPECT_EQ(rows[2].Line, 4);
    EXPECT_EQ(rows[3].Line, 5);

    // The separator is a parameter: commas are plain text then.
    const std::vector<TCsvRow> semi = Read("serial;local\n\"06;1\";10,0\n", u';');
    ASSERT_EQ(semi.size(), 2u);
    EXPECT_EQ(semi[1].Cells, (QStringList{"06;1", "10,0"}));
    EXPECT_TRUE(Read("").empty());
}

TEST(Csv, AnUnclosedQuoteNamesTheLineItOpensOn)
{
    std::vector<TCsvRow> rows;
    QString error;
    EXPECT_FALSE(ReadCsv("a,b\nc,\"open\nstill open\n", u',', rows, error));
    EXPECT_EQ(error, "line 2: a quoted cell is not closed");
}

TEST(Csv, WrittenRecordsReadBackAsTheyWere)
{
    const QStringList cells{"plain", "a,b", "q\"uote", "two\nlines", "", "semi;colon"};
    EXPECT_EQ(CsvRecord(cells), "plain,\"a,b\",\"q\"\"uote\",\"two\nlines\",,semi;colon\n");
    EXPECT_EQ(CsvCell("semi;colon", u';'), "\"semi;colon\"");
    for (const QChar separator : {QChar(u','), QChar(u';')}) {
        const std::vector<TCsvRow> rows =
            Read(CsvRecord(cells, separator) + CsvRecord(cells, separator), separator);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].Cells, cells);
        EXPECT_EQ(rows[1].Line, 3);
    }
}

} // namespace
