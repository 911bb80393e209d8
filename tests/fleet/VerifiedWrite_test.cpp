#include "fleet/VerifiedWrite.h"

#include "fleet/FleetLink.h"
#include "fleet/Journal.h"
#include "fleet/RecordViews.h"
#include "support/FleetTestContext.h"
#include "support/QtPrinters.h"
#include "support/SimLine.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using lumora::test::SampleUnit;
using lumora::test::TSimLine;

// The sample unit with serial number Serial, which becomes 0600000002 after
// answering Frames frames: after the read the write goes to the other unit
// (1), after the write the other unit answers the read-back (2).
TSimConfig Swapping(const char *Serial, int Frames)
{
    TSimConfig config = SampleUnit(Serial);
    config.Swap = {true, SampleUnit("0600000002").Info, Frames};
    return config;
}

// Each verdict earned from the unit that answered, each write leaving its
// intent (before the frame) and its outcome in the journal, and a refusal
// leaving neither.
TEST(VerifiedWrite, EachVerdictComesFromTheUnitThatAnsweredAndIsJournaled)
{
    lumora::test::ResetConfigHome();
    QTemporaryDir dir;
    TJournal journal;
    QString error;
    ASSERT_TRUE(journal.Open(dir.filePath("journal.jsonl"), error)) << error.toStdString();
    // Reads the unit on Sim's line, then writes Local to it.
    auto write = [&](TSimLine &Sim, const char *Local, bool Verify = true) {
        TFleetLink link(lumora::test::FleetTestContext(dir.path()));
        EXPECT_TRUE(link.OpenChoice({Sim.SlavePath(), Sim.SlavePath()}));
        TWriteRequest request;
        request.Before = link.ReadRecord<TDeviceInfo>(CmdReadInfo).Record;
        request.Settings = RecordNetwork(request.Before);
        EXPECT_TRUE(DottedToAddress(QString::fromLatin1(Local), request.Settings.LocalAddr));
        request.Verify = Verify;
        request.Command = QStringLiteral("set");
        return WriteVerified(link, journal, request);
    };

    TSimLine unit(SampleUnit("0612345678"));
    TWriteOutcome outcome = write(unit, "10.0.0.7");
    const QJsonObject &entry = outcome.Entry;
    EXPECT_TRUE(outcome.Ok) << outcome.Message.toStdString();
    EXPECT_EQ(outcome.Verdict, TWriteVerdict::Verified);
    EXPECT_EQ(entry["before"]["localIp"], QJsonValue("192.168.1.100"));
    EXPECT_EQ(entry["after"]["localIp"], QJsonValue("10.0.0.7"));
    ASSERT_EQ(unit.Received().size(), 3u) << "read, write, read-back";
    EXPECT_EQ(entry["payload"].toString(), QString::fromLatin1(unit.Received()[1].Payload.toHex()));

    TSimLine liar(SampleUnit("0612345679", true));
    outcome = write(liar, "10.0.0.7");
    EXPECT_EQ(outcome.Verdict, TWriteVerdict::NotApplied);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Message, "Local IP: acknowledged but not applied");
    EXPECT_EQ(entry["after"]["localIp"], QJsonValue("192.168.1.100")) << "what the unit holds";
    outcome = write(liar, "10.0.0.8", false);
    EXPECT_TRUE(outcome.Ok);
    EXPECT_EQ(outcome.Verdict, TWriteVerdict::NotVerified);
    EXPECT_TRUE(entry["after"].isNull());
    EXPECT_EQ(liar.CountOf(0), 3) << "a read before each write, a read-back after the verified one only";

    // Another unit on the line: the settings may be on either, so neither
    // counts as written.
    TSimLine took(Swapping("0612345678", 1));
    outcome = write(took, "10.0.0.9");
    EXPECT_EQ(outcome.Verdict, TWriteVerdict::WrongUnit);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_TRUE(outcome.AnsweredTookSettings);
    EXPECT_EQ(outcome.Message, "the unit on the line changed during the write: 0600000002 now holds the "
                               "settings planned for 0612345678");
    EXPECT_EQ(entry["answered"]["serialNumber"], QJsonValue("0600000002"));
    EXPECT_EQ(entry["answered"]["network"]["localIp"], QJsonValue("10.0.0.9"));
    EXPECT_TRUE(entry["after"].isNull());
    TSimLine answered(Swapping("0612345678", 2));
    outcome = write(answered, "10.0.0.9");
    EXPECT_EQ(outcome.Verdict, TWriteVerdict::WrongUnit);
    EXPECT_FALSE(outcome.AnsweredTookSettings);
    EXPECT_EQ(outcome.Message, "the unit on the line changed during the write: 0600000002 answered in place "
                               "of 0612345678, which may hold the settings sent");

    // Refused before the journal and the line: settings the unit cannot
    // hold, and a communication board.
    outcome = write(unit, "10.0.0.0");
    EXPECT_TRUE(outcome.Refused);
    EXPECT_EQ(outcome.Message, "Invalid local IP: 10.0.0.0 is the network address of its subnet (mask "
                               "255.255.255.0); nothing was sent");
    TSimConfig boardConfig = SampleUnit("0900000001");
    boardConfig.Info.DeviceType = 9;
    TSimLine board(boardConfig);
    outcome = write(board, "10.0.0.7");
    EXPECT_EQ(outcome.Verdict, TWriteVerdict::Refused);
    EXPECT_EQ(unit.CountOf(1) + board.CountOf(1), 1);

    // Intent and outcome of each of the five writes, side by side.
    QFile file(journal.Path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    const char *verdicts[] = {"verified", "not applied", "not verified", "wrong unit", "wrong unit"};
    ASSERT_EQ(lines.size(), 10);
    for (int i = 0; i < 5; ++i) {
        const QJsonObject intent = QJsonDocument::fromJson(lines[2 * i]).object();
        const QJsonObject result = QJsonDocument::fromJson(lines[2 * i + 1]).object();
        EXPECT_EQ(intent["stage"], QJsonValue("intent"));
        EXPECT_FALSE(intent.contains("verification") || intent.contains("ack"));
        EXPECT_EQ(result["stage"], QJsonValue("outcome"));
        EXPECT_EQ(result["writeId"], intent["writeId"]);
        EXPECT_EQ(result["payload"], intent["payload"]);
        EXPECT_EQ(result["verification"].toString(), verdicts[i]);
        EXPECT_EQ(result["ack"]["code"], QJsonValue(0));
    }
}

} // namespace
