#include "cli/CliCommand.h"
#include "fleet/FleetLink.h"
#include "fleet/Journal.h"
#include "fleet/VerifiedWrite.h"

bool OpenCommandJournal(const TCliContext &Context, TJournal &Journal, int &Exit)
{
    const QString path = Context.Args.Has(QStringLiteral("journal"))
                             ? Context.Args.Value(QStringLiteral("journal"))
                             : TJournal::DefaultPath();
    QString error;
    if (Journal.Open(path, error))
        return true;
    Context.Out.ErrorLine(error + QStringLiteral("; nothing was sent"));
    Exit = CliExitDevice;
    return false;
}

bool StartCommandWrite(const TCliContext &Context, TJournal &Journal, TFleetLink &Link,
                       TWriteRequest &Request, int &Exit)
{
    return OpenCommandJournal(Context, Journal, Exit) && Context.ReadDeviceInfo(Link, Request.Before, Exit);
}

int ReportWrite(const TCliContext &Context, const TFleetLink &Link, const TWriteOutcome &Outcome)
{
    if (!Outcome.Ok) {
        Context.Out.ErrorLine(Outcome.Message);
        return Outcome.Refused ? CliExitUsage : CliExitDevice;
    }
    if (Context.Out.Json())
        Context.Out.JsonLine(
            QJsonObject{{QStringLiteral("port"), Link.PortName()},
                        {QStringLiteral("status"), Link.Status().Text()},
                        {QStringLiteral("verification"), Outcome.Verdict},
                        {QStringLiteral("network"), Outcome.Entry.value(QStringLiteral("written"))}});
    else
        Context.Out.Line(Link.Status().Text());
    return CliExitOk;
}
