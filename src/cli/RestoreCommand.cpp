#include "cli/CliCommand.h"
#include "fleet/FleetLink.h"
#include "fleet/Journal.h"
#include "fleet/JsonFile.h"
#include "fleet/RecordViews.h"
#include "fleet/VerifiedWrite.h"

#include <QFileInfo>

#include <cstring>

namespace {

// The information record a backup holds, from its "record" bytes. False
// with Error set when the file is no backup.
bool ReadBackup(const QString &Path, TDeviceInfo &Record, QString &Error)
{
    const std::optional<QJsonObject> backup = ReadJsonObjectFile(Path, Error);
    if (!backup)
        return false;
    const QByteArray hex = backup->value(QStringLiteral("record")).toString().toLatin1();
    const QByteArray bytes = QByteArray::fromHex(hex);
    if (hex.size() != 2 * int(sizeof Record) || bytes.size() != int(sizeof Record) ||
        bytes.toHex() != hex.toLower()) {
        Error = QStringLiteral("%1 is not a backup of lumora-cli (no 84-byte \"record\")").arg(Path);
        return false;
    }
    std::memcpy(&Record, bytes.constData(), sizeof Record);
    return true;
}

QString UnitText(const TDeviceInfo &Info)
{
    return QStringLiteral("S/N %1, type %2")
        .arg(RecordText(Info.SerialNo, sizeof Info.SerialNo), InfoFields(Info).front().Text);
}

} // namespace

int RunRestore(TCliContext &Context)
{
    if (Context.Args.Operands.isEmpty())
        return Context.Usage(QStringLiteral("no backup file given"));
    TDeviceInfo saved{};
    QString error;
    const QString path = Context.Args.Operands.front();
    if (!ReadBackup(path, saved, error)) {
        Context.Out.ErrorLine(error);
        return CliExitUsage;
    }
    // A backup that holds nothing a unit can take is refused before the line
    // is touched: a hand-edited file, or a board without network settings.
    TWriteRequest backedUp;
    backedUp.Before = saved;
    backedUp.Settings = RecordNetwork(saved);
    QString refusal = WriteRefusal(backedUp);
    if (saved.DhcpFlag > 1)
        refusal =
            QStringLiteral("the DHCP flag is %1, where a unit takes 0 (off) or 1 (on)").arg(saved.DhcpFlag);
    if (!refusal.isEmpty()) {
        Context.Out.ErrorLine(QStringLiteral("%1: %2; nothing was sent").arg(path, refusal));
        return CliExitUsage;
    }

    int exit = CliExitOk;
    TJournal journal;
    TFleetLink link;
    TWriteRequest request;
    if (!StartCommandWrite(Context, journal, link, request, exit))
        return exit;
    const TDeviceInfo &unit = request.Before;
    const bool sameUnit = std::memcmp(unit.SerialNo, saved.SerialNo, sizeof unit.SerialNo) == 0 &&
                          unit.DeviceType == saved.DeviceType;
    if (!sameUnit && !Context.Args.Has(QStringLiteral("force"))) {
        Context.Out.ErrorLine(
            QStringLiteral("the backup is of %1 but the unit attached is %2; nothing was sent "
                           "(--force writes it anyway, cloning the settings)")
                .arg(UnitText(saved), UnitText(unit)));
        return CliExitUsage;
    }

    request.Settings = RecordNetwork(saved);
    request.Verify = !Context.Args.Has(QStringLiteral("no-verify"));
    request.Command = QStringLiteral("restore");
    request.Extra.insert(QStringLiteral("backup"), QFileInfo(path).absoluteFilePath());
    const TWriteOutcome outcome = WriteVerified(link, journal, request);
    return ReportWrite(Context, link, outcome);
}
