#pragma once

#include <QStringView>

#include <cstdint>

// The number n of "COM<n>" (any case, plain decimal digits); -1 for any
// other text.
int32_t ComNumber(QStringView PortName);
