#include "cli/CliApp.h"
#include "cli/CliCommand.h"
#include "fleet/Backup.h"
#include "fleet/FleetLink.h"
#include "platform/files/WholeFile.h"

#include <QJsonDocument>

int RunBackup(TCliContext &Context)
{
    TFleetLink link(Context.Fleet);
    TDeviceInfo info{};
    int exit = CliExitOk;
    if (!Context.ReadDeviceInfo(link, info, exit))
        return exit;
    // A device that does not answer command 3 still has its settings backed
    // up; the absence is recorded with the link's report.
    TDeviceParams params{};
    const bool paramsRead = link.ReadParams(&params, sizeof params);
    const QJsonObject backup = BackupDocument(
        Context.Fleet, {CliVersionText(), link.PortName(), link.DevicePath(), info,
                        paramsRead ? &params : nullptr, paramsRead ? QString() : link.Status().Text()});

    if (!Context.Args.Has(QStringLiteral("output"))) {
        // With --json every result is one object on one line; without it the
        // document is indented for a reader.
        if (Context.Out.Json())
            Context.Out.JsonLine(backup);
        else
            Context.Out.Text(QString::fromUtf8(QJsonDocument(backup).toJson(QJsonDocument::Indented)));
        return CliExitOk;
    }
    const QByteArray document = QJsonDocument(backup).toJson(QJsonDocument::Indented);
    // Written whole or not at all: an old backup of the same name survives a
    // failed write.
    QString error;
    if (!WriteWholeFile(Context.Args.Value(QStringLiteral("output")), document, error)) {
        Context.Out.ErrorLine(error);
        return CliExitDevice;
    }
    return CliExitOk;
}
