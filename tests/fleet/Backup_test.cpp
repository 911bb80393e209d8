#include "fleet/Backup.h"

#include "support/FleetTestContext.h"
#include "support/QtPrinters.h"
#include "support/SimLine.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A backup holds the record whole and reads back to the same bytes; one
// whose readable settings were edited, or that holds no record, is refused
// naming why.
TEST(Backup, TheRecordReadsBackWholeAndAnEditedBackupIsRefused)
{
    const TSimConfig unit = lumora::test::SampleUnit("0612345678");
    TBackupSource source{"lumora-cli 9.9", "COM3", "/dev/ttyUSB0", unit.Info, &unit.Params, {}};
    // The time comes from the context's clock, not the machine's.
    const TFleetContext context = lumora::test::FleetTestContext(QStringLiteral("/nonexistent"));
    const QJsonObject backup = BackupDocument(context, source);
    EXPECT_EQ(backup["tool"], QJsonValue("lumora-cli 9.9"));
    EXPECT_EQ(backup["time"], QJsonValue("2026-12-08T09:15:02+01:00"));
    EXPECT_EQ(backup["record"].toString().size(), 168);
    EXPECT_EQ(backup["info"]["network"]["localIp"], QJsonValue("192.168.1.100"));
    EXPECT_EQ(backup["params"]["temperature"]["raw"], QJsonValue(25));
    source.Params = nullptr;
    source.ParamsError = "Device response timeout!";
    const QJsonObject withoutParams = BackupDocument(context, source);
    EXPECT_TRUE(withoutParams["params"].isNull());
    EXPECT_EQ(withoutParams["paramsError"], QJsonValue("Device response timeout!"));

    QTemporaryDir dir;
    auto file = [&](const QString &Name, const QJsonObject &Document) {
        QString path = dir.filePath(Name);
        QFile f(path);
        const QByteArray bytes = QJsonDocument(Document).toJson();
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return path;
    };
    TDeviceInfo record{};
    QString error;
    ASSERT_TRUE(ReadBackup(file("unit.json", backup), record, error)) << error.toStdString();
    EXPECT_EQ(std::memcmp(&record, &unit.Info, sizeof record), 0);

    // The readable settings edited: a restore writes the record, which says
    // otherwise.
    QJsonObject edited = backup;
    QJsonObject info = backup["info"].toObject();
    QJsonObject network = info["network"].toObject();
    network["localIp"] = "10.0.0.9";
    info["network"] = network;
    edited["info"] = info;
    const QString editedPath = file("edited.json", edited);
    EXPECT_FALSE(ReadBackup(editedPath, record, error));
    EXPECT_EQ(error, editedPath + ": its readable settings disagree with its record in network.localIp "
                                  "(\"10.0.0.9\" in \"info\", \"192.168.1.100\" in \"record\"); a backup "
                                  "edited by hand is not restored");
    const QString junk = file("junk.json", QJsonObject{{"record", "00"}});
    EXPECT_FALSE(ReadBackup(junk, record, error));
    EXPECT_EQ(error, junk + " is not a backup of lumora-cli (no 84-byte \"record\")");
    EXPECT_FALSE(ReadBackup(dir.filePath("missing.json"), record, error));
}

} // namespace
