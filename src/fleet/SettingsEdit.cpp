#include "fleet/SettingsEdit.h"

#include "base/LumoraError.h"
#include "device/Records.h"
#include "fleet/AddressRules.h"
#include "fleet/RecordViews.h"

namespace {

// The address fields an edit may give, by key.
constexpr std::pair<const char *, uint8_t (TNetSettings::*)[4]> AddressFields[] = {
    {"localIp", &TNetSettings::LocalAddr},
    {"serverIp", &TNetSettings::ServerAddr},
    {"gatewayIp", &TNetSettings::GatewayAddr},
    {"subnetMask", &TNetSettings::SubnetMask}};

int AddressSlot(const QString &Key)
{
    for (int i = 0; i < 4; ++i) {
        if (Key == QLatin1String(AddressFields[i].first))
            return i;
    }
    return -1;
}

} // namespace

void TAddressTexts::insert(const QString &Key, const QString &Text)
{
    const int slot = AddressSlot(Key);
    if (slot < 0)
        return;
    const uint8_t bit = uint8_t(1u << slot);
    FGiven |= bit;
    uint8_t bytes[4] = {};
    const uint32_t address = DottedToAddress(Text, bytes)
                                 ? uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                                       uint32_t(bytes[3]) << 24
                                 : 0;
    if (IPToStr(address) == Text) {
        FPlain[slot] = address;
        FGivenPlain |= bit;
        if (!FTyped.isEmpty())
            FTyped[slot].clear();
    } else {
        FPlain[slot] = 0;
        FGivenPlain &= uint8_t(~bit);
        if (FTyped.isEmpty())
            FTyped.resize(4);
        FTyped[slot] = Text;
    }
    // Equal texts give equal holders: the list goes once no text is held
    // as typed.
    if ((FGiven & ~FGivenPlain) == 0)
        FTyped.clear();
}

bool TAddressTexts::contains(const QString &Key) const
{
    const int slot = AddressSlot(Key);
    return slot >= 0 && (FGiven & (1u << slot)) != 0;
}

QString TAddressTexts::value(const QString &Key) const
{
    if (!contains(Key))
        return QString();
    const int slot = AddressSlot(Key);
    return (FGivenPlain & (1u << slot)) != 0 ? IPToStr(FPlain[slot]) : FTyped[slot];
}

QString SettingsEditFault(const TSettingsEdit &Edit)
{
    // DHCP stays off in the source so that all four are checked; an address
    // not given stands in as 0.0.0.0, which always passes.
    auto text = [&](const char *key) {
        const QString given = QLatin1String(key);
        return Edit.Addresses.contains(given) ? Edit.Addresses.value(given) : QStringLiteral("0.0.0.0");
    };
    TNetSettingsTexts source;
    source.Local = text("localIp");
    source.Server = text("serverIp");
    source.Gateway = text("gatewayIp");
    source.Mask = text("subnetMask");
    TNetSettings scratch{};
    try {
        CollectNetSettings(source, scratch);
    } catch (const ELumoraError &e) {
        return e.Message();
    }
    const bool local = Edit.Addresses.contains(QStringLiteral("localIp"));
    const bool mask = Edit.Addresses.contains(QStringLiteral("subnetMask"));
    const bool gateway = Edit.Addresses.contains(QStringLiteral("gatewayIp"));
    return AddressFault({local ? scratch.LocalAddr : nullptr, mask ? scratch.SubnetMask : nullptr,
                         gateway ? scratch.GatewayAddr : nullptr});
}

TNetSettings ApplySettingsEdit(const TSettingsEdit &Edit, const TNetSettings &Current)
{
    // The unit's own bytes, with each given address put in place.
    TNetSettings settings = Current;
    for (const auto &[key, field] : AddressFields) {
        if (Edit.Addresses.contains(QLatin1String(key)))
            DottedToAddress(Edit.Addresses.value(QLatin1String(key)), settings.*field);
    }
    // The flag goes back as the unit holds it (any value) unless it was given.
    if (Edit.Dhcp.has_value())
        settings.DhcpFlag = *Edit.Dhcp ? 1 : 0;
    return settings;
}

std::optional<bool> ParseOnOff(const QString &Text)
{
    const QString t = Text.trimmed().toLower();
    if (t == QLatin1String("on") || t == QLatin1String("1"))
        return true;
    if (t == QLatin1String("off") || t == QLatin1String("0"))
        return false;
    return std::nullopt;
}

QString SettingsChangeText(const QJsonObject &Before, const QJsonObject &After)
{
    QStringList parts;
    for (const TShownField &f : NetworkFields(TNetSettings{})) {
        const QJsonValue a = Before.value(f.Key);
        const QJsonValue b = After.value(f.Key);
        if (a == b)
            continue;
        auto text = [](const QJsonValue &v) {
            return v.isBool() ? (v.toBool() ? QStringLiteral("on") : QStringLiteral("off")) : v.toString();
        };
        parts << QStringLiteral("%1 %2 -> %3").arg(f.Label, text(a), text(b));
    }
    return parts.isEmpty() ? QStringLiteral("no change") : parts.join(QStringLiteral(", "));
}
