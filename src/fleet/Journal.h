#pragma once

#include "platform/files/LineFile.h"
#include "platform/serial/PortMap.h"

#include <QJsonObject>
#include <QString>

#include <functional>
#include <vector>

// The record of every write the command line makes: one JSON object per line
// of a file that only ever grows and only ever holds whole lines. A write is
// recorded twice: its intent (what is about to be sent) before the frame goes
// out, and its outcome after; both carry the same "writeId". Writers in this
// and other processes take turns under an exclusive lock on the file.
class TJournal {
public:
    TJournal() = default;
    TJournal(const TJournal &) = delete;
    TJournal &operator=(const TJournal &) = delete;

    // journal.jsonl in the user's state folder (UserStateFolder():
    // ${XDG_STATE_HOME:-$HOME/.local/state}/lumora, %LOCALAPPDATA%\Lumora).
    static QString DefaultPath();

    // Creates the folder when needed and opens Path for appending. False with
    // Error set when the file cannot be written.
    bool Open(const QString &Path, QString &Error);
    // Appends Entry as one line and syncs it to the disk. A line that cannot
    // be written and synced whole is cut off again, so the file ends as it
    // was; false with Error giving the file and the system's reason. A file
    // whose last line was left unfinished by someone else gets a line break
    // first, so that the new line stays readable.
    bool Append(const QJsonObject &Entry, QString &Error);

    const QString &Path() const { return FPath; }

private:
    TLineFile FFile;
    bool FOpen = false;
    QString FPath;
};

// The writes of a journal in file order: each outcome line, an intent line
// whose outcome is missing (the process ended or the journal failed after the
// frame went out) with "verification" "no outcome recorded", and lines of the
// journal's first format (no "stage": one line per write, its outcome) as
// they are. Lines that are not
// a JSON object (a foreign or damaged line) are skipped and counted in
// Skipped. False with Error set when the file cannot be read.
bool ReadJournal(const QString &Path, std::vector<QJsonObject> &Entries, int &Skipped, QString &Error);

// Each line of a journal that is a JSON object, in file order, as it is
// written; the others are counted in Skipped. False with Error set when the
// file cannot be read.
bool ForEachJournalLine(const QString &Path, const std::function<void(QJsonObject &&)> &Visit, int &Skipped,
                        QString &Error);

// How a device path is best named in a record: its link among the stable
// adapter links (Roots.ById) when it has one (stable across replugging), else
// the path itself.
QString DeviceRecordName(const QString &DevicePath,
                         const TPortScanRoots &Roots = TPortScanRoots::FromEnvironment());

// Who and where: the login name and the host name.
QString CurrentUser();
QString CurrentHost();

// Local time with the UTC offset, to the second: 2026-12-08T09:15:02+01:00;
// with Qt::ISODateWithMs to the millisecond: 2026-12-08T09:15:02.125+01:00.
QString RecordTime(Qt::DateFormat Format = Qt::ISODate);
