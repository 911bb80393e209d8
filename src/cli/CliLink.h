#pragma once

#include "device/ComUnit.h"
#include "device/StatusLabel.h"

#include <QString>

// The status label of the tool: keeps the last report, which the tool prints
// when an operation fails.
class TCliStatus : public TStatusLabel {
public:
    void SetFontColor(uint32_t Color) override { FColor = Color; }
    void SetCaption(const QString &Text) override { FText = Text; }

    const QString &Text() const { return FText; }
    uint32_t Color() const { return FColor; }

private:
    QString FText;
    uint32_t FColor = 0;
};

// Which port a command talks to: the stored one, a COMn name (through the
// [Ports] mapping) or a device path.
struct TPortChoice {
    QString Name; // "COM3", or the path itself
    QString Path; // the device path; empty when the name names no device
};

// "COM3" (any case) or "3": the port number. False for any other text.
bool ParsePortNumber(const QString &Spec, int32_t &Number);

// Resolves the --port value: empty text means the stored port. Accepts
// "COMn" (any case), a plain number n and any text containing "/" as a path.
// Returns false and fills Error when the text is none of these.
bool ResolvePortChoice(const QString &Spec, TPortChoice &Choice, QString &Error);

// The device link of the tool: a TCOMMan with its own status label that
// opens a chosen port without storing anything, so that running the tool
// never changes the port the program uses (`port N` is the way to do that).
// Input waiting on the line is discarded before each request: bytes left
// from a late reply or plug-in noise must not fail a healthy unit.
class TCliLink : public TCOMMan {
public:
    TCliLink() : TCOMMan(&FStatus) { SetDiscardStaleInput(true); }

    // Opens Choice and reports as the program's Open does.
    bool OpenChoice(const TPortChoice &Choice);

    const TCliStatus &Status() const { return FStatus; }
    // The device path the last OpenChoice used.
    const QString &DevicePath() const { return FDevicePath; }

private:
    TCliStatus FStatus;
    QString FDevicePath;
};
