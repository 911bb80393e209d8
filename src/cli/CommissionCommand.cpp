#include "cli/CliCommand.h"
#include "cli/CommissionProgress.h"
#include "fleet/Commissioning.h"
#include "fleet/Journal.h"
#include "fleet/Plan.h"
#include "platform/process/InterruptWait.h"

namespace {

// Time between two looks at the line: a swapped unit is noticed within it.
constexpr int PollIntervalMs = 500;

} // namespace

int RunCommission(TCliContext &Context)
{
    if (Context.Args.Operands.isEmpty())
        return Context.Usage(QStringLiteral("no plan given"));
    // The whole plan is checked before anything is sent.
    std::vector<TPlanRow> rows;
    QString error;
    if (!ReadPlan(Context.Args.Operands.front(), rows, error)) {
        Context.Out.ErrorLine(error);
        return CliExitUsage;
    }
    TPortChoice choice;
    if (!ResolvePortChoice(Context.Fleet, Context.Global.Port, choice, error))
        return Context.Usage(error);
    int exit = CliExitOk;
    TJournal journal;
    if (!OpenCommandJournal(Context, journal, exit))
        return exit;

    TCommissionProgress text(Context.Out, Context.Fleet);
    TCommissionJsonEvents json(Context.Out, Context.Fleet);
    TCommissionObserver &observer = Context.Out.Json() ? static_cast<TCommissionObserver &>(json) : text;
    TCommissioning run(
        Context.Fleet, std::move(rows), journal, observer,
        {Context.Global.Port, VerifyWrites(Context), Context.Args.Has(QStringLiteral("rewrite-changed"))});
    bool ok = false;
    const bool once = Context.Args.Has(QStringLiteral("once"));
    if (once) {
        ok = run.RunOnce();
    } else {
        // Ctrl+C and SIGTERM from here on end the run after the exchange under way.
        TInterruptWait interrupt;
        ok = run.Run(interrupt, PollIntervalMs);
    }
    // Every failure is one line on standard error.
    if (!run.JournalFault().isEmpty())
        Context.Out.ErrorLine(run.JournalFault());
    else if (once && !ok && !run.LastFailure().isEmpty())
        Context.Out.ErrorLine(run.LastFailure());
    // Units refused alone make a usage failure: their plan rows need mending.
    return ok ? CliExitOk : run.OnlyRefusals() ? CliExitUsage : CliExitDevice;
}
