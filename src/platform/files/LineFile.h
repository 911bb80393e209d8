#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// A file of lines that only grows and only ever holds whole lines, shared by
// writers in this and other processes, which take turns under an exclusive
// lock on the file (flock on Linux, LockFileEx on Windows).
class TLineFile {
public:
    TLineFile();
    ~TLineFile();
    TLineFile(const TLineFile &) = delete;
    TLineFile &operator=(const TLineFile &) = delete;

    // Opens Path for appending, creating the file (not its folder) when it
    // is missing. False with Reason (the system's text) when it cannot.
    bool Open(const QString &Path, QString &Reason);
    // Appends Line (which ends with a line break) under the lock and syncs
    // it to the disk. A file whose last line someone else left unfinished
    // gets a line break first, so that Line stays readable. A line that
    // cannot be written and synced whole is cut off again, so the file ends
    // as it was. False with Reason (the system's text) on any failure.
    bool Append(QByteArray Line, QString &Reason);

private:
    struct TSystem; // the open file
    std::unique_ptr<TSystem> FFile;
};
