#include "cli/CommissionProgress.h"

#include "cli/CliArgs.h"
#include "cli/CliOutput.h"
#include "fleet/Journal.h"
#include "fleet/PlainText.h"

namespace {

// Erases the terminal line the cursor is on.
const QString ClearLine = QStringLiteral("\r\x1b[K");

constexpr int DefaultTerminalWidth = 80;

int ExitStatusOf(const TCommissionEvent &Event)
{
    if (Event.Ok)
        return CliExitOk;
    return Event.OnlyRefusals ? CliExitUsage : CliExitDevice;
}

} // namespace

TCommissionProgress::TCommissionProgress(TCliOutput &Out, const TFleetContext &Context)
    : FOut(Out), FContext(Context), FLive(Out.IsTerminal())
{
}

void TCommissionProgress::Notify(const TCommissionEvent &Event)
{
    const QString line = QStringLiteral("[%1/%2] %3").arg(Event.Done).arg(Event.Total).arg(Event.Message);
    if (!FLive) {
        FOut.Line(FContext.Time() + QLatin1Char(' ') + line);
        return;
    }
    if (Event.Lasting)
        FOut.Text(ClearLine + line + QLatin1Char('\n'));
    if (Event.Step == TCommissionStep::Finished) {
        // The finished line is the last: the shell prompt starts below it.
        FLiveShown = false;
        return;
    }
    DrawLive(Event);
}

bool TCommissionProgress::Lost() const
{
    return FOut.OutputFailed();
}

void TCommissionProgress::DrawLive(const TCommissionEvent &Event)
{
    const QString unit = Event.Unit.isEmpty() ? QStringLiteral("no unit") : Event.Unit;
    QString text =
        QStringLiteral("done %1 of %2 | %3 | %4").arg(Event.Done).arg(Event.Total).arg(unit, Event.Message);
    // A line longer than the terminal would wrap, and the next redraw would
    // leave its first part behind. A terminal that reports no width (a
    // serial console) is taken to have the 80 columns terminals start with.
    const int reported = FOut.TerminalWidth();
    const int width = reported > 0 ? reported : DefaultTerminalWidth;
    if (width > 1)
        text = CutToWidth(text, width - 1);
    FOut.Text(ClearLine + text);
    FLiveShown = true;
}

void TCommissionJsonEvents::Notify(const TCommissionEvent &Event)
{
    QJsonObject object{{QStringLiteral("time"), FContext.Time()},
                       {QStringLiteral("event"), CommissionStepName(Event.Step)},
                       {QStringLiteral("done"), Event.Done},
                       {QStringLiteral("total"), Event.Total},
                       {QStringLiteral("message"), Event.Message}};
    for (auto it = Event.Fields.begin(); it != Event.Fields.end(); ++it)
        object.insert(it.key(), it.value());
    if (Event.Step == TCommissionStep::Finished)
        object.insert(QStringLiteral("exitStatus"), ExitStatusOf(Event));
    FOut.JsonLine(object);
}

bool TCommissionJsonEvents::Lost() const
{
    return FOut.OutputFailed();
}
