#pragma once

#include "device/DeviceParams.h"
#include "device/NetSettings.h"
#include "device/Records.h"

#include <QJsonObject>
#include <QString>

#include <vector>

// One shown value: its JSON key, its label in the text output and its text
// exactly as the program's windows show it.
struct TShownField {
    QString Key;
    QString Label;
    QString Text;
    int Raw = 0; // the decoded integer behind the text (parameters only)
};

// The information record's fields as the main window shows them: type, serial
// number, MAC, versions, update time and, unless the device is a
// communication board (type 9), DHCP and the four addresses.
std::vector<TShownField> InfoFields(const TDeviceInfo &Info);

// The serial number a unit is known by (and matched to its plan row): the
// record's text without the blanks a unit may pad it with.
QString UnitSerial(const TDeviceInfo &Info);
// The serial number for a message: as the unit holds it, in double quotes
// when blanks around it would otherwise go unseen.
QString ShownSerial(const TDeviceInfo &Info);

// DHCP ("on"/"off") and the four addresses of a settings record.
std::vector<TShownField> NetworkFields(const TNetSettings &Settings);
// The network fields (bytes 35 to 51) of an information record.
TNetSettings RecordNetwork(const TDeviceInfo &Info);

// The parameter record's eleven values in the order the parameters window
// fills its boxes.
std::vector<TShownField> ParamsFields(const TDeviceParams &Params);

// Text output: "Label:" padded to one column, then the text with its
// control characters escaped (ControlsEscaped).
QString FieldLines(const std::vector<TShownField> &Fields);

// JSON shapes (documented in the README):
//   info:    {"port", "type": {"code", "name"}, "serialNumber", "mac",
//             "hardwareVersion", "firmwareVersion", "updateTime",
//             "network": {"dhcp", "localIp", "serverIp", "gatewayIp",
//             "subnetMask"} or null for a communication board}
//   params:  {"<key>": {"text", "raw"}, ...} for the eleven values
QJsonObject InfoJson(const TDeviceInfo &Info);
QJsonObject ParamsJson(const TDeviceParams &Params);
QJsonObject NetworkJson(const TNetSettings &Settings);
