#pragma once

#include "device/EDFACom.h"
#include "device/NetSettings.h"

#include <QJsonObject>
#include <QString>

class TFleetLink;
class TJournal;

// What a write is about: the unit as read just before, the settings to send
// and how the write is to be recorded.
struct TWriteRequest {
    TDeviceInfo Before{};
    TNetSettings Settings{};
    bool Verify = true;
    QString Command;   // "set", "restore", "commission"
    QJsonObject Extra; // more fields for the journal line (a plan row's label)
};

// The outcome of one write.
struct TWriteOutcome {
    bool Ok = false;
    QString Verdict;      // "verified", "not verified", "not applied", "read-back failed", "not acknowledged"
    QString Message;      // for the user when not Ok: the link's status or the fields not applied
    TNetSettings After{}; // the settings read back (or the ones sent when not verified)
    QJsonObject Entry;    // the journal line
};

// Sends the settings (command 1), reads the record back after the
// acknowledgement unless told not to and compares its network bytes with
// what was sent, then appends the journal line. A failure to append is a
// failure of the write: the device has the settings but there is no record.
TWriteOutcome WriteVerified(TFleetLink &Link, TJournal &Journal, const TWriteRequest &Request);

// "Local IP, Gateway IP": the labels of the network fields in which A and B
// differ.
QString DifferingFields(const TNetSettings &A, const TNetSettings &B);
