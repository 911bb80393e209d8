#pragma once

#include <QImage>
#include <QString>

// Writes image as a baseline JPEG through libjpeg. Returns false when the
// file cannot be written.
bool WriteJpeg(const QImage &image, const QString &path, int quality);
