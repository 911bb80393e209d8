#pragma once

#include "fleet/VerifiedWrite.h"

#include <QString>

#include <functional>

class TJournal;

// One verified write of one unit, as `set` and `restore` make it.
struct TSingleWrite {
    QString Port;        // as the user gave it (empty: the stored port)
    QString JournalPath; // empty: the default journal
    QString Command;     // "set", "restore"
    bool Verify = true;
};

// How far a single write came.
enum class TSingleWriteStage {
    Journal,  // the journal could not be opened: nothing was sent
    PortName, // the port's name names no port: nothing was sent
    Port,     // the port did not open: nothing was sent
    Read,     // the unit's record could not be read: nothing was sent
    Refused,  // the caller refused the unit read: nothing was sent
    Written,  // the write was tried: Outcome says how it went
};

struct TSingleWriteResult {
    TSingleWriteStage Stage = TSingleWriteStage::Journal;
    QString Message;    // why it stopped before the write
    QString DevicePath; // the device that did not open (to name who holds it); empty when none
    TWriteOutcome Outcome;
    QString PortName;   // the port written
    QString StatusText; // the link's report of the write
};

// The journal a command records into: Given, else the default one. Empty
// with Error set when there is no folder for the default.
QString WriteJournalPath(const QString &Given, QString &Error);

// Opens the journal at Path (empty: the default one) before anything is
// sent. False with Error set ("...; nothing was sent") when it cannot be
// written.
bool OpenWriteJournal(TJournal &Journal, const QString &Path, QString &Error);

// Fills the settings to send (and more fields for the journal) into Request
// from the unit read into Request.Before; returns why the unit is not to be
// written, empty text to go on.
using TPrepareWrite = std::function<QString(TWriteRequest &Request)>;

// Opens the journal (nothing may be written without its record), then the
// port; reads the unit, lets Prepare decide what to send, writes it, reads it
// back unless told not to and records it (WriteVerified). On any stage before
// Written nothing has been sent.
TSingleWriteResult RunSingleWrite(const TSingleWrite &Write, const TPrepareWrite &Prepare);
