#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// The JSON object a file holds (a backup, a limits file). Nothing, with Error
// set, when the file cannot be read or holds no JSON object.
std::optional<QJsonObject> ReadJsonObjectFile(const QString &Path, QString &Error);

// The JSON object Bytes hold. Nothing, with Why set ("not a JSON object
// (...)"), when they hold none.
std::optional<QJsonObject> ParseJsonObject(const QByteArray &Bytes, QString &Why);
