#include "cli/CliCommand.h"
#include "cli/PortMapCommand.h"
#include "device/ComUnit.h"
#include "fleet/PortChoice.h"
#include "platform/store/SettingsStore.h"

#include <QJsonValue>

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

int RunPort(TCliContext &Context)
{
    const QStringList &operands = Context.Args.Operands;
    if (!operands.isEmpty() && operands.first() == QLatin1String("map"))
        return MapPort(Context, operands);
    if (!operands.isEmpty() && operands.first() == QLatin1String("unmap"))
        return UnmapPort(Context, operands);
    if (operands.size() > 1)
        return Context.Usage(QStringLiteral("too many operands"));
    TSettingsStore store(Context.Fleet.StorePath);
    if (!operands.isEmpty()) {
        int32_t number = 0;
        int exit = CliExitOk;
        if (!PortOperand(Context, operands.first(), number, exit))
            return exit;
        StorePortNumber(store, number);
    }
    TPortChoice choice;
    QString error;
    ResolvePortChoice(Context.Fleet, QString(), choice, error);
    const int32_t stored = StoredPortNumber(store);
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
