#pragma once

#include <QString>

class TSettingsStore;

// The device path of a port name such as "COM3": the entry of that name in
// section [Ports] of the store when there is one (any path), otherwise
// /dev/ttyS<n-1> for COMn with n >= 1. Empty when the name names no device.
QString PortDevicePath(const QString &PortName, const TSettingsStore &Store);
