#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Protocol trace of the serial layer. When on, every write and every read of
// an open port is printed on standard error as one line:
//   12:34:56.789 TX 7: AA 55 00 00 00 FB FF
// (local time with milliseconds, direction, byte count, bytes in hex). A wait
// that ends with nothing read prints "RX 0" with the reason. Off by default;
// the environment variable LUMORA_TRACE=1 switches it on at start, and
// SetSerialTrace() at any time.
void SetSerialTrace(bool On);
bool SerialTraceEnabled();

enum class TTraceDirection { Sent, Received };

// Prints one trace line when the trace is on; Note, when not empty, is
// appended in parentheses.
void TraceBytes(TTraceDirection Direction, const uint8_t *Data, size_t Length, const char *Note = nullptr);

// "AA 55 00": upper-case hex bytes separated by single blanks. Shared by the
// trace and by the simulator's log.
QByteArray HexBytes(const uint8_t *Data, size_t Length);

// "12:34:56.789": the local wall-clock time with milliseconds.
QByteArray TraceTimestamp();
