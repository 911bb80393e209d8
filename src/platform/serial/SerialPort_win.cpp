#include "platform/serial/SerialPort.h"

#include "platform/serial/PortOpen.h"
#include "platform/serial/SerialTrace.h"

#include <windows.h>

#include <algorithm>

namespace {

// A wait is cut into slices this long. Between two slices the port's status
// is asked again, and that is where a vanished adapter shows: its handle's
// calls fail. A pending read alone does not notice it (under Wine a read on
// a hung-up line sits out its whole time-out), so a slice bounds how long a
// removed unit can keep the caller waiting.
constexpr DWORD SliceMs = 50;

HANDLE Win(TSerialPort::THandle Handle)
{
    return static_cast<HANDLE>(Handle);
}

// The bytes waiting in the input queue, or -1 when the port's status cannot
// be read (the adapter is gone). Also clears a pending line error, which
// would otherwise stop further reads.
int QueuedBytes(HANDLE Handle)
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(Handle, &errors, &status))
        return -1;
    return int(std::min<DWORD>(status.cbInQue, 0x7FFFFFFF));
}

// One ReadFile of Length bytes that returns after at most TimeoutMs: a read
// whose only time-out is a total constant returns as soon as Length bytes
// are there, or at the bound with what came. Returns the bytes read, or -1
// when the call failed.
int TimedRead(HANDLE Handle, uint8_t *Buffer, DWORD Length, DWORD TimeoutMs)
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = std::max<DWORD>(TimeoutMs, 1);
    if (!SetCommTimeouts(Handle, &timeouts))
        return -1;
    DWORD got = 0;
    if (!ReadFile(Handle, Buffer, Length, &got, nullptr))
        return -1;
    return int(got);
}

} // namespace

void ReadyHeldPort(HANDLE)
{
    // A comm port opened not shared is ready as it is.
}

void TSerialPort::Close()
{
    if (!IsOpen())
        return;
    // Output the line has not taken yet is dropped, so that a device holding
    // the line back cannot keep CloseHandle waiting.
    PurgeComm(Win(FFd), PURGE_TXABORT | PURGE_TXCLEAR);
    CloseHandle(Win(FFd));
    FFd = NoHandle();
    FLost = false;
}

bool TSerialPort::IsSerialLine() const
{
    // A comm port has a line state; NUL and the console, character devices
    // too, have none.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    return IsOpen() && GetCommState(Win(FFd), &dcb) != 0;
}

bool TSerialPort::Configure(uint32_t BaudRate, uint8_t ByteSize, uint8_t Parity, uint8_t StopBits)
{
    if (!IsOpen())
        return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(Win(FFd), &dcb))
        return false;
    // Speed and character format; flow control, control lines and special
    // characters stay as the port reported them.
    dcb.BaudRate = BaudRate;
    dcb.ByteSize = ByteSize;
    dcb.Parity = Parity;
    dcb.StopBits = StopBits;
    dcb.fBinary = TRUE;
    dcb.fParity = Parity != NOPARITY ? TRUE : FALSE;
    const bool applied = SetCommState(Win(FFd), &dcb) != 0;
    const bool queues = SetupComm(Win(FFd), 10240, 10240) != 0;
    return applied && queues;
}

int TSerialPort::BytesWaiting() const
{
    if (!IsOpen())
        return 0;
    return std::max(QueuedBytes(Win(FFd)), 0);
}

int TSerialPort::ReadQueued(uint8_t *Buffer, int Capacity, int TimeoutMs)
{
    if (!IsOpen() || Capacity <= 0 || TimeoutMs < 0) {
        TraceBytes(TTraceDirection::Received, nullptr, 0, "not waiting");
        return 0;
    }
    HANDLE handle = Win(FFd);
    const ULONGLONG deadline = GetTickCount64() + ULONGLONG(TimeoutMs);
    for (;;) {
        const int waiting = QueuedBytes(handle);
        if (waiting < 0) {
            FLost = true;
            TraceBytes(TTraceDirection::Received, nullptr, 0, "hang-up");
            return 0;
        }
        int got = 0;
        if (waiting > 0) {
            got = TimedRead(handle, Buffer, DWORD(std::min(waiting, Capacity)), 1);
        } else {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline)
                break;
            // Block for the first byte of the reply, then take what came
            // with it: the rest of the reply is queued by then.
            got = TimedRead(handle, Buffer, 1, DWORD(std::min<ULONGLONG>(deadline - now, SliceMs)));
            if (got == 1 && Capacity > 1) {
                const int rest = QueuedBytes(handle);
                if (rest > 0) {
                    const int more = TimedRead(handle, Buffer + 1, DWORD(std::min(rest, Capacity - 1)), 1);
                    got = more < 0 ? -1 : got + more;
                }
            }
        }
        if (got < 0) {
            FLost = true;
            TraceBytes(TTraceDirection::Received, nullptr, 0, "read failed");
            return 0;
        }
        if (got > 0) {
            TraceBytes(TTraceDirection::Received, Buffer, size_t(got));
            return got;
        }
    }
    TraceBytes(TTraceDirection::Received, nullptr, 0, "timeout");
    return 0;
}

void TSerialPort::DiscardInput()
{
    if (!IsOpen())
        return;
    HANDLE handle = Win(FFd);
    // A line that keeps talking cannot hold the caller here: a bounded number
    // of reads of what is queued (each returns at once), then PurgeComm drops
    // whatever else has arrived.
    constexpr int MaxReads = 64;
    uint8_t scratch[256];
    for (int i = 0; i < MaxReads; ++i) {
        const int waiting = QueuedBytes(handle);
        if (waiting < 0)
            FLost = true;
        if (waiting <= 0)
            break;
        const int got = TimedRead(handle, scratch, DWORD(std::min(waiting, int(sizeof scratch))), 1);
        if (got <= 0) {
            FLost = FLost || got < 0;
            break;
        }
        TraceBytes(TTraceDirection::Received, scratch, size_t(got), "discarded");
    }
    PurgeComm(handle, PURGE_RXCLEAR);
}

ssize_t TSerialPort::Write(const uint8_t *Data, size_t Length)
{
    if (!IsOpen())
        return -1;
    DWORD written = 0;
    const BOOL ok = WriteFile(Win(FFd), Data, DWORD(std::min<size_t>(Length, MAXDWORD)), &written, nullptr);
    if (!ok)
        FLost = true;
    TraceBytes(TTraceDirection::Sent, Data, ok ? size_t(written) : 0, ok ? nullptr : "write failed");
    return ok ? ssize_t(written) : -1;
}
