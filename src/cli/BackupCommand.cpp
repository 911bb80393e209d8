#include "cli/CliApp.h"
#include "cli/CliCommand.h"
#include "fleet/FleetLink.h"
#include "fleet/Journal.h"
#include "fleet/RecordViews.h"
#include "platform/WholeFile.h"

#include <QJsonDocument>

int RunBackup(TCliContext &Context)
{
    TFleetLink link;
    TDeviceInfo info{};
    int exit = CliExitOk;
    if (!Context.ReadDeviceInfo(link, info, exit))
        return exit;
    QJsonObject infoJson = InfoJson(info);
    infoJson.insert(QStringLiteral("port"), link.PortName());
    QJsonObject backup{
        {QStringLiteral("tool"), CliVersionText()},
        {QStringLiteral("time"), RecordTime()},
        {QStringLiteral("port"), link.PortName()},
        {QStringLiteral("device"), DeviceRecordName(link.DevicePath())},
        {QStringLiteral("info"), infoJson},
        {QStringLiteral("record"),
         QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(&info), sizeof info).toHex())},
    };
    // A device that does not answer command 3 still has its settings backed
    // up; the absence is recorded with the link's report.
    TDeviceParams params{};
    if (link.ReadParams(&params, sizeof params)) {
        backup.insert(QStringLiteral("params"), ParamsJson(params));
    } else {
        backup.insert(QStringLiteral("params"), QJsonValue());
        backup.insert(QStringLiteral("paramsError"), link.Status().Text());
    }

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
