// The files the command line keeps, on Windows: the journal's home under
// %LOCALAPPDATA%\Lumora and files replaced whole or not at all.
#include "fleet/FleetContext.h"
#include "fleet/Journal.h"
#include "platform/files/WholeFile.h"

#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Contents(const QString &Path)
{
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

TEST(FilesWin, TheJournalLivesInTheUsersLocalApplicationData)
{
    const QString local = QDir::toNativeSeparators(qEnvironmentVariable("LOCALAPPDATA"));
    ASSERT_FALSE(local.isEmpty());
    EXPECT_EQ(TFleetContext::FromEnvironment().JournalPath(),
              local + QStringLiteral("\\Lumora\\journal.jsonl"));

    // Opening creates the folder; a record is one whole line.
    QTemporaryDir dir;
    const QString path = QDir::toNativeSeparators(dir.filePath(QStringLiteral("Lumora/journal.jsonl")));
    TJournal journal;
    QString error;
    ASSERT_TRUE(journal.Open(path, error)) << error.toStdString();
    ASSERT_TRUE(journal.Append({{"stage", "intent"}, {"writeId", "a"}}, error)) << error.toStdString();
    EXPECT_EQ(Contents(path), QByteArray("{\"stage\":\"intent\",\"writeId\":\"a\"}\n"));
}

TEST(FilesWin, AFileIsReplacedWholeOrLeftAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("backup.json"));
    QString error;
    ASSERT_TRUE(WriteWholeFile(path, "old\n", error)) << error.toStdString();
    ASSERT_TRUE(WriteWholeFile(path, "new\n", error)) << error.toStdString();
    EXPECT_EQ(Contents(path), QByteArray("new\n"));

    // A folder in the way cannot be replaced: the write fails with the
    // name and the reason, and nothing is left beside it.
    const QString folder = dir.filePath(QStringLiteral("taken"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_FALSE(WriteWholeFile(folder, "data\n", error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("cannot write %1: ").arg(folder))) << error.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("backup.json")});
    EXPECT_EQ(Contents(path), QByteArray("new\n"));
}

} // namespace
