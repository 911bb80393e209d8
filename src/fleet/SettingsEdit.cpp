#include "fleet/SettingsEdit.h"

#include "base/LumoraError.h"
#include "fleet/AddressRules.h"
#include "fleet/RecordViews.h"

namespace {

// The texts a collection reads: each given address, else the unit's value
// (or a stand-in when there is no unit yet). DHCP stays off in the source so
// that all four are checked and stored.
TNetSettingsTexts SourceFor(const TSettingsEdit &Edit, const TNetSettings *Current)
{
    const std::vector<TShownField> shown = Current ? NetworkFields(*Current) : std::vector<TShownField>();
    auto text = [&](const QString &key) {
        if (Edit.Addresses.contains(key))
            return Edit.Addresses.value(key);
        for (const TShownField &f : shown) {
            if (f.Key == key)
                return f.Text;
        }
        return QStringLiteral("0.0.0.0");
    };
    TNetSettingsTexts source;
    source.Local = text(QStringLiteral("localIp"));
    source.Server = text(QStringLiteral("serverIp"));
    source.Gateway = text(QStringLiteral("gatewayIp"));
    source.Mask = text(QStringLiteral("subnetMask"));
    return source;
}

} // namespace

void CheckSettingsEdit(const TSettingsEdit &Edit)
{
    TNetSettingsTexts source = SourceFor(Edit, nullptr);
    TNetSettings scratch{};
    CollectNetSettings(source, scratch);
    const bool local = Edit.Addresses.contains(QStringLiteral("localIp"));
    const bool mask = Edit.Addresses.contains(QStringLiteral("subnetMask"));
    const bool gateway = Edit.Addresses.contains(QStringLiteral("gatewayIp"));
    if (const QString fault =
            AddressFault({local ? scratch.LocalAddr : nullptr, mask ? scratch.SubnetMask : nullptr,
                          gateway ? scratch.GatewayAddr : nullptr});
        !fault.isEmpty())
        throw ELumoraError(fault);
}

TNetSettings ApplySettingsEdit(const TSettingsEdit &Edit, const TNetSettings &Current)
{
    TNetSettings settings = Current;
    TNetSettingsTexts source = SourceFor(Edit, &Current);
    CollectNetSettings(source, settings);
    // The flag goes back as the unit holds it (any value) unless it was given.
    settings.DhcpFlag = Edit.Dhcp.has_value() ? (*Edit.Dhcp ? 1 : 0) : Current.DhcpFlag;
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
