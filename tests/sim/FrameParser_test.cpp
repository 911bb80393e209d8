#include "device/ComUnit.h"
#include "sim/FrameParser.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void Feed(TFrameParser &p, const QByteArray &bytes)
{
    p.Feed(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
}

std::vector<TRequest> Drain(TFrameParser &p)
{
    std::vector<TRequest> out;
    while (auto r = p.Next())
        out.push_back(*r);
    return out;
}

QByteArray Frame(uint8_t command, const QByteArray &payload = {})
{
    return BuildFrame(command,
                      std::span<const uint8_t>(reinterpret_cast<const uint8_t *>(payload.constData()),
                                               size_t(payload.size())));
}

TEST(FrameParser, WholeFramesInAnyPieces)
{
    TFrameParser p;
    const QByteArray stream = Frame(0) + Frame(1, QByteArray(17, char(0x42))) + Frame(3);
    std::vector<TRequest> got;
    for (char c : stream) {
        Feed(p, QByteArray(1, c));
        for (const TRequest &r : Drain(p))
            got.push_back(r);
    }
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].Command, 0);
    EXPECT_EQ(got[1].Command, 1);
    EXPECT_EQ(got[1].Payload, QByteArray(17, char(0x42)));
    EXPECT_EQ(got[2].Command, 3);
    EXPECT_EQ(p.Pending(), 0);
    EXPECT_EQ(p.Skipped(), 0u);
}

TEST(FrameParser, ResynchronisesOnGarbageAndBrokenFrames)
{
    TFrameParser p;
    QByteArray badSum = Frame(0);
    badSum[4] = char(0x01);
    QByteArray badTail = Frame(3);
    badTail[6] = char(0x00);
    // A false head that claims 200 payload bytes, then a real frame inside it.
    const QByteArray falseHead = QByteArray("\xAA\x55\x00\xC8", 4);
    Feed(p, QByteArray("\x00\x13\xAA\xAA\x11", 5) + badSum + badTail + Frame(0) + QByteArray("\xAA", 1));
    auto got = Drain(p);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].Command, 0);
    EXPECT_EQ(p.Pending(), 1) << "a trailing AA may start the next frame";
    Feed(p, QByteArray("\x55\x03\x00\x03\xFB\xFF", 6));
    got = Drain(p);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].Command, 3);

    Feed(p, falseHead + Frame(0));
    EXPECT_TRUE(Drain(p).empty()) << "waits for the claimed length";
    p.Reset();
    EXPECT_EQ(p.Pending(), 0);
    Feed(p, Frame(9)); // unknown commands still come out as frames
    got = Drain(p);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].Command, 9);
}

TEST(FrameParser, ArbitraryBytesNeverStallIt)
{
    TFrameParser p;
    uint32_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1103515245u + 12345u;
        const uint8_t b = uint8_t(x >> 16);
        p.Feed(&b, 1);
        Drain(p);
        ASSERT_LE(p.Pending(), 262) << "never more than one longest frame buffered";
    }
    Feed(p, QByteArray(300, char(0)));
    Drain(p);
    Feed(p, Frame(0));
    auto got = Drain(p);
    ASSERT_EQ(got.size(), 1u);
}

} // namespace
