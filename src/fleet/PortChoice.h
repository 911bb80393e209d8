#pragma once

#include <QString>

#include <cstdint>

struct TFleetContext;

// Which port a command talks to: the stored one, a COMn name (through the
// [Ports] mapping) or a device path.
struct TPortChoice {
    QString Name; // "COM3", or the path itself
    QString Path; // the device path; empty when the name names no device
};

// "COM3" (any case), "\\.\COM3" or "3": the port number. False for any other
// text.
bool ParsePortNumber(const QString &Spec, int32_t &Number);

// Resolves a port given by the user: empty text means the stored port.
// Accepts "COMn" (any case) and a plain number n, n from 1, and any text
// containing "/" as a path. Returns false and fills Error when the text is none of these.
// The store and the port folders are the context's.
bool ResolvePortChoice(const TFleetContext &Context, const QString &Spec, TPortChoice &Choice,
                       QString &Error);
