#include "cli/CliApp.h"
#include "cli/CliCommand.h"
#include "fleet/Backup.h"
#include "fleet/FleetLink.h"
#include "fleet/WholeFile.h"

#include <QJsonDocument>

int RunBackup(TCliContext &Context)
{
    TFleetLink link;
    TDeviceInfo info{};
    int exit = CliExitOk;
    if (!Context.ReadDeviceInfo(link, info, exit))
        return exit;
    // A device that does not answer command 3 still has its settings backed
    // up; the absence is recorded with the link's report.
    TDeviceParams params{};
    const bool paramsRead = link.ReadParams(&params, sizeof params);
    const QJsonObject backup =
        BackupDocument({CliVersionText(), link.PortName(), link.DevicePath(), info,
                        paramsRead ? &params : nullptr, paramsRead ? QString() : link.Status().Text()});

    const QByteArray document = QJsonDocument(backup).toJson(QJsonDocument::Indented);
    if (!Context.Args.Has(QStringLiteral("output"))) {
        Context.Out.Text(QString::fromUtf8(document));
        return CliExitOk;
    }
    // Written whole or not at all: an old backup of the same name survives a
    // failed write.
    QString error;
    if (!WriteWholeFile(Context.Args.Value(QStringLiteral("output")), document, error)) {
        Context.Out.ErrorLine(error);
        return CliExitDevice;
    }
    return CliExitOk;
}
