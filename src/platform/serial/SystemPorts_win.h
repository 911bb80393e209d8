#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// A serial port as Windows lists it.
struct TSystemPort {
    int32_t Number = 0;   // n of COMn
    QString Name;         // "COM3"
    QString FriendlyName; // the adapter as the device manager names it; empty when it names none
};

// The ports of HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, by number,
// each with the friendly name of the device behind it where the Ports class
// of the device manager has one. Windows only.
std::vector<TSystemPort> SystemPorts();
