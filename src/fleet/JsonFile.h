#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// The JSON object a file holds (a backup, a limits file). Nothing, with Error
// set, when the file cannot be read or holds no JSON object.
std::optional<QJsonObject> ReadJsonObjectFile(const QString &Path, QString &Error);

// The JSON object Bytes hold, read as text by DecodeFileText (UTF-8, or
// UTF-16 by its byte-order mark). Nothing, with Why set, when they hold none:
// "not a JSON object (unterminated object on line 3)" or why the text cannot
// be read.
std::optional<QJsonObject> ParseJsonObject(const QByteArray &Bytes, QString &Why);
