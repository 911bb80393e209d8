#pragma once

#include "platform/serial/PortMap.h"
#include "platform/serial/PortProbe.h"
#include "platform/serial/PortUsers.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class TSettingsStore;

// A COM number and whether its device can be opened.
struct TInventoryPort {
    TPortResolution Port;
    TPortProbe Probe; // Path empty when the name leads to no device
};

// An adapter the program numbers (a link in the by-id folder).
struct TInventoryAdapter {
    QString Path;
    int32_t Number = 0; // 0: not numbered
    bool Present = false;
    bool Shadowed = false; // its number leads elsewhere now
    TPortProbe Probe;      // filled when present
    TAdapterUdev Udev;
};

struct TInventoryUart {
    int32_t Number = 0;
    TPortProbe Probe;
};

// Every port a user can choose, as the tools show them.
struct TPortInventory {
    int32_t StoredPort = 1;
    QString Store;      // where the stored port is kept
    QString StoreError; // why adapters seen for the first time got no number; empty when they did
    // Every COMn that leads to a device, and the stored port also when it
    // leads nowhere, by number.
    std::vector<TInventoryPort> Ports;
    // Where the program numbers adapters itself (not on Windows): the
    // adapters, numbered or present, and the UARTs.
    QString AdapterFolder;
    std::vector<TInventoryAdapter> Adapters;
    std::vector<TInventoryUart> Uarts;
    // ModemManager runs; the adapters present that udev does not keep away
    // from it and the rules that would.
    bool ModemManagerRunning = false;
    QStringList Unmarked;
    QStringList ModemManagerRules;
};

// Numbers the adapters seen for the first time (recorded in Store), then
// looks at every port, adapter and UART without sending anything.
TPortInventory TakePortInventory(TSettingsStore &Store, const TPortScanRoots &Roots);

// Where a port name leads: a short key for JSON ("none", "user", "uart",
// "adapter") and the words of the listing ("no device", "your entry in
// [Ports]", "UART", "assigned adapter").
QString SourceKey(TPortSource Source);
QString SourceText(TPortSource Source);

// What a port leads to and whether it can be opened, as the tools show it
// after its name: "/dev/serial/by-id/usb-X -> /dev/ttyUSB0 (assigned
// adapter): ok, can be opened", "no device"; where the system numbers the
// ports, the adapter's name where it has one and whether it can be opened.
QString PortText(const TInventoryPort &Row);

// "Shown -> target (Why): whether it opens", for any device probed.
QString ProbeText(const TPortProbe &Probe, const QString &Shown, const QString &Why = QString());
