#pragma once

#include "device/EDFACom.h"

#include <QJsonObject>
#include <QString>

// The information record a backup of lumora-cli holds: its "record", the
// record's 84 bytes as hex. False when Backup holds no such record.
bool BackupRecord(const QJsonObject &Backup, TDeviceInfo &Record);

// The record of the backup file Path. False with Error set when the file
// cannot be read or is no backup.
bool ReadBackup(const QString &Path, TDeviceInfo &Record, QString &Error);
