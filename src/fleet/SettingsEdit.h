#pragma once

#include "device/NetSettings.h"

#include <QJsonObject>
#include <QMap>
#include <QString>

#include <optional>

// A change to a unit's network settings: some of the four addresses as typed
// (keyed localIp, serverIp, gatewayIp, subnetMask) and perhaps the DHCP flag.
// Whatever is not given keeps the unit's own value.
struct TSettingsEdit {
    QMap<QString, QString> Addresses;
    std::optional<bool> Dhcp;

    bool IsEmpty() const { return Addresses.isEmpty() && !Dhcp.has_value(); }
};

// Checks every given address with the main window's rules and messages, in
// its order (local, gateway, mask, server), whatever the DHCP flag: an address
// given while DHCP is on is stored for when it goes off. Then the given local
// address, mask and gateway by AddressFault: only what the edit gives, since
// the unit's own values are not known yet. Raises ELumoraError with the
// message of the first address that fails.
void CheckSettingsEdit(const TSettingsEdit &Edit);

// The settings to send: Current with Edit applied. The edit must have passed
// CheckSettingsEdit (the unit's own values always pass).
TNetSettings ApplySettingsEdit(const TSettingsEdit &Edit, const TNetSettings &Current);

// "on"/"off" (any case) or 1/0 as a DHCP flag; nothing for any other text.
std::optional<bool> ParseOnOff(const QString &Text);

// "Local IP 192.168.1.100 -> 10.0.1.5, Gateway IP ..." between two settings
// as NetworkJson gives them; "no change" when none differ.
QString SettingsChangeText(const QJsonObject &Before, const QJsonObject &After);
