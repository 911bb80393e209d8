#include "fleet/Commissioning.h"

#include "base/NameTable.h"
#include "fleet/DoneEarlier.h"
#include "fleet/Journal.h"
#include "fleet/PlainText.h"
#include "fleet/RecordViews.h"
#include "fleet/SettingsEdit.h"
#include "fleet/VerifiedWrite.h"
#include "fleet/WriteVerdict.h"
#include "platform/process/InterruptWait.h"
#include "platform/serial/PortProbe.h"

#include <QJsonArray>

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

TCommissioning::TCommissioning(const TFleetContext &Context, std::vector<TPlanRow> Rows, TJournal &Journal,
                               TCommissionObserver &Observer, TOptions Options)
    : FRows(std::move(Rows)), FLookup(FRows), FJournal(Journal), FObserver(Observer),
      FOptions(std::move(Options)), FLink(Context), FDoneWith(FRows.size())
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

void TCommissioning::Failure(TCommissionStep Step, const QString &Message, const QJsonObject &Fields)
{
    FLastFailure = Message;
    Notify(Step, Message, true, Fields);
}

const TPlanRow *TCommissioning::RowOf(const QString &Serial) const
{
    const qsizetype row = FLookup.IndexOf(FRows, Serial);
    return row < 0 ? nullptr : &FRows[size_t(row)];
}

void TCommissioning::MarkDone(const TPlanRow &Row, const TNetSettings &Settings)
{
    std::optional<TNetSettings> &with = FDoneWith[size_t(&Row - FRows.data())];
    FDoneCount += with ? 0 : 1;
    with = Settings;
    const QString serial = Row.Serial();
    FFailed.remove(serial);
    FRefused.remove(serial);
    FChanged.remove(serial);
}

void TCommissioning::MarkNotDone(const QString &Serial)
{
    if (const TPlanRow *row = RowOf(Serial)) {
        std::optional<TNetSettings> &with = FDoneWith[size_t(row - FRows.data())];
        FDoneCount -= with ? 1 : 0;
        with.reset();
    }
    FChanged.remove(Serial);
}

void TCommissioning::ReadDoneEarlier()
{
    const std::vector<std::optional<TNetSettings>> done = FindDoneEarlier(FJournal.Path(), FRows, FLookup);
    for (size_t i = 0; i < FRows.size(); ++i) {
        if (done[i]) {
            FDoneWith[i] = done[i];
            ++FDoneCount;
            FDoneEarlier << FRows[i].Serial();
        }
    }
}

void TCommissioning::NoUnit(const QString &Why, const QString &Shown)
{
    FLastFailure = QStringLiteral("no unit: ") + Shown;
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
        Notify(TCommissionStep::Waiting, QStringLiteral("waiting for a unit: ") + Shown, false);
    FNoUnitReason = Why;
}

TCommissioning::TLook TCommissioning::Look()
{
    FLastFailure.clear();
    // The port is opened anew by its name once the unit is gone, so an
    // adapter that was unplugged and plugged in again is found wherever the
    // name leads now.
    if (!FLink.Opened()) {
        QString error;
        if (!FLink.OpenByName(FOptions.Port, error)) {
            // Who holds a busy port is looked up once, when the reason is new.
            QString shown = error;
            if (error != FNoUnitReason && !FLink.DevicePath().isEmpty()) {
                const TPortProbe probe = ProbePort(FLink.DevicePath());
                if (probe.Access == TPortAccess::Busy && !probe.Holders.isEmpty())
                    shown += QStringLiteral("; held by ") + probe.Holders.join(QStringLiteral(", "));
            }
            NoUnit(error, shown);
            return TLook::NoUnit;
        }
    }
    const TRecordResult<TDeviceInfo> read = FLink.ReadRecord<TDeviceInfo>(CmdReadInfo);
    if (!read.Ok()) {
        // A missed or spoiled reply alone is no unplug: the unit on the line
        // counts as gone when the line is lost or after several silent looks.
        const bool gone = FPresence.Missed(read);
        const QString why = StatusLine(TLinkOperation::Read, read).Text;
        if (gone || FAttached.isEmpty())
            NoUnit(why, why);
        if (gone)
            FLink.ClosePort();
        return TLook::NoUnit;
    }
    FPresence.Answered();
    const TDeviceInfo &info = read.Record;
    FNoUnitReason.clear();
    CheckUnverifiedWrite(info);
    const QString serial = UnitSerial(info);
    if (serial == FAttached)
        return TLook::SameUnit; // still the same unit: never written twice in a row
    FAttached = serial;
    const TPlanRow *row = RowOf(serial);
    FUnit = UnitName(ShownSerial(info), row);
    FUnitType = DeviceTypeName(info.DeviceType);
    if (!row)
        return Stranger(serial);
    if (FDoneWith[size_t(row - FRows.data())])
        return DoneBefore(info, *row);
    return Commission(info, *row);
}

TCommissioning::TLook TCommissioning::Stranger(const QString &Serial)
{
    const QJsonObject unit{{QStringLiteral("serialNumber"), Serial}};
    QString message = QStringLiteral("%1 is not in the plan").arg(FUnit);
    if (FForeign.contains(Serial)) {
        // Said at every appearance: it holds settings meant for another unit.
        Failure(TCommissionStep::NotInPlan,
                message + QStringLiteral(" and holds settings planned for another "
                                         "unit of the plan; left alone"),
                unit);
    } else {
        message += QStringLiteral("; left alone");
        if (const QString hint = DroppedZeroHint(FRows, Serial); !hint.isEmpty())
            message += QStringLiteral("; ") + hint;
        FLastFailure = message;
        if (!FStrangers.contains(Serial))
            Notify(TCommissionStep::NotInPlan, message, true, unit);
    }
    FStrangers.insert(Serial);
    return TLook::Stranger;
}

TCommissioning::TLook TCommissioning::DoneBefore(const TDeviceInfo &Info, const TPlanRow &Row)
{
    const TNetSettings with = *FDoneWith[size_t(&Row - FRows.data())];
    const QString serial = Row.Serial();
    const TNetSettings now = RecordNetwork(Info);
    if (SameSettings(now, with)) {
        Notify(TCommissionStep::AlreadyDone,
               QStringLiteral("%1 is done already; not written again").arg(FUnit), false,
               {{QStringLiteral("serialNumber"), serial}});
        return TLook::Skipped;
    }
    const QString change = SettingsChangeText(NetworkJson(with), NetworkJson(now));
    Record(Info, &Row,
           {{QStringLiteral("verification"), WriteVerdictText(TWriteVerdict::ChangedSinceDone)},
            {QStringLiteral("changed"), DifferingFields(with, now)},
            {QStringLiteral("expected"), NetworkJson(with)},
            {QStringLiteral("found"), NetworkJson(now)}});
    const QJsonObject fields{
        {QStringLiteral("serialNumber"), serial},
        {QStringLiteral("verification"), WriteVerdictText(TWriteVerdict::ChangedSinceDone)},
        {QStringLiteral("before"), NetworkJson(with)},
        {QStringLiteral("after"), NetworkJson(now)}};
    if (FOptions.RewriteChanged && MayGoOn()) {
        Notify(TCommissionStep::Writing,
               QStringLiteral("%1: changed since it was done: %2; writing it again").arg(FUnit, change), true,
               fields);
        MarkNotDone(serial);
        return Commission(Info, Row);
    }
    FChanged.insert(serial);
    Failure(TCommissionStep::Failed,
            QStringLiteral("%1: FAILED: changed since it was done: %2; not written again (--rewrite-changed "
                           "writes it)")
                .arg(FUnit, change),
            fields);
    return TLook::Changed;
}

void TCommissioning::Record(const TDeviceInfo &Unit, const TPlanRow *Row, QJsonObject Entry)
{
    const TFleetContext &context = FLink.Context();
    Entry.insert(QStringLiteral("time"), context.Time());
    Entry.insert(QStringLiteral("stage"), QStringLiteral("check"));
    Entry.insert(QStringLiteral("user"), context.User);
    Entry.insert(QStringLiteral("host"), context.Host);
    Entry.insert(QStringLiteral("command"), QStringLiteral("commission"));
    Entry.insert(QStringLiteral("port"), FLink.PortName());
    Entry.insert(QStringLiteral("device"), DeviceRecordName(FLink.DevicePath(), context.Roots));
    Entry.insert(QStringLiteral("serialNumber"), RecordText(Unit.SerialNo, sizeof Unit.SerialNo));
    Entry.insert(QStringLiteral("type"), InfoJson(Unit).value(QStringLiteral("type")));
    if (Row && !Row->Label.isEmpty())
        Entry.insert(QStringLiteral("label"), Row->Label);
    QString error;
    if (!FJournal.Append(Entry, error))
        FJournalFault = error;
}

void TCommissioning::SwappedDuringWrite(const QString &Planned, const TDeviceInfo &Answered,
                                        bool TookSettings)
{
    MarkNotDone(Planned);
    FFailed.insert(Planned);
    const QString other = UnitSerial(Answered);
    if (TookSettings) {
        if (RowOf(other))
            MarkNotDone(other); // written with its own settings when it is seen next
        else
            FForeign.insert(other);
    }
    // Whichever unit is on the line is looked at afresh.
    FAttached.clear();
    FUnit.clear();
    FUnitType.clear();
}

void TCommissioning::CheckUnverifiedWrite(const TDeviceInfo &Info)
{
    if (!FUnverified)
        return;
    const TUnverified write = *std::exchange(FUnverified, std::nullopt);
    if (SameUnit(Info, write.Unit) || !SameSettings(RecordNetwork(Info), write.Sent))
        return;
    const QString planned = UnitSerial(write.Unit);
    const TPlanRow *row = RowOf(planned);
    Record(write.Unit, row,
           {{QStringLiteral("verification"), WriteVerdictText(TWriteVerdict::WrongUnit)},
            {QStringLiteral("answered"), AnsweredJson(Info)}});
    const QString name = UnitName(ShownSerial(write.Unit), row);
    SwappedDuringWrite(planned, Info, true);
    Failure(TCommissionStep::Failed,
            QStringLiteral("%1: FAILED: %2").arg(name, WrongUnitMessage(write.Unit, Info, true)),
            {{QStringLiteral("serialNumber"), planned},
             {QStringLiteral("verification"), WriteVerdictText(TWriteVerdict::WrongUnit)},
             {QStringLiteral("answered"), UnitSerial(Info)}});
}

TCommissioning::TLook TCommissioning::Commission(const TDeviceInfo &Info, const TPlanRow &Row)
{
    const QString serial = Row.Serial();
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
    // A unit that cannot be written hears only why.
    if (WriteRefusal(request).isEmpty())
        Notify(TCommissionStep::Writing,
               QStringLiteral("%1: writing %2").arg(FUnit, SettingsChangeText(beforeJson, afterJson)), true,
               {{QStringLiteral("serialNumber"), serial},
                {QStringLiteral("label"), Row.Label},
                {QStringLiteral("before"), beforeJson},
                {QStringLiteral("after"), afterJson}});

    const TWriteOutcome outcome = WriteVerified(FLink, FJournal, request);
    QJsonObject fields{{QStringLiteral("serialNumber"), serial},
                       {QStringLiteral("verification"), WriteVerdictText(outcome.Verdict)}};
    if (outcome.JournalFailed)
        FJournalFault = outcome.Message;
    if (!outcome.Ok) {
        const QString name = FUnit;
        FFailed.insert(serial);
        if (outcome.Refused)
            FRefused.insert(serial);
        fields.insert(QStringLiteral("reason"), outcome.Message);
        fields.insert(QStringLiteral("refused"), outcome.Refused);
        if (outcome.Verdict == TWriteVerdict::WrongUnit) {
            fields.insert(QStringLiteral("answered"), UnitSerial(outcome.Answered));
            SwappedDuringWrite(serial, outcome.Answered, outcome.AnsweredTookSettings);
        }
        Failure(TCommissionStep::Failed, QStringLiteral("%1: FAILED: %2").arg(name, outcome.Message), fields);
        return TLook::Failed;
    }
    MarkDone(Row, outcome.After);
    if (outcome.Verdict == TWriteVerdict::NotVerified)
        FUnverified = TUnverified{Info, request.Settings};
    Notify(TCommissionStep::Done,
           QStringLiteral("%1: done (%2)").arg(FUnit, WriteVerdictText(outcome.Verdict)), true, fields);
    return TLook::Written;
}

void TCommissioning::Start()
{
    ReadDoneEarlier();
    QString message = QStringLiteral("commissioning %1").arg(Units(Total()));
    if (!FDoneEarlier.isEmpty())
        message += QStringLiteral(", %1 done earlier").arg(FDoneEarlier.size());
    Notify(TCommissionStep::Start, message + QStringLiteral("; journal %1").arg(FJournal.Path()), true,
           {{QStringLiteral("doneEarlier"), QJsonArray::fromStringList(FDoneEarlier)}});
}

QString TCommissioning::ChangedNote() const
{
    return FChanged.isEmpty() ? QString()
                              : QStringLiteral("; %1 changed since done").arg(Units(int(FChanged.size())));
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
    const bool ok = FFailed.isEmpty() && FChanged.isEmpty() && MayGoOn();
    QString message =
        Total() == 1 ? QStringLiteral("1 unit done") : QStringLiteral("all %1 done").arg(Units(Total()));
    if (interrupted || !MayGoOn())
        message = QStringLiteral("stopped: %1 of %2 done").arg(DoneCount()).arg(Units(Total()));
    message += ChangedNote();
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
    Finish(QStringLiteral("%1 of %2 done").arg(DoneCount()).arg(Units(Total())) + ChangedNote(), ok);
    return ok;
}
