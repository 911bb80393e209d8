#pragma once

#include <QString>

// The path the serial port opens for the port name "COM<n>", empty when the
// name leads to no device. On Windows that is the name itself in the device
// namespace ("\\.\COM3"); elsewhere the name is resolved through the
// settings store's port map (PortMap.h).
QString ComPortPath(const QString &PortName);
