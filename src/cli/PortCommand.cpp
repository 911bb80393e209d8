#include "cli/CliCommand.h"
#include "fleet/FleetLink.h"
#include "platform/PortMap.h"
#include "platform/SettingsStore.h"

#include <QFileInfo>
#include <QJsonValue>

namespace {

// The COM number of a "COMn" or "n" operand; false (with the usage message
// printed) when it is none.
bool PortOperand(TCliContext &Context, const QString &given, int32_t &number, int &exit)
{
    if (!ParsePortNumber(given, number)) {
        exit = Context.Usage(
            QStringLiteral("invalid port '%1': give a port number such as 2, or COM2").arg(given));
        return false;
    }
    if (number < 1) {
        exit = Context.Usage(QStringLiteral("invalid port '%1': port numbers start at 1").arg(given));
        return false;
    }
    return true;
}

void Report(TCliContext &Context, const QString &name, const QString &text, const QString &path)
{
    if (Context.Out.Json())
        Context.Out.JsonLine(QJsonObject{{QStringLiteral("name"), name},
                                         {QStringLiteral("path"), path.isEmpty() ? QJsonValue() : path},
                                         {QStringLiteral("done"), text}});
    else
        Context.Out.Line(QStringLiteral("%1: %2").arg(name, text));
}

// port map COMn PATH: the user's own entry in [Ports].
int MapPort(TCliContext &Context, const QStringList &operands)
{
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
        Context.Out.ErrorLine(
            QStringLiteral("lumora-cli: %1 has no entry in [Ports] and no adapter assigned").arg(name));
        return CliExitUsage;
    }
    Report(Context, name,
           QStringLiteral("adapter %1 no longer assigned; when plugged in it gets the lowest free number")
               .arg(removed.join(QStringLiteral(", "))),
           removed.first());
    return CliExitOk;
}

} // namespace

int RunPort(TCliContext &Context)
{
    const QStringList &operands = Context.Args.Operands;
    if (!operands.isEmpty() && operands.first() == QLatin1String("map"))
        return MapPort(Context, operands);
    if (!operands.isEmpty() && operands.first() == QLatin1String("unmap"))
        return UnmapPort(Context, operands);
    if (operands.size() > 1)
        return Context.Usage(QStringLiteral("too many operands"));
    TFleetLink link;
    if (!operands.isEmpty()) {
        int32_t number = 0;
        int exit = CliExitOk;
        if (!PortOperand(Context, operands.first(), number, exit))
            return exit;
        link.SetPortNumber(number);
    }
    TPortChoice choice;
    QString error;
    ResolvePortChoice(QString(), choice, error);
    const int32_t stored = link.GetPortNumber();
    if (Context.Out.Json()) {
        Context.Out.JsonLine(
            QJsonObject{{QStringLiteral("port"), stored},
                        {QStringLiteral("name"), choice.Name},
                        {QStringLiteral("path"), choice.Path.isEmpty() ? QJsonValue() : choice.Path}});
    } else {
        Context.Out.Line(
            QStringLiteral("Stored port: %1 (%2)")
                .arg(choice.Name, choice.Path.isEmpty() ? QStringLiteral("no device") : choice.Path));
    }
    return CliExitOk;
}
