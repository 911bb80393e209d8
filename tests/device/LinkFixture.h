#pragma once

#include "device/ComUnit.h"
#include "support/PtyPair.h"
#include "support/TestEnv.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// Records every report of the link in order: (colour, text).
class TRecordingLabel : public TStatusLabel {
public:
    struct TReport {
        uint32_t Color;
        QString Text;
        bool operator==(const TReport &) const = default;
    };
    void SetFontColor(uint32_t Color) override
    {
        FColor = Color;
        FColorSet = true;
    }
    void SetCaption(const QString &Text) override
    {
        // The colour must be set before each text.
        EXPECT_TRUE(FColorSet) << "text without a colour first: " << Text.toStdString();
        FColorSet = false;
        Reports.push_back({FColor, Text});
    }
    const TReport &Last() const { return Reports.back(); }
    std::vector<TReport> Reports;

private:
    uint32_t FColor = 0;
    bool FColorSet = false;
};

inline TRecordingLabel::TReport Red(const char *text)
{
    return {StatusErrorColor, QString::fromUtf8(text)};
}
inline TRecordingLabel::TReport Green(const char *text)
{
    return {StatusInfoColor, QString::fromUtf8(text)};
}

// TCOMMan with its inner operations reachable, as a descendant reaches them.
class TTestCom : public TCOMMan {
public:
    using TCOMMan::FBaudRate;
    using TCOMMan::FByteSize;
    using TCOMMan::FParity;
    using TCOMMan::FStopBits;
    using TCOMMan::FTimeout;
    using TCOMMan::Query;
    using TCOMMan::ReadAck;
    using TCOMMan::ReadReply;
    using TCOMMan::SendFrame;
    using TCOMMan::TCOMMan;
};

inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

// A fresh store with COM1 mapped to a raw pty whose master the test holds.
class LinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lumora::test::ResetConfigHome();
        lumora::test::MapPort(1, Pty.SlavePath());
    }
    // A reply the device has queued; the link reads it after its pause.
    void Reply(const QByteArray &bytes) { Pty.WriteMaster(bytes); }

    lumora::test::TPtyPair Pty;
    TRecordingLabel Label;
};
