#pragma once

#include "device/NetSettings.h"

#include <QString>

#include <cstdint>

// What the command line refuses to send beyond the main window's checks:
// settings a unit cannot sensibly hold. The messages say which value and why;
// empty texts mean nothing is wrong.

// The addresses given for a unit, each four bytes in the order written, or
// null when not given.
struct TGivenAddresses {
    const uint8_t *Local = nullptr;
    const uint8_t *Mask = nullptr;
    const uint8_t *Gateway = nullptr;
};

// A rule is checked when every address it reads is given: a mask whose ones
// are not contiguous; as the unit's own address 0.0.0.0, 255.255.255.255, a
// loopback (127.0.0.0/8) or multicast (224.0.0.0/4) address; with the mask,
// the network or broadcast address of the subnet (for masks of 30 bits and
// fewer: /31 and /32 have neither); with the gateway, the gateway itself;
// with both, a gateway outside the subnet. A gateway of 0.0.0.0 means none.
QString AddressFault(const TGivenAddresses &Given);

// The settings about to be sent: with DHCP off (the address and mask in
// force) AddressFault of the address and mask. The gateway is not judged
// here: a unit's own gateway may be left as it is by a change that does not
// give one. A unit's own odd DHCP flag (neither 0 nor 1) may go back to it as
// it is.
QString SettingsFault(const TNetSettings &Settings);
