#include "cli/PortMapCommand.h"

namespace {

int NotNeeded(TCliContext &Context, const QString &word)
{
    Context.Out.ErrorLine(QStringLiteral("'port %1' is not needed on Windows: Windows numbers its "
                                         "ports itself (see 'lumora-cli ports')")
                              .arg(word));
    return CliExitUsage;
}

} // namespace

TCliCommand PortCommand()
{
    // map and unmap stay operands, so that they are refused with the reason.
    return {"port",
            "[N]",
            "show or store the port number",
            "Without operands shows the stored port and the device it leads to; with N (or\n"
            "COMn) stores it in the registry, where the program reads it: the value COM of\n"
            "HKEY_CURRENT_USER\\ComSetup.INI\\COMSetup. The numbers are those Windows gives its\n"
            "ports (see 'lumora-cli ports').\n",
            {},
            3,
            RunPort};
}

int MapPort(TCliContext &Context, const QStringList &operands)
{
    Q_UNUSED(operands);
    return NotNeeded(Context, QStringLiteral("map"));
}

int UnmapPort(TCliContext &Context, const QStringList &operands)
{
    Q_UNUSED(operands);
    return NotNeeded(Context, QStringLiteral("unmap"));
}
