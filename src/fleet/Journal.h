#pragma once

#include "platform/PortMap.h"

#include <QJsonObject>
#include <QString>

#include <vector>

// The record of every write the command line makes: one JSON object per line
// of a file that only ever grows. A line is written whole with one append and
// synced before the command goes on, so a crash leaves no half record.
class TJournal {
public:
    TJournal() = default;
    ~TJournal();
    TJournal(const TJournal &) = delete;
    TJournal &operator=(const TJournal &) = delete;

    // ${XDG_STATE_HOME:-$HOME/.local/state}/lumora/journal.jsonl
    static QString DefaultPath();

    // Creates the folder when needed and opens Path for appending. False with
    // Error set when the file cannot be written.
    bool Open(const QString &Path, QString &Error);
    // Appends Entry as one line and syncs it to the disk.
    bool Append(const QJsonObject &Entry, QString &Error);

    const QString &Path() const { return FPath; }

private:
    int FFd = -1;
    QString FPath;
};

// The entries of a journal in file order. Lines that are not a JSON object
// (a foreign or damaged line) are skipped and counted in Skipped. False with
// Error set when the file cannot be read.
bool ReadJournal(const QString &Path, std::vector<QJsonObject> &Entries, int &Skipped, QString &Error);

// How a device path is best named in a record: its link among the stable
// adapter links (Roots.ById) when it has one (stable across replugging), else
// the path itself.
QString DeviceRecordName(const QString &DevicePath,
                         const TPortScanRoots &Roots = TPortScanRoots::FromEnvironment());

// Who and where: the login name and the host name.
QString CurrentUser();
QString CurrentHost();

// Local time with the UTC offset, to the second: 2026-12-08T09:15:02+01:00.
QString RecordTime();
