#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// A port the commissioning window offers: its name and one line on what it
// leads to and whether it can be opened now, as `lumora-cli ports` says it.
struct TPortOffer {
    QString Name; // "COM3"
    QString Text; // "COM3  /dev/ttyUSB0 (UART): ok, can be opened"
};

// The ports there are, the stored one (Stored) first, also when it leads
// nowhere. On Windows, the ports Windows lists with the adapter's name where
// the device manager has one (CommissionPorts_win.cpp).
std::vector<TPortOffer> CommissionPorts(int32_t Stored);
