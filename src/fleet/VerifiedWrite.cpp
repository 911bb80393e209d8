#include "fleet/VerifiedWrite.h"

#include "fleet/AddressRules.h"
#include "fleet/FleetLink.h"
#include "fleet/Journal.h"
#include "fleet/RecordViews.h"

#include <QJsonValue>
#include <QUuid>

#include <array>
#include <cstddef>
#include <cstring>

namespace {

// The acknowledgement code exactly as the unit sent it; null when no
// well-formed acknowledgement came (or the frame did not go out).
QJsonValue AckCode(const TLinkResult &Ack)
{
    return Ack.AckCode >= 0 ? QJsonValue(Ack.AckCode) : QJsonValue();
}

QString Hex(const void *Data, int Size)
{
    return QString::fromLatin1(QByteArray(static_cast<const char *>(Data), Size).toHex());
}

} // namespace

bool SameUnit(const TDeviceInfo &A, const TDeviceInfo &B)
{
    return std::memcmp(A.SerialNo, B.SerialNo, sizeof A.SerialNo) == 0 && A.DeviceType == B.DeviceType;
}

QString DifferingFields(const TNetSettings &A, const TNetSettings &B)
{
    // The record's fields, where they lie, in the order NetworkFields names
    // them: the DHCP flag (any value), then the four addresses.
    constexpr std::array<std::pair<size_t, size_t>, 5> Fields = {{{offsetof(TNetSettings, DhcpFlag), 1},
                                                                  {offsetof(TNetSettings, LocalAddr), 4},
                                                                  {offsetof(TNetSettings, ServerAddr), 4},
                                                                  {offsetof(TNetSettings, GatewayAddr), 4},
                                                                  {offsetof(TNetSettings, SubnetMask), 4}}};
    const std::vector<TShownField> shown = NetworkFields(A);
    const auto *a = reinterpret_cast<const uint8_t *>(&A);
    const auto *b = reinterpret_cast<const uint8_t *>(&B);
    QStringList names;
    for (size_t i = 0; i < Fields.size(); ++i) {
        const auto [at, size] = Fields[i];
        if (std::memcmp(a + at, b + at, size) != 0)
            names << shown[i].Label;
    }
    return names.join(QStringLiteral(", "));
}

namespace {

// The journal line of a write before its frame goes out: who, where, which
// unit and what is sent.
QJsonObject IntentEntry(const TFleetLink &Link, const TWriteRequest &Request)
{
    const TDeviceInfo &unit = Request.Before;
    QJsonObject entry{
        {QStringLiteral("time"), Link.Context().Time()},
        {QStringLiteral("stage"), QStringLiteral("intent")},
        {QStringLiteral("writeId"), QUuid::createUuid().toString(QUuid::WithoutBraces)},
        {QStringLiteral("user"), Link.Context().User},
        {QStringLiteral("host"), Link.Context().Host},
        {QStringLiteral("command"), Request.Command},
        {QStringLiteral("port"), Link.PortName()},
        {QStringLiteral("device"), DeviceRecordName(Link.DevicePath(), Link.Context().Roots)},
        {QStringLiteral("serialNumber"), RecordText(unit.SerialNo, sizeof unit.SerialNo)},
        {QStringLiteral("type"), InfoJson(unit).value(QStringLiteral("type"))},
        {QStringLiteral("firmwareVersion"), VersionToStr(unit.FirmwareVersion)},
        {QStringLiteral("before"), NetworkJson(RecordNetwork(unit))},
        {QStringLiteral("written"), NetworkJson(Request.Settings)},
        {QStringLiteral("payload"), Hex(&Request.Settings, sizeof Request.Settings)},
    };
    for (auto it = Request.Extra.begin(); it != Request.Extra.end(); ++it)
        entry.insert(it.key(), it.value());
    return entry;
}

} // namespace

QString WrongUnitMessage(const TDeviceInfo &Planned, const TDeviceInfo &Answered, bool AnsweredTookSettings)
{
    const QString planned = ShownSerial(Planned);
    const QString other = ShownSerial(Answered);
    if (AnsweredTookSettings)
        return QStringLiteral("the unit on the line changed during the write: %1 now holds the settings "
                              "planned for %2")
            .arg(other, planned);
    return QStringLiteral("the unit on the line changed during the write: %1 answered in place of %2, "
                          "which may hold the settings sent")
        .arg(other, planned);
}

QJsonObject AnsweredJson(const TDeviceInfo &Unit)
{
    return QJsonObject{{QStringLiteral("serialNumber"), RecordText(Unit.SerialNo, sizeof Unit.SerialNo)},
                       {QStringLiteral("type"), InfoJson(Unit).value(QStringLiteral("type"))},
                       {QStringLiteral("network"), NetworkJson(RecordNetwork(Unit))}};
}

QString WriteRefusal(const TWriteRequest &Request)
{
    if (!HasNetworkSettings(Request.Before))
        return QStringLiteral("S/N %1 is a communication board (type 9), which has no network settings")
            .arg(ShownSerial(Request.Before));
    return SettingsFault(Request.Settings);
}

TWriteOutcome WriteVerified(TFleetLink &Link, TJournal &Journal, const TWriteRequest &Request)
{
    TWriteOutcome outcome;
    if (const QString refusal = WriteRefusal(Request); !refusal.isEmpty()) {
        outcome.Refused = true;
        outcome.Verdict = TWriteVerdict::Refused;
        outcome.Message = refusal + QStringLiteral("; nothing was sent");
        return outcome;
    }
    QJsonObject entry = IntentEntry(Link, Request);
    QString error;
    if (!Journal.Append(entry, error)) {
        outcome.Verdict = TWriteVerdict::NotSent;
        outcome.Message = error + QStringLiteral("; nothing was sent");
        outcome.JournalFailed = true;
        return outcome;
    }

    const TLinkResult ack = Link.WriteRecord(Request.Settings);
    // The link's status line stays what the program would show for the write.
    Link.ShowOutcome(TLinkOperation::Write, ack);
    const QString ackStatus = StatusLine(TLinkOperation::Write, ack).Text;
    outcome.After = Request.Settings;
    QJsonValue after = QJsonValue();
    if (!ack.Ok()) {
        outcome.Verdict = TWriteVerdict::NotAcknowledged;
        outcome.Message = ackStatus;
    } else if (!Request.Verify) {
        outcome.Ok = true;
        outcome.Verdict = TWriteVerdict::NotVerified;
    } else {
        const TRecordResult<TDeviceInfo> readBack = Link.ReadRecord<TDeviceInfo>(CmdReadInfo);
        if (!readBack.Ok()) {
            outcome.Verdict = TWriteVerdict::ReadBackFailed;
            outcome.Message =
                QStringLiteral("the write was acknowledged but the record could not be read back: ") +
                StatusLine(TLinkOperation::Read, readBack).Text;
        } else if (!SameUnit(readBack.Record, Request.Before)) {
            // The protocol's write names no unit: one swapped on the line
            // between the read and the read-back may have taken it.
            outcome.Verdict = TWriteVerdict::WrongUnit;
            outcome.Answered = readBack.Record;
            const TNetSettings held = RecordNetwork(readBack.Record);
            outcome.AnsweredTookSettings = SameSettings(held, Request.Settings);
            outcome.Message = WrongUnitMessage(Request.Before, readBack.Record, outcome.AnsweredTookSettings);
            entry.insert(QStringLiteral("answered"), AnsweredJson(readBack.Record));
        } else {
            outcome.After = RecordNetwork(readBack.Record);
            after = NetworkJson(outcome.After);
            if (SameSettings(outcome.After, Request.Settings)) {
                outcome.Ok = true;
                outcome.Verdict = TWriteVerdict::Verified;
            } else {
                outcome.Verdict = TWriteVerdict::NotApplied;
                outcome.Message = QStringLiteral("%1: acknowledged but not applied")
                                      .arg(DifferingFields(outcome.After, Request.Settings));
            }
        }
    }

    entry.insert(QStringLiteral("time"), Link.Context().Time());
    entry.insert(QStringLiteral("stage"), QStringLiteral("outcome"));
    entry.insert(QStringLiteral("after"), after);
    entry.insert(QStringLiteral("ack"),
                 QJsonObject{{QStringLiteral("code"), AckCode(ack)}, {QStringLiteral("status"), ackStatus}});
    entry.insert(QStringLiteral("verification"), WriteVerdictText(outcome.Verdict));
    outcome.Entry = entry;
    if (!Journal.Append(entry, error)) {
        outcome.Ok = false;
        outcome.JournalFailed = true;
        outcome.Message =
            error +
            QStringLiteral(" (the device was written; the journal holds the write without its outcome)");
    }
    return outcome;
}
