#pragma once

#include <QImage>
#include <QList>
#include <QString>

// One bitmap of the window frame's skin set.
struct FormSkin {
    QString name;  // resource name, e.g. "XPFORM_CAPTION"
    QImage image;  // the drawn pixels (opaque)
    bool paletted; // stored as an 8-bit palette bitmap rather than 24-bit
};

// Draws the nine XPFORM_ bitmaps.
QList<FormSkin> FormSkins();
