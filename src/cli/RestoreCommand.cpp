#include "cli/CliCommand.h"
#include "fleet/Backup.h"
#include "fleet/RecordViews.h"
#include "fleet/VerifiedWrite.h"

#include <QFileInfo>

#include <cstring>

namespace {

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

    return WriteOneUnit(Context, QStringLiteral("restore"), [&](TWriteRequest &Request) {
        const TDeviceInfo &unit = Request.Before;
        const bool sameUnit = std::memcmp(unit.SerialNo, saved.SerialNo, sizeof unit.SerialNo) == 0 &&
                              unit.DeviceType == saved.DeviceType;
        if (!sameUnit && !Context.Args.Has(QStringLiteral("force")))
            return QStringLiteral("the backup is of %1 but the unit attached is %2; nothing was sent "
                                  "(--force writes it anyway, cloning the settings)")
                .arg(UnitText(saved), UnitText(unit));
        Request.Settings = RecordNetwork(saved);
        Request.Extra.insert(QStringLiteral("backup"), QFileInfo(path).absoluteFilePath());
        return QString();
    });
}
