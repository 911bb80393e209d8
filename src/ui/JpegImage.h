#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Decodes a JPEG picture through libjpeg into a QImage (Format_RGB32). A
// picture that libjpeg cannot decode completely, whether corrupt, truncated
// or not a JPEG at all, gives a null QImage: the caller shows nothing rather
// than a half-grey picture, and the process never aborts.
QImage DecodeJpeg(const QByteArray &data);

// Reads the file (or Qt resource) at path and decodes it as above; a missing
// file gives a null QImage.
QImage LoadJpeg(const QString &path);
