#pragma once

#include "device/NetSettings.h"

#include <QString>

#include <cstdint>

// What the command line refuses to send beyond the main window's checks:
// settings a unit cannot sensibly hold. The messages say which value and why;
// empty texts mean nothing is wrong.

// The address and mask given for a unit, each four bytes in the order
// written, or null when not given: a mask whose ones are not contiguous;
// 0.0.0.0 or 255.255.255.255 as the unit's own address; with both, the
// broadcast address of the subnet (for masks of 30 bits and fewer: /31 and
// /32 have none).
QString AddressFault(const uint8_t *Local, const uint8_t *Mask);

// The settings about to be sent: with DHCP off (the address and mask in
// force) AddressFault of both. A unit's own odd DHCP flag (neither 0 nor 1)
// may go back to it as it is.
QString SettingsFault(const TNetSettings &Settings);
