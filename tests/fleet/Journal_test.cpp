#include "fleet/Journal.h"

#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(Journal, OlderLinesAndAForeignHalfLineStayApartFromNewRecords)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("journal.jsonl");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // A line from before intents were recorded, then half a line left by a
    // crash of some other writer.
    file.write("{\"serialNumber\":\"0600000001\",\"verification\":\"verified\"}\n{\"serialNum");
    file.close();

    TJournal journal;
    QString error;
    ASSERT_TRUE(journal.Open(path, error)) << error.toStdString();
    ASSERT_TRUE(
        journal.Append({{"stage", "intent"}, {"writeId", "a"}, {"serialNumber", "0600000002"}}, error));
    ASSERT_TRUE(journal.Append({{"stage", "outcome"},
                                {"writeId", "a"},
                                {"serialNumber", "0600000002"},
                                {"verification", "verified"}},
                               error));
    ASSERT_TRUE(
        journal.Append({{"stage", "intent"}, {"writeId", "b"}, {"serialNumber", "0600000003"}}, error));
    // Entries of a newer version: a stage of its own, a line without a unit.
    ASSERT_TRUE(
        journal.Append({{"stage", "retry"}, {"writeId", "b"}, {"serialNumber", "0600000003"}}, error));
    ASSERT_TRUE(
        journal.Append({{"stage", "outcome"}, {"writeId", "c"}, {"verification", "verified"}}, error));

    std::vector<QJsonObject> entries;
    int skipped = 0;
    int unknown = 0;
    ASSERT_TRUE(ReadJournal(path, entries, skipped, error, &unknown));
    EXPECT_EQ(skipped, 3) << "the half line and the two newer entries";
    EXPECT_EQ(unknown, 2);
    ASSERT_EQ(entries.size(), 3u) << "one entry per write";
    EXPECT_EQ(entries[0]["serialNumber"], "0600000001");
    EXPECT_EQ(entries[1]["verification"], "verified");
    EXPECT_EQ(entries[2]["verification"], "no outcome recorded");
    EXPECT_TRUE(entries[2]["ack"].isNull() && entries[2]["after"].isNull());
}

} // namespace
