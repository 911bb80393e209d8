#include "cli/CliCommand.h"
#include "fleet/FleetLink.h"
#include "fleet/Journal.h"
#include "fleet/VerifiedWrite.h"
#include "platform/process/InterruptWait.h"

QString CommandJournalPath(const TCliContext &Context, QString &Error)
{
    if (Context.Args.Has(QStringLiteral("journal")))
        return Context.Args.Value(QStringLiteral("journal"));
    QString why;
    QString path = TJournal::DefaultPath(&why);
    if (path.isEmpty())
        Error = QStringLiteral(
                    "no folder for the journal: %1 (set HOME or XDG_STATE_HOME, or give --journal FILE)")
                    .arg(why);
    return path;
}

bool OpenCommandJournal(const TCliContext &Context, TJournal &Journal, int &Exit)
{
    QString error;
    const QString path = CommandJournalPath(Context, error);
    if (!path.isEmpty() && Journal.Open(path, error))
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
    // Ctrl+C and SIGTERM from here on are held until the exchange under way
    // is done: a write that went out is read back and recorded before the
    // tool ends with the interrupt's status.
    TInterruptWait interrupt;
    int exit = CliExitOk;
    TJournal journal;
    TFleetLink link;
    TWriteRequest request;
    if (!OpenCommandJournal(Context, journal, exit) || !Context.ReadDeviceInfo(link, request.Before, exit))
        return interrupt.Interrupted() ? interrupt.ExitStatus() : exit;
    exit = Prepare(request);
    if (interrupt.Interrupted()) {
        if (exit == CliExitOk)
            Context.Out.ErrorLine(QStringLiteral("interrupted; nothing was sent"));
        return interrupt.ExitStatus();
    }
    if (exit != CliExitOk)
        return exit;
    request.Verify = VerifyWrites(Context);
    request.Command = Command;
    exit = ReportWrite(Context, link, WriteVerified(link, journal, request));
    if (!interrupt.Interrupted())
        return exit;
    Context.Out.ErrorLine(QStringLiteral("interrupted; the write under way was finished first"));
    return interrupt.ExitStatus();
}
