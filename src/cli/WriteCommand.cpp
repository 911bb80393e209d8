#include "cli/CliCommand.h"
#include "fleet/Journal.h"
#include "fleet/SingleWrite.h"
#include "platform/process/InterruptWait.h"

namespace {

QString JournalOption(const TCliContext &Context)
{
    return Context.Args.Has(QStringLiteral("journal")) ? Context.Args.Value(QStringLiteral("journal"))
                                                       : QString();
}

// Prints the outcome of a write: the link's status (or with --json an
// object with the port, status, verdict and settings sent), or the failure
// on standard error. Returns the exit status.
int ReportWrite(const TCliContext &Context, const TSingleWriteResult &Result)
{
    const TWriteOutcome &outcome = Result.Outcome;
    if (!outcome.Ok) {
        Context.Out.ErrorLine(outcome.Message);
        return outcome.Refused ? CliExitUsage : CliExitDevice;
    }
    if (Context.Out.Json())
        Context.Out.JsonLine(
            QJsonObject{{QStringLiteral("port"), Result.PortName},
                        {QStringLiteral("status"), Result.StatusText},
                        {QStringLiteral("verification"), WriteVerdictText(outcome.Verdict)},
                        {QStringLiteral("network"), outcome.Entry.value(QStringLiteral("written"))}});
    else
        Context.Out.Line(Result.StatusText);
    return CliExitOk;
}

} // namespace

QString CommandJournalPath(const TCliContext &Context, QString &Error)
{
    return WriteJournalPath(JournalOption(Context), Error);
}

bool OpenCommandJournal(const TCliContext &Context, TJournal &Journal, int &Exit)
{
    QString error;
    if (OpenWriteJournal(Journal, JournalOption(Context), error))
        return true;
    Context.Out.ErrorLine(error);
    Exit = CliExitDevice;
    return false;
}

bool VerifyWrites(const TCliContext &Context)
{
    return !Context.Args.Has(QStringLiteral("no-verify"));
}

int WriteOneUnit(TCliContext &Context, const QString &Command, const TPrepareWrite &Prepare)
{
    // Ctrl+C and SIGTERM from here on are held until the exchange under way
    // is done: a write that went out is read back and recorded before the
    // tool ends with the interrupt's status.
    TInterruptWait interrupt;
    const TSingleWriteResult result =
        RunSingleWrite({Context.Global.Port, JournalOption(Context), Command, VerifyWrites(Context)},
                       [&](TWriteRequest &Request) {
                           QString refusal = Prepare(Request);
                           if (refusal.isEmpty() && interrupt.Interrupted())
                               refusal = QStringLiteral("interrupted; nothing was sent");
                           return refusal;
                       });
    int exit = CliExitOk;
    switch (result.Stage) {
    case TSingleWriteStage::PortName:
        return Context.Usage(result.Message);
    case TSingleWriteStage::Port:
        Context.Out.ErrorLine(result.Message);
        Context.NameHolders(result.DevicePath);
        exit = CliExitDevice;
        break;
    case TSingleWriteStage::Journal:
    case TSingleWriteStage::Read:
        Context.Out.ErrorLine(result.Message);
        exit = CliExitDevice;
        break;
    case TSingleWriteStage::Refused:
        Context.Out.ErrorLine(result.Message);
        exit = CliExitUsage;
        break;
    case TSingleWriteStage::Written:
        exit = ReportWrite(Context, result);
        if (interrupt.Interrupted())
            Context.Out.ErrorLine(QStringLiteral("interrupted; the write under way was finished first"));
        break;
    }
    return interrupt.Interrupted() ? interrupt.ExitStatus() : exit;
}
