#pragma once

#include "device/Records.h"
#include "fleet/PortChoice.h"

#include <QString>
#include <QStringList>

#include <vector>

class TSettingsStore;
struct TPortScanRoots;

// What one port of a scan said.
struct TScannedPort {
    TPortChoice Choice;
    bool Answered = false;
    TDeviceInfo Info{}; // when Answered
    QString Why;        // when not: "no device", "cannot be opened: ...", "no answer (...)"
};

// The ports a scan asks: those named in Specs (as the user gave them, each
// device once however often it is named), or every COMn that leads to a
// device when Specs is empty. False with Error set when a spec names no
// port.
bool ScanTargets(const QStringList &Specs, TSettingsStore &Store, const TPortScanRoots &Roots,
                 std::vector<TPortChoice> &Targets, QString &Error);

// Asks every port for its information record at once (each exchange waits
// on its own line) and sends nothing else.
std::vector<TScannedPort> ScanPorts(const std::vector<TPortChoice> &Targets);
