#pragma once

#include "device/ComUnit.h"
#include "device/StatusLabel.h"
#include "fleet/PortChoice.h"

#include <QString>

#include <algorithm>

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
// changes the port the program uses. Input waiting on the line is discarded
// before each request: bytes left from a late reply or plug-in noise must
// not fail a healthy unit nor be read as its acknowledgement.
class TFleetLink : public TCOMMan {
public:
    TFleetLink() : TCOMMan(&FStatus) { SetDiscardStaleInput(true); }

    // Opens Choice and reports as the program's Open does. A character
    // device that is no serial line (/dev/null) is closed again and refused
    // with "<path> is not a serial device".
    bool OpenChoice(const TPortChoice &Choice);
    // Resolves Spec (a port as the user gave it; empty for the stored one)
    // anew and opens it, so that a unit or adapter plugged in again is found
    // wherever the name leads now. False with Error set when the name is
    // invalid or the port does not open.
    bool OpenByName(const QString &Spec, QString &Error);
    // Reads the record Command answers with from the port Spec names,
    // opening it by its name first when it is closed. Why says what went
    // wrong: the open's error (the result is then PortNotOpen) or the read's
    // status. A read that finds the line lost closes the port, so that the
    // next one opens the name anew.
    template <typename TRecord>
    TRecordResult<TRecord> ReadByName(const QString &Spec, uint8_t Command, QString &Why)
    {
        TRecordResult<TRecord> read;
        read.Error = TLinkError::PortNotOpen;
        if (!Opened() && !OpenByName(Spec, Why))
            return read;
        read = ReadRecord<TRecord>(Command);
        Why = StatusLine(TLinkOperation::Read, read).Text;
        if (read.LineLost())
            ClosePort();
        return read;
    }

    const TFleetStatus &Status() const { return FStatus; }
    // The device path the last OpenChoice used.
    const QString &DevicePath() const { return FDevicePath; }

private:
    TFleetStatus FStatus;
    QString FDevicePath;
};

// Tells from successive reads of the line whether the unit that answered
// last is gone. A lost line (the port vanished or hung up) means gone at
// once; a unit that merely did not answer, or answered garbled, counts as
// gone only after SilentReads reads in a row without a record, so that one
// missed or spoiled reply is not taken for an unplug.
class TUnitPresence {
public:
    static constexpr int SilentReads = 3;

    // Notes a read that brought no record; true when the unit counts as gone.
    bool Missed(const TLinkResult &Result)
    {
        FMissed = Result.LineLost() ? SilentReads : std::min(FMissed + 1, SilentReads);
        return FMissed == SilentReads;
    }
    // Notes a read that brought the record.
    void Answered() { FMissed = 0; }

private:
    int FMissed = 0;
};
