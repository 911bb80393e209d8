#include "fleet/VerifiedWrite.h"

#include "fleet/FleetLink.h"
#include "fleet/Journal.h"
#include "fleet/RecordViews.h"

#include <QJsonValue>

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

QString DifferingFields(const TNetSettings &A, const TNetSettings &B)
{
    const std::vector<TShownField> a = NetworkFields(A);
    const std::vector<TShownField> b = NetworkFields(B);
    QStringList names;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].Text != b[i].Text)
            names << a[i].Label;
    }
    // A DHCP flag other than 0 and 1 reads "off" either way.
    if (names.isEmpty() && A.DhcpFlag != B.DhcpFlag)
        names << a[0].Label;
    return names.join(QStringLiteral(", "));
}

TWriteOutcome WriteVerified(TFleetLink &Link, TJournal &Journal, const TWriteRequest &Request)
{
    TWriteOutcome outcome;
    const TNetSettings before = RecordNetwork(Request.Before);
    const TLinkResult ack = Link.WriteRecord(Request.Settings);
    // The link's status line stays what the program would show for the write.
    Link.ShowOutcome(TLinkOperation::Write, ack);
    const QString ackStatus = StatusLine(TLinkOperation::Write, ack).Text;
    outcome.After = Request.Settings;
    QJsonValue after = QJsonValue();
    if (!ack.Ok()) {
        outcome.Verdict = QStringLiteral("not acknowledged");
        outcome.Message = ackStatus;
    } else if (!Request.Verify) {
        outcome.Ok = true;
        outcome.Verdict = QStringLiteral("not verified");
    } else {
        const TRecordResult<TDeviceInfo> readBack = Link.ReadRecord<TDeviceInfo>(CmdReadInfo);
        if (!readBack.Ok()) {
            outcome.Verdict = QStringLiteral("read-back failed");
            outcome.Message =
                QStringLiteral("the write was acknowledged but the record could not be read back: ") +
                StatusLine(TLinkOperation::Read, readBack).Text;
        } else {
            outcome.After = RecordNetwork(readBack.Record);
            after = NetworkJson(outcome.After);
            if (std::memcmp(&outcome.After, &Request.Settings, sizeof Request.Settings) == 0) {
                outcome.Ok = true;
                outcome.Verdict = QStringLiteral("verified");
            } else {
                outcome.Verdict = QStringLiteral("not applied");
                outcome.Message = QStringLiteral("%1: acknowledged but not applied")
                                      .arg(DifferingFields(outcome.After, Request.Settings));
            }
        }
    }

    const TDeviceInfo &unit = Request.Before;
    QJsonObject entry{
        {QStringLiteral("time"), RecordTime()},
        {QStringLiteral("user"), CurrentUser()},
        {QStringLiteral("host"), CurrentHost()},
        {QStringLiteral("command"), Request.Command},
        {QStringLiteral("port"), Link.PortName()},
        {QStringLiteral("device"), DeviceRecordName(Link.DevicePath())},
        {QStringLiteral("serialNumber"), RecordText(unit.SerialNo, sizeof unit.SerialNo)},
        {QStringLiteral("type"), InfoJson(unit).value(QStringLiteral("type"))},
        {QStringLiteral("firmwareVersion"), VersionToStr(unit.FirmwareVersion)},
        {QStringLiteral("before"), NetworkJson(before)},
        {QStringLiteral("written"), NetworkJson(Request.Settings)},
        {QStringLiteral("payload"), Hex(&Request.Settings, sizeof Request.Settings)},
        {QStringLiteral("after"), after},
        {QStringLiteral("ack"),
         QJsonObject{{QStringLiteral("code"), AckCode(ack)}, {QStringLiteral("status"), ackStatus}}},
        {QStringLiteral("verification"), outcome.Verdict},
    };
    for (auto it = Request.Extra.begin(); it != Request.Extra.end(); ++it)
        entry.insert(it.key(), it.value());
    outcome.Entry = entry;
    QString error;
    if (!Journal.Append(entry, error)) {
        outcome.Ok = false;
        outcome.Message = error + QStringLiteral(" (the device was written)");
    }
    return outcome;
}
