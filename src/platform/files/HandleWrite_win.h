#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <windows.h>

// Writes all of Data to File, in pieces Windows takes at most 1 GiB at a
// time: at Offset and on when one is given, else at the file pointer. False
// with GetLastError() saying why; a piece of which Windows writes nothing
// without an error fails with ERROR_WRITE_FAULT rather than trying forever.
bool WriteToHandle(HANDLE File, const QByteArray &Data, std::optional<int64_t> Offset = std::nullopt);
