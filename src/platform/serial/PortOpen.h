#pragma once

#include "platform/serial/SerialPort.h"

#include <QString>

#include <cstdint>

// How opening a serial device the way the link holds it went.
enum class TPortOpenFailure {
    None,          // open, a character device, held by this opener alone
    System,        // the system refused to open it (SystemError says why)
    NotCharDevice, // it opened but is no character device (and was closed again)
    Held,          // another opener holds it (and it was closed again)
};

struct TPortOpening {
    TSerialPort::THandle Handle{}; // the caller's to close; only when Failure is None
    TPortOpenFailure Failure = TPortOpenFailure::System;
    uint32_t SystemError = 0; // errno or GetLastError() for System

    bool Ok() const { return Failure == TPortOpenFailure::None; }
};

// Opens Path for reading and writing, without making it the controlling
// terminal and without waiting for a carrier, and holds it exclusively: the
// serial port's opening and the probe's, one per system (PortOpen_posix.cpp:
// open(), fstat() and flock(); PortOpen_win.cpp: CreateFileA not shared and
// GetFileType()).
TPortOpening OpenHeldPort(const QString &Path);

// Readies a port OpenHeldPort opened for the link's exchanges
// (SerialPort_posix.cpp: the tty's exclusive mode and blocking reads and
// writes; SerialPort_win.cpp: nothing).
void ReadyHeldPort(TSerialPort::THandle Handle);
