#include "fleet/Commissioning.h"

#include "base/NameTable.h"
#include "fleet/Journal.h"
#include "fleet/PlainText.h"
#include "fleet/RecordViews.h"
#include "fleet/SettingsEdit.h"
#include "fleet/VerifiedWrite.h"
#include "platform/process/InterruptWait.h"

#include <chrono>

namespace {

// "1 unit", "3 units"
QString Units(int Count)
{
    return Counted(Count, QStringLiteral("unit"), QStringLiteral("units"));
}

// "0612345679 (rack 3)"
QString UnitName(const QString &Serial, const TPlanRow *Row)
{
    return Row && !Row->Label.isEmpty() ? QStringLiteral("%1 (%2)").arg(Serial, OneLine(Row->Label)) : Serial;
}

} // namespace

QString CommissionStepName(TCommissionStep Step)
{
    static constexpr std::array<const char *, 9> Names = {"start",        "waiting", "writing",
                                                          "done",         "failed",  "not-in-plan",
                                                          "already-done", "removed", "finished"};
    static_assert(Names.size() == size_t(TCommissionStep::Finished) + 1);
    return QString::fromLatin1(TableEntry(Names, Step));
}

TCommissioning::TCommissioning(std::vector<TPlanRow> Rows, TJournal &Journal, TCommissionObserver &Observer,
                               TOptions Options)
    : FRows(std::move(Rows)), FJournal(Journal), FObserver(Observer), FOptions(std::move(Options))
{
}

void TCommissioning::Notify(TCommissionStep Step, const QString &Message, bool Lasting,
                            const QJsonObject &Fields, bool Ok)
{
    TCommissionEvent event;
    event.Step = Step;
    event.Message = Message;
    event.Lasting = Lasting;
    event.Done = DoneCount();
    event.Total = Total();
    event.Unit = FUnit;
    event.UnitType = FUnitType;
    event.Fields = Fields;
    event.Ok = Ok;
    event.OnlyRefusals = OnlyRefusals();
    FObserver.Notify(event);
}

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
    if (!FAttached.isEmpty()) {
        const QString gone = FAttached;
        FAttached.clear();
        FUnit.clear();
        FUnitType.clear();
        Notify(TCommissionStep::Removed, QStringLiteral("%1 removed").arg(gone), false,
               {{QStringLiteral("serialNumber"), gone}});
    }
    // Said once per change, not at every look.
    if (Why != FNoUnitReason)
        Notify(TCommissionStep::Waiting, QStringLiteral("waiting for a unit: ") + Why, false);
    FNoUnitReason = Why;
}

TCommissioning::TLook TCommissioning::Look()
{
    // The port is opened anew by its name once the unit is gone, so an
    // adapter that was unplugged and plugged in again is found wherever the
    // name leads now.
    if (!FLink.Opened()) {
        QString error;
        if (!FLink.OpenByName(FOptions.Port, error)) {
            NoUnit(error);
            return TLook::NoUnit;
        }
    }
    const TRecordResult<TDeviceInfo> read = FLink.ReadRecord<TDeviceInfo>(CmdReadInfo);
    if (!read.Ok()) {
        // A missed or spoiled reply alone is no unplug: the unit on the line
        // counts as gone when the line is lost or after several silent looks.
        const bool gone = FPresence.Missed(read);
        if (gone || FAttached.isEmpty())
            NoUnit(StatusLine(TLinkOperation::Read, read).Text);
        if (gone)
            FLink.ClosePort();
        return TLook::NoUnit;
    }
    FPresence.Answered();
    const TDeviceInfo &info = read.Record;
    FNoUnitReason.clear();
    const QString serial = RecordText(info.SerialNo, sizeof info.SerialNo);
    if (serial == FAttached)
        return TLook::SameUnit; // still the same unit: never written twice in a row
    FAttached = serial;
    const TPlanRow *row = RowOf(serial);
    FUnit = UnitName(serial, row);
    FUnitType = DeviceTypeName(info.DeviceType);
    const QJsonObject unit{{QStringLiteral("serialNumber"), serial}};
    if (!row) {
        if (!FStrangers.contains(serial)) {
            QString message = QStringLiteral("%1 is not in the plan; left alone").arg(serial);
            if (const QString hint = DroppedZeroHint(FRows, serial); !hint.isEmpty())
                message += QStringLiteral("; ") + hint;
            Notify(TCommissionStep::NotInPlan, message, true, unit);
        }
        FStrangers.insert(serial);
        return TLook::Stranger;
    }
    if (FDone.contains(serial)) {
        Notify(TCommissionStep::AlreadyDone,
               QStringLiteral("%1 is done already; not written again").arg(FUnit), false, unit);
        return TLook::Skipped;
    }
    return Commission(info, *row);
}

TCommissioning::TLook TCommissioning::Commission(const TDeviceInfo &Info, const TPlanRow &Row)
{
    TWriteRequest request;
    request.Before = Info;
    const TNetSettings before = RecordNetwork(Info);
    request.Settings = ApplySettingsEdit(Row.Edit, before);
    request.Verify = FOptions.Verify;
    request.Command = QStringLiteral("commission");
    if (!Row.Label.isEmpty())
        request.Extra.insert(QStringLiteral("label"), Row.Label);
    const QJsonObject beforeJson = NetworkJson(before);
    const QJsonObject afterJson = NetworkJson(request.Settings);
    Notify(TCommissionStep::Writing,
           QStringLiteral("%1: writing %2").arg(FUnit, SettingsChangeText(beforeJson, afterJson)), true,
           {{QStringLiteral("serialNumber"), Row.Serial},
            {QStringLiteral("label"), Row.Label},
            {QStringLiteral("before"), beforeJson},
            {QStringLiteral("after"), afterJson}});

    const TWriteOutcome outcome = WriteVerified(FLink, FJournal, request);
    const QJsonObject fields{{QStringLiteral("serialNumber"), Row.Serial},
                             {QStringLiteral("verification"), outcome.Verdict}};
    if (outcome.JournalFailed)
        FJournalFault = outcome.Message;
    if (!outcome.Ok) {
        FFailed.insert(Row.Serial);
        if (outcome.Refused)
            FRefused.insert(Row.Serial);
        QJsonObject failure = fields;
        failure.insert(QStringLiteral("reason"), outcome.Message);
        failure.insert(QStringLiteral("refused"), outcome.Refused);
        Notify(TCommissionStep::Failed, QStringLiteral("%1: FAILED: %2").arg(FUnit, outcome.Message), true,
               failure);
        return TLook::Failed;
    }
    FFailed.remove(Row.Serial);
    FRefused.remove(Row.Serial);
    FDone.insert(Row.Serial);
    Notify(TCommissionStep::Done, QStringLiteral("%1: done (%2)").arg(FUnit, outcome.Verdict), true, fields);
    return TLook::Written;
}

void TCommissioning::Start()
{
    Notify(TCommissionStep::Start,
           QStringLiteral("commissioning %1; journal %2").arg(Units(Total()), FJournal.Path()), true);
}

void TCommissioning::Finish(const QString &Message, bool Ok)
{
    Notify(TCommissionStep::Finished, Message, true, {}, Ok);
}

bool TCommissioning::Run(TInterruptWait &Wait, int IntervalMs)
{
    Start();
    bool interrupted = false;
    while (!AllDone() && MayGoOn()) {
        Look();
        if (AllDone() || !MayGoOn())
            break;
        if (!Wait.WaitUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(IntervalMs))) {
            interrupted = true;
            break;
        }
    }
    const bool ok = FFailed.isEmpty() && MayGoOn();
    QString message =
        Total() == 1 ? QStringLiteral("1 unit done") : QStringLiteral("all %1 done").arg(Units(Total()));
    if (interrupted || !MayGoOn())
        message = QStringLiteral("stopped: %1 of %2 done").arg(DoneCount()).arg(Units(Total()));
    if (!FJournalFault.isEmpty())
        message += QStringLiteral("; no unit is written while the journal fails: ") + FJournalFault;
    Finish(message, ok);
    return ok;
}

bool TCommissioning::RunOnce()
{
    Start();
    const TLook look = Look();
    const bool ok = look == TLook::Written || look == TLook::Skipped;
    Finish(QStringLiteral("%1 of %2 done").arg(DoneCount()).arg(Units(Total())), ok);
    return ok;
}
