// A verified write on a line where stale bytes wait before the request: the
// journal holds the acknowledgement the unit sent, never one it did not.

#include "fleet/FleetLink.h"
#include "fleet/Journal.h"
#include "fleet/RecordViews.h"
#include "fleet/VerifiedWrite.h"
#include "support/QtPrinters.h"
#include "support/SimLine.h"
#include "support/TestEnv.h"

#include <QJsonValue>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(NoisyLine, TheJournalHoldsTheAcknowledgementTheUnitSent)
{
    lumora::test::ResetConfigHome();
    lumora::test::TSimLine unit;
    QTemporaryDir dir;
    TJournal journal;
    QString error;
    ASSERT_TRUE(journal.Open(dir.filePath("journal.jsonl"), error)) << error.toStdString();
    TFleetLink link(TFleetContext::FromEnvironment());
    ASSERT_TRUE(link.OpenChoice({unit.SlavePath(), unit.SlavePath()}));
    TWriteRequest request;
    request.Before = unit.Config().Info;
    request.Settings = RecordNetwork(request.Before);
    request.Settings.DhcpFlag = 1;
    request.Command = QStringLiteral("set");
    const QByteArray staleAck("\x00\x00\x01\x01", 4); // "not supported", sent to nobody

    unit.SendNoise(staleAck);
    TWriteOutcome outcome = WriteVerified(link, journal, request);
    EXPECT_TRUE(outcome.Ok) << outcome.Message.toStdString();
    EXPECT_EQ(outcome.Verdict, TWriteVerdict::Verified);
    EXPECT_EQ(outcome.Entry["ack"].toObject()["code"], QJsonValue(0));
    EXPECT_EQ(link.Status().Text(), "Command success!");

    // Read together with the reply (no discard), the stale bytes spoil the
    // acknowledgement: the write fails, and no code is recorded for it.
    link.SetDiscardStaleInput(false);
    unit.SendNoise(staleAck);
    outcome = WriteVerified(link, journal, request);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Verdict, TWriteVerdict::NotAcknowledged);
    EXPECT_TRUE(outcome.Entry["ack"].toObject()["code"].isNull());
    EXPECT_EQ(outcome.Entry["ack"].toObject()["status"], QJsonValue("Command fail!"));
}

} // namespace
