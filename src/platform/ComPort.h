#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

// The path the serial port opens for the port name "COM<n>", empty when the
// name leads to no device. On Windows that is the name itself in the device
// namespace ("\\.\COM3"); elsewhere the name is resolved through the
// settings store's port map (PortMap.h).
QString ComPortPath(const QString &PortName);

// The number n of "COM<n>" (any case, plain decimal digits), also written
// in the Windows device namespace ("\\.\COM12", as the port's path reads
// there); -1 for any other text.
int32_t ComNumber(QStringView PortName);
