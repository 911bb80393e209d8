#include "fleet/Backup.h"

#include "fleet/FleetContext.h"
#include "fleet/Journal.h"
#include "fleet/JsonFile.h"
#include "fleet/RecordViews.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QStringList>

#include <cstring>

QJsonObject BackupDocument(const TFleetContext &Context, const TBackupSource &Source)
{
    QJsonObject infoJson = InfoJson(Source.Info);
    infoJson.insert(QStringLiteral("port"), Source.Port);
    QJsonObject backup{
        {QStringLiteral("tool"), Source.Tool},
        {QStringLiteral("time"), Context.Time()},
        {QStringLiteral("port"), Source.Port},
        {QStringLiteral("device"), DeviceRecordName(Source.DevicePath, Context.Roots)},
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

namespace {

QString JsonText(const QJsonValue &Value)
{
    const QByteArray array = QJsonDocument(QJsonArray{Value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// The fields of Shown (a backup's "info") whose value differs from the
// record's own (Decoded), by their path ("network.localIp") with both values.
// Fields the record does not decode to ("port") are not compared.
void Disagreements(const QJsonObject &Shown, const QJsonObject &Decoded, const QString &Prefix,
                   QStringList &Fields)
{
    for (auto it = Shown.begin(); it != Shown.end(); ++it) {
        if (!Decoded.contains(it.key()))
            continue;
        const QJsonValue own = Decoded.value(it.key());
        const QString path = Prefix + it.key();
        if (it.value().isObject() && own.isObject())
            Disagreements(it.value().toObject(), own.toObject(), path + QLatin1Char('.'), Fields);
        else if (it.value() != own)
            Fields << QStringLiteral("%1 (%2 in \"info\", %3 in \"record\")")
                          .arg(path, JsonText(it.value()), JsonText(own));
    }
}

} // namespace

QString BackupDisagreement(const QJsonObject &Backup, const TDeviceInfo &Record)
{
    const QJsonValue info = Backup.value(QStringLiteral("info"));
    if (info.isUndefined())
        return QString();
    QStringList fields;
    if (info.isObject())
        Disagreements(info.toObject(), InfoJson(Record), QString(), fields);
    else
        fields << QStringLiteral("info (%1, where the record is decoded to an object)").arg(JsonText(info));
    if (fields.isEmpty())
        return QString();
    return QStringLiteral("its readable settings disagree with its record in %1; a backup edited by hand "
                          "is not restored")
        .arg(fields.join(QStringLiteral(", ")));
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
    if (const QString disagreement = BackupDisagreement(*backup, Record); !disagreement.isEmpty()) {
        Error = Path + QStringLiteral(": ") + disagreement;
        return false;
    }
    return true;
}
