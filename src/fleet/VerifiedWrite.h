#pragma once

#include "device/NetSettings.h"
#include "device/Records.h"
#include "fleet/WriteVerdict.h"

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
    TWriteVerdict Verdict = TWriteVerdict::NotSent;
    // For the user when not Ok: the link's status, the fields not applied,
    // the units swapped or the journal's fault.
    QString Message;
    bool JournalFailed = false; // the journal could not be written: nothing more may be sent
    bool Refused = false;       // settings the unit cannot hold, or a unit without network settings
    TNetSettings After{};       // the settings read back (or the ones sent when not verified)
    // WrongUnit: the unit that answered the read-back, and whether it holds
    // exactly the settings sent (it took the write meant for the other).
    TDeviceInfo Answered{};
    bool AnsweredTookSettings = false;
    QJsonObject Entry; // the outcome's journal line
};

// Why a unit is not to be written at all: a communication board (type 9) has
// no network settings, and SettingsFault of the settings. Empty when it may.
QString WriteRefusal(const TWriteRequest &Request);

// Refuses what WriteRefusal names (Refused, "refused", nothing sent or
// recorded). Otherwise records the intent (what is about to be sent) in the journal, and only
// when that is whole on the disk sends the settings (command 1); reads the
// record back after the acknowledgement unless told not to and compares the
// identity of the unit that answered (serial number and type) with the unit
// read before, then its network bytes with what was sent; then records the
// outcome. Another unit answering fails the write with WrongUnit naming both
// units: the settings may have gone to either, so neither counts as written;
// the outcome's "answered" holds that unit's serial number, type and
// settings, and its "after" stays null. Without the read-back nothing is
// checked after the acknowledgement ("not verified"). A journal that
// cannot be written fails the write with JournalFailed: before the frame,
// nothing is sent; after it, the device holds the settings and the journal
// its intent.
TWriteOutcome WriteVerified(TFleetLink &Link, TJournal &Journal, const TWriteRequest &Request);

// "the unit on the line changed during the write: ..." naming both units;
// AnsweredTookSettings says whether Answered holds the settings sent.
QString WrongUnitMessage(const TDeviceInfo &Planned, const TDeviceInfo &Answered, bool AnsweredTookSettings);
// A journal's "answered": {"serialNumber", "type", "network"} of Unit.
QJsonObject AnsweredJson(const TDeviceInfo &Unit);

// The same unit: serial number and type equal.
bool SameUnit(const TDeviceInfo &A, const TDeviceInfo &B);

// "Local IP, Gateway IP": the labels of the network fields whose bytes
// differ between A and B (a DHCP flag of 2 differs from 0, though both read
// "off").
QString DifferingFields(const TNetSettings &A, const TNetSettings &B);
