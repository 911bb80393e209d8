#include "cli/CliCommand.h"
#include "cli/CommissionProgress.h"
#include "fleet/FleetLink.h"
#include "fleet/Journal.h"
#include "fleet/Plan.h"
#include "fleet/RecordViews.h"
#include "fleet/SettingsEdit.h"
#include "fleet/VerifiedWrite.h"
#include "platform/InterruptWait.h"

#include <QSet>

#include <chrono>

namespace {

// Time between two looks at the line: a swapped unit is noticed within it.
constexpr std::chrono::milliseconds PollInterval{500};

// "0612345679 (rack 3)"
QString UnitName(const QString &Serial, const TPlanRow *Row)
{
    return Row && !Row->Label.isEmpty() ? QStringLiteral("%1 (%2)").arg(Serial, Row->Label) : Serial;
}

// One commissioning run over a plan on one port.
class TCommissioning {
public:
    TCommissioning(TCliContext &Context, std::vector<TPlanRow> Rows, TJournal &Journal)
        : FContext(Context), FRows(std::move(Rows)), FJournal(Journal),
          FProgress(Context.Out, int(FRows.size()))
    {
    }

    int Run(bool Once);

private:
    enum class TLook { NoUnit, SameUnit, Handled };
    TLook LookAtLine(bool &Failed);
    bool Commission(const TDeviceInfo &Info, const TPlanRow &Row);
    const TPlanRow *RowOf(const QString &Serial) const;
    void NoUnit(const QString &Why);

    TCliContext &FContext;
    std::vector<TPlanRow> FRows;
    TJournal &FJournal;
    TCommissionProgress FProgress;
    TFleetLink FLink;
    QSet<QString> FDone;
    QSet<QString> FFailed;
    QSet<QString>
        FRefused; // failed units that cannot be written at all (a board, settings that make no sense)
    QSet<QString> FStrangers;
    QString FAttached;     // serial number of the unit on the line now
    QString FNoUnitReason; // what was last said about an empty line
    QString FJournalFault; // why the journal failed: no unit is written after that
};

const TPlanRow *TCommissioning::RowOf(const QString &Serial) const
{
    for (const TPlanRow &row : FRows) {
        if (row.Serial == Serial)
            return &row;
    }
    return nullptr;
}

void TCommissioning::NoUnit(const QString &Why)
{
    if (!FAttached.isEmpty())
        FProgress.Event(QStringLiteral("removed"), QStringLiteral("%1 removed").arg(FAttached), false,
                        {{QStringLiteral("serialNumber"), FAttached}});
    FAttached.clear();
    FProgress.SetUnit(QString());
    // Said once per change, not at every look.
    if (Why != FNoUnitReason)
        FProgress.Event(QStringLiteral("waiting"), QStringLiteral("waiting for a unit: ") + Why, false);
    FNoUnitReason = Why;
}

TCommissioning::TLook TCommissioning::LookAtLine(bool &Failed)
{
    Failed = false;
    // The port is opened anew by its name after every failed look, so an
    // adapter that was unplugged and plugged in again is found wherever the
    // name leads now.
    if (!FLink.Opened()) {
        TPortChoice choice;
        QString error;
        if (!ResolvePortChoice(FContext.Global.Port, choice, error) || !FLink.OpenChoice(choice)) {
            NoUnit(error.isEmpty() ? FLink.Status().Text() : error);
            return TLook::NoUnit;
        }
    }
    TDeviceInfo info{};
    if (!FLink.ReadInfo(&info, sizeof info)) {
        NoUnit(FLink.Status().Text());
        FLink.ClosePort();
        return TLook::NoUnit;
    }
    FNoUnitReason.clear();
    const QString serial = RecordText(info.SerialNo, sizeof info.SerialNo);
    if (serial == FAttached)
        return TLook::SameUnit; // still the same unit: never written twice in a row
    FAttached = serial;
    const TPlanRow *row = RowOf(serial);
    FProgress.SetUnit(UnitName(serial, row));
    const QJsonObject unit{{QStringLiteral("serialNumber"), serial}};
    if (!row) {
        if (!FStrangers.contains(serial)) {
            QString message = QStringLiteral("%1 is not in the plan; left alone").arg(serial);
            if (const QString hint = DroppedZeroHint(FRows, serial); !hint.isEmpty())
                message += QStringLiteral("; ") + hint;
            FProgress.Event(QStringLiteral("not-in-plan"), message, true, unit);
        }
        FStrangers.insert(serial);
        Failed = true;
        return TLook::Handled;
    }
    if (FDone.contains(serial)) {
        FProgress.Event(QStringLiteral("already-done"),
                        QStringLiteral("%1 is done already; not written again").arg(UnitName(serial, row)),
                        false, unit);
        return TLook::Handled;
    }
    Failed = !Commission(info, *row);
    return TLook::Handled;
}

bool TCommissioning::Commission(const TDeviceInfo &Info, const TPlanRow &Row)
{
    TWriteRequest request;
    request.Before = Info;
    const TNetSettings before = RecordNetwork(Info);
    request.Settings = ApplySettingsEdit(Row.Edit, before);
    request.Verify = !FContext.Args.Has(QStringLiteral("no-verify"));
    request.Command = QStringLiteral("commission");
    if (!Row.Label.isEmpty())
        request.Extra.insert(QStringLiteral("label"), Row.Label);
    const QString name = UnitName(Row.Serial, &Row);
    QJsonObject fields{{QStringLiteral("serialNumber"), Row.Serial},
                       {QStringLiteral("label"), Row.Label},
                       {QStringLiteral("before"), NetworkJson(before)},
                       {QStringLiteral("after"), NetworkJson(request.Settings)}};
    FProgress.Event(QStringLiteral("writing"),
                    QStringLiteral("%1: writing %2")
                        .arg(name, SettingsChangeText(NetworkJson(before), NetworkJson(request.Settings))),
                    true, fields);

    const TWriteOutcome outcome = WriteVerified(FLink, FJournal, request);
    fields = {{QStringLiteral("serialNumber"), Row.Serial},
              {QStringLiteral("verification"), outcome.Verdict}};
    if (outcome.JournalFailed)
        FJournalFault = outcome.Message;
    if (!outcome.Ok) {
        FFailed.insert(Row.Serial);
        if (outcome.Refused)
            FRefused.insert(Row.Serial);
        FProgress.Event(QStringLiteral("failed"), QStringLiteral("%1: FAILED: %2").arg(name, outcome.Message),
                        true, fields);
        return false;
    }
    FFailed.remove(Row.Serial);
    FRefused.remove(Row.Serial);
    FDone.insert(Row.Serial);
    FProgress.SetDone(int(FDone.size()));
    FProgress.Event(QStringLiteral("done"), QStringLiteral("%1: done (%2)").arg(name, outcome.Verdict), true,
                    fields);
    return true;
}

int TCommissioning::Run(bool Once)
{
    // Ctrl+C and SIGTERM from here on end the run after the exchange under way.
    TInterruptWait interrupt;
    FProgress.Event(
        QStringLiteral("start"),
        QStringLiteral("commissioning %1 units; journal %2").arg(FRows.size()).arg(FJournal.Path()), true);
    if (Once) {
        bool failed = false;
        const TLook look = LookAtLine(failed);
        FProgress.Finish();
        if (look == TLook::NoUnit || failed)
            return !FRefused.isEmpty() ? CliExitUsage : CliExitDevice;
        return CliExitOk;
    }
    bool interrupted = false;
    while (FDone.size() < qsizetype(FRows.size())) {
        bool failed = false;
        LookAtLine(failed);
        // Units are not written while nobody can see what happens to them.
        if (FDone.size() == qsizetype(FRows.size()) || !FJournalFault.isEmpty() ||
            FContext.Out.OutputFailed())
            break;
        if (!interrupt.WaitUntil(std::chrono::steady_clock::now() + PollInterval)) {
            interrupted = true;
            break;
        }
    }
    // Units refused alone make a usage failure: their plan rows need mending.
    int exit = FFailed.isEmpty() ? CliExitOk : CliExitDevice;
    if (!FFailed.isEmpty() && FRefused.contains(FFailed))
        exit = CliExitUsage;
    QString end = QStringLiteral("all %1 units done").arg(FRows.size());
    if (interrupted || !FJournalFault.isEmpty())
        end = QStringLiteral("stopped: %1 of %2 units done").arg(FDone.size()).arg(FRows.size());
    if (!FJournalFault.isEmpty()) {
        end += QStringLiteral("; no unit is written while the journal fails: ") + FJournalFault;
        FContext.Out.ErrorLine(FJournalFault);
    }
    FProgress.Event(QStringLiteral("finished"), end, true, {{QStringLiteral("exitStatus"), exit}});
    FProgress.Finish();
    return exit;
}

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
    if (!ResolvePortChoice(Context.Global.Port, choice, error))
        return Context.Usage(error);
    int exit = CliExitOk;
    TJournal journal;
    if (!OpenCommandJournal(Context, journal, exit))
        return exit;
    TCommissioning run(Context, std::move(rows), journal);
    return run.Run(Context.Args.Has(QStringLiteral("once")));
}
