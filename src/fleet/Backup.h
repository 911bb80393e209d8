#pragma once

#include "device/DeviceParams.h"
#include "device/Records.h"

#include <QJsonObject>
#include <QString>

// What a backup holds: the tool that made it, when, the port and device, the
// decoded information record, its 84 bytes in hex and the parameter record
// (or null with the reason it could not be read).
struct TBackupSource {
    QString Tool; // "lumora-cli 1.2.0"
    QString Port;
    QString DevicePath;
    TDeviceInfo Info{};
    const TDeviceParams *Params = nullptr; // null when the device did not answer command 3
    QString ParamsError;
};

QJsonObject BackupDocument(const TBackupSource &Source);

// The information record a backup holds: its "record", the record's 84
// bytes as hex. False when Backup holds no such record.
bool BackupRecord(const QJsonObject &Backup, TDeviceInfo &Record);

// Why a backup cannot be restored as it stands: its readable "info" says
// other than its "record" (which is what a restore writes), naming each
// field that differs; empty when they agree or there is no "info".
QString BackupDisagreement(const QJsonObject &Backup, const TDeviceInfo &Record);

// The information record a backup file holds, from its "record" bytes. False
// with Error set when the file cannot be read, is no backup or its readable
// settings disagree with the record (BackupDisagreement).
bool ReadBackup(const QString &Path, TDeviceInfo &Record, QString &Error);
