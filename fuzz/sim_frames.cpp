// The simulator's request parser on any byte stream: the frames it cuts out
// do not depend on how the stream is split into reads, each one is a
// well-formed frame lying in the stream, and after any garbage a good frame
// is found again (resynchronisation).

#include "FuzzCheck.h"
#include "device/ComUnit.h"
#include "sim/FrameParser.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace {

struct TFound {
    uint8_t Command;
    QByteArray Payload;
    qsizetype End; // offset in the stream just behind the frame
    bool operator==(const TFound &) const = default;
};

// Feeds the stream in pieces of the given sizes (cycled), taking every frame
// as soon as it is complete.
std::vector<TFound> Parse(const QByteArray &stream, const std::vector<size_t> &pieces)
{
    TFrameParser parser;
    std::vector<TFound> found;
    qsizetype fed = 0;
    size_t next = 0;
    while (fed < stream.size()) {
        const qsizetype piece =
            std::min<qsizetype>(qsizetype(pieces[next++ % pieces.size()]), stream.size() - fed);
        parser.Feed(reinterpret_cast<const uint8_t *>(stream.constData() + fed), size_t(piece));
        fed += piece;
        while (const auto request = parser.Next())
            found.push_back({request->Command, request->Payload, fed - parser.Pending()});
    }
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray garbage(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    // A good frame behind the garbage, then enough silence-like zero bytes to
    // complete any false start that reaches over it.
    const uint8_t settings[17] = {0, 192, 168, 1, 10};
    const QByteArray good =
        (data[0] & 1) ? BuildFrame(CmdWriteSettings, settings) : BuildFrame(CmdReadInfo, {});
    const QByteArray stream = garbage + good + QByteArray(262, '\0');

    const std::vector<TFound> whole = Parse(stream, {size_t(stream.size())});
    std::mt19937 random(data[0]);
    std::vector<size_t> pieces(16);
    for (size_t &p : pieces)
        p = 1 + random() % 40;
    FUZZ_CHECK(Parse(stream, pieces) == whole);
    FUZZ_CHECK(Parse(stream, {1}) == whole);

    qsizetype previousEnd = 0;
    bool goodFound = false;
    for (const TFound &f : whole) {
        const QByteArray frame =
            BuildFrame(f.Command, std::span(reinterpret_cast<const uint8_t *>(f.Payload.constData()),
                                            size_t(f.Payload.size())));
        FUZZ_CHECK(f.End - frame.size() >= previousEnd);
        FUZZ_CHECK(stream.mid(f.End - frame.size(), frame.size()) == frame);
        previousEnd = f.End;
        // The good frame, or a frame that legitimately swallowed it whole.
        goodFound = goodFound || f.End == garbage.size() + good.size();
    }
    FUZZ_CHECK(goodFound);
    return 0;
}
