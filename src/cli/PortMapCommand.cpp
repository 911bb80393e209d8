#include "cli/PortMapCommand.h"
#include "platform/serial/PortMap.h"
#include "platform/store/SettingsStore.h"

#include <QFileInfo>
#include <QJsonValue>

namespace {

void Report(TCliContext &Context, const QString &name, const QString &text, const QString &path)
{
    if (Context.Out.Json())
        Context.Out.JsonLine(QJsonObject{{QStringLiteral("name"), name},
                                         {QStringLiteral("path"), path.isEmpty() ? QJsonValue() : path},
                                         {QStringLiteral("done"), text}});
    else
        Context.Out.Line(QStringLiteral("%1: %2").arg(name, text));
}

// Where the system numbers the ports, there is nothing to map.
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
    // On Windows map and unmap stay operands, so that they are refused with
    // the reason.
    if (SystemNumbersPorts)
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
    return {"port",
            "[N] | map COMn PATH | unmap COMn",
            "show or store the port number, pin or free a COM number",
            "Without operands shows the stored port and the device it leads to; with N (or\n"
            "COMn) stores it in the settings store the program uses.\n\n"
            "  map COMn PATH   makes COMn lead to PATH (your entry in section [Ports])\n"
            "  unmap COMn      removes your entry for COMn, or else the adapter assigned to\n"
            "                  it (an adapter still plugged in then gets the lowest free\n"
            "                  number again)\n",
            {},
            3,
            RunPort};
}

// port map COMn PATH: the user's own entry in [Ports].
int MapPort(TCliContext &Context, const QStringList &operands)
{
    if (SystemNumbersPorts)
        return NotNeeded(Context, QStringLiteral("map"));
    int32_t number = 0;
    int exit = CliExitOk;
    if (operands.size() != 3 || operands[2].isEmpty())
        return Context.Usage(QStringLiteral("usage: port map COMn PATH"));
    if (!PortOperand(Context, operands[1], number, exit))
        return exit;
    // Absolute, so that it holds from any working folder; links are kept as
    // given (a by-id link stays the adapter's stable name).
    const QString path = QFileInfo(operands[2]).absoluteFilePath();
    const QString name = QStringLiteral("COM%1").arg(number);
    TSettingsStore(TSettingsStore::DefaultPath()).WriteString(TPortMap::UserSection, name, path);
    Report(Context, name, QStringLiteral("mapped to %1 (your entry in [Ports])").arg(path), path);
    return CliExitOk;
}

// port unmap COMn: removes the user's entry, else the adapter assigned to n.
int UnmapPort(TCliContext &Context, const QStringList &operands)
{
    if (SystemNumbersPorts)
        return NotNeeded(Context, QStringLiteral("unmap"));
    int32_t number = 0;
    int exit = CliExitOk;
    if (operands.size() != 2)
        return Context.Usage(QStringLiteral("usage: port unmap COMn"));
    if (!PortOperand(Context, operands[1], number, exit))
        return exit;
    const QString name = QStringLiteral("COM%1").arg(number);
    TSettingsStore store(TSettingsStore::DefaultPath());
    if (const auto entry = store.ReadString(TPortMap::UserSection, name)) {
        store.RemoveValue(TPortMap::UserSection, name);
        Report(Context, name, QStringLiteral("your entry in [Ports] removed (it led to %1)").arg(*entry),
               *entry);
        return CliExitOk;
    }
    QStringList removed;
    for (const TAdapterNumber &a : TPortMap(store).AdapterNumbers()) {
        if (a.Number == number) {
            store.RemoveValue(TPortMap::AdapterSection, a.Path);
            removed << a.Path;
        }
    }
    if (removed.isEmpty()) {
        Context.Out.ErrorLine(QStringLiteral("%1 has no entry in [Ports] and no adapter assigned").arg(name));
        return CliExitUsage;
    }
    Report(Context, name,
           QStringLiteral("adapter %1 no longer assigned; when plugged in it gets the lowest free number")
               .arg(removed.join(QStringLiteral(", "))),
           removed.first());
    return CliExitOk;
}
