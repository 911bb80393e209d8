#pragma once

#include <QStringView>

#include <cstdint>

// The number n of "COM<n>" (any case, plain decimal digits), also written
// in the Windows device namespace ("\\.\COM12", as the port's path reads
// there); -1 for any other text.
int32_t ComNumber(QStringView PortName);
