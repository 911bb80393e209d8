#include "cli/CliCommand.h"
#include "cli/CliLink.h"

#include <QJsonValue>

int RunPort(TCliContext &Context)
{
    TCliLink link;
    if (!Context.Args.Operands.isEmpty()) {
        int32_t number = 0;
        const QString given = Context.Args.Operands.first();
        if (!ParsePortNumber(given, number))
            return Context.Usage(
                QStringLiteral("invalid port '%1': give a port number such as 2, or COM2").arg(given));
        if (number < 1)
            return Context.Usage(QStringLiteral("invalid port '%1': port numbers start at 1").arg(given));
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
