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

bool VerifyWrites(const TCliContext &Context)
{
    return !Context.Args.Has(QStringLiteral("no-verify"));
}

namespace {

// Prints the outcome of a write: the link's status (or with --json an
// object with the port, status, verdict and settings sent), or the failure
// on standard error. Returns the exit status.
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
                        {QStringLiteral("verification"), WriteVerdictText(Outcome.Verdict)},
                        {QStringLiteral("network"), Outcome.Entry.value(QStringLiteral("written"))}});
    else
        Context.Out.Line(Link.Status().Text());
    return CliExitOk;
}

} // namespace

int RunSingleWrite(TCliContext &Context, const QString &Command, const TPrepareWrite &Prepare)
{
    int exit = CliExitOk;
    TJournal journal;
    TFleetLink link;
    TWriteRequest request;
    if (!OpenCommandJournal(Context, journal, exit) || !Context.ReadDeviceInfo(link, request.Before, exit))
        return exit;
    exit = Prepare(request);
    if (exit != CliExitOk)
        return exit;
    request.Verify = VerifyWrites(Context);
    request.Command = Command;
    return ReportWrite(Context, link, WriteVerified(link, journal, request));
}
