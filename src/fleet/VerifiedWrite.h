#pragma once

#include "device/NetSettings.h"
#include "device/Records.h"

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
    // "verified", "not verified", "not applied", "read-back failed", "not acknowledged";
    // "not sent" when the intent could not be recorded
    QString Verdict;
    QString
        Message; // for the user when not Ok: the link's status, the fields not applied or the journal's fault
    bool JournalFailed = false; // the journal could not be written: nothing more may be sent
    bool Refused = false;       // settings the unit cannot hold, or a unit without network settings
    TNetSettings After{};       // the settings read back (or the ones sent when not verified)
    QJsonObject Entry;          // the outcome's journal line
};

// Why a unit is not to be written at all: a communication board (type 9) has
// no network settings, and SettingsFault of the settings. Empty when it may.
QString WriteRefusal(const TWriteRequest &Request);

// Refuses what WriteRefusal names (Refused, "refused", nothing sent or
// recorded). Otherwise records the intent (what is about to be sent) in the journal, and only
// when that is whole on the disk sends the settings (command 1); reads the
// record back after the acknowledgement unless told not to and compares its
// network bytes with what was sent; then records the outcome. A journal that
// cannot be written fails the write with JournalFailed: before the frame,
// nothing is sent; after it, the device holds the settings and the journal
// its intent.
TWriteOutcome WriteVerified(TFleetLink &Link, TJournal &Journal, const TWriteRequest &Request);

// "Local IP, Gateway IP": the labels of the network fields in which A and B
// differ.
QString DifferingFields(const TNetSettings &A, const TNetSettings &B);
