#pragma once

#include "fleet/SettingsEdit.h"

#include <QString>

#include <vector>

// One unit of a commissioning plan: its serial number, what to change and an
// optional label (where the unit goes).
struct TPlanRow {
    int Line = 0; // line of the plan file, for messages
    QString Serial;
    QString Label;
    TSettingsEdit Edit; // an empty cell keeps the unit's value
};

// Reads a plan: CSV with a header line naming the columns serial, dhcp,
// local, server, gateway and mask (any order, any case) and optionally label.
// Cells may be quoted ("a, b"). Every row is checked before the plan is
// used: a serial number of 1 to 10 characters, unique; dhcp on/off/1/0 or
// empty; every address with the main window's rules and messages. False with
// Error naming the line and the reason on the first fault.
bool ReadPlan(const QString &Path, std::vector<TPlanRow> &Rows, QString &Error);

// The same from text already read (the tests and ReadPlan).
bool ParsePlan(const QString &Text, std::vector<TPlanRow> &Rows, QString &Error);
