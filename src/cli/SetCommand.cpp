#include "base/LumoraError.h"
#include "cli/CliCommand.h"
#include "fleet/RecordViews.h"
#include "fleet/SettingsEdit.h"
#include "fleet/VerifiedWrite.h"

namespace {

// The options of `set` that name an address, with the key of the field.
const std::pair<const char *, const char *> AddressOptions[] = {
    {"local", "localIp"}, {"server", "serverIp"}, {"gateway", "gatewayIp"}, {"mask", "subnetMask"}};

} // namespace

int RunSet(TCliContext &Context)
{
    const TCommandArgs &args = Context.Args;
    TSettingsEdit edit;
    for (const auto &[option, key] : AddressOptions) {
        if (args.Has(QLatin1String(option)))
            edit.Addresses.insert(QLatin1String(key), args.Value(QLatin1String(option)));
    }
    if (args.Has(QStringLiteral("dhcp"))) {
        edit.Dhcp = ParseOnOff(args.Value(QStringLiteral("dhcp")));
        if (!edit.Dhcp.has_value())
            return Context.Usage(QStringLiteral("invalid value '%1' for --dhcp: give on or off")
                                     .arg(args.Value(QStringLiteral("dhcp"))));
    }
    if (edit.IsEmpty())
        return Context.Usage(
            QStringLiteral("nothing to change: give --dhcp, --local, --server, --gateway or --mask"));

    // Check the given addresses before anything goes to the device: a
    // rejected value leaves the line untouched.
    if (const QString fault = SettingsEditFault(edit); !fault.isEmpty()) {
        Context.Out.ErrorLine(fault);
        return CliExitUsage;
    }

    // Read-modify-write: start from the device's own network fields.
    return WriteOneUnit(Context, QStringLiteral("set"), [&](TWriteRequest &Request) {
        Request.Settings = ApplySettingsEdit(edit, RecordNetwork(Request.Before));
        return QString();
    });
}
