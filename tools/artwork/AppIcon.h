#pragma once

#include <QImage>

// The program icon at size x size pixels: a coil of glowing fibre ending in a
// point of light, on a blue rounded square.
QImage DrawAppIcon(int size);
