#include "fleet/VerifiedWrite.h"

#include "fleet/FleetLink.h"
#include "fleet/Journal.h"
#include "fleet/RecordViews.h"

#include <QJsonValue>

#include <cstring>

namespace {

// The acknowledgement code behind the link's report of a write; null when
// the frame did not go out.
QJsonValue AckCode(bool Acknowledged, const QString &Status)
{
    if (Acknowledged)
        return 0;
    if (Status == QLatin1String("Command not support!"))
        return 1;
    if (Status == QLatin1String("Command fail!"))
        return 2;
    return QJsonValue();
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
    const bool acknowledged = Link.WriteCommand(&Request.Settings, sizeof Request.Settings);
    const QString ackStatus = Link.Status().Text();
    outcome.After = Request.Settings;
    QJsonValue after = QJsonValue();
    if (!acknowledged) {
        outcome.Verdict = QStringLiteral("not acknowledged");
        outcome.Message = ackStatus;
    } else if (!Request.Verify) {
        outcome.Ok = true;
        outcome.Verdict = QStringLiteral("not verified");
    } else {
        TDeviceInfo readBack{};
        if (!Link.ReadInfo(&readBack, sizeof readBack)) {
            outcome.Verdict = QStringLiteral("read-back failed");
            outcome.Message =
                QStringLiteral("the write was acknowledged but the record could not be read back: ") +
                Link.Status().Text();
        } else {
            outcome.After = RecordNetwork(readBack);
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
        {QStringLiteral("ack"), QJsonObject{{QStringLiteral("code"), AckCode(acknowledged, ackStatus)},
                                            {QStringLiteral("status"), ackStatus}}},
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
