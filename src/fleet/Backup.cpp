#include "fleet/Backup.h"

#include "fleet/Journal.h"
#include "fleet/JsonFile.h"
#include "fleet/RecordViews.h"

#include <QJsonValue>

#include <cstring>

QJsonObject BackupDocument(const TBackupSource &Source)
{
    QJsonObject infoJson = InfoJson(Source.Info);
    infoJson.insert(QStringLiteral("port"), Source.Port);
    QJsonObject backup{
        {QStringLiteral("tool"), Source.Tool},
        {QStringLiteral("time"), RecordTime()},
        {QStringLiteral("port"), Source.Port},
        {QStringLiteral("device"), DeviceRecordName(Source.DevicePath)},
        {QStringLiteral("info"), infoJson},
        {QStringLiteral("record"),
         QString::fromLatin1(
             QByteArray(reinterpret_cast<const char *>(&Source.Info), sizeof Source.Info).toHex())},
    };
    if (Source.Params) {
        backup.insert(QStringLiteral("params"), ParamsJson(*Source.Params));
    } else {
        backup.insert(QStringLiteral("params"), QJsonValue());
        backup.insert(QStringLiteral("paramsError"), Source.ParamsError);
    }
    return backup;
}

bool BackupRecord(const QJsonObject &Backup, TDeviceInfo &Record)
{
    const QByteArray hex = Backup.value(QStringLiteral("record")).toString().toLatin1();
    const QByteArray bytes = QByteArray::fromHex(hex);
    // fromHex skips what is no hex digit: the text must be the bytes' own.
    if (hex.size() != 2 * int(sizeof Record) || bytes.size() != int(sizeof Record) ||
        bytes.toHex() != hex.toLower())
        return false;
    std::memcpy(&Record, bytes.constData(), sizeof Record);
    return true;
}

bool ReadBackup(const QString &Path, TDeviceInfo &Record, QString &Error)
{
    const std::optional<QJsonObject> backup = ReadJsonObjectFile(Path, Error);
    if (!backup)
        return false;
    if (!BackupRecord(*backup, Record)) {
        Error = QStringLiteral("%1 is not a backup of lumora-cli (no 84-byte \"record\")").arg(Path);
        return false;
    }
    return true;
}
