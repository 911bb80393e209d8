// A backup file as a user hands it to `restore`: any bytes. A file taken as
// a backup holds exactly the 84 bytes its "record" spells in hex, and every
// view of that record (the fields shown, the JSON, the settings a restore
// sends) is made without fault. An input that starts with byte 01 gives
// the record of an otherwise well-formed backup in its next 84 bytes, so that
// any record, however odd, reaches the views.

#include "FuzzCheck.h"
#include "fleet/Backup.h"
#include "fleet/JsonFile.h"
#include "fleet/RecordViews.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

void CheckRecordViews(const TDeviceInfo &Record)
{
    const std::vector<TShownField> fields = InfoFields(Record);
    FUZZ_CHECK(!fields.empty());
    const QJsonObject json = InfoJson(Record);
    FUZZ_CHECK(json.value(QStringLiteral("network")).isNull() == !HasNetworkSettings(Record));
    FUZZ_CHECK(json.value(QStringLiteral("serialNumber")).toString() ==
               RecordText(Record.SerialNo, sizeof Record.SerialNo));
    const TNetSettings settings = RecordNetwork(Record);
    FUZZ_CHECK(std::memcmp(&settings, &Record.DhcpFlag, sizeof settings) == 0);
    FUZZ_CHECK(NetworkFields(settings).size() == 5);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (bytes.startsWith('\x01')) {
        if (bytes.size() <= qsizetype(sizeof(TDeviceInfo)))
            return 0;
        bytes = QJsonDocument(QJsonObject{{QStringLiteral("tool"), QStringLiteral("lumora-cli")},
                                          {QStringLiteral("record"),
                                           QString::fromLatin1(bytes.mid(1, sizeof(TDeviceInfo)).toHex())}})
                    .toJson();
    }

    QString why;
    const std::optional<QJsonObject> backup = ParseJsonObject(bytes, why);
    FUZZ_CHECK(backup.has_value() == why.isEmpty());
    if (!backup)
        return 0;
    TDeviceInfo record{};
    if (!BackupRecord(*backup, record))
        return 0;
    const QByteArray hex = backup->value(QStringLiteral("record")).toString().toLatin1();
    FUZZ_CHECK(QByteArray(reinterpret_cast<const char *>(&record), sizeof record).toHex() == hex.toLower());
    CheckRecordViews(record);
    return 0;
}
