#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <optional>

// One request frame as the device sees it.
struct TRequest {
    uint8_t Command = 0;
    QByteArray Payload;
};

// Cuts request frames out of the byte stream from the line: AA 55, command,
// length N, N payload bytes, checksum, FB FF. Anything that is not a whole,
// well-formed frame (garbage, a wrong checksum or tail, a false start) is
// skipped one byte at a time until the next AA 55, so the parser always
// resynchronises.
class TFrameParser {
public:
    void Feed(const uint8_t *Data, size_t Length);
    // The next complete frame, or nothing until more bytes arrive.
    std::optional<TRequest> Next();
    // Drops a partial frame (the line went quiet in the middle of one).
    void Reset();

    qsizetype Pending() const { return FBuffer.size(); }
    // Bytes skipped while resynchronising, over the parser's life.
    size_t Skipped() const { return FSkipped; }

private:
    void Drop(qsizetype Count);

    QByteArray FBuffer;
    size_t FSkipped = 0;
};
