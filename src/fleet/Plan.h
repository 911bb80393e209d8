#pragma once

#include "fleet/SettingsEdit.h"

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

// One unit of a commissioning plan: its serial number, what to change and an
// optional label (where the unit goes). The serial number is held in the row
// itself, so that a plan of many thousand rows needs no text for it.
class TPlanRow {
public:
    int Line = 0; // line of the plan file, for messages

private:
    char FSerial[10] = {};
    uint8_t FSerialSize = 0;

public:
    QString Label;
    TSettingsEdit Edit; // an empty cell keeps the unit's value

    QString Serial() const { return QString::fromLatin1(FSerial, FSerialSize); }
    // The serial number's characters, for comparing without a text.
    std::string_view SerialChars() const { return {FSerial, FSerialSize}; }
    // False, the serial number left as it was, unless Serial is 1 to 10
    // ASCII characters.
    bool SetSerial(const QString &Serial);
};

// The rows of a plan by serial number: one index per row, sorted, so that a
// plan of many thousand rows is searched without a text per row.
class TPlanLookup {
public:
    TPlanLookup() = default;
    explicit TPlanLookup(const std::vector<TPlanRow> &Rows);
    // The index in Rows (the rows it was made from) of the row of Serial, -1
    // when the plan does not name it.
    qsizetype IndexOf(const std::vector<TPlanRow> &Rows, const QString &Serial) const;

private:
    std::vector<uint32_t> FOrder;
};

// Reads a plan: CSV with a header line naming the columns serial, dhcp,
// local, server, gateway and mask (any order, any case, each once) and
// optionally label, separated by commas or, when the header holds more of
// them, semicolons or tabs. The file is read by DecodeFileText (UTF-8, UTF-16
// by its byte-order mark, the ANSI code page on Windows). Cells are quoted as
// RFC 4180 has it (the separator, doubled quotes and line breaks inside
// quotes); an unclosed quote is refused. Blank rows and rows of separators
// only are skipped; every other row has as many cells as the header. Every
// row is checked before the plan is used: a serial number of 1 to 10
// characters, unique, and not another's without its leading zero (a
// spreadsheet's doing); dhcp on/off/1/0 or empty; every address with the main
// window's rules and messages and AddressFault; a local address not planned
// for another row (rows turning DHCP on keep theirs for later and are not
// compared). A replacement character (U+FFFD, text lost before) is refused.
// False with Error naming the line and the reason on the first fault.
bool ReadPlan(const QString &Path, std::vector<TPlanRow> &Rows, QString &Error);

// The same from text already read (the tests and ReadPlan).
bool ParsePlan(QString Text, std::vector<TPlanRow> &Rows, QString &Error);

// For a unit whose serial number is not in the plan: when a row holds it
// without its leading zeros, the hint that a spreadsheet dropped them; else
// empty.
QString DroppedZeroHint(const std::vector<TPlanRow> &Rows, const QString &UnitSerial);
