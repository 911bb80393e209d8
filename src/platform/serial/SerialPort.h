#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

// A serial device held exclusively: open by path (existing character devices
// only), raw binary line settings, bytes-waiting count, blocking read and
// write, bounded waits that block in the system, discarding of stale input.
// Every byte written, read or discarded passes through the protocol trace.
//
// SerialPort_posix.cpp holds the POSIX implementation (a tty descriptor, poll()),
// SerialPort_win.cpp the Windows one (a handle from CreateFileA on
// "\\\\.\\COMn", ReadFile with comm time-outs).
class TSerialPort {
public:
#ifdef _WIN32
    using THandle = void *; // a Win32 HANDLE
#else
    using THandle = int; // a file descriptor
#endif

    TSerialPort() = default;
    TSerialPort(const TSerialPort &) = delete;
    TSerialPort &operator=(const TSerialPort &) = delete;
    ~TSerialPort();

    // Opens Path for reading and writing without making it the controlling
    // terminal. Fails (returns false, holds nothing) when the path does not
    // exist, is not a character device, or is already held by another opener
    // in this or another process.
    bool Open(const QString &Path);
    // Never blocks: output still waiting for the line is discarded.
    void Close();
    bool IsOpen() const
    {
        return FFd != NoHandle();
    }
    THandle Handle() const
    {
        return FFd;
    }
    // Whether the open device is a serial line (a terminal, a comm port)
    // rather than some other character device such as /dev/null or NUL.
    bool IsSerialLine() const;
    // Whether the line hung up or failed (the device vanished, the other end
    // of a pseudo-terminal closed, an I/O error) in a wait, read or write
    // since it was opened. A wait that merely ran out of time does not count.
    // Once lost, a line stays lost until the port is opened again.
    bool LineLost() const
    {
        return FLost;
    }

    // Raw binary mode at the given speed and character format: no echo, no
    // line editing, no CR/NL translation, no software flow control, receiver
    // on, modem lines ignored; hardware flow control stays as the port had it.
    // Parity and stop bits take the codes of the port settings record
    // (parity 0 none, 1 odd, 2 even; stop bits 0 one, 2 two).
    bool Configure(uint32_t BaudRate, uint8_t ByteSize, uint8_t Parity, uint8_t StopBits);

    // Bytes waiting in the input queue; 0 when closed or on error.
    int BytesWaiting() const;

    // Waits up to TimeoutMs (a negative bound means no wait at all) for bytes
    // to arrive, then reads whatever is queued, at most Capacity bytes, with
    // one read. Returns the number of bytes read: 0 when nothing arrived in
    // time, when the line hung up or on any error. Never spins: the wait
    // blocks in the system with the remaining time.
    int ReadQueued(uint8_t *Buffer, int Capacity, int TimeoutMs);

    // Discards every byte waiting in the input queue: reads what the line
    // reports as waiting (so that the trace shows it), then flushes the
    // driver's input buffers. Never waits for more to arrive.
    void DiscardInput();

    // One blocking write; returns the number of bytes written, or -1.
    ssize_t Write(const uint8_t *Data, size_t Length);

private:
    static THandle NoHandle()
    {
#ifdef _WIN32
        return reinterpret_cast<THandle>(intptr_t(-1)); // INVALID_HANDLE_VALUE
#else
        return -1;
#endif
    }

    THandle FFd = NoHandle();
    bool FLost = false;
};
