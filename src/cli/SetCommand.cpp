#include "cli/CliCommand.h"
#include "cli/CliLink.h"
#include "cli/RecordViews.h"
#include "device/NetSettings.h"
#include "platform/LumoraError.h"

#include <optional>

namespace {

// The address texts a `set` works with: each given option, else the
// device's current value (or a stand-in before the device was read). DHCP
// stays off in the source, so all four are checked, and an address given
// while DHCP is on is still checked and stored for when DHCP goes off.
using TSetSource = TNetSettingsTexts;

// Takes the texts from the options, the others from Current (a valid stand-in
// when there is none yet).
TSetSource SourceFor(const TCommandArgs &args, const TNetSettings *current)
{
    const std::vector<TShownField> shown = current ? NetworkFields(*current) : std::vector<TShownField>();
    auto text = [&](const QString &option, const QString &key) {
        if (args.Has(option))
            return args.Value(option);
        for (const TShownField &f : shown) {
            if (f.Key == key)
                return f.Text;
        }
        return QStringLiteral("0.0.0.0");
    };
    TSetSource source;
    source.Local = text(QStringLiteral("local"), QStringLiteral("localIp"));
    source.Server = text(QStringLiteral("server"), QStringLiteral("serverIp"));
    source.Gateway = text(QStringLiteral("gateway"), QStringLiteral("gatewayIp"));
    source.Mask = text(QStringLiteral("mask"), QStringLiteral("subnetMask"));
    return source;
}

} // namespace

int RunSet(TCliContext &Context)
{
    const TCommandArgs &args = Context.Args;
    if (args.Values.isEmpty())
        return Context.Usage(
            QStringLiteral("nothing to change: give --dhcp, --local, --server, --gateway or --mask"));
    std::optional<bool> dhcp;
    if (args.Has(QStringLiteral("dhcp"))) {
        const QString value = args.Value(QStringLiteral("dhcp")).toLower();
        if (value != QLatin1String("on") && value != QLatin1String("off"))
            return Context.Usage(QStringLiteral("invalid value '%1' for --dhcp: give on or off")
                                     .arg(args.Value(QStringLiteral("dhcp"))));
        dhcp = value == QLatin1String("on");
    }

    // Check the given addresses before anything goes to the device: a
    // rejected value leaves the line untouched.
    try {
        TSetSource source = SourceFor(args, nullptr);
        TNetSettings scratch{};
        CollectNetSettings(source, scratch);
    } catch (const ELumoraError &e) {
        Context.Out.ErrorLine(e.Message());
        return CliExitUsage;
    }

    TCliLink link;
    TDeviceInfo info{};
    int exit = CliExitOk;
    if (!Context.ReadDeviceInfo(link, info, exit))
        return exit;

    // Read-modify-write: start from the device's own network fields.
    TNetSettings settings = RecordNetwork(info);
    const TNetSettings current = settings;
    TSetSource source = SourceFor(args, &current);
    CollectNetSettings(source, settings); // checked above; the device's own values always pass
    // The flag goes back as the device holds it unless it was given.
    settings.DhcpFlag = dhcp.has_value() ? (*dhcp ? 1 : 0) : current.DhcpFlag;

    if (!link.WriteCommand(&settings, sizeof settings))
        return Context.DeviceFailure(link);
    if (Context.Out.Json())
        Context.Out.JsonLine(QJsonObject{{QStringLiteral("port"), link.PortName()},
                                         {QStringLiteral("status"), link.Status().Text()},
                                         {QStringLiteral("network"), NetworkJson(settings)}});
    else
        Context.Out.Line(link.Status().Text());
    return CliExitOk;
}
