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

// What a line of a journal holds.
enum class TJournalLine {
    Entry,   // an entry of a unit: it names a serial number and, when it has
             // a "stage", that is "intent", "outcome" or "check"
    Damaged, // no JSON object: a foreign or damaged line
    Unknown, // an object of a kind this version does not know (another
             // stage, no serial number): from a newer version
};

// Parses one line of a journal (without its line break) into Entry.
TJournalLine ParseJournalLine(const QByteArray &Line, QJsonObject &Entry);

// The entry of an intent line whose outcome is missing (the process ended or
// the journal failed after the frame went out): "verification" "no outcome
// recorded", no acknowledgement and no read-back.
void MarkWithoutOutcome(QJsonObject &Entry);

// The writes of a journal in file order: each outcome line, an intent line
// whose outcome is missing (MarkWithoutOutcome), and lines of the journal's
// first format (no "stage": one line per write, its outcome) as they are.
// Other lines are skipped and counted in Skipped; Unknown (when given) counts
// those of them that are of a kind this version does not know. False with
// Error set when the file cannot be read.
bool ReadJournal(const QString &Path, std::vector<QJsonObject> &Entries, int &Skipped, QString &Error,
                 int *Unknown = nullptr);

// Each line of a journal that is a JSON object, in file order, as it is
// written; the others are counted in Skipped. False with Error set when the
// file cannot be read.
bool ForEachJournalLine(const QString &Path, const std::function<void(QJsonObject &&)> &Visit, int &Skipped,
                        QString &Error);

// How a device path is best named in a record: its link among the stable
// adapter links (Roots.ById) when it has one (stable across replugging), else
// the path itself.
QString DeviceRecordName(const QString &DevicePath, const TPortScanRoots &Roots);
