#pragma once

#include "device/ComUnit.h"
#include "device/StatusLabel.h"
#include "fleet/PortChoice.h"

#include <QString>

// The status label of a fleet link: keeps the last report, which the caller
// shows when an operation fails.
class TFleetStatus : public TStatusLabel {
public:
    void SetFontColor(uint32_t Color) override { FColor = Color; }
    void SetCaption(const QString &Text) override { FText = Text; }

    const QString &Text() const { return FText; }
    uint32_t Color() const { return FColor; }

private:
    QString FText;
    uint32_t FColor = 0;
};

// The device link of commissioning: a TCOMMan with its own status label that
// opens a chosen port without storing anything, so that commissioning never
// changes the port the program uses.
class TFleetLink : public TCOMMan {
public:
    TFleetLink() : TCOMMan(&FStatus) {}

    // Opens Choice and reports as the program's Open does.
    bool OpenChoice(const TPortChoice &Choice);

    const TFleetStatus &Status() const { return FStatus; }
    // The device path the last OpenChoice used.
    const QString &DevicePath() const { return FDevicePath; }

private:
    TFleetStatus FStatus;
    QString FDevicePath;
};
